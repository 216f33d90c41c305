#pragma once
// quillane-convert --to png: every page (or a range) as an image, drawn by
// the same painting code as the view, without the marks that only help
// editing.

#include <cstdint>
#include <iosfwd>
#include <string>

namespace quillane {

class TDocument;
class TFontManager;

struct TPageImageRequest {
    std::string Prefix;  // images are Prefix-1.png, Prefix-2.png, ...
    int32_t Zoom = 100;
    int32_t FirstPage = 1;  // counted from 1
    int32_t LastPage = INT32_MAX;
};

// Lays out and paginates the document, then writes the images. Returns the
// page count, or -1 after a message on err.
int32_t WritePageImages(TDocument& document, TFontManager& fonts, const TPageImageRequest& request,
                        std::ostream& err);

// Lays out and paginates; returns the page count.
int32_t CountPages(TDocument& document, TFontManager& fonts);

}  // namespace quillane
