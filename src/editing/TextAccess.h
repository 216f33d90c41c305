#pragma once
// Positions and byte offsets of a paragraph's text stream, the attributes in
// force at a position, and fragments: text streams in which complete
// paragraphs end with the byte 29 and may carry their paragraph attributes
// after the byte 30. A fragment is scanned structurally (a tag is 8 bytes
// from its 0, an attribute block 61 bytes from its 30), never searched for a
// byte value, since tag values and attribute records hold any byte.

#include <cstdint>
#include <vector>

#include "model/CharAttrs.h"
#include "model/FlexibleString.h"
#include "model/ParAttrs.h"
#include "model/ViewState.h"

namespace quillane {

class TDocument;
class TParagraph;

constexpr uint8_t FragmentParagraphEnd = 29;
constexpr uint8_t FragmentAttributes = 30;
constexpr int32_t ParAttrsBytes = ParSlotCount * 4;

// Byte offset of the item at a position (after the attribute tags that
// directly precede it); the stream's length for the position count.
int32_t ItemOffset(const TParagraph& p, int32_t position);
// Byte offset just after the item at a position.
int32_t OffsetAfterItem(const TParagraph& p, int32_t position);
// Where text inserted at a position goes: after the item to its left, or at
// the very start for position 0 (before any leading tags, so that inserted
// text starts from the paragraph's defaults and the tags that follow it
// still set what the old first character had).
int32_t InsertionOffset(const TParagraph& p, int32_t position);
// The attributes the item at a position is drawn with.
TCharAttrs AttrsOfItem(const TParagraph& p, int32_t position);
// The attributes at a position as typing sees them: those of the character
// to its left (of the first item at position 0).
TCharAttrs AttrsAtPosition(const TParagraph& p, int32_t position);

// Rebuilds the position string from the text stream.
void RebuildPositions(TParagraph& p);
// Appends the position-string form of a run of stream bytes and returns the
// number of positions; attribute tags give none.
int32_t AppendPositionsOf(const uint8_t* bytes, int32_t n, TFlexibleString* positions);

// The parts of a fragment: the bytes of each paragraph piece and the
// paragraph attributes that followed its end, when given.
struct TFragmentPart {
    int32_t Offset = 0;
    int32_t Length = 0;
    bool HasAttributes = false;
    TParAttrs Attributes;
};
// Splits a fragment at its paragraph ends; a damaged fragment (a tag or an
// attribute block cut short) throws std::invalid_argument.
std::vector<TFragmentPart> SplitFragment(const TFlexibleString& fragment);
void AppendParAttrs(TFlexibleString& out, const TParAttrs& attrs);

// Picture and object ids of the tags in a run of stream bytes.
void CollectObjectIds(const uint8_t* bytes, int32_t n, std::vector<int32_t>& ids);

bool PositionBefore(TTextPosition a, TTextPosition b);

}  // namespace quillane
