#pragma once
// The scale a line is measured at. Layout proper measures at eight times the
// screen size (layout units of 1/8 pixel at 100 %); a line re-measured for
// the screen uses zoom/100 instead, so the same filling code yields the
// widths the screen font really has.

#include <cstdint>

namespace quillane {

struct TLayoutScale {
    int32_t Num = 8;
    int32_t Den = 1;
    int32_t Ppi = 96;

    static TLayoutScale Layout(int32_t ppi) { return TLayoutScale{8, 1, ppi}; }
    static TLayoutScale Zoomed(int32_t zoomPercent, int32_t ppi) { return TLayoutScale{zoomPercent, 100, ppi}; }

    // Twips to units of this scale (twips scaled, then converted to pixels).
    int32_t Twips(int64_t twips) const;
    // Units of this scale back to twips (for tab lookups).
    int32_t ToTwips(int32_t units) const;
    // A size in half-points as the font is made for it.
    int32_t Size(int32_t halfPoints) const;
    // Units of this scale back to screen pixels at 100 %.
    int32_t ToPixels(int32_t units) const;
    // A constant given in layout units (1/8 pixel) at this scale.
    int32_t LayoutConstant(int32_t layoutUnits) const;
    // An object's extent: twips times a percentage scale, in units of this
    // scale. Computed in 64 bits and clamped, since a legal 32767-twip
    // picture at a large scale overflows 32 bits.
    int32_t ObjectExtent(int32_t twips, int32_t scalePercent) const;
};

// Screen pixels at 100 % for twips and points.
int32_t PointsToPixels(int32_t points, int32_t ppi);

}  // namespace quillane
