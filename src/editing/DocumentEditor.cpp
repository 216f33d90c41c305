#include "editing/DocumentEditor.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "editing/EditFlags.h"
#include "editing/EditView.h"
#include "editing/FormatParagraphs.h"
#include "editing/FormatStyles.h"
#include "editing/FormatText.h"
#include "editing/InsertDelete.h"
#include "editing/MoveText.h"
#include "editing/OperationManager.h"
#include "editing/TextAccess.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

constexpr std::array<int32_t, 18> StandardSizes = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// Rounds to the nearest multiple of m, halves upwards (towards +infinity).
int32_t RoundToMultiple(int32_t v, int32_t m) {
    const int64_t q = (int64_t{v} * 2 + m) / (2 * m) - ((int64_t{v} * 2 + m) % (2 * m) < 0 ? 1 : 0);
    return static_cast<int32_t>(q * m);
}

}  // namespace

bool IsWordChar(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0x8A ||
           c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F || c == 0xAA ||
           c == 0xB5 || c == 0xBA || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

int32_t NextStandardSize(int32_t halfPoints, int direction) {
    if (direction > 0) {
        for (int32_t size : StandardSizes) {
            if (size * 2 > halfPoints) {
                return size * 2;
            }
        }
        return halfPoints;
    }
    for (auto it = StandardSizes.rbegin(); it != StandardSizes.rend(); ++it) {
        if (*it * 2 < halfPoints) {
            return *it * 2;
        }
    }
    return halfPoints;
}

int32_t SteppedValue(int slot, int32_t current, int32_t amount) {
    switch (slot) {
        case caSize: {
            int64_t v = current;
            if (amount == -2000 || amount == 2000) {
                v = NextStandardSize(current, amount);
            } else if (amount > -2000 && amount < 2000) {
                v = int64_t{current} + amount;
            } else {
                // Scaling to (amount - 2000) percent, rounded.
                const int64_t percent = int64_t{amount} - 2000;
                v = (int64_t{current} * percent + (percent >= 0 ? 50 : -50)) / 100;
            }
            return static_cast<int32_t>(std::clamp<int64_t>(v, 2, 2000));
        }
        case caExpansion:
            return static_cast<int32_t>(
                std::clamp<int64_t>(int64_t{RoundToMultiple(current, 20)} + amount, -20000, 20000));
        case caOffset:
            return static_cast<int32_t>(std::clamp<int64_t>(int64_t{current} + amount, -1000, 1000));
        default:
            return current;
    }
}

TDocumentEditor::TDocumentEditor(TDocument& document, TOperationManager* manager)
    : document_(document), manager_(manager) {
    if (manager_ == nullptr) {
        ownOptions_ = std::make_unique<TEditOptions>();
    }
    const TCharAttrs defaults = document.DefaultCharAttrs;
    AttrsBefore = AttrsAfter = InputAttrs = RangeStartAttrs = RangeEndAttrs = defaults;
}

const TEditOptions& TDocumentEditor::Options() const { return manager_ != nullptr ? manager_->Options : *ownOptions_; }

void TDocumentEditor::Record(TOperation* operation, std::unique_ptr<TSubOperation> sub) {
    if (operation != nullptr) {
        operation->Add(std::move(sub));
    }
}

TTextPosition TDocumentEditor::ClampPosition(TTextPosition p) const {
    const int32_t count = document_.ParagraphCount();
    if (p.Paragraph >= count) {
        return {count - 1, document_.LastParagraph().PositionCount()};
    }
    p.Paragraph = std::max(p.Paragraph, 0);
    p.Offset = std::clamp(p.Offset, 0, document_.Paragraph(p.Paragraph).PositionCount());
    return p;
}

TTextPosition TDocumentEditor::NormalizeEnd(TTextPosition end) const {
    const int32_t last = document_.ParagraphCount() - 1;
    end = ClampPosition(end);
    const int32_t count = document_.Paragraph(end.Paragraph).PositionCount();
    if (end.Offset >= count) {
        if (end.Paragraph < last) {
            return {end.Paragraph + 1, 0};
        }
        return {last, std::max(count - 1, 0)};
    }
    return end;
}

// ---------------------------------------------------------------- text

void TDocumentEditor::DeleteRange(TTextPosition start, TTextPosition end, TChangeRecord& change,
                                  TOperation* operation, int flags) {
    start = ClampPosition(start);
    end = ClampPosition(end);
    if (PositionBefore(end, start)) {
        std::swap(start, end);
    }
    // The final paragraph mark is never deleted; a start after a mark is the
    // next paragraph's start.
    start = NormalizeEnd(start);
    end = NormalizeEnd(end);
    const int32_t last = document_.ParagraphCount() - 1;
    const TTextPosition documentEnd{last, document_.Paragraph(last).PositionCount() - 1};
    bool trailing = false;
    if ((flags & drWholeTrailingParagraphs) != 0 && start.Offset == 0 && start.Paragraph > 0 && end == documentEnd) {
        trailing = true;
    }
    if (!trailing && !PositionBefore(start, end)) {
        RangeStartAttrs = RangeEndAttrs = AttrsAtPosition(document_.Paragraph(start.Paragraph), start.Offset);
        change.SetCaret(start);
        change.CollapseSelection();
        return;
    }
    if (!trailing && (flags & drKeepParagraphFormats) == 0 && end.Paragraph > start.Paragraph && start.Offset > 0) {
        // The joined paragraph keeps the format of the first.
        const TParAttrs attrs = document_.Paragraph(start.Paragraph).Attributes;
        ApplyParagraphFormat(end.Paragraph, end.Paragraph, attrs, change, operation);
    }
    auto sub = trailing ? TInsertDeleteOperation::Deletion(document_, start.Paragraph, 0,
                                                           document_.ParagraphCount(), 0,
                                                           (flags & drCallerOwnsObjects) == 0)
                        : TInsertDeleteOperation::Deletion(document_, start.Paragraph, start.Offset, end.Paragraph,
                                                           end.Offset, (flags & drCallerOwnsObjects) == 0);
    TChangeRecord own;
    sub->Execute(own);
    MergeChange(change, own);
    RangeStartAttrs = sub->RangeStartAttrs;
    RangeEndAttrs = sub->RangeEndAttrs;
    Record(operation, std::move(sub));
    TTextPosition caret = start;
    if (caret.Paragraph >= document_.ParagraphCount()) {
        const int32_t newLast = document_.ParagraphCount() - 1;
        caret = {newLast, std::max(document_.Paragraph(newLast).PositionCount() - 1, 0)};
    }
    if ((flags & drWiseSpacing) != 0 && start.Paragraph < document_.ParagraphCount()) {
        const TSpacingCounts counts = AdjustSpacing(start, change, operation);
        caret.Offset += counts.Inserted - counts.RemovedLeft;
    }
    change.SetCaret(caret);
    change.CollapseSelection();
}

TTextPosition TDocumentEditor::InsertFormattedText(TFlexibleString fragment, TTextPosition position,
                                                   TChangeRecord& change, TOperation* operation, int flags) {
    position = NormalizeEnd(position);
    if ((flags & ifHasRestoreTags) == 0) {
        // The text after the insertion point keeps its attributes.
        const TParagraph& p = document_.Paragraph(position.Paragraph);
        const TCharAttrs after = AttributesAt(p.Text, InsertionOffset(p, position.Offset), document_.DefaultCharAttrs);
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            fragment.AppendTag(static_cast<uint8_t>(slot), after[slot]);
        }
    }
    auto sub = TInsertDeleteOperation::Insertion(document_, position.Paragraph, position.Offset, std::move(fragment),
                                                 0, (flags & ifCallerOwnsObjects) == 0);
    TChangeRecord own;
    sub->Execute(own);
    MergeChange(change, own);
    const TTextPosition end{sub->EndPara, sub->EndPos};
    if (sub->ParaCount > 0 && sub->EndPos == 0 && !document_.Flags.Test(dsUndoRedo)) {
        document_.View.SelectionCharAttrs = InputAttrs;
        document_.Flags.Assign(dsInputAttrsSet, true);
    }
    Record(operation, std::move(sub));
    TTextPosition blockStart = position;
    TTextPosition blockEnd = end;
    TTextPosition caret = end;
    if ((flags & ifWiseSpacing) != 0) {
        const TSpacingCounts atEnd = AdjustSpacing(end, change, operation);
        blockEnd.Offset -= atEnd.RemovedLeft;
        caret = {blockEnd.Paragraph, blockEnd.Offset + atEnd.Inserted};
        if (position.Paragraph != end.Paragraph || position.Offset < blockEnd.Offset) {
            const TSpacingCounts atStart = AdjustSpacing(position, change, operation);
            const int32_t shift = atStart.Inserted - atStart.RemovedLeft;
            blockStart.Offset += shift;
            if (position.Paragraph == end.Paragraph) {
                blockEnd.Offset += shift - atStart.RemovedRight;
                caret.Offset += shift - atStart.RemovedRight;
            }
        }
    }
    change.SetCaret(caret);
    if ((flags & ifSelectInserted) != 0) {
        change.SetSelection(blockStart, blockEnd);
    } else {
        change.CollapseSelection();
    }
    return blockEnd;
}

void TDocumentEditor::MoveBlock(TTextPosition start, TTextPosition end, TTextPosition target, TChangeRecord& change,
                                TOperation* operation, int flags) {
    TDocument& d = document_;
    start = NormalizeEnd(ClampPosition(start));
    end = NormalizeEnd(ClampPosition(end));
    target = NormalizeEnd(ClampPosition(target));
    if (PositionBefore(end, start)) {
        std::swap(start, end);
    }
    // Nothing to move, or a target inside the block (its ends included).
    if (!PositionBefore(start, end) || (!PositionBefore(target, start) && !PositionBefore(end, target))) {
        return;
    }
    auto sub = std::make_unique<TMoveTextOperation>(d, start, end, target);
    TChangeRecord own;
    sub->Execute(own);
    MergeChange(change, own);
    TTextPosition blockStart = sub->BlockStart;
    TTextPosition blockEnd = sub->BlockEnd;
    const TTextPosition gap = PositionBefore(target, start)
                                  ? PositionAfterInsertion(start, sub->BlockStart, end.Paragraph - start.Paragraph,
                                                           end.Paragraph == start.Paragraph ? end.Offset - start.Offset
                                                                                            : end.Offset)
                                  : start;
    Record(operation, std::move(sub));
    if ((flags & drWiseSpacing) != 0) {
        // Where the block was taken out, then at both ends of its new place;
        // a junction adjusted before shifts the positions after it.
        const TSpacingCounts atGap = AdjustSpacing(gap, change, operation);
        auto shift = [&](TTextPosition& p, const TTextPosition& at, const TSpacingCounts& c) {
            if (p.Paragraph == at.Paragraph && !PositionBefore(p, at)) {
                p.Offset += c.Inserted - c.RemovedLeft - c.RemovedRight;
            }
        };
        if (!PositionBefore(blockStart, gap)) {
            shift(blockStart, gap, atGap);
            shift(blockEnd, gap, atGap);
        }
        if (!(blockEnd == gap)) {
            const TSpacingCounts atEnd = AdjustSpacing(blockEnd, change, operation);
            blockEnd.Offset -= atEnd.RemovedLeft;
        }
        if (!(blockStart == gap)) {
            const TSpacingCounts atStart = AdjustSpacing(blockStart, change, operation);
            const int32_t by = atStart.Inserted - atStart.RemovedLeft;
            blockStart.Offset += by;
            if (blockEnd.Paragraph == blockStart.Paragraph) {
                blockEnd.Offset += by - atStart.RemovedRight;
            }
        }
    }
    change.SetCaret(blockEnd);
    if ((flags & ifSelectInserted) != 0) {
        change.SetSelection(blockStart, blockEnd);
    } else {
        change.CollapseSelection();
    }
}

namespace {

void AppendDifferences(TFlexibleString& out, const TCharAttrs& wanted, const TCharAttrs& current) {
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (wanted[slot] != current[slot]) {
            out.AppendTag(static_cast<uint8_t>(slot), wanted[slot]);
        }
    }
}

uint8_t SpecialOf(uint8_t c) {
    switch (c) {
        case 9: return spTab;
        case 11: return spLineBreak;
        case 12: return spPageBreak;
        case 16: return spNonbreakingHyphen;
        case 31: return spOptionalHyphen;
        case 160: return spNonbreakingSpace;
        case 150: return spShortDash;
        case 151: return spLongDash;
        default: return 0;
    }
}

}  // namespace

void TDocumentEditor::InsertPlainText(std::string_view text, TTextPosition position, TChangeRecord& change,
                                      TOperation* operation, int flags) {
    TFlexibleString fragment;
    AppendDifferences(fragment, InputAttrs, AttrsBefore);
    int32_t written = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (c == '\r' || c == '\n') {
            if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != text[i]) {
                ++i;
            }
            fragment.AppendTag(tkSpecial, spParagraphEnd);
            fragment.AppendByte(FragmentParagraphEnd);
            AppendDifferences(fragment, InputAttrs, document_.DefaultCharAttrs);
            ++written;
        } else if (const uint8_t special = SpecialOf(c); special != 0) {
            fragment.AppendTag(tkSpecial, special);
            ++written;
        } else if (c >= 32) {
            fragment.AppendByte(c);
            ++written;
        }
    }
    if (written == 0) {
        change.SetCaret(ClampPosition(position));
        return;
    }
    AppendDifferences(fragment, AttrsAfter, InputAttrs);
    InsertFormattedText(std::move(fragment), position, change, operation, flags | ifHasRestoreTags);
}

void TDocumentEditor::PrepareInputAttrs(TTextPosition position, bool forTyping) {
    position = ClampPosition(position);
    const TParagraph& p = document_.Paragraph(position.Paragraph);
    const int32_t offset = std::min(position.Offset, std::max(p.PositionCount() - 1, 0));
    // The state in force where inserted text goes: what the text after it
    // expects, and what the fragment starts from.
    const TCharAttrs atInsertion = AttributesAt(p.Text, InsertionOffset(p, offset), document_.DefaultCharAttrs);
    AttrsBefore = atInsertion;
    AttrsAfter = atInsertion;
    const bool atCaret = position == document_.View.Caret.Position;
    if (!forTyping || !atCaret) {
        InputAttrs = AttrsAtPosition(p, offset);
        return;
    }
    InputAttrs = document_.View.SelectionCharAttrs;
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (InputAttrs[slot] == UndefinedAttr) {
            InputAttrs[slot] = AttrsAtPosition(p, offset)[slot];
        }
    }
    if (document_.DefaultLanguageCoding != 0) {
        InputAttrs[caLanguage] = document_.DefaultLanguageCoding;
    }
    if (InputAttrs[caHighlight] >= 1) {
        // Highlighting does not extend by typing at its end.
        InputAttrs[caHighlight] = offset < p.PositionCount() - 1 ? AttrsOfItem(p, offset)[caHighlight] : 0;
    }
}

void TDocumentEditor::ReplaceRange(TTextPosition start, TTextPosition end, std::string_view text,
                                   TChangeRecord& change, TOperation* operation, int flags) {
    const int32_t highlight = InputAttrs[caHighlight];
    DeleteRange(start, end, change, operation, flags & ~drWiseSpacing);
    const TTextPosition at = change.Caret.Position;
    PrepareInputAttrs(at, false);
    InputAttrs = RangeStartAttrs;
    InputAttrs[caHighlight] = highlight;
    if (document_.DefaultLanguageCoding != 0) {
        InputAttrs[caLanguage] = document_.DefaultLanguageCoding;
    }
    InsertPlainText(text, at, change, operation, flags);
    change.CollapseSelection();
}

void TDocumentEditor::TypeText(std::string_view text, TChangeRecord& change, TOperation* operation, int flags) {
    TDocument& d = document_;
    const TTextPosition selStart = d.View.SelectionStart;
    const TTextPosition selEnd = d.View.SelectionEnd;
    if (!(selStart == selEnd)) {
        if (Options().ReplaceSel) {
            ReplaceRange(selStart, selEnd, text, change, operation, flags);
            return;
        }
        d.View.Caret.Position = PositionBefore(selStart, selEnd) ? selEnd : selStart;
        d.View.SelectionStart = d.View.SelectionEnd = d.View.Caret.Position;
    }
    const TTextPosition caret = ClampPosition(d.View.Caret.Position);
    PrepareInputAttrs(caret, true);
    InsertPlainText(text, caret, change, operation, flags);
    const TTextPosition after = change.Caret.Position.Paragraph != NoParagraph ? change.Caret.Position : caret;
    if (Options().Overwrite && text.size() == 1 && static_cast<uint8_t>(text[0]) >= 32 && !d.Flags.Test(dsPasting)) {
        const TParagraph& p = d.Paragraph(after.Paragraph);
        if (after.Offset < p.PositionCount() - 1) {
            TChangeRecord own;
            DeleteRange(after, {after.Paragraph, after.Offset + 1}, own, operation, flags);
            MergeChange(change, own);
            change.SetCaret(after);
        }
    }
    if (text == "\r" || text == "\n" || text == "\r\n") {
        const TParagraph& now = d.Paragraph(after.Paragraph);
        if (after.Offset == now.PositionCount() - 1 && after.Paragraph > 0) {
            const TParagraph& before = d.Paragraph(after.Paragraph - 1);
            if (before.PositionCount() == 1 && before.Attributes[paBullet] != 0) {
                // Enter on an empty bulleted paragraph ends the list.
                TParAttrs off;
                off.Slots.fill(UndefinedAttr);
                off[paBullet] = 0;
                TChangeRecord own;
                ApplyParagraphFormat(after.Paragraph - 1, after.Paragraph, off, own, operation);
                MergeChange(change, own);
                change.SetCaret(after);
            }
        }
    }
}

// ---------------------------------------------------------------- formatting

void TDocumentEditor::ApplyCharFormat(TTextPosition start, TTextPosition end, const TCharAttrs& attrs,
                                      TChangeRecord& change, TOperation* operation, int flags) {
    if (std::all_of(attrs.Slots.begin(), attrs.Slots.end(), [](int32_t v) { return v == UndefinedAttr; })) {
        return;
    }
    TDocument& d = document_;
    start = ClampPosition(start);
    end = ClampPosition(end);
    if (PositionBefore(end, start)) {
        std::swap(start, end);
    }
    // An end at the start of a later paragraph is the previous one's end.
    if (end.Offset == 0 && end.Paragraph > start.Paragraph) {
        end = {end.Paragraph - 1, d.Paragraph(end.Paragraph - 1).PositionCount()};
    }
    if (start == end && Options().FmtWithoutSel) {
        const TParagraph& p = d.Paragraph(start.Paragraph);
        const int32_t k = start.Offset;
        if (k > 0 && k < p.PositionCount() && IsWordChar(p.Positions[k]) && IsWordChar(p.Positions[k - 1])) {
            int32_t a = k;
            int32_t b = k;
            while (a > 0 && IsWordChar(p.Positions[a - 1])) {
                --a;
            }
            while (b < p.PositionCount() && IsWordChar(p.Positions[b])) {
                ++b;
            }
            start = {start.Paragraph, a};
            end = {start.Paragraph, b};
        } else if (p.PositionCount() == 1) {
            end = {start.Paragraph, 1};
        }
    }
    if (start == end) {
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            if (attrs[slot] != UndefinedAttr) {
                d.View.SelectionCharAttrs[slot] = attrs[slot];
            }
        }
        d.Flags.Assign(dsInputAttrsSet, true);
        return;
    }
    auto sub = std::make_unique<TFormatTextOperation>(d, start, end, attrs);
    TChangeRecord own;
    sub->Redo(own);
    MergeChange(change, own);
    Record(operation, std::move(sub));
    if ((flags & 1) != 0) {
        change.CollapseSelection();
    } else {
        change.SetSelection(d.View.SelectionStart, d.View.SelectionEnd);
    }
    change.SetCaret(d.View.Caret.Position, d.View.Caret.Line);
}

void TDocumentEditor::ApplyParagraphFormat(int32_t firstPara, int32_t lastPara, const TParAttrs& attrs,
                                           TChangeRecord& change, TOperation* operation) {
    if (std::all_of(attrs.Slots.begin(), attrs.Slots.end(), [](int32_t v) { return v == UndefinedAttr; })) {
        return;
    }
    TDocument& d = document_;
    firstPara = std::clamp(firstPara, 0, d.ParagraphCount() - 1);
    lastPara = std::clamp(lastPara, firstPara, d.ParagraphCount() - 1);
    auto sub = std::make_unique<TFormatParagraphsOperation>(d);
    for (int32_t i = firstPara; i <= lastPara; ++i) {
        const TParAttrs& current = d.Paragraph(i).Attributes;
        int32_t first = current[paFirstIndent];
        int32_t left = current[paLeftIndent];
        const bool wantFirst = attrs[paFirstIndent] != UndefinedAttr;
        const bool wantLeft = attrs[paLeftIndent] != UndefinedAttr;
        if (wantFirst && wantLeft) {
            first = attrs[paFirstIndent];
            left = attrs[paLeftIndent];
        } else if (wantLeft) {
            // The requested value is the leftmost edge.
            left = first < 0 ? attrs[paLeftIndent] - first : attrs[paLeftIndent];
        } else if (wantFirst) {
            const int32_t edge = left + std::min(first, 0);
            first = attrs[paFirstIndent];
            left = first < 0 ? edge - first : edge;
        }
        if (first != current[paFirstIndent]) {
            sub->AddEntry(i, paFirstIndent, first);
        }
        if (left != current[paLeftIndent]) {
            sub->AddEntry(i, paLeftIndent, left);
        }
        for (int slot = paLineSpacing; slot < ParSlotCount; ++slot) {
            if (attrs[slot] != UndefinedAttr && attrs[slot] != current[slot]) {
                sub->AddEntry(i, slot, attrs[slot]);
            }
        }
    }
    if (sub->IsEmpty()) {
        return;
    }
    TChangeRecord own;
    sub->Redo(own);
    MergeChange(change, own);
    Record(operation, std::move(sub));
    change.SetSelection(d.View.SelectionStart, d.View.SelectionEnd);
    change.SetCaret(d.View.Caret.Position, d.View.Caret.Line);
}

void TDocumentEditor::StepCharAttr(TTextPosition start, TTextPosition end, int slot, int32_t amount,
                                   TChangeRecord& change, TOperation* operation) {
    TDocument& d = document_;
    start = ClampPosition(start);
    end = ClampPosition(end);
    if (PositionBefore(end, start)) {
        std::swap(start, end);
    }
    TCharAttrs request;
    request.Slots.fill(UndefinedAttr);
    const int32_t common = d.View.SelectionCharAttrs[slot];
    if (start == end || common != UndefinedAttr) {
        const int32_t base = common != UndefinedAttr ? common : AttrsAtPosition(d.Paragraph(start.Paragraph), start.Offset)[slot];
        request[slot] = SteppedValue(slot, base, amount);
        if (request[slot] == base && start != end) {
            return;  // at a clamp: nothing changes
        }
        d.View.SelectionCharAttrs[slot] = request[slot];
        ApplyCharFormat(start, end, request, change, operation, 0);
        return;
    }
    // A mixed selection: every run of equal value gets its own step.
    for (int32_t p = start.Paragraph; p <= end.Paragraph; ++p) {
        const TParagraph& paragraph = d.Paragraph(p);
        const int32_t from = p == start.Paragraph ? start.Offset : 0;
        const int32_t to = p == end.Paragraph ? end.Offset : paragraph.PositionCount();
        if (from >= to) {
            continue;
        }
        bool slots[CharSlotCount] = {};
        slots[slot] = true;
        const std::vector<TSlotValue> runs = SlotRuns(paragraph, from, to, slots);
        for (size_t r = 0; r < runs.size(); ++r) {
            const int32_t runEnd = r + 1 < runs.size() ? runs[r + 1].Position : to;
            const int32_t value = SteppedValue(slot, runs[r].Value, amount);
            if (value == runs[r].Value) {
                continue;
            }
            request[slot] = value;
            TChangeRecord own;
            ApplyCharFormat({p, runs[r].Position}, {p, runEnd}, request, own, operation, 0);
            MergeChange(change, own);
        }
    }
}

void TDocumentEditor::IndentCommand(int32_t firstPara, int32_t lastPara, int kind, int32_t step,
                                    TChangeRecord& change, TOperation* operation) {
    TDocument& d = document_;
    firstPara = std::clamp(firstPara, 0, d.ParagraphCount() - 1);
    lastPara = std::clamp(lastPara, firstPara, d.ParagraphCount() - 1);
    const int32_t textWidth = d.TextWidth();
    int32_t runStart = firstPara;
    for (int32_t i = firstPara; i <= lastPara + 1; ++i) {
        if (i <= lastPara) {
            const TParAttrs& a = d.Paragraph(runStart).Attributes;
            const TParAttrs& b = d.Paragraph(i).Attributes;
            if (a[paLeftIndent] == b[paLeftIndent] && a[paFirstIndent] == b[paFirstIndent] &&
                a[paBullet] == b[paBullet]) {
                continue;
            }
        }
        const TParAttrs& current = d.Paragraph(runStart).Attributes;
        int32_t left = current[paLeftIndent];
        int32_t first = current[paFirstIndent];
        TParAttrs request;
        request.Slots.fill(UndefinedAttr);
        switch (kind) {
            case 0:
                left = std::clamp<int32_t>(left + step, 0, std::max(textWidth, 0));
                if (first < 0 && -first > left) {
                    first = -left;
                }
                break;
            case 1: {
                const int32_t newLeft = std::clamp<int32_t>(left + step, 0, std::max(textWidth, 0));
                first = first + left - newLeft;
                left = newLeft;
                break;
            }
            case 2:
                if (first < 0) {
                    left += first;
                }
                left += 270;
                first = -270;
                request[paBullet] = 1;
                break;
            default:
                if (first < 0) {
                    left += first;
                    first = 0;
                }
                request[paBullet] = 0;
                break;
        }
        request[paLeftIndent] = left;
        request[paFirstIndent] = first;
        TChangeRecord own;
        ApplyParagraphFormat(runStart, i - 1, request, own, operation);
        MergeChange(change, own);
        runStart = i;
    }
}

void TDocumentEditor::UpdateSelectionAttrs() {
    TDocument& d = document_;
    TTextPosition start = ClampPosition(d.View.SelectionStart);
    TTextPosition end = ClampPosition(d.View.SelectionEnd);
    if (PositionBefore(end, start)) {
        std::swap(start, end);
    }
    if (start == end) {
        const TTextPosition caret = ClampPosition(d.View.Caret.Position);
        d.View.SelectionCharAttrs = AttrsAtPosition(d.Paragraph(caret.Paragraph), caret.Offset);
        d.View.SelectionParAttrs = d.Paragraph(caret.Paragraph).Attributes;
        return;
    }
    bool slots[CharSlotCount];
    std::fill(std::begin(slots), std::end(slots), true);
    bool first = true;
    TCharAttrs common;
    TParAttrs commonPar = d.Paragraph(start.Paragraph).Attributes;
    for (int32_t p = start.Paragraph; p <= end.Paragraph; ++p) {
        const TParagraph& paragraph = d.Paragraph(p);
        const TParAttrs& pa = paragraph.Attributes;
        for (int slot = 0; slot < ParSlotCount; ++slot) {
            if (commonPar[slot] != pa[slot]) {
                commonPar[slot] = UndefinedAttr;
            }
        }
        const int32_t from = p == start.Paragraph ? start.Offset : 0;
        const int32_t to = p == end.Paragraph ? end.Offset : paragraph.PositionCount();
        if (from >= to) {
            continue;
        }
        for (const TSlotValue& v : SlotRuns(paragraph, from, to, slots)) {
            if (first) {
                common[v.Slot] = v.Value;
            } else if (common[v.Slot] != v.Value) {
                common[v.Slot] = UndefinedAttr;
            }
            if (v.Slot == CharSlotCount - 1) {
                first = false;
            }
        }
        first = false;
    }
    d.View.SelectionCharAttrs = common;
    d.View.SelectionParAttrs = commonPar;
}

// ---------------------------------------------------------------- edit actions

namespace {

uint8_t NameOfAction(int action) {
    switch (action) {
        case 0: return 1;
        case 1: return 5;
        case 7: return 6;
        case 10: return 7;
        case 11: return 8;
        case 12: return 28;
        case 25: return 39;
        case 29: return 42;
        case 2: return 9;
        case 4: return 9;
        case 9: return 5;
        case 13:
        case 14:
        case 19: return 15;
        case 17: return 20;
        case 20: return 21;
        default: return 0;
    }
}

}  // namespace

void TDocumentEditor::RunAction(int action, const TEditRequest& request, TOperation& operation,
                                TChangeRecord& change) {
    TDocument& d = document_;
    TTextPosition selStart = d.View.SelectionStart;
    TTextPosition selEnd = d.View.SelectionEnd;
    if (PositionBefore(selEnd, selStart)) {
        std::swap(selStart, selEnd);
    }
    switch (action) {
        case 1:
            if (const auto* r = std::get_if<TParFormatRequest>(&request)) {
                ApplyParagraphFormat(selStart.Paragraph, selEnd.Paragraph, r->Attrs, change, &operation);
            }
            break;
        case 2:
            if (const auto* r = std::get_if<TCharFormatRequest>(&request)) {
                ApplyCharFormat(selStart, selEnd, r->Attrs, change, &operation, r->Flags);
            }
            break;
        case 4:
            if (const auto* r = std::get_if<TStepRequest>(&request)) {
                StepCharAttr(selStart, selEnd, r->Slot, r->Amount, change, &operation);
            }
            break;
        case 9:
            if (const auto* r = std::get_if<TIndentRequest>(&request)) {
                IndentCommand(selStart.Paragraph, selEnd.Paragraph, r->Kind, r->Step, change, &operation);
            }
            break;
        case 14:
            if (const auto* r = std::get_if<TTypeRequest>(&request)) {
                TypeText(r->Text, change, &operation, 0);
            }
            break;
        case 17:
            if (const auto* r = std::get_if<TDeleteRequest>(&request)) {
                DeleteRange(r->Start, r->End, change, &operation, r->Flags);
            }
            break;
        case 0:
            if (const auto* r = std::get_if<TPageRequest>(&request)) {
                ChangePageSettings(r->Settings, change, &operation);
            }
            break;
        case 7:
            if (const auto* r = std::get_if<TTabsRequest>(&request)) {
                FormatTabs(selStart.Paragraph, selEnd.Paragraph, *r, change, &operation);
            }
            break;
        case 8:
            if (const auto* r = std::get_if<TResetRequest>(&request)) {
                operation.NameIndex = r->Font ? 9 : 5;
                ResetToStyle(selStart, selEnd, r->Font, change, &operation);
            }
            break;
        case 10:
            if (const auto* r = std::get_if<TApplyStyleRequest>(&request)) {
                ApplyStyle(selStart.Paragraph, selEnd.Paragraph, *r, change, &operation);
            }
            break;
        case 11:
            if (const auto* r = std::get_if<TStyleListRequest>(&request); r != nullptr && r->Info) {
                // The list is the operation's from here on.
                auto info = std::make_unique<TFormatStyleListInfo>();
                info->StyleList = std::make_unique<TStyleList>(&d.Tabs());
                info->StyleList->AssignFrom(*r->Info->StyleList);
                info->DeletedStyles = r->Info->DeletedStyles;
                info->ChangedStyles = r->Info->ChangedStyles;
                info->StyleToApply = r->Info->StyleToApply;
                info->IndexOnly = r->Info->IndexOnly;
                operation.NameIndex = info->StyleList->StyleCount() > 0 ? 8 : 7;
                EditStyleList(selStart.Paragraph, selEnd.Paragraph, std::move(info), change, &operation);
            }
            break;
        case 12:
            UpdateStyle(change, &operation);
            break;
        case 25:
            if (const auto* r = std::get_if<TObjectRequest>(&request)) {
                FormatObject(*r, change, &operation);
            }
            break;
        case 29:
            if (const auto* r = std::get_if<TLanguageRequest>(&request)) {
                SetDefaultLanguage(r->Language, change, &operation);
            }
            break;
        case 20:
            if (const auto* r = std::get_if<TMoveRequest>(&request)) {
                MoveBlock(r->Start, r->End, r->Target, change, &operation, r->Flags);
            }
            break;
        case 19:
            if (const auto* r = std::get_if<TTypeRequest>(&request)) {
                ReplaceRange(r->Start, r->End, r->Text, change, &operation, 0);
            }
            break;
        default:
            break;  // actions without a routine record nothing
    }
}

void TDocumentEditor::PerformEditAction(int action, const TEditRequest& request) {
    TDocument& d = document_;
    if (manager_ != nullptr && manager_->Environment() != nullptr) {
        manager_->Environment()->BeginBusy();
    }
    d.Flags.Assign(dsOperationAdded, false);
    d.Flags.Assign(dsRefreshRequested, false);
    TScopedFlag performing(d.Flags, dsPerformingEdit, true);
    TScopedFlag inProgress(d.Flags, dsEditInProgress, true);
    auto operation = std::make_unique<TOperation>(d, NameOfAction(action));
    TChangeRecord change;
    // An exception frees the operation and leaves the busy section entered:
    // the program offers an emergency save and closes the document.
    RunAction(action, request, *operation, change);
    if (d.Flags.Test(dsFullRepaintRequested)) {
        change.FullRepaint = true;
        change.FirstParagraph = NoParagraph;
    }
    if (operation->IsEmpty()) {
        if (change.FullRepaint && manager_ != nullptr) {
            manager_->ApplyChanges(change);
        }
    } else {
        const bool keepView = action == 0 || action == 3 || action == 12;
        if (manager_ != nullptr) {
            if (keepView) {
                TScopedFlag keep(d.Flags, dsKeepView, true);
                manager_->ApplyChanges(change);
            } else {
                manager_->ApplyChanges(change);
            }
        } else {
            if (change.Caret.Position.Paragraph != NoParagraph) {
                d.View.Caret.Position = change.Caret.Position;
            }
        }
        if (OperationNameOverride != 255) {
            operation->NameIndex = OperationNameOverride;
            OperationNameOverride = 255;
        }
        if (manager_ != nullptr) {
            if (keepView) {
                TScopedFlag keep(d.Flags, dsKeepView, true);
                manager_->AddOperation(std::move(operation));
            } else {
                manager_->AddOperation(std::move(operation));
            }
        }
        d.Flags.Assign(dsOperationAdded, true);
        d.Flags.Assign(dsKeyboardSwitched, false);
    }
    d.Flags.Assign(dsFullRepaintRequested, false);
    if (manager_ != nullptr && manager_->Environment() != nullptr) {
        manager_->Environment()->EndBusy();
    }
    // Attributes chosen without a selection stay until the caret moves.
    if (!d.Flags.Test(dsInputAttrsSet)) {
        UpdateSelectionAttrs();
    }
}

}  // namespace quillane
