#include "formats/word/WordParagraphText.h"

#include <algorithm>
#include <cstring>

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

namespace {

// Eight bytes, the first the lowest (the compiler makes it one load).
uint64_t LoadLittle64(const uint8_t* p) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

}  // namespace

size_t TWordParagraphText::TakeAscii(const uint8_t* bytes, size_t count, uint32_t charSize) {
    count = std::min(count, PartSize - std::min(PartSize, textLength_));
    if (text_.size() - textLength_ < count || positions_.size() - positionLength_ < count) {
        text_.resize(std::max(text_.size() * 2, textLength_ + count + TagSize));
        positions_.resize(std::max(positions_.size() * 2, positionLength_ + count));
    }
    uint8_t* text = text_.data() + textLength_;
    uint8_t* positions = positions_.data() + positionLength_;
    size_t n = 0;
    // Eight bytes at a time while every one of them is printable ASCII (a
    // byte 0x20-0x7F), then one at a time up to the first that is not.
    if (charSize == 2) {
        for (; n + 4 <= count; n += 4) {
            const uint64_t units = LoadLittle64(bytes + 2 * n);
            if ((units & 0xFF80FF80FF80FF80u) != 0 ||
                ((units + 0x00E000E000E000E0u) & 0x0100010001000100u) != 0x0100010001000100u) {
                break;
            }
            for (size_t i = 0; i < 4; ++i) {
                const auto low = static_cast<uint8_t>(units >> (16 * i));
                text[n + i] = low;
                positions[n + i] = low;
            }
        }
        for (; n < count; ++n) {
            const uint8_t low = bytes[2 * n];
            if (bytes[2 * n + 1] != 0 || low < 32 || low >= 0x80) {
                break;
            }
            text[n] = low;
            positions[n] = low;
        }
    } else {
        for (; n + 8 <= count; n += 8) {
            const uint64_t eight = LoadLittle64(bytes + n);
            if ((eight & 0x8080808080808080u) != 0 ||
                ((eight + 0x6060606060606060u) & 0x8080808080808080u) != 0x8080808080808080u) {
                break;
            }
            std::memcpy(text + n, bytes + n, 8);
            std::memcpy(positions + n, bytes + n, 8);
        }
        for (; n < count; ++n) {
            const uint8_t byte = bytes[n];
            if (byte < 32 || byte >= 0x80) {
                break;
            }
            text[n] = byte;
            positions[n] = byte;
        }
    }
    textLength_ += n;
    positionLength_ += n;
    return n;
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
