#pragma once
// The image header of a PNG file ("IHDR", 13 bytes) and the rules that make
// one valid: a size of at least 1 x 1 within the bitmap limits, and one of
// the fifteen pairs of colour type and bit depth the format defines.

#include <cstdint>

#include "pictures/Bytes.h"
#include "pictures/PictureError.h"

namespace quillane {

enum TPngColourType : uint8_t {
    ctGrey = 0,
    ctRgb = 2,
    ctPalette = 3,
    ctGreyAlpha = 4,
    ctRgba = 6,
};

struct TPngHeader {
    static constexpr size_t Size = 13;
    // One row of file data (before the filter byte) may take at most 32 MiB,
    // which bounds the decoder's row buffers for any width.
    static constexpr int64_t MaxRowBytes = int64_t{32} << 20;

    int32_t Width = 0;
    int32_t Height = 0;
    uint8_t BitDepth = 0;
    uint8_t ColourType = 0;
    uint8_t Compression = 0;
    uint8_t FilterMethod = 0;
    uint8_t Interlace = 0;

    // Reads and checks the 13 data bytes; throws TPictureError naming the
    // first fault.
    static TPngHeader Parse(TByteSpan data);
    // The header of a whole PNG file: the signature, then an "IHDR" chunk
    // of 13 bytes, checked as Parse does. Pictures that documents carry as
    // PNG data are kept packed until drawn; this is what lets a reader
    // refuse one whose header no decoder would accept, instead of storing
    // it. Throws TPictureError.
    static TPngHeader OfFile(TByteSpan png);
    TBytes Serialize() const;

    int32_t Channels() const;
    int32_t BitsPerPixel() const { return Channels() * BitDepth; }
    // Bytes of one row of `width` pixels, without the filter byte.
    int64_t RowBytes(int64_t width) const { return (width * BitsPerPixel() + 7) / 8; }
    // Distance in bytes to the corresponding byte of the pixel to the left.
    size_t FilterDistance() const { return static_cast<size_t>(BitsPerPixel() < 8 ? 1 : BitsPerPixel() / 8); }

    static bool ValidPair(uint8_t colourType, uint8_t bitDepth);
};

}  // namespace quillane
