#include "model/KerningPairs.h"

#include <algorithm>

#include "model/FontManager.h"

namespace quillane {

void TKerningPairsManager::LoadPairs(const TCharAttrs& attrs, int32_t height, const TPlatformFont& font) {
    if (current_ != nullptr && SameFontKey(current_->Key, attrs, height)) {
        return;
    }
    for (const auto& table : cache_) {
        if (SameFontKey(table->Key, attrs, height)) {
            current_ = table.get();
            ++table->UseCount;
            return;
        }
    }
    if (cache_.size() >= CacheSize) {
        const auto least = std::min_element(cache_.begin(), cache_.end(),
                                            [](const auto& a, const auto& b) { return a->UseCount < b->UseCount; });
        cache_.erase(least);
    }
    auto table = std::make_unique<TSharedKerningPairs>();
    table->Key = FontKey(attrs, height);
    table->Pairs = font.KerningPairs();
    for (size_t i = 0; i < table->Pairs.size(); ++i) {
        TSharedKerningPairs::TGroup& group = table->Index[table->Pairs[i].First & 0xFF];
        if (group.Count == 0) {
            group.First = static_cast<int32_t>(i);
        }
        ++group.Count;
    }
    ++table->UseCount;
    cache_.push_back(std::move(table));
    current_ = cache_.back().get();
}

int32_t TKerningPairsManager::PairAmount(int32_t first, int32_t second) const {
    if (current_ == nullptr) {
        return 0;
    }
    const TSharedKerningPairs::TGroup& group = current_->Index[static_cast<size_t>(first & 0xFF)];
    const int32_t wanted = second & 0xFF;
    // Pairs ascend by second character within a group: scan from the top
    // and stop once below the wanted one.
    for (int32_t i = group.First + group.Count; i-- > group.First;) {
        const TKerningPair& pair = current_->Pairs[static_cast<size_t>(i)];
        const int32_t code = pair.Second & 0xFF;
        if (code < wanted) {
            return 0;
        }
        if (code == wanted) {
            return pair.Amount;
        }
    }
    return 0;
}

void TKerningPairsManager::SortCacheByUse() {
    std::stable_sort(cache_.begin(), cache_.end(),
                     [](const auto& a, const auto& b) { return a->UseCount > b->UseCount; });
}

void TKerningPairsManager::Clear() {
    current_ = nullptr;
    cache_.clear();
}

}  // namespace quillane
