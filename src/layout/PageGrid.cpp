#include "layout/PageGrid.h"

#include <algorithm>

namespace quillane {

namespace {

int32_t Columns(const TPageGrid& grid) { return std::max(grid.Columns, 1); }

}  // namespace

TPageRect PageRect(const TPageGrid& grid, int32_t page) {
    const int32_t n = Columns(grid);
    const int32_t rows = (std::max(grid.Shown, 1) + n - 1) / n;
    const int32_t row = page / n;
    const int32_t column = page % n;
    const int64_t w = grid.PageWidth + PageGap;
    const int64_t h = grid.PageHeight + PageGap;
    TPageRect rect;
    rect.Left = static_cast<int32_t>(column * w + (grid.ExtentWidth - w * (n - 1) - grid.PageWidth) / 2);
    rect.Top = static_cast<int32_t>(row * h + (grid.ExtentHeight - h * (rows - 1) - grid.PageHeight) / 2);
    rect.Width = grid.PageWidth;
    rect.Height = grid.PageHeight;
    return rect;
}

int32_t FirstVisiblePage(const TPageGrid& grid, int32_t scrollTop) {
    const int32_t h = grid.PageHeight + PageGap;
    int32_t row = std::max(scrollTop, 0) / h;
    // A row whose gap alone is in view is passed over by the row above.
    if (std::max(scrollTop, 0) % h < 6 && row != 0) {
        --row;
    }
    return row * Columns(grid);
}

int32_t LastVisiblePage(const TPageGrid& grid, int32_t scrollTop, int32_t windowHeight) {
    const int32_t h = grid.PageHeight + PageGap;
    return ((std::max(scrollTop, 0) + std::max(windowHeight, 0)) / h + 1) * Columns(grid) - 1;
}

}  // namespace quillane
