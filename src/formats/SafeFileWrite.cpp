#include "formats/SafeFileWrite.h"

#include <memory>

#include "formats/DocumentFileMessages.h"
#include "formats/FormatServices.h"
#include "platform/FileSystem.h"

namespace quillane {

namespace {

// Names tried before giving up; leftovers of crashed saves take numbers.
constexpr int32_t MaxTemporaryNames = 1000;

bool AskRetry(TMessageBox& messages, const char* pattern, const std::string& name) {
    return messages.Show(FormatMessageText(pattern, {name}), TMessageKind::Error, TMessageButtons::RetryCancel) ==
           TMessageAnswer::Retry;
}

bool WriteAndFlush(const TSafeWriteRequest& request, TFile& file, TMessageBox& messages) {
    try {
        if (!request.Write(file)) {
            return false;
        }
    } catch (const TSilentAbort&) {
        return false;
    }
    while (!file.Flush()) {
        if (!AskRetry(messages, MsgErrorWritingFile, request.Target)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string SiblingTemporaryName(const std::string& target, int32_t n) { return target + ".~" + std::to_string(n); }

TFileOpenResult CreateExclusively(const std::function<std::string(int32_t)>& name, std::string& chosen) {
    TFileOpenResult created;
    for (int32_t n = 0; n < MaxTemporaryNames; ++n) {
        chosen = name(n);
        created = OpenFile(chosen, TFileMode::CreateNew);
        if (created.Error != TFileError::Exists) {
            return created;
        }
    }
    return created;
}

TSafeWriteResult WriteFileSafely(const TSafeWriteRequest& request, TMessageBox& messages) {
    std::string temporary;
    std::unique_ptr<TFile> file;
    for (;;) {
        TFileOpenResult created =
            CreateExclusively([&](int32_t n) { return SiblingTemporaryName(request.Target, n); }, temporary);
        if (created.File) {
            file = std::move(created.File);
            break;
        }
        if (!AskRetry(messages, MsgCannotCreateFile, request.Target)) {
            return TSafeWriteResult::CreateFailed;
        }
    }
    const bool written = WriteAndFlush(request, *file, messages);
    file.reset();  // closed before the replace, and before deleting it
    if (!written) {
        RemoveFile(temporary);
        return TSafeWriteResult::NotWritten;
    }
    if (request.BeforeReplace) {
        request.BeforeReplace();
    }
    for (;;) {
        std::string message;
        if (ReplaceFileAtomically(request.Target, temporary, message) == TFileError::None) {
            return TSafeWriteResult::Written;
        }
        if (!AskRetry(messages, MsgCannotCreateFile, request.Target)) {
            RemoveFile(temporary);
            return TSafeWriteResult::ReplaceFailed;
        }
    }
}

}  // namespace quillane
