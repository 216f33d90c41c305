#pragma once
// Truevision Targa pictures (read only): colour-mapped, true-colour and
// greyscale images, raw or run-length encoded, in any of the four corner
// orientations. Colours keep their full eight bits and alpha is kept where
// the file has it (32-bit pixels, grey with alpha, 32-bit colour maps).

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/PictureError.h"

namespace quillane {

// Decodes a Targa file. Image types and depths read:
//   1/9 (colour-mapped): 8-bit indexes into a map of 15/16-, 24- or 32-bit
//       entries -> 8-bit palette bitmap;
//   2/10 (true colour): 15/16 bits -> 24-bit, 24 -> 24-bit, 32 -> 32-bit;
//   3/11 (grey): 1 -> black and white, 8 -> 256 greys, 16 -> grey and alpha
//       as 32-bit.
// Depth 4, which no program writes pixels for, gives a blank picture of the
// right size. Run-length packets may cross rows. Pixel data that ends early
// leaves the rest of the picture zero. Throws TPictureError for a short
// header or colour map, another type or depth, and sizes of 0 or beyond the
// bitmap limit (refused before anything is allocated).
TBitmap DecodeTarga(TByteSpan data);

}  // namespace quillane
