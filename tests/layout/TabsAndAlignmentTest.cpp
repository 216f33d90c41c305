// Tab placement, alignment and justification with exact positions. With
// the fake fonts 'a' is 64 units, 'd' and '2' 38, '1' 89, '5' 76, '.' 51.

#include <gtest/gtest.h>

#include "layout/LayoutFixture.h"
#include "model/ParLine.h"
#include "model/TabTable.h"
#include "model/TextStream.h"

namespace quillane {
namespace {

using test::TLayoutFixture;
using Xs = std::vector<int32_t>;

void SetStop(TLayoutFixture& f, int32_t twips, uint32_t kind, uint32_t leader = tlNone) {
    TTabTable table;
    table.Add(TTabStop::Make(twips, kind, leader));
    f.Document().Paragraph(0).Attributes[paTabTable] = f.Document().Tabs().Intern(table);
}

TEST(Tabs, EachKindPlacesItsTextAtTheStop) {
    struct Case {
        const char* what;
        uint32_t kind;
        std::string text;
        Xs expected;
    };
    // The stop at 1440 twips is x 768; the tab starts after 'a' at 64.
    const Case cases[] = {
        {"left: the text starts at the stop", tkLeft, "a\t12", {0, 64, 768, 857, 895, 959}},
        {"right: the text ends at the stop", tkRight, "a\t125", {0, 64, 565, 654, 692, 768, 832}},
        {"centred: the text is centred on the stop", tkCentred, "a\tdd", {0, 64, 730, 768, 806, 870}},
        {"decimal: the point sits on the stop", tkDecimal, "a\t12.5", {0, 64, 641, 730, 768, 819, 895, 959}},
        {"decimal without a point: as a right tab", tkDecimal, "a\t125", {0, 64, 565, 654, 692, 768, 832}},
        {"decimal with a comma", tkDecimal, "a\t2,5", {0, 64, 730, 768, 857, 933, 997}},
        {"right text too wide for the room: no shift", tkRight, "aaaaaaaaaa\taaaaaaaaaaaa",
         {0,   64,  128, 192, 256,  320,  384,  448,  512,  576,  640,  640, 704,
          768, 832, 896, 960, 1024, 1088, 1152, 1216, 1280, 1344, 1408, 1472}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLayoutFixture f(2880);
        f.SetText(c.text);
        SetStop(f, 1440, c.kind);
        f.LayOut();
        EXPECT_EQ(c.expected, f.Xs(0));
    }
}

TEST(Tabs, DefaultStopsFollowTheLastExplicitOne) {
    TLayoutFixture f(2880);
    f.SetText("a\ta\ta\ta");
    SetStop(f, 200, tkLeft);
    f.LayOut();
    // 200 twips is x 107; then the defaults at 720 and 1440 (384, 768).
    EXPECT_EQ((Xs{0, 64, 107, 171, 384, 448, 768, 832, 896}), f.Xs(0));
}

TEST(Tabs, ATabAtAStopGoesToTheNextOne) {
    // Text ending exactly at a stop: the tab still advances to the next.
    TLayoutFixture f(2880);
    f.SetText("aaaaaa\ta");  // 384 units: the stop at 720 twips
    f.LayOut();
    EXPECT_EQ(768, f.Xs(0)[7]);
    // Two tabs in a row: the second is not inclusive of its own start.
    f.SetText("a\t\ta");
    f.LayOut();
    EXPECT_EQ((Xs{0, 64, 384, 768, 832, 896}), f.Xs(0));
}

TEST(Tabs, TheStopKindAndLeaderAreStoredInTheTag) {
    TLayoutFixture f(2880);
    TParagraph& p = f.SetText("a\t1");
    SetStop(f, 1440, tkRight, tlDots);
    f.LayOut();
    const int32_t offset = PositionToOffset(p.Text, p.PositionCount(), 1);
    EXPECT_EQ(static_cast<uint8_t>(tkRight | (tlDots << 4)), p.Text[offset + 2]);
}

TEST(Tabs, APendingTabResolvesAtABreak) {
    TLayoutFixture f(2880);
    f.SetText("a\t1\na");
    SetStop(f, 1440, tkRight);
    f.LayOut();
    EXPECT_EQ((Xs{0, 64, 679, 768, 856}), f.Xs(0));
}

TEST(Alignment, FreeSpaceGoesWhereTheAlignmentSays) {
    struct Case {
        const char* what;
        int32_t alignment;
        std::string text;
        int32_t line;
        Xs expected;
    };
    const Case cases[] = {
        {"left", 0, "aa", 0, {0, 64, 128, 192}},
        {"centred", 1, "aa", 0, {320, 384, 448, 512}},
        {"right", 2, "aa", 0, {640, 704, 768, 832}},
        {"right ignores two trailing spaces", 2, "aaaaaaaaa  aaa", 0,
         {192, 256, 320, 384, 448, 512, 576, 640, 704, 768, 832, 896}},
        {"justified spreads over the spaces", 3, "aa aa aa aa aa", 0,
         {0, 64, 128, 192 + 21, 256 + 21, 320 + 21, 384 + 43, 448 + 43, 512 + 43, 576 + 64, 640 + 64, 704 + 64,
          768 + 64}},
        {"justified: the last line is not", 3, "aa aa aa aa aa", 1, {0, 64, 128, 192}},
        {"justified: a line ending with a line break is not", 3, "aa aa\naa", 0, {0, 64, 128, 192, 256, 320, 408}},
        {"justified: only after the last tab", 3, "a a\ta a a aaaa aa", 0,
         {0, 64, 128, 192, 384, 448, 512 + 32, 576 + 32, 640 + 64, 704 + 64, 768 + 64}},
        {"justified: leading spaces are not stretched", 3, "  aa aa aaaaa aa", 0,
         {0, 64, 128, 192, 256, 320 + 320, 384 + 320, 448 + 320, 512 + 320}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLayoutFixture f;
        TParagraph& p = f.SetText(c.text);
        p.Attributes[paAlignment] = c.alignment;
        f.LayOut();
        ASSERT_GT(p.LineCount(), c.line);
        EXPECT_EQ(c.expected, f.Xs(c.line));
    }
}

TEST(Alignment, JustifiedLinesEndExactlyAtTheWidth) {
    TLayoutFixture f(2000);
    TParagraph& p = f.SetText("The quick brown fox jumps over the lazy dog and then some more words to fill lines.");
    p.Attributes[paAlignment] = 3;
    f.LayOut();
    ASSERT_GT(p.LineCount(), 2);
    for (int32_t i = 0; i + 1 < p.LineCount(); ++i) {
        const TParLine& line = p.Line(i);
        int32_t e = line.PositionCount;
        while (e > 0 && line.Code(e - 1) == ' ') {
            --e;
        }
        EXPECT_EQ(p.Width, line.X(e)) << "line " << i;
    }
}

}  // namespace
}  // namespace quillane
