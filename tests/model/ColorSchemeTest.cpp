#include "model/ColorScheme.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quillane {
namespace {

std::string Groups(int count, const char* group) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += group;
    }
    return text;
}

TEST(ColorScheme, EntriesAndDefaults) {
    EXPECT_STREQ("Auto Text", SchemeEntryName(0));
    EXPECT_STREQ("Ruler Left/Right Margin", SchemeEntryName(7));
    EXPECT_STREQ("Custom Dialog Text Border", SchemeEntryName(27));
    EXPECT_EQ(static_cast<uint32_t>(scWindowText), SchemeEntryDefault(ceAutoText));
    EXPECT_EQ(static_cast<uint32_t>(scButtonShadow), SchemeEntryDefault(ceInterpageSpace));
    EXPECT_EQ(FixedColorFlag | 0xFF0000, SchemeEntryDefault(cePageMarginBorder));
    EXPECT_EQ(FixedColorFlag | 0x000000, SchemeEntryDefault(ceWarningBackground + 2));
    EXPECT_EQ(FixedColorFlag | 0x00D000, SchemeEntryDefault(ceInformationBackground));
    EXPECT_THROW(SchemeEntryName(28), std::out_of_range);
}

TEST(ColorScheme, ParseScheme) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::pair<int, int32_t>> expectedSet;  // entry, value; the rest stay -1
    };
    std::vector<std::pair<int, int32_t>> first26;
    for (int i = 0; i < 26; ++i) {
        first26.emplace_back(i, 0x00123456);
    }
    const Case cases[] = {
        {"empty", "", {}},
        {"one group", "000000FF", {{0, 0xFF}}},
        {"digits of both cases", "00abCDef0000FF00", {{0, 0xABCDEF}, {1, 0xFF00}}},
        {"FFFFFFFF is the default", "FFFFFFFF00FF0000", {{1, 0xFF0000}}},
        {"28 groups set 26 entries", Groups(28, "00123456"), first26},
        {"a partial group is ignored", "000000FF00FF", {{0, 0xFF}}},
        {"a group with another character is ignored", "000000FF00GG00000000AA00", {{0, 0xFF}, {2, 0xAA00}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TColorScheme expected;
        for (const auto& [entry, value] : c.expectedSet) {
            expected.Entries[static_cast<size_t>(entry)] = value;
        }
        TColorScheme scheme;
        scheme.Entries.fill(7);  // parsing starts afresh
        ParseScheme(scheme, c.text);
        EXPECT_EQ(expected.Entries, scheme.Entries);
    }
}

TEST(ColorScheme, NamedSchemesAreWellFormed) {
    std::set<std::string> names;
    for (const TNamedScheme& named : NamedSchemes) {
        SCOPED_TRACE(named.Name);
        names.insert(named.Name);
        const std::string text = named.Text;
        EXPECT_EQ(0u, text.size() % 8);
        EXPECT_EQ(std::string::npos, text.find_first_not_of("0123456789ABCDEF"));
        TColorScheme scheme;
        ParseScheme(scheme, text);
        const size_t groups = std::min<size_t>(text.size() / 8, 26);
        for (size_t i = groups; i < SchemeEntryCount; ++i) {
            EXPECT_EQ(-1, scheme.Entries[i]);
        }
    }
    EXPECT_EQ(17u, names.size());
    EXPECT_STREQ("Standard", NamedSchemes[0].Name);
    EXPECT_STREQ("", NamedSchemes[0].Text);

    TColorScheme coconut;
    ParseScheme(coconut, NamedSchemes[13].Text);
    EXPECT_STREQ("Coconut Nature", NamedSchemes[13].Name);
    const int32_t expected[8] = {0x00FFFF00, 0x00FFFFFF, 0x00400080, 0x00DCABDE,
                                 0x007B8E81, 0x00FFFFFF, 0x00007DC8, 0x0000B1EC};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(expected[i], coconut.Entries[i]);
    }
}

TEST(ColorScheme, PrintScheme) {
    const TColorScheme print = PrintScheme();
    TColorScheme expected;
    expected.Entries[0] = expected.Entries[1] = expected.Entries[5] = 0x000000;
    expected.Entries[2] = 0xFFFFFF;
    expected.Entries[3] = 0xFF0000;
    expected.Entries[4] = 0x808080;
    EXPECT_EQ(expected, print);
}

}  // namespace
}  // namespace quillane
