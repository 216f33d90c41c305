#pragma once
// System colours a test can change, and brushes that count themselves.

#include <map>
#include <memory>

#include "platform/ColorSystem.h"

namespace quillane::test {

class TFakeColorSystem final : public TColorSystem {
public:
    std::map<int32_t, TColorValue> Colors = {
        {scWindow, 0x111111}, {scWindowText, 0x222222}, {scButtonFace, 0x333333}, {scButtonShadow, 0x444444}};
    int BrushesMade = 0;

    TColorValue SystemColor(int32_t index) const override {
        const auto it = Colors.find(index);
        return it != Colors.end() ? it->second : 0xABCDEF;
    }
    std::unique_ptr<TPlatformBrush> CreateSolidBrush(TColorValue color) override {
        ++BrushesMade;
        return std::make_unique<TBrush>(color);
    }

private:
    class TBrush final : public TPlatformBrush {
    public:
        explicit TBrush(TColorValue color) : color_(color) {}
        TColorValue Color() const override { return color_; }

    private:
        TColorValue color_;
    };
};

}  // namespace quillane::test
