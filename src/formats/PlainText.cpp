#include "formats/PlainText.h"

#include <algorithm>
#include <exception>

#include "formats/CharClasses.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;

// The formatting each paragraph of a text file starts with.
struct TTextFormatting {
    TFlexibleString RunPrefix;  // attribute tags that differ from the defaults
    TParAttrs Paragraph;
};

TTextFormatting InitialFormatting(const TDocument& document, const TDocument* templateDocument) {
    TTextFormatting formatting;
    const TCharAttrs& defaults = document.DefaultCharAttrs;
    TCharAttrs attrs = defaults;
    bool templateSetsLanguage = false;
    if (templateDocument != nullptr) {
        const TParagraph& first = templateDocument->Paragraph(0);
        attrs = first.LeadingAttributes();
        const int32_t language = templateDocument->DefaultCharAttrs[caLanguage];
        attrs[caLanguage] = language;
        templateSetsLanguage = language != 0;
        formatting.Paragraph = first.Attributes;
    } else {
        formatting.Paragraph = document.DefaultParAttrs;
        formatting.Paragraph[paWidowControl] = document.WidowControl;
    }
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (slot == caLanguage && !templateSetsLanguage) {
            continue;
        }
        if (attrs[slot] != defaults[slot]) {
            formatting.RunPrefix.AppendTag(static_cast<uint8_t>(slot), attrs[slot]);
        }
    }
    return formatting;
}

void StartParagraph(TParagraph& paragraph, const TTextFormatting& formatting) {
    paragraph.Text.Assign(formatting.RunPrefix);
    paragraph.Attributes = formatting.Paragraph;
    paragraph.TextChanged();
}

void ReadText(TDocument& document, TReadBuffer& in, TDocOpeningOptions& options,
              const TDocument* templateDocument, TProgressSink* progress) {
    const TTextFormatting formatting = InitialFormatting(document, templateDocument);
    TParagraph* paragraph = &document.LastParagraph();
    StartParagraph(*paragraph, formatting);
    int64_t characters = 0;
    while (in.Pos() < in.End()) {
        const uint8_t* data = in.Data();
        const int32_t pos = in.Pos();
        const uint8_t byte = data[pos];
        if (byte == CR || byte == LF) {
            characters += paragraph->PositionCount();
            paragraph->AppendSpecial(spParagraphEnd);
            paragraph = &document.AddParagraph();
            StartParagraph(*paragraph, formatting);
            // CR LF and LF CR are one line end; CR CR and LF LF are two, so
            // the blank lines of a text file survive.
            const bool pair = pos + 1 < in.End() && (data[pos + 1] == CR || data[pos + 1] == LF) &&
                              data[pos + 1] != byte;
            in.Advance(pair ? 2 : 1);
            if (progress != nullptr && (document.ParagraphCount() & 1023) == 0) {
                progress->SetPosition(in.Base() + in.Pos());
            }
        } else if (const uint8_t special = TextSpecialMap[byte]) {
            paragraph->AppendSpecial(special);
            in.Advance(1);
        } else if (byte < 32) {
            in.Advance(1);  // other control bytes have no place in a document
        } else {
            const int32_t run = std::max(OrdinaryRunLength(data + pos, in.End() - pos), 1);
            paragraph->AppendChars(data + pos, run);
            in.Advance(run);
        }
        in.Fill();
    }
    characters += paragraph->PositionCount();
    options.CharacterCount = static_cast<int32_t>(std::min<int64_t>(characters, INT32_MAX));
    options.ParagraphCount = document.ParagraphCount();
}

// One paragraph's positions [from, to) as text.
void WriteParagraph(const TParagraph& paragraph, int32_t from, int32_t to, bool flatten, TWriteSink& out) {
    const uint8_t* p = paragraph.Positions.Data();
    int32_t i = from;
    while (i < to) {
        if (p[i] >= 32) {
            int32_t run = i + 1;
            while (run < to && p[run] >= 32) {
                ++run;
            }
            out.PutBytes(p + i, run - i);
            i = run;
            continue;
        }
        switch (p[i]) {
            case spParagraphEnd:
            case spLineBreak:
                if (flatten) {
                    out.PutByte(' ');
                } else {
                    out.PutWord(0x0A0D);
                }
                break;
            case spPageBreak: out.PutByte(flatten ? ' ' : 0x0C); break;
            case spTab: out.PutByte(flatten ? ' ' : 0x09); break;
            case spPicture:
            case spObject:
            case spNonbreakingSpace: out.PutByte(' '); break;
            case spNonbreakingHyphen: out.PutByte('-'); break;
            case spLongDash: out.PutByte(flatten ? '-' : 0x97); break;
            case spShortDash: out.PutByte(flatten ? '-' : 0x96); break;
            case spOptionalHyphen:
                if (flatten) {
                    out.PutByte('-');
                }
                break;
            default: break;
        }
        ++i;
    }
}

}  // namespace

bool ReadPlainText(TDocument& document, TReadBuffer& in, TDocOpeningOptions& options,
                   const TFormatServices& services, const TDocument* templateDocument) {
    try {
        ReadText(document, in, options, templateDocument, services.Progress);
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

int32_t WritePlainText(const TDocument& document, TWriteSink& out, const TDocSavingOptions& options,
                       TProgressSink* progress) {
    try {
        const bool flatten = (options.Flags & sfFlatten) != 0;
        int32_t first = std::clamp(options.FirstParagraph, 0, document.ParagraphCount() - 1);
        int32_t last = std::clamp(options.LastParagraph, first, document.ParagraphCount() - 1);
        int32_t lastOffset = std::clamp(options.LastOffset, 0, document.Paragraph(last).PositionCount());
        // A file does not end with a line break.
        if (!out.ToMemory() && lastOffset == document.Paragraph(last).PositionCount() &&
            document.Paragraph(last).EndsWithParagraphEnd()) {
            --lastOffset;
        }
        const int32_t firstOffset = std::clamp(options.FirstOffset, 0, document.Paragraph(first).PositionCount());
        if (first == last) {
            WriteParagraph(document.Paragraph(first), firstOffset, std::max(lastOffset, firstOffset), flatten, out);
        } else {
            const TParagraph& head = document.Paragraph(first);
            WriteParagraph(head, firstOffset, head.PositionCount(), flatten, out);
            for (int32_t i = first + 1; i < last; ++i) {
                const TParagraph& whole = document.Paragraph(i);
                WriteParagraph(whole, 0, whole.PositionCount(), flatten, out);
                if (progress != nullptr && (i & 1023) == 0) {
                    progress->SetPosition(i);
                }
            }
            WriteParagraph(document.Paragraph(last), 0, lastOffset, flatten, out);
        }
        out.Flush();
        return WriteSucceeded;
    } catch (...) {
        return WriteFailed;
    }
}

}  // namespace quillane
