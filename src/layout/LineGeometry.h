#pragma once
// Questions the view, the caret and pagination ask of a laid-out line: where
// a position edge is on screen, which position is nearest to an x, how tall
// the line is.

#include <cstdint>
#include <utility>

namespace quillane {

class TLineLayout;
class TParLine;

// The x of the left edge of position k (k = count: the line's end) in
// screen pixels at 100 % from the left margin, through the display widths
// of the zoom.
int32_t XOfPosition(TLineLayout& layout, TParLine& line, int32_t k, int32_t zoom);

// The caret position (0 to the count) nearest to x, the later one on ties;
// never after the paragraph mark.
int32_t PositionAtX(TLineLayout& layout, TParLine& line, int32_t x, int32_t zoom);

// The positions [first, end) a span from x1 to x2 covers, each boundary at
// the nearer character edge; the paragraph mark is never covered.
std::pair<int32_t, int32_t> PositionsInSpan(TLineLayout& layout, TParLine& line, int32_t x1, int32_t x2,
                                            int32_t zoom);

// What pagination needs to know whether a line fits: metrics, offsets and
// the space before a paragraph's first line, in pixels at 100 %.
int32_t LineHeightBase(const TParLine& line, int32_t ppi);

// The line's height at a zoom, cut short of the next line's top on the same
// page (next may be null); at least 1.
int32_t VisibleHeight(const TParLine& line, const TParLine* next, int32_t zoom);

}  // namespace quillane
