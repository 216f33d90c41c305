#pragma once
// Pictures of a Word document: a special character 1 whose character
// properties give the picture's place in the data stream. Decoding them
// (PICF, metafiles, OfficeArt blips) and registering them with the
// document's objects needs the picture registry of the model, which this
// version does not have yet; until then every picture is dropped and the
// reader marks the document as opened with data losses.

#include "formats/word/WordBytes.h"
#include "formats/word/WordFib.h"
#include "formats/word/WordProperties.h"

namespace quillane {

class TDocument;

// The data stream (Word 6.0/95: the main stream), read on first use;
// nothing when the file has none.
class TWordDataStream {
public:
    virtual ~TWordDataStream() = default;
    virtual const TByteView* Bytes() = 0;
};

// Appends the picture at the character's location to the document's last
// paragraph; false when it was dropped.
bool ReadWordPicture(const TWordCharProps& chars, TWordDataStream& data, TWordGeneration generation,
                     TDocument& document);

}  // namespace quillane
