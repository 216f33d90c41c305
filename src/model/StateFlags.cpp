#include "model/StateFlags.h"

#include <algorithm>
#include <stdexcept>

namespace quillane {

void TStateFlags::SetFlags(uint64_t set) {
    for (int bit = 0; bit < StateFlagCount; ++bit) {
        if ((set >> bit) & 1u) {
            SetFlag(bit);
        }
    }
}

void TStateFlags::SetFlags(std::initializer_list<int> bits) {
    uint64_t set = 0;
    for (int bit : bits) {
        set |= Mask(bit);
    }
    SetFlags(set);
}

void TStateFlags::PopFlags(int n) {
    if (n < 0 || n > StackDepth()) {
        throw std::logic_error("state flags: popping more flags than were pushed");
    }
    for (int i = 0; i < n; ++i) {
        const auto [bit, value] = stack_.back();
        stack_.pop_back();
        Assign(bit, value);
    }
}

}  // namespace quillane
