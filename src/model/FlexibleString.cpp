#include "model/FlexibleString.h"

#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace quillane {

TFlexibleString::TFlexibleString(TFlexibleString&& other) noexcept
    : buffer_(std::move(other.buffer_)), length_(other.length_) {
    other.buffer_.Capacity = 0;
    other.length_ = 0;
}

TFlexibleString& TFlexibleString::operator=(const TFlexibleString& other) {
    if (this != &other) {
        Assign(other);
    }
    return *this;
}

TFlexibleString& TFlexibleString::operator=(TFlexibleString&& other) noexcept {
    if (this != &other) {
        buffer_ = std::move(other.buffer_);
        length_ = other.length_;
        other.buffer_.Capacity = 0;
        other.length_ = 0;
    }
    return *this;
}

int32_t TFlexibleString::CapacityFor(int32_t n, int32_t capacity) {
    if (n == capacity) {
        return capacity;
    }
    if (n <= 0) {
        return 0;
    }
    if (n < 256) {
        int32_t bucket = 16;
        while (bucket < n) {
            bucket *= 2;
        }
        return bucket;
    }
    if (n > capacity) {
        return n > INT32_MAX - n / 4 ? INT32_MAX : n + n / 4;
    }
    return capacity;  // large strings never shrink
}

namespace {

// Gives the buffer room for exactly `capacity` bytes (above zero), keeping
// what it holds.
void Reallocate(TBufferPair& buffer, int32_t capacity) {
    void* grown = std::realloc(buffer.Data.get(), static_cast<size_t>(capacity));
    if (grown == nullptr) {
        throw std::bad_alloc();
    }
    (void)buffer.Data.release();
    buffer.Data.reset(static_cast<uint8_t*>(grown));
    buffer.Capacity = capacity;
}

}  // namespace

void TFlexibleString::ResizeBuffer(TBufferPair& buffer, int32_t newSize) {
    const int32_t wanted = CapacityFor(newSize, buffer.Capacity);
    if (wanted == buffer.Capacity) {
        return;
    }
    if (wanted == 0) {
        buffer.Data.reset();
        buffer.Capacity = 0;
        return;
    }
    Reallocate(buffer, wanted);
}

namespace {

// Lengths are 32-bit: a string that would pass 2 GB is refused rather than
// wrapped round to a negative length.
int32_t GrownLength(int32_t length, int32_t n) {
    if (static_cast<int64_t>(length) + n > INT32_MAX) {
        throw std::length_error("text longer than 2 GB");
    }
    return length + n;
}

}  // namespace

TFlexibleString& TFlexibleString::SetLength(int32_t n) {
    if (n < 0) {
        throw std::length_error("negative string length");
    }
    ResizeBuffer(buffer_, n);
    length_ = n;
    return *this;
}

void TFlexibleString::ReserveExact(int32_t n) {
    if (n > buffer_.Capacity) {
        Reallocate(buffer_, n);
    }
}

void TFlexibleString::AppendBytes(const void* source, int32_t n) {
    if (n <= 0) {
        return;
    }
    const int32_t at = length_;
    SetLength(GrownLength(length_, n));
    std::memcpy(Data() + at, source, static_cast<size_t>(n));
}

void TFlexibleString::AppendByte(uint8_t value) {
    SetLength(GrownLength(length_, 1));
    Data()[length_ - 1] = value;
}

void TFlexibleString::AppendWord(uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    AppendBytes(bytes, 2);
}

void TFlexibleString::AppendInt(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                              static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    AppendBytes(bytes, 4);
}

void TFlexibleString::InsertBytes(int32_t offset, const void* source, int32_t n) {
    if (n <= 0) {
        return;
    }
    const int32_t oldLength = length_;
    SetLength(GrownLength(length_, n));
    std::memmove(Data() + offset + n, Data() + offset, static_cast<size_t>(oldLength - offset));
    std::memcpy(Data() + offset, source, static_cast<size_t>(n));
}

void TFlexibleString::DeleteBytes(int32_t offset, int32_t n) {
    if (n <= 0) {
        return;
    }
    std::memmove(Data() + offset, Data() + offset + n, static_cast<size_t>(length_ - offset - n));
    SetLength(length_ - n);
}

void TFlexibleString::AssignBytes(const void* source, int32_t n) {
    const auto* s = static_cast<const uint8_t*>(source);
    if (n > 0 && Data() != nullptr && s >= Data() && s < Data() + Capacity()) {
        // The source lies in our own buffer, which SetLength may move.
        std::vector<uint8_t> copy(s, s + n);
        SetLength(n);
        std::memcpy(Data(), copy.data(), copy.size());
        return;
    }
    SetLength(n);
    if (n > 0) {
        std::memmove(Data(), source, static_cast<size_t>(n));
    }
}

void TFlexibleString::CopyOut(void* destination, int32_t offset, int32_t n) const {
    if (n > 0) {
        std::memcpy(destination, Data() + offset, static_cast<size_t>(n));
    }
}

void TFlexibleString::AppendTag(uint8_t kind, int32_t value) {
    uint8_t tag[8];
    EncodeTag(tag, kind, value);
    AppendBytes(tag, 8);
}

void TFlexibleString::InsertTag(int32_t offset, uint8_t kind, int32_t value) {
    uint8_t tag[8];
    EncodeTag(tag, kind, value);
    InsertBytes(offset, tag, 8);
}

}  // namespace quillane
