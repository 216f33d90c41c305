#include "pictures/Dib.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "pictures/PngImage.h"
#include "support/Corpus.h"

namespace quillane {
namespace {

void Put16(TBytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(TBytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct TDibFields {
    uint32_t HeaderSize = 40;
    int32_t Width = 2;
    int32_t Height = 2;
    uint16_t BitsPerPixel = 24;
    uint32_t Compression = 0;
    uint32_t ColorsUsed = 0;
    std::vector<uint32_t> Palette;  // 0xRRGGBB
    std::vector<uint32_t> Masks;    // written after a 40-byte header
    TBytes Rows;                    // as stored, padded
};

TBytes MakeDib(const TDibFields& fields) {
    TBytes b;
    Put32(b, fields.HeaderSize);
    if (fields.HeaderSize == 12) {
        Put16(b, static_cast<uint32_t>(fields.Width));
        Put16(b, static_cast<uint32_t>(fields.Height));
        Put16(b, 1);
        Put16(b, fields.BitsPerPixel);
    } else {
        Put32(b, static_cast<uint32_t>(fields.Width));
        Put32(b, static_cast<uint32_t>(fields.Height));
        Put16(b, 1);
        Put16(b, fields.BitsPerPixel);
        Put32(b, fields.Compression);
        Put32(b, static_cast<uint32_t>(fields.Rows.size()));
        Put32(b, 2835);
        Put32(b, 2835);
        Put32(b, fields.ColorsUsed);
        Put32(b, 0);
        b.resize(fields.HeaderSize, 0);
    }
    for (const uint32_t mask : fields.Masks) {
        Put32(b, mask);
    }
    for (const uint32_t colour : fields.Palette) {
        b.push_back(static_cast<uint8_t>(colour));
        b.push_back(static_cast<uint8_t>(colour >> 8));
        b.push_back(static_cast<uint8_t>(colour >> 16));
        if (fields.HeaderSize != 12) {
            b.push_back(0);
        }
    }
    b.insert(b.end(), fields.Rows.begin(), fields.Rows.end());
    return b;
}

uint32_t Rgb(const TRgba& p) { return (uint32_t{p.Red} << 16) | (uint32_t{p.Green} << 8) | p.Blue; }

// Every form gives the same 2 x 2 picture: red, green over blue, white
// (top row first).
struct TFormCase {
    const char* Name;
    TDibFields Fields;
    int32_t BitsPerPixel;  // of the decoded bitmap
};

TEST(Dib, EveryPixelFormatDecodesTopRowFirst) {
    const std::vector<uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const std::vector<TFormCase> cases = {
        // Bottom-up rows: the file's first row is the picture's last.
        {"24 bits", {40, 2, 2, 24, 0, 0, {}, {}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}}, 24},
        {"24 bits top down",
         {40, 2, -2, 24, 0, 0, {}, {}, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0}},
         24},
        {"8 bits, two of four colours used", {40, 2, 2, 8, 0, 4, palette, {}, {2, 3, 0, 0, 0, 1, 0, 0}}, 8},
        {"4 bits", {40, 2, 2, 4, 0, 4, palette, {}, {0x23, 0, 0, 0, 0x01, 0, 0, 0}}, 4},
        {"core header, 8 bits", {12, 2, 2, 8, 0, 0, [&] {
                                     std::vector<uint32_t> full(256, 0);
                                     std::copy(palette.begin(), palette.end(), full.begin());
                                     return full;
                                 }(),
                                 {}, {2, 3, 0, 0, 0, 1, 0, 0}},
         8},
        {"16 bits, five per channel",
         {40, 2, 2, 16, 0, 0, {}, {}, {0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03}},
         24},
        {"16 bits, masks 5-6-5",
         {40, 2, 2, 16, 3, 0, {}, {0xF800, 0x07E0, 0x001F}, {0x1F, 0x00, 0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07}},
         24},
        {"32 bits", {40, 2, 2, 32, 0, 0, {}, {}, {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}}, 24},
        {"32 bits, masks in a longer header",
         {108, 2, 2, 32, 3, 0, {}, {}, {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}},
         24},
    };
    for (const TFormCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBytes dib = MakeDib(c.Fields);
        if (c.Fields.HeaderSize == 108) {
            // The masks sit inside the header at offset 40.
            const uint32_t masks[3] = {0xFF0000, 0x00FF00, 0x0000FF};
            for (int i = 0; i < 3; ++i) {
                for (int k = 0; k < 4; ++k) {
                    dib[static_cast<size_t>(40 + 4 * i + k)] = static_cast<uint8_t>(masks[i] >> (8 * k));
                }
            }
        }
        const TBitmap bitmap = DecodeDib(dib);
        ASSERT_EQ(bitmap.Width(), 2);
        ASSERT_EQ(bitmap.Height(), 2);
        EXPECT_EQ(bitmap.BitsPerPixel(), c.BitsPerPixel);
        EXPECT_EQ(Rgb(bitmap.PixelAt(0, 0)), 0xFF0000u);
        EXPECT_EQ(Rgb(bitmap.PixelAt(1, 0)), 0x00FF00u);
        EXPECT_EQ(Rgb(bitmap.PixelAt(0, 1)), 0x0000FFu);
        EXPECT_EQ(Rgb(bitmap.PixelAt(1, 1)), 0xFFFFFFu);
        EXPECT_EQ(bitmap.PixelAt(1, 1).Alpha, 255);
    }
}

TEST(Dib, OneBitRowsAndPng) {
    // 9 pixels wide: two bytes of bits, padded to four.
    TDibFields fields{40, 9, 1, 1, 0, 0, {0x000000, 0xFFFFFF}, {}, {0xAA, 0x80, 0, 0}};
    const TBytes dib = MakeDib(fields);
    const TBitmap bitmap = DecodeDib(dib);
    EXPECT_EQ(bitmap.BitsPerPixel(), 1);
    for (int32_t x = 0; x < 9; ++x) {
        EXPECT_EQ(bitmap.IndexAt(x, 0), x % 2 == 0 ? 1 : 0) << x;
    }
    TPNGImage png;
    png.LoadFromBytes(DibToPng(dib));
    EXPECT_EQ(png.Bitmap, bitmap);
}

TEST(Dib, DamagedHeadersAndShortDataAreRefused) {
    const TDibFields sound{40, 2, 2, 24, 0, 0, {}, {}, TBytes(16, 0)};
    struct TCase {
        const char* Name;
        TBytes Dib;
    };
    const auto with = [&](auto change) {
        TDibFields fields = sound;
        change(fields);
        return MakeDib(fields);
    };
    TBytes truncated = MakeDib(sound);
    truncated.pop_back();
    TBytes headerPastEnd = MakeDib(sound);
    headerPastEnd[0] = 200;
    const std::vector<TCase> cases = {
        {"empty", {}},
        {"three bytes", {40, 0, 0}},
        {"unknown header size", with([](TDibFields& s) { s.HeaderSize = 20; })},
        {"header longer than the data", headerPastEnd},
        {"last row short", truncated},
        {"zero width", with([](TDibFields& s) { s.Width = 0; })},
        {"negative width", with([](TDibFields& s) { s.Width = -2; })},
        {"zero height", with([](TDibFields& s) { s.Height = 0; })},
        {"most negative height", with([](TDibFields& s) { s.Height = INT32_MIN; })},
        {"huge size, no pixels", with([](TDibFields& s) {
             s.Width = 1 << 30;
             s.Height = 1 << 30;
         })},
        {"2 bits per pixel", with([](TDibFields& s) { s.BitsPerPixel = 2; })},
        {"no bits per pixel", with([](TDibFields& s) { s.BitsPerPixel = 0; })},
        {"run-length pixels top down", with([](TDibFields& s) {
             s.BitsPerPixel = 8;
             s.Compression = 1;
             s.Palette = {0, 0};
             s.ColorsUsed = 2;
             s.Height = -2;
         })},
        {"run-length pixels of 24 bits", with([](TDibFields& s) { s.Compression = 1; })},
        {"8-bit runs in a 4-bit bitmap", with([](TDibFields& s) {
             s.BitsPerPixel = 4;
             s.Compression = 1;
         })},
        {"more colours than the depth has", with([](TDibFields& s) {
             s.BitsPerPixel = 1;
             s.ColorsUsed = 3;
             s.Palette = {0, 0, 0};
         })},
        {"colour table past the end", with([](TDibFields& s) {
             s.BitsPerPixel = 8;
             s.ColorsUsed = 256;
             s.Rows.clear();
         })},
        {"masks missing", with([](TDibFields& s) {
             s.BitsPerPixel = 16;
             s.Compression = 3;
             s.Rows.clear();
         })},
        {"masks for 24 bits", with([](TDibFields& s) {
             s.Compression = 3;
             s.Masks = {0xFF0000, 0xFF00, 0xFF};
         })},
    };
    for (const TCase& c : cases) {
        EXPECT_THROW(DecodeDib(c.Dib), TPictureError) << c.Name;
    }
}

// Run-length pixels, bottom up: runs cut at the row end, literal runs
// padded to 16 bits, end of line, a delta that skips pixels (left at 0),
// and data that ends early.
TEST(Dib, RunLengthPixels) {
    TDibFields rle8{40, 4, 3, 8, 1, 4, {0x000000, 0x0000FF, 0x00FF00, 0xFF0000}, {}, {}};
    // Bottom row: a run of 6 x 1 cut to 4. Middle row: literals 2, 3, 1
    // (one pad byte). Top row: a delta of 2 right, then one 3, then the end.
    rle8.Rows = {6, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 1, 3, 0, 1};
    const TBitmap b = DecodeDib(MakeDib(rle8));
    const auto row = [&](int32_t y) {
        std::vector<int> out;
        for (int32_t x = 0; x < 4; ++x) {
            out.push_back(b.IndexAt(x, y));
        }
        return out;
    };
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), row(2));
    EXPECT_EQ((std::vector<int>{2, 3, 1, 0}), row(1));
    EXPECT_EQ((std::vector<int>{0, 0, 3, 0}), row(0));
    // Four bits: a run alternates the two nibbles; three literal pixels
    // take two bytes, padded to four.
    TDibFields rle4{40, 5, 2, 4, 2, 4, {0x000000, 0x0000FF, 0x00FF00, 0xFF0000}, {}, {}};
    rle4.Rows = {5, 0x12, 0, 0, 0, 3, 0x31, 0x20, 0, 0};
    const TBitmap c = DecodeDib(MakeDib(rle4));
    EXPECT_EQ(1, c.IndexAt(0, 1));
    EXPECT_EQ(2, c.IndexAt(1, 1));
    EXPECT_EQ(1, c.IndexAt(4, 1));
    EXPECT_EQ(3, c.IndexAt(0, 0));
    EXPECT_EQ(1, c.IndexAt(1, 0));
    EXPECT_EQ(2, c.IndexAt(2, 0));
    EXPECT_EQ(0, c.IndexAt(3, 0));
    // Cut short inside a literal run: what came before stays.
    rle8.Rows = {2, 3, 0, 5, 1};
    const TBitmap d = DecodeDib(MakeDib(rle8));
    EXPECT_EQ(3, d.IndexAt(1, 2));
    EXPECT_EQ(0, d.IndexAt(0, 1));
}

// The corpus's BMP files without their 14-byte file header: each decodes at
// the size the manifest records, or is refused; none crashes.
TEST(Dib, CorpusBitmapsDecodeAtTheirSize) {
    QUILLANE_REQUIRE_CORPUS("bmp");
    std::map<std::string, std::pair<int32_t, int32_t>> sizes;
    {
        std::ifstream manifest(*test::CorpusFolder("bmp") / ".." / "MANIFEST.tsv");
        const std::regex size(R"(^(\d+)x(\d+) mode)");
        std::string line;
        while (std::getline(manifest, line)) {
            std::vector<std::string> fields;
            size_t start = 0;
            for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
                fields.push_back(line.substr(start, tab - start));
            }
            fields.push_back(line.substr(start));
            std::smatch m;
            if (fields.size() >= 9 && fields[0] == "bmp" && std::regex_search(fields[8], m, size)) {
                sizes[std::filesystem::path(fields[1]).filename().string()] = {std::stoi(m[1]), std::stoi(m[2])};
            }
        }
    }
    int decoded = 0;
    int refused = 0;
    for (const auto& path : test::CorpusFiles("bmp")) {
        const std::string file = test::ReadWholeFile(path);
        if (file.size() < 14 || file.compare(0, 2, "BM") != 0) {
            continue;
        }
        const TByteSpan dib = AsBytes(file).subspan(14);
        try {
            const TBitmap bitmap = DecodeDib(dib);
            ++decoded;
            const auto known = sizes.find(path.filename().string());
            if (known != sizes.end()) {
                EXPECT_EQ(bitmap.Width(), known->second.first) << path.filename();
                EXPECT_EQ(bitmap.Height(), known->second.second) << path.filename();
            }
        } catch (const TPictureError&) {
            ++refused;
        }
    }
    std::cout << decoded << " bitmaps decoded, " << refused << " refused\n";
    EXPECT_GE(decoded, 30);
}

}  // namespace
}  // namespace quillane
