#include <cstdlib>

#include "platform/Screen.h"

namespace quillane {

// Desktops on X11 and Wayland report a logical 96 pixels per inch unless the
// user scales; QUILLANE_SCREEN_PPI overrides it.
int32_t ScreenPixelsPerInch() {
    if (const char* value = std::getenv("QUILLANE_SCREEN_PPI")) {
        const long ppi = std::strtol(value, nullptr, 10);
        if (ppi >= 48 && ppi <= 960) {
            return static_cast<int32_t>(ppi);
        }
    }
    return 96;
}

}  // namespace quillane
