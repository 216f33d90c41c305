#pragma once
// A document's pool of tab tables (paragraph slot 13 indexes it), its default
// tab interval and the working table: the stops in effect for the paragraph
// being laid out.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/CharAttrs.h"
#include "model/TabTable.h"

namespace quillane {

class TParagraph;

constexpr int32_t DefaultTabInterval = 720;

class TTabManager {
public:
    // Tables only ever join the pool, so an index stored in a paragraph or a
    // style stays valid for the life of the document.
    int32_t TableCount() const { return static_cast<int32_t>(pool_.size()); }
    const TTabTable& Table(int32_t i) const { return *pool_[static_cast<size_t>(i)]; }
    bool ValidIndex(int32_t i) const { return i >= 0 && i < TableCount(); }
    // -1 for an empty table; otherwise the index of an equal pool table, or
    // of a copy appended to the pool.
    int32_t Intern(const TTabTable& table);

    int32_t DefaultInterval() const { return interval_; }
    // A zero or negative interval (from a damaged file) would never advance
    // the default stops; it falls back to half an inch. Tiny intervals are
    // raised to the smallest stop position.
    void SetDefaultInterval(int32_t twips);

    // The stops in effect for a paragraph: its table's stops up to the right
    // limit, then default left stops. The result is kept until the table
    // index, the limit or the interval changes.
    const TTabTable& EffectiveStops(const TParagraph& paragraph);
    // The same for a table index (-1 or an unknown index: none) and a limit
    // in twips from the left margin.
    const TTabTable& EffectiveStops(int32_t tableIndex, int32_t limit);
    const TTabTable& WorkingTable() const { return working_; }
    int32_t WorkingLimit() const { return workingLimit_; }

    // Where a tab at x ends: the next working stop, or, past the last one, a
    // left stop at the limit (at x itself once x is beyond the limit), so a
    // tab always has a finite end the layout can measure against.
    TTabStop TabEnd(int32_t x, bool inclusive) const;

private:
    std::vector<std::unique_ptr<TTabTable>> pool_;
    int32_t interval_ = DefaultTabInterval;
    TTabTable working_;
    int32_t workingIndex_ = UndefinedAttr;  // UndefinedAttr: nothing built yet
    int32_t workingLimit_ = 0;
    int32_t workingInterval_ = 0;
};

}  // namespace quillane
