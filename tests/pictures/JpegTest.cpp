#include "pictures/Jpeg.h"

#include <gtest/gtest.h>

#include <optional>

#include "pictures/PngImage.h"
#include "support/Corpus.h"
#include "support/TestJpeg.h"

namespace quillane {
namespace {

using test::MakeJpeg;

// The size in the first frame header (SOFn), read without libjpeg. Bytes
// between segments are passed over, as decoders do.
std::optional<std::pair<int32_t, int32_t>> FrameSize(const TBytes& jpeg) {
    size_t at = 2;
    while (at + 9 < jpeg.size()) {
        const uint8_t marker = jpeg[at + 1];
        if (jpeg[at] != 0xFF || marker == 0xFF || marker == 0) {
            ++at;
            continue;
        }
        const size_t length = ReadBigEndian16(&jpeg[at + 2]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            return std::make_pair<int32_t, int32_t>(ReadBigEndian16(&jpeg[at + 7]), ReadBigEndian16(&jpeg[at + 5]));
        }
        at += 2 + length;
    }
    return std::nullopt;
}

TEST(Jpeg, ColourGreyAndCmyk) {
    struct Case {
        const char* what;
        J_COLOR_SPACE space;
        int components;
        bool progressive;
        int32_t bits;
    };
    const Case cases[] = {
        {"RGB", JCS_RGB, 3, false, 24},
        {"progressive RGB", JCS_RGB, 3, true, 24},
        {"grey", JCS_GRAYSCALE, 1, false, 8},
        {"CMYK", JCS_CMYK, 4, false, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TBitmap bitmap = DecodeJpeg(MakeJpeg(40, 17, c.space, c.components, c.progressive));
        EXPECT_EQ(40, bitmap.Width());
        EXPECT_EQ(17, bitmap.Height());
        EXPECT_EQ(c.bits, bitmap.BitsPerPixel());
        // The ramp runs from dark to light, give or take the compression.
        // libjpeg marks CMYK with the Adobe marker, whose values are inverted
        // ink (255: none), so the CMYK ramp also ends white.
        EXPECT_LT(bitmap.PixelAt(0, 8).Green, 15);
        EXPECT_GT(bitmap.PixelAt(39, 8).Green, 240);
    }
}

TEST(Jpeg, ConvertedToPngWithTheSamePixels) {
    const TBytes jpeg = MakeJpeg(33, 9, JCS_RGB, 3);
    TPNGImage png;
    png.LoadFromBytes(JpegToPng(jpeg));
    EXPECT_TRUE(png.Bitmap == DecodeJpeg(jpeg));
}

TEST(Jpeg, BadDataFailsWithAnError) {
    const TBytes good = MakeJpeg(16, 16, JCS_RGB, 3);
    TBytes huge = good;
    // Frame header patched to 60000 x 60000: refused before any pixel memory.
    for (size_t at = 2; at + 9 < huge.size();) {
        if (huge[at + 1] == 0xC0) {
            huge[at + 5] = huge[at + 7] = 0xEA;
            huge[at + 6] = huge[at + 8] = 0x60;
            break;
        }
        at += 2 + ReadBigEndian16(&huge[at + 2]);
    }
    TBytes zeroWidth = good;
    for (size_t at = 2; at + 9 < zeroWidth.size();) {
        if (zeroWidth[at + 1] == 0xC0) {
            zeroWidth[at + 7] = zeroWidth[at + 8] = 0;
            break;
        }
        at += 2 + ReadBigEndian16(&zeroWidth[at + 2]);
    }
    const TBytes headerOnly(good.begin(), good.begin() + 20);
    struct Case {
        const char* what;
        TBytes data;
    };
    const Case cases[] = {
        {"empty", {}},
        {"not a JPEG", {'h', 'e', 'l', 'l', 'o'}},
        {"a PNG", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
        {"markers only", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"cut in the header", headerOnly},
        {"60000 x 60000", huge},
        {"zero width", zeroWidth},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(DecodeJpeg(c.data), TPictureError);
    }
}

TEST(Jpeg, CorpusDecodesAtTheFrameSizeOrFailsCleanly) {
    QUILLANE_REQUIRE_CORPUS("jpeg");
    int decoded = 0;
    for (const auto& path : test::CorpusFiles("jpeg")) {
        SCOPED_TRACE(path.filename().string());
        const std::string text = test::ReadWholeFile(path);
        const TBytes bytes(text.begin(), text.end());
        try {
            const TBitmap bitmap = DecodeJpeg(bytes);
            const auto size = FrameSize(bytes);
            ASSERT_TRUE(size.has_value());
            EXPECT_EQ(size->first, bitmap.Width());
            EXPECT_EQ(size->second, bitmap.Height());
            ++decoded;
        } catch (const TPictureError& e) {
            EXPECT_NE(std::string(), e.what());
        }
    }
    EXPECT_GE(decoded, 20);
}

}  // namespace
}  // namespace quillane
