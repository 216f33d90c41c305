#include "platform/CodePages.h"

#include <unordered_map>

#include "platform/BestFit.h"

namespace quillane {

void TTableCodePageConverter::OemToAnsi(uint8_t* bytes, size_t n) const {
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = oemToAnsi_[bytes[i]];
    }
}

void TTableCodePageConverter::AnsiToOem(uint8_t* bytes, size_t n) const {
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = ansiToOem_[bytes[i]];
    }
}

std::array<uint8_t, 256> BuildTranslationTable(const TCodePageDecoding& from, const TCodePageDecoding& to) {
    std::unordered_map<char32_t, uint8_t> encode;
    // Lower bytes win when a page maps two bytes to one character.
    for (int b = 255; b >= 0; --b) {
        if (to[static_cast<size_t>(b)]) {
            encode[*to[static_cast<size_t>(b)]] = static_cast<uint8_t>(b);
        }
    }
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const auto source = from[static_cast<size_t>(b)];
        // A byte the source page leaves undefined passes through unchanged,
        // as the C1 control of the same value would.
        char32_t c = source ? *source : static_cast<char32_t>(b);
        auto hit = encode.find(c);
        if (hit == encode.end()) {
            if (const auto fit = BestFitSubstitute(c)) {
                hit = encode.find(*fit);
            }
        }
        table[static_cast<size_t>(b)] = hit != encode.end() ? hit->second : static_cast<uint8_t>('?');
    }
    return table;
}

}  // namespace quillane
