#pragma once
// Colour schemes: the colours of the program's own surfaces (page, margins,
// special symbols, ruler, message dialogs). A scheme holds one value per
// entry; -1 leaves the entry at its default, which is either a fixed colour
// or one of the system's colours, read whenever a palette is built.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ColorSystem.h"

namespace quillane {

constexpr int32_t SchemeEntryCount = 28;

enum TSchemeEntry : int32_t {
    ceAutoText = 0,
    ceSpecialSymbol = 1,
    cePageBackground = 2,
    cePageMarginBorder = 3,
    ceInterpageSpace = 4,
    cePageBorderAndShadow = 5,
    ceRulerBackground = 6,
    ceRulerMargin = 7,
    ceRulerCore = 8,
    ceRulerText = 9,
    ceRulerTabPosition = 10,
    ceRulerGrayedTabPosition = 11,
    ceRulerNewTabPosition = 12,
    ceWarningBackground = 13,  // then text and text border; the same for
    ceErrorBackground = 16,    // each kind of message dialog
    ceInformationBackground = 19,
    ceConfirmationBackground = 22,
    ceCustomBackground = 25,
};

const char* SchemeEntryName(int32_t entry);
// The default of an entry: a system colour index when the high byte is 0,
// else a fixed colour in the low 24 bits.
uint32_t SchemeEntryDefault(int32_t entry);
constexpr uint32_t FixedColorFlag = 0x01000000;

struct TColorScheme {
    std::array<int32_t, SchemeEntryCount> Entries;
    TColorScheme() { Entries.fill(-1); }

    friend bool operator==(const TColorScheme&, const TColorScheme&) = default;
};

// The text form: 8 hexadecimal digits per entry from entry 0 on, "FFFFFFFF"
// for -1. Every entry starts at -1; at most 26 groups are read and a partial
// group at the end is ignored. A group holding a character that is no
// hexadecimal digit leaves its entry at -1.
void ParseScheme(TColorScheme& scheme, std::string_view text);

struct TNamedScheme {
    const char* Name;
    const char* Text;
};
constexpr int32_t NamedSchemeCount = 17;
extern const TNamedScheme NamedSchemes[NamedSchemeCount];

// The scheme used while drawing for the printer: black text on white.
TColorScheme PrintScheme();

}  // namespace quillane
