#pragma once
// The five PNG row filters. Each predicts a byte from the byte one pixel to
// the left (a), the byte above (b) and the one above-left (c); `bpp` is the
// byte distance of "one pixel to the left" (at least 1 for packed pixels).

#include <cstddef>
#include <cstdint>

namespace quillane {

enum TPngFilter : uint8_t { pfNone = 0, pfSub = 1, pfUp = 2, pfAverage = 3, pfPaeth = 4 };
constexpr int PngFilterCount = 5;

// The set of filters the encoder may use: bit n allows filter n. None is
// always allowed; Up is left out by default.
constexpr uint8_t FilterBit(TPngFilter filter) { return static_cast<uint8_t>(1u << filter); }
constexpr uint8_t DefaultPngFilters =
    FilterBit(pfNone) | FilterBit(pfSub) | FilterBit(pfAverage) | FilterBit(pfPaeth);

// Undoes `filter` on a row in place. `prior` is the previous unfiltered row
// (zeros for the first row of a pass). Returns false for an unknown filter.
bool UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t length, size_t bpp);

// Filters `raw` into `out` (both `length` bytes).
void FilterRow(TPngFilter filter, const uint8_t* raw, const uint8_t* prior, uint8_t* out, size_t length,
               size_t bpp);

// How well a filtered row will compress: the number of bytes, from the
// fifth on, equal to each of the four bytes before them. Rows of 4 bytes or
// fewer score 0.
int64_t FilterScore(const uint8_t* row, size_t length);

}  // namespace quillane
