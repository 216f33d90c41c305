// The labels of numbered Word paragraphs: number formats, the counters of
// list tables built byte by byte (levels, restarts, starts and whole levels
// an override gives, placeholders of higher levels), Word 6.0/95
// autonumbering, and the labels real documents show.
#include "formats/word/WordListLabels.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/DocumentLoader.h"
#include "formats/word/WordReader.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "support/Corpus.h"
#include "support/DocText.h"
#include "support/RecordingMessageBox.h"
#include "support/WordFixture.h"

namespace quillane {
namespace {

using test::Put16;
using test::Put32;
using test::TBytes;
using namespace std::string_literals;

TEST(WordListNumberFormat, EveryFormatTheLabelsUse) {
    const struct {
        int32_t Number;
        uint8_t Format;
        const char* Text;
    } cases[] = {
        {7, nfDecimal, "7"},          {1994, nfUpperRoman, "MCMXCIV"}, {4, nfLowerRoman, "iv"},
        {49, nfLowerRoman, "xlix"},   {1, nfUpperLetter, "A"},         {26, nfLowerLetter, "z"},
        {27, nfUpperLetter, "AA"},    {53, nfLowerLetter, "aaa"},      {1, nfOrdinal, "1st"},
        {2, nfOrdinal, "2nd"},        {3, nfOrdinal, "3rd"},           {11, nfOrdinal, "11th"},
        {12, nfOrdinal, "12th"},      {13, nfOrdinal, "13th"},         {21, nfOrdinal, "21st"},
        {102, nfOrdinal, "102nd"},    {1, nfCardinalText, "One"},      {15, nfCardinalText, "Fifteen"},
        {42, nfCardinalText, "Forty-two"}, {300, nfCardinalText, "Three hundred"},
        {1205, nfCardinalText, "One thousand two hundred five"},       {1, nfOrdinalText, "First"},
        {12, nfOrdinalText, "Twelfth"}, {20, nfOrdinalText, "Twentieth"}, {23, nfOrdinalText, "Twenty-third"},
        {100, nfOrdinalText, "One hundredth"}, {5, nfDecimalZero, "05"}, {12, nfDecimalZero, "12"},
        {3, nfBullet, ""},            {3, nfNone, ""},                 {3, 47, "3"},
        // Numbers a format cannot show come out in decimal.
        {0, nfUpperRoman, "0"},       {4000, nfUpperRoman, "4000"},    {0, nfUpperLetter, "0"},
        {-2, nfLowerLetter, "-2"},    {-1, nfOrdinal, "-1"},           {-3, nfCardinalText, "-3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatListNumber(c.Number, c.Format), c.Text) << c.Number << " in format " << int(c.Format);
    }
}

// List tables as a Word file holds them.
struct TLevelBytes {
    int32_t Start = 1;
    uint8_t Format = nfDecimal;
    uint8_t Flags = 0;  // 4: legal, 8: no restart
    uint8_t Follow = 0;
    uint8_t RestartLimit = 0;
    std::u16string Text;
    TBytes Papx;
    TBytes Chpx;
};

void AppendLevel(TBytes& b, const TLevelBytes& level) {
    Put32(b, static_cast<uint32_t>(level.Start));
    b.push_back(level.Format);
    b.push_back(level.Flags);
    b.insert(b.end(), 9, 0);  // placeholder positions
    b.push_back(level.Follow);
    b.insert(b.end(), 8, 0);  // indent, unused
    b.push_back(static_cast<uint8_t>(level.Chpx.size()));
    b.push_back(static_cast<uint8_t>(level.Papx.size()));
    b.push_back(level.RestartLimit);
    b.push_back(0);
    b.insert(b.end(), level.Papx.begin(), level.Papx.end());
    b.insert(b.end(), level.Chpx.begin(), level.Chpx.end());
    Put16(b, static_cast<uint16_t>(level.Text.size()));
    for (const char16_t c : level.Text) {
        Put16(b, c);
    }
}

struct TListBytes {
    int32_t Id;
    std::vector<TLevelBytes> Levels;  // 1: a simple list; else nine
};

TBytes Definitions(const std::vector<TListBytes>& lists) {
    TBytes b;
    Put16(b, static_cast<uint16_t>(lists.size()));
    for (const TListBytes& list : lists) {
        Put32(b, static_cast<uint32_t>(list.Id));
        b.insert(b.end(), 22, 0);
        b.push_back(list.Levels.size() == 1 ? 1 : 0);
        b.push_back(0);
    }
    for (const TListBytes& list : lists) {
        for (const TLevelBytes& level : list.Levels) {
            AppendLevel(b, level);
        }
    }
    return b;
}

struct TOverrideLevelBytes {
    uint8_t Level;
    std::optional<int32_t> Start;
    std::optional<TLevelBytes> Formatting;
};
struct TOverrideBytes {
    int32_t ListId;
    std::vector<TOverrideLevelBytes> Levels;
};

TBytes Overrides(const std::vector<TOverrideBytes>& overrides) {
    TBytes b;
    Put32(b, static_cast<uint32_t>(overrides.size()));
    for (const TOverrideBytes& o : overrides) {
        Put32(b, static_cast<uint32_t>(o.ListId));
        b.insert(b.end(), 8, 0);
        b.push_back(static_cast<uint8_t>(o.Levels.size()));
        b.insert(b.end(), 3, 0);
    }
    for (const TOverrideBytes& o : overrides) {
        Put32(b, 0xFFFFFFFF);
        for (const TOverrideLevelBytes& level : o.Levels) {
            Put32(b, static_cast<uint32_t>(level.Start.value_or(0)));
            b.push_back(static_cast<uint8_t>(level.Level | (level.Start ? 0x10 : 0) | (level.Formatting ? 0x20 : 0)));
            b.insert(b.end(), 3, 0);
            if (level.Formatting) {
                AppendLevel(b, *level.Formatting);
            }
        }
    }
    return b;
}

// Nine levels "1.", "1.a)", "1.a.i": each shows the numbers above it.
std::vector<TLevelBytes> Outline() {
    std::vector<TLevelBytes> levels(9);
    levels[0].Text = u"\x0000."s;
    levels[1].Text = u"\x0000.\x0001)"s;
    levels[1].Format = nfLowerLetter;
    levels[2].Text = u"\x0000.\x0001.\x0002"s;
    levels[2].Format = nfLowerRoman;
    for (size_t i = 3; i < 9; ++i) {
        levels[i].Text = std::u16string(1, static_cast<char16_t>(i));
    }
    return levels;
}

std::string Ascii(const std::optional<TWordListLabel>& label) {
    if (!label) {
        return "(none)";
    }
    std::string text;
    for (const char16_t c : label->Text) {
        text += static_cast<char>(c);
    }
    return text;
}

class WordListNumbering : public testing::Test {
protected:
    void Read(const std::vector<TListBytes>& lists, const std::vector<TOverrideBytes>& overrides) {
        definitions = Definitions(lists);
        overrideBytes = Overrides(overrides);
        tables.Read(TByteView(definitions), TByteView(overrideBytes));
    }
    // Labels of paragraphs given as (override, level).
    std::vector<std::string> Labels(const std::vector<std::pair<int32_t, int32_t>>& paragraphs) {
        TWordListNumbering numbering(tables);
        std::vector<std::string> labels;
        for (const auto& [override, level] : paragraphs) {
            labels.push_back(Ascii(numbering.Next(override, level)));
        }
        return labels;
    }
    TBytes definitions;
    TBytes overrideBytes;
    TWordLists tables;
};

TEST_F(WordListNumbering, LevelsCountAndDeeperLevelsStartAgain) {
    Read({{7, Outline()}}, {{7, {}}});
    const std::vector<std::string> expected = {"1.", "1.a)", "1.b)", "1.b.i", "1.b.ii", "1.c)", "2.", "2.a)", "2.a.i"};
    EXPECT_EQ(Labels({{1, 0}, {1, 1}, {1, 1}, {1, 2}, {1, 2}, {1, 1}, {1, 0}, {1, 1}, {1, 2}}), expected);
}

TEST_F(WordListNumbering, StartsRestartRulesLegalNumbersAndUnusedLevels) {
    std::vector<TLevelBytes> levels = Outline();
    levels[0].Start = 4;
    levels[0].Format = nfUpperRoman;
    levels[1].Flags = 8;  // no restart after level 0
    levels[2].Flags = 4;  // legal: the numbers above in decimal
    std::vector<TLevelBytes> simple = {TLevelBytes{3, nfUpperLetter, 0, 0, 0, u"(\x0000)"s, {}, {}}};
    Read({{1, levels}, {2, simple}}, {{1, {}}, {2, {}}});
    // A level used before its parent shows the parent's start.
    EXPECT_EQ(Labels({{1, 1}, {1, 0}, {1, 1}, {1, 0}, {1, 1}, {1, 2}}),
              (std::vector<std::string>{"IV.a)", "IV.", "IV.b)", "V.", "V.c)", "5.3.i"}));
    // A simple list has one level for every level number.
    EXPECT_EQ(Labels({{2, 0}, {2, 0}, {2, 4}}), (std::vector<std::string>{"(C)", "(D)", "(E)"}));
}

TEST_F(WordListNumbering, OverridesShareTheirListUnlessTheyStartOrReplaceALevel) {
    TLevelBytes replaced{1, nfLowerRoman, 0, 1, 0, u"[\x0000]"s, {}, {}};
    Read({{5, Outline()}}, {{5, {}}, {5, {}}, {5, {{0, 10, std::nullopt}}}, {5, {{0, std::nullopt, replaced}}},
                            {99, {}}});
    EXPECT_EQ(Labels({{1, 0}, {2, 0}, {1, 0}, {3, 0}, {3, 0}, {2, 0}, {4, 0}, {4, 0}, {5, 0}, {0, 0}, {6, 0}}),
              (std::vector<std::string>{"1.", "2.", "3.", "10.", "11.", "4.", "[i]", "[ii]", "(none)", "(none)",
                                        "(none)"}));
    const TWordListLevel* level = tables.Level(4, 0);
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->Follow, TWordLabelFollow::Space);
}

TEST_F(WordListNumbering, BulletsAndNoNumber) {
    std::vector<TLevelBytes> levels = Outline();
    levels[0].Format = nfBullet;
    levels[0].Text = std::u16string(1, u'\xF0B7');
    levels[1].Format = nfNone;
    levels[1].Text = u"\x0001-"s;
    Read({{1, levels}}, {{1, {}}});
    TWordListNumbering numbering(tables);
    EXPECT_TRUE(numbering.IsBullet(1, 0));
    EXPECT_FALSE(numbering.Next(1, 0).has_value());
    EXPECT_EQ(Ascii(numbering.Next(1, 1)), "-");
}

TEST_F(WordListNumbering, DamagedTablesKeepWhatFits) {
    Read({{1, Outline()}, {2, Outline()}}, {{1, {}}, {2, {{0, 7, std::nullopt}}}});
    const TBytes whole = definitions;
    for (size_t cut = 0; cut < whole.size(); cut += 13) {
        TWordLists cutTables;
        cutTables.Read(TByteView(whole.data(), cut), TByteView(overrideBytes));
        TWordListNumbering numbering(cutTables);
        for (int32_t level = -1; level <= 9; ++level) {
            numbering.Next(1, level);
            numbering.Next(2, level);
        }
    }
    for (size_t cut = 0; cut < overrideBytes.size(); ++cut) {
        TWordLists cutTables;
        cutTables.Read(TByteView(definitions), TByteView(overrideBytes.data(), cut));
        TWordListNumbering numbering(cutTables);
        numbering.Next(1, 0);
        numbering.Next(2, 0);
    }
}

// --- Word 6.0/95 autonumbering ----------------------------------------------

TBytes Anld(uint8_t format, const std::string& before, const std::string& after, uint16_t start, bool previous = false) {
    TBytes anld(52, 0);
    anld[0] = format;
    anld[1] = static_cast<uint8_t>(before.size());
    anld[2] = static_cast<uint8_t>(before.size() + after.size());
    anld[3] = previous ? 0x04 : 0;
    anld[10] = static_cast<uint8_t>(start & 0xFF);
    anld[11] = static_cast<uint8_t>(start >> 8);
    const std::string text = before + after;
    std::copy(text.begin(), text.end(), anld.begin() + 20);
    return anld;
}

std::vector<std::string> Word6Labels(const std::vector<std::pair<int32_t, TBytes>>& paragraphs) {
    TWordLists none;
    TWordListNumbering numbering(none);
    std::vector<std::string> labels;
    for (const auto& [level, anld] : paragraphs) {
        if (level == 0) {
            numbering.Word6Unnumbered();
            labels.push_back("-");
            continue;
        }
        const auto label = numbering.NextWord6(level, TByteView(anld));
        labels.push_back(!label ? "(none)" : label->Bullet ? "(bullet)" : label->Text);
    }
    return labels;
}

TEST(WordListNumbering6, ListsRunWhileTheirParagraphsFollowEachOther) {
    const TBytes list = Anld(nfDecimal, "", ")", 1);
    const TBytes roman = Anld(nfUpperRoman, "Part ", ":", 3);
    EXPECT_EQ(Word6Labels({{10, list}, {10, list}, {0, {}}, {10, list}, {10, roman}, {11, Anld(nfBullet, "o", "", 0)},
                           {10, roman}}),
              (std::vector<std::string>{"1)", "2)", "-", "1)", "Part II:", "(bullet)", "Part III:"}));
    // Outline levels: deeper levels start again; previous levels' numbers
    // when the level asks for them.
    const TBytes one = Anld(nfDecimal, "", ".", 1);
    const TBytes two = Anld(nfLowerLetter, "", ")", 1, true);
    EXPECT_EQ(Word6Labels({{1, one}, {2, two}, {2, two}, {1, one}, {2, two}}),
              (std::vector<std::string>{"1.", "1.a)", "1.b)", "2.", "2.a)"}));
    // Cut-off properties and unknown levels give nothing.
    EXPECT_EQ(Word6Labels({{10, TBytes(10, 0)}, {12, list}, {0, {}}, {-1, list}}),
              (std::vector<std::string>{"(none)", "(none)", "-", "(none)"}));
}

// A Word 6.0/95 file whose paragraphs all carry `anld` at `level`.
std::unique_ptr<TDocument> ReadWord6(uint8_t level, const TBytes& anld) {
    test::TWordFixture fixture;
    fixture.Word97 = false;
    fixture.Text = "Alpha\rBeta\r";
    fixture.Papx = {13, level, 12, static_cast<uint8_t>(anld.size())};  // the level, then the ANLD
    fixture.Papx.insert(fixture.Papx.end(), anld.begin(), anld.end());
    fixture.Chpx = {85, 1};  // bold, the paragraph marks too
    static const auto codePages = CreateCodePageConverter(437, 1252);
    test::TMemoryStorage storage = fixture.Build();
    test::TRecordingMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    auto document = std::make_unique<TDocument>();
    TDocOpeningOptions options;
    options.FileName = "fixture.doc";
    EXPECT_TRUE(ReadWord(*document, storage, options, services));
    FinishLoadedDocument(*document, options);
    return document;
}

TEST(WordListNumbering6, NumberedParagraphsOfAWord6FileStartWithTheirLabels) {
    const auto numbered = ReadWord6(10, Anld(nfUpperLetter, "(", ")", 1));
    EXPECT_EQ(test::ParagraphTexts(*numbered), (std::vector<std::string>{"(A)<5>Alpha<2>", "(B)<5>Beta<2>"}));
    EXPECT_EQ(numbered->Paragraph(0).Attributes[paBullet], 0);
    // The label is set in the mark's attributes.
    EXPECT_EQ(test::StreamText(numbered->Paragraph(0).Text), "[2=1](A)<5>Alpha<2>");
    // Bullets are drawn, whichever level names them.
    for (const uint8_t level : {10, 11}) {
        const auto bulleted = ReadWord6(level, Anld(nfBullet, "\xB7", "", 0));
        EXPECT_EQ(test::ParagraphTexts(*bulleted), (std::vector<std::string>{"Alpha<2>", "Beta<2>"}));
        EXPECT_EQ(bulleted->Paragraph(1).Attributes[paBullet], 1);
    }
}

// --- Real documents -----------------------------------------------------------

std::vector<std::string> CorpusParagraphs(const std::string& sub, const std::string& name, TDocument& document) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    test::TRecordingMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    TDocOpeningOptions options;
    options.FileName = (*test::CorpusFolder(sub) / name).string();
    EXPECT_TRUE(LoadDocument(document, options, services));
    return test::ParagraphTexts(document);
}

TEST(WordListLabelsCorpus, NumberedParagraphsShowTheirLabelsAndBulletsStayBullets) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    TDocument document;
    const auto texts = CorpusParagraphs("doc97", "wv__list.doc", document);
    const std::vector<std::string> expected = {"10.<5>One <2>", "11.<5>Two<2>", "Arse<2>",
                                               "1)<5>One <2>",  "2)<5>Two<2>",  "Arse<2>",
                                               "I.<5>One <2>",  "II.<5>Two<2>", "Arse<2>",
                                               "A.<5>One <2>",  "B.<5>Two<2>",  "Arse<2>",
                                               "a)<5>One<2>",   "b)<5>two<2>",  "Arse<2>"};
    ASSERT_GE(texts.size(), expected.size() + 3);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + static_cast<long>(expected.size())), expected);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(document.Paragraph(static_cast<int32_t>(i)).Attributes[paBullet], 0) << i;
    }
    // The bulleted list further on keeps its drawn bullets and gets no text.
    int bulleted = 0;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        if (document.Paragraph(i).Attributes[paBullet] != 0) {
            ++bulleted;
            EXPECT_TRUE(texts[static_cast<size_t>(i)] == "One<2>" || texts[static_cast<size_t>(i)] == "Two<2>")
                << texts[static_cast<size_t>(i)];
        }
    }
    EXPECT_EQ(bulleted, 2);

    // Labels that show the numbers of the levels above.
    TDocument outline;
    const auto headings = CorpusParagraphs("doc97", "poi__document_61490.doc", outline);
    int labelled = 0;
    for (const std::string& text : headings) {
        labelled += text.rfind("1.<5>", 0) == 0 || text.rfind("1.1.<5>", 0) == 0 || text.rfind("1.2.<5>", 0) == 0;
    }
    EXPECT_EQ(labelled, 3);
}

}  // namespace
}  // namespace quillane
