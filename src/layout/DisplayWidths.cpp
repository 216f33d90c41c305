#include "layout/DisplayWidths.h"

#include <array>
#include <cstdlib>

#include "model/ParLine.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

constexpr int64_t Unit = 800;  // 8 layout units per pixel times 100 %

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0)) {
        --q;
    }
    return q;
}

int64_t Sum(const std::vector<int32_t>& v, size_t from, size_t to) {
    int64_t s = 0;
    for (size_t i = from; i < to; ++i) {
        s += v[i];
    }
    return s;
}

}  // namespace

std::vector<int32_t> IdealWidths(const std::vector<int32_t>& layoutWidths, int32_t zoom) {
    const size_t n = layoutWidths.size();
    std::vector<int32_t> ideal(n);
    std::vector<int64_t> remainder(n);
    int64_t accumulated = 0;
    for (size_t i = 0; i < n; ++i) {
        const int64_t scaled = int64_t{layoutWidths[i]} * zoom;
        const int64_t q = FloorDiv(scaled, Unit);
        ideal[i] = static_cast<int32_t>(q);
        remainder[i] = scaled - q * Unit;
        accumulated += remainder[i];
        if (accumulated < Unit) {
            continue;
        }
        // The pixel goes where the most was lost among the last four
        // positions, the older one on ties...
        size_t chosen = i;
        const size_t oldest = i >= 3 ? i - 3 : 0;
        for (size_t j = i + 1; j-- > oldest;) {
            if (remainder[j] >= remainder[chosen]) {
                chosen = j;
            }
        }
        // ...or to the position before it when that one lost nearly a pixel
        // and more than the one after.
        if (chosen > 0) {
            const int64_t before = remainder[chosen - 1];
            const int64_t after = chosen == i ? 0 : remainder[chosen + 1];
            if (before > after && before > 700) {
                --chosen;
            }
        }
        ++ideal[chosen];
        remainder[chosen] -= Unit;
        accumulated -= Unit;
    }
    if (n > 0 && accumulated > Unit / 2) {
        ++ideal[n - 1];
    }
    return ideal;
}

void FitActualWidths(std::vector<int32_t>& actual, const std::vector<int32_t>& ideal,
                     const std::vector<uint8_t>& eligible) {
    const size_t n = actual.size();
    int64_t difference = Sum(actual, 0, n) - Sum(ideal, 0, n);
    for (int pass = 0; pass < 2 && std::llabs(difference) > 2; ++pass) {
        for (size_t k = n; k-- > 0 && std::llabs(difference) > 2;) {
            if (eligible[k] == 0) {
                continue;
            }
            if (difference < 0) {
                ++actual[k];
                ++difference;
            } else if (actual[k] > 2) {
                --actual[k];
                --difference;
            }
        }
    }
}

std::vector<int32_t> MergeWidths(const std::vector<int32_t>& actual, const std::vector<int32_t>& ideal) {
    const size_t n = ideal.size();
    std::vector<int32_t> merged = ideal;
    size_t i = 0;
    while (i < n) {
        if (std::llabs(Sum(actual, i, n) - Sum(ideal, i, n)) <= 1) {
            for (size_t k = i; k < n; ++k) {
                merged[k] = actual[k];
            }
            break;
        }
        size_t end = i;  // one past the longest prefix with equal totals
        int64_t a = 0;
        int64_t d = 0;
        for (size_t j = i; j < n; ++j) {
            a += actual[j];
            d += ideal[j];
            if (j > i && a == d) {
                end = j + 1;
            }
        }
        if (end > i) {
            for (size_t k = i; k < end; ++k) {
                merged[k] = actual[k];
            }
            i = end;
        } else {
            ++i;
        }
    }
    return merged;
}

std::vector<int32_t> ComputeDisplayWidths(const TParLine& line, int32_t zoom, std::vector<int32_t> actual,
                                          const std::vector<uint8_t>& fixedPitch) {
    const auto n = static_cast<size_t>(line.PositionCount);
    std::vector<int32_t> layoutWidths(n);
    for (size_t k = 0; k < n; ++k) {
        layoutWidths[k] = line.LayoutWidth(static_cast<int32_t>(k));
    }
    std::vector<int32_t> ideal = IdealWidths(layoutWidths, zoom);
    if (actual.size() != n) {
        return ideal;
    }
    std::vector<uint8_t> eligible(n);
    for (size_t k = 0; k < n; ++k) {
        const uint8_t c = line.Code(static_cast<int32_t>(k));
        const bool blank = c == ' ' || c == spNonbreakingSpace || c == spParagraphEnd || c == spLineBreak ||
                           c == spPageBreak;
        eligible[k] = blank && (k >= fixedPitch.size() || fixedPitch[k] == 0) ? 1 : 0;
    }
    FitActualWidths(actual, ideal, eligible);
    return MergeWidths(actual, ideal);
}

}  // namespace quillane
