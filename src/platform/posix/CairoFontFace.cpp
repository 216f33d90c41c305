#include "platform/posix/CairoFontFace.h"

#include <cairo-ft.h>

namespace quillane {

namespace {

// What a cairo face keeps alive until cairo lets it go.
struct TFaceHold {
    TFreeTypeLibrary Library;
    FT_Face Face;
};

const cairo_user_data_key_t HoldKey{};

void ReleaseHold(void* data) {
    auto* hold = static_cast<TFaceHold*>(data);
    FT_Done_Face(hold->Face);  // before the library it belongs to
    delete hold;
}

}  // namespace

TCairoFontFace CairoFontFaceFor(const TFreeTypeFont& font) {
    // cairo hands out the face it already made for an FT_Face, so the hold
    // is attached once.
    TCairoFontFace face(cairo_ft_font_face_create_for_ft_face(font.Face(), FT_LOAD_DEFAULT));
    if (cairo_font_face_status(face.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    if (cairo_font_face_get_user_data(face.get(), &HoldKey) == nullptr) {
        auto hold = std::make_unique<TFaceHold>(TFaceHold{font.Library(), font.Face()});
        FT_Reference_Face(font.Face());
        if (cairo_font_face_set_user_data(face.get(), &HoldKey, hold.get(), ReleaseHold) != CAIRO_STATUS_SUCCESS) {
            FT_Done_Face(font.Face());
            return nullptr;
        }
        hold.release();  // cairo owns it now
    }
    unsigned int synthesize = 0;
    if (font.Source().Embolden) {
        synthesize |= CAIRO_FT_SYNTHESIZE_BOLD;
    }
    if (font.Source().Oblique) {
        synthesize |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
    }
    cairo_ft_font_face_set_synthesize(face.get(), synthesize);
    return face;
}

}  // namespace quillane
