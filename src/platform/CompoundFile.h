#pragma once
// Compound (structured storage) files, read only: the container MS Word
// documents live in. A compound file is a tree of storages holding named
// streams. A reader opens a stream by name and reads it; tools list every
// stream. Problems come back as values: a file that is not a compound file,
// or whose structure is damaged, is an error, never an exception or a crash.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/LargeBuffer.h"

namespace quillane {

enum class TStorageError { None, NotFound, NotCompound, Damaged, AccessDenied, SharingViolation, TooLarge, Other };

// One open stream, read from its current position.
class TStorageStream {
public:
    virtual ~TStorageStream() = default;
    virtual int64_t Size() const = 0;
    // Bytes read (0 at the end of the stream), or -1 after an error.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual bool Seek(int64_t offset) = 0;
};

struct TStreamOpenResult {
    std::unique_ptr<TStorageStream> Stream;
    TStorageError Error = TStorageError::None;
    std::string Message;
};

// A stream in the tree: its path (storage names and the stream's name
// joined by '/', UTF-8; names may hold control characters such as the 0x05
// of property-set streams) and its size in bytes.
struct TStreamEntry {
    std::string Path;
    int64_t Size = 0;

    friend bool operator==(const TStreamEntry&, const TStreamEntry&) = default;
};

struct TStreamListResult {
    std::vector<TStreamEntry> Streams;  // sorted by path (bytewise)
    TStorageError Error = TStorageError::None;
    std::string Message;
};

class TCompoundFile {
public:
    virtual ~TCompoundFile() = default;
    // Opens a stream by path ("WordDocument", "ObjectPool/_1234/Ole").
    virtual TStreamOpenResult OpenStream(const std::string& path) = 0;
    // Every stream of the tree; storages that cannot be read end the walk
    // with an error and the streams found so far.
    virtual TStreamListResult ListStreams() = 0;
};

struct TCompoundOpenResult {
    std::unique_ptr<TCompoundFile> File;
    TStorageError Error = TStorageError::None;
    std::string Message;
};

// Opens a compound file for reading; others may read it meanwhile but not
// write it. File names are UTF-8.
TCompoundOpenResult OpenCompoundFile(const std::string& path);

// The eight bytes every compound file starts with.
bool HasCompoundSignature(const uint8_t* data, int64_t size);

// Reads a whole stream from its start into `bytes`. A stream larger than
// `limit` is refused (TooLarge) before anything is allocated; a read error
// or a short read is an error.
TStorageError ReadWholeStream(TStorageStream& stream, std::vector<uint8_t>& bytes, int64_t limit);

// A whole stream's bytes, read into a large buffer (not zero-filled
// first: a large stream would be written twice).
class TStreamBytes {
public:
    // A stream larger than `limit` is refused (TooLarge) before anything is
    // read; a read error or a short read is an error and leaves this empty.
    TStorageError Read(TStorageStream& stream, int64_t limit);
    const uint8_t* Data() const { return bytes_.get(); }
    size_t Size() const { return size_; }

private:
    TLargeBuffer bytes_;
    size_t size_ = 0;
};

// Sorts a listing by path, as every implementation returns it.
void SortStreamEntries(std::vector<TStreamEntry>& entries);

}  // namespace quillane
