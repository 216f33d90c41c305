#include "formats/CharClasses.h"

#include "model/TextStream.h"

namespace quillane {

namespace {

constexpr std::array<uint8_t, 256> MakeTextSpecialMap() {
    std::array<uint8_t, 256> map{};
    map[0x09] = spTab;
    map[0x0B] = spLineBreak;
    map[0x0C] = spPageBreak;
    map[0x10] = spNonbreakingHyphen;
    map[0x1F] = spOptionalHyphen;
    map[0xA0] = spNonbreakingSpace;
    map[0x96] = spShortDash;
    map[0x97] = spLongDash;
    return map;
}

constexpr std::array<bool, 256> MakeOrdinaryCharClass() {
    std::array<bool, 256> ordinary{};
    for (int b = 32; b < 256; ++b) {
        ordinary[static_cast<size_t>(b)] = true;
    }
    ordinary['\\'] = false;
    ordinary['{'] = false;
    ordinary['}'] = false;
    ordinary[0x96] = false;
    ordinary[0x97] = false;
    ordinary[0xA0] = false;
    return ordinary;
}

}  // namespace

const std::array<uint8_t, 256> TextSpecialMap = MakeTextSpecialMap();
const std::array<bool, 256> OrdinaryCharClass = MakeOrdinaryCharClass();

int32_t OrdinaryRunLength(const uint8_t* p, int32_t limit) {
    int32_t n = 0;
    // Four bytes a step while the whole group is ordinary.
    while (n + 4 <= limit && OrdinaryCharClass[p[n]] && OrdinaryCharClass[p[n + 1]] &&
           OrdinaryCharClass[p[n + 2]] && OrdinaryCharClass[p[n + 3]]) {
        n += 4;
    }
    while (n < limit && OrdinaryCharClass[p[n]]) {
        ++n;
    }
    return n;
}

}  // namespace quillane
