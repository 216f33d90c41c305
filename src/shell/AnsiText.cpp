#include "shell/AnsiText.h"

#include <cstdint>

namespace quillane {

namespace {

char32_t CharacterOf(uint8_t byte, const TCodePageDecoding& page) {
    const auto& c = page[byte];
    return c ? *c : static_cast<char32_t>(byte);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next character of UTF-8 text; a byte that starts no valid sequence
// is taken alone as U+FFFD.
char32_t NextCharacter(std::string_view text, size_t& i) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const size_t extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : 9;
    if (extra == 0) {
        ++i;
        return lead;
    }
    if (extra > 3 || i + extra >= text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t c = lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        const auto b = static_cast<uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return c;
}

}  // namespace

std::string AnsiToUtf8(std::string_view bytes, const TCodePageDecoding& page) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        AppendUtf8(out, CharacterOf(static_cast<uint8_t>(b), page));
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view text, const TCodePageDecoding& page) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t c = NextCharacter(text, i);
        char byte = '?';
        for (int b = 0; b < 256; ++b) {
            if (CharacterOf(static_cast<uint8_t>(b), page) == c) {
                byte = static_cast<char>(b);
                break;
            }
        }
        out += byte;
    }
    return out;
}

}  // namespace quillane
