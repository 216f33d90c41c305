#pragma once
// The pixel data of a PNG ("IDAT"): a zlib stream of filtered rows, in seven
// Adam7 passes when interlaced. Decoding inflates and unfilters one row at a
// time into two alternating buffers and converts the samples into a bitmap;
// encoding filters each row with the filter that promises the best
// compression and deflates the result.

#include <cstdint>
#include <optional>

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/Gamma.h"
#include "pictures/PictureError.h"
#include "pictures/PngHeader.h"

namespace quillane {

// What besides the pixel data decides the decoded colours.
struct TPngColours {
    TByteSpan Palette;                   // "PLTE": red, green, blue triples
    std::optional<TByteSpan> Transparency;  // "tRNS" data, already checked for its colour type
    const TGammaTable* Gamma = nullptr;  // colour samples are mapped through it
};

// The bitmap a header decodes into:
// - grey of 1 bit: 1 bit per pixel; 2 and 4 bits: 4 bits per pixel; 8 and 16
//   bits: 8 bits per pixel, all with a palette of evenly spaced greys (one
//   entry transparent when "tRNS" names a level);
// - palette: 1, 4 or 8 bits per pixel with the file's palette;
// - RGB: 24 bits; RGB with a transparent colour, grey with alpha, RGBA, and
//   16-bit grey with a transparent level: 32 bits with alpha, so nothing of
//   the transparency is lost.
// 16-bit samples keep their high byte; a transparent colour is compared at
// full depth first.
int32_t DecodedBitsPerPixel(const TPngHeader& header, bool hasTransparency);

// Decodes the image data; throws TPictureError for corrupt or short data or
// a palette image without a palette.
TBitmap DecodePngPixels(const TPngHeader& header, TByteSpan compressed, const TPngColours& colours);

// The header under which a bitmap is written: palette bitmaps as colour type
// 3 with their bit depth, 24 bits as RGB and 32 bits as RGBA, 8 bits each.
TPngHeader EncodedHeader(const TBitmap& bitmap);
// The palette entries to write: enough for every index in use.
std::vector<TPaletteEntry> EncodedPalette(const TBitmap& bitmap);

// The zlib stream of the bitmap's rows, each preceded by its filter byte.
// `allowedFilters` is a set of FilterBit values.
TBytes EncodePngPixels(const TBitmap& bitmap, int compressionLevel, uint8_t allowedFilters);

}  // namespace quillane
