#include "formats/word/WordParagraphText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Document.h"
#include "model/Paragraph.h"

namespace quillane {
namespace {

// Printable ASCII is taken up to the first character that is not, or up to
// the count asked for, wherever either falls against the eight characters
// looked at together, in 8-bit text and in little-endian UTF-16.
TEST(WordParagraphText, TakesAsciiUpToTheFirstOtherCharacter) {
    const std::vector<uint16_t> stoppers = {0x1F, 0x80, 0xFF, 0x0141, 0x2000, 0x00, 0x7F20};
    constexpr size_t Readable = 24;
    for (const uint32_t charSize : {1u, 2u}) {
        for (const uint16_t stopper : stoppers) {
            if (charSize == 1 && stopper > 0xFF) {
                continue;
            }
            for (size_t at = 0; at < 20; ++at) {
                for (const size_t count : {Readable, size_t{3}, size_t{8}, size_t{11}, size_t{16}}) {
                    SCOPED_TRACE(testing::Message() << charSize << " " << stopper << " " << at << " " << count);
                    std::string expected;
                    std::vector<uint8_t> bytes;
                    for (size_t i = 0; i < Readable; ++i) {
                        const uint16_t c = i == at ? stopper : static_cast<uint16_t>(0x20 + (i * 7) % 0x60);
                        if (i < std::min(at, count)) {
                            expected.push_back(static_cast<char>(c));
                        }
                        bytes.push_back(static_cast<uint8_t>(c));
                        if (charSize == 2) {
                            bytes.push_back(static_cast<uint8_t>(c >> 8));
                        }
                    }
                    TWordParagraphText text;
                    ASSERT_EQ(std::min(at, count), text.TakeAscii(bytes.data(), count, charSize));
                    text.Char('!');  // what follows lands right after what was taken
                    expected.push_back('!');
                    TDocument document;
                    TParagraph& paragraph = document.LastParagraph();
                    text.MoveInto(paragraph);
                    EXPECT_EQ(expected, std::string(paragraph.Positions.Data(), paragraph.Positions.Data() +
                                                                                    paragraph.Positions.Length()));
                    EXPECT_EQ(expected, std::string(paragraph.Text.Data(), paragraph.Text.Data() +
                                                                               paragraph.Text.Length()));
                }
            }
        }
    }
}

}  // namespace
}  // namespace quillane
