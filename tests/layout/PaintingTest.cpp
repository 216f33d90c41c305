// Painting lines and pages, checked as the sequence of drawing calls on a
// recording canvas. With the fake fonts at 100 % 'a' is 8 pixels wide and
// the screen font is 15 high with an ascent of 12; the line is 18 high with
// its baseline 13 below its top, so text is drawn 1 pixel below the line
// top. The left margin of the fixture's page is 1800 twips, 120 pixels, and
// its text is 2880 twips (192 pixels) wide.

#include "layout/Painting.h"

#include <gtest/gtest.h>

#include <climits>

#include "layout/LayoutFixture.h"
#include "layout/Pagination.h"
#include "model/ColorManager.h"
#include "model/Page.h"
#include "model/ParLine.h"
#include "model/TabTable.h"
#include "model/TextStream.h"
#include "support/FakeColorSystem.h"
#include "support/RecordingCanvas.h"

namespace quillane {
namespace {

using test::TLayoutFixture;
using Calls = std::vector<std::string>;

class TPaintFixture : public TLayoutFixture {
public:
    TPaintFixture() : TLayoutFixture(2880), colors_(colorSystem_), painter_(Fonts(), kerning_, Layout(), colors_, 96) {
        colors_.UsePrintPalette();  // black text on white
        Context.Device = true;
    }

    Calls Paint(TParLine& line) {
        canvas_.ClearCalls();
        painter_.PaintLine(canvas_, line, 0, 0, Context);
        return canvas_.Calls();
    }
    Calls PaintPage(int32_t index) {
        canvas_.ClearCalls();
        painter_.PaintPage(canvas_, Document().Page(index), 0, 0, -1, Context);
        return canvas_.Calls();
    }
    Calls PaintFirstLine() {
        TParagraph& p = LayOut();
        return Paint(p.Line(0));
    }
    // Only the calls of one kind ("Text", "InvertRect", ...).
    static Calls Only(const Calls& calls, const std::string& kind) {
        Calls kept;
        for (const std::string& call : calls) {
            if (call.rfind(kind + " ", 0) == 0 || call.find(": " + kind + " ") != std::string::npos) {
                kept.push_back(call);
            }
        }
        return kept;
    }

    TPaintContext Context;
    test::TRecordingCanvas canvas_;

private:
    test::TFakeColorSystem colorSystem_;
    TKerningPairsManager kerning_;
    TColorManager colors_;
    TPainter painter_;
};

TEST(Painting, OneTextCallPerRunOfEqualAttributes) {
    TPaintFixture f;
    f.SetText("abcdef", {{2, caBold, 1}, {4, caColor, 6}, {5, caHighlight, 7}});
    const Calls texts = TPaintFixture::Only(f.PaintFirstLine(), "Text");
    // The highlight changes nothing that is drawn; bold and the colour end
    // runs. Where the screen font's widths add up to the layout's they are
    // used ("cd" bold: 12 + 5).
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ("Text 120,1 \"ab\" [8,9] Arial/15 #000000", texts[0]);
    EXPECT_EQ("Text 137,1 \"cd\" [12,5] Arial/15 #000000", texts[1]);
    EXPECT_EQ("Text 154,1 \"ef\" [6,9] Arial/15 #FF0000", texts[2]);
}

TEST(Painting, SpecialCharactersAndTheirSymbols) {
    TPaintFixture f;
    f.SetText("a b_c=d\ta");
    // The tab ends the run; its stop is 1440 twips (96 pixels) out.
    EXPECT_EQ((Calls{"Text 120,1 \"a b c-d\" [8,8,9,8,11,5,5] Arial/15 #000000",
                     "Text 216,1 \"a\" [8] Arial/15 #000000"}),
              TPaintFixture::Only(f.PaintFirstLine(), "Text"));
    // On the screen with symbols on: dots for spaces, a degree sign for the
    // nonbreaking space, the pilcrow, and an arrow (lines) in the tab.
    f.Context.Device = false;
    f.Context.SpecialSymbols = true;
    f.Context.Window = TRect{0, 0, 1000, 1000};
    const Calls calls = f.PaintFirstLine();
    const Calls texts = TPaintFixture::Only(calls, "Text");
    ASSERT_EQ(2u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("\"a\\xB7b\\xB0c\\x96d\""));
    EXPECT_NE(std::string::npos, texts[1].find("\"a\\xB6\""));
    EXPECT_EQ(3u, TPaintFixture::Only(calls, "Line").size());
}

TEST(Painting, ADotLeaderFillsItsTabWithWholeDots) {
    TPaintFixture f;
    TParagraph& p = f.SetText("a\tb");
    TTabTable table;
    table.Add(TTabStop::Make(720, tkLeft, tlDots));
    p.Attributes[paTabTable] = f.Document().Tabs().Intern(table);
    const Calls texts = TPaintFixture::Only(f.PaintFirstLine(), "Text");
    ASSERT_EQ(3u, texts.size());
    // The tab is 40 pixels from x 128; '.' is 6: six dots, 4 pixels spare
    // left blank at the start.
    EXPECT_EQ("Text 132,1 \"......\" [6,6,6,6,6,6] Arial/15 #000000", texts[1]);
}

TEST(Painting, SuperscriptTopsAlignWithFullSizeCharacters) {
    TPaintFixture f;
    f.SetText("aa", {{1, caVerticalPosition, 1}});
    const Calls texts = TPaintFixture::Only(f.PaintFirstLine(), "Text");
    ASSERT_EQ(2u, texts.size());
    // The full-size run starts at the line top; the script font's ascent
    // (8) times 100/65 reaches the same height.
    EXPECT_EQ("Text 120,1 \"a\" [8] Arial/15 #000000", texts[0]);
    EXPECT_EQ("Text 128,1 \"a\" [5] Arial/10 #000000", texts[1]);
}

TEST(Painting, SelectionAndBarTabsInvertTheirSpans) {
    TPaintFixture f;
    TParagraph& p = f.SetText("aaaa bbbb", {{5, caItalic, 1}});
    TTabTable table;
    table.Add(TTabStop::Make(1440, tkBar));
    p.Attributes[paTabTable] = f.Document().Tabs().Intern(table);
    f.Context.Device = false;
    f.Context.Window = TRect{0, 0, 1000, 1000};
    f.Context.Selection = TPaintSelection{true, {0, 1}, {0, 3}};
    Calls calls = f.PaintFirstLine();
    // The bar at 1440 twips is 20 twips (1 pixel) wide.
    EXPECT_EQ((Calls{"s1: InvertRect 216,0,217,18", "s1: InvertRect 128,0,144,18"}),
              TPaintFixture::Only(calls, "InvertRect"));
    // Ending in italic letters: the right edge at 179 leans a quarter of
    // the ascent (3) right at the top and a quarter of the rest (1) left at
    // the bottom.
    f.Context.Selection = TPaintSelection{true, {0, 2}, {0, 7}};
    calls = f.PaintFirstLine();
    const Calls polygons = TPaintFixture::Only(calls, "InvertPolygon");
    ASSERT_EQ(1u, polygons.size());
    EXPECT_EQ("s1: InvertPolygon 136,0 182,0 178,18 136,18", polygons[0]);
    // A device shows neither selection nor symbols.
    f.Context.Device = true;
    EXPECT_TRUE(TPaintFixture::Only(f.PaintFirstLine(), "InvertPolygon").empty());
}

TEST(Painting, PagesDrawTheirBandsLinesAndNumbers) {
    TPaintFixture f;
    f.SetText("aaaa aaaa aaaa aaaa aaaa aaaa");
    f.LayOut();
    Paginate(f.Document(), 0, INT_MAX, 0, TPaginationOptions{});
    f.Context.PageNumbers.Enabled = true;
    f.Context.PageNumbers.Format = 4;
    f.Context.PageNumbers.Alignment = pnRight;
    const Calls calls = f.PaintPage(0);
    // The page is 432 x 1056 pixels; margins 120 left and right, 96 at the
    // top and bottom. The number "I" (9 pixels) ends at the right margin
    // and is centred in the bottom margin.
    EXPECT_EQ((Calls{"FillRect 0,0,432,96 #FFFFFF",
                     "Text 120,97 \"aaaa aaaa aaaa aaaa aaaa \" "
                     "[8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8,8] Arial/15 #000000",
                     "Text 120,115 \"aaaa\" [8,8,8,8] Arial/15 #000000", "FillRect 0,132,432,1056 #FFFFFF",
                     "Text 303,1000 \"I\" [9] Times New Roman/15 #000000"}),
              calls);
}

}  // namespace
}  // namespace quillane
