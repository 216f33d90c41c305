#include "layout/LayoutScale.h"

#include <algorithm>
#include <climits>

#include "model/Units.h"

namespace quillane {

namespace {

// Keeps layout arithmetic (sums of widths, shifts) far from overflow.
constexpr int64_t MaxExtent = 0x3FFFFFFF / 4;
// Far beyond any page, small enough that every product below fits.
constexpr int64_t MaxTwips = int64_t{1} << 22;

int32_t Clamp(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -MaxExtent, MaxExtent)); }

}  // namespace

int32_t TLayoutScale::Twips(int64_t twips) const {
    const int64_t t = std::clamp<int64_t>(twips, -MaxTwips, MaxTwips);
    // Scaling first keeps the eighths that converting to pixels would lose.
    const int64_t scaled = t >= 0 ? MulDivRound(t, Num, Den) : 1 - int64_t{MulDivRound(1 - t, Num, Den)};
    return Clamp(scaled >= 0 ? MulDivRound(scaled, Ppi, TwipsPerInch)
                             : -int64_t{MulDivRound(-scaled, Ppi, TwipsPerInch)});
}

int32_t TLayoutScale::ToTwips(int32_t units) const {
    const int64_t num = int64_t{TwipsPerInch} * Den;
    const int64_t den = int64_t{Num} * Ppi;
    return units >= 0 ? MulDivRound(units, num, den) : -MulDivRound(-int64_t{units}, num, den);
}

int32_t TLayoutScale::Size(int32_t halfPoints) const { return ScaleToLayout(halfPoints, Num, Den); }

int32_t TLayoutScale::ToPixels(int32_t units) const { return ScaleFromLayout(units, Num, Den); }

int32_t TLayoutScale::LayoutConstant(int32_t layoutUnits) const {
    return MulDivRound(layoutUnits, Num, int64_t{8} * Den);
}

int32_t TLayoutScale::ObjectExtent(int32_t twips, int32_t scalePercent) const {
    if (twips <= 0 || scalePercent <= 0) {
        return 0;
    }
    // twips * scale% * ppi / 144000 pixels at 100 %, then into this scale.
    const long double v = static_cast<long double>(twips) * scalePercent * Ppi * Num / (144000.0L * Den);
    return Clamp(static_cast<int64_t>(std::min<long double>(v + 0.5L, static_cast<long double>(MaxExtent))));
}

int32_t PointsToPixels(int32_t points, int32_t ppi) { return MulDivRound(points, ppi, 72); }

}  // namespace quillane
