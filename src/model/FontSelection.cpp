#include "model/FontSelection.h"

#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/Units.h"

namespace quillane {

int32_t TFontSelection::Height(int32_t halfPoints, int32_t flags) const {
    if ((flags & sfZoomed) != 0) {
        return HalfPointsToZoomedFontHeight(halfPoints, ZoomedPpi(ppi_, zoomPercent_));
    }
    return HalfPointsToFontHeight(halfPoints, ppi_);
}

const TSharedFont& TFontSelection::SelectFontForAttributes(const TCharAttrs& attrs, int32_t flags) {
    const bool select = (flags & sfSelect) != 0;
    int32_t height = Height(attrs[caSize], flags);
    const TSharedFont* font = &fonts_.SelectFont(attrs, height, false, select);
    ascent_ = font->Ascent;
    descent_ = font->Descent;
    if ((flags & sfScripts) != 0 && attrs[caVerticalPosition] != 0) {
        height = Height(ScriptSize(attrs[caSize]), flags);
        font = &fonts_.SelectFont(attrs, height, false, select);
    }
    if ((flags & sfKerning) != 0 && attrs[caKerning] > 0 && attrs[caSize] >= attrs[caKerning]) {
        kerning_.LoadPairs(attrs, height, *font->Font);
    }
    return *font;
}

}  // namespace quillane
