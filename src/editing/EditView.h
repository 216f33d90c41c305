#pragma once
// What the editing core asks of the window that shows a document: repaint
// all, a line or a run of pages, and follow the caret. The document window
// implements it with its window; the headless view with an off-screen
// surface, so that an incremental repaint can be compared with a full one.

#include <cstdint>

namespace quillane {

class TEditView {
public:
    virtual ~TEditView() = default;
    virtual void InvalidateAll() = 0;
    // One line of a paragraph, where it lies on its page.
    virtual void RepaintLine(int32_t paragraph, int32_t line) = 0;
    // Pages first..last; on the first page only from the given paragraph on.
    virtual void RepaintPages(int32_t first, int32_t fromParagraph, int32_t last) = 0;
    // The caret moved; scroll it into view when asked (minimally after a
    // single-character step).
    virtual void CaretMoved(bool scrollIntoView, bool minimal) = 0;
    // The last page the window shows (pagination is needed that far).
    virtual int32_t LastVisiblePage() const = 0;
};

// What the program around the editing core does during an edit: the
// dispatcher's busy section, refreshing commands, progress. Every method may
// do nothing (the converter, tests).
class TEditEnvironment {
public:
    virtual ~TEditEnvironment() = default;
    virtual void BeginBusy() {}
    virtual void EndBusy() {}
    virtual void RefreshCommands() {}
};

}  // namespace quillane
