// Laying out a single line again while typing, and random paragraphs laid
// out under every rule at once.

#include <gtest/gtest.h>

#include <random>

#include "layout/LayoutFixture.h"
#include "layout/LineGeometry.h"
#include "model/ParLine.h"
#include "model/TabTable.h"
#include "model/TextStream.h"

namespace quillane {
namespace {

using test::TLayoutFixture;

void InsertChar(TParagraph& p, int32_t position, uint8_t c) {
    const int32_t offset = PositionToOffset(p.Text, p.PositionCount(), position);
    p.Text.InsertBytes(offset, &c, 1);
    p.Positions.InsertBytes(position, &c, 1);
}

std::vector<uint32_t> Entries(const TParLine& line) {
    std::vector<uint32_t> entries;
    for (int32_t k = 0; k <= line.PositionCount; ++k) {
        entries.push_back(line.Entry(k));
    }
    return entries;
}

TEST(RelayoutLine, TypingThatFitsRelaysTheLineInPlace) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aaaa aaaa aaaa");
    f.LayOut();
    TParLine& second = p.Line(1);
    InsertChar(p, 11, 'b');
    second.ByteLength += 1;
    ASSERT_TRUE(f.Layout().RelayoutLine(second));
    EXPECT_EQ(6, second.PositionCount);
    const std::vector<uint32_t> relaid = Entries(second);
    f.LayOut();
    EXPECT_EQ(Entries(p.Line(1)), relaid);
}

TEST(RelayoutLine, TypingThatOverflowsLeavesTheLineForAFullLayout) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aaaa aaaa aaaa");
    f.LayOut();
    TParLine& first = p.Line(0);
    const std::vector<uint32_t> before = Entries(first);
    for (int i = 0; i < 4; ++i) {
        InsertChar(p, 0, 'a');
    }
    first.ByteLength += 4;
    EXPECT_FALSE(f.Layout().RelayoutLine(first));
    EXPECT_EQ(10, first.PositionCount);
    EXPECT_EQ(14, first.ByteLength);
    EXPECT_EQ(before, Entries(first));
}

// A random paragraph: characters, attribute tags, specials and pictures.
void RandomParagraph(TLayoutFixture& f, std::mt19937& random) {
    TParagraph& p = f.Document().Paragraph(0);
    p.DropLayout(false);
    p.Text.Clear();
    p.Positions.Clear();
    auto pick = [&random](int32_t lo, int32_t hi) {
        return lo + static_cast<int32_t>(random() % static_cast<uint32_t>(hi - lo + 1));
    };
    const std::string chars = "aaaaeeiioo    .,-1234567890AVTLWy";
    const auto fontCount = static_cast<int32_t>(f.Fonts().Registry().size());
    const int32_t items = pick(0, 400);
    for (int32_t i = 0; i < items; ++i) {
        const int32_t what = pick(0, 99);
        if (what < 70) {
            const auto c = static_cast<uint8_t>(chars[static_cast<size_t>(pick(0, int32_t(chars.size()) - 1))]);
            p.AppendChars(&c, 1);
        } else if (what < 85) {
            switch (pick(0, 8)) {
                case 0: p.AppendAttributeTag(caFont, pick(0, fontCount - 1)); break;
                case 1: p.AppendAttributeTag(caSize, pick(2, 144)); break;
                case 2: p.AppendAttributeTag(caBold, pick(0, 1)); break;
                case 3: p.AppendAttributeTag(caItalic, pick(0, 1)); break;
                case 4: p.AppendAttributeTag(caVerticalPosition, pick(0, 2)); break;
                case 5: p.AppendAttributeTag(caExpansion, pick(-60, 200)); break;
                case 6: p.AppendAttributeTag(caOffset, pick(-20, 20)); break;
                case 7: p.AppendAttributeTag(caKerning, pick(0, 30)); break;
                default: p.AppendAttributeTag(caColor, pick(0, 16)); break;
            }
        } else if (what < 97) {
            static const uint8_t specials[] = {spTab,        spTab,       spLineBreak, spPageBreak,
                                               spNonbreakingSpace, spNonbreakingHyphen, spLongDash,
                                               spShortDash, spOptionalHyphen};
            p.AppendSpecial(specials[pick(0, 8)]);
        } else {
            p.Text.AppendTag(tkPicture, pick(1, 3));
            p.Positions.AppendByte(spPicture);
        }
    }
    p.AppendSpecial(spParagraphEnd);
    TParAttrs& par = p.Attributes;
    par[paLeftIndent] = pick(0, 2000);
    par[paFirstIndent] = pick(-1000, 1000);
    par[paRightIndent] = pick(-500, 1500);
    par[paAlignment] = pick(0, 3);
    par[paSpacingMultiple] = pick(0, 1);
    par[paLineSpacing] = par[paSpacingMultiple] != 0 ? pick(120, 720) : pick(-720, 720);
    par[paSpaceBefore] = pick(0, 400);
    par[paSpaceAfter] = pick(0, 400);
    par[paBullet] = pick(0, 3) == 0 ? 1 : 0;
    TTabTable table;
    for (int32_t n = pick(0, 6); n > 0; --n) {
        table.Add(TTabStop::Make(pick(15, 6000), static_cast<uint32_t>(pick(0, 4)), static_cast<uint32_t>(pick(0, 3))));
    }
    table.SortByPosition();
    par[paTabTable] = f.Document().Tabs().Intern(table);
}

TEST(LayoutStress, RandomParagraphsKeepTheLineInvariants) {
    TLayoutFixture f(2880);
    f.Pictures[1] = TObjectExtent{300, 300, 100, 100};
    f.Pictures[2] = TObjectExtent{4000, 2000, 100, 100};
    f.Pictures[3] = TObjectExtent{32767, 32767, 5000, 5000};
    std::mt19937 random(20261210);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        RandomParagraph(f, random);
        TParagraph& p = f.LayOut();
        CheckTextStream(p.Text, p.Positions);
        ASSERT_GT(p.LineCount(), 0);
        int32_t position = 0;
        int32_t offset = 0;
        for (int32_t i = 0; i < p.LineCount(); ++i) {
            TParLine& line = p.Line(i);
            ASSERT_EQ(position, line.FirstPosition);
            ASSERT_EQ(offset, line.StartOffset);
            ASSERT_GT(line.PositionCount, 0);
            ASSERT_GT(line.Height, 0);
            for (int32_t k = 0; k < line.PositionCount; ++k) {
                ASSERT_LE(line.X(k), line.X(k + 1)) << "line " << i << " position " << k;
            }
            position += line.PositionCount;
            offset += line.ByteLength;
            // Laying the line out again over its own bytes changes nothing.
            const std::vector<uint32_t> entries = Entries(line);
            const int32_t height = line.Height;
            ASSERT_TRUE(f.Layout().RelayoutLine(line));
            ASSERT_EQ(entries, Entries(line));
            ASSERT_EQ(height, line.Height);
            const int32_t zoom = 10 + static_cast<int32_t>(random() % 491);
            f.Layout().UpdateDisplayWidths(line, zoom);
            ASSERT_EQ(line.PositionCount * 4, line.DisplayWidths.Length());
            ASSERT_LE(PositionAtX(f.Layout(), line, static_cast<int32_t>(random() % 800), zoom), line.PositionCount);
        }
        ASSERT_EQ(p.PositionCount(), position);
        ASSERT_EQ(p.Text.Length(), offset);
    }
}

}  // namespace
}  // namespace quillane
