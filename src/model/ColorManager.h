#pragma once
// Turns colour schemes into palettes: the screen palette from the user's
// scheme, a fixed palette for printing, and the current one that drawing
// uses. Brushes are made on first use and dropped when their colour changes.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "model/ColorScheme.h"
#include "platform/ColorSystem.h"

namespace quillane {

struct TPaletteColor {
    TColorValue Color = 0;
    std::unique_ptr<TPlatformBrush> Brush;  // made on first use
};

struct TColorPalette {
    std::array<TPaletteColor, SchemeEntryCount> Colors;
};

class TColorManager {
public:
    // Does not own the colour system, which must outlive the manager. The
    // screen palette starts from the standard scheme.
    explicit TColorManager(TColorSystem& system);
    TColorManager(const TColorManager&) = delete;
    TColorManager& operator=(const TColorManager&) = delete;

    // Fills a palette: -1 entries take their defaults, system colours as they
    // are now; every brush is made again on its next use.
    void ApplyScheme(TColorPalette& palette, const TColorScheme& scheme) const;

    // The user's scheme, applied to the screen palette (at start-up and when
    // the user changes it).
    void SetUserScheme(const TColorScheme& scheme);
    const TColorScheme& UserScheme() const { return userScheme_; }

    // After the system's colours changed: palettes built again, then repaint
    // is called to have the open documents drawn in the new colours.
    void RefreshSystemColors(const std::function<void()>& repaint);

    void UsePrintPalette();
    void UseScreenPalette();
    bool Printing() const { return current_ != &screen_; }

    TColorValue Color(int32_t entry) const;
    const TPlatformBrush& Brush(int32_t entry);

private:
    TPaletteColor& At(int32_t entry) const;

    TColorSystem& system_;
    TColorScheme userScheme_;
    TColorPalette screen_;
    std::unique_ptr<TColorPalette> print_;  // built on first request
    TColorPalette* current_;
};

}  // namespace quillane
