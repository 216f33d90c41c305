#pragma once
// The canvas on POSIX: cairo drawing on any cairo surface (an image surface
// for off-screen work; later a printing surface). Text is drawn with the
// FreeType face that measured it, glyph by glyph at the layout's advances.

#include <cairo.h>

#include <memory>

#include "platform/Canvas.h"

namespace quillane {

class TCairoCanvas final : public TCanvas {
public:
    // Draws on target (referenced for the canvas's life), whose pixels are
    // the rectangle bounds.
    TCairoCanvas(cairo_surface_t* target, const TRect& bounds, TResolution resolution);
    ~TCairoCanvas() override;

    TResolution Resolution() const override { return resolution_; }
    void FillRect(const TRect& rect, TColorValue color) override;
    void DrawLine(TPoint from, TPoint to, const TPen& pen) override;
    void DrawText(const TTextRun& run) override;
    void InvertRect(const TRect& rect) override;
    void InvertPolygon(std::span<const TPoint> points) override;
    void FillPolygons(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                      TColorValue color) override;
    void DrawBitmap(const TBitmapView& bitmap, const TRect& source, const TRect& dest) override;
    using TCanvas::DrawBitmap;
    void DrawSurface(TSurface& source, const TRect& sourceRect, TPoint dest) override;
    void SaveClip() override;
    void RestoreClip() override;
    void IntersectClip(const TRegion& region) override;
    using TCanvas::IntersectClip;
    bool RectVisible(const TRect& rect) const override;
    std::unique_ptr<TSurface> CreateSurface(int32_t width, int32_t height) override;

private:
    // The device's pixels that the clip leaves, as one box.
    TRect ClipBox() const;
    void FillRects(const std::vector<TRect>& rects, TColorValue color);

    cairo_t* cr_;
    TRect bounds_;
    TResolution resolution_;
    int savedClips_ = 0;
};

// An off-screen image (cairo's 24-bit RGB image surface) and its canvas.
class TCairoSurface final : public TSurface {
public:
    TCairoSurface(int32_t width, int32_t height, TResolution resolution);
    ~TCairoSurface() override;

    TCanvas& Canvas() override { return *canvas_; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    TBitmapView Pixels() override;
    cairo_surface_t* Handle() const { return surface_; }

private:
    int32_t width_;
    int32_t height_;
    cairo_surface_t* surface_;
    std::unique_ptr<TCairoCanvas> canvas_;
};

}  // namespace quillane
