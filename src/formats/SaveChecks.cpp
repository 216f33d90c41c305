#include "formats/DocumentFileMessages.h"
#include "formats/DocumentFiles.h"
#include "formats/SafeFileWrite.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "platform/FileSystem.h"

namespace quillane {

namespace {

constexpr int32_t CopyBlock = 64 * 1024;

bool SameParagraphFormat(TParAttrs a, TParAttrs b) {
    a[paWidowControl] = b[paWidowControl];
    return a == b;
}

// Copies the whole file into `to` from its start.
bool CopyWholeFile(TFile& from, TFile& to) {
    if (!from.Seek(0)) {
        return false;
    }
    std::string block(CopyBlock, '\0');
    for (;;) {
        const int32_t n = from.Read(block.data(), CopyBlock);
        if (n <= 0) {
            return n == 0;
        }
        if (!to.Write(block.data(), n)) {
            return false;
        }
    }
}

}  // namespace

bool HasUniformFormatting(const TDocument& document) {
    const TParAttrs& firstFormat = document.Paragraph(0).Attributes;
    bool seen = false;
    TCharAttrs first;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& paragraph = document.Paragraph(i);
        if (!SameParagraphFormat(paragraph.Attributes, firstFormat)) {
            return false;
        }
        TCharAttrs state = document.DefaultCharAttrs;
        const uint8_t* text = paragraph.Text.Data();
        const int32_t size = paragraph.Text.Length();
        for (int32_t at = 0; at < size;) {
            if (text[at] == 0) {
                const TTag tag = ReadTag(text + at);
                at += TagSize;
                if (IsAttributeKind(tag.Kind)) {
                    state[tag.Kind] = tag.Value;
                    continue;
                }
                if (!OccupiesPosition(tag.Kind)) {
                    continue;
                }
            } else {
                at += CharRunLength(text + at, size - at);
            }
            // A character, or a special, picture or object, in `state`.
            state[caLanguage] = 0;
            if (!seen) {
                first = state;
                seen = true;
            } else if (state.Slots != first.Slots) {
                return false;
            }
        }
    }
    return true;
}

bool TDocumentFiles::CheckSaveFormat(TDocument& document, int32_t format) {
    if (!coding_.Savable(format)) {
        Ask(MsgFormatNotSavable, {IsValidFormat(format) ? DocumentFormats[format].Name : "?"},
            TMessageKind::Information, TMessageButtons::Ok);
        return true;
    }
    if (document.WarnedDuringSave) {
        return false;
    }
    const char* name = DocumentFormats[format].Name;
    if (format != dfRtf && !HasUniformFormatting(document)) {
        document.WarnedDuringSave = true;
        if (Ask(MsgFormattingLost, {document.FileName, name, name}, TMessageKind::Warning, TMessageButtons::YesNo) !=
            TMessageAnswer::Yes) {
            return true;
        }
    }
    if (document.OpenedWithDataLosses) {
        document.WarnedDuringSave = true;
        if (Ask(MsgDataLosses, {document.FileName}, TMessageKind::Warning, TMessageButtons::YesNo) !=
            TMessageAnswer::Yes) {
            document.OpenedWithDataLosses = false;
            return true;
        }
    }
    return false;
}

// The backup replaces an earlier one only once it is complete, so a full
// disk never leaves a truncated backup where a good one was. The bytes are
// read through the document's own handle when it holds the file: the lock
// shares reading, but a system copier might ask for more.
bool TDocumentFiles::MakeBackup(TDocument& document, const std::string& fileName) {
    if (!options_.CreateBackup) {
        return true;
    }
    const std::string backup = TCodingManager::BackupName(fileName);
    for (;;) {
        std::unique_ptr<TFile> opened;
        TFile* source = nullptr;
        if (document.LockHandle && SamePath(document.FileName, fileName)) {
            source = document.LockHandle.get();
        } else {
            opened = OpenFile(fileName, TFileMode::Read).File;
            source = opened.get();
        }
        if (source != nullptr) {
            // The backup message below is the only one the user sees.
            TSilentMessageBox silent;
            TSafeWriteRequest request;
            request.Target = backup;
            request.Write = [source](TFile& file) { return CopyWholeFile(*source, file); };
            if (WriteFileSafely(request, silent) == TSafeWriteResult::Written) {
                return true;
            }
        }
        const std::string backupName = TCodingManager::BaseName(backup);
        if (Ask(MsgBackupFailed, {backupName, TCodingManager::BaseName(fileName), backupName}, TMessageKind::Error,
                TMessageButtons::RetryCancel) != TMessageAnswer::Retry) {
            return false;
        }
    }
}

}  // namespace quillane
