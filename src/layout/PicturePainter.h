#pragma once
// Draws a document's pictures and objects on a canvas from their images:
// bitmaps at their display size (the scaled cache where it applies),
// transparent pixels over the page's white; metafiles played by the device
// where it has a player (GDI), else by the portable player (with their text
// when a font system is given), and shown as a frame of their size when
// neither can play them.

#include <cstdint>

#include "layout/Painting.h"

namespace quillane {

class TObjectManager;
class TFontSystem;

class TPicturePainter final : public TObjectPainter {
public:
    explicit TPicturePainter(TObjectManager& objects, TFontSystem* fonts = nullptr)
        : objects_(objects), fonts_(fonts) {}

    void DrawObject(TCanvas& canvas, uint8_t kind, int32_t id, const TRect& rect, bool device) override;

private:
    TObjectManager& objects_;
    TFontSystem* fonts_;
};

}  // namespace quillane
