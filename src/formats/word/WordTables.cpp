#include "formats/word/WordTables.h"

#include <algorithm>

namespace quillane {

namespace {

// A zero-terminated string of `unicode` or 8-bit characters from `at`,
// not beyond `limit` bytes of the view; `end` receives the offset after it.
std::string TerminatedString(TByteView bytes, uint64_t at, bool unicode, const TUnicodeToAnsiFn& toAnsi,
                             uint64_t& end) {
    std::string text;
    const uint64_t step = unicode ? 2 : 1;
    while (bytes.Has(at, step)) {
        const uint16_t c = unicode ? bytes.U16(at) : bytes.U8(at);
        at += step;
        if (c == 0) {
            break;
        }
        text.push_back(static_cast<char>(unicode ? toAnsi(c) : static_cast<uint8_t>(c)));
    }
    end = at;
    return text;
}

}  // namespace

std::vector<TWordFont> ParseWordFonts(TByteView sttbf, TWordGeneration generation, const TUnicodeToAnsiFn& toAnsi) {
    std::vector<TWordFont> fonts;
    const bool word97 = generation == TWordGeneration::Word97;
    // Word 97/2000 counts the fonts (then two bytes of extra data size);
    // Word 6.0/95 gives the table's size in bytes.
    uint64_t at = word97 ? 4 : 2;
    const uint64_t end = word97 ? sttbf.Size() : std::min<uint64_t>(sttbf.U16(0), sttbf.Size());
    const uint32_t count = word97 ? sttbf.U16(0) : 0xFFFF;
    const uint64_t nameAt = word97 ? 40 : 6;
    while (fonts.size() < count && at < end) {
        const TByteView ffn = sttbf.Sub(at, uint64_t{sttbf.U8(at)} + 1);
        if (ffn.Size() == 0 || at + ffn.Size() > end || ffn.Size() <= nameAt) {
            break;
        }
        TWordFont font;
        const uint8_t bits = ffn.U8(1);
        font.PitchAndFamily = (bits & 0x03) | (bits & 0x70);
        font.CharSet = ffn.U8(4);
        const uint8_t altIndex = ffn.U8(5);
        uint64_t after = 0;
        font.Name = TerminatedString(ffn, nameAt, word97, toAnsi, after);
        if (altIndex != 0) {
            const uint64_t altAt = nameAt + uint64_t{altIndex} * (word97 ? 2 : 1);
            font.AltName = TerminatedString(ffn, altAt, word97, toAnsi, after);
        }
        fonts.push_back(font);
        at += ffn.Size();
    }
    return fonts;
}

std::vector<std::string> ParseSttbf(TByteView sttbf, TWordGeneration generation, const TUnicodeToAnsiFn& toAnsi) {
    std::vector<std::string> strings;
    if (generation == TWordGeneration::Word6) {
        // Byte count, then Pascal strings.
        const uint64_t end = std::min<uint64_t>(sttbf.U16(0), sttbf.Size());
        uint64_t at = 2;
        while (at < end) {
            const uint8_t length = sttbf.U8(at);
            const TByteView chars = sttbf.Sub(at + 1, length);
            if (chars.Size() != length || at + 1 + length > end) {
                break;
            }
            strings.emplace_back(reinterpret_cast<const char*>(chars.Data()), chars.Size());
            at += 1 + uint64_t{length};
        }
        return strings;
    }
    // 0xFFFF marks Unicode strings; then the count and the extra bytes per entry.
    uint64_t at = 0;
    const bool extended = sttbf.U16(0) == 0xFFFF;
    if (extended) {
        at = 2;
    }
    const uint16_t count = sttbf.U16(at);
    const uint16_t extra = sttbf.U16(at + 2);
    at += 4;
    for (uint32_t i = 0; i < count; ++i) {
        std::string text;
        if (extended) {
            const uint16_t length = sttbf.U16(at);
            const TByteView chars = sttbf.Sub(at + 2, uint64_t{length} * 2);
            if (chars.Size() != uint64_t{length} * 2) {
                break;
            }
            for (uint64_t k = 0; k < length; ++k) {
                text.push_back(static_cast<char>(toAnsi(chars.U16(k * 2))));
            }
            at += 2 + uint64_t{length} * 2;
        } else {
            const uint8_t length = sttbf.U8(at);
            const TByteView chars = sttbf.Sub(at + 1, length);
            if (chars.Size() != length) {
                break;
            }
            text.assign(reinterpret_cast<const char*>(chars.Data()), chars.Size());
            at += 1 + uint64_t{length};
        }
        if (!sttbf.Has(at, extra)) {
            break;
        }
        at += extra;
        strings.push_back(text);
    }
    return strings;
}

}  // namespace quillane
