#pragma once
// The settings tree as one table of (key, value name, type, range, default,
// field). Reading and writing walk the same table, so the two can never
// disagree about a name, a type or the order of the values.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/CodePages.h"
#include "shell/Options.h"
#include "shell/ProgramVersion.h"
#include "shell/SettingsStorage.h"

namespace quillane {

// What some defaults and ranges depend on. Tests give fixed values.
struct TOptionsEnvironment {
    int32_t ScreenWidth = 1024;
    int32_t ScreenHeight = 768;
    bool Metric = true;
    std::string CurrentFolder;    // the folder current at start
    std::string DocumentsFolder;  // without a trailing separator
    char Separator = '\\';
    int32_t RunningVersion = ProgramVersionNumber;
    int32_t DefaultLanguage = 0x0409;
    // The ANSI code page the find and replace histories are kept in (no
    // entries: Latin-1).
    TCodePageDecoding AnsiPage{};
};

// The environment of this run, from the platform.
TOptionsEnvironment CurrentOptionsEnvironment();

enum class TOptionType {
    Bool,
    Int,
    String,
    StringHistory,  // Name is the count's name, Text the entries' prefix, Max the most entries
    FileList,       // the whole key is a TFileList
    LangHistory,    // "Count" (0..Max) and numbered entries defaulting to the user's language
    LongString,     // the whole key is a long string (Text is its default)
};

enum class TOptionRule {
    Plain,
    CountsRuns,      // written as the value read plus one, saturating
    RunningVersion,  // written as the running version; its presence is noted on reading
    NeedsContNum,    // read only while "NewDocsContNum" is on, else the default
    WriteOnly,       // written, never read
    PageNumbering,   // written only when the page numbering defaults changed in this run
    PasteFormat,     // a clipboard format of the Paste Special list, else the default
    Folder,          // platform separators and a trailing one added
    RecentLimit,     // a file list of at most "DocsToKeep" entries
};

struct TOptionRow {
    std::string Key;
    std::string Name;
    TOptionType Type = TOptionType::Int;
    int32_t Min = 0;
    int32_t Default = 0;  // for booleans 0 or 1
    int32_t Max = 0;
    std::string Text;  // a string's default, or a history's prefix
    TOptionRule Rule = TOptionRule::Plain;
    bool& (*BoolField)(TOptions&) = nullptr;
    int32_t& (*IntField)(TOptions&) = nullptr;
    std::string& (*TextField)(TOptions&) = nullptr;
    TFileList& (*ListField)(TOptions&) = nullptr;
    std::vector<std::string>& (*TextsField)(TOptions&) = nullptr;
    std::vector<int32_t>& (*NumbersField)(TOptions&) = nullptr;
};

// Every stored value in the order it is read and written.
std::vector<TOptionRow> OptionTable(const TOptionsEnvironment& env);

// Clipboard formats Paste Special can remember: text, Unicode text,
// metafile, bitmap, and any registered format (Rich Text Format's number is
// given out by the system at run time).
bool IsPasteSpecialFormat(int32_t format);

// Reads every value with clamping; then the one migration: a user upgrading
// from before 1.1.2.4 to it or later gets the new default time format.
TOptions ReadOptions(TSettingsStorage& storage, const TOptionsEnvironment& env);
// Writes every value and finishes the storage; false when anything failed.
bool WriteOptions(TSettingsStorage& storage, const TOptionsEnvironment& env, const TOptions& options);

// "Key\Name=value" for every value in table order (lists entry by entry):
// what a developer tool prints to show the options as loaded.
std::vector<std::string> DumpOptions(const TOptions& options, const TOptionsEnvironment& env);

}  // namespace quillane
