#pragma once
// Where pages lie in the view: a grid of page rectangles 10 pixels apart,
// centred in the view's extent, and which pages a scroll position shows.

#include <cstdint>

#include "model/Page.h"

namespace quillane {

struct TPageGrid {
    int32_t Shown = 1;    // pages shown
    int32_t Columns = 1;
    int32_t PageWidth = 0;   // zoomed pixels
    int32_t PageHeight = 0;
    int32_t ExtentWidth = 0;  // the view's extent
    int32_t ExtentHeight = 0;
};

constexpr int32_t PageGap = 10;

TPageRect PageRect(const TPageGrid& grid, int32_t page);
int32_t FirstVisiblePage(const TPageGrid& grid, int32_t scrollTop);
int32_t LastVisiblePage(const TPageGrid& grid, int32_t scrollTop, int32_t windowHeight);

}  // namespace quillane
