#pragma once
// A paragraph's text stream and position string gathered by the Word reader
// before they go into the paragraph in one step: appending piece by piece
// would grow the paragraph's strings (and copy them) many times over, which
// is most of the time a large document takes. The buffers keep their size
// from one paragraph to the next.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/FlexibleString.h"
#include "model/TextStream.h"

namespace quillane {

class TParagraph;

class TWordParagraphText {
public:
    void Char(uint8_t byte) {
        if (textLength_ == text_.size() || positionLength_ == positions_.size()) {
            Grow();
        }
        text_[textLength_++] = byte;
        positions_[positionLength_++] = byte;
    }
    // Takes characters of `charSize` bytes (1, or 2 little-endian) while
    // they are printable ASCII, at most `count` of them and no further than
    // Full(); answers how many it took.
    size_t TakeAscii(const uint8_t* bytes, size_t count, uint32_t charSize);
    // Past this a long paragraph goes into the model in parts.
    bool Full() const { return textLength_ >= PartSize; }
    void AttributeTag(int slot, int32_t value) { Tag(static_cast<uint8_t>(slot), value); }
    void Special(uint8_t code);
    // Appends what was gathered to the paragraph and starts empty again.
    void MoveInto(TParagraph& paragraph);

private:
    static constexpr size_t PartSize = size_t{1} << 20;

    void Grow();
    void Tag(uint8_t kind, int32_t value) {
        if (text_.size() - textLength_ < TagSize || positions_.size() == positionLength_) {
            Grow();
        }
        EncodeTag(text_.data() + textLength_, kind, value);
        textLength_ += TagSize;
    }

    std::vector<uint8_t> text_ = std::vector<uint8_t>(4096);
    std::vector<uint8_t> positions_ = std::vector<uint8_t>(4096);
    size_t textLength_ = 0;
    size_t positionLength_ = 0;
};

}  // namespace quillane
