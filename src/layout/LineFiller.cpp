#include "layout/LineFiller.h"

#include <algorithm>

#include "model/Document.h"
#include "model/DocumentParts.h"
#include "model/FontManager.h"
#include "model/FontSelection.h"
#include "model/KerningPairs.h"
#include "model/ParLine.h"
#include "model/Paragraph.h"
#include "model/TabManager.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

constexpr uint8_t Space = 32;
constexpr uint8_t Hyphen = 45;
constexpr uint8_t Pilcrow = 182;
constexpr uint8_t EnDash = 150;
constexpr uint8_t EmDash = 151;
constexpr uint8_t BulletChar = 0xB7;
constexpr uint8_t ObjectCode = 7;
constexpr int32_t LineBreakWidth = 88;    // 11 pixels at 100 %
constexpr int32_t MinPageBreakWidth = 150;
constexpr int32_t BulletGapTwips = 270;

bool OffersBreak(uint8_t code) {
    return code == Space || code == Hyphen || code == spTab || code == spLongDash || code == spShortDash ||
           code == spOptionalHyphen;
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

}  // namespace

TLineFiller::TLineFiller(TParagraph& paragraph, const TFillServices& services, const TFillSettings& settings,
                         TFlexibleString& entries)
    : paragraph_(paragraph), services_(services), settings_(settings), entries_(entries),
      attrs_(paragraph.Document().DefaultCharAttrs) {}

void TLineFiller::SetAttributes(const TCharAttrs& attrs) {
    attrs_ = attrs;
    fontPending_ = true;
}

void TLineFiller::ApplyFont() {
    TCharAttrs a = attrs_;
    const auto fontCount = static_cast<int32_t>(services_.Fonts.Registry().size());
    if (a[caFont] < 0 || a[caFont] >= fontCount) {
        // A damaged stream must not stop the layout: measure with the
        // document's font instead.
        const int32_t fallback = paragraph_.Document().DefaultCharAttrs[caFont];
        a[caFont] = fallback >= 0 && fallback < fontCount ? fallback : 0;
    }
    a[caSize] = settings_.Scale.Size(std::clamp(attrs_[caSize], 1, 32767));
    font_ = &services_.Selection.SelectFontForAttributes(a, sfScripts);
    fontAscent_ = services_.Selection.Ascent();
    fontDescent_ = services_.Selection.Descent();
    // Kerning is decided on the unscaled size, so that every zoom kerns the
    // same pairs; the pairs are those of the font that measures the run.
    kerning_ = attrs_[caKerning] > 0 && attrs_[caSize] >= attrs_[caKerning];
    if (kerning_) {
        services_.Kerning.LoadPairs(a, font_->Key[caSize], *font_->Font);
    }
    fixedPitch_ = (services_.Fonts.Entry(a[caFont]).PitchAndFamily & 3) == FixedPitch;
    fontPending_ = false;
}

int32_t TLineFiller::CharWidth(uint8_t c) const { return font_->Widths[c]; }

int32_t TLineFiller::EntryValue(int32_t k) const { return EntryX(Entries()[k]); }

void TLineFiller::SetEntryValue(int32_t k, int32_t x) { Raw()[k] = MakeEntry(x, EntryItalic(Raw()[k])); }

void TLineFiller::ReserveEntries(int32_t n) {
    if (entries_.Length() < n * 4) {
        entries_.SetLength(n * 4);
    }
}

uint8_t TLineFiller::PositionCode(int32_t k) const {
    const int32_t i = firstPosition_ + k;
    return i < paragraph_.Positions.Length() ? paragraph_.Positions[i] : 0;
}

void TLineFiller::Reset(bool indentFirst) {
    count_ = 0;
    consumed_ = start_;
    ended_ = false;
    raise_ = 0;
    lower_ = 0;
    ApplyOffset(attrs_[caOffset]);
    breakPosition_ = 0;
    breakOffset_ = start_;
    hung_ = 0;
    forced_ = false;
    previousChar_ = -1;
    saved_.Valid = false;
    tab_.Active = false;

    ApplyPendingFont();
    const TParAttrs& par = paragraph_.Attributes;
    const int64_t indent = int64_t{par[paLeftIndent]} + (indentFirst ? par[paFirstIndent] : 0);
    ReserveEntries(16);
    Raw()[0] = MakeEntry(settings_.Scale.Twips(indent), Italic());
    ascent_ = fontAscent_;
    descent_ = fontDescent_;
    textAscent_ = fontAscent_;
}

void TLineFiller::ApplyOffset(int32_t points) {
    if (points > 0) {
        raise_ = std::max(raise_, points);
    } else if (points < 0) {
        lower_ = std::max<int32_t>(lower_, -std::max(points, -32767));
    }
    raise_ = std::min(raise_, 32767);
}

void TLineFiller::SaveStateIfNeeded() {
    if (breakPosition_ > 0 && !saved_.Valid) {
        saved_ = TSavedState{true, ascent_, descent_, textAscent_, raise_, lower_, attrs_};
    }
}

void TLineFiller::SetBullet() {
    const TParAttrs& par = paragraph_.Attributes;
    int32_t width = 0;
    const int32_t symbol = services_.Fonts.SymbolIndex();
    if (symbol >= 0) {
        const TCharAttrs current = attrs_;
        attrs_[caFont] = symbol;
        ApplyFont();
        width = CharWidth(BulletChar);
        attrs_ = current;
    }
    ApplyFont();
    int32_t shift = std::max(width, settings_.Scale.Twips(BulletGapTwips));
    if (par[paFirstIndent] < 0) {
        shift = std::max(shift, settings_.Scale.Twips(-int64_t{par[paFirstIndent]}));
    }
    Raw()[0] = MakeEntry(EntryValue(0) + shift, EntryItalic(Raw()[0]));
}

TLineFiller::TAddResult TLineFiller::Add(uint8_t code, int32_t width, int32_t kern, int32_t ascent,
                                         int32_t textAscent, int32_t descent, int32_t itemOffset,
                                         int32_t afterOffset, bool fitTest) {
    const bool fits = !fitTest || !settings_.Wrap || int64_t{settings_.Width} >= int64_t{X()} + width + kern;
    if (!fits) {
        if (code == Space && hung_ < 2) {
            ++hung_;
        } else if (code == spTab && hung_ == 0) {
            ++hung_;
        } else if (hung_ > 0 || forced_ || (count_ > 0 && breakPosition_ == 0)) {
            EndBefore(itemOffset);
            return TAddResult::LineEnded;
        } else if (breakPosition_ > 0) {
            CutBack();
            return TAddResult::LineEnded;
        } else {
            // An empty line takes the item anyway, so that every line holds
            // at least one position.
            forced_ = true;
        }
    }
    Append(code, width, kern, ascent, textAscent, descent, afterOffset);
    return TAddResult::Added;
}

void TLineFiller::Append(uint8_t code, int32_t width, int32_t kern, int32_t ascent, int32_t textAscent,
                         int32_t descent, int32_t afterOffset) {
    ReserveEntries(count_ + 2);
    if (kern != 0 && count_ > 0) {
        // A pair never pulls a character back past its own start.
        SetEntryValue(count_, std::max(X() + kern, EntryValue(count_ - 1)));
    }
    if (width < 0 || code == spOptionalHyphen) {
        width = 0;
    }
    Raw()[count_ + 1] = MakeEntry(X() + width, Italic());
    if (pitchFlags_ != nullptr) {
        if (pitchFlags_->Length() <= count_) {
            pitchFlags_->SetLength(count_ + 1);
        }
        (*pitchFlags_)[count_] = fixedPitch_ ? 1 : 0;
    }
    if (count_ == 0) {
        ascent_ = ascent;
        descent_ = descent;
        textAscent_ = textAscent;
    } else {
        ascent_ = std::max(ascent_, ascent);
        descent_ = std::max(descent_, descent);
        textAscent_ = std::max(textAscent_, textAscent);
    }
    ++count_;
    consumed_ = afterOffset;
    if (OffersBreak(code)) {
        breakPosition_ = count_;
        breakOffset_ = afterOffset;
        saved_.Valid = false;
    }
}

void TLineFiller::EndBefore(int32_t itemOffset) {
    consumed_ = itemOffset;
    ended_ = true;
    ShowTrailingHyphen();
    ResolvePendingTab();
}

void TLineFiller::CutBack() {
    count_ = breakPosition_;
    consumed_ = breakOffset_;
    if (saved_.Valid) {
        ascent_ = saved_.Ascent;
        descent_ = saved_.Descent;
        textAscent_ = saved_.TextAscent;
        raise_ = saved_.Raise;
        lower_ = saved_.Lower;
        attrs_ = saved_.Attrs;
        saved_.Valid = false;
    }
    ApplyFont();
    ShowTrailingHyphen();
    ended_ = true;
    ResolvePendingTab();
}

void TLineFiller::ShowTrailingHyphen() {
    if (count_ > 0 && PositionCode(count_ - 1) == spOptionalHyphen) {
        ApplyPendingFont();
        SetEntryValue(count_, EntryValue(count_ - 1) + CharWidth(Hyphen));
    }
}

int32_t TLineFiller::DecimalMark() const {
    const uint8_t separator = settings_.DecimalSeparator;
    auto previousIsDigit = [&](int32_t i) { return i - 1 > tab_.Index && IsDigit(PositionCode(i - 1)); };
    for (int32_t i = tab_.Index + 1; i < count_; ++i) {
        const uint8_t c = PositionCode(i);
        if (c != ',' && c != '.' && c != separator) {
            continue;
        }
        if (previousIsDigit(i) || (i + 1 < count_ && IsDigit(PositionCode(i + 1)))) {
            return i;
        }
    }
    auto isSeparator = [separator](uint8_t c) {
        return (c >= 2 && c <= 11) || (c >= 32 && c <= 38) || (c >= 40 && c <= 47) || (c >= 58 && c <= 64) ||
               (c >= 91 && c <= 95) || (c >= 123 && c <= 126) || c == 128 || c == 132 || c == 133 || c == 147 ||
               c == 148 || c == 171 || c == 187 || c == separator;
    };
    for (int32_t i = tab_.Index + 1; i < count_; ++i) {
        if (isSeparator(PositionCode(i)) && previousIsDigit(i)) {
            return i;
        }
    }
    return -1;
}

void TLineFiller::ResolvePendingTab() {
    if (!tab_.Active) {
        return;
    }
    tab_.Active = false;
    if (tab_.Index >= count_) {
        return;  // the tab went to the next line
    }
    const int64_t t = tab_.X;
    const int64_t e = X();
    const int64_t d = tab_.Distance;
    int64_t shift = 0;
    switch (tab_.Kind) {
        case tkCentred:
            shift = e - t < 2 * d ? (2 * d - (e - t)) / 2 : 0;
            break;
        case tkDecimal:
            if (const int32_t mark = DecimalMark(); mark >= 0) {
                shift = d + t - EntryValue(mark);
                break;
            }
            [[fallthrough]];
        default:  // right
            shift = e - t < d ? d - (e - t) : 0;
            break;
    }
    if (shift <= 0) {
        return;
    }
    for (int32_t k = tab_.Index + 1; k <= count_; ++k) {
        SetEntryValue(k, EntryValue(k) + static_cast<int32_t>(shift));
    }
}

TFilledLine TLineFiller::Fill(int32_t start, int32_t end, int32_t firstPosition, bool indentFirst, bool bullet) {
    start_ = start;
    firstPosition_ = firstPosition;
    Reset(indentFirst);
    const uint8_t* text = paragraph_.Text.Data();
    end = std::min(end, paragraph_.Text.Length());
    bool bulletPending = bullet && paragraph_.Attributes[paBullet] != 0;

    int32_t o = start;
    while (o < end && !ended_) {
        if (text[o] != 0) {
            const uint8_t c = text[o];
            if (bulletPending) {
                bulletPending = false;
                SetBullet();
            }
            ApplyPendingFont();
            int32_t kern = 0;
            if (count_ > 0 && kerning_ && previousChar_ >= 0) {
                kern = services_.Kerning.PairAmount(previousChar_, c);
            }
            const int32_t width = CharWidth(c) + Expansion();
            if (Add(c, width, kern, fontAscent_, fontAscent_, fontDescent_, o, o + 1) == TAddResult::LineEnded) {
                break;
            }
            previousChar_ = c;
            ++o;
            continue;
        }
        if (end - o < TagSize) {
            break;  // a cut tag: the stream ends here
        }
        const TTag tag = ReadTag(text + o);
        const int32_t after = o + TagSize;
        if (IsAttributeKind(tag.Kind)) {
            SaveStateIfNeeded();
            attrs_[tag.Kind] = tag.Value;
            if (tag.Kind == caOffset) {
                ApplyOffset(tag.Value);
            } else if (tag.Kind != caColor && tag.Kind != caLanguage) {
                fontPending_ = true;
            }
            o = after;
            continue;
        }
        if (!OccupiesPosition(tag.Kind)) {
            o = after;
            continue;
        }
        const auto code = static_cast<uint8_t>(tag.Value);
        if (bulletPending && !(tag.Kind == tkSpecial && code == spPageBreak)) {
            bulletPending = false;
            SetBullet();
        }
        if (tag.Kind != tkSpecial) {  // a picture or an object
            SaveStateIfNeeded();
            ApplyPendingFont();
            previousChar_ = -1;
            TObjectExtent extent;
            if (services_.Objects == nullptr || !services_.Objects->Extent(tag.Kind, tag.Value, extent)) {
                extent = TObjectExtent{0, 0, 100, 100};
            }
            const int32_t width = settings_.Scale.ObjectExtent(extent.Width, extent.ScaleX);
            const int32_t height = settings_.Scale.ObjectExtent(extent.Height, extent.ScaleY);
            if (Add(ObjectCode, width, 0, height, fontAscent_, fontDescent_, o, after) == TAddResult::LineEnded) {
                break;
            }
            o = after;
            continue;
        }
        previousChar_ = -1;
        ApplyPendingFont();
        switch (code) {
            case spParagraphEnd:
                ResolvePendingTab();
                Append(code, CharWidth(Pilcrow), 0, fontAscent_, fontAscent_, fontDescent_, after);
                break;
            case spLineBreak:
            case spPageBreak: {
                ResolvePendingTab();
                ShowTrailingHyphen();
                int32_t width = settings_.Scale.LayoutConstant(LineBreakWidth);
                if (code == spPageBreak) {
                    const int32_t alignment = paragraph_.Attributes[paAlignment];
                    const int32_t least = settings_.Scale.LayoutConstant(MinPageBreakWidth);
                    width = alignment == 0 || alignment == 3 ? std::max(settings_.Width - X(), least) : least;
                }
                Append(code, width, 0, fontAscent_, fontAscent_, fontDescent_, after);
                ApplyFont();
                ended_ = true;
                break;
            }
            case spTab: {
                ResolvePendingTab();
                const bool inclusive = count_ > 0 && PositionCode(count_ - 1) != spTab;
                const TTabStop stop = services_.Tabs.TabEnd(settings_.Scale.ToTwips(X() + 1), inclusive);
                if (settings_.StoreTabKinds) {
                    paragraph_.Text[o + 2] = static_cast<uint8_t>((stop.Kind() & 0xF) | (stop.Leader() << 4));
                }
                const int32_t stopX = settings_.Scale.Twips(stop.Position());
                const int32_t index = count_;
                const int32_t x = X();
                const int32_t width = stop.Kind() == tkLeft ? stopX - x : 0;
                if (Add(code, width, 0, fontAscent_, fontAscent_, fontDescent_, o, after) == TAddResult::LineEnded) {
                    break;
                }
                if (stop.Kind() != tkLeft) {
                    tab_ = TPendingTab{true, stop.Kind(), index, x, stopX - x};
                }
                break;
            }
            case spNonbreakingSpace:
            case spNonbreakingHyphen:
            case spLongDash:
            case spShortDash:
            case spOptionalHyphen: {
                const uint8_t shown = code == spNonbreakingSpace ? Space
                                      : code == spLongDash       ? EmDash
                                      : code == spShortDash      ? EnDash
                                                                 : Hyphen;
                const int32_t width = code == spOptionalHyphen ? 0 : Expansion() + CharWidth(shown);
                Add(code, width, 0, fontAscent_, fontAscent_, fontDescent_, o, after);
                break;
            }
            default:
                // A special this program does not know still takes its
                // position, so positions and entries stay in step.
                Add(code, 0, 0, fontAscent_, fontAscent_, fontDescent_, o, after);
                break;
        }
        if (!ended_) {
            o = after;
        }
    }
    if (!ended_) {
        // The end of the text: the line takes every remaining byte.
        ShowTrailingHyphen();
        consumed_ = end;
        ResolvePendingTab();
    }
    TFilledLine line;
    line.Count = count_;
    line.ByteLength = consumed_ - start_;
    line.Ascent = ascent_;
    line.Descent = descent_;
    line.TextAscent = textAscent_;
    line.Raise = raise_;
    line.Lower = lower_;
    return line;
}

}  // namespace quillane
