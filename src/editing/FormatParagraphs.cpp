#include "editing/FormatParagraphs.h"

#include <algorithm>
#include <utility>

#include "editing/InsertDelete.h"
#include "model/Document.h"

namespace quillane {

void TFormatParagraphsOperation::Exchange(TChangeRecord& change) {
    if (entries_.empty()) {
        return;
    }
    SetFirstChanged(Document, change, entries_.front().Paragraph);
    bool pageRules = false;
    int32_t first = entries_.front().Paragraph;
    int32_t last = first;
    for (TEntry& entry : entries_) {
        TParagraph& p = Document.Paragraph(entry.Paragraph);
        std::swap(p.Attributes[entry.Slot], entry.Value);
        pageRules = pageRules || (entry.Slot >= paKeepWithNext && entry.Slot <= paWidowControl);
        first = std::min(first, entry.Paragraph);
        last = std::max(last, entry.Paragraph);
    }
    if (first == last && !pageRules) {
        // One paragraph whose lines may change but whose place on the pages
        // does not depend on the rules of its neighbours: lay it out now.
        ParagraphTextChanged(Document, first, 0, change);
        return;
    }
    for (int32_t i = first; i <= last; ++i) {
        TParagraph& p = Document.Paragraph(i);
        p.TextChanged();
        if (p.LaidOut) {
            p.DropLayout(false);
        }
    }
}

}  // namespace quillane
