#include "model/ColorManager.h"

#include <gtest/gtest.h>

#include "support/FakeColorSystem.h"

namespace quillane {
namespace {

using test::TFakeColorSystem;

std::vector<TColorValue> PaletteOf(const TColorManager& colors) {
    std::vector<TColorValue> values;
    for (int32_t i = 0; i < SchemeEntryCount; ++i) {
        values.push_back(colors.Color(i));
    }
    return values;
}

// The standard scheme over the fake's system colours (window 0x111111, text
// 0x222222, button face 0x333333, button shadow 0x444444).
const std::vector<TColorValue> StandardPalette = {
    0x222222, 0x222222, 0x111111, 0xFF0000, 0x444444, 0x222222, 0x333333, 0x444444, 0x111111, 0x222222,
    0x222222, 0x333333, 0x0000FF, 0xFF0000, 0xFFFFFF, 0x000000, 0xFF0000, 0xFFFFFF, 0x000000, 0x00D000,
    0xFFFFFF, 0x000000, 0x00FFFF, 0xFFFFFF, 0x000000, 0x808080, 0xFFFFFF, 0xFF0000,
};

TEST(ColorManager, TheStandardSchemeResolvesDefaults) {
    TFakeColorSystem system;
    TColorManager colors(system);
    EXPECT_EQ(StandardPalette, PaletteOf(colors));
    EXPECT_FALSE(colors.Printing());
}

TEST(ColorManager, UserSchemeOverridesItsEntries) {
    TFakeColorSystem system;
    TColorManager colors(system);
    TColorScheme scheme;
    ParseScheme(scheme, "00FFFF00FFFFFFFF0040008001ABCDEF");
    colors.SetUserScheme(scheme);
    std::vector<TColorValue> expected = StandardPalette;
    expected[0] = 0xFFFF00;
    expected[2] = 0x400080;
    expected[3] = 0xABCDEF;  // only the low 24 bits are a colour
    EXPECT_EQ(expected, PaletteOf(colors));
}

TEST(ColorManager, BrushesAreMadeOnFirstUseAndAfterEveryChange) {
    TFakeColorSystem system;
    TColorManager colors(system);
    EXPECT_EQ(0, system.BrushesMade);
    EXPECT_EQ(0x111111u, colors.Brush(cePageBackground).Color());
    EXPECT_EQ(&colors.Brush(cePageBackground), &colors.Brush(cePageBackground));
    EXPECT_EQ(1, system.BrushesMade);

    TColorScheme scheme;
    scheme.Entries[cePageBackground] = 0x00FFEEDD;
    colors.SetUserScheme(scheme);
    EXPECT_EQ(0xFFEEDDu, colors.Brush(cePageBackground).Color());
    EXPECT_EQ(2, system.BrushesMade);
    EXPECT_THROW(colors.Brush(SchemeEntryCount), std::out_of_range);
}

TEST(ColorManager, SystemColourChangeRepaintsInTheNewColours) {
    TFakeColorSystem system;
    TColorManager colors(system);
    TColorScheme scheme;
    scheme.Entries[ceRulerBackground] = 0x00010203;
    colors.SetUserScheme(scheme);
    colors.UsePrintPalette();
    colors.UseScreenPalette();
    colors.Brush(ceAutoText);

    system.Colors[scWindowText] = 0x999999;
    system.Colors[scButtonFace] = 0x888888;
    EXPECT_EQ(0x222222u, colors.Color(ceAutoText));  // nothing changes by itself
    int repaints = 0;
    colors.RefreshSystemColors([&] { ++repaints; });
    EXPECT_EQ(1, repaints);
    EXPECT_EQ(0x999999u, colors.Color(ceAutoText));
    EXPECT_EQ(0x999999u, colors.Brush(ceAutoText).Color());
    EXPECT_EQ(0x010203u, colors.Color(ceRulerBackground));   // the user's colour stays
    EXPECT_EQ(0x888888u, colors.Color(ceRulerGrayedTabPosition));

    colors.UsePrintPalette();
    EXPECT_EQ(0x000000u, colors.Color(ceAutoText));
    EXPECT_EQ(0x888888u, colors.Color(ceRulerBackground));  // the print palette has no user colours
}

TEST(ColorManager, PrintPalette) {
    TFakeColorSystem system;
    TColorManager colors(system);
    colors.UsePrintPalette();
    EXPECT_TRUE(colors.Printing());
    std::vector<TColorValue> expected = StandardPalette;
    expected[0] = expected[1] = expected[5] = 0x000000;
    expected[2] = 0xFFFFFF;
    expected[3] = 0xFF0000;
    expected[4] = 0x808080;
    EXPECT_EQ(expected, PaletteOf(colors));
    colors.UseScreenPalette();
    EXPECT_EQ(StandardPalette, PaletteOf(colors));
}

}  // namespace
}  // namespace quillane
