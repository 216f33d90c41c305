#include "shell/OptionTable.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/Screen.h"
#include "platform/UserEnvironment.h"
#include "shell/AnsiText.h"

namespace quillane {

namespace {

// A captureless accessor of one member, for the table's field pointers.
#define FIELD(member) [](TOptions& o) -> decltype((o.member)) { return o.member; }

TOptionRow Row(std::string key, std::string name, TOptionType type, int32_t min = 0, int32_t def = 0,
               int32_t max = 0) {
    TOptionRow row;
    row.Key = std::move(key);
    row.Name = std::move(name);
    row.Type = type;
    row.Min = min;
    row.Default = def;
    row.Max = max;
    return row;
}

TOptionRow Bool(std::string key, std::string name, bool def, bool& (*field)(TOptions&)) {
    TOptionRow row = Row(std::move(key), std::move(name), TOptionType::Bool);
    row.Min = 0;
    row.Max = 1;
    row.Default = def ? 1 : 0;
    row.BoolField = field;
    return row;
}

TOptionRow Int(std::string key, std::string name, int32_t min, int32_t def, int32_t max, int32_t& (*field)(TOptions&),
               TOptionRule rule = TOptionRule::Plain) {
    TOptionRow row = Row(std::move(key), std::move(name), TOptionType::Int, min, def, max);
    row.Rule = rule;
    row.IntField = field;
    return row;
}

TOptionRow Text(std::string key, std::string name, std::string def, std::string& (*field)(TOptions&),
                TOptionRule rule = TOptionRule::Plain) {
    TOptionRow row = Row(std::move(key), std::move(name), TOptionType::String);
    row.Text = std::move(def);
    row.Rule = rule;
    row.TextField = field;
    return row;
}

TOptionRow List(std::string key, TFileList& (*field)(TOptions&), TOptionRule rule = TOptionRule::Plain) {
    TOptionRow row = Row(std::move(key), "", TOptionType::FileList, 0, 0, TFileList::MaxEntries);
    row.Rule = rule;
    row.ListField = field;
    return row;
}

TOptionRow History(std::string key, std::string countName, std::string prefix, int32_t max,
                   std::vector<std::string>& (*field)(TOptions&)) {
    TOptionRow row = Row(std::move(key), std::move(countName), TOptionType::StringHistory, 0, 0, max);
    row.Text = std::move(prefix);
    row.TextsField = field;
    return row;
}

constexpr int32_t IntMin = INT32_MIN;
constexpr int32_t IntMax = INT32_MAX;
constexpr int32_t PictureSaveFormats = 6;  // bmp, emf, wmf, jpeg, gif, png
constexpr int32_t PasteSpecialDefault = 1;  // plain text, the list's first entry

// Keys and value names as the program has always stored them.
const std::string Internal = "Internal";
const std::string MainWnd = "Internal\\MainWnd";
const std::string FindReplace = "Internal\\FindReplace";

std::string WithSeparators(std::string folder, char separator) {
    for (char& c : folder) {
        if (c == '\\' || c == '/') {
            c = separator;
        }
    }
    if (!folder.empty() && folder.back() != separator) {
        folder += separator;
    }
    return folder;
}

}  // namespace

bool IsPasteSpecialFormat(int32_t format) {
    return format == 1 || format == 2 || format == 13 || format == 14 || (format >= 0xC000 && format <= 0xFFFF);
}

std::vector<TOptionRow> OptionTable(const TOptionsEnvironment& env) {
    const int32_t w = env.ScreenWidth;
    const int32_t h = env.ScreenHeight;
    std::vector<TOptionRow> t;
    t.push_back(Int(Internal, "RunCount_FREE", 0, 0, IntMax, FIELD(RunCount), TOptionRule::CountsRuns));
    t.push_back(Int(Internal, "LastRunVer_FREE", IntMin, env.RunningVersion, IntMax, FIELD(LastRunVer),
                    TOptionRule::RunningVersion));
    t.push_back(Int(Internal, "EditOptions_Tab_FREE", 0, 0, 4, FIELD(EditOptionsTab)));
    t.push_back(Int(Internal, "StyleListViewKind", 0, 0, 1, FIELD(StyleListViewKind)));
    t.push_back(Int(Internal, "OpenDocDlgFilter_FREE", 1, 1, 7, FIELD(OpenDocDlgFilter)));
    t.push_back(Int(Internal, "OpenPictDlgFilter_FREE", 1, 12, 13, FIELD(OpenPictDlgFilter)));
    t.push_back(Int(Internal, "SavePictDlgFilter_FREE", 1, 1, PictureSaveFormats + 1, FIELD(SavePictDlgFilter)));
    t.push_back(Text(Internal, "InitDir", env.CurrentFolder, FIELD(InitDir)));
    t.push_back(Bool(Internal, "AdviseAtStartUp", true, FIELD(AdviseAtStartUp)));
    t.push_back(Int(Internal, "DefDateFmt", 0, 0, 29, FIELD(DefDateFmt)));
    t.push_back(Int(Internal, "DefTimeFmt", 0, 26, 29, FIELD(DefTimeFmt)));
    t.push_back(Int(Internal, "LastDateFmt", 0, 0, 29, FIELD(LastDateFmt)));
    t.push_back(Int(Internal, "LastFntScaleFactor", 1, 200, 1000, FIELD(LastFntScaleFactor)));
    t.push_back(Int(Internal, "PasteSpec_Fmt", IntMin, PasteSpecialDefault, IntMax, FIELD(PasteSpecFmt),
                    TOptionRule::PasteFormat));
    t.push_back(Bool(Internal, "DocFmtAutodetectPreview", false, FIELD(DocFmtAutodetectPreview)));
    t.push_back(Bool(Internal, "ConvertCodingPreview", true, FIELD(ConvertCodingPreview)));
    t.push_back(Text(Internal, "LastUsedDocTemplate", "", FIELD(LastUsedDocTemplate)));
    t.push_back(Int(Internal, "DocTemplView", 0, 0, 3, FIELD(DocTemplView)));
    t.push_back(Int(Internal, "hlpwnd_x1", IntMin, w / 10, IntMax, FIELD(HelpX1)));
    t.push_back(Int(Internal, "hlpwnd_y1", IntMin, h / 18, IntMax, FIELD(HelpY1)));
    t.push_back(Int(Internal, "hlpwnd_x2", IntMin, w * 9 / 10, IntMax, FIELD(HelpX2)));
    t.push_back(Int(Internal, "hlpwnd_y2", IntMin, h * 17 / 18, IntMax, FIELD(HelpY2)));
    t.push_back(Bool(Internal, "hlpwnd_max", true, FIELD(HelpMaximized)));
    t.push_back(Bool(Internal, "OpenDlgPreview", true, FIELD(OpenDlgPreview)));

    t.push_back(Int(MainWnd, "State", 0, 2, 2, FIELD(MainWindow.State)));
    t.push_back(Int(MainWnd, "x", -w, w / 6, w, FIELD(MainWindow.X)));
    t.push_back(Int(MainWnd, "y", -h, h / 6, h, FIELD(MainWindow.Y)));
    t.push_back(Int(MainWnd, "cx", 350, w * 4 / 6, std::max(w, 350), FIELD(MainWindow.Cx)));
    t.push_back(Int(MainWnd, "cy", 256, h * 4 / 6, std::max(h, 256), FIELD(MainWindow.Cy)));

    t.push_back(History(FindReplace, "StringsToFind", "Find_", 20, FIELD(FindHistory)));
    t.push_back(History(FindReplace, "StringsToReplace", "Replace_", 20, FIELD(ReplaceHistory)));
    t.push_back(Int(FindReplace, "FindTextFlags", 0, 0, 255, FIELD(FindTextFlags)));

    t.push_back(Bool("NewDocParams", "SpecSymbols", false, FIELD(SpecSymbols)));
    t.push_back(Bool("NewDocParams", "Maximize", true, FIELD(MaximizeNewDocs)));

    t.push_back(Bool("General", "NewDocAtStartUp", true, FIELD(NewDocAtStartUp)));
    t.push_back(Bool("General", "AlwaysShowTemplWnd", false, FIELD(AlwaysShowTemplWnd)));
    t.push_back(Bool("General", "NewDocsContNum", true, FIELD(NewDocsContNum)));
    t.push_back(Int("General", "NewDoc_Index", 1, 1, 99, FIELD(NewDocIndex), TOptionRule::NeedsContNum));
    t.push_back(Bool("General", "MoveToSysTray", false, FIELD(MoveToSysTray)));
    t.push_back(Bool("General", "FullPaths", true, FIELD(FullPaths)));
    t.push_back(Bool("General", "OfferDocProp", false, FIELD(OfferDocProp)));
    t.push_back(Int("General", "DocsToKeep", 0, 10, 30, FIELD(DocsToKeep)));
    t.push_back(Int("General", "Measurements", 0, env.Metric ? 0 : 1, 3, FIELD(Measurements)));

    t.push_back(List("RecentDocs", FIELD(RecentDocs), TOptionRule::RecentLimit));
    t.push_back(List("OpenDoc_Files", FIELD(OpenDocFiles)));
    t.push_back(List("SaveDocAs_Files", FIELD(SaveDocAsFiles)));
    t.push_back(List("InsertDoc_Files", FIELD(InsertDocFiles)));
    t.push_back(List("InsertPicture_Folders", FIELD(InsertPictureFolders)));
    t.push_back(List("InsertPicture_Files", FIELD(InsertPictureFiles)));

    t.push_back(Int("View", "PictDrawing", 0, 0, 2, FIELD(PictDrawing)));
    t.push_back(Int("View", "DocBtnBarAlign", 1, 2, 4, FIELD(DocBtnBarAlign)));
    t.push_back(Bool("View", "FlatDocBtnBar", true, FIELD(FlatDocBtnBar)));
    t.push_back(Bool("View", "MarginBorders", false, FIELD(View.MarginBorders)));
    t.push_back(Bool("View", "Ruler", true, FIELD(View.Ruler)));
    t.push_back(Int("View", "ScrollBars", 0, 3, 3, FIELD(View.ScrollBars)));
    t.push_back(Bool("View", "DocBtnBar", true, FIELD(View.DocBtnBar)));
    t.push_back(Bool("View", "StatusBar", true, FIELD(View.StatusBar)));
    t.push_back(Int("View", "MouseMode", IntMin, 0, IntMax, FIELD(View.MouseMode), TOptionRule::WriteOnly));

    t.push_back(Bool("Edit", "ReplaceSel", true, FIELD(ReplaceSel)));
    t.push_back(Bool("Edit", "Drag&Drop", true, FIELD(DragDrop)));
    t.push_back(Bool("Edit", "GroupUndo", true, FIELD(GroupUndo)));
    t.push_back(Bool("Edit", "UndoAfterSave", true, FIELD(UndoAfterSave)));
    t.push_back(Bool("Edit", "FindWordAtCursor", true, FIELD(FindWordAtCursor)));
    t.push_back(Bool("Edit", "SelWholeWords", true, FIELD(SelWholeWords)));
    t.push_back(Bool("Edit", "StepLikeColumns", false, FIELD(StepLikeColumns)));
    t.push_back(Bool("Edit", "WiseCut&Paste", true, FIELD(WiseCutPaste)));
    t.push_back(Bool("Edit", "DiscrVerScroll", false, FIELD(DiscrVerScroll)));
    t.push_back(Bool("Edit", "FmtWithoutSel", true, FIELD(FmtWithoutSel)));
    t.push_back(Bool("Edit", "TreatURLsAsWords", true, FIELD(TreatURLsAsWords)));
    t.push_back(Bool("Edit", "AccumSB&SA", true, FIELD(AccumSBSA)));

    t.push_back(Bool("LoadSave", "SuperCmpctSave", true, FIELD(SuperCmpctSave)));
    t.push_back(Bool("LoadSave", "GetFileNameFromDoc", true, FIELD(GetFileNameFromDoc)));
    t.push_back(Bool("LoadSave", "SaveCaretPos", false, FIELD(SaveCaretPos)));
    t.push_back(Bool("LoadSave", "CreateBackup", false, FIELD(CreateBackup)));
    t.push_back(Bool("LoadSave", "UseDocFolder", true, FIELD(UseDocFolder)));
    t.push_back(Text("LoadSave", "DocFolder", WithSeparators(env.DocumentsFolder, env.Separator), FIELD(DocFolder),
                     TOptionRule::Folder));

    t.push_back(Int("Print", "Copies", 1, 1, IntMax, FIELD(Copies)));
    t.push_back(Bool("Print", "Collate", false, FIELD(Collate)));

    t.push_back(Bool("HotCalculator", "Autodetect", true, FIELD(Autodetect)));
    t.push_back(Bool("HotCalculator", "Beep", true, FIELD(Beep)));
    t.push_back(Int("HotCalculator", "DigitsBeforePoint", 1, 10, 18, FIELD(DigitsBeforePoint)));
    t.push_back(Int("HotCalculator", "DigitsAfterPoint", 1, 6, 18, FIELD(DigitsAfterPoint)));
    t.push_back(Int("HotCalculator", "ResHandling", 0, 2, 2, FIELD(ResHandling)));
    t.push_back(Int("HotCalculator", "SelectedFunc", 0, 0, 97, FIELD(SelectedFunc)));

    TOptionRow provide = Bool("PageNum", "ProvideNum", false, FIELD(ProvideNum));
    provide.Rule = TOptionRule::PageNumbering;
    t.push_back(provide);
    t.push_back(Int("PageNum", "PageNumPos", 0, 0, 1, FIELD(PageNumPos), TOptionRule::PageNumbering));
    t.push_back(Int("PageNum", "PageNumAlign", 0, 1, 4, FIELD(PageNumAlign), TOptionRule::PageNumbering));
    t.push_back(Int("PageNum", "PageNumFmt", 0, 0, 4, FIELD(PageNumFmt), TOptionRule::PageNumbering));
    t.push_back(Int("PageNum", "StartFrom", 1, 1, IntMax, FIELD(StartFrom), TOptionRule::PageNumbering));
    t.push_back(Int("PageNum", "HideNums", 0, 0, IntMax, FIELD(HideNums), TOptionRule::PageNumbering));

    TOptionRow languages = Row("LangHistory", "Count", TOptionType::LangHistory, 0, env.DefaultLanguage, 8);
    languages.NumbersField = FIELD(LangHistory);
    t.push_back(languages);

    // Last: a long string opens a key of its own.
    TOptionRow scheme = Row("ColorScheme", "", TOptionType::LongString);
    scheme.TextField = FIELD(ColorScheme);
    t.push_back(scheme);
    return t;
}

#undef FIELD

namespace {

void ReadRow(TSettingsStorage& storage, const TOptionsEnvironment& env, const TOptionRow& row, TOptions& o) {
    switch (row.Type) {
        case TOptionType::Bool:
            row.BoolField(o) = storage.ReadBool(row.Name, row.Default != 0);
            break;
        case TOptionType::Int: {
            int32_t& field = row.IntField(o);
            if (row.Rule == TOptionRule::WriteOnly || (row.Rule == TOptionRule::NeedsContNum && !o.NewDocsContNum)) {
                field = row.Default;
                break;
            }
            field = storage.ReadInteger(row.Name, row.Min, row.Default, row.Max);
            if (row.Rule == TOptionRule::RunningVersion) {
                o.LastRunVerStored = storage.HasValue(row.Name);
            }
            if (row.Rule == TOptionRule::PasteFormat && !IsPasteSpecialFormat(field)) {
                field = row.Default;
            }
            break;
        }
        case TOptionType::String: {
            std::string& field = row.TextField(o);
            field = storage.ReadString(row.Name, row.Text);
            if (row.Rule == TOptionRule::Folder) {
                field = WithSeparators(field, env.Separator);
            }
            break;
        }
        case TOptionType::StringHistory: {
            std::vector<std::string>& list = row.TextsField(o);
            list.clear();
            const int32_t count = storage.ReadInteger(row.Name, 0, 0, row.Max);
            for (int32_t i = 0; i < count; ++i) {
                const std::string entry = storage.ReadString(row.Text + TFileList::EntryName(i), "");
                if (!entry.empty()) {
                    list.push_back(Utf8ToAnsi(entry, env.AnsiPage));
                }
            }
            break;
        }
        case TOptionType::FileList:
            row.ListField(o).LoadFrom(storage, row.Rule == TOptionRule::RecentLimit ? o.DocsToKeep
                                                                                  : TFileList::MaxEntries);
            break;
        case TOptionType::LangHistory: {
            std::vector<int32_t>& list = row.NumbersField(o);
            list.clear();
            // Absent: nothing is loaded.
            const int32_t count = storage.ReadInteger(row.Name, 0, 0, row.Max);
            for (int32_t i = 0; i < count; ++i) {
                list.push_back(storage.ReadInteger(TFileList::EntryName(i), 0, row.Default, 0xFFFF));
            }
            break;
        }
        case TOptionType::LongString:
            row.TextField(o) = storage.ReadLongString(row.Key, row.Text);
            break;
    }
}

void WriteRow(TSettingsStorage& storage, const TOptionsEnvironment& env, const TOptionRow& row, TOptions& o) {
    if (row.Rule == TOptionRule::PageNumbering && !o.PageNumChanged) {
        return;
    }
    switch (row.Type) {
        case TOptionType::Bool: storage.WriteBool(row.Name, row.BoolField(o)); break;
        case TOptionType::Int: {
            int32_t value = row.IntField(o);
            if (row.Rule == TOptionRule::CountsRuns) {
                value = value < IntMax ? std::max(value, 0) + 1 : IntMax;
            } else if (row.Rule == TOptionRule::RunningVersion) {
                value = env.RunningVersion;
            }
            storage.WriteInteger(row.Name, value);
            break;
        }
        case TOptionType::String: storage.WriteString(row.Name, row.TextField(o)); break;
        case TOptionType::StringHistory: {
            const std::vector<std::string>& list = row.TextsField(o);
            const auto count = static_cast<int32_t>(std::min<size_t>(list.size(), static_cast<size_t>(row.Max)));
            storage.WriteInteger(row.Name, count);
            for (int32_t i = 0; i < row.Max; ++i) {
                const std::string name = row.Text + TFileList::EntryName(i);
                if (i < count) {
                    storage.WriteString(name, AnsiToUtf8(list[static_cast<size_t>(i)], env.AnsiPage));
                } else if (storage.HasValue(name)) {
                    storage.DeleteValue(name);
                }
            }
            break;
        }
        case TOptionType::FileList: row.ListField(o).SaveTo(storage); break;
        case TOptionType::LangHistory: {
            const std::vector<int32_t>& list = row.NumbersField(o);
            const auto count = static_cast<int32_t>(std::min<size_t>(list.size(), static_cast<size_t>(row.Max)));
            for (int32_t i = 0; i < count; ++i) {
                storage.WriteInteger(TFileList::EntryName(i), list[static_cast<size_t>(i)]);
            }
            storage.WriteInteger(row.Name, count);
            break;
        }
        case TOptionType::LongString: storage.WriteLongString(row.Key, row.TextField(o)); break;
    }
}

// Opens each row's key once, when the key changes.
class TKeyWalker {
public:
    explicit TKeyWalker(TSettingsStorage& storage) : storage_(storage) {}
    void Enter(const TOptionRow& row) {
        if (row.Type != TOptionType::LongString && row.Key != open_) {
            storage_.OpenKey(row.Key);
            open_ = row.Key;
        }
    }

private:
    TSettingsStorage& storage_;
    std::string open_;
};

}  // namespace

TOptions ReadOptions(TSettingsStorage& storage, const TOptionsEnvironment& env) {
    TOptions options;
    TKeyWalker keys(storage);
    for (const TOptionRow& row : OptionTable(env)) {
        keys.Enter(row);
        ReadRow(storage, env, row, options);
    }
    // Only an upgrade across the version that changed the default time
    // format resets it; a run of an older version never does.
    if (options.LastRunVerStored && options.LastRunVer < TimeFormatResetVersion &&
        env.RunningVersion >= TimeFormatResetVersion) {
        options.DefTimeFmt = 26;
    }
    return options;
}

bool WriteOptions(TSettingsStorage& storage, const TOptionsEnvironment& env, const TOptions& options) {
    TOptions copy = options;  // the table's accessors take a modifiable record
    TKeyWalker keys(storage);
    for (const TOptionRow& row : OptionTable(env)) {
        keys.Enter(row);
        WriteRow(storage, env, row, copy);
    }
    return storage.Finish();
}

std::vector<std::string> DumpOptions(const TOptions& options, const TOptionsEnvironment& env) {
    TOptions o = options;
    std::vector<std::string> lines;
    auto line = [&](const std::string& key, const std::string& name, const std::string& value) {
        lines.push_back(key + "\\" + name + "=" + value);
    };
    for (const TOptionRow& row : OptionTable(env)) {
        switch (row.Type) {
            case TOptionType::Bool: line(row.Key, row.Name, row.BoolField(o) ? "1" : "0"); break;
            case TOptionType::Int: line(row.Key, row.Name, std::to_string(row.IntField(o))); break;
            case TOptionType::String: line(row.Key, row.Name, row.TextField(o)); break;
            case TOptionType::StringHistory: {
                const auto& list = row.TextsField(o);
                line(row.Key, row.Name, std::to_string(list.size()));
                for (size_t i = 0; i < list.size(); ++i) {
                    line(row.Key, row.Text + TFileList::EntryName(static_cast<int32_t>(i)),
                         AnsiToUtf8(list[i], env.AnsiPage));
                }
                break;
            }
            case TOptionType::FileList: {
                const auto& paths = row.ListField(o).Paths();
                line(row.Key, "Count", std::to_string(paths.size()));
                for (size_t i = 0; i < paths.size(); ++i) {
                    line(row.Key, TFileList::EntryName(static_cast<int32_t>(i)), paths[i]);
                }
                break;
            }
            case TOptionType::LangHistory: {
                const auto& list = row.NumbersField(o);
                line(row.Key, row.Name, std::to_string(list.size()));
                for (size_t i = 0; i < list.size(); ++i) {
                    line(row.Key, TFileList::EntryName(static_cast<int32_t>(i)), std::to_string(list[i]));
                }
                break;
            }
            case TOptionType::LongString: lines.push_back(row.Key + "=" + row.TextField(o)); break;
        }
    }
    return lines;
}

TOptionsEnvironment CurrentOptionsEnvironment() {
    TOptionsEnvironment env;
    const TScreenSize screen = PrimaryScreenSize();
    env.ScreenWidth = screen.Width;
    env.ScreenHeight = screen.Height;
    env.Metric = UserLocaleIsMetric();
    std::error_code error;
    // UTF-8, as every path in the program (string() is the ANSI page on Windows).
    const std::u8string current = std::filesystem::current_path(error).u8string();
    env.CurrentFolder.assign(current.begin(), current.end());
    env.DocumentsFolder = UserDocumentsFolder();
    env.Separator = PathSeparator();
    env.DefaultLanguage = UserDefaultLanguage();
    try {
        env.AnsiPage = DecodeCodePage(0);
    } catch (const std::exception&) {
        // No tables for the system's page: Latin-1, byte for byte.
    }
    return env;
}

}  // namespace quillane
