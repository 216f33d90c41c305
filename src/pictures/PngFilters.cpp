#include "pictures/PngFilters.h"

#include <cstdlib>

namespace quillane {

namespace {

inline uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return static_cast<uint8_t>(a);
    }
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

}  // namespace

bool UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t length, size_t bpp) {
    switch (filter) {
        case pfNone:
            return true;
        case pfSub:
            for (size_t i = bpp; i < length; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + row[i - bpp]);
            }
            return true;
        case pfUp:
            for (size_t i = 0; i < length; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + prior[i]);
            }
            return true;
        case pfAverage:
            for (size_t i = 0; i < length; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                row[i] = static_cast<uint8_t>(row[i] + ((left + prior[i]) >> 1));
            }
            return true;
        case pfPaeth:
            for (size_t i = 0; i < length; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                const int upLeft = i >= bpp ? prior[i - bpp] : 0;
                row[i] = static_cast<uint8_t>(row[i] + Paeth(left, prior[i], upLeft));
            }
            return true;
        default:
            return false;
    }
}

void FilterRow(TPngFilter filter, const uint8_t* raw, const uint8_t* prior, uint8_t* out, size_t length,
               size_t bpp) {
    for (size_t i = 0; i < length; ++i) {
        const int left = i >= bpp ? raw[i - bpp] : 0;
        const int upLeft = i >= bpp ? prior[i - bpp] : 0;
        int predicted = 0;
        switch (filter) {
            case pfNone: predicted = 0; break;
            case pfSub: predicted = left; break;
            case pfUp: predicted = prior[i]; break;
            case pfAverage: predicted = (left + prior[i]) >> 1; break;
            case pfPaeth: predicted = Paeth(left, prior[i], upLeft); break;
        }
        out[i] = static_cast<uint8_t>(raw[i] - predicted);
    }
}

int64_t FilterScore(const uint8_t* row, size_t length) {
    int64_t score = 0;
    for (size_t i = 4; i < length; ++i) {
        const uint8_t b = row[i];
        if (b == row[i - 1] && b == row[i - 2] && b == row[i - 3] && b == row[i - 4]) {
            ++score;
        }
    }
    return score;
}

}  // namespace quillane
