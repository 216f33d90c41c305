// The careful storage: what it makes of stored values of every kind, and
// long strings, whose piece count it must not trust.

#include <gtest/gtest.h>

#include <climits>

#include "shell/CarefullRegistry.h"
#include "support/MemorySettingsStore.h"

namespace quillane {
namespace {

using test::OpenMemoryStore;
using test::TMemorySettings;

const char TestRoot[] = "\\Software\\Orvanic\\QuillaneTest\\";

class CarefullRegistryTest : public ::testing::Test {
protected:
    TCarefullRegistry Storage() { return TCarefullRegistry(OpenMemoryStore(settings_), TestRoot); }
    void Seed(const std::string& key, const TRegValue& value) {
        SetValue(AddSection(settings_.Tree, "HKEY_CURRENT_USER\\Software\\Orvanic\\QuillaneTest\\" + key), value);
    }
    static TRegValue Number(const char* name, uint32_t n) { return {name, TSettingsValueKind::Number, n, ""}; }
    static TRegValue String(const char* name, std::string s) { return {name, TSettingsValueKind::String, 0, s}; }

    TMemorySettings settings_;
};

TEST_F(CarefullRegistryTest, IntegersAreClampedAndOtherKindsReadAsDefault) {
    Seed("K", Number("Low", 0));
    Seed("K", Number("High", 50));
    Seed("K", Number("Inside", 7));
    Seed("K", Number("Negative", 0xFFFFFFFBu));  // -5 as the DWORD holds it
    Seed("K", Number("Max", 0x7FFFFFFFu));
    Seed("K", String("Text", "12"));
    Seed("K", {"Binary", TSettingsValueKind::Other, 0, "hex:01"});
    struct Case {
        const char* Name;
        int32_t Min, Default, Max, Expected;
    };
    const Case cases[] = {
        {"Low", 1, 10, 30, 1},       {"High", 0, 10, 30, 30},       {"Inside", 0, 10, 30, 7},
        {"Negative", 0, 10, 30, 0},  {"Negative", INT_MIN, 0, INT_MAX, -5},
        {"Max", 0, 0, INT_MAX, INT_MAX},
        {"Missing", 0, 10, 30, 10},  {"Text", 0, 10, 30, 10},       {"Binary", 0, 10, 30, 10},
        {"Missing", 0, 99, 30, 99},  // a default is not clamped
    };
    TCarefullRegistry storage = Storage();
    ASSERT_TRUE(storage.OpenKey("K"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, storage.ReadInteger(c.Name, c.Min, c.Default, c.Max));
    }
}

TEST_F(CarefullRegistryTest, BooleansAndStrings) {
    Seed("K", Number("Zero", 0));
    Seed("K", Number("Two", 2));
    Seed("K", Number("Big", 0x80000000u));
    Seed("K", String("Text", "1"));
    Seed("K", String("Empty", ""));
    TCarefullRegistry storage = Storage();
    ASSERT_TRUE(storage.OpenKey("K"));
    EXPECT_FALSE(storage.ReadBool("Zero", true));
    EXPECT_TRUE(storage.ReadBool("Two", false));  // any non-zero number
    EXPECT_TRUE(storage.ReadBool("Big", false));
    EXPECT_FALSE(storage.ReadBool("Text", false));  // a string is no boolean
    EXPECT_TRUE(storage.ReadBool("Missing", true));
    EXPECT_EQ("1", storage.ReadString("Text", "d"));
    EXPECT_EQ("", storage.ReadString("Empty", "d"));
    EXPECT_EQ("d", storage.ReadString("Two", "d"));  // a number is no string
    EXPECT_EQ("d", storage.ReadString("Missing", "d"));

    storage.WriteBool("Flag", true);
    storage.WriteInteger("Neg", -1);
    storage.WriteString("Name", "x");
    EXPECT_TRUE(storage.Finish());
    EXPECT_EQ(1u, settings_.Value("Software\\Orvanic\\QuillaneTest\\K", "Flag").Number);
    EXPECT_EQ(0xFFFFFFFFu, settings_.Value("Software\\Orvanic\\QuillaneTest\\K", "Neg").Number);
}

TEST_F(CarefullRegistryTest, LongStringsGoInPiecesOf512Characters) {
    // 1,100 characters, some of two bytes: three pieces, split between characters.
    std::string text;
    for (int i = 0; i < 1100; ++i) {
        text += (i % 3 == 0) ? "\xC3\xA9" : "a";
    }
    TCarefullRegistry storage = Storage();
    storage.WriteLongString("ColorScheme", text);
    ASSERT_TRUE(storage.Finish());
    const std::string key = "Software\\Orvanic\\QuillaneTest\\ColorScheme";
    EXPECT_EQ(3u, settings_.Value(key, "Count").Number);
    const std::string first = settings_.Value(key, "0").Text;
    EXPECT_EQ(text.substr(0, first.size()), first);
    EXPECT_EQ(static_cast<size_t>(512 + 171), first.size());  // 171 of the 512 take two bytes
    EXPECT_EQ(text, Storage().ReadLongString("ColorScheme", "default"));

    // A shorter value leaves no stale pieces behind.
    TCarefullRegistry again = Storage();
    again.WriteLongString("ColorScheme", "short");
    ASSERT_TRUE(again.Finish());
    EXPECT_EQ(1u, settings_.Value(key, "Count").Number);
    EXPECT_EQ(TSettingsValueKind::Missing, settings_.Value(key, "1").Kind);
    EXPECT_EQ(TSettingsValueKind::Missing, settings_.Value(key, "2").Kind);
    EXPECT_EQ("short", Storage().ReadLongString("ColorScheme", "default"));

    TCarefullRegistry empty = Storage();
    empty.WriteLongString("ColorScheme", "");
    EXPECT_EQ("", Storage().ReadLongString("ColorScheme", "default"));  // empty is a value
}

// A damaged count is not a length: anything outside 0..2048, a missing
// piece or a piece of the wrong type gives the default, at once.
TEST_F(CarefullRegistryTest, DamagedLongStringsReadAsDefault) {
    struct Case {
        const char* Name;
        std::vector<TRegValue> Values;
    };
    const Case cases[] = {
        {"no count", {String("0", "x")}},
        {"count of minus one", {Number("Count", 0xFFFFFFFFu), String("0", "x")}},
        {"negative count", {Number("Count", 0xFFFFFFF0u)}},
        {"huge count", {Number("Count", 0x7FFFFFFFu), String("0", "x")}},
        {"count past 1 MiB", {Number("Count", 2049)}},
        {"count as text", {String("Count", "1"), String("0", "x")}},
        {"missing piece", {Number("Count", 3), String("0", "x"), String("2", "z")}},
        {"piece as number", {Number("Count", 1), Number("0", 5)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        settings_ = TMemorySettings{};
        for (const TRegValue& v : c.Values) {
            Seed("LS", v);
        }
        EXPECT_EQ("default", Storage().ReadLongString("LS", "default"));
    }
}

// The long-string calls leave the key that was open before them open.
TEST_F(CarefullRegistryTest, LongStringsRestoreTheOpenKey) {
    Seed("View", Number("Ruler", 0));
    Seed("LS", Number("Count", 1));
    Seed("LS", String("0", "text"));
    Seed("LS", Number("Ruler", 1));
    TCarefullRegistry storage = Storage();
    ASSERT_TRUE(storage.OpenKey("View"));
    EXPECT_EQ("text", storage.ReadLongString("LS", ""));
    EXPECT_FALSE(storage.ReadBool("Ruler", true));
    storage.WriteLongString("LS", "other");
    storage.WriteBool("StatusBar", true);
    ASSERT_TRUE(storage.Finish());
    EXPECT_EQ(1u, settings_.Value("Software\\Orvanic\\QuillaneTest\\View", "StatusBar").Number);
    EXPECT_EQ(TSettingsValueKind::Missing, settings_.Value("Software\\Orvanic\\QuillaneTest\\LS", "StatusBar").Kind);
}

TEST_F(CarefullRegistryTest, FailedWritesAndCommitsAreReported) {
    {
        settings_.FailWrites = true;
        TCarefullRegistry storage = Storage();
        ASSERT_TRUE(storage.OpenKey("K"));
        storage.WriteInteger("n", 1);
        EXPECT_FALSE(storage.Finish());
    }
    {
        settings_.FailWrites = false;
        settings_.FailCommit = true;
        TCarefullRegistry storage = Storage();
        ASSERT_TRUE(storage.OpenKey("K"));
        storage.WriteInteger("n", 1);
        EXPECT_FALSE(storage.Finish());
    }
}

// The base storage keeps nothing and answers defaults.
TEST(SettingsStorageBase, GivesDefaultsAndStoresNothing) {
    TSettingsStorage storage;
    EXPECT_TRUE(storage.OpenKey("Any"));
    storage.WriteInteger("n", 5);
    EXPECT_EQ(7, storage.ReadInteger("n", 0, 7, 10));
    EXPECT_TRUE(storage.ReadBool("b", true));
    EXPECT_EQ("d", storage.ReadString("s", "d"));
    EXPECT_EQ("d", storage.ReadLongString("k", "d"));
    EXPECT_FALSE(storage.HasValue("n"));
    EXPECT_TRUE(storage.Finish());
}

}  // namespace
}  // namespace quillane
