#pragma once
// The picture of a graphics paragraph. The paragraph starts with a 40-byte
// header: mapping mode, metafile extents, the offset from the left margin,
// the display size in twips, a bitmap description, the header's own size,
// the data size and the scales in tenths of a percent. Metafiles are kept;
// bitmaps (mapping mode 0xE3) and OLE objects (0xE4) are not.

#include <cstdint>
#include <optional>

#include "formats/ImportedPicture.h"
#include "formats/word/WordBytes.h"

namespace quillane {

constexpr uint32_t WritePictureHeaderSize = 40;

struct TWritePicture {
    // Nothing when the picture is dropped: a bitmap, an object, or a
    // header whose data does not lie inside the paragraph.
    std::optional<TImportedPicture> Picture;
    int32_t Offset = 0;  // twips from the left indent
    // The bytes the picture takes (header and data), 0 when they are unknown.
    uint32_t Size = 0;
};

// `paragraph` is the graphics paragraph's text, which bounds the data.
TWritePicture ReadWritePicture(TByteView paragraph);

}  // namespace quillane
