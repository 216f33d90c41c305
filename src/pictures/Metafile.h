#pragma once
// Headers of metafile pictures, read for the picture's size; the bits
// themselves are kept as they are and played by the drawing side. Enhanced
// metafiles give their frame in hundredths of a millimetre; placeable
// Windows metafiles give a bounding box in units per inch; a plain Windows
// metafile has no size of its own (the document supplies it).

#include <cstdint>
#include <optional>

#include "pictures/Bytes.h"

namespace quillane {

enum class TMetafileKind { Unknown, Enhanced, Windows };

struct TMetafileInfo {
    TMetafileKind Kind = TMetafileKind::Unknown;
    bool Placeable = false;           // Windows metafile with the 22-byte placeable header
    std::optional<int32_t> Width;     // twips
    std::optional<int32_t> Height;    // twips
};

// The mapping mode and extents that go with Windows metafile bits in a
// document (mode 8, anisotropic, with extents in hundredths of a millimetre).
struct TMetafilePictHeader {
    int32_t Mode = 8;
    int32_t XExtent = 0;
    int32_t YExtent = 0;
};

// Sizes beyond this many twips (about 11650 inches) are not believed.
constexpr int32_t MaxMetafileTwips = 1 << 24;

// Never throws: bytes that are no metafile give Kind Unknown, a header whose
// size is missing or implausible gives no size.
TMetafileInfo ReadMetafileHeader(TByteSpan bits);

}  // namespace quillane
