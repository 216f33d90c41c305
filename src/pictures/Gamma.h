#pragma once
// Gamma correction of decoded samples. A PNG's gAMA chunk gives the exponent
// its samples were encoded with (times 100000); the decoder maps colour
// samples through a table that re-encodes them for a display of gamma 2.2,
// as the PNG standard describes. Samples so mapped are described by
// the gAMA value DisplayGammaValue, which the encoder writes with them: a
// picture read back then maps through the identity and never drifts.

#include <array>
#include <cstdint>
#include <optional>

namespace quillane {

constexpr double DisplayGamma = 2.2;
constexpr uint32_t DisplayGammaValue = 45455;  // 100000 / 2.2

using TGammaTable = std::array<uint8_t, 256>;

// The table for a file gamma; nothing when the value is 0 (meaningless) or
// the table would change no sample.
std::optional<TGammaTable> MakeGammaTable(uint32_t fileGamma);

}  // namespace quillane
