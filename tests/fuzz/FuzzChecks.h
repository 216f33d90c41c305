#pragma once
// What every reader's fuzz target checks of a document it read: each
// paragraph's text stream is well formed and ends with a paragraph mark.

#include <cstdint>
#include <cstdlib>

#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane::fuzz {

inline void CheckDocument(TDocument& document) {
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        TParagraph& p = document.Paragraph(i);
        CheckTextStream(p.Text, p.Positions);  // throws on a malformed stream
        if (!p.EndsWithParagraphEnd()) {
            std::abort();
        }
    }
}

}  // namespace quillane::fuzz
