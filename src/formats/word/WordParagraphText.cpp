#include "formats/word/WordParagraphText.h"

#include <algorithm>
#include <bit>
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

namespace {

uint64_t ByteSwap64(uint64_t value) {
    uint64_t swapped = 0;
    for (int i = 0; i < 8; ++i) {
        swapped = (swapped << 8) | ((value >> (8 * i)) & 0xFF);
    }
    return swapped;
}

// Eight bytes, the first the lowest, and back.
uint64_t LoadLittle64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
        value = ByteSwap64(value);
    }
    return value;
}

void StoreLittle64(uint8_t* p, uint64_t value) {
    if constexpr (std::endian::native == std::endian::big) {
        value = ByteSwap64(value);
    }
    std::memcpy(p, &value, sizeof value);
}

// A mark (the byte's top bit) on each byte below 0x20 or above 0x7F.
uint64_t OutsideAscii8(uint64_t eight) {
    constexpr uint64_t top = 0x8080808080808080u;
    // Adding 0x60 sets the top bit of each byte from 0x20 up; a byte that
    // already had it set is outside too. No byte carries into the next:
    // 0x7F + 0x60 is below 0x100.
    const uint64_t low = eight & ~top;
    return (((low + 0x6060606060606060u) & top) ^ top) | (eight & top);
}

// The same for four little-endian 16-bit units: a mark on the low byte of
// each unit outside 0x0020-0x007F.
uint64_t OutsideAscii16(uint64_t units) {
    constexpr uint64_t lowTop = 0x0080008000800080u;
    // A unit whose high byte is not zero: that byte moved down, its top bit
    // or its sum with 0x7F marks it.
    const uint64_t high = (units >> 8) & 0x00FF00FF00FF00FFu;
    const uint64_t highSet = ((high + 0x007F007F007F007Fu) | high) & lowTop;
    const uint64_t low = units & 0x007F007F007F007Fu;
    return (((low + 0x0060006000600060u) & lowTop) ^ lowTop) | (units & lowTop) | highSet;
}

// The low bytes of four little-endian 16-bit units, in order, in the low
// half.
uint64_t PackLowBytes(uint64_t units) {
    uint64_t x = units & 0x00FF00FF00FF00FFu;
    x = (x | (x >> 8)) & 0x0000FFFF0000FFFFu;
    return (x | (x >> 16)) & 0x00000000FFFFFFFFu;
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
    if (charSize == 2) {
        // Eight units at a time while each is printable ASCII (0x0020-0x007F),
        // their low bytes packed into eight bytes. The packed bytes go out
        // whole even when only some of them are taken: there is room for
        // `count` characters.
        for (; n + 8 <= count; n += 8) {
            const uint64_t first = LoadLittle64(bytes + 2 * n);
            const uint64_t second = LoadLittle64(bytes + 2 * n + 8);
            const uint64_t packed = PackLowBytes(first) | (PackLowBytes(second) << 32);
            StoreLittle64(text + n, packed);
            StoreLittle64(positions + n, packed);
            const uint64_t bad = PackLowBytes(OutsideAscii16(first)) | (PackLowBytes(OutsideAscii16(second)) << 32);
            if (bad != 0) {
                n += static_cast<size_t>(std::countr_zero(bad)) / 8;
                textLength_ += n;
                positionLength_ += n;
                return n;
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
        // The first byte outside 0x20-0x7F ends the run: found eight bytes
        // at a time, the run then copied in one piece.
        size_t end = 0;
        for (;;) {
            if (end + 8 > count) {
                while (end < count && bytes[end] >= 32 && bytes[end] < 0x80) {
                    ++end;
                }
                break;
            }
            const uint64_t bad = OutsideAscii8(LoadLittle64(bytes + end));
            if (bad != 0) {
                end += static_cast<size_t>(std::countr_zero(bad)) / 8;
                break;
            }
            end += 8;
        }
        std::memcpy(text, bytes, end);
        std::memcpy(positions, bytes, end);
        n = end;
    }
    textLength_ += n;
    positionLength_ += n;
    return n;
}

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
