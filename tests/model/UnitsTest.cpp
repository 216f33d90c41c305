#include "model/Units.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

TEST(Units, RoundingTakesHalvesUpwards) {
    struct Case {
        int64_t a, b, c;
        int32_t expected;
    };
    const Case cases[] = {
        {5, 1, 2, 3},     // 2.5 -> 3
        {-5, 1, 2, -2},   // -2.5 -> -2 (upwards)
        {7, 1, 3, 2},     // 2.33
        {8, 1, 3, 3},     // 2.67
        {-7, 1, 3, -2},   // -2.33
        {-8, 1, 3, -3},   // -2.67
        {1440, 96, 1440, 96},
        {720, 96, 1440, 48},
        {15, 96, 1440, 1},  // exactly one pixel
        {7, 96, 1440, 0},   // 0.467
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << "*" << c.b << "/" << c.c);
        EXPECT_EQ(c.expected, MulDivRound(c.a, c.b, c.c));
    }
}

TEST(Units, ConversionsBetweenTwipsPixelsAndFontHeights) {
    EXPECT_EQ(816, TwipsToPixels(12240, 96));
    EXPECT_EQ(1020, TwipsToPixels(12240, 120));
    EXPECT_EQ(1440, PixelsToTwips(96, 96));
    EXPECT_EQ(15, PixelsToTwips(1, 96));
    EXPECT_EQ(-16, HalfPointsToFontHeight(24, 96));
    EXPECT_EQ(-20, HalfPointsToFontHeight(24, 120));
    EXPECT_EQ(-3, HalfPointsToZoomedFontHeight(2, 10));  // never below 3 pixels
    EXPECT_EQ(-32, HalfPointsToZoomedFontHeight(24, ZoomedPpi(96, 200)));
}

TEST(Units, LayoutScalingRoundTripsNegativeValues) {
    const int32_t values[] = {-1441, -100, -9, -1, 0, 1, 7, 8, 1440, 31680};
    for (int32_t v : values) {
        SCOPED_TRACE(v);
        EXPECT_EQ(v, ScaleFromLayout(ScaleToLayout(v)));
        EXPECT_EQ(v, ScaleFromLayout(ScaleToLayout(v, 150, 100), 150, 100));
    }
    EXPECT_EQ(80, ScaleToLayout(10));
    EXPECT_EQ(-15, ScaleToLayout(-1));   // 1 - 8 * 2
    EXPECT_EQ(1, ScaleFromLayout(4));    // 0.5 rounds up
    EXPECT_EQ(0, ScaleFromLayout(3));
    EXPECT_EQ(-1, ScaleFromLayout(-11));  // 1 - round(12 / 8)
}

TEST(Units, DisplayUnits) {
    struct Case {
        TMeasureUnit unit;
        int32_t twips;
        int32_t hundredths;
        const char* text;
    };
    const Case cases[] = {
        {TMeasureUnit::Centimetres, 1440, 254, "2.54 cm"},
        {TMeasureUnit::Centimetres, 567, 100, "1 cm"},
        {TMeasureUnit::Inches, 720, 50, "0.5\""},
        {TMeasureUnit::Points, 240, 1200, "12 pt"},
        {TMeasureUnit::Picas, 1440, 600, "6 pi"},
        {TMeasureUnit::Inches, -360, -25, "-0.25\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TMeasurementsManager m(c.unit);
        EXPECT_EQ(c.hundredths, m.TwipsToHundredths(c.twips));
        EXPECT_EQ(c.text, m.Format(c.twips));
    }
    const TMeasurementsManager cm(TMeasureUnit::Centimetres);
    EXPECT_EQ(1440, cm.HundredthsToTwips(254));
    EXPECT_EQ(567, cm.HundredthsToTwips(100));
    EXPECT_EQ(240, TMeasurementsManager(TMeasureUnit::Points).HundredthsToTwips(1200));
    EXPECT_EQ(1440, TMeasurementsManager(TMeasureUnit::Picas).HundredthsToTwips(600));
}

}  // namespace
}  // namespace quillane
