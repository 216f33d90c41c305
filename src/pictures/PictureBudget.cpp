#include "pictures/PictureBudget.h"

#include <algorithm>

#include "pictures/DocObjectImage.h"
#include "pictures/ObjectManager.h"

namespace quillane {

TPictureBudget::~TPictureBudget() {
    const std::vector<TObjectManager*> managers = managers_;
    for (TObjectManager* manager : managers) {
        manager->BudgetGone();
    }
}

void TPictureBudget::Add(int64_t bytes) {
    ++count_;
    bytes_ += bytes;
}

void TPictureBudget::Remove(int64_t bytes) {
    --count_;
    bytes_ -= bytes;
}

void TPictureBudget::Forget(const TDocObjectImage& image) {
    if (lastDrawn_ == &image) {
        lastDrawn_ = nullptr;
    }
}

void TPictureBudget::Register(TObjectManager& manager) {
    if (std::find(managers_.begin(), managers_.end(), &manager) == managers_.end()) {
        managers_.push_back(&manager);
    }
}

void TPictureBudget::Unregister(TObjectManager& manager) {
    managers_.erase(std::remove(managers_.begin(), managers_.end(), &manager), managers_.end());
}

bool TPictureBudget::MakeRoomForPicture(TDocObjectImage& image) {
    if (image.Packed() || !PictureBudgetExceeded()) {
        return true;
    }
    TDocObjectImage* candidate = nullptr;
    for (TObjectManager* manager : managers_) {
        // The document's least drawn unpacked image, the first on ties.
        TDocObjectImage* least = nullptr;
        for (int32_t i = 0; i < manager->ObjectCount(); ++i) {
            TDocObjectImage& other = manager->Object(i).Image();
            if (!other.Packed() && (least == nullptr || other.DrawCount < least->DrawCount)) {
                least = &other;
            }
        }
        if (least == nullptr || least == &image) {
            continue;
        }
        if (candidate == nullptr || least->DrawCount < candidate->DrawCount) {
            candidate = least;
        }
    }
    if (candidate == nullptr || (&image != lastDrawn_ && candidate->DrawCount >= image.DrawCount)) {
        return false;
    }
    candidate->Pack();
    return true;
}

void TPictureBudget::FinishDrawing(TDocObjectImage& image) {
    ++image.DrawCount;
    if (!MakeRoomForPicture(image)) {
        image.Pack();
    }
    lastDrawn_ = &image;
}

}  // namespace quillane
