// Damaged and hostile input: the reader keeps what it read, or fails with
// the usual message, and never crashes, hangs or overflows its stack.
#include <gtest/gtest.h>

#include "formats/rtf/RtfFixture.h"

namespace quillane {
namespace {

class RtfHostile : public test::RtfTest {};

TEST_F(RtfHostile, DeepNestingNeitherRecursesNorLosesTheRest) {
    const std::string deep = "{\\rtf1 a" + std::string(100000, '{') + "x" + std::string(100000, '}') + "b}";
    TDocument& doc = Load(deep);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "ab<2>");  // the deepest text is dropped...
    EXPECT_TRUE(doc.OpenedWithDataLosses);                      // ...and counted as lost

    // Only opening braces, from a file: the same without an end.
    EXPECT_TRUE(test::ParagraphTexts(LoadFile("{\\rtf1 " + std::string(100000, '{'))).size() == 1);
    EXPECT_TRUE(loaded);
}

TEST_F(RtfHostile, NestedDestinationsAndTablesAreBoundedToo) {
    for (const char* opener : {"{\\fonttbl", "{\\stylesheet{", "{\\info", "{\\pict", "{\\object",
                               "{\\colortbl", "{\\field", "{\\*\\unknown", "{\\u65"}) {
        SCOPED_TRACE(opener);
        std::string rtf = "{\\rtf1 ";
        for (int i = 0; i < 20000; ++i) {
            rtf += opener;
        }
        Load(rtf);
        EXPECT_TRUE(loaded);
    }
}

TEST_F(RtfHostile, TruncatedFilesKeepWhatWasRead) {
    EXPECT_EQ(Read("{\\rtf1 Hello {\\b wor"), (std::vector<std::string>{"Hello wor<2>"}));
    EXPECT_EQ(Read("{\\rtf1 Hello\\par {\\fonttbl{\\f0 Ari"), (std::vector<std::string>{"Hello<2>"}));
    EXPECT_EQ(Read("{\\rtf1 x\\'4"), (std::vector<std::string>{"x4<2>"}));  // a broken escape is two bytes
    EXPECT_EQ(Read("{\\rtf1 x\\"), (std::vector<std::string>{"x<2>"}));
    EXPECT_EQ(Read("{\\rtf1 x\\u"), (std::vector<std::string>{"x<2>"}));
    EXPECT_EQ(Read("{\\rtf1 x\\uc1\\u1055"), (std::vector<std::string>{"x\xCF<2>"}));
    EXPECT_EQ(Read("{\\rtf1 {\\pict\\pngblip 89"), (std::vector<std::string>{"<2>"}));
}

TEST_F(RtfHostile, TextAfterTheLastGroupIsIgnored) {
    EXPECT_EQ(Read("{\\rtf1 a}b}c{d"), (std::vector<std::string>{"a<2>"}));
}

TEST_F(RtfHostile, OverlongWordsAndNumbersAreTakenWhole) {
    const std::string longWord = "{\\rtf1 \\" + std::string(5000, 'b') + " x\\fs" + std::string(5000, '9') + " y}";
    EXPECT_EQ(Read(longWord), (std::vector<std::string>{"xy<2>"}));
    EXPECT_EQ(Read("{\\rtf1 \\uc999999999\\u1055 abc}"), (std::vector<std::string>{"\xCF<2>"}));
}

TEST_F(RtfHostile, NotRtfFailsWithTheUsualMessage) {
    test::TMemoryFile file("{\\rtf1 fine}");
    TReadBuffer in(file, "x.rtf", dfRtf, services);
    document = std::make_unique<TDocument>();
    options.FileName = "x.rtf";
    // A reader started on anything but a group refuses it.
    test::TMemoryFile bad("Hello");
    TReadBuffer badIn(bad, "bad.rtf", dfRtf, services);
    badIn.Fill();
    EXPECT_FALSE(ReadRtf(*document, badIn, options, services));
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_NE(messages.Shown[0].find("raised while opening document \"x.rtf\""), std::string::npos);
}

TEST_F(RtfHostile, FiveBytesAreNotRtf) {
    Load("{\\rtf");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(options.Format, dfAnsiText);
    Load("{\\rtf1}");
    EXPECT_EQ(options.Format, dfRtf);
}

}  // namespace
}  // namespace quillane
