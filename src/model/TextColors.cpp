#include "model/TextColors.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace quillane {

namespace {

struct TTextColor {
    const char* Name;
    TColorValue Value;
};

constexpr TTextColor TextColors[TextColorCount] = {
    {"Auto", 0x000000},      {"Black", 0x000000},  {"Blue", 0xFF0000},   {"Aqua", 0xFFFF00},
    {"Lime", 0x00FF00},      {"Fuchsia", 0xFF00FF}, {"Red", 0x0000FF},   {"Yellow", 0x00FFFF},
    {"White", 0xFFFFFF},     {"Navy", 0x800000},   {"Teal", 0x808000},   {"Green", 0x008000},
    {"Purple", 0x800080},    {"Maroon", 0x000080}, {"Olive", 0x008080},  {"Gray", 0x808080},
    {"Lightgray", 0xC0C0C0},
};

const TTextColor& At(int32_t index) {
    if (index < 0 || index >= TextColorCount) {
        throw std::out_of_range("text colour table: no colour " + std::to_string(index));
    }
    return TextColors[index];
}

int Component(TColorValue value, int shift) { return static_cast<int>((value >> shift) & 0xFF); }

}  // namespace

const char* ColorName(int32_t index) { return At(index).Name; }

TColorValue ColorValue(int32_t index) { return At(index).Value; }

int32_t NearestColor(TColorValue value) {
    int32_t best = TextColorCount - 1;
    int bestDistance = 3 * 255;
    for (int32_t i = 1; i < TextColorCount; ++i) {
        const TColorValue c = TextColors[i].Value;
        const int distance = std::abs(Component(c, 0) - Component(value, 0)) +
                             std::abs(Component(c, 8) - Component(value, 8)) +
                             std::abs(Component(c, 16) - Component(value, 16));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void MapDocumentColors(std::vector<TDocColorInfo>& colors) {
    for (TDocColorInfo& color : colors) {
        color.Index = color.Automatic ? AutoColor : NearestColor(color.Value);
    }
}

}  // namespace quillane
