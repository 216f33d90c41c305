#pragma once
// The names of the built-in styles. One table serves both as the names stored
// in documents and as the names shown to the user.

#include <cstdint>
#include <string>

namespace quillane {

class TStyleList;

constexpr int32_t BuiltInStyleCount = 92;

// Name of built-in style i (0 "Normal", 1 to 9 "Heading 1" to "Heading 9", ...).
const char* BuiltInStyleName(int32_t i);
const char* BuiltInStyleDisplayName(int32_t i);
// The built-in index of a name, compared case-insensitively, -1 when none.
int32_t FindBuiltInStyle(const std::string& name);
bool IsHeadingStyle(int32_t builtInIndex);
// Built-in styles that documents spell in lower case.
bool BuiltInNameWrittenInLowerCase(int32_t builtInIndex);

// Marks each style of the list as built-in or not by its name, and sets its
// stored and display names from the tables.
void ClassifyStyleNames(TStyleList& list);

bool SameNameIgnoringCase(const std::string& a, const std::string& b);

}  // namespace quillane
