#pragma once
// The linear undo history of one document: operations oldest first, the
// index of the last applied one, the history index that matches the saved
// file, and the memory the history holds, bounded by evicting the oldest
// operations. After every execution, undo or redo it turns the change record
// into re-pagination, caret and selection placement and repaint.

#include <cstdint>
#include <memory>
#include <vector>

#include "editing/ChangeRecord.h"
#include "editing/Operation.h"
#include "model/DocumentParts.h"

namespace quillane {

class TDocument;
class TEditEnvironment;
class TEditView;
class TParReformatingManager;

struct TParLineRepaintInfo {
    int32_t Paragraph = 0;
    int32_t Line = 0;
    friend bool operator==(const TParLineRepaintInfo&, const TParLineRepaintInfo&) = default;
};

// The options of the editing core (taken from the program's options).
struct TEditOptions {
    bool GroupUndo = true;
    bool UndoAfterSave = true;
    bool ReplaceSel = true;
    bool WiseCutPaste = true;
    bool FmtWithoutSel = true;
    bool Overwrite = false;  // the main window's insert/overwrite state
};

class TOperationManager final : public TUndoManager {
public:
    static constexpr int64_t DefaultMemoryBound = 0x400000;
    static constexpr int32_t UnknownSavedIndex = NoParagraph;

    explicit TOperationManager(TDocument& document, int64_t memoryBound = DefaultMemoryBound);
    ~TOperationManager() override;

    TDocument& Document() const { return document_; }
    void SetView(TEditView* view) { view_ = view; }
    TEditView* View() const { return view_; }
    void SetEnvironment(TEditEnvironment* environment) { environment_ = environment; }
    TEditEnvironment* Environment() const { return environment_; }
    void SetReflow(TParReformatingManager* reflow) { reflow_ = reflow; }
    TParReformatingManager* Reflow() const { return reflow_; }
    TEditOptions Options;

    int32_t Count() const { return static_cast<int32_t>(operations_.size()); }
    TOperation& Items(int32_t i) const { return *operations_[static_cast<size_t>(i)].Operation; }
    int32_t Current() const { return current_; }
    int32_t SavedIndex() const { return savedIndex_; }
    int64_t MemoryUsed() const { return memoryUsed_; }
    int64_t MemoryBound() const { return memoryBound_; }
    bool CanUndo() const { return current_ >= 0; }
    bool CanRedo() const { return current_ < Count() - 1; }

    // Takes the operation into the history (an empty one is freed): the redo
    // list goes, the oldest operations go while the bound is exceeded, the
    // document becomes modified.
    void AddOperation(std::unique_ptr<TOperation> operation);
    // One user step back or forward (typing groups and linked operations
    // together); the whole history.
    void Undo(bool applyChanges = true);
    void Redo();
    void UndoAll();
    void RedoAll();
    // Forgets operations up to Current, keeping the redo list.
    void DropUndoHistory();
    void MarkSaved();

    // Lines an edit changed in place, repainted by the next ApplyChanges.
    void MarkLineForRepaint(int32_t paragraph, int32_t line);
    void ForgetRepaintLinesFrom(int32_t paragraph);
    const std::vector<TParLineRepaintInfo>& RepaintLines() const { return repaintLines_; }
    // Paragraph indexes kept here and in the reflow queue follow inserted
    // and removed paragraphs.
    void ParagraphsInserted(int32_t at, int32_t count);
    void ParagraphsRemoved(int32_t first, int32_t count);

    // Re-paginates from the first changed page, places caret and selection
    // and repaints what changed.
    void ApplyChanges(const TChangeRecord& change);

private:
    struct TEntry {
        std::unique_ptr<TOperation> Operation;
        int64_t Accounted = 0;  // the size last added to MemoryUsed
    };
    void Recount(TEntry& entry);
    void EvictOldest();
    void FinishStep(int32_t steps, bool singleChar, bool trackCaret, bool applyChanges, const TChangeRecord& change);
    bool GroupsWith(const TOperation& done, const TOperation& next, int32_t steps) const;
    void RefreshCommands();

    TDocument& document_;
    TEditView* view_ = nullptr;                 // not owned
    TEditEnvironment* environment_ = nullptr;   // not owned
    TParReformatingManager* reflow_ = nullptr;  // not owned
    std::vector<TEntry> operations_;
    std::vector<TParLineRepaintInfo> repaintLines_;
    int32_t current_ = -1;
    int32_t savedIndex_ = -1;
    int64_t memoryUsed_ = 0;
    int64_t memoryBound_;
};

// The document's operation manager, or none (a hidden document).
TOperationManager* OperationManagerOf(const TDocument& document);

}  // namespace quillane
