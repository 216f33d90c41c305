// The portable metafile player: mapping, objects, clipping and saved states
// on small metafiles built here, record by record, drawn on this platform's
// real canvas; hostile metafiles; and the corpus's WMF and EMF files against
// the reference renderings that come with them.
#include "layout/MetafilePlayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "pictures/Metafile.h"
#include "pictures/PngImage.h"
#include "platform/Canvas.h"
#include "platform/FontSystem.h"
#include "support/Corpus.h"
#include "support/RecordingCanvas.h"

namespace quillane {
namespace {

void Put16(TBytes& out, int32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
void Put32(TBytes& out, uint32_t value) {
    Put16(out, static_cast<int32_t>(value & 0xFFFF));
    Put16(out, static_cast<int32_t>(value >> 16));
}

// A Windows metafile: the 18-byte header, then records of 16-bit words.
class TWmfBuilder {
public:
    TWmfBuilder() {
        Put16(bits_, 1);  // type: in memory
        Put16(bits_, 9);  // header size in words
        Put16(bits_, 0x0300);
        Put32(bits_, 0);  // file size in words, set by Finish
        Put16(bits_, 8);  // objects
        Put32(bits_, 0);  // largest record
        Put16(bits_, 0);
    }
    // Parameters as 16-bit words; a colour takes two (low, high).
    TWmfBuilder& Record(uint16_t function, std::initializer_list<int32_t> words) {
        Put32(bits_, static_cast<uint32_t>(3 + words.size()));
        Put16(bits_, function);
        for (const int32_t w : words) {
            Put16(bits_, w);
        }
        return *this;
    }
    TBytes Finish() {
        Record(0x0000, {});
        const uint32_t words = static_cast<uint32_t>(bits_.size() / 2);
        for (int i = 0; i < 4; ++i) {
            bits_[6 + i] = static_cast<uint8_t>(words >> (8 * i));
        }
        return bits_;
    }

private:
    TBytes bits_;
};

// An enhanced metafile of 100 x 100 reference pixels (10 pixels a
// millimetre, a 10-millimetre frame).
class TEmfBuilder {
public:
    TEmfBuilder() {
        Put32(bits_, 1);
        Put32(bits_, 88);
        for (int32_t v : {0, 0, 99, 99}) {  // bounds
            Put32(bits_, static_cast<uint32_t>(v));
        }
        for (int32_t v : {0, 0, 1000, 1000}) {  // frame, 0.01 mm
            Put32(bits_, static_cast<uint32_t>(v));
        }
        Put32(bits_, 0x464D4520);
        Put32(bits_, 0x10000);
        Put32(bits_, 0);  // size, unchecked
        Put32(bits_, 0);  // records
        Put16(bits_, 16);  // handles
        Put16(bits_, 0);
        Put32(bits_, 0);
        Put32(bits_, 0);
        Put32(bits_, 0);
        for (uint32_t v : {1000u, 1000u, 100u, 100u}) {  // device pixels, millimetres
            Put32(bits_, v);
        }
    }
    TEmfBuilder& Record(uint32_t type, std::initializer_list<int32_t> values) {
        Put32(bits_, type);
        Put32(bits_, static_cast<uint32_t>(8 + 4 * values.size()));
        for (const int32_t v : values) {
            Put32(bits_, static_cast<uint32_t>(v));
        }
        return *this;
    }
    TBytes Finish() {
        Record(14, {0, 0, 20});
        return bits_;
    }

private:
    TBytes bits_;
};

constexpr int32_t Stock = INT32_MIN;  // 0x80000000

struct TPixelCount {
    int32_t Ink = 0;  // not white
    int32_t Matching = 0;
};

// Pixels not white, and pixels of the colour inside the rectangle.
TPixelCount Count(TSurface& surface, TColorValue color, const TRect& where) {
    TPixelCount count;
    const TBitmapView pixels = surface.Pixels();
    for (int32_t y = 0; y < pixels.Height; ++y) {
        const uint8_t* row = pixels.Pixels + static_cast<ptrdiff_t>(y) * pixels.Stride;
        for (int32_t x = 0; x < pixels.Width; ++x) {
            const uint8_t* p = row + 4 * x;
            const TColorValue value = uint32_t{p[2]} | uint32_t{p[1]} << 8 | uint32_t{p[0]} << 16;
            count.Ink += value != 0xFFFFFF;
            const bool inside = x >= where.Left && x < where.Right && y >= where.Top && y < where.Bottom;
            count.Matching += inside && value == color;
        }
    }
    return count;
}

bool Play(TCanvas& canvas, const TBytes& bits, bool windows, const TRect& dest, TFontSystem* fonts = nullptr) {
    TMetafileView view;
    view.Bits = bits.data();
    view.Size = bits.size();
    view.Windows = windows;
    return PlayMetafilePortably(canvas, fonts, view, dest);
}

TEST(MetafilePlayer, AWindowsMetafilesWindowFillsThePictureAndObjectsAreCopiedOnSelection) {
    const TBytes wmf = TWmfBuilder()
                           .Record(0x020B, {0, 0})       // SetWindowOrg
                           .Record(0x020C, {100, 200})   // SetWindowExt 200 x 100
                           .Record(0x02FA, {5, 0, 0, 0, 0})  // CreatePenIndirect: null pen (object 0)
                           .Record(0x012D, {0})
                           .Record(0x02FC, {0, 0x00FF, 0, 0})  // CreateBrushIndirect: red (object 1)
                           .Record(0x012D, {1})
                           .Record(0x041B, {50, 100, 0, 0})  // Rectangle 0,0 - 100,50
                           .Record(0x01F0, {1})              // deleted while selected
                           .Record(0x041B, {100, 200, 50, 100})  // still red
                           .Record(0x02FC, {0, 0, 0x00FF, 0})    // blue, in the freed slot 1
                           .Record(0x012D, {1})
                           .Record(0x041B, {100, 100, 50, 0})
                           .Finish();
    std::unique_ptr<TSurface> surface = CreateSurface(220, 130, TResolution{96, 96});
    // The picture at (10, 20), as large as its window: logical units are pixels.
    ASSERT_TRUE(Play(surface->Canvas(), wmf, true, TRect{10, 20, 210, 120}));
    EXPECT_EQ(100 * 50, Count(*surface, 0x0000FF, {10, 20, 110, 70}).Matching);
    EXPECT_EQ(100 * 50, Count(*surface, 0x0000FF, {110, 70, 210, 120}).Matching);
    EXPECT_EQ(100 * 50, Count(*surface, 0xFF0000, {10, 70, 110, 120}).Matching);
    EXPECT_EQ(3 * 100 * 50, Count(*surface, 0, {}).Ink);

    // Half the size: everything scales into the smaller rectangle.
    surface = CreateSurface(220, 130, TResolution{96, 96});
    ASSERT_TRUE(Play(surface->Canvas(), wmf, true, TRect{0, 0, 100, 50}));
    EXPECT_EQ(50 * 25, Count(*surface, 0x0000FF, {0, 0, 50, 25}).Matching);
    EXPECT_EQ(3 * 50 * 25, Count(*surface, 0, {}).Ink);
}

TEST(MetafilePlayer, EnhancedMetafilesMapTheirFrameAndRestoreSavedStates) {
    const TBytes emf = TEmfBuilder()
                           .Record(37, {Stock | 8})  // SelectObject: null pen
                           .Record(37, {Stock | 4})  // black brush
                           .Record(17, {8})          // SetMapMode: anisotropic
                           .Record(9, {1000, 1000})  // SetWindowExtEx
                           .Record(11, {100, 100})   // SetViewportExtEx: ten logical units a pixel
                           .Record(33, {})           // SaveDC
                           .Record(30, {0, 0, 500, 500})  // IntersectClipRect
                           .Record(43, {0, 0, 1000, 1000})  // Rectangle, clipped to the top-left quarter
                           .Record(34, {-1})                // RestoreDC
                           .Record(37, {Stock | 2})         // grey brush
                           .Record(43, {500, 500, 1000, 1000})  // unclipped again
                           .Finish();
    std::unique_ptr<TSurface> surface = CreateSurface(240, 240, TResolution{96, 96});
    // Twice the frame's size: 200 x 200 pixels at (20, 20).
    ASSERT_TRUE(Play(surface->Canvas(), emf, false, TRect{20, 20, 220, 220}));
    EXPECT_EQ(100 * 100, Count(*surface, 0x000000, {20, 20, 120, 120}).Matching);
    EXPECT_EQ(100 * 100, Count(*surface, 0x808080, {120, 120, 220, 220}).Matching);
    EXPECT_EQ(2 * 100 * 100, Count(*surface, 0, {}).Ink);
}

TEST(MetafilePlayer, HostileMetafilesDrawWithinTheirRectangleAndGiveTheClipBack) {
    TBytes hugeCounts = TWmfBuilder()
                            .Record(0x0324, {0x7FFF, 1, 2, 3, 4})        // Polygon claiming 32767 points
                            .Record(0x0538, {2, 0x7FFF, 0x7FFF, 1, 1})  // PolyPolygon likewise
                            .Record(0x0521, {0x7FFF, 0x4141})           // TextOut past its record
                            .Record(0x0A32, {0, 0, 100, 6, 0, 0})       // ExtTextOut likewise
                            .Record(0x0F43, {0x20, 0xCC, 0, 10, 10, 0, 0, 10, 10, 0, 0, 40, 0})  // StretchDIB, bad DIB
                            .Record(0x0127, {-30000})  // RestoreDC far back
                            .Record(0x012D, {0x7FFF})  // SelectObject of nothing
                            .Record(0x020C, {0, 0})    // a window of no size
                            .Record(0x0418, {100, 100, 0, 0})
                            .Finish();
    TBytes zeroSize = TWmfBuilder().Finish();
    zeroSize.insert(zeroSize.end() - 6, {0, 0, 0, 0, 0x18, 0x04});  // a record of size 0
    TBytes beyondEnd = TWmfBuilder().Record(0x0418, {1, 2, 3, 4}).Finish();
    beyondEnd[18] = 0xFF;  // the first record claims more than the file holds
    TBytes deepSaves = TEmfBuilder().Finish();
    deepSaves.resize(deepSaves.size() - 20);
    for (int i = 0; i < 5000; ++i) {
        Put32(deepSaves, 33);
        Put32(deepSaves, 8);
    }
    TBytes badTransform = TEmfBuilder()
                              .Record(35, {0x7FC00000, 0, 0, 0x7F800000, 0, 0})  // NaN and infinity
                              .Record(42, {0, 0, 100, 100})
                              .Record(40, {0x7FFFFFFF})                           // DeleteObject far out
                              .Record(84, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0x7FFFFFFF, 76, 0, 0, 0, 0, 0, 0})  // text beyond
                              .Record(75, {0x7FFFFFFF, 5, 0, 0, 0x7FFFFFFF, 0})  // clip region of many rectangles
                              .Finish();
    TBytes truncatedHeader = TEmfBuilder().Finish();
    truncatedHeader.resize(60);
    struct Case {
        const char* What;
        TBytes Bits;
        bool Windows;
        bool Plays;
    };
    const Case cases[] = {
        {"counts beyond their records", hugeCounts, true, true},
        {"a record of size 0", zeroSize, true, true},
        {"a record beyond the end", beyondEnd, true, true},
        {"5000 saved states", deepSaves, false, true},
        {"an unusable transform, far indexes", badTransform, false, true},
        {"a truncated header", truncatedHeader, false, false},
        {"an enhanced metafile as a Windows one", TEmfBuilder().Finish(), true, false},
        {"nothing", TBytes{}, false, false},
    };
    auto fonts = CreateFontSystem();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        std::unique_ptr<TSurface> surface = CreateSurface(120, 120, TResolution{96, 96});
        EXPECT_EQ(c.Plays, Play(surface->Canvas(), c.Bits, c.Windows, TRect{10, 10, 110, 110}, fonts.get()));
        // Nothing outside the rectangle, and the whole surface drawable again.
        TPixelCount outside = Count(*surface, 0, {});
        EXPECT_EQ(outside.Ink, Count(*surface, 0, {}).Ink);
        const TBitmapView pixels = surface->Pixels();
        for (int32_t y = 0; y < pixels.Height; ++y) {
            for (int32_t x = 0; x < pixels.Width; ++x) {
                if (x < 10 || x >= 110 || y < 10 || y >= 110) {
                    const uint8_t* p = pixels.Pixels + static_cast<ptrdiff_t>(y) * pixels.Stride + 4 * x;
                    ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255) << x << "," << y;
                }
            }
        }
        EXPECT_TRUE(surface->Canvas().RectVisible(TRect{0, 0, 1, 1}));
    }
}

TEST(MetafilePlayer, APicturesDrawingIsBudgeted) {
    // 200,000 rectangles over a 2000-pixel square: the work budget stops the
    // picture long before the last.
    TWmfBuilder builder;
    builder.Record(0x020C, {2000, 2000});
    for (int i = 0; i < 200000; ++i) {
        builder.Record(0x041B, {2000, 2000, 0, 0});
    }
    const TBytes wmf = builder.Finish();
    test::TRecordingCanvas canvas;
    ASSERT_TRUE(Play(canvas, wmf, true, TRect{0, 0, 2000, 2000}));
    size_t fills = 0;
    for (const std::string& call : canvas.Calls()) {
        fills += call.rfind("FillPolygons", 0) == 0;
    }
    EXPECT_GT(fills, 1000u);
    EXPECT_LT(fills, 20000u);
    // The clip is saved once for the picture and given back.
    EXPECT_EQ("SaveClip", canvas.Calls().front());
    EXPECT_EQ("RestoreClip", canvas.Calls().back());
}

// The mean absolute difference (0..255) of two images' pixels, white where
// the reference is transparent.
double MeanDifference(TSurface& surface, const TBitmap& reference) {
    const TBitmapView pixels = surface.Pixels();
    const std::vector<uint8_t> rgba = reference.ToRgba();
    double total = 0;
    for (int32_t y = 0; y < pixels.Height; ++y) {
        for (int32_t x = 0; x < pixels.Width; ++x) {
            const uint8_t* p = pixels.Pixels + static_cast<ptrdiff_t>(y) * pixels.Stride + 4 * x;
            const uint8_t* r = rgba.data() + (static_cast<size_t>(y) * pixels.Width + x) * 4;
            for (int c = 0; c < 3; ++c) {
                const double expected = (r[c] * r[3] + 255.0 * (255 - r[3])) / 255.0;
                total += std::abs(p[2 - c] - expected);
            }
        }
    }
    return total / (3.0 * pixels.Width * pixels.Height);
}

TEST(MetafilePlayer, CorpusMetafilesPlayAndMatchTheirReferenceRenderings) {
    QUILLANE_REQUIRE_CORPUS("wmf");
    QUILLANE_REQUIRE_CORPUS("emf");
    auto fonts = CreateFontSystem();
    int played = 0;
    int inked = 0;
    for (const char* sub : {"wmf", "emf"}) {
        for (const auto& path : test::CorpusFiles(sub)) {
            SCOPED_TRACE(path.filename().string());
            const std::string file = test::ReadWholeFile(path);
            const TBytes bits(file.begin(), file.end());
            const TMetafileInfo info = ReadMetafileHeader(bits);
            if (info.Kind == TMetafileKind::Unknown) {
                continue;
            }
            std::unique_ptr<TSurface> surface = CreateSurface(300, 200, TResolution{96, 96});
            if (Play(surface->Canvas(), bits, info.Kind == TMetafileKind::Windows, TRect{0, 0, 300, 200}, fonts.get())) {
                ++played;
                inked += Count(*surface, 0, {}).Ink > 0;
            }
        }
    }
    EXPECT_GE(played, 50);
    EXPECT_GE(inked, played - 3);

    // Pillow's drawing, at its reference rendering's size. (The WMF's
    // reference is scaled to the bounds of what it draws, which overflow its
    // own window; a document shows the window, so it is not compared.)
    for (const char* name : {"emf/pillow__drawing.emf"}) {
        SCOPED_TRACE(name);
        const std::string kind = std::string(name).substr(0, 3);
        const auto folder = *test::CorpusFolder(kind);
        const std::string file = test::ReadWholeFile(folder / std::string(name).substr(4));
        const std::string stem = std::string(name).substr(4, std::string(name).size() - 8);
        TPNGImage png;
        const std::string ref = test::ReadWholeFile(folder / "ref" / (stem + "_" + kind + "_ref.png"));
        png.LoadFromBytes(AsBytes(ref));
        const TBytes bits(file.begin(), file.end());
        std::unique_ptr<TSurface> surface = CreateSurface(png.Bitmap.Width(), png.Bitmap.Height(), TResolution{96, 96});
        ASSERT_TRUE(Play(surface->Canvas(), bits, kind == "wmf", TRect{0, 0, png.Bitmap.Width(), png.Bitmap.Height()},
                         fonts.get()));
        const double mean = MeanDifference(*surface, png.Bitmap);
        std::cout << "[ metafile ] " << name << ": mean difference " << mean << " of 255\n";
        EXPECT_LT(mean, 12.0);
    }
}

}  // namespace
}  // namespace quillane
