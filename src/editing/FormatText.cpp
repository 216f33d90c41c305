#include "editing/FormatText.h"

#include <algorithm>

#include "editing/InsertDelete.h"
#include "editing/TextAccess.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

std::vector<TSlotValue> SlotRuns(const TParagraph& p, int32_t from, int32_t to, const bool (&slots)[CharSlotCount]) {
    std::vector<TSlotValue> runs;
    TCharAttrs state = p.Document().DefaultCharAttrs;
    TCharAttrs last = state;
    const uint8_t* bytes = p.Text.Data();
    const int32_t n = p.Text.Length();
    int32_t position = 0;
    int32_t i = 0;
    auto visit = [&](int32_t k) {
        if (k < from || k >= to) {
            return;
        }
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            if (slots[slot] && (k == from || state[slot] != last[slot])) {
                runs.push_back({k, slot, state[slot]});
            }
        }
        last = state;
    };
    while (i < n && position < to) {
        if (bytes[i] != 0) {
            const int32_t run = CharRunLength(bytes + i, n - i);
            for (int32_t k = 0; k < run && position < to; ++k) {
                visit(position++);
            }
            i += run;
            continue;
        }
        const TTag tag = ReadTag(bytes + i);
        if (IsAttributeKind(tag.Kind)) {
            state[tag.Kind] = tag.Value;
        } else if (OccupiesPosition(tag.Kind)) {
            visit(position++);
        }
        i += TagSize;
    }
    return runs;
}

void RewriteSlots(TParagraph& p, int32_t from, int32_t to, const bool (&slots)[CharSlotCount],
                  const std::vector<TSlotValue>& values) {
    const int32_t count = p.PositionCount();
    from = std::clamp(from, 0, count);
    to = std::clamp(to, from, count);
    if (from == to) {
        return;
    }
    const bool hasAfter = to < count;
    const TCharAttrs afterState = hasAfter ? AttrsOfItem(p, to) : TCharAttrs{};
    // Take out every tag of the slots between the start of the range and
    // the item after it.
    const int32_t begin = InsertionOffset(p, from);
    const int32_t end = hasAfter ? ItemOffset(p, to) : p.Text.Length();
    TFlexibleString kept;
    kept.AppendBytes(p.Text.Data(), begin);
    const uint8_t* bytes = p.Text.Data();
    // Positions of the entries are written as the bytes are copied.
    size_t next = 0;
    int32_t position = from;
    auto emitAt = [&](int32_t k) {
        while (next < values.size() && values[next].Position <= k) {
            kept.AppendTag(static_cast<uint8_t>(values[next].Slot), values[next].Value);
            ++next;
        }
    };
    int32_t i = begin;
    bool pendingItem = true;  // the entries of `position` still to be written
    while (i < end) {
        if (bytes[i] != 0) {
            if (pendingItem) {
                emitAt(position);
            }
            kept.AppendByte(bytes[i]);
            ++position;
            pendingItem = true;
            ++i;
            continue;
        }
        const TTag tag = ReadTag(bytes + i);
        if (IsAttributeKind(tag.Kind)) {
            if (!slots[tag.Kind]) {
                kept.AppendBytes(bytes + i, TagSize);
            }
        } else {
            if (pendingItem) {
                emitAt(position);
            }
            kept.AppendBytes(bytes + i, TagSize);
            if (OccupiesPosition(tag.Kind)) {
                ++position;
            }
        }
        i += TagSize;
    }
    emitAt(to - 1);
    if (hasAfter) {
        // The item after the range keeps the values it had.
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            if (slots[slot]) {
                kept.AppendTag(static_cast<uint8_t>(slot), afterState[slot]);
            }
        }
    }
    kept.AppendBytes(p.Text.Data() + end, p.Text.Length() - end);
    p.Text = std::move(kept);
    p.TextChanged();
}

TFormatTextOperation::TFormatTextOperation(TDocument& document, TTextPosition start, TTextPosition end,
                                           const TCharAttrs& attrs)
    : TSubOperation(document),
      StartPara(start.Paragraph),
      StartPos(start.Offset),
      EndPara(end.Paragraph),
      EndPos(end.Offset),
      NewAttrs(attrs) {}

int64_t TFormatTextOperation::MemorySize() const {
    return int64_t{sizeof(*this)} + static_cast<int64_t>(runs_.size() * sizeof(TRun));
}

void TFormatTextOperation::Reported(TChangeRecord& change) {
    if (StartPara == EndPara) {
        ParagraphTextChanged(Document, StartPara, StartPos, change);
        return;
    }
    SetFirstChanged(Document, change, StartPara);
    for (int32_t p = StartPara; p <= EndPara; ++p) {
        TParagraph& paragraph = Document.Paragraph(p);
        paragraph.TextChanged();
        if (paragraph.LaidOut) {
            paragraph.DropLayout(false);
        }
    }
}

namespace {

void Range(const TDocument& d, int32_t p, int32_t startPara, int32_t startPos, int32_t endPara, int32_t endPos,
           int32_t& from, int32_t& to) {
    from = p == startPara ? startPos : 0;
    to = p == endPara ? endPos : d.Paragraph(p).PositionCount();
}

}  // namespace

void TFormatTextOperation::Redo(TChangeRecord& change) {
    bool slots[CharSlotCount] = {};
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        slots[slot] = NewAttrs[slot] != UndefinedAttr;
    }
    runs_.clear();
    for (int32_t p = StartPara; p <= EndPara; ++p) {
        TParagraph& paragraph = Document.Paragraph(p);
        int32_t from = 0;
        int32_t to = 0;
        Range(Document, p, StartPara, StartPos, EndPara, EndPos, from, to);
        if (from >= to) {
            continue;
        }
        for (const TSlotValue& v : SlotRuns(paragraph, from, to, slots)) {
            runs_.push_back({p, v.Position, v.Slot, v.Value});
        }
        std::vector<TSlotValue> values;
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            if (slots[slot]) {
                values.push_back({from, slot, NewAttrs[slot]});
            }
        }
        RewriteSlots(paragraph, from, to, slots, values);
    }
    runs_.shrink_to_fit();
    Reported(change);
}

void TFormatTextOperation::Undo(TChangeRecord& change) {
    bool slots[CharSlotCount] = {};
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        slots[slot] = NewAttrs[slot] != UndefinedAttr;
    }
    size_t next = 0;
    for (int32_t p = StartPara; p <= EndPara; ++p) {
        int32_t from = 0;
        int32_t to = 0;
        Range(Document, p, StartPara, StartPos, EndPara, EndPos, from, to);
        std::vector<TSlotValue> values;
        while (next < runs_.size() && runs_[next].Paragraph == p) {
            values.push_back({runs_[next].Position, runs_[next].Slot, runs_[next].Value});
            ++next;
        }
        if (from < to) {
            RewriteSlots(Document.Paragraph(p), from, to, slots, values);
        }
    }
    Reported(change);
}

}  // namespace quillane
