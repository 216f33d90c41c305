#include "model/TabManager.h"

#include <algorithm>

#include "model/Document.h"
#include "model/Paragraph.h"

namespace quillane {

int32_t TTabManager::Intern(const TTabTable& table) {
    if (table.StopCount() == 0) {
        return -1;
    }
    for (int32_t i = 0; i < TableCount(); ++i) {
        if (Table(i) == table) {
            return i;
        }
    }
    auto copy = std::make_unique<TTabTable>();
    copy->CopyFrom(table);
    pool_.push_back(std::move(copy));
    return TableCount() - 1;
}

void TTabManager::SetDefaultInterval(int32_t twips) {
    interval_ = twips > 0 ? std::clamp(twips, MinTabPosition, MaxTabPosition) : DefaultTabInterval;
}

const TTabTable& TTabManager::EffectiveStops(const TParagraph& paragraph) {
    const TPageSettings& page = paragraph.Document().PageSettings();
    const int64_t limit = int64_t{page.PaperWidth} - page.LeftMargin - paragraph.Attributes[paRightIndent];
    return EffectiveStops(paragraph.Attributes[paTabTable],
                          static_cast<int32_t>(std::clamp<int64_t>(limit, INT32_MIN + 1, INT32_MAX)));
}

const TTabTable& TTabManager::EffectiveStops(int32_t tableIndex, int32_t limit) {
    if (workingIndex_ == tableIndex && workingLimit_ == limit && workingInterval_ == interval_) {
        return working_;
    }
    working_.Clear();
    workingIndex_ = tableIndex;
    workingLimit_ = limit;
    workingInterval_ = interval_;

    int64_t p = 0;
    if (ValidIndex(tableIndex)) {
        const TTabTable& table = Table(tableIndex);
        for (int32_t i = 0; i < table.StopCount(); ++i) {
            const TTabStop stop = table.Stop(i);
            if (stop.IsBar()) {
                continue;
            }
            p = stop.Position();
            if (working_.StopCount() > 0 && p >= limit) {
                break;
            }
            working_.Add(stop);
        }
    }
    // Default stops continue at the multiples of the interval after the
    // last explicit one; a paragraph always gets at least one stop.
    while (!working_.Full()) {
        const int64_t next = int64_t{interval_} * ((p + interval_) / interval_);
        if (working_.StopCount() > 0 && (next > limit || next > MaxTabPosition)) {
            break;
        }
        working_.Add(TTabStop::Make(next));
        p = next;
    }
    return working_;
}

TTabStop TTabManager::TabEnd(int32_t x, bool inclusive) const {
    if (const auto stop = working_.NextStop(x, inclusive)) {
        return *stop;
    }
    return TTabStop::Make(std::max(x, workingLimit_));
}

}  // namespace quillane
