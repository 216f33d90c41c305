#pragma once
// Code pages for the RTF reader beyond the shared Unicode conversion
// (UnicodeCodePages.h): double-byte lead bytes and the old Mac OS Roman
// character set.

#include <cstdint>

#include "formats/UnicodeCodePages.h"

namespace quillane {

// Which bytes start a pair in a double-byte page.
bool IsLeadByte(int codePage, uint8_t byte);

// Mac OS Roman (with the currency sign at 0xDB) to the ISO 8859-1 byte of
// the same glyph; bytes without one stay as they are.
uint8_t MacToLatin1(uint8_t byte);

}  // namespace quillane
