#pragma once
// Chooses the font for a run of text as layout and painting need it: the
// shared font for the attributes at the view's resolution, a reduced font for
// superscript and subscript, and the kerning pairs when the run asks for
// kerning. A document keeps one; the managers are the program's.

#include <cstdint>

#include "model/CharAttrs.h"

namespace quillane {

class TFontManager;
class TKerningPairsManager;
struct TSharedFont;

enum TSelectFontFlags : int32_t {
    sfZoomed = 1,   // zoomed height (at least 3 pixels), else at 100 %
    sfKerning = 2,  // load the kerning pairs when the run is kerned
    sfScripts = 4,  // superscript and subscript use the reduced size
    sfSelect = 8,   // the font is drawn with now
};
// What line layout asks for.
constexpr int32_t LayoutFontFlags = sfKerning | sfScripts;

class TFontSelection {
public:
    // Observes both managers, which outlive it.
    TFontSelection(TFontManager& fonts, TKerningPairsManager& kerning, int32_t ppi, int32_t zoomPercent = 100)
        : fonts_(fonts), kerning_(kerning), ppi_(ppi), zoomPercent_(zoomPercent) {}

    void SetZoom(int32_t zoomPercent) { zoomPercent_ = zoomPercent; }

    // Returns the font whose widths measure the run. Ascent and descent are
    // always those of the full-size font, so a raised or lowered run keeps
    // the line's height.
    const TSharedFont& SelectFontForAttributes(const TCharAttrs& attrs, int32_t flags);

    int32_t Ascent() const { return ascent_; }
    int32_t Descent() const { return descent_; }

private:
    int32_t Height(int32_t halfPoints, int32_t flags) const;

    TFontManager& fonts_;
    TKerningPairsManager& kerning_;
    int32_t ppi_;
    int32_t zoomPercent_;
    int32_t ascent_ = 0;
    int32_t descent_ = 0;
};

}  // namespace quillane
