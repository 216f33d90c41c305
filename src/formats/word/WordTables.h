#pragma once
// String tables of a Word file: the font table (STTBF of FFN) and the
// document information strings (STTBF of associated strings). Counts and
// lengths are bounded by the table; an entry that does not fit ends it.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/word/WordBytes.h"
#include "formats/word/WordFib.h"
#include "formats/word/WordProperties.h"

namespace quillane {

struct TWordFont {
    std::string Name;
    std::string AltName;  // empty when none
    int32_t CharSet = 0;
    int32_t PitchAndFamily = 0;  // pitch in bits 0-1, family in bits 4-6, as the system's fonts have it
};

std::vector<TWordFont> ParseWordFonts(TByteView sttbf, TWordGeneration generation, const TUnicodeToAnsiFn& toAnsi);

// The strings of a string table in order (Unicode ones as 8-bit text).
std::vector<std::string> ParseSttbf(TByteView sttbf, TWordGeneration generation, const TUnicodeToAnsiFn& toAnsi);

}  // namespace quillane
