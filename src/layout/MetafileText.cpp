// Text of metafiles: the font a record selected, made by the platform's font
// system at its size on the canvas, the reference point placed by the text
// alignment, and the advances the record gives or the font's own widths.
#include <algorithm>
#include <cmath>

#include "layout/MetafileDevice.h"
#include "platform/FontSystem.h"

namespace quillane {

namespace {

constexpr size_t FontCacheSize = 16;
constexpr int32_t MaxFontPixels = 4096;
// A record's text beyond this many bytes is not drawn.
constexpr size_t MaxTextBytes = 8192;

}  // namespace

const TPlatformFont* TMetafileDevice::FontFor(const TMetaFont& font, int32_t pixelHeight) {
    if (fonts_ == nullptr) {
        return nullptr;
    }
    TFontRequest request;
    request.Face = font.Face.substr(0, 31);
    request.Height = pixelHeight;
    request.Weight = std::clamp(font.Weight, 0, 1000);
    request.Italic = font.Italic;
    request.Underline = font.Underline;
    request.StrikeOut = font.StrikeOut;
    request.CharSet = std::clamp(font.CharSet, 0, 255);
    for (auto it = fontCache_.begin(); it != fontCache_.end(); ++it) {
        if (it->Request == request) {
            std::rotate(it, it + 1, fontCache_.end());
            return fontCache_.back().Font.get();
        }
    }
    if (fontCache_.size() >= FontCacheSize) {
        fontCache_.erase(fontCache_.begin());
    }
    fontCache_.push_back(TCachedFont{request, fonts_->CreatePlatformFont(request)});
    return fontCache_.back().Font.get();
}

void TMetafileDevice::DrawText(TMetaPoint reference, std::string_view text, std::span<const int32_t> advances,
                               uint32_t options, const std::optional<TMetaBox>& rect) {
    if (Exhausted()) {
        return;
    }
    text = text.substr(0, std::min(text.size(), MaxTextBytes));
    Charge(16 + text.size());
    ApplyClip();
    if (rect && (options & MetaTextOpaque) != 0) {
        const TRect box = CanvasBox(*rect);
        canvas_.FillRect(box, state_.BackColor);
    }
    const double height = state_.Font.Height == 0 ? -12.0 : state_.Font.Height * ScaleY();
    if (text.empty() || !(std::abs(height) >= 1) || std::abs(height) > MaxFontPixels) {
        return;
    }
    const TPlatformFont* font = FontFor(state_.Font, static_cast<int32_t>(std::lround(height)));
    if (font == nullptr) {
        return;
    }
    // Advances on the canvas from the running logical sum, so that rounding
    // never adds up along the line.
    std::vector<int32_t> widths(text.size());
    double logicalWidth = 0;
    if (!advances.empty()) {
        const double scale = ScaleX();
        double sum = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const double next = sum + (i < advances.size() ? advances[i] : 0);
            widths[i] = static_cast<int32_t>(std::lround(std::clamp(next * scale, -1e8, 1e8)) -
                                             std::lround(std::clamp(sum * scale, -1e8, 1e8)));
            sum = next;
        }
        logicalWidth = sum;
    } else {
        const TCharWidths table = font->Widths();
        for (size_t i = 0; i < text.size(); ++i) {
            widths[i] = table[static_cast<unsigned char>(text[i])];
        }
    }
    int64_t total = 0;
    for (const int32_t w : widths) {
        total += w;
    }
    if (advances.empty()) {
        logicalWidth = ScaleX() > 0 ? static_cast<double>(total) / ScaleX() : 0;
    }
    const uint32_t align = state_.TextAlign;
    const bool updateCp = (align & MetaAlignUpdateCp) != 0;
    if (updateCp) {
        reference = state_.Position;
    }
    const TMetaPoint at = ToCanvas(reference);
    double x = at.X;
    if ((align & MetaAlignCenter) == MetaAlignCenter) {
        x -= total / 2.0;
    } else if ((align & MetaAlignCenter) == MetaAlignRight) {
        x -= static_cast<double>(total);
    }
    const TFontMetrics metrics = font->Metrics();
    double y = at.Y;
    if ((align & MetaAlignBaseline) == MetaAlignBaseline) {
        y -= metrics.Ascent;
    } else if ((align & MetaAlignBaseline) == MetaAlignBottom) {
        y -= metrics.Height;
    }
    if (updateCp) {
        state_.Position.X += (align & MetaAlignCenter) == MetaAlignRight ? -logicalWidth : logicalWidth;
    }
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > 1e8 || std::abs(y) > 1e8) {
        return;
    }
    TTextRun run;
    run.Font = font;
    run.Origin = TPoint{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
    run.Text = text;
    run.Advances = widths;
    run.Color = state_.TextColor;
    if (state_.OpaqueBackground) {
        run.Background = state_.BackColor;
    }
    const bool clipped = rect && (options & MetaTextClipped) != 0;
    if (clipped) {
        canvas_.SaveClip();
        canvas_.IntersectClip(CanvasBox(*rect));
    }
    canvas_.DrawText(run);
    if (clipped) {
        canvas_.RestoreClip();
    }
}

}  // namespace quillane
