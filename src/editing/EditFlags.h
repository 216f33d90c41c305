#pragma once
// The document state flags that editing gives a meaning, in one place with
// those of the view and the pagination, so that no two users share a bit.
//
// Flags that mark work in progress are pushed when the work starts and popped
// exactly once when it ends (TScopedFlag), so nested users restore what they
// found. Flags that report a result or a request (operation added, refresh or
// full repaint requested, input attributes set, keyboard switched) are
// assigned without the stack: nobody restores them.

#include "model/StateFlags.h"

namespace quillane {

enum TEditStateBit : int {
    dsCaretEnabled = 7,         // the window shows a caret (view)
    dsInputAttrsSet = 21,       // formatting chosen without a selection; typed text takes it
    dsKeyboardSwitched = 23,    // the keyboard layout changed since the caret last moved
    dsReflowUpdate = 24,        // an update that comes from working off the reflow queue
    dsKeepView = 27,            // apply the change without scrolling to the caret
    dsSingleCharChange = 28,    // the last undo or redo step was one typed character
    dsUndoRedo = 29,            // undo or redo in progress
    dsKeepObjects = 30,         // freed sub-operations leave the objects in their buffers alone
    dsPastingClipboard = 31,    // typed-text language from the clipboard's locale
    dsUserLocaleInput = 32,     // typed-text language from the user's locale (files, dates)
    dsNoKeyboardAdaptation = 33,
    dsOperationAdded = 47,      // the last edit action added an operation
    dsPerformingEdit = 48,
    dsRefreshRequested = 49,    // the window refreshes its caret display after the action
    dsFullRepaintRequested = 50,
    dsEditInProgress = 51,      // the status bar's page total does not drop meanwhile
    dsPasting = 52,             // overwrite mode deletes nothing
    dsApplyingStyleList = 53,   // style application shows its progress
};

// Pushes a flag with a value for the lifetime of the object and pops it in
// the destructor, also when an exception passes.
class TScopedFlag {
public:
    TScopedFlag(TStateFlags& flags, int bit, bool value) : flags_(flags) {
        if (value) {
            flags_.SetFlag(bit);
        } else {
            flags_.ClearFlag(bit);
        }
    }
    ~TScopedFlag() { flags_.PopFlags(1); }
    TScopedFlag(const TScopedFlag&) = delete;
    TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
    TStateFlags& flags_;
};

}  // namespace quillane
