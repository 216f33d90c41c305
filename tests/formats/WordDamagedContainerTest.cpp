// Word documents whose container is damaged: a compound file the platform's
// reader refuses over one bad table entry opens where its directory still
// reaches the streams; one that nothing can read fails with the Word
// reader's message instead of showing its bytes as text. Library warnings
// never reach standard error.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/DocumentLoader.h"
#include "model/Document.h"
#include "platform/CodePages.h"
#include "support/Corpus.h"
#include "support/DocText.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

struct TLoaded {
    bool Read = false;
    std::vector<std::string> Paragraphs;
    std::vector<std::string> Messages;
    int32_t ParagraphCount = 0;
};

TLoaded Load(const std::string& path) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    test::TRecordingMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    TDocument document;
    TDocOpeningOptions options;
    options.FileName = path;
    TLoaded loaded;
    loaded.Read = LoadDocument(document, options, services);
    loaded.Paragraphs = test::ParagraphTexts(document);
    loaded.ParagraphCount = document.ParagraphCount();
    loaded.Messages = messages.Shown;
    return loaded;
}

uint32_t Get32(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);  // little-endian machines only run these tests
    return v;
}

// Each end-of-chain mark of the first FAT sector replaced, one at a time,
// by a sector number far beyond the file: a reader that checks every entry
// refuses the file, though every chain is still whole.
std::vector<std::string> WildEndMarks(const std::string& file) {
    const uint32_t sector = 1u << (static_cast<uint8_t>(file[30]) | static_cast<uint8_t>(file[31]) << 8);
    const size_t fat = (size_t{Get32(file, 76)} + 1) * sector;
    std::vector<std::string> damaged;
    for (size_t at = fat; at + 4 <= fat + sector && at + 4 <= file.size(); at += 4) {
        if (Get32(file, at) == 0xFFFFFFFE) {
            std::string copy = file;
            const uint32_t wild = 0x00050001;
            std::memcpy(copy.data() + at, &wild, 4);
            damaged.push_back(std::move(copy));
        }
    }
    return damaged;
}

TEST(WordDamagedContainer, ABadTableEntryLeavesTheTextReadable) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    int opened = 0;
    for (const char* name : {"wv__russian.doc", "abitest__doc_6953-tables.doc"}) {
        SCOPED_TRACE(name);
        const auto path = *test::CorpusFolder("doc97") / name;
        const TLoaded intact = Load(path.string());
        ASSERT_TRUE(intact.Read);
        test::TTempFolder folder;
        const auto variants = WildEndMarks(test::ReadWholeFile(path));
        ASSERT_FALSE(variants.empty());
        for (size_t i = 0; i < variants.size(); ++i) {
            SCOPED_TRACE("end mark " + std::to_string(i));
            const std::string damaged = folder.File("damaged.doc");
            test::WriteWholeFile(damaged, variants[i]);
            testing::internal::CaptureStderr();
            const TLoaded loaded = Load(damaged);
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
            EXPECT_TRUE(loaded.Read);
            EXPECT_EQ(loaded.Messages, std::vector<std::string>());
            EXPECT_EQ(loaded.Paragraphs, intact.Paragraphs);
            opened += loaded.Read ? 1 : 0;
        }
    }
    std::cout << "[          ] " << opened << " damaged variants opened\n";
}

TEST(WordDamagedContainer, AnUnreadableContainerFailsWithTheWordReadersMessage) {
    test::TTempFolder folder;
    std::string garbage(4096, '\x5A');
    const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    std::memcpy(garbage.data(), signature, 8);
    const std::string path = folder.File("garbage.doc");
    test::WriteWholeFile(path, garbage);
    testing::internal::CaptureStderr();
    const TLoaded loaded = Load(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(loaded.Read);
    ASSERT_EQ(loaded.Messages.size(), 1u);
    EXPECT_NE(loaded.Messages[0].find("Error reading the main stream"), std::string::npos) << loaded.Messages[0];
    EXPECT_NE(loaded.Messages[0].find("garbage.doc"), std::string::npos) << loaded.Messages[0];
    // The document is left as it was: one empty paragraph.
    EXPECT_EQ(loaded.ParagraphCount, 1);
}

TEST(WordDamagedContainer, LibraryWarningsStayOffStandardError) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    // Files whose directories the platform's reader warns about.
    for (const char* name : {"poi__document_clusterfuzz-testcase-minimized-POIHWPFFuzzer-5074346559012864.doc",
                             "poi__document_clusterfuzz-testcase-minimized-POIHWPFFuzzer-4947285593948160.doc",
                             "poi__document_clusterfuzz-testcase-minimized-POIHWPFFuzzer-5440721166139392.doc",
                             "poi__document_clusterfuzz-testcase-minimized-POIHWPFFuzzer-6610789829836800.doc"}) {
        SCOPED_TRACE(name);
        const auto path = *test::CorpusFolder("doc97") / name;
        if (!std::filesystem::exists(path)) {
            continue;
        }
        testing::internal::CaptureStderr();
        Load(path.string());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

}  // namespace
}  // namespace quillane
