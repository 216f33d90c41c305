#include <gtest/gtest.h>

#include "model/CharAttrs.h"
#include "model/ParAttrs.h"

namespace quillane {
namespace {

// Fonts 0 and 1 are one font in two character sets; 2 is another.
class TwoTags final : public TFontTagLookup {
public:
    int32_t TagOf(int32_t fontIndex) const override { return fontIndex <= 1 ? 7 : 8; }
};

TCharAttrs Attrs(int32_t font, int32_t size, int32_t bold) {
    TCharAttrs a = TModelDefaults::BuiltIn().Char;
    a[caFont] = font;
    a[caSize] = size;
    a[caBold] = bold;
    return a;
}

TEST(CharAttrs, FontsWithOneTagCountAsTheSame) {
    const TwoTags tags;
    EXPECT_TRUE(SameAttributes(Attrs(0, 24, 0), Attrs(1, 24, 0), &tags));
    EXPECT_FALSE(SameAttributes(Attrs(0, 24, 0), Attrs(1, 24, 0)));
    EXPECT_FALSE(SameAttributes(Attrs(0, 24, 0), Attrs(2, 24, 0), &tags));
    EXPECT_FALSE(SameAttributes(Attrs(0, 24, 0), Attrs(0, 24, 1), &tags));
}

TEST(CharAttrs, CommonAndStripMarkSlotsUndefined) {
    const TwoTags tags;
    TCharAttrs common = Attrs(0, 24, 1);
    CommonAttributes(common, Attrs(1, 20, 1), &tags);
    EXPECT_EQ(0, common[caFont]);  // same tag: kept
    EXPECT_EQ(UndefinedAttr, common[caSize]);
    EXPECT_EQ(1, common[caBold]);

    TCharAttrs stripped = Attrs(2, 24, 1);
    StripDefaults(stripped, Attrs(0, 24, 0), &tags);
    EXPECT_EQ(2, stripped[caFont]);
    EXPECT_EQ(UndefinedAttr, stripped[caSize]);
    EXPECT_EQ(1, stripped[caBold]);
    EXPECT_EQ(UndefinedAttr, stripped[caLanguage]);
}

TEST(ParAttrs, StripKeepsIndentAndSpacingPairsTogether) {
    const TParAttrs base = TModelDefaults::BuiltIn().Par;
    struct Case {
        int32_t first, left, spacing;
        int32_t expectFirst, expectLeft, expectSpacing;
    };
    const Case cases[] = {
        {0, 0, 240, UndefinedAttr, UndefinedAttr, UndefinedAttr},  // all default
        {0, 720, 240, UndefinedAttr, 720, UndefinedAttr},         // first-line 0 on both sides
        {-360, 720, 240, -360, 720, UndefinedAttr},               // a hanging indent stays whole
        {360, 0, 360, 360, 0, 360},                               // left kept with its first-line partner
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << "/" << c.left << "/" << c.spacing);
        TParAttrs a = base;
        a[paFirstIndent] = c.first;
        a[paLeftIndent] = c.left;
        a[paLineSpacing] = c.spacing;
        StripParDefaults(a, base);
        EXPECT_EQ(c.expectFirst, a[paFirstIndent]);
        EXPECT_EQ(c.expectLeft, a[paLeftIndent]);
        EXPECT_EQ(c.expectSpacing, a[paLineSpacing]);
        EXPECT_EQ(c.expectSpacing == UndefinedAttr ? UndefinedAttr : 1, a[paSpacingMultiple]);
        EXPECT_EQ(UndefinedAttr, a[paTabTable]);
    }
}

TEST(ParAttrs, VisibleLeftIndentIsTheLeftmostEdge) {
    TParAttrs a = TModelDefaults::BuiltIn().Par;
    a[paLeftIndent] = 720;
    a[paFirstIndent] = 360;
    EXPECT_EQ(720, VisibleLeftIndent(a));
    a[paFirstIndent] = -360;
    EXPECT_EQ(360, VisibleLeftIndent(a));
}

}  // namespace
}  // namespace quillane
