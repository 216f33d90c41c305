// Character and paragraph formatting, page settings, view settings and
// document information as read from RTF.
#include <gtest/gtest.h>

#include "formats/rtf/RtfFixture.h"
#include "model/TextStream.h"

namespace quillane {
namespace {

class RtfFormatting : public test::RtfTest {
protected:
    // The attributes of the last character of paragraph i (before the
    // closing of the outermost group restores the defaults).
    TCharAttrs AttrsAtEnd(const TDocument& doc, int32_t i = 0) {
        const TParagraph& p = doc.Paragraph(i);
        const int32_t offset = PositionToOffset(p.Text, p.PositionCount(), p.PositionCount() - 2);
        return AttributesAt(p.Text, offset, doc.DefaultCharAttrs);
    }
};

TEST_F(RtfFormatting, GroupsRestoreCharacterAttributesWithTags) {
    EXPECT_EQ(Stream("{\\rtf1 a{\\fs30 b}c}"), "a[1=30]b[1=24]c<2>");
    EXPECT_EQ(Stream("{\\rtf1 \\b a\\b0 b\\B c}"), "[2=1]a[2=0]b[2=1]c<2>");
    EXPECT_EQ(Stream("{\\rtf1 \\b\\b a}"), "[2=1]a<2>");  // no tag restates a value
}

TEST_F(RtfFormatting, NumbersAreClampedToWhatTheModelHolds) {
    struct Case {
        const char* rtf;
        int slot;
        int32_t value;
    };
    const Case cases[] = {
        {"{\\rtf1 \\fs99999 x}", caSize, 2000},
        {"{\\rtf1 \\fs0 x}", caSize, 2},
        {"{\\rtf1 \\fs-40 x}", caSize, 2},
        {"{\\rtf1 \\fs999999999999999999999 x}", caSize, 2000},  // overflowing digits saturate
        {"{\\rtf1 \\b5 x}", caBold, 1},
        {"{\\rtf1 \\expnd4 x}", caExpansion, 20},
        {"{\\rtf1 \\expnd99999999 x}", caExpansion, 1584},
        {"{\\rtf1 \\expndtw-7 x}", caExpansion, -7},
        {"{\\rtf1 \\up6 x}", caOffset, 3},
        {"{\\rtf1 \\dn6 x}", caOffset, -3},
        {"{\\rtf1 \\super x}", caVerticalPosition, 1},
        {"{\\rtf1 \\sub\\nosupersub x}", caVerticalPosition, 0},
        {"{\\rtf1 \\ul x}", caUnderline, 1},
        {"{\\rtf1 \\ul\\ulnone x}", caUnderline, 0},
        {"{\\rtf1 \\deleted x}", caStrikeOut, 1},
        {"{\\rtf1 \\lang1049 x}", caLanguage, 1049},
        {"{\\rtf1 \\lang99999999 x}", caLanguage, 0xFFFF},
        {"{\\rtf1 \\kerning2 x}", caKerning, 2},
        {"{\\rtf1 \\fs12-34 x}", caSize, 2},  // read from the last digit back to the minus
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(AttrsAtEnd(Load(c.rtf))[c.slot], c.value);
    }
}

TEST_F(RtfFormatting, ParagraphFormatCarriesOverUntilPard) {
    TDocument& doc = Load("{\\rtf1 \\qc\\li720\\fi-360\\sb120\\sa240\\keepn a\\par b\\par\\pard c}");
    for (int32_t i : {0, 1}) {
        const TParAttrs& a = doc.Paragraph(i).Attributes;
        EXPECT_EQ(a[paAlignment], 1);
        EXPECT_EQ(a[paLeftIndent], 720);
        EXPECT_EQ(a[paFirstIndent], -360);
        EXPECT_EQ(a[paSpaceBefore], 120);
        EXPECT_EQ(a[paSpaceAfter], 240);
        EXPECT_EQ(a[paKeepWithNext], 1);
    }
    EXPECT_EQ(doc.Paragraph(2).Attributes[paAlignment], 0);
    EXPECT_EQ(doc.Paragraph(2).Attributes[paLeftIndent], 0);
}

TEST_F(RtfFormatting, ParagraphValues) {
    struct Case {
        const char* rtf;
        int slot;
        int32_t value;
    };
    const Case cases[] = {
        {"{\\rtf1 \\sl1000 x}", paLineSpacing, 240},
        {"{\\rtf1 \\sl-300\\slmult0 x}", paLineSpacing, -300},
        {"{\\rtf1 \\sl360\\slmult1 x}", paSpacingMultiple, 1},
        {"{\\rtf1 \\li99999999 x}", paLeftIndent, 31680},
        {"{\\rtf1 \\fi-99999999 x}", paFirstIndent, -31680},
        {"{\\rtf1 \\sa-5 x}", paSpaceAfter, 0},
        {"{\\rtf1 \\qj x}", paAlignment, 3},
        {"{\\rtf1 \\qr x}", paAlignment, 2},
        {"{\\rtf1 \\keep x}", paKeepIntact, 1},
        {"{\\rtf1 \\pagebb x}", paPageBreakBefore, 1},
        {"{\\rtf1 \\nowidctlpar x}", paWidowControl, 0},
        {"{\\rtf1 \\s7 x}", paStyle, 0},  // no style sheet: style 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(Load(c.rtf).Paragraph(0).Attributes[c.slot], c.value);
    }
}

TEST_F(RtfFormatting, TabStopsBecomeATableOfTheParagraph) {
    TDocument& doc = Load("{\\rtf1 \\tqr\\tldot\\tx5000\\tx1000\\tb3000\\tx99999999 a\\tab b\\par c}");
    const int32_t index = doc.Paragraph(0).Attributes[paTabTable];
    ASSERT_TRUE(doc.Tabs().ValidIndex(index));
    const TTabTable& table = doc.Tabs().Table(index);
    ASSERT_EQ(table.StopCount(), 4);
    EXPECT_EQ(table.Stop(0), TTabStop::Make(5000, tkRight, tlDots));
    EXPECT_EQ(table.Stop(1), TTabStop::Make(1000));  // kind and leader apply to one stop only
    EXPECT_EQ(table.Stop(2), TTabStop::Make(3000, tkBar));
    EXPECT_EQ(table.Stop(3).Position(), 31680);
    EXPECT_EQ(doc.Paragraph(1).Attributes[paTabTable], index);  // carried over
}

TEST_F(RtfFormatting, DocumentSettings) {
    TDocument& doc = Load(
        "{\\rtf1 \\deftab0\\deflang1031\\deflangcoding1049\\paperw11906\\paperh16838\\margl1000\\margr1100"
        "\\margt1200\\margb1300\\viewscale0\\viewzk2\\nowidowctrl x}");
    EXPECT_EQ(doc.Tabs().DefaultInterval(), 720);
    EXPECT_EQ(doc.DefaultLanguage, 1031);
    EXPECT_EQ(doc.DefaultLanguageCoding, 1049);
    EXPECT_EQ(doc.PageSettings().PaperWidth, 11906);
    EXPECT_EQ(doc.PageSettings().PaperHeight, 16838);
    EXPECT_EQ(doc.PageSettings().LeftMargin, 1000);
    EXPECT_EQ(doc.PageSettings().RightMargin, 1100);
    EXPECT_EQ(doc.PageSettings().TopMargin, 1200);
    EXPECT_EQ(doc.PageSettings().BottomMargin, 1300);
    EXPECT_EQ(doc.View.Zoom, 10);
    EXPECT_EQ(doc.View.ZoomKind, TZoomKind::PageWidth);
    EXPECT_EQ(doc.WidowControl, 0);
    EXPECT_EQ(doc.Paragraph(0).Attributes[paWidowControl], 0);

    EXPECT_EQ(Load("{\\rtf1 \\viewscale99999\\deftab360 x}").View.Zoom, 500);
    EXPECT_EQ(document->Tabs().DefaultInterval(), 360);
    EXPECT_EQ(Load("{\\rtf1 \\paperw-5\\margl999999999 x}").PageSettings(),
              ValidatePageSettings(TPageSettings{MinPaperSize, 15840, 0, MaxPaperSize, 1800, 1440, 1440}));
}

TEST_F(RtfFormatting, PlainReturnsToTheDefaultsAndTheDefaultLanguage) {
    EXPECT_EQ(Stream("{\\rtf1 \\deflang1031\\b\\fs30\\lang1049 a\\plain b}"),
              "[12=1031][2=1][1=30][12=1049]a[1=24][2=0][12=1031]b<2>");
}

TEST_F(RtfFormatting, NewParagraphsRepeatTheAttributesInForce) {
    TDocument& doc = Load("{\\rtf1 \\b\\fs30 a\\par b}");
    EXPECT_EQ(test::StreamText(doc.Paragraph(1).Text), "[2=1][1=30]b<2>");
}

TEST_F(RtfFormatting, InformationGroup) {
    TDocument& doc = Load(
        "{\\rtf1 {\\info{\\title The \\'e9 title}{\\author Ann}{\\operator Bob}{\\company Co}{\\subject S}"
        "{\\keywords k}{\\doccomm c}{\\creatim\\yr2001\\mo2\\dy3\\hr4\\min5}\\dskparnr1\\dskcharnr2"
        "\\dsklefttopx30\\dsklefttopy40}x\\par y}");
    EXPECT_EQ(doc.Information.Properties.Title, "The \xE9 title");
    EXPECT_EQ(doc.Information.Properties.Author, "Ann");
    EXPECT_EQ(doc.Information.Operator, "Bob");
    EXPECT_EQ(doc.Information.Company, "Co");
    EXPECT_EQ(doc.Information.Properties.Subject, "S");
    EXPECT_EQ(doc.Information.Properties.Keywords, "k");
    EXPECT_EQ(doc.Information.Properties.Comments, "c");
    // 2001-02-03 04:05 as days since 1899-12-30.
    EXPECT_NEAR(doc.Information.CreationTime, 36925.0 + (4 * 60 + 5) / 1440.0, 1e-9);
    EXPECT_EQ(options.StoredCaret, (TTextPosition{1, 2}));
    EXPECT_EQ(options.StoredScrollX, 30);
    EXPECT_EQ(options.StoredScrollY, 40);
    EXPECT_EQ(test::ParagraphTexts(doc), (std::vector<std::string>{"x<2>", "y<2>"}));

    PlaceStoredCaret(doc, options);
    EXPECT_EQ(doc.View.Caret.Position, (TTextPosition{1, 1}));  // clamped to the last character
}

TEST_F(RtfFormatting, InvalidCreationDateGivesNow) {
    TDocument& doc = Load("{\\rtf1 {\\info{\\creatim\\yr2001\\mo2\\dy30}}x}");
    EXPECT_GT(doc.Information.CreationTime, 44000.0);  // some day after 2020
}

TEST_F(RtfFormatting, SafeCopyWordsNameTheOriginal) {
    TDocument& doc = Load("{\\rtf1 {\\info{\\*\\autosavedorigfmt ms word 97}{\\*\\autosavedorigname C:\\\\a.doc}}x}");
    EXPECT_EQ(doc.Format, dfWord97);
    EXPECT_EQ(doc.FileName, "C:\\a.doc");
}

}  // namespace
}  // namespace quillane
