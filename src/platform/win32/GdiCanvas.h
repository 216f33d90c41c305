#pragma once
// The canvas on Windows: GDI on a device context, the same class over a
// window's, a memory bitmap's, a printer's or a metafile's context. Text is
// drawn with the GDI font that measured it, through ExtTextOutA (the bytes
// read in the code page of the font's character set, as its widths were)
// with the layout's advances.

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/Canvas.h"

namespace quillane {

class TGdiCanvas final : public TCanvas {
public:
    // Draws on dc, which the caller owns and keeps for the canvas's life.
    // Without a resolution the device's own is reported.
    explicit TGdiCanvas(HDC dc, std::optional<TResolution> resolution = std::nullopt);

    TResolution Resolution() const override;
    void FillRect(const TRect& rect, TColorValue color) override;
    void DrawLine(TPoint from, TPoint to, const TPen& pen) override;
    void DrawText(const TTextRun& run) override;
    void InvertRect(const TRect& rect) override;
    void InvertPolygon(std::span<const TPoint> points) override;
    void FillPolygons(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                      TColorValue color) override;
    void DrawBitmap(const TBitmapView& bitmap, const TRect& source, const TRect& dest) override;
    using TCanvas::DrawBitmap;
    bool DrawMetafile(const TMetafileView& metafile, const TRect& dest) override;
    void DrawSurface(TSurface& source, const TRect& sourceRect, TPoint dest) override;
    void SaveClip() override;
    void RestoreClip() override;
    void IntersectClip(const TRegion& region) override;
    using TCanvas::IntersectClip;
    bool RectVisible(const TRect& rect) const override;
    std::unique_ptr<TSurface> CreateSurface(int32_t width, int32_t height) override;

private:
    TRect ClipBox() const;

    HDC dc_;
    std::optional<TResolution> resolution_;
    int savedClips_ = 0;
};

// A 32-bit top-down DIB section selected into a memory context, with its
// canvas.
class TGdiSurface final : public TSurface {
public:
    // The memory context is compatible with reference (the screen for null).
    TGdiSurface(HDC reference, int32_t width, int32_t height, TResolution resolution);
    ~TGdiSurface() override;

    TCanvas& Canvas() override { return *canvas_; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    TBitmapView Pixels() override;
    HDC Dc() const { return dc_; }

private:
    int32_t width_;
    int32_t height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
    std::unique_ptr<TGdiCanvas> canvas_;
};

}  // namespace quillane
