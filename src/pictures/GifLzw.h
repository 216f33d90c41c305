#pragma once
// The LZW decoder of GIF frames, writing palette indexes into a bitmap.

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"

namespace quillane {

enum class TGifLzwResult {
    Complete,  // every pixel written, or the end code read
    Damaged,   // an impossible code or chain: decoding stopped there
    EndOfData  // the data ended before the end code and the last pixel
};

// Decodes `data` (the sub-blocks' bytes joined, without the code-size
// byte) with the minimum code size `codeSize` (1..11) into the palette
// bitmap `bitmap` of the frame's size, rows in GIF's interlaced order when
// `interlaced`. Indexes wider than the bitmap's pixels are cut to them.
// Pixels not reached stay as they were.
TGifLzwResult DecodeGifLzw(TByteSpan data, int codeSize, bool interlaced, TBitmap& bitmap);

}  // namespace quillane
