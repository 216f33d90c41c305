#include "formats/Utf8Text.h"

#include <algorithm>
#include <array>
#include <bit>
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
    std::memcpy(&value, p, sizeof value);  // bytes in memory order
    return value;
}

// A mark (the top bit) on each byte that is zero or 0x80 and above. The
// zero test borrows only from a zero byte, so the lowest mark is exact; a
// mark above it may be spurious, which is all FirstMarkedByte needs.
uint64_t ZeroOrHigh(uint64_t eight) {
    constexpr uint64_t ones = 0x0101010101010101u;
    constexpr uint64_t tops = 0x8080808080808080u;
    return ((eight - ones) & ~eight & tops) | (eight & tops);
}

// Which of the eight bytes, in memory order, carries the first mark.
unsigned FirstMarkedByte(uint64_t marks) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<unsigned>(std::countr_zero(marks)) / 8;
    } else {
        return static_cast<unsigned>(std::countl_zero(marks)) / 8;
    }
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
            for (int32_t i = k; i < end; ++i) {
                std::memcpy(out, table.Bytes[p[i]].data(), 4);  // the table's rows are four bytes wide
                out += table.Length[p[i]];
            }
            used_ = static_cast<size_t>(out - block_.get());
            k = end;
            Pass();
        }
    }

    // Text of a page whose ASCII is its own UTF-8, from `at` up to the
    // next tag (a zero byte) or `n`: ASCII is copied eight bytes at a time,
    // other bytes go through the table. Answers where it stopped.
    int32_t AppendUpToTag(const TDecoders::TUtf8Table& table, const uint8_t* p, int32_t at, int32_t n) {
        while (at < n && ok_) {
            const int32_t end = at + std::min(n - at, PartChars);
            char* out = block_.get() + used_;
            bool tag = false;
            while (at < end) {
                if (at + 8 <= end) {
                    const uint64_t eight = LoadEight(p + at);
                    // The eight bytes go out whole (the block has room for
                    // a part and more); only those before the first zero or
                    // non-ASCII byte count.
                    std::memcpy(out, &eight, 8);
                    const uint64_t stop = ZeroOrHigh(eight);
                    if (stop == 0) {
                        at += 8;
                        out += 8;
                        continue;
                    }
                    const int32_t plain = static_cast<int32_t>(FirstMarkedByte(stop));
                    at += plain;
                    out += plain;
                }
                const uint8_t byte = p[at];
                if (byte == 0) {
                    tag = true;
                    break;
                }
                std::memcpy(out, table.Bytes[byte].data(), 4);
                out += table.Length[byte];
                ++at;
            }
            used_ = static_cast<size_t>(out - block_.get());
            Pass();
            if (tag) {
                break;
            }
        }
        return at;
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
        while (at < n && blocks.Ok()) {
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
            // Runs mostly keep the font of the run before.
            if (font != decodedFont) {
                decodedFont = font;
                codePage = CodePageOfFont(fonts, font, systemAnsiCodePage);
                table = codePage == 0 ? nullptr : decoders.Table(codePage);
            }
            if (table != nullptr && table->AsciiAsItIs) {
                at = blocks.AppendUpToTag(*table, p, at, n);
                continue;
            }
            const int32_t run = CharRunLength(p + at, n - at);
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
