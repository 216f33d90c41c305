#pragma once
// Device-independent bitmaps as documents and the clipboard carry them: a
// bitmap header (the 12-byte core header or the 40-byte header and its
// longer versions), the colour table or the three colour masks, then the
// pixel rows, bottom up unless the height is negative, or run-length data
// of 8 or 4 bits per pixel (always bottom up). Palette pictures
// keep their palette; 16-, 24- and 32-bit pixels become 24-bit pixels.

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/PictureError.h"

namespace quillane {

// Decodes a packed DIB (no file header). Throws TPictureError for a header
// it does not know, other compressions (JPEG, PNG, 24-bit runs), sizes
// beyond the bitmap limits, and uncompressed data that ends before the last
// row (run-length data that ends early leaves the rest index 0).
TBitmap DecodeDib(TByteSpan dib);

// Decodes a bitmap file: the 14-byte file header ("BM", whose pixel offset
// is honoured), then a DIB as above.
TBitmap DecodeBmpFile(TByteSpan file);

// The picture as PNG data written by our encoder, the form documents keep
// bitmaps in.
TBytes DibToPng(TByteSpan dib);

}  // namespace quillane
