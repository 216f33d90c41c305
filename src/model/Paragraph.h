#pragma once
// A paragraph: its text stream and position string, its attributes and,
// once laid out, its lines with their line-start attribute snapshots.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/CharAttrs.h"
#include "model/FlexibleString.h"
#include "model/ParAttrs.h"
#include "model/ParLine.h"

namespace quillane {

class TDocument;

class TParagraph {
public:
    explicit TParagraph(TDocument& document);
    virtual ~TParagraph();
    TParagraph(const TParagraph&) = delete;
    TParagraph& operator=(const TParagraph&) = delete;

    TDocument& Document() const { return *document_; }

    TParAttrs Attributes;
    TFlexibleString Text;       // the text stream
    TFlexibleString Positions;  // one byte per character position
    int32_t Index = 0;          // own index, refreshed by pagination
    int32_t Width = 0;          // line width in layout units at the last layout
    bool Normalized = false;
    bool LaidOut = false;

    int32_t PositionCount() const { return Positions.Length(); }
    bool EndsWithParagraphEnd() const;

    // Appends characters, specials and tags while keeping the text stream
    // and the position string in step.
    void AppendChars(const uint8_t* bytes, int32_t n);
    void AppendSpecial(uint8_t code);
    void AppendAttributeTag(int slot, int32_t value);

    // Marks the text changed: it is normalised again before the next layout.
    void TextChanged() { Normalized = false; }
    void Normalize();

    // Lines. The layout appends them; DropLayout frees them.
    int32_t LineCount() const { return static_cast<int32_t>(lines_.size()); }
    TParLine& Line(int32_t i) const { return *lines_[static_cast<size_t>(i)]; }
    void AddLine(std::unique_ptr<TParLine> line) { lines_.push_back(std::move(line)); }
    // The line holding a position; at the first position of a line after a
    // soft break the earlier line is preferred, so a caret at a soft line end
    // stays there.
    int32_t LineAt(int32_t position, bool preferPrevious) const;
    bool FirstOnPage() const;
    // Frees lines and snapshots; with relayout, normalises and lays out again.
    void DropLayout(bool relayout);

    // Line-start snapshots: the slots that differ from the defaults as
    // (slot byte, 32-bit value) pairs closed by the byte 29.
    int32_t AppendSnapshot(const TCharAttrs& attrs);
    TCharAttrs DecodeSnapshot(int32_t offset) const;
    int32_t SnapshotLength() const { return snapshotLength_; }

    // The attributes in force before the first position.
    TCharAttrs LeadingAttributes() const;

private:
    TDocument* document_;  // owner; outlives the paragraph
    std::vector<std::unique_ptr<TParLine>> lines_;
    TBufferPair snapshots_;
    int32_t snapshotLength_ = 0;
};

}  // namespace quillane
