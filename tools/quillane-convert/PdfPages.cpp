#include "PdfPages.h"

#include <algorithm>
#include <climits>
#include <ostream>
#include <stdexcept>
#include <string>

#include "layout/LineLayout.h"
#include "layout/Pagination.h"
#include "layout/Painting.h"
#include "layout/PicturePainter.h"
#include "model/ColorManager.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/Units.h"
#include "platform/ColorSystem.h"
#include "platform/PdfDocument.h"
#include "platform/Screen.h"

namespace quillane {

std::optional<std::string> PdfOfPages(TDocument& document, TFontManager& fonts, int32_t firstPage, int32_t lastPage,
                                      std::ostream& err) {
    if (!PdfOutputAvailable()) {
        err << "quillane-convert: PDF output is not available in this build (print to a PDF printer instead)\n";
        return std::nullopt;
    }
    const int32_t ppi = ScreenPixelsPerInch();
    TKerningPairsManager kerning;
    TLineLayout layout(fonts, kerning, ppi);
    document.SetLayouter(&layout);
    document.Flags.Assign(dsNoProgress, true);
    Paginate(document, 0, INT_MAX, 0, TPaginationOptions{});
    std::unique_ptr<TColorSystem> system = CreateColorSystem();
    TColorManager colors(*system);
    colors.UsePrintPalette();
    TPainter painter(fonts, kerning, layout, colors, ppi);
    TPicturePainter pictures(document.Objects(), &fonts.FontSystem());
    TPaintContext context;
    context.Device = true;
    context.Objects = &pictures;
    context.Zoom = PdfZoom;
    const int32_t zoomedPpi = ZoomedPpi(ppi, PdfZoom);
    const TPageSettings& settings = document.PageSettings();
    std::optional<std::string> bytes;
    const int32_t first = std::max(firstPage, 1);
    const int32_t last = std::min(lastPage, document.PageCount());
    try {
        if (first > last) {
            throw std::runtime_error("the document has no page " + std::to_string(first) + " (it has " +
                                     std::to_string(document.PageCount()) + ")");
        }
        std::unique_ptr<TPdfDocument> pdf = CreatePdfDocument(TResolution{zoomedPpi, zoomedPpi});
        for (int32_t n = first; n <= last; ++n) {
            TCanvas& canvas = pdf->BeginPage(settings.PaperWidth / 20.0, settings.PaperHeight / 20.0);
            painter.PaintPage(canvas, document.Page(n - 1), 0, 0, -1, context);
            pdf->EndPage();
        }
        bytes = pdf->Finish();
    } catch (const std::exception& e) {
        err << "quillane-convert: " << e.what() << "\n";
    }
    document.FreePagesFrom(0);
    document.SetLayouter(nullptr);
    return bytes;
}

}  // namespace quillane
