#include "formats/word/WordCharset.h"

#include "platform/BestFit.h"

namespace quillane {

namespace {

constexpr char16_t PrivateSymbolsFirst = 0xF000;
constexpr char16_t PrivateSymbolsLast = 0xF0FF;
constexpr size_t MaxCachedFonts = 4096;

uint8_t NoControl(uint8_t byte) { return byte < 32 ? static_cast<uint8_t>('?') : byte; }

}  // namespace

TWordTextConverter::TWordTextConverter(TFontManager* fonts, int systemAnsiCodePage)
    : fonts_(fonts), systemPage_(systemAnsiCodePage), ansi_(DecodeCodePage(1252)) {}

void TWordTextConverter::StartFont(int32_t font) {
    started_ = true;
    baseFont_ = font;
    basePage_ = fonts_ != nullptr ? PageOfFont(font) : systemPage_;
    runFont_ = font;
    runPage_ = basePage_;
}

int TWordTextConverter::PageOfFont(int32_t font) {
    // Runs switch between a few fonts over and over; an entry's character
    // set never changes, so neither does its page.
    if (font < 0 || static_cast<size_t>(font) >= MaxCachedFonts) {
        return CodePageOfFont(*fonts_, font, systemPage_);
    }
    if (pageOfFont_.size() <= static_cast<size_t>(font)) {
        pageOfFont_.resize(static_cast<size_t>(font) + 1, -1);
    }
    int& page = pageOfFont_[static_cast<size_t>(font)];
    if (page < 0) {
        page = CodePageOfFont(*fonts_, font, systemPage_);
    }
    return page;
}

int32_t TWordTextConverter::FontFor(int codePage) {
    if (codePage == basePage_ || fonts_ == nullptr) {
        return baseFont_;
    }
    for (const TSwitched& s : switched_) {
        if (s.Font == baseFont_ && s.CodePage == codePage) {
            return s.Member;
        }
    }
    // The registry only grows, so a member found once stays valid.
    const int32_t member = FontForCodePage(*fonts_, baseFont_, codePage);
    switched_.push_back(TSwitched{baseFont_, codePage, member});
    return member;
}

uint8_t TWordTextConverter::Encode(int codePage, char16_t c) {
    if (const uint8_t byte = encoders_.Encode(codePage, c)) {
        return byte;
    }
    const uint32_t key = (static_cast<uint32_t>(codePage) << 16) | c;
    if (const auto hit = substitutes_.find(key); hit != substitutes_.end()) {
        return hit->second;
    }
    // A substitute may itself need one (a Greek letter with tonos, its base
    // letter, its Latin look-alike); the chain is short.
    uint8_t byte = '?';
    char32_t probe = c;
    for (int step = 0; step < 4; ++step) {
        const auto substitute = BestFitSubstitute(probe);
        if (!substitute || *substitute == probe) {
            break;
        }
        probe = *substitute;
        if (const uint8_t found = encoders_.Encode(codePage, probe)) {
            byte = found;
            break;
        }
    }
    substitutes_.emplace(key, byte);
    return byte;
}

uint8_t TWordTextConverter::Convert(char16_t c, int32_t& font) {
    if (!started_ || font != baseFont_) {
        StartFont(font);
    }
    if (c < 0x80) {
        font = runFont_;
        return static_cast<uint8_t>(c);
    }
    if (c >= PrivateSymbolsFirst && c <= PrivateSymbolsLast) {
        // A symbol font's own glyph code, in the font the properties give.
        runFont_ = baseFont_;
        runPage_ = basePage_;
        return NoControl(static_cast<uint8_t>(c & 0xFF));
    }
    if (fonts_ == nullptr) {
        return NoControl(Encode(systemPage_, c));
    }
    const int blockPage = CodePageForCharacter(c, 0);
    if (blockPage == 0 && runPage_ != 0) {
        if (const uint8_t byte = encoders_.Encode(runPage_, c)) {
            font = runFont_;
            return NoControl(byte);
        }
    }
    const int page = blockPage != 0 ? blockPage : systemPage_;
    if (page != runPage_) {
        runPage_ = page;
        runFont_ = FontFor(page);
    }
    font = runFont_;
    return NoControl(Encode(page, c));
}

uint8_t TWordTextConverter::ConvertAnsi(uint8_t byte, int32_t& font) {
    if (!started_ || font != baseFont_) {
        StartFont(font);
    }
    const auto c = ansi_[byte];
    if (basePage_ == 0 || !c || *c >= 0x10000) {
        // A symbol font's glyph code, or a byte 1252 leaves undefined: as
        // it stands, in the font given.
        runFont_ = baseFont_;
        runPage_ = basePage_;
        return byte;
    }
    return Unicode(static_cast<char16_t>(*c), font);
}

uint8_t TWordTextConverter::ToSystemPage(char16_t c) {
    if (c < 32) {
        return '?';
    }
    if (c >= PrivateSymbolsFirst && c <= PrivateSymbolsLast) {
        return NoControl(static_cast<uint8_t>(c & 0xFF));
    }
    return c < 0x80 ? static_cast<uint8_t>(c) : NoControl(Encode(systemPage_, c));
}

}  // namespace quillane
