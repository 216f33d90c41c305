#pragma once
// A block of text dragged to another place. The sub-operation holds no text:
// each execution moves the block and then stores the move that reverses it,
// so undo and redo are the same routine.

#include <cstdint>

#include "editing/Operation.h"

namespace quillane {

class TMoveTextOperation final : public TSubOperation {
public:
    TMoveTextOperation(TDocument& document, TTextPosition sourceStart, TTextPosition sourceEnd, TTextPosition target)
        : TSubOperation(document), SourceStart(sourceStart), SourceEnd(sourceEnd), Target(target) {}

    void Undo(TChangeRecord& change) override { Execute(change); }
    void Redo(TChangeRecord& change) override { Execute(change); }
    // Moves [SourceStart, SourceEnd) to Target (outside the block); the
    // fields then describe the reverse move.
    void Execute(TChangeRecord& change);

    TTextPosition SourceStart;
    TTextPosition SourceEnd;
    TTextPosition Target;
    // Where the block lies after the last execution.
    TTextPosition BlockStart;
    TTextPosition BlockEnd;
};

// Where a position after a removed range [start, end) lies afterwards.
TTextPosition PositionAfterRemoval(TTextPosition x, TTextPosition start, TTextPosition end);
// Where a position at or after an insertion point lies once a text with
// `breaks` paragraph ends, whose last part holds `lastLength` positions, was
// inserted there.
TTextPosition PositionAfterInsertion(TTextPosition x, TTextPosition at, int32_t breaks, int32_t lastLength);

}  // namespace quillane
