// The platform's real canvas (cairo natively, GDI under Wine) drawing the
// sample scene into an off-screen surface, checked pixel by pixel: fills,
// lines, inversions and bitmaps exactly, text by where its ink lies (the two
// engines anti-alias differently). Text cases skip without Liberation Sans.
#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>

#include "SampleScene.h"
#include "platform/CanvasGeometry.h"
#include "platform/File.h"
#include "support/FakeFontSystem.h"

namespace quillane {
namespace {

using namespace sample;

TColorValue PixelAt(const TBitmapView& pixels, int32_t x, int32_t y) {
    const uint8_t* p = pixels.Pixels + static_cast<size_t>(y) * static_cast<size_t>(pixels.Stride) +
                       static_cast<size_t>(x) * 4;
    return static_cast<TColorValue>(p[2]) | static_cast<TColorValue>(p[1]) << 8 | static_cast<TColorValue>(p[0]) << 16;
}

TColorValue Inverse(TColorValue color) { return ~color & 0xFFFFFF; }

std::string Hex(TColorValue color) {
    char text[12];
    std::snprintf(text, sizeof text, "0x%06X", color);
    return text;
}

struct TPixelCase {
    int32_t X;
    int32_t Y;
    TColorValue Expected;
    const char* What;
};

void ExpectPixels(const TBitmapView& pixels, std::initializer_list<TPixelCase> cases) {
    for (const TPixelCase& c : cases) {
        EXPECT_EQ(Hex(c.Expected), Hex(PixelAt(pixels, c.X, c.Y))) << c.What << " at " << c.X << "," << c.Y;
    }
}

// The box of pixels that differ from the paper inside an area.
struct TInk {
    TRect Box;  // empty: no ink
    int Pixels = 0;
};

TInk InkIn(const TBitmapView& pixels, const TRect& area, TColorValue paper = Paper) {
    TInk ink{TRect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}, 0};
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
        for (int32_t x = area.Left; x < area.Right; ++x) {
            if (PixelAt(pixels, x, y) != paper) {
                ++ink.Pixels;
                ink.Box = TRect{std::min(ink.Box.Left, x), std::min(ink.Box.Top, y), std::max(ink.Box.Right, x + 1),
                                std::max(ink.Box.Bottom, y + 1)};
            }
        }
    }
    if (ink.Pixels == 0) {
        ink.Box = TRect{};
    }
    return ink;
}

class CanvasTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        fontSystem_ = CreateFontSystem();
        font_ = fontSystem_->CreatePlatformFont(SceneFontRequest(false));
        underlined_ = fontSystem_->CreatePlatformFont(SceneFontRequest(true));
    }
    static void TearDownTestSuite() {
        underlined_.reset();
        font_.reset();
        fontSystem_.reset();
    }
    static bool HaveSceneFont() { return font_->FaceName() == "Liberation Sans"; }

    // The scene drawn on a fresh surface.
    TBitmapView DrawnScene() {
        surface_ = CreateSurface(SceneWidth, SceneHeight, TResolution{96, 96});
        DrawScene(surface_->Canvas(), *font_, *underlined_);
        return surface_->Pixels();
    }

    static std::unique_ptr<TFontSystem> fontSystem_;
    static std::unique_ptr<TPlatformFont> font_;
    static std::unique_ptr<TPlatformFont> underlined_;
    std::unique_ptr<TSurface> surface_;
};

std::unique_ptr<TFontSystem> CanvasTest::fontSystem_;
std::unique_ptr<TPlatformFont> CanvasTest::font_;
std::unique_ptr<TPlatformFont> CanvasTest::underlined_;

TEST_F(CanvasTest, FillsFramesAndInversionsAreExact) {
    const TBitmapView pixels = DrawnScene();
    ASSERT_TRUE(pixels.IsValid());
    ExpectPixels(pixels, {
        {20, 10, Red, "red box, first pixel"},
        {59, 39, Red, "red box, last pixel"},
        {60, 39, Paper, "right of the red box"},
        {19, 10, Paper, "left of the red box"},
        {20, 9, Paper, "above the red box"},
        {20, 40, Paper, "below the red box"},
        {109, 39, Green, "green box, last pixel"},
        {120, 10, 0xFF0000, "frame, outer corner"},
        {121, 11, 0xFF0000, "frame, second ring"},
        {122, 12, Paper, "inside the frame"},
        {168, 38, 0xFF0000, "frame, inner corner of its far side"},
        {169, 39, 0xFF0000, "frame, outer corner of its far side"},
        {167, 37, Paper, "inside the frame, far corner"},
        {145, 11, 0xFF0000, "frame, top side"},
        {145, 38, 0xFF0000, "frame, bottom side"},
        {170, 25, Paper, "right of the frame"},
        {40, 20, Inverse(Red), "inverted red, first pixel"},
        {59, 29, Inverse(Red), "inverted red, last pixel"},
        {39, 20, Red, "red left of the inversion"},
        {40, 19, Red, "red above the inversion"},
        {40, 30, Red, "red below the inversion"},
        {65, 25, Inverse(Paper), "inverted gap between the boxes"},
        {89, 29, Inverse(Green), "inverted green, last pixel"},
        {90, 29, Green, "green right of the inversion"},
        {185, 14, Inverse(Paper), "inside the inverted triangle"},
        {200, 18, Inverse(Paper), "inside the inverted triangle, middle"},
        {225, 40, Paper, "beside the triangle's slanted edge"},
        {200, 9, Paper, "above the triangle"},
        {179, 20, Paper, "left of the triangle"},
    });
}

TEST_F(CanvasTest, InvertedPolygonHasExactlyThePixelCentresInside) {
    const TBitmapView pixels = DrawnScene();
    const TRect area{175, 5, 235, 50};
    std::vector<bool> inside(static_cast<size_t>(area.Width() * area.Height()));
    for (const TRect& r : PolygonRects(Triangle, area)) {
        for (int32_t y = r.Top; y < r.Bottom; ++y) {
            for (int32_t x = r.Left; x < r.Right; ++x) {
                inside[static_cast<size_t>((y - area.Top) * area.Width() + x - area.Left)] = true;
            }
        }
    }
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
        for (int32_t x = area.Left; x < area.Right; ++x) {
            const bool in = inside[static_cast<size_t>((y - area.Top) * area.Width() + x - area.Left)];
            ASSERT_EQ(Hex(in ? Inverse(Paper) : Paper), Hex(PixelAt(pixels, x, y))) << x << "," << y;
        }
    }
}

TEST_F(CanvasTest, DottedLineKeepsItsPatternOnAbsoluteCoordinates) {
    const TBitmapView pixels = DrawnScene();
    for (int32_t x = DotsFrom.X - 2; x < DotsTo.X + 2; ++x) {
        const bool on = x >= DotsFrom.X && x < DotsTo.X && DotsPen.Dots.Covers(x);
        EXPECT_EQ(Hex(on ? DotsPen.Color : Paper), Hex(PixelAt(pixels, x, DotsY))) << "x " << x;
        EXPECT_EQ(Hex(Paper), Hex(PixelAt(pixels, x, DotsY - 1))) << "x " << x;
        EXPECT_EQ(Hex(Paper), Hex(PixelAt(pixels, x, DotsY + 1))) << "x " << x;
    }
    EXPECT_TRUE(DotsPen.Dots.Covers(22));  // (22 + 3) mod 5 = 0
    EXPECT_FALSE(DotsPen.Dots.Covers(23));
}

TEST_F(CanvasTest, StretchedBitmapsInBothByteOrders) {
    const TBitmapView pixels = DrawnScene();
    // Each source pixel covers 20 x 20; its inside (2 pixels from a seam)
    // is exact, the seams may move by a pixel between sampling rules.
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const int32_t left = Stretched.Left + (quadrant % 2) * 20;
        const int32_t top = Stretched.Top + (quadrant / 2) * 20;
        for (int32_t y = top + 2; y < std::min(top + 18, SceneHeight); ++y) {
            for (int32_t x = left + 2; x < left + 18; ++x) {
                ASSERT_EQ(Hex(Quadrants[quadrant]), Hex(PixelAt(pixels, x, y))) << "bgra quadrant " << quadrant;
                if (y < StretchClip.Bottom) {
                    ASSERT_EQ(Hex(Quadrants[quadrant]), Hex(PixelAt(pixels, x + 50, y))) << "rgba quadrant " << quadrant;
                }
            }
        }
    }
    ExpectPixels(pixels, {
        {Stretched.Left - 1, 95, Paper, "left of the bitmap"},
        {Stretched.Right, 95, Paper, "right of the bitmap"},
        {Stretched.Left, Stretched.Top - 1, Paper, "above the bitmap"},
        {80, StretchClip.Bottom, Paper, "clipped away"},
        {100, 115, Paper, "clipped away, lower right"},
        {80, StretchClip.Bottom - 1, Quadrants[0], "just inside the clip"},
    });
}

TEST_F(CanvasTest, TextFollowsTheAdvancesFromTheTopOrigin) {
    if (!HaveSceneFont()) {
        GTEST_SKIP() << "Liberation Sans is not installed";
    }
    const TBitmapView pixels = DrawnScene();
    const TFontMetrics metrics = font_->Metrics();
    const int32_t baseline = TextOrigin.Y + metrics.Ascent;
    const int32_t glyph = font_->Widths()['H'];
    const TRect runBox{TextOrigin.X, TextOrigin.Y, TextOrigin.X + TextCount * TextCell, TextOrigin.Y + metrics.Height};
    for (int i = 0; i < TextCount; ++i) {
        SCOPED_TRACE(i);
        const int32_t cell = TextOrigin.X + i * TextCell;
        const TInk ink = InkIn(pixels, TRect{cell, runBox.Top, cell + TextCell, runBox.Bottom});
        ASSERT_GT(ink.Pixels, 20);
        // The glyph starts at its cell (after a small side bearing) and ends
        // within its own advance.
        EXPECT_GE(ink.Box.Left, cell);
        EXPECT_LE(ink.Box.Left, cell + 4);
        EXPECT_LE(ink.Box.Right, cell + glyph + 1);
        // An H stands on the baseline and is about 0.73 em tall.
        EXPECT_NEAR(baseline, ink.Box.Bottom, 1);
        EXPECT_NEAR(baseline - 15, ink.Box.Top, 2);
        // Ink is the text colour blended with the paper: red and green
        // equal, blue full; the darkest pixel is mostly text colour.
        int32_t darkest = 255;
        for (int32_t y = ink.Box.Top; y < ink.Box.Bottom; ++y) {
            for (int32_t x = ink.Box.Left; x < ink.Box.Right; ++x) {
                const TColorValue c = PixelAt(pixels, x, y);
                EXPECT_NEAR(static_cast<int>(c & 0xFF), static_cast<int>(c >> 8 & 0xFF), 8) << x << "," << y;
                EXPECT_GE(static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c & 0xFF)) << x << "," << y;
                darkest = std::min(darkest, static_cast<int32_t>(c & 0xFF));
            }
        }
        EXPECT_LE(darkest, 0x60);
    }
    // Nothing outside the run's cells.
    EXPECT_EQ(0, InkIn(pixels, TRect{runBox.Left - 3, runBox.Top - 3, runBox.Left, runBox.Bottom}).Pixels);
    EXPECT_EQ(0, InkIn(pixels, TRect{runBox.Left, runBox.Top - 3, runBox.Right, runBox.Top}).Pixels);
    EXPECT_EQ(0, InkIn(pixels, TRect{runBox.Left, runBox.Bottom, runBox.Right, runBox.Bottom + 2}).Pixels);
}

TEST_F(CanvasTest, OpaqueRunFillsItsCellBoxAndIsUnderlined) {
    if (!HaveSceneFont()) {
        GTEST_SKIP() << "Liberation Sans is not installed";
    }
    const TBitmapView pixels = DrawnScene();
    const TFontMetrics metrics = underlined_->Metrics();
    const int32_t width = UnderlinedAdvances[0] + UnderlinedAdvances[1];
    const TRect box{UnderlinedOrigin.X, UnderlinedOrigin.Y, UnderlinedOrigin.X + width,
                    UnderlinedOrigin.Y + metrics.Height};
    ExpectPixels(pixels, {
        {box.Left, box.Top, Yellow, "background, top left"},
        {box.Right - 1, box.Top, Yellow, "background, top right"},
        {box.Left, box.Bottom - 1, Yellow, "background, bottom left"},
        {box.Right - 1, box.Bottom - 1, Yellow, "background, bottom right"},
        {box.Left - 1, box.Top, Paper, "left of the background"},
        {box.Right, box.Top, Paper, "right of the background"},
        {box.Left, box.Top - 1, Paper, "above the background"},
        {box.Left, box.Bottom, Paper, "below the background"},
    });
    // The underline: a row below the baseline, dark across the whole run.
    const int32_t baseline = box.Top + metrics.Ascent;
    int32_t underlineRow = -1;
    for (int32_t y = baseline; y < box.Bottom && underlineRow < 0; ++y) {
        int dark = 0;
        for (int32_t x = box.Left; x < box.Right; ++x) {
            dark += (PixelAt(pixels, x, y) & 0xFF) < 0x80 ? 1 : 0;
        }
        if (dark == width) {
            underlineRow = y;
        }
    }
    EXPECT_GE(underlineRow, baseline);
    EXPECT_LE(underlineRow, baseline + 4);
    // The plain font of the other run has no line under it.
    for (int32_t y = baseline; y < box.Bottom; ++y) {
        EXPECT_LT(InkIn(pixels, TRect{TextOrigin.X, y, TextOrigin.X + TextCell * TextCount, y + 1}).Pixels, 10);
    }
}

// Byte 0xE8 is "\u00E8" (e grave) in Windows-1252 and "\u0438" (i) in
// Windows-1251: the canvas reads bytes in the font's character set, as the
// font measured them.
TEST_F(CanvasTest, BytesAreDrawnInTheFontsCharacterSet) {
    if (!HaveSceneFont()) {
        GTEST_SKIP() << "Liberation Sans is not installed";
    }
    TFontRequest cyrillic = SceneFontRequest(false);
    cyrillic.CharSet = 204;
    const auto cyrillicFont = fontSystem_->CreatePlatformFont(cyrillic);
    auto surface = CreateSurface(80, 30, TResolution{96, 96});
    const int32_t advance[] = {20};
    surface->Canvas().DrawText(TTextRun{font_.get(), {0, 0}, "\xE8", advance, 0, std::nullopt});
    surface->Canvas().DrawText(TTextRun{cyrillicFont.get(), {40, 0}, "\xE8", advance, 0, std::nullopt});
    const TBitmapView pixels = surface->Pixels();
    const TInk latin = InkIn(pixels, {0, 0, 40, 30});
    const TInk cyrillicInk = InkIn(pixels, {40, 0, 80, 30});
    ASSERT_GT(latin.Pixels, 10);
    ASSERT_GT(cyrillicInk.Pixels, 10);
    // The grave accent rises above the x-height; the Cyrillic letter does not.
    EXPECT_LT(latin.Box.Top + 2, cyrillicInk.Box.Top);
}

// The drawing side of a font may outlive the font and its font system (the
// platform's caches keep it); a later font of the same face draws normally.
TEST(Canvas, TextOutlivesItsFontSystem) {
    auto surface = CreateSurface(60, 30, TResolution{96, 96});
    const int32_t advances[] = {15, 15};
    for (int round = 0; round < 2; ++round) {
        auto fonts = CreateFontSystem();
        auto font = fonts->CreatePlatformFont(SceneFontRequest(false));
        surface->Canvas().DrawText(TTextRun{font.get(), {round * 30, 0}, "HH", advances, 0, std::nullopt});
        font.reset();
        fonts.reset();
    }
    const TBitmapView pixels = surface->Pixels();
    EXPECT_GT(InkIn(pixels, {0, 0, 30, 30}).Pixels, 20);
    EXPECT_EQ(InkIn(pixels, {0, 0, 30, 30}).Pixels, InkIn(pixels, {30, 0, 60, 30}).Pixels);
}

TEST(Canvas, ClipRegionsNestAndRestore) {
    auto surface = CreateSurface(50, 50, TResolution{120, 120});
    TCanvas& canvas = surface->Canvas();
    EXPECT_EQ((TResolution{120, 120}), canvas.Resolution());
    canvas.SaveClip();
    canvas.IntersectClip(TRegion{{0, 0, 10, 10}, {20, 20, 30, 30}});
    EXPECT_TRUE(canvas.RectVisible({8, 8, 12, 12}));
    EXPECT_FALSE(canvas.RectVisible({12, 12, 18, 18}));
    canvas.FillRect({0, 0, 50, 50}, 0x0000FF);
    {
        TClipScope inner(canvas);
        canvas.IntersectClip(TRect{0, 0, 5, 5});
        EXPECT_FALSE(canvas.RectVisible({20, 20, 30, 30}));
        canvas.FillRect({0, 0, 50, 50}, 0x00FF00);
    }
    EXPECT_TRUE(canvas.RectVisible({20, 20, 30, 30}));
    canvas.InvertRect({0, 0, 50, 50});
    canvas.RestoreClip();
    canvas.RestoreClip();  // unmatched: ignored
    EXPECT_TRUE(canvas.RectVisible({12, 12, 18, 18}));
    EXPECT_FALSE(canvas.RectVisible({50, 0, 60, 10}));  // off the surface
    canvas.FillRect({40, 40, 50, 50}, 0x000000);
    {
        TClipScope nothing(canvas);
        canvas.IntersectClip(TRegion{});
        canvas.FillRect({0, 0, 50, 50}, 0x123456);
    }
    const TBitmapView pixels = surface->Pixels();
    ExpectPixels(pixels, {
        {2, 2, Inverse(0x00FF00), "inner clip"},
        {7, 7, Inverse(0x0000FF), "outer clip, first rectangle"},
        {25, 25, Inverse(0x0000FF), "outer clip, second rectangle"},
        {15, 15, 0xFFFFFF, "between the rectangles"},
        {35, 35, 0xFFFFFF, "outside both"},
        {45, 45, 0x000000, "after the clip was restored"},
    });
}

TEST(Canvas, SurfacesCopyUnscaledAndClampTheirSource) {
    auto target = CreateSurface(60, 60, TResolution{96, 96});
    TCanvas& canvas = target->Canvas();
    auto part = canvas.CreateSurface(20, 10);
    EXPECT_EQ(canvas.Resolution(), part->Canvas().Resolution());
    part->Canvas().FillRect({0, 0, 20, 10}, 0x0000FF);
    part->Canvas().FillRect({5, 0, 10, 10}, 0x00FF00);
    canvas.DrawSurface(*part, {5, 0, 20, 10}, {30, 30});
    canvas.DrawSurface(*part, {-5, 0, 5, 10}, {0, 45});  // its left half lies outside
    const TBitmapView pixels = target->Pixels();
    ExpectPixels(pixels, {
        {29, 30, 0xFFFFFF, "left of the copy"},
        {30, 30, 0x00FF00, "copy, first pixel"},
        {34, 39, 0x00FF00, "copy, end of the green"},
        {35, 30, 0x0000FF, "copy, red"},
        {44, 39, 0x0000FF, "copy, last pixel"},
        {45, 30, 0xFFFFFF, "right of the copy"},
        {30, 40, 0xFFFFFF, "below the copy"},
        {4, 45, 0xFFFFFF, "where the outside half would land"},
        {5, 45, 0x0000FF, "the clamped copy"},
        {9, 54, 0x0000FF, "the clamped copy, last pixel"},
        {10, 45, 0xFFFFFF, "right of the clamped copy"},
    });
}

TEST(Canvas, BadRequestsAreRefusedOrDrawNothing) {
    EXPECT_THROW(CreateSurface(0, 10, {}), std::invalid_argument);
    EXPECT_THROW(CreateSurface(10, -1, {}), std::invalid_argument);
    EXPECT_THROW(CreateSurface(MaxSurfaceSide + 1, 1, {}), std::invalid_argument);
    auto surface = CreateSurface(30, 30, TResolution{96, 96});
    TCanvas& canvas = surface->Canvas();
    EXPECT_THROW(canvas.CreateSurface(1, 0), std::invalid_argument);

    const int32_t advances[] = {10, 10};
    EXPECT_THROW(canvas.DrawText(TTextRun{nullptr, {0, 0}, "ab", advances, 0, std::nullopt}), std::invalid_argument);
    auto fonts = CreateFontSystem();
    const auto font = fonts->CreatePlatformFont(SceneFontRequest(false));
    EXPECT_THROW(canvas.DrawText(TTextRun{font.get(), {0, 0}, "abc", advances, 0, std::nullopt}),
                 std::invalid_argument);
    test::TFakeFontSystem fakes;
    fakes.Faces = test::StandardFakeFaces();
    const auto fake = fakes.CreatePlatformFont(TFontRequest{"Arial", -20});
    EXPECT_THROW(canvas.DrawText(TTextRun{fake.get(), {0, 0}, "ab", advances, 0, std::nullopt}),
                 std::invalid_argument);
    // Bitmaps without pixels, with rows too short for their width, or with
    // absurd rectangles draw nothing.
    const uint8_t pixels[16] = {};
    canvas.DrawBitmap(TBitmapView{nullptr, 2, 2, 8}, {0, 0, 30, 30});
    canvas.DrawBitmap(TBitmapView{pixels, 2, 2, 4}, {0, 0, 30, 30});
    canvas.DrawBitmap(TBitmapView{pixels, 2, 2, 8}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 30, 30});
    canvas.DrawBitmap(TBitmapView{pixels, 2, 2, 8}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    canvas.DrawBitmap(TBitmapView{pixels, 2, 2, 8}, {5, 5, 1, 1});
    // Lines across the whole coordinate range cost no more than across the
    // surface.
    canvas.DrawLine({INT32_MIN, 100}, {INT32_MAX, 200}, TPen{0, 1, {0b1, 2, 0}});
    canvas.DrawLine({INT32_MIN, 40}, {INT32_MAX, 40}, TPen{0, INT32_MAX, {0b1, 2, 0}});
    canvas.InvertPolygon(std::span<const TPoint>{});
    EXPECT_EQ(0, InkIn(surface->Pixels(), TRect{0, 0, 30, 30}).Pixels);
}

TEST(Canvas, SurfaceImageIsWritten) {
    auto surface = CreateSurface(3, 2, TResolution{96, 96});
    surface->Canvas().FillRect({0, 0, 1, 1}, 0x0000FF);
    const std::string path = testing::TempDir() + "quillane-canvas-test." + SurfaceImageExtension();
    WriteSurfaceImage(*surface, path);
    auto opened = OpenFile(path, TFileMode::Read);
    ASSERT_TRUE(opened.File);
    EXPECT_GT(opened.File->Size(), 20);
    char magic[4] = {};
    ASSERT_EQ(4, opened.File->Read(magic, 4));
    const std::string kind(magic, 4);
    EXPECT_TRUE(kind == "\x89PNG" || kind.substr(0, 2) == "BM") << kind;
    opened.File.reset();
    std::remove(path.c_str());
    EXPECT_THROW(WriteSurfaceImage(*surface, testing::TempDir() + "no-such-folder/x." + SurfaceImageExtension()),
                 std::runtime_error);
}

}  // namespace
}  // namespace quillane
