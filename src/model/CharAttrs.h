#pragma once
// Character attributes: thirteen signed 32-bit slots. The state at a point of
// a paragraph is the default record overlaid with every attribute tag before
// that point; styles use the same record with UndefinedAttr in slots they
// leave alone.

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>

namespace quillane {

constexpr int32_t UndefinedAttr = INT32_MIN;  // 0x80000000

enum TCharSlot : int32_t {
    caFont = 0,
    caSize = 1,
    caBold = 2,
    caItalic = 3,
    caStrikeOut = 4,
    caUnderline = 5,
    caColor = 6,
    caHighlight = 7,
    caVerticalPosition = 8,  // 0 normal, 1 superscript, 2 subscript
    caExpansion = 9,         // twips after each character
    caOffset = 10,           // points, positive raises
    caKerning = 11,          // half-points; 0 = no pair kerning
    caLanguage = 12,
};
constexpr int CharSlotCount = 13;

struct TCharAttrs {
    std::array<int32_t, CharSlotCount> Slots{};

    int32_t& operator[](int slot) { return Slots[static_cast<size_t>(slot)]; }
    int32_t operator[](int slot) const { return Slots[static_cast<size_t>(slot)]; }
    friend bool operator==(const TCharAttrs&, const TCharAttrs&) = default;
};

// Fonts registered under several character sets share a tag; attribute
// comparisons treat such fonts as equal. The font registry answers this.
class TFontTagLookup {
public:
    virtual ~TFontTagLookup() = default;
    virtual int32_t TagOf(int32_t fontIndex) const = 0;
};

// Equal in every slot; fonts count as equal when their tags are (when a
// lookup is given).
bool SameAttributes(const TCharAttrs& a, const TCharAttrs& b, const TFontTagLookup* tags = nullptr);
// a keeps what both share; every other slot becomes UndefinedAttr.
void CommonAttributes(TCharAttrs& a, const TCharAttrs& b, const TFontTagLookup* tags = nullptr);
// Every slot of a that equals base's becomes UndefinedAttr.
void StripDefaults(TCharAttrs& a, const TCharAttrs& base, const TFontTagLookup* tags = nullptr);

}  // namespace quillane
