// libFuzzer target: arbitrary bytes played as an enhanced metafile and as a
// Windows metafile by the portable player, onto a small cairo image with the
// platform's real fonts (text goes all the way to the glyphs). Any crash,
// hang, sanitizer report or abort is a finding; so is a picture that
// leaves the canvas's clip changed.
#include <cstdint>
#include <cstdlib>

#include "layout/MetafilePlayer.h"
#include "platform/Canvas.h"
#include "platform/FontSystem.h"

namespace {

using namespace quillane;

void Play(TSurface& surface, TFontSystem& fonts, const uint8_t* data, size_t size, bool windows) {
    TMetafileView view;
    view.Bits = data;
    view.Size = size;
    view.Windows = windows;
    view.XExtent = 2000;
    view.YExtent = 1000;
    // Part of the surface, so that drawing outside the rectangle would show.
    PlayMetafilePortably(surface.Canvas(), &fonts, view, TRect{8, 8, 88, 56});
    if (surface.Canvas().RectVisible(TRect{0, 0, 4, 4}) == false) {
        std::abort();  // the player must give the clip back as it found it
    }
}

}  // namespace

// fontconfig keeps caches of its own for the life of the process; they are
// not the player's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<TFontSystem> fonts = CreateFontSystem();
    std::unique_ptr<TSurface> surface = CreateSurface(96, 64, TResolution{96, 96});
    Play(*surface, *fonts, data, size, false);
    Play(*surface, *fonts, data, size, true);
    return 0;
}
