#pragma once
// Paper size, orientation and margins of a document (twips), with the table
// of predefined paper sizes the page dialog and the printer share.

#include <cstdint>

namespace quillane {

struct TPageSettings {
    int32_t PaperWidth = 12240;   // Letter
    int32_t PaperHeight = 15840;
    uint8_t Landscape = 0;
    int32_t LeftMargin = 1800;
    int32_t RightMargin = 1800;
    int32_t TopMargin = 1440;
    int32_t BottomMargin = 1440;

    friend bool operator==(const TPageSettings&, const TPageSettings&) = default;
};

constexpr int32_t MinPaperSize = 1440;
constexpr int32_t MaxPaperSize = 31680;

// Clamps paper sizes to 1 to 22 inches and each margin to 0..40 % of its
// dimension.
TPageSettings ValidatePageSettings(const TPageSettings& settings);

struct TPredefinedPageInfo {
    int32_t Width;
    int32_t Height;
    int32_t PaperCode;  // the platform's paper code, 0 for none
    const char* Name;
};

constexpr int PredefinedPageCount = 34;  // the last entry is "custom"
constexpr int CustomPageIndex = 33;
extern const TPredefinedPageInfo PredefinedPages[PredefinedPageCount];

// The first predefined size within 20 twips of width x height in either
// orientation, else CustomPageIndex.
int FindPredefinedPage(int32_t width, int32_t height);

}  // namespace quillane
