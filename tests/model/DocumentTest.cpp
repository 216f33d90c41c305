#include "model/Document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "model/DocumentNames.h"
#include "model/NewDocument.h"
#include "model/StyleManager.h"
#include "model/TextStream.h"
#include "model/Units.h"
#include "support/DocText.h"

namespace quillane {
namespace {

using test::TStreamBuilder;

TEST(PageSettings, ValidationClampsSizesAndMargins) {
    TPageSettings s;
    s.PaperWidth = 500;
    s.PaperHeight = 40000;
    s.LeftMargin = -5;
    s.TopMargin = 20000;
    const TPageSettings v = ValidatePageSettings(s);
    EXPECT_EQ(1440, v.PaperWidth);
    EXPECT_EQ(31680, v.PaperHeight);
    EXPECT_EQ(0, v.LeftMargin);
    EXPECT_EQ(12672, v.TopMargin);  // 40 % of the clamped height

    TPageSettings letter;
    letter.LeftMargin = 10000;
    EXPECT_EQ(4896, ValidatePageSettings(letter).LeftMargin);
}

TEST(PageSettings, PredefinedSizesMatchWithinTwentyTwipsInEitherOrientation) {
    struct Case {
        int32_t width, height;
        const char* name;
    };
    const Case cases[] = {
        {12240, 15840, "Letter, 8 1/2- by 11-inches"},
        {15840, 12240, "Letter, 8 1/2- by 11-inches"},
        {11900, 16830, "A4 Sheet, 210- by 297-mm"},
        {11850, 16838, "custom"},
        {24480, 15840, "Tabloid, 11- by 17-inches"},  // turned Tabloid comes before Ledger
        {5220, 9360, "6 3/4 Envelope, 3 5/8- by 6 1/2-inches"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        EXPECT_STREQ(c.name, PredefinedPages[FindPredefinedPage(c.width, c.height)].Name);
    }
}

TEST(Document, NewDocumentHasOneParagraphAndLetterPage) {
    TDocument document;
    EXPECT_TRUE(document.Hidden());
    ASSERT_EQ(1, document.ParagraphCount());
    EXPECT_EQ(1, document.Paragraph(0).Attributes[paWidowControl]);
    EXPECT_EQ(-1, document.Paragraph(0).Attributes[paTabTable]);
    EXPECT_EQ(12240 - 3600, document.TextWidth());
    EXPECT_EQ(TwipsToPixels(15840 - 2880, 96), document.PrintableHeight());
    EXPECT_EQ(816, document.PagePixels().PaperWidth);
    document.SetZoom(200);
    EXPECT_EQ(1632, document.ZoomedPagePixels().PaperWidth);
    EXPECT_EQ(816, document.PagePixels().PaperWidth);
}

TEST(Document, AddingAParagraphRepairsAZeroMultipleSpacing) {
    TDocument document;
    document.Paragraph(0).Attributes[paLineSpacing] = 0;
    document.AddParagraph();
    EXPECT_EQ(240, document.Paragraph(0).Attributes[paLineSpacing]);
    document.Paragraph(1).Attributes[paSpacingMultiple] = 0;  // "at least 0": natural height
    document.Paragraph(1).Attributes[paLineSpacing] = 0;
    document.AddParagraph();
    EXPECT_EQ(0, document.Paragraph(1).Attributes[paLineSpacing]);
}

TEST(Document, ChangingTheTextWidthDropsLayouts) {
    TDocument document;
    TParagraph& p = document.Paragraph(0);
    p.AddLine(std::make_unique<TParLine>(&p));
    p.LaidOut = true;
    TPageSettings same = document.PageSettings();
    same.PaperHeight = 20160;
    document.ApplyPageSettings(same, true);
    EXPECT_EQ(1, p.LineCount());
    TPageSettings narrower = same;
    narrower.LeftMargin = 2000;
    document.ApplyPageSettings(narrower, true);
    EXPECT_EQ(0, p.LineCount());
    EXPECT_FALSE(p.LaidOut);
}

class RecordingWindow final : public TDocumentWindow {
public:
    std::vector<bool>* shown;
    explicit RecordingWindow(std::vector<bool>* s) : shown(s) {}
    void ShowModified(bool modified) override { shown->push_back(modified); }
};

class RecordingHost final : public TDocumentHost {
public:
    std::vector<bool> shown;
    std::unique_ptr<TDocumentWindow> CreateWindow(TDocument&) override { return std::make_unique<RecordingWindow>(&shown); }
    std::unique_ptr<TReflowManager> CreateReflowManager(TDocument&) override { return nullptr; }
    std::unique_ptr<TUndoManager> CreateUndoManager(TDocument&) override { return nullptr; }
};

TEST(Document, ModifiedIndicatorChangesOnlyWithTheStateUnlessForced) {
    RecordingHost host;
    TDocument document(TModelDefaults::BuiltIn(), &host);
    EXPECT_FALSE(document.Hidden());
    EXPECT_EQ(100, document.ShownPageCount);
    document.SetModified(true);
    document.SetModified(true);
    document.Flags.SetFlag(dsForceModifiedRefresh);
    document.SetModified(true);
    document.Flags.PopFlags(1);
    document.SetModified(false);
    EXPECT_EQ((std::vector<bool>{true, true, false}), host.shown);
}

TEST(StateFlags, PopRestoresInReverseOrder) {
    TStateFlags flags;
    flags.Assign(5, true);
    flags.ClearFlag(5);
    flags.SetFlags({1, 55, 5});
    EXPECT_TRUE(flags.Test(1) && flags.Test(5) && flags.Test(55));
    EXPECT_EQ(4, flags.StackDepth());
    flags.PopFlags(3);
    EXPECT_FALSE(flags.Test(1));
    EXPECT_FALSE(flags.Test(55));
    EXPECT_FALSE(flags.Test(5));
    flags.PopFlags(1);
    EXPECT_TRUE(flags.Test(5));
    EXPECT_THROW(flags.PopFlags(1), std::logic_error);
}

TEST(Paragraph, LineAtPrefersTheEarlierLineAtASoftBreak) {
    TDocument document;
    TParagraph& p = document.Paragraph(0);
    TStreamBuilder(p).Chars("0123456789abcd").Special(spLineBreak).Chars("xyz").End();
    auto line = [&p](int32_t first, int32_t count) {
        auto l = std::make_unique<TParLine>(&p);
        l->FirstPosition = first;
        l->PositionCount = count;
        p.AddLine(std::move(l));
    };
    line(0, 10);   // soft end
    line(10, 5);   // ends with a line break
    line(15, 4);
    EXPECT_EQ(0, p.LineAt(3, false));
    EXPECT_EQ(0, p.LineAt(10, false));  // soft break: the earlier line
    EXPECT_EQ(1, p.LineAt(12, false));
    EXPECT_EQ(2, p.LineAt(15, false));  // after a hard break: the line itself
    EXPECT_EQ(1, p.LineAt(15, true));
    EXPECT_EQ(2, p.LineAt(18, false));
}

TEST(Paragraph, SnapshotsStoreOnlyWhatDiffersFromTheDefaults) {
    TDocument document;
    TParagraph& p = document.Paragraph(0);
    EXPECT_EQ(-1, p.AppendSnapshot(document.DefaultCharAttrs));
    TCharAttrs a = document.DefaultCharAttrs;
    a[caBold] = 1;
    a[caOffset] = -3;
    const int32_t first = p.AppendSnapshot(a);
    TCharAttrs b = document.DefaultCharAttrs;
    b[caLanguage] = 1033;
    const int32_t second = p.AppendSnapshot(b);
    EXPECT_EQ(0, first);
    EXPECT_EQ(11, second);  // two pairs of 5 bytes and the end byte
    EXPECT_EQ(a, p.DecodeSnapshot(first));
    EXPECT_EQ(b, p.DecodeSnapshot(second));
    EXPECT_EQ(document.DefaultCharAttrs, p.DecodeSnapshot(-1));
    p.DropLayout(false);
    EXPECT_EQ(0, p.SnapshotLength());
}

TEST(Paragraph, LeadingAttributesAreTheTagsBeforeTheFirstPosition) {
    TDocument document;
    TParagraph& p = document.Paragraph(0);
    TStreamBuilder(p).Attr(caSize, 20).Attr(caBold, 1).Chars("a").Attr(caItalic, 1).Chars("b").End();
    const TCharAttrs lead = p.LeadingAttributes();
    EXPECT_EQ(20, lead[caSize]);
    EXPECT_EQ(1, lead[caBold]);
    EXPECT_EQ(0, lead[caItalic]);
}

TEST(DocumentNames, NewNamesCountToNinetyNineAndSkipOpenOnes) {
    int32_t counter = 98;
    const std::set<std::string> open = {(std::filesystem::path("docs") / "Doc01.rtf").string()};
    auto isOpen = [&open](const std::string& name) { return open.count(name) != 0; };
    EXPECT_EQ((std::filesystem::path("docs") / "Doc98.rtf").string(), NewDocumentName(counter, "docs", "rtf", isOpen));
    EXPECT_EQ((std::filesystem::path("docs") / "Doc99.rtf").string(), NewDocumentName(counter, "docs", "rtf", isOpen));
    EXPECT_EQ(1, counter);
    EXPECT_EQ((std::filesystem::path("docs") / "Doc02.rtf").string(), NewDocumentName(counter, "docs", "rtf", isOpen));
    EXPECT_EQ(3, counter);
}

TEST(DocumentNames, NameFromTextCleansTheFirstWords) {
    struct Case {
        std::vector<std::string> paragraphs;
        bool keepLong;
        std::string expected;
    };
    const Case cases[] = {
        {{"", "  Dear Sir: a/b?  ..."}, false, "Dear Sir_ a_b.rtf"},
        {{"Title\x01"}, false, "Title.rtf"},
        {{"", ""}, false, "Doc01.rtf"},
        {{"..."}, false, "Doc01.rtf"},
        {{"Short: text!"}, true, "Short: text"},
        {{std::string(150, 'w')}, false, std::string(100, 'w') + ".rtf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        TDocument document;
        for (size_t i = 0; i < c.paragraphs.size(); ++i) {
            TParagraph& p = i == 0 ? document.Paragraph(0) : document.AddParagraph();
            std::string text = c.paragraphs[i];
            for (char& ch : text) {
                if (ch == '\x01') {
                    ch = 0;
                }
            }
            size_t zero = text.find('\0');
            TStreamBuilder b(p);
            b.Chars(text.substr(0, zero));
            if (zero != std::string::npos) {
                b.Special(spLineBreak).Chars("more");
            }
            b.End();
        }
        EXPECT_EQ(c.expected, NameFromText(document, "Doc01.rtf", c.keepLong));
    }
}

}  // namespace
}  // namespace quillane

namespace quillane {
namespace {

TEST(NewDocument, InitGivesAnEmptyFirstParagraphItsSizeAndEnd) {
    TDocument document;
    const TStyleManager styles(1);
    InitNewDocument(document, styles, "Ada", 46000.5);
    EXPECT_EQ("Ada", document.Information.Properties.Author);
    EXPECT_EQ("Ada", document.Information.Operator);
    EXPECT_EQ(46000.5, document.Information.CreationTime);
    EXPECT_EQ("[1=20]<2>", test::StreamText(document.Paragraph(0).Text));
    EXPECT_EQ(0, document.Flags.StackDepth());
    ASSERT_GE(document.Styles().StyleCount(), 1);
    EXPECT_EQ(1, document.Styles().Style(0).CharAttrs[caFont]);  // the master "Normal" font

    TDocument written;
    test::TStreamBuilder(written.Paragraph(0)).Chars("kept").End();
    InitNewDocument(written, styles, "Ada", 1);
    EXPECT_EQ("kept<2>", test::StreamText(written.Paragraph(0).Text));
}

TEST(FlexibleStringLimits, GrowingPastTwoGigabytesIsRefused) {
    TFlexibleString s;
    EXPECT_THROW(s.SetLength(-1), std::length_error);
    EXPECT_EQ(INT32_MAX, TFlexibleString::CapacityFor(2000000000, 1000));
}

}  // namespace
}  // namespace quillane
