#pragma once
// A device-independent bitmap as pictures are decoded into and encoded from:
// 1, 4 or 8 bits per pixel through a palette, 24 bits (blue, green, red) or
// 32 bits (blue, green, red, alpha, not premultiplied). Rows run top to
// bottom, each padded to a multiple of 4 bytes, the layout Windows draws
// from directly. Palette entries carry an alpha, so a palette picture can be
// transparent. Nothing here knows a file format.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pictures/PictureError.h"

namespace quillane {

struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Alpha = 255;
    bool operator==(const TPaletteEntry&) const = default;
};

// One pixel as 8-bit red, green, blue and alpha.
struct TRgba {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Alpha = 255;
    bool operator==(const TRgba&) const = default;
};

class TBitmap {
public:
    // Decoded pixels may take at most 256 MiB: more than a 32-bit program can
    // spare for one picture, and a bound no file can talk us past.
    static constexpr int64_t MaxPixelBytes = int64_t{256} << 20;

    TBitmap() = default;  // empty: no pixels
    // A bitmap of zeros (palette index 0, black, transparent for 32 bits).
    // Throws TPictureError for a size below 1 or beyond MaxPixelBytes and for
    // an unknown pixel format.
    TBitmap(int32_t width, int32_t height, int32_t bitsPerPixel);

    // The row size for a width, or -1 when the bitmap would be too large.
    static int64_t StrideFor(int32_t width, int32_t bitsPerPixel);
    static bool ValidBitsPerPixel(int32_t bitsPerPixel);

    bool Empty() const { return width_ == 0; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t BitsPerPixel() const { return bitsPerPixel_; }
    int32_t Stride() const { return stride_; }
    bool HasPalette() const { return bitsPerPixel_ <= 8; }

    uint8_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_); }
    const uint8_t* Row(int32_t y) const {
        return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_);
    }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }
    size_t PixelBytes() const { return pixels_.size(); }

    // The palette of a 1-, 4- or 8-bit bitmap; indexes beyond it read as
    // opaque black.
    std::vector<TPaletteEntry> Palette;

    // The palette index at (x, y) of a palette bitmap.
    uint8_t IndexAt(int32_t x, int32_t y) const;
    void SetIndex(int32_t x, int32_t y, uint8_t index);
    TRgba PixelAt(int32_t x, int32_t y) const;
    // A 32-bit pixel or a palette entry less than opaque.
    bool HasTransparency() const;
    // Every pixel as R, G, B, A bytes, row after row without padding.
    std::vector<uint8_t> ToRgba() const;

    bool operator==(const TBitmap& other) const;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t bitsPerPixel_ = 0;
    int32_t stride_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace quillane
