// The UTF-8 export: each run decoded through its font's code page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "formats/Utf8Text.h"
#include "formats/rtf/RtfFixture.h"

namespace quillane {
namespace {

class Utf8Text : public test::RtfTest {
protected:
    std::string Utf8(const std::string& rtf) { return DocumentToUtf8(Load(rtf), *fonts, 1252); }
};

TEST_F(Utf8Text, RunsFollowTheirFontsCharacterSets) {
    const std::string fontTable =
        "{\\rtf1 {\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset128 MS Mincho;}{\\f2\\fcharset161 Arial;}"
        "{\\f3\\fcharset2 Symbol;}{\\f4\\fcharset2 Wingdings;}{\\f5\\fcharset2 Marlett;}{\\f6\\fcharset177 Arial;}}";
    struct Case {
        const char* body;
        const char* utf8;
    };
    const Case cases[] = {
        {"caf\\'e9\\'80}", "caf\u00e9\u20ac\n"},
        {"\\f1 \\'93\\'fa\\'96\\'7b}", "\u65e5\u672c\n"},        // double-byte pairs
        {"\\f1 \\'93}", "\ufffd\n"},                           // half a pair
        {"\\f2 \\'e1\\'e2}", "\u03b1\u03b2\n"},
        {"\\f6 \\'f9\\'ec\\'e5\\'ed}", "\u05e9\u05dc\u05d5\u05dd\n"},
        {"\\f3 a\\'b7\\'e5}", "\u03b1\u2022\u2211\n"},           // Symbol's Greek and mathematics
        {"\\f4 \\'fc\\'d8\\'30}", "\u2713\u27a2\uf030\n"},        // Wingdings, known or private use
        {"\\f5 \\'62}", "\uf062\n"},                           // another symbol font: private use
        {"a\\tab b\\line c\\emdash\\endash\\~\\_\\-\\par d}", "a\tb\nc\u2014\u2013\u00a0\u2011\u00ad\nd\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(Utf8(fontTable + c.body), c.utf8);
    }
}

// The text goes out in blocks: characters of several bytes and runs longer
// than a block come through whole across the blocks' edges, and a consumer
// that fails stops the writing.
TEST_F(Utf8Text, BlocksCarryTheWholeText) {
    std::string rtf = "{\\rtf1 {\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset161 Arial;}}";
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        rtf += "plain text " + std::to_string(i) + " {\\f1 \\'e1\\'e2} caf\\'e9\\par ";
        expected += "plain text " + std::to_string(i) + " \u03b1\u03b2 caf\u00e9\n";
    }
    rtf += std::string(200000, 'x') + "}";
    expected += std::string(200000, 'x') + "\n";
    const TDocument& source = Load(rtf);
    std::string joined;
    size_t blocks = 0;
    size_t largest = 0;
    EXPECT_TRUE(WriteDocumentUtf8(source, *fonts, 1252, [&](std::string_view block) {
        joined.append(block);
        ++blocks;
        largest = std::max(largest, block.size());
        return true;
    }));
    EXPECT_EQ(expected, joined);
    EXPECT_GT(blocks, 3u);
    EXPECT_LE(largest, 2u * 65536);
    size_t calls = 0;
    EXPECT_FALSE(WriteDocumentUtf8(source, *fonts, 1252, [&](std::string_view) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(1u, calls);
}

TEST(Utf8Encoding, AppendsEveryPlaneAndReplacesWhatIsNoCharacter) {
    std::string out;
    for (const char32_t c : {U'A', U'\u00e9', U'\u20ac', U'\U0001F4A9', char32_t{0xD800}, char32_t{0x110000}}) {
        AppendUtf8(out, c);
    }
    EXPECT_EQ(out, "A\u00e9\u20ac\U0001F4A9\ufffd\ufffd");
}

}  // namespace
}  // namespace quillane
