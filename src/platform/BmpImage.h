#pragma once
// Bitmaps as BMP files: 24 bits per pixel, rows bottom-up, each padded to
// four bytes, the layout every image program reads.

#include <string>

#include "platform/Canvas.h"

namespace quillane {

// The whole file; empty for an invalid bitmap.
std::string EncodeBmp(const TBitmapView& bitmap);

}  // namespace quillane
