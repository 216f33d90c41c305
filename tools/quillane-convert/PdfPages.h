#pragma once
// quillane-convert --to pdf: the pages (or a range) as a PDF file, painted
// by the same code as the screen and the page images, as a device (no
// marks that only help editing), on pages of the document's paper size.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace quillane {

class TDocument;
class TFontManager;

// Pages are painted at this zoom of the screen's resolution (384 pixels per
// inch at 96): fine enough that positions on the page are exact to a
// fraction of a point.
constexpr int32_t PdfZoom = 400;

// Lays out and paginates the document and paints pages first to last
// (counted from 1, cut to the pages there are). The file's bytes, or
// nothing after a message on err.
std::optional<std::string> PdfOfPages(TDocument& document, TFontManager& fonts, int32_t firstPage, int32_t lastPage,
                                      std::ostream& err);

}  // namespace quillane
