#include "pictures/Bitmap.h"

#include <string>

#include "pictures/PictureError.h"

namespace quillane {

bool TBitmap::ValidBitsPerPixel(int32_t bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24 ||
           bitsPerPixel == 32;
}

int64_t TBitmap::StrideFor(int32_t width, int32_t bitsPerPixel) {
    if (width < 1 || !ValidBitsPerPixel(bitsPerPixel)) {
        return -1;
    }
    const int64_t bits = int64_t{width} * bitsPerPixel;
    const int64_t stride = (bits + 31) / 32 * 4;
    return stride > MaxPixelBytes ? -1 : stride;
}

TBitmap::TBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (!ValidBitsPerPixel(bitsPerPixel)) {
        throw TPictureError("unsupported pixel format of " + std::to_string(bitsPerPixel) + " bits");
    }
    const int64_t stride = StrideFor(width, bitsPerPixel);
    if (width < 1 || height < 1 || stride < 0 || stride * height > MaxPixelBytes) {
        throw TPictureError("picture size " + std::to_string(width) + " x " + std::to_string(height) +
                            " is out of range");
    }
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    stride_ = static_cast<int32_t>(stride);
    pixels_.assign(static_cast<size_t>(stride * height), 0);
}

uint8_t TBitmap::IndexAt(int32_t x, int32_t y) const {
    const uint8_t* row = Row(y);
    switch (bitsPerPixel_) {
        case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4: return (row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 15;
        default: return row[x];
    }
}

void TBitmap::SetIndex(int32_t x, int32_t y, uint8_t index) {
    uint8_t* row = Row(y);
    switch (bitsPerPixel_) {
        case 1: {
            const int shift = 7 - (x & 7);
            row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
            break;
        }
        case 4: {
            const int shift = (x & 1) != 0 ? 0 : 4;
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
            break;
        }
        default: row[x] = index;
    }
}

TRgba TBitmap::PixelAt(int32_t x, int32_t y) const {
    if (HasPalette()) {
        const uint8_t index = IndexAt(x, y);
        if (index >= Palette.size()) {
            return TRgba{};
        }
        const TPaletteEntry& e = Palette[index];
        return TRgba{e.Red, e.Green, e.Blue, e.Alpha};
    }
    const uint8_t* p = Row(y) + static_cast<size_t>(x) * static_cast<size_t>(bitsPerPixel_ / 8);
    return TRgba{p[2], p[1], p[0], bitsPerPixel_ == 32 ? p[3] : uint8_t{255}};
}

bool TBitmap::HasTransparency() const {
    if (bitsPerPixel_ == 32) {
        for (int32_t y = 0; y < height_; ++y) {
            const uint8_t* row = Row(y);
            for (int32_t x = 0; x < width_; ++x) {
                if (row[x * 4 + 3] != 255) {
                    return true;
                }
            }
        }
        return false;
    }
    if (!HasPalette()) {
        return false;
    }
    for (const TPaletteEntry& e : Palette) {
        if (e.Alpha != 255) {
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> TBitmap::ToRgba() const {
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            const TRgba p = PixelAt(x, y);
            out.insert(out.end(), {p.Red, p.Green, p.Blue, p.Alpha});
        }
    }
    return out;
}

bool TBitmap::operator==(const TBitmap& other) const {
    return width_ == other.width_ && height_ == other.height_ && bitsPerPixel_ == other.bitsPerPixel_ &&
           pixels_ == other.pixels_ && Palette == other.Palette;
}

}  // namespace quillane
