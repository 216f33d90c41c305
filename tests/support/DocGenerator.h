#pragma once
// Documents made from a seed, for property tests and fuzz seeds: every
// character-attribute slot (extremes included), every paragraph slot, tab
// stops of every kind and leader, styles with based-on chains and hot keys,
// bullets, pictures and OLE objects, every special character, high bytes,
// backslashes and braces in text and names, page settings and document
// information. Everything stays inside what the model and an RTF file can
// both hold, so a generated document is expected to survive a save and a
// read exactly.

#include <cstdint>

#include "model/Document.h"
#include "model/FontManager.h"

namespace quillane::test {

struct TGeneratorOptions {
    int32_t Paragraphs = 12;
    int32_t Styles = 6;
    bool Pictures = true;  // PNG and JPEG pictures and OLE objects
};

// Fills a fresh document (made with TModelDefaults::BuiltIn of the
// registry's "Times New Roman"). Fonts with unusual names are registered in
// the registry, which is why it is not const.
void GenerateDocument(TDocument& document, TFontManager& fonts, uint32_t seed, const TGeneratorOptions& options = {});

}  // namespace quillane::test
