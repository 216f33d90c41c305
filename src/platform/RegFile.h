#pragma once
// The text form of a settings tree, in the syntax of registry export files
// (what the system's registry editor writes and reads):
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Orvanic\Quillane.1_x\General]
//   "DocsToKeep"=dword:0000000a
//   "DocFolder"="C:\\Users\\ann\\Documents\\"
//
// Names and strings escape "\" and the double quote with a backslash, and a
// line break as "\n"; "@" names a key's unnamed value. A value of any other
// type ("hex:...", "hex(2):...", continued over lines ending in "\") is kept
// as it stands and written back unchanged. The POSIX settings store keeps
// its file in this form; tests seed both stores from it.
//
// Reading accepts UTF-8 (a line that is not valid UTF-8 is read as Latin-1),
// UTF-16LE with a byte-order mark (as export files often are), and CRLF or
// LF line ends. A line that does not parse is counted and skipped.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SettingsStore.h"

namespace quillane {

struct TRegValue {
    std::string Name;  // "" is the unnamed value
    TSettingsValueKind Kind = TSettingsValueKind::String;
    uint32_t Number = 0;
    // A string's text; for Other the text after "=" as the file had it, its
    // continuation lines joined by "\n".
    std::string Text;
    bool operator==(const TRegValue&) const = default;
};

struct TRegSection {
    std::string Path;  // full path, hive first: "HKEY_CURRENT_USER\\Software\\..."
    std::vector<TRegValue> Values;
    bool operator==(const TRegSection&) const = default;
};

struct TRegDocument {
    std::vector<TRegSection> Sections;
    int32_t IgnoredLines = 0;  // lines that did not parse (a missing header counts as one)
    bool CrLf = false;         // the lines ended in CRLF
};

extern const char RegFileHeader[];  // "Windows Registry Editor Version 5.00"

TRegDocument ParseRegText(std::string_view bytes);
// Sections sorted by path and values by name, both without regard to case
// and stable otherwise, so files written from the same tree are the same
// bytes and diff cleanly. Lines end as doc.CrLf says.
std::string FormatRegText(const TRegDocument& doc);

// A key path as the stores take it: "\" between names, none at either end
// and none doubled ("\Software\\X\" becomes "Software\X").
std::string NormalizeKeyPath(std::string_view path);

// Names of keys and values compare as the registry compares them: without
// regard to case (of ASCII letters).
bool SameSettingsName(std::string_view a, std::string_view b);

// Edits of the tree. A value written again keeps the spelling its name was
// first written with.
TRegSection* FindSection(TRegDocument& doc, std::string_view path);
TRegSection& AddSection(TRegDocument& doc, std::string_view path);
const TRegValue* FindValue(const TRegSection& section, std::string_view name);
void SetValue(TRegSection& section, const TRegValue& value);
void RemoveValue(TRegSection& section, std::string_view name);
// Removes the section at path and every section below it.
void RemoveTree(TRegDocument& doc, std::string_view path);

}  // namespace quillane
