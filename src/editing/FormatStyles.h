#pragma once
// An edited style list exchanged with the document's, and the paragraphs
// re-styled to follow it, recorded in a nested operation.

#include <cstdint>
#include <memory>
#include <vector>

#include "editing/Operation.h"
#include "model/StyleList.h"

namespace quillane {

// The style list the user edited, and what to do with it.
struct TFormatStyleListInfo {
    std::unique_ptr<TStyleList> StyleList;  // bound to the document's tab manager
    std::vector<int32_t> DeletedStyles;     // indexes into the old list
    std::vector<int32_t> ChangedStyles;
    int32_t StyleToApply = -1;
    bool IndexOnly = false;  // re-styled paragraphs only receive the new index
    int64_t MemorySize() const;
};

class TDocumentEditor;

class TFormatStyleListOperation final : public TSubOperation {
public:
    TFormatStyleListOperation(TDocument& document, TDocumentEditor& editor, std::unique_ptr<TFormatStyleListInfo> info)
        : TSubOperation(document), Info(std::move(info)), editor_(&editor) {}
    int64_t MemorySize() const override;
    void Redo(TChangeRecord& change) override;
    void Undo(TChangeRecord& change) override;

    std::unique_ptr<TOperation> Nested;
    bool Executed = false;
    std::unique_ptr<TFormatStyleListInfo> Info;  // after execution: the other list

private:
    void ExchangeLists();
    void Restyle(TChangeRecord& change);
    TDocumentEditor* editor_;  // the document's editor, which outlives its history
};

}  // namespace quillane
