#pragma once
// The picture descriptor (PICF) that starts every picture in a Word file's
// data stream: its total length, the length of the descriptor itself, the
// metafile mapping mode and extents, the size the document shows the
// picture at and its scaling. The picture's data follows the descriptor,
// within the total length.

#include <cstdint>
#include <optional>

#include "formats/word/WordBytes.h"

namespace quillane {

// Mapping modes beyond the Windows ones: a picture drawn by shape records
// (OfficeArt) that follow the descriptor, the same with the name of a
// linked file before them, and two older forms of bitmap.
constexpr int32_t PicfModeTiff = 98;
constexpr int32_t PicfModeBitmap = 99;
constexpr int32_t PicfModeShape = 100;
constexpr int32_t PicfModeShapeFile = 102;

struct TWordPicf {
    int32_t MappingMode = 0;
    int32_t XExtent = 0;      // the metafile's extents (hundredths of a millimetre when anisotropic)
    int32_t YExtent = 0;
    int32_t GoalWidth = 0;    // twips
    int32_t GoalHeight = 0;
    int32_t ScaleX = 100;     // percent
    int32_t ScaleY = 100;
    TByteView Data;           // what follows the descriptor, up to its total length
};

// The descriptor at `location` of the data stream; nothing when its total
// length or its own length does not fit the stream, or the descriptor is
// too short to hold the fields above or longer than the total.
std::optional<TWordPicf> ParseWordPicf(TByteView stream, uint64_t location);

}  // namespace quillane
