#include "platform/File.h"

#include <gtest/gtest.h>

#include "support/Corpus.h"

namespace quillane {
namespace {

TEST(File, CreateWriteReadTruncate) {
    test::TTempFolder folder;
    const std::string path = folder.File("f.bin");
    {
        TFileOpenResult created = OpenFile(path, TFileMode::CreateAlways);
        ASSERT_TRUE(created.File) << created.Message;
        ASSERT_TRUE(created.File->Write("hello world", 11));
        ASSERT_TRUE(created.File->Seek(5));
        ASSERT_TRUE(created.File->Truncate());
        EXPECT_EQ(5, created.File->Size());
    }
    TFileOpenResult opened = OpenFile(path, TFileMode::Read);
    ASSERT_TRUE(opened.File);
    char buffer[16] = {};
    EXPECT_EQ(5, opened.File->Read(buffer, 16));
    EXPECT_EQ(0, opened.File->Read(buffer, 16));
    EXPECT_EQ("hello", std::string(buffer, 5));
}

TEST(File, MissingFilesReportNotFound) {
    test::TTempFolder folder;
    const TFileOpenResult result = OpenFile(folder.File("missing.txt"), TFileMode::Read);
    EXPECT_FALSE(result.File);
    EXPECT_EQ(TFileError::NotFound, result.Error);
    EXPECT_FALSE(result.Message.empty());
}

}  // namespace
}  // namespace quillane
