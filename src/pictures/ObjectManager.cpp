#include "pictures/ObjectManager.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "pictures/PictureBudget.h"
#include "pictures/Zlib.h"

namespace quillane {

TObjectManager::TObjectManager(TDocument* document, TPictureBudget* budget) : document_(document) {
    SetBudget(budget);
}

TObjectManager::~TObjectManager() {
    repaints_.clear();
    objects_.clear();  // the images leave the budget
    if (budget_ != nullptr) {
        budget_->Unregister(*this);
    }
}

void TObjectManager::SetBudget(TPictureBudget* budget) {
    if (budget == budget_) {
        return;
    }
    if (budget_ != nullptr) {
        budget_->Unregister(*this);
    }
    budget_ = budget;
    if (budget_ != nullptr) {
        budget_->Register(*this);
    }
    for (const auto& object : objects_) {
        object->Image().AttachBudget(budget_);
    }
}

void TObjectManager::BudgetGone() { SetBudget(nullptr); }

int32_t TObjectManager::AddObject(std::unique_ptr<TDocObject> object) {
    if (!object) {
        throw std::logic_error("object manager: no object to add");
    }
    if (nextId_ == INT32_MAX) {
        throw std::runtime_error("object manager: too many objects");
    }
    const int32_t id = nextId_++;
    object->id_ = id;
    object->Document = document_;
    TDocObjectImage& image = object->Image();
    objects_.push_back(std::move(object));

    if (image.Packed()) {
        if (image.Kind() == TImageKind::Metafile && !image.Compressed) {
            int64_t sum = 0;
            for (const auto& o : objects_) {
                const TDocObjectImage& i = o->Image();
                if (i.Packed() && i.Kind() == TImageKind::Metafile && !i.Compressed) {
                    sum += static_cast<int64_t>(i.Stored.size());
                }
            }
            if (sum > CompressMetafilesAbove) {
                image.UncompressedSize = image.Stored.size();
                image.Stored = Deflate(image.Stored);
                image.Compressed = true;
            }
        }
        image.AttachBudget(budget_);
    } else {
        image.AttachBudget(budget_);
        if (budget_ != nullptr && budget_->PictureBudgetExceeded()) {
            image.Pack();
        }
    }
    return id;
}

void TObjectManager::RemoveObject(int32_t id) {
    repaints_.erase(std::remove_if(repaints_.begin(), repaints_.end(),
                                   [id](const TDrawRequest& r) { return r.ObjectId == id; }),
                    repaints_.end());
    const auto at = std::find_if(objects_.begin(), objects_.end(), [id](const auto& o) { return o->Id() == id; });
    if (at != objects_.end()) {
        objects_.erase(at);
    }
}

TDocObject* TObjectManager::Find(int32_t id) const {
    // Ids grow in list order, so the list is sorted by id.
    const auto at = std::lower_bound(objects_.begin(), objects_.end(), id,
                                     [](const auto& o, int32_t value) { return o->Id() < value; });
    return at != objects_.end() && (*at)->Id() == id ? at->get() : nullptr;
}

bool TObjectManager::PrepareForDrawing(TDocObject& object) { return object.Image().Unpack(true); }

void TObjectManager::FinishDrawing(TDocObject& object) {
    if (budget_ != nullptr) {
        budget_->FinishDrawing(object.Image());
    } else {
        ++object.Image().DrawCount;
    }
}

void TObjectManager::QueueRepaint(const TDrawRequest& request, int32_t currentZoom) {
    repaints_.erase(std::remove_if(repaints_.begin(), repaints_.end(),
                                   [&](const TDrawRequest& r) { return r.ObjectId == request.ObjectId; }),
                    repaints_.end());
    repaints_.push_back(request);
    repaints_.back().Zoom = currentZoom;
}

void TObjectManager::ProcessRepaints(TRepaintWindow& window) {
    if (repaints_.empty() || !window.ReadyForRepaints()) {
        return;
    }
    // Taken out first: drawing may queue again.
    const std::vector<TDrawRequest> commands = std::move(repaints_);
    repaints_.clear();
    const int32_t zoom = window.Zoom();
    const TPixelPoint offset = window.WindowOffset();
    const TPixelRect client = window.ClientArea();
    for (const TDrawRequest& command : commands) {
        if (command.Zoom != zoom) {
            continue;
        }
        TDocObject* object = Find(command.ObjectId);
        if (object == nullptr) {
            continue;
        }
        TDrawRequest moved = command;
        moved.Target = command.Target.Offset(offset);
        const TPixelRect page = window.PageRect(command.Page).Offset(offset);
        if (moved.Target.Intersects(client) && page.Intersects(client) && moved.Target.Intersects(page)) {
            window.DrawObject(*object, moved);
        }
    }
}

void TObjectManager::DropRepaintsFrom(int32_t paragraph) {
    repaints_.erase(std::remove_if(repaints_.begin(), repaints_.end(),
                                   [&](const TDrawRequest& r) { return r.Paragraph >= paragraph; }),
                    repaints_.end());
}

void TObjectManager::DropRepaintFor(int32_t paragraph, int32_t position) {
    repaints_.erase(std::remove_if(repaints_.begin(), repaints_.end(),
                                   [&](const TDrawRequest& r) {
                                       return r.Paragraph == paragraph && r.Position == position;
                                   }),
                    repaints_.end());
}

bool TObjectManager::Extent(uint8_t /*kind*/, int32_t id, TObjectExtent& extent) const {
    const TDocObject* object = Find(id);
    if (object == nullptr) {
        return false;
    }
    extent = TObjectExtent{object->Width, object->Height, object->HorizontalScale, object->VerticalScale};
    return true;
}

}  // namespace quillane
