#include "model/TextStream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

namespace quillane {

TTag ReadTag(const uint8_t* p) {
    TTag tag;
    tag.Kind = p[1];
    tag.Aux = p[2];
    const uint32_t u = static_cast<uint32_t>(p[3]) | (static_cast<uint32_t>(p[4]) << 8) |
                       (static_cast<uint32_t>(p[5]) << 16) | (static_cast<uint32_t>(p[6]) << 24);
    tag.Value = static_cast<int32_t>(u);
    return tag;
}

void WriteTagValue(uint8_t* p, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    p[3] = static_cast<uint8_t>(u);
    p[4] = static_cast<uint8_t>(u >> 8);
    p[5] = static_cast<uint8_t>(u >> 16);
    p[6] = static_cast<uint8_t>(u >> 24);
}

int32_t CharRunLength(const uint8_t* p, int32_t limit) {
    if (limit <= 0) {
        return 0;
    }
    const void* zero = std::memchr(p, 0, static_cast<size_t>(limit));
    return zero == nullptr ? limit : static_cast<int32_t>(static_cast<const uint8_t*>(zero) - p);
}

int32_t PositionToOffset(const TFlexibleString& text, int32_t positionCount, int32_t k) {
    k = std::clamp(k, 0, std::max(positionCount - 1, 0));
    const uint8_t* p = text.Data();
    const int32_t length = text.Length();
    int32_t i = 0;
    int32_t position = 0;
    while (i < length) {
        if (p[i] != 0) {
            const int32_t run = CharRunLength(p + i, length - i);
            if (k < position + run) {
                return i + (k - position);
            }
            position += run;
            i += run;
            continue;
        }
        if (OccupiesPosition(p[i + 1])) {
            if (position == k) {
                return i;
            }
            ++position;
        }
        i += TagSize;
    }
    return length;
}

namespace {

constexpr int32_t None = -1;

// State of the normalising scan; see NormalizeTagStream.
struct TNormalizer {
    TFlexibleString& Text;
    std::array<int32_t, CharSlotCount> Current{};
    std::array<int32_t, CharSlotCount> Before{};
    std::array<int32_t, CharSlotCount> Pending{};

    TNormalizer(TFlexibleString& text, const TCharAttrs& defaults) : Text(text) {
        Current = defaults.Slots;
        Before = defaults.Slots;
        Pending.fill(None);
    }

    void Boundary() {
        Before = Current;
        Pending.fill(None);
    }

    // Deletes the tag at `offset`; pending tags behind it move down with the
    // bytes, so their recorded offsets must follow.
    void DeleteTag(int32_t offset) {
        Text.DeleteBytes(offset, TagSize);
        for (int32_t& pending : Pending) {
            if (pending != None && pending > offset) {
                pending -= TagSize;
            }
        }
    }

    void Run() {
        int32_t i = 0;
        while (i < Text.Length()) {
            const uint8_t* p = Text.Data();
            if (p[i] != 0) {
                Boundary();
                i += CharRunLength(p + i, Text.Length() - i);
                continue;
            }
            const TTag tag = ReadTag(p + i);
            if (!IsAttributeKind(tag.Kind)) {
                if (OccupiesPosition(tag.Kind)) {
                    Boundary();
                }
                i += TagSize;
                continue;
            }
            const int k = tag.Kind;
            if (tag.Value == Current[k]) {
                DeleteTag(i);  // restates the current value
                continue;
            }
            Current[k] = tag.Value;
            if (Pending[k] == None) {
                Pending[k] = i;
                i += TagSize;
                continue;
            }
            // A second change of the same slot since the last boundary: the
            // earlier one is superseded.
            const int32_t earlier = Pending[k];
            Pending[k] = None;
            DeleteTag(earlier);
            i -= TagSize;  // the current tag moved down with the bytes
            if (tag.Value == Before[k]) {
                DeleteTag(i);  // back to the value at the boundary
            } else {
                Pending[k] = i;
                i += TagSize;
            }
        }
        // Attribute tags after the last item change nothing.
        while (Text.Length() > 15) {
            const uint8_t* end = Text.Data() + Text.Length() - TagSize;
            if (end[7] != 1 || end[0] != 0 || !IsAttributeKind(end[1])) {
                break;
            }
            Text.SetLength(Text.Length() - TagSize);
        }
    }
};

}  // namespace

void NormalizeTagStream(TFlexibleString& text, const TCharAttrs& defaults) {
    TNormalizer(text, defaults).Run();
}

TCharAttrs AttributesAt(const TFlexibleString& text, int32_t end, const TCharAttrs& defaults) {
    TCharAttrs attrs = defaults;
    const uint8_t* p = text.Data();
    end = std::min(end, text.Length());
    int32_t i = 0;
    while (i < end) {
        if (p[i] != 0) {
            i += CharRunLength(p + i, end - i);
            continue;
        }
        const TTag tag = ReadTag(p + i);
        if (IsAttributeKind(tag.Kind)) {
            attrs[tag.Kind] = tag.Value;
        }
        i += TagSize;
    }
    return attrs;
}

void CheckTextStream(const TFlexibleString& text, const TFlexibleString& positions) {
    const uint8_t* p = text.Data();
    int32_t i = 0;
    int32_t position = 0;
    auto fail = [](const std::string& what, int32_t at) {
        throw std::logic_error("text stream: " + what + " at byte " + std::to_string(at));
    };
    while (i < text.Length()) {
        if (p[i] != 0) {
            const int32_t run = CharRunLength(p + i, text.Length() - i);
            for (int32_t j = 0; j < run; ++j) {
                if (position + j >= positions.Length() || positions[position + j] != p[i + j]) {
                    fail("character disagrees with the position string", i + j);
                }
            }
            position += run;
            i += run;
            continue;
        }
        if (i + TagSize > text.Length()) {
            fail("truncated tag", i);
        }
        if (p[i + 7] != 1) {
            fail("tag without end marker", i);
        }
        const TTag tag = ReadTag(p + i);
        if (OccupiesPosition(tag.Kind)) {
            uint8_t expected = spObject;
            if (tag.Kind == tkSpecial) {
                expected = static_cast<uint8_t>(tag.Value);
            } else if (tag.Kind == tkPicture) {
                expected = spPicture;
            }
            if (position >= positions.Length() || positions[position] != expected) {
                fail("tag disagrees with the position string", i);
            }
            ++position;
        }
        i += TagSize;
    }
    if (position != positions.Length()) {
        fail("position string longer than the stream", i);
    }
}

}  // namespace quillane
