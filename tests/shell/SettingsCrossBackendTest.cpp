// One scenario through the real settings store of the platform the test
// runs on: the settings file natively, the registry under Wine or Windows
// (in a root of the test's own, removed afterwards). Both runs must end
// with the same tree, which this test checks against one expected dump; the
// settings_cross_backend check also compares the two runs' dumps and the
// stores' own exports with each other.
//
// QUILLANE_SETTINGS_TEST_ROOT names the root (default: one per process);
// QUILLANE_SETTINGS_KEEP=1 leaves it in place for an export; with
// QUILLANE_SETTINGS_DUMP=1 the dump is printed, each line after
// "settings-dump: ".

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#ifdef _WIN32
#include <process.h>
#define QUILLANE_GETPID _getpid
#else
#include <unistd.h>
#define QUILLANE_GETPID getpid
#endif

#include "platform/RegFile.h"
#include "platform/SettingsStore.h"
#include "shell/CarefullRegistry.h"
#include "shell/OptionsHolder.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

// The stored settings before the scenario, as both stores are seeded.
const char Fixture[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\@ROOT@\\General]\r\n"
    "\"DocsToKeep\"=dword:00000032\r\n"
    "\"Measurements\"=dword:00000002\r\n"
    "\"NewDocsContNum\"=dword:00000000\r\n"
    "\"NewDoc_Index\"=dword:0000000c\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\@ROOT@\\View]\r\n"
    "\"ScrollBars\"=dword:00000007\r\n"
    "\"Ruler\"=\"yes\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\@ROOT@\\Internal]\r\n"
    "\"RunCount_FREE\"=dword:7ffffffe\r\n"
    "\"LastRunVer_FREE\"=dword:00989680\r\n"
    "\"DefTimeFmt\"=dword:00000005\r\n"
    "\"InitDir\"=\"C:\\\\Old \\\"quoted\\\" folder\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\@ROOT@\\Internal\\MainWnd]\r\n"
    "\"x\"=dword:00002710\r\n"
    "\"State\"=dword:00000001\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\@ROOT@\\Internal\\FindReplace]\r\n"
    "\"StringsToFind\"=dword:00000002\r\n"
    "\"Find_A\"=\"na\xC3\xAFve \\\\d+\"\r\n"
    "\"Find_B\"=\"\xE6\xBC\xA2\xE5\xAD\x97\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\@ROOT@\\RecentDocs]\r\n"
    "\"Count\"=dword:00000005\r\n"
    "\"A\"=\"C:\\\\Docs\\\\a.rtf\"\r\n"
    "\"B\"=\"C:\\\\Docs\\\\b.rtf\"\r\n"
    "\"C\"=\"\"\r\n"
    "\"D\"=\"C:\\\\Docs\\\\d.rtf\"\r\n"
    "\"E\"=\"C:\\\\Docs\\\\e.rtf\"\r\n"
    "\"\\\\\"=\"C:\\\\Docs\\\\stale.rtf\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\@ROOT@\\ColorScheme]\r\n"
    "\"Count\"=dword:7fffffff\r\n"
    "\"0\"=\"000000FF\"\r\n";

// What the scenario leaves, read back through the options and a few raw
// values the options do not show. The find history is document text in the
// ANSI code page: characters it cannot hold come back as "?".
const char ExpectedDump[] =
    "Internal\\RunCount_FREE=2147483647\n"
    "Internal\\LastRunVer_FREE=10000071\n"
    "Internal\\InitDir=C:\\Start\n"
    "Internal\\DefTimeFmt=5\n"
    "Internal\\MainWnd\\State=0\n"
    "Internal\\MainWnd\\x=170\n"
    "Internal\\MainWnd\\y=128\n"
    "Internal\\MainWnd\\cx=682\n"
    "Internal\\MainWnd\\cy=512\n"
    "Internal\\FindReplace\\StringsToFind=3\n"
    "Internal\\FindReplace\\Find_A=tab\there\n"
    "Internal\\FindReplace\\Find_B=na\xC3\xAFve \\d+\n"
    "Internal\\FindReplace\\Find_C=??\n"
    "General\\NewDoc_Index=1\n"
    "General\\DocsToKeep=3\n"
    "General\\Measurements=2\n"
    "RecentDocs\\Count=3\n"
    "RecentDocs\\A=C:\\Docs\\new.rtf\n"
    "RecentDocs\\B=C:\\Docs\\a.rtf\n"
    "RecentDocs\\C=C:\\Docs\\b.rtf\n"
    "View\\Ruler=1\n"
    "View\\ScrollBars=3\n"
    "View\\MouseMode=0\n"
    "Edit\\AccumSB&SA=0\n"
    "ColorScheme=\n"
    "raw RecentDocs\\D=missing\n"
    "raw RecentDocs\\\\=missing\n"
    "raw View\\Ruler=number 1\n"
    "raw ColorScheme\\Count=number 0\n"
    "raw ColorScheme\\0=missing\n"
    "raw Internal\\FindReplace\\Find_B=string na\xC3\xAFve \\d+\n";

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::string Describe(const TSettingsValue& v) {
    switch (v.Kind) {
        case TSettingsValueKind::Missing: return "missing";
        case TSettingsValueKind::Number: return "number " + std::to_string(v.Number);
        case TSettingsValueKind::String: return "string " + v.Text;
        case TSettingsValueKind::Other: break;
    }
    return "other";
}

class SettingsCrossBackend : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = "Software\\Orvanic\\QuillaneTest\\" +
                EnvOr("QUILLANE_SETTINGS_TEST_ROOT", std::to_string(QUILLANE_GETPID()));
#ifndef _WIN32
        // Natively the store is a file: a fresh one unless the caller names it.
        if (!std::getenv("QUILLANE_SETTINGS")) {
            file_ = fs::temp_directory_path() / ("quillane-cross-" + std::to_string(QUILLANE_GETPID()) + ".reg");
            fs::remove(file_);
            ::setenv("QUILLANE_SETTINGS", file_.c_str(), 1);
        }
#endif
        OpenUserSettingsStore()->DeleteTree(root_);
    }
    void TearDown() override {
        if (EnvOr("QUILLANE_SETTINGS_KEEP", "") != "1") {
            auto store = OpenUserSettingsStore();
            store->DeleteTree(root_);
            store->Commit();
        }
#ifndef _WIN32
        if (!file_.empty()) {
            ::unsetenv("QUILLANE_SETTINGS");
            std::error_code ignored;
            for (const char* suffix : {"", ".lock", ".bad"}) {
                fs::remove(file_.string() + suffix, ignored);
            }
        }
#endif
    }

    // Writes the fixture's values through the platform's store.
    void Seed() {
        std::string text = Fixture;
        for (size_t at; (at = text.find("@ROOT@")) != std::string::npos;) {
            text.replace(at, 6, root_);
        }
        const TRegDocument doc = ParseRegText(text);
        ASSERT_EQ(0, doc.IgnoredLines);
        auto store = OpenUserSettingsStore();
        for (const TRegSection& section : doc.Sections) {
            auto key = store->OpenKey(section.Path.substr(sizeof "HKEY_CURRENT_USER"), true);
            ASSERT_NE(nullptr, key) << section.Path;
            for (const TRegValue& v : section.Values) {
                ASSERT_TRUE(v.Kind == TSettingsValueKind::Number ? key->WriteNumber(v.Name, v.Number)
                                                                 : key->WriteString(v.Name, v.Text));
            }
        }
        ASSERT_TRUE(store->Commit());
    }

    std::unique_ptr<TSettingsStorage> Storage() {
        return std::make_unique<TCarefullRegistry>(OpenUserSettingsStore(), root_);
    }

    static TOptionsEnvironment Environment() {
        TOptionsEnvironment env;
        env.CurrentFolder = "C:\\Start";
        env.DocumentsFolder = "C:\\Docs";
        return env;
    }

    std::string Dump() {
        TOptionsHolder reader(Environment(), hooks_, messages_);
        reader.Load(*Storage());
        std::string dump;
        static const char* const shown[] = {
            "Internal\\RunCount_FREE", "Internal\\LastRunVer_FREE", "Internal\\DefTimeFmt", "Internal\\InitDir",
            "Internal\\MainWnd\\", "Internal\\FindReplace\\StringsToFind", "Internal\\FindReplace\\Find_",
            "General\\NewDoc_Index", "General\\DocsToKeep", "General\\Measurements", "RecentDocs\\",
            "View\\Ruler", "View\\ScrollBars", "View\\MouseMode", "Edit\\AccumSB&SA", "ColorScheme="};
        for (const std::string& line : DumpOptions(reader.Options(), Environment())) {
            for (const char* prefix : shown) {
                if (line.rfind(prefix, 0) == 0) {
                    dump += line + "\n";
                    break;
                }
            }
        }
        auto store = OpenUserSettingsStore();
        const std::pair<const char*, const char*> raw[] = {
            {"RecentDocs", "D"}, {"RecentDocs", "\\"}, {"View", "Ruler"}, {"ColorScheme", "Count"}, {"ColorScheme", "0"},
            {"Internal\\FindReplace", "Find_B"}};
        for (const auto& [key, name] : raw) {
            auto k = store->OpenKey(root_ + "\\" + key, false);
            dump += std::string("raw ") + key + "\\" + name + "=" + (k ? Describe(k->Read(name)) : "no key") + "\n";
        }
        return dump;
    }

    std::string root_;
    fs::path file_;
    TOptionsHooks hooks_;
    TSilentMessageBox messages_;
};

TEST_F(SettingsCrossBackend, ScenarioLeavesTheSameTree) {
    Seed();
    // A first run: loaded with clamping, changed as the dialogs would, saved.
    {
        TOptionsHolder holder(Environment(), hooks_, messages_, [this] { return Storage(); });
        holder.Load(*Storage());
        EXPECT_EQ(30, holder.Options().DocsToKeep);
        TOptions edited = holder.Options();
        edited.DocsToKeep = 3;
        edited.AccumSBSA = false;
        EXPECT_TRUE(holder.AcceptEdited(edited));
        holder.Options().RecentDocs.Add("C:\\Docs\\new.rtf", holder.Options().DocsToKeep);
        holder.Options().FindHistory.insert(holder.Options().FindHistory.begin(), "tab\there");
        holder.Options().UseDocFolder = false;
        ASSERT_TRUE(holder.Save());
    }
    // A second run saves what it loaded.
    {
        TOptionsHolder holder(Environment(), hooks_, messages_, [this] { return Storage(); });
        holder.Load(*Storage());
        holder.Options().View.Ruler = true;
        holder.Options().UseDocFolder = false;
        ASSERT_TRUE(holder.Save());
    }
    const std::string dump = Dump();
    if (EnvOr("QUILLANE_SETTINGS_DUMP", "") == "1") {
        std::istringstream lines(dump);
        for (std::string line; std::getline(lines, line);) {
            std::cout << "settings-dump: " << line << "\n";
        }
    }
    EXPECT_EQ(ExpectedDump, dump);
}

}  // namespace
}  // namespace quillane
