#pragma once
// Unicode text in the model's 8-bit text, shared by the readers whose files
// hold Unicode characters (RTF's \u, Word 97/2000 pieces): which code page a
// character is written in, the character set that names the page, one-byte
// encoders, and the member of a font family whose character set writes the
// page, so that every byte is read back through the page it was written in.

#include <cstdint>
#include <map>
#include <vector>

namespace quillane {

class TFontManager;

// The page a character is converted into: by its Unicode block, the
// system's ANSI page for the rest.
int CodePageForCharacter(int32_t c, int systemAnsiCodePage);
// The character set whose text is in the page (the ANSI set for unknown pages).
int32_t CharSetOfCodePage(int codePage);

// Whether the page writes characters as one or two bytes.
bool IsDoubleByteCodePage(int codePage);

// The page of a registered font's character set: 0 for a symbol font, the
// system's ANSI page for an index the registry does not hold.
int CodePageOfFont(const TFontManager& fonts, int32_t font, int systemAnsiCodePage);
// The member of the font's family whose character set writes the page (the
// font itself for an index the registry does not hold).
int32_t FontForCodePage(TFontManager& fonts, int32_t font, int codePage);

// One-byte encoders, made on first use of each page from the platform's
// tables: a byte per character of the Basic Multilingual Plane, so a run of
// text costs one table look-up per character.
class TCodePageEncoders {
public:
    // The byte of the character in the page, or 0 when the page lacks it
    // (or the platform does not know the page).
    uint8_t Encode(int codePage, char32_t c);

private:
    const std::vector<uint8_t>& Page(int codePage);

    std::map<int, std::vector<uint8_t>> pages_;
    int lastPage_ = -1;
    const std::vector<uint8_t>* last_ = nullptr;
};

}  // namespace quillane
