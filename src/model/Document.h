#pragma once
// A document: its paragraphs (never empty) and what applies to all of them,
// page settings, document information, default character attributes, file
// identity, the modified state and the state flags. A hidden document has no
// window, reflow manager or undo manager.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/CharAttrs.h"
#include "model/DocumentInfo.h"
#include "model/DocumentParts.h"
#include "model/Page.h"
#include "model/PageSettings.h"
#include "model/ParAttrs.h"
#include "model/Paragraph.h"
#include "model/StateFlags.h"
#include "model/StyleList.h"
#include "model/TabManager.h"
#include "model/ViewState.h"
#include "platform/File.h"

namespace quillane {

class TObjectManager;

// Page measures in screen pixels, derived from the page settings.
struct TPagePixels {
    int32_t PaperWidth = 0;
    int32_t PaperHeight = 0;
    int32_t LeftMargin = 0;
    int32_t RightMargin = 0;
    int32_t TopMargin = 0;
    int32_t BottomMargin = 0;
};

class TDocument {
public:
    // A hidden document is made without a host; a visible one asks the host
    // for its window, reflow manager and undo manager.
    explicit TDocument(const TModelDefaults& defaults = TModelDefaults::BuiltIn(),
                       TDocumentHost* host = nullptr, int32_t screenPpi = 96);
    virtual ~TDocument();
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    bool Hidden() const { return hidden_; }

    // Paragraphs.
    int32_t ParagraphCount() const { return static_cast<int32_t>(paragraphs_.size()); }
    TParagraph& Paragraph(int32_t i) const { return *paragraphs_[static_cast<size_t>(i)]; }
    TParagraph& LastParagraph() const { return *paragraphs_.back(); }
    // Appends a paragraph (for readers) after fixing the line spacing of the
    // current last one. The new paragraph starts with the defaults.
    TParagraph& AddParagraph();
    TParagraph& InsertParagraph(int32_t index);
    // Removes paragraph i; the last remaining one is never removed.
    void RemoveParagraph(int32_t i);
    // Inserts count paragraphs with the defaults at index in one move of the
    // list (undoing the deletion of a long text re-creates many at once).
    void InsertParagraphs(int32_t index, int32_t count);
    // Removes paragraphs [first, first + count); at least one stays.
    void RemoveParagraphs(int32_t first, int32_t count);

    // Modified state.
    bool Modified() const { return modified_; }
    void SetModified(bool modified);

    // Page settings and their derived measures.
    const TPageSettings& PageSettings() const { return pageSettings_; }
    void ApplyPageSettings(const TPageSettings& settings, bool checkWidth);
    int32_t TextWidth() const { return textWidth_; }  // twips
    int32_t PrintableHeight() const { return printableHeight_; }  // pixels at 100 %
    const TPagePixels& PagePixels() const { return pagePixels_; }
    const TPagePixels& ZoomedPagePixels() const { return zoomedPagePixels_; }
    bool PaginationComplete() const { return paginationComplete_; }
    void SetPaginationComplete(bool complete) { paginationComplete_ = complete; }

    // Pages, made by pagination.
    int32_t PageCount() const { return static_cast<int32_t>(pages_.size()); }
    TPage& Page(int32_t i) const { return *pages_[static_cast<size_t>(i)]; }
    TPage& LastPage() const { return *pages_.back(); }
    TPage& AppendPage();
    // Frees pages first..end; their lines are on no page afterwards.
    void FreePagesFrom(int32_t first);
    void SetZoom(int32_t percent);

    void DropAllLayouts();

    // The style sheet, bound to the tab-table pool its styles refer to.
    TStyleList& Styles() { return styles_; }
    const TStyleList& Styles() const { return styles_; }
    TTabManager& Tabs() { return tabs_; }
    const TTabManager& Tabs() const { return tabs_; }

    // The embedded pictures and objects; picture and object tags carry
    // their ids. The program's picture budget is attached by whoever opens
    // the document.
    TObjectManager& Objects() { return *objects_; }
    const TObjectManager& Objects() const { return *objects_; }

    // Collaborators; empty for a hidden document.
    TDocumentWindow* Window() const { return window_.get(); }
    TReflowManager* Reflow() const { return reflow_.get(); }
    TUndoManager* Undo() const { return undo_.get(); }
    TLineLayouter* Layouter() const { return layouter_; }
    void SetLayouter(TLineLayouter* layouter) { layouter_ = layouter; }
    // The sizes of the document's pictures and objects as layout reads
    // them: the object manager's, unless another source is set (tests).
    const TObjectExtents* ObjectExtents() const;
    void SetObjectExtents(const TObjectExtents* extents) { objectExtents_ = extents; }

    // Fields read and written directly by the other subsystems.
    std::string FileName;          // full path; empty when never saved
    // The open file of the document: kept open, shared for reading only,
    // so that no other program changes it under the user's feet.
    std::unique_ptr<TFile> LockHandle;
    int32_t Format = 0;            // document format index
    TDocumentInfo Information;
    TCharAttrs DefaultCharAttrs;   // copy of the program-wide record
    TParAttrs DefaultParAttrs;
    uint8_t WidowControl = 1;
    int32_t DefaultLanguage = 0;        // the language "plain" text returns to; 0: none set
    int32_t DefaultLanguageCoding = 0;  // the language typed text takes; 0: by keyboard layout
    // Something the model cannot hold (tables, footnotes, pictures...) was
    // left out when the file was read; saving asks first.
    bool OpenedWithDataLosses = false;
    // The file workflow's record (formats/DocumentFiles.h): loaded from a
    // temporary copy because the file was in use; opened without the right
    // to write; warned once during the current save; the properties dialog
    // already offered; the file's size at the last open or save.
    bool OpenedFromCopy = false;
    bool OpenedReadOnly = false;
    bool WarnedDuringSave = false;
    bool PropertiesOffered = false;
    int64_t FileSize = 0;
    int32_t ShownPageCount = 0;
    TStateFlags Flags;
    TViewState View;

private:
    void RecomputePageMeasures();

    bool hidden_;
    bool modified_ = false;
    bool paginationComplete_ = false;
    std::vector<std::unique_ptr<TParagraph>> paragraphs_;
    TPageSettings pageSettings_;
    int32_t textWidth_ = 0;
    int32_t printableHeight_ = 0;
    TPagePixels pagePixels_;
    TPagePixels zoomedPagePixels_;
    std::unique_ptr<TDocumentWindow> window_;
    std::unique_ptr<TReflowManager> reflow_;
    std::unique_ptr<TUndoManager> undo_;
    TLineLayouter* layouter_ = nullptr;  // not owned; the program-wide layout
    const TObjectExtents* objectExtents_ = nullptr;  // not owned
    TTabManager tabs_;                   // before the styles that refer to it
    TStyleList styles_{&tabs_, this};
    std::unique_ptr<TObjectManager> objects_;
    // After the paragraphs: pages go first and clear their lines' pointers.
    std::vector<std::unique_ptr<TPage>> pages_;
};

}  // namespace quillane
