// Where lines break, with the fixed-metrics fake: a line of 768 layout
// units holds twelve 'a' or spaces.

#include <gtest/gtest.h>

#include "layout/LayoutFixture.h"
#include "model/ParLine.h"
#include "model/TextStream.h"

namespace quillane {
namespace {

using test::TLayoutFixture;
using Lines = std::vector<std::string>;

TEST(LineBreaking, LinesBreakWhereTheRulesSay) {
    struct Case {
        const char* what;
        std::string text;
        Lines expected;
    };
    const Case cases[] = {
        {"words wrap after the last space that fits", "aaaa aaaa aaaa", {"aaaa aaaa ", "aaaa$"}},
        {"a line may end exactly at the margin", "aaaaaaaaaaaa", {"aaaaaaaaaaaa$"}},
        {"a long word is split at the margin", "aaaaaaaaaaaaaaaaaaaa", {"aaaaaaaaaaaa", "aaaaaaaa$"}},
        {"a long word after a short one starts its own line", "aa aaaaaaaaaaaaaaaa",
         {"aa ", "aaaaaaaaaaaa", "aaaa$"}},
        {"two spaces hang past the margin", "aaaaaaaaaaaa  aa", {"aaaaaaaaaaaa  ", "aa$"}},
        {"a third space starts the next line", "aaaaaaaaaaaa   aa", {"aaaaaaaaaaaa  ", " aa$"}},
        {"a tab at the margin hangs when no space has", "aaaaaaaaaaaa\taa", {"aaaaaaaaaaaa\t", "aa$"}},
        {"a tab after a hanging space moves on", "aaaaaaaaaaaa \taa", {"aaaaaaaaaaaa ", "\taa$"}},
        {"a hyphen offers a break", "aaaaaa-aaaaaaa", {"aaaaaa-", "aaaaaaa$"}},
        {"an optional hyphen offers a break", "aaaaaaaa^aaaaaa", {"aaaaaaaa^", "aaaaaa$"}},
        {"a nonbreaking space does not", "aaaaaa_aaaaaaa", {"aaaaaa_aaaaa", "aa$"}},
        {"nor does a nonbreaking hyphen", "aaaaaa=aaaaaaa", {"aaaaaa=aaaaa", "aa$"}},
        {"a line break ends the line", "aa\naa", {"aa\n", "aa$"}},
        {"a page break ends the line", "aa\faa", {"aa\f", "aa$"}},
        {"the paragraph mark never wraps", "aaaaaaaaaaaa", {"aaaaaaaaaaaa$"}},
        {"an empty paragraph is one line", "", {"$"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLayoutFixture f;
        f.SetText(c.text);
        f.LayOut();
        EXPECT_EQ(c.expected, f.LineTexts());
    }
}

TEST(LineBreaking, LinesCoverThePositionsAndBytesInOrder) {
    TLayoutFixture f;
    f.SetText("aaaa aaaa\taaaa aa\naaaaaaaaaaaaaaaaaaaaaaa a", {{6, caBold, 1}, {20, caBold, 0}});
    TParagraph& p = f.LayOut();
    ASSERT_GT(p.LineCount(), 3);
    int32_t position = 0;
    int32_t offset = 0;
    for (int32_t i = 0; i < p.LineCount(); ++i) {
        const TParLine& line = p.Line(i);
        EXPECT_EQ(position, line.FirstPosition);
        EXPECT_EQ(offset, line.StartOffset);
        EXPECT_GT(line.PositionCount, 0);
        position += line.PositionCount;
        offset += line.ByteLength;
    }
    EXPECT_EQ(p.PositionCount(), position);
    EXPECT_EQ(p.Text.Length(), offset);
}

TEST(LineBreaking, AnOptionalHyphenShowsOnlyAtALineEnd) {
    TLayoutFixture f;
    f.SetText("aaaaaaaa^aaaaaa");
    f.LayOut();
    // At the end of the first line it has the width of '-' (38).
    EXPECT_EQ(512 + 38, f.Xs(0).back());
    f.SetText("aa^aa");
    f.LayOut();
    const std::vector<int32_t> xs = f.Xs(0);
    EXPECT_EQ(xs[2], xs[3]);  // inside a line it has no width
}

TEST(LineBreaking, BreakMarksHaveTheirWidths) {
    TLayoutFixture f;
    f.SetText("aa\naa");
    f.LayOut();
    EXPECT_EQ(128 + 88, f.Xs(0).back());  // a line break is 11 pixels
    f.SetText("aa\faa");
    f.LayOut();
    EXPECT_EQ(768, f.Xs(0).back());  // a page break fills a left-aligned line
    f.Document().Paragraph(0).Attributes[paAlignment] = 1;
    f.LayOut();
    const std::vector<int32_t> xs = f.Xs(0);
    EXPECT_EQ(150, xs[3] - xs[2]);  // elsewhere it is 150 units
}

TEST(LineBreaking, AttributesAfterTheBreakOpportunityGoBackWithTheWord) {
    // The large word starts to fit, then moves to the next line with its
    // size tag: the first line keeps the small metrics, the second line
    // starts with the attributes of the break and reads the tag again.
    TLayoutFixture f;
    f.SetText("aaaaaaaa aaaaaa", {{9, caSize, 48}});
    TParagraph& p = f.LayOut();
    ASSERT_EQ(2, p.LineCount());
    EXPECT_EQ(18, p.Line(0).Height);
    EXPECT_EQ(-1, p.Line(1).SnapshotOffset);
    EXPECT_EQ(9, p.Line(1).StartOffset);  // before the tag
    EXPECT_GT(p.Line(1).Height, 30);
    // A tag before a word that fits is taken by the line and recorded in
    // the next line's snapshot.
    f.SetText("aaaa aaaa aaaa", {{5, caBold, 1}});
    f.LayOut();
    ASSERT_EQ(2, p.LineCount());
    EXPECT_EQ(1, p.DecodeSnapshot(p.Line(1).SnapshotOffset)[caBold]);
}

TEST(LineBreaking, KerningAppliesFromTheSecondPositionAtOrAboveTheThreshold) {
    struct Case {
        const char* what;
        int32_t threshold;
        std::vector<int32_t> expected;
    };
    // 'A' is 38 and 'V' 51; the pair kerns by -25 at an em of 128.
    const Case cases[] = {
        {"kerned at the threshold", 24, {0, 38 - 25, 38 - 25 + 51, 38 - 25 + 51 + 64}},
        {"not kerned below it", 26, {0, 38, 89, 153}},
        {"not kerned when off", 0, {0, 38, 89, 153}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLayoutFixture f;
        f.SetText("AV", {{0, caKerning, c.threshold}});
        f.LayOut();
        EXPECT_EQ(c.expected, f.Xs(0));
    }
    // A line that starts with the second letter of a pair is not kerned.
    TLayoutFixture f;
    f.SetText("aaaaaaaaaaAV", {{0, caKerning, 24}});
    f.LayOut();
    EXPECT_EQ((std::vector<std::string>{"aaaaaaaaaaAV$"}), f.LineTexts());
    f.SetText("aaaaaaaaaaaA V", {{0, caKerning, 24}});
    f.LayOut();
    EXPECT_EQ(51, f.Xs(1)[1] - f.Xs(1)[0]);
}

TEST(LineBreaking, ExpansionWidensEveryCharacter) {
    TLayoutFixture f;
    f.SetText("aa", {{0, caExpansion, 20}});  // 20 twips: 11 layout units
    f.LayOut();
    EXPECT_EQ((std::vector<int32_t>{0, 75, 150, 214}), f.Xs(0));
}

TEST(LineBreaking, PicturesTakeTheirScaledSize) {
    TLayoutFixture f;
    f.Pictures[1] = TObjectExtent{720, 720, 50, 200};  // 0.25 x 1 inch
    f.SetText("a", {{1, tkPicture, 1}});
    TParagraph& p = f.LayOut();
    EXPECT_EQ((std::vector<int32_t>{0, 64, 64 + 192, 64 + 192 + 64}), f.Xs(0));
    EXPECT_EQ(96 + 5, p.Line(0).Height);  // ascent from the picture, descent from the font
    EXPECT_EQ(13, p.Line(0).TextAscent);
}

TEST(LineBreaking, HugePicturesDoNotOverflow) {
    TLayoutFixture f;
    f.Pictures[1] = TObjectExtent{32767, 32767, 2000, 2000};
    f.Pictures[2] = TObjectExtent{0, 500, 100, 100};
    f.SetText("aa", {{1, tkPicture, 1}, {2, tkPicture, 2}, {2, tkPicture, 7}});
    TParagraph& p = f.LayOut();
    EXPECT_EQ((std::vector<std::string>{"a", "#", "a##$"}), f.LineTexts());
    EXPECT_GT(p.Line(1).Height, 40000);
    EXPECT_GT(p.Line(1).X(1), 0);
}

TEST(LineBreaking, ABulletSitsInTheHangingIndent) {
    struct Case {
        const char* what;
        int32_t first, left;
        int32_t expectedStart;
    };
    // The bullet (Symbol 0xB7) is 76 units, 270 twips are 144.
    const Case cases[] = {
        {"hanging indent wider than the bullet", -360, 360, 192},
        {"no indent: the minimum gap", 0, 0, 144},
        {"first-line indent: the gap after it", 180, 0, 96 + 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLayoutFixture f;
        TParagraph& p = f.SetText("aaaa aaaa aaaa aaaa");
        p.Attributes[paBullet] = 1;
        p.Attributes[paFirstIndent] = c.first;
        p.Attributes[paLeftIndent] = c.left;
        f.LayOut();
        EXPECT_EQ(c.expectedStart, f.Xs(0)[0]);
        EXPECT_EQ(f.Document().TextWidth() > 0 ? TLayoutScale::Layout(96).Twips(c.left) : 0, f.Xs(1)[0]);
    }
}

TEST(LineBreaking, ALonePageBreakPassesTheFirstLineIndentAndBulletOn) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("\faaaa aaaa aaaa aaaa");
    p.Attributes[paFirstIndent] = 360;
    f.LayOut();
    ASSERT_GE(p.LineCount(), 3);
    EXPECT_EQ("\f", test::LineNotation(p.Line(0)));
    EXPECT_EQ(192, f.Xs(0)[0]);
    EXPECT_EQ(192, f.Xs(1)[0]);
    EXPECT_EQ(0, f.Xs(2)[0]);
    // The bullet is not set before the break but on the line after it.
    p.Attributes[paBullet] = 1;
    f.LayOut();
    EXPECT_EQ(192, f.Xs(0)[0]);
    EXPECT_EQ(192 + 144, f.Xs(1)[0]);
    EXPECT_EQ(0, f.Xs(2)[0]);
}

TEST(LineBreaking, TheRightIndentNarrowsTheLine) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aaaa aaaaa aaaa");
    p.Attributes[paRightIndent] = 360;  // 192 units
    f.LayOut();
    EXPECT_EQ(576, p.Width);
    EXPECT_EQ((std::vector<std::string>{"aaaa ", "aaaaa ", "aaaa$"}), f.LineTexts());
}

}  // namespace
}  // namespace quillane
