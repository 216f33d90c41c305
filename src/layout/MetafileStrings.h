#pragma once
// Conversions of the text a metafile carries: face names and UTF-16 text of
// enhanced metafiles into the forms the font system and the canvas take.

#include <cstdint>
#include <string>

#include "pictures/Bytes.h"

namespace quillane {

// A face name of 8-bit characters (taken as Latin-1) or of UTF-16 units, up
// to its terminating zero, as UTF-8.
std::string FaceNameFromBytes(TByteSpan bytes);
std::string FaceNameFromUtf16(TByteSpan bytes);

// UTF-16 text as the byte codes of a font of the character set: symbol fonts
// take the low byte (their characters sit at U+F000..U+F0FF or below 256),
// others the characters of code page 1252; what the page lacks becomes '?'.
std::string TextForCharSet(TByteSpan utf16, int32_t charSet);

}  // namespace quillane
