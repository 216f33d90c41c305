// Corpus files mutated at random (bit flips, cut-offs, spliced control
// bytes and line ends) and read through every text path: no crash, no
// sanitizer report, and the document always comes out well formed.
#include <gtest/gtest.h>

#include <random>

#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "support/Corpus.h"
#include "support/MemoryFile.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

std::string Mutate(std::string bytes, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
        const size_t at = random() % bytes.size();
        switch (random() % 5) {
            case 0: bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8))); break;
            case 1: bytes.resize(at); break;
            case 2: bytes.insert(at, 1, static_cast<char>(random() % 32)); break;
            case 3: bytes.insert(at, random() % 2 ? "\r\n\r" : "\n\n\x96\xA0"); break;
            default: bytes[at] = static_cast<char>(random() % 256); break;
        }
    }
    return bytes;
}

void CheckWellFormed(TDocument& document) {
    ASSERT_GE(document.ParagraphCount(), 1);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        TParagraph& p = document.Paragraph(i);
        CheckTextStream(p.Text, p.Positions);
        ASSERT_TRUE(p.EndsWithParagraphEnd());
        for (int32_t k = 0; k + 1 < p.PositionCount(); ++k) {
            ASSERT_NE(spParagraphEnd, p.Positions[k]);
        }
        p.Normalize();
        CheckTextStream(p.Text, p.Positions);
    }
}

TEST(MutationFuzz, TextReadersSurviveMutatedCorpusFiles) {
    QUILLANE_REQUIRE_CORPUS("txt");
    std::vector<std::string> seeds;
    for (const auto& path : test::CorpusFiles("txt")) {
        seeds.push_back(test::ReadWholeFile(path));
    }
    seeds.push_back(std::string(70000, 'x') + "\r");  // a line end at a chunk edge
    const auto codePages = CreateCodePageConverter(437, 1252);
    test::TRecordingMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    std::mt19937 random(42);
    for (int round = 0; round < 600; ++round) {
        const std::string bytes = Mutate(seeds[random() % seeds.size()], random);
        for (int32_t format : {dfAnsiText, dfDosText}) {
            // From a file-like source, through the refilling buffer...
            test::TMemoryFile file(bytes);
            TReadBuffer in(file, "fuzz", format, services);
            in.Fill();
            TDocument fromFile;
            TDocOpeningOptions options;
            ASSERT_TRUE(ReadPlainText(fromFile, in, options, services));
            FinishLoadedDocument(fromFile, options);
            CheckWellFormed(fromFile);
            // ...and from memory, read in place.
            TReadBuffer memory(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
            TDocument fromMemory;
            TDocOpeningOptions memoryOptions;
            memoryOptions.FromMemory = true;
            ASSERT_TRUE(ReadPlainText(fromMemory, memory, memoryOptions, services));
            FinishLoadedDocument(fromMemory, memoryOptions);
            CheckWellFormed(fromMemory);
            if (format == dfAnsiText) {
                EXPECT_EQ(fromFile.ParagraphCount(), fromMemory.ParagraphCount());
            }
            // Writing what was read never fails.
            test::TMemoryFile out;
            EXPECT_EQ(WriteSucceeded,
                      WriteDocument(fromFile, &out, "out", TDocSavingOptions::WholeDocument(fromFile, format), services));
        }
        if (HasFatalFailure()) {
            return;
        }
    }
}

}  // namespace
}  // namespace quillane
