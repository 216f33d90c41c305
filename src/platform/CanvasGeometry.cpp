#include "platform/CanvasGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace quillane {

namespace {

// Wider pens than this are a caller's mistake; they are drawn this wide.
constexpr int32_t MaxPenWidth = 4096;

int32_t Clamp32(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Rounds i * d / n to the nearest integer, halves upwards (0 <= i < n,
// |d| <= n < 2^32). Products past 62 bits, which only absurd lines reach,
// are taken in floating point.
int64_t ScaleRounded(int64_t i, int64_t d, int64_t n) {
    if (i >= (int64_t{1} << 30)) {
        return static_cast<int64_t>(std::floor(static_cast<long double>(i) * d / n + 0.5L));
    }
    const int64_t twice = 2 * i * d + n;
    const int64_t divisor = 2 * n;
    return twice >= 0 ? twice / divisor : -((-twice + divisor - 1) / divisor);
}

// A run along one axis: pixels [lo, hi) of the main axis, [across,
// across + width) of the other one.
void AddAxisRun(std::vector<TRect>& rects, bool horizontal, int64_t lo, int64_t hi, int32_t across, int32_t width,
                const TDotPattern& dots, const TRect& bounds) {
    const int64_t acrossEnd = static_cast<int64_t>(across) + width;
    const int64_t boundLo = horizontal ? bounds.Left : bounds.Top;
    const int64_t boundHi = horizontal ? bounds.Right : bounds.Bottom;
    const int64_t crossLo = horizontal ? bounds.Top : bounds.Left;
    const int64_t crossHi = horizontal ? bounds.Bottom : bounds.Right;
    lo = std::max(lo, boundLo);
    hi = std::min(hi, boundHi);
    if (lo >= hi || acrossEnd <= crossLo || across >= crossHi) {
        return;
    }
    const auto add = [&](int64_t a, int64_t b) {
        const int32_t a32 = static_cast<int32_t>(a);
        const int32_t b32 = static_cast<int32_t>(b);
        const int32_t c0 = static_cast<int32_t>(std::max<int64_t>(across, crossLo));
        const int32_t c1 = static_cast<int32_t>(std::min(acrossEnd, crossHi));
        rects.push_back(horizontal ? TRect{a32, c0, b32, c1} : TRect{c0, a32, c1, b32});
    };
    if (dots.IsSolid()) {
        add(lo, hi);
        return;
    }
    bool inRun = false;
    int64_t runStart = 0;
    for (int64_t c = lo; c < hi; ++c) {
        const bool on = dots.Covers(static_cast<int32_t>(c));
        if (on && !inRun) {
            runStart = c;
        } else if (!on && inRun) {
            add(runStart, c);
        }
        inRun = on;
    }
    if (inRun) {
        add(runStart, hi);
    }
}

}  // namespace

std::vector<TRect> LineRects(TPoint from, TPoint to, const TPen& pen, const TRect& bounds) {
    std::vector<TRect> rects;
    const int32_t width = std::clamp(pen.Width, 1, MaxPenWidth);
    if (from == to || bounds.IsEmpty()) {
        return rects;
    }
    if (from.Y == to.Y || from.X == to.X) {
        const bool horizontal = from.Y == to.Y;
        const int64_t a = horizontal ? from.X : from.Y;
        const int64_t b = horizontal ? to.X : to.Y;
        // From included, to excluded, in either direction.
        const int64_t lo = a < b ? a : b + 1;
        const int64_t hi = a < b ? b : a + 1;
        AddAxisRun(rects, horizontal, lo, hi, horizontal ? from.Y : from.X, width, pen.Dots, bounds);
        return rects;
    }
    // Slanted: one square per step along the longer axis.
    const int64_t dx = static_cast<int64_t>(to.X) - from.X;
    const int64_t dy = static_cast<int64_t>(to.Y) - from.Y;
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const int64_t steps = alongX ? std::abs(dx) : std::abs(dy);
    const int64_t start = alongX ? from.X : from.Y;
    const int64_t sign = (alongX ? dx : dy) > 0 ? 1 : -1;
    // Only the steps whose square can meet the bounds along the main axis.
    const int64_t boundLo = (alongX ? bounds.Left : bounds.Top) - static_cast<int64_t>(width) + 1;
    const int64_t boundHi = (alongX ? bounds.Right : bounds.Bottom) - 1;
    int64_t first = sign > 0 ? boundLo - start : start - boundHi;
    int64_t last = sign > 0 ? boundHi - start : start - boundLo;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, steps - 1);
    for (int64_t i = first; i <= last; ++i) {
        const int64_t x = from.X + ScaleRounded(i, dx, steps);
        const int64_t y = from.Y + ScaleRounded(i, dy, steps);
        if (!pen.Dots.Covers(static_cast<int32_t>(alongX ? x : y))) {
            continue;
        }
        const TRect square =
            Intersection(TRect{Clamp32(x), Clamp32(y), Clamp32(x + width), Clamp32(y + width)}, bounds);
        if (!square.IsEmpty()) {
            rects.push_back(square);
        }
    }
    return rects;
}

std::vector<TRect> PolygonRects(std::span<const TPoint> points, const TRect& bounds) {
    std::vector<TRect> rects;
    if (points.size() < 3 || bounds.IsEmpty()) {
        return rects;
    }
    int64_t top = INT64_MAX;
    int64_t bottom = INT64_MIN;
    for (const TPoint& p : points) {
        top = std::min<int64_t>(top, p.Y);
        bottom = std::max<int64_t>(bottom, p.Y);
    }
    top = std::max<int64_t>(top, bounds.Top);
    bottom = std::min<int64_t>(bottom, bounds.Bottom);
    std::vector<double> crossings;
    for (int64_t y = top; y < bottom; ++y) {
        // Where the row's centre line crosses each edge; an edge counts from
        // its upper end, not its lower one, so a shared corner counts once.
        const double centre = static_cast<double>(y) + 0.5;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            if (a.Y == b.Y || centre < std::min(a.Y, b.Y) || centre >= std::max(a.Y, b.Y)) {
                continue;
            }
            const double t = (centre - a.Y) / (static_cast<double>(b.Y) - a.Y);
            crossings.push_back(a.X + t * (static_cast<double>(b.X) - a.X));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels x with x + 0.5 in [from, to).
            const double from = std::max(std::ceil(crossings[i] - 0.5), static_cast<double>(bounds.Left));
            const double to = std::min(std::ceil(crossings[i + 1] - 0.5), static_cast<double>(bounds.Right));
            if (from < to) {
                rects.push_back(TRect{static_cast<int32_t>(from), static_cast<int32_t>(y), static_cast<int32_t>(to),
                                      static_cast<int32_t>(y + 1)});
            }
        }
    }
    return rects;
}

std::vector<TRect> PolyPolygonRects(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                                    const TRect& bounds) {
    struct TEdge {
        TPoint A;
        TPoint B;
    };
    std::vector<TEdge> edges;
    size_t start = 0;
    for (const int32_t count : counts) {
        const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), points.size() - start);
        if (n >= 3) {
            for (size_t i = 0; i < n; ++i) {
                edges.push_back(TEdge{points[start + i], points[start + (i + 1) % n]});
            }
        }
        start += n;
    }
    std::vector<TRect> rects;
    if (edges.empty() || bounds.IsEmpty()) {
        return rects;
    }
    int64_t top = INT64_MAX;
    int64_t bottom = INT64_MIN;
    for (const TEdge& e : edges) {
        top = std::min<int64_t>(top, std::min(e.A.Y, e.B.Y));
        bottom = std::max<int64_t>(bottom, std::max(e.A.Y, e.B.Y));
    }
    top = std::max<int64_t>(top, bounds.Top);
    bottom = std::min<int64_t>(bottom, bounds.Bottom);
    // (x, +1 for a downward edge, -1 for an upward one)
    std::vector<std::pair<double, int>> crossings;
    for (int64_t y = top; y < bottom; ++y) {
        const double centre = static_cast<double>(y) + 0.5;
        crossings.clear();
        for (const TEdge& e : edges) {
            const TPoint& a = e.A;
            const TPoint& b = e.B;
            if (a.Y == b.Y || centre < std::min(a.Y, b.Y) || centre >= std::max(a.Y, b.Y)) {
                continue;
            }
            const double t = (centre - a.Y) / (static_cast<double>(b.Y) - a.Y);
            crossings.emplace_back(a.X + t * (static_cast<double>(b.X) - a.X), b.Y > a.Y ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        int level = 0;
        double spanStart = 0;
        const size_t firstRect = rects.size();
        for (const auto& [x, direction] : crossings) {
            const bool wasInside = winding ? level != 0 : (level & 1) != 0;
            level += winding ? direction : 1;
            const bool inside = winding ? level != 0 : (level & 1) != 0;
            if (!wasInside && inside) {
                spanStart = x;
            } else if (wasInside && !inside) {
                const double from = std::max(std::ceil(spanStart - 0.5), static_cast<double>(bounds.Left));
                const double to = std::min(std::ceil(x - 0.5), static_cast<double>(bounds.Right));
                if (from >= to) {
                    continue;
                }
                const TRect rect{static_cast<int32_t>(from), static_cast<int32_t>(y), static_cast<int32_t>(to),
                                 static_cast<int32_t>(y + 1)};
                if (rects.size() > firstRect && rects.back().Right >= rect.Left) {
                    rects.back().Right = std::max(rects.back().Right, rect.Right);
                } else {
                    rects.push_back(rect);
                }
            }
        }
    }
    return rects;
}

void CheckSurfaceSize(int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > MaxSurfaceSide || height > MaxSurfaceSide) {
        throw std::invalid_argument("canvas: a surface of " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels cannot be made");
    }
}

void CheckTextRun(const TTextRun& run) {
    if (run.Font == nullptr) {
        throw std::invalid_argument("canvas: a text run without a font");
    }
    if (run.Advances.size() != run.Text.size()) {
        throw std::invalid_argument("canvas: a text run needs one advance per character");
    }
}

std::vector<int32_t> RunOffsets(const TTextRun& run) {
    std::vector<int32_t> offsets;
    offsets.reserve(run.Advances.size() + 1);
    int64_t x = 0;
    for (int32_t advance : run.Advances) {
        offsets.push_back(Clamp32(x));
        x += advance;
    }
    offsets.push_back(Clamp32(x));
    return offsets;
}

bool IsDrawable(const TRect& rect) {
    constexpr int64_t Limit = int64_t{1} << 30;
    return !rect.IsEmpty() && static_cast<int64_t>(rect.Right) - rect.Left < Limit &&
           static_cast<int64_t>(rect.Bottom) - rect.Top < Limit;
}

bool ClampBitmapSource(const TBitmapView& bitmap, TRect& source) {
    if (!bitmap.IsValid() || !IsDrawable(source)) {
        return false;
    }
    source = Intersection(source, TRect{0, 0, bitmap.Width, bitmap.Height});
    return !source.IsEmpty();
}

TRect BitmapLanding(const TRect& source, const TRect& part, const TRect& dest) {
    const auto map = [](int32_t v, int32_t sourceLow, int32_t sourceSize, int32_t destLow, int32_t destSize) {
        const int64_t offset = static_cast<int64_t>(v - sourceLow) * destSize;
        return Clamp32(destLow + (offset >= 0 ? (2 * offset + sourceSize) / (2 * sourceSize) : 0));
    };
    return TRect{map(part.Left, source.Left, source.Width(), dest.Left, dest.Width()),
                 map(part.Top, source.Top, source.Height(), dest.Top, dest.Height()),
                 map(part.Right, source.Left, source.Width(), dest.Left, dest.Width()),
                 map(part.Bottom, source.Top, source.Height(), dest.Top, dest.Height())};
}

}  // namespace quillane
