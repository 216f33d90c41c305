#include "model/StyleResolve.h"

#include <vector>

#include "model/StyleList.h"

namespace quillane {

namespace {

bool Defined(int32_t v) { return v != UndefinedAttr; }

}  // namespace

void MergeIndents(TParAttrs& result, const TParAttrs& child) {
    int32_t& f = result[paFirstIndent];
    int32_t& l = result[paLeftIndent];
    const int32_t childF = child[paFirstIndent];
    const int32_t childL = child[paLeftIndent];
    if ((Defined(childF) && Defined(childL)) || (!Defined(f) && !Defined(l))) {
        f = childF;
        l = childL;
    } else if (Defined(childL)) {
        l = Defined(f) && f < 0 ? childL - f : childL;
    } else if (Defined(childF)) {
        if (Defined(l) && Defined(f) && f < 0) {
            l += f;
        }
        f = childF;
        if (Defined(l) && childF < 0) {
            l -= childF;
        }
    }
}

TResolvedStyle ResolveStyle(const TStyle& style, int32_t flags, const TModelDefaults& defaults) {
    // Collect the chain from the style up to its root.
    std::vector<const TStyle*> chain{&style};
    if (const TStyleList* list = style.Owner()) {
        std::vector<int32_t> ancestors;
        list->Ancestors(style.ParAttrs[paStyle], ancestors);
        if (list->ValidIndex(style.ParAttrs[paStyle]) && &list->Style(style.ParAttrs[paStyle]) == &style) {
            for (const int32_t i : ancestors) {
                chain.push_back(&list->Style(i));
            }
        }
    }

    TResolvedStyle r;
    if (flags & rfUndefinedBase) {
        r.Char.Slots.fill(UndefinedAttr);
        r.Par.Slots.fill(UndefinedAttr);
    } else {
        r.Char = defaults.Char;
        r.Par = defaults.Par;
        r.Par[paWidowControl] = 0;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const TStyle& s = **it;
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            if (Defined(s.CharAttrs[slot])) {
                r.Char[slot] = s.CharAttrs[slot];
            }
        }
        MergeIndents(r.Par, s.ParAttrs);
        for (int slot = paLineSpacing; slot < ParSlotCount; ++slot) {
            if (Defined(s.ParAttrs[slot])) {
                r.Par[slot] = s.ParAttrs[slot];
            }
        }
    }
    if (!(flags & rfKeepLanguage)) {
        r.Char[caLanguage] = UndefinedAttr;
    }
    if (flags & rfUndefinedBase) {
        r.Char[caHighlight] = UndefinedAttr;
        r.Par[paBullet] = UndefinedAttr;
    }
    return r;
}

}  // namespace quillane
