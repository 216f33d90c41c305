#pragma once
// Word 97/2000 lists: the list definitions (LST, each with one or nine
// levels) and the list overrides (LFO) that paragraphs name, with the
// overrides' own levels (LFOLVL: a new start, a whole new level). The
// reader needs from them each level's paragraph SPRMs (indents and tabs)
// and what makes the label a paragraph displays: the number format, the
// start, the restart rule, the level text with its placeholders, the
// character SPRMs of the label and what follows it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/word/WordBytes.h"

namespace quillane {

// Number formats (nfc) the labels use.
enum TWordNumberFormat : uint8_t {
    nfDecimal = 0,
    nfUpperRoman = 1,
    nfLowerRoman = 2,
    nfUpperLetter = 3,
    nfLowerLetter = 4,
    nfOrdinal = 5,       // 1st, 2nd
    nfCardinalText = 6,  // One, Two
    nfOrdinalText = 7,   // First, Second
    nfDecimalZero = 22,  // 01, 02
    nfBullet = 23,
    nfNone = 255,
};

// What follows a label (ixchFollow).
enum class TWordLabelFollow : uint8_t { Tab = 0, Space = 1, Nothing = 2 };

struct TWordListLevel {
    int32_t StartAt = 1;
    uint8_t Format = nfDecimal;
    bool Legal = false;       // every number of the label in decimal
    bool NoRestart = false;   // restarts only after levels below RestartLimit
    uint8_t RestartLimit = 0;
    TWordLabelFollow Follow = TWordLabelFollow::Tab;
    // The level text: characters 0 to 8 stand for the numbers of those
    // levels.
    std::u16string Text;
    TByteView ParSprms;
    TByteView CharSprms;
};

class TWordLists {
public:
    static constexpr int32_t MaxLevels = 9;

    // `definitions` runs from the list table to the override table (the
    // levels follow the table of definitions); `overrides` is the override
    // table with the overrides' levels behind it. Lists that do not fit are
    // dropped; overrides whose levels do not fit keep none.
    void Read(TByteView definitions, TByteView overrides);

    // The paragraph SPRMs of level `level` of the list that override number
    // `override` (1-based, as paragraphs give it) refers to; empty when
    // there is none.
    TByteView LevelSprms(int32_t override, int32_t level) const;

    // Level `level` as override `override` shows it (its own level where it
    // replaces the list's), or nothing.
    const TWordListLevel* Level(int32_t override, int32_t level) const;
    // Whether the override's list has one level for every level number.
    bool Simple(int32_t override) const;
    // The list an override numbers with: overrides that start or replace a
    // level count on their own, others share their list's numbers.
    // Negative when the override names no list.
    int32_t NumberingKey(int32_t override) const;
    // The start the override sets for a level, if it does.
    std::optional<int32_t> StartOverride(int32_t override, int32_t level) const;

    int32_t ListCount() const { return static_cast<int32_t>(lists_.size()); }

private:
    struct TList {
        int32_t Id = 0;
        std::vector<TWordListLevel> Levels;
    };
    struct TOverride {
        int32_t ListId = 0;
        uint8_t LevelCount = 0;  // clfolvl
        std::array<std::optional<int32_t>, MaxLevels> StartAt;
        std::array<std::optional<TWordListLevel>, MaxLevels> Levels;
        bool Overrides() const;
    };
    const TList* ListOf(int32_t override) const;
    void ReadOverrideLevels(TByteView overrides, uint64_t at);

    std::vector<TList> lists_;
    std::vector<TOverride> overrides_;  // by override number - 1
};

}  // namespace quillane
