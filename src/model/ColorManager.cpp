#include "model/ColorManager.h"

#include <stdexcept>
#include <string>

namespace quillane {

TColorManager::TColorManager(TColorSystem& system) : system_(system), current_(&screen_) {
    ApplyScheme(screen_, userScheme_);
}

void TColorManager::ApplyScheme(TColorPalette& palette, const TColorScheme& scheme) const {
    for (int32_t entry = 0; entry < SchemeEntryCount; ++entry) {
        const int32_t value = scheme.Entries[static_cast<size_t>(entry)];
        TPaletteColor& color = palette.Colors[static_cast<size_t>(entry)];
        if (value != -1) {
            color.Color = static_cast<TColorValue>(value) & 0xFFFFFF;
        } else {
            const uint32_t fallback = SchemeEntryDefault(entry);
            color.Color = (fallback & 0xFF000000) != 0 ? (fallback & 0xFFFFFF)
                                                       : system_.SystemColor(static_cast<int32_t>(fallback));
        }
        color.Brush.reset();
    }
}

void TColorManager::SetUserScheme(const TColorScheme& scheme) {
    userScheme_ = scheme;
    ApplyScheme(screen_, userScheme_);
}

void TColorManager::RefreshSystemColors(const std::function<void()>& repaint) {
    ApplyScheme(screen_, userScheme_);
    if (print_) {
        ApplyScheme(*print_, PrintScheme());
    }
    if (repaint) {
        repaint();
    }
}

void TColorManager::UsePrintPalette() {
    if (!print_) {
        print_ = std::make_unique<TColorPalette>();
        ApplyScheme(*print_, PrintScheme());
    }
    current_ = print_.get();
}

void TColorManager::UseScreenPalette() { current_ = &screen_; }

TPaletteColor& TColorManager::At(int32_t entry) const {
    if (entry < 0 || entry >= SchemeEntryCount) {
        throw std::out_of_range("colour palette: no entry " + std::to_string(entry));
    }
    return current_->Colors[static_cast<size_t>(entry)];
}

TColorValue TColorManager::Color(int32_t entry) const { return At(entry).Color; }

const TPlatformBrush& TColorManager::Brush(int32_t entry) {
    TPaletteColor& color = At(entry);
    if (!color.Brush) {
        color.Brush = system_.CreateSolidBrush(color.Color);
    }
    return *color.Brush;
}

}  // namespace quillane
