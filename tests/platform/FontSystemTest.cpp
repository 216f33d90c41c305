// The registry's rules against the platform's real font engine: GDI on
// Windows (Wine with Liberation standing in for the standard faces), and
// fontconfig with FreeType elsewhere. Cases that need a Liberation face skip
// when it is not installed.
#include "platform/FontSystem.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/ParAttrs.h"

namespace quillane {
namespace {

TEST(CharSets, CodePages) {
    const std::pair<int32_t, int> cases[] = {
        {AnsiCharSet, 1252}, {DefaultCharSet, 1250}, {SymbolCharSet, 0}, {204, 1251}, {238, 1250},
        {161, 1253},         {OemCharSet, 437},      {128, 932},         {99, 1250},
    };
    for (const auto& [charSet, codePage] : cases) {
        SCOPED_TRACE(charSet);
        EXPECT_EQ(codePage, CodePageOfCharSet(charSet, 1250));  // 1250 as the system's page
    }
}

class RealFontsTest : public testing::Test {
protected:
    // One font system and registry for the suite: starting them enumerates
    // every installed face.
    static void SetUpTestSuite() {
        fontSystem_ = CreateFontSystem();
        registry_ = std::make_unique<TFontManager>(*fontSystem_);
        fonts_ = fontSystem_.get();
        manager_ = registry_.get();
    }
    static void TearDownTestSuite() {
        manager_ = nullptr;
        fonts_ = nullptr;
        registry_.reset();
        fontSystem_.reset();
    }

    // The registry entry of an installed family, or -1.
    static int32_t Installed(const char* family) {
        const int32_t index = manager_->FindRegistered(family);
        return index >= 0 && manager_->Entry(index).Linked ? index : -1;
    }

    static TCharAttrs AttrsFor(int32_t fontIndex) { return TModelDefaults::BuiltIn(fontIndex).Char; }

    static std::unique_ptr<TFontSystem> fontSystem_;
    static std::unique_ptr<TFontManager> registry_;
    static TFontSystem* fonts_;
    static TFontManager* manager_;
};

std::unique_ptr<TFontSystem> RealFontsTest::fontSystem_;
std::unique_ptr<TFontManager> RealFontsTest::registry_;
TFontSystem* RealFontsTest::fonts_ = nullptr;
TFontManager* RealFontsTest::manager_ = nullptr;

#define REQUIRE_FAMILY(index, name)                         \
    const int32_t index = Installed(name);                  \
    if (index < 0) {                                        \
        GTEST_SKIP() << "the font \"" name "\" is not installed"; \
    }

TEST_F(RealFontsTest, FamiliesAreScalableSortedAndClassified) {
    REQUIRE_FAMILY(sans, "Liberation Sans");
    REQUIRE_FAMILY(mono, "Liberation Mono");
    REQUIRE_FAMILY(serif, "Liberation Serif");
    const auto& families = manager_->Families();
    for (size_t i = 1; i < families.size(); ++i) {
        EXPECT_LT(CompareFontNames(families[i - 1].Name, families[i].Name), 0) << families[i].Name;
    }
    struct Case {
        int32_t entry;
        int32_t expectedPitchAndFamily;
    };
    const Case cases[] = {
        {sans, VariablePitch | FamilySwiss},
        {mono, FixedPitch | FamilyModern},
        {serif, VariablePitch | FamilyRoman},
    };
    for (const Case& c : cases) {
        const TFontFamily& family = families[static_cast<size_t>(manager_->Entry(c.entry).Family)];
        SCOPED_TRACE(family.Name);
        EXPECT_EQ(c.expectedPitchAndFamily, family.PitchAndFamily);
        EXPECT_EQ(AnsiCharSet, family.CharSet);
        EXPECT_TRUE(family.Registered);
    }
    // Liberation declares Central European, Cyrillic, Greek, Turkish and
    // Baltic besides Western: each set got its own entry with the tag at
    // start-up.
    const size_t entries = manager_->Registry().size();
    for (int32_t charSet : {238, 204, 161, 162, 186}) {
        SCOPED_TRACE(charSet);
        const int32_t index = manager_->Register("Liberation Sans", charSet, false, 0);
        EXPECT_EQ(manager_->Entry(sans).Family, manager_->Entry(index).Family);
        EXPECT_EQ(manager_->TagOf(sans), manager_->TagOf(index));
    }
    EXPECT_EQ(entries, manager_->Registry().size());
}

TEST_F(RealFontsTest, PrefixMatchingLinksToAnInstalledFamily) {
    REQUIRE_FAMILY(serif, "Liberation Serif");
    const int32_t extended = manager_->Register("Liberation Serif Quillane Test", AnsiCharSet, true, 0);
    EXPECT_EQ(serif, extended);  // the family's own entry of that set
    const int32_t unlinked = manager_->Register("Liberation Serif Quillane Test", AnsiCharSet, false, 0);
    EXPECT_FALSE(manager_->Entry(unlinked).Linked);
    EXPECT_EQ("Liberation Serif Quillane Test", manager_->DisplayName(unlinked));
}

TEST_F(RealFontsTest, MeasuresAFont) {
    REQUIRE_FAMILY(sans, "Liberation Sans");
    TCharAttrs attrs = AttrsFor(sans);
    const TSharedFont& font = manager_->SelectFont(attrs, -16, false, true);
    EXPECT_EQ("Liberation Sans", font.Font->FaceName());
    // Liberation Sans: ascent 0.905 em, descent 0.212 em, line gap 0.033 em.
    EXPECT_EQ(14, font.Ascent);
    EXPECT_EQ(3, font.Metrics.Descent);
    EXPECT_GE(font.Descent, 3);
    EXPECT_GT(font.Widths['W'], font.Widths['i']);
    EXPECT_GT(font.Widths[' '], 0);
    EXPECT_EQ(font.Widths['0'], font.Widths['9']);  // tabular digits

    attrs[caBold] = 1;
    const TSharedFont& bold = manager_->SelectFont(attrs, -16, false, true);
    int wider = 0;
    for (int c = 'a'; c <= 'z'; ++c) {
        wider += bold.Widths[static_cast<size_t>(c)] >= font.Widths[static_cast<size_t>(c)] ? 1 : 0;
    }
    EXPECT_EQ(26, wider);
    EXPECT_TRUE(manager_->Substitutions().empty() || manager_->SubstituteFor("Liberation Sans").empty());
}

TEST_F(RealFontsTest, MonospacedFontHasOneWidth) {
    REQUIRE_FAMILY(mono, "Liberation Mono");
    const TSharedFont& font = manager_->SelectFont(AttrsFor(mono), -20, false, true);
    for (int c = 0x21; c < 0x7F; ++c) {
        EXPECT_EQ(font.Widths['M'], font.Widths[static_cast<size_t>(c)]) << static_cast<char>(c);
    }
    EXPECT_EQ(12, font.Widths['M']);  // 0.6 em
}

TEST_F(RealFontsTest, AnAbsentFaceIsSubstitutedAndRemembered) {
    const int32_t absent = manager_->Register("Quillane Absent Face", AnsiCharSet, false, 0);
    ASSERT_FALSE(manager_->Entry(absent).Linked);
    const TSharedFont& font = manager_->SelectFont(AttrsFor(absent), -13, false, true);
    const std::string delivered = font.Font->FaceName();
    EXPECT_NE("Quillane Absent Face", delivered);
    EXPECT_EQ(delivered, manager_->SubstituteFor("Quillane Absent Face"));
    EXPECT_GT(font.Widths['a'], 0);
}

// The default font of documents measures as Liberation Serif: the family
// itself on Windows with the replacement, a substitute elsewhere.
TEST_F(RealFontsTest, TimesNewRomanMeasuresAsLiberationSerif) {
    REQUIRE_FAMILY(serif, "Liberation Serif");
    const int32_t times = manager_->TimesNewRomanIndex();
    EXPECT_EQ("Times New Roman", manager_->DisplayName(times));
    for (int32_t height : {-13, -16, -32}) {
        SCOPED_TRACE(height);
        const TCharWidths timesWidths = manager_->SelectFont(AttrsFor(times), height, false, true).Widths;
        const TCharWidths serifWidths = manager_->SelectFont(AttrsFor(serif), height, false, true).Widths;
        for (int c = 0x20; c < 0x7F; ++c) {
            EXPECT_EQ(serifWidths[static_cast<size_t>(c)], timesWidths[static_cast<size_t>(c)]) << static_cast<char>(c);
        }
    }
    if (!manager_->Entry(times).Linked) {
        EXPECT_EQ("Liberation Serif", manager_->SubstituteFor("Times New Roman"));
    }
}

TEST_F(RealFontsTest, ACharacterSetTheFaceLacksFallsBackToTheFace) {
    REQUIRE_FAMILY(sans, "Liberation Sans");
    // Thai is no set of Liberation: the face comes back with the default set.
    const int32_t thai = manager_->WithCharacterSet(sans, 222);
    const TSharedFont& font = manager_->SelectFont(AttrsFor(thai), -16, false, true);
    EXPECT_EQ("Liberation Sans", font.Font->FaceName());
    EXPECT_EQ("", manager_->SubstituteFor("Liberation Sans"));
}

TEST_F(RealFontsTest, AFullCacheFreesTenFonts) {
    REQUIRE_FAMILY(sans, "Liberation Sans");
    TFontManager manager(*fonts_);
    for (int32_t h = 1; h <= 41; ++h) {
        manager.SelectFont(AttrsFor(sans), -5 - h, false, true);
    }
    EXPECT_EQ(31u, manager.Cache().size());
    EXPECT_EQ(-46, manager.Cache().front()->Key[caSize]);
    EXPECT_EQ(-6, manager.Cache().back()->Key[caSize]);
}

TEST_F(RealFontsTest, KerningPairsAreGroupedAndFound) {
    REQUIRE_FAMILY(sans, "Liberation Sans");
    const TCharAttrs attrs = AttrsFor(sans);
    const TSharedFont& font = manager_->SelectFont(attrs, -40, false, true);
    TKerningPairsManager kerning;
    kerning.LoadPairs(attrs, -40, *font.Font);
    const std::vector<TKerningPair>& pairs = kerning.Current()->Pairs;
    ASSERT_FALSE(pairs.empty()) << "Liberation Sans has a kerning table";
    for (size_t i = 1; i < pairs.size(); ++i) {
        const bool ordered = pairs[i - 1].First < pairs[i].First ||
                             (pairs[i - 1].First == pairs[i].First && pairs[i - 1].Second < pairs[i].Second);
        ASSERT_TRUE(ordered) << i;
    }
    for (const TKerningPair& pair : pairs) {
        EXPECT_NE(0, pair.Amount);
        EXPECT_EQ(pair.Amount, kerning.PairAmount(pair.First, pair.Second));
    }
    EXPECT_LT(kerning.PairAmount('A', 'V'), 0);
    EXPECT_LT(kerning.PairAmount('T', 'o'), 0);
    EXPECT_EQ(0, kerning.PairAmount('o', 'o'));
}

}  // namespace
}  // namespace quillane
