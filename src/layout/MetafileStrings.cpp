#include <array>

#include "layout/MetafileStrings.h"

namespace quillane {

namespace {

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Code page 1252's characters at 0x80..0x9F (0 where the page has none).
constexpr std::array<uint16_t, 32> Cp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Cp1252Byte(uint16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (size_t i = 0; i < Cp1252High.size(); ++i) {
        if (Cp1252High[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace

std::string FaceNameFromBytes(TByteSpan bytes) {
    std::string name;
    for (const uint8_t b : bytes) {
        if (b == 0) {
            break;
        }
        AppendUtf8(name, b);
    }
    return name;
}

std::string FaceNameFromUtf16(TByteSpan bytes) {
    std::string name;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const uint16_t c = ReadLittleEndian16(&bytes[i]);
        if (c == 0) {
            break;
        }
        AppendUtf8(name, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
    }
    return name;
}

std::string TextForCharSet(TByteSpan utf16, int32_t charSet) {
    std::string text;
    text.reserve(utf16.size() / 2);
    for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const uint16_t c = ReadLittleEndian16(&utf16[i]);
        if (charSet == 2) {
            text += (c >= 0xF000 && c <= 0xF0FF) || c < 0x100 ? static_cast<char>(c & 0xFF) : '?';
        } else {
            text += Cp1252Byte(c);
        }
    }
    return text;
}

}  // namespace quillane
