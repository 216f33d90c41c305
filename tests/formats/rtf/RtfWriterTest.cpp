// The RTF writer: the exact words for the cases where their choice matters,
// and documents written and read back.
#include <gtest/gtest.h>

#include <string>

#include "formats/PlainText.h"
#include "formats/rtf/RtfFixture.h"
#include "formats/DocumentPictureSink.h"
#include "formats/rtf/RtfWriter.h"
#include "pictures/DocObject.h"
#include "pictures/DocObjectImage.h"
#include "pictures/Metafile.h"
#include "pictures/ObjectManager.h"
#include "pictures/PngImage.h"
#include "support/Corpus.h"
#include "support/DocCompare.h"

namespace quillane::test {
namespace {

class RtfWriterTest : public RtfTest {
protected:
    RtfWriterTest() { services.Pictures = &pictureSink; }

    // Writes the range (the whole document by default) to memory.
    std::string Write(const TDocument& doc, bool raw, const TDocSavingOptions* range = nullptr) {
        TFlexibleString memory;
        TDocSavingOptions saving = range != nullptr ? *range : TDocSavingOptions::WholeDocument(doc, dfRtf);
        TWriteSink sink(memory);
        TRtfWriterOptions writer;
        writer.SuperCompact = raw;
        EXPECT_EQ(WriteSucceeded, WriteRtf(doc, sink, saving, services, writer));
        return std::string(reinterpret_cast<const char*>(memory.Data()), static_cast<size_t>(memory.Length()));
    }
    // The body: what follows \pard.
    std::string Body(const std::string& rtf) {
        const size_t at = rtf.find("\\pard");
        return at == std::string::npos ? rtf : rtf.substr(at + 5);
    }
    std::string F(int32_t index) { return "\\f" + std::to_string(index); }

    TDocumentPictureSink pictureSink;
};

TEST_F(RtfWriterTest, HelloWithoutCompactSaving) {
    TDocument& doc = Load("{\\rtf1\\ansi{\\stylesheet{Normal;}}Hello\\par}");
    const std::string out = Write(doc, false);
    const int32_t times = 0;  // the default font is the table's first, whatever its registry index
    const std::string header = "{\\rtf1\\ansi\\deflang0{\\fonttbl{" + F(times) +
                               "\\froman\\fcharset0\\fprq2 Times New Roman;}";
    ASSERT_EQ(0u, out.find(header.substr(0, header.size() - 28))) << out;
    EXPECT_EQ(std::string::npos, out.find("colortbl"));
    EXPECT_NE(std::string::npos, out.find("{\\stylesheet{")) << out;
    EXPECT_NE(std::string::npos, out.find(" Normal;}}{\\info}")) << out;
    EXPECT_NE(std::string::npos, out.find("\\useltbaln\\plain" + F(times) + "\\fs24\\pard")) << out;
    EXPECT_EQ(" Hello\\par\r\n}", Body(out)) << out;
}

TEST_F(RtfWriterTest, CompactSavingWritesHighBytesAndParagraphEndsRaw) {
    TDocument& doc = Load("{\\rtf1\\ansi caf\\'e9\\par}");
    EXPECT_EQ(" caf\xe9\\\r}", Body(Write(doc, true)));
    EXPECT_EQ(" caf\\'e9\\par\r\n}", Body(Write(doc, false)));
}

TEST_F(RtfWriterTest, LocalChangesAreGroupsAndLastingOnesAreWords) {
    struct TCase {
        const char* In;
        const char* Body;
    };
    const TCase cases[] = {
        {"{\\rtf1 a {\\b bold} word\\par}", " a {\\b bold} word\\par\r\n}"},
        {"{\\rtf1 a \\b bold to the end\\par\\b0 next\\par}", " a \\b bold to the end\\par\r\n\\b0 next\\par\r\n}"},
        {"{\\rtf1 a {\\b\\i both} {\\i one}\\par}", " a {\\b\\i both} {\\i one}\\par\r\n}"},
        // Undone only in part: no group, the words stand.
        {"{\\rtf1 a \\b\\i x\\i0 y\\b0 z\\par}", " a \\b\\i x\\i0 y\\b0 z\\par\r\n}"},
        {"{\\rtf1 \\fs24 x{\\fs20 1}\\par}", " x{\\fs20 1}\\par\r\n}"},
        {"{\\rtf1 a\\~b\\_c\\-d\\emdash\\endash\\tab e\\line f\\page\\par}",
         " a\\~b\\_c\\-d\\emdash\\endash\\tab e\\line f\\page\\par\r\n}"},
        {"{\\rtf1 back\\\\slash \\{braces\\}\\par}", " back\\\\slash \\{braces\\}\\par\r\n}"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Body, Body(Write(Load(c.In), false))) << c.In;
    }
}

TEST_F(RtfWriterTest, DoubleByteTextKeepsItsPairs) {
    // Shift-JIS pairs whose lead byte is 0x96 (an en dash on its own) and
    // whose trail byte is a backslash or a brace.
    const std::string in = "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 a\\'96\\'5c\\'96\\'7bb\\'97\\'41\\par}";
    TDocument& doc = Load(in);
    const std::vector<std::string> text = ParagraphTexts(doc);
    for (const bool raw : {true, false}) {
        const std::unique_ptr<TDocument> original = std::move(document);
        const std::string written = Write(*original, raw);
        EXPECT_NE(std::string::npos, written.find("\\'96\\'5c\\'96\\'7b")) << written;
        EXPECT_EQ(raw, written.find("b\x97\x41") != std::string::npos) << written;  // a plain pair stays raw
        EXPECT_EQ(text, ParagraphTexts(Load(written))) << written;
    }
}

TEST_F(RtfWriterTest, SymbolFontBytesStayGlyphs) {
    TDocument& doc = Load("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\f1\\u61600?\\u61590?\\f0 x\\par}");
    ASSERT_EQ("\xa0\x96x", ParagraphTexts(doc)[0].substr(0, 3));
    for (const bool raw : {true, false}) {
        const std::unique_ptr<TDocument> original = std::move(document);
        EXPECT_EQ(ParagraphTexts(*original), ParagraphTexts(Load(Write(*original, raw))));
    }
}

TEST_F(RtfWriterTest, ParagraphFormatsAsDifferences) {
    // The same format twice writes nothing the second time; switching keep
    // with next off needs \pard and the whole difference from the reset.
    TDocument& doc = Load("{\\rtf1\\pard\\li720\\keepn\\sb120 one\\par two\\par\\pard\\li720\\sb120 three\\par}");
    const std::string body = Body(Write(doc, false));
    EXPECT_EQ("\\li720\\keepn\\sb120 one\\par\r\ntwo\\par\r\n\\pard\\li720\\sb120 three\\par\r\n}", body);
}

TEST_F(RtfWriterTest, TabStopsOfEveryKind) {
    TDocument& doc = Load(
        "{\\rtf1\\pard\\tx720\\tqc\\tldot\\tx2880\\tqr\\tlhyph\\tx4320\\tqdec\\tlul\\tx5760\\tb6480 a\\tab b\\par}");
    EXPECT_EQ("\\tx720\\tqc\\tldot\\tx2880\\tqr\\tlhyph\\tx4320\\tqdec\\tlul\\tx5760\\tb6480 a\\tab b\\par\r\n}",
              Body(Write(doc, false)));
}

TEST_F(RtfWriterTest, DefaultPageWritesNoPageWords) {
    TDocument& doc = Load("{\\rtf1\\paperw12240\\paperh15840\\margl1800\\margr1800\\margt1440\\margb1440 x\\par}");
    const std::string out = Write(doc, false);
    for (const char* word : {"\\paperw", "\\paperh", "\\margl", "\\margr", "\\margt", "\\margb", "\\lndscpsxn"}) {
        EXPECT_EQ(std::string::npos, out.find(word)) << word;
    }
    TDocument& a4 = Load("{\\rtf1\\paperw11906\\paperh16838\\margl1134\\lndscpsxn x\\par}");
    const std::string written = Write(a4, false);
    EXPECT_NE(std::string::npos, written.find("\\paperw11906\\paperh16838\\margl1134\\lndscpsxn")) << written;
}

TEST_F(RtfWriterTest, StyleSheet) {
    TDocument& doc = Load(
        "{\\rtf1{\\stylesheet{\\fs20 Normal;}{\\s1\\sbasedon0\\snext0\\b\\fs32\\keepn Heading 1;}"
        "{\\s2\\sbasedon1\\snext2{\\*\\keycode \\shift\\ctrl \\fn5}\\i My style;}}\\s1 Title\\par}");
    const std::string out = Write(doc, false);
    // Built-in names the files spell in lower case are written so.
    EXPECT_NE(std::string::npos, out.find(" heading 1;}")) << out;
    EXPECT_NE(std::string::npos, out.find("{\\*\\keycode \\shift\\ctrl\\fn5}")) << out;
    // The whole formatting for other readers, then exactly what the style changes.
    EXPECT_NE(std::string::npos, out.find("\\sbasedon1\\snext2\\fs32\\b\\i\\keepn{\\*\\stloverrides\\i} My style;}"))
        << out;
    EXPECT_NE(std::string::npos, Body(out).find("\\s1 Title")) << out;
}

// Documents whose every part the reader gives back as it was.
TEST_F(RtfWriterTest, ReadBackGivesTheSameDocument) {
    const char* const inputs[] = {
        "{\\rtf1{\\stylesheet{\\fs20 Normal;}{\\s1\\sbasedon0\\snext0\\tx1440\\tqr\\tx4000 Tabbed;}"
        "{\\s2\\sbasedon1\\snext2{\\*\\pn\\pnlvlblt\\pnf3} Bulleted;}{\\s3\\sbasedon1\\snext3\\keepn Keep;}"
        "{\\s4\\sbasedon3\\snext4{\\*\\stloverrides\\keepn0} Loose;}}\\s1 a\\par\\s2 b\\par\\s4 c\\par}",
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\cf1 red {\\highlight2 marked}"
        "\\cf0\\par\\super 2\\nosupersub\\sub x\\expndtw-30 y\\up6 z\\dn4 w\\kerning28 k\\lang1036 fr\\par}",
        "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}\\f1\\fs30 big {\\f0 sans}\\par"
        "\\pard\\qc\\fi-360\\li720\\ri360\\sl-300\\slmult0\\sb60\\sa80\\keep\\pagebb centred\\par"
        "\\pard\\nowidctlpar\\qj justified\\par\\pard\\tx500\\tqdec\\tx3000 last\\tab 1.5}",
        "{\\rtf1{\\info{\\title T\\{1\\}}{\\subject S}{\\author A}{\\operator O}{\\*\\company C}{\\keywords K}"
        "{\\doccomm D}{\\creatim\\yr2001\\mo2\\dy3\\hr4\\min5\\sec6}}\\viewscale150\\viewzk2\\deftab360 x\\par}",
        "{\\rtf1\\pard{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb\\'b7}}one\\par two\\par\\pard three\\par}",
    };
    for (const char* input : inputs) {
        for (const bool raw : {true, false}) {
            Load(input);
            const std::unique_ptr<TDocument> original = std::move(document);
            for (int32_t i = 0; i < original->ParagraphCount(); ++i) {
                original->Paragraph(i).Normalize();  // as the program holds it before a save
            }
            const std::string written = Write(*original, raw);
            TDocument& back = Load(written);
            ASSERT_TRUE(loaded) << written;
            TDocCompareOptions compare;
            compare.BitmapsMayBecomeMetafiles = !raw;
            EXPECT_EQ("", JoinDifferences(CompareDocuments(*original, back, compare))) << written;
            EXPECT_EQ(Write(*original, raw), Write(back, raw)) << "a second write differs";
        }
    }
}

TEST_F(RtfWriterTest, SelectionEndingInsideAParagraph) {
    TDocument& doc = Load("{\\rtf1 first\\par second\\par}");
    TDocSavingOptions range = TDocSavingOptions::WholeDocument(doc, dfRtf);
    range.FirstParagraph = 0;
    range.FirstOffset = 2;
    range.LastParagraph = 1;
    range.LastOffset = 3;
    EXPECT_EQ(" rst\\par\r\nsec\r\n}", Body(Write(doc, false, &range)));  // memory: the range as it is
    TMemoryFile file("");
    TWriteSink sink(file, "out.rtf", dfRtf, services);
    ASSERT_EQ(WriteSucceeded, WriteRtf(doc, sink, range, services, TRtfWriterOptions{false, false}));
    EXPECT_EQ(" rst\\par\r\nsec\r\n\\par}", Body(file.Bytes()));  // a file ends with a whole paragraph
}

TEST_F(RtfWriterTest, CaretPositionIsSavedWhenAsked) {
    TDocument& doc = Load("{\\rtf1 one\\par two\\par}");
    doc.View.Caret.Position = TTextPosition{1, 2};
    doc.View.ScrollY = 40;
    TFlexibleString memory;
    TWriteSink sink(memory);
    TRtfWriterOptions writer;
    writer.SaveCaretPosition = true;
    ASSERT_EQ(WriteSucceeded, WriteRtf(doc, sink, TDocSavingOptions::WholeDocument(doc, dfRtf), services, writer));
    const std::string out(reinterpret_cast<const char*>(memory.Data()), static_cast<size_t>(memory.Length()));
    EXPECT_NE(std::string::npos, out.find("\\dskparnr1\\dskcharnr2\\dsklefttopy40}")) << out;
    Load(out);
    EXPECT_EQ((TTextPosition{1, 2}), options.StoredCaret);
}

TBytes SmallPng() {
    TBitmap bitmap(3, 2, 32);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            uint8_t* p = bitmap.Row(y) + x * 4;
            p[0] = static_cast<uint8_t>(40 * x);
            p[1] = static_cast<uint8_t>(100 * y);
            p[2] = 200;
            p[3] = x == 2 ? 128 : 255;
        }
    }
    TPNGImage png;
    png.AssignBitmap(std::move(bitmap));
    return png.SaveToBytes();
}

std::string Hex(const TBytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const uint8_t b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

TEST_F(RtfWriterTest, PicturesKeepTheirData) {
    const TBytes png = SmallPng();
    const std::string emf = "0100000064000000" + std::string(192, '0');  // an EMF header record's start
    Load("{\\rtf1 a{\\pict\\pngblip\\picwgoal600\\pichgoal400\\picscalex50 " + Hex(png) +
                          "}b{\\pict\\wmetafile8\\picw2000\\pich1000 0100090000030a0000000000030000000000}c\\par}");
    const std::unique_ptr<TDocument> original = std::move(document);
    const TDocument& doc = *original;
    ASSERT_EQ(2, doc.Objects().ObjectCount());
    const std::string raw = Write(doc, true);
    EXPECT_NE(std::string::npos, raw.find("{\\pict\\pngblip\\picw1058\\pich706\\picwgoal600\\pichgoal400\\picscalex50 " +
                                          Hex(png) + "}"))
        << raw;
    EXPECT_NE(std::string::npos, raw.find("{\\pict\\wmetafile8\\picw2000\\pich1000")) << raw;
    TDocument& back = Load(raw);
    ASSERT_EQ(2, back.Objects().ObjectCount());
    EXPECT_EQ(600, back.Objects().Object(0).Width);
    EXPECT_EQ(50, back.Objects().Object(0).HorizontalScale);
    EXPECT_TRUE(back.Objects().Object(0).Image().Pixels() == doc.Objects().Object(0).Image().Pixels());
    EXPECT_EQ(doc.Objects().Object(1).Image().MetafileData(), back.Objects().Object(1).Image().MetafileData());

    // For old readers a bitmap becomes a Windows metafile of the same size.
    const std::string escaped = Write(doc, false);
    EXPECT_NE(std::string::npos, escaped.find("{\\pict\\wmetafile8\\picw1058\\pich706\\picwgoal600")) << escaped;
    TDocument& old = Load(escaped);
    ASSERT_EQ(2, old.Objects().ObjectCount());
    const TDocObjectImage& image = old.Objects().Object(0).Image();
    ASSERT_TRUE(image.WindowsMetafile);
    const TMetafileInfo info = ReadMetafileHeader(image.MetafileData());
    EXPECT_EQ(TMetafileKind::Windows, info.Kind) << "the metafile's header is sound";
    EXPECT_EQ(600, old.Objects().Object(0).Width);
}

TEST_F(RtfWriterTest, JpegPicturesAreWrittenAsJpeg) {
    QUILLANE_REQUIRE_CORPUS("jpeg");
    const std::string jpeg = ReadWholeFile(*CorpusFolder("jpeg") / "pillow__hopper.jpg");
    TDocument& doc = Load("{\\rtf1{\\pict\\jpegblip\\picwgoal1920\\pichgoal1920 " +
                          Hex(TBytes(jpeg.begin(), jpeg.end())) + "}\\par}");
    ASSERT_EQ(1, doc.Objects().ObjectCount());
    const std::string out = Write(doc, true);
    EXPECT_NE(std::string::npos, out.find("\\jpegblip")) << out.substr(0, 400);
    EXPECT_NE(std::string::npos, out.find(Hex(TBytes(jpeg.begin(), jpeg.end()))));
}

TEST_F(RtfWriterTest, ObjectsKeepTheirDataAndResult) {
    const TBytes png = SmallPng();
    TDocument& doc = Load("{\\rtf1 x{\\object\\objemb{\\*\\objclass Paint.Picture}{\\*\\objname Pic 1}"
                          "{\\*\\objdata 01050000020000000b}{\\result{\\pict\\pngblip\\picwgoal300\\pichgoal200 " +
                          Hex(png) + "}}}y\\par}");
    ASSERT_EQ(1, doc.Objects().ObjectCount());
    const std::string out = Write(doc, true);
    EXPECT_NE(std::string::npos,
              out.find("{\\object\\objemb{\\*\\objclass Paint.Picture}{\\*\\objname Pic 1}{\\*\\objdata "
                       "01050000020000000b}{\\result{\\pict\\pngblip"))
        << out;
    TDocument& back = Load(out);
    ASSERT_EQ(1, back.Objects().ObjectCount());
    const auto& ole = dynamic_cast<const TDocOLEObject&>(back.Objects().Object(0));
    EXPECT_EQ("Paint.Picture", ole.ClassName);
    EXPECT_EQ((TBytes{1, 5, 0, 0, 2, 0, 0, 0, 0x0b}), ole.Data);
    EXPECT_EQ(300, ole.Width);
}

}  // namespace
}  // namespace quillane::test
