#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "formats/ReadBuffer.h"
#include "model/Document.h"
#include "support/DocText.h"
#include "support/MemoryFile.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

using test::ParagraphTexts;
using Texts = std::vector<std::string>;

class PlainTextRead : public testing::Test {
protected:
    test::TRecordingMessageBox messages;
    std::unique_ptr<TCodePageConverter> codePages = CreateCodePageConverter(437, 1252);
    TFormatServices services{messages, *codePages, nullptr};

    // Reads bytes from a file-like source, as the open workflow does.
    Texts ReadFile(const std::string& bytes, int32_t format, TDocument& document) {
        test::TMemoryFile file(bytes);
        TReadBuffer in(file, "test.txt", format, services);
        in.Fill();
        TDocOpeningOptions options;
        options.Format = format;
        options.FileName = "test.txt";
        EXPECT_TRUE(ReadPlainText(document, in, options, services));
        FinishLoadedDocument(document, options);
        lastOptions = options;
        return ParagraphTexts(document);
    }
    Texts ReadFile(const std::string& bytes, int32_t format = dfAnsiText) {
        TDocument document;
        return ReadFile(bytes, format, document);
    }

    TDocOpeningOptions lastOptions;
};

TEST_F(PlainTextRead, LineEndsAndSpecialBytes) {
    struct Case {
        std::string bytes;
        Texts paragraphs;
    };
    const Case cases[] = {
        {"", {"<2>"}},
        {"a\r\nb", {"a<2>", "b<2>"}},
        {"a\n\rb", {"a<2>", "b<2>"}},
        {"a\n\nb", {"a<2>", "<2>", "b<2>"}},  // Unix blank line kept
        {"a\r\rb", {"a<2>", "<2>", "b<2>"}},
        {"a\r\n\r\nb", {"a<2>", "<2>", "b<2>"}},
        {"a\rb\n", {"a<2>", "b<2>"}},
        {"\n", {"<2>"}},
        {"\n\n", {"<2>", "<2>"}},
        {"\tx\x97y\xA0z\x01w", {"<5>x<10>y<8>zw<2>"}},
        {"\x0B\x0C\x10\x1F\x96", {"<3><4><9><12><11><2>"}},
        {"a\\b{c}", {"a\\b{c}<2>"}},
        {std::string("a\0b", 3), {"ab<2>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(c.paragraphs, ReadFile(c.bytes));
    }
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(PlainTextRead, CountsParagraphsAndCharacters) {
    ReadFile("ab\r\n\tc\r\n");
    EXPECT_EQ(2, lastOptions.ParagraphCount);
    EXPECT_EQ(4, lastOptions.CharacterCount);
}

TEST_F(PlainTextRead, EveryParagraphIsAValidNormalizableStream) {
    TDocument document;
    ReadFile("one\ttwo\r\n\x96three", dfAnsiText, document);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        TParagraph& p = document.Paragraph(i);
        CheckTextStream(p.Text, p.Positions);
        EXPECT_TRUE(p.EndsWithParagraphEnd());
        EXPECT_EQ(1, p.Attributes[paWidowControl]);
    }
}

TEST_F(PlainTextRead, DosTextIsConvertedFromTheOemPage) {
    EXPECT_EQ((Texts{"\xC4rger<2>"}), ReadFile("\x8Erger", dfDosText));  // cp437 0x8E is A-umlaut
    EXPECT_EQ((Texts{"+-+|<8><2>"}), ReadFile("\xDA\xC4\xBF\xB3\xFF", dfDosText));
}

TEST_F(PlainTextRead, ALineEndAcrossABufferBoundaryIsOneBreak) {
    for (int64_t boundary : {int64_t{65536}, int64_t{2 * 65536}}) {
        for (int delta = -3; delta <= 2; ++delta) {
            SCOPED_TRACE(testing::Message() << boundary << "+" << delta);
            const size_t before = static_cast<size_t>(boundary + delta);
            const Texts texts = ReadFile(std::string(before, 'x') + "\r\ny");
            ASSERT_EQ(2u, texts.size());
            EXPECT_EQ(before + 3, texts[0].size());
            EXPECT_EQ("y<2>", texts[1]);
        }
    }
}

// Sizes around the chunk size, consumed in uneven steps: every byte arrives
// once, in order, and the zero guard behind the block is never written.
TEST_F(PlainTextRead, RefillsDeliverEveryByteAndKeepTheGuard) {
    for (int64_t size : {int64_t{65535}, int64_t{65566}, int64_t{65567}, int64_t{65568}, int64_t{65569},
                         int64_t{65600}, int64_t{131100}, int64_t{131135}}) {
        for (int32_t step : {1, 7, 31, 32}) {
            SCOPED_TRACE(testing::Message() << size << " by " << step);
            std::string bytes(static_cast<size_t>(size), '\0');
            for (size_t i = 0; i < bytes.size(); ++i) {
                bytes[i] = static_cast<char>('a' + (i * 7919) % 26);
            }
            test::TMemoryFile file(bytes);
            TReadBuffer in(file, "f", dfAnsiText, services);
            std::string seen;
            in.Fill();
            while (in.Pos() < in.End()) {
                const int32_t n = std::min(step, in.End() - in.Pos());
                seen.append(reinterpret_cast<const char*>(in.Data() + in.Pos()), static_cast<size_t>(n));
                in.Advance(n);
                in.Fill();
                ASSERT_TRUE(in.GuardIntact());
            }
            EXPECT_EQ(bytes, seen);
        }
    }
}

TEST_F(PlainTextRead, AReadErrorAsksAndRetries) {
    test::TMemoryFile file("abc\r\ndef");
    file.ReadFailures = 1;
    messages.Answers = {TMessageAnswer::Retry};
    TReadBuffer in(file, "C:\\a.txt", dfAnsiText, services);
    in.Fill();
    TDocument document;
    TDocOpeningOptions options;
    ASSERT_TRUE(ReadPlainText(document, in, options, services));
    FinishLoadedDocument(document, options);
    EXPECT_EQ((Texts{"abc<2>", "def<2>"}), ParagraphTexts(document));
    EXPECT_EQ((std::vector<std::string>{"Error reading file \"C:\\a.txt\""}), messages.Shown);
}

TEST_F(PlainTextRead, CancellingAReadErrorEndsTheLoad) {
    std::string big(200000, 'x');
    test::TMemoryFile file(big);
    TReadBuffer in(file, "a.txt", dfAnsiText, services);
    in.Fill();
    file.ReadFailures = 1;  // the second chunk fails
    TDocument document;
    TDocOpeningOptions options;
    EXPECT_FALSE(ReadPlainText(document, in, options, services));
    EXPECT_EQ(1u, messages.Shown.size());
}

TEST_F(PlainTextRead, MemorySourcesAreReadInPlace) {
    const std::string bytes = "first\r\nsecond";
    TReadBuffer in(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
    TDocument document;
    TDocOpeningOptions options;
    options.FromMemory = true;
    ASSERT_TRUE(ReadPlainText(document, in, options, services));
    FinishLoadedDocument(document, options);
    EXPECT_EQ((Texts{"first<2>", "second<2>"}), ParagraphTexts(document));
}

TEST_F(PlainTextRead, TheTemplateGivesTheFirstCharacterAndParagraphFormat) {
    TDocument templateDocument;
    TParagraph& first = templateDocument.Paragraph(0);
    test::TStreamBuilder(first).Attr(caSize, 20).Attr(caBold, 1).Chars("T").End();
    first.Attributes[paSpaceAfter] = 120;
    templateDocument.DefaultCharAttrs[caLanguage] = 1033;

    const std::string bytes = "a\r\nb";
    TReadBuffer in(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
    TDocument document;
    TDocOpeningOptions options;
    ASSERT_TRUE(ReadPlainText(document, in, options, services, &templateDocument));
    FinishLoadedDocument(document, options);
    ASSERT_EQ(2, document.ParagraphCount());
    for (int32_t i = 0; i < 2; ++i) {
        const TParagraph& p = document.Paragraph(i);
        EXPECT_EQ(120, p.Attributes[paSpaceAfter]);
        const TCharAttrs lead = p.LeadingAttributes();
        EXPECT_EQ(20, lead[caSize]);
        EXPECT_EQ(1, lead[caBold]);
        EXPECT_EQ(1033, lead[caLanguage]);
    }
}

TEST_F(PlainTextRead, DetectionByFirstBytes) {
    struct Case {
        std::string bytes;
        int32_t format;
    };
    std::string write(256, '\0');
    write[0] = '\x31';
    write[1] = '\xBE';
    write[5] = '\xAB';
    write[96] = 1;
    const Case cases[] = {
        {"{\\rtf1 x}", dfRtf},
        {"{\\RTF1 x}", dfRtf},
        {"{\\rtf", dfAnsiText},  // too short
        {write, dfWrite},
        {write.substr(0, 200), dfAnsiText},  // not a multiple of 128
        {std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'), dfWord6},
        {"plain words", dfAnsiText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes.substr(0, 8)));
        test::TMemoryFile file(c.bytes);
        TReadBuffer in(file, "f", dfAnsiText, services);
        in.Fill();
        EXPECT_EQ(c.format, DetectFormat(in));
    }
}

}  // namespace
}  // namespace quillane
