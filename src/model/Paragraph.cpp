#include "model/Paragraph.h"

#include <cstring>

#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {
constexpr uint8_t SnapshotEnd = 29;
}

TParagraph::TParagraph(TDocument& document) : document_(&document) {}

TParagraph::~TParagraph() = default;

bool TParagraph::EndsWithParagraphEnd() const {
    return Positions.Length() > 0 && Positions[Positions.Length() - 1] == spParagraphEnd;
}

void TParagraph::AppendChars(const uint8_t* bytes, int32_t n) {
    Text.AppendBytes(bytes, n);
    Positions.AppendBytes(bytes, n);
    Normalized = false;
}

void TParagraph::AppendSpecial(uint8_t code) {
    Text.AppendTag(tkSpecial, code);
    Positions.AppendByte(code);
    Normalized = false;
}

void TParagraph::AppendAttributeTag(int slot, int32_t value) {
    Text.AppendTag(static_cast<uint8_t>(slot), value);
    Normalized = false;
}

void TParagraph::Normalize() {
    NormalizeTagStream(Text, document_->DefaultCharAttrs);
    Normalized = true;
}

int32_t TParagraph::LineAt(int32_t position, bool preferPrevious) const {
    if (lines_.empty()) {
        return -1;
    }
    int32_t lo = 0;
    int32_t hi = LineCount() - 1;
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo + 1) / 2;
        if (Line(mid).FirstPosition <= position) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    if (lo > 0 && Line(lo).FirstPosition == position) {
        const TParLine& previous = Line(lo - 1);
        if (preferPrevious || !previous.EndsWithBreak()) {
            return lo - 1;
        }
    }
    return lo;
}

bool TParagraph::FirstOnPage() const {
    // Pages come with pagination; until a paragraph's first line is placed
    // it is on no page.
    return LaidOut && !lines_.empty() && Line(0).Page != nullptr;
}

void TParagraph::DropLayout(bool relayout) {
    lines_.clear();
    snapshots_ = TBufferPair{};
    snapshotLength_ = 0;
    if (relayout) {
        if (!Normalized) {
            Normalize();
        }
        if (TLineLayouter* layouter = document_->Layouter()) {
            layouter->LayOut(*this);
        }
    }
    LaidOut = relayout;
}

int32_t TParagraph::AppendSnapshot(const TCharAttrs& attrs) {
    const TCharAttrs& defaults = document_->DefaultCharAttrs;
    uint8_t entry[CharSlotCount * 5 + 1];
    int32_t n = 0;
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (attrs[slot] == defaults[slot]) {
            continue;
        }
        const auto u = static_cast<uint32_t>(attrs[slot]);
        entry[n++] = static_cast<uint8_t>(slot);
        entry[n++] = static_cast<uint8_t>(u);
        entry[n++] = static_cast<uint8_t>(u >> 8);
        entry[n++] = static_cast<uint8_t>(u >> 16);
        entry[n++] = static_cast<uint8_t>(u >> 24);
    }
    if (n == 0) {
        return -1;
    }
    entry[n++] = SnapshotEnd;
    const int32_t offset = snapshotLength_;
    TFlexibleString::ResizeBuffer(snapshots_, snapshotLength_ + n);
    std::memcpy(snapshots_.Data.get() + offset, entry, static_cast<size_t>(n));
    snapshotLength_ += n;
    return offset;
}

TCharAttrs TParagraph::DecodeSnapshot(int32_t offset) const {
    TCharAttrs attrs = document_->DefaultCharAttrs;
    if (offset < 0) {
        return attrs;
    }
    const uint8_t* p = snapshots_.Data.get() + offset;
    // A slot number is below 13, so it never looks like the end byte 29.
    while (*p != SnapshotEnd) {
        const uint32_t u = static_cast<uint32_t>(p[1]) | (static_cast<uint32_t>(p[2]) << 8) |
                           (static_cast<uint32_t>(p[3]) << 16) | (static_cast<uint32_t>(p[4]) << 24);
        attrs[p[0]] = static_cast<int32_t>(u);
        p += 5;
    }
    return attrs;
}

TCharAttrs TParagraph::LeadingAttributes() const {
    const int32_t first = PositionCount() > 0 ? PositionToOffset(Text, PositionCount(), 0) : Text.Length();
    return AttributesAt(Text, first, document_->DefaultCharAttrs);
}

}  // namespace quillane
