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

TEST(PictureFile, JpegFromTheCorpus) {
    QUILLANE_REQUIRE_CORPUS("jpeg");
    const std::string gray = test::ReadWholeFile(*test::CorpusFolder("jpeg") / "pillow__hopper_gray.jpg");
    const TPNGImage picture = LoadPngOrJpeg(AsBytes(gray));
    EXPECT_EQ(128, picture.Bitmap.Width());
    EXPECT_EQ(8, picture.Bitmap.BitsPerPixel());  // 256 greys
}

}  // namespace
}  // namespace quillane
