#pragma once
// Picture files as the program opens them (inserting a picture, the
// clipboard, file dialogs): the format is told by the first bytes where the
// format has a signature (PNG, JPEG, GIF, bitmap files), else by the name's
// extension (Targa has no signature; PCX's is too weak to trust alone).

#include <cstdint>
#include <string_view>

#include "pictures/Bytes.h"
#include "pictures/PictureError.h"
#include "pictures/PngImage.h"

namespace quillane {

enum class TPictureFormat { Unknown, Png, Jpeg, Gif, Bmp, Targa, Pcx };

// Picture files larger than this are not read.
constexpr int64_t MaxPictureFileBytes = int64_t{256} << 20;

// The format by signature only: PNG, JPEG, GIF or bitmap file, else Unknown.
TPictureFormat DetectPictureFormat(TByteSpan data);

// The format by signature, else by extension ("tga", "pcx", any case, with
// or without the dot), else a PCX or Targa header that holds together.
TPictureFormat PictureFormatOf(TByteSpan data, std::string_view extension);

// A PNG or JPEG file as a PNG picture: a PNG keeps its chunks, a JPEG
// gives its pixels. Throws TPictureError for other data or a picture that
// cannot be decoded.
TPNGImage LoadPngOrJpeg(TByteSpan data);

// Any picture file the program reads, as a PNG picture (the form documents
// store pictures in): a PNG keeps its chunks; the others give their pixels,
// a GIF its first frame on its logical screen. Throws TPictureError for an
// unknown format, an empty GIF, or a picture that cannot be decoded.
TPNGImage LoadPictureFile(TByteSpan data, std::string_view extension);

}  // namespace quillane
