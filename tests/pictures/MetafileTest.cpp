#include "pictures/Metafile.h"

#include <gtest/gtest.h>

#include "support/Corpus.h"

namespace quillane {
namespace {

void Put32(TBytes& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    }
}
void Put16(TBytes& b, size_t at, int32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// An enhanced-metafile header with a frame in hundredths of a millimetre.
TBytes EmfHeader(int32_t frameRight, int32_t frameBottom) {
    TBytes b(88, 0);
    Put32(b, 0, 1);               // EMR_HEADER
    Put32(b, 4, 88);              // header size
    Put32(b, 16, 99);             // bounds right, bottom (pixels)
    Put32(b, 20, 49);
    Put32(b, 32, frameRight);     // frame right, bottom
    Put32(b, 36, frameBottom);
    Put32(b, 40, 0x464D4520);     // " EMF"
    Put32(b, 72, 1000);           // device: 1000 x 1000 pixels ...
    Put32(b, 76, 1000);
    Put32(b, 80, 254);            // ... on 254 x 254 mm: 100 pixels an inch
    Put32(b, 84, 254);
    return b;
}

// A placeable Windows metafile header and the standard header after it.
TBytes PlaceableWmf(int32_t right, int32_t bottom, int32_t unitsPerInch) {
    TBytes b(40, 0);
    Put32(b, 0, static_cast<int32_t>(0x9AC6CDD7));
    Put16(b, 10, right);
    Put16(b, 12, bottom);
    Put16(b, 14, unitsPerInch);
    Put16(b, 22, 1);      // memory metafile
    Put16(b, 24, 9);      // header words
    Put16(b, 26, 0x300);  // version
    return b;
}

TEST(MetafileHeader, SizesInTwips) {
    struct Case {
        const char* what;
        TBytes bits;
        TMetafileKind kind;
        std::optional<int32_t> width, height;
    };
    TBytes plain(18, 0);
    Put16(plain, 0, 2);
    Put16(plain, 2, 9);
    Put16(plain, 4, 0x100);
    TBytes noDevice = EmfHeader(0, 0);
    Put32(noDevice, 80, 0);
    TBytes shortEmf = EmfHeader(2540, 1270);
    Put32(shortEmf, 4, 4000);  // header claims more than there is
    // Bounds, device pixels and device millimetres whose product passes any
    // 64-bit integer.
    TBytes hugeDevice = EmfHeader(0, 0);
    Put32(hugeDevice, 8, 0x80000000u);
    Put32(hugeDevice, 16, 0x7FFFFFFF);
    Put32(hugeDevice, 80, 0x7FFFFFFF);
    Put32(hugeDevice, 84, 0x7FFFFFFF);
    const Case cases[] = {
        {"EMF frame of 1 x 0.5 inch", EmfHeader(2540, 1270), TMetafileKind::Enhanced, 1440, 720},
        {"EMF without a frame: bounds at 100 ppi", EmfHeader(0, 0), TMetafileKind::Enhanced, 1440, 720},
        {"EMF frame absurdly large: the bounds", EmfHeader(0x7FFFFFFF, 100), TMetafileKind::Enhanced, 1440, 720},
        {"EMF device sizes beyond belief", hugeDevice, TMetafileKind::Enhanced, std::nullopt, std::nullopt},
        {"EMF with neither frame nor device", noDevice, TMetafileKind::Enhanced, std::nullopt, std::nullopt},
        {"EMF header size past the end", shortEmf, TMetafileKind::Unknown, std::nullopt, std::nullopt},
        {"placeable WMF, 2 x 1 inch at 1200", PlaceableWmf(2400, 1200, 1200), TMetafileKind::Windows, 2880, 1440},
        {"placeable WMF with 0 units per inch", PlaceableWmf(2400, 1200, 0), TMetafileKind::Windows, std::nullopt,
         std::nullopt},
        {"placeable WMF with a negative box", PlaceableWmf(-5, 1200, 1200), TMetafileKind::Windows, std::nullopt,
         std::nullopt},
        {"plain WMF: no size", plain, TMetafileKind::Windows, std::nullopt, std::nullopt},
        {"not a metafile", TBytes(100, 7), TMetafileKind::Unknown, std::nullopt, std::nullopt},
        {"empty", {}, TMetafileKind::Unknown, std::nullopt, std::nullopt},
        {"placeable key only", TBytes{0xD7, 0xCD, 0xC6, 0x9A}, TMetafileKind::Unknown, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TMetafileInfo info = ReadMetafileHeader(c.bits);
        EXPECT_EQ(c.kind, info.Kind);
        EXPECT_EQ(c.width, info.Width);
        EXPECT_EQ(c.height, info.Height);
    }
}

TEST(MetafileHeader, Corpus) {
    QUILLANE_REQUIRE_CORPUS("emf");
    for (const char* sub : {"emf", "wmf"}) {
        for (const auto& path : test::CorpusFiles(sub)) {
            SCOPED_TRACE(path.filename().string());
            const std::string text = test::ReadWholeFile(path);
            const TMetafileInfo info = ReadMetafileHeader(AsBytes(text));
            // A damaged file may claim a header longer than itself.
            const bool damaged = path.filename().string().find("corrupted") != std::string::npos;
            if (!damaged || info.Kind != TMetafileKind::Unknown) {
                EXPECT_EQ(std::string(sub) == "emf" ? TMetafileKind::Enhanced : TMetafileKind::Windows, info.Kind);
            }
            if (info.Width) {
                EXPECT_GE(*info.Width, 1);
                EXPECT_GE(*info.Height, 1);
            }
        }
    }
    // pillow__drawing.wmf: a box of 1369 units at 1200 an inch.
    const auto wmf = test::CorpusFolder("wmf");
    ASSERT_TRUE(wmf.has_value());
    const std::string drawing = test::ReadWholeFile(*wmf / "pillow__drawing.wmf");
    EXPECT_EQ(1643, ReadMetafileHeader(AsBytes(drawing)).Width);
}

}  // namespace
}  // namespace quillane
