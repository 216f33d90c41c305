#pragma once
// Pictures of a Word document: a special character 1 whose character
// properties give the place of the picture's descriptor (PICF) in the data
// stream. A Windows metafile follows the descriptor directly; Word 97/2000
// stores other pictures as drawing records (OfficeArt) behind it. The
// picture comes out ready for the picture sink, sized as the document
// shows it.

#include <optional>

#include "formats/ImportedPicture.h"
#include "formats/word/WordBytes.h"
#include "formats/word/WordFib.h"

namespace quillane {

// The data stream (Word 6.0/95: the main stream), read on first use;
// nothing when the file has none.
class TWordDataStream {
public:
    virtual ~TWordDataStream() = default;
    virtual const TByteView* Bytes() = 0;
};

// The picture whose descriptor lies at `location`; nothing when there is
// none there or it is of a kind this reader drops (the caller records the
// loss).
std::optional<TImportedPicture> ReadWordPicture(uint32_t location, TWordDataStream& data, TWordGeneration generation);

}  // namespace quillane
