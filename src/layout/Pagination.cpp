#include "layout/Pagination.h"

#include <algorithm>
#include <vector>

#include "layout/LineGeometry.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/ParLine.h"
#include "model/Paragraph.h"
#include "model/TextStream.h"
#include "model/Units.h"

namespace quillane {

namespace {

bool EndsWithPageBreak(const TParLine& line) {
    return line.PositionCount > 0 && line.Code(line.PositionCount - 1) == spPageBreak;
}

bool KeepWithNext(const TParagraph& p) { return p.Attributes[paKeepWithNext] != 0; }
bool PageBreakBefore(const TParagraph& p) { return p.Attributes[paPageBreakBefore] != 0; }

void EnsureLaidOut(TParagraph& p) {
    if (!p.LaidOut || p.LineCount() == 0) {
        p.DropLayout(true);
    }
}

TPage& NewPage(TDocument& document, const TPaginationOptions& options, bool progress, int32_t base) {
    TPage& page = document.AppendPage();
    if (progress && options.Progress && document.PageCount() > base + 10) {
        options.Progress(document.PageCount());
    }
    return page;
}

}  // namespace

TPlacement PlaceParagraph(TPage& page, TParagraph& p, int32_t i, const TPaginationOptions& options) {
    if (page.Closed) {
        return plNone;
    }
    if (const int32_t own = page.FindPiece(i); own >= 0) {
        page.RemovePiece(own);
    }
    TDocument& document = page.Document();
    int32_t d = 0;
    if (page.Index > 0) {
        const TPage& previous = document.Page(page.Index - 1);
        if (const int32_t k = previous.FindPiece(i); k >= 0) {
            d = previous.Piece(k).LastLine + 1;
        }
    }
    const int32_t lineCount = p.LineCount();
    const bool held = page.PieceCount() > 0;
    if (d >= lineCount || (PageBreakBefore(p) && held)) {
        return plNone;
    }

    const int32_t ppi = document.View.ScreenPpi;
    const int32_t printable = document.PrintableHeight();
    const int32_t topMargin = TwipsToPixels(document.PageSettings().TopMargin, ppi);
    const int32_t spaceBefore = TwipsToPixels(std::max(p.Attributes[paSpaceBefore], 0), ppi);
    int32_t used = page.UsedHeight;
    int32_t last = -1;
    bool closes = false;
    std::vector<int32_t> tops;
    for (int32_t g = d; g < lineCount; ++g) {
        TParLine& line = p.Line(g);
        const int32_t h = LineHeightBase(line, ppi);
        if (printable < h + used && used > 0) {
            if (line.IsPageBreakLine()) {
                // A lone page break still fits, and ends the page.
                tops.push_back(topMargin + used);
                used += line.Height;
                last = g;
                closes = true;
            }
            break;
        }
        int32_t suppressed = 0;
        if (g == 0) {
            if (used == 0 && page.Index > 0 && !PageBreakBefore(p)) {
                suppressed = spaceBefore;
            } else if (!options.AccumulateSpacing && i > 0) {
                const TParagraph& before = document.Paragraph(i - 1);
                const int32_t spaceAfter = TwipsToPixels(std::max(before.Attributes[paSpaceAfter], 0), ppi);
                suppressed = std::min(spaceAfter, spaceBefore);
            }
        }
        tops.push_back(topMargin + used - suppressed);
        used += line.Height - suppressed;
        last = g;
        if (EndsWithPageBreak(line)) {
            closes = true;
            break;
        }
    }
    if (last < 0) {
        return plNone;
    }
    const bool all = last == lineCount - 1;
    const bool broken = EndsWithPageBreak(p.Line(last));
    if (p.Attributes[paKeepIntact] != 0 && held && d == 0 && !broken && !all) {
        return plNone;
    }
    if (p.Attributes[paWidowControl] != 0 && !all && !broken) {
        if (d == 0 && last == 0 && held) {
            return plNone;  // no orphan: a first line alone at the page bottom
        }
        if (lineCount == last + 2) {
            if (d == 0 && last == 1 && held) {
                return plNone;  // a three-line paragraph moves whole
            }
            if (last - d >= 2) {
                // No widow: one more line goes to the next page.
                used -= p.Line(last).Height;
                --last;
            }
        }
    }
    for (int32_t g = d; g <= last; ++g) {
        p.Line(g).Top = tops[static_cast<size_t>(g - d)];
    }
    page.AddPiece(i, d, last, used - page.UsedHeight);
    page.Closed = closes;
    p.Index = i;
    return last == lineCount - 1 ? plWhole : plPart;
}

void Paginate(TDocument& document, int32_t first, int32_t target, int32_t base, const TPaginationOptions& options) {
    document.Flags.SetFlag(dsPaginating);
    first = std::clamp(first, 0, document.PageCount());
    int32_t i = 0;
    if (first > 0) {
        const TPage& previous = document.Page(first - 1);
        if (previous.PieceCount() > 0) {
            const TPiece& piece = previous.Piece(previous.PieceCount() - 1);
            const bool finished = piece.Paragraph < document.ParagraphCount() &&
                                  piece.LastLine >= document.Paragraph(piece.Paragraph).LineCount() - 1;
            i = finished ? piece.Paragraph + 1 : piece.Paragraph;
        } else {
            first = 0;  // an empty page cannot say where to go on
        }
    }
    document.FreePagesFrom(first);
    const bool progress = !document.Flags.Test(dsNoProgress) && target - base >= 10;
    NewPage(document, options, progress, base);

    struct TKeepChain {
        bool Pending = false;
        int32_t First = 0;  // paragraph
        int32_t Piece = 0;  // its piece's index on its page
        int32_t Page = 0;
    } chain;
    auto moveChain = [&]() {
        if (document.PageCount() == chain.Page + 2) {
            document.FreePagesFrom(document.PageCount() - 1);
        }
        TPage& last = document.LastPage();
        while (last.PieceCount() > chain.Piece) {
            last.RemovePiece(last.PieceCount() - 1);
        }
        NewPage(document, options, progress, base);
        i = chain.First;
        chain.Pending = false;
    };
    auto chainMoves = [&]() {
        return chain.Pending && chain.First != i && document.PageCount() == chain.Page + 2 && chain.Piece > 0;
    };

    while (i < document.ParagraphCount()) {
        TParagraph& p = document.Paragraph(i);
        EnsureLaidOut(p);
        TPage& page = document.LastPage();
        const TPlacement r = PlaceParagraph(page, p, i, options);
        const int32_t pages = document.PageCount();
        if (r != plNone) {
            if (!chain.Pending && KeepWithNext(p)) {
                const int32_t piece = page.FindPiece(i);
                chain = {true, i, piece, page.Index};
            } else if (chain.Pending && chain.First != i) {
                const bool closedOrBreak =
                    pages == chain.Page + 2 && (document.Page(chain.Page).Closed || PageBreakBefore(p));
                const bool passed = (pages == chain.Page + 1 || pages > chain.Page + 2) && !KeepWithNext(p);
                if (closedOrBreak || passed) {
                    chain.Pending = false;
                }
            }
        }
        if (r == plWhole) {
            if (chainMoves()) {
                moveChain();
            } else {
                ++i;
            }
            continue;
        }
        if (r == plPart) {
            if (chainMoves()) {
                moveChain();
                continue;
            }
            if (pages > target && !chain.Pending) {
                break;
            }
            NewPage(document, options, progress, base);
            continue;
        }
        // Nothing placed.
        if (chain.Pending && chain.Page == page.Index && PageBreakBefore(p)) {
            chain.Pending = false;
        }
        if (chain.Pending && chain.Page == page.Index && chain.Piece > 0) {
            moveChain();
            continue;
        }
        if (page.PieceCount() == 0 && !page.Closed) {
            ++i;  // cannot happen with a sound paragraph; never loop on it
            continue;
        }
        if (pages > target && !chain.Pending && page.LineCount() > 0) {
            break;
        }
        NewPage(document, options, progress, base);
    }

    if (document.PageCount() > 1 && document.LastPage().PieceCount() == 0) {
        document.FreePagesFrom(document.PageCount() - 1);
    }
    document.Flags.PopFlags(1);
    bool complete = false;
    const TPage& last = document.LastPage();
    if (last.PieceCount() > 0) {
        const TPiece& piece = last.Piece(last.PieceCount() - 1);
        complete = piece.Paragraph == document.ParagraphCount() - 1 &&
                   piece.LastLine >= document.LastParagraph().LineCount() - 1;
    } else {
        complete = document.ParagraphCount() == 0;
    }
    document.SetPaginationComplete(complete);
    if (complete || document.PageCount() > document.ShownPageCount) {
        document.ShownPageCount = document.PageCount();
    }
}

int32_t PaginateUntil(TDocument& document, int32_t paragraph, int32_t position, const TPaginationOptions& options) {
    paragraph = std::clamp(paragraph, 0, document.ParagraphCount() - 1);
    TParagraph& p = document.Paragraph(paragraph);
    int32_t batch = 1;
    for (;;) {
        if (p.LaidOut && p.LineCount() > 0) {
            const int32_t line = std::max(p.LineAt(position, false), 0);
            if (const TPage* page = p.Line(line).Page) {
                return page->Index;
            }
        }
        if (document.PaginationComplete() && document.PageCount() > 0) {
            return document.PageCount() - 1;
        }
        const int32_t count = document.PageCount();
        Paginate(document, count, count + batch, count, options);
        batch = std::min(batch * 2, 1 << 20);
    }
}

bool PaginateStep(TDocument& document, const TPaginationOptions& options) {
    if (document.PaginationComplete()) {
        return false;
    }
    const int32_t count = document.PageCount();
    Paginate(document, count, count + 8, count, options);
    return true;
}

}  // namespace quillane
