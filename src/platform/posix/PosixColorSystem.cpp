// Without a native toolkit the system colours are those of a default Windows
// appearance, and a brush is the colour it fills with.
#include "platform/ColorSystem.h"

namespace quillane {

namespace {

class TPosixBrush final : public TPlatformBrush {
public:
    explicit TPosixBrush(TColorValue color) : color_(color) {}
    TColorValue Color() const override { return color_; }

private:
    TColorValue color_;
};

class TPosixColorSystem final : public TColorSystem {
public:
    TColorValue SystemColor(int32_t index) const override {
        switch (index) {
            case scWindow: return 0xFFFFFF;
            case scWindowText: return 0x000000;
            case scButtonFace: return 0xF0F0F0;
            case scButtonShadow: return 0xA0A0A0;
            default: return 0x000000;
        }
    }
    std::unique_ptr<TPlatformBrush> CreateSolidBrush(TColorValue color) override {
        return std::make_unique<TPosixBrush>(color);
    }
};

}  // namespace

std::unique_ptr<TColorSystem> CreateColorSystem() { return std::make_unique<TPosixColorSystem>(); }

}  // namespace quillane
