#pragma once
// A stream read a window at a time. The Word 97/2000 main stream is mostly
// the text, read once from start to end: holding it whole would cost as
// much fresh memory as the document built from it, so the text goes
// through a window that moves along, and formatted pages and section
// descriptors through a smaller one of their own (they lie together, away
// from the text). Bytes already held whole (Word 6.0/95, which keeps its
// tables in the main stream) are shown as they are.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "formats/word/WordBytes.h"

namespace quillane {

class TStorageStream;

class TWordStreamWindow {
public:
    // Over bytes held elsewhere, which must outlive the window.
    explicit TWordStreamWindow(TByteView whole);
    // Over a stream, `capacity` bytes at a time; a failed read throws
    // std::runtime_error with `failure`.
    TWordStreamWindow(TStorageStream& stream, uint64_t size, size_t capacity, const char* failure);

    uint64_t Size() const { return size_; }
    size_t Capacity() const { return capacity_; }
    // The bytes [offset, offset + length) as far as they lie in the stream
    // and the window's capacity; valid until the next call.
    TByteView Range(uint64_t offset, uint64_t length);

private:
    TStorageStream* stream_ = nullptr;
    uint64_t size_ = 0;
    size_t capacity_ = 0;
    const char* failure_ = "";
    std::unique_ptr<uint8_t[]> buffer_;
    TByteView held_;          // the bytes held: all of them, or the window's
    uint64_t heldFrom_ = 0;   // the stream offset of held_'s first byte
};

}  // namespace quillane
