#include "model/ParAttrs.h"

namespace quillane {

void StripParDefaults(TParAttrs& a, const TParAttrs& base) {
    const bool indentsEqual = a[paFirstIndent] == base[paFirstIndent] && a[paLeftIndent] == base[paLeftIndent];
    if (indentsEqual) {
        a[paFirstIndent] = UndefinedAttr;
        a[paLeftIndent] = UndefinedAttr;
    } else if (a[paFirstIndent] == 0 && base[paFirstIndent] == 0) {
        a[paFirstIndent] = UndefinedAttr;
    }
    if (a[paLineSpacing] == base[paLineSpacing] && a[paSpacingMultiple] == base[paSpacingMultiple]) {
        a[paLineSpacing] = UndefinedAttr;
        a[paSpacingMultiple] = UndefinedAttr;
    }
    for (int slot = paRightIndent; slot < ParSlotCount; ++slot) {
        if (a[slot] == base[slot]) {
            a[slot] = UndefinedAttr;
        }
    }
}

int32_t VisibleLeftIndent(const TParAttrs& a) {
    return a[paFirstIndent] >= 0 ? a[paLeftIndent] : a[paLeftIndent] + a[paFirstIndent];
}

TModelDefaults TModelDefaults::BuiltIn(int32_t defaultFontIndex) {
    TModelDefaults d;
    d.Char[caFont] = defaultFontIndex;
    d.Char[caSize] = 24;
    d.Par[paLineSpacing] = 240;
    d.Par[paSpacingMultiple] = 1;
    d.Par[paTabTable] = -1;
    return d;
}

}  // namespace quillane
