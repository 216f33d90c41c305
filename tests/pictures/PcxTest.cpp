// PCX files made here, each showing one rule of the reader.
#include "pictures/Pcx.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

struct TPcxFields {
    uint8_t Version = 5;
    uint8_t Encoding = 1;
    uint8_t Bits = 8;
    uint16_t XMax = 0;
    uint16_t YMax = 0;
    uint8_t Planes = 1;
    uint16_t BytesPerLine = 2;
    uint16_t XMin = 0;
};

TBytes Pcx(const TPcxFields& f, const TBytes& data) {
    TBytes b(128, 0);
    b[0] = 10;
    b[1] = f.Version;
    b[2] = f.Encoding;
    b[3] = f.Bits;
    b[4] = static_cast<uint8_t>(f.XMin);
    b[5] = static_cast<uint8_t>(f.XMin >> 8);
    b[8] = static_cast<uint8_t>(f.XMax);
    b[9] = static_cast<uint8_t>(f.XMax >> 8);
    b[10] = static_cast<uint8_t>(f.YMax);
    b[11] = static_cast<uint8_t>(f.YMax >> 8);
    for (int i = 0; i < 16; ++i) {  // header colour i is (i, 2i, 3i)
        b[16 + 3 * i] = static_cast<uint8_t>(i);
        b[17 + 3 * i] = static_cast<uint8_t>(2 * i);
        b[18 + 3 * i] = static_cast<uint8_t>(3 * i);
    }
    b[65] = f.Planes;
    b[66] = static_cast<uint8_t>(f.BytesPerLine);
    b[67] = static_cast<uint8_t>(f.BytesPerLine >> 8);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

TRgba Rgb(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b, 255}; }

TEST(Pcx, EveryPairOfBitsAndPlanes) {
    // (1,1): black and white, whatever the (here non-zero) header palette.
    TBitmap mono = DecodePcx(Pcx({.Bits = 1, .XMax = 1}, {0x80, 0}));
    EXPECT_EQ(Rgb(255, 255, 255), mono.PixelAt(0, 0));
    EXPECT_EQ(Rgb(0, 0, 0), mono.PixelAt(1, 0));
    // (1,4): bit x of plane p is bit p of pixel x's index (0xC0 written as
    // a run of one, as it must be).
    TBitmap planes4 = DecodePcx(Pcx({.Bits = 1, .XMax = 1, .Planes = 4}, {0x80, 0, 0x40, 0, 0xC1, 0xC0, 0, 0x00, 0}));
    EXPECT_EQ(5, planes4.IndexAt(0, 0));
    EXPECT_EQ(6, planes4.IndexAt(1, 0));
    EXPECT_EQ(Rgb(5, 10, 15), planes4.PixelAt(0, 0));
    // (1,3) and (1,2): fewer planes, the same rule.
    EXPECT_EQ(3, DecodePcx(Pcx({.Bits = 1, .Planes = 3}, {0x80, 0, 0x80, 0, 0, 0})).IndexAt(0, 0));
    EXPECT_EQ(2, DecodePcx(Pcx({.Bits = 1, .Planes = 2}, {0, 0, 0x80, 0})).IndexAt(0, 0));
    // (2,1), CGA: four pixels a byte.
    TBitmap cga = DecodePcx(Pcx({.Bits = 2, .XMax = 3}, {0x1B, 0}));
    EXPECT_EQ(0, cga.IndexAt(0, 0));
    EXPECT_EQ(1, cga.IndexAt(1, 0));
    EXPECT_EQ(2, cga.IndexAt(2, 0));
    EXPECT_EQ(3, cga.IndexAt(3, 0));
    // (4,1): two pixels a byte.
    TBitmap nibbles = DecodePcx(Pcx({.Bits = 4, .XMax = 1}, {0x9C, 0}));
    EXPECT_EQ(9, nibbles.IndexAt(0, 0));
    EXPECT_EQ(12, nibbles.IndexAt(1, 0));
    // (8,3) and (8,4): planes of red, green, blue (and alpha).
    EXPECT_EQ(Rgb(1, 2, 3), DecodePcx(Pcx({.Planes = 3}, {1, 0, 2, 0, 3, 0})).PixelAt(0, 0));
    EXPECT_EQ((TRgba{1, 2, 3, 4}), DecodePcx(Pcx({.Planes = 4}, {1, 0, 2, 0, 3, 0, 4, 0})).PixelAt(0, 0));

    const TPcxFields refused[] = {{.Bits = 2, .Planes = 2}, {.Bits = 8, .Planes = 2}, {.Bits = 3}, {.Bits = 0},
                                  {.Bits = 16}, {.Bits = 1, .Planes = 5}, {.Planes = 0}};
    for (const TPcxFields& fields : refused) {
        EXPECT_THROW(DecodePcx(Pcx(fields, TBytes(16, 0))), TPictureError);
    }
}

TEST(Pcx, HeaderChecks) {
    EXPECT_THROW(DecodePcx(TBytes(127, 10)), TPictureError);
    EXPECT_THROW(DecodePcx(Pcx({.Version = 6}, {0})), TPictureError);
    EXPECT_THROW(DecodePcx(Pcx({.Encoding = 2}, {0})), TPictureError);
    EXPECT_THROW(DecodePcx(Pcx({.XMax = 2, .XMin = 3}, {0})), TPictureError);          // negative width
    EXPECT_THROW(DecodePcx(Pcx({.XMax = 87, .BytesPerLine = 12}, {0})), TPictureError);  // rows too short
    EXPECT_THROW(DecodePcx(Pcx({.XMax = 65534, .YMax = 65534, .BytesPerLine = 65535}, {0})), TPictureError);
    // Every version from 0 to 5 reads; 0 and 3 carry no palette and take
    // the EGA colours.
    for (uint8_t version = 0; version <= 5; ++version) {
        TBitmap b = DecodePcx(Pcx({.Version = version, .Bits = 4}, {0x10, 0}));
        const bool ega = version == 0 || version == 3;
        EXPECT_EQ(ega ? Rgb(0, 0, 170) : Rgb(1, 2, 3), b.PixelAt(0, 0)) << int{version};
    }
}

TEST(Pcx, The256ColourPaletteNeedsItsMarker) {
    TBytes withPalette = Pcx({}, {7, 0});
    withPalette.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
        withPalette.insert(withPalette.end(), {static_cast<uint8_t>(255 - i), 0, static_cast<uint8_t>(i)});
    }
    EXPECT_EQ(Rgb(248, 0, 7), DecodePcx(withPalette).PixelAt(0, 0));
    // Without the marker those bytes are not colours: 256 greys instead.
    withPalette[withPalette.size() - 769] = 0;
    EXPECT_EQ(Rgb(7, 7, 7), DecodePcx(withPalette).PixelAt(0, 0));
    // Too short to hold one: greys, nothing read before the file.
    TBitmap small = DecodePcx(Pcx({}, {0xC1, 200}));
    EXPECT_EQ(Rgb(200, 200, 200), small.PixelAt(0, 0));
}

TEST(Pcx, RunsAcrossRowsAndTruncation) {
    // 2 x 2 of 8 bits, 2 bytes a row: a run of three 9s, then a literal 4.
    TBitmap b = DecodePcx(Pcx({.XMax = 1, .YMax = 1}, {0xC3, 9, 4}));
    EXPECT_EQ(9, b.IndexAt(1, 0));
    EXPECT_EQ(9, b.IndexAt(0, 1));
    EXPECT_EQ(4, b.IndexAt(1, 1));
    // The data ends after the first row: the second stays zero.
    TBitmap cut = DecodePcx(Pcx({.XMax = 1, .YMax = 1}, {0xC2, 9, 0xC0}));
    EXPECT_EQ(9, cut.IndexAt(1, 0));
    EXPECT_EQ(0, cut.IndexAt(0, 1));
    // A run longer than the picture stops at its end.
    TBitmap over = DecodePcx(Pcx({.XMax = 1}, {0xFF, 5}));
    EXPECT_EQ(5, over.IndexAt(1, 0));
}

}  // namespace
}  // namespace quillane
