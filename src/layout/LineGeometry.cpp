#include "layout/LineGeometry.h"

#include <algorithm>

#include "layout/LayoutScale.h"
#include "layout/LineLayout.h"
#include "model/ParAttrs.h"
#include "model/ParLine.h"
#include "model/Paragraph.h"
#include "model/Units.h"

namespace quillane {

namespace {

int32_t DisplayWidth(const TParLine& line, int32_t k) {
    return reinterpret_cast<const int32_t*>(line.DisplayWidths.Data())[k];
}

// The edge index nearest to x among all edges, the later one on ties.
int32_t NearestEdge(TLineLayout& layout, TParLine& line, int32_t x, int32_t zoom) {
    const int32_t count = line.PositionCount;
    int32_t previous = XOfPosition(layout, line, 0, zoom);
    if (x <= previous) {
        return 0;
    }
    for (int32_t k = 1; k <= count; ++k) {
        const int32_t edge = XOfPosition(layout, line, k, zoom);
        if (edge >= x) {
            return x - previous < edge - x ? k - 1 : k;
        }
        previous = edge;
    }
    return count;
}

int32_t LastCaretPosition(const TParLine& line) {
    return line.IsLastOfParagraph() && line.PositionCount > 0 ? line.PositionCount - 1 : line.PositionCount;
}

}  // namespace

int32_t XOfPosition(TLineLayout& layout, TParLine& line, int32_t k, int32_t zoom) {
    layout.UpdateDisplayWidths(line, zoom);
    zoom = line.DisplayZoom;
    k = std::clamp(k, 0, line.PositionCount);
    int64_t sum = 0;
    for (int32_t i = 0; i < k; ++i) {
        sum += DisplayWidth(line, i);
    }
    int64_t x = sum;
    if (zoom != 100) {
        const int64_t scaled = sum * 100;
        x = scaled / zoom;
        if (scaled % zoom >= 50) {
            ++x;
        }
    }
    return ScaleFromLayout(line.X(0)) + static_cast<int32_t>(x);
}

int32_t PositionAtX(TLineLayout& layout, TParLine& line, int32_t x, int32_t zoom) {
    return std::min(NearestEdge(layout, line, x, zoom), LastCaretPosition(line));
}

std::pair<int32_t, int32_t> PositionsInSpan(TLineLayout& layout, TParLine& line, int32_t x1, int32_t x2,
                                            int32_t zoom) {
    if (x2 < x1) {
        std::swap(x1, x2);
    }
    const int32_t limit = LastCaretPosition(line);
    const int32_t first = std::min(NearestEdge(layout, line, x1, zoom), limit);
    const int32_t end = std::min(NearestEdge(layout, line, x2, zoom), limit);
    return {first, std::max(first, end)};
}

int32_t LineHeightBase(const TParLine& line, int32_t ppi) {
    int32_t height = line.Ascent + line.Descent + PointsToPixels(int32_t{line.Raise} + line.Lower, ppi);
    if (line.FirstPosition == 0) {
        height += TwipsToPixels(line.Paragraph->Attributes[paSpaceBefore], ppi);
    }
    return height;
}

int32_t VisibleHeight(const TParLine& line, const TParLine* next, int32_t zoom) {
    int32_t height = MulDivRound(line.Height, zoom, 100);
    if (next != nullptr && next->Page == line.Page) {
        height = std::min(height, MulDivRound(next->Top, zoom, 100) - MulDivRound(line.Top, zoom, 100));
    }
    return std::max(height, 1);
}

}  // namespace quillane
