// Screen widths at a zoom, and the caret geometry built on them.

#include "layout/DisplayWidths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

#include "layout/LayoutFixture.h"
#include "layout/LineGeometry.h"
#include "model/ParLine.h"

namespace quillane {
namespace {

using test::TLayoutFixture;
using Widths = std::vector<int32_t>;

TEST(DisplayWidths, IdealWidthsNeverDriftFromTheLayout) {
    // Every prefix of the ideal widths stays within two pixels of the exact
    // scaled prefix (a pixel may go to an earlier position), and the line
    // ends within half a pixel.
    std::mt19937 random(7);
    for (int32_t zoom : {10, 33, 75, 100, 110, 150, 233, 500}) {
        for (int round = 0; round < 50; ++round) {
            Widths layout(1 + random() % 80);
            for (int32_t& w : layout) {
                w = static_cast<int32_t>(random() % 200);
            }
            const Widths ideal = IdealWidths(layout, zoom);
            int64_t exact = 0;
            int64_t sum = 0;
            for (size_t i = 0; i < layout.size(); ++i) {
                exact += int64_t{layout[i]} * zoom;
                sum += ideal[i];
                ASSERT_LT(std::abs(sum * 800 - exact), 1600) << "zoom " << zoom << " position " << i;
                ASSERT_LT(std::abs(int64_t{ideal[i]} * 800 - int64_t{layout[i]} * zoom), 1600);
            }
            EXPECT_LE(std::abs(sum * 800 - exact), 400) << "zoom " << zoom;
        }
    }
}

TEST(DisplayWidths, IdealWidthsAtSimpleZooms) {
    EXPECT_EQ((Widths{8, 8, 8}), IdealWidths({64, 64, 64}, 100));
    EXPECT_EQ((Widths{12, 12, 12}), IdealWidths({64, 64, 64}, 150));
    // 3.5 pixels each: a pixel goes to the position with the larger
    // remainder among the last four, the older on ties; a position that has
    // had one is owed less than the others.
    EXPECT_EQ((Widths{4, 4, 3, 3}), IdealWidths({28, 28, 28, 28}, 100));
    // A position just before the chosen one that lost more than 700/800
    // takes the pixel instead: 7 units at 110 % lose 770.
    EXPECT_EQ((Widths{1, 3, 11, 11, 3}), IdealWidths({7, 22, 80, 80, 22}, 110));
}

TEST(DisplayWidths, FittingTouchesOnlyBlanksFromTheEnd) {
    const Widths ideal{8, 8, 8, 8, 8, 8};
    Widths actual{9, 9, 9, 9, 9, 9};  // 6 pixels too wide
    const std::vector<uint8_t> eligible{0, 1, 0, 1, 0, 1};
    FitActualWidths(actual, ideal, eligible);
    // The blanks lose a pixel each from the end, and the last one a second
    // in the next pass, until the totals differ by less than 3.
    EXPECT_EQ((Widths{9, 8, 9, 8, 9, 7}), actual);
    Widths narrow{8, 8, 8, 8, 8, 8};
    FitActualWidths(narrow, Widths{9, 9, 9, 9, 9, 9}, eligible);
    EXPECT_EQ((Widths{8, 9, 8, 9, 8, 10}), narrow);
    // Widths of 2 pixels or less are never narrowed.
    Widths thin{2, 2, 2, 2};
    FitActualWidths(thin, Widths{0, 0, 0, 0}, std::vector<uint8_t>{1, 1, 1, 1});
    EXPECT_EQ((Widths{2, 2, 2, 2}), thin);
}

TEST(DisplayWidths, MergingTakesRunsWhoseTotalsAgree) {
    struct Case {
        const char* what;
        Widths actual, ideal, expected;
    };
    const Case cases[] = {
        {"equal", {5, 6, 7}, {5, 6, 7}, {5, 6, 7}},
        {"the whole line within a pixel", {5, 7, 7}, {6, 6, 7}, {5, 7, 7}},
        {"a prefix with equal totals", {5, 7, 9, 9}, {6, 6, 7, 7}, {5, 7, 7, 7}},
        {"nothing agrees", {9, 9, 9}, {5, 5, 5}, {5, 5, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, MergeWidths(c.actual, c.ideal));
    }
}

TEST(DisplayWidths, AtFullSizeTheScreenShowsTheLayout) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aaaa aaaa aaaa");
    f.LayOut();
    TParLine& line = p.Line(0);
    f.Layout().UpdateDisplayWidths(line, 100);
    EXPECT_EQ(100, line.DisplayZoom);
    for (int32_t k = 0; k <= line.PositionCount; ++k) {
        EXPECT_EQ(line.X(k) / 8, XOfPosition(f.Layout(), line, k, 100));
    }
}

TEST(DisplayWidths, ZoomedLinesKeepTheirEnds) {
    // At any zoom the display widths of a line add up to its layout width
    // within a pixel and a half of the zoomed screen.
    TLayoutFixture f(4000);
    TParagraph& p = f.SetText("The quick brown fox, jumping over the lazy dog, AVoids Tom.", {{0, caKerning, 20}});
    f.LayOut();
    for (int32_t zoom : {25, 50, 75, 90, 110, 125, 150, 200, 300}) {
        SCOPED_TRACE(zoom);
        for (int32_t i = 0; i < p.LineCount(); ++i) {
            TParLine& line = p.Line(i);
            f.Layout().UpdateDisplayWidths(line, zoom);
            const auto* widths = reinterpret_cast<const int32_t*>(line.DisplayWidths.Data());
            const int64_t total = std::accumulate(widths, widths + line.PositionCount, int64_t{0});
            EXPECT_NEAR((line.X(line.PositionCount) - line.X(0)) * zoom / 800.0, total, 1.5);
        }
    }
}

TEST(DisplayWidths, CaretPositionsSnapToTheNearerEdge) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aaaa aaaa aaaa");  // edges every 8 pixels
    f.LayOut();
    TParLine& first = p.Line(0);
    TParLine& last = p.Line(1);
    struct Case {
        TParLine* line;
        int32_t x, expected;
    };
    const Case cases[] = {
        {&first, -5, 0}, {&first, 3, 0},  {&first, 4, 1},   {&first, 5, 1},   {&first, 12, 2},
        {&first, 79, 10}, {&first, 500, 10},
        // On the last line the caret stays before the paragraph mark.
        {&last, 31, 4},   {&last, 36, 4},  {&last, 500, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(c.expected, PositionAtX(f.Layout(), *c.line, c.x, 100));
    }
    EXPECT_EQ(std::make_pair(1, 3), PositionsInSpan(f.Layout(), first, 6, 21, 100));
    EXPECT_EQ(std::make_pair(2, 4), PositionsInSpan(f.Layout(), last, 14, 100, 100));
}

TEST(DisplayWidths, VisibleHeightStopsAtTheNextLine) {
    TLayoutFixture f;
    TParagraph& p = f.SetText("aaaa aaaa aaaa");
    f.LayOut();
    TParLine& a = p.Line(0);
    TParLine& b = p.Line(1);
    a.Page = b.Page = nullptr;  // the same page
    a.Top = 0;
    b.Top = 10;
    EXPECT_EQ(20, VisibleHeight(a, b.Page == a.Page ? &b : nullptr, 200));
    EXPECT_EQ(36, VisibleHeight(a, nullptr, 200));
    b.Top = 0;
    EXPECT_EQ(1, VisibleHeight(a, &b, 100));
}

}  // namespace
}  // namespace quillane
