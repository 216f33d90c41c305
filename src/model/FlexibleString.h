#pragma once
// A growable byte string whose capacity follows a fixed bucket policy: small
// strings live in 16..256-byte buckets (and give memory back when they
// shrink), large ones grow by a quarter and never shrink. Paragraph text,
// position strings and many scratch buffers are kept in it, so typing into a
// paragraph reallocates rarely and a laid-out paragraph is one contiguous scan.

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace quillane {

struct TFreeDeleter {
    void operator()(uint8_t* p) const noexcept { std::free(p); }
};
using TMallocBytes = std::unique_ptr<uint8_t[], TFreeDeleter>;

// A caller-held buffer that grows with the same policy as TFlexibleString
// (per-line position arrays, per-paragraph snapshot buffers).
struct TBufferPair {
    TMallocBytes Data;
    int32_t Capacity = 0;
};

// A tag's eight bytes: 0x00, kind, auxiliary byte (0 until layout resolves a
// tab), value little-endian, 0x01. For builders that gather a stream first.
inline void EncodeTag(uint8_t* tag, uint8_t kind, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    tag[0] = 0;
    tag[1] = kind;
    tag[2] = 0;
    tag[3] = static_cast<uint8_t>(u);
    tag[4] = static_cast<uint8_t>(u >> 8);
    tag[5] = static_cast<uint8_t>(u >> 16);
    tag[6] = static_cast<uint8_t>(u >> 24);
    tag[7] = 1;
}

class TFlexibleString {
public:
    TFlexibleString() = default;
    TFlexibleString(const TFlexibleString& other) { Assign(other); }
    TFlexibleString(TFlexibleString&& other) noexcept;
    TFlexibleString& operator=(const TFlexibleString& other);
    TFlexibleString& operator=(TFlexibleString&& other) noexcept;
    ~TFlexibleString() = default;

    // The capacity the policy gives a buffer of `capacity` bytes asked to hold n.
    static int32_t CapacityFor(int32_t n, int32_t capacity);
    // Applies the policy to a caller-held pair; throws std::bad_alloc on failure.
    static void ResizeBuffer(TBufferPair& buffer, int32_t newSize);

    TFlexibleString& SetLength(int32_t n);
    void Clear() { SetLength(0); }
    // Room for exactly n bytes, for a string filled once to its final size
    // (text read from a file): the policy's slack would be a quarter more
    // memory for a whole document. Growing later follows the policy.
    void ReserveExact(int32_t n);

    void AppendBytes(const void* source, int32_t n);
    void Append(const TFlexibleString& other) { AppendBytes(other.Data(), other.Length()); }
    void AppendByte(uint8_t value);
    void AppendWord(uint16_t value);
    void AppendInt(int32_t value);
    void InsertBytes(int32_t offset, const void* source, int32_t n);
    void DeleteBytes(int32_t offset, int32_t n);
    void Assign(const TFlexibleString& other) { AssignBytes(other.Data(), other.Length()); }
    void AssignBytes(const void* source, int32_t n);
    void CopyOut(void* destination, int32_t offset, int32_t n) const;

    // Tags: 0x00, kind, auxiliary byte, 32-bit value, 0x01.
    void AppendTag(uint8_t kind, int32_t value);
    void InsertTag(int32_t offset, uint8_t kind, int32_t value);

    int32_t Length() const { return length_; }
    int32_t Capacity() const { return buffer_.Capacity; }
    uint8_t* Data() { return buffer_.Data.get(); }
    const uint8_t* Data() const { return buffer_.Data.get(); }
    uint8_t operator[](int32_t i) const { return buffer_.Data[i]; }
    uint8_t& operator[](int32_t i) { return buffer_.Data[i]; }

private:
    TBufferPair buffer_;
    int32_t length_ = 0;
};

}  // namespace quillane
