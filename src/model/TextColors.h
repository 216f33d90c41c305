#pragma once
// The fixed table of 17 text colours that documents index (text colour and
// highlight). Index 0 is "Auto": text is drawn in the colour scheme's "Auto
// Text" colour and highlight is none.

#include <cstdint>
#include <vector>

#include "platform/ColorSystem.h"

namespace quillane {

constexpr int32_t TextColorCount = 17;
constexpr int32_t AutoColor = 0;

const char* ColorName(int32_t index);
// The table's value; 0 for "Auto", whose colour comes from the scheme.
TColorValue ColorValue(int32_t index);

// The index 1 to 16 nearest to a value by the sum of the red, green and blue
// differences; ties go to the lower index. Never "Auto".
int32_t NearestColor(TColorValue value);

// A colour of a document's colour table as a reader finds it.
struct TDocColorInfo {
    bool Automatic = false;
    TColorValue Value = 0;
    int32_t Index = 0;  // the result: 0 when automatic, else the nearest colour
};
void MapDocumentColors(std::vector<TDocColorInfo>& colors);

}  // namespace quillane
