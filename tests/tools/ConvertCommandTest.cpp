#include "ConvertCommand.h"

#include <gtest/gtest.h>

#include <sstream>

#include "formats/DocumentFormat.h"
#include "pictures/PngImage.h"
#include "support/Corpus.h"
#include "support/FakeFontSystem.h"

namespace quillane {
namespace {

TEST(ConvertArguments, Parsing) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        int32_t from, to;
        std::string errorPart;
    };
    const Case cases[] = {
        {{"in.txt", "out.txt"}, true, dfDetect, dfAnsiText, ""},
        {{"--from", "dostxt", "in", "out.TXT"}, true, dfDosText, dfAnsiText, ""},
        {{"in", "out.dat", "--to", "dostxt"}, true, dfDetect, dfDosText, ""},
        {{"in", "out.dat"}, false, 0, 0, "use --to"},
        {{"--to", "ps", "in", "out"}, false, 0, 0, "unknown format"},
        {{"--to"}, false, 0, 0, "needs a value"},
        {{"in"}, false, 0, 0, "input and an output"},
        {{"--bogus", "a", "b"}, false, 0, 0, "unknown option"},
        {{"--oem-cp", "x66", "a", "b.txt"}, false, 0, 0, "bad code page"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::string error;
        const auto request = ParseConvertArguments(c.args, error);
        ASSERT_EQ(c.ok, request.has_value()) << error;
        if (c.ok) {
            EXPECT_EQ(c.from, request->From);
            EXPECT_EQ(c.to, request->To);
        } else {
            EXPECT_NE(std::string::npos, error.find(c.errorPart)) << error;
        }
    }
    std::string error;
    const auto picture = ParseConvertArguments({"--picture", "in.jpg", "out.dat"}, error);
    ASSERT_TRUE(picture) << error;
    EXPECT_EQ(TConvertRequest::TAction::Picture, picture->Action);
    EXPECT_EQ("out.dat", picture->Output);
    EXPECT_FALSE(ParseConvertArguments({"--picture", "in.jpg"}, error));
    const auto info = ParseConvertArguments({"--info", "--oem-cp", "866", "x.txt"}, error);
    ASSERT_TRUE(info);
    EXPECT_EQ(TConvertRequest::TAction::Info, info->Action);
    EXPECT_EQ(866, info->OemCodePage);
}

TEST(ConvertCommand, ConvertsAndDescribes) {
    test::TTempFolder folder;
    test::WriteWholeFile(folder.File("in.txt"), "one\ntwo\n\nthree\xA0");
    TConvertRequest request;
    request.Input = folder.File("in.txt");
    request.Output = folder.File("out.txt");
    request.To = dfDosText;
    std::ostringstream out, err;
    ASSERT_EQ(0, RunConvert(request, out, err)) << err.str();
    EXPECT_EQ("one\r\ntwo\r\n\r\nthree ", test::ReadWholeFile(folder.File("out.txt")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.txt.part0")));

    // Converting again replaces the earlier output.
    test::WriteWholeFile(folder.File("in.txt"), "again");
    ASSERT_EQ(0, RunConvert(request, out, err)) << err.str();
    EXPECT_EQ("again", test::ReadWholeFile(folder.File("out.txt")));

    test::WriteWholeFile(folder.File("in.txt"), "one\ntwo\n\nthree\xA0");
    request.Action = TConvertRequest::TAction::Info;
    ASSERT_EQ(0, RunConvert(request, out, err));
    EXPECT_EQ("format: ANSI Plain Text\nparagraphs: 4\ncharacters: 12\ndata losses: no\npages: 1\n", out.str());
}

TEST(ConvertCommand, ReadsWordDocumentsByContent) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    test::TTempFolder folder;
    struct TCase {
        const char* Sub;
        const char* Name;
        const char* Info;
    } cases[] = {
        {"doc97", "wv__italic.doc", "format: MS Word 97/2000\nparagraphs: 1\ncharacters: 18\ndata losses: no\n"},
        // A Word 6 file whatever its extension.
        {"doc6", "skmemory__readme.wri", "format: MS Word 6.0/95\n"},
        // Pictures are kept; embedded objects are not.
        {"doc97", "poi__document_two_images.doc", "data losses: no\n"},
        {"doc97", "poi__document_word_with_embeded.doc", "data losses: yes\n"},
    };
    for (const TCase& c : cases) {
        TConvertRequest request;
        request.Action = TConvertRequest::TAction::Info;
        request.Input = (*test::CorpusFolder(c.Sub) / c.Name).string();
        std::ostringstream out, err;
        ASSERT_EQ(0, RunConvert(request, out, err)) << err.str();
        EXPECT_NE(std::string::npos, out.str().find(c.Info)) << c.Name << ": " << out.str();
    }
    TConvertRequest request;
    request.Input = (*test::CorpusFolder("doc97") / "wv__italic.doc").string();
    request.Output = folder.File("italic.txt");
    request.To = dfAnsiText;
    std::ostringstream out, err;
    ASSERT_EQ(0, RunConvert(request, out, err)) << err.str();
    EXPECT_EQ("Italic normal text", test::ReadWholeFile(folder.File("italic.txt")));
}

// The page of a Word document with two small red pictures (one from JPEG,
// one from PNG) beside black text: the pictures are painted.
TEST(ConvertCommand, PageImagesShowWordPictures) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    test::TTempFolder folder;
    TConvertRequest request;
    request.Action = TConvertRequest::TAction::Images;
    request.Input = (*test::CorpusFolder("doc97") / "poi__document_two_images.doc").string();
    request.Output = folder.File("page");
    std::ostringstream out, err;
    ASSERT_EQ(0, RunConvert(request, out, err)) << err.str();
    const std::string bytes = test::ReadWholeFile(folder.File("page-1.png"));
    TPNGImage page;
    page.LoadFromBytes(AsBytes(bytes));
    int red = 0;
    for (int32_t y = 0; y < page.Bitmap.Height(); ++y) {
        for (int32_t x = 0; x < page.Bitmap.Width(); ++x) {
            const TRgba p = page.Bitmap.PixelAt(x, y);
            red += p.Red > 150 && p.Green < 100 && p.Blue < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 40);
}

TEST(ConvertCommand, ListsStyles) {
    std::string error;
    const auto parsed = ParseConvertArguments({"--styles", "a.txt"}, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(TConvertRequest::TAction::Styles, parsed->Action);
    EXPECT_FALSE(ParseConvertArguments({"--styles", "a.txt", "b.txt"}, error));
    EXPECT_NE(std::string::npos, error.find("--styles takes one file"));

    test::TTempFolder folder;
    test::WriteWholeFile(folder.File("in.txt"), "text\n");
    TConvertRequest request;
    request.Action = TConvertRequest::TAction::Styles;
    request.Input = folder.File("in.txt");
    std::ostringstream out, err;
    ASSERT_EQ(0, RunConvert(request, out, err)) << err.str();
    EXPECT_EQ("0\tNormal\t-1\t0\tfont: Arial; font size: 10 pt\n", out.str());
}

TEST(ConvertCommand, ReadsRtfAndWritesUtf8ThroughTheFontsCodePages) {
    test::TTempFolder folder;
    test::WriteWholeFile(folder.File("doc.rtf"),
                         "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}{\\f2\\fcharset2 Symbol;}}"
                         "caf\\'e9 \\f1\\'cf\\'f0\\f2 a\\'b7\\f0\\par{\\header lost}\\tab x}");
    std::string error;
    auto request = ParseConvertArguments({"--to", "utf8", folder.File("doc.rtf"), folder.File("out")}, error);
    ASSERT_TRUE(request) << error;
    std::ostringstream out, err;
    ASSERT_EQ(0, RunConvert(*request, out, err)) << err.str();
    EXPECT_EQ("caf\u00e9 \u041f\u0440\u03b1\u2022\n\tx\n", test::ReadWholeFile(folder.File("out")));

    request = ParseConvertArguments({"--info", folder.File("doc.rtf")}, error);
    ASSERT_TRUE(request) << error;
    ASSERT_EQ(0, RunConvert(*request, out, err)) << err.str();
    EXPECT_EQ("format: Rich Text Format\nparagraphs: 2\ncharacters: 11\ndata losses: yes\npages: 1\n", out.str());

    // UTF-8 is written, not read.
    EXPECT_FALSE(ParseConvertArguments({"--from", "utf8", "a", "b.txt"}, error));
}

TEST(ConvertCommand, WritesRtfThatReadsBackTheSame) {
    test::TTempFolder folder;
    test::WriteWholeFile(folder.File("doc.rtf"),
                         "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}}"
                         "caf\\'e9 {\\b bold} \\f1\\'cf\\'f0\\par second\\tab x}");
    std::string error;
    for (const bool escaped : {false, true}) {
        std::vector<std::string> args = {folder.File("doc.rtf"), folder.File("out.rtf")};
        if (escaped) {
            args.insert(args.begin(), "--escaped");
        }
        auto request = ParseConvertArguments(args, error);
        ASSERT_TRUE(request) << error;
        EXPECT_EQ(dfRtf, request->To);  // from the extension
        std::ostringstream out, err;
        ASSERT_EQ(0, RunConvert(*request, out, err)) << err.str();
        const std::string written = test::ReadWholeFile(folder.File("out.rtf"));
        EXPECT_EQ(escaped, written.find("caf\\'e9") != std::string::npos) << written;
        EXPECT_NE(std::string::npos, written.find("{\\b bold}")) << written;

        request = ParseConvertArguments({"--to", "utf8", folder.File("out.rtf"), folder.File("out")}, error);
        ASSERT_TRUE(request) << error;
        ASSERT_EQ(0, RunConvert(*request, out, err)) << err.str();
        EXPECT_EQ("caf\u00e9 bold \u041f\u0440\nsecond\tx\n", test::ReadWholeFile(folder.File("out")));
    }
}

TEST(ConvertCommand, FailuresLeaveTheOutputUntouched) {
    test::TTempFolder folder;
    test::WriteWholeFile(folder.File("out.txt"), "precious");
    // A folder cannot be read as a document.
    std::filesystem::create_directory(folder.File("folder.rtf"));
    TConvertRequest request;
    request.Output = folder.File("out.txt");
    request.To = dfAnsiText;
    for (const std::string& input : {folder.File("missing.txt"), folder.File("folder.rtf")}) {
        SCOPED_TRACE(input);
        request.Input = input;
        std::ostringstream out, err;
        EXPECT_EQ(1, RunConvert(request, out, err));
        EXPECT_FALSE(err.str().empty());
        EXPECT_EQ("precious", test::ReadWholeFile(folder.File("out.txt")));
    }
    // A folder where the output should go cannot be replaced.
    std::filesystem::create_directory(folder.File("dir.txt"));
    test::WriteWholeFile(folder.File("in.txt"), "x");
    request.Input = folder.File("in.txt");
    request.Output = folder.File("dir.txt");
    std::ostringstream out, err;
    EXPECT_EQ(1, RunConvert(request, out, err));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("dir.txt")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("dir.txt.part0")));
}

TEST(ConvertCommand, ListsTheFontFamilies) {
    std::string error;
    const auto request = ParseConvertArguments({"--fonts"}, error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(TConvertRequest::TAction::Fonts, request->Action);
    EXPECT_FALSE(ParseConvertArguments({"--fonts", "x.txt"}, error));
    EXPECT_NE(std::string::npos, error.find("--fonts takes no file"));

    test::TFakeFontSystem fonts;
    fonts.Faces = {
        {"Zeta", {0, 204}, VariablePitch | FamilySwiss, true, {}},
        {"Bitmap", {0}, FixedPitch | FamilyModern, false, {}},
        {"alpha", {2}, VariablePitch | FamilyDecorative, true, {}},
    };
    std::ostringstream out, err;
    EXPECT_EQ(0, RunConvert(*request, out, err, &fonts));
    EXPECT_EQ("alpha\t2\t82\nZeta\t0\t34\n", out.str());
    EXPECT_EQ("", err.str());
}

}  // namespace
}  // namespace quillane

namespace quillane {
namespace {

TEST(ConvertCommand, PageImageOptions) {
    struct Case {
        std::vector<std::string> args;
        bool valid;
        int32_t zoom, first, last;
    };
    const Case cases[] = {
        {{"--to", "png", "in.txt", "out"}, true, 100, 1, INT32_MAX},
        {{"--to", "png", "--zoom", "250", "--pages", "2-4", "in.txt", "out"}, true, 250, 2, 4},
        {{"--to", "png", "--pages", "3", "in.txt", "out"}, true, 100, 3, 3},
        {{"--to", "png", "--zoom", "0", "in.txt", "out"}, false, 0, 0, 0},
        {{"--to", "png", "--zoom", "501", "in.txt", "out"}, false, 0, 0, 0},
        {{"--to", "png", "--pages", "4-2", "in.txt", "out"}, false, 0, 0, 0},
        {{"--to", "png", "--pages", "2-x", "in.txt", "out"}, false, 0, 0, 0},
        {{"--to", "png", "in.txt"}, false, 0, 0, 0},
        {{"--to", "pdf", "--pages", "2-3", "in.txt", "out.pdf"}, true, 100, 2, 3},
        {{"--to", "pdf", "in.txt", "out.pdf"}, true, 100, 1, INT32_MAX},
        {{"--to", "pdf", "in.txt"}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto request = ParseConvertArguments(c.args, error);
        ASSERT_EQ(c.valid, request.has_value()) << error;
        if (request) {
            EXPECT_EQ(c.args[1] == "pdf" ? TConvertRequest::TAction::Pdf : TConvertRequest::TAction::Images,
                      request->Action);
            EXPECT_EQ(c.zoom, request->Zoom);
            EXPECT_EQ(c.first, request->FirstPage);
            EXPECT_EQ(c.last, request->LastPage);
        }
    }
}

}  // namespace
}  // namespace quillane
