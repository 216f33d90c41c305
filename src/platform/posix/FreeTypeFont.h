#pragma once
// A platform font over a FreeType face, measured the way the Windows font
// engine measures outline fonts: whole-pixel advances, ascent and descent
// from the font's Windows metrics, and the amounts of its kerning table, all
// at the font's pixel size.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/CodePages.h"
#include "platform/FontSystem.h"

namespace quillane {

// One FreeType library shared by the font system, its fonts and the faces
// handed to the drawing code, which may outlive the font system.
using TFreeTypeLibrary = std::shared_ptr<FT_LibraryRec_>;
// Throws std::runtime_error when FreeType cannot start.
TFreeTypeLibrary OpenFreeTypeLibrary();

struct TFreeTypeFontSource {
    std::string File;
    int Index = 0;
    std::string FaceName;  // as delivered
    bool Embolden = false;  // the engine makes a bold face from a regular one
    bool Oblique = false;   // the engine slants an upright face for italics
};

// The glyph each byte code of a font's character set stands for (0 for none).
using TByteGlyphs = std::array<FT_UInt, 256>;
// Maps through the character set's decoding to Unicode; a symbol font maps
// bytes to its private-use codes (0xF000 + byte) instead, or to the bytes
// themselves when those are absent. The face's charmap is selected to match.
TByteGlyphs MapByteCodes(FT_Face face, bool symbol, const TCodePageDecoding& decoding);

// Underline and strike-out as the font's tables place them, in pixels: the
// offset of each line's centre above the baseline (negative below) and its
// thickness.
struct TFontLines {
    bool Underline = false;
    int32_t UnderlinePosition = 0;
    int32_t UnderlineThickness = 1;
    bool StrikeOut = false;
    int32_t StrikeOutPosition = 0;
    int32_t StrikeOutThickness = 1;
};

class TFreeTypeFont final : public TPlatformFont {
public:
    // Opens the face; throws std::runtime_error when FreeType cannot.
    // decoding maps the bytes of the request's character set to Unicode;
    // a symbol font maps bytes to its private-use glyph codes instead.
    TFreeTypeFont(TFreeTypeLibrary library, const TFreeTypeFontSource& source, const TFontRequest& request,
                  const TCodePageDecoding& decoding);
    ~TFreeTypeFont() override;

    std::string FaceName() const override { return source_.FaceName; }
    TFontMetrics Metrics() const override { return metrics_; }
    TCharWidths Widths() const override { return widths_; }
    std::vector<TKerningPair> KerningPairs() const override;

    // What drawing needs to place exactly the glyphs that were measured.
    FT_Face Face() const { return face_; }
    const TFreeTypeLibrary& Library() const { return library_; }
    const TFreeTypeFontSource& Source() const { return source_; }
    FT_UInt GlyphOf(int code) const { return glyphs_[static_cast<size_t>(code & 0xFF)]; }
    int32_t PixelsPerEm() const { return pixelsPerEm_; }
    const TFontLines& Lines() const { return lines_; }

private:
    TFreeTypeLibrary library_;
    TFreeTypeFontSource source_;
    FT_Face face_ = nullptr;
    int32_t pixelsPerEm_ = 0;
    TByteGlyphs glyphs_{};
    TFontLines lines_;
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
