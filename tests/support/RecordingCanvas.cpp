#include "support/RecordingCanvas.h"

#include <cstdio>
#include <stdexcept>

#include "platform/CanvasGeometry.h"

namespace quillane::test {

namespace {

std::string Point(TPoint p) { return std::to_string(p.X) + "," + std::to_string(p.Y); }

std::string PenText(const TPen& pen) {
    std::string text = TRecordingCanvas::Describe(pen.Color) + " w" + std::to_string(pen.Width);
    if (!pen.Dots.IsSolid()) {
        char dots[48];
        std::snprintf(dots, sizeof dots, " dots 0x%X/%d@%d", pen.Dots.Mask, pen.Dots.Period, pen.Dots.Phase);
        text += dots;
    }
    return text;
}

}  // namespace

// The surface's pixels are never drawn: a white bitmap of its size.
class TRecordingCanvas::TRecordingSurface final : public TSurface {
public:
    TRecordingSurface(std::shared_ptr<TLog> log, std::string name, int32_t width, int32_t height,
                      TResolution resolution)
        : name_(name),
          width_(width),
          height_(height),
          pixels_(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0xFF),
          canvas_(std::move(log), name + ": ") {
        canvas_.DeviceResolution = resolution;
    }
    TCanvas& Canvas() override { return canvas_; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    TBitmapView Pixels() override { return TBitmapView{pixels_.data(), width_, height_, width_ * 4}; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    int32_t width_;
    int32_t height_;
    std::vector<uint8_t> pixels_;
    TRecordingCanvas canvas_;
};

TRecordingCanvas::TRecordingCanvas() : TRecordingCanvas(std::make_shared<TLog>(), "") {}

TRecordingCanvas::TRecordingCanvas(std::shared_ptr<TLog> log, std::string prefix)
    : log_(std::move(log)), prefix_(std::move(prefix)) {}

std::string TRecordingCanvas::Describe(const TRect& rect) {
    return std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," + std::to_string(rect.Right) + "," +
           std::to_string(rect.Bottom);
}

std::string TRecordingCanvas::Describe(TColorValue color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF);
    return text;
}

void TRecordingCanvas::Record(std::string line) { log_->Calls.push_back(prefix_ + std::move(line)); }

void TRecordingCanvas::FillRect(const TRect& rect, TColorValue color) {
    Record("FillRect " + Describe(rect) + " " + Describe(color));
}

void TRecordingCanvas::DrawLine(TPoint from, TPoint to, const TPen& pen) {
    Record("Line " + Point(from) + " -> " + Point(to) + " " + PenText(pen));
}

void TRecordingCanvas::FrameRect(const TRect& rect, const TPen& pen) {
    Record("FrameRect " + Describe(rect) + " " + PenText(pen));
}

void TRecordingCanvas::DrawText(const TTextRun& run) {
    CheckTextRun(run);
    std::string text;
    for (char c : run.Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || byte == '"' || byte == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        } else {
            text += c;
        }
    }
    std::string advances;
    for (int32_t advance : run.Advances) {
        advances += (advances.empty() ? "" : ",") + std::to_string(advance);
    }
    std::string line = "Text " + Point(run.Origin) + " \"" + text + "\" [" + advances + "] " + run.Font->FaceName() +
                       "/" + std::to_string(run.Font->Metrics().Height) + " " + Describe(run.Color);
    if (run.Background) {
        line += " on " + Describe(*run.Background);
    }
    Record(std::move(line));
}

void TRecordingCanvas::InvertRect(const TRect& rect) { Record("InvertRect " + Describe(rect)); }

void TRecordingCanvas::InvertPolygon(std::span<const TPoint> points) {
    std::string line = "InvertPolygon";
    for (const TPoint& p : points) {
        line += " " + Point(p);
    }
    Record(std::move(line));
}

void TRecordingCanvas::FillPolygons(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                                    TColorValue color) {
    std::string line = std::string("FillPolygons ") + (winding ? "winding " : "alternate ") + Describe(color);
    size_t start = 0;
    for (const int32_t count : counts) {
        line += " [";
        for (int32_t i = 0; i < count && start < points.size(); ++i, ++start) {
            line += (i > 0 ? " " : "") + Point(points[start]);
        }
        line += "]";
    }
    Record(std::move(line));
}

void TRecordingCanvas::DrawBitmap(const TBitmapView& bitmap, const TRect& source, const TRect& dest) {
    Record("Bitmap " + std::to_string(bitmap.Width) + "x" + std::to_string(bitmap.Height) +
           (bitmap.Order == TPixelOrder::Rgba ? " rgba " : " bgra ") + Describe(source) + " -> " + Describe(dest));
}

void TRecordingCanvas::DrawSurface(TSurface& source, const TRect& sourceRect, TPoint dest) {
    auto* surface = dynamic_cast<TRecordingSurface*>(&source);
    if (surface == nullptr) {
        throw std::invalid_argument("canvas: the surface was not made by this canvas");
    }
    Record("Surface " + surface->Name() + " " + Describe(sourceRect) + " -> " + Point(dest));
}

void TRecordingCanvas::SaveClip() { Record("SaveClip"); }

void TRecordingCanvas::RestoreClip() { Record("RestoreClip"); }

void TRecordingCanvas::IntersectClip(const TRegion& region) {
    std::string line = "IntersectClip";
    for (const TRect& rect : region) {
        line += " " + Describe(rect);
    }
    Record(std::move(line));
}

bool TRecordingCanvas::RectVisible(const TRect& rect) const { return Visible ? Visible(rect) : true; }

std::unique_ptr<TSurface> TRecordingCanvas::CreateSurface(int32_t width, int32_t height) {
    CheckSurfaceSize(width, height);
    const std::string name = "s" + std::to_string(++log_->Surfaces);
    Record("CreateSurface " + name + " " + std::to_string(width) + "x" + std::to_string(height));
    return std::make_unique<TRecordingSurface>(log_, name, width, height, DeviceResolution);
}

}  // namespace quillane::test
