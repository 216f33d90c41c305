#include "layout/LineFinish.h"

#include <algorithm>

#include "model/ParAttrs.h"
#include "model/ParLine.h"
#include "model/Paragraph.h"
#include "model/TextStream.h"
#include "model/Units.h"

namespace quillane {

namespace {

constexpr uint8_t Space = 32;

enum TAlignment : int32_t { alLeft = 0, alCentred = 1, alRight = 2, alJustified = 3 };

void ShiftEntries(TParLine& line, int32_t from, int32_t to, int32_t shift) {
    for (int32_t k = from; k <= to; ++k) {
        line.SetX(k, line.X(k) + shift);
    }
}

// Spreads the free space over the spaces between the text after the last
// tab (and after any leading spaces) and the end of the visible text.
void Justify(TParLine& line, int32_t visibleEnd, int32_t freeSpace) {
    const int32_t count = line.PositionCount;
    int32_t first = 0;
    while (first < count && line.Code(first) == Space) {
        ++first;
    }
    for (int32_t k = count - 1; k >= 0; --k) {
        if (line.Code(k) == spTab) {
            first = std::max(first, k + 1);
            break;
        }
    }
    // Trailing spaces hang past the margin and take no share, so the text
    // ends exactly at the right edge.
    const int32_t last = std::min(visibleEnd, count - 1);
    int32_t spaces = 0;
    for (int32_t k = first; k < last; ++k) {
        spaces += line.Code(k) == Space ? 1 : 0;
    }
    if (spaces == 0) {
        return;
    }
    const int32_t lastWidth = line.LayoutWidth(count - 1);
    int32_t seen = 0;
    for (int32_t h = first + 1; h <= count - 1; ++h) {
        if (h - 1 < last && line.Code(h - 1) == Space) {
            ++seen;
        }
        line.SetX(h, line.X(h) + MulDivRound(freeSpace, seen, spaces));
    }
    line.SetX(count, line.X(count - 1) + lastWidth);
}

}  // namespace

void AlignLine(TParLine& line, int32_t width) {
    const int32_t count = line.PositionCount;
    if (count == 0) {
        return;
    }
    int32_t e = count;
    const uint8_t last = line.Code(count - 1);
    if (last == spParagraphEnd || last == spLineBreak || last == spPageBreak) {
        --e;
    }
    for (int trailing = 0; trailing < 2 && e > 0 && line.Code(e - 1) == Space; ++trailing) {
        --e;
    }
    const int32_t freeSpace = std::max(0, width - line.X(e));
    switch (line.Paragraph->Attributes[paAlignment]) {
        case alCentred:
            ShiftEntries(line, 0, count, freeSpace / 2);
            break;
        case alRight:
            ShiftEntries(line, 0, count, freeSpace);
            break;
        case alJustified:
            if (!line.IsLastOfParagraph() && !line.EndsWithBreak()) {
                Justify(line, e, freeSpace);
            }
            break;
        default:
            break;
    }
}

int32_t LineHeight(const TParLine& line, int32_t ppi) {
    const TParAttrs& par = line.Paragraph->Attributes;
    const int32_t natural = line.Ascent + line.Descent;
    const int32_t spacing = par[paLineSpacing];
    const bool multiple = par[paSpacingMultiple] != 0;
    int64_t height = natural;
    if (!multiple && spacing < 0) {
        height = TwipsToPixels(spacing == INT32_MIN ? INT32_MAX : -spacing, ppi);
    } else if (!multiple) {
        height = std::max(natural, TwipsToPixels(spacing, ppi));
    } else {
        height = natural + int64_t{MulDivRound(int64_t{line.TextAscent} + line.Descent, int64_t{spacing} - 240, 240)};
        height = std::max<int64_t>(height, 1);
    }
    if (multiple || spacing > 0) {
        height += PointsToPixels(int32_t{line.Raise} + line.Lower, ppi);
    }
    if (line.FirstPosition == 0) {
        height += TwipsToPixels(par[paSpaceBefore], ppi);
    }
    if (line.IsLastOfParagraph()) {
        height += TwipsToPixels(par[paSpaceAfter], ppi);
    }
    return static_cast<int32_t>(std::clamp<int64_t>(height, 1, 0x3FFFFFFF));
}

void FinishLine(TParLine& line, int32_t width, const TLayoutScale& scale) {
    if (line.EntryCount() > 1) {
        line.SetEntry(0, MakeEntry(line.X(0), line.Italic(1)));
    }
    AlignLine(line, width);
    line.Ascent = scale.ToPixels(line.Ascent);
    line.Descent = scale.ToPixels(line.Descent);
    line.TextAscent = scale.ToPixels(line.TextAscent);
    line.Height = LineHeight(line, scale.Ppi);
}

}  // namespace quillane
