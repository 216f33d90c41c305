#include "model/Style.h"

#include <cstdio>

namespace quillane {

TStyle::TStyle(std::string name) : Name(name), DisplayName(std::move(name)) {
    CharAttrs.Slots.fill(UndefinedAttr);
    ParAttrs.Slots.fill(UndefinedAttr);
}

void TStyle::Assign(const TStyle& style) {
    BuiltIn = style.BuiltIn;
    BuiltInIndex = style.BuiltInIndex;
    Name = style.Name;
    DisplayName = style.DisplayName;
    BasedOn = style.BasedOn;
    NextStyle = style.NextStyle;
    HotKey = style.HotKey;
    CharAttrs = style.CharAttrs;
    ParAttrs = style.ParAttrs;
}

std::string DefaultKeyText(uint16_t key) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(key));
    return text;
}

}  // namespace quillane
