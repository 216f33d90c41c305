#include "editing/FormatMisc.h"

#include <utility>

#include "editing/InsertDelete.h"
#include "model/Document.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"

namespace quillane {

void TChangePageParamsOperation::Exchange(TChangeRecord& change) {
    const TPageSettings current = Document.PageSettings();
    Document.ApplyPageSettings(Settings, false);
    Settings = current;
    Document.FreePagesFrom(0);
    Document.DropAllLayouts();
    Document.SetPaginationComplete(false);
    change.FullRepaint = true;
    change.FirstParagraph = NoParagraph;
    change.FirstPage = NoParagraph;
}

void TChangeDefLangOperation::Exchange(TChangeRecord&) { std::swap(Document.DefaultLanguageCoding, Language); }

void TFormatObjectOperation::Exchange(TChangeRecord& change) {
    TDocObject* object = Document.Objects().Find(ObjectId);
    if (object == nullptr) {
        return;
    }
    std::swap(object->Width, Values[0]);
    std::swap(object->Height, Values[1]);
    std::swap(object->HorizontalScale, Values[2]);
    std::swap(object->VerticalScale, Values[3]);
    if (Paragraph >= 0 && Paragraph < Document.ParagraphCount()) {
        ParagraphTextChanged(Document, Paragraph, 0, change);
    }
}

int64_t TFormatTabsOperation::MemorySize() const {
    return int64_t{sizeof(*this)} + (Nested ? Nested->MemorySize() : 0);
}

void TFormatTabsOperation::ExchangeInterval(TChangeRecord& change) {
    const int32_t current = Document.Tabs().DefaultInterval();
    if (current == Interval) {
        return;
    }
    SetFirstChanged(Document, change, 0);
    Document.Tabs().SetDefaultInterval(Interval);
    Interval = current;
    for (int32_t i = 0; i < Document.ParagraphCount(); ++i) {
        TParagraph& p = Document.Paragraph(i);
        if (p.LaidOut) {
            p.DropLayout(false);
        }
    }
}

void TFormatTabsOperation::Redo(TChangeRecord& change) {
    ExchangeInterval(change);
    if (Nested) {
        TChangeRecord own;
        Nested->Redo(own);
        MergeLayoutChange(change, own);
    }
}

void TFormatTabsOperation::Undo(TChangeRecord& change) {
    if (Nested) {
        TChangeRecord own;
        Nested->Undo(own);
        MergeLayoutChange(change, own);
    }
    ExchangeInterval(change);
}

}  // namespace quillane
