#pragma once
// Picture files as the program opens them: the format is told by the first
// bytes, not the name.

#include <cstdint>

#include "pictures/Bytes.h"
#include "pictures/PictureError.h"
#include "pictures/PngImage.h"

namespace quillane {

enum class TPictureFormat { Unknown, Png, Jpeg };

// Picture files larger than this are not read.
constexpr int64_t MaxPictureFileBytes = int64_t{256} << 20;

TPictureFormat DetectPictureFormat(TByteSpan data);

// A PNG or JPEG file as a PNG picture: a PNG keeps its chunks, a JPEG
// gives its pixels. Throws TPictureError for other data or a picture that
// cannot be decoded.
TPNGImage LoadPngOrJpeg(TByteSpan data);

}  // namespace quillane
