#pragma once
// The installer's payload, appended to its own executable and found from
// the end of the file:
//
//   program image | one zlib stream per file, in directory order
//                 | the directory, one zlib stream | trailer
//
// The trailer is the directory's offset written twice as a little-endian
// 32-bit value (the last 8 bytes). The directory holds records back to back
// with no count: name length (8-bit), name (Windows-1252, folders separated
// by a backslash, relative to the destination), size (signed 32-bit), time
// (IEEE double, see PayloadTime.h), offset of the file's stream (32-bit).
// A terminator ends it: empty name, size 0, time 0, offset = the
// directory's own. A file's compressed size is the next offset minus its own.
//
// Both the packer and the installer use this code, so the packer cannot
// write what the installer would refuse. Everything read is checked: a
// payload that breaks any rule below is refused as a whole.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quillane {

// A payload that breaks a rule of the format (or a name that would leave
// the destination). The text says what, for logs and tests; the user sees
// the installer's one corrupt-file message.
class TPayloadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One file of the payload.
struct TAttachedFile {
    std::string Name;  // Windows-1252, backslashes between folders
    int32_t Size = 0;  // bytes once inflated
    double Time = 0;   // days since 30 December 1899, local time
    uint32_t Offset = 0;          // of the file's zlib stream
    uint32_t CompressedSize = 0;  // bytes of that stream
    bool operator==(const TAttachedFile&) const = default;
};

constexpr uint32_t PayloadTrailerBytes = 8;
// The inflated directory may not exceed this: a record takes at most 272
// bytes, so it is room for more than 15,000 files, and a directory stream
// that inflates further is a bomb.
constexpr size_t PayloadDirectoryLimit = 4u << 20;
// The installer reads its own file with 32-bit offsets.
constexpr uint64_t PayloadFileLimit = 0xFFFFFFFFu;
// The size of a record besides its name.
constexpr size_t PayloadRecordFixedBytes = 1 + 4 + 8 + 4;

// The trailer for a directory at `directoryOffset`.
std::string EncodeTrailer(uint32_t directoryOffset);

// The directory's offset from the last 8 bytes of a file of `fileSize`
// bytes; throws when the two values differ or cannot place a directory
// between the program image and the trailer.
uint32_t DecodeTrailer(const unsigned char* trailer, uint64_t fileSize);

// Throws unless `name` is a relative path that stays inside the folder it
// is unpacked in and can be created on Windows: no drive, root, stream or
// "."/".." parts, no empty parts, no characters Windows refuses, no part
// ending in a dot or space, no device names (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, with or without an extension), no bytes Windows-1252 leaves
// unassigned.
void CheckEntryName(std::string_view name);

// Names compared without regard to case, so that no two entries land on
// one Windows file and no file sits where another entry needs a folder.
class TEntryNameSet {
public:
    // Throws when the name clashes with one added before.
    void Add(std::string_view name);

private:
    std::unordered_set<std::string> files_;    // folded names
    std::unordered_set<std::string> folders_;  // folded folder parts of those names
};

// The uncompressed directory for `files` (their offsets as given) with its
// terminator. Checks every record as ParseDirectory does.
std::string EncodeDirectory(const std::vector<TAttachedFile>& files, uint32_t directoryOffset);

// The entries of an uncompressed directory, compressed sizes worked out and
// the terminator dropped; throws on any broken rule.
std::vector<TAttachedFile> ParseDirectory(const unsigned char* data, size_t size, uint32_t directoryOffset);

}  // namespace quillane
