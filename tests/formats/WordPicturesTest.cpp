// Pictures of Word documents: the picture descriptor, the drawing records
// behind it, and the reader placing what they hold in the document.
#include "formats/word/WordPictures.h"

#include <gtest/gtest.h>

#include <map>

#include "formats/DocumentLoader.h"
#include "formats/DocumentPictureSink.h"
#include "formats/word/WordOfficeArt.h"
#include "formats/word/WordPicf.h"
#include "formats/word/WordReader.h"
#include "model/Document.h"
#include "pictures/Dib.h"
#include "pictures/ObjectManager.h"
#include "pictures/PngImage.h"
#include "pictures/Zlib.h"
#include "platform/CodePages.h"
#include "support/Corpus.h"
#include "support/DocText.h"
#include "support/RecordingMessageBox.h"
#include "support/WordFixture.h"

namespace quillane {
namespace {

using test::Put16;
using test::Put32;
using test::Sprm97;
using test::TWordFixture;

// --- Building blocks ---------------------------------------------------------

struct TPicfFields {
    int16_t Mode = PicfModeShape;
    int16_t XExtent = 0;
    int16_t YExtent = 0;
    int16_t GoalWidth = 1440;
    int16_t GoalHeight = 720;
    uint16_t ScaleX = 1000;
    uint16_t ScaleY = 500;
    uint16_t HeaderSize = 68;
};

TBytes Picf(const TPicfFields& fields, const TBytes& payload) {
    TBytes b;
    Put32(b, static_cast<uint32_t>(fields.HeaderSize + payload.size()));
    Put16(b, fields.HeaderSize);
    Put16(b, static_cast<uint16_t>(fields.Mode));
    Put16(b, static_cast<uint16_t>(fields.XExtent));
    Put16(b, static_cast<uint16_t>(fields.YExtent));
    b.resize(28, 0);
    Put16(b, static_cast<uint16_t>(fields.GoalWidth));
    Put16(b, static_cast<uint16_t>(fields.GoalHeight));
    Put16(b, fields.ScaleX);
    Put16(b, fields.ScaleY);
    b.resize(std::max<size_t>(fields.HeaderSize, 36), 0);
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

TBytes Record(uint16_t type, uint16_t instance, const TBytes& contents, uint32_t length) {
    TBytes b;
    Put16(b, static_cast<uint16_t>(instance << 4));
    Put16(b, type);
    Put32(b, length);
    b.insert(b.end(), contents.begin(), contents.end());
    return b;
}

TBytes Record(uint16_t type, uint16_t instance, const TBytes& contents) {
    return Record(type, instance, contents, static_cast<uint32_t>(contents.size()));
}

TBytes Join(std::initializer_list<TBytes> parts) {
    TBytes b;
    for (const TBytes& p : parts) {
        b.insert(b.end(), p.begin(), p.end());
    }
    return b;
}

TBytes BlipStoreEntry(const TBytes& blip, uint8_t nameLength = 0) {
    TBytes entry(36, 0);
    entry[33] = nameLength;
    entry.insert(entry.end(), nameLength, 'n');
    entry.insert(entry.end(), blip.begin(), blip.end());
    return Record(OfficeArtBlipStoreEntry, 2, entry);
}

TBytes Shape() { return Record(OfficeArtShapeContainer, 0, TBytes(20, 0x5A)); }

// A metafile blip around `bits`, deflated unless told otherwise.
struct TMetafileBlipFields {
    uint16_t Type = OfficeArtBlipEmf;
    uint16_t Instance = 0x3D4;
    uint8_t Compression = 0;
    int32_t WidthEmu = 360 * 2540;  // an inch
    int32_t HeightEmu = 360 * 1270;
    int64_t SizeDelta = 0;  // added to the recorded uncompressed size
};

TBytes MetafileBlip(const TBytes& bits, const TMetafileBlipFields& fields) {
    const TBytes stored = fields.Compression == 0 ? Deflate(bits) : bits;
    TBytes b(16 * ((fields.Instance & 1) + 1), 0xEE);
    Put32(b, static_cast<uint32_t>(static_cast<int64_t>(bits.size()) + fields.SizeDelta));
    b.resize(b.size() + 16, 0);  // bounds
    Put32(b, static_cast<uint32_t>(fields.WidthEmu));
    Put32(b, static_cast<uint32_t>(fields.HeightEmu));
    Put32(b, static_cast<uint32_t>(stored.size()));
    b.push_back(fields.Compression);
    b.push_back(0);
    b.insert(b.end(), stored.begin(), stored.end());
    return Record(fields.Type, fields.Instance, b);
}

TBytes BitmapBlip(uint16_t type, uint16_t instance, const TBytes& data) {
    TBytes b(16 * ((instance & 1) + 1), 0xEE);
    b.push_back(0xFF);  // tag
    b.insert(b.end(), data.begin(), data.end());
    return Record(type, instance, b);
}

// Small pictures of each kind.
TBytes WindowsMetafile() {
    TBytes b;
    Put16(b, 1);       // memory metafile
    Put16(b, 9);       // header words
    Put16(b, 0x300);   // version
    Put32(b, 12);      // size in words
    Put16(b, 0);       // objects
    Put32(b, 3);       // largest record
    Put16(b, 0);
    Put32(b, 3);       // the end record
    Put16(b, 0);
    return b;
}

TBytes EnhancedMetafile() {
    TBytes b(88, 0);
    const auto set = [&](size_t at, uint32_t v) {
        for (size_t i = 0; i < 4; ++i) {
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    set(0, 1);
    set(4, 88);
    set(32, 2540);
    set(36, 1270);
    set(40, 0x464D4520);
    return b;
}

TBitmap SmallBitmap() {
    TBitmap bitmap(3, 2, 24);
    bitmap.Row(0)[2] = 0xFF;  // red at the top left
    return bitmap;
}

TBytes SmallPng() {
    TPNGImage png;
    png.AssignBitmap(SmallBitmap());
    return png.SaveToBytes();
}

TBytes SmallDib() {
    TBytes b;
    Put32(b, 40);
    Put32(b, 3);
    Put32(b, 2);
    Put16(b, 1);
    Put16(b, 24);
    b.resize(40, 0);
    b.resize(40 + 2 * 12, 0);
    b[40 + 12 + 2] = 0xFF;  // the second stored row is the top one
    return b;
}

std::string AsString(const TBytes& b) { return std::string(b.begin(), b.end()); }

class TFixedData final : public TWordDataStream {
public:
    explicit TFixedData(TBytes bytes) : bytes_(std::move(bytes)), view_(bytes_) {}
    const TByteView* Bytes() override { return &view_; }

private:
    TBytes bytes_;
    TByteView view_;
};

class TNoData final : public TWordDataStream {
public:
    const TByteView* Bytes() override { return nullptr; }
};

std::optional<TImportedPicture> Read(const TBytes& stream, uint32_t location = 0,
                                TWordGeneration generation = TWordGeneration::Word97) {
    TFixedData data(stream);
    return ReadWordPicture(location, data, generation);
}

// --- The descriptor ---------------------------------------------------------

TEST(WordPicf, FieldsAndBounds) {
    const TBytes sound = Picf({}, {1, 2, 3});
    const auto picf = ParseWordPicf(TByteView(sound), 0);
    ASSERT_TRUE(picf);
    EXPECT_EQ(picf->MappingMode, PicfModeShape);
    EXPECT_EQ(picf->GoalWidth, 1440);
    EXPECT_EQ(picf->GoalHeight, 720);
    EXPECT_EQ(picf->ScaleX, 100);
    EXPECT_EQ(picf->ScaleY, 50);
    EXPECT_EQ(picf->Data.Size(), 3u);

    TBytes longer = sound;
    longer[0] += 1;  // one byte more than the stream has
    TBytes headerPastTotal = sound;
    headerPastTotal[4] = 80;
    headerPastTotal[0] = 70;
    const struct {
        const char* Name;
        TBytes Stream;
        uint64_t Location;
    } refused[] = {
        {"total past the stream", longer, 0},
        {"descriptor longer than the total", headerPastTotal, 0},
        {"descriptor too short for its fields", Picf({.HeaderSize = 20}, {}), 0},
        {"location past the stream", sound, sound.size() + 1},
        {"location at the last bytes", sound, sound.size() - 4},
        {"empty stream", {}, 0},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(ParseWordPicf(TByteView(c.Stream), c.Location)) << c.Name;
    }
}

// --- Metafiles after the descriptor -------------------------------------------

TEST(WordPictures, WindowsMetafileModes) {
    const TBytes wmf = WindowsMetafile();
    for (const auto generation : {TWordGeneration::Word6, TWordGeneration::Word97}) {
        for (const int16_t mode : {1, 8}) {
            TBytes stream(10, 0);  // the picture need not start the stream
            const TBytes picf = Picf({.Mode = mode, .XExtent = 2540, .YExtent = 1270, .HeaderSize = 58}, wmf);
            stream.insert(stream.end(), picf.begin(), picf.end());
            const auto picture = Read(stream, 10, generation);
            ASSERT_TRUE(picture) << mode;
            EXPECT_EQ(picture->Kind, TImportedPictureKind::Wmf);
            EXPECT_EQ(picture->MappingMode, mode);
            EXPECT_EQ(picture->Width, 2540);
            EXPECT_EQ(picture->Height, 1270);
            EXPECT_EQ(picture->Data, AsString(wmf));
            EXPECT_EQ(picture->GoalWidth, 1440);
            EXPECT_EQ(picture->ScaleY, 50);
        }
    }
    // Modes that are no metafile and have nothing this reader takes.
    EXPECT_FALSE(Read(Picf({.Mode = 8}, {})));  // no bits
    EXPECT_FALSE(Read(Picf({.Mode = PicfModeBitmap}, SmallDib())));
    EXPECT_FALSE(Read(Picf({.Mode = PicfModeTiff}, SmallDib())));
    EXPECT_FALSE(Read(Picf({.Mode = PicfModeBitmap}, SmallDib()), 0, TWordGeneration::Word6));
    const TBytes shape = Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, SmallPng()))});
    EXPECT_TRUE(Read(Picf({}, shape)));
    EXPECT_FALSE(Read(Picf({}, shape), 0, TWordGeneration::Word6));  // drawing records are Word 97's
    TNoData none;
    EXPECT_FALSE(ReadWordPicture(0, none, TWordGeneration::Word97));
}

// --- Drawing records ----------------------------------------------------------

TEST(WordPictures, EveryBlipKind) {
    const TBytes emf = EnhancedMetafile();
    const TBytes wmf = WindowsMetafile();
    const TBytes png = SmallPng();
    const TBytes dib = SmallDib();
    const TBytes jpeg = {0xFF, 0xD8, 0xFF, 0xD9};  // passed on as it is; the sink decodes
    struct TCase {
        const char* Name;
        TBytes Records;
        int16_t Mode;
        TImportedPictureKind Kind;
        TBytes Data;
    };
    const std::vector<TCase> cases = {
        {"deflated EMF", Join({Shape(), BlipStoreEntry(MetafileBlip(emf, {}))}), PicfModeShape,
         TImportedPictureKind::Emf, emf},
        {"stored EMF, second identifier",
         Join({Shape(), BlipStoreEntry(MetafileBlip(emf, {.Instance = 0x3D5, .Compression = 0xFE}))}), PicfModeShape,
         TImportedPictureKind::Emf, emf},
        {"deflated WMF", Join({Shape(), BlipStoreEntry(MetafileBlip(wmf, {.Type = OfficeArtBlipWmf, .Instance = 0x216}))}),
         PicfModeShape, TImportedPictureKind::Wmf, wmf},
        {"PNG", Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, png))}), PicfModeShape,
         TImportedPictureKind::Png, png},
        {"PNG, second identifier, named entry",
         Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E1, png), 7)}), PicfModeShape,
         TImportedPictureKind::Png, png},
        {"JPEG", Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipJpeg, 0x46A, jpeg))}), PicfModeShape,
         TImportedPictureKind::Jpeg, jpeg},
        {"DIB", Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipDib, 0x7A8, dib))}), PicfModeShape,
         TImportedPictureKind::Dib, dib},
        {"linked file: its name comes first",
         Join({TBytes{4, 'a', '.', 'p', 'n'}, Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, png))}),
         PicfModeShapeFile, TImportedPictureKind::Png, png},
        {"an entry without a blip, then one with",
         Join({Shape(), Record(OfficeArtBlipStoreEntry, 2, TBytes(36, 0)),
               BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, png))}),
         PicfModeShape, TImportedPictureKind::Png, png},
        {"an unknown record before the entry",
         Join({Record(0xF00B, 0, TBytes(6, 1)), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, png))}),
         PicfModeShape, TImportedPictureKind::Png, png},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto picture = Read(Picf({.Mode = c.Mode}, c.Records));
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Kind, c.Kind);
        EXPECT_EQ(picture->Data, AsString(c.Data));
        EXPECT_EQ(picture->GoalWidth, 1440);
        EXPECT_EQ(picture->GoalHeight, 720);
        EXPECT_EQ(picture->ScaleX, 100);
        EXPECT_EQ(picture->ScaleY, 50);
        if (c.Kind == TImportedPictureKind::Wmf) {
            // The blip's size in EMUs gives anisotropic extents.
            EXPECT_EQ(picture->MappingMode, 8);
            EXPECT_EQ(picture->Width, 2540);
            EXPECT_EQ(picture->Height, 1270);
        }
    }
}

TEST(WordPictures, HostileRecordsGiveNoPicture) {
    const TBytes png = SmallPng();
    const TBytes emf = EnhancedMetafile();
    const TBytes goodEntry = BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, png));
    TBytes blipPastEntry = goodEntry;
    blipPastEntry[8 + 36 + 4] += 1;  // the blip's length, one past its entry
    TBytes entryPastStream = goodEntry;
    entryPastStream[4] += 1;
    // The deflate stream loses its last bytes; the blip's lengths agree.
    TBytes truncatedZlib = MetafileBlip(emf, {});
    truncatedZlib.resize(truncatedZlib.size() - 6);
    truncatedZlib[4] -= 6;
    truncatedZlib[8 + 16 + 28] -= 6;
    TBytes nameTooLong = goodEntry;
    nameTooLong[8 + 33] = 200;
    TBytes storedPastBlip = MetafileBlip(emf, {.Compression = 0xFE});
    storedPastBlip[8 + 16 + 28] += 1;
    struct TCase {
        const char* Name;
        TBytes Records;
    };
    const std::vector<TCase> cases = {
        {"nothing", {}},
        {"only a shape", Shape()},
        {"a shape whose length runs past the stream, hiding the entry",
         Join({Record(OfficeArtShapeContainer, 0, TBytes(4, 0), 4000), goodEntry})},
        {"an entry whose length runs past the stream", entryPastStream},
        {"a blip whose length runs past its entry", Join({Shape(), blipPastEntry})},
        {"an entry name longer than the entry", Join({Shape(), nameTooLong})},
        {"an entry shorter than its fields", Record(OfficeArtBlipStoreEntry, 2, TBytes(20, 0))},
        {"a record header cut short", TBytes{0, 0, 0x07, 0xF0, 1}},
        {"a PICT blip", BlipStoreEntry(BitmapBlip(0xF01C, 0x542, png))},
        {"a TIFF blip", BlipStoreEntry(BitmapBlip(0xF029, 0x6E4, png))},
        {"a CMYK JPEG blip", BlipStoreEntry(BitmapBlip(0xF02A, 0x6E2, png))},
        {"a PNG blip without the PNG signature", BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, TBytes(40, 0)))},
        {"a bitmap blip with nothing after its tag", BlipStoreEntry(Record(OfficeArtBlipPng, 0x6E0, TBytes(17, 0)))},
        {"a metafile blip header cut short", BlipStoreEntry(Record(OfficeArtBlipEmf, 0x3D4, TBytes(40, 0)))},
        {"truncated zlib", BlipStoreEntry(truncatedZlib)},
        {"inflates to less than recorded", BlipStoreEntry(MetafileBlip(emf, {.SizeDelta = 1}))},
        {"inflates to more than recorded", BlipStoreEntry(MetafileBlip(emf, {.SizeDelta = -1}))},
        {"a recorded size no deflate stream gives",
         BlipStoreEntry(MetafileBlip(emf, {.SizeDelta = int64_t{200} << 20}))},
        {"an unknown compression", BlipStoreEntry(MetafileBlip(emf, {.Compression = 7}))},
        {"a stored size past the blip", BlipStoreEntry(storedPastBlip)},
        {"corrupt deflate data", BlipStoreEntry([&] {
             TBytes blip = MetafileBlip(emf, {});
             for (size_t i = 8 + 16 + 34 + 2; i < blip.size(); ++i) {
                 blip[i] ^= 0x5A;
             }
             return blip;
         }())},
    };
    for (const TCase& c : cases) {
        EXPECT_FALSE(Read(Picf({}, c.Records))) << c.Name;
    }
    // Records never reach past the descriptor's total length, even when
    // the stream goes on.
    TBytes cut = Picf({}, goodEntry);
    cut[0] -= 1;
    EXPECT_FALSE(Read(cut));
}

// --- The reader ---------------------------------------------------------------

struct TRead {
    std::unique_ptr<TDocument> Document;
    bool Read = false;
};

TRead ReadWithPictures(const TWordFixture& fixture, bool withSink = true) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    test::TMemoryStorage storage = fixture.Build();
    test::TRecordingMessageBox messages;
    TDocumentPictureSink sink;
    TFormatServices services{messages, *codePages, nullptr};
    services.Pictures = withSink ? &sink : nullptr;
    TRead read;
    read.Document = std::make_unique<TDocument>();
    TDocOpeningOptions options;
    options.FileName = "fixture.doc";
    read.Read = ReadWord(*read.Document, storage, options, services);
    if (read.Read) {
        FinishLoadedDocument(*read.Document, options);
    }
    return read;
}

// "a", the picture character, "b": the picture's run carries the special
// flag and its location (and whatever else the case adds).
TWordFixture PictureFixture(bool word97, uint32_t location, const TBytes& extra = {}) {
    TWordFixture f;
    f.Word97 = word97;
    f.Text = std::string("a\x01" "b\r");
    TBytes run;
    if (word97) {
        run = Join({Sprm97(0x0855, {1}), Sprm97(0x6A03, {static_cast<uint8_t>(location), static_cast<uint8_t>(location >> 8),
                                                         static_cast<uint8_t>(location >> 16),
                                                         static_cast<uint8_t>(location >> 24)})});
    } else {
        run = {117, 1, 68, 4};
        Put32(run, location);
    }
    run.insert(run.end(), extra.begin(), extra.end());
    f.ChpxRuns = {{0, {}}, {1, run}, {2, {}}};
    return f;
}

TEST(WordReaderPictures, PicturesArePlacedWithTheirSize) {
    struct TCase {
        const char* Name;
        bool Word97;
        TBytes Picture;
        TImageKind Kind;
    };
    const std::vector<TCase> cases = {
        {"Word 97 PNG", true,
         Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, SmallPng()))})), TImageKind::Bitmap},
        {"Word 97 DIB", true,
         Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipDib, 0x7A8, SmallDib()))})), TImageKind::Bitmap},
        {"Word 97 EMF", true, Picf({}, Join({Shape(), BlipStoreEntry(MetafileBlip(EnhancedMetafile(), {}))})),
         TImageKind::Metafile},
        {"Word 6 WMF", false, Picf({.Mode = 8, .XExtent = 2540, .YExtent = 1270, .HeaderSize = 58}, WindowsMetafile()),
         TImageKind::Metafile},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const uint32_t location = c.Word97 ? 16 : TWordFixture::Word6DataAt + 16;
        TWordFixture fixture = PictureFixture(c.Word97, location);
        fixture.Data = Join({TBytes(16, 0), c.Picture});
        const TRead read = ReadWithPictures(fixture);
        ASSERT_TRUE(read.Read);
        const TDocument& document = *read.Document;
        EXPECT_FALSE(document.OpenedWithDataLosses);
        EXPECT_EQ(test::ParagraphTexts(document), std::vector<std::string>{"a<6>b<2>"});
        ASSERT_EQ(document.Objects().ObjectCount(), 1);
        const TDocObject& object = document.Objects().Object(0);
        EXPECT_EQ(object.Image().Kind(), c.Kind);
        EXPECT_EQ(object.Width, 1440);
        EXPECT_EQ(object.Height, 720);
        EXPECT_EQ(object.HorizontalScale, 100);
        EXPECT_EQ(object.VerticalScale, 50);
        EXPECT_NE(test::StreamText(document.Paragraph(0).Text).find("[14=" + std::to_string(object.Id()) + "]"),
                  std::string::npos)
            << test::StreamText(document.Paragraph(0).Text);
    }
}

TEST(WordReaderPictures, DibBlipBecomesItsPixels) {
    TWordFixture fixture = PictureFixture(true, 0);
    fixture.Data = Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipDib, 0x7A8, SmallDib()))}));
    TRead read = ReadWithPictures(fixture);
    ASSERT_EQ(read.Document->Objects().ObjectCount(), 1);
    TDocObjectImage& image = read.Document->Objects().Object(0).Image();
    ASSERT_TRUE(image.Unpack(true));
    EXPECT_EQ(image.Bitmap(), SmallBitmap());
}

TEST(WordReaderPictures, DroppedPicturesAreLosses) {
    const TBytes png = Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, SmallPng()))}));
    struct TCase {
        const char* Name;
        TWordFixture Fixture;
        bool Sink = true;
    };
    std::vector<TCase> cases;
    cases.push_back({"an OLE object's picture", PictureFixture(true, 0, Sprm97(0x080A, {1}))});
    cases.back().Fixture.Data = png;
    cases.push_back({"no data stream", PictureFixture(true, 0)});
    cases.push_back({"a location past the data stream", PictureFixture(true, 5000)});
    cases.back().Fixture.Data = png;
    cases.push_back({"a picture no sink takes", PictureFixture(true, 0), false});
    cases.back().Fixture.Data = png;
    cases.push_back({"a PNG blip that is no PNG", PictureFixture(true, 0)});
    cases.back().Fixture.Data =
        Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, TBytes(30, 7)))}));
    cases.push_back({"a JPEG the sink cannot decode", PictureFixture(true, 0)});
    cases.back().Fixture.Data =
        Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipJpeg, 0x46A, TBytes(30, 7)))}));
    cases.push_back({"a DIB the sink cannot decode", PictureFixture(true, 0)});
    cases.back().Fixture.Data =
        Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipDib, 0x7A8, TBytes(30, 7)))}));
    cases.push_back({"a Word 6 bitmap", PictureFixture(false, TWordFixture::Word6DataAt)});
    cases.back().Fixture.Data = Picf({.Mode = PicfModeBitmap, .HeaderSize = 58}, SmallDib());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRead read = ReadWithPictures(c.Fixture, c.Sink);
        ASSERT_TRUE(read.Read);
        EXPECT_TRUE(read.Document->OpenedWithDataLosses);
        EXPECT_EQ(read.Document->Objects().ObjectCount(), 0);
        EXPECT_EQ(test::ParagraphTexts(*read.Document), std::vector<std::string>{"ab<2>"});
    }
}

TEST(WordReaderPictures, DataStreamThatCannotBeReadFailsTheDocument) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    TWordFixture fixture = PictureFixture(true, 0);
    fixture.Data = Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, SmallPng()))}));
    test::TMemoryStorage storage = fixture.Build();
    storage.ShortStreams.insert("Data");
    test::TRecordingMessageBox messages;
    TDocumentPictureSink sink;
    TFormatServices services{messages, *codePages, nullptr};
    services.Pictures = &sink;
    TDocument document;
    TDocOpeningOptions options;
    options.FileName = "short.doc";
    EXPECT_FALSE(ReadWord(document, storage, options, services));
    EXPECT_EQ(messages.Shown, std::vector<std::string>{"Exception with message||\"Error reading the data stream\"||raised "
                                                       "while opening document \"short.doc\""});
}

TEST(WordReaderPictures, EmbeddedObjectKeepsItsPictureAndIsALoss) {
    // {EMBED x} whose separator carries the OLE flag and the object's
    // storage number; its result is the object's picture.
    TWordFixture fixture = PictureFixture(true, 0);
    fixture.Text = std::string("\x13" "EMBED x\x14\x01\x15\r");
    const TBytes picture = fixture.ChpxRuns[1].Grpprl;
    const TBytes object = Join({Sprm97(0x0855, {1}), Sprm97(0x080A, {1}), Sprm97(0x0856, {1}),
                                Sprm97(0x6A03, {0x34, 0x12, 0, 0})});
    fixture.ChpxRuns = {{0, Sprm97(0x0855, {1})}, {1, {}}, {8, object}, {9, picture}, {10, Sprm97(0x0855, {1})}};
    fixture.Data = Picf({}, Join({Shape(), BlipStoreEntry(BitmapBlip(OfficeArtBlipPng, 0x6E0, SmallPng()))}));
    const TRead read = ReadWithPictures(fixture);
    ASSERT_TRUE(read.Read);
    EXPECT_EQ(test::ParagraphTexts(*read.Document), std::vector<std::string>{"<6><2>"});
    EXPECT_EQ(read.Document->Objects().ObjectCount(), 1);
    EXPECT_TRUE(read.Document->OpenedWithDataLosses);
}

// --- The corpus -------------------------------------------------------------

struct TCorpusPictures {
    int Documents = 0;  // documents with at least one picture placed
    int Pictures = 0;
    int Bitmaps = 0;
    int Jpegs = 0;      // bitmaps that came as JPEG
    int Enhanced = 0;   // metafiles
    int Windows = 0;
};

// Each picture as a letter (J JPEG, B other bitmap, E enhanced metafile,
// W Windows metafile) and each bitmap's pixel size, in document order.
struct TDocumentPictures {
    std::string Kinds;
    std::vector<std::pair<int32_t, int32_t>> Pixels;
};

TEST(WordReaderPicturesCorpus, PicturesOfTheCorpusDecode) {
    QUILLANE_REQUIRE_CORPUS("doc97");
    static const auto codePages = CreateCodePageConverter(437, 1252);
    TCorpusPictures counts;
    std::map<std::string, TDocumentPictures> documents;
    for (const char* sub : {"doc6", "doc95", "doc97", "doc-other"}) {
        for (const auto& path : test::CorpusFiles(sub)) {
            test::TRecordingMessageBox messages;
            TDocumentPictureSink sink;
            TFormatServices services{messages, *codePages, nullptr};
            services.Pictures = &sink;
            TDocument document;
            TDocOpeningOptions options;
            options.FileName = path.string();
            if (!LoadDocument(document, options, services) || document.Objects().ObjectCount() == 0) {
                continue;
            }
            ++counts.Documents;
            TDocumentPictures& pictures = documents[path.filename().string()];
            TObjectManager& objects = document.Objects();
            for (int32_t i = 0; i < objects.ObjectCount(); ++i) {
                SCOPED_TRACE(path.filename().string() + ", picture " + std::to_string(i));
                TDocObject& object = objects.Object(i);
                TDocObjectImage& image = object.Image();
                ++counts.Pictures;
                EXPECT_GT(object.Width, 0);
                EXPECT_GT(object.Height, 0);
                char kind = 'B';
                if (image.Kind() == TImageKind::Metafile) {
                    kind = image.WindowsMetafile ? 'W' : 'E';
                    ++(image.WindowsMetafile ? counts.Windows : counts.Enhanced);
                } else {
                    kind = image.Jpeg.empty() ? 'B' : 'J';
                    ++counts.Bitmaps;
                    counts.Jpegs += image.Jpeg.empty() ? 0 : 1;
                }
                pictures.Kinds += kind;
                ASSERT_TRUE(image.Unpack(true)) << "does not decode";
                if (image.Kind() == TImageKind::Bitmap) {
                    pictures.Pixels.emplace_back(image.Bitmap().Width(), image.Bitmap().Height());
                }
                image.Pack();
            }
        }
    }
    std::cout << counts.Documents << " documents with pictures, " << counts.Pictures << " pictures: "
              << counts.Bitmaps << " bitmaps (" << counts.Jpegs << " from JPEG), " << counts.Enhanced
              << " enhanced and " << counts.Windows << " Windows metafiles\n";
    // What the corpus is known to hold; a reader that starts dropping
    // pictures falls below.
    EXPECT_GE(counts.Documents, 17);
    EXPECT_GE(counts.Pictures, 71);
    // Pixel sizes as the files' own headers give them.
    using TSizes = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(documents["poi__document_testPictures.doc"].Kinds, "JJBBWJ");
    EXPECT_EQ(documents["poi__document_testPictures.doc"].Pixels,
              (TSizes{{800, 600}, {800, 600}, {286, 246}, {140, 135}, {800, 600}}));
    EXPECT_EQ(documents["poi__document_two_images.doc"].Kinds, "JB");
    EXPECT_EQ(documents["poi__document_two_images.doc"].Pixels, (TSizes{{20, 20}, {20, 20}}));
    EXPECT_EQ(documents["abitest__doc_9005-various_lists.doc"].Pixels, (TSizes{{15, 15}, {16, 16}}));
    EXPECT_EQ(documents["poi__document_Bug46220.doc"].Pixels.at(0), std::make_pair(640, 480));
    EXPECT_EQ(documents["poi__document_Bug50955.doc"].Kinds, "W");  // Word 95, metafile after the descriptor
    EXPECT_EQ(documents["poi__document_picture.doc"].Kinds, "E");   // a deflated 2.3 MB metafile
}

}  // namespace
}  // namespace quillane
