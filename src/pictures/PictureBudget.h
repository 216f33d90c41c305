#pragma once
// How many decoded pictures all open documents may keep: at most 24
// unpacked images (the program doubles this once at start-up on the
// NT family of Windows) and at most 16 MiB of unpacked bytes. One budget
// lives for the program (the document dispatcher keeps it); every
// document's object manager registers with it, in the order the documents
// were opened, so that a picture about to be drawn can take the place of
// the least drawn picture of any document.

#include <cstdint>
#include <vector>

namespace quillane {

class TDocObjectImage;
class TObjectManager;

class TPictureBudget {
public:
    static constexpr int32_t DefaultCountLimit = 24;
    static constexpr int64_t ByteLimit = 16777216;

    explicit TPictureBudget(int32_t countLimit = DefaultCountLimit) : countLimit_(countLimit) {}
    // Detaches the managers still registered, so no image refers to it.
    ~TPictureBudget();
    TPictureBudget(const TPictureBudget&) = delete;
    TPictureBudget& operator=(const TPictureBudget&) = delete;

    int32_t CountLimit() const { return countLimit_; }
    void DoubleCountLimit() { countLimit_ *= 2; }

    int32_t UnpackedCount() const { return count_; }
    int64_t UnpackedBytes() const { return bytes_; }
    // More images unpacked than the limit, or more bytes.
    bool PictureBudgetExceeded() const { return count_ > countLimit_ || bytes_ > ByteLimit; }

    // True when `image` is packed or the budget holds; otherwise looks for
    // the least drawn unpacked image of every document (the first on
    // ties), leaving out `image` itself: when there is none, or `image` is
    // not the one drawn last and the candidate has been drawn at least as
    // often, false (`image` must be packed); else packs the candidate.
    bool MakeRoomForPicture(TDocObjectImage& image);
    // The end of drawing an image: its draw count grows; it is packed again
    // unless there is room for it; it becomes the one drawn last.
    void FinishDrawing(TDocObjectImage& image);
    const TDocObjectImage* LastDrawn() const { return lastDrawn_; }

    // Bookkeeping for images and managers.
    void Add(int64_t bytes);
    void Remove(int64_t bytes);
    void Forget(const TDocObjectImage& image);
    void Register(TObjectManager& manager);
    void Unregister(TObjectManager& manager);

private:
    int32_t countLimit_;
    int32_t count_ = 0;
    int64_t bytes_ = 0;
    const TDocObjectImage* lastDrawn_ = nullptr;
    std::vector<TObjectManager*> managers_;  // not owned; in opening order
};

}  // namespace quillane
