#pragma once
// Character properties by what they are made of: a run's SPRMs, the
// paragraph's style and the piece's property modifier. Runs repeat a few
// formats over and over, and working one out walks its SPRMs from the
// style's attributes up, so a small table of recent results saves most of
// that work in a large document.

#include <array>
#include <cstdint>

#include "formats/word/WordBytes.h"
#include "formats/word/WordProperties.h"

namespace quillane {

class TWordCharPropsCache {
public:
    // The properties held for that run, or nullptr.
    const TWordCharProps* Find(TByteView grpprl, int32_t style, uint16_t prm) const {
        const TSlot& slot = slots_[SlotOf(grpprl, style, prm)];
        return slot.Used && Matches(slot, grpprl, style, prm) ? &slot.Props : nullptr;
    }

    // Keeps the properties for the run (SPRM lists longer than a slot holds
    // are not kept), in place of what shared its slot.
    void Store(TByteView grpprl, int32_t style, uint16_t prm, const TWordCharProps& props) {
        if (grpprl.Size() > MaxSprmBytes) {
            return;
        }
        TSlot& slot = slots_[SlotOf(grpprl, style, prm)];
        slot.Used = true;
        slot.Style = style;
        slot.Prm = prm;
        slot.Size = static_cast<uint8_t>(grpprl.Size());
        for (size_t i = 0; i < grpprl.Size(); ++i) {
            slot.Bytes[i] = grpprl.Data()[i];
        }
        slot.Props = props;
    }

private:
    static constexpr size_t SlotCount = 64;
    static constexpr size_t MaxSprmBytes = 64;

    struct TSlot {
        bool Used = false;
        int32_t Style = 0;
        uint16_t Prm = 0;
        uint8_t Size = 0;
        std::array<uint8_t, MaxSprmBytes> Bytes{};
        TWordCharProps Props;
    };

    static size_t SlotOf(TByteView grpprl, int32_t style, uint16_t prm) {
        uint32_t hash = 2166136261u ^ static_cast<uint32_t>(style) ^ (uint32_t{prm} << 16);
        for (size_t i = 0; i < grpprl.Size(); ++i) {
            hash = (hash ^ grpprl.Data()[i]) * 16777619u;
        }
        return (hash ^ (hash >> 15)) % SlotCount;
    }

    static bool Matches(const TSlot& slot, TByteView grpprl, int32_t style, uint16_t prm) {
        if (slot.Style != style || slot.Prm != prm || slot.Size != grpprl.Size()) {
            return false;
        }
        for (size_t i = 0; i < grpprl.Size(); ++i) {
            if (slot.Bytes[i] != grpprl.Data()[i]) {
                return false;
            }
        }
        return true;
    }

    std::array<TSlot, SlotCount> slots_{};
};

}  // namespace quillane
