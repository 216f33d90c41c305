#include "layout/MetafileShapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillane {

namespace {

TMetaBox Normalized(const TMetaBox& box) {
    return TMetaBox{std::min(box.Left, box.Right), std::min(box.Top, box.Bottom), std::max(box.Left, box.Right),
                    std::max(box.Top, box.Bottom)};
}

int32_t Bounded(int32_t segments) { return std::clamp(segments, MinCurveSegments, MaxCurveSegments); }

struct TEllipse {
    double CX;
    double CY;
    double RX;
    double RY;

    explicit TEllipse(const TMetaBox& box)
        : CX((box.Left + box.Right) / 2), CY((box.Top + box.Bottom) / 2), RX((box.Right - box.Left) / 2),
          RY((box.Bottom - box.Top) / 2) {}
    TMetaPoint At(double angle) const { return TMetaPoint{CX + RX * std::cos(angle), CY - RY * std::sin(angle)}; }
    // The angle of the ray from the centre through p, y pointing down.
    double AngleOf(TMetaPoint p) const {
        const double dx = p.X - CX;
        const double dy = CY - p.Y;
        return dx == 0 && dy == 0 ? 0.0 : std::atan2(dy * (RX > 0 ? RX : 1), dx * (RY > 0 ? RY : 1));
    }
};

}  // namespace

TMetaFigure RectangleFigure(const TMetaBox& box) {
    const TMetaBox b = Normalized(box);
    return TMetaFigure{{{b.Left, b.Top}, {b.Right, b.Top}, {b.Right, b.Bottom}, {b.Left, b.Bottom}}, true};
}

TMetaFigure EllipseFigure(const TMetaBox& box, int32_t segments) {
    const TEllipse e(Normalized(box));
    const int32_t n = Bounded(segments);
    TMetaFigure figure;
    figure.Closed = true;
    figure.Points.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        figure.Points.push_back(e.At(2 * std::numbers::pi * i / n));
    }
    return figure;
}

TMetaFigure ArcFigure(const TMetaBox& box, TMetaPoint start, TMetaPoint end, TArcKind kind, int32_t segments) {
    const TEllipse e(Normalized(box));
    const double a0 = e.AngleOf(start);
    double a1 = e.AngleOf(end);
    if (a1 <= a0) {
        a1 += 2 * std::numbers::pi;
    }
    const int32_t n = std::max(2, static_cast<int32_t>(std::ceil(Bounded(segments) * (a1 - a0) / (2 * std::numbers::pi))));
    TMetaFigure figure;
    figure.Points.reserve(static_cast<size_t>(n) + 2);
    for (int32_t i = 0; i <= n; ++i) {
        figure.Points.push_back(e.At(a0 + (a1 - a0) * i / n));
    }
    if (kind == TArcKind::Pie) {
        figure.Points.push_back(TMetaPoint{e.CX, e.CY});
    }
    figure.Closed = kind != TArcKind::Arc;
    return figure;
}

TMetaFigure RoundRectFigure(const TMetaBox& box, double cornerWidth, double cornerHeight, int32_t segments) {
    const TMetaBox b = Normalized(box);
    const double rx = std::min(std::abs(cornerWidth) / 2, (b.Right - b.Left) / 2);
    const double ry = std::min(std::abs(cornerHeight) / 2, (b.Bottom - b.Top) / 2);
    if (rx <= 0 || ry <= 0) {
        return RectangleFigure(b);
    }
    const int32_t quarter = std::max(2, Bounded(segments) / 4);
    // Corner centres counter-clockwise from the top right, each with the
    // quarter it draws.
    const TMetaPoint centres[4] = {
        {b.Right - rx, b.Top + ry}, {b.Left + rx, b.Top + ry}, {b.Left + rx, b.Bottom - ry}, {b.Right - rx, b.Bottom - ry}};
    TMetaFigure figure;
    figure.Closed = true;
    for (int corner = 0; corner < 4; ++corner) {
        for (int32_t i = 0; i <= quarter; ++i) {
            const double angle = std::numbers::pi / 2 * (corner + static_cast<double>(i) / quarter);
            figure.Points.push_back(
                TMetaPoint{centres[corner].X + rx * std::cos(angle), centres[corner].Y - ry * std::sin(angle)});
        }
    }
    return figure;
}

void AppendBezier(std::vector<TMetaPoint>& points, TMetaPoint from, TMetaPoint c1, TMetaPoint c2, TMetaPoint to,
                  int32_t segments) {
    const int32_t n = std::clamp(segments, 1, MaxCurveSegments);
    for (int32_t i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        const double u = 1 - t;
        const double a = u * u * u;
        const double b = 3 * u * u * t;
        const double c = 3 * u * t * t;
        const double d = t * t * t;
        points.push_back(TMetaPoint{a * from.X + b * c1.X + c * c2.X + d * to.X,
                                    a * from.Y + b * c1.Y + c * c2.Y + d * to.Y});
    }
}

}  // namespace quillane
