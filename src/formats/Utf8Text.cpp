#include "formats/Utf8Text.h"

#include <algorithm>
#include <array>
#include <exception>
#include <map>
#include <memory>

#include "formats/SymbolFonts.h"
#include "formats/UnicodeCodePages.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/FontSystem.h"

namespace quillane {

namespace {

char32_t SpecialToUnicode(int32_t code) {
    switch (code) {
        case spParagraphEnd:
        case spLineBreak:
        case spPageBreak: return U'\n';
        case spTab: return U'\t';
        case spPicture:
        case spObject: return 0xFFFC;  // the object replacement character
        case spNonbreakingSpace: return 0x00A0;
        case spNonbreakingHyphen: return 0x2011;
        case spLongDash: return 0x2014;
        case spShortDash: return 0x2013;
        case spOptionalHyphen: return 0x00AD;
        default: return 0;
    }
}

// Decoders by code page, made on first use; a page the platform lacks is
// read as the system's ANSI page.
class TDecoders {
public:
    explicit TDecoders(int systemAnsiCodePage) : system_(systemAnsiCodePage) {}

    TTextDecoder& For(int codePage) {
        auto found = decoders_.find(codePage);
        if (found == decoders_.end()) {
            std::unique_ptr<TTextDecoder> decoder;
            try {
                decoder = CreateTextDecoder(codePage);
            } catch (const std::exception&) {
                decoder = CreateTextDecoder(codePage == system_ ? 1252 : system_);
            }
            found = decoders_.emplace(codePage, std::move(decoder)).first;
        }
        return *found->second;
    }

    // The UTF-8 of every byte of a single-byte page, each byte decoded once
    // by the page's decoder; nullptr for a double-byte page, whose bytes
    // pair up.
    struct TUtf8Table {
        std::array<std::array<char, 4>, 256> Bytes{};
        std::array<uint8_t, 256> Length{};
    };
    const TUtf8Table* Table(int codePage) {
        if (IsDoubleByteCodePage(codePage)) {
            return nullptr;
        }
        auto found = tables_.find(codePage);
        if (found == tables_.end()) {
            auto table = std::make_unique<TUtf8Table>();
            TTextDecoder& decoder = For(codePage);
            std::string utf8;
            for (int b = 0; b < 256; ++b) {
                const auto byte = static_cast<uint8_t>(b);
                utf8.clear();
                for (const char32_t c : decoder.Decode(&byte, 1)) {
                    AppendUtf8(utf8, c);
                }
                const size_t n = std::min<size_t>(utf8.size(), 4);
                std::copy_n(utf8.begin(), n, table->Bytes[static_cast<size_t>(b)].begin());
                table->Length[static_cast<size_t>(b)] = static_cast<uint8_t>(n);
            }
            found = tables_.emplace(codePage, std::move(table)).first;
        }
        return found->second.get();
    }

private:
    int system_;
    std::map<int, std::unique_ptr<TTextDecoder>> decoders_;
    std::map<int, std::unique_ptr<TUtf8Table>> tables_;
};

// Appends the UTF-8 of a run of bytes through the table, a block at a time.
void AppendThroughTable(std::string& out, const TDecoders::TUtf8Table& table, const uint8_t* p, int32_t n) {
    char block[1024];
    size_t used = 0;
    for (int32_t k = 0; k < n; ++k) {
        if (used > sizeof block - 4) {
            out.append(block, used);
            used = 0;
        }
        const auto& bytes = table.Bytes[p[k]];
        const uint8_t length = table.Length[p[k]];
        for (uint8_t j = 0; j < length; ++j) {
            block[used + j] = bytes[j];
        }
        used += length;
    }
    out.append(block, used);
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        c = 0xFFFD;
    }
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string DocumentToUtf8(const TDocument& document, const TFontManager& fonts, int systemAnsiCodePage) {
    TDecoders decoders(systemAnsiCodePage);
    std::string out;
    // Most text is a byte of UTF-8 per position; growing the string from
    // empty would copy it over and over.
    size_t positions = 0;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        positions += static_cast<size_t>(document.Paragraph(i).PositionCount()) + 1;
    }
    out.reserve(positions + positions / 8);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& paragraph = document.Paragraph(i);
        const uint8_t* p = paragraph.Text.Data();
        const int32_t n = paragraph.Text.Length();
        int32_t font = document.DefaultCharAttrs[caFont];
        int32_t at = 0;
        while (at < n) {
            if (p[at] == 0) {
                if (at + TagSize > n) {
                    break;
                }
                const TTag tag = ReadTag(p + at);
                if (tag.Kind == caFont) {
                    font = tag.Value;
                } else if (tag.Kind == tkSpecial || tag.Kind == tkPicture || tag.Kind == tkObject) {
                    const int32_t code = tag.Kind == tkSpecial ? tag.Value : (tag.Kind == tkPicture ? spPicture : spObject);
                    if (const char32_t c = SpecialToUnicode(code)) {
                        AppendUtf8(out, c);
                    }
                }
                at += TagSize;
                continue;
            }
            const int32_t run = CharRunLength(p + at, n - at);
            const int codePage = CodePageOfFont(fonts, font, systemAnsiCodePage);
            if (codePage == 0) {
                const std::string name = fonts.DisplayName(font);
                for (int32_t k = 0; k < run; ++k) {
                    AppendUtf8(out, SymbolGlyphToUnicode(name, p[at + k]));
                }
            } else if (const TDecoders::TUtf8Table* table = decoders.Table(codePage)) {
                AppendThroughTable(out, *table, p + at, run);
            } else {
                for (const char32_t c : decoders.For(codePage).Decode(p + at, static_cast<size_t>(run))) {
                    AppendUtf8(out, c);
                }
            }
            at += run;
        }
        if (!paragraph.EndsWithParagraphEnd()) {
            out.push_back('\n');
        }
    }
    return out;
}

}  // namespace quillane
