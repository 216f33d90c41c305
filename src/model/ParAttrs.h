#pragma once
// Paragraph attributes: fifteen signed 32-bit slots, lengths in twips.

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "model/CharAttrs.h"

namespace quillane {

enum TParSlot : int32_t {
    paFirstIndent = 0,    // relative to the left indent; negative hangs
    paLeftIndent = 1,
    paLineSpacing = 2,    // see paSpacingMultiple
    paSpacingMultiple = 3,  // 1: 240ths of a line; 0: >=0 at least, <0 exactly
    paRightIndent = 4,
    paAlignment = 5,      // 0 left, 1 centred, 2 right, 3 justified
    paKeepWithNext = 6,
    paKeepIntact = 7,
    paPageBreakBefore = 8,
    paWidowControl = 9,
    paSpaceBefore = 10,
    paSpaceAfter = 11,
    paStyle = 12,
    paTabTable = 13,      // -1 = none
    paBullet = 14,
};
constexpr int ParSlotCount = 15;

struct TParAttrs {
    std::array<int32_t, ParSlotCount> Slots{};

    int32_t& operator[](int slot) { return Slots[static_cast<size_t>(slot)]; }
    int32_t operator[](int slot) const { return Slots[static_cast<size_t>(slot)]; }
    friend bool operator==(const TParAttrs&, const TParAttrs&) = default;
};

// The indent and spacing pairs are stripped together so that a partial
// override never separates an indent from the one it is relative to.
void StripParDefaults(TParAttrs& a, const TParAttrs& base);

// The left edge the user sees (the dialog's "left indent").
int32_t VisibleLeftIndent(const TParAttrs& a);

// The records every new document starts from. They are made once at start-up
// (the font slot names the registry's "Times New Roman" entry) and copied
// into each document.
struct TModelDefaults {
    TCharAttrs Char;
    TParAttrs Par;

    // Size 24, everything else 0; single line spacing, no tab table.
    static TModelDefaults BuiltIn(int32_t defaultFontIndex = 0);
};

}  // namespace quillane
