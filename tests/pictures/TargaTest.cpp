// Targa files made here, each showing one rule of the reader.
#include "pictures/Targa.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

struct TTargaFields {
    uint8_t ColorMapType = 0;
    uint8_t ImageType = 2;
    uint16_t MapFirst = 0;
    uint16_t MapLength = 0;
    uint8_t MapBits = 0;
    uint16_t Width = 1;
    uint16_t Height = 1;
    uint8_t Depth = 24;
    uint8_t Descriptor = 0x20;  // top down, so fixtures read as written
};

TBytes Targa(const TTargaFields& f, const TBytes& rest) {
    TBytes b = {0, f.ColorMapType, f.ImageType};
    const auto put16 = [&](uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    put16(f.MapFirst);
    put16(f.MapLength);
    b.push_back(f.MapBits);
    put16(0);
    put16(0);
    put16(f.Width);
    put16(f.Height);
    b.push_back(f.Depth);
    b.push_back(f.Descriptor);
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

TRgba Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) { return {r, g, b, a}; }

TEST(Targa, TypeAndDepthTogetherChooseThePixels) {
    // 16 bits are grey and alpha in a grey image...
    TBitmap la = DecodeTarga(Targa({.ImageType = 3, .Depth = 16}, {0x80, 0x40}));
    EXPECT_EQ(Rgba(0x80, 0x80, 0x80, 0x40), la.PixelAt(0, 0));
    // ...and five bits a channel in a true-colour one, scaled to the full
    // eight bits (the attribute bit ignored).
    for (uint8_t depth : {15, 16}) {
        TBitmap rgb = DecodeTarga(Targa({.Depth = depth}, {0x1F, 0xFC}));  // r 31, g 0, b 31, attribute set
        EXPECT_EQ(Rgba(255, 0, 255), rgb.PixelAt(0, 0));
    }
    TBitmap grey = DecodeTarga(Targa({.ImageType = 3, .Depth = 8}, {128}));
    EXPECT_EQ(8, grey.BitsPerPixel());
    EXPECT_EQ(Rgba(128, 128, 128), grey.PixelAt(0, 0));  // no six-bit precision
    TBitmap bgra = DecodeTarga(Targa({.Depth = 32}, {1, 2, 3, 4}));
    EXPECT_EQ(Rgba(3, 2, 1, 4), bgra.PixelAt(0, 0));  // alpha kept
    TBitmap bw = DecodeTarga(Targa({.ImageType = 3, .Width = 10, .Depth = 1}, {0x80, 0x40}));
    EXPECT_EQ(Rgba(255, 255, 255), bw.PixelAt(0, 0));
    EXPECT_EQ(Rgba(0, 0, 0), bw.PixelAt(1, 0));
    EXPECT_EQ(Rgba(255, 255, 255), bw.PixelAt(9, 0));
}

TEST(Targa, RefusesWhatItCannotRead) {
    const TTargaFields refused[] = {
        {.ImageType = 4},                                                 // no such type
        {.ImageType = 0},                                                 // no image data
        {.ImageType = 2, .Depth = 8},                                     // true colour of 8 bits
        {.ImageType = 3, .Depth = 24},                                    // grey of 24 bits
        {.ColorMapType = 1, .ImageType = 1, .MapLength = 1, .MapBits = 24, .Depth = 16},  // 16-bit indexes
        {.ColorMapType = 1, .ImageType = 1, .MapLength = 1, .MapBits = 8, .Depth = 8},    // 8-bit map entries
        {.ImageType = 1, .Depth = 8},                                     // colour-mapped without a map
        {.ColorMapType = 2},                                              // unknown map type
        {.Width = 0},
        {.Height = 0},
        {.Width = 65535, .Height = 65535, .Depth = 32},                   // beyond the bitmap limit
    };
    for (const TTargaFields& fields : refused) {
        EXPECT_THROW(DecodeTarga(Targa(fields, TBytes(8, 0))), TPictureError);
    }
    EXPECT_THROW(DecodeTarga(TBytes(17, 0)), TPictureError);
    // A map longer than the file.
    EXPECT_THROW(DecodeTarga(Targa({.ColorMapType = 1, .ImageType = 1, .MapLength = 300, .MapBits = 24, .Depth = 8}, TBytes(10, 0))),
                 TPictureError);
    // Depth 4 has no pixels anyone writes: a blank picture of the right size.
    TBitmap blank = DecodeTarga(Targa({.ImageType = 3, .Width = 3, .Height = 2, .Depth = 4}, {}));
    EXPECT_EQ(3, blank.Width());
    EXPECT_EQ(2, blank.Height());
}

// Entries from the first index on, those past 255 dropped; the whole map
// is skipped before the pixels, whatever its entry size.
TEST(Targa, ColourMapsOfEveryEntrySize) {
    // 32-bit entries (B, G, R, A) from index 254: 254 and 255 kept, 256 dropped.
    const TBytes map32 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9};
    TBitmap b = DecodeTarga(Targa({.ColorMapType = 1, .ImageType = 1, .MapFirst = 254, .MapLength = 3, .MapBits = 32,
                                   .Width = 2, .Depth = 8},
                                  [&] { TBytes t = map32; t.insert(t.end(), {254, 255}); return t; }()));
    EXPECT_EQ(Rgba(3, 2, 1, 4), b.PixelAt(0, 0));
    EXPECT_EQ(Rgba(7, 6, 5, 8), b.PixelAt(1, 0));
    // 15-bit entries, full eight bits.
    TBitmap c = DecodeTarga(Targa({.ColorMapType = 1, .ImageType = 1, .MapLength = 1, .MapBits = 15, .Depth = 8},
                                  {0xE0, 0x03, 0}));
    EXPECT_EQ(Rgba(0, 255, 0), c.PixelAt(0, 0));
    // A first index far beyond the palette: nothing written out of bounds,
    // the pixels still found after the map.
    TBitmap d = DecodeTarga(Targa({.ColorMapType = 1, .ImageType = 1, .MapFirst = 26122, .MapLength = 2, .MapBits = 24,
                                   .Depth = 8},
                                  {1, 1, 1, 2, 2, 2, 7}));
    EXPECT_EQ(7, d.IndexAt(0, 0));
    // A map in a true-colour file is skipped, even of an odd entry size.
    TBitmap e = DecodeTarga(Targa({.ColorMapType = 1, .ImageType = 2, .MapLength = 2, .MapBits = 12}, {0, 0, 0, 0, 9, 8, 7}));
    EXPECT_EQ(Rgba(7, 8, 9), e.PixelAt(0, 0));
}

TEST(Targa, RunLengthPacketsCrossRows) {
    // 3 x 2 grey: one run of four 10s over the row end, then a raw packet of two.
    TBitmap b = DecodeTarga(Targa({.ImageType = 11, .Width = 3, .Height = 2, .Depth = 8}, {0x83, 10, 0x01, 20, 30}));
    EXPECT_EQ(10, b.IndexAt(0, 0));
    EXPECT_EQ(10, b.IndexAt(2, 0));
    EXPECT_EQ(10, b.IndexAt(0, 1));
    EXPECT_EQ(20, b.IndexAt(1, 1));
    EXPECT_EQ(30, b.IndexAt(2, 1));
}

TEST(Targa, CornersAndTruncation) {
    const TBytes pixels = {1, 2, 3, 4};  // file order
    struct TCase {
        uint8_t Descriptor;
        uint8_t TopLeft;
    } cases[] = {{0x20, 1}, {0x30, 2}, {0x00, 3}, {0x10, 4}};
    for (const TCase& c : cases) {
        TBitmap b = DecodeTarga(Targa({.ImageType = 3, .Width = 2, .Height = 2, .Depth = 8, .Descriptor = c.Descriptor}, pixels));
        EXPECT_EQ(c.TopLeft, b.IndexAt(0, 0)) << int{c.Descriptor};
    }
    // Data that ends early: what is there is kept, the rest is zero.
    TBitmap raw = DecodeTarga(Targa({.ImageType = 3, .Width = 2, .Height = 2, .Depth = 8}, {5, 6, 7}));
    EXPECT_EQ(7, raw.IndexAt(0, 1));
    EXPECT_EQ(0, raw.IndexAt(1, 1));
    TBitmap rle = DecodeTarga(Targa({.ImageType = 10, .Width = 2, .Height = 2, .Depth = 24}, {0x81, 1, 2, 3, 0x81, 4}));
    EXPECT_EQ(Rgba(3, 2, 1), rle.PixelAt(1, 0));
    EXPECT_EQ(Rgba(0, 0, 0), rle.PixelAt(0, 1));
}

}  // namespace
}  // namespace quillane
