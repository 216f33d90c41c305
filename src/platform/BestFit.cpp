#include "platform/BestFit.h"

#include <algorithm>
#include <iterator>

namespace quillane {

namespace {

struct TFit {
    char32_t From;
    char32_t To;
};

// Sorted by From for a binary search.
constexpr TFit Fits[] = {
    {0x00A4, '?'},    {0x00A6, '|'},    {0x00A8, '"'},    {0x00A9, 'c'},    {0x00AD, '-'},
    {0x00AE, 'r'},    {0x00AF, '-'},    {0x00B3, '3'},    {0x00B4, '\''},   {0x00B8, ','},
    {0x00B9, '1'},    {0x00BE, '?'},    {0x00C0, 'A'},    {0x00C1, 'A'},    {0x00C2, 'A'},
    {0x00C3, 'A'},    {0x00C8, 'E'},    {0x00CA, 'E'},    {0x00CB, 'E'},    {0x00CC, 'I'},
    {0x00CD, 'I'},    {0x00CE, 'I'},    {0x00CF, 'I'},    {0x00D0, 'D'},    {0x00D2, 'O'},
    {0x00D3, 'O'},    {0x00D4, 'O'},    {0x00D5, 'O'},    {0x00D7, 'x'},    {0x00D8, 'O'},
    {0x00D9, 'U'},    {0x00DA, 'U'},    {0x00DB, 'U'},    {0x00DD, 'Y'},    {0x00DE, 'T'},
    {0x00E3, 'a'},    {0x00F0, 'd'},    {0x00F5, 'o'},    {0x00F8, 'o'},    {0x00FD, 'y'},
    {0x00FE, 't'},    {0x0152, 'O'},    {0x0153, 'o'},    {0x0160, 'S'},    {0x0161, 's'},
    {0x0178, 'Y'},    {0x017D, 'Z'},    {0x017E, 'z'},    {0x0192, 'f'},    {0x02C6, '^'},
    {0x02DC, '~'},    {0x0393, 'G'},    {0x0398, 'T'},    {0x03A3, 'S'},    {0x03A6, 'F'},
    {0x03A9, 'O'},    {0x03B1, 'a'},    {0x03B2, 0x00DF}, {0x03B4, 'd'},    {0x03B5, 'e'},
    {0x03BC, 0x00B5}, {0x03C0, 'p'},    {0x03C3, 's'},    {0x03C4, 't'},    {0x03C6, 'f'},
    {0x2013, '-'},    {0x2014, '-'},    {0x2018, '\''},   {0x2019, '\''},   {0x201A, ','},
    {0x201C, '"'},    {0x201D, '"'},    {0x201E, '"'},    {0x2020, '+'},    {0x2021, '+'},
    {0x2022, 0x00B7}, {0x2026, '.'},    {0x2030, '%'},    {0x2039, '<'},    {0x203A, '>'},
    {0x207F, 'n'},    {0x20A7, 'P'},    {0x20AC, 'E'},    {0x2122, 'T'},    {0x2219, 0x00B7},
    {0x221A, 'v'},    {0x221E, '8'},    {0x2229, 'n'},    {0x2248, '~'},    {0x2261, '='},
    {0x2264, '<'},    {0x2265, '>'},    {0x2310, 0x00AC}, {0x2320, '|'},    {0x2321, '|'},
};

bool OnlyHorizontal(char32_t c) {
    switch (c) {
        case 0x2500: case 0x2501: case 0x2504: case 0x2505: case 0x2508: case 0x2509:
        case 0x254C: case 0x254D: case 0x2574: case 0x2576: case 0x2578: case 0x257A:
        case 0x257C: case 0x257E:
            return true;
        default:
            return false;
    }
}

bool OnlyVertical(char32_t c) {
    switch (c) {
        case 0x2502: case 0x2503: case 0x2506: case 0x2507: case 0x250A: case 0x250B:
        case 0x254E: case 0x254F: case 0x2551: case 0x2575: case 0x2577: case 0x2579:
        case 0x257B: case 0x257D: case 0x257F:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<char32_t> BestFitSubstitute(char32_t c) {
    if (c >= 0x2500 && c <= 0x257F) {  // box drawing
        if (c == 0x2550) {
            return U'=';
        }
        if (OnlyHorizontal(c)) {
            return U'-';
        }
        if (OnlyVertical(c)) {
            return U'|';
        }
        return U'+';
    }
    if (c >= 0x2580 && c <= 0x259F) {  // blocks and shades
        return U'#';
    }
    if (c >= 0x25A0 && c <= 0x25FF) {  // geometric shapes
        return U'*';
    }
    const auto it = std::lower_bound(std::begin(Fits), std::end(Fits), c,
                                     [](const TFit& fit, char32_t key) { return fit.From < key; });
    if (it != std::end(Fits) && it->From == c) {
        return it->To;
    }
    return std::nullopt;
}

}  // namespace quillane
