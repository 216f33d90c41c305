#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include "support/FakeFontSystem.h"

namespace quillane::test {
namespace {

TEST(RecordingCanvas, RecordsEveryCallAsText) {
    TFakeFontSystem fonts;
    fonts.Faces = StandardFakeFaces();
    const auto font = fonts.CreatePlatformFont(TFontRequest{"Arial", -20});
    TRecordingCanvas canvas;
    canvas.FillRect({0, 0, 10, 5}, 0x0000FF);
    canvas.DrawLine({0, 1}, {9, 1}, TPen{0x00FF00, 1, {0b101, 5, 3}});
    canvas.FrameRect({1, 2, 3, 4}, TPen{0xFF0000, 2, {}});
    const int32_t advances[] = {7, 8, 9};
    canvas.DrawText(TTextRun{font.get(), {4, 6}, "a\"\xB6", advances, 0x800000, 0x00FFFF});
    const TPoint triangle[] = {{0, 0}, {4, 0}, {0, 4}};
    canvas.InvertPolygon(triangle);
    const uint8_t pixels[16] = {};
    canvas.DrawBitmap(TBitmapView{pixels, 2, 2, 8, TPixelOrder::Rgba}, {0, 0, 20, 20});
    {
        TClipScope clip(canvas);
        canvas.IntersectClip(TRegion{{0, 0, 1, 1}, {2, 2, 3, 3}});
    }
    auto surface = canvas.CreateSurface(20, 10);
    surface->Canvas().InvertRect({0, 0, 2, 2});
    canvas.DrawSurface(*surface, {0, 0, 20, 10}, {5, 5});
    const std::vector<std::string> expected = {
        "FillRect 0,0,10,5 #FF0000",
        "Line 0,1 -> 9,1 #00FF00 w1 dots 0x5/5@3",
        "FrameRect 1,2,3,4 #0000FF w2",
        "Text 4,6 \"a\\x22\\xB6\" [7,8,9] Arial/" + std::to_string(font->Metrics().Height) + " #000080 on #FFFF00",
        "InvertPolygon 0,0 4,0 0,4",
        "Bitmap 2x2 rgba 0,0,2,2 -> 0,0,20,20",
        "SaveClip",
        "IntersectClip 0,0,1,1 2,2,3,3",
        "RestoreClip",
        "CreateSurface s1 20x10",
        "s1: InvertRect 0,0,2,2",
        "Surface s1 0,0,20,10 -> 5,5",
    };
    EXPECT_EQ(expected, canvas.Calls());
    EXPECT_THROW(canvas.DrawText(TTextRun{font.get(), {0, 0}, "ab", advances, 0, std::nullopt}),
                 std::invalid_argument);
    canvas.Visible = [](const TRect& r) { return r.Left >= 0; };
    EXPECT_FALSE(canvas.RectVisible({-1, 0, 5, 5}));
}

}  // namespace
}  // namespace quillane::test
