#pragma once
// Units of the model and the one place where they are converted. Lengths are
// twips (1/1440 inch), font sizes half-points, layout measures eighths of a
// screen pixel at 100 %. Every conversion rounds to the nearest integer with
// halves going up, so the same value always converts the same way.

#include <cstdint>
#include <string>

namespace quillane {

constexpr int32_t TwipsPerInch = 1440;

// round(a * b / c) with halves upwards (towards +infinity); c > 0.
int32_t MulDivRound(int64_t a, int64_t b, int64_t c);

int32_t TwipsToPixels(int32_t twips, int32_t ppi);
int32_t PixelsToTwips(int32_t pixels, int32_t ppi);
// The zoomed resolution ppi * zoom / 100, as the document keeps it.
int32_t ZoomedPpi(int32_t ppi, int32_t zoomPercent);
// Negative pixel height (a character height) for a size in half-points.
int32_t HalfPointsToFontHeight(int32_t halfPoints, int32_t ppi);
// The same at a zoomed resolution; never smaller than 3 pixels in magnitude.
int32_t HalfPointsToZoomedFontHeight(int32_t halfPoints, int32_t zoomedPpi);

// Model value to layout units and back. Negative values use 1 - f(1 - v) so
// that a round trip is exact. The factor is num/den: 8/1 for layout, and
// zoom/100 when a line is re-measured for the screen.
int32_t ScaleToLayout(int32_t v, int32_t num = 8, int32_t den = 1);
int32_t ScaleFromLayout(int32_t u, int32_t num = 8, int32_t den = 1);

// Hundredths as the shortest decimal: 150 -> "1.5", 200 -> "2", -25 -> "-0.25".
std::string FormatHundredths(int64_t hundredths);

// Display units the user picks (the measurement option).
enum class TMeasureUnit : int32_t { Centimetres = 0, Inches = 1, Points = 2, Picas = 3 };

// Converts twips to the user's display unit and back. One instance lives for
// the program; the options set its unit.
class TMeasurementsManager {
public:
    explicit TMeasurementsManager(TMeasureUnit unit = TMeasureUnit::Centimetres) : unit_(unit) {}

    void SetUnit(TMeasureUnit unit) { unit_ = unit; }
    TMeasureUnit Unit() const { return unit_; }

    int32_t TwipsToHundredths(int32_t twips) const;
    int32_t HundredthsToTwips(int32_t hundredths) const;
    const char* Suffix() const;
    // "2.54 cm": the value in the display unit with at most two decimals.
    std::string Format(int32_t twips) const;

private:
    TMeasureUnit unit_;
};

}  // namespace quillane
