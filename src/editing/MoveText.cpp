#include "editing/MoveText.h"

#include "editing/EditFlags.h"
#include "editing/InsertDelete.h"
#include "editing/TextAccess.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

TTextPosition PositionAfterRemoval(TTextPosition x, TTextPosition start, TTextPosition end) {
    if (PositionBefore(x, end)) {
        return PositionBefore(x, start) ? x : start;
    }
    if (x.Paragraph == end.Paragraph) {
        return {start.Paragraph, start.Offset + (x.Offset - end.Offset)};
    }
    return {x.Paragraph - (end.Paragraph - start.Paragraph), x.Offset};
}

TTextPosition PositionAfterInsertion(TTextPosition x, TTextPosition at, int32_t breaks, int32_t lastLength) {
    if (PositionBefore(x, at)) {
        return x;
    }
    if (x.Paragraph != at.Paragraph) {
        return {x.Paragraph + breaks, x.Offset};
    }
    if (breaks == 0) {
        return {x.Paragraph, x.Offset + lastLength};
    }
    return {x.Paragraph + breaks, lastLength + (x.Offset - at.Offset)};
}

void TMoveTextOperation::Execute(TChangeRecord& change) {
    TDocument& d = Document;
    const TTextPosition start = SourceStart;
    const TTextPosition end = SourceEnd;
    const int32_t breaks = end.Paragraph - start.Paragraph;
    const int32_t lastLength = breaks == 0 ? end.Offset - start.Offset : end.Offset;
    const bool forward = !PositionBefore(Target, start);
    const TTextPosition target = forward ? PositionAfterRemoval(Target, start, end) : Target;

    // The objects travel with the text: neither temporary operation owns
    // them, and none is released while they are freed.
    TScopedFlag keep(d.Flags, dsKeepObjects, true);
    auto removal = TInsertDeleteOperation::Deletion(d, start.Paragraph, start.Offset, end.Paragraph, end.Offset, false);
    TChangeRecord own;
    removal->Execute(own);
    MergeChange(change, own);
    // The block starts from its own first attributes wherever it lands.
    TFlexibleString fragment;
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        fragment.AppendTag(static_cast<uint8_t>(slot), removal->RangeStartAttrs[slot]);
    }
    fragment.Append(removal->Buffer);
    auto insertion = TInsertDeleteOperation::Insertion(d, target.Paragraph, target.Offset, std::move(fragment),
                                                       breaks, false);
    own = TChangeRecord{};
    insertion->Execute(own);
    MergeChange(change, own);
    BlockStart = target;
    BlockEnd = {insertion->EndPara, insertion->EndPos};
    // The reverse move takes the block back to where the text after it
    // stood (forward), or to where the original start now lies (backward).
    SourceStart = BlockStart;
    SourceEnd = BlockEnd;
    Target = forward ? start : PositionAfterInsertion(start, target, breaks, lastLength);
    change.SetCaret(BlockEnd);
}

}  // namespace quillane
