#pragma once
// Every stored option in one record, which the options dialog copies as a
// whole, with the histories stored beside the options. The defaults here are
// those that depend on nothing; the ones taken from the screen, the locale
// or the folders come from a TOptionsEnvironment when the options are read.

#include <cstdint>
#include <string>
#include <vector>

#include "shell/FileList.h"
#include "shell/WindowPlacement.h"

namespace quillane {

// The six view values: kept as current values by the shell and as this
// record, which is what is saved; the view commands change both.
struct TViewOptions {
    bool MarginBorders = false;
    bool Ruler = true;
    int32_t ScrollBars = 3;  // bit 0 horizontal, bit 1 vertical
    bool DocBtnBar = true;
    bool StatusBar = true;
    int32_t MouseMode = 0;  // written at exit, never read back
    bool operator==(const TViewOptions&) const = default;
};

struct TOptions {
    // Internal
    int32_t RunCount = 0;
    int32_t LastRunVer = 0;
    bool LastRunVerStored = false;  // whether the store had one (not stored itself)
    int32_t EditOptionsTab = 0;
    int32_t StyleListViewKind = 0;
    int32_t OpenDocDlgFilter = 1;
    int32_t OpenPictDlgFilter = 12;
    int32_t SavePictDlgFilter = 1;
    std::string InitDir;
    bool AdviseAtStartUp = true;
    int32_t DefDateFmt = 0;
    int32_t DefTimeFmt = 26;
    int32_t LastDateFmt = 0;
    int32_t LastFntScaleFactor = 200;
    int32_t PasteSpecFmt = 1;
    bool DocFmtAutodetectPreview = false;
    bool ConvertCodingPreview = true;
    std::string LastUsedDocTemplate;
    int32_t DocTemplView = 0;
    int32_t HelpX1 = 0, HelpY1 = 0, HelpX2 = 0, HelpY2 = 0;
    bool HelpMaximized = true;
    bool OpenDlgPreview = true;
    TStoredPlacement MainWindow;
    // Internal\FindReplace: document text, in the ANSI code page.
    std::vector<std::string> FindHistory;
    std::vector<std::string> ReplaceHistory;
    int32_t FindTextFlags = 0;
    // NewDocParams
    bool SpecSymbols = false;
    bool MaximizeNewDocs = true;
    // General
    bool NewDocAtStartUp = true;
    bool AlwaysShowTemplWnd = false;
    bool NewDocsContNum = true;
    int32_t NewDocIndex = 1;
    bool MoveToSysTray = false;
    bool FullPaths = true;
    bool OfferDocProp = false;
    int32_t DocsToKeep = 10;
    int32_t Measurements = 0;  // 0 cm, 1 in, 2 pt, 3 pica
    // The recent documents and the five dialog histories.
    TFileList RecentDocs{TFileListKind::Files};
    TFileList OpenDocFiles{TFileListKind::Files};
    TFileList SaveDocAsFiles{TFileListKind::Files};
    TFileList InsertDocFiles{TFileListKind::Files};
    TFileList InsertPictureFolders{TFileListKind::Folders};
    TFileList InsertPictureFiles{TFileListKind::Files};
    // View
    int32_t PictDrawing = 0;
    int32_t DocBtnBarAlign = 2;
    bool FlatDocBtnBar = true;
    TViewOptions View;
    // Edit
    bool ReplaceSel = true;
    bool DragDrop = true;
    bool GroupUndo = true;
    bool UndoAfterSave = true;
    bool FindWordAtCursor = true;
    bool SelWholeWords = true;
    bool StepLikeColumns = false;
    bool WiseCutPaste = true;
    bool DiscrVerScroll = false;
    bool FmtWithoutSel = true;
    bool TreatURLsAsWords = true;
    bool AccumSBSA = true;
    // LoadSave
    bool SuperCmpctSave = true;
    bool GetFileNameFromDoc = true;
    bool SaveCaretPos = false;
    bool CreateBackup = false;
    bool UseDocFolder = true;
    std::string DocFolder;  // with its trailing separator; empty means InitDir
    // Print
    int32_t Copies = 1;
    bool Collate = false;
    // HotCalculator
    bool Autodetect = true;
    bool Beep = true;
    int32_t DigitsBeforePoint = 10;
    int32_t DigitsAfterPoint = 6;
    int32_t ResHandling = 2;  // 0 clipboard, 1 insert after, 2 replace
    int32_t SelectedFunc = 0;
    // PageNum: written only when changed in this run.
    bool ProvideNum = false;
    int32_t PageNumPos = 0;
    int32_t PageNumAlign = 1;
    int32_t PageNumFmt = 0;
    int32_t StartFrom = 1;
    int32_t HideNums = 0;
    bool PageNumChanged = false;
    // LangHistory: language identifiers, most recent first.
    std::vector<int32_t> LangHistory;
    // The colour scheme in its text form; empty is "Standard".
    std::string ColorScheme;

    bool operator==(const TOptions&) const = default;
};

}  // namespace quillane
