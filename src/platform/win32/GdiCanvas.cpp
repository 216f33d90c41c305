#include "platform/win32/GdiCanvas.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/CanvasGeometry.h"
#include "platform/win32/GdiSelection.h"
#include "platform/win32/Win32Font.h"

namespace quillane {

namespace {

// ExtTextOut is given runs of at most this many characters; older systems
// refuse longer ones.
constexpr size_t TextChunk = 4096;

// Half the side of the drawing area assumed on a device without a clip box.
constexpr int32_t UnknownExtent = 1 << 20;

RECT ToRect(const TRect& rect) { return RECT{rect.Left, rect.Top, rect.Right, rect.Bottom}; }

int32_t Clamp32(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// A region owned for the scope.
class TRegionHandle {
public:
    explicit TRegionHandle(HRGN region) : region_(region) {}
    ~TRegionHandle() {
        if (region_ != nullptr) {
            DeleteObject(region_);
        }
    }
    TRegionHandle(const TRegionHandle&) = delete;
    TRegionHandle& operator=(const TRegionHandle&) = delete;
    HRGN get() const { return region_; }

private:
    HRGN region_;
};

BITMAPINFO TopDownInfo(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

TGdiCanvas::TGdiCanvas(HDC dc, std::optional<TResolution> resolution) : dc_(dc), resolution_(resolution) {
    if (dc_ == nullptr) {
        throw std::invalid_argument("canvas: no device context");
    }
}

TResolution TGdiCanvas::Resolution() const {
    if (resolution_) {
        return *resolution_;
    }
    const int x = GetDeviceCaps(dc_, LOGPIXELSX);
    const int y = GetDeviceCaps(dc_, LOGPIXELSY);
    return TResolution{x > 0 ? x : 96, y > 0 ? y : 96};
}

TRect TGdiCanvas::ClipBox() const {
    RECT box{};
    switch (GetClipBox(dc_, &box)) {
        case NULLREGION: return TRect{};
        // A device that cannot tell (an old-style metafile): as large as any
        // real page, which bounds the work of a long line.
        case ERROR: return TRect{-UnknownExtent, -UnknownExtent, UnknownExtent, UnknownExtent};
        default: return TRect{box.left, box.top, box.right, box.bottom};
    }
}

// An opaque ExtTextOut without text fills with the background colour and
// needs no brush, on every kind of device.
void TGdiCanvas::FillRect(const TRect& rect, TColorValue color) {
    if (rect.IsEmpty()) {
        return;
    }
    const RECT r = ToRect(rect);
    const COLORREF old = SetBkColor(dc_, color);
    ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc_, old);
}

void TGdiCanvas::DrawLine(TPoint from, TPoint to, const TPen& pen) {
    for (const TRect& rect : LineRects(from, to, pen, ClipBox())) {
        FillRect(rect, pen.Color);
    }
}

void TGdiCanvas::DrawText(const TTextRun& run) {
    CheckTextRun(run);
    const auto* font = dynamic_cast<const TWin32Font*>(run.Font);
    if (font == nullptr) {
        throw std::invalid_argument("canvas: the font was not made by this platform's font system");
    }
    const std::vector<int32_t> offsets = RunOffsets(run);
    if (run.Background) {
        const int64_t x = run.Origin.X;
        FillRect(TRect{Clamp32(x + std::min(0, offsets.back())), run.Origin.Y, Clamp32(x + std::max(0, offsets.back())),
                       Clamp32(static_cast<int64_t>(run.Origin.Y) + font->Metrics().Height)},
                 *run.Background);
    }
    if (run.Text.empty()) {
        return;
    }
    TGdiSelection selected(dc_, font->Handle());
    const UINT oldAlign = SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    const COLORREF oldColor = SetTextColor(dc_, run.Color);
    const int oldMode = SetBkMode(dc_, TRANSPARENT);
    const std::vector<INT> advances(run.Advances.begin(), run.Advances.end());
    for (size_t start = 0; start < run.Text.size(); start += TextChunk) {
        const size_t count = std::min(TextChunk, run.Text.size() - start);
        ExtTextOutA(dc_, Clamp32(static_cast<int64_t>(run.Origin.X) + offsets[start]), run.Origin.Y, 0, nullptr,
                    run.Text.data() + start, static_cast<UINT>(count), advances.data() + start);
    }
    SetBkMode(dc_, oldMode);
    SetTextColor(dc_, oldColor);
    SetTextAlign(dc_, oldAlign);
}

void TGdiCanvas::InvertRect(const TRect& rect) {
    if (!rect.IsEmpty()) {
        PatBlt(dc_, rect.Left, rect.Top, rect.Width(), rect.Height(), DSTINVERT);
    }
}

// Row by row rather than with Polygon, whose edge rule differs from the
// pixel-centre rule the other platform follows.
void TGdiCanvas::InvertPolygon(std::span<const TPoint> points) {
    for (const TRect& rect : PolygonRects(points, ClipBox())) {
        InvertRect(rect);
    }
}

// Row by row too, for the same pixels as the other platform.
void TGdiCanvas::FillPolygons(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                              TColorValue color) {
    for (const TRect& rect : PolyPolygonRects(points, counts, winding, ClipBox())) {
        FillRect(rect, color);
    }
}

bool TGdiCanvas::DrawMetafile(const TMetafileView& metafile, const TRect& dest) {
    if (metafile.Bits == nullptr || metafile.Size == 0 || metafile.Size > 0x7FFFFFFF || !IsDrawable(dest)) {
        return false;
    }
    HENHMETAFILE handle = nullptr;
    const auto size = static_cast<UINT>(metafile.Size);
    if (metafile.Windows) {
        // GDI converts a Windows metafile to an enhanced one from its
        // picture header's mapping mode and extents.
        METAFILEPICT picture{};
        picture.mm = metafile.Mode;
        picture.xExt = metafile.XExtent;
        picture.yExt = metafile.YExtent;
        handle = SetWinMetaFileBits(size, metafile.Bits, dc_, &picture);
    } else {
        handle = SetEnhMetaFileBits(size, metafile.Bits);
    }
    if (handle == nullptr) {
        return false;
    }
    const RECT bounds{dest.Left, dest.Top, dest.Right, dest.Bottom};
    const int saved = SaveDC(dc_);
    const BOOL played = PlayEnhMetaFile(dc_, handle, &bounds);
    RestoreDC(dc_, saved);
    DeleteEnhMetaFile(handle);
    return played != FALSE;
}

void TGdiCanvas::DrawBitmap(const TBitmapView& bitmap, const TRect& source, const TRect& dest) {
    TRect part = source;
    if (!IsDrawable(dest) || !ClampBitmapSource(bitmap, part)) {
        return;
    }
    const TRect landing = BitmapLanding(source, part, dest);
    if (Intersection(landing, ClipBox()).IsEmpty()) {
        return;
    }
    // A top-down copy of just the part: GDI's source offsets count from the
    // bottom row, which a copy avoids having to reason about.
    const size_t width = static_cast<size_t>(part.Width());
    std::vector<uint8_t> pixels(width * 4 * static_cast<size_t>(part.Height()));
    const bool rgba = bitmap.Order == TPixelOrder::Rgba;
    for (int32_t y = 0; y < part.Height(); ++y) {
        const uint8_t* from = bitmap.Pixels + static_cast<size_t>(part.Top + y) * static_cast<size_t>(bitmap.Stride) +
                              static_cast<size_t>(part.Left) * 4;
        uint8_t* to = pixels.data() + static_cast<size_t>(y) * width * 4;
        for (size_t x = 0; x < width; ++x, from += 4, to += 4) {
            to[0] = rgba ? from[2] : from[0];
            to[1] = from[1];
            to[2] = rgba ? from[0] : from[2];
            to[3] = 0;
        }
    }
    const BITMAPINFO info = TopDownInfo(part.Width(), part.Height());
    const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
    StretchDIBits(dc_, landing.Left, landing.Top, landing.Width(), landing.Height(), 0, 0, part.Width(),
                  part.Height(), pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc_, oldMode);
}

void TGdiCanvas::DrawSurface(TSurface& source, const TRect& sourceRect, TPoint dest) {
    auto* surface = dynamic_cast<TGdiSurface*>(&source);
    if (surface == nullptr) {
        throw std::invalid_argument("canvas: the surface was not made by this platform");
    }
    const TRect part = Intersection(sourceRect, TRect{0, 0, surface->Width(), surface->Height()});
    if (part.IsEmpty()) {
        return;
    }
    const int32_t left = Clamp32(static_cast<int64_t>(dest.X) + (part.Left - sourceRect.Left));
    const int32_t top = Clamp32(static_cast<int64_t>(dest.Y) + (part.Top - sourceRect.Top));
    BitBlt(dc_, left, top, part.Width(), part.Height(), surface->Dc(), part.Left, part.Top, SRCCOPY);
}

void TGdiCanvas::SaveClip() {
    if (SaveDC(dc_) != 0) {
        ++savedClips_;
    }
}

void TGdiCanvas::RestoreClip() {
    if (savedClips_ > 0) {
        RestoreDC(dc_, -1);
        --savedClips_;
    }
}

void TGdiCanvas::IntersectClip(const TRegion& region) {
    TRegionHandle combined(CreateRectRgn(0, 0, 0, 0));
    if (combined.get() == nullptr) {
        throw std::runtime_error("GDI: no memory for a clipping region");
    }
    for (const TRect& rect : region) {
        if (rect.IsEmpty()) {
            continue;
        }
        TRegionHandle piece(CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom));
        if (piece.get() == nullptr) {
            throw std::runtime_error("GDI: no memory for a clipping region");
        }
        CombineRgn(combined.get(), combined.get(), piece.get(), RGN_OR);
    }
    ExtSelectClipRgn(dc_, combined.get(), RGN_AND);
}

bool TGdiCanvas::RectVisible(const TRect& rect) const {
    if (rect.IsEmpty()) {
        return false;
    }
    const RECT r = ToRect(rect);
    return ::RectVisible(dc_, &r) != FALSE;
}

std::unique_ptr<TSurface> TGdiCanvas::CreateSurface(int32_t width, int32_t height) {
    return std::make_unique<TGdiSurface>(dc_, width, height, Resolution());
}

TGdiSurface::TGdiSurface(HDC reference, int32_t width, int32_t height, TResolution resolution)
    : width_(width), height_(height) {
    CheckSurfaceSize(width, height);
    dc_ = CreateCompatibleDC(reference);
    if (dc_ == nullptr) {
        throw std::runtime_error("GDI: no memory device context");
    }
    const BITMAPINFO info = TopDownInfo(width, height);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (bitmap_ == nullptr || bits_ == nullptr) {
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        DeleteDC(dc_);
        throw std::runtime_error("GDI: no memory for a bitmap of " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixels");
    }
    previous_ = SelectObject(dc_, bitmap_);
    canvas_ = std::make_unique<TGdiCanvas>(dc_, resolution);
    canvas_->FillRect(TRect{0, 0, width, height}, 0xFFFFFF);
}

TGdiSurface::~TGdiSurface() {
    canvas_.reset();
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

TBitmapView TGdiSurface::Pixels() {
    GdiFlush();  // GDI may still hold drawing calls back
    return TBitmapView{static_cast<const uint8_t*>(bits_), width_, height_, width_ * 4, TPixelOrder::Bgra};
}

std::unique_ptr<TSurface> CreateSurface(int32_t width, int32_t height, TResolution resolution) {
    return std::make_unique<TGdiSurface>(nullptr, width, height, resolution);
}

}  // namespace quillane
