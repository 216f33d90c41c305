#pragma once
// Resizing a bitmap with a separable Mitchell filter (B = C = 1/3, support 2
// source pixels): first along the rows, then along the columns, each output
// pixel with its own weights. When shrinking, the filter is stretched by the
// reduction so that every source pixel contributes. Colours are weighted by
// their alpha, so transparent pixels lend no colour to their neighbours.

#include <cstdint>

#include "pictures/Bitmap.h"
#include "pictures/PictureError.h"

namespace quillane {

// The Mitchell-Netravali kernel with B = C = 1/3, zero from |x| = 2 on.
double MitchellFilter(double x);

// The largest result: its floating-point working copy takes 16 bytes a pixel.
constexpr int64_t MaxResampledPixels = int64_t{1} << 24;

// A bitmap of width x height resampled from `source`: 24 bits, or 32 bits
// when the source has transparency. Throws TPictureError for an empty source
// or a size below 1 x 1 or above MaxResampledPixels. Memory beyond the
// result: a float copy of it, one source row and the weights.
TBitmap ResampleMitchell(const TBitmap& source, int32_t width, int32_t height);

}  // namespace quillane
