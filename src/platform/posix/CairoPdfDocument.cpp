// PDF through cairo's PDF surface, written into memory (the caller stores
// the file through the safe-write helper). The surface's device scale turns
// the canvas's pixels into points.
#include <cairo-pdf.h>

#include <stdexcept>

#include "platform/PdfDocument.h"
#include "platform/posix/CairoCanvas.h"

namespace quillane {

namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

class TCairoPdfDocument final : public TPdfDocument {
public:
    explicit TCairoPdfDocument(TResolution resolution) : resolution_(resolution) {
        if (resolution.X < 1 || resolution.Y < 1) {
            throw std::invalid_argument("pdf: a resolution of at least one pixel per inch is needed");
        }
        surface_ = cairo_pdf_surface_create_for_stream(Append, &bytes_, 612, 792);
        if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface_);
            throw std::runtime_error("cairo: cannot make a PDF surface");
        }
        cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "Quillane");
        cairo_surface_set_device_scale(surface_, 72.0 / resolution.X, 72.0 / resolution.Y);
    }
    ~TCairoPdfDocument() override {
        canvas_.reset();
        cairo_surface_destroy(surface_);
    }

    TCanvas& BeginPage(double widthPoints, double heightPoints) override {
        EndPage();
        cairo_pdf_surface_set_size(surface_, widthPoints, heightPoints);
        const TRect bounds{0, 0, static_cast<int32_t>(widthPoints * resolution_.X / 72.0 + 0.5),
                           static_cast<int32_t>(heightPoints * resolution_.Y / 72.0 + 0.5)};
        canvas_ = std::make_unique<TCairoCanvas>(surface_, bounds, resolution_);
        return *canvas_;
    }

    void EndPage() override {
        if (canvas_) {
            canvas_.reset();
            cairo_surface_show_page(surface_);
        }
    }

    std::string Finish() override {
        EndPage();
        cairo_surface_finish(surface_);
        if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
            throw std::runtime_error(std::string("cairo: the PDF could not be made: ") +
                                     cairo_status_to_string(cairo_surface_status(surface_)));
        }
        return std::move(bytes_);
    }

private:
    TResolution resolution_;
    std::string bytes_;
    cairo_surface_t* surface_ = nullptr;
    std::unique_ptr<TCairoCanvas> canvas_;
};

}  // namespace

bool PdfOutputAvailable() { return true; }

std::unique_ptr<TPdfDocument> CreatePdfDocument(TResolution resolution) {
    return std::make_unique<TCairoPdfDocument>(resolution);
}

}  // namespace quillane
