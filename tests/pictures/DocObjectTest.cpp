#include "pictures/DocObject.h"

#include <gtest/gtest.h>

#include "pictures/Jpeg.h"
#include "pictures/PngImage.h"
#include "pictures/Zlib.h"
#include "support/Corpus.h"

namespace quillane {
namespace {

TBitmap Gradient(int32_t width, int32_t height) {
    TBitmap b(width, height, 24);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = b.Row(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 7);
            p[1] = static_cast<uint8_t>(y * 5);
            p[2] = static_cast<uint8_t>(x + y);
        }
    }
    return b;
}

TBytes PngOf(const TBitmap& bitmap) {
    TPNGImage png;
    png.AssignBitmap(bitmap);
    return png.SaveToBytes();
}

// Bits that look like an enhanced metafile of 1 x 1 inch, padded to `size`.
TBytes FakeEmf(size_t size) {
    TBytes b(std::max<size_t>(size, 88), 0);
    b[0] = 1;
    b[4] = 88;
    b[32] = 2540 & 0xFF;
    b[33] = 2540 >> 8;
    b[36] = 2540 & 0xFF;
    b[37] = 2540 >> 8;
    b[40] = 0x20;
    b[41] = 'E';
    b[42] = 'M';
    b[43] = 'F';
    for (size_t i = 88; i < b.size(); ++i) {
        b[i] = static_cast<uint8_t>(i % 13);
    }
    return b;
}

TEST(DocObjectImage, PngPictureUnpacksAndPacksWithoutReencoding) {
    const TBitmap pixels = Gradient(30, 20);
    const TBytes png = PngOf(pixels);
    auto picture = MakePngPicture(png);
    EXPECT_EQ(450, picture->Width);  // 30 pixels at 96 per inch
    EXPECT_EQ(300, picture->Height);
    TDocObjectImage& image = picture->Image();
    EXPECT_TRUE(image.Packed());
    ASSERT_TRUE(image.Unpack());
    EXPECT_TRUE(image.Bitmap() == pixels);
    EXPECT_EQ(30 * 20 * 3, image.UnpackedSize());
    image.Pack();
    EXPECT_TRUE(image.Bitmap().Empty());
    EXPECT_TRUE(image.Stored == png);  // the same bytes, not encoded again
    ASSERT_TRUE(image.Unpack());
    EXPECT_TRUE(image.Bitmap() == pixels);
}

TEST(DocObjectImage, BitmapPictureGetsItsPngWhenPacked) {
    const TBitmap pixels = Gradient(64, 64);
    auto picture = MakeBitmapPicture(pixels);
    TDocObjectImage& image = picture->Image();
    EXPECT_FALSE(image.Packed());
    image.Pack();
    ASSERT_FALSE(image.Stored.empty());
    TPNGImage check;
    check.LoadFromBytes(image.Stored);
    EXPECT_TRUE(check.Bitmap == pixels);
    ASSERT_TRUE(image.Unpack());
    EXPECT_TRUE(image.Bitmap() == pixels);
}

TEST(DocObjectImage, MetafileUnpackedBitsAreTheOnlyCopyAndPackCompressed) {
    const TBytes bits = FakeEmf(5000);
    auto picture = MakeMetafilePicture(bits, std::nullopt);
    EXPECT_EQ(1440, picture->Width);
    TDocObjectImage& image = picture->Image();
    ASSERT_TRUE(image.Unpack());
    EXPECT_TRUE(image.MetafileBits() == bits);
    EXPECT_TRUE(image.Stored.empty());
    EXPECT_EQ(5000, image.UnpackedSize());
    image.Pack();
    EXPECT_TRUE(image.Compressed);
    EXPECT_EQ(5000u, image.UncompressedSize);
    EXPECT_LT(image.Stored.size(), bits.size());
    ASSERT_TRUE(image.Unpack());
    EXPECT_TRUE(image.MetafileBits() == bits);
    EXPECT_FALSE(image.Stored.empty());  // the compressed copy stays
}

TEST(DocObjectImage, WindowsMetafileKeepsItsHeaderAndSize) {
    // A plain Windows metafile has no size; the extents (0.01 mm) give it.
    TBytes bits(18, 0);
    bits[0] = 1;
    bits[2] = 9;
    bits[5] = 3;
    auto picture = MakeMetafilePicture(bits, TMetafilePictHeader{8, 5080, 2540});
    EXPECT_EQ(2880, picture->Width);
    EXPECT_EQ(1440, picture->Height);
    EXPECT_TRUE(picture->Image().WindowsMetafile);
    EXPECT_EQ(5080, picture->Image().MetafilePict.XExtent);
}

TEST(DocObjectImage, UndecodableDataStaysPacked) {
    struct Case {
        const char* what;
        std::unique_ptr<TDocObjectImage> image;
    };
    auto corruptCompressed = TDocObjectImage::FromMetafile({1, 2, 3, 4}, std::nullopt);
    corruptCompressed->Compressed = true;
    corruptCompressed->UncompressedSize = 100;
    auto wrongSize = TDocObjectImage::FromMetafile(FakeEmf(200), std::nullopt);
    wrongSize->Stored = Deflate(wrongSize->Stored);
    wrongSize->Compressed = true;
    wrongSize->UncompressedSize = 150;  // the data gives 200
    auto absurdSize = TDocObjectImage::FromMetafile({1}, std::nullopt);
    absurdSize->Compressed = true;
    absurdSize->UncompressedSize = uint64_t{1} << 40;
    Case cases[] = {
        {"PNG data that is not PNG", TDocObjectImage::FromPng({1, 2, 3})},
        {"no data at all", TDocObjectImage::FromPng({})},
        {"empty metafile", TDocObjectImage::FromMetafile({}, std::nullopt)},
        {"corrupt compressed metafile", std::move(corruptCompressed)},
        {"compressed metafile of another size", std::move(wrongSize)},
        {"compressed metafile of 1 TB", std::move(absurdSize)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.image->Unpack(true));
        EXPECT_TRUE(c.image->Packed());
        EXPECT_EQ(nullptr, c.image->BitmapForDisplay(10, 10, false));
    }
}

TEST(DocObjectImage, JpegPictureKeepsItsData) {
    EXPECT_THROW(MakeJpegPicture(TBytes{0xFF, 0xD8, 0xFF, 0xD9}), TPictureError);
    QUILLANE_REQUIRE_CORPUS("jpeg");
    const std::string jpeg = test::ReadWholeFile(*test::CorpusFolder("jpeg") / "pillow__hopper.jpg");
    auto picture = MakeJpegPicture(AsBytes(jpeg));
    EXPECT_EQ(128 * 15, picture->Width);
    TDocObjectImage& image = picture->Image();
    EXPECT_TRUE(image.Stored.empty());
    EXPECT_EQ(TBytes(jpeg.begin(), jpeg.end()), image.Jpeg);
    ASSERT_TRUE(image.Unpack());
    EXPECT_TRUE(image.Bitmap() == DecodeJpeg(AsBytes(jpeg)));
    image.Pack();
    EXPECT_TRUE(image.Stored.empty());  // packing keeps the JPEG, encodes nothing
    EXPECT_TRUE(image.Pixels() == DecodeJpeg(AsBytes(jpeg)));
}

TEST(ScaledCache, WhenItIsMadeAndKept) {
    auto picture = MakePngPicture(PngOf(Gradient(40, 30)));
    TDocObjectImage& image = picture->Image();
    EXPECT_EQ(nullptr, image.BitmapForDisplay(20, 15, false));  // packed: nothing to draw
    ASSERT_TRUE(image.Unpack());
    const TBitmap* own = &image.Bitmap();

    // The natural size (100 % at zoom 100 %) draws from the bitmap itself,
    // and so does a display size of 1 pixel or one too large for a cache.
    EXPECT_EQ(own, image.BitmapForDisplay(40, 30, true));
    EXPECT_EQ(own, image.BitmapForDisplay(1, 1, false));
    EXPECT_EQ(own, image.BitmapForDisplay(1, 30, false));
    EXPECT_EQ(own, image.BitmapForDisplay(1024, 769, false));
    EXPECT_TRUE(image.ScaledCache().Empty());

    const TBitmap* cache = image.BitmapForDisplay(20, 15, false);
    ASSERT_NE(own, cache);
    EXPECT_EQ(20, cache->Width());
    EXPECT_EQ(15, cache->Height());
    EXPECT_EQ(cache, image.BitmapForDisplay(20, 15, false));
    // Another zoom: the old cache is discarded for one of the new size.
    EXPECT_EQ(80, image.BitmapForDisplay(80, 60, false)->Width());

    // The cache travels as PNG data while packed.
    const std::vector<uint8_t> pixels = image.ScaledCache().ToRgba();
    image.Pack();
    EXPECT_FALSE(image.ScaledCacheBytes.empty());
    EXPECT_TRUE(image.ScaledCache().Empty());
    ASSERT_TRUE(image.Unpack());
    EXPECT_TRUE(image.ScaledCache().ToRgba() == pixels);
    EXPECT_TRUE(image.ScaledCacheBytes.empty());
}

TEST(ScaledCache, MetafileNeedsItsRendering) {
    auto picture = MakeMetafilePicture(FakeEmf(300), std::nullopt);
    TDocObjectImage& image = picture->Image();
    ASSERT_TRUE(image.Unpack());
    EXPECT_EQ(nullptr, image.BitmapForDisplay(50, 50, false));
    image.SetRendering(Gradient(96, 96));
    const TBitmap* cache = image.BitmapForDisplay(50, 50, false);
    ASSERT_NE(nullptr, cache);
    EXPECT_EQ(50, cache->Width());
}

TEST(DocObject, DisplaySizeAndMemory) {
    TDocPicture picture(nullptr);
    picture.Width = 1440;
    picture.Height = 720;
    EXPECT_EQ((TPixelSize{96, 48}), picture.DisplaySize(96));
    EXPECT_EQ((TPixelSize{192, 96}), picture.DisplaySize(192));  // zoom 200 %
    picture.HorizontalScale = 50;
    EXPECT_EQ((TPixelSize{48, 48}), picture.DisplaySize(96));
    EXPECT_FALSE(picture.NaturalSize(100));
    picture.Width = -5;  // from a damaged file
    EXPECT_EQ(0, picture.DisplaySize(96).Width);

    TDocOLEObject object(nullptr);
    const int64_t empty = object.MemorySize();
    object.Data.assign(1000, 1);
    EXPECT_EQ(empty + 1000, object.MemorySize());
    EXPECT_TRUE(object.IsOLEObject());
}

}  // namespace
}  // namespace quillane
