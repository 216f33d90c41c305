#include "pictures/PictureFile.h"

#include <gtest/gtest.h>

#include "pictures/PngFixtures.h"
#include "support/Corpus.h"

namespace quillane {
namespace {

TEST(PictureFile, FormatByTheFirstBytes) {
    const TBytes png = test::MakePng({test::Ihdr(1, 1, 8, ctGrey), test::Idat({0, 7}), test::Iend()});
    EXPECT_EQ(TPictureFormat::Png, DetectPictureFormat(png));
    EXPECT_EQ(TPictureFormat::Jpeg, DetectPictureFormat(TBytes{0xFF, 0xD8, 0xFF, 0xE0}));
    EXPECT_EQ(TPictureFormat::Unknown, DetectPictureFormat(TBytes{0xFF, 0xD8}));
    EXPECT_EQ(TPictureFormat::Gif, DetectPictureFormat(TBytes{'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_EQ(TPictureFormat::Unknown, DetectPictureFormat({}));

    EXPECT_EQ(7, LoadPngOrJpeg(png).Bitmap.IndexAt(0, 0));
    EXPECT_THROW(LoadPngOrJpeg(TBytes{'G', 'I', 'F'}), TPictureError);
    EXPECT_THROW(LoadPngOrJpeg(TBytes{0xFF, 0xD8, 0xFF, 0xD9}), TPictureError);
}

// Signatures win over names; Targa and PCX, which have none to trust, go by
// the extension, or by a header that holds together when there is none.
TEST(PictureFile, FormatBySignatureThenExtension) {
    const TBytes png = test::MakePng({test::Ihdr(1, 1, 8, ctGrey), test::Idat({0, 7}), test::Iend()});
    EXPECT_EQ(TPictureFormat::Png, PictureFormatOf(png, ".tga"));
    TBytes targa(18, 0);
    targa[2] = 3;   // grey
    targa[12] = 1;  // 1 x 1
    targa[14] = 1;
    targa[16] = 8;
    targa.push_back(99);
    EXPECT_EQ(TPictureFormat::Targa, PictureFormatOf(targa, "TGA"));
    EXPECT_EQ(TPictureFormat::Targa, PictureFormatOf(targa, ""));  // the clipboard has no name
    EXPECT_EQ(TPictureFormat::Pcx, PictureFormatOf(targa, ".pcx"));
    EXPECT_EQ(TPictureFormat::Unknown, PictureFormatOf(TBytes(40, 0xEE), ".txt"));
    EXPECT_EQ(TPictureFormat::Gif, PictureFormatOf(AsBytes("gif87a...."), ".tga"));

    const TPNGImage picture = LoadPictureFile(targa, ".tga");
    EXPECT_EQ((TRgba{99, 99, 99, 255}), picture.Bitmap.PixelAt(0, 0));
    EXPECT_THROW(LoadPictureFile(TBytes(40, 0xEE), ".txt"), TPictureError);
    EXPECT_THROW(LoadPictureFile(targa, ".pcx"), TPictureError);  // not a PCX header
}

// A bitmap file's pixels start where its header says, past any gap after
// the colour table.
TEST(PictureFile, BitmapFileHonoursThePixelOffset) {
    TBytes bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const TBytes info = {40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0};
    bmp.insert(bmp.end(), info.begin(), info.end());
    bmp.resize(14 + 40, 0);
    bmp.insert(bmp.end(), {0xAA, 0xAA, 0xAA, 0xAA});  // the gap
    bmp.insert(bmp.end(), {1, 2, 3, 0});
    bmp[10] = static_cast<uint8_t>(14 + 40 + 4);
    EXPECT_EQ(TPictureFormat::Bmp, DetectPictureFormat(bmp));
    EXPECT_EQ((TRgba{3, 2, 1, 255}), LoadPictureFile(bmp, "").Bitmap.PixelAt(0, 0));
    bmp[10] = 200;  // beyond the file
    EXPECT_THROW(LoadPictureFile(bmp, ""), TPictureError);
}

TEST(PictureFile, JpegFromTheCorpus) {
    QUILLANE_REQUIRE_CORPUS("jpeg");
    const std::string gray = test::ReadWholeFile(*test::CorpusFolder("jpeg") / "pillow__hopper_gray.jpg");
    const TPNGImage picture = LoadPngOrJpeg(AsBytes(gray));
    EXPECT_EQ(128, picture.Bitmap.Width());
    EXPECT_EQ(8, picture.Bitmap.BitsPerPixel());  // 256 greys
}

}  // namespace
}  // namespace quillane
