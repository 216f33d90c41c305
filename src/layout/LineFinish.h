#pragma once
// Finishing a filled line: alignment and justification move its entries,
// its metrics become screen pixels and its height is computed from them,
// the line spacing and the paragraph spacing.

#include <cstdint>

#include "layout/LayoutScale.h"

namespace quillane {

class TParLine;

// width is the paragraph's line width in layout units.
void FinishLine(TParLine& line, int32_t width, const TLayoutScale& scale);

// Moves the entries of a line for its paragraph's alignment.
void AlignLine(TParLine& line, int32_t width);

// The line height in screen pixels at 100 % from the line's pixel metrics.
int32_t LineHeight(const TParLine& line, int32_t ppi);

}  // namespace quillane
