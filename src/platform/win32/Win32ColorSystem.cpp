#include <windows.h>

#include "platform/ColorSystem.h"

namespace quillane {

namespace {

class TWin32Brush final : public TPlatformBrush {
public:
    explicit TWin32Brush(TColorValue color) : color_(color), brush_(::CreateSolidBrush(color)) {}
    ~TWin32Brush() override {
        if (brush_ != nullptr) {
            DeleteObject(brush_);
        }
    }
    TColorValue Color() const override { return color_; }
    HBRUSH Handle() const { return brush_; }

private:
    TColorValue color_;
    HBRUSH brush_;
};

class TWin32ColorSystem final : public TColorSystem {
public:
    TColorValue SystemColor(int32_t index) const override { return GetSysColor(index) & 0xFFFFFF; }
    std::unique_ptr<TPlatformBrush> CreateSolidBrush(TColorValue color) override {
        return std::make_unique<TWin32Brush>(color);
    }
};

}  // namespace

std::unique_ptr<TColorSystem> CreateColorSystem() { return std::make_unique<TWin32ColorSystem>(); }

}  // namespace quillane
