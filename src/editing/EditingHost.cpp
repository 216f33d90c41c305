#include "editing/EditingHost.h"

#include "editing/Reflow.h"
#include "model/Document.h"

namespace quillane {

std::unique_ptr<TReflowManager> TEditingHost::CreateReflowManager(TDocument& document) {
    return std::make_unique<TParReformatingManager>(document);
}

std::unique_ptr<TUndoManager> TEditingHost::CreateUndoManager(TDocument& document) {
    auto manager = std::make_unique<TOperationManager>(document, memoryBound_);
    // The reflow manager is made first; its queue follows the paragraphs
    // the operations insert and remove.
    manager->SetReflow(dynamic_cast<TParReformatingManager*>(document.Reflow()));
    return manager;
}

}  // namespace quillane
