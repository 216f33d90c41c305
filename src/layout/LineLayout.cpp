#include "layout/LineLayout.h"

#include <algorithm>
#include <vector>

#include "layout/DisplayWidths.h"
#include "layout/LineFiller.h"
#include "layout/LineFinish.h"
#include "model/Document.h"
#include "model/ParLine.h"
#include "model/Paragraph.h"
#include "model/TextStream.h"

namespace quillane {

TLineLayout::TLineLayout(TFontManager& fonts, TKerningPairsManager& kerning, int32_t ppi)
    : fonts_(fonts), kerning_(kerning), selection_(fonts, kerning, ppi), ppi_(ppi) {}

int32_t TLineLayout::ParagraphWidth(const TParagraph& paragraph) const {
    const int64_t twips = int64_t{paragraph.Document().TextWidth()} - paragraph.Attributes[paRightIndent];
    return TLayoutScale::Layout(ppi_).Twips(twips);
}

TFillSettings TLineLayout::Settings(const TParagraph& paragraph) const {
    TFillSettings settings;
    settings.Scale = TLayoutScale::Layout(ppi_);
    settings.Width = ParagraphWidth(paragraph);
    settings.DecimalSeparator = decimalSeparator_;
    return settings;
}

bool TLineLayout::IndentsFirst(const TParLine& line) {
    // A paragraph opening with a lone page break gives its first-line
    // indent and bullet to the line after the break.
    const TParagraph& paragraph = *line.Paragraph;
    if (line.FirstPosition == 0) {
        return true;
    }
    return paragraph.LineCount() > 1 && &paragraph.Line(1) == &line && paragraph.Line(0).IsPageBreakLine();
}

void TLineLayout::Store(TParLine& line, const TLineFiller& filler, int32_t count) {
    line.AssignEntries(filler.Entries(), count + 1);
    line.PositionCount = count;
    line.DisplayZoom = UndefinedAttr;
}

void TLineLayout::LayoutParagraph(TParagraph& paragraph) {
    TDocument& document = paragraph.Document();
    paragraph.DropLayout(false);
    if (!paragraph.Normalized) {
        paragraph.Normalize();
    }
    const TFillSettings settings = Settings(paragraph);
    paragraph.Width = settings.Width;
    document.Tabs().EffectiveStops(paragraph);
    TLineFiller filler(paragraph, TFillServices{selection_, fonts_, kerning_, document.Tabs(), document.ObjectExtents()},
                       settings, entries_);
    filler.SetAttributes(document.DefaultCharAttrs);

    const int32_t length = paragraph.Text.Length();
    int32_t offset = 0;
    int32_t position = 0;
    bool firstIsLoneBreak = false;
    do {
        auto line = std::make_unique<TParLine>(&paragraph);
        const int32_t index = paragraph.LineCount();
        line->StartOffset = offset;
        line->FirstPosition = position;
        line->SnapshotOffset = index == 0 ? -1 : paragraph.AppendSnapshot(filler.Attributes());
        const bool indentFirst = index == 0 || (index == 1 && firstIsLoneBreak);
        const TFilledLine filled = filler.Fill(offset, length, position, indentFirst, indentFirst);
        Store(*line, filler, filled.Count);
        line->ByteLength = filled.ByteLength;
        line->Ascent = filled.Ascent;
        line->Descent = filled.Descent;
        line->TextAscent = filled.TextAscent;
        line->Raise = static_cast<int16_t>(filled.Raise);
        line->Lower = static_cast<int16_t>(filled.Lower);
        if (index == 0) {
            firstIsLoneBreak = line->IsPageBreakLine();
        }
        paragraph.AddLine(std::move(line));
        if (filled.ByteLength <= 0) {
            break;  // nothing consumed: only a damaged stream gets here
        }
        offset += filled.ByteLength;
        position += filled.Count;
    } while (offset < length);

    for (int32_t i = paragraph.LineCount() - 1; i >= 0; --i) {
        FinishLine(paragraph.Line(i), settings.Width, settings.Scale);
    }
    paragraph.LaidOut = true;
}

bool TLineLayout::RelayoutLine(TParLine& line) {
    TParagraph& paragraph = *line.Paragraph;
    TDocument& document = paragraph.Document();
    const TFillSettings settings = Settings(paragraph);
    document.Tabs().EffectiveStops(paragraph);
    TLineFiller filler(paragraph, TFillServices{selection_, fonts_, kerning_, document.Tabs(), document.ObjectExtents()},
                       settings, entries_);
    filler.SetAttributes(paragraph.DecodeSnapshot(line.SnapshotOffset));
    const bool indentFirst = IndentsFirst(line);
    const TFilledLine filled =
        filler.Fill(line.StartOffset, line.StartOffset + line.ByteLength, line.FirstPosition, indentFirst, indentFirst);
    if (filled.Count == 0 || filled.ByteLength != line.ByteLength) {
        return false;
    }
    Store(line, filler, filled.Count);
    line.Ascent = filled.Ascent;
    line.Descent = filled.Descent;
    line.TextAscent = filled.TextAscent;
    line.Raise = static_cast<int16_t>(filled.Raise);
    line.Lower = static_cast<int16_t>(filled.Lower);
    FinishLine(line, settings.Width, settings.Scale);
    return true;
}

void TLineLayout::UpdateDisplayWidths(TParLine& line, int32_t zoom) {
    zoom = std::clamp(zoom, 10, 500);
    if (line.DisplayZoom == zoom) {
        return;
    }
    const int32_t count = line.PositionCount;
    bool hasTab = false;
    for (int32_t k = 0; k < count && !hasTab; ++k) {
        hasTab = line.Code(k) == spTab;
    }
    std::vector<int32_t> actual;
    std::vector<uint8_t> fixedPitch;
    if (!hasTab && count > 0) {
        // The same line measured with fonts made for the zoomed screen; the
        // line itself keeps its layout.
        TParagraph& paragraph = *line.Paragraph;
        TDocument& document = paragraph.Document();
        TFillSettings settings;
        settings.Scale = TLayoutScale::Zoomed(zoom, ppi_);
        settings.Width = 0;
        settings.Wrap = false;
        settings.StoreTabKinds = false;
        settings.DecimalSeparator = decimalSeparator_;
        TLineFiller filler(paragraph, TFillServices{selection_, fonts_, kerning_, document.Tabs(), document.ObjectExtents()},
                           settings, remeasured_);
        filler.SetPitchFlags(&pitchFlags_);
        filler.SetAttributes(paragraph.DecodeSnapshot(line.SnapshotOffset));
        const bool indentFirst = IndentsFirst(line);
        const TFilledLine filled = filler.Fill(line.StartOffset, line.StartOffset + line.ByteLength,
                                               line.FirstPosition, indentFirst, indentFirst);
        if (filled.Count == count) {
            actual.resize(static_cast<size_t>(count));
            fixedPitch.resize(static_cast<size_t>(count));
            for (int32_t k = 0; k < count; ++k) {
                actual[static_cast<size_t>(k)] = EntryX(filler.Entries()[k + 1]) - EntryX(filler.Entries()[k]);
                fixedPitch[static_cast<size_t>(k)] = pitchFlags_[k];
            }
        }
    }
    const std::vector<int32_t> widths = ComputeDisplayWidths(line, zoom, actual, fixedPitch);
    line.DisplayWidths.SetLength(count * 4);
    for (int32_t k = 0; k < count; ++k) {
        reinterpret_cast<int32_t*>(line.DisplayWidths.Data())[k] = widths[static_cast<size_t>(k)];
    }
    line.DisplayZoom = zoom;
}

}  // namespace quillane
