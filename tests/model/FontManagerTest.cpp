#include "model/FontManager.h"

#include <gtest/gtest.h>

#include <ostream>

#include "model/KerningPairs.h"
#include "model/ParAttrs.h"
#include "support/FakeFontSystem.h"
#include "support/RecordingMessageBox.h"

namespace quillane {

void PrintTo(const TRegisteredFont& e, std::ostream* os) {
    *os << "{" << (e.Linked ? "linked " : "unlinked ") << e.Family << ", tag " << e.Tag << ", \"" << e.Name
        << "\", set " << e.CharSet << "/" << e.FontCharSet << ", pf " << e.PitchAndFamily << "}";
}

void PrintTo(const TFontFamily& f, std::ostream* os) {
    *os << "{\"" << f.Name << "\", set " << f.CharSet << ", pf " << f.PitchAndFamily
        << (f.Registered ? ", registered}" : "}");
}

namespace {

using test::StandardFakeFaces;
using test::TFakeFace;
using test::TFakeFontSystem;
using test::TRecordingMessageBox;

TRegisteredFont Linked(int32_t family, int32_t tag, const char* name, int32_t charSet, int32_t pf) {
    return TRegisteredFont{true, family, tag, name, charSet, charSet, pf};
}
TRegisteredFont Unlinked(int32_t tag, const char* name, int32_t charSet, int32_t pf = 0) {
    return TRegisteredFont{false, -1, tag, name, charSet, charSet, pf};
}

constexpr int32_t Roman = VariablePitch | FamilyRoman;
constexpr int32_t Swiss = VariablePitch | FamilySwiss;
constexpr int32_t Modern = FixedPitch | FamilyModern;
constexpr int32_t Decorative = VariablePitch | FamilyDecorative;

// Sorted families of the standard fake faces.
enum : int32_t { fArial, fArialNarrow, fCourier, fFallback, fSymbol, fTimes, fWingdings };

class FontRegistryTest : public testing::Test {
protected:
    void SetUp() override {
        fonts.Faces = StandardFakeFaces();
        manager = std::make_unique<TFontManager>(fonts);
    }

    TFakeFontSystem fonts;
    std::unique_ptr<TFontManager> manager;
};

TEST_F(FontRegistryTest, FamilyListIsSortedScalableAndOncePerFace) {
    const std::vector<TFontFamily> expected = {
        {"Arial", 0, Swiss, true},          {"Arial Narrow", 0, Swiss, true}, {"Courier New", 0, Modern, true},
        {"Fake Fallback", 0, Swiss, true},  {"Symbol", 2, Roman, true},       {"Times New Roman", 0, Roman, true},
        {"wingdings", 2, Decorative, true},
    };
    EXPECT_EQ(expected, manager->Families());
    EXPECT_EQ(fTimes, manager->FindFamily("TIMES new roman"));
    EXPECT_EQ(-1, manager->FindFamily("Terminal"));  // not scalable
    EXPECT_EQ(-1, manager->FindFamily("Times"));

    const auto names = manager->FamilyNames();
    ASSERT_EQ(7u, names.size());
    EXPECT_EQ((std::pair<std::string, int32_t>{"Courier New", fCourier}), names[2]);
}

TEST_F(FontRegistryTest, StartupRegistersEveryCharacterSetAndTheStandardEntries) {
    const std::vector<TRegisteredFont> expected = {
        // one entry per family, in the order of the family list
        Linked(fArial, 0, "Arial", 0, Swiss),
        Linked(fArialNarrow, 1, "Arial Narrow", 0, Swiss),
        Linked(fCourier, 2, "Courier New", 0, Modern),
        Linked(fFallback, 3, "Fake Fallback", 0, Swiss),
        Linked(fSymbol, 4, "Symbol", 2, Roman),
        Linked(fTimes, 5, "Times New Roman", 0, Roman),
        Linked(fWingdings, 6, "wingdings", 2, Decorative),
        // the further character sets, in enumeration order, sharing the tag
        Linked(fTimes, 5, "Times New Roman", 204, Roman),
        Linked(fTimes, 5, "Times New Roman", 161, Roman),
        Linked(fArial, 0, "Arial", 204, Swiss),
        Linked(fArial, 0, "Arial", 238, Swiss),
        Linked(fCourier, 2, "Courier New", 204, Modern),
    };
    EXPECT_EQ(expected, manager->Registry());
    EXPECT_EQ(0, manager->ArialIndex());
    EXPECT_EQ(5, manager->TimesNewRomanIndex());
    EXPECT_EQ(4, manager->SymbolIndex());  // asked with the default set, the face has only set 2
    EXPECT_EQ(5, TModelDefaults::BuiltIn(manager->TimesNewRomanIndex()).Char[caFont]);
}

TEST_F(FontRegistryTest, RegisterFindsOrAppends) {
    struct Case {
        const char* name;
        int32_t charSet;
        bool allowPrefix;
        int32_t expectedIndex;
        TRegisteredFont expectedEntry;
    };
    const Case cases[] = {
        // the full name is no family, its first two words are
        {"Courier New Baltic", 186, true, 12, Linked(fCourier, 2, "Courier New Baltic", 186, 7)},
        {"Courier New Baltic", 186, false, 12, Unlinked(7, "Courier New Baltic", 186, 7)},
        {"Courier New Baltic", 204, true, 11, Linked(fCourier, 2, "Courier New", 204, Modern)},
        {"arial", 204, false, 9, Linked(fArial, 0, "Arial", 204, Swiss)},
        {"Arial", 161, false, 12, Linked(fArial, 0, "Arial", 161, 7)},
        // a symbol face has only the symbol set, other faces never have it
        {"Symbol", 0, false, 4, Linked(fSymbol, 4, "Symbol", 2, Roman)},
        {"Arial", 2, false, 0, Linked(fArial, 0, "Arial", 0, Swiss)},
        // an undefined set takes the entry of that name, else the system's set
        {"Arial", UndefinedAttr, false, 0, Linked(fArial, 0, "Arial", 0, Swiss)},
        {"Arial Cyr", UndefinedAttr, true, 0, Linked(fArial, 0, "Arial", 0, Swiss)},
        {"No Such Face", UndefinedAttr, false, 12, Unlinked(7, "No Such Face", 0, 7)},
        {"No Such Face", 238, true, 12, Unlinked(7, "No Such Face", 238, 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " set " + std::to_string(c.charSet) + (c.allowPrefix ? " prefix" : ""));
        TFontManager fresh(fonts);
        const int32_t index = fresh.Register(c.name, c.charSet, c.allowPrefix, 7);
        EXPECT_EQ(c.expectedIndex, index);
        EXPECT_EQ(c.expectedEntry, fresh.Entry(index));
    }
}

TEST_F(FontRegistryTest, AbsentFontsShareATagAcrossCharacterSets) {
    const int32_t ansi = manager->Register("Garamond", 0, true, Roman);
    const int32_t cyrillic = manager->Register("garamond", 204, true, Roman);
    const int32_t other = manager->Register("Baskerville", 0, true, Roman);
    EXPECT_EQ(12, ansi);
    EXPECT_EQ(13, cyrillic);
    EXPECT_EQ(14, other);
    EXPECT_EQ(ansi, manager->Register("GARAMOND", 0, true, 0));
    EXPECT_EQ(ansi, manager->Register("Garamond", UndefinedAttr, true, 0));  // the first of that name
    EXPECT_EQ(manager->TagOf(ansi), manager->TagOf(cyrillic));
    EXPECT_NE(manager->TagOf(ansi), manager->TagOf(other));
    EXPECT_EQ(ansi, manager->FindRegistered("garamond"));
    EXPECT_EQ(-1, manager->FindRegistered("Garamond Bold"));

    // Attribute comparisons see the two Garamond entries as one font.
    TCharAttrs a = TModelDefaults::BuiltIn(ansi).Char;
    TCharAttrs b = TModelDefaults::BuiltIn(cyrillic).Char;
    EXPECT_TRUE(SameAttributes(a, b, manager.get()));
    b[caFont] = other;
    EXPECT_FALSE(SameAttributes(a, b, manager.get()));
}

// A symbol face linked through an entry of another set: asking for its own
// set must append that entry, not ask for the same set again and again.
TEST_F(FontRegistryTest, SymbolSetOfALinkedSymbolFaceWithoutSuchEntry) {
    const int32_t ansiEntry = manager->Register("Dingbats", 0, false, 0);
    ASSERT_FALSE(manager->Entry(ansiEntry).Linked);
    fonts.Faces.push_back(TFakeFace{"Dingbats", {2}, Decorative, true, {}});
    TKerningPairsManager kerning;
    manager->Rebuild(kerning, nullptr);
    ASSERT_TRUE(manager->Entry(ansiEntry).Linked);  // linked, and still with set 0

    const int32_t symbolEntry = manager->Register("Dingbats", 2, false, 0);
    EXPECT_EQ(ansiEntry + 1, symbolEntry);
    EXPECT_EQ(Linked(manager->FindFamily("Dingbats"), manager->TagOf(ansiEntry), "Dingbats", 2, 0),
              manager->Entry(symbolEntry));
    EXPECT_EQ(ansiEntry, manager->Register("Dingbats", 0, false, 0));  // that entry exists
    EXPECT_EQ(symbolEntry, manager->WithCharacterSet(ansiEntry, 204));
}

TEST_F(FontRegistryTest, WithCharacterSet) {
    const int32_t absent = manager->Register("Garamond", 0, false, Roman);  // 12, tag 7
    struct Case {
        int32_t index;
        int32_t charSet;
        int32_t expectedIndex;
        TRegisteredFont expectedEntry;
    };
    const Case cases[] = {
        {0, 204, 9, Linked(fArial, 0, "Arial", 204, Swiss)},
        {10, 0, 0, Linked(fArial, 0, "Arial", 0, Swiss)},
        {0, 161, 13, Linked(fArial, 0, "Arial", 161, Swiss)},  // a copy with the new set
        {4, 0, 4, Linked(fSymbol, 4, "Symbol", 2, Roman)},     // symbol faces keep set 2
        {5, 2, 5, Linked(fTimes, 5, "Times New Roman", 0, Roman)},
        {absent, 204, 13, Unlinked(7, "Garamond", 204, Roman)},
        {absent, 0, absent, Unlinked(7, "Garamond", 0, Roman)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " to set " + std::to_string(c.charSet));
        TFontManager fresh(fonts);
        fresh.Register("Garamond", 0, false, Roman);
        const int32_t index = fresh.WithCharacterSet(c.index, c.charSet);
        EXPECT_EQ(c.expectedIndex, index);
        EXPECT_EQ(c.expectedEntry, fresh.Entry(index));
    }
}

TEST_F(FontRegistryTest, DisplayNameIsTheFamilysForLinkedEntries) {
    const int32_t baltic = manager->Register("Courier New Baltic", 186, true, 0);
    const int32_t absent = manager->Register("Old Face", 0, true, 0);
    EXPECT_EQ("Courier New", manager->DisplayName(baltic));
    EXPECT_EQ("Old Face", manager->DisplayName(absent));
    EXPECT_EQ("Times New Roman", manager->DisplayName(manager->TimesNewRomanIndex()));
}

TEST_F(FontRegistryTest, ValidateFontName) {
    struct Case {
        const char* name;
        int32_t current;
        std::vector<TMessageAnswer> answers;
        bool expectedResult;
        int32_t expectedIndex;  // the index after the call
        std::vector<std::string> expectedMessages;
    };
    const std::string absentQuestion =
        "The \"Old Face\" Font is absent from the System Font List. Ignore and use this font anyway?";
    const Case cases[] = {
        {"", -1, {}, false, -1, {"Font name cannot be blank"}},
        {"", UndefinedAttr, {}, false, UndefinedAttr, {"Font name cannot be blank"}},
        {"", 5, {}, true, 5, {}},
        {"courier new", -1, {}, true, 2, {}},
        {"Courier New", 9, {}, true, 11, {}},  // in the set of the current font (Arial 204)
        {"Old Face", 9, {TMessageAnswer::No}, false, 9, {absentQuestion}},
        {"Old Face", 9, {TMessageAnswer::Yes}, true, 12, {absentQuestion}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.name + "\" from " + std::to_string(c.current));
        TFontManager fresh(fonts);
        TRecordingMessageBox messages;
        messages.Answers.assign(c.answers.begin(), c.answers.end());
        int32_t index = c.current;
        EXPECT_EQ(c.expectedResult, fresh.ValidateFontName(index, c.name, messages));
        EXPECT_EQ(c.expectedIndex, index);
        EXPECT_EQ(c.expectedMessages, messages.Shown);
        if (c.expectedIndex == 12) {
            EXPECT_EQ(Unlinked(7, "Old Face", 204), fresh.Entry(12));
        } else {
            EXPECT_EQ(12u, fresh.Registry().size());
        }
    }
}

TEST_F(FontRegistryTest, RebuildRelinksAndKeepsEveryIndex) {
    const int32_t garamond = manager->Register("Garamond", 0, true, Roman);
    const int32_t garamondCondensed = manager->Register("Garamond Condensed", 0, true, Roman);
    const int32_t narrowCyrillic = manager->Register("Arial Narrow", 204, true, Swiss);
    TCharAttrs attrs = TModelDefaults::BuiltIn(0).Char;
    manager->SelectFont(attrs, -16, false, true);
    const size_t before = manager->Registry().size();

    // Courier New and Arial Narrow are removed, Garamond and Zapf installed.
    fonts.Faces.erase(fonts.Faces.begin() + 3, fonts.Faces.begin() + 5);
    fonts.Faces.push_back(TFakeFace{"Garamond", {0}, Roman, true, {}});
    fonts.Faces.push_back(TFakeFace{"Zapf", {0}, Roman, true, {}});
    TKerningPairsManager kerning;
    kerning.LoadPairs(attrs, -16, *manager->Current()->Font);
    int relayouts = 0;
    manager->Rebuild(kerning, [&] { ++relayouts; });

    EXPECT_EQ(1, relayouts);
    EXPECT_TRUE(manager->Cache().empty());
    EXPECT_EQ(nullptr, manager->Current());
    EXPECT_TRUE(kerning.Cache().empty());
    EXPECT_EQ(nullptr, kerning.Current());

    enum : int32_t { gArial, gFallback, gGaramond, gSymbol, gTimes, gWingdings, gZapf };
    ASSERT_EQ(7u, manager->Families().size());
    EXPECT_EQ("Zapf", manager->Families()[gZapf].Name);
    ASSERT_EQ(before + 1, manager->Registry().size());  // only Zapf is new
    const TRegisteredFont expectedChanged[] = {
        Linked(gArial, 1, "Arial Narrow", 0, Swiss),  // by its first word
        Unlinked(2, "Courier New", 0, Modern),
        Linked(gTimes, 5, "Times New Roman", 161, Roman),
        Linked(gArial, 0, "Arial", 238, Swiss),
        Unlinked(2, "Courier New", 204, Modern),
        Linked(gGaramond, 7, "Garamond", 0, Roman),
        Linked(gGaramond, 8, "Garamond Condensed", 0, Roman),
        Linked(gArial, 1, "Arial Narrow", 204, Swiss),
        Linked(gZapf, 9, "Zapf", 0, Roman),
    };
    const int32_t changedIndexes[] = {1, 2, 8, 10, 11, garamond, garamondCondensed, narrowCyrillic,
                                      static_cast<int32_t>(before)};
    for (size_t i = 0; i < std::size(changedIndexes); ++i) {
        SCOPED_TRACE(changedIndexes[i]);
        EXPECT_EQ(expectedChanged[i], manager->Entry(changedIndexes[i]));
    }
    for (const TFontFamily& family : manager->Families()) {
        EXPECT_TRUE(family.Registered) << family.Name;
    }
}

TEST_F(FontRegistryTest, RegisterDocumentFonts) {
    std::vector<TDocFontInfo> table = {
        {"Arial", 204, FamilySwiss, VariablePitch, -1},
        {"Courier New Cyr", 204, FamilyModern, FixedPitch, -1},
        {"Helvetica", UndefinedAttr, FamilySwiss, VariablePitch, -1},
        {"Helvetica", 238, FamilySwiss, VariablePitch, -1},
    };
    manager->RegisterDocumentFonts(table);
    EXPECT_EQ(9, table[0].Index);
    EXPECT_EQ(11, table[1].Index);  // Courier New in its Cyrillic entry
    EXPECT_EQ(12, table[2].Index);
    EXPECT_EQ(13, table[3].Index);
    EXPECT_EQ(Unlinked(7, "Helvetica", 0, Swiss), manager->Entry(12));
    EXPECT_EQ(Unlinked(7, "Helvetica", 238, Swiss), manager->Entry(13));
}

TEST(ScriptSize, IsSixtyFivePercentRounded) {
    const std::pair<int32_t, int32_t> cases[] = {{24, 16}, {20, 13}, {2, 1}, {10, 7}, {0, 0}, {144, 94}};
    for (const auto& [size, expected] : cases) {
        SCOPED_TRACE(size);
        EXPECT_EQ(expected, ScriptSize(size));
    }
}

}  // namespace
}  // namespace quillane
