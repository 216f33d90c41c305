// Windows metafiles: an optional placeable header, the 18-byte header, then
// records of a 32-bit size in 16-bit words, a function number and the
// parameters, most of them 16-bit and in reverse order of the call's
// arguments. The picture's window (from the records, else the placeable
// header's box, else the picture's extents) fills the rectangle.
#include <algorithm>

#include "layout/MetafileDevice.h"
#include "layout/MetafilePlayer.h"
#include "layout/MetafilePlayers.h"
#include "layout/MetafileRecord.h"
#include "layout/MetafileStrings.h"

namespace quillane {

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr size_t PlaceableSize = 22;
constexpr size_t HeaderSize = 18;

TMetaPoint Point(const TMetaRecord& r, size_t offset) { return TMetaPoint{double(r.I16(offset)), double(r.I16(offset + 2))}; }
// A point stored as y, then x.
TMetaPoint PointYX(const TMetaRecord& r, size_t offset) {
    return TMetaPoint{double(r.I16(offset + 2)), double(r.I16(offset))};
}
// A box stored as bottom, right, top, left.
TMetaBox BoxBRTL(const TMetaRecord& r, size_t offset) {
    return TMetaBox{double(r.I16(offset + 6)), double(r.I16(offset + 4)), double(r.I16(offset + 2)),
                    double(r.I16(offset))};
}

TColorValue Color(const TMetaRecord& r, size_t offset) { return r.U32(offset) & 0xFFFFFF; }

std::vector<TMetaPoint> Points(const TMetaRecord& r, size_t offset, size_t count) {
    count = std::min(count, r.Fit(offset, 4));
    std::vector<TMetaPoint> points;
    points.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        points.push_back(Point(r, offset + 4 * i));
    }
    return points;
}

class TWmfPlayer {
public:
    TWmfPlayer(TMetafileDevice& device, size_t objects) : device_(device), objects_(objects) {}

    void Play(uint16_t function, const TMetaRecord& r);

private:
    void Create(const TMetaObject& object) { objects_.Add(object); }
    void Select(uint16_t index);
    void Text(const TMetaRecord& r, bool extended);
    void Bitmap(const TMetaRecord& r, uint16_t function);

    TMetafileDevice& device_;
    TMetaObjectTable objects_;
};

void TWmfPlayer::Select(uint16_t index) {
    const TMetaObject* object = objects_.Get(index);
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

void TWmfPlayer::Text(const TMetaRecord& r, bool extended) {
    if (!extended) {
        const size_t count = std::min<size_t>(std::max<int16_t>(r.I16(0), 0), r.Fit(2, 1));
        const size_t after = 2 + (count + 1) / 2 * 2;
        const TByteSpan text = r.Span(2, count);
        device_.DrawText(PointYX(r, after), std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
                         {}, 0, std::nullopt);
        return;
    }
    const TMetaPoint at = PointYX(r, 0);
    const size_t count = std::min<size_t>(std::max<int16_t>(r.I16(4), 0), r.Fit(8, 1));
    const uint16_t options = r.U16(6);
    std::optional<TMetaBox> rect;
    size_t offset = 8;
    if ((options & (MetaTextOpaque | MetaTextClipped)) != 0 && r.Holds(8, 8)) {
        rect = TMetaBox{double(r.I16(8)), double(r.I16(10)), double(r.I16(12)), double(r.I16(14))};
        offset = 16;
    }
    const TByteSpan text = r.Span(offset, std::min(count, r.Fit(offset, 1)));
    const size_t dxOffset = offset + (text.size() + 1) / 2 * 2;
    std::vector<int32_t> advances;
    if (r.Fit(dxOffset, 2) >= text.size()) {
        for (size_t i = 0; i < text.size(); ++i) {
            advances.push_back(r.I16(dxOffset + 2 * i));
        }
    }
    device_.DrawText(at, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), advances, options,
                     rect);
}

void TWmfPlayer::Bitmap(const TMetaRecord& r, uint16_t function) {
    const uint32_t rop = r.U32(0);
    switch (function) {
        case 0x0F43: {  // StretchDIBits
            const TMetaPoint at = PointYX(r, 18);
            const TMetaBox dest{at.X, at.Y, at.X + r.I16(16), at.Y + r.I16(14)};
            device_.DrawDib(r.Span(22, r.Size() - std::min<size_t>(r.Size(), 22)), r.I16(12), r.I16(10), r.I16(8),
                            r.I16(6), dest, rop);
            break;
        }
        case 0x0B41:  // DIBStretchBlt
            if (r.Size() <= 20) {
                const TMetaPoint at = PointYX(r, 14);
                device_.PatBlt(TMetaBox{at.X, at.Y, at.X + r.I16(12), at.Y + r.I16(10)}, rop);
            } else {
                const TMetaPoint at = PointYX(r, 16);
                const TMetaBox dest{at.X, at.Y, at.X + r.I16(14), at.Y + r.I16(12)};
                device_.DrawDib(r.Span(20, r.Size() - 20), r.I16(10), r.I16(8), r.I16(6), r.I16(4), dest, rop);
            }
            break;
        case 0x0940:  // DIBBitBlt
            if (r.Size() <= 18) {
                const TMetaPoint at = PointYX(r, 14);
                device_.PatBlt(TMetaBox{at.X, at.Y, at.X + r.I16(12), at.Y + r.I16(10)}, rop);
            } else {
                const TMetaPoint at = PointYX(r, 12);
                const TMetaBox dest{at.X, at.Y, at.X + r.I16(10), at.Y + r.I16(8)};
                device_.DrawDib(r.Span(16, r.Size() - 16), r.I16(6), r.I16(4), r.I16(10), r.I16(8), dest, rop);
            }
            break;
        case 0x0D33: {  // SetDIBitsToDevice
            const TMetaPoint at = PointYX(r, 14);
            const TMetaBox dest{at.X, at.Y, at.X + r.I16(12), at.Y + r.I16(10)};
            device_.DrawDib(r.Span(18, r.Size() - std::min<size_t>(r.Size(), 18)), r.I16(8), r.I16(6), r.I16(12),
                            r.I16(10), dest, 0x00CC0020);
            break;
        }
        default: break;
    }
}

void TWmfPlayer::Play(uint16_t function, const TMetaRecord& r) {
    TMetaState& s = device_.State();
    TMetafileDevice& d = device_;
    switch (function) {
        case 0x0103: s.MapMode = r.I16(0); break;
        case 0x020B: s.WindowOrg = PointYX(r, 0); break;
        case 0x020C: s.WindowExt = PointYX(r, 0); break;
        case 0x020D: s.ViewportOrg = PointYX(r, 0); break;
        case 0x020E: s.ViewportExt = PointYX(r, 0); break;
        case 0x020F: {
            const TMetaPoint by = PointYX(r, 0);
            s.WindowOrg = TMetaPoint{s.WindowOrg.X + by.X, s.WindowOrg.Y + by.Y};
            break;
        }
        case 0x0410:  // ScaleWindowExt: y denominator, y numerator, x denominator, x numerator
            if (r.I16(0) != 0 && r.I16(4) != 0) {
                s.WindowExt = TMetaPoint{s.WindowExt.X * r.I16(6) / r.I16(4), s.WindowExt.Y * r.I16(2) / r.I16(0)};
            }
            break;
        case 0x0201: s.BackColor = Color(r, 0); break;
        case 0x0209: s.TextColor = Color(r, 0); break;
        case 0x0102: s.OpaqueBackground = r.U16(0) == 2; break;
        case 0x0106: s.Winding = r.U16(0) == 2; break;
        case 0x012E: s.TextAlign = r.U16(0); break;
        case 0x001E: d.SaveState(); break;
        case 0x0127: d.RestoreState(r.I16(0)); break;
        case 0x02FA: {  // CreatePenIndirect
            TMetaObject pen = MetaObjectOf(TMetaObject::TKind::Pen);
            const uint16_t style = r.U16(0) & 0x0F;
            pen.Pen.Style = style <= 5 ? static_cast<TMetaPenStyle>(style) : TMetaPenStyle::Solid;
            pen.Pen.Width = r.I16(2) < 0 ? -r.I16(2) : r.I16(2);
            pen.Pen.Color = Color(r, 6);
            Create(pen);
            break;
        }
        case 0x02FC: {  // CreateBrushIndirect
            TMetaObject brush = MetaObjectOf(TMetaObject::TKind::Brush);
            const uint16_t style = r.U16(0);
            brush.Brush.Style = style == 1 ? TMetaBrushStyle::Null
                                : style == 2 ? TMetaBrushStyle::Hatched
                                             : TMetaBrushStyle::Solid;
            brush.Brush.Color = style <= 2 ? Color(r, 2) : 0xC0C0C0;
            Create(brush);
            break;
        }
        case 0x0142: {  // DIBCreatePatternBrush: the pattern's average colour
            TMetaObject brush = MetaObjectOf(TMetaObject::TKind::Brush);
            brush.Brush.Color = AverageDibColor(r.Span(4, r.Size() - std::min<size_t>(r.Size(), 4)), 0xC0C0C0);
            Create(brush);
            break;
        }
        case 0x01F9: {  // CreatePatternBrush (a device-dependent bitmap)
            TMetaObject brush = MetaObjectOf(TMetaObject::TKind::Brush);
            brush.Brush.Color = 0xC0C0C0;
            Create(brush);
            break;
        }
        case 0x02FB: {  // CreateFontIndirect
            TMetaObject font = MetaObjectOf(TMetaObject::TKind::Font);
            font.Font.Height = r.I16(0);
            font.Font.Weight = r.I16(8);
            font.Font.Italic = r.U8(10) != 0;
            font.Font.Underline = r.U8(11) != 0;
            font.Font.StrikeOut = r.U8(12) != 0;
            font.Font.CharSet = r.U8(13);
            font.Font.Face = FaceNameFromBytes(r.Span(18, std::min<size_t>(32, r.Fit(18, 1))));
            Create(font);
            break;
        }
        case 0x00F7:  // CreatePalette
        case 0x06FF:  // CreateRegion
            Create(MetaObjectOf(TMetaObject::TKind::Other));
            break;
        case 0x012D: Select(r.U16(0)); break;
        case 0x01F0: objects_.Delete(r.U16(0)); break;
        case 0x012C: d.ResetClip(); break;  // SelectClipRegion: regions are not kept
        case 0x0416: d.IntersectClip(BoxBRTL(r, 0)); break;
        case 0x0415: d.ExcludeClip(BoxBRTL(r, 0)); break;
        case 0x0220: d.OffsetClip(PointYX(r, 0)); break;
        case 0x0214: d.MoveTo(PointYX(r, 0)); break;
        case 0x0213: d.LineTo(PointYX(r, 0)); break;
        case 0x0325:  // Polyline
        case 0x0324:  // Polygon
            d.DrawFigures({TMetaFigure{Points(r, 2, r.U16(0)), function == 0x0324}}, function == 0x0324,
                          true);
            break;
        case 0x0538: {  // PolyPolygon
            const size_t polygons = std::min<size_t>(r.U16(0), r.Fit(2, 2));
            size_t offset = 2 + 2 * polygons;
            std::vector<TMetaFigure> figures;
            for (size_t i = 0; i < polygons; ++i) {
                const size_t count = r.U16(2 + 2 * i);
                figures.push_back(TMetaFigure{Points(r, offset, count), true});
                offset += 4 * count;
            }
            d.DrawFigures(std::move(figures), true, true);
            break;
        }
        case 0x041B: d.DrawFigures({RectangleFigure(BoxBRTL(r, 0))}, true, true); break;
        case 0x061C: {
            const TMetaBox box = BoxBRTL(r, 4);
            d.DrawFigures({RoundRectFigure(box, r.I16(2), r.I16(0), d.CurveSegments(box))}, true, true);
            break;
        }
        case 0x0418: {
            const TMetaBox box = BoxBRTL(r, 0);
            d.DrawFigures({EllipseFigure(box, d.CurveSegments(box))}, true, true);
            break;
        }
        case 0x0817:  // Arc
        case 0x081A:  // Pie
        case 0x0830: {  // Chord
            const TMetaBox box = BoxBRTL(r, 8);
            const TArcKind kind = function == 0x0817 ? TArcKind::Arc : function == 0x081A ? TArcKind::Pie : TArcKind::Chord;
            d.DrawFigures({ArcFigure(box, PointYX(r, 4), PointYX(r, 0), kind, d.CurveSegments(box))},
                          kind != TArcKind::Arc, true);
            break;
        }
        case 0x041F: d.SetPixel(PointYX(r, 4), Color(r, 0)); break;
        case 0x061D: {  // PatBlt
            const TMetaPoint at = PointYX(r, 8);
            d.PatBlt(TMetaBox{at.X, at.Y, at.X + r.I16(6), at.Y + r.I16(4)}, r.U32(0));
            break;
        }
        case 0x0521: Text(r, false); break;
        case 0x0A32: Text(r, true); break;
        case 0x0F43:
        case 0x0B41:
        case 0x0940:
        case 0x0D33: Bitmap(r, function); break;
        default: break;  // palettes, escapes and the rest change nothing drawn here
    }
}

}  // namespace

bool PlayWindowsMetafile(TMetafileDevice& device, TByteSpan bits, const TMetafileView& view) {
    size_t start = 0;
    TMetaState& state = device.State();
    state.MapMode = view.Mode == MetaMapIsotropic ? MetaMapIsotropic : MetaMapAnisotropic;
    state.WindowExt = TMetaPoint{double(view.XExtent > 0 ? view.XExtent : 1), double(view.YExtent > 0 ? view.YExtent : 1)};
    const TMetaRecord whole(bits);
    if (whole.U32(0) == PlaceableKey) {
        const double left = whole.I16(6);
        const double top = whole.I16(8);
        state.WindowOrg = TMetaPoint{left, top};
        state.WindowExt = TMetaPoint{whole.I16(10) - left, whole.I16(12) - top};
        start = PlaceableSize;
    }
    const TMetaRecord header(bits.subspan(std::min(start, bits.size())));
    const uint16_t type = header.U16(0);
    if (!header.Holds(0, HeaderSize) || (type != 1 && type != 2) || header.U16(2) != 9) {
        return false;
    }
    device.SetWindowIsPicture(true);
    TWmfPlayer player(device, header.U16(10));
    size_t offset = start + HeaderSize;
    for (size_t records = 0; records < MaxMetafileRecords && !device.Exhausted(); ++records) {
        if (bits.size() - offset < 6) {
            break;
        }
        const uint64_t size = uint64_t{ReadLittleEndian32(&bits[offset])} * 2;
        const uint16_t function = ReadLittleEndian16(&bits[offset + 4]);
        if (size < 6 || size > bits.size() - offset || function == 0) {
            break;
        }
        player.Play(function, TMetaRecord(bits.subspan(offset + 6, static_cast<size_t>(size) - 6)));
        device.Charge(1);
        offset += static_cast<size_t>(size);
    }
    return true;
}

}  // namespace quillane
