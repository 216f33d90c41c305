#pragma once
// Page numbers: the program-wide settings and the five number formats.

#include <cstdint>
#include <string>

namespace quillane {

enum TPageNumberPosition : uint8_t { pnTop = 0, pnBottom = 1 };
enum TPageNumberAlignment : uint8_t { pnLeft = 0, pnCentred = 1, pnRight = 2, pnInside = 3, pnOutside = 4 };

struct TPageNumberSettings {
    bool Enabled = false;
    uint8_t Position = pnBottom;
    uint8_t Alignment = pnCentred;
    uint8_t Format = 0;
    int32_t Start = 1;   // the page (counted from 1) that bears number 1
    int32_t Hidden = 0;  // how many of the first numbers are not drawn
};

// n in format 0 decimal, 1 a..z aa.., 2 A..Z AA.., 3 i ii.., 4 I II...
// Letters for n <= 0 give an empty text.
std::string FormatPageNumber(int64_t n, int32_t format);

// Whether the page at a (0-based) index shows a number, and which.
bool PageNumberShown(int32_t pageIndex, const TPageNumberSettings& settings);
int64_t PageNumberOf(int32_t pageIndex, const TPageNumberSettings& settings);

}  // namespace quillane
