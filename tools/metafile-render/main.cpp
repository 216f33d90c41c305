// Plays a metafile file (WMF, with or without its placeable header, or EMF)
// into an off-screen image and saves it (PNG natively, BMP on Windows): with
// the system's player where the canvas has one (GDI), else with the
// portable player, so that scripts/compare-metafile-images.sh can compare
// the two players.
//   quillane-metafile-render INPUT OUTPUT [WIDTH HEIGHT]
// Without a size the picture's own size at 96 pixels per inch is used,
// within 16 to 1200 pixels a side.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "layout/MetafilePlayer.h"
#include "pictures/Metafile.h"
#include "platform/Canvas.h"
#include "platform/FontSystem.h"

namespace {

constexpr size_t PlaceableSize = 22;

int32_t SideOf(const std::optional<int32_t>& twips) {
    return std::clamp(twips ? static_cast<int32_t>(std::lround(*twips / 15.0)) : 300, 16, 1200);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillane;
    if (argc != 3 && argc != 5) {
        std::cerr << "usage: quillane-metafile-render INPUT OUTPUT." << SurfaceImageExtension() << " [WIDTH HEIGHT]\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        const TBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const TMetafileInfo info = ReadMetafileHeader(bytes);
        if (info.Kind == TMetafileKind::Unknown) {
            std::cerr << "metafile-render: \"" << argv[1] << "\" is no metafile\n";
            return 1;
        }
        const int32_t width = argc == 5 ? std::clamp(std::atoi(argv[3]), 1, 4096) : SideOf(info.Width);
        const int32_t height = argc == 5 ? std::clamp(std::atoi(argv[4]), 1, 4096) : SideOf(info.Height);
        // Documents keep Windows metafiles without the placeable header, with
        // the picture's size beside them in hundredths of a millimetre: give
        // the system's player the bits that way; the portable player also
        // reads the header's box as the picture's window.
        TMetafileView view;
        view.Bits = bytes.data();
        view.Size = bytes.size();
        view.Windows = info.Kind == TMetafileKind::Windows;
        view.XExtent = info.Width ? static_cast<int32_t>(std::lround(*info.Width * 2540.0 / 1440)) : 0;
        view.YExtent = info.Height ? static_cast<int32_t>(std::lround(*info.Height * 2540.0 / 1440)) : 0;
        TMetafileView system = view;
        if (view.Windows && info.Placeable && bytes.size() > PlaceableSize) {
            system.Bits += PlaceableSize;
            system.Size -= PlaceableSize;
        }
        auto fonts = CreateFontSystem();
        auto surface = CreateSurface(width, height, TResolution{96, 96});
        const TRect rect{0, 0, width, height};
        if (!surface->Canvas().DrawMetafile(system, rect) &&
            !PlayMetafilePortably(surface->Canvas(), fonts.get(), view, rect)) {
            std::cerr << "metafile-render: \"" << argv[1] << "\" could not be played\n";
            return 1;
        }
        WriteSurfaceImage(*surface, argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "metafile-render: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
