#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "formats/PlainText.h"
#include "model/Document.h"
#include "support/DocText.h"
#include "support/MemoryFile.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

class PlainTextWrite : public testing::Test {
protected:
    test::TRecordingMessageBox messages;
    std::unique_ptr<TCodePageConverter> codePages = CreateCodePageConverter(437, 1252);
    TFormatServices services{messages, *codePages, nullptr};
    TDocument document;

    // A paragraph per string; "<n>" in a string is the special character n.
    void Build(const std::vector<std::string>& paragraphs) {
        for (size_t i = 0; i < paragraphs.size(); ++i) {
            TParagraph& p = i == 0 ? document.Paragraph(0) : document.AddParagraph();
            test::TStreamBuilder b(p);
            const std::string& s = paragraphs[i];
            for (size_t j = 0; j < s.size(); ++j) {
                if (s[j] == '<') {
                    const size_t close = s.find('>', j);
                    b.Special(static_cast<uint8_t>(std::stoi(s.substr(j + 1, close - j - 1))));
                    j = close;
                } else {
                    b.Chars(std::string(1, s[j]));
                }
            }
            b.End();
        }
    }

    std::string ToFile(TDocSavingOptions options) {
        test::TMemoryFile file("stale bytes that must go away");
        EXPECT_EQ(WriteSucceeded, WriteDocument(document, &file, "out.txt", options, services));
        return file.Bytes();
    }
    std::string ToFile(int32_t format = dfAnsiText, uint8_t flags = 0) {
        TDocSavingOptions options = TDocSavingOptions::WholeDocument(document, format);
        options.Flags = flags;
        return ToFile(options);
    }
    std::string ToMemory(uint8_t flags = 0) {
        TFlexibleString memory;
        TDocSavingOptions options = TDocSavingOptions::WholeDocument(document, dfAnsiText);
        options.ToMemory = true;
        options.Memory = &memory;
        options.Flags = flags;
        EXPECT_EQ(WriteSucceeded, WriteDocument(document, nullptr, "", options, services));
        return std::string(reinterpret_cast<const char*>(memory.Data()), static_cast<size_t>(memory.Length()));
    }
};

TEST_F(PlainTextWrite, AFileEndsWithoutALineBreakMemoryKeepsIt) {
    Build({"a", "b"});
    EXPECT_EQ("a\r\nb", ToFile());
    EXPECT_EQ("a\r\nb\r\n", ToMemory());
}

TEST_F(PlainTextWrite, SpecialCharactersNormallyAndFlattened) {
    Build({"t<5>l<3>p<4>n<8>h<9>L<10>S<11>o<12>i<6>j<7>"});
    EXPECT_EQ("t\tl\r\np\fn h-L\x97S\x96oi j ", ToFile());
    EXPECT_EQ("t l p n h-L-S-o-i j ", ToFile(dfAnsiText, sfFlatten));
    EXPECT_EQ("t l p n h-L-S-o-i j  ", ToMemory(sfFlatten));  // the paragraph end too
}

TEST_F(PlainTextWrite, APartialRangeWritesFromAndUpToTheOffsets) {
    Build({"abc", "middle", "xyz"});
    TDocSavingOptions options = TDocSavingOptions::WholeDocument(document, dfAnsiText);
    options.FirstParagraph = 0;
    options.FirstOffset = 1;
    options.LastParagraph = 2;
    options.LastOffset = 2;
    EXPECT_EQ("bc\r\nmiddle\r\nxy", ToFile(options));
    options.LastParagraph = 0;
    options.LastOffset = 2;
    EXPECT_EQ("b", ToFile(options));
}

TEST_F(PlainTextWrite, DosTextGoesBackThroughTheOemPage) {
    Build({"\xC4rger"});
    EXPECT_EQ("\x8Erger", ToFile(dfDosText));
}

TEST_F(PlainTextWrite, LargeDocumentsFlushInChunks) {
    const std::string line(1000, 'q');
    std::vector<std::string> paragraphs(300, line);
    Build(paragraphs);
    const std::string bytes = ToFile();
    EXPECT_EQ(300u * 1002u - 2u, bytes.size());
    EXPECT_EQ(line + "\r\n" + line, bytes.substr(0, 2002));
}

TEST_F(PlainTextWrite, AWriteErrorAsksRetryOrCancel) {
    Build({"text"});
    test::TMemoryFile file;
    file.WriteFailures = 1;
    messages.Answers = {TMessageAnswer::Retry};
    TDocSavingOptions options = TDocSavingOptions::WholeDocument(document, dfAnsiText);
    EXPECT_EQ(WriteSucceeded, WriteDocument(document, &file, "out.txt", options, services));
    EXPECT_EQ("text", file.Bytes());

    file.WriteFailures = 1;
    EXPECT_EQ(WriteFailed, WriteDocument(document, &file, "out.txt", options, services));
    EXPECT_EQ((std::vector<std::string>{"Error writing file \"out.txt\"", "Error writing file \"out.txt\""}),
              messages.Shown);
}

}  // namespace
}  // namespace quillane
