#include "model/CharAttrs.h"

namespace quillane {

namespace {

bool SameFont(int32_t a, int32_t b, const TFontTagLookup* tags) {
    if (a == b) {
        return true;
    }
    if (tags == nullptr || a == UndefinedAttr || b == UndefinedAttr) {
        return false;
    }
    return tags->TagOf(a) == tags->TagOf(b);
}

bool SameSlot(const TCharAttrs& a, const TCharAttrs& b, int slot, const TFontTagLookup* tags) {
    if (slot == caFont) {
        return SameFont(a[slot], b[slot], tags);
    }
    return a[slot] == b[slot];
}

}  // namespace

bool SameAttributes(const TCharAttrs& a, const TCharAttrs& b, const TFontTagLookup* tags) {
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (!SameSlot(a, b, slot, tags)) {
            return false;
        }
    }
    return true;
}

void CommonAttributes(TCharAttrs& a, const TCharAttrs& b, const TFontTagLookup* tags) {
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (!SameSlot(a, b, slot, tags)) {
            a[slot] = UndefinedAttr;
        }
    }
}

void StripDefaults(TCharAttrs& a, const TCharAttrs& base, const TFontTagLookup* tags) {
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (SameSlot(a, base, slot, tags)) {
            a[slot] = UndefinedAttr;
        }
    }
}

}  // namespace quillane
