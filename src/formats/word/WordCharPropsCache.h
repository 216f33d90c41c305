#pragma once
// Character properties by what they are made of: a run's SPRMs, the
// paragraph's style and the piece's property modifier. Runs repeat a few
// formats over and over, and working one out walks its SPRMs from the
// style's attributes up, so a small table of recent results saves most of
// that work in a large document.

#include <array>
#include <cstdint>
#include <cstring>

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
    static constexpr size_t SlotCount = 64;  // SlotOf takes six bits of its hash
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
        // Eight bytes at a time: SPRM lists are short, and this runs for
        // every run of a document.
        constexpr uint64_t mix = 0x9E3779B97F4A7C15u;
        uint64_t hash = (static_cast<uint64_t>(static_cast<uint32_t>(style)) << 24) ^ (uint64_t{prm} << 8) ^ grpprl.Size();
        const uint8_t* p = grpprl.Data();
        size_t left = grpprl.Size();
        for (; left >= 8; left -= 8, p += 8) {
            uint64_t eight;
            std::memcpy(&eight, p, 8);
            hash = (hash ^ eight) * mix;
        }
        if (left > 0) {
            // Gathered in a register: bytes stored one by one and loaded
            // as a word would stall the load.
            uint64_t tail = 0;
            for (size_t i = 0; i < left; ++i) {
                tail |= uint64_t{p[i]} << (8 * i);
            }
            hash = (hash ^ tail) * mix;
        }
        return static_cast<size_t>(hash >> 58);  // the top six bits: SlotCount is 64
    }

    static bool Matches(const TSlot& slot, TByteView grpprl, int32_t style, uint16_t prm) {
        return slot.Style == style && slot.Prm == prm && slot.Size == grpprl.Size() &&
               (grpprl.Size() == 0 || std::memcmp(slot.Bytes.data(), grpprl.Data(), grpprl.Size()) == 0);
    }

    std::array<TSlot, SlotCount> slots_{};
};

}  // namespace quillane
