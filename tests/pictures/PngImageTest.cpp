#include "pictures/PngImage.h"

#include <gtest/gtest.h>

#include "pictures/PngFixtures.h"
#include "pictures/PngPixels.h"

namespace quillane {
namespace {

using namespace test;

TBytes Rgb2x2() {
    // Two rows, filter None: red, green / blue, white.
    return MakePng({Ihdr(2, 2, 8, ctRgb), Idat({0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255}), Iend()});
}

TPNGImage Load(const TBytes& png, bool gamma = true) {
    TPNGImage image;
    TPngReadOptions options;
    options.ApplyGamma = gamma;
    image.LoadFromBytes(png, options);
    return image;
}

// Load and Save are not const; a fresh picture per reading keeps tests apart.
std::vector<TChunkFixture> SavedChunks(const TBytes& png) {
    TPNGImage image;
    image.LoadFromBytes(png);
    return ParseChunks(image.SaveToBytes());
}

std::vector<std::string> Types(const std::vector<TChunkFixture>& chunks) {
    std::vector<std::string> types;
    for (const auto& c : chunks) {
        types.push_back(c.Type);
    }
    return types;
}

TEST(PngRead, RgbPixelsComeOutInBitmapOrder) {
    const TPNGImage image = Load(Rgb2x2());
    ASSERT_EQ(24, image.Bitmap.BitsPerPixel());
    EXPECT_EQ((TRgba{255, 0, 0, 255}), image.Bitmap.PixelAt(0, 0));
    EXPECT_EQ((TRgba{0, 0, 255, 255}), image.Bitmap.PixelAt(0, 1));
    EXPECT_EQ(0, image.Bitmap.Row(0)[0]);  // blue first
    EXPECT_EQ(255, image.Bitmap.Row(0)[2]);
}

TEST(PngRead, ImageDataSplitOverTwoChunksIsOneImage) {
    const TChunkFixture whole = Idat({0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255});
    const size_t half = whole.Data.size() / 2;
    const TBytes png = MakePng({Ihdr(2, 2, 8, ctRgb), Raw("IDAT", TBytes(whole.Data.begin(), whole.Data.begin() + half)),
                                Raw("IDAT", TBytes(whole.Data.begin() + half, whole.Data.end())), Iend()});
    TPNGImage image = Load(png);
    EXPECT_TRUE(image.Bitmap == Load(Rgb2x2()).Bitmap);
    int dataChunks = 0;
    for (const auto& c : image.Chunks()) {
        dataChunks += c->Type() == ChunkType("IDAT") ? 1 : 0;
    }
    EXPECT_EQ(1, dataChunks);
}

TEST(PngRead, WrongCrcStillLoads) {
    std::vector<TChunkFixture> chunks = {Ihdr(2, 2, 8, ctRgb),
                                         Idat({0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255}), Iend()};
    for (auto& c : chunks) {
        c.BadCrc = true;
    }
    EXPECT_TRUE(Load(MakePng(chunks)).Bitmap == Load(Rgb2x2()).Bitmap);
}

TEST(PngRead, SixteenBitGreyIsAPaletteOf256Greys) {
    // 0x12FF keeps its high byte 0x12; 0xFF00 gives 0xFF.
    const TPNGImage image = Load(MakePng({Ihdr(2, 1, 16, ctGrey), Idat({0, 0x12, 0xFF, 0xFF, 0x00}), Iend()}));
    ASSERT_EQ(8, image.Bitmap.BitsPerPixel());
    ASSERT_EQ(256u, image.Bitmap.Palette.size());
    EXPECT_EQ((TPaletteEntry{128, 128, 128, 255}), image.Bitmap.Palette[128]);
    EXPECT_EQ(0x12, image.Bitmap.IndexAt(0, 0));
    EXPECT_EQ(0xFF, image.Bitmap.IndexAt(1, 0));
}

TEST(PngRead, AlphaIsKeptAndWrittenBack) {
    // RGBA and grey with alpha both become 32-bit pixels with their alpha.
    const TBytes rgba = MakePng({Ihdr(1, 1, 8, ctRgba), Idat({0, 10, 20, 30, 40}), Iend()});
    const TBytes greyAlpha = MakePng({Ihdr(1, 1, 8, ctGreyAlpha), Idat({0, 99, 7}), Iend()});
    EXPECT_EQ((TRgba{10, 20, 30, 40}), Load(rgba).Bitmap.PixelAt(0, 0));
    EXPECT_EQ((TRgba{99, 99, 99, 7}), Load(greyAlpha).Bitmap.PixelAt(0, 0));
    const TBytes saved = Load(greyAlpha).SaveToBytes();
    EXPECT_EQ(ctRgba, ParseChunks(saved)[0].Data[9]);
    EXPECT_EQ((TRgba{99, 99, 99, 7}), Load(saved).Bitmap.PixelAt(0, 0));
}

TEST(PngRead, TransparentColoursPerColourType) {
    struct Case {
        const char* what;
        TBytes png;
        TRgba first, second;
    };
    const Case cases[] = {
        {"grey 2-bit, level 1 transparent",
         MakePng({Ihdr(2, 1, 2, ctGrey), Raw("tRNS", {0, 1}), Idat({0, 0b0001'0000}), Iend()}),
         {0, 0, 0, 255}, {85, 85, 85, 0}},
        {"grey 1-bit, key masked to the bit depth",
         MakePng({Ihdr(2, 1, 1, ctGrey), Raw("tRNS", {0, 0xFF}), Idat({0, 0b0100'0000}), Iend()}),
         {0, 0, 0, 255}, {255, 255, 255, 0}},
        {"grey 16-bit compares all 16 bits",
         MakePng({Ihdr(2, 1, 16, ctGrey), Raw("tRNS", {0x01, 0x00}), Idat({0, 0x01, 0x00, 0x01, 0xFF}), Iend()}),
         {1, 1, 1, 0}, {1, 1, 1, 255}},
        {"RGB 8-bit",
         MakePng({Ihdr(2, 1, 8, ctRgb), Raw("tRNS", {0, 1, 0, 2, 0, 3}), Idat({0, 1, 2, 3, 1, 2, 4}), Iend()}),
         {1, 2, 3, 0}, {1, 2, 4, 255}},
        {"palette, alpha for the first entries only",
         MakePng({Ihdr(2, 1, 8, ctPalette), Plte({9, 9, 9, 7, 7, 7}), Raw("tRNS", {128}), Idat({0, 0, 1}), Iend()}),
         {9, 9, 9, 128}, {7, 7, 7, 255}},
        {"tRNS of the wrong size is ignored",
         MakePng({Ihdr(2, 1, 8, ctRgb), Raw("tRNS", {0, 1}), Idat({0, 1, 2, 3, 1, 2, 4}), Iend()}),
         {1, 2, 3, 255}, {1, 2, 4, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPNGImage image = Load(c.png);
        EXPECT_EQ(c.first, image.Bitmap.PixelAt(0, 0));
        EXPECT_EQ(c.second, image.Bitmap.PixelAt(1, 0));
        // Transparency survives a save.
        const TBytes saved = image.SaveToBytes();
        EXPECT_EQ(c.first, Load(saved).Bitmap.PixelAt(0, 0));
        EXPECT_EQ(c.second, Load(saved).Bitmap.PixelAt(1, 0));
    }
}

TEST(PngRead, PaletteIndexPastThePaletteIsBlack) {
    const TBytes png = MakePng({Ihdr(2, 1, 8, ctPalette), Plte({200, 100, 50}), Idat({0, 0, 5}), Iend()});
    TPNGImage image = Load(png);
    EXPECT_EQ((TRgba{0, 0, 0, 255}), image.Bitmap.PixelAt(1, 0));
    // The saved palette covers every index in use.
    const auto chunks = ParseChunks(image.SaveToBytes());
    EXPECT_EQ("PLTE", chunks[1].Type);
    EXPECT_EQ(18u, chunks[1].Data.size());
}

TEST(PngRead, AllFiveFiltersAreUndone) {
    // One 3-pixel grey row per filter; each row decodes to 10, 20, 30 above
    // a first row of 1, 2, 3.
    const TBytes rows = {
        0, 1, 2, 3,            // None
        1, 10, 10, 10,         // Sub: 10, 20, 30
        0, 10, 20, 30,         // None (the row above the next)
        2, 0, 0, 0,            // Up: the row above again
        3, 5, 5, 5,            // Average: 10 - (0+10)/2, 20 - (10+20)/2, 30 - (20+30)/2
        4, 0, 0, 0,            // Paeth: every byte predicted from the one above
    };
    const TPNGImage image = Load(MakePng({Ihdr(3, 6, 8, ctGrey), Idat(rows), Iend()}));
    const uint8_t expected[6][3] = {{1, 2, 3}, {10, 20, 30}, {10, 20, 30}, {10, 20, 30}, {10, 20, 30}, {10, 20, 30}};
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(expected[y][x], image.Bitmap.IndexAt(x, y));
        }
    }
}

TEST(PngRead, InterlacedLoadsAndSavesPlain) {
    // 3 x 3 grey, Adam7: pass 1 has (0,0); pass 4 has (2,0); pass 5 has
    // (0,2), (2,2); pass 6 has (1,0), (1,2); pass 7 has row 1.
    const TBytes passes = {
        0, 1,           // pass 1: (0,0)
        0, 3,           // pass 4: (2,0)
        0, 7, 9,        // pass 5: (0,2), (2,2)
        0, 2, 0, 8,     // pass 6: (1,0), then (1,2)
        0, 4, 5, 6,     // pass 7: row 1
    };
    TPNGImage image = Load(MakePng({Ihdr(3, 3, 8, ctGrey, 1), Idat(passes), Iend()}));
    EXPECT_TRUE(image.Interlaced);
    for (int32_t i = 0; i < 9; ++i) {
        EXPECT_EQ(i + 1, image.Bitmap.IndexAt(i % 3, i / 3)) << i;
    }
    const TBytes saved = image.SaveToBytes();
    EXPECT_EQ(0, ParseChunks(saved)[0].Data[12]);
    EXPECT_TRUE(Load(saved).Bitmap.ToRgba() == image.Bitmap.ToRgba());
}

TEST(PngRead, BadFilesFailWithAnError) {
    const TBytes row = {0, 1, 2, 3};
    TBytes truncated = Rgb2x2();
    truncated.resize(truncated.size() - 20);
    TBytes longChunk = MakePng({Ihdr(1, 1, 8, ctRgb)});
    longChunk[8] = 0x7F;  // length far past the end
    TBytes hugeLength = MakePng({Ihdr(1, 1, 8, ctRgb)});
    hugeLength[8] = 0xFF;  // beyond 2^31 - 1
    TChunkFixture corrupt = Idat(row);
    corrupt.Data[3] ^= 0x55;
    TChunkFixture shortData = Idat({0, 1, 2, 3, 0, 4});
    struct Case {
        const char* what;
        TBytes png;
    };
    const Case cases[] = {
        {"empty", {}},
        {"signature only", MakePng({})},
        {"bad signature", [] { TBytes b = MakePng({Ihdr(1, 1, 8, ctGrey), Idat({0, 1}), Iend()}); b[1] = 'Q'; return b; }()},
        {"no header", MakePng({Idat(row), Iend()})},
        {"header not first", MakePng({Raw("tIME", {1, 2, 3, 4, 5, 6, 7}), Ihdr(3, 1, 8, ctGrey), Idat(row), Iend()})},
        {"no image data", MakePng({Ihdr(3, 1, 8, ctGrey), Iend()})},
        {"two headers", MakePng({Ihdr(3, 1, 8, ctGrey), Ihdr(3, 1, 8, ctGrey), Idat(row), Iend()})},
        {"header of 12 bytes", MakePng({Raw("IHDR", TBytes(12, 1)), Idat(row), Iend()})},
        {"zero width", MakePng({Ihdr(0, 1, 8, ctGrey), Idat(row), Iend()})},
        {"zero height", MakePng({Ihdr(3, 0, 8, ctGrey), Idat(row), Iend()})},
        {"width over 2^31 - 1", MakePng({Ihdr(0x80000000u, 1, 8, ctGrey), Idat(row), Iend()})},
        {"pixels beyond the memory cap", MakePng({Ihdr(100000, 100000, 8, ctRgb), Idat(row), Iend()})},
        {"rows beyond the row cap", MakePng({Ihdr(0x7FFFFFFF, 1, 16, ctRgba), Idat(row), Iend()})},
        {"RGB of 4 bits", MakePng({Ihdr(3, 1, 4, ctRgb), Idat(row), Iend()})},
        {"palette of 16 bits", MakePng({Ihdr(3, 1, 16, ctPalette), Idat(row), Iend()})},
        {"colour type 1", MakePng({Ihdr(3, 1, 8, 1), Idat(row), Iend()})},
        {"colour type 9", MakePng({Ihdr(3, 1, 8, 9), Idat(row), Iend()})},
        {"bit depth 0", MakePng({Ihdr(3, 1, 0, ctGrey), Idat(row), Iend()})},
        {"interlace 2", MakePng({Ihdr(3, 1, 8, ctGrey, 2), Idat(row), Iend()})},
        {"compression method 1", [&] { TChunkFixture h = Ihdr(3, 1, 8, ctGrey); h.Data[10] = 1; return MakePng({h, Idat(row), Iend()}); }()},
        {"filter method 1", [&] { TChunkFixture h = Ihdr(3, 1, 8, ctGrey); h.Data[11] = 1; return MakePng({h, Idat(row), Iend()}); }()},
        {"palette image without PLTE", MakePng({Ihdr(3, 1, 8, ctPalette), Idat(row), Iend()})},
        {"PLTE after the image data", MakePng({Ihdr(3, 1, 8, ctPalette), Idat(row), Plte({1, 2, 3}), Iend()})},
        {"PLTE not a multiple of 3", MakePng({Ihdr(3, 1, 8, ctPalette), Raw("PLTE", {1, 2, 3, 4}), Idat(row), Iend()})},
        {"PLTE of 257 entries", MakePng({Ihdr(3, 1, 8, ctPalette), Raw("PLTE", TBytes(771, 1)), Idat(row), Iend()})},
        {"unknown filter 5", MakePng({Ihdr(3, 1, 8, ctGrey), Idat({5, 1, 2, 3}), Iend()})},
        {"image data too short", MakePng({Ihdr(3, 2, 8, ctGrey), shortData, Iend()})},
        {"16 million pixels a row, a few bytes of data", MakePng({Ihdr(16000000, 10, 8, ctGrey), Idat(row), Iend()})},
        {"corrupt image data", MakePng({Ihdr(3, 1, 8, ctGrey), corrupt, Iend()})},
        {"image data not zlib", MakePng({Ihdr(3, 1, 8, ctGrey), Raw("IDAT", {1, 2, 3, 4}), Iend()})},
        {"chunk type not letters", MakePng({Ihdr(3, 1, 8, ctGrey), Raw("ID1T", row), Idat(row), Iend()})},
        {"chunk cut short", truncated},
        {"chunk length past the end", longChunk},
        {"chunk length over 2^31 - 1", hugeLength},
        {"a few stray bytes after the last chunk", [] { TBytes b = MakePng({Ihdr(3, 1, 8, ctGrey), Idat({0, 1, 2, 3})}); b.push_back(0); return b; }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPNGImage image;
        EXPECT_THROW(image.LoadFromBytes(c.png), TPictureError);
        EXPECT_TRUE(image.Bitmap.Empty());
    }
}

TEST(PngRead, MissingEndAndTrailingBytesAfterTheEndAreFine) {
    const TBytes rows = {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255};
    TBytes noEnd = MakePng({Ihdr(2, 2, 8, ctRgb), Idat(rows)});
    TBytes garbageAfterEnd = Rgb2x2();
    garbageAfterEnd.insert(garbageAfterEnd.end(), {1, 2, 3});
    EXPECT_NO_THROW(Load(noEnd));
    EXPECT_NO_THROW(Load(garbageAfterEnd));
}

TEST(PngRead, FailedLoadLeavesThePictureAsItWas) {
    TPNGImage image = Load(Rgb2x2());
    EXPECT_THROW(image.LoadFromBytes(MakePng({Ihdr(3, 1, 8, ctPalette), Idat({0, 1, 2, 3}), Iend()})), TPictureError);
    EXPECT_EQ(2, image.Bitmap.Width());
    EXPECT_EQ(4u, image.Chunks().size() + 1);  // IHDR, IDAT, IEND
}

TEST(PngGamma, AppliedOnceAndNeverAgainOnSave) {
    // gAMA 1.0: linear samples, brightened for a display of gamma 2.2.
    TBytes gamma;
    AppendBigEndian32(gamma, 100000);
    const TBytes png = MakePng({Ihdr(1, 1, 8, ctRgb), Raw("gAMA", gamma), Idat({0, 64, 128, 255}), Iend()});
    TPNGImage image = Load(png);
    const TRgba once = image.Bitmap.PixelAt(0, 0);
    EXPECT_EQ((TRgba{136, 186, 255, 255}), once);  // 255 * (v / 255)^(1 / 2.2)
    EXPECT_EQ(DisplayGammaValue, image.Gamma);
    EXPECT_EQ((TRgba{64, 128, 255, 255}), Load(png, false).Bitmap.PixelAt(0, 0));

    TBytes saved = image.SaveToBytes();
    for (int round = 0; round < 3; ++round) {
        TPNGImage again = Load(saved);
        EXPECT_EQ(once, again.Bitmap.PixelAt(0, 0)) << "round " << round;
        saved = again.SaveToBytes();
    }
    const auto chunks = ParseChunks(saved);
    ASSERT_EQ("gAMA", chunks[1].Type);
    EXPECT_EQ(DisplayGammaValue, ReadBigEndian32(chunks[1].Data.data()));
}

TEST(PngGamma, GreyAndPalettePassThroughTheTable) {
    TBytes gamma;
    AppendBigEndian32(gamma, 100000);
    const TPNGImage grey = Load(MakePng({Ihdr(1, 1, 1, ctGrey), Raw("gAMA", gamma), Idat({0, 0}), Iend()}));
    EXPECT_EQ((TPaletteEntry{255, 255, 255, 255}), grey.Bitmap.Palette[1]);
    const TPNGImage palette = Load(
        MakePng({Ihdr(1, 1, 8, ctPalette), Raw("gAMA", gamma), Plte({64, 0, 255}), Idat({0, 0}), Iend()}));
    EXPECT_EQ((TPaletteEntry{136, 0, 255, 255}), palette.Bitmap.Palette[0]);
}

TEST(PngWrite, ChunksKeptDroppedAndOrdered) {
    const TBytes png = MakePng({Ihdr(2, 2, 8, ctRgb), Raw("tIME", {7, 230, 1, 2, 3, 4, 5}), Raw("tEXt", {'A', 0, 'b'}),
                                Idat({0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255}),
                                Raw("zzZZ", {42}), Iend()});
    const TPNGImage loaded = Load(png);
    ASSERT_EQ(1u, loaded.Texts.size());
    EXPECT_EQ("A", loaded.Texts[0].Keyword);
    EXPECT_EQ("b", loaded.Texts[0].Text);
    const auto chunks = SavedChunks(png);
    EXPECT_EQ((std::vector<std::string>{"IHDR", "tIME", "IDAT", "zzZZ", "IEND"}), Types(chunks));
    EXPECT_EQ((TBytes{7, 230, 1, 2, 3, 4, 5}), chunks[1].Data);
    for (const auto& c : chunks) {
        EXPECT_FALSE(c.BadCrc) << c.Type;
    }
}

TEST(PngWrite, PaletteAndTransparencyFollowTheBitmap) {
    TBitmap bitmap(2, 1, 4);
    bitmap.Palette = {{1, 2, 3, 255}, {4, 5, 6, 0}};
    bitmap.SetIndex(1, 0, 1);
    TPNGImage image;
    image.AssignBitmap(bitmap);
    const auto chunks = ParseChunks(image.SaveToBytes());
    EXPECT_EQ((std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}), Types(chunks));
    EXPECT_EQ(4, chunks[0].Data[8]);          // bit depth
    EXPECT_EQ(ctPalette, chunks[0].Data[9]);
    EXPECT_EQ((TBytes{1, 2, 3, 4, 5, 6}), chunks[1].Data);
    EXPECT_EQ((TBytes{255, 0}), chunks[2].Data);

    // Made opaque, the transparency chunk goes away.
    image.Bitmap.Palette[1].Alpha = 255;
    EXPECT_EQ((std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}), Types(ParseChunks(image.SaveToBytes())));
}

TEST(PngWrite, ChunksOfAnotherPixelFormatAreDropped) {
    // A 16-bit grey file's background is 2 bytes; saved as a palette image
    // it would be invalid, so it is dropped. An 8-bit palette file keeps its own.
    const TBytes grey = MakePng({Ihdr(1, 1, 16, ctGrey), Raw("bKGD", {0, 1}), Idat({0, 0, 0}), Iend()});
    const TBytes palette =
        MakePng({Ihdr(1, 1, 8, ctPalette), Plte({1, 2, 3}), Raw("bKGD", {0}), Idat({0, 0}), Iend()});
    EXPECT_EQ((std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}), Types(SavedChunks(grey)));
    EXPECT_EQ((std::vector<std::string>{"IHDR", "PLTE", "bKGD", "IDAT", "IEND"}), Types(SavedChunks(palette)));
}

// Filter bytes of the rows of a saved picture.
std::vector<uint8_t> FilterBytes(const TBytes& png, size_t rowBytes) {
    const TBytes data = InflatedImageData(png);
    std::vector<uint8_t> filters;
    for (size_t at = 0; at < data.size(); at += rowBytes + 1) {
        filters.push_back(data[at]);
    }
    return filters;
}

TEST(PngWrite, FilterChoice) {
    // Row 0: a ramp (Sub gives a run of 10s; Paeth gives the same and loses
    // the tie). Row 1: the ramp again (Paeth predicts from above: all zeros;
    // Up would too and comes first, but is off by default). Row 2: flat
    // (None runs longest).
    TBitmap bitmap(8, 3, 8);
    bitmap.Palette.resize(256);
    for (int32_t x = 0; x < 8; ++x) {
        bitmap.SetIndex(x, 0, static_cast<uint8_t>(x * 10));
        bitmap.SetIndex(x, 1, static_cast<uint8_t>(x * 10));
        bitmap.SetIndex(x, 2, 7);
    }
    TPNGImage image;
    image.AssignBitmap(bitmap);
    EXPECT_EQ((std::vector<uint8_t>{pfSub, pfPaeth, pfNone}), FilterBytes(image.SaveToBytes(), 8));
    image.AllowedFilters = DefaultPngFilters | FilterBit(pfUp);
    EXPECT_EQ((std::vector<uint8_t>{pfSub, pfUp, pfNone}), FilterBytes(image.SaveToBytes(), 8));
    image.AllowedFilters = FilterBit(pfNone);
    EXPECT_EQ((std::vector<uint8_t>{pfNone, pfNone, pfNone}), FilterBytes(image.SaveToBytes(), 8));

    // Rows of 4 bytes or fewer always use None.
    TBitmap narrow(4, 2, 8);
    narrow.Palette.resize(256);
    for (int32_t x = 0; x < 4; ++x) {
        narrow.SetIndex(x, 0, static_cast<uint8_t>(x * 10));
        narrow.SetIndex(x, 1, static_cast<uint8_t>(x * 10));
    }
    image.AssignBitmap(narrow);
    image.AllowedFilters = 0x1F;
    EXPECT_EQ((std::vector<uint8_t>{pfNone, pfNone}), FilterBytes(image.SaveToBytes(), 4));
}

TEST(PngWrite, AssignCopiesChunksAndSettings) {
    TPNGImage source = Load(MakePng({Ihdr(2, 2, 8, ctRgb), Raw("tIME", {1, 2, 3, 4, 5, 6, 7}),
                                     Idat({0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255}), Iend()}));
    source.AllowedFilters = FilterBit(pfNone);
    TPNGImage copy;
    copy.Assign(source);
    EXPECT_EQ(source.Chunks().size(), copy.Chunks().size());
    EXPECT_EQ(FilterBit(pfNone), copy.AllowedFilters);
    EXPECT_TRUE(copy.Bitmap == source.Bitmap);
    EXPECT_TRUE(copy.SaveToBytes() == source.SaveToBytes());
}

TEST(PngWrite, EmptyPictureCannotBeSaved) {
    TPNGImage image;
    EXPECT_THROW(image.SaveToBytes(), TPictureError);
}

}  // namespace
}  // namespace quillane
