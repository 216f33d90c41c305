#pragma once
// Kerning pairs of the fonts in use, cached per font like the shared fonts.
// Pairs are indexed by the low byte of their first character, so a lookup
// scans one short group.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/CharAttrs.h"
#include "platform/FontSystem.h"

namespace quillane {

struct TSharedKerningPairs {
    struct TGroup {
        int32_t First = 0;  // index of the group's first pair
        int32_t Count = 0;
    };
    TCharAttrs Key;  // attributes with slot 1 replaced by the pixel height
    std::vector<TKerningPair> Pairs;  // in the order the platform gave them
    std::array<TGroup, 256> Index{};
    int32_t UseCount = 0;
};

class TKerningPairsManager {
public:
    static constexpr size_t CacheSize = 40;

    TKerningPairsManager() = default;
    TKerningPairsManager(const TKerningPairsManager&) = delete;
    TKerningPairsManager& operator=(const TKerningPairsManager&) = delete;

    // Makes the pairs of the font made for (attrs, height) current; font is
    // that font, read only when its pairs are not cached yet.
    void LoadPairs(const TCharAttrs& attrs, int32_t height, const TPlatformFont& font);
    // The amount for the pair with the current table; 0 without one.
    int32_t PairAmount(int32_t first, int32_t second) const;
    void SortCacheByUse();
    // Frees every table (after a change of the installed fonts).
    void Clear();

    const TSharedKerningPairs* Current() const { return current_; }
    const std::vector<std::unique_ptr<TSharedKerningPairs>>& Cache() const { return cache_; }

private:
    std::vector<std::unique_ptr<TSharedKerningPairs>> cache_;
    TSharedKerningPairs* current_ = nullptr;  // one of cache_
};

}  // namespace quillane
