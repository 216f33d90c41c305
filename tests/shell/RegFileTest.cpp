// The registry-export text form: what parses, what is kept verbatim, and
// that writing what was read gives the same tree back.

#include <gtest/gtest.h>

#include "platform/RegFile.h"

namespace quillane {
namespace {

const char Root[] = "HKEY_CURRENT_USER\\Software\\Orvanic\\Quillane.1_x";

TEST(RegFileSyntax, ReadsEveryValueForm) {
    const std::string text =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Orvanic\\Quillane.1_x\\General]\n"
        "\"DocsToKeep\"=dword:0000000a\n"
        "\"DocFolder\"=\"C:\\\\Users\\\\ann\\\\ \\\"quoted\\\"\"\n"
        "\"Multi\"=\"one\\ntwo\"\n"
        "@=\"unnamed\"\n"
        "\"\\\\\"=\"backslash name\"\n"
        "\"Big\"=dword:FFFFFFFF\n"
        "\"Binary\"=hex:01,02,03,\\\n"
        "  04,05\n"
        "\"Expand\"=hex(2):25,00,00,00\n";
    const TRegDocument doc = ParseRegText(text);
    EXPECT_EQ(0, doc.IgnoredLines);
    ASSERT_EQ(1u, doc.Sections.size());
    const TRegSection& s = doc.Sections[0];
    EXPECT_EQ(std::string(Root) + "\\General", s.Path);
    const std::vector<TRegValue> expected = {
        {"DocsToKeep", TSettingsValueKind::Number, 10, ""},
        {"DocFolder", TSettingsValueKind::String, 0, "C:\\Users\\ann\\ \"quoted\""},
        {"Multi", TSettingsValueKind::String, 0, "one\ntwo"},
        {"", TSettingsValueKind::String, 0, "unnamed"},
        {"\\", TSettingsValueKind::String, 0, "backslash name"},
        {"Big", TSettingsValueKind::Number, 0xFFFFFFFFu, ""},
        {"Binary", TSettingsValueKind::Other, 0, "hex:01,02,03,\\\n  04,05"},
        {"Expand", TSettingsValueKind::Other, 0, "hex(2):25,00,00,00"},
    };
    EXPECT_EQ(expected, s.Values);
}

// Written back, the tree reads as itself, in either line end, and a second
// write gives the same bytes.
TEST(RegFileSyntax, RoundTripKeepsEveryValue) {
    TRegDocument doc;
    AddSection(doc, std::string(Root) + "\\Empty");
    TRegSection& s = AddSection(doc, std::string(Root) + "\\Internal\\FindReplace");
    const char* awkward[] = {"\\", "[", "]", "^", "a\"b", "tab\there", "line\nbreak", "back\\\\slashes\\", "é ü ß 漢"};
    for (const char* name : awkward) {
        SetValue(s, {name, TSettingsValueKind::String, 0, std::string("v=") + name});
    }
    SetValue(s, {"Zero", TSettingsValueKind::Number, 0, ""});
    SetValue(s, {"Kept", TSettingsValueKind::Other, 0, "hex(b):01,00,00,00,00,00,00,00"});
    SetValue(s, {"Long", TSettingsValueKind::Other, 0, "hex:00,\\\n  01"});
    for (bool crlf : {false, true}) {
        SCOPED_TRACE(crlf ? "CRLF" : "LF");
        doc.CrLf = crlf;
        const std::string text = FormatRegText(doc);
        EXPECT_EQ(crlf, text.find("\r\n") != std::string::npos);
        const TRegDocument back = ParseRegText(text);
        EXPECT_EQ(0, back.IgnoredLines);
        EXPECT_EQ(crlf, back.CrLf);
        ASSERT_EQ(2u, back.Sections.size());
        for (const TRegValue& v : s.Values) {
            const TRegSection* read = nullptr;
            for (const TRegSection& b : back.Sections) {
                if (b.Path == s.Path) {
                    read = &b;
                }
            }
            ASSERT_NE(nullptr, read);
            const TRegValue* got = FindValue(*read, v.Name);
            ASSERT_NE(nullptr, got) << v.Name;
            EXPECT_EQ(v, *got);
        }
        EXPECT_EQ(text, FormatRegText(back));
    }
}

TEST(RegFileSyntax, SortsWithoutCaseAndKeepsFirstSpelling) {
    TRegDocument doc;
    AddSection(doc, "HKEY_CURRENT_USER\\b");
    AddSection(doc, "HKEY_CURRENT_USER\\A2");
    AddSection(doc, "HKEY_CURRENT_USER\\a\\Sub");
    TRegSection& a = AddSection(doc, "HKEY_CURRENT_USER\\A");
    EXPECT_EQ(&a, &AddSection(doc, "hkey_current_user\\a"));  // one key whatever the case
    SetValue(a, {"zeta", TSettingsValueKind::Number, 1, ""});
    SetValue(a, {"Alpha", TSettingsValueKind::Number, 2, ""});
    SetValue(a, {"ALPHA", TSettingsValueKind::Number, 3, ""});  // the same value, first spelling kept
    EXPECT_EQ("Windows Registry Editor Version 5.00\n"
              "\n[HKEY_CURRENT_USER\\A]\n\"Alpha\"=dword:00000003\n\"zeta\"=dword:00000001\n"
              "\n[HKEY_CURRENT_USER\\a\\Sub]\n"
              "\n[HKEY_CURRENT_USER\\A2]\n"
              "\n[HKEY_CURRENT_USER\\b]\n",
              FormatRegText(doc));
    RemoveTree(doc, "HKEY_CURRENT_USER\\a");
    ASSERT_EQ(2u, doc.Sections.size());  // A2 is no child of A
}

TEST(RegFileSyntax, LinesThatDoNotParseAreCountedAndSkipped) {
    struct Case {
        const char* Name;
        std::string Text;
        int32_t Ignored;
        size_t Values;
    };
    const std::string header = "Windows Registry Editor Version 5.00\r\n";
    const std::string section = "[HKEY_CURRENT_USER\\K]\r\n";
    const Case cases[] = {
        {"clean", header + section + "\"a\"=dword:1\r\n", 0, 1},
        {"no header", section + "\"a\"=dword:1\r\n", 1, 1},
        {"value before any section", header + "\"a\"=dword:1\r\n" + section, 1, 0},
        {"dword too long", header + section + "\"a\"=dword:123456789\r\n", 1, 0},
        {"dword not hex", header + section + "\"a\"=dword:12x4\r\n", 1, 0},
        {"unterminated string", header + section + "\"a\"=\"abc\r\n", 1, 0},
        {"text after string", header + section + "\"a\"=\"abc\" x\r\n", 1, 0},
        {"unterminated name", header + section + "\"a=1\r\n", 1, 0},
        {"deletion", header + section + "\"a\"=-\r\n", 1, 0},
        {"key deletion", header + "[-HKEY_CURRENT_USER\\K]\r\n\"a\"=dword:1\r\n", 2, 0},
        {"binary junk", header + section + std::string("\x01\x02\xff\xfe", 4) + "\r\n\"b\"=dword:2\r\n", 1, 1},
        {"comment", header + "; written by hand\r\n" + section + "\"a\"=dword:1\r\n", 0, 1},
        {"no final line end", header + section + "\"a\"=dword:1", 0, 1},
        // A backslash at the end of a binary value continues it only over
        // indented lines.
        {"continuation not indented", header + section + "\"a\"=hex:01,\\\r\n\"b\"=dword:1\r\n", 0, 2},
        {"continuation at the end", header + section + "\"a\"=hex:01,\\\r\n\r\n", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRegDocument doc = ParseRegText(c.Text);
        EXPECT_EQ(c.Ignored, doc.IgnoredLines);
        size_t values = 0;
        for (const TRegSection& s : doc.Sections) {
            values += s.Values.size();
        }
        EXPECT_EQ(c.Values, values);
    }
}

TEST(RegFileSyntax, ReadsLatin1LinesAndUtf16Exports) {
    // A line that is not UTF-8 is Latin-1: "Müller" with ü as one byte.
    const TRegDocument latin = ParseRegText(
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n\"n\"=\"M\xFCller\"\n\"u\"=\"M\xC3\xBCller\"\n");
    ASSERT_EQ(1u, latin.Sections.size());
    EXPECT_EQ("M\xC3\xBCller", FindValue(latin.Sections[0], "n")->Text);
    EXPECT_EQ("M\xC3\xBCller", FindValue(latin.Sections[0], "u")->Text);

    // What the registry editor exports: UTF-16LE with a byte-order mark, CRLF.
    const std::u16string wide =
        u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"\u00e9\"=\"\u6f22\U0001F600\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    const TRegDocument utf16 = ParseRegText(bytes);
    EXPECT_EQ(0, utf16.IgnoredLines);
    EXPECT_TRUE(utf16.CrLf);
    ASSERT_EQ(1u, utf16.Sections.size());
    const TRegValue* v = FindValue(utf16.Sections[0], "\xC3\xA9");
    ASSERT_NE(nullptr, v);
    EXPECT_EQ("\xE6\xBC\xA2\xF0\x9F\x98\x80", v->Text);
}

TEST(RegFileSyntax, KeyPathsAreNormalized) {
    EXPECT_EQ("Software\\Orvanic\\Quillane.1_x\\General",
              NormalizeKeyPath("\\Software\\Orvanic\\Quillane.1_x\\\\General\\"));
    EXPECT_EQ("", NormalizeKeyPath("\\\\"));
}

}  // namespace
}  // namespace quillane
