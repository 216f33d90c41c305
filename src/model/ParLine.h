#pragma once
// One laid-out line of a paragraph: where its positions start and end in the
// paragraph and its text stream, the x of every position edge in layout
// units, its metrics and height, and the page pagination put it on.

#include <cstdint>

#include "model/CharAttrs.h"
#include "model/FlexibleString.h"

namespace quillane {

class TPage;
class TParagraph;

// A position entry keeps the italic flag of the character ending there in
// bit 31 and the x in bits 0..30; a negative x (a hanging first line) is
// stored as 0x40000000 + |x|.
constexpr uint32_t EntryItalicBit = 0x80000000u;
constexpr uint32_t EntryNegativeBase = 0x40000000u;

inline uint32_t MakeEntry(int32_t x, bool italic) {
    const uint32_t v = x >= 0 ? static_cast<uint32_t>(x) : EntryNegativeBase + static_cast<uint32_t>(-int64_t{x});
    return (v & ~EntryItalicBit) | (italic ? EntryItalicBit : 0u);
}
inline int32_t EntryX(uint32_t entry) {
    const uint32_t v = entry & ~EntryItalicBit;
    return v >= EntryNegativeBase ? -static_cast<int32_t>(v - EntryNegativeBase) : static_cast<int32_t>(v);
}
inline bool EntryItalic(uint32_t entry) { return (entry & EntryItalicBit) != 0; }

class TParLine {
public:
    explicit TParLine(TParagraph* paragraph = nullptr) : Paragraph(paragraph) {}
    virtual ~TParLine();
    TParLine(const TParLine&) = delete;
    TParLine& operator=(const TParLine&) = delete;

    // Position entries: PositionCount + 1 of them once the line is laid out.
    uint32_t Entry(int32_t k) const { return reinterpret_cast<const uint32_t*>(positions_.Data.get())[k]; }
    int32_t X(int32_t k) const { return EntryX(Entry(k)); }
    bool Italic(int32_t k) const { return EntryItalic(Entry(k)); }
    void SetEntry(int32_t k, uint32_t entry) { reinterpret_cast<uint32_t*>(positions_.Data.get())[k] = entry; }
    void SetX(int32_t k, int32_t x) { SetEntry(k, MakeEntry(x, Italic(k))); }
    // Replaces the entries with n given ones.
    void AssignEntries(const uint32_t* entries, int32_t n);
    int32_t EntryCapacity() const { return positions_.Capacity / 4; }
    int32_t EntryCount() const { return entryCount_; }
    // Width of position k in layout units.
    int32_t LayoutWidth(int32_t k) const { return X(k + 1) - X(k); }

    // The code of position k of the line in the paragraph's position string.
    uint8_t Code(int32_t k) const;
    // The last position is a line break or a page break.
    bool EndsWithBreak() const;
    // The line holds one position and it is a page break.
    bool IsPageBreakLine() const;
    // The line is the last of its paragraph (it ends with the paragraph mark).
    bool IsLastOfParagraph() const;

    TParagraph* Paragraph;
    int32_t TextAscent = 0;  // fonts only, objects excluded
    // Screen width of each position at DisplayZoom, as 32-bit values.
    TFlexibleString DisplayWidths;
    int32_t DisplayZoom = UndefinedAttr;
    // Offset of the line-start attribute snapshot in the paragraph's
    // snapshot buffer, or -1 when the attributes at the line start are the
    // defaults.
    int32_t SnapshotOffset = -1;
    int32_t Ascent = 0;   // objects included
    int32_t Descent = 0;  // descent + external leading
    int32_t StartOffset = 0;
    int32_t ByteLength = 0;
    int32_t Height = 0;  // screen pixels at 100 %, spacing included
    int32_t Top = 0;     // on its page, screen pixels at 100 %
    int32_t FirstPosition = 0;
    int32_t PositionCount = 0;
    int16_t Raise = 0;  // points
    int16_t Lower = 0;  // points
    // The page pagination placed the line on, none before.
    TPage* Page = nullptr;

private:
    TBufferPair positions_;
    int32_t entryCount_ = 0;
};

// Where pagination put a line, saved so that an operation can put it back.
struct TParLineOnPageInfo {
    TPage* Page = nullptr;
    int32_t IndexOnPage = 0;
    int32_t Top = 0;
    int32_t Height = 0;
};

}  // namespace quillane
