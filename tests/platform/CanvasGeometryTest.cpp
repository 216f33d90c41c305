// The geometry both canvases share: which pixels a line covers, where a
// clamped bitmap part lands, how a run's offsets add up.
#include "platform/CanvasGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>

namespace quillane {

void PrintTo(const TRect& r, std::ostream* out) {
    *out << "{" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << "}";
}

namespace {

const TRect Everything{-1000, -1000, 1000, 1000};

TEST(CanvasGeometry, LinesCoverTheirStartAndStopBeforeTheirEnd) {
    struct Case {
        const char* What;
        TPoint From;
        TPoint To;
        TPen Pen;
        TRect Bounds;
        std::vector<TRect> Expected;
    };
    const TPen thin{0, 1, {}};
    const Case cases[] = {
        {"rightwards", {2, 5}, {10, 5}, thin, Everything, {{2, 5, 10, 6}}},
        {"leftwards: the start included, the end not", {10, 5}, {2, 5}, thin, Everything, {{3, 5, 11, 6}}},
        {"downwards, 3 wide to the right", {4, 0}, {4, 6}, TPen{0, 3, {}}, Everything, {{4, 0, 7, 6}}},
        {"a point draws nothing", {4, 4}, {4, 4}, thin, Everything, {}},
        {"no width is one pixel", {0, 0}, {3, 0}, TPen{0, 0, {}}, Everything, {{0, 0, 3, 1}}},
        {"cut to the bounds", {-50, 3}, {50, 3}, thin, {0, 0, 10, 10}, {{0, 3, 10, 4}}},
        {"outside the bounds", {0, 20}, {10, 20}, thin, {0, 0, 10, 10}, {}},
        {"thick line reaching into the bounds from above", {0, -2}, {4, -2}, TPen{0, 3, {}}, {0, 0, 10, 10},
         {{0, 0, 4, 1}}},
        {"dots merge into runs", {0, 0}, {8, 0}, TPen{0, 1, {0b0011, 4, 0}}, Everything, {{0, 0, 2, 1}, {4, 0, 6, 1}}},
        {"dots follow absolute coordinates", {1, 0}, {8, 0}, TPen{0, 1, {0b0011, 4, 0}}, Everything,
         {{1, 0, 2, 1}, {4, 0, 6, 1}}},
        {"the phase shifts the dots", {0, 0}, {8, 0}, TPen{0, 1, {0b0011, 4, 1}}, Everything,
         {{0, 0, 1, 1}, {3, 0, 5, 1}, {7, 0, 8, 1}}},
        {"negative coordinates keep the pattern", {-4, 0}, {0, 0}, TPen{0, 1, {0b0011, 4, 0}}, Everything,
         {{-4, 0, -2, 1}}},
        {"vertical dots along y", {0, 0}, {0, 4}, TPen{0, 1, {0b01, 2, 0}}, Everything, {{0, 0, 1, 1}, {0, 2, 1, 3}}},
        {"slanted: one square per step", {0, 0}, {3, 3}, thin, Everything, {{0, 0, 1, 1}, {1, 1, 2, 2}, {2, 2, 3, 3}}},
        {"slanted, shallow, rounding halves up", {0, 0}, {4, -2}, thin, Everything,
         {{0, 0, 1, 1}, {1, 0, 2, 1}, {2, -1, 3, 0}, {3, -1, 4, 0}}},
        {"slanted, dotted along the longer axis", {0, 0}, {2, 4}, TPen{0, 1, {0b01, 2, 0}}, Everything,
         {{0, 0, 1, 1}, {1, 2, 2, 3}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.Expected, LineRects(c.From, c.To, c.Pen, c.Bounds)) << c.What;
    }
}

TEST(CanvasGeometry, HugeLinesCostOnlyTheirVisiblePart) {
    const TRect bounds{0, 0, 100, 100};
    const TPen dotted{0, 1, {0b01, 2, 0}};
    EXPECT_EQ(50u, LineRects({INT32_MIN, 7}, {INT32_MAX, 7}, dotted, bounds).size());
    EXPECT_EQ(50u, LineRects({INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}, dotted, bounds).size());
    EXPECT_TRUE(LineRects({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN + 5}, TPen{0, 3, {}}, bounds).empty());
    const std::vector<TRect> wide = LineRects({0, 10}, {10, 10}, TPen{0, INT32_MAX, {}}, bounds);
    ASSERT_EQ(1u, wide.size());
    EXPECT_EQ((TRect{0, 10, 10, 100}), wide[0]);
}

TEST(CanvasGeometry, PolygonsCoverThePixelsWhoseCentresLieInside) {
    struct Case {
        const char* What;
        std::vector<TPoint> Points;
        TRect Bounds;
        std::vector<TRect> Expected;
    };
    const Case cases[] = {
        {"a rectangle covers exactly its pixels", {{0, 0}, {4, 0}, {4, 3}, {0, 3}}, Everything,
         {{0, 0, 4, 1}, {0, 1, 4, 2}, {0, 2, 4, 3}}},
        {"the same, wound the other way", {{0, 3}, {4, 3}, {4, 0}, {0, 0}}, Everything,
         {{0, 0, 4, 1}, {0, 1, 4, 2}, {0, 2, 4, 3}}},
        {"a right triangle: centres on the slanted edge are outside", {{0, 0}, {4, 0}, {0, 4}}, Everything,
         {{0, 0, 3, 1}, {0, 1, 2, 2}, {0, 2, 1, 3}}},
        {"a parallelogram leaning right", {{2, 0}, {6, 0}, {4, 2}, {0, 2}}, Everything,
         {{1, 0, 5, 1}, {0, 1, 4, 2}}},
        {"crossing edges fill alternately", {{0, 0}, {4, 4}, {4, 0}, {0, 4}}, Everything,
         {{3, 0, 4, 1}, {0, 1, 1, 2}, {2, 1, 4, 2}, {0, 2, 1, 3}, {2, 2, 4, 3}, {3, 3, 4, 4}}},
        {"cut to the bounds", {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}}, {0, 0, 2, 2},
         {{0, 0, 2, 1}, {0, 1, 2, 2}}},
        {"two points are no polygon", {{0, 0}, {4, 4}}, Everything, {}},
        {"a flat polygon covers nothing", {{0, 0}, {4, 0}, {8, 0}}, Everything, {}},
    };
    for (const Case& c : cases) {
        std::vector<TRect> got = PolygonRects(c.Points, c.Bounds);
        std::erase_if(got, [](const TRect& r) { return r.IsEmpty(); });
        std::vector<TRect> expected = c.Expected;
        std::erase_if(expected, [](const TRect& r) { return r.IsEmpty(); });
        EXPECT_EQ(expected, got) << c.What;
    }
    // Only the rows inside the bounds are visited.
    const TPoint huge[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    EXPECT_EQ(100u, PolygonRects(huge, {0, 0, 100, 100}).size());
}

// Rows as sets of pixels, whatever the rectangles they come in.
std::set<std::pair<int32_t, int32_t>> PixelsOf(const std::vector<TRect>& rects) {
    std::set<std::pair<int32_t, int32_t>> pixels;
    for (const TRect& r : rects) {
        for (int32_t y = r.Top; y < r.Bottom; ++y) {
            for (int32_t x = r.Left; x < r.Right; ++x) {
                pixels.emplace(x, y);
            }
        }
    }
    return pixels;
}

TEST(CanvasGeometry, PolyPolygonsFillByTheirRule) {
    // One polygon alone, alternate: the same pixels as the inverting fill.
    const std::vector<std::vector<TPoint>> singles = {
        {{0, 0}, {4, 0}, {0, 4}}, {{2, 0}, {6, 0}, {4, 2}, {0, 2}}, {{0, 0}, {4, 4}, {4, 0}, {0, 4}},
        {{0, 0}, {9, 1}, {3, 7}, {8, 8}, {1, 9}}};
    for (const auto& points : singles) {
        const int32_t count = static_cast<int32_t>(points.size());
        EXPECT_EQ(PixelsOf(PolygonRects(points, Everything)),
                  PixelsOf(PolyPolygonRects(points, std::span(&count, 1), false, Everything)));
    }
    // A 6 x 6 square around a 2 x 2 one: the hole stays open unless both
    // wind the same way under the winding rule.
    const TPoint outer[] = {{0, 0}, {6, 0}, {6, 6}, {0, 6}};
    const TPoint same[] = {{2, 2}, {4, 2}, {4, 4}, {2, 4}};
    const TPoint reverse[] = {{2, 2}, {2, 4}, {4, 4}, {4, 2}};
    struct Case {
        const char* What;
        const TPoint* Inner;
        bool Winding;
        size_t Pixels;
    };
    const Case cases[] = {
        {"alternate, same direction: a hole", same, false, 32},
        {"alternate, reversed: a hole", reverse, false, 32},
        {"winding, same direction: filled", same, true, 36},
        {"winding, reversed: a hole", reverse, true, 32},
    };
    const int32_t counts[] = {4, 4};
    for (const Case& c : cases) {
        std::vector<TPoint> points(outer, outer + 4);
        points.insert(points.end(), c.Inner, c.Inner + 4);
        const auto pixels = PixelsOf(PolyPolygonRects(points, counts, c.Winding, Everything));
        EXPECT_EQ(c.Pixels, pixels.size()) << c.What;
        EXPECT_EQ(c.Pixels == 36, pixels.count({3, 3}) == 1) << c.What;
    }
    // Counts that claim more points than there are stop at the last point.
    const int32_t greedy[] = {4, 1000000};
    EXPECT_EQ(16u, PixelsOf(PolyPolygonRects(std::span(outer, 4), greedy, false, {0, 0, 4, 4})).size());
    // Only the rows inside the bounds are visited.
    const TPoint huge[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    const int32_t four = 4;
    EXPECT_EQ(100u, PolyPolygonRects(huge, std::span(&four, 1), true, {0, 0, 100, 100}).size());
}

TEST(CanvasGeometry, BitmapPartsLandInProportion) {
    // A 10-pixel source stretched to 40: its part 5..10 lands on 20..40.
    EXPECT_EQ((TRect{120, 20, 140, 40}), BitmapLanding({0, 0, 10, 10}, {5, 5, 10, 10}, {100, 0, 140, 40}));
    EXPECT_EQ((TRect{0, 0, 3, 3}), BitmapLanding({0, 0, 2, 2}, {0, 0, 2, 2}, {0, 0, 3, 3}));
    // A source hanging off the bitmap keeps the scale of the request.
    const TBitmapView bitmap{reinterpret_cast<const uint8_t*>("12345678abcdefgh"), 2, 2, 8};
    TRect part{-2, 0, 2, 2};
    ASSERT_TRUE(ClampBitmapSource(bitmap, part));
    EXPECT_EQ((TRect{0, 0, 2, 2}), part);
    EXPECT_EQ((TRect{20, 0, 40, 20}), BitmapLanding({-2, 0, 2, 2}, part, {0, 0, 40, 20}));

    TRect outside{5, 5, 9, 9};
    EXPECT_FALSE(ClampBitmapSource(bitmap, outside));
    TRect huge{INT32_MIN, 0, INT32_MAX, 2};
    EXPECT_FALSE(ClampBitmapSource(bitmap, huge));
    TRect any{0, 0, 2, 2};
    EXPECT_FALSE(ClampBitmapSource(TBitmapView{bitmap.Pixels, 2, 2, 7}, any));  // rows too short
    EXPECT_FALSE(IsDrawable(TRect{0, 0, 0, 5}));
    EXPECT_FALSE(IsDrawable(TRect{INT32_MIN, 0, INT32_MAX, 5}));
    EXPECT_TRUE(IsDrawable(TRect{-5, -5, 5, 5}));
}

TEST(CanvasGeometry, RunOffsetsSaturate) {
    const int32_t advances[] = {5, -2, INT32_MAX, INT32_MAX};
    const TTextRun run{nullptr, {}, "abcd", advances, 0, std::nullopt};
    EXPECT_EQ((std::vector<int32_t>{0, 5, 3, INT32_MAX, INT32_MAX}), RunOffsets(run));
    const int32_t two[] = {1, 2};
    EXPECT_THROW(CheckTextRun(TTextRun{nullptr, {}, "ab", two, 0, std::nullopt}), std::invalid_argument);
}

TEST(CanvasGeometry, RectangleIntersection) {
    EXPECT_EQ((TRect{5, 5, 10, 8}), Intersection({0, 0, 10, 8}, {5, 5, 20, 20}));
    EXPECT_TRUE(Intersection({0, 0, 5, 5}, {5, 0, 10, 5}).IsEmpty());
    EXPECT_EQ(TRect{}, Intersection({0, 0, 5, 5}, {6, 6, 10, 10}));
}

TEST(CanvasGeometry, SurfaceSizesAreBounded) {
    EXPECT_NO_THROW(CheckSurfaceSize(1, MaxSurfaceSide));
    EXPECT_THROW(CheckSurfaceSize(0, 1), std::invalid_argument);
    EXPECT_THROW(CheckSurfaceSize(1, MaxSurfaceSide + 1), std::invalid_argument);
    EXPECT_THROW(CheckSurfaceSize(INT32_MIN, 1), std::invalid_argument);
}

}  // namespace
}  // namespace quillane
