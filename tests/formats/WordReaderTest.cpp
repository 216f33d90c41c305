#include "formats/word/WordReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "formats/DocumentLoader.h"
#include "formats/Utf8Text.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "support/Corpus.h"
#include "support/DocText.h"
#include "support/FakeFontSystem.h"
#include "support/RecordingMessageBox.h"
#include "support/WordFixture.h"

namespace quillane {
namespace {

using test::Put16;
using test::Sprm97;
using test::TBytes;
using test::TWordFixture;

const char* const EncryptedMessage =
    "Document \"%s\" cannot be opened because Quillane does not support MS Word encrypted documents";

struct TLoaded {
    std::unique_ptr<TDocument> Document;
    bool Read = false;
    std::vector<std::string> Messages;
    int32_t Format = dfFailed;
};

TLoaded ReadFixture(const TWordFixture& fixture, TFontManager* fonts = nullptr, TProgressSink* progress = nullptr) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    test::TMemoryStorage storage = fixture.Build();
    test::TRecordingMessageBox messages;
    const TFormatServices services{messages, *codePages, progress, fonts};
    TLoaded loaded;
    loaded.Document = std::make_unique<TDocument>();
    TDocOpeningOptions options;
    options.FileName = "fixture.doc";
    loaded.Read = ReadWord(*loaded.Document, storage, options, services);
    if (loaded.Read) {
        FinishLoadedDocument(*loaded.Document, options);
    }
    loaded.Messages = messages.Shown;
    loaded.Format = options.Format;
    return loaded;
}

void CheckStreams(const TDocument& document) {
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        EXPECT_NO_THROW(CheckTextStream(p.Text, p.Positions)) << "paragraph " << i;
    }
}

TLoaded LoadFile(const std::filesystem::path& path, TFontManager* fonts = nullptr) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    test::TRecordingMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr, fonts};
    TLoaded loaded;
    loaded.Document = std::make_unique<TDocument>();
    TDocOpeningOptions options;
    options.FileName = path.string();
    loaded.Read = LoadDocument(*loaded.Document, options, services);
    loaded.Messages = messages.Shown;
    loaded.Format = options.Format;
    return loaded;
}

// The paragraph whose text (specials shown as "<n>") starts with `prefix`.
const TParagraph* FindParagraph(const TDocument& document, const std::string& prefix) {
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        if (test::PositionsText(document.Paragraph(i)).rfind(prefix, 0) == 0) {
            return &document.Paragraph(i);
        }
    }
    return nullptr;
}

std::filesystem::path CorpusFile(const std::string& sub, const std::string& name) {
    const auto folder = test::CorpusFolder(sub);
    return folder ? *folder / name : std::filesystem::path();
}

// --- The whole corpus -------------------------------------------------------

TEST(WordReaderCorpus, EveryDocumentOpensOrFailsCleanly) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    int opened = 0;
    int encrypted = 0;
    for (const char* sub : {"doc6", "doc95", "doc97", "doc-other"}) {
        for (const auto& path : test::CorpusFiles(sub)) {
            SCOPED_TRACE(path.string());
            const TLoaded loaded = LoadFile(path);
            std::string lower = path.filename().string();
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
            if (lower.find("password") != std::string::npos) {
                EXPECT_FALSE(loaded.Read);
                ASSERT_EQ(1u, loaded.Messages.size());
                EXPECT_EQ(FormatMessageText(EncryptedMessage, {path.string()}), loaded.Messages[0]);
                ++encrypted;
                continue;
            }
            if (!loaded.Read) {
                // A failure says why, once.
                EXPECT_EQ(1u, loaded.Messages.size());
                continue;
            }
            ++opened;
            CheckStreams(*loaded.Document);
            EXPECT_TRUE(loaded.Document->LastParagraph().EndsWithParagraphEnd());
            if (std::string(sub) == "doc97") {
                EXPECT_TRUE(loaded.Format == dfWord97 || loaded.Format == dfAnsiText);
            }
        }
    }
    EXPECT_GT(opened, 140);
    EXPECT_EQ(4, encrypted);
}

TEST(WordReaderCorpus, GenerationComesFromTheFib) {
    QUILLANE_REQUIRE_CORPUS("doc6");
    struct TCase {
        const char* Sub;
        const char* Name;
        int32_t Format;
    } cases[] = {
        {"doc6", "poi__document_52117.doc", dfWord6},
        {"doc6", "skmemory__readme.wri", dfWord6},  // detected by content, not by name
        {"doc95", "poi__document_Word6_sections2.doc", dfWord6},
        {"doc97", "wv__italic.doc", dfWord97},
        // Not Word: an Excel workbook and a Word 2 file fall back to text.
        {"doc-other", "poi__hpsf_TestRobert_Flaherty.doc", dfAnsiText},
        {"doc-other", "poi__document_word2.doc", dfAnsiText},
    };
    for (const TCase& c : cases) {
        const TLoaded loaded = LoadFile(CorpusFile(c.Sub, c.Name));
        EXPECT_TRUE(loaded.Read) << c.Name;
        EXPECT_EQ(c.Format, loaded.Format) << c.Name;
        EXPECT_EQ(c.Format, loaded.Document->Format) << c.Name;
    }
}

TEST(WordReaderCorpus, KnownText) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    struct TCase {
        const char* Sub;
        const char* Name;
        std::string Paragraph;  // a whole paragraph, specials as "<n>"
    } cases[] = {
        // Table cells become tabs between them, a row one paragraph.
        {"doc97", "abitest__doc_6953-tables.doc", "r1c1<5>r1c2<5>r1c3<5>r1c4<2>"},
        // Field instructions are skipped, results kept.
        {"doc97", "wv__fields1.doc", "21/10/98 == 04/10/98<2>"},
        // Fast-saved: text from several pieces.
        {"doc97", "wv__fastsavedmix.doc", "Fastsaved italic text<2>"},
        // Unicode pieces become code page 1252.
        {"doc97", "wv__plainUmlaute.doc", "\xC4 \xE4<2>"},
        // Word 6 fast-saved with 8-bit pieces.
        {"doc6", "poi__document_Bug60942.doc", "KATALYSE<2>"},
        {"doc95", "poi__document_Word6_sections2.doc", "PROXY  FORMS<2>"},
    };
    for (const TCase& c : cases) {
        const TLoaded loaded = LoadFile(CorpusFile(c.Sub, c.Name));
        ASSERT_TRUE(loaded.Read) << c.Name;
        const auto texts = test::ParagraphTexts(*loaded.Document);
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), c.Paragraph)) << c.Name;
    }
}

TEST(WordReaderCorpus, CharacterFormattingFromFormattedPages) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    const TLoaded loaded = LoadFile(CorpusFile("doc97", "wv__fastsavedmix.doc"));
    ASSERT_TRUE(loaded.Read);
    const TParagraph* italic = FindParagraph(*loaded.Document, "Fastsaved italic");
    const TParagraph* bold = FindParagraph(*loaded.Document, "Bold normal");
    ASSERT_TRUE(italic != nullptr && bold != nullptr);
    // Size 20: the "Normal" style's; one word italic in a fast-saved piece.
    EXPECT_EQ("[1=20]Fastsaved [3=1]italic[3=0] text<2>", test::StreamText(italic->Text));
    EXPECT_EQ("[1=20]Bold [2=1]normal[2=0] text.<2>", test::StreamText(bold->Text));
}

TEST(WordReaderCorpus, FontsAndDocumentInformation) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    test::TFakeFontSystem system;
    system.Faces = test::StandardFakeFaces();
    system.Faces.push_back(test::TFakeFace{"Verdana", {0}, VariablePitch | FamilySwiss, true, {}});
    TFontManager fonts(system);
    const TLoaded loaded = LoadFile(CorpusFile("doc97", "abitest__doc_6953-tables.doc"), &fonts);
    ASSERT_TRUE(loaded.Read);
    // "r2c1 - Verdana" is set in the font its text names.
    const TParagraph* row = FindParagraph(*loaded.Document, "r2c1 - Verdana");
    ASSERT_NE(nullptr, row);
    const TCharAttrs first = AttributesAt(row->Text, PositionToOffset(row->Text, row->PositionCount(), 0),
                                          loaded.Document->DefaultCharAttrs);
    EXPECT_EQ("Verdana", fonts.Entry(first[caFont]).Name) << test::StreamText(row->Text);

    // Word 6.0/95 information strings are 8-bit.
    const TLoaded word6 = LoadFile(CorpusFile("doc95", "poi__hpsf_TestMickey.doc"), &fonts);
    ASSERT_TRUE(word6.Read);
    EXPECT_EQ("sample title", word6.Document->Information.Properties.Title);
    EXPECT_EQ("Miroslav Obradovic", word6.Document->Information.Properties.Author);
}

TEST(WordReaderCorpus, ListParagraphsAreBulletedWithTheLevelsIndents) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    const TLoaded loaded = LoadFile(CorpusFile("doc97", "wv__list.doc"));
    ASSERT_TRUE(loaded.Read);
    int bulleted = 0;
    for (int32_t i = 0; i < loaded.Document->ParagraphCount(); ++i) {
        const TParAttrs& a = loaded.Document->Paragraph(i).Attributes;
        if (a[paBullet] == 1) {
            ++bulleted;
            EXPECT_GT(a[paLeftIndent], 0) << test::PositionsText(loaded.Document->Paragraph(i));
        }
    }
    EXPECT_GT(bulleted, 0);
}

// --- Built files: structures under control -----------------------------------

TEST(WordReaderFixture, TextParagraphsAndSpecials) {
    TWordFixture fixture;
    fixture.Text = std::string("One\tTwo\x0BThree\rA\x1E" "b\x96" "c\xA0" "d\x13 PAGE \x14" "7\x15\r");
    // The field marks are special characters.
    const TBytes special = Sprm97(0x0855, {1});
    fixture.ChpxRuns = {{0, {}}, {21, special}, {22, {}}, {28, special}, {29, {}}, {30, special}, {31, {}}};
    for (const bool unicode : {false, true}) {
        fixture.Unicode = unicode;
        const TLoaded loaded = ReadFixture(fixture);
        ASSERT_TRUE(loaded.Read);
        EXPECT_EQ(dfWord97, loaded.Format);
        CheckStreams(*loaded.Document);
        const std::vector<std::string> expected = {"One<5>Two<3>Three<2>", "A<9>b<11>c<8>d7<2>"};
        EXPECT_EQ(expected, test::ParagraphTexts(*loaded.Document)) << "unicode " << unicode;
        EXPECT_FALSE(loaded.Document->OpenedWithDataLosses);
    }
}

// A symbol character (sprmCSymbol on a special character) is the low byte
// of its code in the symbol's font; controls there are dropped.
TEST(WordReaderFixture, SymbolCharactersKeepTheirLowByte) {
    TWordFixture fixture;
    fixture.Text = "((((\r";
    fixture.Fonts = {{"Times New Roman", 0}, {"Symbol", 2}};
    const auto symbol = [](uint16_t code) {
        return Sprm97(0x6A09, {1, 0, static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)});
    };
    fixture.ChpxRuns = {{0, symbol(0xF061)}, {1, symbol(0xF000)}, {2, symbol(0xF009)}, {3, symbol(0x0062)}, {4, {}}};
    const TLoaded loaded = ReadFixture(fixture);
    ASSERT_TRUE(loaded.Read);
    CheckStreams(*loaded.Document);
    EXPECT_EQ(std::vector<std::string>{"ab<2>"}, test::ParagraphTexts(*loaded.Document));
}

// Unicode text goes into the code page of each character's block, set in
// the member of the font's family with that page's character set; the
// UTF-8 export reads every byte back through its font's page.
TEST(WordReaderFixture, UnicodeRunsSwitchToTheCharacterSetOfTheirPage) {
    struct TCase {
        const char* Name;
        std::u16string Text;
        const char* Font;    // the run's font in the file
        uint8_t FontCharSet;
        std::string Utf8;    // what the export gives back
        std::vector<int32_t> CharSets;  // character sets of the fonts used, in order of use
    } cases[] = {
        // One run: spaces and the dash stay in the Greek run.
        {"greek", u"\u0391\u03b2\u03b3 \u03b4\u2014\u03b5\r", "Times New Roman", 0,
         "\u0391\u03b2\u03b3 \u03b4\u2014\u03b5\n", {161}},
        // A Latin letter of the 1252 block goes back to the font's own set;
        // ASCII between Cyrillic words stays in their run.
        {"cyrillic and latin", u"\u041c\u0438\u0440, \u0434\u0430! caf\u00e9\r", "Arial", 0,
         "\u041c\u0438\u0440, \u0434\u0430! caf\u00e9\n", {204, 0}},
        // The font's own set needs no switch.
        {"cyrillic font", u"\u041c\u0438\u0440\r", "Arial", 204, "\u041c\u0438\u0440\n", {204}},
        // Central European and Baltic blocks.
        {"polish", u"\u0141\u00f3d\u017a\r", "Arial", 0, "\u0141\u00f3d\u017a\n", {238, 0, 238}},
        // Private-use symbols keep their low byte in the symbol font.
        {"symbol", u"\uf0e0\uf061\r", "Symbol", 2, "\u25ca\u03b1\n", {2}},
        // What no page holds is '?' in the font given.
        {"cjk", u"\u4e2d\r", "Times New Roman", 0, "?\n", {0}},
    };
    for (const TCase& c : cases) {
        test::TFakeFontSystem system;
        system.Faces = test::StandardFakeFaces();
        TFontManager fonts(system);
        TWordFixture fixture;
        fixture.Text16 = c.Text;
        fixture.Fonts = {{c.Font, c.FontCharSet}};
        fixture.Chpx = Sprm97(0x4A4F, {0, 0});
        const TLoaded loaded = ReadFixture(fixture, &fonts);
        ASSERT_TRUE(loaded.Read) << c.Name;
        CheckStreams(*loaded.Document);
        EXPECT_EQ(c.Utf8, DocumentToUtf8(*loaded.Document, fonts, 1252)) << c.Name;
        std::vector<int32_t> used;
        const TParagraph& p = loaded.Document->Paragraph(0);
        for (int32_t at = 0; at < p.PositionCount(); ++at) {
            const TCharAttrs a =
                AttributesAt(p.Text, PositionToOffset(p.Text, p.PositionCount(), at), loaded.Document->DefaultCharAttrs);
            EXPECT_EQ(c.Font, fonts.DisplayName(a[caFont])) << c.Name << " at " << at;
            if (used.empty() || used.back() != fonts.Entry(a[caFont]).CharSet) {
                used.push_back(fonts.Entry(a[caFont]).CharSet);
            }
        }
        EXPECT_EQ(c.CharSets, used) << c.Name << ": " << test::StreamText(p.Text);
    }
}

// 8-bit pieces of Word 97 are code page 1252 whatever their font says.
TEST(WordReaderFixture, EightBitPiecesAreAnsiText) {
    test::TFakeFontSystem system;
    system.Faces = test::StandardFakeFaces();
    TFontManager fonts(system);
    TWordFixture fixture;
    fixture.Text = "caf\xE9\r";
    fixture.Fonts = {{"Arial", 204}};
    fixture.Chpx = Sprm97(0x4A4F, {0, 0});
    const TLoaded loaded = ReadFixture(fixture, &fonts);
    ASSERT_TRUE(loaded.Read);
    EXPECT_EQ("caf\u00e9\n", DocumentToUtf8(*loaded.Document, fonts, 1252));
}

// The main stream's text is read a window at a time: paragraphs and runs
// that cross the window's edges come through whole.
TEST(WordReaderFixture, TextLongerThanTheReadingWindow) {
    std::string text;
    std::vector<std::string> expected;
    for (int i = 0; text.size() < 700000; ++i) {
        std::string paragraph = "Paragraph " + std::to_string(i) + " ";
        paragraph.append(static_cast<size_t>(997 + i % 13), static_cast<char>('a' + i % 26));
        text += paragraph + "\r";
        expected.push_back(paragraph + "<2>");
    }
    const TBytes bold = Sprm97(0x0835, {1});
    for (const bool unicode : {false, true}) {
        SCOPED_TRACE(unicode);
        TWordFixture fixture;
        fixture.Text = text;
        fixture.Unicode = unicode;
        fixture.ChpxRuns = {{0, {}}, {131000, bold}, {131100, {}}, {262140, bold}, {262150, {}}};
        struct TRecordingProgress final : TProgressSink {
            int64_t Range = 0;
            std::vector<int64_t> Positions;
            void SetRange(int64_t maximum) override { Range = maximum; }
            void SetPosition(int64_t position) override { Positions.push_back(position); }
        } progress;
        const TLoaded loaded = ReadFixture(fixture, nullptr, &progress);
        ASSERT_TRUE(loaded.Read);
        CheckStreams(*loaded.Document);
        EXPECT_EQ(expected, test::ParagraphTexts(*loaded.Document));
        // Progress advances through the text every few thousand characters,
        // not at every run.
        EXPECT_EQ(static_cast<int64_t>(text.size()), progress.Range);
        ASSERT_FALSE(progress.Positions.empty());
        EXPECT_TRUE(std::is_sorted(progress.Positions.begin(), progress.Positions.end()));
        EXPECT_GT(progress.Positions.back(), progress.Range - 300000);
        EXPECT_LE(progress.Positions.size(), text.size() / 4096 + 1);
        // The bold runs: 100 characters, then 10 that straddle the window's edge in Unicode text.
        int32_t boldCount = 0;
        for (int32_t i = 0; i < loaded.Document->ParagraphCount(); ++i) {
            const TParagraph& p = loaded.Document->Paragraph(i);
            for (int32_t at = 0; at < p.PositionCount(); ++at) {
                const TCharAttrs a = AttributesAt(p.Text, PositionToOffset(p.Text, p.PositionCount(), at) + 1,
                                                  loaded.Document->DefaultCharAttrs);
                boldCount += a[caBold];
            }
        }
        EXPECT_EQ(110, boldCount);
    }
}

TEST(WordReaderFixture, Word6SinglePiece) {
    TWordFixture fixture;
    fixture.Word97 = false;
    fixture.Text = "Hello\rWorld\r";
    fixture.Chpx = {85, 1};  // bold
    const TLoaded loaded = ReadFixture(fixture);
    ASSERT_TRUE(loaded.Read);
    EXPECT_EQ(dfWord6, loaded.Format);
    const std::vector<std::string> expected = {"Hello<2>", "World<2>"};
    EXPECT_EQ(expected, test::ParagraphTexts(*loaded.Document));
    EXPECT_EQ("[2=1]Hello<2>", test::StreamText(loaded.Document->Paragraph(0).Text));
}

TEST(WordReaderFixture, CharacterAndParagraphSprms) {
    TWordFixture fixture;
    fixture.Text = "Text\r";
    for (const TBytes& sprm : {Sprm97(0x0835, {1}), Sprm97(0x4A43, {28, 0}), Sprm97(0x2A42, {6}),
                               Sprm97(0x2A48, {1}), Sprm97(0x4845, {7, 0})}) {
        fixture.Chpx.insert(fixture.Chpx.end(), sprm.begin(), sprm.end());
    }
    for (const TBytes& sprm : {Sprm97(0x2403, {1}), Sprm97(0x840F, {0xD0, 0x02}), Sprm97(0xA413, {120, 0}),
                               Sprm97(0x6412, {0xF0, 0, 1, 0})}) {
        fixture.Papx.insert(fixture.Papx.end(), sprm.begin(), sprm.end());
    }
    const TLoaded loaded = ReadFixture(fixture);
    ASSERT_TRUE(loaded.Read);
    const TParagraph& p = loaded.Document->Paragraph(0);
    const TCharAttrs a = AttributesAt(p.Text, p.Text.Length(), loaded.Document->DefaultCharAttrs);
    EXPECT_EQ(1, a[caBold]);
    EXPECT_EQ(28, a[caSize]);
    EXPECT_EQ(6, a[caColor]);
    EXPECT_EQ(1, a[caVerticalPosition]);
    EXPECT_EQ(3, a[caOffset]);  // half of 7 half-points, toward zero
    EXPECT_EQ(1, p.Attributes[paAlignment]);
    EXPECT_EQ(720, p.Attributes[paLeftIndent]);
    EXPECT_EQ(120, p.Attributes[paSpaceBefore]);
    EXPECT_EQ(240, p.Attributes[paLineSpacing]);
    EXPECT_EQ(1, p.Attributes[paSpacingMultiple]);
}

TEST(WordReaderFixture, TableCellsAndRows) {
    TWordFixture fixture;
    fixture.Text = "a\x07" "b\x07\x07";
    fixture.Papx = Sprm97(0x2416, {1});  // in a table; the row end is set below per character
    // A row-end mark needs its own paragraph run: one run is enough to show
    // cells becoming tabs.
    const TLoaded loaded = ReadFixture(fixture);
    ASSERT_TRUE(loaded.Read);
    EXPECT_EQ("a<5>b<5><5><2>", test::ParagraphTexts(*loaded.Document)[0]);
    TBytes rowEnd = Sprm97(0x2416, {1});
    const TBytes ttp = Sprm97(0x2417, {1});
    rowEnd.insert(rowEnd.end(), ttp.begin(), ttp.end());
    fixture.Papx = rowEnd;
    const TLoaded rows = ReadFixture(fixture);
    ASSERT_TRUE(rows.Read);
    const std::vector<std::string> expected = {"a<2>", "b<2>", "<2>"};
    EXPECT_EQ(expected, test::ParagraphTexts(*rows.Document));
}

TEST(WordReaderFixture, DocumentProperties) {
    struct TCase {
        int16_t DxaTab;
        uint16_t ViewWord;
        int32_t Interval;
        int32_t Zoom;
        TZoomKind Kind;
    } cases[] = {
        {360, (150 << 3), 360, 150, TZoomKind::Percentage},
        {0, (5 << 3) | (2 << 12), DefaultTabInterval, 100, TZoomKind::PageWidth},  // zoom 5 gives 100
        {-200, (501 << 3) | (1 << 12), DefaultTabInterval, 100, TZoomKind::WholePage},  // negative tab width
    };
    for (const TCase& c : cases) {
        TWordFixture fixture;
        fixture.Text = "x\r";
        fixture.Dop.assign(84, 0);
        fixture.Dop[10] = static_cast<uint8_t>(c.DxaTab);
        fixture.Dop[11] = static_cast<uint8_t>(static_cast<uint16_t>(c.DxaTab) >> 8);
        fixture.Dop[82] = static_cast<uint8_t>(c.ViewWord);
        fixture.Dop[83] = static_cast<uint8_t>(c.ViewWord >> 8);
        const TLoaded loaded = ReadFixture(fixture);
        ASSERT_TRUE(loaded.Read);
        EXPECT_EQ(c.Interval, loaded.Document->Tabs().DefaultInterval()) << c.DxaTab;
        EXPECT_EQ(c.Zoom, loaded.Document->View.Zoom) << c.DxaTab;
        EXPECT_EQ(c.Kind, loaded.Document->View.ZoomKind) << c.DxaTab;
    }
}

TEST(WordReaderFixture, StylesAndUnknownStyleNumbers) {
    TWordFixture fixture;
    fixture.Text = "x\r";
    fixture.Stsh = test::BuildStsh97({
        {0, 1, 4095, "Normal", {}, Sprm97(0x4A43, {24, 0})},
        {1, 1, 0, "heading 1", Sprm97(0x2403, {1}), Sprm97(0x0835, {1})},
        {65, 2, 4095, "Default Paragraph Font", {}, {}},
        {4094, 1, 0, "Quote,Alias", Sprm97(0x840F, {0x40, 0x01}), Sprm97(0x0836, {129})},
    });
    struct TCase {
        uint16_t Istd;
        int32_t Style;
        int32_t Alignment;
        int32_t Bold;
    } cases[] = {{1, 1, 1, 1}, {3, 2, 0, 0}, {2, 0, 0, 0}, {999, 0, 0, 0}};
    for (const TCase& c : cases) {
        fixture.Istd = c.Istd;
        const TLoaded loaded = ReadFixture(fixture);
        ASSERT_TRUE(loaded.Read);
        const TStyleList& styles = loaded.Document->Styles();
        ASSERT_EQ(3, styles.StyleCount());
        EXPECT_EQ("Normal", styles.Style(0).Name);
        EXPECT_EQ("Heading 1", styles.Style(1).Name);  // the built-in name by identifier
        EXPECT_EQ("Quote", styles.Style(2).Name);
        EXPECT_EQ(0, styles.Style(2).BasedOn);
        EXPECT_EQ(1, styles.Style(2).CharAttrs[caItalic]);  // 129 kept in a style reads as on
        const TParagraph& p = loaded.Document->Paragraph(0);
        EXPECT_EQ(c.Style, p.Attributes[paStyle]) << c.Istd;
        EXPECT_EQ(c.Alignment, p.Attributes[paAlignment]) << c.Istd;
        const TCharAttrs a = AttributesAt(p.Text, p.Text.Length(), loaded.Document->DefaultCharAttrs);
        EXPECT_EQ(c.Bold, a[caBold]) << c.Istd;
        EXPECT_EQ(24, a[caSize]) << c.Istd;
    }
}

TEST(WordReaderFixture, TabChanges) {
    TWordFixture fixture;
    fixture.Text = "a\tb\r";
    // Stops at 1440 (centred, dots) and 10 (stored as 15).
    TBytes add = {0x0D, 0xC6, 8, 0, 2, 0xA0, 0x05, 10, 0, (1 << 3) | 1, 0};
    fixture.Papx = add;
    const TLoaded loaded = ReadFixture(fixture);
    ASSERT_TRUE(loaded.Read);
    const TParagraph& p = loaded.Document->Paragraph(0);
    ASSERT_TRUE(loaded.Document->Tabs().ValidIndex(p.Attributes[paTabTable]));
    const TTabTable& table = loaded.Document->Tabs().Table(p.Attributes[paTabTable]);
    ASSERT_EQ(2, table.StopCount());
    EXPECT_EQ(15, table.Stop(0).Position());
    EXPECT_EQ(1440, table.Stop(1).Position());
    EXPECT_EQ(tkCentred, table.Stop(1).Kind());
    EXPECT_EQ(tlDots, table.Stop(1).Leader());
}

TEST(WordReaderFixture, FirstSectionGivesPageSettings) {
    TWordFixture fixture;
    fixture.Text = "x\r";
    for (const TBytes& sprm : {Sprm97(0x301D, {2}), Sprm97(0xB01F, {0xA0, 0x3D}), Sprm97(0xB020, {0x30, 0x2F}),
                               Sprm97(0xB021, {0xA0, 0x05})}) {
        fixture.Sepx.insert(fixture.Sepx.end(), sprm.begin(), sprm.end());
    }
    const TLoaded loaded = ReadFixture(fixture);
    ASSERT_TRUE(loaded.Read);
    const TPageSettings& page = loaded.Document->PageSettings();
    EXPECT_EQ(1, page.Landscape);
    EXPECT_EQ(15776, page.PaperWidth);
    EXPECT_EQ(12080, page.PaperHeight);
    EXPECT_EQ(1440, page.LeftMargin);
}

TEST(WordReaderFixture, Failures) {
    struct TCase {
        const char* What;
        TWordFixture Fixture;
        std::string Message;
    };
    std::vector<TCase> cases;
    {
        TWordFixture f;
        f.Text = "secret\r";
        f.Encrypted = true;
        cases.push_back({"encrypted", f, FormatMessageText(EncryptedMessage, {"fixture.doc"})});
    }
    {
        TWordFixture f;
        f.Text = "x\r";
        f.DropTableStream = true;
        cases.push_back({"no table stream", f,
                         "Exception with message||\"Error reading the table stream\"||raised while opening document "
                         "\"fixture.doc\""});
    }
    {
        TWordFixture f;
        f.Text = "x\r";
        f.ReplaceClx = true;
        f.Clx = {1, 0xFF, 0x7F};  // a modifier list longer than the CLX
        cases.push_back({"broken CLX", f,
                         "Exception with message||\"Error reading the table stream\"||raised while opening document "
                         "\"fixture.doc\""});
    }
    {
        TWordFixture f;
        f.Text = "x\r";
        f.ReplaceClx = true;
        TBytes clx = {2};
        test::Put32(clx, 0x7FFFFFF0);  // a piece table longer than the CLX
        test::Put32(clx, 0);
        test::Put32(clx, 12);
        f.Clx = clx;
        cases.push_back({"piece table length", f,
                         "Exception with message||\"Error reading the table stream\"||raised while opening document "
                         "\"fixture.doc\""});
    }
    for (const TCase& c : cases) {
        const TLoaded loaded = ReadFixture(c.Fixture);
        EXPECT_FALSE(loaded.Read) << c.What;
        ASSERT_EQ(1u, loaded.Messages.size()) << c.What;
        EXPECT_EQ(c.Message, loaded.Messages[0]) << c.What;
    }
}

// Structures whose lengths, offsets or counts point outside what holds them:
// the reader reads as far as they are coherent and never past a buffer (the
// sanitizers watch the reads).
TEST(WordReaderFixture, HostileLengthsAndOffsets) {
    struct TCase {
        const char* What;
        TWordFixture Fixture;
        std::vector<std::string> Expected;
    };
    TWordFixture base;
    base.Text = "Hello\rWorld\r";
    const std::vector<std::string> whole = {"Hello<2>", "World<2>"};
    std::vector<TCase> cases;
    {
        TWordFixture f = base;
        f.CcpTextDelta = 1000000;  // more text than the stream holds
        f.ReplaceClx = true;
        TBytes clx = {2};
        test::Put32(clx, 16);
        test::Put32(clx, 0);
        test::Put32(clx, 1000012);
        test::Put16(clx, 0);
        test::Put32(clx, (0x400 * 2) | 0x40000000u);
        test::Put16(clx, 0);
        f.Clx = clx;
        cases.push_back({"piece beyond the main stream", f, {"<2>"}});
    }
    {
        // Pieces that all point at the same bytes: no more text than the
        // main stream holds.
        TWordFixture f = base;
        f.CcpTextDelta = 0x7FFF0000;
        f.ReplaceClx = true;
        TBytes clx = {2};
        const uint32_t pieces = 1000;
        test::Put32(clx, 4 + pieces * 12);
        for (uint32_t i = 0; i <= pieces; ++i) {
            test::Put32(clx, i * 12);
        }
        for (uint32_t i = 0; i < pieces; ++i) {
            test::Put16(clx, 0);
            test::Put32(clx, (0x400 * 2) | 0x40000000u);
            test::Put16(clx, 0);
        }
        f.Clx = clx;
        TCase c{"repeated pieces", f, {}};
        cases.push_back(c);
    }
    {
        TWordFixture f = base;
        f.ReplaceChpxPage = true;
        f.ChpxPage.assign(512, 0);
        f.ChpxPage[511] = 200;  // more runs than a page holds
        cases.push_back({"run count", f, whole});
    }
    {
        TWordFixture f = base;
        f.ReplaceChpxPage = true;
        f.ChpxPage.assign(512, 0xFF);  // offsets and sizes at their largest
        f.ChpxPage[511] = 1;
        f.ChpxPage[0] = 0;
        f.ChpxPage[1] = 4;
        f.ChpxPage[2] = 0;
        f.ChpxPage[3] = 0;
        cases.push_back({"CHPX offset at the page end", f, whole});
    }
    {
        TWordFixture f = base;
        f.ReplacePapxPage = true;
        f.PapxPage.assign(512, 0xFF);
        f.PapxPage[511] = 1;
        f.PapxPage[0] = 0;
        f.PapxPage[1] = 4;
        f.PapxPage[2] = 0;
        f.PapxPage[3] = 0;
        cases.push_back({"PAPX size past the page", f, whole});
    }
    {
        TWordFixture f = base;
        f.Chpx = {0x4A, 0x43, 0x08, 0xC6};  // a SPRM cut short, then a variable one with no size
        cases.push_back({"grpprl cut short", f, whole});
    }
    {
        TWordFixture f = base;
        f.Papx = {0x15, 0xC6, 0xFF, 0xFF};  // tab changes claiming 255 deletions
        cases.push_back({"tab change counts", f, whole});
    }
    {
        TWordFixture f = base;
        f.Stsh = {0x02, 0x00, 0xFF, 0xFF, 0x0A, 0x00, 0xFF, 0xFF};  // 65535 STDs, the first too long
        cases.push_back({"STD count and size", f, whole});
    }
    {
        TWordFixture f = base;
        f.Stsh = test::BuildStsh97({{0, 1, 0, "Normal", {0x0D, 0xC6, 0xFF, 0}, {0x4A, 0x43}}});
        cases.push_back({"UPX contents cut short, based on itself", f, whole});
    }
    {
        TWordFixture f = base;
        f.Sepx = {0x1F, 0xB0};  // a section SPRM without its operand
        cases.push_back({"SEPX cut short", f, whole});
    }
    for (const TCase& c : cases) {
        const TLoaded loaded = ReadFixture(c.Fixture);
        ASSERT_TRUE(loaded.Read) << c.What;
        CheckStreams(*loaded.Document);
        if (c.Expected.empty()) {
            const size_t mainSize = c.Fixture.Build().Streams.at("WordDocument").size();
            int64_t positions = 0;
            for (int32_t i = 0; i < loaded.Document->ParagraphCount(); ++i) {
                positions += loaded.Document->Paragraph(i).PositionCount();
            }
            EXPECT_LE(positions, static_cast<int64_t>(mainSize) + 1) << c.What;
            continue;
        }
        EXPECT_EQ(c.Expected, test::ParagraphTexts(*loaded.Document)) << c.What;
    }
}

}  // namespace
}  // namespace quillane
