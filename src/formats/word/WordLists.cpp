#include "formats/word/WordLists.h"

namespace quillane {

namespace {

constexpr uint64_t ListDefinitionSize = 28;
constexpr uint64_t LevelFixedSize = 28;
constexpr uint64_t OverrideSize = 16;
constexpr int32_t MaxLevels = 9;

}  // namespace

void TWordLists::Read(TByteView definitions, TByteView overrides) {
    lists_.clear();
    overrides_.clear();
    const uint16_t count = definitions.U16(0);
    uint64_t levelsAt = 2 + uint64_t{count} * ListDefinitionSize;
    if (!definitions.Has(0, levelsAt)) {
        return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = 2 + i * ListDefinitionSize;
        TList list;
        list.Id = definitions.S32(at);
        const bool simple = (definitions.U8(at + 26) & 1) != 0;
        const int32_t levels = simple ? 1 : MaxLevels;
        for (int32_t level = 0; level < levels; ++level) {
            // A level: its fixed part, then its paragraph SPRMs, character
            // SPRMs and number text (a counted Unicode string).
            if (!definitions.Has(levelsAt, LevelFixedSize)) {
                lists_.push_back(list);
                return;
            }
            const uint8_t charSize = definitions.U8(levelsAt + 24);
            const uint8_t parSize = definitions.U8(levelsAt + 25);
            const uint64_t parAt = levelsAt + LevelFixedSize;
            const uint64_t textAt = parAt + parSize + charSize;
            if (!definitions.Has(textAt, 2)) {
                lists_.push_back(list);
                return;
            }
            list.Levels.push_back(definitions.Sub(parAt, parSize));
            levelsAt = textAt + 2 + uint64_t{definitions.U16(textAt)} * 2;
        }
        lists_.push_back(list);
    }
    const uint32_t overrideCount = overrides.U32(0);
    for (uint64_t i = 0; i < overrideCount && overrides.Has(4 + i * OverrideSize, OverrideSize); ++i) {
        overrides_.push_back(overrides.S32(4 + i * OverrideSize));
    }
}

TByteView TWordLists::LevelSprms(int32_t override, int32_t level) const {
    if (override < 1 || static_cast<size_t>(override) > overrides_.size() || level < 0) {
        return {};
    }
    const int32_t id = overrides_[static_cast<size_t>(override - 1)];
    for (const TList& list : lists_) {
        if (list.Id == id) {
            // A simple list has one level for all.
            const size_t i = list.Levels.size() == 1 ? 0 : static_cast<size_t>(level);
            return i < list.Levels.size() ? list.Levels[i] : TByteView();
        }
    }
    return {};
}

}  // namespace quillane
