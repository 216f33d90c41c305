#pragma once
// A GDI font with the measurements the font system read from it. Drawing
// selects the same font, so text is drawn with the font that measured it.

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/FontSystem.h"

namespace quillane {

// Owns a GDI font, so that it is deleted however its owner's construction ends.
struct TFontDeleter {
    void operator()(HFONT font) const noexcept { DeleteObject(font); }
};
using TFontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, TFontDeleter>;

class TWin32Font final : public TPlatformFont {
public:
    // dc is the font system's measuring context and outlives the font.
    TWin32Font(HDC dc, TFontHandle font);

    std::string FaceName() const override { return face_; }
    TFontMetrics Metrics() const override { return metrics_; }
    TCharWidths Widths() const override { return widths_; }
    std::vector<TKerningPair> KerningPairs() const override;

    HFONT Handle() const { return font_.get(); }

private:
    HDC dc_;
    TFontHandle font_;
    std::string face_;
    TFontMetrics metrics_;
    TCharWidths widths_{};
};

}  // namespace quillane
