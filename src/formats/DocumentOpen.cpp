#include <exception>
#include <map>
#include <vector>

#include "formats/BuiltInTemplates.h"
#include "formats/DocumentFileMessages.h"
#include "formats/DocumentFiles.h"
#include "formats/DocumentLoader.h"
#include "formats/SafeFileWrite.h"
#include "model/Document.h"
#include "platform/FileSystem.h"

namespace quillane {

namespace {

constexpr int32_t CopyBlock = 64 * 1024;

// Whether `file` lies directly in `folder` (both full names).
bool InFolder(const std::string& file, const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    const std::string name = TCodingManager::BaseName(file);
    return SamePath(file.substr(0, file.size() - name.size()) + ".", folder);
}

bool CopyBytes(TFile& from, TFile& to) {
    std::vector<char> block(CopyBlock);
    for (;;) {
        const int32_t n = from.Read(block.data(), CopyBlock);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (!to.Write(block.data(), n)) {
            return false;
        }
    }
}

}  // namespace

struct TDocumentFiles::TTemplates {
    std::map<std::string, std::unique_ptr<TDocument>> BuiltIn;
};

TDocumentFiles::TDocumentFiles(const TFormatServices& services, const TDocFileOptions& options, TDocFileHost& host)
    : services_(services), options_(options), host_(host), templates_(std::make_unique<TTemplates>()) {}

TDocumentFiles::~TDocumentFiles() = default;

TMessageAnswer TDocumentFiles::Ask(const char* pattern, std::initializer_list<std::string> args, TMessageKind kind,
                                   TMessageButtons buttons) {
    return services_.Messages.Show(FormatMessageText(pattern, args), kind, buttons);
}

// A copy of a file another program holds, in the temporary folder. The
// name is claimed by creating the file exclusively, so two instances
// copying at once never share a copy.
bool TDocumentFiles::MakeTemporaryCopy(const std::string& fileName, std::string& copy) {
    const std::string folder = TemporaryFolder() + PathSeparator();
    for (;;) {
        TFileOpenResult source = OpenFile(fileName, TFileMode::Read);
        if (source.File) {
            TFileOpenResult created = CreateExclusively(
                [&](int32_t n) { return folder + "~Quilla(Vela)" + std::to_string(n) + ".tmp"; }, copy);
            if (created.File) {
                const bool copied = CopyBytes(*source.File, *created.File) && created.File->Flush();
                created.File.reset();
                if (copied) {
                    return true;
                }
                RemoveFile(copy);
            }
        }
        if (Ask(MsgErrorMakingCopy, {fileName}, TMessageKind::Error, TMessageButtons::RetryCancel) !=
            TMessageAnswer::Retry) {
            return false;
        }
    }
}

// Takes the document's lock on its file, or falls back: a copy when the
// file is in use, a read-only open when writing is refused. `source` is
// the file to read: the file itself or the copy.
bool TDocumentFiles::OpenLock(TDocument& document, const TDocOpenRequest& request, std::string& source) {
    const std::string& name = request.FileName;
    for (;;) {
        const TFileStatus status = FileStatus(name);
        // The read-only attribute is checked here: administrators (and Wine
        // running as root) could open the file for writing anyway.
        const bool readOnly = request.ReadOnly || status.ReadOnly;
        TFileOpenResult opened;
        if (status.Exists && !status.Folder) {
            opened = OpenFile(name, readOnly ? TFileMode::Read : TFileMode::ReadWrite);
        }
        if (opened.File) {
            document.LockHandle = std::move(opened.File);
            document.OpenedReadOnly = readOnly;
            source = name;
            return true;
        }
        if (opened.Error == TFileError::SharingViolation) {
            if (!request.CopySilently && Ask(MsgFileInUseMakeCopy, {name}, TMessageKind::Confirmation,
                                             TMessageButtons::YesCancel) != TMessageAnswer::Yes) {
                return false;
            }
            std::string copy;
            if (!MakeTemporaryCopy(name, copy)) {
                return false;
            }
            TFileOpenResult copied = OpenFile(copy, TFileMode::ReadWrite);
            if (copied.File) {
                document.LockHandle = std::move(copied.File);
                document.OpenedFromCopy = true;
                source = copy;
                return true;
            }
            RemoveFile(copy);
        } else if (opened.Error == TFileError::AccessDenied) {
            TFileOpenResult reading = OpenFile(name, TFileMode::Read);
            if (reading.File) {
                document.LockHandle = std::move(reading.File);
                document.OpenedReadOnly = true;
                source = name;
                return true;
            }
        }
        if (Ask(MsgCannotOpenFile, {name}, TMessageKind::Error, TMessageButtons::RetryCancel) !=
            TMessageAnswer::Retry) {
            return false;
        }
    }
}

const TDocument* TDocumentFiles::TemplateFor(int32_t format, const std::string& fileName) {
    if (format == dfRtf || format == dfWord6 || format == dfWord97 || InFolder(fileName, options_.TemplateFolder)) {
        return nullptr;
    }
    // Text and Write files alike; the loader applies it to text formats.
    const std::string name = IsValidFormat(format) ? DocumentFormats[format].Template : "Plain.rtf";
    if (const TDocument* own = host_.Template(name)) {
        return own;
    }
    auto& slot = templates_->BuiltIn[name];
    if (!slot) {
        TSilentMessageBox silent;
        TFormatServices quiet{silent, services_.CodePages, nullptr, services_.Fonts, services_.Styles, nullptr};
        slot = LoadBuiltInTemplate(name, quiet);
    }
    return slot.get();
}

bool TDocumentFiles::OpenDocument(TDocument& document, const TDocOpenRequest& request, TDocOpeningOptions& loaded) {
    TDocOpenRequest full = request;
    full.FileName = FullPathName(request.FileName);
    document.OpenedFromCopy = false;
    document.OpenedReadOnly = false;
    std::string source;
    if (!OpenLock(document, full, source)) {
        return false;
    }
    host_.ShowStatus(FormatMessageText(StatusLoading, {full.FileName}));
    const int64_t size = document.LockHandle->Size();
    // A file that is not what the caller asked for fails without a question
    // when asked to (previews); their message box is silent anyway.
    TSilentMessageBox silent;
    const TFormatServices services{request.FailSilently ? static_cast<TMessageBox&>(silent) : services_.Messages,
                                   services_.CodePages, services_.Progress, services_.Fonts, services_.Styles,
                                   services_.Pictures};
    loaded = TDocOpeningOptions{};
    loaded.FileName = source;
    loaded.Format = request.Format;
    // Text files get "Plain.rtf" whether asked for or detected.
    loaded.Template = TemplateFor(IsValidFormat(request.Format) ? request.Format : dfAnsiText, full.FileName);
    bool read = false;
    try {
        read = LoadDocument(document, loaded, services);
    } catch (const TSilentAbort&) {
        read = false;
    } catch (const std::exception& e) {
        Ask("Exception with message||\"%s\"||raised while opening document \"%s\"", {e.what(), full.FileName},
            TMessageKind::Error, TMessageButtons::Ok);
        read = false;
    }
    loaded.Template = nullptr;
    const bool fromCopy = document.OpenedFromCopy;
    if (!read || fromCopy || document.OpenedReadOnly) {
        document.LockHandle.reset();
    }
    if (fromCopy) {
        RemoveFile(source);
    }
    if (!read) {
        document.FileName.clear();
        document.OpenedFromCopy = false;
        document.OpenedReadOnly = false;
        return false;
    }
    document.FileName = full.FileName;
    document.FileSize = fromCopy ? 0 : size;
    document.Format = loaded.Format;
    document.Flags.Assign(dsUntitled, false);
    document.WarnedDuringSave = false;
    document.PropertiesOffered = false;
    if (options_.SaveCaretPos) {
        PlaceStoredCaret(document, loaded);
    }
    document.SetModified(false);
    return true;
}

}  // namespace quillane
