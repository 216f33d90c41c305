#pragma once
// JPEG pictures, decoded with libjpeg. Documents keep JPEG pictures as PNG
// data, so the usual way in is JpegToPng.

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/PictureError.h"

namespace quillane {

// Decodes a JPEG into a 24-bit bitmap, or an 8-bit bitmap with a palette of
// 256 greys for a greyscale JPEG; CMYK pictures are converted to RGB. A
// stream that ends early decodes as far as it goes (libjpeg fills the rest
// grey). Throws TPictureError when libjpeg gives up, for a size beyond the
// bitmap limits, and for a progressive stream of more than 1000 scans.
TBitmap DecodeJpeg(TByteSpan data);

// The picture as PNG data written by our encoder.
TBytes JpegToPng(TByteSpan data);

}  // namespace quillane
