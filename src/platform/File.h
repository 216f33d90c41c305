#pragma once
// Files as the readers and writers see them: an open handle that reads,
// writes, seeks and truncates. File names are UTF-8. An open document keeps
// its file open for reading and writing, shared for reading only, so other
// programs can read it but not change it. On POSIX, where share modes do
// not exist, the handles that write also hold flock(LOCK_EX): other
// instances of the program respect it, plain readers are not held off.

#include <cstdint>
#include <memory>
#include <string>

namespace quillane {

enum class TFileMode {
    Read,          // existing file, reading, others may read
    ReadWrite,     // existing file, reading and writing, others may only read
    CreateAlways,  // new or truncated file, reading and writing, others may only read
    CreateNew,     // a file that must not exist yet (claimed in one step), as ReadWrite
};

enum class TFileError { None, NotFound, SharingViolation, AccessDenied, Exists, Other };

class TFile {
public:
    virtual ~TFile() = default;
    virtual int64_t Size() const = 0;
    // Bytes read (0 at the end of the file), or -1 after an error.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    // Writes all bytes; false after an error.
    virtual bool Write(const void* buffer, int32_t count) = 0;
    virtual bool Seek(int64_t offset) = 0;
    virtual int64_t Tell() const = 0;
    // Ends the file at the current position.
    virtual bool Truncate() = 0;
    // Forces what was written onto the disk, so that a file renamed into
    // place afterwards never turns out empty after a power cut.
    virtual bool Flush() { return true; }
};

struct TFileOpenResult {
    std::unique_ptr<TFile> File;
    TFileError Error = TFileError::None;
    std::string Message;  // the system's description of the error
};

TFileOpenResult OpenFile(const std::string& path, TFileMode mode);

}  // namespace quillane
