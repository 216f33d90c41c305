#pragma once
// The text stream of a paragraph: character bytes interleaved with 8-byte
// tags. A tag is 0x00, kind, auxiliary byte, 32-bit little-endian value,
// 0x01; the end marker lets a backward scan recognise a trailing tag. The
// position string beside it holds one byte per character position.

#include <cstdint>

#include "model/CharAttrs.h"
#include "model/FlexibleString.h"

namespace quillane {

constexpr int32_t TagSize = 8;

// Tag kinds 0..12 set the character-attribute slot of the same number.
enum TTagKind : uint8_t {
    tkLastAttribute = 12,
    tkSpecial = 13,
    tkPicture = 14,
    tkObject = 15,
};

// Special characters: the value of a tkSpecial tag and the byte that stands
// for it in the position string.
enum TSpecialChar : uint8_t {
    spParagraphEnd = 2,
    spLineBreak = 3,
    spPageBreak = 4,
    spTab = 5,
    spPicture = 6,  // position string only
    spObject = 7,   // position string only
    spNonbreakingSpace = 8,
    spNonbreakingHyphen = 9,
    spLongDash = 10,
    spShortDash = 11,
    spOptionalHyphen = 12,
};

struct TTag {
    uint8_t Kind = 0;
    uint8_t Aux = 0;
    int32_t Value = 0;
};

inline bool IsAttributeKind(uint8_t kind) { return kind <= tkLastAttribute; }
// Specials, pictures and objects take a character position; attribute tags
// and the undefined kinds 16..255 do not.
inline bool OccupiesPosition(uint8_t kind) { return kind >= tkSpecial && kind <= tkObject; }

// Reads the tag starting at p (p[0] == 0).
TTag ReadTag(const uint8_t* p);
void WriteTagValue(uint8_t* p, int32_t value);

// Bytes before the next 0 byte, at most limit.
int32_t CharRunLength(const uint8_t* p, int32_t limit);

// Byte offset of the item at position k of the stream (k clamped to the
// positions present); attribute tags directly before it are passed over.
int32_t PositionToOffset(const TFlexibleString& text, int32_t positionCount, int32_t k);

// Brings a stream into canonical form: no two tags for one slot between two
// boundaries, no tag restating the current value, no attribute tag after the
// last item. `defaults` is the state at the start of the paragraph.
void NormalizeTagStream(TFlexibleString& text, const TCharAttrs& defaults);

// The attribute state after all tags before byte offset `end`.
TCharAttrs AttributesAt(const TFlexibleString& text, int32_t end, const TCharAttrs& defaults);

// Structural check for tests and debugging: every tag complete with its end
// marker, and the positions agree with the position string. Throws
// std::logic_error naming the first fault.
void CheckTextStream(const TFlexibleString& text, const TFlexibleString& positions);

}  // namespace quillane
