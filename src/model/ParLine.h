#pragma once
// One laid-out line of a paragraph. The line layout fills in the measures;
// the model needs only the span of positions, how the line ends and where
// its attribute snapshot is.

#include <cstdint>

namespace quillane {

class TParLine {
public:
    virtual ~TParLine() = default;

    int32_t FirstPosition = 0;
    int32_t PositionCount = 0;
    // Offset of the line-start attribute snapshot in the paragraph's
    // snapshot buffer, or -1 when the attributes at the line start are the
    // defaults.
    int32_t SnapshotOffset = -1;
    // The line ends with a line break or page break (a hard end).
    bool EndsWithBreak = false;
    // Index of the page the line was placed on by pagination, -1 for none.
    int32_t Page = -1;
};

}  // namespace quillane
