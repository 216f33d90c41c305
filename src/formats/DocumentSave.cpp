#include "formats/DocumentFileMessages.h"
#include "formats/DocumentFiles.h"
#include "formats/DocumentLoader.h"
#include "formats/SafeFileWrite.h"
#include "model/Document.h"
#include "model/DocumentNames.h"
#include "platform/FileSystem.h"

namespace quillane {

namespace {

bool Untitled(const TDocument& document) { return document.Flags.Test(dsUntitled); }
bool Internal(const TDocument& document) { return document.Flags.Test(dsInternal); }

// Counts the nesting of saves, so that only a save the user started
// forgets the warnings of the previous one.
class TSaveScope {
public:
    TSaveScope(int32_t& depth, TDocument& document) : depth_(depth) {
        if (depth_++ == 0) {
            document.WarnedDuringSave = false;
        }
    }
    ~TSaveScope() { --depth_; }
    TSaveScope(const TSaveScope&) = delete;
    TSaveScope& operator=(const TSaveScope&) = delete;

private:
    int32_t& depth_;
};

}  // namespace

bool TDocumentFiles::OfferProperties(TDocument& document, bool saveAs) {
    if (!options_.OfferDocProp || !IsValidFormat(document.Format) || IsTextFormat(document.Format)) {
        return true;
    }
    if (!saveAs && document.PropertiesOffered) {
        return true;
    }
    if (document.Information.Properties.Title.empty()) {
        document.Information.Properties.Title = NameFromText(document, "", true);
    }
    if (!host_.EditProperties(document)) {
        return false;
    }
    document.PropertiesOffered = true;
    return true;
}

void TDocumentFiles::Relock(TDocument& document) {
    document.LockHandle.reset();
    const TFileStatus status = FileStatus(document.FileName);
    if (!Internal(document) && !status.ReadOnly) {
        // When even this fails the document goes on without a lock; the
        // next Save then takes the path of a file that is not open.
        document.LockHandle = OpenFile(document.FileName, TFileMode::ReadWrite).File;
    }
    if (document.LockHandle) {
        document.FileSize = document.LockHandle->Size();
    }
}

int32_t TDocumentFiles::WriteToFile(TDocument& document, const std::string& target, int32_t format, bool copyOnly) {
    host_.ShowStatus(FormatMessageText(StatusSaving, {target}));
    TDocSavingOptions saving = TDocSavingOptions::WholeDocument(document, format);
    if (copyOnly) {
        saving.Flags |= sfCopyOnly;
    }
    // The document's own lock must go before its file can be replaced; the
    // lock on another file stays until the new one is in place.
    const bool holdsTarget = document.LockHandle && !document.FileName.empty() && SamePath(document.FileName, target);
    bool released = false;
    TSafeWriteRequest request;
    request.Target = target;
    request.Write = [&](TFile& file) {
        return WriteDocument(document, &file, target, saving, services_) == WriteSucceeded;
    };
    request.BeforeReplace = [&] {
        if (holdsTarget) {
            document.LockHandle.reset();
            released = true;
        }
    };
    const TSafeWriteResult result = WriteFileSafely(request, services_.Messages);
    if (result != TSafeWriteResult::Written) {
        if (released) {
            Relock(document);  // the old file, with its old bytes
        }
        return srFailed;
    }
    if (copyOnly) {
        if (released) {
            Relock(document);
        }
        return srSaved;
    }
    const bool renamed = !SamePath(document.FileName, target);
    document.FileName = target;
    document.Format = format;
    document.Flags.Assign(dsUntitled, false);
    document.OpenedFromCopy = false;
    document.OpenedReadOnly = false;
    document.SetModified(false);
    Relock(document);
    host_.DocumentSaved(document, options_.UndoAfterSave);
    host_.AddRecent(target);
    if (renamed) {
        host_.DocumentRenamed(document);
    }
    return srSaved;
}

int32_t TDocumentFiles::SaveDocument(TDocument& document) {
    TSaveScope scope(saveDepth_, document);
    if (!Untitled(document) && !OfferProperties(document, false)) {
        return srNotSaved;
    }
    if (document.OpenedFromCopy) {
        const TFileOpenResult real = OpenFile(document.FileName, TFileMode::Read);
        if (!real.File) {
            Ask(real.Error == TFileError::SharingViolation ? MsgFileInUse : MsgCannotOpenFile, {document.FileName},
                TMessageKind::Warning, TMessageButtons::Ok);
            return SaveAsLoop(document, document.FileName, true, {});
        }
        switch (Ask(MsgEditedByAnother, {document.FileName}, TMessageKind::Confirmation,
                    TMessageButtons::YesNoCancel)) {
            case TMessageAnswer::Yes: return SaveAsLoop(document, document.FileName, false, {});
            case TMessageAnswer::No: return SaveAsLoop(document, document.FileName, true, {});
            default: return srNotSaved;
        }
    }
    if (document.OpenedReadOnly) {
        Ask(MsgOpenedReadOnly, {document.FileName}, TMessageKind::Information, TMessageButtons::Ok);
        return SaveAsLoop(document, document.FileName, true, {});
    }
    if (Untitled(document) || Internal(document) || CheckSaveFormat(document, document.Format)) {
        return SaveAsLoop(document, document.FileName, true, {});
    }
    if (!document.LockHandle) {
        return SaveAsLoop(document, document.FileName, false, {});
    }
    if (!MakeBackup(document, document.FileName)) {
        return srNotSaved;
    }
    return WriteToFile(document, document.FileName, document.Format, false);
}

int32_t TDocumentFiles::SaveDocumentAs(TDocument& document, const std::string& proposed, bool ask,
                                       const std::string& folder) {
    TSaveScope scope(saveDepth_, document);
    return SaveAsLoop(document, proposed, ask, folder);
}

int32_t TDocumentFiles::SaveAsLoop(TDocument& document, const std::string& proposed, bool ask,
                                   const std::string& folder) {
    for (;;) {
        int32_t format = document.Format;
        std::string target;
        if (ask) {
            if (!OfferProperties(document, true)) {
                return srNotSaved;
            }
            TSaveDialogRequest dialog;
            dialog.Title = "Save Document As";
            std::string name = proposed;
            if (Untitled(document) && options_.GetFileNameFromDoc) {
                name = NameFromText(document, name, false);
            }
            if (coding_.Savable(document.Format)) {
                dialog.FilterIndex = coding_.SaveFilterOfFormat(document.Format);
            } else {
                // RTF keeps the most of a document the program cannot write.
                dialog.FilterIndex = coding_.SaveFilterOfFormat(dfRtf);
                name = TCodingManager::ReplaceExtension(name, std::string(".") + DocumentFormats[dfRtf].Extension);
            }
            if (TCodingManager::Extension(name).empty() && (name.empty() || name.back() != '.')) {
                name += '.';  // so that the dialog adds no extension of its own
            }
            dialog.FileName = name;
            dialog.Folder = !folder.empty() ? folder : options_.UseDocFolder ? options_.DocFolder : std::string();
            for (;;) {
                if (!host_.ChooseSaveName(document, dialog)) {
                    return srNotSaved;
                }
                format = coding_.FormatOfSaveFilter(dialog.FilterIndex);
                if (format == dfFailed) {
                    format = dfRtf;
                }
                target = FullPathName(TCodingManager::ApplyDefaultExtension(dialog.FileName, format));
                const bool own = !document.FileName.empty() && SamePath(target, document.FileName);
                if (!own && host_.IsOpenElsewhere(target, document)) {
                    Ask(MsgCannotOverwriteOpen, {target}, TMessageKind::Warning, TMessageButtons::Ok);
                } else if (own && document.OpenedFromCopy) {
                    Ask(MsgFileInUse, {target}, TMessageKind::Warning, TMessageButtons::Ok);
                } else if (own && document.OpenedReadOnly) {
                    Ask(MsgOpenedReadOnly, {target}, TMessageKind::Information, TMessageButtons::Ok);
                } else {
                    break;
                }
            }
        } else {
            target = FullPathName(proposed);
        }
        if (CheckSaveFormat(document, format)) {
            ask = true;
            continue;
        }
        if (FileStatus(target).Exists && !MakeBackup(document, target)) {
            return srNotSaved;
        }
        if (Internal(document)) {
            return WriteToFile(document, target, format, true);
        }
        return WriteToFile(document, target, format, false);
    }
}

int32_t TDocumentFiles::SaveDocumentCopy(TDocument& document, const std::string& fileName) {
    return WriteToFile(document, FullPathName(fileName), document.Format, true);
}

}  // namespace quillane
