#include "setup/PayloadFormat.h"

#include <cstring>

#include "setup/NameCodePage.h"
#include "setup/PayloadTime.h"

namespace quillane {

namespace {

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

uint32_t GetU32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

std::vector<std::string_view> SplitName(std::string_view name) {
    std::vector<std::string_view> parts;
    size_t at = 0;
    while (true) {
        const size_t slash = name.find('\\', at);
        parts.push_back(name.substr(at, slash == std::string_view::npos ? std::string_view::npos : slash - at));
        if (slash == std::string_view::npos) {
            return parts;
        }
        at = slash + 1;
    }
}

// Windows opens a device for these names whatever the folder or extension
// ("con.txt", "Docs\LPT1"); the digits include the superscripts ¹ ² ³.
bool IsDeviceName(std::string_view part) {
    const std::string base = FoldCp1252(part.substr(0, part.find('.')));
    std::string_view stem = base;
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (stem == device) {
            return true;
        }
    }
    if (stem.size() == 4 && (stem.substr(0, 3) == "COM" || stem.substr(0, 3) == "LPT")) {
        const auto digit = static_cast<unsigned char>(stem[3]);
        return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

void CheckPart(std::string_view part) {
    if (part.empty()) {
        throw TPayloadError("empty folder or file name");
    }
    if (part == "." || part == "..") {
        throw TPayloadError("relative folder reference");
    }
    for (const char ch : part) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || std::strchr("<>:\"/|?*", ch) != nullptr) {
            throw TPayloadError("character not allowed in a file name");
        }
        if (!IsCp1252Character(b)) {
            throw TPayloadError("byte without a character in Windows-1252");
        }
    }
    if (part.back() == '.' || part.back() == ' ') {
        throw TPayloadError("name ending in a dot or space");
    }
    if (IsDeviceName(part)) {
        throw TPayloadError("device name");
    }
}

void CheckRecord(const TAttachedFile& file, uint32_t previousOffset, bool first, uint32_t directoryOffset) {
    if (file.Size < 0) {
        throw TPayloadError("negative size");
    }
    if (!IsPayloadTime(file.Time)) {
        throw TPayloadError("time out of range");
    }
    if (file.Offset >= directoryOffset) {
        throw TPayloadError("stream offset at or after the directory");
    }
    if (!first && file.Offset <= previousOffset) {
        throw TPayloadError("stream offsets out of order");
    }
}

}  // namespace

std::string EncodeTrailer(uint32_t directoryOffset) {
    std::string out;
    PutU32(out, directoryOffset);
    PutU32(out, directoryOffset);
    return out;
}

uint32_t DecodeTrailer(const unsigned char* trailer, uint64_t fileSize) {
    const uint32_t first = GetU32(trailer);
    if (first != GetU32(trailer + 4)) {
        throw TPayloadError("trailer values differ");
    }
    if (fileSize > PayloadFileLimit) {
        throw TPayloadError("file too large for a payload");
    }
    // A file without a payload may well end in equal values (zero padding):
    // the directory must lie after the start and before the trailer.
    if (first == 0 || static_cast<uint64_t>(first) + PayloadTrailerBytes >= fileSize) {
        throw TPayloadError("directory offset outside the file");
    }
    return first;
}

void CheckEntryName(std::string_view name) {
    if (name.empty()) {
        throw TPayloadError("empty name");
    }
    for (const std::string_view part : SplitName(name)) {
        CheckPart(part);
    }
}

void TEntryNameSet::Add(std::string_view name) {
    const std::string folded = FoldCp1252(name);
    std::vector<std::string> folders;
    for (size_t slash = folded.find('\\'); slash != std::string::npos; slash = folded.find('\\', slash + 1)) {
        folders.push_back(folded.substr(0, slash));
    }
    if (files_.count(folded) != 0) {
        throw TPayloadError("duplicate name");
    }
    if (folders_.count(folded) != 0) {
        throw TPayloadError("file name used as a folder by another entry");
    }
    for (const std::string& folder : folders) {
        if (files_.count(folder) != 0) {
            throw TPayloadError("folder name used as a file by another entry");
        }
    }
    files_.insert(folded);
    folders_.insert(folders.begin(), folders.end());
}

std::string EncodeDirectory(const std::vector<TAttachedFile>& files, uint32_t directoryOffset) {
    std::string out;
    TEntryNameSet names;
    for (size_t i = 0; i < files.size(); ++i) {
        const TAttachedFile& file = files[i];
        CheckEntryName(file.Name);
        if (file.Name.size() > 255) {
            throw TPayloadError("name longer than 255 bytes");
        }
        names.Add(file.Name);
        CheckRecord(file, i == 0 ? 0 : files[i - 1].Offset, i == 0, directoryOffset);
        out += static_cast<char>(file.Name.size());
        out += file.Name;
        PutU32(out, static_cast<uint32_t>(file.Size));
        uint64_t bits = 0;
        std::memcpy(&bits, &file.Time, sizeof bits);
        PutU32(out, static_cast<uint32_t>(bits));
        PutU32(out, static_cast<uint32_t>(bits >> 32));
        PutU32(out, file.Offset);
    }
    out += '\0';           // terminator: no name,
    PutU32(out, 0);        // size 0,
    out.append(8, '\0');   // time 0,
    PutU32(out, directoryOffset);  // the directory's offset
    return out;
}

std::vector<TAttachedFile> ParseDirectory(const unsigned char* data, size_t size, uint32_t directoryOffset) {
    std::vector<TAttachedFile> files;
    TEntryNameSet names;
    size_t at = 0;
    while (true) {
        if (at >= size) {
            throw TPayloadError("directory without its terminator");
        }
        const size_t nameLength = data[at];
        if (size - at - 1 < nameLength + PayloadRecordFixedBytes - 1) {
            throw TPayloadError("directory record cut short");
        }
        TAttachedFile file;
        file.Name.assign(reinterpret_cast<const char*>(data + at + 1), nameLength);
        const unsigned char* p = data + at + 1 + nameLength;
        file.Size = static_cast<int32_t>(GetU32(p));
        const uint64_t bits = GetU32(p + 4) | static_cast<uint64_t>(GetU32(p + 8)) << 32;
        std::memcpy(&file.Time, &bits, sizeof bits);
        file.Offset = GetU32(p + 12);
        at += nameLength + PayloadRecordFixedBytes;
        if (nameLength == 0) {
            // The terminator: all its fields fixed, and nothing after it.
            if (file.Size != 0 || bits != 0 || file.Offset != directoryOffset) {
                throw TPayloadError("malformed directory terminator");
            }
            if (at != size) {
                throw TPayloadError("data after the directory terminator");
            }
            if (!files.empty()) {
                files.back().CompressedSize = directoryOffset - files.back().Offset;
            }
            return files;
        }
        CheckEntryName(file.Name);
        names.Add(file.Name);
        CheckRecord(file, files.empty() ? 0 : files.back().Offset, files.empty(), directoryOffset);
        if (!files.empty()) {
            files.back().CompressedSize = file.Offset - files.back().Offset;
        }
        files.push_back(std::move(file));
    }
}

}  // namespace quillane
