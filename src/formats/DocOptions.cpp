#include "formats/DocOptions.h"

#include "model/Document.h"

namespace quillane {

TDocSavingOptions TDocSavingOptions::WholeDocument(const TDocument& document, int32_t format) {
    TDocSavingOptions options;
    options.Format = format;
    options.LastParagraph = document.ParagraphCount() - 1;
    options.LastOffset = document.LastParagraph().PositionCount();
    return options;
}

}  // namespace quillane
