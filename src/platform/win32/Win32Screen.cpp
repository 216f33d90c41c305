#include <windows.h>

#include "platform/Screen.h"

namespace quillane {

int32_t ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int ppi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return ppi > 0 ? ppi : 96;
}

}  // namespace quillane
