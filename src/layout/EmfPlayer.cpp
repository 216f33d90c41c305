// Enhanced metafiles: a header record with the picture's frame (hundredths
// of a millimetre) and the reference device's size in pixels and
// millimetres, then records of a 32-bit type and a 32-bit size. Logical
// units go through the world transform and the mapping mode to the
// reference device, whose frame is stretched over the rectangle.
#include <algorithm>
#include <cmath>

#include "layout/MetafileDevice.h"
#include "layout/MetafilePlayer.h"
#include "layout/MetafilePlayers.h"
#include "layout/MetafileRecord.h"
#include "layout/MetafileStrings.h"

namespace quillane {

namespace {

constexpr uint32_t EmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t StockObject = 0x80000000;

TMetaPoint Point32(const TMetaRecord& r, size_t offset) { return {double(r.I32(offset)), double(r.I32(offset + 4))}; }
TMetaBox Box32(const TMetaRecord& r, size_t offset) {
    return {double(r.I32(offset)), double(r.I32(offset + 4)), double(r.I32(offset + 8)), double(r.I32(offset + 12))};
}
TColorValue Color(const TMetaRecord& r, size_t offset) { return r.U32(offset) & 0xFFFFFF; }

std::vector<TMetaPoint> Points(const TMetaRecord& r, size_t offset, size_t count, bool small) {
    const size_t size = small ? 4 : 8;
    count = std::min(count, r.Fit(offset, size));
    std::vector<TMetaPoint> points;
    points.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = offset + size * i;
        points.push_back(small ? TMetaPoint{double(r.I16(at)), double(r.I16(at + 2))} : Point32(r, at));
    }
    return points;
}

TMetaObject StockObjectOf(uint32_t index) {
    TMetaObject object;
    const auto brush = [&](TMetaBrushStyle style, TColorValue color) {
        object.Kind = TMetaObject::TKind::Brush;
        object.Brush = TMetaBrush{style, color};
    };
    const auto pen = [&](TMetaPenStyle style, TColorValue color) {
        object.Kind = TMetaObject::TKind::Pen;
        object.Pen = TMetaPen{style, 0, color};
    };
    switch (index) {
        case 0: brush(TMetaBrushStyle::Solid, 0xFFFFFF); break;
        case 1: brush(TMetaBrushStyle::Solid, 0xC0C0C0); break;
        case 2: brush(TMetaBrushStyle::Solid, 0x808080); break;
        case 3: brush(TMetaBrushStyle::Solid, 0x404040); break;
        case 4: brush(TMetaBrushStyle::Solid, 0x000000); break;
        case 5: brush(TMetaBrushStyle::Null, 0); break;
        case 6: pen(TMetaPenStyle::Solid, 0xFFFFFF); break;
        case 7: pen(TMetaPenStyle::Solid, 0x000000); break;
        case 8: pen(TMetaPenStyle::Null, 0); break;
        case 18: brush(TMetaBrushStyle::Solid, 0xFFFFFF); break;
        case 19: pen(TMetaPenStyle::Solid, 0x000000); break;
        default:
            if (index >= 10 && index <= 17) {
                object.Kind = TMetaObject::TKind::Font;
            }
            break;
    }
    return object;
}

class TEmfPlayer {
public:
    TEmfPlayer(TMetafileDevice& device, size_t objects) : device_(device), objects_(objects) {}

    void Play(uint32_t type, const TMetaRecord& r);

private:
    void Select(uint32_t index);
    void Poly(uint32_t type, const TMetaRecord& r, bool small);
    void PolyPoly(uint32_t type, const TMetaRecord& r, bool small);
    void Text(const TMetaRecord& r, bool wide);
    // A DIB whose header and bits the record holds at two offsets.
    TBytes Dib(const TMetaRecord& r, size_t headerAt) const;
    void Font(const TMetaRecord& r);

    TMetafileDevice& device_;
    TMetaObjectTable objects_;
};

void TEmfPlayer::Select(uint32_t index) {
    const TMetaObject stock = (index & StockObject) != 0 ? StockObjectOf(index & ~StockObject) : TMetaObject{};
    const TMetaObject* object = (index & StockObject) != 0 ? &stock : objects_.Get(index);
    if (object == nullptr) {
        return;
    }
    TMetaState& s = device_.State();
    switch (object->Kind) {
        case TMetaObject::TKind::Pen: s.Pen = object->Pen; break;
        case TMetaObject::TKind::Brush: s.Brush = object->Brush; break;
        case TMetaObject::TKind::Font: s.Font = object->Font; break;
        default: break;
    }
}

void TEmfPlayer::Poly(uint32_t type, const TMetaRecord& r, bool small) {
    std::vector<TMetaPoint> points = Points(r, 28, r.U32(24), small);
    TMetafileDevice& d = device_;
    const uint32_t kind = small ? type - 83 : type;  // the 16-bit records follow in the same order
    switch (kind) {
        case 2:  // PolyBezier
            if (!points.empty()) {
                std::vector<TMetaPoint> flat{points[0]};
                for (size_t i = 1; i + 2 < points.size(); i += 3) {
                    TMetaBox box{points[i - 1].X, points[i - 1].Y, points[i + 2].X, points[i + 2].Y};
                    AppendBezier(flat, points[i - 1], points[i], points[i + 1], points[i + 2],
                                 std::max(1, d.CurveSegments(box) / 4));
                }
                d.DrawFigures({TMetaFigure{std::move(flat), false}}, false, true);
            }
            break;
        case 3: d.DrawFigures({TMetaFigure{std::move(points), true}}, true, true); break;
        case 4: d.DrawFigures({TMetaFigure{std::move(points), false}}, false, true); break;
        case 5:  // PolyBezierTo
            for (size_t i = 0; i + 2 < points.size(); i += 3) {
                d.BezierTo(points[i], points[i + 1], points[i + 2]);
            }
            break;
        case 6:  // PolylineTo
            for (const TMetaPoint& p : points) {
                d.LineTo(p);
            }
            break;
        default: break;
    }
}

void TEmfPlayer::PolyPoly(uint32_t type, const TMetaRecord& r, bool small) {
    const size_t polygons = std::min<size_t>(r.U32(24), r.Fit(32, 4));
    size_t offset = 32 + 4 * polygons;
    const size_t pointSize = small ? 4 : 8;
    std::vector<TMetaFigure> figures;
    const bool filled = (small ? type - 83 : type) == 8;
    for (size_t i = 0; i < polygons; ++i) {
        const size_t count = std::min<size_t>(r.U32(32 + 4 * i), r.Fit(offset, pointSize));
        figures.push_back(TMetaFigure{Points(r, offset, count, small), filled});
        offset += pointSize * count;
    }
    device_.DrawFigures(std::move(figures), filled, true);
}

void TEmfPlayer::Text(const TMetaRecord& r, bool wide) {
    const TMetaPoint at = Point32(r, 36);
    const size_t count = r.U32(44);
    const size_t stringAt = r.U32(48);
    const uint32_t options = r.U32(52);
    const TMetaBox box = Box32(r, 56);
    const size_t dxAt = r.U32(72);
    const size_t unit = wide ? 2 : 1;
    const TByteSpan bytes = r.Span(stringAt, std::min(count, r.Fit(stringAt, unit)) * unit);
    const std::string text =
        wide ? TextForCharSet(bytes, device_.State().Font.CharSet)
             : std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // With ETO_PDY the advances come in x, y pairs.
    const size_t step = (options & 0x2000) != 0 ? 8 : 4;
    std::vector<int32_t> advances;
    if (dxAt != 0 && r.Fit(dxAt, step) >= text.size()) {
        for (size_t i = 0; i < text.size(); ++i) {
            advances.push_back(r.I32(dxAt + step * i));
        }
    }
    std::optional<TMetaBox> rect;
    if ((options & (MetaTextOpaque | MetaTextClipped)) != 0) {
        rect = box;
    }
    device_.DrawText(at, text, advances, options, rect);
}

TBytes TEmfPlayer::Dib(const TMetaRecord& r, size_t headerAt) const {
    const TByteSpan header = r.Span(r.U32(headerAt), r.U32(headerAt + 4));
    const TByteSpan bits = r.Span(r.U32(headerAt + 8), r.U32(headerAt + 12));
    if (header.empty()) {
        return {};
    }
    TBytes dib(header.begin(), header.end());
    dib.insert(dib.end(), bits.begin(), bits.end());
    return dib;
}

void TEmfPlayer::Font(const TMetaRecord& r) {
    TMetaObject font = MetaObjectOf(TMetaObject::TKind::Font);
    font.Font.Height = r.I32(12);
    font.Font.Weight = r.I32(28);
    font.Font.Italic = r.U8(32) != 0;
    font.Font.Underline = r.U8(33) != 0;
    font.Font.StrikeOut = r.U8(34) != 0;
    font.Font.CharSet = r.U8(35);
    font.Font.Face = FaceNameFromUtf16(r.Span(40, std::min<size_t>(64, r.Fit(40, 1))));
    objects_.Put(r.U32(8), font);
}

void TEmfPlayer::Play(uint32_t type, const TMetaRecord& r) {
    TMetaState& s = device_.State();
    TMetafileDevice& d = device_;
    switch (type) {
        case 2: case 3: case 4: case 5: case 6: Poly(type, r, false); break;
        case 85: case 86: case 87: case 88: case 89: Poly(type, r, true); break;
        case 7: case 8: PolyPoly(type, r, false); break;
        case 90: case 91: PolyPoly(type, r, true); break;
        case 9: s.WindowExt = Point32(r, 8); break;
        case 10: s.WindowOrg = Point32(r, 8); break;
        case 11: s.ViewportExt = Point32(r, 8); break;
        case 12: s.ViewportOrg = Point32(r, 8); break;
        case 31:  // ScaleViewportExtEx: x numerator, x denominator, y numerator, y denominator
        case 32: {
            if (r.I32(12) != 0 && r.I32(20) != 0) {
                TMetaPoint& ext = type == 31 ? s.ViewportExt : s.WindowExt;
                ext = TMetaPoint{ext.X * r.I32(8) / r.I32(12), ext.Y * r.I32(16) / r.I32(20)};
            }
            break;
        }
        case 17: s.MapMode = r.I32(8); break;
        case 18: s.OpaqueBackground = r.U32(8) == 2; break;
        case 19: s.Winding = r.U32(8) == 2; break;
        case 22: s.TextAlign = r.U32(8); break;
        case 24: s.TextColor = Color(r, 8); break;
        case 25: s.BackColor = Color(r, 8); break;
        case 26: d.OffsetClip(Point32(r, 8)); break;
        case 27: d.MoveTo(Point32(r, 8)); break;
        case 29: d.ExcludeClip(Box32(r, 8)); break;
        case 30: d.IntersectClip(Box32(r, 8)); break;
        case 33: d.SaveState(); break;
        case 34: d.RestoreState(r.I32(8)); break;
        case 35:  // SetWorldTransform
        case 36: {  // ModifyWorldTransform
            const TMetaTransform given{r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28)};
            const uint32_t mode = type == 35 ? 4 : r.U32(32);
            TMetaTransform next = s.World;
            switch (mode) {
                case 1: next = TMetaTransform{}; break;
                case 2: next = s.World.After(given); break;
                case 3: next = given.After(s.World); break;
                case 4: next = given; break;
                default: break;
            }
            if (next.IsUsable()) {
                s.World = next;
            }
            break;
        }
        case 37: Select(r.U32(8)); break;
        case 38: {  // CreatePen
            TMetaObject pen = MetaObjectOf(TMetaObject::TKind::Pen);
            const uint32_t style = r.U32(12) & 0x0F;
            pen.Pen.Style = style <= 5 ? static_cast<TMetaPenStyle>(style) : TMetaPenStyle::Solid;
            pen.Pen.Width = std::abs(static_cast<double>(r.I32(16)));
            pen.Pen.Color = Color(r, 24);
            objects_.Put(r.U32(8), pen);
            break;
        }
        case 95: {  // ExtCreatePen
            TMetaObject pen = MetaObjectOf(TMetaObject::TKind::Pen);
            const uint32_t style = r.U32(28);
            const bool geometric = (style & 0x00010000) != 0;
            pen.Pen.Style = (style & 0x0F) <= 5 ? static_cast<TMetaPenStyle>(style & 0x0F) : TMetaPenStyle::Solid;
            if (r.U32(36) == 1) {  // a hollow brush draws nothing
                pen.Pen.Style = TMetaPenStyle::Null;
            }
            pen.Pen.Width = geometric ? static_cast<double>(std::min<uint32_t>(r.U32(32), 1u << 24)) : 0;
            pen.Pen.Color = Color(r, 40);
            objects_.Put(r.U32(8), pen);
            break;
        }
        case 39: {  // CreateBrushIndirect
            TMetaObject brush = MetaObjectOf(TMetaObject::TKind::Brush);
            const uint32_t style = r.U32(12);
            brush.Brush.Style = style == 1 ? TMetaBrushStyle::Null
                                : style == 2 ? TMetaBrushStyle::Hatched
                                             : TMetaBrushStyle::Solid;
            brush.Brush.Color = Color(r, 16);
            objects_.Put(r.U32(8), brush);
            break;
        }
        case 93:  // CreateMonoBrush
        case 94: {  // CreateDIBPatternBrushPt
            TMetaObject brush = MetaObjectOf(TMetaObject::TKind::Brush);
            brush.Brush.Color = AverageDibColor(Dib(r, 16), 0xC0C0C0);
            objects_.Put(r.U32(8), brush);
            break;
        }
        case 82: Font(r); break;
        case 49: objects_.Put(r.U32(8), MetaObjectOf(TMetaObject::TKind::Other)); break;  // CreatePalette
        case 40: objects_.Delete(r.U32(8)); break;
        case 42: {
            const TMetaBox box = Box32(r, 8);
            d.DrawFigures({EllipseFigure(box, d.CurveSegments(box))}, true, true);
            break;
        }
        case 43: d.DrawFigures({RectangleFigure(Box32(r, 8))}, true, true); break;
        case 44: {
            const TMetaBox box = Box32(r, 8);
            d.DrawFigures({RoundRectFigure(box, r.I32(24), r.I32(28), d.CurveSegments(box))}, true, true);
            break;
        }
        case 45:  // Arc
        case 46:  // Chord
        case 47:  // Pie
        case 55: {  // ArcTo
            const TMetaBox box = Box32(r, 8);
            const TArcKind kind = type == 46 ? TArcKind::Chord : type == 47 ? TArcKind::Pie : TArcKind::Arc;
            TMetaFigure figure = ArcFigure(box, Point32(r, 24), Point32(r, 32), kind, d.CurveSegments(box));
            if (type == 55) {
                for (const TMetaPoint& p : figure.Points) {
                    d.LineTo(p);
                }
            } else {
                d.DrawFigures({std::move(figure)}, kind != TArcKind::Arc, true);
            }
            break;
        }
        case 54: d.LineTo(Point32(r, 8)); break;
        case 59: d.BeginPath(); break;
        case 60: d.EndPath(); break;
        case 61: d.CloseFigure(); break;
        case 62: d.FillPath(false); break;
        case 63: d.FillPath(true); break;
        case 64: d.StrokePath(); break;
        case 68: d.AbortPath(); break;
        case 67: d.ClipToPath(); break;  // SelectClipPath
        case 75: {  // ExtSelectClipRgn
            const uint32_t size = r.U32(8);
            const uint32_t mode = r.U32(12);
            if (mode == 5 && size == 0) {
                d.ResetClip();
            } else if (mode == 5 || mode == 1) {
                const size_t count = std::min<size_t>(r.U32(24), r.Fit(48, 16));
                std::vector<TMetaBox> rects;
                for (size_t i = 0; i < count && i < MaxClipRects; ++i) {
                    const TMetaBox b = Box32(r, 48 + 16 * i);
                    rects.push_back(b);
                }
                d.SetClipRegion(rects, mode == 1);
            }
            break;
        }
        case 76:  // BitBlt
        case 77:  // StretchBlt
        case 114: {  // AlphaBlend, drawn opaque
            const TMetaPoint at = Point32(r, 24);
            const TMetaBox dest{at.X, at.Y, at.X + r.I32(32), at.Y + r.I32(36)};
            const TBytes dib = Dib(r, 84);
            if (dib.empty()) {
                d.PatBlt(dest, r.U32(40));
            } else {
                const bool stretched = type != 76;
                d.DrawDib(dib, r.I32(44), r.I32(48), stretched ? r.I32(100) : r.I32(32),
                          stretched ? r.I32(104) : r.I32(36), dest, type == 114 ? 0x00CC0020 : r.U32(40));
            }
            break;
        }
        case 80: {  // SetDIBitsToDevice
            const TMetaPoint at = Point32(r, 24);
            const TMetaBox dest{at.X, at.Y, at.X + r.I32(40), at.Y + r.I32(44)};
            d.DrawDib(Dib(r, 48), r.I32(32), r.I32(36), r.I32(40), r.I32(44), dest, 0x00CC0020);
            break;
        }
        case 81: {  // StretchDIBits
            const TMetaPoint at = Point32(r, 24);
            const TMetaBox dest{at.X, at.Y, at.X + r.I32(72), at.Y + r.I32(76)};
            d.DrawDib(Dib(r, 48), r.I32(32), r.I32(36), r.I32(40), r.I32(44), dest, r.U32(68));
            break;
        }
        case 83: Text(r, false); break;
        case 84: Text(r, true); break;
        default: break;  // comments, palettes, colour management and the rest
    }
}

}  // namespace

bool PlayEnhancedMetafile(TMetafileDevice& device, TByteSpan bits, const TRect& dest) {
    const TMetaRecord header(bits);
    if (header.U32(0) != 1 || header.U32(40) != EmfSignature || header.U32(4) < 88 || header.U32(4) > bits.size()) {
        return false;
    }
    // Reference pixels per millimetre, and the frame in reference pixels.
    const double mmX = header.I32(80);
    const double mmY = header.I32(84);
    const double ppmmX = mmX > 0 && header.I32(72) > 0 ? header.I32(72) / mmX : 96 / 25.4;
    const double ppmmY = mmY > 0 && header.I32(76) > 0 ? header.I32(76) / mmY : 96 / 25.4;
    device.SetReferencePixelsPerMm(ppmmX, ppmmY);
    TMetaBox frame = Box32(header, 24);
    frame = TMetaBox{frame.Left * ppmmX / 100, frame.Top * ppmmY / 100, frame.Right * ppmmX / 100,
                     frame.Bottom * ppmmY / 100};
    if (!(frame.Right - frame.Left > 0.5) || !(frame.Bottom - frame.Top > 0.5)) {
        const TMetaBox bounds = Box32(header, 8);  // inclusive reference pixels
        frame = TMetaBox{bounds.Left, bounds.Top, bounds.Right + 1, bounds.Bottom + 1};
    }
    const double width = frame.Right - frame.Left;
    const double height = frame.Bottom - frame.Top;
    if (!(width > 0) || !(height > 0)) {
        return false;
    }
    const double sx = dest.Width() / width;
    const double sy = dest.Height() / height;
    device.SetReference(TMetaTransform{sx, 0, 0, sy, dest.Left - frame.Left * sx, dest.Top - frame.Top * sy});
    TEmfPlayer player(device, header.U16(56));
    size_t offset = header.U32(4);
    for (size_t records = 0; records < MaxMetafileRecords && !device.Exhausted(); ++records) {
        if (bits.size() - offset < 8) {
            break;
        }
        const uint32_t type = ReadLittleEndian32(&bits[offset]);
        const uint32_t size = ReadLittleEndian32(&bits[offset + 4]);
        if (size < 8 || size > bits.size() - offset || type == 14) {
            break;
        }
        player.Play(type, TMetaRecord(bits.subspan(offset, size)));
        device.Charge(1);
        offset += size;
    }
    return true;
}

}  // namespace quillane
