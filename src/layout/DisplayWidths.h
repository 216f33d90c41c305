#pragma once
// Screen widths for a laid-out line at a zoom. The ideal widths keep the
// device-independent positions (rounded so that no error accumulates); where
// the screen font's own widths add up to the same, they are used instead, so
// text looks as the font designed it without drifting from the layout.

#include <cstdint>
#include <vector>

namespace quillane {

class TParLine;

// The ideal widths of layout widths at a zoom: each width * zoom / 800,
// with the remainders handed out as whole pixels where they are largest.
std::vector<int32_t> IdealWidths(const std::vector<int32_t>& layoutWidths, int32_t zoom);

// Nudges the actual widths of blanks and break marks (of proportional fonts)
// by single pixels from the end of the line until the two totals differ by
// less than 3 pixels, in at most two passes. eligible marks the positions
// that may change.
void FitActualWidths(std::vector<int32_t>& actual, const std::vector<int32_t>& ideal,
                     const std::vector<uint8_t>& eligible);

// The ideal widths with every run taken over from the actual widths whose
// total agrees with the ideal one.
std::vector<int32_t> MergeWidths(const std::vector<int32_t>& actual, const std::vector<int32_t>& ideal);

// The display widths of a line: actual holds the widths measured at the
// zoom (empty when the line has a tab or could not be re-measured), and
// fixedPitch says per position whether its font is fixed-pitch.
std::vector<int32_t> ComputeDisplayWidths(const TParLine& line, int32_t zoom, std::vector<int32_t> actual,
                                          const std::vector<uint8_t>& fixedPitch);

}  // namespace quillane
