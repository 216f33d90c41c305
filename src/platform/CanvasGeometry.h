#pragma once
// Geometry both canvas implementations share, so that lines, runs and
// bitmap parts come out the same pixels on every device.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Canvas.h"

namespace quillane {

// The rectangles a line covers (see TCanvas::DrawLine), only those that
// meet `bounds`; adjacent dots of a pattern are merged into one rectangle.
// A line far longer than the bounds costs no more than one across them.
std::vector<TRect> LineRects(TPoint from, TPoint to, const TPen& pen, const TRect& bounds);

// The pixels of a closed polygon (alternate filling) whose centres lie
// inside, as one rectangle per run of a row, only within `bounds`. A pixel
// centre on a left or top edge is inside, on a right or bottom edge outside.
std::vector<TRect> PolygonRects(std::span<const TPoint> points, const TRect& bounds);
// The same for several polygons filled as one shape (polygon i is the next
// counts[i] points; counts beyond the points are cut short), alternate or
// non-zero winding. Adjacent pixels of a row become one rectangle.
std::vector<TRect> PolyPolygonRects(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                                    const TRect& bounds);

// Throws std::invalid_argument unless both sides are from 1 to MaxSurfaceSide.
void CheckSurfaceSize(int32_t width, int32_t height);

// Throws std::invalid_argument for a run without a font or with a count of
// advances other than its byte count.
void CheckTextRun(const TTextRun& run);

// The x offset of each character of the run from its origin, and the run's
// whole width as the last entry; sums saturate instead of overflowing.
std::vector<int32_t> RunOffsets(const TTextRun& run);

// Not empty, and with sides whose lengths fit 30 bits (so that arithmetic on
// them cannot overflow).
bool IsDrawable(const TRect& rect);

// Limits the source rectangle to the bitmap; false when nothing is left or
// the bitmap is not valid.
bool ClampBitmapSource(const TBitmapView& bitmap, TRect& source);
// Where the part of a drawable source rectangle that a bitmap holds lands when the
// whole source is stretched onto dest.
TRect BitmapLanding(const TRect& source, const TRect& part, const TRect& dest);

}  // namespace quillane
