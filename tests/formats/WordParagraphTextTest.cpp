#include "formats/word/WordParagraphText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Document.h"
#include "model/Paragraph.h"

namespace quillane {
namespace {

// Printable ASCII is taken up to the first character that is not, wherever
// that falls against the eight bytes looked at together, in 8-bit text and
// in little-endian UTF-16.
TEST(WordParagraphText, TakesAsciiUpToTheFirstOtherCharacter) {
    const std::vector<uint16_t> stoppers = {0x1F, 0x80, 0xFF, 0x0141, 0x2000, 0x00, 0x7F20};
    for (const uint32_t charSize : {1u, 2u}) {
        for (const uint16_t stopper : stoppers) {
            if (charSize == 1 && stopper > 0xFF) {
                continue;
            }
            for (size_t at = 0; at < 20; ++at) {
                SCOPED_TRACE(testing::Message() << charSize << " " << stopper << " " << at);
                std::string expected;
                std::vector<uint8_t> bytes;
                for (size_t i = 0; i < 24; ++i) {
                    const uint16_t c = i == at ? stopper : static_cast<uint16_t>(0x20 + (i * 7) % 0x60);
                    if (i < at) {
                        expected.push_back(static_cast<char>(c));
                    }
                    bytes.push_back(static_cast<uint8_t>(c));
                    if (charSize == 2) {
                        bytes.push_back(static_cast<uint8_t>(c >> 8));
                    }
                }
                TWordParagraphText text;
                ASSERT_EQ(at, text.TakeAscii(bytes.data(), 24, charSize));
                TDocument document;
                TParagraph& paragraph = document.LastParagraph();
                text.MoveInto(paragraph);
                EXPECT_EQ(expected, std::string(paragraph.Positions.Data(), paragraph.Positions.Data() +
                                                                                paragraph.Positions.Length()));
            }
        }
    }
}

}  // namespace
}  // namespace quillane
