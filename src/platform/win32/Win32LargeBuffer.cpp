// Large blocks from the heap: large pages on Windows need a privilege
// ordinary users do not hold.
#include <cstdlib>
#include <new>

#include "platform/LargeBuffer.h"

namespace quillane {

TLargeBuffer AllocateLargeBuffer(size_t size) {
    auto* data = static_cast<uint8_t*>(std::malloc(size == 0 ? 1 : size));
    if (data == nullptr) {
        throw std::bad_alloc();
    }
    return TLargeBuffer(data, TLargeBufferDeleter{size});
}

void PreferLargeHeapPages(size_t) {}

void TLargeBufferDeleter::operator()(uint8_t* data) const noexcept { std::free(data); }

}  // namespace quillane
