#pragma once
// A canvas for painting tests: records every call with its arguments as one
// text line, in order, and draws nothing. Surfaces it makes record into the
// same log, each line prefixed with the surface's name ("s1: ").
//
//   FillRect 20,10,60,40 #FF0000            colours as #RRGGBB
//   Line 20,46 -> 170,46 #000000 w1          "dots 0x5/5@3" when dotted
//   FrameRect 120,10,170,40 #0000FF w2
//   Text 20,56 "HHHH" [30,30,30,30] Arial/23 #000080 on #FFFF00
//   InvertRect 40,20,90,30
//   InvertPolygon 180,10 230,10 180,45
//   Bitmap 2x2 bgra 0,0,2,2 -> 20,86,60,126
//   Surface s1 5,0,20,10 -> 30,30
//   SaveClip / RestoreClip / IntersectClip 0,0,10,10 20,20,30,30
//   CreateSurface s1 20x10
//
// Text bytes outside printable ASCII are written \xNN; the font is its face
// name and height. Runs are checked as the real canvases check them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace quillane::test {

class TRecordingCanvas final : public TCanvas {
public:
    TRecordingCanvas();

    // Every call so far, of this canvas and its surfaces.
    const std::vector<std::string>& Calls() const { return log_->Calls; }
    void ClearCalls() { log_->Calls.clear(); }
    // The answer RectVisible gives (every rectangle is visible unless told).
    std::function<bool(const TRect&)> Visible;
    TResolution DeviceResolution;

    TResolution Resolution() const override { return DeviceResolution; }
    void FillRect(const TRect& rect, TColorValue color) override;
    void DrawLine(TPoint from, TPoint to, const TPen& pen) override;
    void FrameRect(const TRect& rect, const TPen& pen) override;
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

    static std::string Describe(const TRect& rect);
    static std::string Describe(TColorValue color);

private:
    struct TLog {
        std::vector<std::string> Calls;
        int Surfaces = 0;
    };
    class TRecordingSurface;

    TRecordingCanvas(std::shared_ptr<TLog> log, std::string prefix);
    void Record(std::string line);

    std::shared_ptr<TLog> log_;
    std::string prefix_;
};

}  // namespace quillane::test
