#include "formats/DocumentFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/CodingManager.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/TextStream.h"
#include "platform/FileSystem.h"
#include "support/Corpus.h"
#include "support/FakeFontSystem.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

// The dialogs answered from a list; the other open documents by name.
class TTestHost final : public TDocFileHost {
public:
    std::vector<std::string> Choices;  // Save As dialog, in order; then cancel
    std::vector<std::string> OpenElsewhere;
    int Saved = 0;
    bool KeptHistory = false;

    bool ChooseSaveName(const TDocument&, TSaveDialogRequest& request) override {
        if (Choices.empty()) {
            return false;
        }
        request.FileName = Choices.front();
        Choices.erase(Choices.begin());
        return true;
    }
    bool IsOpenElsewhere(const std::string& fullName, const TDocument&) override {
        for (const std::string& name : OpenElsewhere) {
            if (SamePath(name, fullName)) {
                return true;
            }
        }
        return false;
    }
    void DocumentSaved(TDocument&, bool keepHistory) override {
        ++Saved;
        KeptHistory = keepHistory;
    }
};

class DocumentFilesTest : public ::testing::Test {
protected:
    test::TTempFolder folder;
    test::TRecordingMessageBox messages;
    std::unique_ptr<TCodePageConverter> codePages = CreateCodePageConverter(437, 1252);
    test::TFakeFontSystem fontSystem;
    TFontManager fonts{fontSystem};
    TFormatServices services{messages, *codePages, nullptr, &fonts};
    TDocFileOptions options;
    TTestHost host;
    TDocumentFiles files{services, options, host};

    std::string Write(const std::string& name, const std::string& bytes) {
        test::WriteWholeFile(folder.File(name), bytes);
        return FullPathName(folder.File(name));
    }
    ::testing::AssertionResult Open(TDocument& document, const std::string& name, int32_t format = dfDetect) {
        TDocOpenRequest request;
        request.FileName = name;
        request.Format = format;
        TDocOpeningOptions loaded;
        if (files.OpenDocument(document, request, loaded)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "not opened; last message: "
                                             << (messages.Shown.empty() ? "none" : messages.Shown.back());
    }
    static void Type(TDocument& document, const std::string& text) {
        TParagraph& typed = document.AddParagraph();
        typed.AppendChars(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int32_t>(text.size()));
        typed.AppendSpecial(spParagraphEnd);
        document.SetModified(true);
    }
};

TEST(CodingManager, NamesFollowTheChosenFormat) {
    struct Case {
        const char* typed;
        int32_t format;
        const char* saved;
    };
    const Case cases[] = {
        {"letter.", dfRtf, "letter"},          {"letter", dfRtf, "letter.rtf"},
        {"letter.doc", dfRtf, "letter.doc"},   {"notes", dfDosText, "notes.txt"},
        {"C:\\my.docs\\letter", dfRtf, "C:\\my.docs\\letter.rtf"}, {"/a.b/c", dfAnsiText, "/a.b/c.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(c.saved, TCodingManager::ApplyDefaultExtension(c.typed, c.format));
    }
    EXPECT_EQ("a.bak", TCodingManager::BackupName("a.rtf"));
    EXPECT_EQ("b.bak_bak", TCodingManager::BackupName("b.BAK"));
    EXPECT_EQ("C:\\my.docs\\letter.bak", TCodingManager::BackupName("C:\\my.docs\\letter"));

    const TCodingManager coding;
    EXPECT_EQ("Rich Text Format (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|DOS Text Files (*.txt)|*.txt",
              coding.SaveFilter());
    EXPECT_EQ(dfDosText, coding.FormatOfSaveFilter(3));
    EXPECT_EQ(dfFailed, coding.FormatOfSaveFilter(4));
    EXPECT_EQ(0, coding.SaveFilterOfFormat(dfWord97));
    EXPECT_EQ(2, coding.SaveFilterOfFormat(dfAnsiText));
}

TEST_F(DocumentFilesTest, OpenTakesTheLockAndAFailedOpenLeavesNone) {
    const std::string good = Write("a.txt", "one\r\ntwo\r\n");
    TDocument document;
    ASSERT_TRUE(Open(document, good));
    EXPECT_TRUE(document.LockHandle);
    EXPECT_EQ(good, document.FileName);
    EXPECT_EQ(OpenFile(good, TFileMode::ReadWrite).Error, TFileError::SharingViolation);

    // Refused as RTF: no document, no lock, the file as it was.
    TDocument refused;
    messages.Answers = {TMessageAnswer::No};
    EXPECT_FALSE(Open(refused, Write("b.txt", "plain"), dfRtf));
    EXPECT_FALSE(refused.LockHandle);
    EXPECT_TRUE(refused.FileName.empty());
    EXPECT_TRUE(OpenFile(folder.File("b.txt"), TFileMode::ReadWrite).File);
    EXPECT_EQ("plain", test::ReadWholeFile(folder.File("b.txt")));

    TDocument missing;
    EXPECT_FALSE(Open(missing, folder.File("missing.rtf")));
    ASSERT_FALSE(messages.Shown.empty());
    EXPECT_EQ("Cannot open file \"" + FullPathName(folder.File("missing.rtf")) + "\"", messages.Shown.back());
}

TEST_F(DocumentFilesTest, SaveReplacesTheFileAndTakesTheLockAgain) {
    const std::string name = Write("a.rtf", "{\\rtf1 old\\par}");
    options.CreateBackup = true;
    TDocument document;
    ASSERT_TRUE(Open(document, name));
    Type(document, "new");
    EXPECT_EQ(srSaved, files.SaveDocument(document));
    EXPECT_EQ("{\\rtf1 old\\par}", test::ReadWholeFile(folder.File("a.bak")));
    EXPECT_NE(std::string::npos, test::ReadWholeFile(name).find("new"));
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(1, host.Saved);
    EXPECT_TRUE(host.KeptHistory);
    EXPECT_TRUE(document.LockHandle);
    EXPECT_EQ(OpenFile(name, TFileMode::ReadWrite).Error, TFileError::SharingViolation);
    // Nothing but the file and its backup.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"a.bak", "a.rtf"}), names);
}

TEST_F(DocumentFilesTest, SaveAsRefusesTheFileOfAnotherOpenDocument) {
    const std::string other = Write("a.rtf", "{\\rtf1 A\\par}");
    const std::string mine = Write("b.rtf", "{\\rtf1 B\\par}");
    TDocument document;
    ASSERT_TRUE(Open(document, mine));
    host.OpenElsewhere = {other};
    host.Choices = {other};
    EXPECT_EQ(srNotSaved, files.SaveDocumentAs(document, mine, true));
    ASSERT_EQ(1u, messages.Shown.size());
    EXPECT_EQ(0u, messages.Shown[0].find("You cannot overwrite open documents. A document with same name (\"" +
                                         other + "\")"));
    EXPECT_EQ("{\\rtf1 A\\par}", test::ReadWholeFile(other));
    EXPECT_EQ(mine, document.FileName);
}

TEST_F(DocumentFilesTest, EachSaveAsksAgainAboutLostData) {
    const std::string name = Write("a.txt", "text\r\n");
    TDocument document;
    ASSERT_TRUE(Open(document, name));
    document.OpenedWithDataLosses = true;
    document.SetModified(true);
    // Yes: saved after the question; the next save asks again (the warning
    // of one save does not silence the next).
    messages.Answers = {TMessageAnswer::Yes};
    EXPECT_EQ(srSaved, files.SaveDocument(document));
    document.OpenedWithDataLosses = true;
    messages.Answers = {TMessageAnswer::Yes};
    EXPECT_EQ(srSaved, files.SaveDocument(document));
    ASSERT_EQ(2u, messages.Shown.size());
    EXPECT_EQ(messages.Shown[0], messages.Shown[1]);
    // No: the Save As dialog (cancelled here), the file untouched.
    const std::string before = test::ReadWholeFile(name);
    messages.Answers = {TMessageAnswer::No};
    EXPECT_EQ(srNotSaved, files.SaveDocument(document));
    EXPECT_FALSE(document.OpenedWithDataLosses);
    EXPECT_EQ(before, test::ReadWholeFile(name));
}

TEST_F(DocumentFilesTest, AnUntitledDocumentWithoutADialogIsNotSaved) {
    TDocument document;
    document.Flags.Assign(dsUntitled, true);
    document.FileName = folder.File("Doc01.rtf");
    EXPECT_EQ(srNotSaved, files.SaveDocument(document));
    EXPECT_FALSE(FileStatus(folder.File("Doc01.rtf")).Exists);
}

TEST(UniformFormatting, OnlyWidowControlAndLanguageMayDiffer) {
    struct Case {
        const char* what;
        int slot;  // a character slot set on the second paragraph's text, or -1
        int parSlot;
        bool uniform;
    };
    const Case cases[] = {
        {"plain", -1, -1, true},
        {"widow control", -1, paWidowControl, true},
        {"alignment", -1, paAlignment, false},
        {"language", caLanguage, -1, true},
        {"bold", caBold, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TDocument document;
        document.LastParagraph().AppendChars(reinterpret_cast<const uint8_t*>("a"), 1);
        document.LastParagraph().AppendSpecial(spParagraphEnd);
        TParagraph& second = document.AddParagraph();
        if (c.slot >= 0) {
            second.AppendAttributeTag(c.slot, 1033);
        }
        second.AppendChars(reinterpret_cast<const uint8_t*>("b"), 1);
        second.AppendSpecial(spParagraphEnd);
        if (c.parSlot >= 0) {
            second.Attributes[c.parSlot] ^= 1;
        }
        EXPECT_EQ(c.uniform, HasUniformFormatting(document));
    }
}

}  // namespace
}  // namespace quillane
