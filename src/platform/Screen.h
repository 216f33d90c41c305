#pragma once
// The screen's logical resolution: pixels per inch of the vertical axis,
// used for both axes throughout the model and the view.

#include <cstdint>

namespace quillane {

int32_t ScreenPixelsPerInch();

}  // namespace quillane
