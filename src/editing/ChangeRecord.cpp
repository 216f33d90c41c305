#include "editing/ChangeRecord.h"

#include <algorithm>

#include "model/Document.h"

namespace quillane {

void MergeChange(TChangeRecord& into, const TChangeRecord& from) {
    into.FullRepaint = into.FullRepaint || from.FullRepaint;
    if (into.FullRepaint) {
        into.FirstParagraph = NoParagraph;
        into.FirstPage = NoParagraph;
    } else if (from.FirstParagraph != NoParagraph &&
               (into.FirstParagraph == NoParagraph || from.FirstParagraph < into.FirstParagraph)) {
        into.FirstParagraph = from.FirstParagraph;
        into.FirstPage = from.FirstPage;
    }
    if (from.SetsSelection()) {
        into.SelectionStart = from.SelectionStart;
        into.SelectionEnd = from.SelectionEnd;
    }
    if (from.Caret.Position.Paragraph != NoParagraph) {
        into.Caret = from.Caret;
    }
}

void MergeLayoutChange(TChangeRecord& into, TChangeRecord from) {
    from.SelectionStart.Paragraph = NoParagraph;
    from.Caret.Position.Paragraph = NoParagraph;
    MergeChange(into, from);
}

namespace {

// The first page with a piece of paragraph p or a later one, -1 if none.
int32_t FirstPageFrom(const TDocument& document, int32_t p) {
    int32_t lo = 0;
    int32_t hi = document.PageCount();
    // Pages hold ascending paragraphs: find the first page whose last piece
    // reaches p.
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        const TPage& page = document.Page(mid);
        if (page.PieceCount() > 0 && page.Piece(page.PieceCount() - 1).Paragraph >= p) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo < document.PageCount() ? lo : -1;
}

}  // namespace

void SetFirstChanged(const TDocument& document, TChangeRecord& change, int32_t p) {
    TChangeRecord own;
    if (document.ParagraphCount() == 0) {
        return;
    }
    p = std::clamp(p, 0, document.ParagraphCount() - 1);
    while (p > 0 && document.Paragraph(p - 1).Attributes[paKeepWithNext] != 0) {
        --p;
    }
    const TParagraph& paragraph = document.Paragraph(p);
    if (paragraph.FirstOnPage()) {
        own.FirstParagraph = p;
        own.FirstPage = paragraph.Line(0).Page->Index;
    } else {
        int32_t page = FirstPageFrom(document, p);
        if (page < 0 && document.PageCount() > 0) {
            // Beyond the pages made so far: pagination goes on from the last
            // page, which it took as full; the changed paragraph may fit
            // there now.
            page = document.PageCount() - 1;
        }
        if (page >= 0) {
            own.FirstParagraph = p;
            own.FirstPage = page;
        }
    }
    // Selection and caret stay as the caller has them.
    const TChangeRecord keep = change;
    MergeChange(change, own);
    change.SelectionStart = keep.SelectionStart;
    change.SelectionEnd = keep.SelectionEnd;
    change.Caret = keep.Caret;
}

}  // namespace quillane
