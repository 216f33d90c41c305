// Payloads the writer builds, read back and unpacked; and damaged ones, each
// refused as a whole before anything is unpacked.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <random>

#include "platform/MessageBox.h"
#include "setup/AttachedFiles.h"
#include "setup/ExtractFile.h"
#include "setup/PayloadInflate.h"
#include "setup/PayloadTime.h"
#include "setup/PayloadWriter.h"
#include "setup/PayloadBytes.h"
#include "support/Corpus.h"
#include "support/MemoryFile.h"

namespace quillane {
namespace {

std::unique_ptr<TAttachedFiles> ReadPayload(const std::string& bytes) {
    return std::make_unique<TAttachedFiles>(std::make_unique<test::TMemoryFile>(bytes));
}

std::string Noise(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string out(size, '\0');
    for (char& ch : out) {
        ch = static_cast<char>(random());
    }
    return out;
}

// Unpacks every entry into `folder` and returns the log's lines.
std::vector<std::string> UnpackAll(TAttachedFiles& files, const std::string& folder) {
    TInstallLog log;
    TSilentMessageBox box;
    for (const TAttachedFile& entry : files.Entries()) {
        EXPECT_EQ(TExtractOutcome::Installed, ExtractFile(files, entry, DestinationPath(folder, entry), log, box));
    }
    return log.Lines();
}

TEST(PayloadRoundTrip, UnpacksWhatWasPacked) {
    std::vector<TPayloadInput> inputs = {
        {"Quillane.exe", Noise(300000, 1), 45000.5},              // incompressible, many blocks
        {"empty.txt", "", 45000.25},
        {"Readme.txt", std::string(200000, 'x') + "end\r\n", 44000.0},
        {"Docs\\Guide\\deep\\page.htm", "<p>hello</p>", 43000.125},
        {"Docs\\\xC3\x89t\xC3\xA9 \xE2\x82\xAC.txt", "accents", 42000.0},  // "Été €.txt"
    };
    for (int i = 0; i < 300; ++i) {
        inputs.push_back({"many\\f" + std::to_string(i) + ".dat", std::string(static_cast<size_t>(i), 'a' + i % 26),
                          40000.0 + i});
    }
    const std::string image = test::FakeImage(5000);
    const std::string file = image + BuildPayload(image.size(), inputs);
    const auto files = ReadPayload(file);
    ASSERT_EQ(inputs.size(), files->Entries().size());
    EXPECT_EQ(image.size(), files->Entries()[0].Offset);
    EXPECT_EQ("Docs\\\xC9t\xE9 \x80.txt", files->Entries()[4].Name);  // stored in Windows-1252

    test::TTempFolder temp;
    const std::string folder = (temp.Path() / "Program").string();
    const auto lines = UnpackAll(*files, folder);
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(inputs[i].Name);
        const TAttachedFile& entry = files->Entries()[i];
        const std::string path = DestinationPath(folder, entry);
        // The name is UTF-8: a plain string would be taken in the ANSI page on Windows.
        EXPECT_EQ(inputs[i].Data, test::ReadWholeFile(std::filesystem::path(reinterpret_cast<const char8_t*>(path.c_str()))));
        const auto time = FileLastWriteTime(path);
        ASSERT_TRUE(time);
        EXPECT_EQ(LocalTimeFromPayloadTime(inputs[i].Time), *time);
    }
    // Folders first, each once, then the files as they land.
    EXPECT_EQ("Made Dir: " + folder, lines[0]);
    EXPECT_EQ("File Copy: " + folder + PathSeparator() + "Quillane.exe", lines[1]);
    EXPECT_EQ(5 + inputs.size(), lines.size());  // Program, Docs, Docs\Guide, Docs\Guide\deep, many
    // Nothing but the payload's files is left in the folder.
    size_t count = 0;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        count += item.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(inputs.size(), count);
}

TEST(PayloadRoundTrip, LooksUpNamesFromTheEndWithoutCase) {
    const std::string image = test::FakeImage();
    const auto files = ReadPayload(image + BuildPayload(image.size(), {{"A.txt", "1", 1.0}, {"Docs\\b.txt", "2", 1.0}}));
    ASSERT_NE(nullptr, files->Find("docs\\B.TXT"));
    EXPECT_EQ("Docs\\b.txt", files->Find("docs\\B.TXT")->Name);
    EXPECT_EQ(nullptr, files->Find("b.txt"));
    EXPECT_EQ(nullptr, files->Find("\xE4\xB8\xAD"));
    // Only the terminator: a payload with no files.
    EXPECT_TRUE(ReadPayload(image + BuildPayload(image.size(), {}))->Entries().empty());
}

TEST(PayloadRoundTrip, WriterRefusesWhatTheReaderWould) {
    for (const std::vector<TPayloadInput>& inputs : std::vector<std::vector<TPayloadInput>>{
             {{"..\\x", "", 1.0}},
             {{"a", "", 1.0}, {"A", "", 1.0}},
             {{"\xE4\xB8\xAD.txt", "", 1.0}},  // not in Windows-1252
             {{"a", "", -1.0}},
             {{std::string(256, 'a'), "", 1.0}}}) {
        SCOPED_TRACE(inputs.back().Name);
        EXPECT_THROW(BuildPayload(100, inputs), TPayloadError);
    }
    EXPECT_THROW(BuildPayload(0xFFFFFF00u, {{"a", Noise(1000, 9), 1.0}}), TPayloadError);
}

TEST(PayloadDamage, RefusesTruncationAtEveryRegion) {
    test::TRawPayload raw;
    raw.Add("a.txt", std::string(50000, 'a') + Noise(20000, 2));
    raw.Add("b.txt", "bbb");
    const std::string file = raw.File();
    const size_t directory = raw.DirectoryOffset();
    // Cut inside the image, each stream, the directory and the trailer.
    for (const size_t keep : {size_t{0}, size_t{7}, size_t{500}, raw.Image.size(), raw.Image.size() + 10,
                              directory - 2, directory, directory + 3, file.size() - 8, file.size() - 4,
                              file.size() - 1}) {
        SCOPED_TRACE(keep);
        EXPECT_THROW(ReadPayload(file.substr(0, keep)), TPayloadError);
    }
    // The bare image alone, and one ending in equal zero values.
    EXPECT_THROW(ReadPayload(raw.Image), TPayloadError);
    EXPECT_THROW(ReadPayload(raw.Image + std::string(64, '\0')), TPayloadError);
}

TEST(PayloadDamage, RefusesLyingDirectories) {
    test::TRawPayload raw;
    raw.Add("a.txt", "alpha");
    raw.Add("b.txt", "beta");
    const auto offsets = raw.Offsets();
    const uint32_t dir = raw.DirectoryOffset();
    const std::string end = test::Record("", 0, 0, dir);
    const std::string a = test::Record("a.txt", 5, 1.0, offsets[0]);
    const std::string b = test::Record("b.txt", 4, 1.0, offsets[1]);
    struct Case {
        const char* what;
        std::string file;
    };
    const std::string zeros(8, '\0');
    std::string notZlib = raw.File();
    notZlib.replace(dir, 2, "XY");
    std::string trailerDiffers = raw.File();
    trailerDiffers[trailerDiffers.size() - 1] ^= 1;
    std::string beyond = raw.File();
    beyond.replace(beyond.size() - 8, 8, test::Le32(0x7FFFFFFF) + test::Le32(0x7FFFFFFF));
    const Case cases[] = {
        {"as built", ""},
        {"trailer values differ", trailerDiffers},
        {"directory beyond the file", beyond},
        {"directory not zlib", notZlib},
        {"record cut short", raw.File(a + b.substr(0, 9))},
        {"no terminator", raw.File(a + b)},
        {"terminator offset", raw.File(a + b + test::Record("", 0, 0, dir - 1))},
        {"decreasing offsets", raw.File(test::Record("a.txt", 5, 1.0, offsets[1]) +
                                        test::Record("b.txt", 4, 1.0, offsets[0]) + end)},
        {"negative size", raw.File(test::Record("a.txt", -5, 1.0, offsets[0]) + b + end)},
        {"duplicate names", raw.File(a + test::Record("A.TXT", 4, 1.0, offsets[1]) + end)},
        {"parent folder", raw.File(a + test::Record("..\\evil.txt", 4, 1.0, offsets[1]) + end)},
        {"drive", raw.File(a + test::Record("C:\\evil.txt", 4, 1.0, offsets[1]) + end)},
        {"root", raw.File(a + test::Record("\\evil.txt", 4, 1.0, offsets[1]) + end)},
        {"stream", raw.File(a + test::Record("a:b", 4, 1.0, offsets[1]) + end)},
        {"device", raw.File(a + test::Record("CON", 4, 1.0, offsets[1]) + end)},
        {"slash", raw.File(a + test::Record("a/b", 4, 1.0, offsets[1]) + end)},
        {"inner parent", raw.File(a + test::Record("x\\..\\y", 4, 1.0, offsets[1]) + end)},
    };
    EXPECT_EQ(2u, ReadPayload(raw.File())->Entries().size());
    for (const Case& c : cases) {
        if (c.file.empty()) {
            continue;
        }
        SCOPED_TRACE(c.what);
        EXPECT_THROW(ReadPayload(c.file), TPayloadError);
    }
}

TEST(PayloadDamage, RefusesADirectoryBombWithinItsLimit) {
    // About a megabyte of zeros' stream inflating far past the directory's
    // limit: refused once the limit is passed, not after inflating it all.
    test::TRawPayload raw;
    std::string bomb;
    {
        std::string zeros(64u << 20, '\0');
        bomb = test::Zlib(zeros);
    }
    const uint32_t dir = static_cast<uint32_t>(raw.Image.size());
    const std::string file = raw.Image + bomb + test::Le32(dir) + test::Le32(dir);
    auto source = std::make_unique<test::TMemoryFile>(file);
    test::TMemoryFile* observed = source.get();
    EXPECT_THROW(TAttachedFiles files(std::move(source)), TPayloadError);
    (void)observed;
    // The same limit when the records are real and too many.
    EXPECT_THROW(ReadPayload(raw.File(std::string(PayloadDirectoryLimit + 1, 'a'))), TPayloadError);
}

class PayloadStreamDamage : public testing::Test {
protected:
    // Unpacks the single file of a payload to a fresh folder; the recording
    // box answers `answer` to the question that follows a failure.
    TExtractOutcome Unpack(const std::string& file, TMessageAnswer answer) {
        files_ = ReadPayload(file);
        path_ = DestinationPath(temp_.Path().string(), files_->Entries().at(0));
        Box.Answers = {answer};
        return ExtractFile(*files_, files_->Entries()[0], path_, Log, Box);
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& item : std::filesystem::directory_iterator(temp_.Path())) {
            names.push_back(item.path().filename().string());
        }
        return names;
    }

    struct TBox final : public TMessageBox {
        std::vector<std::string> Shown;
        std::deque<TMessageAnswer> Answers;
        TMessageAnswer Show(const std::string& text, TMessageKind, TMessageButtons buttons) override {
            EXPECT_EQ(TMessageButtons::AbortRetryIgnore, buttons);
            Shown.push_back(text);
            if (Answers.empty()) {
                return TMessageAnswer::Abort;
            }
            const auto answer = Answers.front();
            Answers.pop_front();
            return answer;
        }
    } Box;
    TInstallLog Log;
    test::TTempFolder temp_;
    std::unique_ptr<TAttachedFiles> files_;
    std::string path_;
};

TEST_F(PayloadStreamDamage, BadStreamsFailWithoutLeavingAFile) {
    struct Case {
        const char* what;
        std::string stream;
        int32_t size;
    };
    const std::string content = std::string(40000, 'q') + Noise(40000, 3);
    std::string flipped = test::Zlib(content);
    flipped[flipped.size() / 2] ^= 0x55;
    std::string badChecksum = test::Zlib(content);
    badChecksum.back() ^= 1;
    const Case cases[] = {
        {"bomb: size 10, inflating to 64 MB", test::Zlib(std::string(64u << 20, 'z')), 10},
        {"declared larger than the stream gives", test::Zlib(content), 80001},
        {"declared smaller", test::Zlib(content), 79999},
        {"flipped byte", flipped, 80000},
        {"wrong checksum", badChecksum, 80000},
        {"stream cut short", test::Zlib(content).substr(0, 1000), 80000},
        {"bytes after the stream", test::Zlib(content) + "xx", 80000},
        {"not zlib", "plain text, not a stream", 80000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TRawPayload raw;
        raw.Names = {"f.bin"};
        raw.Streams = {c.stream};
        raw.Sizes = {c.size};
        raw.Times = {40000.0};
        Box.Shown.clear();
        EXPECT_EQ(TExtractOutcome::Ignored, Unpack(raw.File(), TMessageAnswer::Ignore));
        ASSERT_EQ(1u, Box.Shown.size());
        EXPECT_EQ("Cannot create file \"" + path_ + "\".||Another application might already be using this file.",
                  Box.Shown[0]);
        EXPECT_TRUE(FolderNames().empty());  // neither the file nor its temporary
        EXPECT_TRUE(Log.Lines().empty());
    }
}

TEST_F(PayloadStreamDamage, AFailedUpgradeKeepsTheOldFile) {
    test::TRawPayload raw;
    raw.Names = {"f.bin"};
    raw.Streams = {test::Zlib("new").substr(0, 5)};
    raw.Sizes = {3};
    raw.Times = {40000.0};
    test::WriteWholeFile(temp_.Path() / "f.bin", "old contents");
    EXPECT_EQ(TExtractOutcome::Aborted, Unpack(raw.File(), TMessageAnswer::Abort));
    EXPECT_EQ("old contents", test::ReadWholeFile(temp_.Path() / "f.bin"));
    EXPECT_EQ(std::vector<std::string>{"f.bin"}, FolderNames());
}

TEST_F(PayloadStreamDamage, RetryTriesAgainAndDestinationTooLongFails) {
    test::TRawPayload raw;
    raw.Add(std::string(200, 'n'), "content");
    files_ = ReadPayload(raw.File());
    // Over the Windows path limit: refused, asked, retried, then ignored.
    const std::string path = temp_.Path().string() + "/" + std::string(60, 'd') + "/" + files_->Entries()[0].Name;
    Box.Answers = {TMessageAnswer::Retry, TMessageAnswer::Ignore};
    EXPECT_EQ(TExtractOutcome::Ignored, ExtractFile(*files_, files_->Entries()[0], path, Log, Box));
    EXPECT_EQ(2u, Box.Shown.size());
    EXPECT_TRUE(FolderNames().empty());
}

TEST(PayloadInflateHooks, ReportProgressAndCancelBetweenBlocks) {
    test::TRawPayload raw;
    const std::string content = Noise(100000, 4);
    raw.Add("big", content);
    const auto files = ReadPayload(raw.File());
    std::vector<int64_t> progress;
    int calls = 0;
    TExtractHooks hooks;
    hooks.Progress = [&](int64_t written) { progress.push_back(written); };
    hooks.Continue = [&] { return ++calls < 3; };
    TStringSink sink;
    EXPECT_EQ(TInflateResult::Cancelled, InflateEntry(files->Source(), files->Entries()[0], sink, &hooks));
    EXPECT_EQ(3, calls);
    ASSERT_FALSE(progress.empty());
    EXPECT_LE(progress.back(), 3 * PayloadBlockBytes);

    hooks.Continue = [] { return true; };
    progress.clear();
    TStringSink whole;
    EXPECT_EQ(TInflateResult::Done, InflateEntry(files->Source(), files->Entries()[0], whole, &hooks));
    EXPECT_EQ(content, whole.Bytes);
    EXPECT_EQ(static_cast<int64_t>(content.size()), progress.back());
}

TEST(PayloadInflateHooks, CancelledExtractionLeavesNothing) {
    test::TRawPayload raw;
    raw.Add("big", Noise(100000, 5));
    const auto files = ReadPayload(raw.File());
    test::TTempFolder temp;
    TInstallLog log;
    TSilentMessageBox box;
    TExtractHooks hooks;
    hooks.Continue = [] { return false; };
    const std::string path = DestinationPath(temp.Path().string(), files->Entries()[0]);
    EXPECT_EQ(TExtractOutcome::Cancelled, ExtractFile(*files, files->Entries()[0], path, log, box, &hooks));
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
    EXPECT_TRUE(log.Lines().empty());
}

}  // namespace
}  // namespace quillane
