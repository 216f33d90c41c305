#include "StorageListing.h"

#include <zlib.h>

#include "platform/CompoundFileReader.h"

#include <cstdio>
#include <ostream>
#include <vector>

namespace quillane {

std::string EscapeStreamPath(const std::string& path) {
    std::string text;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            text += hex;
        } else {
            text += c;
        }
    }
    return text;
}

const char* StorageErrorName(TStorageError error) {
    switch (error) {
        case TStorageError::None: return "none";
        case TStorageError::NotFound: return "not-found";
        case TStorageError::NotCompound: return "not-compound";
        case TStorageError::Damaged: return "damaged";
        case TStorageError::AccessDenied: return "access-denied";
        case TStorageError::SharingViolation: return "sharing-violation";
        case TStorageError::TooLarge: return "too-large";
        case TStorageError::Other: return "other";
    }
    return "other";
}

namespace {

// The CRC-32 of a stream read in blocks; false after a read error or when
// the stream ends before its size.
bool StreamCrc(TStorageStream& stream, int64_t size, uint32_t& crc) {
    std::vector<uint8_t> block(1 << 16);
    uLong value = crc32(0L, Z_NULL, 0);
    int64_t done = 0;
    while (done < size) {
        const int32_t n = stream.Read(block.data(), static_cast<int32_t>(std::min<int64_t>(size - done, 1 << 16)));
        if (n <= 0) {
            return false;
        }
        value = crc32(value, block.data(), static_cast<uInt>(n));
        done += n;
    }
    crc = static_cast<uint32_t>(value);
    return true;
}

}  // namespace

bool ListCompoundFile(const std::string& path, std::ostream& out, std::ostream& err, TStorageReader reader) {
    TCompoundOpenResult opened = reader == TStorageReader::Own ? ReadCompoundFile(path) : OpenCompoundFile(path);
    if (!opened.File) {
        out << "error\t" << StorageErrorName(opened.Error) << "\n";
        err << path << ": " << opened.Message << "\n";
        return false;
    }
    const TStreamListResult listing = opened.File->ListStreams();
    bool complete = listing.Error == TStorageError::None;
    for (const TStreamEntry& entry : listing.Streams) {
        out << EscapeStreamPath(entry.Path) << "\t" << entry.Size << "\t";
        TStreamOpenResult stream = opened.File->OpenStream(entry.Path);
        uint32_t crc = 0;
        if (stream.Stream && StreamCrc(*stream.Stream, entry.Size, crc)) {
            char hex[12];
            std::snprintf(hex, sizeof hex, "%08x", crc);
            out << hex << "\n";
        } else {
            out << "unreadable\n";
            complete = false;
        }
    }
    if (listing.Error != TStorageError::None) {
        out << "error\t" << StorageErrorName(listing.Error) << "\n";
        err << path << ": " << listing.Message << "\n";
    }
    return complete;
}

}  // namespace quillane
