#include "platform/CompoundFile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/Corpus.h"

namespace quillane {
namespace {

std::filesystem::path FirstCorpusFile(const std::string& sub, const std::string& name) {
    for (const auto& file : test::CorpusFiles(sub)) {
        if (file.filename() == name) {
            return file;
        }
    }
    return {};
}

TEST(CompoundFile, ListsAndReadsTheStreamsOfAWordDocument) {
    QUILLANE_REQUIRE_CORPUS("doc6");
    const auto path = FirstCorpusFile("doc6", "poi__document_52117.doc");
    ASSERT_FALSE(path.empty());
    TCompoundOpenResult opened = OpenCompoundFile(path.string());
    ASSERT_TRUE(opened.File) << opened.Message;
    const TStreamListResult listing = opened.File->ListStreams();
    EXPECT_EQ(TStorageError::None, listing.Error);
    const std::vector<TStreamEntry> expected = {{"\x01" "CompObj", 98},
                                                {"\x01" "Ole", 20},
                                                {"\x05" "DocumentSummaryInformation", 72},
                                                {"\x05" "SummaryInformation", 472},
                                                {"WordDocument", 3169}};
    EXPECT_EQ(expected, listing.Streams);

    TStreamOpenResult stream = opened.File->OpenStream("WordDocument");
    ASSERT_TRUE(stream.Stream) << stream.Message;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(TStorageError::None, ReadWholeStream(*stream.Stream, bytes, 1 << 20));
    ASSERT_EQ(3169u, bytes.size());
    EXPECT_EQ(0xDC, bytes[0]);  // the Word 6 magic, little-endian 0xA5DC
    EXPECT_EQ(0xA5, bytes[1]);
    // Reading again from the start gives the same bytes.
    std::vector<uint8_t> again;
    ASSERT_EQ(TStorageError::None, ReadWholeStream(*stream.Stream, again, 1 << 20));
    EXPECT_EQ(bytes, again);
    // A stream above the limit is refused before it is read.
    EXPECT_EQ(TStorageError::TooLarge, ReadWholeStream(*stream.Stream, again, 3168));
    EXPECT_TRUE(again.empty());
    // Into a large buffer, the same bytes and the same limit.
    TStreamBytes whole;
    ASSERT_EQ(TStorageError::None, whole.Read(*stream.Stream, 1 << 20));
    EXPECT_EQ(bytes, std::vector<uint8_t>(whole.Data(), whole.Data() + whole.Size()));
    EXPECT_EQ(TStorageError::TooLarge, whole.Read(*stream.Stream, 3168));
    EXPECT_EQ(0u, whole.Size());
}

// Large buffers come zero-sized, small and past the size where they are
// mapped on their own; all of them hold what is written into them.
TEST(LargeBuffer, EverySizeHoldsItsBytes) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{4096}, (size_t{1} << 20) - 1, size_t{1} << 20,
                              (size_t{5} << 20) + 3}) {
        SCOPED_TRACE(size);
        TLargeBuffer buffer = AllocateLargeBuffer(size);
        ASSERT_NE(nullptr, buffer.get());
        if (size > 0) {
            buffer[0] = 1;
            buffer[size - 1] = 2;
            EXPECT_EQ(2, buffer[size - 1]);
        }
    }
}

TEST(CompoundFile, NestedStreamsOpenByPath) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    // A document with an embedded object keeps it in a storage of its own.
    for (const auto& path : test::CorpusFiles("doc97")) {
        TCompoundOpenResult opened = OpenCompoundFile(path.string());
        ASSERT_TRUE(opened.File) << path << ": " << opened.Message;
        const TStreamListResult listing = opened.File->ListStreams();
        const auto nested = std::find_if(listing.Streams.begin(), listing.Streams.end(),
                                         [](const TStreamEntry& e) { return e.Path.find('/') != std::string::npos; });
        if (nested == listing.Streams.end()) {
            continue;
        }
        TStreamOpenResult stream = opened.File->OpenStream(nested->Path);
        ASSERT_TRUE(stream.Stream) << nested->Path << ": " << stream.Message;
        EXPECT_EQ(nested->Size, stream.Stream->Size());
        // A storage is not a stream.
        const std::string storage = nested->Path.substr(0, nested->Path.rfind('/'));
        EXPECT_EQ(TStorageError::NotFound, opened.File->OpenStream(storage).Error);
        return;
    }
    GTEST_SKIP() << "no document with a nested storage in the corpus";
}

TEST(CompoundFile, ErrorsComeBackAsValues) {
    test::TTempFolder folder;
    const std::string text = folder.File("text.doc");
    test::WriteWholeFile(text, "just some text, not a compound file");
    std::string damaged(512, '\xFF');
    const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(signature, signature + 8, damaged.begin());
    const std::string broken = folder.File("broken.doc");
    test::WriteWholeFile(broken, damaged);
    const std::string empty = folder.File("empty.doc");
    test::WriteWholeFile(empty, "");

    struct TCase {
        std::string Path;
        TStorageError Expected;
    } cases[] = {
        {folder.File("missing.doc"), TStorageError::NotFound},
        {text, TStorageError::NotCompound},
        {empty, TStorageError::NotCompound},
    };
    for (const TCase& c : cases) {
        const TCompoundOpenResult opened = OpenCompoundFile(c.Path);
        EXPECT_FALSE(opened.File) << c.Path;
        EXPECT_EQ(c.Expected, opened.Error) << c.Path;
        EXPECT_FALSE(opened.Message.empty()) << c.Path;
    }
    // A header of garbage after the signature: refused, or at least no
    // stream to read.
    TCompoundOpenResult opened = OpenCompoundFile(broken);
    if (opened.File) {
        EXPECT_FALSE(opened.File->OpenStream("WordDocument").Stream);
    } else {
        EXPECT_NE(TStorageError::None, opened.Error);
    }
}

TEST(CompoundFile, MissingStreamIsNotFound) {
    QUILLANE_REQUIRE_CORPUS("doc6");
    const auto path = FirstCorpusFile("doc6", "skmemory__readme.wri");
    ASSERT_FALSE(path.empty());
    TCompoundOpenResult opened = OpenCompoundFile(path.string());
    ASSERT_TRUE(opened.File) << opened.Message;
    for (const char* name : {"1Table", "Data", "WordDocument/x", ""}) {
        const TStreamOpenResult stream = opened.File->OpenStream(name);
        EXPECT_FALSE(stream.Stream) << name;
        EXPECT_EQ(TStorageError::NotFound, stream.Error) << name;
    }
}

}  // namespace
}  // namespace quillane
