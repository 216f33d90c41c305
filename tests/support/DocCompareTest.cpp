// The document comparator finds what it should, and nothing where there is
// nothing: every corpus RTF read twice compares equal, and each kind of
// change to one of two equal documents is reported.
#include <gtest/gtest.h>

#include <functional>

#include "formats/rtf/RtfFixture.h"
#include "formats/DocumentPictureSink.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"
#include "pictures/PngImage.h"
#include "support/Corpus.h"
#include "support/DocCompare.h"

namespace quillane {
namespace {

class DocCompare : public test::RtfTest {
protected:
    DocCompare() {
        messages.Answers.clear();
        services.Pictures = &pictures;
    }

    std::unique_ptr<TDocument> ReadFile(const std::filesystem::path& path) {
        auto doc = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fonts->TimesNewRomanIndex()));
        TDocOpeningOptions opening;
        opening.FileName = path.string();
        EXPECT_TRUE(LoadDocument(*doc, opening, services)) << path;
        return doc;
    }
    std::unique_ptr<TDocument> ReadText(const std::string& rtf) {
        Load(rtf);
        return std::move(document);
    }

    TDocumentPictureSink pictures;
};

TEST_F(DocCompare, EveryCorpusFileReadTwiceIsEqual) {
    QUILLANE_REQUIRE_CORPUS("rtf");
    int files = 0;
    for (const auto& path : test::CorpusFiles("rtf")) {
        SCOPED_TRACE(path.filename().string());
        const auto first = ReadFile(path);
        const auto second = ReadFile(path);
        const std::vector<std::string> differences = test::CompareDocuments(*first, *second);
        EXPECT_TRUE(differences.empty()) << test::JoinDifferences(differences);
        ++files;
    }
    EXPECT_GT(files, 10);
}

// A document with a style sheet, tab stops, information, settings and a
// picture (a 2 x 1 PNG made by the program's encoder).
std::string SampleRtf() {
    TBitmap bitmap(2, 1, 24);
    bitmap.Row(0)[0] = 0xFF;
    bitmap.Row(0)[4] = 0x80;
    TPNGImage png;
    png.AssignBitmap(std::move(bitmap));
    std::string hex;
    for (const uint8_t b : png.SaveToBytes()) {
        static const char Digits[] = "0123456789abcdef";
        hex += Digits[b >> 4];
        hex += Digits[b & 15];
    }
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
           "{\\stylesheet{\\fs24 Normal;}{\\s1\\sbasedon0\\snext0\\b\\tx1440 Head;}}"
           "{\\info{\\title T}{\\author A}}\\paperw11900\\deftab360"
           "\\pard\\s1\\tqc\\tldot\\tx2000 Hello {\\b bold}\\tab x\\par"
           "\\pard\\qj\\li720 second\\line line{\\pict\\pngblip\\picwgoal200\\pichgoal100 " +
           hex + "}\\par}";
}

struct TChange {
    const char* Name;
    std::function<void(TDocument&)> Apply;
    const char* Expected;  // a piece of the first difference reported
};

TEST_F(DocCompare, EachKindOfChangeIsReported) {
    const TChange changes[] = {
        {"paragraph text", [](TDocument& d) { d.Paragraph(0).Text[1] = 'a'; }, "paragraph 0 text differs at position 1"},
        {"attribute tag", [](TDocument& d) { d.Paragraph(1).Text.InsertTag(0, caItalic, 1); },
         "vs  |[italic=1]second"},
        {"paragraph slot", [](TDocument& d) { d.Paragraph(1).Attributes[paRightIndent] = 5; },
         "paragraph 1 right indent: 0 vs 5"},
        {"tab table content",
         [](TDocument& d) {
             TTabTable t;
             t.Add(TTabStop::Make(2000, tkRight));
             d.Paragraph(0).Attributes[paTabTable] = d.Tabs().Intern(t);
         },
         "paragraph 0 tab table: C2000. vs R2000"},
        {"style name", [](TDocument& d) { d.Styles().Style(1).Name = "Other"; }, "style 1 \"Head\" name"},
        {"style based on", [](TDocument& d) { d.Styles().Style(1).BasedOn = -1; }, "based on: 0 vs -1"},
        {"style hot key", [](TDocument& d) { d.Styles().Style(1).HotKey = 0x0341; }, "hot key: 0 vs 833"},
        {"style slot", [](TDocument& d) { d.Styles().Style(1).CharAttrs[caBold] = 0; }, "style 1 \"Head\" bold: 1 vs 0"},
        {"page", [](TDocument& d) {
             TPageSettings p = d.PageSettings();
             p.TopMargin = 1000;
             d.ApplyPageSettings(p, false);
         }, "top margin: 1440 vs 1000"},
        {"information", [](TDocument& d) { d.Information.Properties.Author = "B"; }, "author: \"A\" vs \"B\""},
        {"default tab", [](TDocument& d) { d.Tabs().SetDefaultInterval(720); }, "default tab interval: 360 vs 720"},
        {"default language", [](TDocument& d) { d.DefaultLanguage = 1031; }, "default language"},
        {"zoom", [](TDocument& d) { d.View.Zoom = 150; }, "zoom: 100 vs 150"},
        {"picture scale", [](TDocument& d) { d.Objects().Object(0).HorizontalScale = 50; }, "horizontal scale: 100 vs 50"},
        {"picture pixels",
         [](TDocument& d) {
             TBitmap b(2, 1, 24);
             b.Row(0)[1] = 0x10;
             d.Objects().Object(0).Image().Stored = [&] {
                 TPNGImage png;
                 png.AssignBitmap(std::move(b));
                 return png.SaveToBytes();
             }();
         },
         "pixels differ"},
    };
    for (const TChange& change : changes) {
        SCOPED_TRACE(change.Name);
        const auto first = ReadText(SampleRtf());
        ASSERT_EQ(first->Objects().ObjectCount(), 1);
        const auto second = ReadText(SampleRtf());
        ASSERT_TRUE(test::CompareDocuments(*first, *second).empty());
        change.Apply(*second);
        const std::vector<std::string> differences = test::CompareDocuments(*first, *second);
        ASSERT_FALSE(differences.empty());
        if (change.Expected != nullptr) {
            EXPECT_NE(differences[0].find(change.Expected), std::string::npos) << test::JoinDifferences(differences);
        }
    }
}

TEST_F(DocCompare, EqualTabTablesAtOtherPoolIndexesAreEqual) {
    // The first document interns another table first, so its paragraph
    // refers to the same stops under pool index 1 instead of 0.
    const auto first = ReadText("{\\rtf1\\ansi\\pard\\tx99 x\\par\\pard\\tqc\\tldot\\tx2000 y\\par}");
    first->RemoveParagraph(0);
    const auto second = ReadText("{\\rtf1\\ansi\\pard\\tqc\\tldot\\tx2000 y\\par}");
    ASSERT_NE(first->Paragraph(0).Attributes[paTabTable], second->Paragraph(0).Attributes[paTabTable]);
    const std::vector<std::string> differences = test::CompareDocuments(*first, *second);
    EXPECT_TRUE(differences.empty()) << test::JoinDifferences(differences);
}

TEST_F(DocCompare, DifferencesStopAtTheLimit) {
    const auto first = ReadText("{\\rtf1\\ansi a\\par b\\par c\\par d\\par}");
    const auto second = ReadText("{\\rtf1\\ansi w\\par x\\par y\\par z\\par}");
    const std::vector<std::string> differences = test::CompareDocuments(*first, *second, {.MaxDifferences = 2});
    ASSERT_EQ(differences.size(), 3u);
    EXPECT_EQ(differences[2], "(further differences left out)");
}

}  // namespace
}  // namespace quillane
