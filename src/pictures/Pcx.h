#pragma once
// ZSoft PCX pictures (read only), versions 0 to 5.

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/PictureError.h"

namespace quillane {

// Decodes a PCX file by its (bits per pixel, planes) pair:
//   (1,1) -> black (0) and white (1), whatever the header palette says;
//   (1,2), (1,3), (1,4), (2,1), (4,1) -> 4-bit bitmap with the header's 16
//       colours (versions 0 and 3, which carry none, the standard EGA ones);
//   (8,1) -> 8-bit bitmap with the 256 colours after the 0x0C marker that
//       ends the file, or 256 greys when the marker is missing;
//   (8,3) -> 24-bit; (8,4) -> 32-bit, the fourth plane as alpha.
// Run-length data may run on from one row into the next; data that ends
// early leaves the rest of the picture zero. Throws TPictureError for a
// short or unknown header, another pair, rows shorter than the width, and
// sizes beyond the bitmap limit (refused before anything is allocated).
TBitmap DecodePcx(TByteSpan data);

}  // namespace quillane
