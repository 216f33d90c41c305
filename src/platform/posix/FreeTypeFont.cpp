#include "platform/posix/FreeTypeFont.h"

#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <stdexcept>

namespace quillane {

namespace {

// Code-page bits of the OS/2 table and the character set each stands for.
struct TCodePageBit {
    int Bit;
    int32_t CharSet;
};
constexpr TCodePageBit CodePageBits[] = {
    {0, 0},     // Latin 1 (1252)
    {1, 238},   // Latin 2 (1250)
    {2, 204},   // Cyrillic (1251)
    {3, 161},   // Greek (1253)
    {4, 162},   // Turkish (1254)
    {5, 177},   // Hebrew (1255)
    {6, 178},   // Arabic (1256)
    {7, 186},   // Baltic (1257)
    {8, 163},   // Vietnamese (1258)
    {16, 222},  // Thai (874)
    {17, 128},  // Japanese (932)
    {18, 134},  // Simplified Chinese (936)
    {19, 129},  // Korean (949)
    {20, 136},  // Traditional Chinese (950)
    {21, 130},  // Korean Johab (1361)
};
constexpr int SymbolCodePageBit = 31;

int32_t Round26Dot6(FT_Pos value) { return static_cast<int32_t>((value + 32) >> 6); }

int32_t Scale(FT_Long units, int32_t ppem, FT_UShort unitsPerEm) {
    const int64_t product = static_cast<int64_t>(units) * ppem;
    const int64_t half = unitsPerEm / 2;
    return static_cast<int32_t>(product >= 0 ? (product + half) / unitsPerEm : -((-product + half) / unitsPerEm));
}

bool HasSymbolCharmap(FT_Face face) {
    for (FT_Int i = 0; i < face->num_charmaps; ++i) {
        if (face->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) {
            return true;
        }
    }
    return false;
}

}  // namespace

TFreeTypeLibrary OpenFreeTypeLibrary() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        throw std::runtime_error("FreeType: cannot start");
    }
    return TFreeTypeLibrary(library, [](FT_Library l) { FT_Done_FreeType(l); });
}

TByteGlyphs MapByteCodes(FT_Face face, bool symbol, const TCodePageDecoding& decoding) {
    const bool symbolMap = symbol && HasSymbolCharmap(face);
    FT_Select_Charmap(face, symbolMap ? FT_ENCODING_MS_SYMBOL : FT_ENCODING_UNICODE);
    TByteGlyphs glyphs{};
    for (int code = 0; code < 256; ++code) {
        FT_UInt glyph = 0;
        if (symbol) {
            glyph = FT_Get_Char_Index(face, 0xF000u + static_cast<FT_ULong>(code));
            if (glyph == 0) {
                glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
            }
        } else if (const auto& c = decoding[static_cast<size_t>(code)]) {
            glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(*c));
        }
        glyphs[static_cast<size_t>(code)] = glyph;
    }
    return glyphs;
}

std::vector<int32_t> DeclaredCharSets(FT_Face face) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (HasSymbolCharmap(face) || (os2 != nullptr && (os2->ulCodePageRange1 >> SymbolCodePageBit & 1) != 0)) {
        return {SymbolCharSet};
    }
    std::vector<int32_t> sets;
    if (os2 != nullptr && os2->version >= 1) {
        for (const auto& entry : CodePageBits) {
            if ((os2->ulCodePageRange1 >> entry.Bit & 1) != 0) {
                sets.push_back(entry.CharSet);
            }
        }
    }
    return sets;
}

int32_t PitchAndFamilyOf(FT_Face face, bool fixedPitch) {
    const int32_t pitch = fixedPitch ? FixedPitch : VariablePitch;
    if (fixedPitch) {
        return pitch | FamilyModern;
    }
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 == nullptr) {
        return pitch | FamilyDontCare;
    }
    const FT_Byte kind = os2->panose[0];
    const FT_Byte serif = os2->panose[1];
    switch (kind) {
        case 2:  // Latin text
            if (os2->panose[3] == 9) {
                return pitch | FamilyModern;  // monospaced proportion
            }
            if (serif >= 11 && serif <= 13) {
                return pitch | FamilySwiss;
            }
            if (serif >= 2 && serif <= 10) {
                return pitch | FamilyRoman;
            }
            return pitch | FamilyDontCare;
        case 3: return pitch | FamilyScript;
        case 4:
        case 5: return pitch | FamilyDecorative;
        default: return pitch | FamilyDontCare;
    }
}

TFreeTypeFont::TFreeTypeFont(TFreeTypeLibrary library, const TFreeTypeFontSource& source, const TFontRequest& request,
                             const TCodePageDecoding& decoding)
    : library_(std::move(library)), source_(source) {
    if (FT_New_Face(library_.get(), source.File.c_str(), source.Index, &face_) != 0) {
        face_ = nullptr;
        throw std::runtime_error("FreeType: cannot open \"" + source.File + "\"");
    }
    const FT_UShort unitsPerEm = face_->units_per_EM > 0 ? face_->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    // The Windows metrics bound every glyph; fonts without them use the
    // horizontal header.
    FT_Long ascender = face_->ascender;
    FT_Long descender = -face_->descender;
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    }
    // A negative height is the em; a positive one the whole cell.
    pixelsPerEm_ = request.Height < 0 ? -request.Height
                                      : Scale(request.Height, unitsPerEm, static_cast<FT_UShort>(std::max<FT_Long>(1, ascender + descender)));
    pixelsPerEm_ = std::max(1, pixelsPerEm_);
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelsPerEm_));

    const bool symbol = request.CharSet == SymbolCharSet || HasSymbolCharmap(face_);
    glyphs_ = MapByteCodes(face_, symbol, decoding);

    // Whole-pixel advances of glyphs loaded with FreeType's default hinting.
    // Its interpreter hints vertically only, so an advance is the design
    // advance rounded to the pixel; Wine's GDI reports exactly these (no
    // difference in any string of tools/font-widths), while hinting for a
    // one-bit surface moved strings by up to 27 pixels.
    std::vector<std::pair<FT_UInt, int32_t>> known;
    int32_t maxWidth = 0;
    for (int code = 0; code < 256; ++code) {
        const FT_UInt glyph = GlyphOf(code);
        const auto it = std::find_if(known.begin(), known.end(), [glyph](const auto& k) { return k.first == glyph; });
        int32_t width = 0;
        if (it != known.end()) {
            width = it->second;
        } else {
            if (FT_Load_Glyph(face_, glyph, FT_LOAD_DEFAULT) == 0) {
                width = Round26Dot6(face_->glyph->advance.x);
                if (source.Embolden && width > 0) {
                    ++width;
                }
            }
            known.emplace_back(glyph, width);
        }
        widths_[static_cast<size_t>(code)] = width;
        maxWidth = std::max(maxWidth, width);
    }

    metrics_.Ascent = Scale(ascender, pixelsPerEm_, unitsPerEm);
    metrics_.Descent = Scale(descender, pixelsPerEm_, unitsPerEm);
    metrics_.Height = metrics_.Ascent + metrics_.Descent;
    metrics_.InternalLeading = std::max(0, metrics_.Height - pixelsPerEm_);
    if (hhea != nullptr) {
        const FT_Long gap = hhea->Line_Gap - ((ascender + descender) - (hhea->Ascender - hhea->Descender));
        metrics_.ExternalLeading = std::max(0, Scale(gap, pixelsPerEm_, unitsPerEm));
        metrics_.MaxCharWidth = Scale(hhea->advance_Width_Max, pixelsPerEm_, unitsPerEm);
    } else {
        metrics_.MaxCharWidth = maxWidth;
    }
    metrics_.AverageCharWidth =
        os2 != nullptr ? Scale(os2->xAvgCharWidth, pixelsPerEm_, unitsPerEm) : widths_[static_cast<size_t>('x')];
    metrics_.CharSet = symbol ? SymbolCharSet : request.CharSet;

    lines_.Underline = request.Underline;
    lines_.UnderlinePosition = Scale(face_->underline_position, pixelsPerEm_, unitsPerEm);
    lines_.UnderlineThickness = std::max(1, Scale(face_->underline_thickness, pixelsPerEm_, unitsPerEm));
    lines_.StrikeOut = request.StrikeOut;
    if (os2 != nullptr && os2->yStrikeoutSize > 0) {
        lines_.StrikeOutPosition = Scale(os2->yStrikeoutPosition, pixelsPerEm_, unitsPerEm);
        lines_.StrikeOutThickness = std::max(1, Scale(os2->yStrikeoutSize, pixelsPerEm_, unitsPerEm));
    } else {
        // Fonts without the value: a third of the ascent above the baseline.
        lines_.StrikeOutPosition = metrics_.Ascent / 3;
        lines_.StrikeOutThickness = lines_.UnderlineThickness;
    }
}

TFreeTypeFont::~TFreeTypeFont() {
    if (face_ != nullptr) {
        FT_Done_Face(face_);
    }
}

std::vector<TKerningPair> TFreeTypeFont::KerningPairs() const {
    std::vector<TKerningPair> pairs;
    if (!FT_HAS_KERNING(face_)) {
        return pairs;
    }
    const FT_UShort unitsPerEm = face_->units_per_EM > 0 ? face_->units_per_EM : 2048;
    // Byte order gives the grouping by first character and the ascending
    // second characters the registry's lookup relies on.
    for (int first = 1; first < 256; ++first) {
        const FT_UInt left = GlyphOf(first);
        if (left == 0) {
            continue;
        }
        for (int second = 1; second < 256; ++second) {
            const FT_UInt right = GlyphOf(second);
            FT_Vector delta{0, 0};
            if (right == 0 || FT_Get_Kerning(face_, left, right, FT_KERNING_UNSCALED, &delta) != 0) {
                continue;
            }
            const int32_t amount = Scale(delta.x, pixelsPerEm_, unitsPerEm);
            if (amount != 0) {
                pairs.push_back(TKerningPair{static_cast<uint16_t>(first), static_cast<uint16_t>(second), amount});
            }
        }
    }
    return pairs;
}

}  // namespace quillane
