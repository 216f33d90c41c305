// Where the main window opens, from what was stored and the screen.

#include <gtest/gtest.h>

#include "shell/WindowPlacement.h"

namespace quillane {

// How a failed comparison shows a placement (found by argument lookup).
std::ostream& operator<<(std::ostream& out, const TStoredPlacement& p) {
    return out << "state " << p.State << " (" << p.X << ", " << p.Y << ") " << p.Cx << " x " << p.Cy;
}

namespace {

TEST(WindowPlacement, RectanglesOffTheScreenFallBackToTheDefault) {
    // The default on 1024 x 768: 170, 128, 682 x 512.
    const TStoredPlacement fallback{2, 170, 128, 682, 512};
    EXPECT_EQ(fallback, DefaultPlacement(1024, 768));
    struct Case {
        const char* Name;
        TStoredPlacement Stored;
        TStoredPlacement Expected;
    };
    const Case cases[] = {
        {"on screen", {2, 10, 20, 500, 400}, {2, 10, 20, 500, 400}},
        {"x at the width (clamped 10000) is off", {2, 1024, 20, 500, 400}, fallback},
        {"one pixel on the right", {2, 1023, 20, 500, 400}, {2, 1023, 20, 500, 400}},
        {"left of the screen", {2, -500, 20, 500, 400}, fallback},
        {"one pixel on the left", {2, -499, 20, 500, 400}, {2, -499, 20, 500, 400}},
        {"below", {2, 10, 768, 500, 400}, fallback},
        {"above", {2, 10, -400, 500, 400}, fallback},
        {"no size", {2, 10, 10, 0, 400}, fallback},
        {"minimized opens normal", {1, 10, 20, 500, 400}, {0, 10, 20, 500, 400}},
        {"normal stays normal", {0, 10, 20, 500, 400}, {0, 10, 20, 500, 400}},
        {"fallback keeps the state", {0, 5000, 20, 500, 400}, {0, 170, 128, 682, 512}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Expected, PlaceMainWindow(c.Stored, 1024, 768, {}));
    }
}

TEST(WindowPlacement, SwitchesOverrideTheStoredState) {
    const TStoredPlacement stored{2, 10, 20, 500, 400};
    EXPECT_EQ(0, PlaceMainWindow(stored, 1024, 768, {true, false}).State);
    EXPECT_EQ(2, PlaceMainWindow({0, 10, 20, 500, 400}, 1024, 768, {false, true}).State);
    EXPECT_EQ(2, PlaceMainWindow(stored, 1024, 768, {true, true}).State);  // maximized is applied last
}

TEST(WindowPlacement, StoredPositionIsInScreenCoordinates) {
    // A task bar on the left makes the work area start at x = 60.
    EXPECT_EQ((TStoredPlacement{0, 160, 20, 500, 400}),
              PlacementToStore(TWindowState::Normal, 100, 20, 500, 400, 60, 0));
}

}  // namespace
}  // namespace quillane
