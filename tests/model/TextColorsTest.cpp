#include "model/TextColors.h"

#include <gtest/gtest.h>

#include <string>

namespace quillane {
namespace {

TEST(TextColors, NamesAndValues) {
    EXPECT_STREQ("Auto", ColorName(0));
    EXPECT_STREQ("Fuchsia", ColorName(5));
    EXPECT_STREQ("Lightgray", ColorName(16));
    EXPECT_EQ(0xFF0000u, ColorValue(2));   // blue: 0x00BBGGRR
    EXPECT_EQ(0x000080u, ColorValue(13));  // maroon
    EXPECT_THROW(ColorName(17), std::out_of_range);
    EXPECT_THROW(ColorValue(-1), std::out_of_range);
}

TEST(TextColors, EveryTableColourIsItsOwnNearest) {
    for (int32_t i = 1; i < TextColorCount; ++i) {
        SCOPED_TRACE(ColorName(i));
        EXPECT_EQ(i, NearestColor(ColorValue(i)));
    }
}

TEST(TextColors, NearestColor) {
    struct Case {
        TColorValue value;
        int32_t expected;
        const char* why;
    };
    const Case cases[] = {
        {0x7F7F7F, 15, "one step darker than Gray"},
        {0x000000, 1, "black is Black, never Auto"},
        {0x404040, 1, "as far from Black as from Gray: the lower index"},
        {0xA0A0A0, 15, "as far from Gray as from Lightgray"},
        {0x00C000, 4, "nearer Lime (63) than Green (64)"},
        {0x000040, 1, "as far from Black as from Maroon"},
        {0xF0F0F0, 8, "near White"},
        {0x1000E0, 6, "near Red"},
        {0xFF000000, 1, "the high byte plays no part"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.expected, NearestColor(c.value));
    }
}

TEST(TextColors, MapDocumentColors) {
    std::vector<TDocColorInfo> colors = {{true, 0x0000FF, -1}, {false, 0x0000FF, -1}, {false, 0x000000, -1}};
    MapDocumentColors(colors);
    EXPECT_EQ(0, colors[0].Index);
    EXPECT_EQ(6, colors[1].Index);
    EXPECT_EQ(1, colors[2].Index);
}

}  // namespace
}  // namespace quillane
