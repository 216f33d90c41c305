#include "setup/ExtractFile.h"

#include <memory>
#include <vector>

#include "platform/FileSystem.h"
#include "setup/PayloadTime.h"
#include "setup/SetupMessages.h"

namespace quillane {

namespace {

size_t Utf16Length(const std::string& text) {
    size_t units = 0;
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b & 0xC0) != 0x80) {
            units += b >= 0xF0 ? 2 : 1;
        }
    }
    return units;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of(PathSeparator() == '\\' ? "\\/" : "/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

class TFileSink final : public TByteSink {
public:
    explicit TFileSink(TFile& file) : file_(file) {}
    bool Write(const void* data, int32_t count) override { return file_.Write(data, count); }

private:
    TFile& file_;
};

enum class TAttempt { Done, Failed, Cancelled };

// One try: folders, a new file beside the target, the bytes, the time, the
// replacement. Whatever fails, the new file is gone afterwards.
TAttempt TryExtract(TAttachedFiles& files, const TAttachedFile& entry, const std::string& path, TInstallLog& log,
                    const TExtractHooks* hooks) {
    if (Utf16Length(path) >= DestinationPathLimit) {
        return TAttempt::Failed;
    }
    const std::string folder = FolderOf(path);
    if (!folder.empty()) {
        std::vector<std::string> created;
        const bool made = CreateFolders(folder, created);
        for (const std::string& each : created) {
            log.AddFolder(each);
        }
        if (!made) {
            return TAttempt::Failed;
        }
    }
    std::string temporary;
    std::unique_ptr<TFile> file;
    for (int n = 0; n < 1000 && !file; ++n) {
        temporary = path + ".~" + std::to_string(n);
        auto opened = OpenFile(temporary, TFileMode::CreateNew);
        if (opened.File) {
            file = std::move(opened.File);
        } else if (opened.Error != TFileError::Exists) {
            return TAttempt::Failed;
        }
    }
    if (!file) {
        return TAttempt::Failed;
    }
    TFileSink sink(*file);
    const TInflateResult result = InflateEntry(files.Source(), entry, sink, hooks);
    const bool flushed = result == TInflateResult::Done && file->Flush();
    file.reset();
    std::string message;
    if (flushed && SetFileLastWriteTime(temporary, LocalTimeFromPayloadTime(entry.Time)) &&
        ReplaceFileAtomically(path, temporary, message) == TFileError::None) {
        log.AddFile(path);
        return TAttempt::Done;
    }
    RemoveFile(temporary);
    return result == TInflateResult::Cancelled ? TAttempt::Cancelled : TAttempt::Failed;
}

}  // namespace

TExtractOutcome ExtractFile(TAttachedFiles& files, const TAttachedFile& entry, const std::string& path,
                            TInstallLog& log, TMessageBox& ask, const TExtractHooks* hooks) {
    while (true) {
        switch (TryExtract(files, entry, path, log, hooks)) {
            case TAttempt::Done: return TExtractOutcome::Installed;
            case TAttempt::Cancelled: return TExtractOutcome::Cancelled;
            case TAttempt::Failed: break;
        }
        switch (ask.Show(FormatMessageText(CannotCreateFileMessage, {path}), TMessageKind::Error,
                         TMessageButtons::AbortRetryIgnore)) {
            case TMessageAnswer::Retry: continue;
            case TMessageAnswer::Ignore: return TExtractOutcome::Ignored;
            default: return TExtractOutcome::Aborted;
        }
    }
}

}  // namespace quillane
