#pragma once
// The pictures and OLE objects of one document: the list that owns them,
// the ids their tags carry, the metafile compression that keeps documents
// full of metafiles small, and the queue of deferred repaints.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/DocumentParts.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectRepaint.h"

namespace quillane {

class TDocument;
class TPictureBudget;

class TObjectManager final : public TObjectExtents {
public:
    // Once the packed, uncompressed metafiles of a document exceed this many
    // bytes, each metafile added is stored compressed.
    static constexpr int64_t CompressMetafilesAbove = 8388608;

    // Neither is owned; without a budget nothing is ever packed for room.
    explicit TObjectManager(TDocument* document = nullptr, TPictureBudget* budget = nullptr);
    // Removes the unpacked images from the budget and frees every object.
    ~TObjectManager();
    TObjectManager(const TObjectManager&) = delete;
    TObjectManager& operator=(const TObjectManager&) = delete;

    void SetBudget(TPictureBudget* budget);
    TPictureBudget* Budget() const { return budget_; }

    // Appends the object and sets its document; returns its id for the tag.
    // A packed metafile is compressed when the document's packed metafiles
    // exceed CompressMetafilesAbove; an unpacked image joins the budget and
    // is packed at once when that exceeds it.
    int32_t AddObject(std::unique_ptr<TDocObject> object);
    // Removes and frees the object (and its pending repaints).
    void RemoveObject(int32_t id);
    // The object with this id, or none.
    TDocObject* Find(int32_t id) const;
    int32_t ObjectCount() const { return static_cast<int32_t>(objects_.size()); }
    TDocObject& Object(int32_t i) const { return *objects_[static_cast<size_t>(i)]; }

    // The object's size and scales for layout; false for an unknown id.
    bool Extent(uint8_t kind, int32_t id, TObjectExtent& extent) const override;

    // Drawing brackets: the image is unpacked (forced) before, and packed
    // again after unless the budget makes room for it.
    bool PrepareForDrawing(TDocObject& object);
    void FinishDrawing(TDocObject& object);

    // Deferred repaints.
    void QueueRepaint(const TDrawRequest& request, int32_t currentZoom);
    void ProcessRepaints(TRepaintWindow& window);
    void DropRepaintsFrom(int32_t paragraph);
    void DropRepaintFor(int32_t paragraph, int32_t position);
    void ClearRepaints() { repaints_.clear(); }
    const std::vector<TDrawRequest>& Repaints() const { return repaints_; }

    // Called by a budget that goes away before the manager.
    void BudgetGone();

private:
    TDocument* document_;
    TPictureBudget* budget_ = nullptr;
    std::vector<std::unique_ptr<TDocObject>> objects_;
    std::vector<TDrawRequest> repaints_;
    int32_t nextId_ = 1;
};

}  // namespace quillane
