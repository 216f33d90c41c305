#include "formats/word/WordStreamWindow.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/MemoryStorage.h"

namespace quillane {
namespace {

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    }
    return bytes;
}

// The window moves to wherever it is asked, forwards and back, and cuts a
// range at the stream's end and at its own capacity.
TEST(WordStreamWindow, RangesAnywhereInTheStream) {
    test::TMemoryStorage storage;
    storage.Streams["s"] = Pattern(1000);
    const std::vector<uint8_t>& bytes = storage.Streams["s"];
    auto stream = storage.OpenStream("s").Stream;
    TWordStreamWindow window(*stream, 1000, 64, "failed");
    struct TCase {
        uint64_t Offset;
        uint64_t Length;
        size_t Expected;
    } cases[] = {{0, 10, 10}, {5, 50, 50},   {60, 10, 10}, {990, 64, 10}, {100, 200, 64},
                 {3, 1, 1},   {999, 1, 1},   {1000, 1, 0}, {5000, 4, 0},  {936, 64, 64}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Offset);
        const TByteView view = window.Range(c.Offset, c.Length);
        ASSERT_EQ(c.Expected, view.Size());
        for (size_t i = 0; i < view.Size(); ++i) {
            ASSERT_EQ(bytes[c.Offset + i], view.Data()[i]) << i;
        }
    }
}

TEST(WordStreamWindow, BytesHeldWholeAreShownAsTheyAre) {
    const std::vector<uint8_t> bytes = Pattern(300);
    TWordStreamWindow window{TByteView(bytes)};
    EXPECT_EQ(300u, window.Capacity());
    EXPECT_EQ(bytes.data() + 17, window.Range(17, 283).Data());
    EXPECT_EQ(3u, window.Range(297, 10).Size());
}

// A stream that holds less than it claims fails where the window reaches
// the missing byte, with the reader's message.
TEST(WordStreamWindow, AShortStreamFailsWithTheMessage) {
    test::TMemoryStorage storage;
    storage.Streams["s"] = Pattern(200);
    storage.ShortStreams.insert("s");
    auto stream = storage.OpenStream("s").Stream;
    TWordStreamWindow window(*stream, static_cast<uint64_t>(stream->Size()), 64, "Error reading the stream");
    EXPECT_EQ(64u, window.Range(0, 64).Size());
    try {
        window.Range(150, 10);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("Error reading the stream", e.what());
    }
}

}  // namespace
}  // namespace quillane
