#pragma once
// The outlines of metafile shapes as figures of straight segments, in the
// metafile's logical coordinates: ellipses, arcs, pies, chords, rounded
// rectangles and Bézier curves. How finely curves are cut is the caller's
// choice (from their size on the device), within fixed bounds.

#include <cstdint>
#include <vector>

namespace quillane {

struct TMetaPoint {
    double X = 0;
    double Y = 0;
};

struct TMetaFigure {
    std::vector<TMetaPoint> Points;
    bool Closed = false;
};

// A box as the records give it: corners in any order.
struct TMetaBox {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

constexpr int32_t MinCurveSegments = 8;
constexpr int32_t MaxCurveSegments = 720;

enum class TArcKind { Arc, Pie, Chord };

TMetaFigure RectangleFigure(const TMetaBox& box);
TMetaFigure EllipseFigure(const TMetaBox& box, int32_t segments);
// From the ray through start to the ray through end, counter-clockwise as
// seen with y growing downwards; equal rays give the whole ellipse. An arc
// is open; a pie closes through the centre, a chord straight back.
TMetaFigure ArcFigure(const TMetaBox& box, TMetaPoint start, TMetaPoint end, TArcKind kind, int32_t segments);
// Corners rounded by ellipses of the given width and height.
TMetaFigure RoundRectFigure(const TMetaBox& box, double cornerWidth, double cornerHeight, int32_t segments);
// Appends the cubic curve from `from` through the two control points to
// `to`, without `from` itself.
void AppendBezier(std::vector<TMetaPoint>& points, TMetaPoint from, TMetaPoint c1, TMetaPoint c2, TMetaPoint to,
                  int32_t segments);

}  // namespace quillane
