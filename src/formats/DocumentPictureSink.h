#pragma once
// The pictures and objects of the RTF and Word readers placed in the
// document's object manager: PNG kept as it is, JPEG and DIB stored as PNG,
// metafiles with their mapping; the size the file asks for (goal size and
// scales) wins over the picture's own.

#include "formats/ImportedPicture.h"

namespace quillane {

class TDocumentPictureSink final : public TImportedPictureSink {
public:
    bool AddPicture(TDocument& document, TParagraph& paragraph, TImportedPicture&& picture) override;
    bool AddObject(TDocument& document, TParagraph& paragraph, TImportedObject&& object) override;
};

}  // namespace quillane
