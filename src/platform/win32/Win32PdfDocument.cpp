// Windows has no PDF backend: its printing goes through the printer's
// device context, and a PDF would need a PDF library or a printer driver
// the program cannot count on.
#include <stdexcept>

#include "platform/PdfDocument.h"

namespace quillane {

bool PdfOutputAvailable() { return false; }

std::unique_ptr<TPdfDocument> CreatePdfDocument(TResolution /*resolution*/) {
    throw std::runtime_error("PDF output is not available in the Windows build; print to a PDF printer instead");
}

}  // namespace quillane
