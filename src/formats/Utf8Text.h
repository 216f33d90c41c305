#pragma once
// A document's text as UTF-8, for export: the bytes of each run are decoded
// through the code page of its font's character set (double-byte pages as
// pairs, symbol fonts through their glyph tables), paragraphs end with a
// line feed, and specials become their Unicode characters. The document
// itself keeps its 8-bit text.

#include <functional>
#include <string>
#include <string_view>

namespace quillane {

class TDocument;
class TFontManager;

std::string DocumentToUtf8(const TDocument& document, const TFontManager& fonts, int systemAnsiCodePage);

// The same text handed to `put` in pieces of about 64 KB, so that a large
// document's text never sits in memory whole. `put` answers false to stop
// (a write failed), and so does this.
bool WriteDocumentUtf8(const TDocument& document, const TFontManager& fonts, int systemAnsiCodePage,
                       const std::function<bool(std::string_view)>& put);

// Appends one character as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace quillane
