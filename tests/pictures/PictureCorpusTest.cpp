// Every Targa, PCX, GIF and bitmap file of the corpus, opened as the program
// opens picture files: it loads or fails with a picture error, the hostile
// ones fail, and wherever Pillow decodes a file we give the same RGBA pixels
// (a GIF's first frame inside its rectangle; outside it, on the logical
// screen, we leave the picture transparent where Pillow shows colour 0).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "pictures/GifImage.h"
#include "pictures/PictureFile.h"
#include "pictures/Targa.h"
#include "support/Corpus.h"
#include "support/PictureReference.h"

namespace quillane {
namespace {

using test::CorpusFiles;

const char* const PictureFolders[] = {"tga", "pcx", "gif", "bmp"};

// Damaged or hostile files that must be refused: zero or absurd sizes,
// colour maps and headers that make no sense, a GIF frame of 65535 x 1321
// pixels with no data, truncated colour tables.
const std::set<std::string> MustFail = {
    "imagers__tests_regression_tga_bad-color-map.tga",
    "imagers__tests_regression_tga_flip-zero-height.tga",
    "imagers__tests_regression_tga_flip-zero-height2.tga",
    "imagers__tests_regression_tga_orientation-zero-width.tga",
    "imagers__tests_regression_tga_sixteen-bit-gray-colormap.tga",
    "imagers__tests_regression_tga_sixteen-bit-gray-colormap2.tga",
    "pillow__p_8.tga",
    "pillow__ossfuzz-4836216264589312.pcx",
    "pillow__decompression_bomb.gif",
    "pillow__bmp_b_badbitcount.bmp",
    "pillow__bmp_b_badpalettesize.bmp",
    "pillow__bmp_b_reallybig.bmp",
    "pillow__bmp_b_shortfile.bmp",
    "pillow__bmp_q_pal8oversizepal.bmp",
    "pillow__l2rgb_read.bmp",
};

// Files Pillow decodes where we differ, and why.
const std::map<std::string, std::string> KnownDifferences = {
    {"pillow__bmp_b_pal8badindex.bmp",
     "indexes beyond the colour table are black here; Pillow shows the grey of its default palette"},
    // Files with run-length delta escapes: Pillow's picture is a smear from
    // the first delta on, ours the intact test card (checked by eye).
    {"imagers__bmp_images_pal4rlecut.bmp", "Pillow goes wrong at run-length delta escapes"},
    {"pillow__bmp_q_pal4rletrns.bmp", "Pillow goes wrong at run-length delta escapes"},
    {"pillow__bmp_q_pal8rletrns.bmp", "Pillow goes wrong at run-length delta escapes"},
};

std::string Name(const std::filesystem::path& path) { return path.filename().string(); }

TByteSpan Span(const std::string& bytes) { return AsBytes(bytes); }

std::optional<TPNGImage> Open(const std::filesystem::path& path) {
    const std::string bytes = test::ReadWholeFile(path);
    try {
        return LoadPictureFile(Span(bytes), path.extension().string());
    } catch (const TPictureError&) {
        return std::nullopt;
    }
}

TEST(PictureCorpus, EveryFileOpensOrFailsCleanly) {
    QUILLANE_REQUIRE_CORPUS("gif");
    int opened = 0;
    for (const char* folder : PictureFolders) {
        for (const auto& path : CorpusFiles(folder)) {
            SCOPED_TRACE(Name(path));
            const std::optional<TPNGImage> picture = Open(path);  // anything but TPictureError escapes
            if (MustFail.count(Name(path)) != 0) {
                EXPECT_FALSE(picture.has_value());
            } else if (picture) {
                EXPECT_FALSE(picture->Bitmap.Empty());
                ++opened;
            }
        }
    }
    EXPECT_GE(opened, 150);
}

// The four corner files hold the same run-length data (packets crossing 69
// of the 70 rows, alpha in a fourth byte) and differ only in the corner
// their descriptor names: each must come out as the top-left one mirrored
// to its corner.
TEST(PictureCorpus, TargaOrientationsMirrorTheSameData) {
    QUILLANE_REQUIRE_CORPUS("tga");
    const auto folder = *test::CorpusFolder("tga");
    const auto decode = [&](const std::string& corner) {
        return DecodeTarga(Span(test::ReadWholeFile(folder / ("imagers__tga_testsuite_" + corner + ".tga"))));
    };
    const TBitmap topLeft = decode("top_left");
    ASSERT_EQ(75, topLeft.Width());
    ASSERT_EQ(70, topLeft.Height());
    struct TCorner {
        const char* Name;
        bool MirrorX;
        bool MirrorY;
    };
    for (const TCorner corner : {TCorner{"top_right", true, false}, TCorner{"bottom_left", false, true},
                                 TCorner{"bottom_right", true, true}}) {
        SCOPED_TRACE(corner.Name);
        const TBitmap other = decode(corner.Name);
        int differences = 0;
        for (int32_t y = 0; y < 70; ++y) {
            for (int32_t x = 0; x < 75; ++x) {
                const int32_t fromX = corner.MirrorX ? 74 - x : x;
                const int32_t fromY = corner.MirrorY ? 69 - y : y;
                differences += other.PixelAt(x, y) == topLeft.PixelAt(fromX, fromY) ? 0 : 1;
            }
        }
        EXPECT_EQ(0, differences);
    }
    // Not blank: the run-length data made it through.
    EXPECT_NE(topLeft.PixelAt(0, 0), topLeft.PixelAt(37, 35));
}

// The index given as transparent is not used; another entry of the same
// white covers more than half the picture and must stay opaque.
TEST(PictureCorpus, GifTransparencyIsByIndexNotColour) {
    QUILLANE_REQUIRE_CORPUS("gif");
    const std::string bytes = test::ReadWholeFile(*test::CorpusFolder("gif") / "textract__gif_raw_text.gif");
    TGIFImage gif;
    gif.LoadFromBytes(Span(bytes));
    ASSERT_TRUE(gif.Transparent());
    const TBitmap bitmap = LoadPictureFile(Span(bytes), ".gif").Bitmap;
    EXPECT_FALSE(bitmap.HasTransparency() && bitmap.BitsPerPixel() == 32);
    const std::vector<uint8_t> rgba = bitmap.ToRgba();
    for (size_t i = 3; i < rgba.size(); i += 4) {
        ASSERT_EQ(255, rgba[i]) << "pixel " << i / 4;
    }
}

// A minimum code size (2) below the colour table's bits (3): codes 4 and
// up are table entries, not colours.
TEST(PictureCorpus, GifCodeSizeBelowTheTableBits) {
    QUILLANE_REQUIRE_CORPUS("gif");
    const std::string bytes = test::ReadWholeFile(*test::CorpusFolder("gif") / "imagers__gif_anim_any-disposal.gif");
    TGIFImage gif;
    gif.LoadFromBytes(Span(bytes));
    ASSERT_FALSE(gif.Empty());
    EXPECT_EQ(8u, gif.Frames()[0].ColorTable.size());
    EXPECT_EQ(2, gif.Frames()[0].Data[0]);
    EXPECT_GT(gif.Frames().size(), 1u);
}

TEST(PictureCorpus, MonochromePcxIsBlackAndWhite) {
    QUILLANE_REQUIRE_CORPUS("pcx");
    for (const char* name : {"kimgfmt__pcx_mono.pcx", "kimgfmt__autotests_write_format_pcx_Format_Mono.pcx"}) {
        SCOPED_TRACE(name);
        const auto picture = Open(*test::CorpusFolder("pcx") / name);
        ASSERT_TRUE(picture.has_value());
        std::set<uint32_t> colours;
        const std::vector<uint8_t> rgba = picture->Bitmap.ToRgba();
        for (size_t i = 0; i < rgba.size(); i += 4) {
            colours.insert(uint32_t{rgba[i]} | uint32_t{rgba[i + 1]} << 8 | uint32_t{rgba[i + 2]} << 16);
        }
        EXPECT_EQ((std::set<uint32_t>{0x000000, 0xFFFFFF}), colours);
    }
}

#ifndef _WIN32
// Our pixels against Pillow's; for a GIF only inside the first frame's
// rectangle, with what lies outside transparent.
void ExpectPillowPixels(const std::filesystem::path& path, const TBitmap& ours, const test::TReferencePixels& pillow) {
    ASSERT_EQ(pillow.Width, ours.Width());
    ASSERT_EQ(pillow.Height, ours.Height());
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = ours.Width();
    int32_t bottom = ours.Height();
    if (path.extension() == ".gif") {
        TGIFImage gif;
        gif.LoadFromBytes(Span(test::ReadWholeFile(path)));
        const TGifFrame& frame = gif.Frames()[0];
        left = frame.Left;
        top = frame.Top;
        right = left + frame.Width;
        bottom = top + frame.Height;
    }
    int differences = 0;
    for (int32_t y = 0; y < ours.Height(); ++y) {
        for (int32_t x = 0; x < ours.Width(); ++x) {
            const TRgba p = ours.PixelAt(x, y);
            const uint32_t mine = uint32_t{p.Red} | uint32_t{p.Green} << 8 | uint32_t{p.Blue} << 16 | uint32_t{p.Alpha} << 24;
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            const bool same = inside ? mine == pillow.At(x, y) : p.Alpha == 0;
            if (!same && differences++ == 0) {
                ADD_FAILURE() << "first difference at (" << x << ", " << y << "): ours " << std::hex << mine
                              << ", Pillow " << pillow.At(x, y);
            }
        }
    }
    EXPECT_EQ(0, differences);
}

TEST(PictureCorpus, DecodesLikePillow) {
    QUILLANE_REQUIRE_CORPUS("gif");
    if (!test::PillowAvailable()) {
        GTEST_SKIP() << "skipped: python3 with Pillow (python3-pil) not found; scripts/install-deps.sh installs it";
    }
    int compared = 0;
    for (const char* folder : PictureFolders) {
        test::TTempFolder results;
        const auto files = CorpusFiles(folder);
        ASSERT_TRUE(test::RunPillow(results.Path(), files));
        for (const auto& path : files) {
            const std::string name = Name(path);
            SCOPED_TRACE(name);
            const auto pillow = test::PillowPixels(results.Path(), name);
            if (!pillow || KnownDifferences.count(name) != 0) {
                continue;
            }
            const std::optional<TPNGImage> ours = Open(path);
            ASSERT_TRUE(ours.has_value()) << "Pillow decodes it";
            ExpectPillowPixels(path, ours->Bitmap, *pillow);
            ++compared;
        }
    }
    EXPECT_GE(compared, 130);
}
#endif

}  // namespace
}  // namespace quillane
