#pragma once
// The sub-operation that removes a range of formatted text from a document
// or puts it back. It alternates between two states: the text in the
// document with the buffer empty, and the text in the buffer (a fragment:
// the first paragraph's part, then for each paragraph end the byte 29 and,
// when they differ from the last written, the byte 30 and the paragraph's
// attributes). Undo and redo are the same exchange.

#include <cstdint>

#include "editing/Operation.h"
#include "model/CharAttrs.h"
#include "model/FlexibleString.h"

namespace quillane {

class TParagraph;

class TInsertDeleteOperation final : public TSubOperation {
public:
    enum : uint8_t {
        ifDeletes = 1,     // the next execution deletes: the text is in the document
        ifSpace = 2,       // the single character concerned is a space
        ifSingleChar = 4,  // exactly one character was inserted or removed
    };

    // A deletion of [start, end) (end paragraph may be the paragraph count:
    // whole paragraphs up to the end of the document), or an insertion of
    // `fragment` with paraCount paragraph ends at start.
    static std::unique_ptr<TInsertDeleteOperation> Deletion(TDocument& document, int32_t startPara,
                                                            int32_t startPos, int32_t endPara, int32_t endPos,
                                                            bool ownsObjects);
    static std::unique_ptr<TInsertDeleteOperation> Insertion(TDocument& document, int32_t startPara,
                                                             int32_t startPos, TFlexibleString fragment,
                                                             int32_t paraCount, bool ownsObjects);
    ~TInsertDeleteOperation() override;

    int64_t MemorySize() const override;
    void Undo(TChangeRecord& change) override { Execute(change); }
    void Redo(TChangeRecord& change) override { Execute(change); }
    bool IsSingleChar() const override { return (Flags & ifSingleChar) != 0; }
    bool SingleCharIsSpace() const override { return (Flags & ifSpace) != 0; }
    bool TextInDocument() const override { return (Flags & ifDeletes) != 0; }

    void Execute(TChangeRecord& change);

    int64_t ObjectsSize = 0;
    uint8_t Flags = 0;
    int32_t StartPara = 0;
    int32_t StartPos = 0;
    int32_t EndPara = 0;
    int32_t EndPos = 0;
    int32_t CharCount = 0;
    int32_t ParaCount = 0;
    bool OwnsObjects = true;
    TFlexibleString Buffer;
    // Computed by a deletion: the attributes of the first removed item and
    // of the first item after the range.
    TCharAttrs RangeStartAttrs;
    TCharAttrs RangeEndAttrs;

private:
    explicit TInsertDeleteOperation(TDocument& document) : TSubOperation(document) {}
    void DeleteInParagraph(TChangeRecord& change);
    void DeleteAcross(TChangeRecord& change);
    void DeleteTrailing(TChangeRecord& change);
    void InsertInParagraph(TChangeRecord& change);
    void InsertAcross(TChangeRecord& change);
    void InsertTrailing(TChangeRecord& change);
    void CountObjects(const uint8_t* bytes, int32_t n);
    void SetSingleChar(const TParagraph& p, int32_t position, int32_t count);
};

// After the bytes of paragraph p changed around a position: lay it out
// again now when it was laid out (reporting what pagination must redo and
// the lines to repaint), otherwise mark it for layout.
void ParagraphTextChanged(TDocument& document, int32_t p, int32_t position, TChangeRecord& change);
// Writes before the item at a position a tag for every slot in which the
// state in force there differs from `wanted`.
void RestoreAttrsBefore(TParagraph& p, int32_t position, const TCharAttrs& wanted);

}  // namespace quillane
