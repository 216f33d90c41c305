#include "model/FontSelection.h"

#include <gtest/gtest.h>

#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/ParAttrs.h"
#include "support/FakeFontSystem.h"

namespace quillane {
namespace {

using test::StandardFakeFaces;
using test::TFakeFontSystem;

TEST(FontSelection, HeightsScriptsAndKerningFollowTheFlags) {
    struct Case {
        const char* what;
        int32_t size, verticalPosition, kerningThreshold, zoom, flags;
        int32_t expectedFontHeight;  // of the font returned
        int32_t expectedAscent, expectedDescent;
        bool expectedPairs;
    };
    // At 96 ppi 24 half-points are 16 pixels; the script size 16 is 10.67.
    const Case cases[] = {
        {"plain", 24, 0, 0, 100, LayoutFontFlags, -16, 12, 3 + 1, false},
        {"superscript", 24, 1, 0, 100, LayoutFontFlags, -11, 12, 4, false},
        {"subscript without the scripts flag", 24, 2, 0, 100, sfKerning, -16, 12, 4, false},
        {"kerned from 12 pt", 24, 0, 24, 100, LayoutFontFlags, -16, 12, 4, true},
        {"kerned from 13 pt", 24, 0, 26, 100, LayoutFontFlags, -16, 12, 4, false},
        {"kerned without the kerning flag", 24, 0, 20, 100, sfScripts, -16, 12, 4, false},
        {"zoomed to 200 %", 24, 0, 0, 200, sfZoomed, -32, 25, 6 + 3, false},
        {"not zoomed at 200 %", 24, 0, 0, 200, 0, -16, 12, 4, false},
        {"zoomed to 10 %", 10, 0, 0, 10, sfZoomed, -3, 2, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFakeFontSystem fonts;
        fonts.Faces = StandardFakeFaces();
        TFontManager manager(fonts);
        TKerningPairsManager kerning;
        TFontSelection selection(manager, kerning, 96, c.zoom);
        TCharAttrs attrs = TModelDefaults::BuiltIn(manager.ArialIndex()).Char;
        attrs[caSize] = c.size;
        attrs[caVerticalPosition] = c.verticalPosition;
        attrs[caKerning] = c.kerningThreshold;

        const TSharedFont& font = selection.SelectFontForAttributes(attrs, c.flags);
        EXPECT_EQ(c.expectedFontHeight, font.Key[caSize]);
        EXPECT_EQ(&font, manager.Current());
        EXPECT_EQ(c.expectedAscent, selection.Ascent());
        EXPECT_EQ(c.expectedDescent, selection.Descent());
        EXPECT_EQ(c.expectedPairs ? 1 : 0, fonts.KerningReads);
        if (c.expectedPairs) {
            EXPECT_EQ(c.expectedFontHeight, kerning.Current()->Key[caSize]);
        }
    }
}

TEST(FontSelection, TheSelectFlagSaysWhetherACachedFontIsSelected) {
    TFakeFontSystem fonts;
    fonts.Faces = StandardFakeFaces();
    TFontManager manager(fonts);
    TKerningPairsManager kerning;
    TFontSelection selection(manager, kerning, 96);
    TCharAttrs a = TModelDefaults::BuiltIn(manager.ArialIndex()).Char;
    TCharAttrs b = a;
    b[caBold] = 1;
    selection.SelectFontForAttributes(a, 0);
    selection.SelectFontForAttributes(b, 0);
    selection.SelectFontForAttributes(a, 0);
    EXPECT_FALSE(manager.CurrentSelected());
    selection.SelectFontForAttributes(a, sfSelect);
    EXPECT_TRUE(manager.CurrentSelected());
}

}  // namespace
}  // namespace quillane
