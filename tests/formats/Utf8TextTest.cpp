// The UTF-8 export: each run decoded through its font's code page.
#include <gtest/gtest.h>

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

TEST(Utf8Encoding, AppendsEveryPlaneAndReplacesWhatIsNoCharacter) {
    std::string out;
    for (const char32_t c : {U'A', U'\u00e9', U'\u20ac', U'\U0001F4A9', char32_t{0xD800}, char32_t{0x110000}}) {
        AppendUtf8(out, c);
    }
    EXPECT_EQ(out, "A\u00e9\u20ac\U0001F4A9\ufffd\ufffd");
}

}  // namespace
}  // namespace quillane
