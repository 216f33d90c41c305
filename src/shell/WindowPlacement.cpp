#include "shell/WindowPlacement.h"

namespace quillane {

TStoredPlacement DefaultPlacement(int32_t screenWidth, int32_t screenHeight) {
    return {static_cast<int32_t>(TWindowState::Maximized), screenWidth / 6, screenHeight / 6, screenWidth * 4 / 6,
            screenHeight * 4 / 6};
}

TStoredPlacement PlaceMainWindow(const TStoredPlacement& stored, int32_t screenWidth, int32_t screenHeight,
                                 TPlacementSwitches switches) {
    TStoredPlacement placed = stored;
    // 64-bit sums: a stored position plus a size may pass 2^31.
    const int64_t right = int64_t{stored.X} + stored.Cx;
    const int64_t bottom = int64_t{stored.Y} + stored.Cy;
    const bool meetsScreen = stored.Cx > 0 && stored.Cy > 0 && stored.X < screenWidth && right > 0 &&
                             stored.Y < screenHeight && bottom > 0;
    if (!meetsScreen) {
        const TStoredPlacement fallback = DefaultPlacement(screenWidth, screenHeight);
        placed.X = fallback.X;
        placed.Y = fallback.Y;
        placed.Cx = fallback.Cx;
        placed.Cy = fallback.Cy;
    }
    if (placed.State != static_cast<int32_t>(TWindowState::Maximized)) {
        placed.State = static_cast<int32_t>(TWindowState::Normal);
    }
    if (switches.Restored) {
        placed.State = static_cast<int32_t>(TWindowState::Normal);
    }
    if (switches.Maximized) {
        placed.State = static_cast<int32_t>(TWindowState::Maximized);
    }
    return placed;
}

TStoredPlacement PlacementToStore(TWindowState state, int32_t left, int32_t top, int32_t width, int32_t height,
                                  int32_t workAreaLeft, int32_t workAreaTop) {
    return {static_cast<int32_t>(state), left + workAreaLeft, top + workAreaTop, width, height};
}

}  // namespace quillane
