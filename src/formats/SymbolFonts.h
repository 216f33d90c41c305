#pragma once
// What the glyph codes of symbol fonts stand for in Unicode: the Symbol
// font's Greek letters and mathematical signs, the Wingdings shapes that
// have a Unicode counterpart, and the private-use code U+F000 + byte (as
// the platform itself maps symbol fonts) for everything else.

#include <cstdint>
#include <string>

namespace quillane {

char32_t SymbolGlyphToUnicode(const std::string& fontName, uint8_t byte);

}  // namespace quillane
