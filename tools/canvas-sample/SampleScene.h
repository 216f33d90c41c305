#pragma once
// A small fixed scene that exercises every kind of canvas call, drawn the
// same way by the canvas tests on each platform and by
// quillane-canvas-sample, whose images of the two platforms are compared.

#include <array>
#include <cstdint>

#include "platform/Canvas.h"

namespace quillane::sample {

constexpr int32_t SceneWidth = 240;
constexpr int32_t SceneHeight = 120;
constexpr TColorValue Paper = 0xFFFFFF;

constexpr TRect RedBox{20, 10, 60, 40};
constexpr TColorValue Red = 0x0000FF;
constexpr TRect GreenBox{70, 10, 110, 40};
constexpr TColorValue Green = 0x00FF00;
constexpr TRect Frame{120, 10, 170, 40};
constexpr TPen FramePen{0xFF0000, 2, {}};
// Dots on the first and third of every five pixels, counted from x = -3.
constexpr int32_t DotsY = 46;
constexpr TPoint DotsFrom{20, DotsY};
constexpr TPoint DotsTo{170, DotsY};
constexpr TPen DotsPen{0x000000, 1, TDotPattern{0b00101, 5, 3}};
// Across the red box, the gap and the green box.
constexpr TRect Inverted{40, 20, 90, 30};
constexpr std::array<TPoint, 3> Triangle{TPoint{180, 10}, TPoint{230, 10}, TPoint{180, 45}};

// "HHHH", each character in a cell far wider than its glyph.
constexpr TPoint TextOrigin{20, 56};
constexpr int32_t TextCell = 30;
constexpr int32_t TextCount = 4;
constexpr TColorValue TextColor = 0x800000;  // dark blue
// "ab" on yellow, with the underlined font.
constexpr TPoint UnderlinedOrigin{150, 56};
constexpr std::array<int32_t, 2> UnderlinedAdvances{14, 14};
constexpr TColorValue Yellow = 0x00FFFF;

// Two by two pixels (red, green; blue, black) stretched twentyfold.
constexpr TRect Stretched{20, 86, 60, 126};  // its lower half lies outside
constexpr TRect StretchedVisible{20, 86, 60, 120};
constexpr TColorValue Quadrants[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000};
// The same bitmap in the other byte order, its lower half clipped away.
constexpr TRect ClippedStretch{70, 86, 110, 126};
constexpr TRect StretchClip{70, 86, 110, 106};

// The fonts: Liberation Sans at 20 pixels, plain and underlined.
TFontRequest SceneFontRequest(bool underlined);

void DrawScene(TCanvas& canvas, const TPlatformFont& font, const TPlatformFont& underlined);

}  // namespace quillane::sample
