#pragma once
// A platform font over a FreeType face, measured the way the Windows font
// engine measures outline fonts: whole-pixel advances, ascent and descent
// from the font's Windows metrics, and the amounts of its kerning table, all
// at the font's pixel size.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <string>
#include <vector>

#include "platform/CodePages.h"
#include "platform/FontSystem.h"

namespace quillane {

struct TFreeTypeFontSource {
    std::string File;
    int Index = 0;
    std::string FaceName;  // as delivered
    bool Embolden = false;  // the engine makes a bold face from a regular one
};

class TFreeTypeFont final : public TPlatformFont {
public:
    // Opens the face; throws std::runtime_error when FreeType cannot.
    // decoding maps the bytes of the request's character set to Unicode;
    // a symbol font maps bytes to its private-use glyph codes instead.
    TFreeTypeFont(FT_Library library, const TFreeTypeFontSource& source, const TFontRequest& request,
                  const TCodePageDecoding& decoding);
    ~TFreeTypeFont() override;

    std::string FaceName() const override { return source_.FaceName; }
    TFontMetrics Metrics() const override { return metrics_; }
    TCharWidths Widths() const override { return widths_; }
    std::vector<TKerningPair> KerningPairs() const override;

private:
    FT_UInt GlyphOf(int code) const { return glyphs_[static_cast<size_t>(code)]; }

    TFreeTypeFontSource source_;
    FT_Face face_ = nullptr;
    int32_t pixelsPerEm_ = 0;
    std::array<FT_UInt, 256> glyphs_{};
    TFontMetrics metrics_;
    TCharWidths widths_{};
};

// The character sets a face declares (the code-page bits of its OS/2 table),
// in the order the Windows font engine enumerates them; empty when the face
// declares none. Symbol faces give only the symbol set.
std::vector<int32_t> DeclaredCharSets(FT_Face face);
// Roman, Swiss, Modern, Script or Decorative from the face's classification,
// with the fixed or variable pitch bit.
int32_t PitchAndFamilyOf(FT_Face face, bool fixedPitch);

}  // namespace quillane
