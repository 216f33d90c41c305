#include "platform/ColorSystem.h"

#include <gtest/gtest.h>

#include "model/ColorManager.h"

namespace quillane {
namespace {

TEST(ColorSystem, SystemColoursAndBrushes) {
    const auto system = CreateColorSystem();
    for (int32_t index : {scWindow, scWindowText, scButtonFace, scButtonShadow}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(0u, system->SystemColor(index) & 0xFF000000u);
    }
    EXPECT_NE(system->SystemColor(scWindow), system->SystemColor(scWindowText));
    EXPECT_EQ(0x123456u, system->CreateSolidBrush(0x123456)->Color());

    TColorManager colors(*system);
    EXPECT_EQ(system->SystemColor(scWindowText), colors.Color(ceAutoText));
    EXPECT_EQ(colors.Color(cePageBackground), colors.Brush(cePageBackground).Color());
    EXPECT_EQ(0xFF0000u, colors.Color(cePageMarginBorder));
}

}  // namespace
}  // namespace quillane
