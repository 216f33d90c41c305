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

}  // namespace quillane
