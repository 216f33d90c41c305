#pragma once
// Draws a document's pictures and objects on a canvas from their images:
// bitmaps at their display size (the scaled cache where it applies),
// transparent pixels over the page's white; metafiles played by the device
// where it has a player (GDI), else shown as a frame of their size.

#include <cstdint>

#include "layout/Painting.h"

namespace quillane {

class TObjectManager;

class TPicturePainter final : public TObjectPainter {
public:
    explicit TPicturePainter(TObjectManager& objects) : objects_(objects) {}

    void DrawObject(TCanvas& canvas, uint8_t kind, int32_t id, const TRect& rect, bool device) override;

private:
    TObjectManager& objects_;
};

}  // namespace quillane
