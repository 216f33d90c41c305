#pragma once
// Code pages for the RTF reader: which page a Unicode character is written
// in, the character set that names a page, one-byte encoders built from the
// platform's decoding tables, double-byte lead bytes, and the old Mac OS
// Roman character set.

#include <cstdint>
#include <map>
#include <unordered_map>

namespace quillane {

// The page a \u character is converted into: by its Unicode block, the
// system's ANSI page for the rest.
int CodePageForCharacter(int32_t c, int systemAnsiCodePage);
// The character set whose text is in the page (the ANSI set for unknown pages).
int32_t CharSetOfCodePage(int codePage);

// Whether the page writes characters as one or two bytes, and which bytes
// start a pair.
bool IsDoubleByteCodePage(int codePage);
bool IsLeadByte(int codePage, uint8_t byte);

// Mac OS Roman (with the currency sign at 0xDB) to the ISO 8859-1 byte of
// the same glyph; bytes without one stay as they are.
uint8_t MacToLatin1(uint8_t byte);

// One-byte encoders, made on first use from the platform's tables.
class TCodePageEncoders {
public:
    // The byte of the character in the page, or 0 when the page lacks it
    // (or the platform does not know the page).
    uint8_t Encode(int codePage, char32_t c);

private:
    std::map<int, std::unordered_map<char32_t, uint8_t>> pages_;
};

}  // namespace quillane
