#include "formats/word/WordParagraphText.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Eight bytes, the first the lowest.
uint64_t LoadLittle64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
        value = ByteSwap64(value);
    }
    return value;
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
        // Where the processor has SSE2: eight units at a time while each is
        // printable ASCII (0x0020-0x007F), their low bytes packed into eight
        // bytes. The packed bytes go out whole even when only some of them
        // are taken: there is room for `count` characters. Then (and
        // elsewhere) one unit at a time.
#if defined(__SSE2__)
        const __m128i shift = _mm_set1_epi16(0x7FE0);  // 0x0020 becomes the lowest signed value
        const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(0x8060));
        for (; n + 8 <= count; n += 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * n));
            const __m128i packed = _mm_packus_epi16(units, units);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(text + n), packed);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(positions + n), packed);
            const auto printable = static_cast<uint32_t>(
                _mm_movemask_epi8(_mm_cmplt_epi16(_mm_add_epi16(units, shift), limit)));
            if (printable != 0xFFFF) {
                n += static_cast<size_t>(std::countr_zero(~printable)) / 2;
                textLength_ += n;
                positionLength_ += n;
                return n;
            }
        }
#endif
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
