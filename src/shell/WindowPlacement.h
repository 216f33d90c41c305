#pragma once
// Where the main window goes at start and what is stored of it at exit.

#include <cstdint>

namespace quillane {

enum class TWindowState : int32_t { Normal = 0, Minimized = 1, Maximized = 2 };

// As stored: the state and the normal-state rectangle in screen
// coordinates (left, top, width, height).
struct TStoredPlacement {
    int32_t State = 2;
    int32_t X = 0, Y = 0, Cx = 0, Cy = 0;
    bool operator==(const TStoredPlacement&) const = default;
};

// The command-line switches that override the stored state.
struct TPlacementSwitches {
    bool Restored = false;
    bool Maximized = false;
};

// The default rectangle: a sixth of the screen from its top-left corner,
// four sixths of its size (integer arithmetic).
TStoredPlacement DefaultPlacement(int32_t screenWidth, int32_t screenHeight);

// The placement to show the window with: a stored minimized state opens
// normal, the switches win over the stored state, and a rectangle that does
// not meet the screen (edges are half-open: x = width is off screen) is
// replaced by the default one.
TStoredPlacement PlaceMainWindow(const TStoredPlacement& stored, int32_t screenWidth, int32_t screenHeight,
                                 TPlacementSwitches switches);

// What is stored at exit: the normal-state rectangle, which the system gives
// in work-area coordinates, moved to screen coordinates.
TStoredPlacement PlacementToStore(TWindowState state, int32_t left, int32_t top, int32_t width, int32_t height,
                                  int32_t workAreaLeft, int32_t workAreaTop);

}  // namespace quillane
