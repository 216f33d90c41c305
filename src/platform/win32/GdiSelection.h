#pragma once
// Selects a GDI object into a device context for the life of the scope.

#include <windows.h>

namespace quillane {

class TGdiSelection {
public:
    TGdiSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~TGdiSelection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    TGdiSelection(const TGdiSelection&) = delete;
    TGdiSelection& operator=(const TGdiSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace quillane
