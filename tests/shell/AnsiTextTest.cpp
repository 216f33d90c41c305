// Document text of the ANSI code page to and from the settings store's UTF-8.

#include <gtest/gtest.h>

#include "shell/AnsiText.h"

namespace quillane {
namespace {

// Code page 1252 where it differs from Latin-1, with its five undefined bytes.
TCodePageDecoding Page1252() {
    TCodePageDecoding page{};
    for (int b = 0; b < 256; ++b) {
        page[static_cast<size_t>(b)] = static_cast<char32_t>(b);
    }
    page[0x80] = U'\u20AC';  // euro sign
    page[0x93] = U'\u201C';  // left double quotation mark
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        page[static_cast<size_t>(undefined)] = std::nullopt;
    }
    return page;
}

TEST(AnsiText, EveryByteSurvivesTheRoundTrip) {
    const TCodePageDecoding page = Page1252();
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(all, Utf8ToAnsi(AnsiToUtf8(all, page), page));
    EXPECT_EQ("\xE2\x82\xAC", AnsiToUtf8("\x80", page));
    EXPECT_EQ("\xC2\x81", AnsiToUtf8("\x81", page));  // undefined: the same number
    EXPECT_EQ("\x93", Utf8ToAnsi("\xE2\x80\x9C", page));
}

TEST(AnsiText, CharactersThePageLacksBecomeQuestionMarks) {
    const TCodePageDecoding page = Page1252();
    EXPECT_EQ("a??b", Utf8ToAnsi("a\xE6\xBC\xA2\xF0\x9F\x98\x80" "b", page));
    EXPECT_EQ("?x", Utf8ToAnsi("\xFFx", page));  // not UTF-8
    EXPECT_EQ("??", Utf8ToAnsi("\xE6\xBC", page));  // cut short: each byte on its own
}

}  // namespace
}  // namespace quillane
