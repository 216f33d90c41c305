#include "model/Units.h"

#include <cmath>

namespace quillane {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

int32_t RoundHalfUp(double x) { return static_cast<int32_t>(std::floor(x + 0.5)); }

}  // namespace

int32_t MulDivRound(int64_t a, int64_t b, int64_t c) {
    const int64_t product = a * b;
    int64_t q = FloorDiv(product, c);
    const int64_t r = product - q * c;  // 0 <= r < c
    if (2 * r >= c) {
        ++q;
    }
    return static_cast<int32_t>(q);
}

int32_t TwipsToPixels(int32_t twips, int32_t ppi) { return MulDivRound(twips, ppi, TwipsPerInch); }

int32_t PixelsToTwips(int32_t pixels, int32_t ppi) { return MulDivRound(pixels, TwipsPerInch, ppi); }

int32_t ZoomedPpi(int32_t ppi, int32_t zoomPercent) { return MulDivRound(ppi, zoomPercent, 100); }

int32_t HalfPointsToFontHeight(int32_t halfPoints, int32_t ppi) {
    return -MulDivRound(halfPoints, ppi, 144);
}

int32_t HalfPointsToZoomedFontHeight(int32_t halfPoints, int32_t zoomedPpi) {
    const int32_t h = HalfPointsToFontHeight(halfPoints, zoomedPpi);
    return h > -3 ? -3 : h;
}

int32_t ScaleToLayout(int32_t v, int32_t num, int32_t den) {
    if (v >= 0) {
        return MulDivRound(v, num, den);
    }
    return 1 - MulDivRound(1 - static_cast<int64_t>(v), num, den);
}

int32_t ScaleFromLayout(int32_t u, int32_t num, int32_t den) {
    if (u >= 0) {
        return MulDivRound(u, den, num);
    }
    return 1 - MulDivRound(1 - static_cast<int64_t>(u), den, num);
}

int32_t TMeasurementsManager::TwipsToHundredths(int32_t t) const {
    switch (unit_) {
        case TMeasureUnit::Centimetres: return RoundHalfUp(t * 100.0 * 2.54 / 1440.0);
        case TMeasureUnit::Inches: return RoundHalfUp(t * 100.0 / 1440.0);
        case TMeasureUnit::Points: return RoundHalfUp(t * 100.0 * 0.05);
        case TMeasureUnit::Picas: return RoundHalfUp(t * 600.0 / 1440.0);
    }
    return 0;
}

int32_t TMeasurementsManager::HundredthsToTwips(int32_t h) const {
    switch (unit_) {
        case TMeasureUnit::Centimetres: return RoundHalfUp(h * 1440.0 * 0.01 / 2.54);
        case TMeasureUnit::Inches: return RoundHalfUp(h * 1440.0 * 0.01);
        case TMeasureUnit::Points: return RoundHalfUp(h * 20.0 * 0.01);
        case TMeasureUnit::Picas: return RoundHalfUp(h * 1440.0 * 0.01 / 6.0);
    }
    return 0;
}

const char* TMeasurementsManager::Suffix() const {
    switch (unit_) {
        case TMeasureUnit::Centimetres: return " cm";
        case TMeasureUnit::Inches: return "\"";
        case TMeasureUnit::Points: return " pt";
        case TMeasureUnit::Picas: return " pi";
    }
    return "";
}

std::string FormatHundredths(int64_t hundredths) {
    const int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    std::string text = std::to_string(magnitude / 100);
    const int64_t frac = magnitude % 100;
    if (frac != 0) {
        text += '.';
        text += static_cast<char>('0' + frac / 10);
        if (frac % 10 != 0) {
            text += static_cast<char>('0' + frac % 10);
        }
    }
    return hundredths < 0 ? "-" + text : text;
}

std::string TMeasurementsManager::Format(int32_t twips) const {
    return FormatHundredths(TwipsToHundredths(twips)) + Suffix();
}

}  // namespace quillane
