// The settings tree: every value's key, name, type, range and default, what
// reading makes of stored values, what writing stores, and the migration.

#include <gtest/gtest.h>

#include <climits>

#include "shell/CarefullRegistry.h"
#include "shell/OptionTable.h"
#include "support/MemorySettingsStore.h"

namespace quillane {
namespace {

using test::OpenMemoryStore;
using test::TMemorySettings;

// A screen of 1024 x 768, a metric locale, fixed folders.
TOptionsEnvironment TestEnvironment() {
    TOptionsEnvironment env;
    env.ScreenWidth = 1024;
    env.ScreenHeight = 768;
    env.Metric = true;
    env.CurrentFolder = "C:\\Start";
    env.DocumentsFolder = "C:\\Users\\ann\\Documents";
    env.Separator = '\\';
    env.RunningVersion = 10000071;
    env.DefaultLanguage = 0x0407;
    return env;
}

constexpr int32_t Max = INT_MAX;
constexpr int32_t Min = INT_MIN;

struct RowCase {
    const char* Key;
    const char* Name;
    TOptionType Type;
    int32_t Min, Default, Max;
    const char* Text;
};

// The tree as the program stores it, in reading order.
const RowCase ExpectedTree[] = {
    {"Internal", "RunCount_FREE", TOptionType::Int, 0, 0, Max, ""},
    {"Internal", "LastRunVer_FREE", TOptionType::Int, Min, 10000071, Max, ""},
    {"Internal", "EditOptions_Tab_FREE", TOptionType::Int, 0, 0, 4, ""},
    {"Internal", "StyleListViewKind", TOptionType::Int, 0, 0, 1, ""},
    {"Internal", "OpenDocDlgFilter_FREE", TOptionType::Int, 1, 1, 7, ""},
    {"Internal", "OpenPictDlgFilter_FREE", TOptionType::Int, 1, 12, 13, ""},
    {"Internal", "SavePictDlgFilter_FREE", TOptionType::Int, 1, 1, 7, ""},
    {"Internal", "InitDir", TOptionType::String, 0, 0, 0, "C:\\Start"},
    {"Internal", "AdviseAtStartUp", TOptionType::Bool, 0, 1, 1, ""},
    {"Internal", "DefDateFmt", TOptionType::Int, 0, 0, 29, ""},
    {"Internal", "DefTimeFmt", TOptionType::Int, 0, 26, 29, ""},
    {"Internal", "LastDateFmt", TOptionType::Int, 0, 0, 29, ""},
    {"Internal", "LastFntScaleFactor", TOptionType::Int, 1, 200, 1000, ""},
    {"Internal", "PasteSpec_Fmt", TOptionType::Int, Min, 1, Max, ""},
    {"Internal", "DocFmtAutodetectPreview", TOptionType::Bool, 0, 0, 1, ""},
    {"Internal", "ConvertCodingPreview", TOptionType::Bool, 0, 1, 1, ""},
    {"Internal", "LastUsedDocTemplate", TOptionType::String, 0, 0, 0, ""},
    {"Internal", "DocTemplView", TOptionType::Int, 0, 0, 3, ""},
    {"Internal", "hlpwnd_x1", TOptionType::Int, Min, 102, Max, ""},
    {"Internal", "hlpwnd_y1", TOptionType::Int, Min, 42, Max, ""},
    {"Internal", "hlpwnd_x2", TOptionType::Int, Min, 921, Max, ""},
    {"Internal", "hlpwnd_y2", TOptionType::Int, Min, 725, Max, ""},
    {"Internal", "hlpwnd_max", TOptionType::Bool, 0, 1, 1, ""},
    {"Internal", "OpenDlgPreview", TOptionType::Bool, 0, 1, 1, ""},
    {"Internal\\MainWnd", "State", TOptionType::Int, 0, 2, 2, ""},
    {"Internal\\MainWnd", "x", TOptionType::Int, -1024, 170, 1024, ""},
    {"Internal\\MainWnd", "y", TOptionType::Int, -768, 128, 768, ""},
    {"Internal\\MainWnd", "cx", TOptionType::Int, 350, 682, 1024, ""},
    {"Internal\\MainWnd", "cy", TOptionType::Int, 256, 512, 768, ""},
    {"Internal\\FindReplace", "StringsToFind", TOptionType::StringHistory, 0, 0, 20, "Find_"},
    {"Internal\\FindReplace", "StringsToReplace", TOptionType::StringHistory, 0, 0, 20, "Replace_"},
    {"Internal\\FindReplace", "FindTextFlags", TOptionType::Int, 0, 0, 255, ""},
    {"NewDocParams", "SpecSymbols", TOptionType::Bool, 0, 0, 1, ""},
    {"NewDocParams", "Maximize", TOptionType::Bool, 0, 1, 1, ""},
    {"General", "NewDocAtStartUp", TOptionType::Bool, 0, 1, 1, ""},
    {"General", "AlwaysShowTemplWnd", TOptionType::Bool, 0, 0, 1, ""},
    {"General", "NewDocsContNum", TOptionType::Bool, 0, 1, 1, ""},
    {"General", "NewDoc_Index", TOptionType::Int, 1, 1, 99, ""},
    {"General", "MoveToSysTray", TOptionType::Bool, 0, 0, 1, ""},
    {"General", "FullPaths", TOptionType::Bool, 0, 1, 1, ""},
    {"General", "OfferDocProp", TOptionType::Bool, 0, 0, 1, ""},
    {"General", "DocsToKeep", TOptionType::Int, 0, 10, 30, ""},
    {"General", "Measurements", TOptionType::Int, 0, 0, 3, ""},
    {"RecentDocs", "", TOptionType::FileList, 0, 0, 30, ""},
    {"OpenDoc_Files", "", TOptionType::FileList, 0, 0, 30, ""},
    {"SaveDocAs_Files", "", TOptionType::FileList, 0, 0, 30, ""},
    {"InsertDoc_Files", "", TOptionType::FileList, 0, 0, 30, ""},
    {"InsertPicture_Folders", "", TOptionType::FileList, 0, 0, 30, ""},
    {"InsertPicture_Files", "", TOptionType::FileList, 0, 0, 30, ""},
    {"View", "PictDrawing", TOptionType::Int, 0, 0, 2, ""},
    {"View", "DocBtnBarAlign", TOptionType::Int, 1, 2, 4, ""},
    {"View", "FlatDocBtnBar", TOptionType::Bool, 0, 1, 1, ""},
    {"View", "MarginBorders", TOptionType::Bool, 0, 0, 1, ""},
    {"View", "Ruler", TOptionType::Bool, 0, 1, 1, ""},
    {"View", "ScrollBars", TOptionType::Int, 0, 3, 3, ""},
    {"View", "DocBtnBar", TOptionType::Bool, 0, 1, 1, ""},
    {"View", "StatusBar", TOptionType::Bool, 0, 1, 1, ""},
    {"View", "MouseMode", TOptionType::Int, Min, 0, Max, ""},
    {"Edit", "ReplaceSel", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "Drag&Drop", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "GroupUndo", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "UndoAfterSave", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "FindWordAtCursor", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "SelWholeWords", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "StepLikeColumns", TOptionType::Bool, 0, 0, 1, ""},
    {"Edit", "WiseCut&Paste", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "DiscrVerScroll", TOptionType::Bool, 0, 0, 1, ""},
    {"Edit", "FmtWithoutSel", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "TreatURLsAsWords", TOptionType::Bool, 0, 1, 1, ""},
    {"Edit", "AccumSB&SA", TOptionType::Bool, 0, 1, 1, ""},
    {"LoadSave", "SuperCmpctSave", TOptionType::Bool, 0, 1, 1, ""},
    {"LoadSave", "GetFileNameFromDoc", TOptionType::Bool, 0, 1, 1, ""},
    {"LoadSave", "SaveCaretPos", TOptionType::Bool, 0, 0, 1, ""},
    {"LoadSave", "CreateBackup", TOptionType::Bool, 0, 0, 1, ""},
    {"LoadSave", "UseDocFolder", TOptionType::Bool, 0, 1, 1, ""},
    {"LoadSave", "DocFolder", TOptionType::String, 0, 0, 0, "C:\\Users\\ann\\Documents\\"},
    {"Print", "Copies", TOptionType::Int, 1, 1, Max, ""},
    {"Print", "Collate", TOptionType::Bool, 0, 0, 1, ""},
    {"HotCalculator", "Autodetect", TOptionType::Bool, 0, 1, 1, ""},
    {"HotCalculator", "Beep", TOptionType::Bool, 0, 1, 1, ""},
    {"HotCalculator", "DigitsBeforePoint", TOptionType::Int, 1, 10, 18, ""},
    {"HotCalculator", "DigitsAfterPoint", TOptionType::Int, 1, 6, 18, ""},
    {"HotCalculator", "ResHandling", TOptionType::Int, 0, 2, 2, ""},
    {"HotCalculator", "SelectedFunc", TOptionType::Int, 0, 0, 97, ""},
    {"PageNum", "ProvideNum", TOptionType::Bool, 0, 0, 1, ""},
    {"PageNum", "PageNumPos", TOptionType::Int, 0, 0, 1, ""},
    {"PageNum", "PageNumAlign", TOptionType::Int, 0, 1, 4, ""},
    {"PageNum", "PageNumFmt", TOptionType::Int, 0, 0, 4, ""},
    {"PageNum", "StartFrom", TOptionType::Int, 1, 1, Max, ""},
    {"PageNum", "HideNums", TOptionType::Int, 0, 0, Max, ""},
    {"LangHistory", "Count", TOptionType::LangHistory, 0, 0x0407, 8, ""},
    {"ColorScheme", "", TOptionType::LongString, 0, 0, 0, ""},
};

TEST(OptionTable, TreeHasEveryValueWithItsRangeAndDefault) {
    const std::vector<TOptionRow> table = OptionTable(TestEnvironment());
    ASSERT_EQ(std::size(ExpectedTree), table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        const RowCase& e = ExpectedTree[i];
        const TOptionRow& row = table[i];
        SCOPED_TRACE(std::string(e.Key) + "\\" + e.Name);
        EXPECT_EQ(e.Key, row.Key);
        EXPECT_EQ(e.Name, row.Name);
        EXPECT_EQ(e.Type, row.Type);
        EXPECT_EQ(e.Min, row.Min);
        EXPECT_EQ(e.Default, row.Default);
        EXPECT_EQ(e.Max, row.Max);
        EXPECT_EQ(e.Text, row.Text);
    }
    // In inches where the locale is not metric.
    TOptionsEnvironment inches = TestEnvironment();
    inches.Metric = false;
    TSettingsStorage none;
    EXPECT_EQ(1, ReadOptions(none, inches).Measurements);
}

class OptionStore : public ::testing::Test {
protected:
    static constexpr const char* Root = "HKEY_CURRENT_USER\\Software\\Orvanic\\Quillane.1_x\\";
    std::unique_ptr<TCarefullRegistry> Storage() {
        return std::make_unique<TCarefullRegistry>(OpenMemoryStore(settings_), QuillaneSettingsRoot);
    }
    void Seed(const std::string& key, const TRegValue& value) {
        SetValue(AddSection(settings_.Tree, Root + key), value);
    }
    void SeedNumber(const std::string& key, const char* name, uint32_t n) {
        Seed(key, {name, TSettingsValueKind::Number, n, ""});
    }
    void SeedString(const std::string& key, const char* name, const std::string& s) {
        Seed(key, {name, TSettingsValueKind::String, 0, s});
    }
    TSettingsValue Stored(const std::string& key, const char* name) {
        return settings_.Value(std::string("Software\\Orvanic\\Quillane.1_x\\") + key, name);
    }
    TOptions Load() { return ReadOptions(*Storage(), env_); }
    void Save(const TOptions& options) { ASSERT_TRUE(WriteOptions(*Storage(), env_, options)); }

    TMemorySettings settings_;
    TOptionsEnvironment env_ = TestEnvironment();
};

// Out-of-range values read clamped and are written back clamped.
TEST_F(OptionStore, StoredValuesAreClampedAndWrittenBackClamped) {
    SeedNumber("General", "DocsToKeep", 50);
    SeedNumber("View", "ScrollBars", 7);
    SeedNumber("Internal\\MainWnd", "x", 10000);
    SeedNumber("Internal\\MainWnd", "cx", 100);
    SeedNumber("HotCalculator", "DigitsBeforePoint", 0);
    SeedNumber("Internal", "OpenPictDlgFilter_FREE", 0xFFFFFFFFu);
    SeedNumber("Internal", "hlpwnd_x1", 0xFFFFFF00u);  // not clamped at all
    const TOptions options = Load();
    EXPECT_EQ(30, options.DocsToKeep);
    EXPECT_EQ(3, options.View.ScrollBars);
    EXPECT_EQ(1024, options.MainWindow.X);
    EXPECT_EQ(350, options.MainWindow.Cx);
    EXPECT_EQ(1, options.DigitsBeforePoint);
    EXPECT_EQ(1, options.OpenPictDlgFilter);
    EXPECT_EQ(-256, options.HelpX1);
    Save(options);
    EXPECT_EQ(0x1Eu, Stored("General", "DocsToKeep").Number);
    EXPECT_EQ(3u, Stored("View", "ScrollBars").Number);
}

TEST_F(OptionStore, RunCountSaturatesAndTheRunningVersionIsWritten) {
    struct Case {
        uint32_t Stored;
        uint32_t Written;
    };
    const Case cases[] = {{0, 1}, {41, 42}, {0x7FFFFFFEu, 0x7FFFFFFFu}, {0x7FFFFFFFu, 0x7FFFFFFFu}, {0x80000000u, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Stored);
        settings_ = TMemorySettings{};
        SeedNumber("Internal", "RunCount_FREE", c.Stored);
        SeedNumber("Internal", "LastRunVer_FREE", 5);
        Save(Load());
        EXPECT_EQ(c.Written, Stored("Internal", "RunCount_FREE").Number);
        EXPECT_EQ(10000071u, Stored("Internal", "LastRunVer_FREE").Number);
    }
    // A fresh store: the first save counts one run.
    settings_ = TMemorySettings{};
    Save(Load());
    EXPECT_EQ(1u, Stored("Internal", "RunCount_FREE").Number);
    Save(Load());
    EXPECT_EQ(2u, Stored("Internal", "RunCount_FREE").Number);
}

// The time format is reset only on an upgrade across 1.1.2.4, never on
// every start of an older version.
TEST_F(OptionStore, TimeFormatMigratesOnlyOnUpgradeAcrossItsVersion) {
    struct Case {
        const char* Name;
        bool HasLastRun;
        uint32_t LastRun;
        int32_t Running;
        int32_t Expected;
    };
    const Case cases[] = {
        {"older run, older program", true, 10000000, 10000071, 5},
        {"same version", true, 10000071, 10000071, 5},
        {"upgrade across", true, 10000071, 10102004, 26},
        {"upgrade past", true, 10000071, 20000000, 26},
        {"already past", true, 10102004, 10102010, 5},
        {"no last run stored", false, 0, 10102004, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        settings_ = TMemorySettings{};
        env_.RunningVersion = c.Running;
        SeedNumber("Internal", "DefTimeFmt", 5);
        if (c.HasLastRun) {
            SeedNumber("Internal", "LastRunVer_FREE", c.LastRun);
        }
        EXPECT_EQ(c.Expected, Load().DefTimeFmt);
        // Two runs of an older program keep the user's choice.
        Save(Load());
        EXPECT_EQ(c.Expected, Load().DefTimeFmt);
    }
}

TEST_F(OptionStore, RulesOfSingleValues) {
    SeedNumber("General", "NewDocsContNum", 0);
    SeedNumber("General", "NewDoc_Index", 12);
    SeedNumber("View", "MouseMode", 3);
    SeedNumber("Internal", "PasteSpec_Fmt", 7);  // not a Paste Special format
    SeedString("LoadSave", "DocFolder", "D:/Letters");
    SeedNumber("PageNum", "StartFrom", 9);
    TOptions options = Load();
    EXPECT_EQ(1, options.NewDocIndex);  // ignored while numbering is not continuous
    EXPECT_EQ(0, options.View.MouseMode);  // never read
    EXPECT_EQ(1, options.PasteSpecFmt);
    EXPECT_EQ("D:\\Letters\\", options.DocFolder);
    EXPECT_EQ(9, options.StartFrom);
    EXPECT_FALSE(options.LastRunVerStored);

    SeedNumber("General", "NewDocsContNum", 1);
    SeedNumber("Internal", "PasteSpec_Fmt", 0xC09A);  // a registered format
    EXPECT_EQ(12, Load().NewDocIndex);
    EXPECT_EQ(0xC09A, Load().PasteSpecFmt);

    // Page numbering is written only when it changed in this run.
    options.StartFrom = 4;
    options.View.MouseMode = 2;
    Save(options);
    EXPECT_EQ(9u, Stored("PageNum", "StartFrom").Number);
    EXPECT_EQ(2u, Stored("View", "MouseMode").Number);
    options.PageNumChanged = true;
    Save(options);
    EXPECT_EQ(4u, Stored("PageNum", "StartFrom").Number);
}

// Recent documents: at most "DocsToKeep" are loaded, and saving deletes the
// rest from the store.
TEST_F(OptionStore, RecentDocumentsFollowDocsToKeep) {
    SeedNumber("General", "DocsToKeep", 3);
    SeedNumber("RecentDocs", "Count", 5);
    for (const char* letter : {"A", "B", "C", "D", "E"}) {
        SeedString("RecentDocs", letter, std::string("C:\\") + letter + ".rtf");
    }
    const TOptions options = Load();
    EXPECT_EQ((std::vector<std::string>{"C:\\A.rtf", "C:\\B.rtf", "C:\\C.rtf"}), options.RecentDocs.Paths());
    Save(options);
    EXPECT_EQ(3u, Stored("RecentDocs", "Count").Number);
    EXPECT_EQ(TSettingsValueKind::Missing, Stored("RecentDocs", "D").Kind);
    EXPECT_EQ(TSettingsValueKind::Missing, Stored("RecentDocs", "E").Kind);
}

TEST_F(OptionStore, HistoriesRoundTrip) {
    SeedNumber("Internal\\FindReplace", "StringsToFind", 3);
    SeedString("Internal\\FindReplace", "Find_A", "alpha");
    SeedString("Internal\\FindReplace", "Find_C", "gamma");  // B is missing
    SeedNumber("Internal\\FindReplace", "StringsToReplace", 99);
    SeedNumber("LangHistory", "Count", 2);
    SeedNumber("LangHistory", "A", 0x0409);
    TOptions options = Load();
    EXPECT_EQ((std::vector<std::string>{"alpha", "gamma"}), options.FindHistory);
    EXPECT_TRUE(options.ReplaceHistory.empty());
    EXPECT_EQ((std::vector<int32_t>{0x0409, 0x0407}), options.LangHistory);  // B: the user's language

    options.FindHistory = {"one"};
    options.ReplaceHistory = {"r1", "r2"};
    options.ColorScheme = std::string(1500, 'F');
    Save(options);
    EXPECT_EQ(TSettingsValueKind::Missing, Stored("Internal\\FindReplace", "Find_C").Kind);
    const TOptions back = Load();
    EXPECT_EQ(options.FindHistory, back.FindHistory);
    EXPECT_EQ(options.ReplaceHistory, back.ReplaceHistory);
    EXPECT_EQ(options.ColorScheme, back.ColorScheme);
    EXPECT_EQ(3u, Stored("ColorScheme", "Count").Number);
}

// Every value changed and saved reads back as saved; the defaults written
// to an empty store read back as the defaults.
TEST_F(OptionStore, EverythingWrittenReadsBack) {
    TOptions defaults = Load();
    EXPECT_EQ(ReadOptions(*std::make_unique<TSettingsStorage>(), env_), defaults);
    Save(defaults);
    TOptions again = Load();
    EXPECT_EQ(1, again.RunCount);
    again.RunCount = 0;
    again.LastRunVerStored = false;
    EXPECT_EQ(defaults, again);

    TOptions changed = defaults;
    changed.RunCount = 6;  // stored as 7
    changed.DocsToKeep = 4;
    changed.Measurements = 3;
    changed.View = {true, false, 1, false, false, 0};
    changed.MainWindow = {0, 11, 22, 633, 444};
    changed.AccumSBSA = false;
    changed.DragDrop = false;
    changed.WiseCutPaste = false;
    changed.DocFolder = "E:\\Work\\";
    changed.Copies = 3;
    changed.OpenDocFiles.Add("C:\\x", 10);
    changed.InsertPictureFolders.Add("C:\\pics", 10);
    changed.LangHistory = {0x0419};
    changed.ColorScheme = "00FF00FF";
    changed.ProvideNum = true;
    changed.PageNumChanged = true;
    Save(changed);
    TOptions back = Load();
    EXPECT_EQ(7, back.RunCount);
    back.RunCount = changed.RunCount;
    back.PageNumChanged = true;
    back.LastRunVerStored = changed.LastRunVerStored;
    EXPECT_EQ(changed, back);
}

TEST_F(OptionStore, DumpListsEveryValueInTableOrder) {
    SeedNumber("RecentDocs", "Count", 1);
    SeedString("RecentDocs", "A", "C:\\a.rtf");
    const std::vector<std::string> lines = DumpOptions(Load(), env_);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("Internal\\RunCount_FREE=0", lines.front());
    EXPECT_EQ("ColorScheme=", lines.back());
    for (const char* expected :
         {"General\\DocsToKeep=10", "View\\ScrollBars=3", "View\\DocBtnBarAlign=2", "Edit\\UndoAfterSave=1",
          "LoadSave\\CreateBackup=0", "HotCalculator\\DigitsBeforePoint=10", "HotCalculator\\DigitsAfterPoint=6",
          "HotCalculator\\ResHandling=2", "Internal\\DefTimeFmt=26", "RecentDocs\\Count=1", "RecentDocs\\A=C:\\a.rtf",
          "Internal\\MainWnd\\x=170"}) {
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), expected)) << expected;
    }
}

}  // namespace
}  // namespace quillane
