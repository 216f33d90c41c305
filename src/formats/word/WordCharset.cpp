#include "formats/word/WordCharset.h"

#include "platform/BestFit.h"

namespace quillane {

TUnicodeToAnsi::TUnicodeToAnsi(const TCodePageDecoding& ansi) : cache_(65536, NotYet) {
    for (int b = 255; b >= 0; --b) {
        if (const auto c = ansi[static_cast<size_t>(b)]; c && *c < 0x10000) {
            cache_[*c] = static_cast<uint16_t>(b);  // the lowest byte wins for a repeated character
        }
    }
}

uint8_t TUnicodeToAnsi::Convert(char16_t c) const {
    if (c >= 0xF000 && c <= 0xF0FF) {
        return static_cast<uint8_t>(c & 0xFF);
    }
    uint16_t& entry = cache_[c];
    if (entry == NotYet) {
        entry = '?';
        char32_t probe = c;
        // A substitute may itself need one (a Greek letter with tonos, its
        // base letter, its Latin look-alike); the chain is short.
        for (int step = 0; step < 4; ++step) {
            const auto substitute = BestFitSubstitute(probe);
            if (!substitute || *substitute == probe) {
                break;
            }
            probe = *substitute;
            if (probe < 0x10000 && cache_[probe] != NotYet && probe != c) {
                entry = cache_[probe];
                break;
            }
        }
    }
    return static_cast<uint8_t>(entry);
}

}  // namespace quillane
