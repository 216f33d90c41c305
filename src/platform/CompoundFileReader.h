#pragma once
// A tolerant reader of the compound file format itself (header, FAT, mini
// FAT, directory), for files the system's reader refuses although their
// streams can still be read: a FAT sector number out of range, a directory
// entry of an unknown type, a stream size larger than the file. Whatever the
// file claims is bounded by the file: every sector number is checked, every
// chain ends at the first number that leaves the file or comes round again,
// and a stream never yields more bytes than its chain holds. Entries that
// cannot be reached are left out; what is reachable opens.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/CompoundFile.h"
#include "platform/File.h"

namespace quillane {

// The bytes of a compound file, read at any offset.
class TCompoundSource {
public:
    virtual ~TCompoundSource() = default;
    virtual int64_t Size() const = 0;
    // Reads `count` bytes at `offset`, all of them or false.
    virtual bool ReadAt(int64_t offset, void* buffer, size_t count) = 0;
};

// Bytes in memory, which the caller keeps alive as long as the compound file
// and its streams.
std::unique_ptr<TCompoundSource> MemoryCompoundSource(const uint8_t* data, size_t size);
// An open file, which the source then owns.
std::unique_ptr<TCompoundSource> FileCompoundSource(std::unique_ptr<TFile> file);

// Reads the header, the FAT and the directory; fails (NotCompound or
// Damaged, with a message) only when there is no signature, no usable
// header or no root entry.
TCompoundOpenResult ReadCompoundFile(std::unique_ptr<TCompoundSource> source);
// The same on a file opened for reading.
TCompoundOpenResult ReadCompoundFile(const std::string& path);

}  // namespace quillane
