// Overwrite rules, queueing by name and folder prefix, component sizes and
// the install log, on real files with set times.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "setup/AttachedFiles.h"
#include "setup/InstallLog.h"
#include "setup/PayloadTime.h"
#include "setup/PayloadWriter.h"
#include "setup/PayloadBytes.h"
#include "support/Corpus.h"
#include "support/MemoryFile.h"

namespace quillane {
namespace {

constexpr TLocalTime EntryTime{2020, 6, 15, 12, 30, 20, 0};

TEST(OverwriteRules, DecideByPresenceAndDosTime) {
    const double entry = PayloadTimeFromLocalTime(EntryTime);
    const TLocalTime same{2020, 6, 15, 12, 30, 21, 500};  // the same two-second step
    const TLocalTime older{2020, 6, 15, 12, 30, 18, 0};
    const TLocalTime newer{2021, 1, 1, 0, 0, 0, 0};
    const TLocalTime ancient{1975, 1, 1, 0, 0, 0, 0};  // no DOS time
    struct Case {
        TOverwriteRule rule;
        bool present;
        std::optional<TLocalTime> time;
        bool install;
    };
    using R = TOverwriteRule;
    const Case cases[] = {
        {R::KeepExisting, false, {}, true},      {R::KeepExisting, true, older, false},
        {R::ReplaceOlder, false, {}, true},      {R::ReplaceOlder, true, same, false},
        {R::ReplaceOlder, true, older, true},    {R::ReplaceOlder, true, newer, false},
        {R::ReplaceOlder, true, ancient, true},  {R::ReplaceOlder, true, std::nullopt, true},
        {R::ReplaceChanged, false, {}, true},    {R::ReplaceChanged, true, same, false},
        {R::ReplaceChanged, true, newer, true},  {R::ReplaceChanged, true, older, true},
        {R::ReplaceChanged, true, ancient, true},
        {R::OnlyExisting, false, {}, false},     {R::OnlyExisting, true, same, true},
        {R::Always, false, {}, true},            {R::Always, true, same, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rule " << static_cast<int>(c.rule) << " present " << c.present
                                        << " year " << (c.time ? c.time->Year : 0));
        EXPECT_EQ(c.install, ShouldInstall(c.rule, c.present, c.time, entry));
    }
}

class InstallQueue : public testing::Test {
protected:
    void SetUp() override {
        const double time = PayloadTimeFromLocalTime(EntryTime);
        const std::string image = test::FakeImage();
        files_ = std::make_unique<TAttachedFiles>(std::make_unique<test::TMemoryFile>(
            image + BuildPayload(image.size(), {{"Quillane.exe", std::string(5000, 'x'), time},
                                                {"Docs\\a.htm", "a", time},
                                                {"Docs\\Sub\\b.htm", std::string(4097, 'b'), time},
                                                {"Docsx.txt", "c", time},
                                                {"Readme.txt", "", time}})));
    }
    std::vector<std::string> Queued(int queue) {
        std::vector<std::string> names;
        for (const auto& item : files_->Queue(queue)) {
            names.push_back(item.Entry.Name);
        }
        return names;
    }
    std::unique_ptr<TAttachedFiles> files_;
    test::TTempFolder temp_;
};

TEST_F(InstallQueue, PrefixSelectsItsFolderOnly) {
    const std::string folder = temp_.Path().string();
    EXPECT_TRUE(files_->QueueFiles("docs\\", folder, TOverwriteRule::Always, 1, true));
    EXPECT_EQ((std::vector<std::string>{"Docs\\a.htm", "Docs\\Sub\\b.htm"}), Queued(1));
    EXPECT_TRUE(Queued(0).empty());
    EXPECT_EQ(folder + PathSeparator() + "Docs" + PathSeparator() + "Sub" + PathSeparator() + "b.htm",
              files_->Queue(1)[1].Path);
    EXPECT_FALSE(files_->QueueFiles("Missing.txt", folder, TOverwriteRule::Always, 0, true));
    EXPECT_FALSE(files_->QueueFiles("Nothing\\", folder, TOverwriteRule::Always, 0, true));
    EXPECT_TRUE(files_->QueueFiles("README.TXT", folder + PathSeparator(), TOverwriteRule::Always, 0, false));
    EXPECT_EQ(folder + PathSeparator() + "Readme.txt", files_->Queue(0)[0].Path);  // one separator
    EXPECT_FALSE(files_->Queue(0)[0].Logged);
    files_->ClearQueues();
    EXPECT_TRUE(Queued(1).empty());
}

TEST_F(InstallQueue, RulesLookAtTheFilesPresent) {
    const std::string folder = temp_.Path().string();
    const std::string exe = temp_.File("Quillane.exe");
    const std::string readme = temp_.File("Readme.txt");
    test::WriteWholeFile(exe, "old");
    ASSERT_TRUE(SetFileLastWriteTime(exe, EntryTime));
    test::WriteWholeFile(readme, "old");
    ASSERT_TRUE(SetFileLastWriteTime(readme, {2001, 1, 1, 0, 0, 0, 0}));
    for (const char* name : {"Quillane.exe", "Readme.txt", "Docsx.txt"}) {
        files_->QueueFiles(name, folder, TOverwriteRule::ReplaceChanged, 0, true);
    }
    // Same time: kept; different time: replaced; absent: installed.
    EXPECT_EQ((std::vector<std::string>{"Readme.txt", "Docsx.txt"}), Queued(0));
    files_->ClearQueues();
    for (const char* name : {"Quillane.exe", "Readme.txt", "Docsx.txt"}) {
        files_->QueueFiles(name, folder, TOverwriteRule::OnlyExisting, 0, true);
    }
    EXPECT_EQ((std::vector<std::string>{"Quillane.exe", "Readme.txt"}), Queued(0));
}

TEST_F(InstallQueue, ComponentSizeRoundsEachFileToClusters) {
    // 5000 -> 8192; Docs\ = 1 -> 4096 and 4097 -> 8192; empty -> 0.
    EXPECT_EQ(8192 + 4096 + 8192 + 0, files_->ComponentSize("Quillane.exe\rDocs\\\rReadme.txt\rMissing", 4096));
    EXPECT_EQ(5000 + 1 + 4097, files_->ComponentSize("Quillane.exe\rDocs\\", 1));
    EXPECT_EQ(0, files_->ComponentSize("", 4096));
}

TEST(InstallLog, SavesCrLfUtf8AndLoadsWhatOthersWrote) {
    test::TTempFolder temp;
    const std::string path = temp.File("Install.log");
    EXPECT_EQ(TLogLoad::Missing, TInstallLog().Load(path));

    TInstallLog log;
    log.AddFolder("C:\\Program Files\\Quillane Vela");
    log.Suspend();
    log.Suspend();
    log.AddFile("C:\\temp\\licence.tmp");
    log.Resume();
    log.AddFile("C:\\temp\\still-suspended.tmp");
    log.Resume();
    log.Resume();  // one more than suspended: no effect
    EXPECT_TRUE(log.Active());
    log.AddFile("C:\\Program Files\\Quillane Vela\\\xC3\x89t\xC3\xA9.txt");
    ASSERT_TRUE(log.Save(path));
    EXPECT_EQ("Made Dir: C:\\Program Files\\Quillane Vela\r\n"
              "File Copy: C:\\Program Files\\Quillane Vela\\\xC3\x89t\xC3\xA9.txt\r\n",
              test::ReadWholeFile(path));

    // A second installation adds to what the first left; LF-only lines, a
    // missing last line end and empty lines are tolerated.
    test::WriteWholeFile(path, "Made Dir: A\nFile Copy: A\\b\r\n\r\nFile Copy: A\\c");
    TInstallLog again;
    ASSERT_EQ(TLogLoad::Loaded, again.Load(path));
    again.AddFile("A\\d");
    EXPECT_EQ((std::vector<std::string>{"Made Dir: A", "File Copy: A\\b", "File Copy: A\\c", "File Copy: A\\d"}),
              again.Lines());
    ASSERT_TRUE(again.Save(path));
    EXPECT_EQ(std::vector<std::string>{"Install.log"}, [&] {
        std::vector<std::string> names;
        for (const auto& e : ListFolder(temp.Path().string())) {
            names.push_back(e.Name);
        }
        return names;
    }());

    // Too large to be the installer's: refused, nothing taken.
    test::WriteWholeFile(path, std::string(InstallLogLimit + 1, 'x'));
    TInstallLog big;
    EXPECT_EQ(TLogLoad::Failed, big.Load(path));
    EXPECT_TRUE(big.Lines().empty());
}

TEST(InstallLog, SaveFailureKeepsTheOldLog) {
    test::TTempFolder temp;
    TInstallLog log;
    log.AddFile("x");
    EXPECT_FALSE(log.Save(temp.File("no-such-folder/Install.log")));
    // A read-only log is not replaced, and the new one is not left beside it.
    const std::string path = temp.File("Install.log");
    test::WriteWholeFile(path, "File Copy: old\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_FALSE(log.Save(path));
    EXPECT_EQ("File Copy: old\r\n", test::ReadWholeFile(path));
    EXPECT_EQ(1u, ListFolder(temp.Path().string()).size());
}

}  // namespace
}  // namespace quillane
