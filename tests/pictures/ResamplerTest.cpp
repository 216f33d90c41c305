#include "pictures/Resampler.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "pictures/PictureError.h"

namespace quillane {
namespace {

TBitmap Filled(int32_t width, int32_t height, TRgba colour) {
    TBitmap b(width, height, colour.Alpha == 255 ? 24 : 32);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = b.Row(y);
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = row + x * (b.BitsPerPixel() / 8);
            p[0] = colour.Blue;
            p[1] = colour.Green;
            p[2] = colour.Red;
            if (b.BitsPerPixel() == 32) {
                p[3] = colour.Alpha;
            }
        }
    }
    return b;
}

void Put(TBitmap& b, int32_t x, int32_t y, TRgba c) {
    uint8_t* p = b.Row(y) + x * (b.BitsPerPixel() / 8);
    p[0] = c.Blue;
    p[1] = c.Green;
    p[2] = c.Red;
    if (b.BitsPerPixel() == 32) {
        p[3] = c.Alpha;
    }
}

TEST(Mitchell, KernelValues) {
    EXPECT_NEAR(8.0 / 9.0, MitchellFilter(0), 1e-12);
    EXPECT_NEAR(1.0 / 18.0, MitchellFilter(1), 1e-12);
    EXPECT_NEAR(1.0 / 18.0, MitchellFilter(-1), 1e-12);
    EXPECT_EQ(0.0, MitchellFilter(2));
    EXPECT_EQ(0.0, MitchellFilter(-7.5));
    EXPECT_LT(MitchellFilter(1.5), 0.0);  // the negative lobe
}

TEST(Mitchell, FlatColourStaysFlatAtAnySize) {
    const TBitmap source = Filled(7, 5, {200, 100, 50, 255});
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {2, 2}, {3, 9}, {7, 5}, {40, 31}, {100, 1}};
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        const TBitmap out = ResampleMitchell(source, w, h);
        ASSERT_EQ(w, out.Width());
        ASSERT_EQ(h, out.Height());
        EXPECT_EQ(24, out.BitsPerPixel());
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                ASSERT_EQ((TRgba{200, 100, 50, 255}), out.PixelAt(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(Mitchell, EdgeBetweenBlackAndWhite) {
    // Left half black, right half white, enlarged 4 times: the left end
    // stays black, the right white, the middle is a symmetric ramp.
    TBitmap source = Filled(4, 1, {0, 0, 0, 255});
    Put(source, 2, 0, {255, 255, 255, 255});
    Put(source, 3, 0, {255, 255, 255, 255});
    const TBitmap out = ResampleMitchell(source, 16, 1);
    EXPECT_EQ(0, out.PixelAt(0, 0).Red);
    EXPECT_EQ(255, out.PixelAt(15, 0).Red);
    for (int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(255, out.PixelAt(x, 0).Red + out.PixelAt(15 - x, 0).Red) << x;
    }
    for (int32_t x = 1; x < 16; ++x) {
        EXPECT_GE(out.PixelAt(x, 0).Red, out.PixelAt(x - 1, 0).Red) << x;
    }
}

TEST(Mitchell, ShrinkingAveragesEveryPixel) {
    // A fine checkerboard halved and quartered comes out mid-grey, as every
    // source pixel contributes when the filter is stretched. At the border
    // the repeated edge pixels weigh a little more.
    TBitmap board = Filled(64, 64, {0, 0, 0, 255});
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = (y & 1); x < 64; x += 2) {
            Put(board, x, y, {255, 255, 255, 255});
        }
    }
    for (int32_t size : {32, 16, 3}) {
        SCOPED_TRACE(size);
        const TBitmap out = ResampleMitchell(board, size, size);
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) {
                const bool border = x == 0 || y == 0 || x == size - 1 || y == size - 1;
                EXPECT_NEAR(128, out.PixelAt(x, y).Green, border ? 10 : 3) << x << "," << y;
            }
        }
    }
}

TEST(Mitchell, TransparentPixelsLendNoColour) {
    // Opaque blue beside fully transparent red: the blend keeps pure blue.
    TBitmap source = Filled(2, 1, {0, 0, 255, 255});
    source = [&] {
        TBitmap b(2, 1, 32);
        Put(b, 0, 0, {0, 0, 255, 255});
        Put(b, 1, 0, {255, 0, 0, 0});
        return b;
    }();
    const TBitmap out = ResampleMitchell(source, 8, 1);
    ASSERT_EQ(32, out.BitsPerPixel());
    for (int32_t x = 0; x < 8; ++x) {
        const TRgba p = out.PixelAt(x, 0);
        if (p.Alpha > 0) {
            EXPECT_EQ(0, p.Red) << x;
            EXPECT_EQ(255, p.Blue) << x;
        }
    }
    EXPECT_EQ(255, out.PixelAt(0, 0).Alpha);
    EXPECT_EQ(0, out.PixelAt(7, 0).Alpha);
}

TEST(Mitchell, PaletteSourceAndBadSizes) {
    TBitmap grey(3, 3, 4);
    grey.Palette = {{10, 20, 30, 255}};
    const TBitmap out = ResampleMitchell(grey, 5, 5);
    EXPECT_EQ((TRgba{10, 20, 30, 255}), out.PixelAt(2, 2));

    EXPECT_THROW(ResampleMitchell(TBitmap(), 4, 4), TPictureError);
    EXPECT_THROW(ResampleMitchell(grey, 0, 4), TPictureError);
    EXPECT_THROW(ResampleMitchell(grey, 4, -1), TPictureError);
    EXPECT_THROW(ResampleMitchell(grey, 100000, 100000), TPictureError);
}

}  // namespace
}  // namespace quillane
