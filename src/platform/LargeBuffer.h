#pragma once
// Memory for one large block filled at once (a document's streams, read
// whole). It is asked of the system directly so that it can come in large
// pages where the system offers them: filling 16 MB a 4 KB page at a time
// costs thousands of page faults, more than reading the bytes. Not
// zero-filled; throws std::bad_alloc when the memory is not there.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quillane {

struct TLargeBufferDeleter {
    size_t Size = 0;  // as asked, which tells how the block was obtained
    void operator()(uint8_t* data) const noexcept;
};
using TLargeBuffer = std::unique_ptr<uint8_t[], TLargeBufferDeleter>;

TLargeBuffer AllocateLargeBuffer(size_t size);

// For a process that builds one large document at once (the converter):
// the heap grows in steps of `step` bytes, advised for large pages, and
// keeps what it grew to. Building a 20 MB document otherwise costs a page
// fault per 4 KB, which can take longer than reading the file. A hint: where
// the system cannot, nothing changes.
void PreferLargeHeapPages(size_t step);

}  // namespace quillane
