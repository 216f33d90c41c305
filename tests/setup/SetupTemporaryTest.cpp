// The installer's temporary names and their cleanup, links included.
#include <gtest/gtest.h>

#include <filesystem>

#include "setup/SetupTemporary.h"
#include "support/Corpus.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

TEST(SetupTemporary, ClaimsFreeNamesAndCleansOnlyItsOwn) {
    test::TTempFolder temp;
    const fs::path tmp = temp.Path() / "Temp";
    const fs::path outside = temp.Path() / "Outside";
    fs::create_directories(tmp);
    fs::create_directories(outside / "keep");
    test::WriteWholeFile(outside / "keep" / "precious.txt", "mine");
    test::WriteWholeFile(tmp / "~QuillaneVelaSetup0.tmp", "someone else's");  // not reused

    const std::string first = ClaimSetupTemporary(tmp.string());
    const std::string second = ClaimSetupTemporary(tmp.string());
    EXPECT_EQ((tmp / "~QuillaneVelaSetup1.tmp").string(), first);
    EXPECT_EQ((tmp / "~QuillaneVelaSetup2.tmp").string(), second);
    EXPECT_EQ("someone else's", test::ReadWholeFile(tmp / "~QuillaneVelaSetup0.tmp"));

    fs::create_directories(tmp / "~QuillaneVelaSetupDir" / "inner");
    test::WriteWholeFile(tmp / "~QuillaneVelaSetupDir" / "inner" / "x.txt", "x");
    // Links, where the system lets this user make them (not always on Windows).
    std::error_code noLinks;
    fs::create_directory_symlink(outside, tmp / "~QuillaneVelaSetupDir" / "inner" / "link", noLinks);
    fs::create_directory_symlink(outside, tmp / "~QuillaneVelaSetupLink", noLinks);
    fs::create_symlink(outside / "keep" / "precious.txt", tmp / "~QuillaneVelaSetupFileLink", noLinks);
    test::WriteWholeFile(tmp / "other.tmp", "not ours");

    DeleteSetupTemporaries(tmp.string());
    std::vector<std::string> left;
    for (const auto& item : fs::directory_iterator(tmp)) {
        left.push_back(item.path().filename().string());
    }
    EXPECT_EQ(std::vector<std::string>{"other.tmp"}, left);
    EXPECT_EQ("mine", test::ReadWholeFile(outside / "keep" / "precious.txt"));
    EXPECT_EQ("", ClaimSetupTemporary((temp.Path() / "missing").string()));
}

}  // namespace
}  // namespace quillane
