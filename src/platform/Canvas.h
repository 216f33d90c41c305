#pragma once
// The drawing seam: what painting pages, lines, pictures and the ruler asks
// of a device. Every call carries its whole state (colour, pen, font), so
// the core never selects objects into a device or restores them; the only
// state a canvas keeps is its clipping, saved and restored explicitly.
//
// Coordinates are device pixels with the origin at the top-left corner and
// y growing downwards. A rectangle covers the pixels from Left and Top up to,
// but not including, Right and Bottom. Colours are 0x00BBGGRR values.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ColorSystem.h"
#include "platform/FontSystem.h"

namespace quillane {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;

    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }

    friend bool operator==(const TRect&, const TRect&) = default;
};

// The common part of two rectangles (empty when they do not meet).
TRect Intersection(const TRect& a, const TRect& b);

// A set of pixels: the union of its rectangles, which may overlap.
using TRegion = std::vector<TRect>;

struct TResolution {
    int32_t X = 96;  // pixels per inch
    int32_t Y = 96;

    friend bool operator==(const TResolution&, const TResolution&) = default;
};

// Which pixels of a line are drawn: the pixel at coordinate c along the
// line's main axis when bit ((c + Phase) mod Period) of Mask is set. The
// pattern hangs on absolute coordinates, so a line drawn in pieces, or again
// after scrolling with the scroll offset as the phase, keeps its dots where
// they were. Period 0 draws every pixel.
struct TDotPattern {
    uint32_t Mask = 0;
    int32_t Period = 0;  // 0 (solid) or 1 to 32
    int32_t Phase = 0;

    bool IsSolid() const { return Period <= 0 || Period > 32; }
    bool Covers(int32_t coordinate) const;

    friend bool operator==(const TDotPattern&, const TDotPattern&) = default;
};

struct TPen {
    TColorValue Color = 0;
    int32_t Width = 1;  // pixels; at least 1
    TDotPattern Dots;

    friend bool operator==(const TPen&, const TPen&) = default;
};

enum class TPixelOrder {
    Bgra,  // blue at the lowest address (Windows DIBs, cairo on little-endian)
    Rgba,
};

// 32-bit pixels the caller owns, top row first. The fourth byte is ignored:
// bitmaps are drawn opaque.
struct TBitmapView {
    const uint8_t* Pixels = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Stride = 0;  // bytes from one row to the next, at least Width * 4
    TPixelOrder Order = TPixelOrder::Bgra;

    // Usable: pixels given, a size of at least one pixel, rows that hold
    // their pixels.
    bool IsValid() const;
};

// One text run: the byte codes of a font's character set, each placed at the
// advance the layout gave it (character i at Origin.X + the sum of the
// advances before it), so the drawing matches the measurement exactly.
//
// Origin is the top-left corner of the first character cell; the baseline
// lies the font's ascent below it. A font made with underline or strike-out
// is drawn with those lines across the run, as the font engine of Windows
// draws them. With a background, the run's cell box (the sum of the advances
// wide, the font's height high) is filled first.
struct TTextRun {
    const TPlatformFont* Font = nullptr;  // made by this platform's font system
    TPoint Origin;
    std::string_view Text;
    std::span<const int32_t> Advances;  // one per byte of Text
    TColorValue Color = 0;
    std::optional<TColorValue> Background;
};

// The bits of a metafile: enhanced, or a 16-bit Windows metafile with the
// mapping mode and extents (hundredths of a millimetre) of its picture
// header.
struct TMetafileView {
    const uint8_t* Bits = nullptr;
    size_t Size = 0;
    bool Windows = false;
    int32_t Mode = 8;
    int32_t XExtent = 0;
    int32_t YExtent = 0;
};

class TSurface;

class TCanvas {
public:
    TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas() = default;

    // Pixels per inch of the device (the screen's for the screen and for
    // surfaces, the printer's when printing).
    virtual TResolution Resolution() const = 0;

    virtual void FillRect(const TRect& rect, TColorValue color) = 0;
    // A line from `from` towards `to`, `to` itself excluded. A horizontal
    // line is Width pixels thick downwards from its y, a vertical one
    // rightwards from its x; a slanted one is a chain of Width-sized squares,
    // one per step along its longer axis. The pixels are the same on every
    // device.
    virtual void DrawLine(TPoint from, TPoint to, const TPen& pen) = 0;
    // The four sides inside the rectangle, each Width thick.
    virtual void FrameRect(const TRect& rect, const TPen& pen);

    // Throws std::invalid_argument when the run has no font, a font of
    // another platform, or not one advance per byte.
    virtual void DrawText(const TTextRun& run) = 0;

    // Each pixel becomes its complement (white and black swap); twice
    // restores it exactly. Used for selections and bar tabs.
    virtual void InvertRect(const TRect& rect) = 0;
    // The inside of a closed polygon (alternate filling): the pixels whose
    // centres lie inside, a centre on a left or top edge counting as inside;
    // the same pixels on every device. Fewer than 3 points invert nothing.
    virtual void InvertPolygon(std::span<const TPoint> points) = 0;
    // Fills a set of closed polygons with a colour (metafile shapes): the
    // points of polygon i are the next Counts[i] points. Alternate filling
    // or, when `winding`, non-zero winding; pixel centres decide as for
    // InvertPolygon, so the pixels are the same on every device.
    virtual void FillPolygons(std::span<const TPoint> points, std::span<const int32_t> counts, bool winding,
                              TColorValue color) = 0;

    // Copies the source part of the bitmap into the destination rectangle,
    // stretched by nearest-pixel sampling. The source is clamped to the
    // bitmap; an invalid bitmap or an empty rectangle draws nothing.
    virtual void DrawBitmap(const TBitmapView& bitmap, const TRect& source, const TRect& dest) = 0;
    void DrawBitmap(const TBitmapView& bitmap, const TRect& dest) {
        DrawBitmap(bitmap, TRect{0, 0, bitmap.Width, bitmap.Height}, dest);
    }
    // Plays a metafile into the rectangle. False when this device has no
    // player; the caller then shows a placeholder of the picture's size.
    virtual bool DrawMetafile(const TMetafileView& metafile, const TRect& dest) {
        (void)metafile;
        (void)dest;
        return false;
    }
    // Copies a part of a surface made by CreateSurface of this canvas (or by
    // CreateSurface below) unscaled, its top-left corner at dest. Throws
    // std::invalid_argument for a surface of another platform.
    virtual void DrawSurface(TSurface& source, const TRect& sourceRect, TPoint dest) = 0;

    // Clipping: nothing is drawn outside the clip. IntersectClip narrows it
    // to the part inside the region (an empty region clips everything);
    // RestoreClip returns to the clip of the matching SaveClip.
    virtual void SaveClip() = 0;
    virtual void RestoreClip() = 0;
    virtual void IntersectClip(const TRegion& region) = 0;
    void IntersectClip(const TRect& rect) { IntersectClip(TRegion{rect}); }
    // Whether any pixel of the rectangle lies inside the clip and the device.
    virtual bool RectVisible(const TRect& rect) const = 0;

    // An off-screen surface with this device's resolution whose pixels can
    // be copied onto this canvas. Throws std::invalid_argument unless both
    // sides are from 1 to MaxSurfaceSide.
    virtual std::unique_ptr<TSurface> CreateSurface(int32_t width, int32_t height) = 0;
};

constexpr int32_t MaxSurfaceSide = 16384;

// Saves the clip for the life of the scope.
class TClipScope {
public:
    explicit TClipScope(TCanvas& canvas) : canvas_(canvas) { canvas_.SaveClip(); }
    ~TClipScope() { canvas_.RestoreClip(); }
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;

private:
    TCanvas& canvas_;
};

// Off-screen pixels with a canvas to draw on them. A new surface is white.
class TSurface {
public:
    TSurface() = default;
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;
    virtual ~TSurface() = default;

    virtual TCanvas& Canvas() = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    // The pixels drawn so far, Bgra, top row first (the fourth byte is not
    // defined). Valid until the next drawing call.
    virtual TBitmapView Pixels() = 0;
};

// A surface not tied to a device, with the given resolution. Throws as
// TCanvas::CreateSurface does.
std::unique_ptr<TSurface> CreateSurface(int32_t width, int32_t height, TResolution resolution);

// The image file format this platform saves surfaces in: "png" natively,
// "bmp" on Windows.
const char* SurfaceImageExtension();
// Writes the surface's pixels as an image file of that format; throws
// std::runtime_error when the file cannot be written.
void WriteSurfaceImage(TSurface& surface, const std::string& path);

}  // namespace quillane
