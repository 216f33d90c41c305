#include "formats/rtf/RtfReader.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "formats/rtf/RtfReaderCore.h"
#include "model/Document.h"
#include "model/Style.h"
#include "model/StyleResolve.h"
#include "model/TextStream.h"
#include "model/ViewState.h"

namespace quillane {

namespace {

// The ranges the model's fields hold; values from a file are clamped into them.
constexpr int32_t MaxLength = MaxPaperSize;  // indents and spacing, twips
constexpr int32_t MinFontSize = 2;
constexpr int32_t MaxFontSize = 2000;  // half-points
constexpr int32_t MaxExpansion = 1584; // twips
constexpr int32_t MaxOffset = 1584;    // points
constexpr int32_t MaxLanguage = 0xFFFF;
constexpr int32_t MaxFallbackCount = 32;
constexpr int32_t MaxCells = 4096;

int32_t Clamp(int64_t value, int64_t lo, int64_t hi) { return static_cast<int32_t>(std::clamp(value, lo, hi)); }
int32_t OnOff(int32_t value) { return value != 0 ? 1 : 0; }

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;

uint8_t SpecialOfByte(uint8_t b) {
    switch (b) {
        case 0x96: return spShortDash;
        case 0x97: return spLongDash;
        case 0xA0: return spNonbreakingSpace;
        default: return 0;
    }
}

}  // namespace

TRtfReader::TRtfReader(TDocument& document, TReadBuffer& in, TDocOpeningOptions& options,
                       const TFormatServices& services)
    : doc_(document),
      in_(in),
      options_(options),
      services_(services),
      fonts_(services.Fonts != nullptr ? *services.Fonts
                                       : throw std::logic_error("the RTF reader needs the font registry")),
      pictures_(services.Pictures != nullptr ? *services.Pictures : dropping_),
      words_(RtfControlWords()),
      systemCodePage_(services.CodePages.AnsiCodePage()),
      par_(&document.LastParagraph()),
      chars_(document.DefaultCharAttrs),
      page_(document.PageSettings()) {
    stack_.reserve(25);
    TRtfFont builtIn;
    builtIn.Number = INT32_MAX;
    builtIn.Info.Name = "Times New Roman";
    builtIn.Info.CharSet = DefaultCharSet;
    builtIn.Info.Index = document.DefaultCharAttrs[caFont];
    fontList_.push_back(builtIn);
    styleNumbers_.push_back(0);
}

void TRtfReader::Read() {
    if (in_.Peek() != '{') {
        throw std::runtime_error("the data does not start with an RTF group");
    }
    in_.Skip();
    PushState();
    while (!stack_.empty()) {
        const int c = in_.Peek();
        if (c < 0) {
            break;
        }
        const uint8_t byte = static_cast<uint8_t>(c);
        if (byte == '{') {
            in_.Skip();
            BeginGroup();
        } else if (byte == '}') {
            in_.Skip();
            PopState();
        } else if (byte == '\\') {
            ReadControl();
        } else if (byte == CR || byte == LF) {
            in_.Skip();
        } else if (const uint8_t special = SpecialOfRawByte(byte)) {
            AppendSpecial(special);
            in_.Skip();
        } else if (byte < 32) {
            in_.Skip();  // a raw control byte has no place in the text
        } else {
            ReadPlainRun();
        }
        in_.Refill();
    }
    while (!stack_.empty()) {
        PopState();  // a truncated file keeps what it has
    }
    if (tabs_.StopCount() > 0) {
        // Stops of a last paragraph that no \par closed.
        par_->Attributes[paTabTable] = doc_.Tabs().Intern(tabs_);
        tabs_.Clear();
    }

    characters_ += par_->PositionCount();
    options_.CharacterCount = static_cast<int32_t>(std::min<int64_t>(characters_, INT32_MAX));
    options_.ParagraphCount = doc_.ParagraphCount();
    if (pageChanged_) {
        doc_.ApplyPageSettings(ValidatePageSettings(page_), false);
    }
    if (dataLosses_) {
        doc_.OpenedWithDataLosses = true;
    }
}

void TRtfReader::PushState() {
    TRtfGroupState state;
    state.Chars = chars_;
    state.Par = par_->Attributes;
    state.FallbackCount = fallbackCount_;
    stack_.push_back(state);
}

void TRtfReader::PopState() {
    if (stack_.empty()) {
        return;
    }
    if (stack_.size() == 1) {
        // The document's own group ends: what is in force stays, so the last
        // paragraph keeps its format even without a closing \par.
        stack_.pop_back();
        return;
    }
    const TRtfGroupState& saved = stack_.back();
    for (int slot = CharSlotCount - 1; slot >= 0; --slot) {
        SetChar(slot, saved.Chars[slot]);
    }
    const int32_t bullet = par_->Attributes[paBullet];
    par_->Attributes = saved.Par;
    par_->Attributes[paBullet] = bullet;
    fallbackCount_ = saved.FallbackCount;
    stack_.pop_back();
}

void TRtfReader::BeginGroup() {
    if (stack_.size() >= MaxRtfGroupDepth) {
        in_.SkipGroup();
        MarkDataLoss();
        return;
    }
    if (in_.Peek() == '\\' && in_.Peek(1) == '*') {
        in_.Skip(2);
        in_.SkipBlanks();
        if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            const int32_t destination = words_.Destinations.Find(word.View());
            if (destination >= 0) {
                HandleDestination(destination, true);
                return;
            }
        }
        in_.SkipGroup();  // an optional group we do not know
        return;
    }
    if (in_.AtControlWord()) {
        const TRtfWord word = in_.ReadWord();
        const int32_t destination = words_.Destinations.Find(word.View());
        if (destination >= 0) {
            HandleDestination(destination, true);
            return;
        }
        PushState();
        DispatchBody(word);
        return;
    }
    PushState();
}

void TRtfReader::ReadControl() {
    if (in_.AtControlWord()) {
        const TRtfWord word = in_.ReadWord();
        if (word.View() == "bin") {
            in_.SkipBinary(word.Value);  // binary data outside a picture means nothing to the text
            return;
        }
        DispatchBody(word);
        return;
    }
    if (in_.AtHexEscape()) {
        ReadHexText();
        return;
    }
    const int next = in_.Peek(1);
    switch (next) {
        case CR:
        case LF:
            in_.Skip(2);
            EndParagraph();
            return;
        case '-': AppendSpecial(spOptionalHyphen); break;
        case '_': AppendSpecial(spNonbreakingHyphen); break;
        case '~': AppendSpecial(spNonbreakingSpace); break;
        case '\\':
        case '{':
        case '}': AppendCharByte(static_cast<uint8_t>(next)); break;
        case -1:
            in_.Skip();
            return;
        default: break;  // other control symbols mean nothing here
    }
    in_.Skip(2);
}

void TRtfReader::ReadHexText() {
    std::string bytes;
    in_.ReadHexRun(bytes);
    AppendTextBytes(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
}

void TRtfReader::ReadPlainRun() {
    const uint8_t* p = in_.Current();
    const int32_t n = in_.Available();
    int32_t run = 0;
    const bool doubleByte = IsDoubleByteCodePage(CurrentCodePage());
    while (run < n) {
        const uint8_t b = p[run];
        if (b < 32 || b == '\\' || b == '{' || b == '}') {
            break;
        }
        if (doubleByte && IsLeadByte(codePage_, b)) {
            // A pair of a double-byte page stays whole, whatever its second byte.
            if (run + 1 >= n || p[run + 1] < 0x40 || p[run + 1] == '\\' || p[run + 1] == '{' ||
                p[run + 1] == '}') {
                if (run == 0) {
                    run = 1;  // a lead byte without its partner is taken alone
                }
                break;
            }
            run += 2;
            continue;
        }
        if (!doubleByte && !mac_ && codePage_ != 0 && SpecialOfByte(b) != 0) {
            break;
        }
        ++run;
    }
    if (run == 0) {
        in_.Skip();  // cannot happen for the bytes the loop passes here; never stand still
        return;
    }
    if (mac_) {
        AppendTextBytes(p, run);  // mapped first: the mapped byte may stand for a special
    } else {
        par_->AppendChars(p, run);
    }
    in_.Skip(run);
}

void TRtfReader::AppendSpecial(uint8_t code) {
    if (style_ == nullptr) {
        par_->AppendSpecial(code);
    }
}

void TRtfReader::AppendCharByte(uint8_t byte) {
    if (style_ == nullptr) {
        par_->AppendChars(&byte, 1);
    }
}

void TRtfReader::AppendTextBytes(const uint8_t* bytes, int32_t n) {
    if (style_ != nullptr) {
        return;
    }
    const int codePage = CurrentCodePage();
    const bool doubleByte = IsDoubleByteCodePage(codePage);
    std::string run;
    auto flush = [&] {
        if (!run.empty()) {
            par_->AppendChars(reinterpret_cast<const uint8_t*>(run.data()), static_cast<int32_t>(run.size()));
            run.clear();
        }
    };
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t b = bytes[i];
        if (doubleByte && IsLeadByte(codePage, b) && i + 1 < n) {
            // Both bytes of a pair are text; the second must not turn into a special.
            if (bytes[i + 1] >= 0x20) {
                run.push_back(static_cast<char>(b));
                run.push_back(static_cast<char>(bytes[i + 1]));
            }
            ++i;
            continue;
        }
        const uint8_t mapped = mac_ && !doubleByte ? MacToLatin1(b) : b;
        if (const uint8_t special = codePage == 0 ? 0 : SpecialOfByte(mapped)) {
            flush();
            par_->AppendSpecial(special);
        } else if (mapped >= 32) {
            run.push_back(static_cast<char>(mapped));
        }
    }
    flush();
}

uint8_t TRtfReader::SpecialOfRawByte(uint8_t byte) {
    // A lead byte of a double-byte page and an old Mac character are text,
    // whatever their value means in the ANSI page.
    const int codePage = CurrentCodePage();
    if (mac_ || codePage == 0 || IsDoubleByteCodePage(codePage)) {
        return 0;  // a symbol font's bytes are all glyphs
    }
    return SpecialOfByte(byte);
}

int TRtfReader::CurrentCodePage() {
    const int32_t font = chars_[caFont];
    if (font != codePageFont_) {
        codePageFont_ = font;
        codePage_ = CodePageOfFont(fonts_, font, systemCodePage_);
    }
    return codePage_;
}

void TRtfReader::SetChar(int slot, int32_t value) {
    if (style_ != nullptr) {
        style_->Style->CharAttrs[slot] = value;
        return;
    }
    if (chars_[slot] != value) {
        chars_[slot] = value;
        par_->AppendAttributeTag(slot, value);
    }
}

int32_t TRtfReader::GetChar(int slot) const {
    return style_ != nullptr ? style_->Style->CharAttrs[slot] : chars_[slot];
}

TParAttrs& TRtfReader::ParTarget() { return style_ != nullptr ? style_->Style->ParAttrs : par_->Attributes; }

void TRtfReader::SetPar(int slot, int32_t value) { ParTarget()[slot] = value; }

void TRtfReader::AddTabStop(int32_t position, uint32_t kind) {
    TTabTable& tabs = style_ != nullptr ? style_->Tabs : tabs_;
    tabs.Add(TTabStop::Make(std::clamp<int64_t>(position, 0, MaxLength), kind, kind == tkBar ? tlNone : tabLeader_));
    tabKind_ = 0;
    tabLeader_ = 0;
}

int32_t TRtfReader::ColorOf(int32_t entry) const {
    if (colors_.empty()) {
        return 0;
    }
    if (entry < 0 || static_cast<size_t>(entry) >= colors_.size()) {
        entry = 0;
    }
    return colors_[static_cast<size_t>(entry)].Index;
}

int32_t TRtfReader::FontOf(int32_t number) const {
    const auto it = std::lower_bound(fontList_.begin(), fontList_.end(), number,
                                     [](const TRtfFont& f, int32_t n) { return f.Number < n; });
    if (it != fontList_.end() && it->Number == number) {
        return it->Info.Index;
    }
    return fontList_.front().Info.Index;  // the lowest number stands in
}

int32_t TRtfReader::StyleIndexOf(int32_t number) const {
    for (size_t i = 0; i < styleNumbers_.size(); ++i) {
        if (styleNumbers_[i] == number) {
            return static_cast<int32_t>(i);
        }
    }
    return 0;
}

void TRtfReader::EndParagraph() {
    if (style_ != nullptr) {
        return;
    }
    characters_ += par_->PositionCount();
    par_->AppendSpecial(spParagraphEnd);
    if (tabs_.StopCount() > 0) {
        par_->Attributes[paTabTable] = doc_.Tabs().Intern(tabs_);
        tabs_.Clear();
    }
    const TParAttrs format = par_->Attributes;
    par_ = &doc_.AddParagraph();
    par_->Attributes = format;
    par_->Attributes[paWidowControl] = doc_.WidowControl;
    for (int slot = CharSlotCount - 1; slot >= 0; --slot) {
        if (chars_[slot] != doc_.DefaultCharAttrs[slot]) {
            par_->AppendAttributeTag(slot, chars_[slot]);
        }
    }
}

void TRtfReader::Bullet() {
    if (style_ != nullptr) {
        style_->Style->ParAttrs[paBullet] = 1;
        return;
    }
    par_->Attributes[paBullet] = 1;
    // The bullet text read so far goes; the attribute tags stay.
    TFlexibleString kept;
    const uint8_t* p = par_->Text.Data();
    const int32_t n = par_->Text.Length();
    for (int32_t i = 0; i < n;) {
        if (p[i] == 0 && i + TagSize <= n) {
            if (IsAttributeKind(p[i + 1])) {
                kept.AppendBytes(p + i, TagSize);
            }
            i += TagSize;
        } else {
            ++i;
        }
    }
    par_->Text.Assign(kept);
    par_->Positions.Clear();
    par_->TextChanged();
}

void TRtfReader::DispatchBody(const TRtfWord& word) {
    const int32_t id = words_.Body.Find(word.View());
    const int32_t n = word.Value;
    switch (id) {
        case bwB: SetChar(caBold, OnOff(word.Flag())); break;
        case bwCell:
            if (style_ == nullptr) {
                if (++cellIndex_ < cellCount_) {
                    AppendSpecial(spTab);
                }
                tabs_.Clear();
            }
            break;
        case bwCellx: cellCount_ = std::min(cellCount_ + 1, MaxCells); break;
        case bwCf: SetChar(caColor, ColorOf(n)); break;
        case bwDeflang:
            doc_.DefaultLanguage = Clamp(n, 0, MaxLanguage);
            SetChar(caLanguage, doc_.DefaultLanguage);
            break;
        case bwDeflangcoding: doc_.DefaultLanguageCoding = Clamp(n, 0, MaxLanguage); break;
        case bwDeftab: doc_.Tabs().SetDefaultInterval(n <= 0 ? DefaultTabInterval : std::min(n, MaxLength)); break;
        case bwDeleted: SetChar(caStrikeOut, 1); break;
        case bwDn: SetChar(caOffset, Clamp(-(static_cast<int64_t>(n) / 2), -MaxOffset, MaxOffset)); break;
        case bwEmdash: AppendSpecial(spLongDash); break;
        case bwEndash: AppendSpecial(spShortDash); break;
        case bwExpnd: SetChar(caExpansion, Clamp(static_cast<int64_t>(n) * 5, -MaxExpansion, MaxExpansion)); break;
        case bwExpndtw: SetChar(caExpansion, Clamp(n, -MaxExpansion, MaxExpansion)); break;
        case bwF: SetChar(caFont, FontOf(n)); break;
        case bwFi: SetPar(paFirstIndent, Clamp(n, -MaxLength, MaxLength)); break;
        case bwFs: SetChar(caSize, Clamp(n, MinFontSize, MaxFontSize)); break;
        case bwHighlight: SetChar(caHighlight, ColorOf(n)); break;
        case bwI: SetChar(caItalic, OnOff(word.Flag())); break;
        case bwIntbl: break;
        case bwKeep: SetPar(paKeepIntact, OnOff(word.Flag())); break;
        case bwKeepn: SetPar(paKeepWithNext, OnOff(word.Flag())); break;
        case bwKerning: SetChar(caKerning, Clamp(n, 0, MaxFontSize)); break;
        case bwLang: SetChar(caLanguage, Clamp(n, 0, MaxLanguage)); break;
        case bwLdblquote: AppendCharByte(0x93); break;
        case bwLi: SetPar(paLeftIndent, Clamp(n, -MaxLength, MaxLength)); break;
        case bwLine: AppendSpecial(spLineBreak); break;
        case bwLndscpsxn:
            page_.Landscape = 1;
            pageChanged_ = true;
            break;
        case bwLquote: AppendCharByte(0x91); break;
        case bwMac: mac_ = true; break;
        case bwMargb: page_.BottomMargin = Clamp(n, 0, MaxPaperSize); pageChanged_ = true; break;
        case bwMargl: page_.LeftMargin = Clamp(n, 0, MaxPaperSize); pageChanged_ = true; break;
        case bwMargr: page_.RightMargin = Clamp(n, 0, MaxPaperSize); pageChanged_ = true; break;
        case bwMargt: page_.TopMargin = Clamp(n, 0, MaxPaperSize); pageChanged_ = true; break;
        case bwNosupersub: SetChar(caVerticalPosition, 0); break;
        case bwNowidctlpar: SetPar(paWidowControl, 0); break;
        case bwNowidowctrl:
            doc_.WidowControl = 0;
            doc_.Paragraph(0).Attributes[paWidowControl] = 0;
            break;
        case bwPage: AppendSpecial(spPageBreak); break;
        case bwPagebb: SetPar(paPageBreakBefore, OnOff(word.Flag())); break;
        case bwPaperh: page_.PaperHeight = Clamp(n, MinPaperSize, MaxPaperSize); pageChanged_ = true; break;
        case bwPaperw: page_.PaperWidth = Clamp(n, MinPaperSize, MaxPaperSize); pageChanged_ = true; break;
        case bwPar: EndParagraph(); break;
        case bwPard: {
            TParAttrs& par = ParTarget();
            const int32_t styleSlot = par[paStyle];
            par = doc_.DefaultParAttrs;
            par[paWidowControl] = doc_.WidowControl;
            if (style_ != nullptr) {
                par[paStyle] = styleSlot;
            }
            if (style_ == nullptr) {
                tabs_.Clear();
            }
            break;
        }
        case bwPlain:
            for (int slot = 0; slot < caLanguage; ++slot) {
                SetChar(slot, doc_.DefaultCharAttrs[slot]);
            }
            SetChar(caLanguage, doc_.DefaultLanguage);
            break;
        case bwPnf: break;
        case bwPnlvlblt: Bullet(); break;
        case bwQc: SetPar(paAlignment, 1); break;
        case bwQj: SetPar(paAlignment, 3); break;
        case bwQl: SetPar(paAlignment, 0); break;
        case bwQr: SetPar(paAlignment, 2); break;
        case bwRdblquote: AppendCharByte(0x94); break;
        case bwRi: SetPar(paRightIndent, Clamp(n, -MaxLength, MaxLength)); break;
        case bwRow:
            if (style_ == nullptr) {
                EndParagraph();
                cellIndex_ = 0;
                MarkDataLoss();
            }
            break;
        case bwRquote: AppendCharByte(0x92); break;
        case bwS:
            if (style_ != nullptr) {
                style_->Number = n;
            } else {
                SetPar(paStyle, StyleIndexOf(n));
            }
            break;
        case bwSa: SetPar(paSpaceAfter, Clamp(n, 0, MaxLength)); break;
        case bwSb: SetPar(paSpaceBefore, Clamp(n, 0, MaxLength)); break;
        case bwSect: EndParagraph(); break;
        case bwSectd: break;
        case bwSl: SetPar(paLineSpacing, n == 1000 ? 240 : Clamp(n, -MaxLength, MaxLength)); break;
        case bwSlmult: SetPar(paSpacingMultiple, OnOff(n)); break;
        case bwStrike: SetChar(caStrikeOut, OnOff(word.Flag())); break;
        case bwSub: SetChar(caVerticalPosition, 2); break;
        case bwSuper: SetChar(caVerticalPosition, 1); break;
        case bwTab: AppendSpecial(spTab); break;
        case bwTb: AddTabStop(n, tkBar); break;
        case bwTldot: tabLeader_ = tlDots; break;
        case bwTlhyph: tabLeader_ = tlHyphens; break;
        case bwTlul: tabLeader_ = tlUnderline; break;
        case bwTqc: tabKind_ = tkCentred; break;
        case bwTqdec: tabKind_ = tkDecimal; break;
        case bwTqr: tabKind_ = tkRight; break;
        case bwTrowd: cellCount_ = 0; break;
        case bwTx: AddTabStop(n, tabKind_); break;
        case bwU: ReadUnicode(n); break;
        case bwUc: fallbackCount_ = Clamp(n, 0, MaxFallbackCount); break;
        case bwUl: SetChar(caUnderline, OnOff(word.Flag())); break;
        case bwUlnone: SetChar(caUnderline, 0); break;
        case bwUp: SetChar(caOffset, Clamp(n / 2, -MaxOffset, MaxOffset)); break;
        case bwViewscale: doc_.SetZoom(std::clamp(n, 10, 500)); break;
        case bwViewzk: {
            static constexpr TZoomKind Kinds[] = {TZoomKind::Percentage, TZoomKind::WholePage, TZoomKind::PageWidth,
                                                  TZoomKind::TextWidth};
            if (n >= 0 && n <= 3) {
                doc_.View.ZoomKind = Kinds[n];
            }
            break;
        }
        case bwWidctlpar: SetPar(paWidowControl, 1); break;
        case bwWidowctrl:
            doc_.WidowControl = 1;
            doc_.Paragraph(0).Attributes[paWidowControl] = 1;
            break;
        default: break;  // words without effect, and words we do not know
    }
}

void TRtfReader::ReadUnicode(int32_t code) {
    if (code < 0 && code >= -32768) {
        code += 65536;  // written as a signed 16-bit number
    }
    std::string fallback;
    SkipFallback(fallback);
    if (code <= 0) {
        return;
    }
    const int fontPage = style_ == nullptr ? CurrentCodePage() : systemCodePage_;
    const bool symbolFont = style_ == nullptr && fontPage == 0;
    if (symbolFont && code >= 0xF020 && code <= 0xF0FF) {
        AppendCharByte(static_cast<uint8_t>(code & 0xFF));  // a symbol font's own glyph code
        return;
    }
    const int page = CodePageForCharacter(code, systemCodePage_);
    const uint8_t converted = encoders_.Encode(page, static_cast<char32_t>(code));
    if (converted < 0x80) {
        if (IsDoubleByteCodePage(fontPage) && fallback.size() >= 2) {
            // The fallback is the character in the font's own double-byte page.
            AppendTextBytes(reinterpret_cast<const uint8_t*>(fallback.data()), static_cast<int32_t>(fallback.size()));
            return;
        }
        const uint8_t byte = fallback.empty() ? '?' : static_cast<uint8_t>(fallback.back());
        AppendTextBytes(&byte, 1);
        return;
    }
    if (style_ == nullptr && page != fontPage) {
        SetChar(caFont, FontForCodePage(fonts_, chars_[caFont], page));
    }
    AppendTextBytes(&converted, 1);
}

void TRtfReader::SkipFallback(std::string& fallback) {
    int32_t count = fallbackCount_;
    while (count > 0) {
        const int c = in_.Peek();
        if (c < 0 || c == '}') {
            return;  // the fallback never takes the group's end
        }
        if (c == '{') {
            in_.Skip();
            in_.SkipGroup();
        } else if (c == '\\') {
            if (in_.AtHexEscape()) {
                fallback.push_back(static_cast<char>(HexDigitValue(in_.Peek(2)) * 16 + HexDigitValue(in_.Peek(3))));
                in_.Skip(4);
                --count;
            } else if (in_.AtControlWord()) {
                const TRtfWord word = in_.ReadWord();
                if (word.View() == "bin") {
                    in_.SkipBinary(word.Value);
                }
            } else {
                const int next = in_.Peek(1);
                if (next == '\\' || next == '{' || next == '}') {
                    fallback.push_back(static_cast<char>(next));
                    --count;
                }
                in_.Skip(next < 0 ? 1 : 2);
            }
        } else if (c < 32) {
            in_.Skip();
        } else {
            fallback.push_back(static_cast<char>(c));
            in_.Skip();
            --count;
        }
    }
}

bool ReadRtf(TDocument& document, TReadBuffer& in, TDocOpeningOptions& options, const TFormatServices& services) {
    try {
        TRtfReader reader(document, in, options, services);
        reader.Read();
        return true;
    } catch (const TSilentAbort&) {
        return false;
    } catch (const std::exception& e) {
        if (!in.FromMemory()) {
            services.Messages.Show(
                FormatMessageText("Exception with message||\"%s\"||raised while opening document \"%s\"",
                                  {e.what(), options.FileName}),
                TMessageKind::Error, TMessageButtons::Ok);
        }
        return false;
    }
}

void NormalizeStyleList(TDocument& document) {
    TStyleList& list = document.Styles();
    const TModelDefaults defaults{document.DefaultCharAttrs, document.DefaultParAttrs};
    std::vector<TResolvedStyle> resolved;
    resolved.reserve(static_cast<size_t>(list.StyleCount()));
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        resolved.push_back(ResolveStyle(list.Style(i), 0, defaults));
    }
    TResolvedStyle root{defaults.Char, defaults.Par};
    root.Par[paWidowControl] = 0;
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        TStyle& style = list.Style(i);
        const TResolvedStyle& base =
            list.ValidIndex(style.BasedOn) ? resolved[static_cast<size_t>(style.BasedOn)] : root;
        const int32_t own = style.ParAttrs[paStyle];
        const int32_t tabs = style.ParAttrs[paTabTable];
        StripDefaults(style.CharAttrs, base.Char);
        StripParDefaults(style.ParAttrs, base.Par);
        style.ParAttrs[paStyle] = own;  // a style always knows its own index
        if (tabs >= 0 && tabs != base.Par[paTabTable]) {
            style.ParAttrs[paTabTable] = tabs;
        }
    }
}

}  // namespace quillane
