#include "layout/PageNumber.h"

#include <algorithm>
#include <cctype>

namespace quillane {

namespace {

// Longer texts than this say nothing a reader could use; a page number that
// large only comes from a damaged setting.
constexpr int64_t MaxRepeat = 1000;

std::string Roman(int64_t n) {
    if (n <= 0) {
        return std::to_string(n);
    }
    std::string text(static_cast<size_t>(std::min(n / 1000, MaxRepeat)), 'M');
    n %= 1000;
    static const char* const hundreds[] = {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"};
    static const char* const tens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
    static const char* const units[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    text += hundreds[n / 100];
    text += tens[n / 10 % 10];
    text += units[n % 10];
    return text;
}

}  // namespace

std::string FormatPageNumber(int64_t n, int32_t format) {
    switch (format) {
        case 1:
        case 2: {
            if (n <= 0) {
                return {};
            }
            const char letter = static_cast<char>((format == 1 ? 'a' : 'A') + (n - 1) % 26);
            return std::string(static_cast<size_t>(std::min((n - 1) / 26 + 1, MaxRepeat)), letter);
        }
        case 3: {
            std::string text = Roman(n);
            for (char& c : text) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            return text;
        }
        case 4:
            return Roman(n);
        default:
            return std::to_string(n);
    }
}

int64_t PageNumberOf(int32_t pageIndex, const TPageNumberSettings& settings) {
    return int64_t{pageIndex} - settings.Start + 2;
}

bool PageNumberShown(int32_t pageIndex, const TPageNumberSettings& settings) {
    return settings.Enabled && int64_t{pageIndex} >= int64_t{settings.Start} + settings.Hidden - 1;
}

}  // namespace quillane
