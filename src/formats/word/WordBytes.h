#pragma once
// Bounded little-endian access to the bytes of a stream. Every offset and
// length that a Word file gives is checked against the view before use:
// Has() answers whether a range lies inside, and a read outside the view
// gives 0 rather than touching memory beyond it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillane {

class TByteView {
public:
    TByteView() = default;
    TByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit TByteView(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }
    bool Has(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }

    uint8_t U8(uint64_t offset) const { return Has(offset, 1) ? data_[offset] : 0; }
    uint16_t U16(uint64_t offset) const {
        return Has(offset, 2) ? static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8)) : 0;
    }
    uint32_t U32(uint64_t offset) const {
        return Has(offset, 4) ? static_cast<uint32_t>(data_[offset]) | (static_cast<uint32_t>(data_[offset + 1]) << 8) |
                                    (static_cast<uint32_t>(data_[offset + 2]) << 16) |
                                    (static_cast<uint32_t>(data_[offset + 3]) << 24)
                              : 0;
    }
    int16_t S16(uint64_t offset) const { return static_cast<int16_t>(U16(offset)); }
    int32_t S32(uint64_t offset) const { return static_cast<int32_t>(U32(offset)); }

    // The part [offset, offset + length), or an empty view when it does not
    // lie inside.
    TByteView Sub(uint64_t offset, uint64_t length) const {
        return Has(offset, length) ? TByteView(data_ + offset, static_cast<size_t>(length)) : TByteView();
    }
    // From offset to the end (empty when offset lies beyond).
    TByteView From(uint64_t offset) const { return offset <= size_ ? Sub(offset, size_ - offset) : TByteView(); }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace quillane
