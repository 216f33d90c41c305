// Large blocks as their own anonymous mappings, aligned to and advised for
// transparent huge pages; small ones from the heap.
#include <sys/mman.h>

#include <cstdlib>
#include <new>

#include "platform/LargeBuffer.h"

namespace quillane {

namespace {

constexpr size_t HugePage = size_t{2} << 20;
// Below this a block is not worth a mapping of its own.
constexpr size_t MappedFrom = size_t{1} << 20;

size_t MappedSize(size_t size) { return (size + HugePage - 1) / HugePage * HugePage; }

}  // namespace

TLargeBuffer AllocateLargeBuffer(size_t size) {
    if (size < MappedFrom) {
        auto* data = static_cast<uint8_t*>(std::malloc(size == 0 ? 1 : size));
        if (data == nullptr) {
            throw std::bad_alloc();
        }
        return TLargeBuffer(data, TLargeBufferDeleter{size});
    }
    if (size > SIZE_MAX - 2 * HugePage) {
        throw std::bad_alloc();
    }
    // Map a huge page more than needed and give back the ends, so that the
    // block starts on a huge-page boundary.
    const size_t mapped = MappedSize(size);
    void* raw = mmap(nullptr, mapped + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    auto* base = static_cast<uint8_t*>(raw);
    const size_t skip = (HugePage - reinterpret_cast<uintptr_t>(base) % HugePage) % HugePage;
    if (skip > 0) {
        munmap(base, skip);
    }
    if (HugePage - skip > 0) {
        munmap(base + skip + mapped, HugePage - skip);
    }
    uint8_t* data = base + skip;
    madvise(data, mapped, MADV_HUGEPAGE);  // a hint: without it the block still works
    return TLargeBuffer(data, TLargeBufferDeleter{size});
}

void TLargeBufferDeleter::operator()(uint8_t* data) const noexcept {
    if (Size < MappedFrom) {
        std::free(data);
    } else {
        munmap(data, MappedSize(Size));
    }
}

}  // namespace quillane
