#pragma once
// One record of a metafile, read with bounds: every number is read only
// where the record holds it, and anything past its end reads as zero, so a
// short record can never make a player read beyond it. Players check counts
// against Size() before they loop over them.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pictures/Bytes.h"

namespace quillane {

class TMetaRecord {
public:
    explicit TMetaRecord(TByteSpan bytes) : bytes_(bytes) {}

    size_t Size() const { return bytes_.size(); }
    bool Holds(size_t offset, size_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    uint16_t U16(size_t offset) const { return Holds(offset, 2) ? ReadLittleEndian16(&bytes_[offset]) : 0; }
    int16_t I16(size_t offset) const { return static_cast<int16_t>(U16(offset)); }
    uint32_t U32(size_t offset) const { return Holds(offset, 4) ? ReadLittleEndian32(&bytes_[offset]) : 0; }
    int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
    uint8_t U8(size_t offset) const { return Holds(offset, 1) ? bytes_[offset] : 0; }
    float F32(size_t offset) const {
        const uint32_t bits = U32(offset);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // The bytes from offset on, length of them; empty when the record does
    // not hold them all.
    TByteSpan Span(size_t offset, size_t length) const {
        return Holds(offset, length) ? bytes_.subspan(offset, length) : TByteSpan{};
    }
    // How many items of itemSize fit from offset on.
    size_t Fit(size_t offset, size_t itemSize) const {
        return offset < bytes_.size() && itemSize > 0 ? (bytes_.size() - offset) / itemSize : 0;
    }

private:
    TByteSpan bytes_;
};

}  // namespace quillane
