#pragma once
// The run-length encodings of device-independent bitmaps (8 and 4 bits per
// pixel), as bitmap files and old clipboards carry them.

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"

namespace quillane {

// Decodes run-length pixels into `bitmap` (8 or 4 bits, of the DIB's size,
// all zero), whose rows the data describes from the bottom up: runs, runs
// of literal pixels, end of line, delta moves and end of bitmap. Runs that
// reach past a row's end are cut there; pixels the data skips or never
// reaches stay index 0. Never reads past `data`.
void DecodeDibRunLength(TByteSpan data, TBitmap& bitmap);

}  // namespace quillane
