#include "formats/rtf/RtfWriter.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "formats/PlainText.h"
#include "formats/rtf/RtfWriterCore.h"
#include "model/DateTime.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/Paragraph.h"
#include "model/Style.h"
#include "model/StyleList.h"
#include "model/TabManager.h"
#include "model/TextColors.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

const TFontManager& RequireFonts(const TFormatServices& services) {
    if (services.Fonts == nullptr) {
        throw std::logic_error("the RTF writer needs the font registry");
    }
    return *services.Fonts;
}

}  // namespace

TRtfWriter::TRtfWriter(const TDocument& document, TWriteSink& sink, const TDocSavingOptions& options,
                       const TFormatServices& services, const TRtfWriterOptions& writerOptions)
    : doc_(document),
      sink_(sink),
      options_(options),
      services_(services),
      fonts_(RequireFonts(services)),
      writerOptions_(writerOptions),
      out_(sink, writerOptions.SuperCompact),
      toFile_(!sink.ToMemory()) {
    const int32_t count = document.ParagraphCount();
    range_.First = std::clamp(options.FirstParagraph, 0, count - 1);
    range_.Last = std::clamp(options.LastParagraph, range_.First, count - 1);
    range_.FirstOffset = std::clamp(options.FirstOffset, 0, document.Paragraph(range_.First).PositionCount());
    range_.LastOffset = std::clamp(options.LastOffset, 0, document.Paragraph(range_.Last).PositionCount());
    if (range_.First == range_.Last) {
        range_.LastOffset = std::max(range_.LastOffset, range_.FirstOffset);
    }
}

void TRtfWriter::Write() {
    MarkFonts();
    out_.OpenGroup();
    WriteHeader();
    WriteFontTable();
    WriteColorTable();
    WriteStyleSheet();
    WriteInfo();
    WriteDocumentSettings();

    // The body starts from a known state: plain text in the default font,
    // the reset paragraph format.
    out_.Body(bwPlain);
    out_.Body(bwF, FontNumber(doc_.DefaultCharAttrs[caFont]));
    out_.Body(bwFs, doc_.DefaultCharAttrs[caSize]);
    out_.Body(bwPard);
    written_ = doc_.DefaultCharAttrs;
    written_[caLanguage] = doc_.DefaultLanguage;  // \plain returns to the document's language
    writtenFormat_ = ResetFormat();
    if (services_.Progress != nullptr) {
        services_.Progress->SetRange(range_.Last - range_.First + 1);
    }
    for (int32_t i = range_.First; i <= range_.Last; ++i) {
        const TParagraph& paragraph = doc_.Paragraph(i);
        const int32_t start = i == range_.First ? range_.FirstOffset : 0;
        const int32_t end = i == range_.Last ? range_.LastOffset : paragraph.PositionCount();
        WriteParagraph(paragraph, start, end);
        if (services_.Progress != nullptr) {
            services_.Progress->SetPosition(i - range_.First + 1);
        }
    }
    const TParagraph& last = doc_.Paragraph(range_.Last);
    if (toFile_ && range_.LastOffset < last.PositionCount()) {
        out_.ParagraphEnd();  // a file ends with a whole paragraph
    }
    out_.CloseGroup();
    if (toFile_) {
        sink_.Flush();
    }
}

void TRtfWriter::MarkFonts() {
    fontNumbers_.assign(fonts_.Registry().size(), -1);
    usedFonts_.clear();
    auto mark = [&](int32_t font) {
        if (font >= 0 && static_cast<size_t>(font) < fontNumbers_.size() && fontNumbers_[static_cast<size_t>(font)] < 0) {
            fontNumbers_[static_cast<size_t>(font)] = static_cast<int32_t>(usedFonts_.size());
            usedFonts_.push_back(font);
        }
    };
    const TStyleList& styles = doc_.Styles();
    bool bullets = false;
    for (int32_t i = range_.First; i <= range_.Last; ++i) {
        bullets = bullets || doc_.Paragraph(i).Attributes[paBullet] != 0;
    }
    for (int32_t i = 0; i < styles.StyleCount(); ++i) {
        const TStyle& style = styles.Style(i);
        bullets = bullets || (style.ParAttrs[paBullet] != UndefinedAttr && style.ParAttrs[paBullet] != 0);
        for (const int slot : {caColor, caHighlight}) {
            const int32_t color = style.CharAttrs[slot];
            if (color != UndefinedAttr && color != AutoColor) {
                colorsUsed_ = true;
            }
        }
    }
    // The default font first, the bullets' symbol font (whose group a
    // reader may leave as a font change without text), the style sheet's
    // fonts, then the body's, in the order the document holds them.
    mark(doc_.DefaultCharAttrs[caFont]);
    if (bullets) {
        mark(fonts_.SymbolIndex());
    }
    for (int32_t i = 0; i < styles.StyleCount(); ++i) {
        const TStyle& style = styles.Style(i);
        if (style.CharAttrs[caFont] != UndefinedAttr) {
            mark(style.CharAttrs[caFont]);
        }
    }
    // What the body writes: the attributes after each run of tags, as the
    // text walk takes them together. A font or colour that a later tag of
    // the same run replaces is never written, and a document read back no
    // longer has it.
    for (int32_t i = range_.First; i <= range_.Last; ++i) {
        const TParagraph& paragraph = doc_.Paragraph(i);
        const uint8_t* p = paragraph.Text.Data();
        const int32_t n = paragraph.Text.Length();
        TCharAttrs state = doc_.DefaultCharAttrs;
        for (int32_t k = 0; k < n;) {
            if (p[k] != 0) {
                k += CharRunLength(p + k, n - k);
                continue;
            }
            if (k + TagSize > n) {
                break;
            }
            if (!IsAttributeKind(p[k + 1])) {
                k += TagSize;
                continue;
            }
            const TCharAttrs before = state;
            while (k + TagSize <= n && p[k] == 0 && IsAttributeKind(p[k + 1])) {
                const TTag tag = ReadTag(p + k);
                state[tag.Kind] = tag.Value;
                k += TagSize;
            }
            if (state == before) {
                continue;
            }
            mark(state[caFont]);
            for (const int slot : {caColor, caHighlight}) {
                if (state[slot] != UndefinedAttr && state[slot] != AutoColor) {
                    colorsUsed_ = true;
                }
            }
        }
    }
}

int32_t TRtfWriter::FontNumber(int32_t font) const {
    // A font the registry does not know keeps its value (it has no entry
    // in the table either way).
    return font >= 0 && static_cast<size_t>(font) < fontNumbers_.size() && fontNumbers_[static_cast<size_t>(font)] >= 0
               ? fontNumbers_[static_cast<size_t>(font)]
               : font;
}

void TRtfWriter::WriteHeader() {
    out_.Literal("\\rtf1\\ansi");
    out_.Body(bwDeflang, doc_.DefaultLanguage);
    if (doc_.DefaultLanguageCoding != 0) {
        out_.Body(bwDeflangcoding, doc_.DefaultLanguageCoding);
    }
}

void TRtfWriter::WriteFontTable() {
    // Font names are always escaped: other readers take the table's
    // bytes in their own code page.
    const bool raw = out_.Raw();
    out_.SetRaw(false);
    out_.OpenGroup();
    out_.Destination(dwFonttbl);
    for (size_t i = 0; i < usedFonts_.size(); ++i) {
        const TRegisteredFont& font = fonts_.Entry(usedFonts_[i]);
        out_.OpenGroup();
        out_.Special(swF, static_cast<int64_t>(i));
        switch (font.PitchAndFamily & ~7) {
            case 16: out_.Special(swFroman); break;
            case 32: out_.Special(swFswiss); break;
            case 48: out_.Special(swFmodern); break;
            case 64: out_.Special(swFscript); break;
            case 80: out_.Special(swFdecor); break;
            default: out_.Special(swFnil); break;
        }
        out_.Special(swFcharset, font.CharSet);
        out_.Special(swFprq, font.PitchAndFamily & 3);
        out_.EndWord();
        out_.Text(font.Name);
        out_.Literal(";");
        out_.CloseGroup();
    }
    out_.CloseGroup();
    out_.SetRaw(raw);
}

void TRtfWriter::WriteColorTable() {
    if (!colorsUsed_) {
        return;
    }
    out_.OpenGroup();
    out_.Destination(dwColortbl);
    out_.Literal(";");
    for (int32_t i = 1; i < TextColorCount; ++i) {
        const TColorValue value = ColorValue(i);
        out_.Special(swRed, value & 0xFF);
        out_.Special(swGreen, (value >> 8) & 0xFF);
        out_.Special(swBlue, (value >> 16) & 0xFF);
        out_.Literal(";");
    }
    out_.CloseGroup();
}

void TRtfWriter::WriteInfo() {
    const TDocumentInfo& info = doc_.Information;
    out_.OpenGroup();
    out_.Destination(dwInfo);
    // Written even when it names the author: left out, it would read back
    // empty.
    out_.TextGroup(dwOperator, info.Operator);
    out_.TextGroup(dwCompany, info.Company, true);
    if (info.CreationTime != 0) {
        WriteCreationTime(info.CreationTime);
    }
    out_.TextGroup(dwTitle, info.Properties.Title);
    out_.TextGroup(dwSubject, info.Properties.Subject);
    out_.TextGroup(dwAuthor, info.Properties.Author);
    out_.TextGroup(dwKeywords, info.Properties.Keywords);
    out_.TextGroup(dwDoccomm, info.Properties.Comments);
    if (writerOptions_.SaveCaretPosition) {
        const TTextPosition caret = doc_.View.Caret.Position;
        if (caret.Paragraph > 0) {
            out_.Special(swDskparnr, caret.Paragraph);
        }
        if (caret.Offset > 0) {
            out_.Special(swDskcharnr, caret.Offset);
        }
        if (doc_.View.ScrollX > 0) {
            out_.Special(swDsklefttopx, doc_.View.ScrollX);
        }
        if (doc_.View.ScrollY > 0) {
            out_.Special(swDsklefttopy, doc_.View.ScrollY);
        }
    }
    out_.CloseGroup();
}

void TRtfWriter::WriteCreationTime(double time) {
    const std::optional<TCivilTime> date = CivilTimeOf(time);
    if (!date) {
        return;  // no date a reader could take
    }
    out_.OpenGroup();
    out_.Destination(dwCreatim);
    out_.Special(swYr, date->Year);
    out_.Special(swMo, date->Month);
    out_.Special(swDy, date->Day);
    out_.Special(swHr, date->Hour);
    out_.Special(swMin, date->Minute);
    out_.Special(swSec, date->Second);
    out_.CloseGroup();
}

void TRtfWriter::WriteDocumentSettings() {
    if (doc_.View.Zoom != 100) {
        out_.Body(bwViewscale, doc_.View.Zoom);
    }
    switch (doc_.View.ZoomKind) {
        case TZoomKind::PageWidth: out_.Body(bwViewzk, 2); break;
        case TZoomKind::TextWidth: out_.Body(bwViewzk, 3); break;
        case TZoomKind::WholePage:
        case TZoomKind::OnePage:
        case TZoomKind::TwoPages: out_.Body(bwViewzk, 1); break;
        default: break;
    }
    if (doc_.Tabs().DefaultInterval() != DefaultTabInterval) {
        out_.Body(bwDeftab, doc_.Tabs().DefaultInterval());
    }
    // Only what differs from a new document's page.
    const TPageSettings& page = doc_.PageSettings();
    const TPageSettings fresh;
    static constexpr std::pair<int32_t TPageSettings::*, TRtfBodyWord> PageWords[] = {
        {&TPageSettings::PaperWidth, bwPaperw},  {&TPageSettings::PaperHeight, bwPaperh},
        {&TPageSettings::LeftMargin, bwMargl},   {&TPageSettings::RightMargin, bwMargr},
        {&TPageSettings::TopMargin, bwMargt},    {&TPageSettings::BottomMargin, bwMargb}};
    for (const auto& [measure, word] : PageWords) {
        if (page.*measure != fresh.*measure) {
            out_.Body(word, page.*measure);
        }
    }
    if (page.Landscape != 0) {
        out_.Body(bwLndscpsxn);
    }
    // A reader that finds neither word keeps its own default, so the off
    // state is written too.
    if (doc_.WidowControl != 0) {
        out_.Body(bwWidowctrl);
    } else {
        out_.Body(bwNowidowctrl);
    }
    out_.Body(bwUseltbaln);
}

int32_t WriteRtf(const TDocument& document, TWriteSink& out, const TDocSavingOptions& options,
                 const TFormatServices& services, const TRtfWriterOptions& writerOptions) {
    try {
        TRtfWriter writer(document, out, options, services, writerOptions);
        writer.Write();
        return WriteSucceeded;
    } catch (...) {
        return WriteFailed;
    }
}

}  // namespace quillane
