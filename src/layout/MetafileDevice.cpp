#include "layout/MetafileDevice.h"

#include <algorithm>
#include <cmath>

namespace quillane {

namespace {

// Canvas coordinates stay well inside what the canvas geometry takes.
constexpr double CoordinateLimit = 1 << 28;

int32_t ToPixel(double v) {
    if (!(v == v)) {  // NaN
        return 0;
    }
    return static_cast<int32_t>(std::lround(std::clamp(v, -CoordinateLimit, CoordinateLimit)));
}

TPoint ToPoint(TMetaPoint p) { return TPoint{ToPixel(p.X), ToPixel(p.Y)}; }

// Units of the fixed mapping modes in millimetres.
double MillimetresPerUnit(int32_t mode) {
    switch (mode) {
        case MetaMapLoMetric: return 0.1;
        case MetaMapHiMetric: return 0.01;
        case MetaMapLoEnglish: return 0.254;
        case MetaMapHiEnglish: return 0.0254;
        case MetaMapTwips: return 25.4 / 1440;
        default: return 0;
    }
}

// The dot patterns of the dashed cosmetic pens, on a 24-pixel period.
TDotPattern PenDots(TMetaPenStyle style) {
    switch (style) {
        case TMetaPenStyle::Dash: return TDotPattern{0x0003FFFF, 24, 0};
        case TMetaPenStyle::Dot: return TDotPattern{0x001C71C7, 24, 0};
        case TMetaPenStyle::DashDot: return TDotPattern{0x000381FF, 24, 0};
        case TMetaPenStyle::DashDotDot: return TDotPattern{0x001C71FF, 24, 0};
        default: return TDotPattern{};
    }
}

TColorValue Mix(TColorValue a, TColorValue b) {
    TColorValue mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        mixed |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
    }
    return mixed;
}

void Subtract(const TRect& from, const TRect& hole, TRegion& out) {
    const TRect cut = Intersection(from, hole);
    if (cut.IsEmpty()) {
        out.push_back(from);
        return;
    }
    const TRect pieces[4] = {{from.Left, from.Top, from.Right, cut.Top},
                             {from.Left, cut.Bottom, from.Right, from.Bottom},
                             {from.Left, cut.Top, cut.Left, cut.Bottom},
                             {cut.Right, cut.Top, from.Right, cut.Bottom}};
    for (const TRect& piece : pieces) {
        if (!piece.IsEmpty()) {
            out.push_back(piece);
        }
    }
}

}  // namespace

TMetaTransform TMetaTransform::After(const TMetaTransform& f) const {
    return TMetaTransform{M11 * f.M11 + M21 * f.M12,      M12 * f.M11 + M22 * f.M12,
                          M11 * f.M21 + M21 * f.M22,      M12 * f.M21 + M22 * f.M22,
                          M11 * f.Dx + M21 * f.Dy + Dx,   M12 * f.Dx + M22 * f.Dy + Dy};
}

bool TMetaTransform::IsUsable() const {
    const double values[6] = {M11, M12, M21, M22, Dx, Dy};
    for (const double v : values) {
        if (!std::isfinite(v) || std::abs(v) > 1e12) {
            return false;
        }
    }
    return std::abs(M11 * M22 - M12 * M21) > 1e-12;
}

TMetafileDevice::TMetafileDevice(TCanvas& canvas, TFontSystem* fonts, const TRect& dest)
    : canvas_(canvas), fonts_(fonts), dest_(dest) {
    canvas_.SaveClip();
    canvas_.IntersectClip(dest_);
    clipApplied_ = true;
}

TMetafileDevice::~TMetafileDevice() { canvas_.RestoreClip(); }

void TMetafileDevice::SetReferencePixelsPerMm(double x, double y) {
    if (std::isfinite(x) && std::isfinite(y) && x > 1e-6 && y > 1e-6 && x < 1e6 && y < 1e6) {
        ppmmX_ = x;
        ppmmY_ = y;
    }
}

void TMetafileDevice::SaveState() {
    if (saved_.size() < MaxSavedStates) {
        saved_.push_back(state_);
    }
}

void TMetafileDevice::RestoreState(int32_t n) {
    const int64_t index = n < 0 ? static_cast<int64_t>(saved_.size()) + n : static_cast<int64_t>(n) - 1;
    if (n == 0 || index < 0 || index >= static_cast<int64_t>(saved_.size())) {
        return;
    }
    state_ = saved_[static_cast<size_t>(index)];
    saved_.resize(static_cast<size_t>(index));
    clipApplied_ = false;
}

TMetaTransform TMetafileDevice::PageToDevice() const {
    const TMetaState& s = state_;
    const auto ratio = [](double viewport, double window) { return window == 0 ? 0.0 : viewport / window; };
    TMetaPoint viewportOrg = s.ViewportOrg;
    double sx = 1;
    double sy = 1;
    if (windowIsPicture_) {
        // The picture's window fills the rectangle, as the mapping of a
        // Windows metafile's picture header asks.
        viewportOrg = TMetaPoint{static_cast<double>(dest_.Left), static_cast<double>(dest_.Top)};
        sx = ratio(dest_.Width(), s.WindowExt.X);
        sy = ratio(dest_.Height(), s.WindowExt.Y);
        if (s.MapMode == MetaMapIsotropic) {
            const double scale = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(scale, sx);
            sy = std::copysign(scale, sy);
        }
    } else if (const double unit = MillimetresPerUnit(s.MapMode); unit > 0) {
        sx = ppmmX_ * unit;
        sy = -ppmmY_ * unit;
    } else if (s.MapMode == MetaMapIsotropic || s.MapMode == MetaMapAnisotropic) {
        sx = ratio(s.ViewportExt.X, s.WindowExt.X);
        sy = ratio(s.ViewportExt.Y, s.WindowExt.Y);
        if (s.MapMode == MetaMapIsotropic) {
            const double scale = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(scale, sx);
            sy = std::copysign(scale, sy);
        }
    }
    return TMetaTransform{sx, 0, 0, sy, viewportOrg.X - s.WindowOrg.X * sx, viewportOrg.Y - s.WindowOrg.Y * sy};
}

TMetaTransform TMetafileDevice::LogicalToCanvas() const {
    const TMetaTransform whole = reference_.After(PageToDevice().After(state_.World));
    return whole.IsUsable() ? whole : TMetaTransform{0, 0, 0, 0, 0, 0};
}

double TMetafileDevice::ScaleX() const {
    const TMetaTransform t = LogicalToCanvas();
    return std::hypot(t.M11, t.M12);
}

double TMetafileDevice::ScaleY() const {
    const TMetaTransform t = LogicalToCanvas();
    return std::hypot(t.M21, t.M22);
}

int32_t TMetafileDevice::CurveSegments(const TMetaBox& box) const {
    const double size = std::abs(box.Right - box.Left) * ScaleX() + std::abs(box.Bottom - box.Top) * ScaleY();
    return static_cast<int32_t>(std::clamp(size / 2, static_cast<double>(MinCurveSegments),
                                           static_cast<double>(MaxCurveSegments)));
}

TRect TMetafileDevice::CanvasBox(const TMetaBox& box) const {
    const TMetaTransform t = LogicalToCanvas();
    const TMetaPoint corners[4] = {t.Apply({box.Left, box.Top}), t.Apply({box.Right, box.Top}),
                                   t.Apply({box.Left, box.Bottom}), t.Apply({box.Right, box.Bottom})};
    double left = corners[0].X;
    double right = left;
    double top = corners[0].Y;
    double bottom = top;
    for (const TMetaPoint& p : corners) {
        left = std::min(left, p.X);
        right = std::max(right, p.X);
        top = std::min(top, p.Y);
        bottom = std::max(bottom, p.Y);
    }
    return TRect{ToPixel(left), ToPixel(top), ToPixel(right), ToPixel(bottom)};
}

TRect TMetafileDevice::DeviceBox(const TMetaBox& box) const {
    const TMetaPoint a = reference_.Apply({box.Left, box.Top});
    const TMetaPoint b = reference_.Apply({box.Right, box.Bottom});
    return TRect{ToPixel(std::min(a.X, b.X)), ToPixel(std::min(a.Y, b.Y)), ToPixel(std::max(a.X, b.X)),
                 ToPixel(std::max(a.Y, b.Y))};
}

void TMetafileDevice::ApplyClip() {
    if (clipApplied_) {
        return;
    }
    canvas_.RestoreClip();
    canvas_.SaveClip();
    canvas_.IntersectClip(dest_);
    if (state_.Clip) {
        canvas_.IntersectClip(*state_.Clip);
    }
    clipApplied_ = true;
}

void TMetafileDevice::Fill(const std::vector<TMetaFigure>& figures) {
    const TMetaBrush& brush = state_.Brush;
    if (brush.Style == TMetaBrushStyle::Null) {
        return;
    }
    // A hatched brush shows as its lines' colour half over the background.
    const TColorValue color = brush.Style == TMetaBrushStyle::Hatched
                                  ? Mix(brush.Color, state_.OpaqueBackground ? state_.BackColor : 0xFFFFFF)
                                  : brush.Color;
    const TMetaTransform t = LogicalToCanvas();
    std::vector<TPoint> points;
    std::vector<int32_t> counts;
    int32_t top = INT32_MAX;
    int32_t bottom = INT32_MIN;
    for (const TMetaFigure& figure : figures) {
        for (const TMetaPoint& p : figure.Points) {
            points.push_back(ToPoint(t.Apply(p)));
            top = std::min(top, points.back().Y);
            bottom = std::max(bottom, points.back().Y);
        }
        counts.push_back(static_cast<int32_t>(figure.Points.size()));
    }
    if (points.size() < 3) {
        return;
    }
    const int64_t rows = std::max<int64_t>(0, std::min(bottom, dest_.Bottom) - std::max(top, dest_.Top));
    Charge(points.size() + static_cast<uint64_t>(rows) * points.size());
    if (Exhausted()) {
        return;
    }
    ApplyClip();
    canvas_.FillPolygons(points, counts, state_.Winding, color);
}

void TMetafileDevice::Stroke(const std::vector<TMetaFigure>& figures) {
    const TMetaPen& pen = state_.Pen;
    if (pen.Style == TMetaPenStyle::Null) {
        return;
    }
    const double scaled = pen.Width * ScaleX();
    const int32_t width = pen.Width <= 0 ? 1 : static_cast<int32_t>(std::clamp(std::lround(scaled), 1L, 4096L));
    const TPen canvasPen{pen.Color, width, width == 1 ? PenDots(pen.Style) : TDotPattern{}};
    // The canvas draws a wide line to the right of and below its points; a
    // pen is centred on them.
    const double shift = (width - 1) / 2.0;
    const TMetaTransform t = LogicalToCanvas();
    const int64_t limit = static_cast<int64_t>(dest_.Width()) + dest_.Height() + 2;
    ApplyClip();
    for (const TMetaFigure& figure : figures) {
        const size_t n = figure.Points.size();
        const size_t segments = figure.Closed && n > 2 ? n : (n > 0 ? n - 1 : 0);
        for (size_t i = 0; i < segments && !Exhausted(); ++i) {
            const TMetaPoint a = t.Apply(figure.Points[i]);
            const TMetaPoint b = t.Apply(figure.Points[(i + 1) % n]);
            const TPoint from = ToPoint({a.X - shift, a.Y - shift});
            const TPoint to = ToPoint({b.X - shift, b.Y - shift});
            const int64_t length = std::max(std::abs(static_cast<int64_t>(to.X) - from.X),
                                            std::abs(static_cast<int64_t>(to.Y) - from.Y));
            Charge(1 + static_cast<uint64_t>(std::min(length, limit)));
            if (from == to) {
                canvas_.FillRect(TRect{from.X, from.Y, from.X + width, from.Y + width}, pen.Color);
            } else {
                canvas_.DrawLine(from, to, canvasPen);
            }
        }
    }
}

void TMetafileDevice::DrawFigures(std::vector<TMetaFigure> figures, bool fill, bool stroke) {
    if (inPath_) {
        for (TMetaFigure& figure : figures) {
            if (pathPoints_ + figure.Points.size() > MaxPathPoints) {
                return;
            }
            pathPoints_ += figure.Points.size();
            path_.push_back(std::move(figure));
        }
        return;
    }
    if (Exhausted()) {
        return;
    }
    if (fill) {
        Fill(figures);
    }
    if (stroke) {
        Stroke(figures);
    }
}

void TMetafileDevice::MoveTo(TMetaPoint p) {
    state_.Position = p;
    if (inPath_ && pathPoints_ < MaxPathPoints) {
        path_.push_back(TMetaFigure{{p}, false});
        ++pathPoints_;
    }
}

void TMetafileDevice::LineTo(TMetaPoint p) {
    if (inPath_) {
        if (path_.empty() || path_.back().Closed) {
            path_.push_back(TMetaFigure{{state_.Position}, false});
            ++pathPoints_;
        }
        if (pathPoints_ < MaxPathPoints) {
            path_.back().Points.push_back(p);
            ++pathPoints_;
        }
    } else if (!Exhausted()) {
        Stroke({TMetaFigure{{state_.Position, p}, false}});
    }
    state_.Position = p;
}

void TMetafileDevice::BezierTo(TMetaPoint c1, TMetaPoint c2, TMetaPoint p) {
    const TMetaPoint from = state_.Position;
    TMetaBox box{from.X, from.Y, from.X, from.Y};
    for (const TMetaPoint& q : {c1, c2, p}) {
        box = TMetaBox{std::min(box.Left, q.X), std::min(box.Top, q.Y), std::max(box.Right, q.X),
                       std::max(box.Bottom, q.Y)};
    }
    std::vector<TMetaPoint> points;
    AppendBezier(points, from, c1, c2, p, std::max(1, CurveSegments(box) / 4));
    for (const TMetaPoint& q : points) {
        LineTo(q);
    }
}

void TMetafileDevice::SetPixel(TMetaPoint p, TColorValue color) {
    if (Exhausted()) {
        return;
    }
    Charge(1);
    const TPoint at = ToPoint(ToCanvas(p));
    ApplyClip();
    canvas_.FillRect(TRect{at.X, at.Y, at.X + 1, at.Y + 1}, color);
}

void TMetafileDevice::BeginPath() {
    path_.clear();
    pathPoints_ = 0;
    inPath_ = true;
}

void TMetafileDevice::AbortPath() {
    path_.clear();
    pathPoints_ = 0;
    inPath_ = false;
}

void TMetafileDevice::CloseFigure() {
    if (inPath_ && !path_.empty() && !path_.back().Points.empty()) {
        path_.back().Closed = true;
        state_.Position = path_.back().Points.front();
    }
}

void TMetafileDevice::FillPath(bool stroke) {
    inPath_ = false;
    std::vector<TMetaFigure> figures = std::move(path_);
    AbortPath();
    for (TMetaFigure& figure : figures) {
        figure.Closed = true;
    }
    DrawFigures(std::move(figures), true, stroke);
}

void TMetafileDevice::StrokePath() {
    inPath_ = false;
    std::vector<TMetaFigure> figures = std::move(path_);
    AbortPath();
    DrawFigures(std::move(figures), false, true);
}

void TMetafileDevice::PatBlt(const TMetaBox& box, uint32_t rop) {
    constexpr uint32_t PatCopy = 0x00F00021;
    constexpr uint32_t Blackness = 0x00000042;
    constexpr uint32_t Whiteness = 0x00FF0062;
    constexpr uint32_t DstInvert = 0x00550009;
    const TRect rect = Intersection(CanvasBox(box), dest_);
    if (rect.IsEmpty() || Exhausted()) {
        return;
    }
    Charge(static_cast<uint64_t>(rect.Height()) + 1);
    ApplyClip();
    switch (rop) {
        case PatCopy:
            if (state_.Brush.Style != TMetaBrushStyle::Null) {
                Fill({RectangleFigure(box)});
            }
            break;
        case Blackness: canvas_.FillRect(rect, 0x000000); break;
        case Whiteness: canvas_.FillRect(rect, 0xFFFFFF); break;
        case DstInvert: canvas_.InvertRect(rect); break;
        default: break;  // operations that mix with the pixels below are left out
    }
}

void TMetafileDevice::IntersectClip(const TMetaBox& box) {
    const TRect cut = CanvasBox(box);
    TRegion clipped;
    for (const TRect& rect : state_.Clip ? *state_.Clip : TRegion{dest_}) {
        const TRect part = Intersection(rect, cut);
        if (!part.IsEmpty()) {
            clipped.push_back(part);
        }
    }
    state_.Clip = std::move(clipped);
    clipApplied_ = false;
}

void TMetafileDevice::ExcludeClip(const TMetaBox& box) {
    const TRect hole = CanvasBox(box);
    TRegion left;
    for (const TRect& rect : state_.Clip ? *state_.Clip : TRegion{dest_}) {
        Subtract(rect, hole, left);
    }
    if (left.size() <= MaxClipRects) {
        state_.Clip = std::move(left);
        clipApplied_ = false;
    }
}

void TMetafileDevice::ResetClip() {
    state_.Clip.reset();
    clipApplied_ = false;
}

void TMetafileDevice::SetClipRegion(std::span<const TMetaBox> rects, bool intersect) {
    TRegion region;
    for (const TMetaBox& box : rects.first(std::min(rects.size(), MaxClipRects))) {
        const TRect rect = Intersection(DeviceBox(box), dest_);
        if (!rect.IsEmpty()) {
            region.push_back(rect);
        }
    }
    if (intersect && state_.Clip) {
        TRegion both;
        for (const TRect& a : *state_.Clip) {
            for (const TRect& b : region) {
                const TRect part = Intersection(a, b);
                if (!part.IsEmpty() && both.size() < MaxClipRects) {
                    both.push_back(part);
                }
            }
        }
        region = std::move(both);
    }
    state_.Clip = std::move(region);
    clipApplied_ = false;
}

void TMetafileDevice::ClipToPath() {
    std::vector<TMetaFigure> figures = std::move(path_);
    AbortPath();
    const TMetaTransform t = LogicalToCanvas();
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    bool any = false;
    for (const TMetaFigure& figure : figures) {
        for (const TMetaPoint& logical : figure.Points) {
            const TMetaPoint p = t.Apply(logical);
            left = any ? std::min(left, p.X) : p.X;
            right = any ? std::max(right, p.X) : p.X;
            top = any ? std::min(top, p.Y) : p.Y;
            bottom = any ? std::max(bottom, p.Y) : p.Y;
            any = true;
        }
    }
    const TRect cut{ToPixel(left), ToPixel(top), ToPixel(right), ToPixel(bottom)};
    TRegion clipped;
    for (const TRect& rect : state_.Clip ? *state_.Clip : TRegion{dest_}) {
        const TRect part = Intersection(rect, cut);
        if (!part.IsEmpty()) {
            clipped.push_back(part);
        }
    }
    state_.Clip = std::move(clipped);
    clipApplied_ = false;
}

void TMetafileDevice::OffsetClip(TMetaPoint logical) {
    if (!state_.Clip) {
        return;
    }
    const TMetaTransform t = LogicalToCanvas();
    const int32_t dx = ToPixel(t.M11 * logical.X + t.M21 * logical.Y);
    const int32_t dy = ToPixel(t.M12 * logical.X + t.M22 * logical.Y);
    for (TRect& rect : *state_.Clip) {
        rect = Intersection(TRect{ToPixel(static_cast<double>(rect.Left) + dx), ToPixel(static_cast<double>(rect.Top) + dy),
                                  ToPixel(static_cast<double>(rect.Right) + dx),
                                  ToPixel(static_cast<double>(rect.Bottom) + dy)},
                            dest_);
    }
    clipApplied_ = false;
}

}  // namespace quillane
