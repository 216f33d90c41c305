#include "formats/word/WordReader.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/DocumentFormat.h"
#include "formats/ImportedPicture.h"
#include "formats/word/WordCharPropsCache.h"
#include "formats/word/WordCharset.h"
#include "formats/word/WordFib.h"
#include "formats/word/WordFkp.h"
#include "formats/word/WordListLabels.h"
#include "formats/word/WordLists.h"
#include "formats/word/WordParagraphText.h"
#include "formats/word/WordPictures.h"
#include "formats/word/WordPieces.h"
#include "formats/word/WordProperties.h"
#include "formats/word/WordSprm.h"
#include "formats/word/WordStreamWindow.h"
#include "formats/word/WordStyles.h"
#include "formats/word/WordTables.h"
#include "model/FontManager.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

// Streams are read whole; a damaged directory may claim any size, and no
// real document comes near this.
constexpr int64_t MaxStreamSize = int64_t{256} << 20;
// The main stream's windows: text, and formatted pages with section descriptors.
constexpr size_t TextWindowSize = size_t{256} << 10;
constexpr size_t PageWindowSize = size_t{64} << 10;
constexpr int32_t ProgressStep = 4096;
constexpr uint32_t DopReadLimit = 500;
constexpr uint32_t NoSepx = 0xFFFFFFFF;

const char* const MainStreamError = "Error reading the main stream";
const char* const TableStreamError = "Error reading the table stream";
const char* const DataStreamError = "Error reading the data stream";

TByteView ReadStream(TCompoundFile& storage, const std::string& name, TStreamBytes& bytes, const char* failure) {
    TStreamOpenResult opened = storage.OpenStream(name);
    if (!opened.Stream || bytes.Read(*opened.Stream, MaxStreamSize) != TStorageError::None) {
        throw std::runtime_error(failure);
    }
    return TByteView(bytes.Data(), bytes.Size());
}

// Word 6.0/95 keeps its pictures in the main stream, already read.
class TMainStreamData final : public TWordDataStream {
public:
    explicit TMainStreamData(const TByteView& main) : main_(main) {}
    const TByteView* Bytes() override { return &main_; }

private:
    const TByteView& main_;
};

// The pictures' data stream is read once, when the first picture needs it.
class TLazyStream final : public TWordDataStream {
public:
    TLazyStream(TCompoundFile& storage, const char* name) : storage_(storage), name_(name) {}
    const TByteView* Bytes() override {
        if (!tried_) {
            tried_ = true;
            // A missing stream only costs the pictures; one that cannot be
            // read fails the document like the other streams.
            TStreamOpenResult opened = storage_.OpenStream(name_);
            if (opened.Stream) {
                if (bytes_.Read(*opened.Stream, MaxStreamSize) != TStorageError::None) {
                    throw std::runtime_error(DataStreamError);
                }
                view_ = TByteView(bytes_.Data(), bytes_.Size());
                present_ = true;
            }
        }
        return present_ ? &view_ : nullptr;
    }

private:
    TCompoundFile& storage_;
    const char* name_;
    bool tried_ = false;
    bool present_ = false;
    TStreamBytes bytes_;
    TByteView view_;
};

class TWordReader {
public:
    TWordReader(TDocument& document, TCompoundFile& storage, TDocOpeningOptions& options,
                const TFormatServices& services)
        : document_(document), storage_(storage), options_(options), services_(services),
          charset_(services.Fonts, services.CodePages.AnsiCodePage()) {}

    bool Run();

private:
    void ReadDocumentProperties();
    void ReadFonts();
    void ReadInformation();
    void ReadSection();
    void ReadText();
    void ReadSpan(const TWordPiece& piece, int32_t from, int32_t to, const TWordCharProps& chars,
                  const TWordParProps& par);
    TWordStreamWindow PageWindow();
    void Visit(uint8_t c, const TWordCharProps& chars, const TWordParProps& par);
    void AppendByte(uint8_t byte, const TCharAttrs& attrs);
    void AppendSpecial(uint8_t code, const TCharAttrs& attrs);
    void SyncAttributes(const TCharAttrs& attrs);
    void FlushRun();
    void EndParagraph();
    void StartParagraphFormat(const TWordParProps& par);
    void ListLabel(const TWordParProps& par);
    // The character attributes of the current paragraph's mark, with
    // `sprms` (a list level's formatting of its label) applied over them.
    TCharAttrs MarkAttrs(const TWordParProps& par, TByteView sprms);
    void AppendLabelByte(uint8_t byte, const TCharAttrs& attrs);
    void Picture(const TWordCharProps& chars);

    // Valid until the next call.
    const TWordCharProps& CharPropsAt(const TWordPiece& piece, const TFkpRun& run, const TWordParProps& par);
    TWordParProps ParPropsAt(const TWordPiece& piece, const TFkpRun& run) const;
    void ApplyModifier(const TWordPiece& piece, TSprmVisitor apply) const;

    TDocument& document_;
    TCompoundFile& storage_;
    TDocOpeningOptions& options_;
    const TFormatServices& services_;
    TWordTextConverter charset_;

    std::unique_ptr<TStorageStream> mainStream_;
    TStreamBytes mainBytes_;  // Word 6.0/95 only: its tables are in the main stream
    TStreamBytes tableBytes_;
    TByteView main_;
    // The main stream's text, and its formatted pages and section descriptors.
    std::optional<TWordStreamWindow> text_;
    std::optional<TWordStreamWindow> pages_;
    TByteView table_;
    TWordFib fib_;
    TWordPieceTable pieces_;
    TWordStyleSheet styles_;
    TWordLists lists_;
    TWordListNumbering numbering_{lists_};
    // While the text is read: where the paragraph's mark is looked up (an
    // index of its own, so the text's runs stay valid), the piece and the
    // paragraph run of the character being read.
    TWordFkpIndex* markIndex_ = nullptr;
    const TWordPiece* piece_ = nullptr;
    TFkpRun parRun_;
    TWordPropertyContext context_;
    TWordCharPropsCache charProps_;
    TWordCharProps uncachedProps_;  // what CharPropsAt worked out last
    std::vector<int32_t> fonts_;
    std::unique_ptr<TWordDataStream> data_;

    TParagraph* paragraph_ = nullptr;
    bool paragraphFormatPending_ = true;
    TCharAttrs streamAttrs_;   // the state at the end of the paragraph's stream
    TWordParagraphText pending_;  // what goes into the paragraph next
    // A cell end's tab waits for what follows: the row's last cell needs
    // none, as the RTF reader's rows have none.
    bool cellTabPending_ = false;
    TCharAttrs cellTabAttrs_;
    bool skippingField_ = false;
    int64_t characters_ = 0;
    int32_t nextProgress_ = 0;  // the position at which progress goes out next
};

void TWordReader::ReadDocumentProperties() {
    const TByteView dop = table_.Sub(fib_.Dop.Fc, std::min(fib_.Dop.Lcb, DopReadLimit));
    if (dop.Has(10, 2)) {
        const int16_t dxaTab = dop.S16(10);
        if (dxaTab != 0) {
            document_.Tabs().SetDefaultInterval(dxaTab);  // zero or negative: half an inch
        }
    }
    if (dop.Has(82, 2)) {
        const uint16_t view = dop.U16(82);
        int32_t percent = (view >> 3) & 0x1FF;
        if (percent < 10 || percent > 500) {
            percent = 100;
        }
        document_.SetZoom(percent);
        static const TZoomKind kinds[4] = {TZoomKind::Percentage, TZoomKind::WholePage, TZoomKind::PageWidth,
                                           TZoomKind::TextWidth};
        document_.View.ZoomKind = kinds[(view >> 12) & 3];
    }
    if (dop.Has(12, 2)) {
        const uint16_t pages = dop.U16(12);
        if (pages == 257) {
            document_.View.ZoomKind = TZoomKind::OnePage;
        } else if (pages == 258) {
            document_.View.ZoomKind = TZoomKind::TwoPages;
        }
    }
}

void TWordReader::ReadFonts() {
    if (services_.Fonts == nullptr) {
        return;
    }
    TFontManager& registry = *services_.Fonts;
    for (const TWordFont& font : ParseWordFonts(table_.Sub(fib_.SttbfFfn.Fc, fib_.SttbfFfn.Lcb), fib_.Generation,
                                                context_.ToAnsi)) {
        // An alternate name stands in for a font the system does not have.
        const bool useAlt = !font.AltName.empty() && registry.FindFamily(font.Name) < 0;
        const std::string& name = useAlt ? font.AltName : font.Name;
        fonts_.push_back(registry.Register(name.empty() ? std::string("Times New Roman") : name, font.CharSet, true,
                                           font.PitchAndFamily));
    }
}

void TWordReader::ReadInformation() {
    const auto strings =
        ParseSttbf(table_.Sub(fib_.SttbfAssoc.Fc, fib_.SttbfAssoc.Lcb), fib_.Generation, context_.ToAnsi);
    const auto entry = [&](size_t i) { return i < strings.size() ? strings[i] : std::string(); };
    TDocumentProperties& p = document_.Information.Properties;
    p.Title = entry(2);
    p.Subject = entry(3);
    p.Keywords = entry(4);
    p.Comments = entry(5);
    p.Author = entry(6);
    document_.Information.Operator = entry(7);
}

void TWordReader::ReadSection() {
    // The first section descriptor: after the n + 1 CPs, 12 bytes each.
    const TByteView plc = table_.Sub(fib_.PlcfSed.Fc, fib_.PlcfSed.Lcb);
    if (plc.Size() < 4 + 4 + 12) {
        return;
    }
    const uint64_t count = (plc.Size() - 4) / 16;
    const uint32_t fcSepx = plc.U32((count + 1) * 4 + 2);
    const TByteView head = fcSepx == NoSepx ? TByteView() : pages_->Range(fcSepx, 2);
    if (head.Size() != 2) {
        return;
    }
    const uint16_t size = head.U16(0);
    TByteView grpprl = pages_->Range(uint64_t{fcSepx} + 2, size);
    if (grpprl.Size() != size) {
        grpprl = TByteView();  // cut off by the end of the stream
    }
    TPageSettings page = document_.PageSettings();
    ForEachSprm(grpprl, fib_.Generation, [&](const TSprm& sprm) { ApplySectionSprm(sprm, page); });
    document_.ApplyPageSettings(page, false);
}

void TWordReader::ApplyModifier(const TWordPiece& piece, TSprmVisitor apply) const {
    if (piece.Prm & 1) {
        const size_t index = piece.Prm >> 1;
        if (index < pieces_.Modifiers.size()) {
            ForEachSprm(pieces_.Modifiers[index], fib_.Generation, apply);
        }
    } else if (piece.Prm != 0) {
        TSprm sprm;
        uint8_t operand = 0;
        if (SprmFromPrm(piece.Prm, fib_.Generation, sprm, operand)) {
            apply(sprm);
        }
    }
}

TWordParProps TWordReader::ParPropsAt(const TWordPiece& piece, const TFkpRun& run) const {
    TWordParProps props;
    const int32_t style = styles_.ParagraphStyle(run.Istd);
    props.Attrs = styles_.ParagraphAttrs(style, document_);
    const TWordStyleSheet::TListMembership member = styles_.ListOf(style);
    props.ListOverride = member.Override;
    props.ListLevel = member.Level;
    props.Word6Level = member.Word6Level;
    props.Anld = member.Anld;
    const auto apply = [&](const TSprm& sprm) { ApplyParSprm(sprm, props, context_); };
    ForEachSprm(run.Grpprl, fib_.Generation, apply);
    ApplyModifier(piece, apply);
    if (props.ListOverride != 0) {
        // A list paragraph takes its level's indents and tabs; what the
        // paragraph sets itself still wins.
        const TByteView level = lists_.LevelSprms(props.ListOverride, props.ListLevel);
        if (level.Size() != 0) {
            TWordParProps listed;
            listed.Attrs = styles_.ParagraphAttrs(style, document_);
            listed.ListOverride = member.Override;
            listed.ListLevel = member.Level;
            const auto applyListed = [&](const TSprm& sprm) { ApplyParSprm(sprm, listed, context_); };
            ForEachSprm(level, fib_.Generation, applyListed);
            ForEachSprm(run.Grpprl, fib_.Generation, applyListed);
            ApplyModifier(piece, applyListed);
            props = listed;
        }
    }
    return props;
}

const TWordCharProps& TWordReader::CharPropsAt(const TWordPiece& piece, const TFkpRun& run, const TWordParProps& par) {
    if (const TWordCharProps* known = charProps_.Find(run.Grpprl, par.Attrs[paStyle], piece.Prm)) {
        return *known;
    }
    TWordCharProps& props = uncachedProps_;
    const TCharAttrs& style = styles_.CharacterAttrs(par.Attrs[paStyle], document_);
    props = TWordCharProps{};
    props.Attrs = style;
    const auto apply = [&](const TSprm& sprm) { ApplyCharSprm(sprm, props, style, context_); };
    ForEachSprm(run.Grpprl, fib_.Generation, apply);
    ApplyModifier(piece, apply);
    charProps_.Store(run.Grpprl, par.Attrs[paStyle], piece.Prm, props);
    return props;
}

void TWordReader::FlushRun() {
    pending_.MoveInto(*paragraph_);
}

void TWordReader::SyncAttributes(const TCharAttrs& attrs) {
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (attrs[slot] != streamAttrs_[slot]) {
            pending_.AttributeTag(slot, attrs[slot]);
            streamAttrs_[slot] = attrs[slot];
        }
    }
}

void TWordReader::AppendByte(uint8_t byte, const TCharAttrs& attrs) {
    SyncAttributes(attrs);
    if (pending_.Full()) {
        FlushRun();
    }
    pending_.Char(byte);
}

void TWordReader::AppendSpecial(uint8_t code, const TCharAttrs& attrs) {
    SyncAttributes(attrs);
    pending_.Special(code);
}

void TWordReader::StartParagraphFormat(const TWordParProps& par) {
    paragraph_->Attributes = par.Attrs;
    paragraphFormatPending_ = false;
    ListLabel(par);
}

TCharAttrs TWordReader::MarkAttrs(const TWordParProps& par, TByteView sprms) {
    TWordCharProps props;
    const TCharAttrs& style = styles_.CharacterAttrs(par.Attrs[paStyle], document_);
    props.Attrs = style;
    const auto apply = [&](const TSprm& sprm) { ApplyCharSprm(sprm, props, style, context_); };
    if (markIndex_ != nullptr && piece_ != nullptr && parRun_.FcEnd > parRun_.FcStart) {
        // The mark is the paragraph run's last character.
        const TFkpRun mark = markIndex_->Find(parRun_.FcEnd - static_cast<uint32_t>(piece_->CharSize()));
        ForEachSprm(mark.Grpprl, fib_.Generation, apply);
        ApplyModifier(*piece_, apply);
    }
    ForEachSprm(sprms, fib_.Generation, apply);
    return props.Attrs;
}

void TWordReader::AppendLabelByte(uint8_t byte, const TCharAttrs& attrs) {
    switch (byte) {
        case 150: AppendSpecial(spShortDash, attrs); return;
        case 151: AppendSpecial(spLongDash, attrs); return;
        case 160: AppendSpecial(spNonbreakingSpace, attrs); return;
        default: break;
    }
    if (byte >= 32) {
        AppendByte(byte, attrs);
    }
}

// A numbered paragraph starts with the label it displays ("1.", "A.",
// "iv)"), set in its mark's attributes as a reader of RTF's list text
// finds it: the numbers the author saw stay with the text. Bulleted
// paragraphs keep their drawn bullet instead.
void TWordReader::ListLabel(const TWordParProps& par) {
    if (fib_.IsWord97()) {
        if (par.ListOverride == 0 || lists_.Level(par.ListOverride, par.ListLevel) == nullptr) {
            return;
        }
        const std::optional<TWordListLabel> label = numbering_.Next(par.ListOverride, par.ListLevel);
        if (!label) {
            return;  // a bullet
        }
        paragraph_->Attributes[paBullet] = 0;
        const TCharAttrs attrs = MarkAttrs(par, label->CharSprms);
        for (const char16_t c : label->Text) {
            TCharAttrs shown = attrs;
            const uint8_t byte = charset_.Unicode(c, shown[caFont]);
            AppendLabelByte(byte, shown);
        }
        if (label->Follow == TWordLabelFollow::Tab) {
            AppendSpecial(spTab, attrs);
        } else if (label->Follow == TWordLabelFollow::Space) {
            AppendByte(' ', attrs);
        }
        return;
    }
    if (par.Word6Level == 0 || par.Anld.Size() == 0) {
        numbering_.Word6Unnumbered();
        return;
    }
    const std::optional<TWordAnldLabel> label = numbering_.NextWord6(par.Word6Level, par.Anld);
    if (!label) {
        return;
    }
    if (label->Bullet) {
        paragraph_->Attributes[paBullet] = 1;  // a bullet format at any level is drawn as one
        return;
    }
    paragraph_->Attributes[paBullet] = 0;
    const TCharAttrs attrs = MarkAttrs(par, TByteView());
    for (const char c : label->Text) {
        AppendLabelByte(static_cast<uint8_t>(c), attrs);
    }
    AppendSpecial(spTab, attrs);
}

void TWordReader::EndParagraph() {
    pending_.Special(spParagraphEnd);
    FlushRun();
    characters_ += paragraph_->PositionCount() - 1;
    paragraph_ = &document_.AddParagraph();
    streamAttrs_ = document_.DefaultCharAttrs;
    paragraphFormatPending_ = true;
}

void TWordReader::Picture(const TWordCharProps& chars) {
    // OLE objects are not kept; without a sink neither are pictures.
    std::optional<TImportedPicture> picture;
    if (!chars.Ole && services_.Pictures != nullptr) {
        picture = ReadWordPicture(chars.PictureLocation, *data_, fib_.Generation);
    }
    bool placed = false;
    if (picture) {
        SyncAttributes(chars.Attrs);
        FlushRun();
        placed = services_.Pictures->AddPicture(document_, *paragraph_, std::move(*picture));
    }
    if (!placed) {
        document_.OpenedWithDataLosses = true;
    }
}

// One character of the main text as a byte of the model's code page.
void TWordReader::Visit(uint8_t byte, const TWordCharProps& chars, const TWordParProps& par) {
    const uint8_t c = byte;
    if (paragraphFormatPending_) {
        StartParagraphFormat(par);
    }
    if (skippingField_) {
        // Field instructions run up to the separator or the end mark. The
        // separator of an embedded object's field carries the OLE flag; the
        // result shows only the object's picture, so the object is lost.
        if (c == 20 || c == 21) {
            skippingField_ = false;
            if (chars.Special && chars.Ole) {
                document_.OpenedWithDataLosses = true;
            }
        }
        return;
    }
    if (cellTabPending_ && !(c == 7 && par.InTable && par.RowEnd)) {
        cellTabPending_ = false;
        AppendSpecial(spTab, cellTabAttrs_);
    }
    if (chars.Special) {
        if (c == 1) {
            Picture(chars);
        } else if (c == 19) {
            skippingField_ = true;
        } else if (chars.HasSymbol && (chars.SymbolChar & 0xFF) >= 32) {
            // The symbol is the low byte (Word 97 gives private-use 0xF0xx);
            // a control there has no glyph, and a zero would start a tag.
            TCharAttrs attrs = chars.Attrs;
            attrs[caFont] = chars.SymbolFont;
            AppendByte(static_cast<uint8_t>(chars.SymbolChar & 0xFF), attrs);
        }
        return;
    }
    switch (byte) {
        case 7:
            if (par.InTable) {
                if (par.RowEnd) {
                    cellTabPending_ = false;
                    EndParagraph();
                } else {
                    cellTabPending_ = true;
                    cellTabAttrs_ = chars.Attrs;
                }
            }
            return;
        case 9: AppendSpecial(spTab, chars.Attrs); return;
        case 11: AppendSpecial(spLineBreak, chars.Attrs); return;
        case 12: AppendSpecial(spPageBreak, chars.Attrs); return;
        case 13:
        case 14: EndParagraph(); return;
        case 30: AppendSpecial(spNonbreakingHyphen, chars.Attrs); return;
        case 31: AppendSpecial(spOptionalHyphen, chars.Attrs); return;
        case 150: AppendSpecial(spShortDash, chars.Attrs); return;
        case 151: AppendSpecial(spLongDash, chars.Attrs); return;
        case 160: AppendSpecial(spNonbreakingSpace, chars.Attrs); return;
        default: break;
    }
    if (byte < 32) {
        return;  // 20 and 21 outside instructions and other controls have no place in the text
    }
    AppendByte(byte, chars.Attrs);
}

// A window for formatted pages (Word 6.0/95's main stream is held whole).
TWordStreamWindow TWordReader::PageWindow() {
    if (!fib_.IsWord97()) {
        return TWordStreamWindow(main_);
    }
    return TWordStreamWindow(*mainStream_, text_->Size(), PageWindowSize, MainStreamError);
}

// Bytes that go into the text as they are: not controls, not the bytes the
// reader turns into dashes and a no-break space.
constexpr std::array<bool, 256> PlainBytes = [] {
    std::array<bool, 256> plain{};
    for (int b = 32; b < 256; ++b) {
        plain[static_cast<size_t>(b)] = b != 150 && b != 151 && b != 160;
    }
    return plain;
}();

void TWordReader::ReadText() {
    // Character and paragraph pages lie in runs of their own: a window
    // each keeps either from pushing the other out.
    TWordStreamWindow chpxPages = PageWindow();
    TWordStreamWindow papxPages = PageWindow();
    TWordFkpIndex chpx(chpxPages, table_.Sub(fib_.PlcfBteChpx.Fc, fib_.PlcfBteChpx.Lcb), fib_.Generation,
                       TWordFkpIndex::TKind::Character, fib_.CpnBteChp);
    TWordFkpIndex papx(papxPages, table_.Sub(fib_.PlcfBtePapx.Fc, fib_.PlcfBtePapx.Lcb), fib_.Generation,
                       TWordFkpIndex::TKind::Paragraph, fib_.CpnBtePap);
    // List labels look up their paragraph's mark ahead of the text.
    TWordStreamWindow markPages = PageWindow();
    TWordFkpIndex marks(markPages, table_.Sub(fib_.PlcfBteChpx.Fc, fib_.PlcfBteChpx.Lcb), fib_.Generation,
                        TWordFkpIndex::TKind::Character, fib_.CpnBteChp);
    markIndex_ = &marks;
    if (services_.Progress != nullptr) {
        services_.Progress->SetRange(fib_.CcpText);
    }
    paragraph_ = &document_.LastParagraph();
    streamAttrs_ = document_.DefaultCharAttrs;
    // Every character takes at least one byte of the main stream, so a
    // piece table whose pieces share their bytes cannot make the text
    // longer than the stream.
    const int32_t textEnd = static_cast<int32_t>(std::min<uint64_t>(static_cast<uint64_t>(fib_.CcpText), text_->Size()));
    for (const TWordPiece& piece : pieces_.Pieces) {
        if (piece.CpStart >= textEnd) {
            break;  // text beyond the main text is never read
        }
        const int32_t end = std::min(piece.CpEnd, textEnd);
        TFkpRun charRun;
        TFkpRun parRun;
        bool charValid = false;
        bool parValid = false;
        TWordParProps par;
        const TWordCharProps* chars = nullptr;
        for (int32_t cp = piece.CpStart; cp < end;) {
            const uint64_t fc = piece.FcOf(cp);
            const uint32_t fc32 = static_cast<uint32_t>(fc);
            if (!parValid || fc32 < parRun.FcStart || fc32 >= parRun.FcEnd) {
                parRun = papx.Find(fc32);
                piece_ = &piece;
                parRun_ = parRun;
                par = ParPropsAt(piece, parRun);
                parValid = true;
                charValid = false;  // the paragraph style underlies the characters
            }
            if (!charValid || fc32 < charRun.FcStart || fc32 >= charRun.FcEnd) {
                charRun = chpx.Find(fc32);
                chars = &CharPropsAt(piece, charRun, par);
                charValid = true;
            }
            // The characters up to the end of both runs share their
            // properties. (A position past 4 GB, which only a damaged piece
            // gives, goes one character at a time.)
            const uint64_t runEnd = std::min(parRun.FcEnd, charRun.FcEnd);
            const uint32_t charSize = piece.CharSize();
            const uint64_t span = runEnd > fc ? (runEnd - fc + charSize - 1) >> piece.CharShift() : 1;
            const int32_t spanEnd = static_cast<int32_t>(std::min<uint64_t>(end, cp + span));
            ReadSpan(piece, cp, spanEnd, *chars, par);
            cp = spanEnd;
        }
    }
    markIndex_ = nullptr;
    piece_ = nullptr;
    if (cellTabPending_) {
        AppendSpecial(spTab, cellTabAttrs_);
    }
    FlushRun();
    characters_ += paragraph_->PositionCount();
    options_.CharacterCount = static_cast<int32_t>(std::min<int64_t>(characters_, INT32_MAX));
}

// Most of a span's characters go straight into the paragraph: once the
// stream's attributes are the span's, a printable character needs no more
// than a copy.
void TWordReader::ReadSpan(const TWordPiece& piece, int32_t from, int32_t to, const TWordCharProps& chars,
                           const TWordParProps& par) {
    const uint32_t charSize = piece.CharSize();
    const uint32_t charShift = piece.CharShift();
    const uint64_t windowChars = std::max<uint64_t>(text_->Capacity() >> charShift, 1);
    TCharAttrs fontAttrs;  // the span's attributes in the font its text is set in
    bool synced = false;   // the stream's attributes are fontAttrs
    for (int32_t cp = from; cp < to;) {
        // As many of the span's bytes as the window holds at once.
        const int32_t first = cp;
        const int32_t chunkEnd = static_cast<int32_t>(std::min<uint64_t>(to, cp + windowChars));
        const TByteView bytes = text_->Range(piece.FcOf(cp), uint64_t(chunkEnd - cp) * charSize);
        // Progress goes out every few thousand characters, not at every run.
        if (services_.Progress != nullptr && cp >= nextProgress_) {
            services_.Progress->SetPosition(cp);
            nextProgress_ = cp + ProgressStep;
        }
        for (; cp < chunkEnd; ++cp) {
            const uint64_t at = uint64_t(cp - first) * charSize;
            // Printable ASCII in the span's font, most of any text, is
            // copied while it lasts.
            if (synced && (fib_.IsWord97() ? charset_.KeepsAscii(chars.Attrs[caFont], fontAttrs[caFont])
                                           : fontAttrs[caFont] == chars.Attrs[caFont])) {
                const size_t available =
                    at < bytes.Size() ? std::min<size_t>(chunkEnd - cp, (bytes.Size() - at) >> charShift) : 0;
                const size_t taken = available > 0 ? pending_.TakeAscii(bytes.Data() + at, available, charSize) : 0;
                if (taken > 0) {
                    cp += static_cast<int32_t>(taken) - 1;  // the loop steps past the last
                    continue;
                }
            }
            // Word 6.0/95 text is in its font's page already; Word 97/2000
            // text may need the font's sibling in another character set.
            int32_t font = chars.Attrs[caFont];
            uint8_t byte;
            if (!piece.Compressed) {
                byte = charset_.Unicode(bytes.U16(at), font);
            } else if (fib_.IsWord97()) {
                byte = charset_.Ansi(bytes.U8(at), font);
            } else {
                byte = bytes.U8(at);
            }
            if (synced && font == fontAttrs[caFont] && PlainBytes[byte] && !pending_.Full()) {
                pending_.Char(byte);
            } else if (PlainBytes[byte] && !chars.Special && !paragraphFormatPending_ && !skippingField_ &&
                       !cellTabPending_) {
                fontAttrs = chars.Attrs;
                fontAttrs[caFont] = font;
                AppendByte(byte, fontAttrs);
                synced = true;
            } else {
                if (font == chars.Attrs[caFont]) {
                    Visit(byte, chars, par);
                } else {
                    TWordCharProps switched = chars;
                    switched.Attrs[caFont] = font;
                    Visit(byte, switched, par);
                }
                synced = false;
            }
        }
    }
}

bool TWordReader::Run() {
    TStreamOpenResult opened = storage_.OpenStream("WordDocument");
    if (!opened.Stream || opened.Stream->Size() < 0 || opened.Stream->Size() > MaxStreamSize) {
        throw std::runtime_error(MainStreamError);
    }
    mainStream_ = std::move(opened.Stream);
    const auto mainSize = static_cast<uint64_t>(mainStream_->Size());
    pages_.emplace(*mainStream_, mainSize, PageWindowSize, MainStreamError);
    const auto fib = ParseWordFib(pages_->Range(0, PageWindowSize));
    if (!fib) {
        throw std::runtime_error(MainStreamError);
    }
    fib_ = *fib;
    if (fib_.IsWord97()) {
        text_.emplace(*mainStream_, mainSize, TextWindowSize, MainStreamError);
    } else {
        if (mainBytes_.Read(*mainStream_, MaxStreamSize) != TStorageError::None) {
            throw std::runtime_error(MainStreamError);
        }
        main_ = TByteView(mainBytes_.Data(), mainBytes_.Size());
        text_.emplace(main_);
        pages_.emplace(PageWindow());
    }
    const int32_t format = fib_.IsWord97() ? dfWord97 : dfWord6;
    options_.Format = format;
    document_.Format = format;
    if (fib_.Encrypted) {
        services_.Messages.Show(
            FormatMessageText(
                "Document \"%s\" cannot be opened because Quillane does not support MS Word encrypted documents",
                {options_.FileName}),
            TMessageKind::Information, TMessageButtons::Ok);
        return false;
    }
    if (fib_.IsWord97()) {
        table_ = ReadStream(storage_, fib_.Table1 ? "1Table" : "0Table", tableBytes_, TableStreamError);
        data_ = std::make_unique<TLazyStream>(storage_, "Data");
    } else {
        table_ = main_;
        data_ = std::make_unique<TMainStreamData>(main_);
    }
    ReadDocumentProperties();
    if (fib_.IsWord97() && fib_.PlfLfo.Fc > fib_.PlcfLst.Fc) {
        lists_.Read(table_.Sub(fib_.PlcfLst.Fc, fib_.PlfLfo.Fc - fib_.PlcfLst.Fc),
                    table_.Sub(fib_.PlfLfo.Fc, fib_.PlfLfo.Lcb));
    }

    context_.Generation = fib_.Generation;
    context_.Fonts = &fonts_;
    context_.DefaultFont = document_.DefaultCharAttrs[caFont];
    context_.Tabs = &document_.Tabs();
    context_.ToAnsi = [this](uint16_t c) { return charset_.ToSystemPage(c); };
    ReadFonts();
    ReadInformation();
    styles_.Read(table_.Sub(fib_.Stshf.Fc, fib_.Stshf.Lcb), fib_.Generation, context_, document_);
    context_.ParagraphStyles = &styles_.ParagraphStyleMap();
    context_.CharacterStyles = &styles_.CharacterStyleAttrs();

    if (fib_.Complex || fib_.IsWord97()) {
        const auto clx = ParseClx(table_.Sub(fib_.Clx.Fc, fib_.Clx.Lcb), fib_.Generation, mainSize);
        if (!clx) {
            throw std::runtime_error(fib_.IsWord97() ? TableStreamError : MainStreamError);
        }
        pieces_ = *clx;
    } else {
        pieces_ = SinglePiece(fib_.FcMin, fib_.CcpText, mainSize);
    }
    ReadText();
    ReadSection();
    styles_.Finish(document_);
    return true;
}

}  // namespace

int32_t ProbeWordFormat(TCompoundFile& storage) {
    TStreamOpenResult opened = storage.OpenStream("WordDocument");
    if (!opened.Stream) {
        return dfFailed;
    }
    uint8_t head[WordProbeSize] = {};
    int32_t got = 0;
    while (got < WordProbeSize) {
        const int32_t n = opened.Stream->Read(head + got, WordProbeSize - got);
        if (n <= 0) {
            break;
        }
        got += n;
    }
    const TByteView view(head, static_cast<size_t>(got));
    if (!HasWordMagic(view)) {
        return dfFailed;
    }
    return view.U16(0) == Word97Magic ? dfWord97 : dfWord6;
}

bool ReadWord(TDocument& document, TCompoundFile& storage, TDocOpeningOptions& options,
              const TFormatServices& services) {
    try {
        TWordReader reader(document, storage, options, services);
        return reader.Run();
    } catch (const TSilentAbort&) {
        return false;
    } catch (const std::exception& e) {
        if (!options.FromMemory) {
            services.Messages.Show(
                FormatMessageText("Exception with message||\"%s\"||raised while opening document \"%s\"",
                                  {e.what(), options.FileName}),
                TMessageKind::Error, TMessageButtons::Ok);
        }
        return false;
    }
}

}  // namespace quillane
