// Every text file of the corpus, read and written back, as ANSI and as DOS
// text: what comes back is the input apart from what the writer changes by
// design (CR LF line ends, no final line break, a non-breaking space as a
// space, control bytes dropped, OEM characters without an ANSI equivalent
// as their stated substitutes).
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "model/Document.h"
#include "support/Corpus.h"
#include "support/MemoryFile.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

// cp437 bytes whose character code page 1252 lacks, and the byte written
// back in their place: box drawing as - | = +, shades and blocks as #,
// Greek and mathematical signs as their nearest Latin letters or signs.
const std::map<uint8_t, uint8_t> LostOemBytes = {
    {0x9E, 0x50}, {0xA9, 0xAA}, {0xB0, 0x23}, {0xB1, 0x23}, {0xB2, 0x23}, {0xB3, 0x7C}, {0xB4, 0x2B}, {0xB5, 0x2B},
    {0xB6, 0x2B}, {0xB7, 0x2B}, {0xB8, 0x2B}, {0xB9, 0x2B}, {0xBA, 0x7C}, {0xBB, 0x2B}, {0xBC, 0x2B}, {0xBD, 0x2B},
    {0xBE, 0x2B}, {0xBF, 0x2B}, {0xC0, 0x2B}, {0xC1, 0x2B}, {0xC2, 0x2B}, {0xC3, 0x2B}, {0xC4, 0x2D}, {0xC5, 0x2B},
    {0xC6, 0x2B}, {0xC7, 0x2B}, {0xC8, 0x2B}, {0xC9, 0x2B}, {0xCA, 0x2B}, {0xCB, 0x2B}, {0xCC, 0x2B}, {0xCD, 0x3D},
    {0xCE, 0x2B}, {0xCF, 0x2B}, {0xD0, 0x2B}, {0xD1, 0x2B}, {0xD2, 0x2B}, {0xD3, 0x2B}, {0xD4, 0x2B}, {0xD5, 0x2B},
    {0xD6, 0x2B}, {0xD7, 0x2B}, {0xD8, 0x2B}, {0xD9, 0x2B}, {0xDA, 0x2B}, {0xDB, 0x23}, {0xDC, 0x23}, {0xDD, 0x23},
    {0xDE, 0x23}, {0xDF, 0x23}, {0xE0, 0x61}, {0xE2, 0x47}, {0xE3, 0x70}, {0xE4, 0x53}, {0xE5, 0x73}, {0xE7, 0x74},
    {0xE8, 0x46}, {0xE9, 0x54}, {0xEA, 0x4F}, {0xEB, 0x64}, {0xEC, 0x38}, {0xED, 0x66}, {0xEE, 0x65}, {0xEF, 0x6E},
    {0xF0, 0x3D}, {0xF2, 0x3E}, {0xF3, 0x3C}, {0xF4, 0x7C}, {0xF5, 0x7C}, {0xF7, 0x7E}, {0xF9, 0xFA}, {0xFB, 0x76},
    {0xFC, 0x6E}, {0xFE, 0x2A},
};

// What the writer gives back for one input byte (the line ends are handled
// by the caller). `nbsp` is the byte that stands for a non-breaking space.
std::string ByteBack(uint8_t b, uint8_t nbsp, bool dos) {
    if (b == nbsp) {
        return " ";
    }
    switch (b) {
        case 0x09: return "\t";
        case 0x0B: return "\r\n";  // a vertical tab is a line break
        case 0x0C: return "\f";
        case 0x10: return "-";     // non-breaking hyphen
        default: break;
    }
    if (b < 32) {
        return "";  // optional hyphen and other control bytes
    }
    if (dos) {
        const auto lost = LostOemBytes.find(b);
        if (lost != LostOemBytes.end()) {
            return std::string(1, static_cast<char>(lost->second));
        }
    }
    return std::string(1, static_cast<char>(b));
}

std::string ExpectedRoundTrip(const std::string& input, bool dos, uint8_t nbsp) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < input.size(); ++i) {
        const auto b = static_cast<uint8_t>(input[i]);
        if (b == '\r' || b == '\n') {
            if (i + 1 < input.size() && (input[i + 1] == '\r' || input[i + 1] == '\n') && input[i + 1] != input[i]) {
                ++i;
            }
            lines.emplace_back();
            continue;
        }
        lines.back() += ByteBack(b, nbsp, dos);
    }
    if (lines.size() > 1 && lines.back().empty()) {
        lines.pop_back();
    }
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        out += (i ? "\r\n" : "") + lines[i];
    }
    return out;
}

class CorpusRoundTrip : public testing::TestWithParam<int32_t> {
protected:
    std::string RoundTrip(const std::filesystem::path& path, int32_t format, int oem = 437, int ansi = 1252) {
        const auto codePages = CreateCodePageConverter(oem, ansi);
        test::TRecordingMessageBox messages;
        const TFormatServices services{messages, *codePages, nullptr};
        TDocument document;
        TDocOpeningOptions opening;
        opening.FileName = path.string();
        opening.Format = format;
        EXPECT_TRUE(LoadDocument(document, opening, services));
        test::TMemoryFile out;
        EXPECT_EQ(WriteSucceeded,
                  WriteDocument(document, &out, "out", TDocSavingOptions::WholeDocument(document, format), services));
        EXPECT_TRUE(messages.Shown.empty());
        return out.Bytes();
    }
};

TEST_P(CorpusRoundTrip, EveryFileComesBackAsDesigned) {
    QUILLANE_REQUIRE_CORPUS("txt");
    const int32_t format = GetParam();
    const auto files = test::CorpusFiles("txt");
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::string input = test::ReadWholeFile(path);
        const std::string expected = ExpectedRoundTrip(input, format == dfDosText, format == dfDosText ? 0xFF : 0xA0);
        const std::string actual = RoundTrip(path, format);
        EXPECT_EQ(expected.size(), actual.size());
        EXPECT_TRUE(expected == actual) << "first difference at byte "
                                        << std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first - expected.begin();
    }
}

INSTANTIATE_TEST_SUITE_P(AnsiAndDos, CorpusRoundTrip, testing::Values(dfAnsiText, dfDosText),
                         [](const testing::TestParamInfo<int32_t>& param) {
                             return param.param == dfAnsiText ? "Ansi" : "Dos";
                         });

// Russian DOS text in code page 866 survives whole when the ANSI side is
// the Cyrillic page 1251.
TEST_F(CorpusRoundTrip, RussianDosTextSurvivesWithCyrillicPages) {
    QUILLANE_REQUIRE_CORPUS("txt");
    const auto folder = test::CorpusFolder("txt");
    const auto path = *folder / "tika__russian.cp866.txt";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "skipped: tika__russian.cp866.txt not in the corpus";
    }
    const std::string input = test::ReadWholeFile(path);
    // Every character of the file exists in both pages; 0xFF is the
    // non-breaking space of page 866.
    EXPECT_EQ(ExpectedRoundTrip(input, false, 0xFF), RoundTrip(path, dfDosText, 866, 1251));
}

}  // namespace
}  // namespace quillane
