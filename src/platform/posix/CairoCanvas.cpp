#include "platform/posix/CairoCanvas.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "platform/CanvasGeometry.h"
#include "platform/Screen.h"
#include "platform/posix/CairoFontFace.h"
#include "platform/posix/FreeTypeFont.h"

namespace quillane {

// cairo keeps 24-bit pixels in native-endian 32-bit words; on the machines
// this builds for, that puts blue at the lowest address.
static_assert(std::endian::native == std::endian::little, "surface pixels are read as Bgra");

namespace {

void SetColor(cairo_t* cr, TColorValue color) {
    cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, (color >> 8 & 0xFF) / 255.0, (color >> 16 & 0xFF) / 255.0);
}

void AddRect(cairo_t* cr, const TRect& rect) {
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
}

// Whole pixels only, so that fills and inversions are exact.
void BeginPixelFill(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

// The difference from white is 255 - x in every channel of an opaque pixel.
void FillInverting(cairo_t* cr) {
    cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

struct TSurfaceRelease {
    void operator()(cairo_surface_t* surface) const noexcept { cairo_surface_destroy(surface); }
};
using TSurfaceHandle = std::unique_ptr<cairo_surface_t, TSurfaceRelease>;

// An image surface with a copy of the bitmap's source part.
TSurfaceHandle CopyBitmap(const TBitmapView& bitmap, const TRect& source) {
    TSurfaceHandle image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, source.Width(), source.Height()));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    cairo_surface_flush(image.get());
    uint8_t* data = cairo_image_surface_get_data(image.get());
    const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(image.get()));
    const bool rgba = bitmap.Order == TPixelOrder::Rgba;
    for (int32_t y = 0; y < source.Height(); ++y) {
        const uint8_t* from = bitmap.Pixels + static_cast<size_t>(source.Top + y) * static_cast<size_t>(bitmap.Stride) +
                              static_cast<size_t>(source.Left) * 4;
        uint8_t* to = data + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < source.Width(); ++x, from += 4, to += 4) {
            to[0] = rgba ? from[2] : from[0];
            to[1] = from[1];
            to[2] = rgba ? from[0] : from[2];
            to[3] = 0xFF;
        }
    }
    cairo_surface_mark_dirty(image.get());
    return image;
}

}  // namespace

TCairoCanvas::TCairoCanvas(cairo_surface_t* target, const TRect& bounds, TResolution resolution)
    : cr_(cairo_create(target)), bounds_(bounds), resolution_(resolution) {
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr_);
        throw std::runtime_error("cairo: cannot draw on the surface");
    }
}

TCairoCanvas::~TCairoCanvas() { cairo_destroy(cr_); }

TRect TCairoCanvas::ClipBox() const {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
    const auto edge = [](double v, int32_t low, int32_t high) {
        return static_cast<int32_t>(std::clamp(v, static_cast<double>(low), static_cast<double>(high)));
    };
    const TRect box{edge(std::floor(x1), bounds_.Left, bounds_.Right), edge(std::floor(y1), bounds_.Top, bounds_.Bottom),
                    edge(std::ceil(x2), bounds_.Left, bounds_.Right), edge(std::ceil(y2), bounds_.Top, bounds_.Bottom)};
    return Intersection(box, bounds_);
}

void TCairoCanvas::FillRects(const std::vector<TRect>& rects, TColorValue color) {
    if (rects.empty()) {
        return;
    }
    BeginPixelFill(cr_);
    for (const TRect& rect : rects) {
        AddRect(cr_, rect);
    }
    SetColor(cr_, color);
    cairo_fill(cr_);
}

void TCairoCanvas::FillRect(const TRect& rect, TColorValue color) {
    const TRect visible = Intersection(rect, bounds_);
    if (!visible.IsEmpty()) {
        FillRects({visible}, color);
    }
}

void TCairoCanvas::DrawLine(TPoint from, TPoint to, const TPen& pen) {
    FillRects(LineRects(from, to, pen, ClipBox()), pen.Color);
}

void TCairoCanvas::DrawText(const TTextRun& run) {
    CheckTextRun(run);
    const auto* font = dynamic_cast<const TFreeTypeFont*>(run.Font);
    if (font == nullptr) {
        throw std::invalid_argument("canvas: the font was not made by this platform's font system");
    }
    const std::vector<int32_t> offsets = RunOffsets(run);
    const TFontMetrics metrics = font->Metrics();
    const int64_t x = run.Origin.X;
    const int64_t baseline = static_cast<int64_t>(run.Origin.Y) + metrics.Ascent;
    const auto span = [&](int64_t top, int64_t height) {
        const int64_t a = x + std::min(0, offsets.back());
        const int64_t b = x + std::max(0, offsets.back());
        const auto clamp = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
        return TRect{clamp(a), clamp(top), clamp(b), clamp(top + height)};
    };
    if (run.Background) {
        FillRect(span(run.Origin.Y, metrics.Height), *run.Background);
    }
    if (!run.Text.empty()) {
        std::vector<cairo_glyph_t> glyphs;
        glyphs.reserve(run.Text.size());
        for (size_t i = 0; i < run.Text.size(); ++i) {
            glyphs.push_back(cairo_glyph_t{font->GlyphOf(static_cast<unsigned char>(run.Text[i])),
                                           static_cast<double>(x + offsets[i]), static_cast<double>(baseline)});
        }
        if (TCairoFontFace face = CairoFontFaceFor(*font)) {
            cairo_new_path(cr_);
            cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
            cairo_set_font_face(cr_, face.get());
            cairo_set_font_size(cr_, font->PixelsPerEm());
            cairo_font_options_t* options = cairo_font_options_create();
            cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
            cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
            cairo_set_font_options(cr_, options);
            cairo_font_options_destroy(options);
            SetColor(cr_, run.Color);
            cairo_show_glyphs(cr_, glyphs.data(), static_cast<int>(glyphs.size()));
            cairo_set_font_face(cr_, nullptr);  // the face may go as soon as cairo's caches let it
        }
    }
    // The lines hang on the line's centre, as the Windows engine places them.
    const TFontLines& lines = font->Lines();
    if (lines.Underline) {
        FillRect(span(baseline - lines.UnderlinePosition - lines.UnderlineThickness / 2, lines.UnderlineThickness),
                 run.Color);
    }
    if (lines.StrikeOut) {
        FillRect(span(baseline - lines.StrikeOutPosition - lines.StrikeOutThickness / 2, lines.StrikeOutThickness),
                 run.Color);
    }
}

void TCairoCanvas::InvertRect(const TRect& rect) {
    const TRect visible = Intersection(rect, bounds_);
    if (visible.IsEmpty()) {
        return;
    }
    BeginPixelFill(cr_);
    AddRect(cr_, visible);
    FillInverting(cr_);
}

void TCairoCanvas::InvertPolygon(std::span<const TPoint> points) {
    const std::vector<TRect> rects = PolygonRects(points, ClipBox());
    if (rects.empty()) {
        return;
    }
    BeginPixelFill(cr_);
    for (const TRect& rect : rects) {
        AddRect(cr_, rect);
    }
    FillInverting(cr_);
}

void TCairoCanvas::FillPolygons(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                                TColorValue color) {
    FillRects(PolyPolygonRects(points, counts, winding, ClipBox()), color);
}

void TCairoCanvas::DrawBitmap(const TBitmapView& bitmap, const TRect& source, const TRect& dest) {
    TRect part = source;
    if (!IsDrawable(dest) || !ClampBitmapSource(bitmap, part)) {
        return;
    }
    const TRect landing = BitmapLanding(source, part, dest);
    if (landing.IsEmpty() || !RectVisible(landing)) {
        return;
    }
    TSurfaceHandle image = CopyBitmap(bitmap, part);
    if (!image) {
        return;
    }
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image.get());
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, static_cast<double>(part.Width()) / landing.Width(),
                            static_cast<double>(part.Height()) / landing.Height());
    cairo_matrix_translate(&matrix, -static_cast<double>(landing.Left), -static_cast<double>(landing.Top));
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    BeginPixelFill(cr_);
    AddRect(cr_, landing);
    cairo_set_source(cr_, pattern);
    cairo_fill(cr_);
    cairo_pattern_destroy(pattern);
}

void TCairoCanvas::DrawSurface(TSurface& source, const TRect& sourceRect, TPoint dest) {
    auto* surface = dynamic_cast<TCairoSurface*>(&source);
    if (surface == nullptr) {
        throw std::invalid_argument("canvas: the surface was not made by this platform");
    }
    const TRect part = Intersection(sourceRect, TRect{0, 0, surface->Width(), surface->Height()});
    if (part.IsEmpty()) {
        return;
    }
    const int64_t left = static_cast<int64_t>(dest.X) + (part.Left - sourceRect.Left);
    const int64_t top = static_cast<int64_t>(dest.Y) + (part.Top - sourceRect.Top);
    const TRect target = Intersection(
        TRect{static_cast<int32_t>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX)),
              static_cast<int32_t>(std::clamp<int64_t>(top, INT32_MIN, INT32_MAX)),
              static_cast<int32_t>(std::clamp<int64_t>(left + part.Width(), INT32_MIN, INT32_MAX)),
              static_cast<int32_t>(std::clamp<int64_t>(top + part.Height(), INT32_MIN, INT32_MAX))},
        bounds_);
    if (target.IsEmpty()) {
        return;
    }
    cairo_surface_flush(surface->Handle());
    BeginPixelFill(cr_);
    cairo_set_source_surface(cr_, surface->Handle(), static_cast<double>(left - part.Left),
                             static_cast<double>(top - part.Top));
    AddRect(cr_, target);
    cairo_fill(cr_);
}

void TCairoCanvas::SaveClip() {
    cairo_save(cr_);
    ++savedClips_;
}

void TCairoCanvas::RestoreClip() {
    if (savedClips_ > 0) {
        cairo_restore(cr_);
        --savedClips_;
    }
}

void TCairoCanvas::IntersectClip(const TRegion& region) {
    cairo_new_path(cr_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    for (const TRect& rect : region) {
        const TRect visible = Intersection(rect, bounds_);
        if (!visible.IsEmpty()) {
            AddRect(cr_, visible);
        }
    }
    cairo_clip(cr_);  // an empty path clips everything
}

bool TCairoCanvas::RectVisible(const TRect& rect) const {
    const TRect visible = Intersection(rect, bounds_);
    if (visible.IsEmpty()) {
        return false;
    }
    cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(cr_);
    bool result = false;
    if (list->status == CAIRO_STATUS_CLIP_NOT_REPRESENTABLE) {
        result = !Intersection(visible, ClipBox()).IsEmpty();  // no clip, or not made of rectangles
    } else if (list->status == CAIRO_STATUS_SUCCESS) {
        for (int i = 0; i < list->num_rectangles && !result; ++i) {
            const cairo_rectangle_t& r = list->rectangles[i];
            result = r.x < visible.Right && r.x + r.width > visible.Left && r.y < visible.Bottom &&
                     r.y + r.height > visible.Top;
        }
    }
    cairo_rectangle_list_destroy(list);
    return result;
}

std::unique_ptr<TSurface> TCairoCanvas::CreateSurface(int32_t width, int32_t height) {
    CheckSurfaceSize(width, height);
    return std::make_unique<TCairoSurface>(width, height, resolution_);
}

TCairoSurface::TCairoSurface(int32_t width, int32_t height, TResolution resolution)
    : width_(width), height_(height), surface_(nullptr) {
    CheckSurfaceSize(width, height);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface_);
        throw std::runtime_error("cairo: no memory for a surface of " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixels");
    }
    try {
        canvas_ = std::make_unique<TCairoCanvas>(surface_, TRect{0, 0, width, height}, resolution);
    } catch (...) {
        cairo_surface_destroy(surface_);
        throw;
    }
    canvas_->FillRect(TRect{0, 0, width, height}, 0xFFFFFF);
}

TCairoSurface::~TCairoSurface() {
    canvas_.reset();  // before the surface it draws on
    cairo_surface_destroy(surface_);
}

TBitmapView TCairoSurface::Pixels() {
    cairo_surface_flush(surface_);
    return TBitmapView{cairo_image_surface_get_data(surface_), width_, height_,
                       cairo_image_surface_get_stride(surface_), TPixelOrder::Bgra};
}

std::unique_ptr<TSurface> CreateSurface(int32_t width, int32_t height, TResolution resolution) {
    return std::make_unique<TCairoSurface>(width, height, resolution);
}

const char* SurfaceImageExtension() { return "png"; }

void WriteSurfaceImage(TSurface& surface, const std::string& path) {
    const TBitmapView pixels = surface.Pixels();
    TRect all{0, 0, pixels.Width, pixels.Height};
    if (!ClampBitmapSource(pixels, all)) {
        throw std::runtime_error("canvas: the surface has no pixels to write");
    }
    TSurfaceHandle image = CopyBitmap(pixels, all);
    const cairo_status_t status =
        image ? cairo_surface_write_to_png(image.get(), path.c_str()) : CAIRO_STATUS_NO_MEMORY;
    if (status != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write \"" + path + "\": " + cairo_status_to_string(status));
    }
}

}  // namespace quillane
