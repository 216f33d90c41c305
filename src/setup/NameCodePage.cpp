#include "setup/NameCodePage.h"

#include <cstdint>

namespace quillane {

namespace {

// Code points of 0x80..0x9F; 0 where the page assigns nothing.
constexpr uint16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

uint32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return HighControls[byte - 0x80];
    }
    return byte;
}

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

std::optional<unsigned char> ByteOf(uint32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<unsigned char>(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] != 0 && HighControls[i] == c) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

}  // namespace

bool IsCp1252Character(unsigned char byte) { return !(byte >= 0x80 && byte < 0xA0) || HighControls[byte - 0x80] != 0; }

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const uint32_t c = CodePointOf(static_cast<unsigned char>(ch));
        AppendUtf8(out, c == 0 && ch != '\0' ? 0xFFFD : c);
    }
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        uint32_t c = 0;
        int more = 0;
        if (lead < 0x80) {
            c = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            c = lead & 0x1F;
            more = 1;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            c = lead & 0x0F;
            more = 2;
        } else {
            return std::nullopt;  // four-byte characters are all outside the page
        }
        if (i + static_cast<size_t>(more) >= text.size() && more > 0) {
            return std::nullopt;
        }
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (more == 2 && c < 0x800) {
            return std::nullopt;  // overlong
        }
        const auto byte = ByteOf(c);
        if (!byte) {
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
        i += 1 + static_cast<size_t>(more);
    }
    return out;
}

std::string FoldCp1252(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
            ch = static_cast<char>(b - 0x20);
        } else if (b == 0x9A || b == 0x9C || b == 0x9E) {  // š œ ž
            ch = static_cast<char>(b - 0x10);
        } else if (b == 0xFF) {  // ÿ
            ch = static_cast<char>(0x9F);
        }
    }
    return out;
}

}  // namespace quillane
