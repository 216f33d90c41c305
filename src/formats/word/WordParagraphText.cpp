#include "formats/word/WordParagraphText.h"

#include "model/Paragraph.h"
#include "model/TextStream.h"

namespace quillane {

void TWordParagraphText::Grow() {
    // Room for a tag as well as a character.
    if (text_.size() - textLength_ < TagSize) {
        text_.resize(text_.size() * 2);
    }
    if (positions_.size() == positionLength_) {
        positions_.resize(positions_.size() * 2);
    }
}

void TWordParagraphText::Tag(uint8_t kind, int32_t value) {
    if (text_.size() - textLength_ < TagSize || positions_.size() == positionLength_) {
        Grow();
    }
    EncodeTag(text_.data() + textLength_, kind, value);
    textLength_ += TagSize;
}

void TWordParagraphText::AttributeTag(int slot, int32_t value) { Tag(static_cast<uint8_t>(slot), value); }

void TWordParagraphText::Special(uint8_t code) {
    Tag(tkSpecial, code);
    positions_[positionLength_++] = code;
}

void TWordParagraphText::MoveInto(TParagraph& paragraph) {
    if (textLength_ == 0) {
        return;
    }
    // Full() keeps a part well below 2 GiB. A paragraph that fits in one
    // part gets its size exactly.
    if (paragraph.Text.Length() == 0) {
        paragraph.Text.ReserveExact(static_cast<int32_t>(textLength_));
        paragraph.Positions.ReserveExact(static_cast<int32_t>(positionLength_));
    }
    paragraph.Text.AppendBytes(text_.data(), static_cast<int32_t>(textLength_));
    paragraph.Positions.AppendBytes(positions_.data(), static_cast<int32_t>(positionLength_));
    paragraph.TextChanged();
    textLength_ = 0;
    positionLength_ = 0;
}

}  // namespace quillane
