#include "model/TabTable.h"

#include <algorithm>

namespace quillane {

TTabStop TTabStop::Make(int64_t position, uint32_t kind, uint32_t leader) {
    const int64_t clamped = std::clamp<int64_t>(position, MinTabPosition, MaxTabPosition);
    if (kind > tkBar) {
        kind = tkLeft;
    }
    if (leader > tlUnderline) {
        leader = tlNone;
    }
    return TTabStop(static_cast<uint32_t>(clamped) | (kind << 24) | (leader << 28));
}

TTabStop TTabStop::FromPacked(uint32_t packed) {
    return Make(packed & 0xFFFFFFu, (packed >> 24) & 0xFu, packed >> 28);
}

int32_t TTabTable::Find(int32_t position) const {
    for (int32_t i = StopCount() - 1; i >= 0; --i) {
        if (Stop(i).Position() == position) {
            return i;
        }
    }
    return -1;
}

void TTabTable::Add(TTabStop stop) {
    if (Full()) {
        return;
    }
    // Make already lifts small positions; a default-constructed stop is 0.
    stops_.push_back(TTabStop::Make(stop.Position(), stop.Kind(), stop.Leader()));
}

void TTabTable::RemoveAt(int32_t position) {
    const int32_t i = Find(position);
    if (i >= 0) {
        Delete(i);
    }
}

void TTabTable::Delete(int32_t i) {
    if (i >= 0 && i < StopCount()) {
        stops_.erase(stops_.begin() + i);
    }
}

void TTabTable::SortByPosition() {
    std::stable_sort(stops_.begin(), stops_.end(),
                     [](TTabStop a, TTabStop b) { return a.Position() < b.Position(); });
}

std::optional<TTabStop> TTabTable::NextStop(int32_t x, bool inclusive) const {
    for (const TTabStop stop : stops_) {
        if (stop.IsBar()) {
            continue;
        }
        if (stop.Position() > x || (inclusive && stop.Position() == x)) {
            return stop;
        }
    }
    return std::nullopt;
}

}  // namespace quillane
