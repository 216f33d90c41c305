// GIF files made here, each showing one rule of the reader or its LZW
// decoder.
#include "pictures/GifImage.h"

#include <gtest/gtest.h>

#include <string>

#include "pictures/PictureFile.h"

namespace quillane {
namespace {

// LZW codes as (code, width) pairs, packed least significant bit first.
struct TCode {
    int Code;
    int Width;
};

TBytes PackCodes(const std::vector<TCode>& codes) {
    TBytes out;
    uint32_t buffer = 0;
    int bits = 0;
    for (const TCode& c : codes) {
        buffer |= static_cast<uint32_t>(c.Code) << bits;
        bits += c.Width;
        while (bits >= 8) {
            out.push_back(static_cast<uint8_t>(buffer));
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) {
        out.push_back(static_cast<uint8_t>(buffer));
    }
    return out;
}

// Pixels as one root code each, after a clear code, then the end code;
// the widths follow the table as a decoder grows it.
TBytes Literal(const std::vector<int>& pixels, int codeSize) {
    const int clear = 1 << codeSize;
    std::vector<TCode> codes = {{clear, codeSize + 1}};
    int width = codeSize + 1;
    int next = clear + 2;
    bool first = true;
    for (int p : pixels) {
        if (next >= 4000) {
            codes.push_back({clear, width});
            width = codeSize + 1;
            next = clear + 2;
            first = true;
        }
        codes.push_back({p, width});
        if (!first && ++next == (1 << width) && width < 12) {
            ++width;
        }
        first = false;
    }
    codes.push_back({clear + 1, width});
    return PackCodes(codes);
}

// Data as sub-blocks, with the closing empty block.
TBytes SubBlocks(const TBytes& data, bool terminate = true) {
    TBytes out;
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    if (terminate) {
        out.push_back(0);
    }
    return out;
}

void Put16(TBytes& b, int v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

class TGifBuilder {
public:
    TGifBuilder(int width, int height, int tableBits = 0, const char* signature = "GIF89a") {
        bytes_.assign(signature, signature + 6);
        Put16(bytes_, width);
        Put16(bytes_, height);
        bytes_.push_back(tableBits > 0 ? static_cast<uint8_t>(0x80 | (tableBits - 1)) : 0);
        bytes_.push_back(0);  // background
        bytes_.push_back(0);  // aspect
        for (int i = 0; tableBits > 0 && i < (1 << tableBits); ++i) {
            // Colour i is (10i, 20i, 30i), except a few whites to tell indexes from colours.
            const bool white = i >= 2 && i <= 3;
            bytes_.insert(bytes_.end(), {static_cast<uint8_t>(white ? 255 : 10 * i), static_cast<uint8_t>(white ? 255 : 20 * i),
                                         static_cast<uint8_t>(white ? 255 : 30 * i)});
        }
    }
    TGifBuilder& Raw(const TBytes& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    TGifBuilder& Control(int transparent, int blockSize = 4) {
        TBytes block = {0x21, 0xF9, static_cast<uint8_t>(blockSize), transparent >= 0 ? uint8_t{1} : uint8_t{0}, 10, 0,
                        static_cast<uint8_t>(transparent >= 0 ? transparent : 0)};
        block.resize(3 + static_cast<size_t>(blockSize), 0);
        block.push_back(0);
        return Raw(block);
    }
    TGifBuilder& Image(int left, int top, int width, int height, int codeSize, const TBytes& lzw, bool interlaced = false,
                       bool terminate = true) {
        bytes_.push_back(0x2C);
        Put16(bytes_, left);
        Put16(bytes_, top);
        Put16(bytes_, width);
        Put16(bytes_, height);
        bytes_.push_back(interlaced ? 0x40 : 0);
        bytes_.push_back(static_cast<uint8_t>(codeSize));
        return Raw(SubBlocks(lzw, terminate));
    }
    TBytes End() {
        bytes_.push_back(0x3B);
        return bytes_;
    }
    const TBytes& Bytes() const { return bytes_; }

private:
    TBytes bytes_;
};

TGIFImage Load(const TBytes& bytes) {
    TGIFImage gif;
    gif.LoadFromBytes(bytes);
    return gif;
}

std::vector<int> Indexes(const TBitmap& b) {
    std::vector<int> out;
    for (int32_t y = 0; y < b.Height(); ++y) {
        for (int32_t x = 0; x < b.Width(); ++x) {
            out.push_back(b.IndexAt(x, y));
        }
    }
    return out;
}

TEST(Gif, LzwStates) {
    struct TCase {
        const char* Name;
        std::vector<TCode> Codes;
        std::vector<int> Pixels;
    } cases[] = {
        // No clear code first: decoding starts as after one.
        {"no leading clear", {{1, 3}, {2, 3}, {0, 3}, {3, 4}}, {1, 2, 0, 3}},
        // A clear after a clear, then the end code: a valid, blank frame.
        {"clear clear end", {{4, 3}, {4, 3}, {5, 3}}, {0, 0, 0, 0}},
        // A code that is the next free entry (the previous string plus its
        // own first pixel).
        {"next free code", {{4, 3}, {1, 3}, {6, 3}, {5, 3}}, {1, 1, 1, 0}},
        // Roots end at the clear code even when the colour table is wider:
        // code 6 is the entry "3 1", not colour 6.
        {"code size below the table", {{4, 3}, {3, 3}, {1, 3}, {6, 3}, {5, 4}}, {3, 1, 3, 1}},
        // A clear in the middle starts the table and widths over.
        {"clear midway", {{4, 3}, {2, 3}, {2, 3}, {4, 3}, {3, 3}, {3, 3}, {5, 3}}, {2, 2, 3, 3}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TGIFImage gif = Load(TGifBuilder(4, 1, 3).Image(0, 0, 4, 1, 2, PackCodes(c.Codes)).End());
        EXPECT_EQ(c.Pixels, Indexes(gif.FrameBitmap(0)));
    }
}

TEST(Gif, DamagedAndShortLzwData) {
    const auto frame = [](const TBytes& lzw, int codeSize = 2) {
        return Load(TGifBuilder(4, 1, 3).Image(0, 0, 4, 1, codeSize, lzw).End());
    };
    // The data ends before the end code and the last pixel.
    EXPECT_THROW(frame(PackCodes({{4, 3}, {1, 3}})).FrameBitmap(0), TPictureError);
    // Code sizes that cannot be.
    EXPECT_THROW(frame(Literal({1}, 2), 0).FrameBitmap(0), TPictureError);
    EXPECT_THROW(frame(Literal({1}, 2), 12).FrameBitmap(0), TPictureError);
    // A code beyond the table: decoding stops, the pixels before it stay.
    const TBitmap damaged = frame(PackCodes({{4, 3}, {2, 3}, {7, 3}, {5, 3}})).FrameBitmap(0);
    EXPECT_EQ((std::vector<int>{2, 0, 0, 0}), Indexes(damaged));
    // Every pixel written: a missing end code does not matter.
    EXPECT_EQ((std::vector<int>{1, 2, 3, 0}), Indexes(frame(PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 4}})).FrameBitmap(0)));
    // A long literal stream through every code width up to 12 bits.
    std::vector<int> pixels(5000);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<int>(i * 7 % 256);
    }
    const TGIFImage wide = Load(TGifBuilder(100, 50, 8).Image(0, 0, 100, 50, 8, Literal(pixels, 8)).End());
    EXPECT_EQ(pixels, Indexes(wide.FrameBitmap(0)));
}

// The file ends inside the image data, as a cut-short download does: the
// frame keeps what it holds.
TEST(Gif, TruncatedFileKeepsTheDecodedPixels) {
    std::vector<int> pixels(600, 1);
    TGifBuilder builder(600, 1, 2);
    builder.Image(0, 0, 600, 1, 2, Literal(pixels, 2));
    TBytes bytes = builder.Bytes();
    bytes.resize(bytes.size() - 100);
    const TGIFImage gif = Load(bytes);
    ASSERT_EQ(1u, gif.Frames().size());
    EXPECT_TRUE(gif.Frames()[0].Truncated);
    const TBitmap b = gif.FrameBitmap(0);
    EXPECT_EQ(1, b.IndexAt(0, 0));
    EXPECT_EQ(0, b.IndexAt(599, 0));
}

TEST(Gif, InterlacedFramesWriteEveryRowOnce) {
    for (int height = 1; height <= 17; ++height) {
        SCOPED_TRACE(height);
        std::vector<int> pixels;
        for (int i = 0; i < height; ++i) {
            pixels.push_back(i + 1);
        }
        const TGIFImage gif = Load(TGifBuilder(1, height, 5).Image(0, 0, 1, height, 5, Literal(pixels, 5), true).End());
        const TBitmap b = gif.FrameBitmap(0);
        // The rows in the order the passes store them.
        std::vector<int> order;
        for (const auto& [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}}) {
            for (int row = start; row < height; row += step) {
                order.push_back(row);
            }
        }
        ASSERT_EQ(static_cast<size_t>(height), order.size());
        for (int k = 0; k < height; ++k) {
            EXPECT_EQ(k + 1, b.IndexAt(0, order[static_cast<size_t>(k)])) << "row " << order[static_cast<size_t>(k)];
        }
    }
}

TEST(Gif, TransparencyIsOneIndex) {
    // Entries 2 and 3 are both white; only 3 is transparent.
    const TGIFImage gif = Load(TGifBuilder(2, 1, 2).Control(3).Image(0, 0, 2, 1, 2, Literal({2, 3}, 2)).End());
    ASSERT_TRUE(gif.Transparent());
    EXPECT_EQ(3, *gif.TransparentIndex());
    const TBitmap b = gif.FrameBitmap(0);
    EXPECT_EQ((TRgba{255, 255, 255, 255}), b.PixelAt(0, 0));
    EXPECT_EQ((TRgba{255, 255, 255, 0}), b.PixelAt(1, 0));
    // An index beyond the table makes nothing transparent.
    EXPECT_FALSE(Load(TGifBuilder(2, 1, 2).Control(9).Image(0, 0, 2, 1, 2, Literal({2, 3}, 2)).End()).Transparent());
    // A control block of another size is read by its own size byte.
    const TGIFImage longer = Load(TGifBuilder(2, 1, 2).Control(3, 6).Image(0, 0, 2, 1, 2, Literal({2, 3}, 2)).End());
    EXPECT_EQ(3, *longer.TransparentIndex());
}

TEST(Gif, ExtensionsAndBlocks) {
    TBytes loop = {0x21, 0xFF, 11};
    const std::string netscape = "NETSCAPE2.0";
    loop.insert(loop.end(), netscape.begin(), netscape.end());
    loop.insert(loop.end(), {3, 1, 0xFF, 0xFF, 0});
    const TBytes unknown = {0x21, 0x99, 2, 'x', 'y', 1, 'z', 0};
    const TBytes comment = {0x21, 0xFE, 2, 'h', 'i', 0};
    const TGIFImage gif = Load(
        TGifBuilder(1, 1, 1).Raw(loop).Raw(unknown).Raw(comment).Image(0, 0, 1, 1, 2, Literal({1}, 2)).End());
    EXPECT_TRUE(gif.Looping());
    EXPECT_EQ(30000, gif.RepeatCount());
    EXPECT_EQ((std::vector<std::string>{"hi"}), gif.Comments());
    EXPECT_EQ(1u, gif.Frames().size());

    // The identifier counts only in a block of 11 bytes.
    TBytes shortBlock = {0x21, 0xFF, 8};
    shortBlock.insert(shortBlock.end(), netscape.begin(), netscape.begin() + 8);
    shortBlock.insert(shortBlock.end(), {3, 1, 5, 0, 0});
    EXPECT_FALSE(Load(TGifBuilder(1, 1, 1).Raw(shortBlock).Image(0, 0, 1, 1, 2, Literal({1}, 2)).End()).Looping());

    // Signature and version in any case; the trailer alone is an empty picture.
    const TGIFImage empty = Load(TGifBuilder(5, 5, 0, "gIf87A").End());
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(0, empty.Width());
    EXPECT_THROW(empty.FirstFrameOnScreen(), TPictureError);
    EXPECT_THROW(LoadPictureFile(TGifBuilder(5, 5).End(), "gif"), TPictureError);
    EXPECT_THROW(Load(TGifBuilder(5, 5, 0, "GIF90a").End()), TPictureError);

    // A width or height of 0 is the screen's.
    const TGIFImage zero = Load(TGifBuilder(3, 2, 1).Image(0, 0, 0, 0, 2, Literal({1, 1, 1, 1, 1, 1}, 2)).End());
    EXPECT_EQ(3, zero.Width());
    EXPECT_EQ(2, zero.Height());
}

TEST(Gif, CutShortBlocksAndUnknownBytes) {
    const TBytes frame = TGifBuilder(1, 1, 1).Image(0, 0, 1, 1, 2, Literal({1}, 2)).Bytes();
    const TBytes header = TGifBuilder(1, 1, 1).Bytes();
    // Before the first frame is complete: the load fails, the picture as it was.
    TGIFImage gif = Load(frame);
    for (size_t size : {size_t{8}, size_t{12}, header.size() - 1, header.size() + 5}) {
        SCOPED_TRACE(size);
        EXPECT_THROW(gif.LoadFromBytes(TByteSpan(frame).first(size)), TPictureError);
        EXPECT_EQ(1u, gif.Frames().size());
    }
    TBytes unknownFirst = header;
    unknownFirst.push_back('x');
    EXPECT_THROW(Load(unknownFirst), TPictureError);
    // After a complete frame: the frames read are kept.
    for (const TBytes& tail : {TBytes{0x2C, 0, 0}, TBytes{0x21}, TBytes{0, 0, 'x', 'y'}}) {
        TBytes bytes = frame;
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        EXPECT_EQ(1u, Load(bytes).Frames().size());
    }
    // Zero bytes after an image are padding: the next frame still counts.
    TBytes padded = frame;
    padded.insert(padded.end(), {0, 0});
    const TBytes second = TGifBuilder(1, 1).Image(0, 0, 1, 1, 2, Literal({1}, 2)).End();
    padded.insert(padded.end(), second.begin() + 13, second.end());
    EXPECT_EQ(2u, Load(padded).Frames().size());
    // A zero where a block should start ends the parse, frames or not.
    TBytes zeroFirst = header;
    zeroFirst.insert(zeroFirst.end(), {0, 'x'});
    EXPECT_TRUE(Load(zeroFirst).Empty());
}

TEST(Gif, ColoursWithoutATable) {
    // Code size 2, no table anywhere: four greys.
    const TGIFImage gif = Load(TGifBuilder(4, 1).Image(0, 0, 4, 1, 2, Literal({0, 1, 2, 3}, 2)).End());
    const TBitmap b = gif.FrameBitmap(0);
    EXPECT_EQ((TRgba{0, 0, 0, 255}), b.PixelAt(0, 0));
    EXPECT_EQ((TRgba{85, 85, 85, 255}), b.PixelAt(1, 0));
    EXPECT_EQ((TRgba{255, 255, 255, 255}), b.PixelAt(3, 0));
}

TEST(Gif, FirstFrameOnItsScreen) {
    // A 1 x 1 frame at (1, 1) of a 3 x 2 screen.
    const TGIFImage gif = Load(TGifBuilder(3, 2, 2).Image(1, 1, 1, 1, 2, Literal({1}, 2)).End());
    const TBitmap screen = gif.FirstFrameOnScreen();
    EXPECT_EQ(3, screen.Width());
    EXPECT_EQ(2, screen.Height());
    EXPECT_EQ((TRgba{10, 20, 30, 255}), screen.PixelAt(1, 1));
    EXPECT_EQ(0, screen.PixelAt(0, 0).Alpha);
    EXPECT_EQ(0, screen.PixelAt(2, 1).Alpha);
    // A frame reaching past the screen grows it.
    const TBitmap grown = Load(TGifBuilder(3, 2, 2).Image(2, 1, 2, 1, 2, Literal({1, 1}, 2)).End()).FirstFrameOnScreen();
    EXPECT_EQ(4, grown.Width());
    // A frame covering the screen stays a palette picture.
    EXPECT_EQ(4, Load(TGifBuilder(2, 1, 2).Image(0, 0, 2, 1, 2, Literal({1, 2}, 2)).End()).FirstFrameOnScreen().BitsPerPixel());
    // Sizes beyond the bitmap limit are refused before any pixel is decoded.
    const TGIFImage huge = Load(TGifBuilder(65535, 65535, 2).Image(0, 0, 65535, 65535, 2, Literal({1}, 2)).End());
    EXPECT_THROW(huge.FirstFrameOnScreen(), TPictureError);
    const TGIFImage far = Load(TGifBuilder(1, 1, 2).Image(65535, 65535, 65535, 2000, 2, Literal({1}, 2)).End());
    EXPECT_THROW(far.FirstFrameOnScreen(), TPictureError);
}

}  // namespace
}  // namespace quillane
