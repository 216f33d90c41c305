// Text as the RTF reader delivers it: paragraphs, specials, escapes,
// Unicode characters, tables, dropped and kept destinations.
#include <gtest/gtest.h>

#include "formats/rtf/RtfFixture.h"
#include "model/TextStream.h"

namespace quillane {
namespace {

using Texts = std::vector<std::string>;

class RtfText : public test::RtfTest {};

TEST_F(RtfText, ParagraphsSpecialsAndEscapes) {
    struct Case {
        const char* rtf;
        Texts paragraphs;
    };
    const Case cases[] = {
        {"{\\rtf1 Hello\\par World}", {"Hello<2>", "World<2>"}},
        {"{\\rtf1 Hello\\par}", {"Hello<2>"}},  // no trailing empty paragraph
        {"{\\rtf1 a\\line b\\tab c\\page d}", {"a<3>b<5>c<4>d<2>"}},
        {"{\\rtf1 \\emdash\\endash\\~\\-\\_}", {"<10><11><8><12><9><2>"}},
        {"{\\rtf1 \\{\\}\\\\}", {"{}\\<2>"}},
        {"{\\rtf1 caf\\'e9 \\'E9}", {"caf\xE9 \xE9<2>"}},
        {"{\\rtf1 \\'e9\\'96x}", {"\xE9<11>x<2>"}},      // a special after a letter is kept
        {"{\\rtf1 a\\'01b}", {"ab<2>"}},                 // a control byte goes
        {"{\\rtf1 \x96\x97\xA0}", {"<11><10><8><2>"}},
        {"{\\rtf1 a\r\nb\tc}", {"abc<2>"}},              // raw line ends and tabs are not text
        {"{\\rtf1 a\\\r\nb}", {"a<2>", "b<2>"}},         // backslash + line end is a paragraph
        {"{\\rtf1 \\lquote\\rquote\\ldblquote\\rdblquote}", {"\x91\x92\x93\x94<2>"}},
        {"{\\rtf1 \\B x\\b0 y}", {"xy<2>"}},
        {"{\\rtf1 a\\unknownword b\\|c}", {"abc<2>"}},
        {"{\\rtf1 {\\header x}Body}", {"Body<2>"}},
        {"{\\rtf1 {\\*\\generator Riched20;}Body}", {"Body<2>"}},
        {"{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}}", {"3<2>"}},
        {"{\\rtf1 \\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row}", {"a<5>b<2>"}},
        {"{\\rtf1 {\\pntext \\'b7\\tab}{\\*\\pn\\pnlvlblt}Item\\par}", {"Item<2>"}},
        {"{\\rtf1 {\\upr{\\title ansi}{\\*\\ud{\\title uni}}}x}", {"x<2>"}},
        {"{\\rtf1 \\mac \\'8e\\'a5}", {"\xE9\xA5<2>"}},  // Mac e-acute; a bullet has no Latin-1 byte
        {"", {"<2>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        if (c.rtf[0] == 0) {
            continue;
        }
        EXPECT_EQ(Read(c.rtf), c.paragraphs);
        EXPECT_TRUE(loaded);
    }
}

TEST_F(RtfText, UnicodeCharacters) {
    struct Case {
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {"{\\rtf1 \\uc1\\u1055?}", "\xCF<2>"},           // Cyrillic Pe in 1251
        {"{\\rtf1 \\u65?}", "?<2>"},                     // below 0x80: the fallback
        {"{\\rtf1 \\u233\\'e9x}", "\xE9x<2>"},           // the fallback is skipped
        {"{\\rtf1 \\uc2\\u20320\\'c4\\'e3x}", "\xE3x<2>"},  // two fallback bytes, the last remembered
        {"{\\rtf1 \\uc0\\u8212 x}", "<10>x<2>"},         // em dash through 1252, nothing skipped
        {"{\\rtf1 \\u8212{\\b ignored}x}", "<10><2>"},  // a group is skipped but counts as no character
        {"{\\rtf1 {\\u8212}x}", "<10>x<2>"},             // the fallback never takes a group's end
        {"{\\rtf1 \\u-3913?}", "?<2>"},                  // negative: signed 16 bit, here unconvertible
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(test::PositionsText(Load(c.rtf).Paragraph(0)), c.text);
    }
}

TEST_F(RtfText, UnicodeSwitchesTheFontToTheCharacterSetOfItsCodePage) {
    TDocument& doc = Load("{\\rtf1 {\\fonttbl{\\f0\\froman Times New Roman;}}\\f0 \\uc1\\u1055?}");
    const TParagraph& p = doc.Paragraph(0);
    const TCharAttrs attrs =
        AttributesAt(p.Text, PositionToOffset(p.Text, p.PositionCount(), 0), doc.DefaultCharAttrs);
    EXPECT_EQ(fonts->Entry(attrs[caFont]).CharSet, 204);
    EXPECT_EQ(fonts->Entry(attrs[caFont]).Tag, fonts->Entry(fonts->TimesNewRomanIndex()).Tag);
}

TEST_F(RtfText, SymbolFontKeepsItsGlyphCodes) {
    TDocument& doc = Load("{\\rtf1 {\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset2 Symbol;}}\\f1 \\u-3913?}");
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "\xB7<2>");
}

TEST_F(RtfText, DoubleBytePairsStayWhole) {
    // 0x96 and 0xA0 are second bytes here, not dashes or spaces.
    TDocument& doc = Load(
        "{\\rtf1 {\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'83\\'96\\'88\\'a0\\uc2\\u26085\\'93\\'fa}");
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "\x83\x96\x88\xA0\x93\xFA<2>");
}

TEST_F(RtfText, TablesHeadersAndFootnotesMarkDataLosses) {
    struct Case {
        const char* rtf;
        bool lost;
    };
    const Case cases[] = {
        {"{\\rtf1 plain\\par}", false},
        {"{\\rtf1 \\trowd\\cellx1000 a\\cell\\row}", true},
        {"{\\rtf1 {\\header x}y}", true},
        {"{\\rtf1 {\\footerl x}y}", true},
        {"{\\rtf1 y{\\footnote x}}", true},
        {"{\\rtf1 {\\pict\\pngblip 89504e47}y}", true},  // no one took the picture
        {"{\\rtf1 {\\pict\\picw10}y}", false},           // nothing to show, nothing lost
        {"{\\rtf1 {\\*\\generator x;}y}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(Load(c.rtf).OpenedWithDataLosses, c.lost);
    }
}

TEST_F(RtfText, BulletFlagCarriesOverAndSkipsLaterBulletText) {
    TDocument& doc = Load(
        "{\\rtf1 {\\pntext \\'b7\\tab}{\\*\\pn\\pnlvlblt}One\\par {\\pntext \\'b7\\tab}Two\\par\\pard Three}");
    EXPECT_EQ(test::ParagraphTexts(doc), (Texts{"One<2>", "Two<2>", "Three<2>"}));
    EXPECT_EQ(doc.Paragraph(0).Attributes[paBullet], 1);
    EXPECT_EQ(doc.Paragraph(1).Attributes[paBullet], 1);
    EXPECT_EQ(doc.Paragraph(2).Attributes[paBullet], 0);
}

TEST_F(RtfText, CountsParagraphsAndCharacters) {
    Load("{\\rtf1 Hello\\par World}");
    EXPECT_EQ(options.ParagraphCount, 2);
    EXPECT_EQ(options.CharacterCount, 10);
}

TEST_F(RtfText, FileAndMemoryReadAlikeAcrossBufferRefills) {
    // Words, escapes and groups fall on every offset of the 64 KB refills.
    std::string rtf = "{\\rtf1 {\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}}";
    for (int i = 0; rtf.size() < 300000; ++i) {
        rtf += "{\\b\\fs" + std::to_string(20 + i % 7) + " w" + std::to_string(i) + "}\\'e9\\u1055?\\f" +
               std::to_string(i % 2) + " x";
        if (i % 13 == 0) {
            rtf += "\\par\r\n";
        }
    }
    rtf += "}";
    const Texts fromMemory = test::ParagraphTexts(Load(rtf));
    const Texts fromFile = test::ParagraphTexts(LoadFile(rtf));
    EXPECT_TRUE(loaded);
    EXPECT_GT(fromMemory.size(), 500u);
    EXPECT_EQ(fromMemory, fromFile);
}

}  // namespace
}  // namespace quillane
