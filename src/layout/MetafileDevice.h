#pragma once
// The device a metafile's records act on, kept as the system's player keeps
// it: the mapping from logical units (world transform, mapping mode, window
// and viewport), the selected pen, brush and font, colours and modes, the
// current position, the clip, a path being recorded, and the stack of saved
// states. Shapes arrive as figures in logical units and leave as canvas
// calls in the canvas's pixels; both players (Windows and enhanced
// metafiles) draw only through it.
//
// Everything the file controls is bounded: coordinates are clamped to the
// canvas's range, curves are cut into at most MaxCurveSegments pieces, the
// saved states, the clip's rectangles and the path are limited, and each
// drawing call is charged to a budget; once it is spent the device draws
// nothing more and the players stop.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "layout/MetafileObjects.h"
#include "layout/MetafileShapes.h"
#include "pictures/Bytes.h"
#include "platform/Canvas.h"

namespace quillane {

class TFontSystem;

// The mean colour of a packed DIB (pattern brushes are drawn in it), or the
// fallback when it does not decode.
TColorValue AverageDibColor(TByteSpan dib, TColorValue fallback);

// An affine map: x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy.
struct TMetaTransform {
    double M11 = 1;
    double M12 = 0;
    double M21 = 0;
    double M22 = 1;
    double Dx = 0;
    double Dy = 0;

    TMetaPoint Apply(TMetaPoint p) const { return {M11 * p.X + M21 * p.Y + Dx, M12 * p.X + M22 * p.Y + Dy}; }
    // this after first
    TMetaTransform After(const TMetaTransform& first) const;
    bool IsUsable() const;
};

// Mapping modes by their numbers in the files.
enum TMetaMapMode : int32_t {
    MetaMapText = 1,
    MetaMapLoMetric = 2,
    MetaMapHiMetric = 3,
    MetaMapLoEnglish = 4,
    MetaMapHiEnglish = 5,
    MetaMapTwips = 6,
    MetaMapIsotropic = 7,
    MetaMapAnisotropic = 8,
};

// Text alignment flags as the files give them.
constexpr uint32_t MetaAlignUpdateCp = 1;
constexpr uint32_t MetaAlignRight = 2;
constexpr uint32_t MetaAlignCenter = 6;
constexpr uint32_t MetaAlignBottom = 8;
constexpr uint32_t MetaAlignBaseline = 24;

// ExtTextOut options.
constexpr uint32_t MetaTextOpaque = 2;
constexpr uint32_t MetaTextClipped = 4;

struct TMetaState {
    int32_t MapMode = MetaMapText;
    TMetaPoint WindowOrg;
    TMetaPoint WindowExt{1, 1};
    TMetaPoint ViewportOrg;
    TMetaPoint ViewportExt{1, 1};
    TMetaTransform World;
    TMetaPen Pen;
    TMetaBrush Brush;
    TMetaFont Font;
    TColorValue TextColor = 0;
    TColorValue BackColor = 0xFFFFFF;
    bool OpaqueBackground = true;
    uint32_t TextAlign = 0;
    bool Winding = false;  // polygon fill mode
    TMetaPoint Position;
    std::optional<TRegion> Clip;  // canvas pixels; none: the picture's rectangle
};

constexpr size_t MaxSavedStates = 256;
constexpr size_t MaxClipRects = 1024;
constexpr size_t MaxPathPoints = 1 << 20;
// What a picture may cost: points drawn and pixel rows filled, roughly.
constexpr uint64_t MetafileWorkBudget = uint64_t{1} << 26;

class TMetafileDevice {
public:
    // Draws on canvas inside dest (the clip is saved and restored around
    // the playing); fonts, when given, makes the fonts for text, else text
    // is left out.
    TMetafileDevice(TCanvas& canvas, TFontSystem* fonts, const TRect& dest);
    ~TMetafileDevice();
    TMetafileDevice(const TMetafileDevice&) = delete;
    TMetafileDevice& operator=(const TMetafileDevice&) = delete;

    // Where the metafile's device units land on the canvas.
    void SetReference(const TMetaTransform& toCanvas) { reference_ = toCanvas; }
    // Windows metafiles: the window is the whole picture, whatever the
    // records say about the viewport; ppmm is the reference device's pixels
    // per millimetre for the fixed mapping modes.
    void SetWindowIsPicture(bool value) { windowIsPicture_ = value; }
    void SetReferencePixelsPerMm(double x, double y);

    TMetaState& State() { return state_; }
    bool Exhausted() const { return spent_ >= MetafileWorkBudget; }
    void Charge(uint64_t work) { spent_ += work; }

    void SaveState();
    // A negative n counts back from the newest saved state, a positive one
    // is an absolute level (enhanced metafiles use both).
    void RestoreState(int32_t n);

    // The whole mapping from logical units to canvas pixels.
    TMetaTransform LogicalToCanvas() const;
    TMetaPoint ToCanvas(TMetaPoint logical) const { return LogicalToCanvas().Apply(logical); }
    // The canvas length of a logical length (for pens and fonts).
    double ScaleX() const;
    double ScaleY() const;
    // Pieces for a curve of the box's size on the canvas.
    int32_t CurveSegments(const TMetaBox& box) const;

    // Drawing with the selected pen and brush; inside a path bracket the
    // figures are added to the path instead.
    void DrawFigures(std::vector<TMetaFigure> figures, bool fill, bool stroke);
    void MoveTo(TMetaPoint p);
    void LineTo(TMetaPoint p);
    void BezierTo(TMetaPoint c1, TMetaPoint c2, TMetaPoint p);
    void SetPixel(TMetaPoint p, TColorValue color);

    void BeginPath();
    void EndPath() { inPath_ = false; }
    void AbortPath();
    void CloseFigure();
    void FillPath(bool stroke);
    void StrokePath();

    // Text in the font's character set at the reference point; advances in
    // logical units, or empty for the font's own widths.
    void DrawText(TMetaPoint reference, std::string_view text, std::span<const int32_t> advances, uint32_t options,
                  const std::optional<TMetaBox>& rect);
    // A packed DIB's source part stretched over the logical box (copy
    // operations only).
    void DrawDib(TByteSpan dib, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, const TMetaBox& dest,
                 uint32_t rop);
    // A box filled by the brush, or black, white or inverted, by the raster
    // operation.
    void PatBlt(const TMetaBox& box, uint32_t rop);

    void IntersectClip(const TMetaBox& box);
    void ExcludeClip(const TMetaBox& box);
    void ResetClip();
    // Rectangles in the metafile's device units (a region's data), in place
    // of the clip or intersected with it.
    void SetClipRegion(std::span<const TMetaBox> rects, bool intersect);
    // The path's bounding box narrows the clip; the path is used up.
    void ClipToPath();
    void OffsetClip(TMetaPoint logical);

private:
    TMetaTransform PageToDevice() const;
    TRect CanvasBox(const TMetaBox& box) const;
    TRect DeviceBox(const TMetaBox& box) const;
    void ApplyClip();
    void Fill(const std::vector<TMetaFigure>& figures);
    void Stroke(const std::vector<TMetaFigure>& figures);
    const TPlatformFont* FontFor(const TMetaFont& font, int32_t pixelHeight);

    TCanvas& canvas_;
    TFontSystem* fonts_;
    TRect dest_;
    TMetaTransform reference_;
    bool windowIsPicture_ = false;
    double ppmmX_ = 96 / 25.4;
    double ppmmY_ = 96 / 25.4;
    TMetaState state_;
    std::vector<TMetaState> saved_;
    bool clipApplied_ = false;
    bool inPath_ = false;
    std::vector<TMetaFigure> path_;
    size_t pathPoints_ = 0;
    uint64_t spent_ = 0;
    struct TCachedFont {
        TFontRequest Request;
        std::unique_ptr<TPlatformFont> Font;
    };
    std::vector<TCachedFont> fontCache_;  // newest last
};

}  // namespace quillane
