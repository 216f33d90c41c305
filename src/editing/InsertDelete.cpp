#include "editing/InsertDelete.h"

#include <algorithm>

#include "editing/EditFlags.h"
#include "editing/OperationManager.h"
#include "editing/Reflow.h"
#include "editing/TextAccess.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "pictures/ObjectManager.h"

namespace quillane {

void ParagraphTextChanged(TDocument& document, int32_t p, int32_t position, TChangeRecord& change) {
    TParagraph& paragraph = document.Paragraph(p);
    paragraph.TextChanged();
    if (!paragraph.LaidOut) {
        return;
    }
    const int32_t line = std::max(paragraph.LineAt(position, false), 0);
    std::vector<TParLineRepaintInfo> repaint;
    TChangeRecord own;
    ReformatParagraph(document, p, line, own, &repaint);
    MergeChange(change, own);
    if (TOperationManager* manager = OperationManagerOf(document)) {
        for (const TParLineRepaintInfo& entry : repaint) {
            manager->MarkLineForRepaint(entry.Paragraph, entry.Line);
        }
    }
}

void RestoreAttrsBefore(TParagraph& p, int32_t position, const TCharAttrs& wanted) {
    const int32_t offset = ItemOffset(p, position);
    const TCharAttrs current = AttributesAt(p.Text, offset, p.Document().DefaultCharAttrs);
    uint8_t tags[CharSlotCount * TagSize];
    int32_t n = 0;
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (current[slot] != wanted[slot]) {
            EncodeTag(tags + n, static_cast<uint8_t>(slot), wanted[slot]);
            n += TagSize;
        }
    }
    if (n > 0) {
        p.Text.InsertBytes(offset, tags, n);
        p.TextChanged();
    }
}

namespace {

void DropLayoutOf(TParagraph& p) {
    p.TextChanged();
    if (p.LaidOut || p.LineCount() > 0) {
        p.DropLayout(false);
    }
}

TOperationManager* Manager(TDocument& d) { return OperationManagerOf(d); }

}  // namespace

std::unique_ptr<TInsertDeleteOperation> TInsertDeleteOperation::Deletion(TDocument& document, int32_t startPara,
                                                                         int32_t startPos, int32_t endPara,
                                                                         int32_t endPos, bool ownsObjects) {
    std::unique_ptr<TInsertDeleteOperation> op(new TInsertDeleteOperation(document));
    op->Flags = ifDeletes;
    op->StartPara = startPara;
    op->StartPos = startPos;
    op->EndPara = endPara;
    op->EndPos = endPos;
    op->ParaCount = endPara - startPara;
    op->CharCount = op->ParaCount == 0 ? endPos - startPos : 0;
    op->OwnsObjects = ownsObjects;
    return op;
}

std::unique_ptr<TInsertDeleteOperation> TInsertDeleteOperation::Insertion(TDocument& document, int32_t startPara,
                                                                          int32_t startPos,
                                                                          TFlexibleString fragment,
                                                                          int32_t paraCount, bool ownsObjects) {
    std::unique_ptr<TInsertDeleteOperation> op(new TInsertDeleteOperation(document));
    op->Flags = 0;
    op->StartPara = startPara;
    op->StartPos = startPos;
    // The fragment says how many paragraph ends it holds; a count given by
    // the caller that disagrees would cut it in the wrong places.
    (void)paraCount;
    op->ParaCount = static_cast<int32_t>(SplitFragment(fragment).size()) - 1;
    op->OwnsObjects = ownsObjects;
    op->Buffer = std::move(fragment);
    return op;
}

TInsertDeleteOperation::~TInsertDeleteOperation() {
    // Text held in the buffer is not in the document: its pictures and
    // objects belong to this operation, unless the document keeps them
    // (destruction of the document, a move in progress).
    if (!OwnsObjects || (Flags & ifDeletes) != 0 || Buffer.Length() == 0 || Document.Flags.Test(dsKeepObjects)) {
        return;
    }
    std::vector<int32_t> ids;
    CollectObjectIds(Buffer.Data(), Buffer.Length(), ids);
    for (int32_t id : ids) {
        Document.Objects().RemoveObject(id);
    }
}

int64_t TInsertDeleteOperation::MemorySize() const { return int64_t{sizeof(*this)} + Buffer.Length() + ObjectsSize; }

void TInsertDeleteOperation::CountObjects(const uint8_t* bytes, int32_t n) {
    if (!OwnsObjects) {
        return;
    }
    std::vector<int32_t> ids;
    CollectObjectIds(bytes, n, ids);
    for (int32_t id : ids) {
        if (const TDocObject* object = Document.Objects().Find(id)) {
            ObjectsSize += object->MemorySize();
        }
    }
}

void TInsertDeleteOperation::SetSingleChar(const TParagraph& p, int32_t position, int32_t count) {
    if (count == 1) {
        Flags |= ifSingleChar;
        if (position >= 0 && position < p.PositionCount() && p.Positions[position] == ' ') {
            Flags |= ifSpace;
        }
    }
}

void TInsertDeleteOperation::Execute(TChangeRecord& change) {
    Flags &= static_cast<uint8_t>(~(ifSpace | ifSingleChar));
    ObjectsSize = 0;
    if ((Flags & ifDeletes) != 0) {
        if (ParaCount == 0) {
            DeleteInParagraph(change);
        } else if (EndPara >= Document.ParagraphCount()) {
            DeleteTrailing(change);
        } else {
            DeleteAcross(change);
        }
    } else {
        if (ParaCount == 0) {
            InsertInParagraph(change);
        } else if (StartPara >= Document.ParagraphCount()) {
            InsertTrailing(change);
        } else {
            InsertAcross(change);
        }
    }
    Flags ^= ifDeletes;
}

void TInsertDeleteOperation::DeleteInParagraph(TChangeRecord& change) {
    TParagraph& p = Document.Paragraph(StartPara);
    RangeStartAttrs = AttrsOfItem(p, StartPos);
    RangeEndAttrs = AttrsOfItem(p, EndPos);
    const int32_t from = InsertionOffset(p, StartPos);
    const int32_t to = OffsetAfterItem(p, EndPos - 1);
    // Room first, then the change: a failed allocation leaves the paragraph
    // as it was.
    TFlexibleString removed;
    removed.AssignBytes(p.Text.Data() + from, to - from);
    const bool pageBreak = std::find(p.Positions.Data() + StartPos, p.Positions.Data() + EndPos,
                                     static_cast<uint8_t>(spPageBreak)) != p.Positions.Data() + EndPos;
    SetSingleChar(p, StartPos, EndPos - StartPos);
    CharCount = EndPos - StartPos;
    p.Text.DeleteBytes(from, to - from);
    p.Positions.DeleteBytes(StartPos, EndPos - StartPos);
    Buffer = std::move(removed);
    CountObjects(Buffer.Data(), Buffer.Length());
    RestoreAttrsBefore(p, StartPos, RangeEndAttrs);
    if (pageBreak && p.LaidOut) {
        SetFirstChanged(Document, change, StartPara);
        DropLayoutOf(p);
    } else {
        ParagraphTextChanged(Document, StartPara, StartPos, change);
    }
}

void TInsertDeleteOperation::InsertInParagraph(TChangeRecord& change) {
    TParagraph& p = Document.Paragraph(StartPara);
    const int32_t offset = InsertionOffset(p, StartPos);
    // Tags that stood before the item after the insertion point may have
    // been normalised away while they restated the state in force; the
    // inserted text must not pass its own attributes on to that item.
    const TCharAttrs following = AttrsOfItem(p, StartPos);
    TFlexibleString positions;
    const int32_t count = AppendPositionsOf(Buffer.Data(), Buffer.Length(), &positions);
    p.Text.InsertBytes(offset, Buffer.Data(), Buffer.Length());
    p.Positions.InsertBytes(StartPos, positions.Data(), positions.Length());
    EndPara = StartPara;
    EndPos = StartPos + count;
    CharCount = count;
    SetSingleChar(p, StartPos, count);
    RestoreAttrsBefore(p, EndPos, following);
    Buffer.Clear();
    ParagraphTextChanged(Document, StartPara, StartPos, change);
}

void TInsertDeleteOperation::DeleteAcross(TChangeRecord& change) {
    TParagraph& first = Document.Paragraph(StartPara);
    TParagraph& last = Document.Paragraph(EndPara);
    RangeStartAttrs = AttrsOfItem(first, StartPos);
    RangeEndAttrs = AttrsOfItem(last, EndPos);
    SetFirstChanged(Document, change, StartPara);

    const int32_t from = InsertionOffset(first, StartPos);
    const int32_t headEnd = InsertionOffset(last, EndPos);
    TFlexibleString removed;
    removed.AppendBytes(first.Text.Data() + from, first.Text.Length() - from);
    removed.AppendByte(FragmentParagraphEnd);
    removed.AppendByte(FragmentAttributes);
    AppendParAttrs(removed, first.Attributes);
    TParAttrs written = first.Attributes;
    for (int32_t i = StartPara + 1; i < EndPara; ++i) {
        const TParagraph& middle = Document.Paragraph(i);
        removed.Append(middle.Text);
        removed.AppendByte(FragmentParagraphEnd);
        if (!(middle.Attributes == written)) {
            removed.AppendByte(FragmentAttributes);
            AppendParAttrs(removed, middle.Attributes);
            written = middle.Attributes;
        }
    }
    removed.AppendBytes(last.Text.Data(), headEnd);
    TFlexibleString joined;
    joined.AppendBytes(first.Text.Data(), from);
    joined.AppendBytes(last.Text.Data() + headEnd, last.Text.Length() - headEnd);

    // The paragraphs' lines leave their pages before the paragraphs go.
    for (int32_t i = StartPara; i <= EndPara; ++i) {
        DropLayoutOf(Document.Paragraph(i));
    }
    first.Text = std::move(joined);
    first.Attributes = last.Attributes;
    Document.RemoveParagraphs(StartPara + 1, ParaCount);
    if (TOperationManager* manager = Manager(Document)) {
        manager->ParagraphsRemoved(StartPara + 1, ParaCount);
    }
    RebuildPositions(first);
    Buffer = std::move(removed);
    CountObjects(Buffer.Data(), Buffer.Length());
    RestoreAttrsBefore(first, StartPos, RangeEndAttrs);
    first.TextChanged();
}

void TInsertDeleteOperation::InsertAcross(TChangeRecord& change) {
    const std::vector<TFragmentPart> parts = SplitFragment(Buffer);
    const auto paraCount = static_cast<int32_t>(parts.size()) - 1;
    SetFirstChanged(Document, change, StartPara);
    TParagraph& first = Document.Paragraph(StartPara);
    DropLayoutOf(first);
    const int32_t offset = InsertionOffset(first, StartPos);
    const TCharAttrs following = AttrsOfItem(first, StartPos);
    const TParAttrs remembered = first.Attributes;
    TFlexibleString tail;
    tail.AppendBytes(first.Text.Data() + offset, first.Text.Length() - offset);
    Document.InsertParagraphs(StartPara + 1, paraCount);
    if (TOperationManager* manager = Manager(Document)) {
        manager->ParagraphsInserted(StartPara + 1, paraCount);
    }
    first.Text.SetLength(offset);
    for (int32_t i = 0; i < paraCount; ++i) {
        TParagraph& p = Document.Paragraph(StartPara + i);
        const TFragmentPart& part = parts[static_cast<size_t>(i)];
        p.Text.AppendBytes(Buffer.Data() + part.Offset, part.Length);
        if (part.HasAttributes) {
            p.Attributes = part.Attributes;
        } else if (i > 0) {
            p.Attributes = Document.Paragraph(StartPara + i - 1).Attributes;
        }
        RebuildPositions(p);
        p.TextChanged();
    }
    TParagraph& last = Document.Paragraph(StartPara + paraCount);
    const TFragmentPart& lastPart = parts.back();
    last.Attributes = remembered;
    last.Text.AppendBytes(Buffer.Data() + lastPart.Offset, lastPart.Length);
    EndPos = AppendPositionsOf(Buffer.Data() + lastPart.Offset, lastPart.Length, nullptr);
    last.Text.Append(tail);
    RebuildPositions(last);
    RestoreAttrsBefore(last, EndPos, following);
    last.TextChanged();
    ParaCount = paraCount;
    EndPara = StartPara + paraCount;
    Buffer.Clear();
}

void TInsertDeleteOperation::DeleteTrailing(TChangeRecord& change) {
    // Whole paragraphs from StartPara to the end of the document.
    const int32_t count = Document.ParagraphCount() - StartPara;
    SetFirstChanged(Document, change, StartPara - 1);
    const TParagraph& firstRemoved = Document.Paragraph(StartPara);
    RangeStartAttrs = AttrsOfItem(firstRemoved, 0);
    RangeEndAttrs = RangeStartAttrs;
    TFlexibleString removed;
    TParAttrs written;
    for (int32_t i = StartPara; i < Document.ParagraphCount(); ++i) {
        const TParagraph& p = Document.Paragraph(i);
        removed.Append(p.Text);
        removed.AppendByte(FragmentParagraphEnd);
        if (i == StartPara || !(p.Attributes == written)) {
            removed.AppendByte(FragmentAttributes);
            AppendParAttrs(removed, p.Attributes);
            written = p.Attributes;
        }
    }
    for (int32_t i = StartPara; i < Document.ParagraphCount(); ++i) {
        DropLayoutOf(Document.Paragraph(i));
    }
    Document.RemoveParagraphs(StartPara, count);
    if (TOperationManager* manager = Manager(Document)) {
        manager->ParagraphsRemoved(StartPara, count);
    }
    Document.SetPaginationComplete(false);
    ParaCount = count;
    EndPara = StartPara + count;
    EndPos = 0;
    Buffer = std::move(removed);
    CountObjects(Buffer.Data(), Buffer.Length());
}

void TInsertDeleteOperation::InsertTrailing(TChangeRecord& change) {
    const std::vector<TFragmentPart> parts = SplitFragment(Buffer);
    // Whole paragraphs, each closed by its end byte: the part after the last
    // end is empty.
    const auto count = static_cast<int32_t>(parts.size()) - 1;
    SetFirstChanged(Document, change, StartPara - 1);
    Document.InsertParagraphs(StartPara, count);
    if (TOperationManager* manager = Manager(Document)) {
        manager->ParagraphsInserted(StartPara, count);
    }
    for (int32_t i = 0; i < count; ++i) {
        TParagraph& p = Document.Paragraph(StartPara + i);
        const TFragmentPart& part = parts[static_cast<size_t>(i)];
        p.Text.AppendBytes(Buffer.Data() + part.Offset, part.Length);
        if (part.HasAttributes) {
            p.Attributes = part.Attributes;
        } else if (StartPara + i > 0) {
            p.Attributes = Document.Paragraph(StartPara + i - 1).Attributes;
        }
        RebuildPositions(p);
        p.TextChanged();
    }
    Document.SetPaginationComplete(false);
    ParaCount = count;
    EndPara = StartPara + count;
    EndPos = 0;
    Buffer.Clear();
}

}  // namespace quillane
