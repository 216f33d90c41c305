#include "formats/write/WriteReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "formats/DocumentFormat.h"
#include "formats/DocumentLoader.h"
#include "formats/DocumentPictureSink.h"
#include "formats/Utf8Text.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "support/Corpus.h"
#include "support/DocText.h"
#include "support/FakeFontSystem.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

const char* const GenuineFile = "streetshuffle__README.WRI";

struct TLoaded {
    std::unique_ptr<TDocument> Document;
    bool Read = false;
    std::vector<std::string> Messages;
    int32_t Format = dfFailed;
};

// The registry enumerates the faces when it is made: they must be there
// first.
test::TFakeFontSystem& WithStandardFaces(test::TFakeFontSystem& system) {
    system.Faces = test::StandardFakeFaces();
    return system;
}

class TWriteCorpus : public ::testing::Test {
protected:
    TLoaded LoadFile(const std::filesystem::path& path) {
        TFormatServices services{messages_, *codePages_, nullptr, &fonts_};
        services.Pictures = &sink_;
        TLoaded loaded;
        loaded.Document = std::make_unique<TDocument>();
        TDocOpeningOptions options;
        options.FileName = path.string();
        loaded.Read = LoadDocument(*loaded.Document, options, services);
        loaded.Format = options.Format;
        loaded.Messages = messages_.Shown;
        messages_.Shown.clear();
        return loaded;
    }

    TLoaded ReadBytes(const std::string& bytes) {
        TFormatServices services{messages_, *codePages_, nullptr, &fonts_};
        services.Pictures = &sink_;
        TLoaded loaded;
        loaded.Document = std::make_unique<TDocument>();
        TDocOpeningOptions options;
        options.FileName = "mutated.wri";
        loaded.Read = ReadWrite(*loaded.Document, TByteView(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                                options, services);
        if (loaded.Read) {
            FinishLoadedDocument(*loaded.Document, options);
        }
        loaded.Messages = messages_.Shown;
        messages_.Shown.clear();
        return loaded;
    }

    test::TFakeFontSystem system_;
    TFontManager fonts_{WithStandardFaces(system_)};
    std::unique_ptr<TCodePageConverter> codePages_ = CreateCodePageConverter(437, 1252);
    test::TRecordingMessageBox messages_;
    TDocumentPictureSink sink_;
};

void CheckStreams(const TDocument& document) {
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        EXPECT_NO_THROW(CheckTextStream(p.Text, p.Positions)) << "paragraph " << i;
    }
}

std::string Normalized(std::string text) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out.push_back(text[i]);
    }
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

TEST_F(TWriteCorpus, GenuineFileOpensWithItsFontsFormatsAndText) {
    QUILLANE_REQUIRE_CORPUS("wri");
    const TLoaded loaded = LoadFile(*test::CorpusFolder("wri") / GenuineFile);
    ASSERT_TRUE(loaded.Read) << (loaded.Messages.empty() ? "" : loaded.Messages[0]);
    EXPECT_EQ(dfWrite, loaded.Format);
    const TDocument& d = *loaded.Document;
    CheckStreams(d);
    EXPECT_FALSE(d.OpenedWithDataLosses);
    ASSERT_EQ(66, d.ParagraphCount());
    // The title: centred, 24 points, bold and underlined, in the one font
    // of the file's table.
    const TParagraph& title = d.Paragraph(0);
    EXPECT_EQ("Street Shuffle ver 1.5 Shareware<2>", test::PositionsText(title));
    EXPECT_EQ(1, title.Attributes[paAlignment]);
    const TCharAttrs a = AttributesAt(title.Text, PositionToOffset(title.Text, title.PositionCount(), 0),
                                      d.DefaultCharAttrs);
    EXPECT_EQ("Arial", fonts_.Entry(a[caFont]).Name);
    EXPECT_EQ(48, a[caSize]);
    EXPECT_EQ(1, a[caBold]);
    EXPECT_EQ(1, a[caUnderline]);
    // The bulleted requirements are indented by an inch.
    const TParagraph& bullet = d.Paragraph(8);
    EXPECT_EQ("\x95 PC-Compatable", test::PositionsText(bullet).substr(0, 15));
    EXPECT_EQ(1440, bullet.Attributes[paLeftIndent]);
    EXPECT_EQ(0, bullet.Attributes[paFirstIndent]);
    EXPECT_EQ(240, bullet.Attributes[paLineSpacing]);
}

TEST_F(TWriteCorpus, GenuineFileTextEqualsTheReferenceText) {
    QUILLANE_REQUIRE_CORPUS("wri");
#ifndef QUILLANE_REFERENCE_TEXT
    GTEST_SKIP() << "skipped: no reference text in this build";
#else
    const std::filesystem::path path = *test::CorpusFolder("wri") / GenuineFile;
    const std::string command = "sh '" + std::string(QUILLANE_REFERENCE_TEXT) + "' '" + path.string() + "' 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        const int status = pclose(pipe);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
            GTEST_SKIP() << "skipped: LibreOffice is not installed";
        }
    }
    while (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    ASSERT_FALSE(output.empty());
    ASSERT_EQ(".txt", std::filesystem::path(output).extension().string()) << "LibreOffice made no text of the file";
    const TLoaded loaded = LoadFile(path);
    ASSERT_TRUE(loaded.Read);
    const std::string ours = DocumentToUtf8(*loaded.Document, fonts_, 1252);
    EXPECT_EQ(Normalized(test::ReadWholeFile(output)), Normalized(ours));
#endif
}

TEST_F(TWriteCorpus, EveryWriteFileOpensOrFailsCleanly) {
    QUILLANE_REQUIRE_CORPUS("wri");
    for (const auto& path : test::CorpusFiles("wri")) {
        SCOPED_TRACE(path.filename().string());
        const TLoaded loaded = LoadFile(path);
        if (loaded.Read) {
            EXPECT_EQ(dfWrite, loaded.Format);
            EXPECT_TRUE(loaded.Messages.empty());
            CheckStreams(*loaded.Document);
        } else {
            EXPECT_EQ(1u, loaded.Messages.size());
            EXPECT_EQ(1, loaded.Document->ParagraphCount());
        }
    }
}

TEST_F(TWriteCorpus, WordForDosFilesShowTheirTextWithoutTheirHeaders) {
    QUILLANE_REQUIRE_CORPUS("wri");
    struct TCase {
        const char* file;
        const char* first;
    };
    const TCase cases[] = {
        {"poi__document_MSWriteOld.wri", "ETSI/TC GSM<2>"},
        {"tika__testMSWriteFile.wri", "ISO/IEC JTC1/SC18/WG8 N<2>"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.file);
        const TLoaded loaded = LoadFile(*test::CorpusFolder("wri") / c.file);
        ASSERT_TRUE(loaded.Read);
        EXPECT_EQ(dfWrite, loaded.Format);
        EXPECT_EQ(c.first, test::PositionsText(loaded.Document->Paragraph(0)));
        EXPECT_TRUE(loaded.Document->OpenedWithDataLosses);  // their running heads
        // Text bytes only: no byte of the file's tables reaches the text.
        for (int32_t i = 0; i < loaded.Document->ParagraphCount(); ++i) {
            const TParagraph& p = loaded.Document->Paragraph(i);
            for (int32_t k = 0; k < p.PositionCount(); ++k) {
                const uint8_t code = p.Positions.Data()[k];
                EXPECT_TRUE(code >= 32 || code == spParagraphEnd || code == spTab || code == spLineBreak ||
                            code == spPageBreak || code == spNonbreakingSpace || code == spOptionalHyphen)
                    << "paragraph " << i << " position " << k << " code " << int{code};
            }
        }
    }
}

// Truncations at and between pages, and seeded byte changes over the header
// and the tables: every variation reads or fails with the message, never
// leaving a broken text stream.
TEST_F(TWriteCorpus, MutatedFilesReadOrFailCleanly) {
    QUILLANE_REQUIRE_CORPUS("wri");
    std::mt19937 random(20240611);
    for (const auto& path : test::CorpusFiles("wri")) {
        SCOPED_TRACE(path.filename().string());
        const std::string original = test::ReadWholeFile(path);
        const auto check = [&](const std::string& bytes) {
            const TLoaded loaded = ReadBytes(bytes);
            if (loaded.Read) {
                CheckStreams(*loaded.Document);
            } else {
                EXPECT_EQ(1u, loaded.Messages.size());
                EXPECT_EQ((std::vector<std::string>{""}), test::ParagraphTexts(*loaded.Document));
            }
        };
        for (size_t size = 0; size < original.size(); size += original.size() / 16 + 37) {
            check(original.substr(0, size));
        }
        const size_t tables = (original.size() / 128 > 8 ? original.size() - 128 * 8 : 0);
        for (int round = 0; round < 200; ++round) {
            std::string bytes = original;
            for (int k = 0; k < 6; ++k) {
                // Half the changes in the header, half in the last pages.
                const size_t at = (k % 2 == 0) ? random() % 128 : tables + random() % (original.size() - tables);
                bytes[at] = static_cast<char>(random() % 4 == 0 ? 0xFF : random() & 0xFF);
            }
            check(bytes);
        }
    }
}

}  // namespace
}  // namespace quillane
