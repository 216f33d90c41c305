// The packer's manifest, text conversion, times and the packed image.
#include <gtest/gtest.h>

#include <memory>

#include "PackManifest.h"
#include "setup/AttachedFiles.h"
#include "setup/PayloadTime.h"
#include "setup/PayloadBytes.h"
#include "support/Corpus.h"
#include "support/MemoryFile.h"

namespace quillane {
namespace {

TEST(PackManifest, ParsesEntriesAndRefusesBadLines) {
    const auto items = ParsePackManifest(
        "# the payload\r\n\nbin/Quillane.exe\tQuillane.exe\n/abs/License.txt\tLicense.txt\ttext\r\n"
        "help/Guide.htm\tDocs/Guide.htm\t\n",
        "/repo");
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(std::filesystem::path("/repo/bin/Quillane.exe"), items[0].Source);
    EXPECT_EQ("Quillane.exe", items[0].Name);
    EXPECT_FALSE(items[0].Text);
    EXPECT_EQ(std::filesystem::path("/abs/License.txt"), items[1].Source);
    EXPECT_TRUE(items[1].Text);
    EXPECT_EQ("Docs\\Guide.htm", items[2].Name);
    for (const char* bad : {"only-a-source\n", "a\tb\ttext\textra\n", "a\tb\tbinary\n", "\tname\n",
                            "a\t\xC3\xA9.txt\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParsePackManifest(bad, "/repo"), std::runtime_error);
    }
}

TEST(PackManifest, TextGetsCrLfOnce) {
    EXPECT_EQ("a\r\nb\r\n\r\nc", WithCrLf("a\nb\r\n\nc"));
    EXPECT_EQ("", WithCrLf(""));
    EXPECT_EQ("\r\n", WithCrLf("\n"));
}

TEST(PackManifest, PacksReproduciblyAndOnlyOnce) {
    test::TTempFolder temp;
    test::WriteWholeFile(temp.Path() / "License.txt", "MIT\nLicence\n");
    test::WriteWholeFile(temp.Path() / "app.bin", std::string(3000, '\x01'));
    const auto items = ParsePackManifest("app.bin\tQuillane.exe\nLicense.txt\tLicense.txt\ttext\n", temp.Path());
    const int64_t epoch = 1700000000;  // 2023-11-14 22:13:20 UTC
    const auto inputs = ReadPackItems(items, &epoch);
    const std::string image = test::FakeImage(2048);
    const std::string packed = PackImage(image, inputs);
    EXPECT_EQ(packed, PackImage(image, ReadPackItems(items, &epoch)));
    EXPECT_EQ(image, packed.substr(0, image.size()));

    TAttachedFiles files(std::make_unique<test::TMemoryFile>(packed));
    ASSERT_EQ(2u, files.Entries().size());
    EXPECT_EQ("License.txt", files.Entries()[1].Name);
    EXPECT_EQ(12 + 2, files.Entries()[1].Size);  // two line ends grew by a CR each
    EXPECT_EQ((TLocalTime{2023, 11, 14, 22, 13, 20, 0}), LocalTimeFromPayloadTime(files.Entries()[0].Time));
    // An image that already carries a payload is refused.
    EXPECT_THROW(PackImage(packed, inputs), std::runtime_error);
    // Without an epoch each file's own time counts.
    EXPECT_NO_THROW(ReadPackItems(items, nullptr));
    EXPECT_THROW(ReadPackItems(ParsePackManifest("missing\tx\n", temp.Path()), nullptr), std::runtime_error);
}

}  // namespace
}  // namespace quillane
