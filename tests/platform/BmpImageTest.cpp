#include "platform/BmpImage.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

uint32_t Read32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

TEST(BmpImage, RowsBottomUpPaddedToFourBytes) {
    // 3 x 2 pixels: rows of 9 bytes padded to 12; the stride has a spare
    // pixel that must not appear.
    const uint8_t pixels[] = {
        1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 99, 99, 99, 99,
        10, 11, 12, 0, 13, 14, 15, 0, 16, 17, 18, 0, 99, 99, 99, 99,
    };
    for (TPixelOrder order : {TPixelOrder::Bgra, TPixelOrder::Rgba}) {
        const std::string bmp = EncodeBmp(TBitmapView{pixels, 3, 2, 16, order});
        ASSERT_EQ(54u + 24u, bmp.size());
        EXPECT_EQ("BM", bmp.substr(0, 2));
        EXPECT_EQ(bmp.size(), Read32(bmp, 2));
        EXPECT_EQ(54u, Read32(bmp, 10));
        EXPECT_EQ(3u, Read32(bmp, 18));
        EXPECT_EQ(2u, Read32(bmp, 22));
        EXPECT_EQ(24, static_cast<uint8_t>(bmp[28]));
        const bool rgba = order == TPixelOrder::Rgba;
        // The bottom row comes first, blue first.
        EXPECT_EQ(rgba ? 12 : 10, static_cast<uint8_t>(bmp[54]));
        EXPECT_EQ(11, static_cast<uint8_t>(bmp[55]));
        EXPECT_EQ(rgba ? 10 : 12, static_cast<uint8_t>(bmp[56]));
        EXPECT_EQ(std::string(3, '\0'), bmp.substr(54 + 9, 3));
        EXPECT_EQ(rgba ? 3 : 1, static_cast<uint8_t>(bmp[54 + 12]));
    }
    EXPECT_TRUE(EncodeBmp(TBitmapView{}).empty());
    EXPECT_TRUE(EncodeBmp(TBitmapView{pixels, 5, 2, 16}).empty());  // rows too short
}

}  // namespace
}  // namespace quillane
