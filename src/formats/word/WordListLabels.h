#pragma once
// The labels numbered paragraphs display ("1.", "A.", "iv)", "2.1"): the
// counters of a document's lists as its paragraphs come, in both Word
// generations. Word 97/2000 numbers by the list tables (TWordLists);
// Word 6.0/95 by the autonumbering properties (ANLD) each paragraph
// carries. Bulleted paragraphs get no label: the model draws bullets itself.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "formats/word/WordBytes.h"
#include "formats/word/WordLists.h"

namespace quillane {

// `number` in a list number format, as ASCII text. Formats without a
// number (bullet, none) give nothing; formats the program does not write
// out give decimal digits.
std::string FormatListNumber(int32_t number, uint8_t format);

struct TWordListLabel {
    std::u16string Text;
    TWordLabelFollow Follow = TWordLabelFollow::Tab;
    TByteView CharSprms;  // the level's formatting of its label
};

// Word 6.0/95 labels are 8-bit text in the paragraph's code page.
struct TWordAnldLabel {
    std::string Text;
    bool Bullet = false;
};

class TWordListNumbering {
public:
    explicit TWordListNumbering(const TWordLists& lists) : lists_(lists) {}

    // Counts the next paragraph of list override `override` (1-based) at
    // `level` and gives its label; nothing when the override names no list
    // or the level shows a bullet.
    std::optional<TWordListLabel> Next(int32_t override, int32_t level);
    // Whether the level shows a bullet rather than a number.
    bool IsBullet(int32_t override, int32_t level) const;

    // Word 6.0/95: counts a paragraph of autonumbering level `level` (1 to 9
    // outline levels, 10 a numbered list, 11 bullets) with its ANLD and
    // gives its label.
    std::optional<TWordAnldLabel> NextWord6(int32_t level, TByteView anld);
    // Word 6.0/95: a paragraph without autonumbering, which ends a numbered
    // list.
    void Word6Unnumbered() { word6ListOpen_ = false; }

private:
    struct TCounters {
        std::array<int32_t, TWordLists::MaxLevels> Value{};
        std::array<bool, TWordLists::MaxLevels> Started{};
    };
    int32_t StartOf(int32_t override, int32_t level) const;

    const TWordLists& lists_;
    std::map<int32_t, TCounters> counters_;  // by numbering key
    // Word 6.0/95: outline levels 1 to 9 and the numbered list (10).
    std::array<int32_t, 11> word6Value_{};
    std::array<bool, 11> word6Started_{};
    bool word6ListOpen_ = false;
};

}  // namespace quillane
