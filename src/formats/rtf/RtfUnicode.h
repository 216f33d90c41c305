#pragma once
// Code pages for the RTF reader beyond the shared Unicode conversion
// (UnicodeCodePages.h): double-byte lead bytes and the old Mac OS Roman
// character set.

#include <cstdint>

#include "formats/UnicodeCodePages.h"

namespace quillane {

// Whether the page writes characters as one or two bytes, and which bytes
// start a pair.
bool IsDoubleByteCodePage(int codePage);
bool IsLeadByte(int codePage, uint8_t byte);

// Mac OS Roman (with the currency sign at 0xDB) to the ISO 8859-1 byte of
// the same glyph; bytes without one stay as they are.
uint8_t MacToLatin1(uint8_t byte);

}  // namespace quillane
