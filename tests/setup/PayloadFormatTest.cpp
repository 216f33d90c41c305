// The payload's format rules: names, the directory's records, the trailer,
// times and the names' code page.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "setup/NameCodePage.h"
#include "setup/PayloadFormat.h"
#include "setup/PayloadTime.h"
#include "setup/PayloadBytes.h"

namespace quillane {
namespace {

using test::Le32;
using test::Record;

TEST(PayloadNames, AcceptsRelativeWindowsNames) {
    for (const char* name : {"Quillane.exe", "Docs\\Guide\\a b.txt", "con1.txt", "COM0", "LPT10", "nul-x",
                             ".hidden", "a..b", " lead", "\xC9t\xE9.txt" /* Été */, "x~1.~0", "CONSOLE"}) {
        SCOPED_TRACE(name);
        EXPECT_NO_THROW(CheckEntryName(name));
    }
}

TEST(PayloadNames, RefusesNamesThatLeaveOrBreakTheDestination) {
    const std::string control = std::string("a") + '\x01' + "b";
    for (const std::string& name : {std::string(""), std::string("..\\..\\Windows\\x"), std::string("..\\evil.txt"),
                                    std::string("C:\\evil.txt"), std::string("C:evil.txt"), std::string("\\evil.txt"),
                                    std::string("\\\\server\\share\\x"), std::string("a:b"), std::string("x:stream"),
                                    std::string("a/b"), std::string("x\\..\\y"), std::string("x\\.\\y"),
                                    std::string("."), std::string(".."), std::string("a\\"), std::string("a\\\\b"),
                                    std::string("CON"), std::string("con.txt"), std::string("Docs\\Nul"),
                                    std::string("aux .txt"), std::string("COM1"), std::string("lpt9.log"),
                                    std::string("COM\xB9"), std::string("conin$"), std::string("trailing."),
                                    std::string("trailing "), std::string("dir.\\x"), control,
                                    std::string("a<b"), std::string("a>b"), std::string("a\"b"),
                                    std::string("a|b"), std::string("a?b"), std::string("a*b"),
                                    std::string("bad\x81") /* unassigned in Windows-1252 */}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(CheckEntryName(name), TPayloadError);
    }
}

TEST(PayloadNames, ClashesWithoutRegardToCase) {
    struct Case {
        std::vector<std::string> names;
        bool clash;
    };
    const Case cases[] = {
        {{"a.txt", "b.txt", "Docs\\a.txt"}, false},
        {{"a.txt", "A.TXT"}, true},
        {{"\xE9t\xE9", "\xC9T\xC9"}, true},       // été / ÉTÉ
        {{"Docs\\x", "docs"}, true},               // a file where a folder is needed
        {{"docs", "DOCS\\x"}, true},
        {{"Docs\\x", "Docs\\y", "Docs2"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names.back());
        TEntryNameSet set;
        bool thrown = false;
        try {
            for (const auto& name : c.names) {
                set.Add(name);
            }
        } catch (const TPayloadError&) {
            thrown = true;
        }
        EXPECT_EQ(c.clash, thrown);
    }
}

TEST(PayloadTrailer, FindsTheDirectoryOnlyBetweenImageAndTrailer) {
    struct Case {
        uint32_t first, second;
        uint64_t fileSize;
        bool valid;
    };
    const Case cases[] = {
        {1000, 1000, 1100, true},
        {1000, 1001, 1100, false},      // values differ
        {0, 0, 1100, false},            // zero padding of a bare image
        {1092, 1092, 1100, false},      // no room for a directory
        {1091, 1091, 1100, true},
        {5000, 5000, 1100, false},      // beyond the file
        {0xFFFFFFF0u, 0xFFFFFFF0u, 0x100000000ull + 10, false},  // file past 4 GB
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        const std::string trailer = Le32(c.first) + Le32(c.second);
        const auto* bytes = reinterpret_cast<const unsigned char*>(trailer.data());
        if (c.valid) {
            EXPECT_EQ(c.first, DecodeTrailer(bytes, c.fileSize));
        } else {
            EXPECT_THROW(DecodeTrailer(bytes, c.fileSize), TPayloadError);
        }
    }
}

std::vector<TAttachedFile> Parse(const std::string& records, uint32_t directoryOffset) {
    return ParseDirectory(reinterpret_cast<const unsigned char*>(records.data()), records.size(), directoryOffset);
}

TEST(PayloadDirectory, WorksOutCompressedSizesAndDropsTheTerminator) {
    const std::string records =
        Record("a.txt", 5, 40000.25, 100) + Record("Docs\\b", 0, 1.0, 130) + Record("", 0, 0, 200);
    const std::vector<TAttachedFile> expected = {{"a.txt", 5, 40000.25, 100, 30}, {"Docs\\b", 0, 1.0, 130, 70}};
    EXPECT_EQ(expected, Parse(records, 200));
    EXPECT_TRUE(Parse(Record("", 0, 0, 200), 200).empty());
}

TEST(PayloadDirectory, RefusesEveryBrokenRecord) {
    const std::string good = Record("a", 1, 1.0, 100);
    const std::string end = Record("", 0, 0, 200);
    const std::string cases[] = {
        "",                                                   // nothing at all
        good,                                                 // no terminator
        good + end.substr(0, 10),                             // terminator cut short
        good.substr(0, 8),                                    // record cut short
        std::string(1, '\x09') + "a",                         // name running past the end
        good + end + "x",                                     // bytes after the terminator
        good + Record("", 1, 0, 200),                         // terminator with a size
        good + Record("", 0, 1.0, 200),                       // terminator with a time
        good + Record("", 0, -0.0, 200),                      // ... even a negative zero
        good + Record("", 0, 0, 199),                         // terminator offset not the directory's
        Record("a", -1, 1.0, 100) + end,                      // negative size
        Record("a", 1, -1.0, 100) + end,                      // time before 1899
        Record("a", 1, 2958466.0, 100) + end,                 // time after 9999
        Record("a", 1, std::nan(""), 100) + end,              // time not a number
        Record("a", 1, std::numeric_limits<double>::infinity(), 100) + end,
        Record("a", 1, 1.0, 200) + end,                       // stream at the directory
        Record("a", 1, 1.0, 300) + end,                       // stream after it
        Record("a", 1, 1.0, 150) + Record("b", 1, 1.0, 100) + end,  // offsets decreasing
        Record("a", 1, 1.0, 150) + Record("b", 1, 1.0, 150) + end,  // an empty stream
        Record("a", 1, 1.0, 100) + Record("A", 1, 1.0, 150) + end,  // same name
        Record("..\\x", 1, 1.0, 100) + end,                   // hostile name
        Record("", 0, 0, 200) + Record("", 0, 0, 200),        // two terminators
    };
    for (const std::string& records : cases) {
        SCOPED_TRACE(testing::PrintToString(records));
        EXPECT_THROW(Parse(records, 200), TPayloadError);
    }
}

TEST(PayloadDirectory, EncodesWhatItParses) {
    const std::vector<TAttachedFile> files = {{"Quillane.exe", 123456, 45000.5, 1000, 500},
                                              {"Docs\\\xC9t\xE9.txt", 0, 0.0, 1500, 60}};
    const std::string records = EncodeDirectory(files, 1560);
    EXPECT_EQ(files, Parse(records, 1560));
    // The encoder refuses what the reader would.
    EXPECT_THROW(EncodeDirectory({{"CON", 1, 1.0, 10, 0}}, 100), TPayloadError);
    EXPECT_THROW(EncodeDirectory({{"a", 1, 1.0, 10, 0}, {"a", 1, 1.0, 20, 0}}, 100), TPayloadError);
    EXPECT_THROW(EncodeDirectory({{"a", 1, 1.0, 100, 0}}, 100), TPayloadError);
}

TEST(PayloadTime, ConvertsDaysAndCalendar) {
    struct Case {
        double days;
        TLocalTime time;
    };
    const Case cases[] = {
        {0.0, {1899, 12, 30, 0, 0, 0, 0}},
        {1.0, {1899, 12, 31, 0, 0, 0, 0}},
        {2.0, {1900, 1, 1, 0, 0, 0, 0}},
        {25569.0, {1970, 1, 1, 0, 0, 0, 0}},
        {29221.75, {1980, 1, 1, 18, 0, 0, 0}},
        {36526.5, {2000, 1, 1, 12, 0, 0, 0}},
        {45351.0, {2024, 2, 29, 0, 0, 0, 0}},
        {2958465.0, {9999, 12, 31, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.days);
        EXPECT_EQ(c.time, LocalTimeFromPayloadTime(c.days));
        EXPECT_EQ(c.days, PayloadTimeFromLocalTime(c.time));
    }
    // Rounded to the nearest millisecond, never into the year 10000.
    const TLocalTime t = LocalTimeFromPayloadTime(PayloadTimeFromLocalTime({2001, 2, 3, 4, 5, 6, 789}));
    EXPECT_EQ((TLocalTime{2001, 2, 3, 4, 5, 6, 789}), t);
    EXPECT_EQ((TLocalTime{9999, 12, 31, 23, 59, 59, 999}), LocalTimeFromPayloadTime(std::nextafter(2958466.0, 0.0)));
    EXPECT_EQ((TLocalTime{2009, 2, 13, 23, 31, 30, 0}), CalendarTimeFromUnixSeconds(1234567890));
    EXPECT_EQ((TLocalTime{1969, 12, 31, 23, 59, 59, 0}), CalendarTimeFromUnixSeconds(-1));
}

TEST(PayloadTime, DosTimesHoldOnly1980To2107AtTwoSeconds) {
    EXPECT_FALSE(DosDateTime({1979, 12, 31, 23, 59, 59, 0}));
    EXPECT_FALSE(DosDateTime({2108, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(0x00210000u, DosDateTime({1980, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(DosDateTime({2020, 5, 6, 7, 8, 10, 0}), DosDateTime({2020, 5, 6, 7, 8, 11, 999}));
    EXPECT_NE(DosDateTime({2020, 5, 6, 7, 8, 10, 0}), DosDateTime({2020, 5, 6, 7, 8, 12, 0}));
}

TEST(PayloadNameCodePage, ConvertsWindows1252BothWays) {
    EXPECT_EQ("\xE2\x82\xAC \xC3\xA9 \xC5\xB8", Cp1252ToUtf8("\x80 \xE9 \x9F"));
    EXPECT_EQ("\x80 \xE9 \x9F", Utf8ToCp1252("\xE2\x82\xAC \xC3\xA9 \xC5\xB8"));
    EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD"));      // a CJK character
    EXPECT_FALSE(Utf8ToCp1252("\xF0\x9F\x98\x80"));  // outside the BMP
    EXPECT_FALSE(Utf8ToCp1252("\xC3"));              // cut short
    EXPECT_FALSE(Utf8ToCp1252("\xC2\x81"));          // U+0081, unassigned in the page
    EXPECT_EQ("\xC9T\xC9 \x8A\x9F", FoldCp1252("\xE9t\xE9 \x9A\xFF"));
}

}  // namespace
}  // namespace quillane
