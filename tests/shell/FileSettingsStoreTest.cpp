// The POSIX settings store: a real file, replaced whole on commit, never
// overwritten when it could not be read, merged with what other instances
// committed meanwhile.

#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/SettingsStore.h"
#include "shell/CarefullRegistry.h"
#include "shell/OptionTable.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

class FileSettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quillane-settings-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        folder_ = pattern;
        UseFile(folder_ / "quillane" / "registry.reg");
    }
    void TearDown() override {
        ::unsetenv("QUILLANE_SETTINGS");
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void UseFile(const fs::path& path) {
        file_ = path;
        ::setenv("QUILLANE_SETTINGS", file_.c_str(), 1);
    }
    void WriteFile(const std::string& bytes) {
        fs::create_directories(file_.parent_path());
        std::ofstream(file_, std::ios::binary) << bytes;
    }
    std::string FileText(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string FileText() const { return FileText(file_); }
    std::vector<std::string> FolderListing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(file_.parent_path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
    fs::path file_;
};

const char Header[] = "Windows Registry Editor Version 5.00\n";

// Runs in a child process: exits 0 when a commit under a 4 KiB file size
// limit fails as it should.
void CommitUnderSizeLimit() {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    auto store = OpenUserSettingsStore();
    store->OpenKey("K", true)->WriteNumber("n", 2);
    std::exit(store->Commit() ? 1 : 0);
}

TEST_F(FileSettingsStore, CommitWritesTheFileAndAReopenedStoreReadsIt) {
    auto store = OpenUserSettingsStore();
    auto key = store->OpenKey("Software\\Orvanic\\Test\\General", true);
    ASSERT_NE(nullptr, key);
    EXPECT_TRUE(key->WriteNumber("DocsToKeep", 10));
    EXPECT_TRUE(key->WriteString("DocFolder", "/home/ann/Docs \"x\"\\"));
    EXPECT_FALSE(fs::exists(file_));  // nothing on disk before the commit
    ASSERT_TRUE(store->Commit());
    EXPECT_EQ(std::string(Header) +
                  "\n[HKEY_CURRENT_USER\\Software]\n"
                  "\n[HKEY_CURRENT_USER\\Software\\Orvanic]\n"
                  "\n[HKEY_CURRENT_USER\\Software\\Orvanic\\Test]\n"
                  "\n[HKEY_CURRENT_USER\\Software\\Orvanic\\Test\\General]\n"
                  "\"DocFolder\"=\"/home/ann/Docs \\\"x\\\"\\\\\"\n"
                  "\"DocsToKeep\"=dword:0000000a\n",
              FileText());
    EXPECT_EQ((std::vector<std::string>{"registry.reg", "registry.reg.lock"}), FolderListing());

    auto again = OpenUserSettingsStore();
    auto read = again->OpenKey("software\\orvanic\\TEST\\general", false);  // names ignore case
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(10u, read->Read("docstokeep").Number);
    EXPECT_EQ("/home/ann/Docs \"x\"\\", read->Read("DocFolder").Text);
    EXPECT_EQ(TSettingsValueKind::Missing, read->Read("Absent").Kind);
    EXPECT_EQ(nullptr, again->OpenKey("Software\\Orvanic\\Nothing", false));
}

TEST_F(FileSettingsStore, KeepsLineEndsAndValuesItDoesNotKnow) {
    WriteFile("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
              "\"Bin\"=hex:01,02,\\\r\n  03\r\n\"n\"=dword:00000001\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Other]\r\n\"x\"=\"y\"\r\n");
    auto store = OpenUserSettingsStore();
    auto key = store->OpenKey("K", false);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(TSettingsValueKind::Other, key->Read("Bin").Kind);
    ASSERT_TRUE(key->WriteNumber("n", 2));
    ASSERT_TRUE(store->Commit());
    EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
              "\"Bin\"=hex:01,02,\\\r\n  03\r\n\"n\"=dword:00000002\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Other]\r\n\"x\"=\"y\"\r\n",
              FileText());
}

// Two instances that both exit: each commit replays its own changes onto
// what the file holds then, so both land and the later writer of one value
// wins.
TEST_F(FileSettingsStore, ConcurrentCommitsMerge) {
    auto first = OpenUserSettingsStore();
    auto second = OpenUserSettingsStore();
    ASSERT_TRUE(first->OpenKey("K", true)->WriteNumber("First", 1));
    ASSERT_TRUE(first->OpenKey("K", true)->WriteNumber("Both", 1));
    ASSERT_TRUE(second->OpenKey("K", true)->WriteNumber("Second", 2));
    ASSERT_TRUE(second->OpenKey("K", true)->WriteNumber("Both", 2));
    ASSERT_TRUE(second->OpenKey("Gone", true)->WriteNumber("x", 1));
    ASSERT_TRUE(first->Commit());
    ASSERT_TRUE(second->Commit());
    ASSERT_TRUE(first->DeleteTree("Gone"));  // removes what the other instance made
    ASSERT_TRUE(first->Commit());
    EXPECT_EQ(std::string(Header) + "\n[HKEY_CURRENT_USER\\K]\n\"Both\"=dword:00000002\n"
                                    "\"First\"=dword:00000001\n\"Second\"=dword:00000002\n",
              FileText());
}

// A damaged file: what parses is read, the rest ignored; on commit the new
// file replaces it and the old bytes stay beside it as registry.reg.bad.
TEST_F(FileSettingsStore, DamagedFileIsReadForWhatParsesAndKeptAsBad) {
    const std::string damaged = std::string(Header) +
                                "[HKEY_CURRENT_USER\\Software\\Orvanic\\Quillane.1_x\\General]\n"
                                "\"DocsToKeep\"=dword:00000005\n"
                                "\"Measurements\"=dword:zz\n"
                                "garbage \x01\x02\n"
                                "\"FullPaths\"=\"not a number\"\n";
    WriteFile(damaged);
    TCarefullRegistry storage(OpenUserSettingsStore(), QuillaneSettingsRoot);
    TOptionsEnvironment env;
    const TOptions options = ReadOptions(storage, env);
    EXPECT_EQ(5, options.DocsToKeep);
    EXPECT_EQ(0, options.Measurements);  // the damaged line gives the default
    EXPECT_TRUE(options.FullPaths);      // a string where a number belongs: the default
    EXPECT_EQ(damaged, FileText());      // reading changes nothing

    TCarefullRegistry writer(OpenUserSettingsStore(), QuillaneSettingsRoot);
    ASSERT_TRUE(WriteOptions(writer, env, options));
    EXPECT_EQ(damaged, FileText(file_.string() + ".bad"));
    const std::string rewritten = FileText();
    EXPECT_EQ(std::string::npos, rewritten.find("garbage"));
    EXPECT_NE(std::string::npos, rewritten.find("\"DocsToKeep\"=dword:00000005"));
    EXPECT_NE(std::string::npos, rewritten.find("\"FullPaths\"=dword:00000001"));
}

// A file that exists but cannot be read (here a folder in its place): the
// options are the defaults, and saving fails instead of replacing it.
TEST_F(FileSettingsStore, UnreadableFileIsNeverOverwritten) {
    fs::create_directories(file_);
    fs::create_directories(file_ / "inside");
    TCarefullRegistry storage(OpenUserSettingsStore(), QuillaneSettingsRoot);
    TOptionsEnvironment env;
    const TOptions options = ReadOptions(storage, env);
    TSettingsStorage defaults;
    EXPECT_EQ(ReadOptions(defaults, env), options);
    TCarefullRegistry writer(OpenUserSettingsStore(), QuillaneSettingsRoot);
    EXPECT_FALSE(WriteOptions(writer, env, options));
    EXPECT_TRUE(fs::is_directory(file_ / "inside"));
}

TEST_F(FileSettingsStore, FailedCommitLeavesTheFileAsItWas) {
    WriteFile(std::string(Header) + "\n[HKEY_CURRENT_USER\\K]\n\"n\"=dword:00000001\n");
    const std::string before = FileText();
    auto store = OpenUserSettingsStore();
    ASSERT_TRUE(store->OpenKey("K", true)->WriteNumber("n", 2));
    // The temporary file's name is taken by a folder: the new file cannot be made.
    fs::create_directories(file_.string() + "." + std::to_string(::getpid()) + ".tmp");
    EXPECT_FALSE(store->Commit());
    EXPECT_EQ(before, FileText());
    fs::remove(file_.string() + "." + std::to_string(::getpid()) + ".tmp");
    EXPECT_TRUE(store->Commit());  // the changes were kept for another try
    EXPECT_NE(std::string::npos, FileText().find("dword:00000002"));
}

// A full disk (here a file size limit, with the signal ignored so that the
// write fails instead of killing the program): the commit fails, the store
// keeps its bytes and no temporary file remains.
TEST_F(FileSettingsStore, FullDiskFailsTheCommitAndKeepsTheFile) {
    std::string big = std::string(Header) + "\n[HKEY_CURRENT_USER\\K]\n";
    for (int i = 0; i < 400; ++i) {
        big += "\"Value" + std::to_string(i) + "\"=dword:00000001\n";
    }
    WriteFile(big);
    EXPECT_EXIT(CommitUnderSizeLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(big, FileText());
    EXPECT_EQ((std::vector<std::string>{"registry.reg", "registry.reg.lock"}), FolderListing());
}

TEST_F(FileSettingsStore, FolderThatCannotExistFailsTheCommit) {
    WriteFile("");
    UseFile(file_ / "below-a-file" / "registry.reg");
    auto store = OpenUserSettingsStore();
    ASSERT_TRUE(store->OpenKey("K", true)->WriteNumber("n", 1));
    EXPECT_FALSE(store->Commit());
}

TEST_F(FileSettingsStore, PlaceFollowsTheEnvironment) {
    ::unsetenv("QUILLANE_SETTINGS");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "";
    ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    auto store = OpenUserSettingsStore();
    ASSERT_TRUE(store->OpenKey("K", true)->WriteNumber("n", 1));
    ASSERT_TRUE(store->Commit());
    if (oldConfig) {
        ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
    EXPECT_TRUE(fs::exists(folder_ / "quillane" / "registry.reg"));
}

}  // namespace
}  // namespace quillane

#endif  // _WIN32
