#include "editing/OperationManager.h"

#include <algorithm>

#include "editing/EditFlags.h"
#include "editing/EditView.h"
#include "editing/Reflow.h"
#include "layout/Pagination.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "pictures/ObjectManager.h"

namespace quillane {

TOperationManager* OperationManagerOf(const TDocument& document) {
    return dynamic_cast<TOperationManager*>(document.Undo());
}

TOperationManager::TOperationManager(TDocument& document, int64_t memoryBound)
    : document_(document), memoryBound_(memoryBound) {}

TOperationManager::~TOperationManager() {
    // The document frees its objects itself; the buffers of the history
    // must not release them a second time.
    TScopedFlag keep(document_.Flags, dsKeepObjects, true);
    while (!operations_.empty()) {
        operations_.pop_back();
    }
}

void TOperationManager::RefreshCommands() {
    if (environment_ != nullptr) {
        environment_->RefreshCommands();
    }
}

void TOperationManager::Recount(TEntry& entry) {
    memoryUsed_ -= entry.Accounted;
    entry.Accounted = entry.Operation->MemorySize();
    memoryUsed_ += entry.Accounted;
}

void TOperationManager::EvictOldest() {
    memoryUsed_ -= operations_.front().Accounted;
    operations_.erase(operations_.begin());
    --current_;
    if (savedIndex_ != UnknownSavedIndex) {
        --savedIndex_;
        if (savedIndex_ < -1) {
            savedIndex_ = UnknownSavedIndex;
        }
    }
    // What is left of a linked chain whose head went is a plain step now:
    // it cannot be undone together with a part that no longer exists.
    if (!operations_.empty()) {
        operations_.front().Operation->Linked = false;
    }
}

void TOperationManager::AddOperation(std::unique_ptr<TOperation> operation) {
    if (!operation || operation->IsEmpty()) {
        return;
    }
    document_.SetModified(true);
    operation->TakeStateAfter();
    while (Count() - 1 > current_) {
        memoryUsed_ -= operations_.back().Accounted;
        operations_.pop_back();
    }
    if (savedIndex_ != UnknownSavedIndex && savedIndex_ > current_) {
        savedIndex_ = UnknownSavedIndex;
    }
    const int64_t size = operation->MemorySize();
    while (!operations_.empty() && memoryUsed_ + size > memoryBound_) {
        EvictOldest();
    }
    operations_.push_back(TEntry{std::move(operation), size});
    memoryUsed_ += size;
    ++current_;
    RefreshCommands();
}

bool TOperationManager::GroupsWith(const TOperation& done, const TOperation& next, int32_t steps) const {
    if (!Options.GroupUndo || !done.IsSingleCharEdit() || !next.IsSingleCharEdit()) {
        return false;
    }
    constexpr uint8_t AutoCorrect = 44;
    if (done.NameIndex == AutoCorrect || next.NameIndex == AutoCorrect) {
        return false;
    }
    const TSubOperation& a = done.Items(0);
    const TSubOperation& b = next.Items(0);
    // After one has been undone (or redone) and the other not yet, two edits
    // of the same direction have opposite text states.
    if (a.TextInDocument() == b.TextInDocument()) {
        return false;
    }
    if (a.SingleCharIsSpace() && steps > 1) {
        return false;
    }
    const TTextPosition& pa = done.CaretBefore.Position;
    const TTextPosition& pb = next.CaretBefore.Position;
    return pa.Paragraph == pb.Paragraph && std::abs(int64_t{pa.Offset} - pb.Offset) <= 1;
}

void TOperationManager::Undo(bool applyChanges) {
    if (environment_ != nullptr) {
        environment_->BeginBusy();
    }
    TScopedFlag undoing(document_.Flags, dsUndoRedo, true);
    TChangeRecord change;
    int32_t steps = 0;
    bool singleChar = false;
    bool trackCaret = true;
    while (current_ >= 0) {
        TEntry& entry = operations_[static_cast<size_t>(current_)];
        TOperation& done = *entry.Operation;
        TChangeRecord own;
        done.Undo(own);
        MergeChange(change, own);
        Recount(entry);
        trackCaret = done.TrackCaret;
        singleChar = done.IsSingleCharEdit();
        --current_;
        ++steps;
        if (current_ < 0) {
            break;
        }
        const TOperation& previous = Items(current_);
        if (GroupsWith(done, previous, steps)) {
            continue;
        }
        if (!done.Linked) {
            break;
        }
    }
    FinishStep(steps, singleChar, trackCaret, applyChanges, change);
}

void TOperationManager::Redo() {
    if (environment_ != nullptr) {
        environment_->BeginBusy();
    }
    TScopedFlag redoing(document_.Flags, dsUndoRedo, true);
    TChangeRecord change;
    int32_t steps = 0;
    bool singleChar = false;
    bool trackCaret = true;
    while (current_ < Count() - 1) {
        TEntry& entry = operations_[static_cast<size_t>(current_ + 1)];
        TOperation& done = *entry.Operation;
        TChangeRecord own;
        done.Redo(own);
        MergeChange(change, own);
        Recount(entry);
        trackCaret = done.TrackCaret;
        singleChar = done.IsSingleCharEdit();
        ++current_;
        ++steps;
        if (current_ >= Count() - 1) {
            break;
        }
        const TOperation& next = Items(current_ + 1);
        if (GroupsWith(done, next, steps)) {
            continue;
        }
        if (!next.Linked) {
            break;
        }
    }
    FinishStep(steps, singleChar, trackCaret, true, change);
}

void TOperationManager::UndoAll() {
    if (environment_ != nullptr) {
        environment_->BeginBusy();
    }
    TScopedFlag undoing(document_.Flags, dsUndoRedo, true);
    TChangeRecord change;
    int32_t steps = 0;
    bool trackCaret = true;
    while (current_ >= 0) {
        TEntry& entry = operations_[static_cast<size_t>(current_)];
        TChangeRecord own;
        entry.Operation->Undo(own);
        MergeChange(change, own);
        Recount(entry);
        trackCaret = entry.Operation->TrackCaret;
        --current_;
        ++steps;
    }
    FinishStep(steps, false, trackCaret, true, change);
}

void TOperationManager::RedoAll() {
    if (environment_ != nullptr) {
        environment_->BeginBusy();
    }
    TScopedFlag redoing(document_.Flags, dsUndoRedo, true);
    TChangeRecord change;
    int32_t steps = 0;
    bool trackCaret = true;
    while (current_ < Count() - 1) {
        TEntry& entry = operations_[static_cast<size_t>(current_ + 1)];
        TChangeRecord own;
        entry.Operation->Redo(own);
        MergeChange(change, own);
        Recount(entry);
        trackCaret = entry.Operation->TrackCaret;
        ++current_;
        ++steps;
    }
    FinishStep(steps, false, trackCaret, true, change);
}

void TOperationManager::FinishStep(int32_t steps, bool singleChar, bool trackCaret, bool applyChanges,
                                   const TChangeRecord& change) {
    if (steps > 0 && applyChanges) {
        TScopedFlag single(document_.Flags, dsSingleCharChange, steps == 1 && singleChar);
        if (!trackCaret) {
            TScopedFlag keepView(document_.Flags, dsKeepView, true);
            ApplyChanges(change);
        } else {
            ApplyChanges(change);
        }
    }
    document_.SetModified(current_ != savedIndex_);
    document_.Flags.Assign(dsKeyboardSwitched, false);
    RefreshCommands();
    if (environment_ != nullptr) {
        environment_->EndBusy();
    }
}

void TOperationManager::DropUndoHistory() {
    const int32_t dropped = current_ + 1;
    for (int32_t i = 0; i < dropped; ++i) {
        memoryUsed_ -= operations_[static_cast<size_t>(i)].Accounted;
    }
    if (savedIndex_ != UnknownSavedIndex) {
        savedIndex_ = savedIndex_ >= current_ ? savedIndex_ - current_ - 1 : UnknownSavedIndex;
    }
    operations_.erase(operations_.begin(), operations_.begin() + dropped);
    current_ = -1;
    if (!operations_.empty()) {
        operations_.front().Operation->Linked = false;
    }
    RefreshCommands();
}

void TOperationManager::MarkSaved() {
    savedIndex_ = current_;
    document_.SetModified(false);
}

void TOperationManager::MarkLineForRepaint(int32_t paragraph, int32_t line) {
    const TParLineRepaintInfo entry{paragraph, line};
    if (std::find(repaintLines_.begin(), repaintLines_.end(), entry) == repaintLines_.end()) {
        repaintLines_.push_back(entry);
    }
}

void TOperationManager::ForgetRepaintLinesFrom(int32_t paragraph) {
    std::erase_if(repaintLines_, [paragraph](const TParLineRepaintInfo& e) { return e.Paragraph >= paragraph; });
}

void TOperationManager::ParagraphsInserted(int32_t at, int32_t count) {
    for (TParLineRepaintInfo& entry : repaintLines_) {
        if (entry.Paragraph >= at) {
            entry.Paragraph += count;
        }
    }
    if (reflow_ != nullptr) {
        reflow_->ParagraphsInserted(at, count);
    }
}

void TOperationManager::ParagraphsRemoved(int32_t first, int32_t count) {
    std::erase_if(repaintLines_, [&](const TParLineRepaintInfo& e) {
        return e.Paragraph >= first && e.Paragraph < first + count;
    });
    for (TParLineRepaintInfo& entry : repaintLines_) {
        if (entry.Paragraph >= first + count) {
            entry.Paragraph -= count;
        }
    }
    if (reflow_ != nullptr) {
        reflow_->ParagraphsRemoved(first, count);
    }
    document_.Objects().DropRepaintsFrom(first);
}

namespace {

TTextPosition ClampPosition(const TDocument& document, TTextPosition position) {
    position.Paragraph = std::clamp(position.Paragraph, 0, document.ParagraphCount() - 1);
    const int32_t count = document.Paragraph(position.Paragraph).PositionCount();
    position.Offset = std::clamp(position.Offset, 0, std::max(count - 1, 0));
    return position;
}

bool Before(TTextPosition a, TTextPosition b) {
    return a.Paragraph < b.Paragraph || (a.Paragraph == b.Paragraph && a.Offset < b.Offset);
}

}  // namespace

void TOperationManager::ApplyChanges(const TChangeRecord& change) {
    TDocument& d = document_;
    const int32_t lastVisible = view_ != nullptr ? view_->LastVisiblePage() : 0;
    TPaginationOptions pagination;
    if (change.FirstParagraph != NoParagraph || change.FullRepaint) {
        const int32_t from = change.FullRepaint ? 0 : std::max(change.FirstPage - 1, 0);
        const int32_t target = std::max({lastVisible + 1, change.FullRepaint ? 1 : change.FirstPage + 1, from + 1});
        if (d.PageCount() > 0 || !d.Hidden()) {
            d.SetPaginationComplete(false);
            if (d.Layouter() != nullptr) {
                Paginate(d, from, target, from, pagination);
            } else {
                d.FreePagesFrom(std::min(from, d.PageCount()));
            }
        }
        if (!change.FullRepaint) {
            ForgetRepaintLinesFrom(change.FirstParagraph);
        }
        d.Objects().DropRepaintsFrom(change.FullRepaint ? 0 : change.FirstParagraph);
    }
    if (change.Caret.Position.Paragraph != NoParagraph) {
        d.View.Caret.Position = ClampPosition(d, change.Caret.Position);
        d.View.Caret.Line = change.Caret.LineHint == NoParagraph ? 0 : change.Caret.LineHint;
    }
    d.View.Caret.Position = ClampPosition(d, d.View.Caret.Position);
    if (change.SetsSelection()) {
        TTextPosition start = change.SelectionStart;
        TTextPosition end = change.SelectionEnd;
        if (start == TTextPosition{0, 0} && end == TTextPosition{0, 0}) {
            start = end = d.View.Caret.Position;
        }
        start = ClampPosition(d, start);
        end = ClampPosition(d, end);
        if (Before(end, start)) {
            std::swap(start, end);
        }
        d.View.SelectionStart = start;
        d.View.SelectionEnd = end;
    } else {
        d.View.SelectionStart = ClampPosition(d, d.View.SelectionStart);
        d.View.SelectionEnd = ClampPosition(d, d.View.SelectionEnd);
    }
    if (view_ != nullptr) {
        const bool follow = !d.Flags.Test(dsKeepView);
        if (change.FullRepaint) {
            view_->InvalidateAll();
        } else {
            for (const TParLineRepaintInfo& entry : repaintLines_) {
                if (entry.Paragraph < d.ParagraphCount()) {
                    view_->RepaintLine(entry.Paragraph, entry.Line);
                }
            }
            if (change.FirstParagraph != NoParagraph) {
                view_->RepaintPages(std::max(change.FirstPage, 0), change.FirstParagraph,
                                    std::max(lastVisible, change.FirstPage));
            }
        }
        view_->CaretMoved(follow, d.Flags.Test(dsSingleCharChange));
    }
    repaintLines_.clear();
    RefreshCommands();
}

}  // namespace quillane
