#pragma once
// What the character and paragraph records of a Write file mean in the
// model: fonts, sizes, bold, italic, underline and super- and subscript;
// alignment, indents, line spacing, tab stops and the two flags that mark
// running heads and graphics paragraphs.

#include <cstdint>
#include <vector>

#include "formats/write/WriteRuns.h"
#include "model/CharAttrs.h"
#include "model/ParAttrs.h"

namespace quillane {

class TTabManager;

// The records a run without stored properties has: font 0 at 12 points;
// a left-aligned paragraph with single line spacing and no tab stops.
TWriteRecord DefaultWriteCharRecord();
TWriteRecord DefaultWriteParRecord();

// `fonts` maps Write font numbers to registry indexes; a number beyond it
// keeps the default font.
TCharAttrs WriteCharAttrs(const TWriteRecord& record, const TCharAttrs& defaults, const std::vector<int32_t>& fonts);

struct TWriteParFormat {
    TParAttrs Attrs;
    bool RunningHead = false;  // a header or footer
    bool Graphics = false;     // a picture or an object
};

// The tab stops go into the document's pool of tab tables.
TWriteParFormat WriteParFormat(const TWriteRecord& record, const TParAttrs& defaults, TTabManager& tabs);

}  // namespace quillane
