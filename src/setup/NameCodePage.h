#pragma once
// Payload entry names are 8-bit text in Windows-1252, the same on every
// system that unpacks them; the file system takes UTF-8. These convert
// between the two and fold case the way the installer compares names.

#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// Whether a byte is a character of Windows-1252 (five bytes of the page
// are unassigned).
bool IsCp1252Character(unsigned char byte);

// The UTF-8 form of a Windows-1252 name; unassigned bytes become U+FFFD
// (names holding them are refused before they get here).
std::string Cp1252ToUtf8(std::string_view text);

// The Windows-1252 form of UTF-8 text; nothing when a character has no
// place in the page or the UTF-8 is malformed.
std::optional<std::string> Utf8ToCp1252(std::string_view text);

// A name with its letters in upper case (ASCII and the accented letters of
// the page), so that two names compare without regard to case.
std::string FoldCp1252(std::string_view text);

}  // namespace quillane
