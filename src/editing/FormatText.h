#pragma once
// Character attributes set over a range. The record is by position: for
// each paragraph of the range the runs of the changed slots' old values, so
// undo restores exactly the attributes each position had, whatever
// normalisation did to the tags in between.

#include <cstdint>
#include <vector>

#include "editing/Operation.h"
#include "model/CharAttrs.h"

namespace quillane {

class TParagraph;

class TFormatTextOperation final : public TSubOperation {
public:
    TFormatTextOperation(TDocument& document, TTextPosition start, TTextPosition end, const TCharAttrs& attrs);

    int64_t MemorySize() const override;
    void Redo(TChangeRecord& change) override;
    void Undo(TChangeRecord& change) override;

    int32_t StartPara, StartPos, EndPara, EndPos;
    TCharAttrs NewAttrs;

private:
    // A slot's value from a position on, up to the next entry of that slot.
    struct TRun {
        int32_t Paragraph;
        int32_t Position;
        int32_t Slot;
        int32_t Value;
    };
    void Reported(TChangeRecord& change);
    std::vector<TRun> runs_;  // the old values, for undo
};

// Sets the given slots over [from, to) of a paragraph: the state of the
// other slots and of every position outside stays. `valueAt` is asked for
// the runs: entries (position, slot, value) in ascending position order.
struct TSlotValue {
    int32_t Position;
    int32_t Slot;
    int32_t Value;
};
void RewriteSlots(TParagraph& p, int32_t from, int32_t to, const bool (&slots)[CharSlotCount],
                  const std::vector<TSlotValue>& values);
// The runs of the given slots' values over [from, to): an entry at `from`
// for each slot, then one wherever a slot changes.
std::vector<TSlotValue> SlotRuns(const TParagraph& p, int32_t from, int32_t to, const bool (&slots)[CharSlotCount]);

}  // namespace quillane
