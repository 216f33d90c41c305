#pragma once
// The life of a document's file: opening it with the lock the program keeps
// on every open document (and the fallbacks when the file is in use or
// write-protected), and saving in place, under a new name or as a copy,
// with the backup, the format checks and every question on the way.
// Layered over LoadDocument/WriteDocument, which do the format work.
//
// Saving never writes into the file it replaces: the new content goes to a
// file beside it and replaces the old one in one step (SafeFileWrite.h), so
// a full disk, a cancelled write error or a killed process leaves the old
// file and its backup as they were. The cost is room for two copies for a
// moment, and a new file identity (hard links to the old file split).

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "formats/CodingManager.h"
#include "formats/DocOptions.h"
#include "formats/FormatServices.h"

namespace quillane {

class TDocument;

// Results of SaveDocument, SaveDocumentAs and SaveDocumentCopy.
enum TSaveResult : int32_t {
    srSaved = 0,
    srNotSaved = 1,  // the user cancelled or chose otherwise
    srFailed = 2,
};

// The options the workflow reads; the options holder fills them.
struct TDocFileOptions {
    bool CreateBackup = false;
    bool UndoAfterSave = true;
    bool OfferDocProp = false;
    bool GetFileNameFromDoc = false;
    bool UseDocFolder = false;
    std::string DocFolder;
    bool SaveCaretPos = false;
    // Text files in this folder are templates themselves and get none.
    std::string TemplateFolder;
};

// What one open asks for, beside the file and its format (0..5, or
// dfDetect). Previews ask for all three flags.
struct TDocOpenRequest {
    std::string FileName;
    int32_t Format = dfDetect;
    bool ReadOnly = false;      // the user ticked "read-only"
    bool CopySilently = false;  // a file in use is copied without asking
    bool FailSilently = false;  // a file invalid for the format fails without asking
};

struct TSaveDialogRequest {
    std::string Title;        // "Save Document As"
    std::string FileName;     // in: proposed; out: chosen
    std::string Folder;       // where the dialog starts, when not empty
    int32_t FilterIndex = 1;  // in/out, 1-based, into TCodingManager::SaveFilter
};

// The program around the workflow: dialogs, the other open documents, the
// undo history, the recent-files list, the status bar, the templates.
// The defaults suit a program without windows.
class TDocFileHost {
public:
    virtual ~TDocFileHost() = default;
    // The Save As dialog; false when cancelled.
    virtual bool ChooseSaveName(const TDocument&, TSaveDialogRequest&) { return false; }
    // The document-properties dialog; false when cancelled.
    virtual bool EditProperties(TDocument&) { return true; }
    // Whether a document other than `self` is open from this full name.
    virtual bool IsOpenElsewhere(const std::string& /*fullName*/, const TDocument& /*self*/) { return false; }
    // After a successful save that was not a copy: the undo history is
    // cleared unless `keepHistory`, and its current place marked as saved.
    virtual void DocumentSaved(TDocument&, bool /*keepHistory*/) {}
    virtual void AddRecent(const std::string& /*fullName*/) {}
    // The document's name changed (the document bar shows it).
    virtual void DocumentRenamed(TDocument&) {}
    virtual void ShowStatus(const std::string& /*text*/) {}
    // A template by name ("Normal.rtf", "Plain.rtf"); null for the
    // built-in one.
    virtual const TDocument* Template(const std::string& /*name*/) { return nullptr; }
};

class TDocumentFiles {
public:
    // All references are observed and must outlive this object.
    TDocumentFiles(const TFormatServices& services, const TDocFileOptions& options, TDocFileHost& host);
    ~TDocumentFiles();
    TDocumentFiles(const TDocumentFiles&) = delete;
    TDocumentFiles& operator=(const TDocumentFiles&) = delete;

    const TCodingManager& Coding() const { return coding_; }

    // Opens the file into the empty document. On failure the document is
    // left without a file, lock or format, and nothing is left on the disk.
    // `loaded` receives the reader's counts and stored caret.
    bool OpenDocument(TDocument& document, const TDocOpenRequest& request, TDocOpeningOptions& loaded);

    int32_t SaveDocument(TDocument& document);
    int32_t SaveDocumentAs(TDocument& document, const std::string& proposed, bool ask,
                           const std::string& folder = {});
    int32_t SaveDocumentCopy(TDocument& document, const std::string& fileName);
    bool MakeBackup(TDocument& document, const std::string& fileName);
    // True when the user must choose another format.
    bool CheckSaveFormat(TDocument& document, int32_t format);

private:
    struct TTemplates;

    bool OpenLock(TDocument& document, const TDocOpenRequest& request, std::string& source);
    bool MakeTemporaryCopy(const std::string& fileName, std::string& copy);
    const TDocument* TemplateFor(int32_t format, const std::string& fileName);
    bool OfferProperties(TDocument& document, bool saveAs);
    int32_t SaveAsLoop(TDocument& document, const std::string& proposed, bool ask, const std::string& folder);
    // Writes the whole document to `target` through the safe helper; the
    // document's state changes only on success, unless copyOnly.
    int32_t WriteToFile(TDocument& document, const std::string& target, int32_t format, bool copyOnly);
    void Relock(TDocument& document);
    TMessageAnswer Ask(const char* pattern, std::initializer_list<std::string> args, TMessageKind kind,
                       TMessageButtons buttons);

    const TFormatServices& services_;
    const TDocFileOptions& options_;
    TDocFileHost& host_;
    TCodingManager coding_;
    std::unique_ptr<TTemplates> templates_;
    int32_t saveDepth_ = 0;  // a Save As started from Save is not a new save
};

// Whether saving in a format without RTF's formatting loses nothing: one
// paragraph format (widow control aside) and one character format
// (language aside) over the whole document.
bool HasUniformFormatting(const TDocument& document);

}  // namespace quillane
