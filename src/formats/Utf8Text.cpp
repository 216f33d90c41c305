#include "formats/Utf8Text.h"

#include <algorithm>
#include <array>
#include <cstring>
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
        bool AsciiAsItIs = true;  // bytes below 0x80 are their own UTF-8
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
                if (b < 0x80 && (n != 1 || utf8[0] != static_cast<char>(b))) {
                    table->AsciiAsItIs = false;
                }
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

uint64_t LoadEight(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);  // only tested against a mask of every byte
    return value;
}

// Text gathered into a block that goes to the consumer whenever it fills.
// The block has room for a whole part of a run past its nominal size, so
// bytes are written in place without checking room for each.
class TUtf8Blocks {
public:
    static constexpr size_t BlockSize = 65536;
    static constexpr int32_t PartChars = BlockSize / 4;  // at most four bytes of UTF-8 each

    explicit TUtf8Blocks(const std::function<bool(std::string_view)>& put)
        : put_(put), block_(std::make_unique_for_overwrite<char[]>(2 * BlockSize)) {}

    // Hands the block on once it is full (or at the end, when `last`);
    // after a failed hand-over what follows is dropped.
    void Pass(bool last = false) {
        if (used_ >= BlockSize || (last && used_ > 0)) {
            ok_ = ok_ && put_(std::string_view(block_.get(), used_));
            used_ = 0;
        }
    }
    bool Ok() const { return ok_; }

    void Character(char32_t c) {
        scratch_.clear();
        AppendUtf8(scratch_, c);
        std::memcpy(block_.get() + used_, scratch_.data(), scratch_.size());
        used_ += scratch_.size();
        Pass();
    }

    // The UTF-8 of a run of bytes through the table.
    void AppendThroughTable(const TDecoders::TUtf8Table& table, const uint8_t* p, int32_t n) {
        for (int32_t k = 0; k < n && ok_;) {
            const int32_t end = k + std::min(n - k, PartChars);
            char* out = block_.get() + used_;
            for (int32_t i = k; i < end;) {
                if (table.AsciiAsItIs && p[i] < 0x80) {
                    // Runs of ASCII, most text, are copied as they are
                    // (looked at eight bytes at a time).
                    int32_t j = i + 1;
                    while (j + 8 <= end && (LoadEight(p + j) & 0x8080808080808080u) == 0) {
                        j += 8;
                    }
                    while (j < end && p[j] < 0x80) {
                        ++j;
                    }
                    std::memcpy(out, p + i, static_cast<size_t>(j - i));
                    out += j - i;
                    i = j;
                    continue;
                }
                const auto& bytes = table.Bytes[p[i]];
                std::memcpy(out, bytes.data(), 4);  // the table's rows are four bytes wide
                out += table.Length[p[i]];
                ++i;
            }
            used_ = static_cast<size_t>(out - block_.get());
            k = end;
            Pass();
        }
    }

private:
    const std::function<bool(std::string_view)>& put_;
    std::unique_ptr<char[]> block_;
    size_t used_ = 0;  // below BlockSize between calls
    std::string scratch_;
    bool ok_ = true;
};

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
    std::string text;
    WriteDocumentUtf8(document, fonts, systemAnsiCodePage, [&](std::string_view block) {
        text.append(block);
        return true;
    });
    return text;
}

bool WriteDocumentUtf8(const TDocument& document, const TFontManager& fonts, int systemAnsiCodePage,
                       const std::function<bool(std::string_view)>& put) {
    TDecoders decoders(systemAnsiCodePage);
    TUtf8Blocks blocks(put);
    int32_t decodedFont = -1;  // the font whose page `table` decodes
    int codePage = 0;
    const TDecoders::TUtf8Table* table = nullptr;
    for (int32_t i = 0; i < document.ParagraphCount() && blocks.Ok(); ++i) {
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
                        blocks.Character(c);
                    }
                }
                at += TagSize;
                continue;
            }
            const int32_t run = CharRunLength(p + at, n - at);
            // Runs mostly keep the font of the run before.
            if (font != decodedFont) {
                decodedFont = font;
                codePage = CodePageOfFont(fonts, font, systemAnsiCodePage);
                table = codePage == 0 ? nullptr : decoders.Table(codePage);
            }
            if (table != nullptr) {
                blocks.AppendThroughTable(*table, p + at, run);
            } else if (codePage == 0) {
                const std::string name = fonts.DisplayName(font);
                for (int32_t k = 0; k < run; ++k) {
                    blocks.Character(SymbolGlyphToUnicode(name, p[at + k]));
                }
            } else {
                for (const char32_t c : decoders.For(codePage).Decode(p + at, static_cast<size_t>(run))) {
                    blocks.Character(c);
                }
            }
            blocks.Pass();
            at += run;
        }
        if (!paragraph.EndsWithParagraphEnd()) {
            blocks.Character(U'\n');
        }
        blocks.Pass();
    }
    blocks.Pass(true);
    return blocks.Ok();
}

}  // namespace quillane
