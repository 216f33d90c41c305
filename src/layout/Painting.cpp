#include "layout/Painting.h"

#include <algorithm>
#include <string>
#include <vector>

#include "layout/LayoutScale.h"
#include "layout/LineGeometry.h"
#include "layout/LineLayout.h"
#include "model/ColorManager.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/FontSelection.h"
#include "model/Page.h"
#include "model/ParLine.h"
#include "model/Paragraph.h"
#include "model/TabTable.h"
#include "model/TextColors.h"
#include "model/TextStream.h"
#include "model/Units.h"

namespace quillane {

namespace {

constexpr uint8_t Pilcrow = 182;
constexpr uint8_t MiddleDot = 183;
constexpr uint8_t DegreeSign = 176;
constexpr uint8_t EnDash = 150;
constexpr uint8_t EmDash = 151;
constexpr int32_t MaxLeaderCount = 4096;

int32_t Zoomed(int32_t pixels, int32_t zoom) { return MulDivRound(pixels, zoom, 100); }

// What a position looks like: special characters replaced by the character
// that stands for them; 0 for positions drawn otherwise.
uint8_t DisplayChar(uint8_t code, bool symbols) {
    switch (code) {
        case spParagraphEnd: return symbols ? Pilcrow : 0;
        case ' ': return symbols ? MiddleDot : ' ';
        case spNonbreakingSpace: return symbols ? DegreeSign : ' ';
        case spNonbreakingHyphen: return symbols ? EnDash : '-';
        case spLongDash: return EmDash;
        case spShortDash: return EnDash;
        case spOptionalHyphen: return '-';
        case spLineBreak:
        case spPageBreak:
        case spTab:
        case spPicture:
        case spObject: return 0;
        default: return code;
    }
}

TDotPattern GuideDots(int32_t scroll) {
    // The first and third pixel of every five, fixed to the page as it
    // scrolls.
    return TDotPattern{0x5u, 5, ((scroll % 5) + 5) % 5};
}

}  // namespace

TPainter::TPainter(TFontManager& fonts, TKerningPairsManager& kerning, TLineLayout& layout,
                   const TColorManager& colors, int32_t ppi)
    : fonts_(fonts), kerning_(kerning), layout_(layout), colors_(colors), ppi_(ppi) {}

TPainter::~TPainter() = default;

// One walk over a line's part of the text stream, drawing runs of equal
// attributes with one text call each.
class TPainter::TLineWalk {
public:
    TLineWalk(TPainter& painter, TCanvas& canvas, TParLine& line, int32_t x, int32_t y, int32_t height,
              const TPaintContext& context)
        : painter_(painter), canvas_(canvas), line_(line), paragraph_(*line.Paragraph),
          document_(paragraph_.Document()), context_(context), zoom_(std::clamp(context.Zoom, 10, 500)),
          zoomedPpi_(ZoomedPpi(painter.ppi_, zoom_)), selection_(painter.fonts_, painter.kerning_, painter.ppi_, zoom_),
          symbols_(context.SpecialSymbols && !context.Device), y_(y), height_(height) {
        marginX_ = x + TwipsToPixels(document_.PageSettings().LeftMargin, zoomedPpi_);
        const int32_t count = line.PositionCount;
        painter.layout_.UpdateDisplayWidths(line, zoom_);
        const auto* widths = reinterpret_cast<const int32_t*>(line.DisplayWidths.Data());
        xs_.resize(static_cast<size_t>(count) + 1);
        xs_[0] = MulDivRound(line.X(0), zoom_, 800);
        for (int32_t k = 0; k < count; ++k) {
            xs_[static_cast<size_t>(k) + 1] = xs_[static_cast<size_t>(k)] + widths[k];
        }
        widths_.assign(widths, widths + count);
        chars_.resize(static_cast<size_t>(count));
        for (int32_t k = 0; k < count; ++k) {
            chars_[static_cast<size_t>(k)] = static_cast<char>(DisplayChar(line.Code(k), symbols_));
        }
        const int32_t spaceBefore =
            line.FirstPosition == 0 ? TwipsToPixels(std::max(paragraph_.Attributes[paSpaceBefore], 0), painter.ppi_) : 0;
        baseline_ = y + Zoomed(spaceBefore + line.Ascent, zoom_);
        attrs_ = paragraph_.DecodeSnapshot(line.SnapshotOffset);
        SetColor();
    }

    void Walk() {
        if (symbols_ && line_.FirstPosition == 0) {
            DrawParagraphMarkers();
        }
        const uint8_t* text = paragraph_.Text.Data();
        const int32_t end = std::min(line_.StartOffset + line_.ByteLength, paragraph_.Text.Length());
        int32_t o = line_.StartOffset;
        while (o < end && k_ < line_.PositionCount) {
            if (text[o] != 0) {
                ++k_;
                ++o;
                continue;
            }
            if (end - o < TagSize) {
                break;
            }
            const TTag tag = ReadTag(text + o);
            const int32_t tagOffset = o;
            o += TagSize;
            if (IsAttributeKind(tag.Kind)) {
                Attribute(tag.Kind, tag.Value);
                continue;
            }
            if (!OccupiesPosition(tag.Kind)) {
                continue;
            }
            if (tag.Kind != tkSpecial) {
                DrawRun();
                DrawObject(tag.Kind, tag.Value);
                Skip();
                continue;
            }
            Special(static_cast<uint8_t>(tag.Value), text[tagOffset + 2]);
        }
        DrawRun();
        DrawBarTabs();
        if (!context_.Device) {
            DrawSelection();
            if (context_.MarginGuides) {
                DrawGuides();
            }
        }
    }

private:
    void SetColor() {
        const int32_t index = attrs_[caColor];
        color_ = index > 0 && index < TextColorCount ? ColorValue(index) : painter_.colors_.Color(ceAutoText);
    }

    void Attribute(int slot, int32_t value) {
        switch (slot) {
            case caColor:
                DrawRun();
                attrs_[slot] = value;
                SetColor();
                break;
            case caHighlight:
            case caExpansion:
            case caKerning:
            case caLanguage:
                attrs_[slot] = value;
                break;
            default:
                DrawRun();
                attrs_[slot] = value;
                fontPending_ = true;
                break;
        }
    }

    void Special(uint8_t code, uint8_t aux) {
        switch (code) {
            case spParagraphEnd:
                if (symbols_) {
                    ++k_;  // drawn as the pilcrow with the run
                } else {
                    DrawRun();
                    Skip();
                }
                break;
            case spNonbreakingSpace:
            case spNonbreakingHyphen:
            case spLongDash:
            case spShortDash:
                ++k_;
                break;
            case spOptionalHyphen:
                if (widths_[static_cast<size_t>(k_)] > 0) {
                    ++k_;  // at a line end: a hyphen
                } else {
                    DrawRun();
                    if (symbols_) {
                        DrawOptionalHyphenMark();
                    }
                    Skip();
                }
                break;
            case spLineBreak:
                DrawRun();
                if (symbols_) {
                    DrawLineBreakMark();
                }
                Skip();
                break;
            case spPageBreak:
                DrawRun();
                if (symbols_) {
                    DrawPageBreakLabel();
                }
                Skip();
                break;
            case spTab:
                DrawRun();
                if (symbols_) {
                    DrawTabArrow();
                }
                DrawLeader(aux);
                Skip();
                break;
            default:
                DrawRun();
                Skip();
                break;
        }
    }

    void Skip() {
        ++k_;
        runStart_ = k_;
    }

    const TSharedFont& Font() {
        if (fontPending_ || font_ == nullptr) {
            TCharAttrs a = attrs_;
            const auto fontCount = static_cast<int32_t>(painter_.fonts_.Registry().size());
            if (a[caFont] < 0 || a[caFont] >= fontCount) {
                a[caFont] = std::clamp(document_.DefaultCharAttrs[caFont], 0, std::max(fontCount - 1, 0));
            }
            a[caSize] = std::clamp(a[caSize], 1, 32767);
            font_ = &selection_.SelectFontForAttributes(a, sfZoomed | sfScripts | sfSelect);
            fontPending_ = false;
        }
        return *font_;
    }

    // Where a run is drawn: its top from the baseline, the vertical offset
    // and the script position.
    int32_t RunTop(const TSharedFont& font) const {
        const int32_t offset = PointsToPixels(int32_t{line_.Raise} - attrs_[caOffset], zoomedPpi_);
        const int32_t baseline = baseline_ + offset;
        switch (attrs_[caVerticalPosition]) {
            case 1:
                return baseline - MulDivRound(font.Ascent, 100, 65);
            case 2:
                return baseline + MulDivRound(font.Descent, 100, 65) - font.Ascent - font.Descent;
            default:
                return baseline - font.Ascent;
        }
    }

    void DrawRun() {
        if (k_ <= runStart_) {
            runStart_ = k_;
            return;
        }
        const TSharedFont& font = Font();
        TTextRun run;
        run.Font = font.Font.get();
        run.Origin = TPoint{marginX_ + xs_[static_cast<size_t>(runStart_)], RunTop(font)};
        run.Text = std::string_view(chars_.data() + runStart_, static_cast<size_t>(k_ - runStart_));
        run.Advances = std::span<const int32_t>(widths_.data() + runStart_, static_cast<size_t>(k_ - runStart_));
        run.Color = color_;
        canvas_.DrawText(run);
        runStart_ = k_;
    }

    int32_t Left(int32_t k) const { return marginX_ + xs_[static_cast<size_t>(k)]; }
    int32_t Width(int32_t k) const { return xs_[static_cast<size_t>(k) + 1] - xs_[static_cast<size_t>(k)]; }
    TColorValue Symbol() const { return painter_.colors_.Color(ceSpecialSymbol); }
    int32_t Z(int32_t pixels) const { return std::max(1, Zoomed(pixels, zoom_)); }

    void DrawLeader(uint8_t aux) {
        static const char leaders[] = {0, '.', '-', '_'};
        const uint32_t leader = aux >> 4;
        if (leader == 0 || leader > 3) {
            return;
        }
        const TSharedFont& font = Font();
        const char c = leaders[leader];
        const int32_t charWidth = font.Widths[static_cast<uint8_t>(c)];
        const int32_t width = Width(k_);
        if (charWidth <= 0 || width < charWidth) {
            return;
        }
        const int32_t count = std::min(width / charWidth, MaxLeaderCount);
        const int32_t spare = width - count * charWidth;
        const int32_t start = Left(k_) + ((aux & 0xF) == tkCentred ? spare / 2 : spare);
        const std::string dots(static_cast<size_t>(count), c);
        const std::vector<int32_t> advances(static_cast<size_t>(count), charWidth);
        TTextRun run;
        run.Font = font.Font.get();
        run.Origin = TPoint{start, baseline_ - font.Ascent};
        run.Text = dots;
        run.Advances = advances;
        run.Color = color_;
        canvas_.DrawText(run);
    }

    void DrawObject(uint8_t kind, int32_t id) {
        const int32_t width = Width(k_);
        int32_t height = 0;
        TObjectExtent extent;
        if (const TObjectExtents* objects = document_.ObjectExtents(); objects != nullptr && objects->Extent(kind, id, extent)) {
            height = TLayoutScale::Zoomed(zoom_, painter_.ppi_).ObjectExtent(extent.Height, extent.ScaleY);
        }
        const int32_t bottom = baseline_ + PointsToPixels(int32_t{line_.Raise} - attrs_[caOffset], zoomedPpi_);
        const TRect rect{Left(k_), bottom - height, Left(k_) + width, bottom};
        if (context_.Objects != nullptr && !rect.IsEmpty()) {
            context_.Objects->DrawObject(canvas_, kind, id, rect, context_.Device);
        }
    }

    void DrawTabArrow() {
        const int32_t w = Z(10);
        const int32_t h = Z(5);
        const int32_t left = Left(k_) + (Width(k_) - w) / 2;
        const int32_t middle = baseline_ - Zoomed(line_.TextAscent, zoom_) / 2;
        const TPen pen{Symbol(), 1, {}};
        canvas_.DrawLine({left, middle}, {left + w, middle}, pen);
        canvas_.DrawLine({left + w - h / 2 - 1, middle - h / 2}, {left + w, middle + 1}, pen);
        canvas_.DrawLine({left + w - h / 2 - 1, middle + h / 2}, {left + w, middle - 1}, pen);
    }

    void DrawLineBreakMark() {
        const int32_t box = Z(11);
        const int32_t left = Left(k_) + (Width(k_) - box) / 2;
        const int32_t bottom = baseline_ - 1;
        const int32_t top = bottom - Z(7) + 1;
        const TPen pen{Symbol(), 1, {}};
        canvas_.DrawLine({left + box - 2, top}, {left + box - 2, bottom}, pen);  // the hook
        canvas_.DrawLine({left + 1, bottom}, {left + box - 1, bottom}, pen);     // the shaft
        canvas_.DrawLine({left + 1, bottom}, {left + 4, bottom - 3}, pen);       // the head
        canvas_.DrawLine({left + 1, bottom}, {left + 4, bottom + 3}, pen);
    }

    void DrawOptionalHyphenMark() {
        const int32_t x = Left(k_);
        const int32_t middle = baseline_ - Zoomed(line_.TextAscent, zoom_) / 3;
        const TPen pen{Symbol(), 1, {}};
        canvas_.DrawLine({x - Z(2), middle}, {x + Z(2), middle}, pen);
        canvas_.DrawLine({x + Z(2) - 1, middle}, {x + Z(2) - 1, middle + Z(2)}, pen);
    }

    void DrawPageBreakLabel() {
        static constexpr std::string_view label = "Page Break";
        TCharAttrs a = document_.DefaultCharAttrs;
        a[caFont] = painter_.fonts_.ArialIndex() >= 0 ? painter_.fonts_.ArialIndex() : a[caFont];
        a[caSize] = 16;
        a[caBold] = a[caItalic] = a[caUnderline] = a[caStrikeOut] = a[caVerticalPosition] = 0;
        const TSharedFont& font = selection_.SelectFontForAttributes(a, sfZoomed | sfSelect);
        fontPending_ = true;  // the run's font is chosen again
        std::vector<int32_t> advances;
        int32_t labelWidth = 0;
        for (char c : label) {
            advances.push_back(font.Widths[static_cast<uint8_t>(c)]);
            labelWidth += advances.back();
        }
        const int32_t box = std::max(Width(k_), labelWidth + 30);
        const int32_t left = Left(k_);
        const int32_t labelLeft = left + (box - labelWidth) / 2;
        const int32_t top = baseline_ - font.Ascent;
        TTextRun run;
        run.Font = font.Font.get();
        run.Origin = TPoint{labelLeft, top};
        run.Text = label;
        run.Advances = advances;
        run.Color = painter_.colors_.Color(ceAutoText);
        canvas_.DrawText(run);
        if (box > labelWidth + 2) {
            const int32_t middle = top + (font.Ascent + font.Descent) / 2;
            const TPen pen{Symbol(), 1, TDotPattern{0x1u, 2, 0}};
            canvas_.DrawLine({left, middle}, {labelLeft - 2, middle}, pen);
            canvas_.DrawLine({labelLeft + labelWidth + 2, middle}, {left + box, middle}, pen);
        }
    }

    // Keep with next, keep together and page break before, right to left
    // before the text start.
    void DrawParagraphMarkers() {
        const int32_t set[] = {paragraph_.Attributes[paKeepWithNext], paragraph_.Attributes[paKeepIntact],
                               paragraph_.Attributes[paPageBreakBefore]};
        int32_t right = Left(0) - Z(24) + Z(12);
        const int32_t top = y_ + (height_ - Z(10)) / 2;
        const TPen pen{Symbol(), 1, {}};
        for (int marker = 0; marker < 3; ++marker) {
            if (set[marker] == 0) {
                continue;
            }
            const int32_t left = right - Z(12);
            const TRect box{left, top, right, top + Z(10)};
            switch (marker) {
                case 0:  // an arrow down: stays with the next paragraph
                    canvas_.DrawLine({box.Left + box.Width() / 2, box.Top}, {box.Left + box.Width() / 2, box.Bottom}, pen);
                    canvas_.DrawLine({box.Left + 2, box.Bottom - 4}, {box.Left + box.Width() / 2, box.Bottom - 1}, pen);
                    canvas_.DrawLine({box.Right - 2, box.Bottom - 4}, {box.Left + box.Width() / 2, box.Bottom - 1}, pen);
                    break;
                case 1:  // a bracket: lines kept together
                    canvas_.DrawLine({box.Left + 3, box.Top}, {box.Left + 3, box.Bottom}, pen);
                    canvas_.DrawLine({box.Left + 3, box.Top}, {box.Right - 2, box.Top}, pen);
                    canvas_.DrawLine({box.Left + 3, box.Bottom - 1}, {box.Right - 2, box.Bottom - 1}, pen);
                    break;
                default:  // a rule above: a new page first
                    canvas_.FrameRect(TRect{box.Left + 1, box.Top, box.Right - 1, box.Top + 3}, pen);
                    break;
            }
            right = left - 1;
        }
    }

    void DrawBarTabs() {
        const int32_t table = paragraph_.Attributes[paTabTable];
        if (!document_.Tabs().ValidIndex(table)) {
            return;
        }
        const TTabTable& tabs = document_.Tabs().Table(table);
        const int32_t width = std::max(1, TwipsToPixels(20, zoomedPpi_));
        for (int32_t i = 0; i < tabs.StopCount(); ++i) {
            if (tabs.Stop(i).IsBar()) {
                const int32_t x = marginX_ + TwipsToPixels(tabs.Stop(i).Position(), zoomedPpi_);
                canvas_.InvertRect(TRect{x, y_, x + width, y_ + height_});
            }
        }
    }

    void DrawSelection() {
        const TPaintSelection& s = context_.Selection;
        if (!s.Active || s.Start == s.End) {
            return;
        }
        const int32_t index = paragraph_.Index;
        if (index < s.Start.Paragraph || index > s.End.Paragraph) {
            return;
        }
        const int32_t first = line_.FirstPosition;
        const int32_t end = first + line_.PositionCount;
        const int32_t a = index == s.Start.Paragraph ? std::max(s.Start.Offset, first) : first;
        const int32_t b = index == s.End.Paragraph ? std::min(s.End.Offset, end) : end;
        if (a >= b) {
            return;
        }
        const int32_t x1 = Left(a - first);
        int32_t x2 = Left(b - first);
        if (x2 <= x1) {
            x2 = x1 + 3;
        }
        const bool italicStart = line_.Italic(a - first + 1);
        const bool italicEnd = line_.Italic(b - first);
        const int32_t top = y_;
        const int32_t bottom = y_ + height_;
        if (!italicStart && !italicEnd) {
            canvas_.InvertRect(TRect{x1, top, x2, bottom});
            return;
        }
        // A slanted edge follows italic letters: a quarter of the ascent to
        // the right at the top, a quarter of the rest to the left at the
        // bottom.
        const int32_t ascent = baseline_ - y_;
        const int32_t up = ascent / 4;
        const int32_t down = std::max(height_ - ascent, 0) / 4;
        const TPoint points[] = {{italicStart ? x1 + up : x1, top},
                                 {italicEnd ? x2 + up : x2, top},
                                 {italicEnd ? x2 - down : x2, bottom},
                                 {italicStart ? x1 - down : x1, bottom}};
        canvas_.InvertPolygon(points);
    }

    void DrawGuides() {
        const TPageSettings& page = document_.PageSettings();
        const int32_t left = marginX_;
        const int32_t right = marginX_ + TwipsToPixels(page.PaperWidth - page.LeftMargin - page.RightMargin, zoomedPpi_);
        const TPen pen{painter_.colors_.Color(cePageMarginBorder), 1, GuideDots(context_.Scroll.Y)};
        canvas_.DrawLine({left, y_}, {left, y_ + height_}, pen);
        canvas_.DrawLine({right, y_}, {right, y_ + height_}, pen);
    }

    TPainter& painter_;
    TCanvas& canvas_;
    TParLine& line_;
    TParagraph& paragraph_;
    TDocument& document_;
    const TPaintContext& context_;
    int32_t zoom_;
    int32_t zoomedPpi_;
    TFontSelection selection_;
    bool symbols_;
    int32_t y_;
    int32_t height_;
    int32_t marginX_ = 0;
    int32_t baseline_ = 0;
    std::vector<int32_t> xs_;
    std::vector<int32_t> widths_;
    std::vector<char> chars_;
    TCharAttrs attrs_;
    TColorValue color_ = 0;
    const TSharedFont* font_ = nullptr;
    bool fontPending_ = true;
    int32_t k_ = 0;
    int32_t runStart_ = 0;
};

void TPainter::PaintLineOn(TCanvas& canvas, TParLine& line, int32_t x, int32_t y, int32_t height,
                           const TPaintContext& context) {
    TLineWalk walk(*this, canvas, line, x, y, height, context);
    walk.Walk();
}

void TPainter::PaintLine(TCanvas& canvas, TParLine& line, int32_t x, int32_t y, const TPaintContext& context) {
    const int32_t zoom = std::clamp(context.Zoom, 10, 500);
    const TParLine* next = nullptr;
    if (line.Page != nullptr) {
        for (int32_t i = 0; i + 1 < line.Page->LineCount(); ++i) {
            if (&line.Page->Line(i) == &line) {
                next = &line.Page->Line(i + 1);
                break;
            }
        }
    }
    const int32_t height = VisibleHeight(line, next, zoom);
    if (context.Device) {
        PaintLineOn(canvas, line, x, y, height, context);
        return;
    }
    const TDocument& document = line.Paragraph->Document();
    const int32_t pageWidth = TwipsToPixels(document.PageSettings().PaperWidth, ZoomedPpi(ppi_, zoom));
    const int32_t left = std::max(context.Window.Left, x);
    const int32_t right = std::min(x + pageWidth, context.Window.Right);
    if (right <= left || height <= 0) {
        return;
    }
    const int32_t width = std::min(right - left, MaxSurfaceSide);
    const int32_t rows = std::min(height, MaxSurfaceSide);
    if (!service_ || service_->Width() < width || service_->Height() < rows) {
        const int32_t w = service_ ? std::max(service_->Width(), width) : width;
        const int32_t h = service_ ? std::max(service_->Height(), rows) : rows;
        service_ = canvas.CreateSurface(w, h);
    }
    TCanvas& buffer = service_->Canvas();
    buffer.FillRect(TRect{0, 0, width, rows}, colors_.Color(cePageBackground));
    PaintLineOn(buffer, line, x - left, 0, rows, context);
    canvas.DrawSurface(*service_, TRect{0, 0, width, rows}, TPoint{left, y});
}

void TPainter::PaintPageNumber(TCanvas& canvas, const TPage& page, int32_t x, int32_t y,
                               const TPaintContext& context) {
    const TPageNumberSettings& settings = context.PageNumbers;
    if (!PageNumberShown(page.Index, settings)) {
        return;
    }
    const std::string text = FormatPageNumber(PageNumberOf(page.Index, settings), settings.Format);
    if (text.empty()) {
        return;
    }
    const TDocument& document = page.Document();
    const int32_t zoom = std::clamp(context.Zoom, 10, 500);
    const int32_t zoomedPpi = ZoomedPpi(ppi_, zoom);
    TCharAttrs a = document.DefaultCharAttrs;
    if (fonts_.TimesNewRomanIndex() >= 0) {
        a[caFont] = fonts_.TimesNewRomanIndex();
    }
    a[caSize] = 22;
    a[caBold] = a[caItalic] = a[caUnderline] = a[caStrikeOut] = a[caVerticalPosition] = 0;
    TFontSelection selection(fonts_, kerning_, ppi_, zoom);
    const TSharedFont& font = selection.SelectFontForAttributes(a, sfZoomed | sfSelect);
    std::vector<int32_t> advances;
    int32_t width = 0;
    for (char c : text) {
        advances.push_back(font.Widths[static_cast<uint8_t>(c)]);
        width += advances.back();
    }
    const TPageSettings& p = document.PageSettings();
    const int32_t leftMargin = x + TwipsToPixels(p.LeftMargin, zoomedPpi);
    const int32_t rightMargin = x + TwipsToPixels(p.PaperWidth - p.RightMargin, zoomedPpi);
    const int32_t height = font.Ascent + font.Descent;
    const int32_t top = settings.Position == pnTop
                            ? y + (TwipsToPixels(p.TopMargin, zoomedPpi) - height) / 2
                            : y + TwipsToPixels(p.PaperHeight - p.BottomMargin, zoomedPpi) +
                                  (TwipsToPixels(p.BottomMargin, zoomedPpi) - height) / 2;
    bool right = settings.Alignment == pnRight;
    if (settings.Alignment == pnInside) {
        right = page.Index % 2 == 1;
    } else if (settings.Alignment == pnOutside) {
        right = page.Index % 2 == 0;
    }
    int32_t left = right ? rightMargin - width : leftMargin;
    if (settings.Alignment == pnCentred) {
        left = leftMargin + (rightMargin - leftMargin - width) / 2;
    }
    const TRect box{left, top, left + width, top + height};
    if (!context.Device && !canvas.RectVisible(box)) {
        return;
    }
    TTextRun run;
    run.Font = font.Font.get();
    run.Origin = TPoint{left, top};
    run.Text = text;
    run.Advances = advances;
    run.Color = colors_.Color(ceSpecialSymbol);
    canvas.DrawText(run);
}

void TPainter::PaintPage(TCanvas& canvas, TPage& page, int32_t x, int32_t y, int32_t fromParagraph,
                         const TPaintContext& context) {
    TDocument& document = page.Document();
    const int32_t zoom = std::clamp(context.Zoom, 10, 500);
    const int32_t zoomedPpi = ZoomedPpi(ppi_, zoom);
    const TPageSettings& p = document.PageSettings();
    const int32_t width = TwipsToPixels(p.PaperWidth, zoomedPpi);
    const int32_t height = TwipsToPixels(p.PaperHeight, zoomedPpi);
    const int32_t topMargin = TwipsToPixels(p.TopMargin, zoomedPpi);
    const int32_t bottomMargin = TwipsToPixels(p.PaperHeight - p.BottomMargin, zoomedPpi);
    const int32_t leftMargin = TwipsToPixels(p.LeftMargin, zoomedPpi);
    const int32_t rightMargin = TwipsToPixels(p.PaperWidth - p.RightMargin, zoomedPpi);
    const TRect pageRect{x, y, x + width, y + height};

    if (!context.Device) {
        canvas.SaveClip();
        canvas.IntersectClip(pageRect);
        if (context.Update != nullptr) {
            canvas.IntersectClip(*context.Update);
        }
    }
    const bool guides = !context.Device && context.MarginGuides;
    const TColorValue background = colors_.Color(cePageBackground);
    const TPen vertical{colors_.Color(cePageMarginBorder), 1, GuideDots(context.Scroll.Y)};
    const TPen horizontal{colors_.Color(cePageMarginBorder), 1, GuideDots(context.Scroll.X)};
    auto fill = [&](const TRect& band) {
        if (!band.IsEmpty() && (context.Device || canvas.RectVisible(band))) {
            canvas.FillRect(band, background);
        }
    };
    auto verticalGuides = [&](int32_t top, int32_t bottom) {
        if (guides && bottom > top) {
            canvas.DrawLine({x + leftMargin, top}, {x + leftMargin, bottom}, vertical);
            canvas.DrawLine({x + rightMargin, top}, {x + rightMargin, bottom}, vertical);
        }
    };

    // The band above the text.
    fill(TRect{x, y, x + width, y + topMargin});
    if (guides) {
        canvas.DrawLine({x + leftMargin, y + topMargin}, {x + rightMargin + 1, y + topMargin}, horizontal);
        verticalGuides(y, y + topMargin);
    }
    if (context.PageNumbers.Position == pnTop) {
        PaintPageNumber(canvas, page, x, y, context);
    }

    int32_t first = 0;
    if (fromParagraph >= 0) {
        for (int32_t i = 0; i < page.LineCount(); ++i) {
            if (page.Line(i).Paragraph->Index == fromParagraph) {
                first = std::max(i - 1, 0);
                break;
            }
        }
    }
    int32_t bottom = y + topMargin;
    for (int32_t i = first; i < page.LineCount(); ++i) {
        TParLine& line = page.Line(i);
        const TParLine* next = i + 1 < page.LineCount() ? &page.Line(i + 1) : nullptr;
        const int32_t top = y + Zoomed(line.Top, zoom);
        const int32_t lineHeight = VisibleHeight(line, next, zoom);
        bottom = std::max(bottom, top + lineHeight);
        if (context.Device) {
            PaintLineOn(canvas, line, x, top, lineHeight, context);
            continue;
        }
        if (top + lineHeight <= context.Window.Top) {
            continue;
        }
        if (top >= context.Window.Bottom) {
            break;
        }
        if (canvas.RectVisible(TRect{x, top, x + width, top + lineHeight})) {
            PaintLine(canvas, line, x, top, context);
        }
    }
    if (page.LineCount() > 0) {
        const TParLine& last = page.Line(page.LineCount() - 1);
        bottom = y + Zoomed(last.Top, zoom) + VisibleHeight(last, nullptr, zoom);
    }

    // The band below the text.
    fill(TRect{x, bottom, x + width, y + height});
    if (guides) {
        canvas.DrawLine({x + leftMargin, y + bottomMargin}, {x + rightMargin + 1, y + bottomMargin}, horizontal);
        verticalGuides(bottom, y + bottomMargin);
    }
    if (context.PageNumbers.Position == pnBottom) {
        PaintPageNumber(canvas, page, x, y, context);
    }
    if (!context.Device) {
        canvas.RestoreClip();
    }
}

}  // namespace quillane
