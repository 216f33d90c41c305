// Line heights in pixels at 100 %: the fake 12 pt font gives ascent 13 and
// descent 5 (natural 18, text ascent + descent 18).

#include <gtest/gtest.h>

#include "layout/LayoutFixture.h"
#include "layout/LineGeometry.h"
#include "model/ParLine.h"

namespace quillane {
namespace {

using test::TLayoutFixture;

TEST(LineHeight, SpacingModesOffsetsAndParagraphSpacing) {
    struct Case {
        const char* what;
        int32_t spacing, multiple, raise, before, after;
        int32_t first, last;  // heights of the first and the last of two lines
    };
    const Case cases[] = {
        {"single", 240, 1, 0, 0, 0, 18, 18},
        {"double", 480, 1, 0, 0, 0, 36, 36},
        {"one and a half", 360, 1, 0, 0, 0, 27, 27},
        {"exactly 12 pt", -240, 0, 0, 0, 0, 16, 16},
        {"at least 24 pt", 480, 0, 0, 0, 0, 32, 32},
        {"at least 0 keeps the natural height", 0, 0, 0, 0, 0, 18, 18},
        {"at least less than natural", 100, 0, 0, 0, 0, 18, 18},
        {"raised 3 pt with single spacing", 240, 1, 3, 0, 0, 22, 22},
        {"lowered 3 pt with single spacing", 240, 1, -3, 0, 0, 22, 22},
        {"raised with at least", 100, 0, 3, 0, 0, 22, 22},
        {"exactly ignores raised characters", -240, 0, 3, 0, 0, 16, 16},
        {"at least 0 ignores them too", 0, 0, 3, 0, 0, 18, 18},
        {"space before and after", 240, 1, 0, 240, 360, 18 + 16, 18 + 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLayoutFixture f;
        TParagraph& p = f.SetText("aaaa aaaa aaaa", {{0, caOffset, c.raise}});
        p.Attributes[paLineSpacing] = c.spacing;
        p.Attributes[paSpacingMultiple] = c.multiple;
        p.Attributes[paSpaceBefore] = c.before;
        p.Attributes[paSpaceAfter] = c.after;
        f.LayOut();
        ASSERT_EQ(2, p.LineCount());
        EXPECT_EQ(c.first, p.Line(0).Height);
        EXPECT_EQ(c.last, p.Line(1).Height);
    }
}

TEST(LineHeight, TheLargestFontAndTheBaseForPagination) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aaaa aa aaaa", {{5, caSize, 48}, {7, caSize, 24}});
    p.Attributes[paSpaceBefore] = 240;
    f.LayOut();
    const TParLine& line = p.Line(0);
    EXPECT_EQ(26, line.Ascent);  // the 24 pt font's
    EXPECT_EQ(26, line.TextAscent);
    EXPECT_EQ(10, line.Descent);
    EXPECT_EQ(26 + 10 + 16, line.Height);
    EXPECT_EQ(26 + 10 + 16, LineHeightBase(line, 96));
}

TEST(LineHeight, SuperscriptKeepsTheFullSizeHeight) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aa", {{0, caVerticalPosition, 1}});
    f.LayOut();
    EXPECT_EQ(18, p.Line(0).Height);
    // Narrower characters: the script size is 65 %.
    EXPECT_LT(f.Xs(0)[1], 64);
}

}  // namespace
}  // namespace quillane
