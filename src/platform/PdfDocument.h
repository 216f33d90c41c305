#pragma once
// PDF files drawn page by page through canvases: the converter's batch
// export and the native stand-in for a printer. Each page's canvas paints
// in pixels of the given resolution, mapped onto the page's points (1/72
// inch), so the painter draws exactly as for a printer of that resolution.
// Natively the pages go onto cairo's PDF surface; Windows has no backend
// (PdfOutputAvailable says so).

#include <memory>
#include <string>

#include "platform/Canvas.h"

namespace quillane {

class TPdfDocument {
public:
    TPdfDocument() = default;
    TPdfDocument(const TPdfDocument&) = delete;
    TPdfDocument& operator=(const TPdfDocument&) = delete;
    virtual ~TPdfDocument() = default;

    // Starts a page of the size in points and gives its canvas, valid until
    // EndPage.
    virtual TCanvas& BeginPage(double widthPoints, double heightPoints) = 0;
    virtual void EndPage() = 0;
    // The whole file; throws std::runtime_error when it cannot be made.
    virtual std::string Finish() = 0;
};

bool PdfOutputAvailable();

// Throws std::runtime_error where PDF output is not available.
std::unique_ptr<TPdfDocument> CreatePdfDocument(TResolution resolution);

}  // namespace quillane
