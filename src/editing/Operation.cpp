#include "editing/Operation.h"

#include <array>

#include "editing/EditFlags.h"
#include "model/Document.h"

namespace quillane {

namespace {

constexpr std::array<std::string_view, OperationNameCount> Names = {
    "operation", "change page settings", "save selection to file", "save picture to file",
    "shrink page count", "format paragraph", "format tabs", "apply style",
    "format document style list", "font format", "format brush", "highlight",
    "font color", "paste", "paste all formatting", "text input",
    "insert symbol", "insert picture", "insert file", "insert function",
    "delete text", "drag text", "replace text", "replace all",
    "duplicate text", "join paragraphs", "split paragraphs", "sort paragraphs",
    "update style", "convert between keyboard layouts", "upper case", "lower case",
    "invert case", "change case (sentence)", "change case (heading)", "change font character set",
    "calculate expression", "delete rectangular block", "format rectangular block", "format picture",
    "apply document template", "spellcheck", "change default language coding", "Click & Type formatting",
    "AutoCorrect", "format sections", "format bookmarks", "format hyperlinks",
    "Table Of Contents", "update fields",
};

}  // namespace

std::string_view OperationName(int nameIndex) {
    return nameIndex >= 0 && nameIndex < OperationNameCount ? Names[static_cast<size_t>(nameIndex)] : Names[0];
}

TOperation::TOperation(TDocument& document, uint8_t nameIndex) : Document(document), NameIndex(nameIndex) {
    SelectionBefore[0] = document.View.SelectionStart;
    SelectionBefore[1] = document.View.SelectionEnd;
    CaretBefore.Position = document.View.Caret.Position;
    CaretBefore.LineHint = document.View.Caret.Line;
}

TOperation::~TOperation() {
    // Later sub-operations may hold what earlier ones refer to; free them in
    // reverse order of execution.
    while (!SubOperations.empty()) {
        SubOperations.pop_back();
    }
}

int64_t TOperation::MemorySize() const {
    int64_t size = sizeof(*this) + static_cast<int64_t>(SubOperations.size() * sizeof(SubOperations[0]));
    for (const auto& sub : SubOperations) {
        size += sub->MemorySize();
    }
    return size;
}

bool TOperation::IsSingleCharEdit() const { return SubOperations.size() == 1 && SubOperations[0]->IsSingleChar(); }

void TOperation::Undo(TChangeRecord& change) {
    change = TChangeRecord{};
    for (auto it = SubOperations.rbegin(); it != SubOperations.rend(); ++it) {
        TChangeRecord own;
        (*it)->Undo(own);
        MergeChange(change, own);
    }
    change.SetSelection(SelectionBefore[0], SelectionBefore[1]);
    change.Caret = CaretBefore;
}

void TOperation::Redo(TChangeRecord& change) {
    change = TChangeRecord{};
    for (auto& sub : SubOperations) {
        TChangeRecord own;
        sub->Redo(own);
        MergeChange(change, own);
    }
    change.SetSelection(SelectionAfter[0], SelectionAfter[1]);
    change.Caret = CaretAfter;
}

void TOperation::TakeStateAfter() {
    SelectionAfter[0] = Document.View.SelectionStart;
    SelectionAfter[1] = Document.View.SelectionEnd;
    CaretAfter.Position = Document.View.Caret.Position;
    CaretAfter.LineHint = Document.View.Caret.Line;
    TrackCaret = !Document.Flags.Test(dsKeepView);
}

}  // namespace quillane
