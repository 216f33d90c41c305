// A picture in a document painted on this platform's real canvas (cairo
// here, GDI under Wine): its pixels are on the page at its place and size.

#include <gtest/gtest.h>

#include <climits>

#include "layout/LayoutFixture.h"
#include "layout/Pagination.h"
#include "layout/Painting.h"
#include "layout/PicturePainter.h"
#include "model/ColorManager.h"
#include "model/TextStream.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"
#include "platform/Canvas.h"
#include "support/Corpus.h"
#include "support/FakeColorSystem.h"

namespace quillane {
namespace {

TEST(PicturePainting, APicturesPixelsLandOnThePage) {
    test::TLayoutFixture f;
    TDocument& document = f.Document();
    document.SetObjectExtents(nullptr);  // the document's own object manager
    TBitmap bitmap(20, 10, 24);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            uint8_t* pixel = bitmap.Row(y) + x * 3;
            pixel[0] = 0;    // blue
            pixel[1] = 0;    // green
            pixel[2] = 200;  // red
        }
    }
    const int32_t id = document.Objects().AddObject(MakeBitmapPicture(std::move(bitmap)));
    TParagraph& p = document.Paragraph(0);
    p.Text.AppendTag(tkPicture, id);
    p.Positions.AppendByte(spPicture);
    p.AppendSpecial(spParagraphEnd);
    f.LayOut();
    Paginate(document, 0, INT_MAX, 0, TPaginationOptions{});

    test::TFakeColorSystem colorSystem;
    TColorManager colors(colorSystem);
    colors.UsePrintPalette();
    TKerningPairsManager kerning;
    TPainter painter(f.Fonts(), kerning, f.Layout(), colors, 96);
    TPicturePainter pictures(document.Objects());
    TPaintContext context;
    context.Device = true;
    context.Objects = &pictures;
    for (int32_t zoom : {100, 200}) {
        SCOPED_TRACE(zoom);
        context.Zoom = zoom;
        const TPageSettings& page = document.PageSettings();
        const int32_t width = page.PaperWidth * 96 * zoom / 144000;
        const int32_t height = page.PaperHeight * 96 * zoom / 144000;
        std::unique_ptr<TSurface> surface = CreateSurface(width, height, TResolution{96, 96});
        painter.PaintPage(surface->Canvas(), document.Page(0), 0, 0, -1, context);
        const TBitmapView pixels = surface->Pixels();
        int32_t red = 0;
        int32_t left = INT_MAX;
        int32_t top = INT_MAX;
        for (int32_t y = 0; y < pixels.Height; ++y) {
            const uint8_t* row = pixels.Pixels + static_cast<ptrdiff_t>(y) * pixels.Stride;
            for (int32_t x = 0; x < pixels.Width; ++x) {
                if (row[x * 4 + 2] == 200 && row[x * 4 + 1] == 0 && row[x * 4] == 0) {
                    ++red;
                    left = std::min(left, x);
                    top = std::min(top, y);
                }
            }
        }
        // 20 x 10 pixels at 100 %, at the left margin, standing on the
        // line's baseline (the font's ascent below the top margin).
        EXPECT_EQ(20 * 10 * zoom * zoom / 10000, red);
        EXPECT_EQ(120 * zoom / 100, left);
        EXPECT_EQ((96 + p.Line(0).Ascent) * zoom / 100 - 10 * zoom / 100, top);
    }
}

TEST(PicturePainting, MetafilesPlayOnEveryDevice) {
    QUILLANE_REQUIRE_CORPUS("emf");
    const std::string bytes = test::ReadWholeFile((*test::CorpusFolder("emf") / "emf2svg__emf_test-000.emf").string());
    test::TLayoutFixture f;
    TDocument& document = f.Document();
    document.SetObjectExtents(nullptr);
    auto picture = MakeMetafilePicture(TBytes(bytes.begin(), bytes.end()), std::nullopt);
    picture->Width = 1440;  // one inch square, whatever the header says
    picture->Height = 1440;
    const int32_t id = document.Objects().AddObject(std::move(picture));
    TParagraph& p = document.Paragraph(0);
    p.Text.AppendTag(tkPicture, id);
    p.Positions.AppendByte(spPicture);
    p.AppendSpecial(spParagraphEnd);
    f.LayOut();
    Paginate(document, 0, INT_MAX, 0, TPaginationOptions{});

    test::TFakeColorSystem colorSystem;
    TColorManager colors(colorSystem);
    colors.UsePrintPalette();
    TKerningPairsManager kerning;
    TPainter painter(f.Fonts(), kerning, f.Layout(), colors, 96);
    TPicturePainter pictures(document.Objects());
    TPaintContext context;
    context.Device = true;
    context.Objects = &pictures;
    std::unique_ptr<TSurface> surface = CreateSurface(816, 1056, TResolution{96, 96});
    painter.PaintPage(surface->Canvas(), document.Page(0), 0, 0, -1, context);
    // The picture's square: 96 pixels from the left margin (120) down to the
    // baseline. Count the pixels that are not white inside it and outside.
    const TBitmapView pixels = surface->Pixels();
    int32_t inside = 0;
    int32_t outside = 0;
    const int32_t bottom = 96 + p.Line(0).Ascent;
    for (int32_t y = 0; y < pixels.Height; ++y) {
        const uint8_t* row = pixels.Pixels + static_cast<ptrdiff_t>(y) * pixels.Stride;
        for (int32_t x = 0; x < pixels.Width; ++x) {
            const bool ink = row[x * 4] != 255 || row[x * 4 + 1] != 255 || row[x * 4 + 2] != 255;
            if (!ink) {
                continue;
            }
            (x >= 120 && x < 216 && y >= bottom - 96 && y < bottom ? inside : outside) += 1;
        }
    }
    EXPECT_EQ(0, outside);
    // GDI's player there, the portable one here: more than a frame's worth
    // of ink.
    EXPECT_GT(inside, 4 * 96);
}

}  // namespace
}  // namespace quillane
