#include "PageImages.h"

#include <algorithm>
#include <climits>
#include <ostream>

#include "layout/LineLayout.h"
#include "layout/Pagination.h"
#include "layout/Painting.h"
#include "layout/PicturePainter.h"
#include "model/ColorManager.h"
#include "model/FontManager.h"
#include "model/Document.h"
#include "model/KerningPairs.h"
#include "model/Units.h"
#include "pictures/Bitmap.h"
#include "pictures/PngImage.h"
#include "platform/Canvas.h"
#include "platform/File.h"
#include "platform/ColorSystem.h"
#include "platform/Screen.h"

namespace quillane {

namespace {

void Paginated(TDocument& document, TLineLayout& layout) {
    document.SetLayouter(&layout);
    document.Flags.Assign(dsNoProgress, true);
    Paginate(document, 0, INT_MAX, 0, TPaginationOptions{});
}

// The page as a PNG file through the program's own encoder, the same on
// every platform.
bool WritePng(TSurface& surface, const std::string& path, std::ostream& err) {
    const TBitmapView pixels = surface.Pixels();
    TBitmap bitmap(pixels.Width, pixels.Height, 24);
    for (int32_t y = 0; y < pixels.Height; ++y) {
        const uint8_t* from = pixels.Pixels + static_cast<ptrdiff_t>(y) * pixels.Stride;
        uint8_t* to = bitmap.Row(y);
        for (int32_t x = 0; x < pixels.Width; ++x, from += 4, to += 3) {
            to[0] = from[0];  // both blue, green, red in memory order
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    TPNGImage png;
    png.AssignBitmap(std::move(bitmap));
    const TBytes bytes = png.SaveToBytes();
    TFileOpenResult created = OpenFile(path, TFileMode::CreateAlways);
    if (!created.File || bytes.size() > INT32_MAX ||
        !created.File->Write(bytes.data(), static_cast<int32_t>(bytes.size()))) {
        err << "quillane-convert: cannot write \"" << path << "\"" << (created.File ? "" : ": " + created.Message)
            << "\n";
        return false;
    }
    return true;
}

}  // namespace

int32_t CountPages(TDocument& document, TFontManager& fonts) {
    TKerningPairsManager kerning;
    TLineLayout layout(fonts, kerning, ScreenPixelsPerInch());
    Paginated(document, layout);
    const int32_t pages = document.PageCount();
    document.FreePagesFrom(0);
    document.SetLayouter(nullptr);
    return pages;
}

int32_t WritePageImages(TDocument& document, TFontManager& fonts, const TPageImageRequest& request,
                        std::ostream& err) {
    const int32_t ppi = ScreenPixelsPerInch();
    TKerningPairsManager kerning;
    TLineLayout layout(fonts, kerning, ppi);
    Paginated(document, layout);
    std::unique_ptr<TColorSystem> system = CreateColorSystem();
    TColorManager colors(*system);
    colors.UsePrintPalette();
    TPainter painter(fonts, kerning, layout, colors, ppi);

    TPicturePainter pictures(document.Objects(), &fonts.FontSystem());
    TPaintContext context;
    context.Device = true;
    context.Objects = &pictures;
    context.Zoom = std::clamp(request.Zoom, 10, 500);
    const int32_t zoomedPpi = ZoomedPpi(ppi, context.Zoom);
    const TPageSettings& settings = document.PageSettings();
    const int32_t width = std::clamp(TwipsToPixels(settings.PaperWidth, zoomedPpi), 1, MaxSurfaceSide);
    const int32_t height = std::clamp(TwipsToPixels(settings.PaperHeight, zoomedPpi), 1, MaxSurfaceSide);
    const int32_t pages = document.PageCount();
    const int32_t first = std::max(request.FirstPage, 1);
    const int32_t last = std::min(request.LastPage, pages);
    for (int32_t n = first; n <= last; ++n) {
        std::unique_ptr<TSurface> surface = CreateSurface(width, height, TResolution{ppi, ppi});
        painter.PaintPage(surface->Canvas(), document.Page(n - 1), 0, 0, -1, context);
        const std::string path = request.Prefix + "-" + std::to_string(n) + ".png";
        if (!WritePng(*surface, path, err)) {
            return -1;
        }
    }
    document.FreePagesFrom(0);
    document.SetLayouter(nullptr);
    return pages;
}

}  // namespace quillane
