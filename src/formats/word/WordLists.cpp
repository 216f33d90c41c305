#include "formats/word/WordLists.h"

#include <algorithm>

namespace quillane {

namespace {

constexpr uint64_t ListDefinitionSize = 28;
constexpr uint64_t LevelFixedSize = 28;
constexpr uint64_t OverrideSize = 16;
constexpr uint64_t OverrideLevelSize = 8;

// A level at `at`: its fixed part, then its paragraph SPRMs, character
// SPRMs and level text (a counted Unicode string). Sets `next` to the byte
// after it; false when it does not fit.
bool ParseLevel(TByteView bytes, uint64_t at, TWordListLevel& level, uint64_t& next) {
    if (!bytes.Has(at, LevelFixedSize)) {
        return false;
    }
    const uint8_t charSize = bytes.U8(at + 24);
    const uint8_t parSize = bytes.U8(at + 25);
    const uint64_t parAt = at + LevelFixedSize;
    const uint64_t textAt = parAt + parSize + charSize;
    if (!bytes.Has(textAt, 2)) {
        return false;
    }
    const uint16_t length = bytes.U16(textAt);
    if (!bytes.Has(textAt + 2, uint64_t{length} * 2)) {
        return false;
    }
    level.StartAt = bytes.S32(at);
    level.Format = bytes.U8(at + 4);
    const uint8_t flags = bytes.U8(at + 5);
    level.Legal = (flags & 0x04) != 0;
    level.NoRestart = (flags & 0x08) != 0;
    const uint8_t follow = bytes.U8(at + 15);
    level.Follow = follow == 1 ? TWordLabelFollow::Space : follow == 2 ? TWordLabelFollow::Nothing : TWordLabelFollow::Tab;
    level.RestartLimit = bytes.U8(at + 26);
    level.ParSprms = bytes.Sub(parAt, parSize);
    level.CharSprms = bytes.Sub(parAt + parSize, charSize);
    level.Text.clear();
    for (uint16_t i = 0; i < length; ++i) {
        level.Text += static_cast<char16_t>(bytes.U16(textAt + 2 + uint64_t{i} * 2));
    }
    next = textAt + 2 + uint64_t{length} * 2;
    return true;
}

}  // namespace

bool TWordLists::TOverride::Overrides() const {
    return std::any_of(StartAt.begin(), StartAt.end(), [](const auto& s) { return s.has_value(); }) ||
           std::any_of(Levels.begin(), Levels.end(), [](const auto& l) { return l.has_value(); });
}

void TWordLists::Read(TByteView definitions, TByteView overrides) {
    lists_.clear();
    overrides_.clear();
    const uint16_t count = definitions.U16(0);
    uint64_t levelsAt = 2 + uint64_t{count} * ListDefinitionSize;
    if (definitions.Has(0, levelsAt)) {
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t at = 2 + i * ListDefinitionSize;
            TList list;
            list.Id = definitions.S32(at);
            const bool simple = (definitions.U8(at + 26) & 1) != 0;
            const int32_t levels = simple ? 1 : MaxLevels;
            bool complete = true;
            for (int32_t level = 0; level < levels && complete; ++level) {
                TWordListLevel parsed;
                complete = ParseLevel(definitions, levelsAt, parsed, levelsAt);
                if (complete) {
                    list.Levels.push_back(std::move(parsed));
                }
            }
            lists_.push_back(std::move(list));
            if (!complete) {
                break;
            }
        }
    }
    const uint32_t overrideCount = overrides.U32(0);
    for (uint64_t i = 0; i < overrideCount && overrides.Has(4 + i * OverrideSize, OverrideSize); ++i) {
        TOverride entry;
        entry.ListId = overrides.S32(4 + i * OverrideSize);
        entry.LevelCount = overrides.U8(4 + i * OverrideSize + 12);
        overrides_.push_back(std::move(entry));
    }
    if (overrides_.size() == overrideCount) {
        ReadOverrideLevels(overrides, 4 + uint64_t{overrideCount} * OverrideSize);
    }
}

void TWordLists::ReadOverrideLevels(TByteView overrides, uint64_t at) {
    // Behind the overrides, for each of them: a character position (unused
    // here), then its override levels, each perhaps with a whole level.
    for (TOverride& entry : overrides_) {
        if (!overrides.Has(at, 4)) {
            return;
        }
        at += 4;
        for (uint8_t k = 0; k < entry.LevelCount; ++k) {
            if (!overrides.Has(at, OverrideLevelSize)) {
                return;
            }
            const int32_t start = overrides.S32(at);
            const uint8_t bits = overrides.U8(at + 4);
            const uint8_t level = bits & 0x0F;
            at += OverrideLevelSize;
            std::optional<TWordListLevel> formatting;
            if ((bits & 0x20) != 0) {
                TWordListLevel parsed;
                if (!ParseLevel(overrides, at, parsed, at)) {
                    return;
                }
                formatting = std::move(parsed);
            }
            if (level < MaxLevels) {
                if ((bits & 0x10) != 0) {
                    entry.StartAt[level] = start;
                }
                if (formatting) {
                    entry.Levels[level] = std::move(formatting);
                }
            }
        }
    }
}

const TWordLists::TList* TWordLists::ListOf(int32_t override) const {
    if (override < 1 || static_cast<size_t>(override) > overrides_.size()) {
        return nullptr;
    }
    const int32_t id = overrides_[static_cast<size_t>(override - 1)].ListId;
    for (const TList& list : lists_) {
        if (list.Id == id) {
            return &list;
        }
    }
    return nullptr;
}

const TWordListLevel* TWordLists::Level(int32_t override, int32_t level) const {
    if (level < 0 || level >= MaxLevels) {
        return nullptr;
    }
    const TList* list = ListOf(override);
    if (list == nullptr) {
        return nullptr;
    }
    const auto& own = overrides_[static_cast<size_t>(override - 1)].Levels[static_cast<size_t>(level)];
    if (own) {
        return &*own;
    }
    // A simple list has one level for all.
    const size_t i = list->Levels.size() == 1 ? 0 : static_cast<size_t>(level);
    return i < list->Levels.size() ? &list->Levels[i] : nullptr;
}

bool TWordLists::Simple(int32_t override) const {
    const TList* list = ListOf(override);
    return list != nullptr && list->Levels.size() == 1;
}

TByteView TWordLists::LevelSprms(int32_t override, int32_t level) const {
    const TWordListLevel* found = Level(override, level);
    return found != nullptr ? found->ParSprms : TByteView();
}

int32_t TWordLists::NumberingKey(int32_t override) const {
    const TList* list = ListOf(override);
    if (list == nullptr) {
        return -1;
    }
    const TOverride& entry = overrides_[static_cast<size_t>(override - 1)];
    // Lists by their position; overrides with levels of their own after them.
    return entry.Overrides() ? static_cast<int32_t>(lists_.size()) + override
                             : static_cast<int32_t>(list - lists_.data());
}

std::optional<int32_t> TWordLists::StartOverride(int32_t override, int32_t level) const {
    if (override < 1 || static_cast<size_t>(override) > overrides_.size() || level < 0 || level >= MaxLevels) {
        return std::nullopt;
    }
    const TOverride& entry = overrides_[static_cast<size_t>(override - 1)];
    if (entry.StartAt[static_cast<size_t>(level)]) {
        return entry.StartAt[static_cast<size_t>(level)];
    }
    if (entry.Levels[static_cast<size_t>(level)]) {
        return entry.Levels[static_cast<size_t>(level)]->StartAt;
    }
    return std::nullopt;
}

}  // namespace quillane
