#include "formats/write/WriteReader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/DocumentFormat.h"
#include "formats/DocumentLoader.h"
#include "formats/DocumentPictureSink.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/TabManager.h"
#include "model/TextStream.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"
#include "platform/CodePages.h"
#include "support/DocText.h"
#include "support/FakeFontSystem.h"
#include "support/RecordingMessageBox.h"
#include "support/WriteFixture.h"

namespace quillane {
namespace {

using test::TBytes;
using test::TWriteCharProps;
using test::TWriteFixture;
using test::TWriteParProps;
using test::WriteCharRecord;
using test::WriteParRecord;

const char* const FailureMessage =
    "Exception with message||\"The Windows Write file header is damaged\"||raised while opening document "
    "\"fixture.wri\"";

struct TLoaded {
    std::unique_ptr<TDocument> Document;
    bool Read = false;
    std::vector<std::string> Messages;
    int32_t CharacterCount = 0;
    std::vector<int64_t> Progress;
};

class TRecordingProgress final : public TProgressSink {
public:
    void SetRange(int64_t) override {}
    void SetPosition(int64_t position) override { Positions.push_back(position); }
    std::vector<int64_t> Positions;
};

struct TReadSetup {
    TFontManager* Fonts = nullptr;
    bool Pictures = true;
};

TLoaded ReadBytes(const TBytes& bytes, const TReadSetup& setup = {}) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    test::TRecordingMessageBox messages;
    TRecordingProgress progress;
    TDocumentPictureSink sink;
    TFormatServices services{messages, *codePages, &progress, setup.Fonts};
    services.Pictures = setup.Pictures ? &sink : nullptr;
    TLoaded loaded;
    loaded.Document = std::make_unique<TDocument>();
    TDocOpeningOptions options;
    options.FileName = "fixture.wri";
    loaded.Read = ReadWrite(*loaded.Document, TByteView(bytes), options, services);
    if (loaded.Read) {
        FinishLoadedDocument(*loaded.Document, options);
    }
    loaded.Messages = messages.Shown;
    loaded.CharacterCount = options.CharacterCount;
    loaded.Progress = progress.Positions;
    return loaded;
}

TLoaded Read(const TWriteFixture& fixture, const TReadSetup& setup = {}) { return ReadBytes(fixture.Build(), setup); }

void CheckStreams(const TDocument& document) {
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        EXPECT_NO_THROW(CheckTextStream(p.Text, p.Positions)) << "paragraph " << i;
    }
}

std::vector<std::string> Texts(const TLoaded& loaded) { return test::ParagraphTexts(*loaded.Document); }

// The attributes in force at a position of a paragraph.
TCharAttrs AttrsAt(const TDocument& document, int32_t paragraph, int32_t position) {
    const TParagraph& p = document.Paragraph(paragraph);
    return AttributesAt(p.Text, PositionToOffset(p.Text, p.PositionCount(), position), document.DefaultCharAttrs);
}

TWriteFixture::TRun StoredRun(uint32_t start, TBytes record) { return {start, std::move(record), true}; }

TEST(WriteReader, ParagraphsEndAtCarriageReturnsWithOrWithoutLineFeed) {
    struct TCase {
        const char* name;
        std::string text;
        std::vector<std::string> expected;
    };
    const TCase cases[] = {
        {"CR LF", "one\r\ntwo\r\n", {"one<2>", "two<2>"}},
        {"no end", "one\r\ntwo", {"one<2>", "two<2>"}},
        {"CR alone", "one\rtwo\r", {"one<2>", "two<2>"}},
        {"CR at the end", "one\r", {"one<2>"}},
        {"empty lines", "a\r\n\r\n\r\nb\r\n", {"a<2>", "<2>", "<2>", "b<2>"}},
        {"lone LF dropped", "a\nb\r\n", {"ab<2>"}},
        {"empty text", "", {"<2>"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TWriteFixture f;
        f.Text = c.text;
        const TLoaded loaded = Read(f);
        ASSERT_TRUE(loaded.Read);
        EXPECT_EQ(c.expected, Texts(loaded));
        CheckStreams(*loaded.Document);
    }
}

TEST(WriteReader, EveryByteFromSpaceOnIsKeptAndControlsBecomeSpecials) {
    struct TCase {
        const char* name;
        std::string text;
        std::string expected;
    };
    const TCase cases[] = {
        {"backslash and braces", "C:\\dir\\{x}", "C:\\dir\\{x}<2>"},
        {"dashes and no-break space", "a\x96" "b\x97" "c\xA0" "d", "a<11>b<10>c<8>d<2>"},
        {"tab and page break", "a\tb\x0C" "c", "a<5>b<4>c<2>"},
        {"line break and optional hyphen", "a\x0B" "b\x1F" "c", "a<3>b<12>c<2>"},
        {"other controls dropped", std::string("a\x01\x02\x1B" "b", 5), "ab<2>"},
        {"high bytes", "\xE9t\xE9 \xFF", "\xE9t\xE9 \xFF<2>"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TWriteFixture f;
        f.Text = c.text;
        const TLoaded loaded = Read(f);
        ASSERT_TRUE(loaded.Read);
        ASSERT_EQ(1, loaded.Document->ParagraphCount());
        EXPECT_EQ(c.expected, test::PositionsText(loaded.Document->Paragraph(0)));
        CheckStreams(*loaded.Document);
    }
}

TEST(WriteReader, CharacterRunsGiveTheirAttributes) {
    test::TFakeFontSystem system;
    system.Faces = test::StandardFakeFaces();
    TFontManager fonts(system);
    TWriteFixture f;
    f.Fonts = {{"Times New Roman", 0x10}, {"Arial", 0x20}};
    f.Text = "plain bold italic under big sup sub arial far zero\r\n";
    struct TSpan {
        const char* word;
        TWriteCharProps props;
        int slot;
        int32_t value;
    };
    TWriteCharProps bold, italic, under, big, sup, sub, arial, far, zero;
    bold.Bold = true;
    italic.Italic = true;
    under.Underline = true;
    big.HalfPoints = 40;
    sup.Position = 12;
    sub.Position = -12;
    arial.Font = 1;
    far.Font = 300;  // beyond the table, in the high bits as well
    zero.HalfPoints = 0;
    const TSpan spans[] = {
        {"bold", bold, caBold, 1},           {"italic", italic, caItalic, 1},
        {"under", under, caUnderline, 1},    {"big", big, caSize, 40},
        {"sup", sup, caVerticalPosition, 1}, {"sub", sub, caVerticalPosition, 2},
        {"zero", zero, caSize, 24},
    };
    f.CharRuns.push_back(StoredRun(0, WriteCharRecord({})));
    for (const TSpan& s : spans) {
        f.CharRuns.push_back(StoredRun(static_cast<uint32_t>(f.Text.find(s.word)), WriteCharRecord(s.props)));
    }
    f.CharRuns.push_back(StoredRun(static_cast<uint32_t>(f.Text.find("arial")), WriteCharRecord(arial)));
    f.CharRuns.push_back(StoredRun(static_cast<uint32_t>(f.Text.find("far")), WriteCharRecord(far)));
    std::sort(f.CharRuns.begin(), f.CharRuns.end(), [](const auto& a, const auto& b) { return a.Start < b.Start; });
    f.RunsPerPage = 3;  // the runs spread over several pages
    const TLoaded loaded = Read(f, {&fonts});
    ASSERT_TRUE(loaded.Read);
    const TDocument& d = *loaded.Document;
    const int32_t times = d.DefaultCharAttrs[caFont];
    const TCharAttrs plain = AttrsAt(d, 0, 0);
    EXPECT_EQ("Times New Roman", fonts.Entry(plain[caFont]).Name);
    EXPECT_EQ(24, plain[caSize]);
    EXPECT_EQ(0, plain[caBold]);
    for (const TSpan& s : spans) {
        SCOPED_TRACE(s.word);
        const TCharAttrs a = AttrsAt(d, 0, static_cast<int32_t>(f.Text.find(s.word)));
        EXPECT_EQ(s.value, a[s.slot]);
    }
    EXPECT_EQ("Arial", fonts.Entry(AttrsAt(d, 0, static_cast<int32_t>(f.Text.find("arial")))[caFont]).Name);
    EXPECT_EQ(times, AttrsAt(d, 0, static_cast<int32_t>(f.Text.find("far")))[caFont]);
    CheckStreams(d);
}

TEST(WriteReader, ParagraphRunsGiveAlignmentSignedIndentsSpacingAndTabs) {
    TWriteFixture f;
    f.Text = "hanging\r\ncentred\r\nplain\r\n";
    TWriteParProps hanging;
    hanging.LeftIndent = 2160;
    hanging.FirstIndent = -2160;
    hanging.RightIndent = -993;
    hanging.LineSpacing = 360;
    hanging.Tabs = {{720, false}, {2880, true}};
    TWriteParProps centred;
    centred.Alignment = 1;
    centred.LineSpacing = 0;  // single
    f.ParRuns = {StoredRun(0, WriteParRecord(hanging)), StoredRun(9, WriteParRecord(centred)), {18, {}, false}};
    const TLoaded loaded = Read(f);
    ASSERT_TRUE(loaded.Read);
    TDocument& d = *loaded.Document;
    ASSERT_EQ(3, d.ParagraphCount());
    const TParAttrs& a = d.Paragraph(0).Attributes;
    EXPECT_EQ(-2160, a[paFirstIndent]);
    EXPECT_EQ(2160, a[paLeftIndent]);
    EXPECT_EQ(-993, a[paRightIndent]);
    EXPECT_EQ(360, a[paLineSpacing]);
    EXPECT_EQ(1, a[paSpacingMultiple]);
    ASSERT_TRUE(d.Tabs().ValidIndex(a[paTabTable]));
    const TTabTable& tabs = d.Tabs().Table(a[paTabTable]);
    ASSERT_EQ(2, tabs.StopCount());
    EXPECT_EQ(TTabStop::Make(720, tkLeft), tabs.Stop(0));
    EXPECT_EQ(TTabStop::Make(2880, tkDecimal), tabs.Stop(1));
    const TParAttrs& b = d.Paragraph(1).Attributes;
    EXPECT_EQ(1, b[paAlignment]);
    EXPECT_EQ(240, b[paLineSpacing]);
    EXPECT_EQ(-1, b[paTabTable]);
    const TParAttrs& c = d.Paragraph(2).Attributes;
    EXPECT_EQ(0, c[paAlignment]);
    EXPECT_EQ(0, c[paLeftIndent]);
    EXPECT_EQ(240, c[paLineSpacing]);
}

// Damaged descriptors: each case patches the first character page of a
// file whose text is "abc\r\ndef\r\n" with one bold run over "def".
TEST(WriteReader, DamagedRunDescriptorsStayInsideThePageAndTheText) {
    struct TCase {
        const char* name;
        size_t at;      // in the character page
        uint32_t value;
        int width;      // bytes patched
        std::vector<std::string> expected;
        bool defBold;
    };
    const TCase cases[] = {
        {"count 255", 127, 255, 1, {"abc<2>", "def<2>"}, true},
        {"record offset beyond the page", 4 + 6 + 4, 0x7FF0, 2, {"abc<2>", "def<2>"}, false},
        {"record length past byte 126", 4 + 2 * 6, 120, 1, {"abc<2>", "def<2>"}, false},
        {"first run ending beyond the text", 4, 0x7FFFFFFF, 4, {"abc<2>", "def<2>"}, false},
        {"runs going backwards", 4 + 6, 100, 4, {"abc<2>", "def<2>"}, false},
        {"no descriptors", 127, 0, 1, {"abc<2>", "def<2>"}, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TWriteFixture f;
        f.Text = "abc\r\ndef\r\n";
        TWriteCharProps bold;
        bold.Bold = true;
        f.CharRuns = {{0, {}, false}, StoredRun(5, WriteCharRecord(bold))};
        TBytes bytes = f.Build();
        const size_t page = (test::ReadU32(bytes, test::WriteFcMacAt) + 127) / 128 * 128;
        for (int i = 0; i < c.width; ++i) {
            bytes[page + c.at + static_cast<size_t>(i)] = static_cast<uint8_t>(c.value >> (8 * i));
        }
        const TLoaded loaded = ReadBytes(bytes);
        ASSERT_TRUE(loaded.Read);
        EXPECT_EQ(c.expected, Texts(loaded));
        EXPECT_EQ(c.defBold ? 1 : 0, AttrsAt(*loaded.Document, 1, 0)[caBold]);
        CheckStreams(*loaded.Document);
    }
}

TEST(WriteReader, FontTableReadsItsCountAndContinuesOnTheNextPage) {
    test::TFakeFontSystem system;
    system.Faces = test::StandardFakeFaces();
    TFontManager fonts(system);
    TWriteFixture f;
    f.Fonts = {{"Courier New", 0x30}, {"Arial", 0x20}, {"Times New Roman", 0x10}};
    f.FontsOnNextPageFrom = 2;
    f.Text = "a\r\n";
    TWriteCharProps third;
    third.Font = 2;
    f.CharRuns = {StoredRun(0, WriteCharRecord(third))};
    const TLoaded loaded = Read(f, {&fonts});
    ASSERT_TRUE(loaded.Read);
    EXPECT_EQ("Times New Roman", fonts.Entry(AttrsAt(*loaded.Document, 0, 0)[caFont]).Name);

    // The count stops the table (font 2 is then beyond it and the run
    // keeps the default font); a huge count stops at the end marker.
    for (const auto& [count, readsThird] : {std::pair<uint16_t, bool>{2, false}, {0xFFFF, true}}) {
        SCOPED_TRACE(count);
        TBytes bytes = f.Build();
        const size_t table = test::ReadU16(bytes, test::WritePnFfntbAt) * size_t{128};
        test::PatchU16(bytes, table, count);
        const TLoaded cut = ReadBytes(bytes, {&fonts});
        ASSERT_TRUE(cut.Read);
        const int32_t font = AttrsAt(*cut.Document, 0, 0)[caFont];
        if (readsThird) {
            EXPECT_EQ("Times New Roman", fonts.Entry(font).Name);
        } else {
            EXPECT_EQ(cut.Document->DefaultCharAttrs[caFont], font);
        }
    }

    // A font table starting at the page count is no table: every run keeps
    // the default font.
    TBytes bytes = f.Build();
    test::PatchU16(bytes, test::WritePnFfntbAt, test::ReadU16(bytes, test::WritePnMacAt));
    const TLoaded none = ReadBytes(bytes, {&fonts});
    ASSERT_TRUE(none.Read);
    EXPECT_EQ(none.Document->DefaultCharAttrs[caFont], AttrsAt(*none.Document, 0, 0)[caFont]);
}

TEST(WriteReader, DamagedFontEntriesAreBoundedByTheirPage) {
    test::TFakeFontSystem system;
    system.Faces = test::StandardFakeFaces();
    TFontManager fonts(system);
    TWriteFixture f;
    f.Fonts = {{"Arial", 0x20}};
    f.Text = "a\r\n";
    TWriteCharProps first;
    f.CharRuns = {StoredRun(0, WriteCharRecord(first))};
    struct TCase {
        const char* name;
        size_t at;
        uint16_t value;
        bool arial;  // else the default font
    };
    const TCase cases[] = {
        {"entry running off the page", 2, 0x5410, true},
        {"continuation past the last page", 2, 0xFFFF, false},
        {"no entries", 0, 0, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes bytes = f.Build();
        const size_t table = test::ReadU16(bytes, test::WritePnFfntbAt) * size_t{128};
        test::PatchU16(bytes, table + c.at, c.value);
        const TLoaded loaded = ReadBytes(bytes, {&fonts});
        ASSERT_TRUE(loaded.Read);
        const int32_t font = AttrsAt(*loaded.Document, 0, 0)[caFont];
        if (c.arial) {
            EXPECT_EQ("Arial", fonts.Entry(font).Name);
        } else {
            EXPECT_EQ(loaded.Document->DefaultCharAttrs[caFont], font);
        }
    }
}

TEST(WriteReader, HeadersAndFootersAreDroppedAndMarkDataLosses) {
    TWriteFixture f;
    f.Text = "Header\r\nBody\r\nFooter\r\nMore\r\n";
    TWriteParProps header;
    header.Special = 0x02;
    TWriteParProps footer;
    footer.Special = 0x05;
    f.ParRuns = {StoredRun(0, WriteParRecord(header)), {8, {}, false}, StoredRun(14, WriteParRecord(footer)), {22, {}, false}};
    const TLoaded loaded = Read(f);
    ASSERT_TRUE(loaded.Read);
    EXPECT_EQ((std::vector<std::string>{"Body<2>", "More<2>"}), Texts(loaded));
    EXPECT_TRUE(loaded.Document->OpenedWithDataLosses);

    TWriteFixture plain;
    plain.Text = "Body\r\n";
    EXPECT_FALSE(Read(plain).Document->OpenedWithDataLosses);
}

TEST(WriteReader, MetafilePicturesAreParagraphsOfTheirOwn) {
    TWriteFixture f;
    const std::string picture = test::WritePictureParagraph({8, 2540, 1270, 360, 2880, 1440, 500, 2000},
                                                            test::TinyMetafile());
    const std::string second = test::WritePictureParagraph({}, test::TinyMetafile());
    f.Text = "Before\r\n" + picture + second + "After\r\n";
    TWriteParProps graphics;
    graphics.Special = 0x10;
    graphics.Alignment = 1;
    graphics.LeftIndent = 100;
    const auto at = static_cast<uint32_t>(8 + picture.size());
    const auto after = static_cast<uint32_t>(at + second.size());
    f.ParRuns = {{0, {}, false}, StoredRun(8, WriteParRecord(graphics)), StoredRun(at, WriteParRecord(graphics)), {after, {}, false}};
    const TLoaded loaded = Read(f);
    ASSERT_TRUE(loaded.Read);
    TDocument& d = *loaded.Document;
    EXPECT_EQ((std::vector<std::string>{"Before<2>", "<6><2>", "<6><2>", "After<2>"}), Texts(loaded));
    EXPECT_FALSE(d.OpenedWithDataLosses);
    EXPECT_EQ(1, d.Paragraph(1).Attributes[paAlignment]);
    EXPECT_EQ(460, d.Paragraph(1).Attributes[paLeftIndent]);  // moved by the picture's offset
    EXPECT_EQ(100, d.Paragraph(2).Attributes[paLeftIndent]);
    ASSERT_EQ(2, d.Objects().ObjectCount());
    const TDocObject& object = d.Objects().Object(0);
    EXPECT_EQ(2880, object.Width);
    EXPECT_EQ(1440, object.Height);
    EXPECT_EQ(50, object.HorizontalScale);
    EXPECT_EQ(200, object.VerticalScale);
    CheckStreams(d);
}

TEST(WriteReader, PicturesThatCannotBeKeptLeaveNoParagraphAndMarkDataLosses) {
    struct TCase {
        const char* name;
        std::string paragraph;
        bool sink;
    };
    std::string tooLarge = test::WritePictureParagraph({}, test::TinyMetafile());
    tooLarge[32] = '\x7F';  // a data size far beyond the paragraph
    std::string shortHeader = test::WritePictureParagraph({}, test::TinyMetafile()).substr(0, 30);
    const TCase cases[] = {
        {"bitmap", test::WritePictureParagraph({0xE3}, std::string(64, '\x55')), true},
        {"OLE object", test::WritePictureParagraph({0xE4}, std::string(64, '\x01')), true},
        {"data beyond the paragraph", tooLarge, true},
        {"header cut short", shortHeader, true},
        {"no picture sink", test::WritePictureParagraph({}, test::TinyMetafile()), false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TWriteFixture f;
        f.Identifier = 0xBE32;
        f.Text = "Before\r\n" + c.paragraph + "After\r\n";
        TWriteParProps graphics;
        graphics.Special = 0x10;
        f.ParRuns = {{0, {}, false}, StoredRun(8, WriteParRecord(graphics)),
                     {static_cast<uint32_t>(8 + c.paragraph.size()), {}, false}};
        const TLoaded loaded = Read(f, {nullptr, c.sink});
        ASSERT_TRUE(loaded.Read);
        EXPECT_EQ((std::vector<std::string>{"Before<2>", "After<2>"}), Texts(loaded));
        EXPECT_TRUE(loaded.Document->OpenedWithDataLosses);
        CheckStreams(*loaded.Document);
    }
}

TEST(WriteReader, SpecialRunsEndingBeforeTheirStartStillMoveOn) {
    // An empty graphics run first, a header run to the end of the text:
    // neither may hold the reader in place.
    TWriteFixture f;
    f.Text = "a\r\nb\r\nc\r\n";
    TWriteParProps graphics;
    graphics.Special = 0x10;
    TWriteParProps header;
    header.Special = 0x06;
    f.ParRuns = {StoredRun(0, WriteParRecord(graphics)), {0, {}, false}, StoredRun(3, WriteParRecord(header))};
    const TLoaded loaded = Read(f);
    ASSERT_TRUE(loaded.Read);
    EXPECT_EQ((std::vector<std::string>{"a<2>"}), Texts(loaded));

    // The header run's end moved before its start: it is empty, and the
    // rest of the text takes the default properties.
    TBytes bytes = f.Build();
    const size_t papPage = test::ReadU16(bytes, test::WritePnParaAt) * size_t{128};
    test::PatchU32(bytes, papPage + 4 + 2 * 6, 100);
    const TLoaded moved = ReadBytes(bytes);
    ASSERT_TRUE(moved.Read);
    EXPECT_EQ((std::vector<std::string>{"a<2>", "b<2>", "c<2>"}), Texts(moved));
}

TEST(WriteReader, ProgressOnlyMovesForwardAndCountsCharacters) {
    TWriteFixture f;
    for (int i = 0; i < 400; ++i) {
        f.Text += "A line of text in a long document\r\n";
    }
    const TLoaded loaded = Read(f);
    ASSERT_TRUE(loaded.Read);
    EXPECT_EQ(400, loaded.Document->ParagraphCount());
    EXPECT_EQ(400 * 33, loaded.CharacterCount);
    ASSERT_GE(loaded.Progress.size(), 3u);
    EXPECT_TRUE(std::is_sorted(loaded.Progress.begin(), loaded.Progress.end()));
}

// Damaged headers: the load fails with the message and the document stays
// as it was.
TEST(WriteReader, DamagedHeadersFailWithTheMessageAndLeaveTheDocument) {
    TWriteFixture f;
    f.Fonts = {{"Arial", 0x20}};
    f.Text = "Some text\r\n";
    const TBytes sound = f.Build();
    const uint16_t pnPara = test::ReadU16(sound, test::WritePnParaAt);
    const uint16_t pnMac = test::ReadU16(sound, test::WritePnMacAt);
    struct TCase {
        const char* name;
        size_t at;
        uint32_t value;
        bool wide;
    };
    const TCase cases[] = {
        {"text ending before it starts", test::WriteFcMacAt, 100, true},
        {"text ending beyond the file", test::WriteFcMacAt, 0x7FFFFFF0, true},
        {"paragraph pages inside the text", test::WritePnParaAt, 0, false},
        {"footnote table before the paragraph pages", test::WritePnFntbAt, static_cast<uint32_t>(pnPara - 1), false},
        {"font table beyond the pages", test::WritePnFfntbAt, static_cast<uint32_t>(pnMac + 1), false},
        {"page count beyond the file", test::WritePnMacAt, 0xFFFF, false},
        {"wrong tool word", 4, 0x1234, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes bytes = sound;
        if (c.wide) {
            test::PatchU32(bytes, c.at, c.value);
        } else {
            test::PatchU16(bytes, c.at, static_cast<uint16_t>(c.value));
        }
        const TLoaded loaded = ReadBytes(bytes);
        EXPECT_FALSE(loaded.Read);
        EXPECT_EQ((std::vector<std::string>{FailureMessage}), loaded.Messages);
        EXPECT_EQ((std::vector<std::string>{""}), Texts(loaded));
        EXPECT_FALSE(loaded.Document->OpenedWithDataLosses);
    }
    // Cut anywhere inside its pages, the file no longer holds its tables.
    for (size_t size : {size_t{0}, size_t{100}, size_t{128}, sound.size() - 128, sound.size() - 1}) {
        SCOPED_TRACE(size);
        const TLoaded loaded = ReadBytes(TBytes(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_FALSE(loaded.Read);
        EXPECT_EQ(1u, loaded.Messages.size());
        EXPECT_EQ((std::vector<std::string>{""}), Texts(loaded));
    }
}

TEST(WriteReader, WordForDosFilesReadTheirTextThroughTheOemPage) {
    TWriteFixture f;
    f.WordForDos = true;
    f.Text = "Caf\x82 \xC4\xC4 ok\x0B" "next\r\n";  // 0x82 is e acute in the PC's page
    TWriteParProps drawing;
    drawing.Special = 0x10;  // not a picture in these files
    drawing.LineSpacing = 0xFFB0;
    f.ParRuns = {StoredRun(0, WriteParRecord(drawing))};
    const TBytes bytes = f.Build();
    EXPECT_EQ(0, test::ReadU16(bytes, test::WritePnMacAt));
    const TLoaded loaded = ReadBytes(bytes);
    ASSERT_TRUE(loaded.Read);
    ASSERT_EQ(1, loaded.Document->ParagraphCount());
    const std::string text = test::PositionsText(loaded.Document->Paragraph(0));
    EXPECT_EQ("Caf\xE9 ", text.substr(0, 5));
    EXPECT_EQ(" ok<3>next<2>", text.substr(7));
    for (char c : text.substr(5, 2)) {
        EXPECT_GE(static_cast<uint8_t>(c), 32) << text;  // a stand-in, never a control
    }
    EXPECT_EQ(240, loaded.Document->Paragraph(0).Attributes[paLineSpacing]);

    // Page numbers beyond the file: refused, never shown as text.
    TBytes damaged = bytes;
    test::PatchU16(damaged, test::WritePnFfntbAt, 0x4000);
    const TLoaded refused = ReadBytes(damaged);
    EXPECT_FALSE(refused.Read);
    EXPECT_EQ(1u, refused.Messages.size());
}

TEST(WriteReader, OpenPathDetectsWriteFilesByContent) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    struct TCase {
        const char* name;
        bool dos;
        bool damaged;
        bool read;
        int32_t format;
    };
    const TCase cases[] = {
        {"Write", false, false, true, dfWrite},
        {"Word for DOS", true, false, true, dfWrite},
        {"Word for DOS with pages beyond the file", true, true, false, dfFailed},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TWriteFixture f;
        f.WordForDos = c.dos;
        f.Text = "Detected\r\n";
        TBytes bytes = f.Build();
        if (c.damaged) {
            test::PatchU16(bytes, test::WritePnFfntbAt, 0x4000);
        }
        test::TRecordingMessageBox messages;
        TDocumentPictureSink sink;
        TFormatServices services{messages, *codePages};
        services.Pictures = &sink;
        TDocument document;
        TDocOpeningOptions options;
        options.FromMemory = true;
        options.MemoryData = bytes.data();
        options.MemorySize = static_cast<int32_t>(bytes.size());
        options.Format = dfDetect;
        EXPECT_EQ(c.read, LoadDocument(document, options, services));
        EXPECT_EQ(c.format, options.Format);
        if (c.read) {
            EXPECT_EQ((std::vector<std::string>{"Detected<2>"}), test::ParagraphTexts(document));
        }
    }
}

}  // namespace
}  // namespace quillane
