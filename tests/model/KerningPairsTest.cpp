#include "model/KerningPairs.h"

#include <gtest/gtest.h>

#include "model/FontManager.h"
#include "model/ParAttrs.h"
#include "support/FakeFontSystem.h"

namespace quillane {
namespace {

using test::StandardFakeFaces;
using test::TFakeFontSystem;

class KerningPairsTest : public testing::Test {
protected:
    void SetUp() override {
        fonts.Faces = StandardFakeFaces();
        manager = std::make_unique<TFontManager>(fonts);
        arial = TModelDefaults::BuiltIn(manager->ArialIndex()).Char;
    }

    void Load(const TCharAttrs& attrs, int32_t height) {
        kerning.LoadPairs(attrs, height, *manager->SelectFont(attrs, height, false, true).Font);
    }

    std::vector<int32_t> CachedHeights() const {
        std::vector<int32_t> heights;
        for (const auto& table : kerning.Cache()) {
            heights.push_back(table->Key[caSize]);
        }
        return heights;
    }

    TFakeFontSystem fonts;
    std::unique_ptr<TFontManager> manager;
    TKerningPairsManager kerning;
    TCharAttrs arial;
};

TEST_F(KerningPairsTest, PairAmount) {
    EXPECT_EQ(0, kerning.PairAmount('A', 'V'));  // no table yet
    Load(arial, -40);                          // twice the em of the amounts
    struct Case {
        int32_t first, second, expected;
    };
    const Case cases[] = {
        {'A', 'V', -8}, {'A', 'W', -4}, {'A', 'y', -2}, {'L', 'T', -12}, {'T', 'o', -6},
        {'A', 'B', 0},   // below the group's pairs
        {'A', 'X', 0},   // between two pairs
        {'A', 'z', 0},   // above them
        {'V', 'A', 0},   // no group
        {'a', 'v', 0},
        {0x141, 'V', -8},  // the low byte of the first character selects the group
        {'A', 0x156, -8},  // and of the second
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + "," + std::to_string(c.second));
        EXPECT_EQ(c.expected, kerning.PairAmount(c.first, c.second));
    }
    const TSharedKerningPairs& table = *kerning.Current();
    EXPECT_EQ(5u, table.Pairs.size());
    EXPECT_EQ(0, table.Index['A'].First);
    EXPECT_EQ(3, table.Index['A'].Count);
    EXPECT_EQ(3, table.Index['L'].First);
    EXPECT_EQ(1, table.Index['L'].Count);
    EXPECT_EQ(0, table.Index['V'].Count);
}

TEST_F(KerningPairsTest, TablesAreReadOncePerFont) {
    Load(arial, -20);
    TCharAttrs coloured = arial;
    coloured[caColor] = 5;
    coloured[caKerning] = 8;
    Load(coloured, -20);
    EXPECT_EQ(1, fonts.KerningReads);
    EXPECT_EQ(-4, kerning.PairAmount('A', 'V'));

    Load(arial, -30);
    EXPECT_EQ(2, fonts.KerningReads);
    EXPECT_EQ(-6, kerning.PairAmount('A', 'V'));
    Load(arial, -20);
    EXPECT_EQ(2, fonts.KerningReads);
    EXPECT_EQ(-4, kerning.PairAmount('A', 'V'));
    EXPECT_EQ(2, kerning.Current()->UseCount);

    TCharAttrs times = arial;
    times[caFont] = manager->TimesNewRomanIndex();
    Load(times, -20);
    EXPECT_EQ(3, fonts.KerningReads);
    EXPECT_EQ(0, kerning.PairAmount('A', 'V'));
    EXPECT_EQ((std::vector<int32_t>{-20, -30, -20}), CachedHeights());
    kerning.SortCacheByUse();
    EXPECT_EQ(2, kerning.Cache().front()->UseCount);
}

TEST_F(KerningPairsTest, AFullCacheFreesTheLeastUsedTable) {
    for (int32_t h = 1; h <= 40; ++h) {
        Load(arial, -h);
    }
    Load(arial, -1);
    Load(arial, -3);
    Load(arial, -41);  // -2 is the first of the tables used once
    std::vector<int32_t> expected = {-1};
    for (int32_t h = 3; h <= 41; ++h) {
        expected.push_back(-h);
    }
    EXPECT_EQ(expected, CachedHeights());
    EXPECT_EQ(41, fonts.KerningReads);
    Load(arial, -42);  // now -4
    EXPECT_EQ(-3, CachedHeights()[1]);
    EXPECT_EQ(-5, CachedHeights()[2]);
}

}  // namespace
}  // namespace quillane
