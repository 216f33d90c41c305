#pragma once
// The program's line layout: breaks paragraphs into lines, lays out a single
// line again in place while the user types, and derives the widths a line
// shows on screen at a zoom. It measures through the font registry, so the
// same code runs on every platform's fonts. One instance lives for the
// program; its scratch buffers are reused by every paragraph.

#include <cstdint>

#include "layout/LayoutScale.h"
#include "model/DocumentParts.h"
#include "model/FlexibleString.h"
#include "model/FontSelection.h"

namespace quillane {

class TFontManager;
class TKerningPairsManager;
class TParLine;
class TParagraph;
class TLineFiller;
struct TFillSettings;

class TLineLayout final : public TLineLayouter {
public:
    // Observes the managers, which outlive it. ppi is the resolution fonts
    // are measured at (the screen's).
    TLineLayout(TFontManager& fonts, TKerningPairsManager& kerning, int32_t ppi);

    void LayOut(TParagraph& paragraph) override { LayoutParagraph(paragraph); }

    // Replaces the paragraph's lines with a new layout.
    void LayoutParagraph(TParagraph& paragraph);
    // Lays out one line again over its bytes (after typing inside it). False
    // when the text no longer fills exactly that line; the line is then left
    // as it was and the paragraph needs a full layout.
    bool RelayoutLine(TParLine& line);
    // Makes the line's display widths those of the given zoom.
    void UpdateDisplayWidths(TParLine& line, int32_t zoom);

    // The system's decimal separator, for decimal tabs.
    void SetDecimalSeparator(uint8_t separator) { decimalSeparator_ = separator; }
    int32_t Ppi() const { return ppi_; }
    // The line width of a paragraph in layout units.
    int32_t ParagraphWidth(const TParagraph& paragraph) const;

private:
    TFillSettings Settings(const TParagraph& paragraph) const;
    static bool IndentsFirst(const TParLine& line);
    void Store(TParLine& line, const TLineFiller& filler, int32_t count);

    TFontManager& fonts_;
    TKerningPairsManager& kerning_;
    TFontSelection selection_;
    int32_t ppi_;
    uint8_t decimalSeparator_ = '.';
    // Scratch space that lives as long as the program.
    TFlexibleString entries_;
    TFlexibleString remeasured_;
    TFlexibleString pitchFlags_;
};

}  // namespace quillane
