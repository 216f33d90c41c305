#pragma once
// The cairo font face that draws a FreeType font: made over the font's own
// FT_Face, so glyph indexes and outlines are the ones that were measured.
// cairo may keep the face in its caches after the font is gone; the face
// then holds its own reference to the FT_Face and to the library.

#include <cairo.h>

#include <memory>

#include "platform/posix/FreeTypeFont.h"

namespace quillane {

struct TCairoFontFaceRelease {
    void operator()(cairo_font_face_t* face) const noexcept { cairo_font_face_destroy(face); }
};
using TCairoFontFace = std::unique_ptr<cairo_font_face_t, TCairoFontFaceRelease>;

// Null when cairo cannot make the face.
TCairoFontFace CairoFontFaceFor(const TFreeTypeFont& font);

}  // namespace quillane
