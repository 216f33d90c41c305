#include "SampleScene.h"

#include <vector>

namespace quillane::sample {

namespace {

std::array<uint8_t, 16> QuadrantPixels(TPixelOrder order) {
    std::array<uint8_t, 16> pixels{};
    for (size_t i = 0; i < 4; ++i) {
        const TColorValue color = Quadrants[i];
        const uint8_t red = color & 0xFF;
        const uint8_t blue = color >> 16 & 0xFF;
        pixels[i * 4] = order == TPixelOrder::Bgra ? blue : red;
        pixels[i * 4 + 1] = color >> 8 & 0xFF;
        pixels[i * 4 + 2] = order == TPixelOrder::Bgra ? red : blue;
        pixels[i * 4 + 3] = 0xFF;
    }
    return pixels;
}

}  // namespace

TFontRequest SceneFontRequest(bool underlined) {
    TFontRequest request;
    request.Face = "Liberation Sans";
    request.Height = -20;
    request.CharSet = AnsiCharSet;
    request.Underline = underlined;
    return request;
}

void DrawScene(TCanvas& canvas, const TPlatformFont& font, const TPlatformFont& underlined) {
    canvas.FillRect(TRect{0, 0, SceneWidth, SceneHeight}, Paper);
    canvas.FillRect(RedBox, Red);
    canvas.FillRect(GreenBox, Green);
    canvas.FrameRect(Frame, FramePen);
    canvas.DrawLine(DotsFrom, DotsTo, DotsPen);

    const std::vector<int32_t> cells(TextCount, TextCell);
    canvas.DrawText(TTextRun{&font, TextOrigin, "HHHH", cells, TextColor, std::nullopt});
    canvas.DrawText(TTextRun{&underlined, UnderlinedOrigin, "ab", UnderlinedAdvances, 0x000000, Yellow});

    canvas.InvertRect(Inverted);
    canvas.InvertPolygon(Triangle);

    const std::array<uint8_t, 16> bgra = QuadrantPixels(TPixelOrder::Bgra);
    canvas.DrawBitmap(TBitmapView{bgra.data(), 2, 2, 8, TPixelOrder::Bgra}, Stretched);
    const std::array<uint8_t, 16> rgba = QuadrantPixels(TPixelOrder::Rgba);
    TClipScope clip(canvas);
    canvas.IntersectClip(StretchClip);
    canvas.DrawBitmap(TBitmapView{rgba.data(), 2, 2, 8, TPixelOrder::Rgba}, ClippedStretch);
}

}  // namespace quillane::sample
