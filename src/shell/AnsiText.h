#pragma once
// Document text kept in the ANSI code page (the find and replace histories)
// stored as the settings store's UTF-8. Each byte the page leaves undefined
// stands for the character of the same number (0x81 is U+0081), as the
// system's own conversion does, so every byte survives the round trip;
// characters the page cannot hold come back as "?".

#include <string>
#include <string_view>

#include "platform/CodePages.h"

namespace quillane {

std::string AnsiToUtf8(std::string_view bytes, const TCodePageDecoding& page);
std::string Utf8ToAnsi(std::string_view text, const TCodePageDecoding& page);

}  // namespace quillane
