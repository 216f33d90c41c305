#pragma once
// Word 97/2000 lists: the list definitions (LST, each with one or nine
// levels) and the list overrides (LFO) that paragraphs name. The reader
// needs from them only each level's paragraph SPRMs (indents and tabs).

#include <cstdint>
#include <vector>

#include "formats/word/WordBytes.h"

namespace quillane {

class TWordLists {
public:
    // `definitions` runs from the list table to the override table (the
    // levels follow the table of definitions); `overrides` is the override
    // table. Lists that do not fit are dropped.
    void Read(TByteView definitions, TByteView overrides);

    // The paragraph SPRMs of level `level` of the list that override number
    // `override` (1-based, as paragraphs give it) refers to; empty when
    // there is none.
    TByteView LevelSprms(int32_t override, int32_t level) const;

    int32_t ListCount() const { return static_cast<int32_t>(lists_.size()); }

private:
    struct TList {
        int32_t Id = 0;
        std::vector<TByteView> Levels;  // paragraph SPRMs by level
    };
    std::vector<TList> lists_;
    std::vector<int32_t> overrides_;  // list id by override number - 1
};

}  // namespace quillane
