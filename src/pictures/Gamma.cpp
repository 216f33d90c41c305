#include "pictures/Gamma.h"

#include <cmath>

namespace quillane {

std::optional<TGammaTable> MakeGammaTable(uint32_t fileGamma) {
    if (fileGamma == 0) {
        return std::nullopt;
    }
    const double exponent = 1.0 / (fileGamma / 100000.0 * DisplayGamma);
    TGammaTable table{};
    bool identity = true;
    for (int i = 0; i < 256; ++i) {
        const double value = std::floor(255.0 * std::pow(i / 255.0, exponent) + 0.5);
        table[static_cast<size_t>(i)] = static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
        identity = identity && table[static_cast<size_t>(i)] == i;
    }
    if (identity) {
        return std::nullopt;
    }
    return table;
}

}  // namespace quillane
