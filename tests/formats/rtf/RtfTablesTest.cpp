// Font, colour and style tables.
#include <gtest/gtest.h>

#include "formats/rtf/RtfFixture.h"
#include "model/TextColors.h"
#include "model/TextStream.h"

namespace quillane {
namespace {

class RtfTables : public test::RtfTest {
protected:
    // An attribute of the last character of the first paragraph.
    int32_t AttrAtEnd(const TDocument& doc, int slot) {
        const TParagraph& p = doc.Paragraph(0);
        const int32_t offset = PositionToOffset(p.Text, p.PositionCount(), p.PositionCount() - 2);
        return AttributesAt(p.Text, offset, doc.DefaultCharAttrs)[slot];
    }
    int32_t FontAtEnd(const TDocument& doc) { return AttrAtEnd(doc, caFont); }
    int32_t ColorAtEnd(const TDocument& doc, int slot = caColor) { return AttrAtEnd(doc, slot); }
};

TEST_F(RtfTables, FontTableRegistersFontsAndNumbersFindThem) {
    const std::string table =
        "{\\rtf1 {\\fonttbl{\\f5\\fswiss\\fcharset204 Arial{\\*\\panose 020b};}"
        "\\f2\\froman Courier New;{\\f9\\fnil Missing\\'e9 Face ;}{\\f3 ;}}";
    TDocument& doc = Load(table + "x}");
    const int32_t first = FontAtEnd(doc);  // the first listed font becomes current
    EXPECT_EQ(fonts->Entry(first).Name, "Arial");
    EXPECT_EQ(fonts->Entry(first).CharSet, 204);

    EXPECT_EQ(fonts->Entry(FontAtEnd(Load(table + "\\f2 x}"))).Name, "Courier New");
    EXPECT_EQ(fonts->Entry(FontAtEnd(Load(table + "\\f9 x}"))).Name, "Missing\xE9 Face");
    // A number not in the table takes the lowest-numbered entry; the
    // nameless entry was dropped.
    EXPECT_EQ(fonts->Entry(FontAtEnd(Load(table + "\\f3 x}"))).Name, "Courier New");
    EXPECT_EQ(fonts->Entry(FontAtEnd(Load(table + "\\f77 x}"))).Name, "Courier New");
}

TEST_F(RtfTables, WithoutAFontTableTheDefaultFontStays) {
    TDocument& doc = Load("{\\rtf1 \\f3 x}");
    EXPECT_EQ(FontAtEnd(doc), fonts->TimesNewRomanIndex());
}

TEST_F(RtfTables, ColorTableMapsToTheNearestTextColor) {
    const std::string table = "{\\rtf1 {\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    EXPECT_EQ(ColorAtEnd(Load(table + "\\cf1 x}")), NearestColor(0x0000FF));
    EXPECT_EQ(ColorAtEnd(Load(table + "\\cf2 x}")), NearestColor(0xFF0000));
    EXPECT_EQ(ColorAtEnd(Load(table + "\\cf0 x}")), AutoColor);       // the automatic entry
    EXPECT_EQ(ColorAtEnd(Load(table + "\\cf99 x}")), AutoColor);      // outside: entry 0
    EXPECT_EQ(ColorAtEnd(Load(table + "\\highlight1 x}"), caHighlight), NearestColor(0x0000FF));
    EXPECT_EQ(ColorAtEnd(Load("{\\rtf1 \\cf1 x}")), AutoColor);       // no table
    EXPECT_EQ(ColorAtEnd(Load("{\\rtf1 {\\colortbl\\red256\\green0\\blue0;}\\cf0 x}")),
              NearestColor(0x000000));  // only the low byte counts
}

TEST_F(RtfTables, StyleSheetBuildsTheStyleList) {
    TDocument& doc = Load(
        "{\\rtf1 {\\stylesheet{\\fs20 Normal;}{\\s1\\sbasedon222\\snext0\\b\\fs32 heading 1;}"
        "{\\s2\\sbasedon1\\snext77\\i Sub;}{\\s3\\sbasedon55\\qc Orphan;}{\\*\\cs10\\additive Default Font;}"
        "{\\s4\\ds Section;}{\\s5\\sbasedon5 Self;}{\\s6\\tx720{\\*\\keycode \\shift\\ctrl a} Keyed;}}"
        "\\s2 x\\par\\s99 y}");
    const TStyleList& list = doc.Styles();
    ASSERT_EQ(list.StyleCount(), 6);  // Normal, heading 1, Sub, Orphan, Self, Keyed
    EXPECT_EQ(list.Style(0).Name, "Normal");
    EXPECT_EQ(list.Style(1).Name, "Heading 1");  // built-in names as the program spells them
    EXPECT_EQ(list.Style(1).BasedOn, -1);      // 222: no base
    EXPECT_EQ(list.Style(1).NextStyle, 0);
    EXPECT_EQ(list.Style(2).BasedOn, 1);
    EXPECT_EQ(list.Style(2).NextStyle, -1);    // an unknown number maps to none
    EXPECT_EQ(list.Style(3).BasedOn, -1);      // unknown base: none
    EXPECT_EQ(list.Style(4).BasedOn, -1);      // based on itself: none
    EXPECT_EQ(list.Style(5).HotKey, 0x300 | 'A');
    EXPECT_TRUE(doc.Tabs().ValidIndex(list.Style(5).ParAttrs[paTabTable]));
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        EXPECT_EQ(list.Style(i).ParAttrs[paStyle], i);
    }
    EXPECT_EQ(doc.Paragraph(0).Attributes[paStyle], 2);
    EXPECT_EQ(doc.Paragraph(1).Attributes[paStyle], 0);  // not in the sheet
    // Normalised: each style keeps only what it changes.
    EXPECT_EQ(list.Style(0).CharAttrs[caSize], 20);
    EXPECT_EQ(list.Style(1).CharAttrs[caSize], 32);
    EXPECT_EQ(list.Style(1).CharAttrs[caBold], 1);
    EXPECT_EQ(list.Style(2).CharAttrs[caItalic], 1);
    EXPECT_EQ(list.Style(2).CharAttrs[caSize], UndefinedAttr);
    // Nothing the sheet said reached the text.
    EXPECT_EQ(test::StreamText(doc.Paragraph(0).Text), "x<2>");
}

TEST_F(RtfTables, StyleCyclesAreCut) {
    TDocument& doc = Load("{\\rtf1 {\\stylesheet{\\s1\\sbasedon2 A;}{\\s2\\sbasedon1 B;}}x}");
    std::vector<int32_t> chain;
    doc.Styles().Ancestors(1, chain);
    EXPECT_LE(chain.size(), 1u);
    doc.Styles().Ancestors(2, chain);
    EXPECT_LE(chain.size(), 2u);
}

TEST_F(RtfTables, StyleOverridesKeepOnlyWhatTheyName) {
    TDocument& doc = Load("{\\rtf1 {\\stylesheet{\\s1\\fs40\\qc{\\*\\stloverrides\\b} Bold only;}}x}");
    const TStyle& style = doc.Styles().Style(1);
    EXPECT_EQ(style.CharAttrs[caBold], 1);
    EXPECT_EQ(style.CharAttrs[caSize], UndefinedAttr);
    EXPECT_EQ(style.ParAttrs[paAlignment], UndefinedAttr);
    EXPECT_FALSE(options.NormalizeStyles);
}

TEST_F(RtfTables, LongStyleNamesAreCut) {
    TDocument& doc = Load("{\\rtf1 {\\stylesheet{\\s1 " + std::string(1000, 'n') + ";}}x}");
    EXPECT_EQ(doc.Styles().Style(1).Name.size(), 255u);
}

}  // namespace
}  // namespace quillane
