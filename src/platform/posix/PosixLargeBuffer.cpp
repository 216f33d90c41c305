// Large blocks as their own anonymous mappings, aligned to and advised for
// transparent huge pages; small ones from the heap.
#include <sys/mman.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
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

void PreferLargeHeapPages(size_t step) {
#if defined(__GLIBC__)
    // Blocks up to 32 MB come from the heap rather than mappings of their
    // own; the heap grows by `step` beyond what is asked and is not given
    // back, so the advice below stays with the memory.
    const int32_t limit = 32 << 20;
    const auto bytes = static_cast<int>(std::min<size_t>(step, size_t{1} << 30));
    if (mallopt(M_MMAP_THRESHOLD, limit) == 0 || mallopt(M_TOP_PAD, bytes) == 0 ||
        mallopt(M_TRIM_THRESHOLD, bytes) == 0) {
        return;
    }
    auto* before = static_cast<uint8_t*>(sbrk(0));
    // Makes the heap grow now (the volatile store keeps the block from
    // being optimised away).
    if (auto* volatile probe = static_cast<uint8_t*>(std::malloc(size_t{1} << 20))) {
        probe[0] = 0;
        std::free(probe);
    }
    auto* after = static_cast<uint8_t*>(sbrk(0));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(before) + HugePage - 1) / HugePage * HugePage;
    if (before == reinterpret_cast<uint8_t*>(-1) || after == reinterpret_cast<uint8_t*>(-1) ||
        reinterpret_cast<uintptr_t>(after) <= start) {
        return;
    }
    madvise(reinterpret_cast<void*>(start), reinterpret_cast<uintptr_t>(after) - start, MADV_HUGEPAGE);
#else
    (void)step;
#endif
}

}  // namespace quillane
