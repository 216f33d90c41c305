#include "pictures/GifLzw.h"

#include <array>

namespace quillane {

namespace {

constexpr int MaxCodeWidth = 12;
constexpr int TableSize = 1 << MaxCodeWidth;

// Codes of `width` bits, least significant bit first, across byte
// boundaries.
class TCodeReader {
public:
    explicit TCodeReader(TByteSpan data) : data_(data) {}

    // The next code, or -1 when the data holds no whole code more.
    int Read(int width) {
        while (bits_ < width) {
            if (at_ >= data_.size()) {
                return -1;
            }
            buffer_ |= uint32_t{data_[at_++]} << bits_;
            bits_ += 8;
        }
        const int code = static_cast<int>(buffer_ & ((1u << width) - 1));
        buffer_ >>= width;
        bits_ -= width;
        return code;
    }

private:
    TByteSpan data_;
    size_t at_ = 0;
    uint32_t buffer_ = 0;
    int bits_ = 0;
};

// Places indexes in the bitmap's rows: in order, or by the four passes of
// an interlaced frame (rows 0, 8, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...).
class TPixelWriter {
public:
    TPixelWriter(TBitmap& bitmap, bool interlaced) : bitmap_(bitmap), interlaced_(interlaced) {
        mask_ = bitmap.BitsPerPixel() >= 8 ? 0xFF : (1 << bitmap.BitsPerPixel()) - 1;
    }

    bool Full() const { return row_ >= bitmap_.Height(); }

    void Put(int index) {
        if (Full()) {
            return;  // pixels after the last row are ignored
        }
        bitmap_.SetIndex(x_, row_, static_cast<uint8_t>(index & mask_));
        if (++x_ < bitmap_.Width()) {
            return;
        }
        x_ = 0;
        if (!interlaced_) {
            ++row_;
            return;
        }
        static constexpr int Start[4] = {0, 4, 2, 1};
        static constexpr int Step[4] = {8, 8, 4, 2};
        row_ += Step[pass_];
        // A pass that would start at or below the last row has no rows.
        while (row_ >= bitmap_.Height() && pass_ < 3) {
            ++pass_;
            row_ = Start[pass_];
        }
    }

private:
    TBitmap& bitmap_;
    bool interlaced_;
    int mask_;
    int32_t x_ = 0;
    int32_t row_ = 0;
    int pass_ = 0;
};

}  // namespace

TGifLzwResult DecodeGifLzw(TByteSpan data, int codeSize, bool interlaced, TBitmap& bitmap) {
    const int clear = 1 << codeSize;
    const int end = clear + 1;
    std::array<uint16_t, TableSize> prefix{};
    std::array<uint8_t, TableSize> suffix{};
    std::array<uint8_t, TableSize + 1> stack{};
    TCodeReader reader(data);
    TPixelWriter out(bitmap, interlaced);

    // The state after a clear code, which is also where a stream without
    // one starts.
    int width = codeSize + 1;
    int next = clear + 2;
    int previous = -1;
    int first = 0;
    while (!out.Full()) {
        const int code = reader.Read(width);
        if (code < 0) {
            return TGifLzwResult::EndOfData;
        }
        if (code == clear) {
            width = codeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) {
            return TGifLzwResult::Complete;
        }
        if (previous < 0) {
            // The first code after a clear is a root; nothing to add yet.
            if (code > clear) {
                return TGifLzwResult::Damaged;
            }
            out.Put(code);
            previous = first = code;
            continue;
        }
        if (code > next) {
            return TGifLzwResult::Damaged;
        }
        // Roots are the codes below the clear code, whatever the colour
        // table's size; entries are followed back to their root.
        int depth = 0;
        int walk = code;
        if (code == next) {
            stack[depth++] = static_cast<uint8_t>(first);
            walk = previous;
        }
        while (walk > end) {
            if (depth >= TableSize) {
                return TGifLzwResult::Damaged;
            }
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        first = walk;
        stack[depth++] = static_cast<uint8_t>(walk);
        if (walk >= clear) {
            return TGifLzwResult::Damaged;
        }
        while (depth > 0) {
            out.Put(stack[--depth]);
        }
        if (next < TableSize) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = static_cast<uint8_t>(first);
            ++next;
            if (next == (1 << width) && width < MaxCodeWidth) {
                ++width;
            }
        }
        previous = code;
    }
    return TGifLzwResult::Complete;
}

}  // namespace quillane
