#include "editing/Reflow.h"

#include <algorithm>

#include "editing/EditFlags.h"
#include "editing/EditView.h"
#include "editing/OperationManager.h"
#include "layout/LineGeometry.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

int32_t IndexOnPage(const TPage& page, const TParLine& line) {
    for (int32_t i = 0; i < page.LineCount(); ++i) {
        if (&page.Line(i) == &line) {
            return i;
        }
    }
    return -1;
}

bool HasBreakFrom(const TParagraph& p, int32_t position) {
    for (int32_t k = std::max(position, 0); k < p.PositionCount(); ++k) {
        const uint8_t code = p.Positions[k];
        if (code == spLineBreak || code == spPageBreak) {
            return true;
        }
    }
    return false;
}

}  // namespace

void ReformatParagraph(TDocument& document, int32_t p, int32_t lineHint, TChangeRecord& out,
                       std::vector<TParLineRepaintInfo>* repaint) {
    out = TChangeRecord{};
    TParagraph& paragraph = document.Paragraph(p);
    if (!paragraph.LaidOut) {
        paragraph.TextChanged();
        return;
    }
    SetFirstChanged(document, out, p);
    const int32_t hint = std::clamp(lineHint - 1, 0, std::max(paragraph.LineCount() - 1, 0));
    const bool onPage = paragraph.FirstOnPage();
    if (!onPage || paragraph.LineCount() == 0 || HasBreakFrom(paragraph, paragraph.Line(hint).FirstPosition) ||
        document.Layouter() == nullptr) {
        paragraph.TextChanged();
        paragraph.DropLayout(false);
        return;
    }
    // Pagination fits lines by their base height (ascent, descent, raise and
    // lower, space before) and stacks them by their full height: lines keep
    // their places only when both are unchanged.
    const int32_t ppi = document.View.ScreenPpi;
    std::vector<TParLineOnPageInfo> saved(static_cast<size_t>(paragraph.LineCount()));
    std::vector<int32_t> bases(saved.size());
    for (int32_t i = 0; i < paragraph.LineCount(); ++i) {
        const TParLine& line = paragraph.Line(i);
        TParLineOnPageInfo& info = saved[static_cast<size_t>(i)];
        info.Page = line.Page;
        info.IndexOnPage = line.Page != nullptr ? IndexOnPage(*line.Page, line) : -1;
        info.Top = line.Top;
        info.Height = line.Height;
        bases[static_cast<size_t>(i)] = LineHeightBase(line, ppi);
    }
    paragraph.TextChanged();
    paragraph.DropLayout(true);
    bool same = paragraph.LineCount() == static_cast<int32_t>(saved.size());
    for (int32_t i = 0; same && i < paragraph.LineCount(); ++i) {
        same = paragraph.Line(i).Height == saved[static_cast<size_t>(i)].Height &&
               LineHeightBase(paragraph.Line(i), ppi) == bases[static_cast<size_t>(i)];
    }
    if (!same) {
        return;  // out keeps where pagination starts again
    }
    for (int32_t i = 0; i < paragraph.LineCount(); ++i) {
        const TParLineOnPageInfo& info = saved[static_cast<size_t>(i)];
        if (info.Page == nullptr || info.IndexOnPage < 0) {
            break;
        }
        TParLine& line = paragraph.Line(i);
        info.Page->InsertLine(info.IndexOnPage, line);
        line.Top = info.Top;
        if (repaint != nullptr && i >= hint) {
            const TParLineRepaintInfo entry{p, i};
            if (std::find(repaint->begin(), repaint->end(), entry) == repaint->end()) {
                repaint->push_back(entry);
            }
        }
    }
    out.FirstParagraph = NoParagraph;
    out.FirstPage = NoParagraph;
}

void TParReformatingManager::Queue(int32_t paragraph) {
    if (std::find(queue_.begin(), queue_.end(), paragraph) == queue_.end()) {
        queue_.push_back(paragraph);
    }
}

void TParReformatingManager::ProcessQueue(TOperationManager& manager, bool windowBusy) {
    if (queue_.empty() || windowBusy) {
        return;
    }
    if (TEditEnvironment* environment = manager.Environment()) {
        environment->BeginBusy();
    }
    TChangeRecord change;
    std::vector<TParLineRepaintInfo> repaint;
    while (!queue_.empty()) {
        const int32_t p = queue_.front();
        if (p >= 0 && p < document_.ParagraphCount()) {
            TChangeRecord own;
            ReformatParagraph(document_, p, 0, own, &repaint);
            MergeChange(change, own);
        }
        queue_.pop_front();
    }
    for (const TParLineRepaintInfo& entry : repaint) {
        manager.MarkLineForRepaint(entry.Paragraph, entry.Line);
    }
    change.SetCaret(document_.View.Caret.Position, document_.View.Caret.Line);
    {
        TScopedFlag reflowing(document_.Flags, dsReflowUpdate, true);
        manager.ApplyChanges(change);
    }
    if (TEditEnvironment* environment = manager.Environment()) {
        environment->EndBusy();
    }
}

void TParReformatingManager::ParagraphsInserted(int32_t at, int32_t count) {
    for (int32_t& p : queue_) {
        if (p >= at) {
            p += count;
        }
    }
}

void TParReformatingManager::ParagraphsRemoved(int32_t first, int32_t count) {
    std::deque<int32_t> kept;
    for (int32_t p : queue_) {
        if (p >= first + count) {
            kept.push_back(p - count);
        } else if (p < first) {
            kept.push_back(p);
        }
    }
    queue_ = std::move(kept);
}

}  // namespace quillane
