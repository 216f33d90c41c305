// Every RTF of the shared corpus opens, from its file and from memory, into
// a well-formed document; mutated copies never crash the reader either.
#include <gtest/gtest.h>

#include <random>

#include "formats/rtf/RtfFixture.h"
#include "model/TextStream.h"
#include "support/Corpus.h"

namespace quillane {
namespace {

class RtfCorpus : public test::RtfTest {
protected:
    RtfCorpus() { messages.Answers.clear(); }

    void ExpectWellFormed(const TDocument& doc) {
        ASSERT_GE(doc.ParagraphCount(), 1);
        for (int32_t i = 0; i < doc.ParagraphCount(); ++i) {
            const TParagraph& p = doc.Paragraph(i);
            ASSERT_NO_THROW(CheckTextStream(p.Text, p.Positions)) << "paragraph " << i;
            ASSERT_TRUE(p.EndsWithParagraphEnd()) << "paragraph " << i;
        }
    }
};

TEST_F(RtfCorpus, EveryFileOpens) {
    QUILLANE_REQUIRE_CORPUS("rtf");
    int withLosses = 0;
    for (const auto& path : test::CorpusFiles("rtf")) {
        SCOPED_TRACE(path.filename().string());
        document = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fonts->TimesNewRomanIndex()));
        options = TDocOpeningOptions{};
        options.FileName = path.string();
        ASSERT_TRUE(LoadDocument(*document, options, services));
        // A few files of the corpus are broken on purpose and open as text.
        EXPECT_TRUE(options.Format == dfRtf || path.filename().string().find("_fail_") != std::string::npos);
        ExpectWellFormed(*document);
        withLosses += document->OpenedWithDataLosses ? 1 : 0;

        const std::vector<std::string> fromFile = test::ParagraphTexts(*document);
        EXPECT_EQ(test::ParagraphTexts(Load(test::ReadWholeFile(path))), fromFile);
    }
    EXPECT_TRUE(messages.Shown.empty());
    std::cout << "[          ] " << withLosses << " corpus files opened with data losses\n";
}

std::string Mutate(std::string bytes, std::mt19937& random) {
    static const char* const Pieces[] = {"{", "}", "\\", "\\'", "\\u-5", "\\bin99 ", "{\\*", "{\\pict ", "\\par",
                                         "{\\fonttbl", "\\fs999999999999", "\\uc9", "\\'8"};
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
        const size_t at = random() % bytes.size();
        switch (random() % 4) {
            case 0: bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8))); break;
            case 1: bytes.resize(at); break;
            case 2: bytes.insert(at, Pieces[random() % std::size(Pieces)]); break;
            default: bytes[at] = static_cast<char>(random() % 256); break;
        }
    }
    return bytes;
}

TEST_F(RtfCorpus, MutatedFilesNeverBreakTheReader) {
    QUILLANE_REQUIRE_CORPUS("rtf");
    std::mt19937 random(20240611);
    int runs = 0;
    for (const auto& path : test::CorpusFiles("rtf")) {
        const std::string original = test::ReadWholeFile(path);
        if (original.size() > 200000) {
            continue;  // the big ones add time, not cases
        }
        for (int i = 0; i < 6; ++i, ++runs) {
            const std::string bytes = Mutate(original, random);
            SCOPED_TRACE(path.filename().string() + " mutation " + std::to_string(i));
            TDocument& doc = i % 2 ? LoadFile(bytes) : Load(bytes);
            if (loaded) {  // a file that no longer starts with a group is refused
                ExpectWellFormed(doc);
            }
        }
    }
    EXPECT_GT(runs, 100);
}

}  // namespace
}  // namespace quillane
