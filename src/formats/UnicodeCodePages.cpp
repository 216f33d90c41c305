#include "formats/UnicodeCodePages.h"

#include <exception>

#include "model/FontManager.h"
#include "platform/CodePages.h"
#include "platform/FontSystem.h"

namespace quillane {

int CodePageForCharacter(int32_t c, int systemAnsiCodePage) {
    struct TBlock {
        int32_t First;
        int32_t Last;
        int CodePage;
    };
    static constexpr TBlock Blocks[] = {
        {0x0080, 0x00FF, 1252}, {0x0100, 0x017F, 1250}, {0x0180, 0x024F, 1257}, {0x0370, 0x03FF, 1253},
        {0x0400, 0x04FF, 1251}, {0x0590, 0x05FF, 1255}, {0x0600, 0x06FF, 1256},
    };
    for (const TBlock& block : Blocks) {
        if (c >= block.First && c <= block.Last) {
            return block.CodePage;
        }
    }
    return systemAnsiCodePage;
}

int32_t CharSetOfCodePage(int codePage) {
    struct TPageSet {
        int CodePage;
        int32_t CharSet;
    };
    static constexpr TPageSet Sets[] = {
        {1252, 0},   {1250, 238}, {1251, 204}, {1253, 161}, {1254, 162}, {1255, 177}, {1256, 178},
        {1257, 186}, {1258, 163}, {874, 222},  {932, 128},  {936, 134},  {949, 129},  {950, 136},
        {1361, 130}, {437, 255},  {10000, 77},
    };
    for (const TPageSet& entry : Sets) {
        if (entry.CodePage == codePage) {
            return entry.CharSet;
        }
    }
    return AnsiCharSet;
}

bool IsDoubleByteCodePage(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

int CodePageOfFont(const TFontManager& fonts, int32_t font, int systemAnsiCodePage) {
    const bool known = font >= 0 && static_cast<size_t>(font) < fonts.Registry().size();
    return known ? CodePageOfCharSet(fonts.Entry(font).CharSet, systemAnsiCodePage) : systemAnsiCodePage;
}

int32_t FontForCodePage(TFontManager& fonts, int32_t font, int codePage) {
    if (font < 0 || static_cast<size_t>(font) >= fonts.Registry().size()) {
        return font;
    }
    return fonts.WithCharacterSet(font, CharSetOfCodePage(codePage));
}

const std::vector<uint8_t>& TCodePageEncoders::Page(int codePage) {
    if (codePage == lastPage_) {
        return *last_;
    }
    auto found = pages_.find(codePage);
    if (found == pages_.end()) {
        std::vector<uint8_t> encode(0x10000, 0);
        try {
            const TCodePageDecoding decoding = DecodeCodePage(codePage);
            // Lower bytes win where a page has a character twice.
            for (int b = 255; b >= 1; --b) {
                if (const auto ch = decoding[static_cast<size_t>(b)]; ch && *ch < 0x10000) {
                    encode[*ch] = static_cast<uint8_t>(b);
                }
            }
        } catch (const std::exception&) {
            // A page the platform lacks converts nothing; fallbacks stand in.
        }
        found = pages_.emplace(codePage, std::move(encode)).first;
    }
    lastPage_ = codePage;
    last_ = &found->second;
    return found->second;
}

uint8_t TCodePageEncoders::Encode(int codePage, char32_t c) {
    return c < 0x10000 ? Page(codePage)[c] : 0;
}

}  // namespace quillane
