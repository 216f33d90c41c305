#include "formats/rtf/RtfUnicode.h"

#include <array>
#include <exception>

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

bool IsLeadByte(int codePage, uint8_t b) {
    switch (codePage) {
        case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        case 936:
        case 949:
        case 950: return b >= 0x81 && b <= 0xFE;
        case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
        default: return false;
    }
}

uint8_t MacToLatin1(uint8_t byte) {
    // Bytes 0x80..0xFF of Mac OS Roman; 0 where the glyph has no ISO 8859-1 byte.
    static constexpr std::array<uint8_t, 128> Table = {
        0xC4, 0xC5, 0xC7, 0xC9, 0xD1, 0xD6, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4, 0xE3, 0xE5, 0xE7, 0xE9, 0xE8,
        0xEA, 0xEB, 0xED, 0xEC, 0xEE, 0xEF, 0xF1, 0xF3, 0xF2, 0xF4, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC,
        0x00, 0xB0, 0xA2, 0xA3, 0xA7, 0x00, 0xB6, 0xDF, 0xAE, 0xA9, 0x00, 0xB4, 0xA8, 0x00, 0xC6, 0xD8,
        0x00, 0xB1, 0x00, 0x00, 0xA5, 0xB5, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAA, 0xBA, 0x00, 0xE6, 0xF8,
        0xBF, 0xA1, 0xAC, 0x00, 0x00, 0x00, 0x00, 0xAB, 0xBB, 0x00, 0xA0, 0xC0, 0xC3, 0xD5, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7, 0x00, 0xFF, 0x00, 0x00, 0xA4, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xB7, 0x00, 0x00, 0x00, 0xC2, 0xCA, 0xC1, 0xCB, 0xC8, 0xCD, 0xCE, 0xCF, 0xCC, 0xD3, 0xD4,
        0x00, 0xD2, 0xDA, 0xDB, 0xD9, 0x00, 0x00, 0x00, 0xAF, 0x00, 0x00, 0x00, 0xB8, 0x00, 0x00, 0x00,
    };
    if (byte < 0x80) {
        return byte;
    }
    const uint8_t mapped = Table[byte - 0x80u];
    return mapped != 0 ? mapped : byte;
}

uint8_t TCodePageEncoders::Encode(int codePage, char32_t c) {
    auto found = pages_.find(codePage);
    if (found == pages_.end()) {
        std::unordered_map<char32_t, uint8_t> encode;
        try {
            const TCodePageDecoding decoding = DecodeCodePage(codePage);
            // Lower bytes win where a page has a character twice.
            for (int b = 255; b >= 1; --b) {
                if (const auto ch = decoding[static_cast<size_t>(b)]) {
                    encode[*ch] = static_cast<uint8_t>(b);
                }
            }
        } catch (const std::exception&) {
            // A page the platform lacks converts nothing; fallbacks stand in.
        }
        found = pages_.emplace(codePage, std::move(encode)).first;
    }
    const auto hit = found->second.find(c);
    return hit != found->second.end() ? hit->second : 0;
}

}  // namespace quillane
