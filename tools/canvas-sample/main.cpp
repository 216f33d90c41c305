// Draws the canvas sample scene off-screen and saves it as an image (PNG
// natively, BMP on Windows), so that the two platforms' drawing can be
// compared (scripts/compare-canvas-images.sh).
//   quillane-canvas-sample OUTPUT
#include <iostream>

#include "SampleScene.h"
#include "platform/Canvas.h"
#include "platform/FontSystem.h"

int main(int argc, char** argv) {
    using namespace quillane;
    if (argc != 2) {
        std::cerr << "usage: quillane-canvas-sample OUTPUT." << SurfaceImageExtension() << "\n";
        return 2;
    }
    try {
        auto fonts = CreateFontSystem();
        const auto font = fonts->CreatePlatformFont(sample::SceneFontRequest(false));
        const auto underlined = fonts->CreatePlatformFont(sample::SceneFontRequest(true));
        if (font->FaceName() != "Liberation Sans") {
            std::cerr << "canvas-sample: \"Liberation Sans\" is not installed (got \"" << font->FaceName() << "\")\n";
            return 1;
        }
        auto surface = CreateSurface(sample::SceneWidth, sample::SceneHeight, TResolution{96, 96});
        sample::DrawScene(surface->Canvas(), *font, *underlined);
        WriteSurfaceImage(*surface, argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "canvas-sample: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
