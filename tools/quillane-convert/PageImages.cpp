#include "PageImages.h"

#include <algorithm>
#include <climits>
#include <ostream>

#include "layout/LineLayout.h"
#include "layout/Pagination.h"
#include "layout/Painting.h"
#include "layout/PicturePainter.h"
#include "model/ColorManager.h"
#include "model/Document.h"
#include "model/KerningPairs.h"
#include "model/Units.h"
#include "platform/Canvas.h"
#include "platform/ColorSystem.h"
#include "platform/Screen.h"

namespace quillane {

namespace {

void Paginated(TDocument& document, TLineLayout& layout) {
    document.SetLayouter(&layout);
    document.Flags.Assign(dsNoProgress, true);
    Paginate(document, 0, INT_MAX, 0, TPaginationOptions{});
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

    TPicturePainter pictures(document.Objects());
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
        const std::string path = request.Prefix + "-" + std::to_string(n) + "." + SurfaceImageExtension();
        try {
            WriteSurfaceImage(*surface, path);
        } catch (const std::exception& e) {
            err << "quillane-convert: cannot write \"" << path << "\": " << e.what() << "\n";
            return -1;
        }
    }
    document.FreePagesFrom(0);
    document.SetLayouter(nullptr);
    return pages;
}

}  // namespace quillane
