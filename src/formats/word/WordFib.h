#pragma once
// The file information block (FIB) at the start of the "WordDocument"
// stream: the generation of the file, its flags, the lengths of the text
// parts and where each structure lies. Word 6.0/95 keeps the positions at
// fixed offsets; Word 97/2000 counts its field groups, and the reader walks
// those counts (bounded by the stream) to find them.

#include <cstdint>
#include <optional>
#include <string>

#include "formats/word/WordBytes.h"

namespace quillane {

constexpr uint16_t Word6Magic = 0xA5DC;
constexpr uint16_t Word97Magic = 0xA5EC;
constexpr int32_t WordProbeSize = 1024;  // what the format check reads of the main stream

enum class TWordGeneration { Word6, Word97 };

// A position and a length in the table stream (or, for Word 6.0/95, the
// main stream).
struct TFcLcb {
    uint32_t Fc = 0;
    uint32_t Lcb = 0;
};

struct TWordFib {
    uint16_t Ident = 0;
    uint16_t Version = 0;  // nFib
    TWordGeneration Generation = TWordGeneration::Word6;
    bool Complex = false;     // fast-saved: the text is described by the piece table
    bool Encrypted = false;
    bool Table1 = false;      // Word 97/2000: the table stream is "1Table", else "0Table"
    uint32_t FcMin = 0;       // the text of a non-complex file starts here
    uint32_t FcMac = 0;
    int32_t CcpText = 0;      // characters of the main text
    // Word 6.0/95: where the formatting pages begin and how many there are,
    // for bin tables that do not list them all.
    uint16_t PnChpFirst = 0;
    uint16_t CpnBteChp = 0;
    uint16_t PnPapFirst = 0;
    uint16_t CpnBtePap = 0;

    TFcLcb Stshf;         // style sheet
    TFcLcb PlcfSed;       // section descriptors
    TFcLcb PlcfBteChpx;   // character formatting pages
    TFcLcb PlcfBtePapx;   // paragraph formatting pages
    TFcLcb SttbfFfn;      // fonts
    TFcLcb Dop;           // document properties
    TFcLcb SttbfAssoc;    // document information strings
    TFcLcb Clx;           // piece table and its property modifiers
    TFcLcb PlcfLst;       // Word 97/2000 list definitions
    TFcLcb PlfLfo;        // Word 97/2000 list overrides

    bool IsWord97() const { return Generation == TWordGeneration::Word97; }
};

// Whether the start of a main stream carries the Word magic and a version
// above 100: the format check of the open path.
bool HasWordMagic(TByteView head);

// Reads the FIB; nothing when the stream is too short for the fields of its
// generation or does not carry the magic.
std::optional<TWordFib> ParseWordFib(TByteView main);

}  // namespace quillane
