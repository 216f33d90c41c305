// Every PNG of the corpus: valid files decode to the pixels of an independent
// decoder (Pillow, through scripts/png-reference.py) and survive our encoder
// unchanged; corrupt files fail with an error. Under Wine, where there is no
// Python, the same binary checks that valid files decode at their header's
// size and corrupt ones fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "pictures/PngImage.h"
#include "support/Corpus.h"

namespace quillane {
namespace {

using test::CorpusFiles;
using test::ReadWholeFile;

// Files that must fail: PngSuite's damaged files (bad signature, colour
// type, bit depth, missing image data) and broken or truncated files.
const std::set<std::string> CorruptFiles = {
    "pillow__broken.png",           "pillow__broken_data_stream.png", "pillow__truncated_end_chunk.png",
    "pillow__truncated_image.png",  "pngsuite__xc9n2c08.png",         "pngsuite__xcrn0g04.png",
    "pngsuite__xd0n2c08.png",       "pngsuite__xd9n2c08.png",         "pngsuite__xdtn0g01.png",
    "pngsuite__xs2n0g01.png",       "pngsuite__xs4n0g01.png",         "pngsuite__xs7n0g01.png",
};

// Files the reference refuses that load here: a header with a damaged CRC
// (CRCs are not checked), and a text-chunk bomb whose text is never inflated.
const std::set<std::string> LoadDespiteReference = {"pngsuite__xhdn0g08.png", "pillow__png_decompression_dos.png"};

std::string Name(const std::filesystem::path& path) { return path.filename().string(); }

TBytes FileBytes(const std::filesystem::path& path) {
    const std::string text = ReadWholeFile(path);
    return TBytes(text.begin(), text.end());
}

TEST(PngCorpus, ValidFilesDecodeAtTheirHeaderSizeAndCorruptOnesFail) {
    QUILLANE_REQUIRE_CORPUS("png");
    int decoded = 0;
    for (const auto& path : CorpusFiles("png")) {
        SCOPED_TRACE(Name(path));
        const TBytes bytes = FileBytes(path);
        TPNGImage image;
        if (CorruptFiles.count(Name(path)) != 0) {
            EXPECT_THROW(image.LoadFromBytes(bytes), TPictureError);
            EXPECT_TRUE(image.Bitmap.Empty());
            continue;
        }
        ASSERT_NO_THROW(image.LoadFromBytes(bytes));
        ASSERT_GE(bytes.size(), 24u);
        EXPECT_EQ(static_cast<int32_t>(ReadBigEndian32(&bytes[16])), image.Bitmap.Width());
        EXPECT_EQ(static_cast<int32_t>(ReadBigEndian32(&bytes[20])), image.Bitmap.Height());
        ++decoded;
    }
    EXPECT_GE(decoded, 100);
}

TEST(PngCorpus, EncodingKeepsThePixelsAndIsRepeatable) {
    QUILLANE_REQUIRE_CORPUS("png");
    for (const auto& path : CorpusFiles("png")) {
        if (CorruptFiles.count(Name(path)) != 0) {
            continue;
        }
        SCOPED_TRACE(Name(path));
        TPNGImage first;
        first.LoadFromBytes(FileBytes(path));
        const TBytes encoded = first.SaveToBytes();
        TPNGImage second;
        ASSERT_NO_THROW(second.LoadFromBytes(encoded));
        // The same bitmap, or at least the same pixels (a palette may grow
        // to cover every index in use).
        EXPECT_TRUE(first.Bitmap == second.Bitmap || first.Bitmap.ToRgba() == second.Bitmap.ToRgba());
        EXPECT_EQ(first.Gamma, second.Gamma);
        EXPECT_TRUE(encoded == second.SaveToBytes());
    }
}

#ifndef _WIN32
// The interpreter that has Pillow; QUILLANE_PYTHON overrides the build's.
std::string Python() {
    const char* fromEnv = std::getenv("QUILLANE_PYTHON");
    return fromEnv != nullptr && *fromEnv != 0 ? fromEnv : QUILLANE_PYTHON_DEFAULT;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

bool ReferenceAvailable() {
    return !Python().empty() &&
           std::system((Quoted(Python()) + " " + Quoted(QUILLANE_PNG_REFERENCE) + " --check 2>/dev/null").c_str()) == 0;
}

// Runs the reference decoder on the files; its results land in `folder`.
void RunReference(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files) {
    std::string command = Quoted(Python()) + " " + Quoted(QUILLANE_PNG_REFERENCE) + " " + Quoted(folder.string());
    for (const auto& path : files) {
        command += " " + Quoted(path.string());
    }
    ASSERT_EQ(0, std::system(command.c_str()));
}

// Whether the reference decoded `name` in `folder` to the bitmap's pixels.
void ExpectReferencePixels(const std::filesystem::path& folder, const std::string& name, const TBitmap& bitmap) {
    const TBytes expected = FileBytes(folder / (name + ".rgba"));
    ASSERT_GE(expected.size(), 8u);
    EXPECT_EQ(static_cast<int32_t>(ReadLittleEndian32(&expected[0])), bitmap.Width());
    EXPECT_EQ(static_cast<int32_t>(ReadLittleEndian32(&expected[4])), bitmap.Height());
    const std::vector<uint8_t> actual = bitmap.ToRgba();
    const bool same = actual.size() + 8 == expected.size() && std::equal(actual.begin(), actual.end(), expected.begin() + 8);
    if (!same) {
        size_t at = 0;
        while (at < actual.size() && at + 8 < expected.size() && actual[at] == expected[at + 8]) {
            ++at;
        }
        ADD_FAILURE() << "pixels differ from the reference at byte " << at << " (pixel " << at / 4 << ")";
    }
}

TEST(PngCorpus, DecodesLikeTheReferenceDecoder) {
    QUILLANE_REQUIRE_CORPUS("png");
    if (!ReferenceAvailable()) {
        GTEST_SKIP() << "skipped: python3 with Pillow (python3-pil) not found; scripts/install-deps.sh installs it";
    }
    test::TTempFolder folder;
    RunReference(folder.Path(), CorpusFiles("png"));

    int compared = 0;
    for (const auto& path : CorpusFiles("png")) {
        const std::string name = Name(path);
        SCOPED_TRACE(name);
        TPNGImage image;
        TPngReadOptions rawSamples;
        rawSamples.ApplyGamma = false;  // Pillow ignores gamma too
        const auto reference = folder.Path() / (name + ".rgba");
        if (!std::filesystem::exists(reference)) {
            if (LoadDespiteReference.count(name) != 0) {
                EXPECT_NO_THROW(image.LoadFromBytes(FileBytes(path), rawSamples));
            } else {
                EXPECT_THROW(image.LoadFromBytes(FileBytes(path), rawSamples), TPictureError);
            }
            continue;
        }
        ASSERT_NO_THROW(image.LoadFromBytes(FileBytes(path), rawSamples));
        ExpectReferencePixels(folder.Path(), name, image.Bitmap);
        ++compared;
    }
    EXPECT_GE(compared, 100);
}

// What our encoder writes, the reference reads back as the same pixels: the
// files are valid PNG, not only to ourselves.
TEST(PngCorpus, ReferenceDecoderReadsOurEncoding) {
    QUILLANE_REQUIRE_CORPUS("png");
    if (!ReferenceAvailable()) {
        GTEST_SKIP() << "skipped: python3 with Pillow (python3-pil) not found; scripts/install-deps.sh installs it";
    }
    test::TTempFolder encoded;
    test::TTempFolder folder;
    TPngReadOptions rawSamples;
    rawSamples.ApplyGamma = false;
    std::vector<std::filesystem::path> written;
    std::vector<TBitmap> bitmaps;
    for (const auto& path : CorpusFiles("png")) {
        TPNGImage image;
        try {
            image.LoadFromBytes(FileBytes(path), rawSamples);
        } catch (const TPictureError&) {
            continue;
        }
        const TBytes bytes = image.SaveToBytes();
        written.push_back(encoded.Path() / Name(path));
        test::WriteWholeFile(written.back(), std::string(bytes.begin(), bytes.end()));
        bitmaps.push_back(std::move(image.Bitmap));
    }
    RunReference(folder.Path(), written);
    for (size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(Name(written[i]));
        ExpectReferencePixels(folder.Path(), Name(written[i]), bitmaps[i]);
    }
    EXPECT_GE(written.size(), 100u);
}
#endif

}  // namespace
}  // namespace quillane
