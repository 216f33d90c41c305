#pragma once
// An undoable step ("text input", "font format", ...) and the elementary
// changes it is made of. A sub-operation reverses and re-applies one change;
// an operation replays its sub-operations backwards (undo) or forwards
// (redo). Every record is kept by text position, never by byte offset: tags
// are normalised between any two steps, so byte offsets do not survive.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "editing/ChangeRecord.h"

namespace quillane {

class TDocument;

constexpr int OperationNameCount = 50;
// The names shown in the Undo and Redo commands and in progress texts.
std::string_view OperationName(int nameIndex);

class TSubOperation {
public:
    explicit TSubOperation(TDocument& document) : Document(document) {}
    virtual ~TSubOperation() = default;
    TSubOperation(const TSubOperation&) = delete;
    TSubOperation& operator=(const TSubOperation&) = delete;

    // The bytes the sub-operation holds: its instance and the lengths of the
    // buffers it owns (and the embedded objects a buffer keeps).
    virtual int64_t MemorySize() const { return sizeof(*this); }
    virtual void Undo(TChangeRecord& change) = 0;
    virtual void Redo(TChangeRecord& change) = 0;
    // One typed character inserted or removed (typing groups in the undo).
    virtual bool IsSingleChar() const { return false; }
    // For a single character: whether it is a space, and whether the text
    // is in the document now (after an insertion, before its undo).
    virtual bool SingleCharIsSpace() const { return false; }
    virtual bool TextInDocument() const { return false; }

    TDocument& Document;  // not owned
};

class TOperation {
public:
    // Copies the document's selection and caret as they are before the step.
    TOperation(TDocument& document, uint8_t nameIndex);
    ~TOperation();
    TOperation(const TOperation&) = delete;
    TOperation& operator=(const TOperation&) = delete;

    void Add(std::unique_ptr<TSubOperation> subOperation) { SubOperations.push_back(std::move(subOperation)); }
    bool IsEmpty() const { return SubOperations.empty(); }
    int32_t Count() const { return static_cast<int32_t>(SubOperations.size()); }
    TSubOperation& Items(int32_t i) const { return *SubOperations[static_cast<size_t>(i)]; }
    int64_t MemorySize() const;
    // Exactly one sub-operation, and it inserted or removed one character.
    bool IsSingleCharEdit() const;

    void Undo(TChangeRecord& change);
    void Redo(TChangeRecord& change);
    // Copies selection, caret and the keep-view state when the operation
    // joins the history.
    void TakeStateAfter();

    bool Linked = false;
    std::vector<std::unique_ptr<TSubOperation>> SubOperations;
    TDocument& Document;  // not owned
    uint8_t NameIndex = 0;
    TTextPosition SelectionBefore[2];
    TTextPosition SelectionAfter[2];
    TCaretPlace CaretBefore;
    TCaretPlace CaretAfter;
    bool TrackCaret = true;
};

}  // namespace quillane
