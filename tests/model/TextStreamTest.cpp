#include "model/TextStream.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "model/Document.h"
#include "support/DocText.h"

namespace quillane {
namespace {

using test::StreamText;
using test::TStreamBuilder;

class TextStreamTest : public testing::Test {
protected:
    TDocument document;  // defaults: size 24, everything else 0
    TParagraph& paragraph = document.Paragraph(0);
    TStreamBuilder build{paragraph};

    std::string Normalized() {
        paragraph.Normalize();
        CheckTextStream(paragraph.Text, paragraph.Positions);
        return StreamText(paragraph.Text);
    }
};

TEST_F(TextStreamTest, NormalizeDropsSupersededAndRestatingTags) {
    build.Attr(caSize, 20).Attr(caSize, 24).Chars("x").End();
    EXPECT_EQ("x<2>", Normalized());
}

TEST_F(TextStreamTest, NormalizeDropsATagThatRestatesTheCurrentValue) {
    build.Attr(caBold, 1).Chars("a").Attr(caBold, 1).Chars("b").End();
    EXPECT_EQ("[2=1]ab<2>", Normalized());
}

TEST_F(TextStreamTest, NormalizeKeepsOnlyTheNetChangeBetweenBoundaries) {
    build.Attr(caBold, 1).Attr(caItalic, 1).Attr(caBold, 0).Chars("x").End();
    EXPECT_EQ("[3=1]x<2>", Normalized());
}

TEST_F(TextStreamTest, NormalizeReturnsToTheValueAtTheLastBoundary) {
    build.Attr(caSize, 20).Chars("a").Attr(caSize, 30).Attr(caSize, 20).Chars("b").End();
    EXPECT_EQ("[1=20]ab<2>", Normalized());
}

TEST_F(TextStreamTest, NormalizeFollowsPendingTagsThatMoveWhenAnEarlierTagGoes) {
    // Deleting the first bold tag moves the pending italic tag down; the
    // italic pair must still cancel out rather than eat the wrong bytes.
    build.Attr(caBold, 1).Attr(caItalic, 1).Attr(caBold, 0).Attr(caItalic, 0).Chars("x").End();
    EXPECT_EQ("x<2>", Normalized());

    TDocument other;
    TParagraph& p = other.Paragraph(0);
    TStreamBuilder(p).Attr(caBold, 1).Attr(caItalic, 1).Attr(caUnderline, 1).Attr(caBold, 0).Attr(caItalic, 1)
        .Attr(caUnderline, 0).Chars("y").End();
    p.Normalize();
    CheckTextStream(p.Text, p.Positions);
    EXPECT_EQ("[3=1]y<2>", StreamText(p.Text));
}

TEST_F(TextStreamTest, NormalizeRemovesTagsAfterTheLastItemOnly) {
    build.Chars("a").Attr(caBold, 1).End().Attr(caItalic, 1).Attr(caSize, 30);
    EXPECT_EQ("a[2=1]<2>", Normalized());
}

TEST_F(TextStreamTest, PositionToOffsetSkipsLeadingAttributeTags) {
    build.Attr(caSize, 20).Chars("ab").End();
    const TFlexibleString& text = paragraph.Text;
    const int32_t positions = paragraph.PositionCount();
    EXPECT_EQ(8, PositionToOffset(text, positions, 0));
    EXPECT_EQ(9, PositionToOffset(text, positions, 1));
    EXPECT_EQ(10, PositionToOffset(text, positions, 2));
    EXPECT_EQ(10, PositionToOffset(text, positions, 7));
    EXPECT_EQ(8, PositionToOffset(text, positions, -3));
}

TEST_F(TextStreamTest, PositionToOffsetDoesNotCountUndefinedTagKinds) {
    build.Chars("a");
    paragraph.Text.AppendTag(40, 0);  // a kind no consumer knows
    build.Chars("b").End();
    EXPECT_EQ(9, PositionToOffset(paragraph.Text, paragraph.PositionCount(), 1));
    EXPECT_EQ(10, PositionToOffset(paragraph.Text, paragraph.PositionCount(), 2));
    CheckTextStream(paragraph.Text, paragraph.Positions);
}

TEST_F(TextStreamTest, CheckTextStreamFindsDisagreements) {
    build.Chars("ab").End();
    paragraph.Positions[1] = 'X';
    EXPECT_THROW(CheckTextStream(paragraph.Text, paragraph.Positions), std::logic_error);
    paragraph.Positions[1] = 'b';
    paragraph.Text[paragraph.Text.Length() - 1] = 0;  // end marker gone
    EXPECT_THROW(CheckTextStream(paragraph.Text, paragraph.Positions), std::logic_error);
}

// Random streams: normalising keeps the attributes of every character,
// is idempotent and leaves no redundant tag.
TEST(TextStreamProperty, NormalizeKeepsTheAttributesOfEveryPosition) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 3000; ++round) {
        TDocument document;
        TParagraph& p = document.Paragraph(0);
        TStreamBuilder build(p);
        const int items = static_cast<int>(random() % 12);
        for (int i = 0; i < items; ++i) {
            switch (random() % 4) {
                case 0: build.Chars(std::string(1 + random() % 3, static_cast<char>('a' + random() % 26))); break;
                case 1: build.Special(static_cast<uint8_t>(spTab)); break;
                default: build.Attr(static_cast<int>(random() % 4), static_cast<int32_t>(random() % 3) + (random() % 2 ? 0 : 23)); break;
            }
        }
        build.End();
        if (random() % 3 == 0) {
            build.Attr(caBold, 1);  // stray tag after the end
        }
        const TFlexibleString original = p.Text;
        std::vector<TCharAttrs> before;
        for (int32_t k = 0; k < p.PositionCount(); ++k) {
            before.push_back(AttributesAt(original, PositionToOffset(original, p.PositionCount(), k), document.DefaultCharAttrs));
        }
        p.Normalize();
        SCOPED_TRACE(StreamText(original) + " -> " + StreamText(p.Text));
        CheckTextStream(p.Text, p.Positions);
        for (int32_t k = 0; k < p.PositionCount(); ++k) {
            EXPECT_EQ(before[k], AttributesAt(p.Text, PositionToOffset(p.Text, p.PositionCount(), k), document.DefaultCharAttrs));
        }
        const TFlexibleString once = p.Text;
        p.Normalize();
        EXPECT_EQ(StreamText(once), StreamText(p.Text));
        // Between two boundaries every slot changes at most once and never to
        // the value it already has.
        TCharAttrs current = document.DefaultCharAttrs;
        std::vector<bool> seen(CharSlotCount, false);
        for (int32_t i = 0; i < p.Text.Length();) {
            if (p.Text[i] != 0) {
                seen.assign(CharSlotCount, false);
                i += CharRunLength(p.Text.Data() + i, p.Text.Length() - i);
                continue;
            }
            const TTag tag = ReadTag(p.Text.Data() + i);
            if (IsAttributeKind(tag.Kind)) {
                EXPECT_FALSE(seen[tag.Kind]);
                EXPECT_NE(current[tag.Kind], tag.Value);
                seen[tag.Kind] = true;
                current[tag.Kind] = tag.Value;
            } else {
                seen.assign(CharSlotCount, false);
            }
            i += TagSize;
        }
        if (HasFailure()) {
            return;
        }
    }
}

}  // namespace
}  // namespace quillane
