#pragma once
// Deferred reflow: paragraphs whose lines may no longer break right are
// queued and laid out again when the user pauses. Laying a paragraph out
// again puts its lines back in place on their pages when their number and
// heights are unchanged, so only those lines are repainted; otherwise it
// reports where pagination must start again.

#include <cstdint>
#include <deque>
#include <vector>

#include "editing/ChangeRecord.h"
#include "model/DocumentParts.h"

namespace quillane {

class TDocument;
class TOperationManager;
struct TParLineRepaintInfo;

// Lays paragraph p out again from the line before `lineHint` on and reports
// in `out` what pagination must redo (nothing when the lines kept their
// places; the lines from the hint on are then added to `repaint`). A
// paragraph on no page, or whose changed part holds a line or page break,
// only has its layout dropped (pagination lays it out again).
void ReformatParagraph(TDocument& document, int32_t p, int32_t lineHint, TChangeRecord& out,
                       std::vector<TParLineRepaintInfo>* repaint);

class TParReformatingManager final : public TReflowManager {
public:
    explicit TParReformatingManager(TDocument& document) : document_(document) {}

    void Queue(int32_t paragraph) override;
    bool HasWork() const { return !queue_.empty(); }
    const std::deque<int32_t>& Queued() const { return queue_; }
    // Lays out every queued paragraph and applies the result through the
    // operation manager. Nothing happens while the window is busy.
    void ProcessQueue(TOperationManager& manager, bool windowBusy = false);

    // Queued indexes follow inserted and removed paragraphs; removed ones
    // are dropped.
    void ParagraphsInserted(int32_t at, int32_t count);
    void ParagraphsRemoved(int32_t first, int32_t count);

private:
    TDocument& document_;
    std::deque<int32_t> queue_;
};

}  // namespace quillane
