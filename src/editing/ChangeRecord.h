#pragma once
// What an execution, undo or redo changed, for the step that re-paginates,
// places the caret and repaints afterwards.

#include <cstdint>

#include "model/ViewState.h"

namespace quillane {

class TDocument;

// A caret to set: the position and the preferred line when the position
// falls on a soft line end (NoParagraph: none). A caret whose paragraph is
// NoParagraph leaves the document's caret where it is.
struct TCaretPlace {
    TTextPosition Position{NoParagraph, 0};
    int32_t LineHint = NoParagraph;
};

struct TChangeRecord {
    bool FullRepaint = false;
    int32_t FirstParagraph = NoParagraph;  // first paragraph whose layout changed
    int32_t FirstPage = NoParagraph;       // the page its first line lay on before
    TTextPosition SelectionStart{NoParagraph, NoParagraph};  // NoParagraph: leave the selection
    TTextPosition SelectionEnd{0, 0};
    TCaretPlace Caret;

    bool SetsSelection() const { return SelectionStart.Paragraph != NoParagraph; }
    void SetSelection(TTextPosition start, TTextPosition end) {
        SelectionStart = start;
        SelectionEnd = end;
    }
    // Both ends at (0, 0): the selection collapses to the caret.
    void CollapseSelection() { SetSelection({0, 0}, {0, 0}); }
    void SetCaret(TTextPosition position, int32_t lineHint = NoParagraph) { Caret = {position, lineHint}; }
};

// Combines `from` into `into`: a full repaint wins; otherwise the earlier
// first changed paragraph wins; selection and caret are those of `from`
// (the last one wins) when it sets them.
void MergeChange(TChangeRecord& into, const TChangeRecord& from);

// Merges only what `from` says about layout and repaint: nested steps (a
// style re-applied inside a style-list change, tabs inside a tab change)
// must not move the selection or the caret of the step around them.
void MergeLayoutChange(TChangeRecord& into, TChangeRecord from);

// Reports paragraph p as changed: from p back over every preceding paragraph
// that keeps with the next, the first one whose first line is on a page
// gives the first changed paragraph and that page. When it is on no page
// (its layout was dropped earlier) the first page holding a piece of it or a
// later paragraph is taken, so that pages never keep pieces of changed
// paragraphs. Must be called before the change, while pages still describe
// the document as it was.
void SetFirstChanged(const TDocument& document, TChangeRecord& change, int32_t p);

}  // namespace quillane
