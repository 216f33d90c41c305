// Pictures and OLE objects: what the reader decodes and hands to the sink.
#include <gtest/gtest.h>

#include "formats/rtf/RtfFixture.h"

namespace quillane {
namespace {

class RtfPictures : public test::RtfTest {
protected:
    RtfPictures() { services.Pictures = &sink; }
    test::TRecordingPictureSink sink;
};

TEST_F(RtfPictures, PictureSizesScalesAndData) {
    TDocument& doc = Load(
        "{\\rtf1 a{\\pict{\\*\\blipuid 0011}\\pngblip\\picw100\\pich50\\picwgoal1500\\pichgoal750"
        "\\picscalex80\\picscaley90\n8950\r\n4e 47\n}b}");
    ASSERT_EQ(sink.Pictures.size(), 1u);
    const TImportedPicture& p = sink.Pictures[0];
    EXPECT_EQ(p.Kind, TImportedPictureKind::Png);
    EXPECT_EQ(p.Width, 100);
    EXPECT_EQ(p.Height, 50);
    EXPECT_EQ(p.GoalWidth, 1500);
    EXPECT_EQ(p.GoalHeight, 750);
    EXPECT_EQ(p.ScaleX, 80);
    EXPECT_EQ(p.ScaleY, 90);
    EXPECT_EQ(p.Data, std::string("\x89\x50\x4E\x47"));
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "a<6>b<2>");
    EXPECT_FALSE(doc.OpenedWithDataLosses);
}

TEST_F(RtfPictures, HexDataEndsAtTheBraceWhateverComesBefore) {
    struct Case {
        const char* rtf;
        std::string data;
    };
    const Case cases[] = {
        {"{\\rtf1 {\\pict\\wmetafile8 0102,}after}", "\x01\x02"},   // a stray separator swallows nothing
        {"{\\rtf1 {\\pict\\wmetafile8 0102 0}after}", "\x01\x02"},  // a lone digit is dropped
        {"{\\rtf1 {\\pict\\wmetafile8 01x02}after}", "\x01\x02"},
        {"{\\rtf1 {\\pict\\wmetafile8 0\r\n1}after}", "\x01"},       // a line break inside a pair
        {"{\\rtf1 {\\pict\\emfblip\\bin4 a}\\{b}after}", "a}\\{"},    // binary data may hold braces
        {"{\\rtf1 {\\pict\\jpegblip\\bin999999 ab}", "ab}"},         // bounded by the data
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        sink.Pictures.clear();
        TDocument& doc = Load(c.rtf);
        ASSERT_EQ(sink.Pictures.size(), 1u);
        EXPECT_EQ(sink.Pictures[0].Data, c.data);
        if (std::string(c.rtf).find("after") != std::string::npos) {
            EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "<6>after<2>");
        }
    }
    EXPECT_EQ(sink.Pictures.empty(), false);
    EXPECT_EQ(sink.Pictures[0].MappingMode, 0);
}

TEST_F(RtfPictures, PictureWithoutAKnownKindIsDropped) {
    TDocument& doc = Load("{\\rtf1 {\\pict\\macpict 0102}x}");
    EXPECT_TRUE(sink.Pictures.empty());
    EXPECT_TRUE(doc.OpenedWithDataLosses);
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "x<2>");
}

TEST_F(RtfPictures, ObjectsCarryClassDataAndResultPicture) {
    TDocument& doc = Load(
        "{\\rtf1 {\\object\\objemb\\objw2000\\objh1000{\\*\\objclass Paint.Picture}{\\*\\objname Pic}"
        "{\\*\\objdata 01050000\r\n0200}{\\result{\\pict\\wmetafile8\\picw10 0a0b}}}x}");
    ASSERT_EQ(sink.Objects.size(), 1u);
    const TImportedObject& o = sink.Objects[0];
    EXPECT_EQ(o.Kind, okEmbedded);
    EXPECT_EQ(o.Width, 2000);
    EXPECT_EQ(o.Height, 1000);
    EXPECT_EQ(o.ClassName, "Paint.Picture");
    EXPECT_EQ(o.Name, "Pic");
    EXPECT_EQ(o.Data, std::string("\x01\x05\x00\x00\x02\x00", 6));
    ASSERT_TRUE(o.Picture.has_value());
    EXPECT_EQ(o.Picture->Kind, TImportedPictureKind::Wmf);
    EXPECT_EQ(o.Picture->MappingMode, 8);
    EXPECT_EQ(o.Picture->Data, "\x0a\x0b");
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "<7>x<2>");
}

TEST_F(RtfPictures, EmptyObjectIsFreedSilentlyAndRefusedOnesAreLosses) {
    EXPECT_FALSE(Load("{\\rtf1 {\\object\\objlink{\\*\\objclass X}}x}").OpenedWithDataLosses);
    EXPECT_TRUE(sink.Objects.empty());
    sink.Accept = false;
    EXPECT_TRUE(Load("{\\rtf1 {\\object{\\*\\objdata 00}}x}").OpenedWithDataLosses);
}

TEST_F(RtfPictures, DefaultSinkDropsAndMarksLosses) {
    services.Pictures = nullptr;
    TDocument& doc = Load("{\\rtf1 {\\pict\\pngblip 00}x}");
    EXPECT_TRUE(doc.OpenedWithDataLosses);
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "x<2>");
}

}  // namespace
}  // namespace quillane

#include "formats/DocumentPictureSink.h"
#include "pictures/ObjectManager.h"
#include "pictures/PngImage.h"

namespace quillane {
namespace {

// The reader's pictures in the document's object manager: a PNG with the
// size and scales the file gives; undecodable data dropped and reported.
class RtfStoredPictures : public test::RtfTest {
protected:
    RtfStoredPictures() { services.Pictures = &sink; }
    TDocumentPictureSink sink;
};

std::string Hex(const TBytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

TEST_F(RtfStoredPictures, PicturesJoinTheDocumentsObjects) {
    TBitmap bitmap(4, 2, 24);
    TPNGImage png;
    png.AssignBitmap(std::move(bitmap));
    const std::string rtf = "{\\rtf1 a{\\pict\\pngblip\\picw4\\pich2\\picwgoal600\\pichgoal300\\picscalex50 " +
                            Hex(png.SaveToBytes()) + "}b{\\pict\\jpegblip 0102}c}";
    TDocument& doc = Load(rtf);
    EXPECT_EQ(test::PositionsText(doc.Paragraph(0)), "a<6>bc<2>");
    ASSERT_EQ(doc.Objects().ObjectCount(), 1);
    const TDocObject& object = doc.Objects().Object(0);
    EXPECT_EQ(object.Width, 600);
    EXPECT_EQ(object.Height, 300);
    EXPECT_EQ(object.HorizontalScale, 50);
    EXPECT_EQ(object.VerticalScale, 100);
    TObjectExtent extent;
    ASSERT_TRUE(doc.ObjectExtents()->Extent(tkPicture, object.Id(), extent));
    EXPECT_EQ(extent.Width, 600);
    // The JPEG that cannot be decoded is left out, and the document says so.
    EXPECT_TRUE(doc.OpenedWithDataLosses);
}

// PNG data is kept packed until it is drawn, so a header that no decoder
// accepts has to be caught when the picture arrives: such a picture (or an
// object's result picture) is dropped and the document says so.
TEST_F(RtfStoredPictures, PngWhoseHeaderNamesUnknownMethodsIsRefused) {
    TPNGImage png;
    png.AssignBitmap(TBitmap(4, 2, 24));
    const TBytes good = png.SaveToBytes();
    const auto patched = [&](size_t at, uint8_t value) {
        TBytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    // The header's data starts at 16: size, depth, colour type, then the
    // compression, filter and interlace methods.
    const struct {
        const char* what;
        TBytes bytes;
    } cases[] = {
        {"compression method 1", patched(16 + 10, 1)},
        {"filter method 1", patched(16 + 11, 1)},
        {"interlace method 2", patched(16 + 12, 2)},
        {"zero width", patched(16 + 3, 0)},
        {"header chunk renamed", patched(12, 'i')},
        {"signature only", TBytes(good.begin(), good.begin() + 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDocument& picture = Load("{\\rtf1 a{\\pict\\pngblip " + Hex(c.bytes) + "}b}");
        EXPECT_EQ(picture.Objects().ObjectCount(), 0);
        EXPECT_EQ(test::PositionsText(picture.Paragraph(0)), "ab<2>");
        EXPECT_TRUE(picture.OpenedWithDataLosses);
        TDocument& object = Load("{\\rtf1 a{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}"
                                 "{\\result{\\pict\\pngblip " + Hex(c.bytes) + "}}}b}");
        EXPECT_EQ(object.Objects().ObjectCount(), 0);
        EXPECT_TRUE(object.OpenedWithDataLosses);
    }
    TDocument& intact = Load("{\\rtf1 a{\\pict\\pngblip " + Hex(good) + "}b}");
    EXPECT_EQ(intact.Objects().ObjectCount(), 1);
    EXPECT_FALSE(intact.OpenedWithDataLosses);
}

}  // namespace
}  // namespace quillane
