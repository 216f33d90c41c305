#pragma once
// Makes the editing parts of a document that has no window: an operation
// manager and a reflow manager wired to each other. The converter's scripted
// editing and the tests use it; the program's dispatcher has its own host
// that adds the window.

#include <cstdint>
#include <memory>

#include "editing/OperationManager.h"
#include "model/DocumentParts.h"

namespace quillane {

class TEditingHost final : public TDocumentHost {
public:
    explicit TEditingHost(int64_t memoryBound = TOperationManager::DefaultMemoryBound) : memoryBound_(memoryBound) {}

    std::unique_ptr<TDocumentWindow> CreateWindow(TDocument&) override { return nullptr; }
    std::unique_ptr<TReflowManager> CreateReflowManager(TDocument& document) override;
    std::unique_ptr<TUndoManager> CreateUndoManager(TDocument& document) override;

private:
    int64_t memoryBound_;
};

}  // namespace quillane
