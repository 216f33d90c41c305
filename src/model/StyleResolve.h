#pragma once
// The attributes a style stands for once its based-on chain is applied.

#include <cstdint>

#include "model/CharAttrs.h"
#include "model/ParAttrs.h"

namespace quillane {

class TStyle;

enum TResolveFlags : int32_t {
    rfUndefinedBase = 1,  // start from all slots undefined instead of the defaults
    rfKeepLanguage = 2,   // keep the language slot
};

struct TResolvedStyle {
    TCharAttrs Char;
    TParAttrs Par;
};

// Applies the chain from its root down to the style. The chain is cut at the
// first repeat or unknown index, so a damaged list cannot loop.
TResolvedStyle ResolveStyle(const TStyle& style, int32_t flags, const TModelDefaults& defaults);

// Merges a child's first-line (slot 0) and left (slot 1) indents into a
// result, keeping the left edge of a hanging first line where it was set.
void MergeIndents(TParAttrs& result, const TParAttrs& child);

}  // namespace quillane
