#include "platform/CodePages.h"

#include <gtest/gtest.h>

#include "platform/BestFit.h"
#include "platform/MessageBox.h"

namespace quillane {
namespace {

uint8_t OemToAnsi(const TCodePageConverter& c, uint8_t b) {
    c.OemToAnsi(&b, 1);
    return b;
}
uint8_t AnsiToOem(const TCodePageConverter& c, uint8_t b) {
    c.AnsiToOem(&b, 1);
    return b;
}

TEST(CodePages, Page437AndPage1252) {
    const auto c = CreateCodePageConverter(437, 1252);
    EXPECT_EQ(437, c->OemCodePage());
    EXPECT_EQ(1252, c->AnsiCodePage());
    struct Case {
        uint8_t oem, ansi;
    };
    const Case exact[] = {{'A', 'A'}, {0x8E, 0xC4}, {0x81, 0xFC}, {0xE1, 0xDF}, {0xFF, 0xA0}, {0x9C, 0xA3}, {0x09, 0x09}};
    for (const Case& x : exact) {
        SCOPED_TRACE(testing::Message() << std::hex << int(x.oem));
        EXPECT_EQ(x.ansi, OemToAnsi(*c, x.oem));
        EXPECT_EQ(x.oem, AnsiToOem(*c, x.ansi));
    }
    // Substitutes, in both directions.
    EXPECT_EQ('+', OemToAnsi(*c, 0xC5));  // box cross
    EXPECT_EQ('-', OemToAnsi(*c, 0xC4));
    EXPECT_EQ('|', OemToAnsi(*c, 0xBA));
    EXPECT_EQ('=', OemToAnsi(*c, 0xCD));
    EXPECT_EQ('#', OemToAnsi(*c, 0xB1));
    EXPECT_EQ('S', AnsiToOem(*c, 0x8A));  // S caron
    EXPECT_EQ('"', AnsiToOem(*c, 0x93));  // left double quote
    EXPECT_EQ('-', AnsiToOem(*c, 0x97));  // em dash
    EXPECT_EQ('?', AnsiToOem(*c, 0x81));  // undefined in 1252
}

TEST(CodePages, CyrillicPages) {
    const auto c = CreateCodePageConverter(866, 1251);
    EXPECT_EQ(0xC0, OemToAnsi(*c, 0x80));  // Cyrillic capital A
    EXPECT_EQ(0x80, AnsiToOem(*c, 0xC0));
}

TEST(CodePages, UnknownPagesAreRefused) { EXPECT_THROW(CreateCodePageConverter(437, 61234), std::runtime_error); }

TEST(CodePages, ConvertingInPlaceTouchesOnlyTheGivenBytes) {
    const auto c = CreateCodePageConverter(437, 1252);
    uint8_t bytes[] = {0x8E, 0x84, 0x8E};
    c->OemToAnsi(bytes, 2);
    EXPECT_EQ(0xC4, bytes[0]);
    EXPECT_EQ(0xE4, bytes[1]);
    EXPECT_EQ(0x8E, bytes[2]);
}

TEST(MessageText, PlaceholdersAndLineBreaks) {
    EXPECT_EQ("Error reading file \"a.txt\"", FormatMessageText("Error reading file \"%s\"", {"a.txt"}));
    EXPECT_EQ("x 1 y 2 z %s", FormatMessageText("x %s y %s z %s", {"1", "2"}));
    EXPECT_EQ("a\r\nb\r\n|c", ExpandLineBreaks("a||b|||c", "\r\n"));
    TSilentMessageBox silent;
    EXPECT_EQ(TMessageAnswer::Cancel, silent.Show("x", TMessageKind::Error, TMessageButtons::RetryCancel));
    EXPECT_EQ(TMessageAnswer::No, silent.Show("x", TMessageKind::Warning, TMessageButtons::YesNo));
    EXPECT_EQ(TMessageAnswer::Ok, silent.Show("x", TMessageKind::Error, TMessageButtons::Ok));
    // A batch question nobody can answer stops the batch.
    EXPECT_EQ(TMessageAnswer::Cancel, silent.Show("x", TMessageKind::Confirmation, TMessageButtons::YesNoCancelAll));
}

}  // namespace
}  // namespace quillane
