#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/FontManager.h"
#include "model/ParAttrs.h"
#include "support/FakeFontSystem.h"

namespace quillane {
namespace {

using test::StandardFakeFaces;
using test::TFakeFontSystem;

class SharedFontsTest : public testing::Test {
protected:
    void SetUp() override {
        fonts.Faces = StandardFakeFaces();
        fonts.Aliases = {{"Times", "Times New Roman"}};
        manager = std::make_unique<TFontManager>(fonts);
        fonts.Requests.clear();
        plain = TModelDefaults::BuiltIn(manager->ArialIndex()).Char;
    }

    // Heights of the cached fonts, newest first.
    std::vector<int32_t> CachedHeights() const {
        std::vector<int32_t> heights;
        for (const auto& font : manager->Cache()) {
            heights.push_back(font->Key[caSize]);
        }
        return heights;
    }

    TFakeFontSystem fonts;
    std::unique_ptr<TFontManager> manager;
    TCharAttrs plain;
};

TEST_F(SharedFontsTest, MakesTheFontTheAttributesDescribe) {
    TCharAttrs attrs = plain;
    attrs[caBold] = 1;
    attrs[caItalic] = 1;
    attrs[caUnderline] = 1;
    attrs[caColor] = 6;
    const TSharedFont& font = manager->SelectFont(attrs, -20, false, true);

    TFontRequest expected;
    expected.Face = "Arial";
    expected.Height = -20;
    expected.Weight = 700;
    expected.Italic = true;
    expected.Underline = true;
    expected.StrikeOut = false;
    expected.CharSet = 0;
    ASSERT_EQ(1u, fonts.Requests.size());
    EXPECT_EQ(expected, fonts.Requests[0]);

    // The key is the record with the height in slot 1.
    TCharAttrs key = attrs;
    key[caSize] = -20;
    EXPECT_EQ(key, font.Key);
    EXPECT_EQ(16, font.Ascent);
    EXPECT_EQ(4 + 2, font.Descent);  // descent and external leading
    EXPECT_EQ(TFakeFontSystem::WidthOf('A', 20, true), font.Widths['A']);
    EXPECT_EQ(TFakeFontSystem::WidthOf(255, 20, true), font.Widths[255]);
    EXPECT_EQ(1, font.UseCount);
    EXPECT_EQ(&font, manager->Current());
    EXPECT_TRUE(manager->Substitutions().empty());
}

TEST_F(SharedFontsTest, OnlyFontSizeAndStyleSlotsMakeANewFont) {
    struct Case {
        const char* what;
        int slot;
        int32_t value;
        bool newFont;
    };
    const Case cases[] = {
        {"colour", caColor, 3, false},        {"highlight", caHighlight, 7, false},
        {"superscript", caVerticalPosition, 1, false}, {"expansion", caExpansion, 40, false},
        {"offset", caOffset, -3, false},      {"kerning", caKerning, 20, false},
        {"language", caLanguage, 1033, false}, {"font", caFont, 5, true},
        {"bold", caBold, 1, true},            {"italic", caItalic, 1, true},
        {"strike-through", caStrikeOut, 1, true}, {"underline", caUnderline, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFontManager fresh(fonts);
        fonts.Requests.clear();
        fresh.SelectFont(plain, -16, false, true);
        TCharAttrs changed = plain;
        changed[c.slot] = c.value;
        const TSharedFont& font = fresh.SelectFont(changed, -16, false, true);
        EXPECT_EQ(c.newFont ? 2u : 1u, fonts.Requests.size());
        EXPECT_EQ(c.newFont ? 2u : 1u, fresh.Cache().size());
        EXPECT_EQ(&font, fresh.Current());
    }
    fonts.Requests.clear();
    manager->SelectFont(plain, -16, false, true);
    manager->SelectFont(plain, -17, false, true);
    EXPECT_EQ(2u, fonts.Requests.size());
}

TEST_F(SharedFontsTest, CachedFontsBecomeCurrentAndCountTheirUse) {
    const TSharedFont& a = manager->SelectFont(plain, -10, false, true);
    const TSharedFont& b = manager->SelectFont(plain, -12, false, false);
    EXPECT_TRUE(manager->CurrentSelected());  // made fonts are selected
    EXPECT_EQ(&b, manager->Current());

    EXPECT_EQ(&a, &manager->SelectFont(plain, -10, false, false));
    EXPECT_EQ(&a, manager->Current());
    EXPECT_FALSE(manager->CurrentSelected());
    EXPECT_EQ(2, a.UseCount);
    // The current font again: selected now, not counted.
    manager->SelectFont(plain, -10, false, true);
    EXPECT_TRUE(manager->CurrentSelected());
    EXPECT_EQ(2, a.UseCount);
    manager->SelectFont(plain, -12, false, true);
    manager->SelectFont(plain, -12, false, true);
    manager->SelectFont(plain, -10, false, true);
    manager->SelectFont(plain, -12, false, true);
    EXPECT_EQ(2u, fonts.Requests.size());
    EXPECT_EQ((std::vector<int32_t>{-12, -10}), CachedHeights());  // newest first
    EXPECT_EQ(3, b.UseCount);
    EXPECT_EQ(3, a.UseCount);

    manager->SelectFont(plain, -14, false, true);
    manager->SortCacheByUse();
    EXPECT_EQ((std::vector<int32_t>{-12, -10, -14}), CachedHeights());
}

TEST_F(SharedFontsTest, AFullCacheFreesTenFontsBeforeTheOldest) {
    for (int32_t h = 1; h <= 40; ++h) {
        manager->SelectFont(plain, -h, false, true);
    }
    ASSERT_EQ(40u, manager->Cache().size());
    manager->SelectFont(plain, -41, false, true);

    // Positions 29 to 38 (heights -11 to -2) are gone; the oldest stays.
    std::vector<int32_t> expected = {-41};
    for (int32_t h = 40; h >= 12; --h) {
        expected.push_back(-h);
    }
    expected.push_back(-1);
    EXPECT_EQ(expected, CachedHeights());
    EXPECT_EQ(-41, manager->Current()->Key[caSize]);
    manager->SelectFont(plain, -1, false, true);
    manager->SelectFont(plain, -2, false, true);
    EXPECT_EQ(42u, fonts.Requests.size());
}

TEST_F(SharedFontsTest, FaceCheckRecordsSubstitutes) {
    TCharAttrs times = plain;
    struct Case {
        const char* what;
        const char* registered;
        int32_t charSet;
        bool strict;
        std::vector<std::string> expectedFaces;  // of the requests made
        std::vector<int32_t> expectedSets;
        std::string expectedSubstitute;  // for the registered name
        std::string expectedNextFace;    // requested by the next font
    };
    const Case cases[] = {
        {"absent face", "Times", 0, false, {"Times"}, {0}, "Times New Roman", "Times New Roman"},
        {"absent face, strict", "Times", 0, true, {"Times"}, {0}, "", "Times"},
        {"absent face, default set", "Elsewhere", 1, false, {"Elsewhere"}, {1}, "Fake Fallback", "Fake Fallback"},
        {"face without that set", "Arial", 161, false, {"Arial", "Arial"}, {161, 1}, "", "Arial"},
        {"absent face, other set", "Elsewhere", 204, false, {"Elsewhere", "Elsewhere"}, {204, 1}, "Fake Fallback",
         "Fake Fallback"},
        {"absent face, other set, strict", "Elsewhere", 204, true, {"Elsewhere", "Elsewhere"}, {204, 1}, "",
         "Elsewhere"},
        {"installed face", "Courier New", 204, false, {"Courier New"}, {204}, "", "Courier New"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFontManager fresh(fonts);
        fonts.Requests.clear();
        times[caFont] = fresh.Register(c.registered, c.charSet, false, 0);
        fresh.SelectFont(times, -16, c.strict, true);
        std::vector<std::string> faces;
        std::vector<int32_t> sets;
        for (const TFontRequest& r : fonts.Requests) {
            faces.push_back(r.Face);
            sets.push_back(r.CharSet);
        }
        EXPECT_EQ(c.expectedFaces, faces);
        EXPECT_EQ(c.expectedSets, sets);
        EXPECT_EQ(c.expectedSubstitute, fresh.SubstituteFor(c.registered));

        fresh.SelectFont(times, -18, false, true);
        EXPECT_EQ(c.expectedNextFace, fonts.Requests.back().Face);
    }
}

TEST_F(SharedFontsTest, LongFaceNamesAreCut) {
    TCharAttrs attrs = plain;
    attrs[caFont] = manager->Register("A Face Name Longer Than Thirty-One Characters", 0, false, 0);
    manager->SelectFont(attrs, -16, true, true);
    EXPECT_EQ("A Face Name Longer Than Thirty-", fonts.Requests.back().Face);
    attrs[caFont] = manager->Register("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
                                      "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
                                      0, false, 0);
    manager->SelectFont(attrs, -16, true, true);
    EXPECT_EQ(30u, fonts.Requests.back().Face.size());  // not inside a character
}

TEST_F(SharedFontsTest, AnIndexOutsideTheRegistryThrows) {
    TCharAttrs attrs = plain;
    attrs[caFont] = static_cast<int32_t>(manager->Registry().size());
    EXPECT_THROW(manager->SelectFont(attrs, -16, false, true), std::out_of_range);
    EXPECT_TRUE(manager->Cache().empty());
}

}  // namespace
}  // namespace quillane
