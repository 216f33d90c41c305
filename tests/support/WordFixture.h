#pragma once
// Small Word 97/2000 and 6.0/95 documents built byte by byte, for tests that
// need one property of the file under their control: the text, one run of
// character and paragraph SPRMs, a style sheet, document properties, or a
// damaged structure in place of a sound one.

#include <cstdint>
#include <string>
#include <vector>

#include "support/MemoryStorage.h"

namespace quillane::test {

using TBytes = std::vector<uint8_t>;

struct TWordFixture {
    bool Word97 = true;
    bool Encrypted = false;
    bool Unicode = false;    // Word 97: the text as a Unicode piece
    std::string Text;        // 8-bit text of the main document (13 ends a paragraph)
    std::u16string Text16;   // Word 97: or any Unicode text, as a Unicode piece
    int32_t CcpTextDelta = 0;  // added to the text length written into the FIB
    TBytes Chpx;             // character SPRMs for the whole text
    // Or runs of character SPRMs, each from a character position to the next
    // run's (in order, the first at 0).
    struct TRun {
        int32_t Cp;
        TBytes Grpprl;
    };
    std::vector<TRun> ChpxRuns;
    TBytes Papx;             // paragraph SPRMs for every paragraph
    uint16_t Istd = 0;       // the paragraphs' style number
    TBytes Stsh;             // style sheet (empty: none)
    TBytes Dop;              // document properties (empty: none)
    TBytes Sepx;             // first section's SPRMs (empty: no section table)
    // Word 97 font table: name and character set by Word font index.
    struct TFont {
        std::string Name;
        uint8_t CharSet = 0;
    };
    std::vector<TFont> Fonts;
    // Pictures' data: Word 97 the "Data" stream (none when empty); Word 6
    // the main stream from Word6DataAt on, so picture locations are known
    // before the file is built.
    TBytes Data;
    static constexpr uint32_t Word6DataAt = 0x4000;

    // Damage on demand: replace a built structure by these bytes.
    bool ReplaceClx = false;
    TBytes Clx;
    bool ReplaceChpxPage = false;
    TBytes ChpxPage;         // 512 bytes
    bool ReplacePapxPage = false;
    TBytes PapxPage;
    bool DropTableStream = false;

    TMemoryStorage Build() const;
};

// Little-endian pieces for building grpprls and structures.
void Put16(TBytes& b, uint16_t v);
void Put32(TBytes& b, uint32_t v);
TBytes Sprm97(uint16_t opcode, std::initializer_list<uint8_t> operand);

// A style sheet of Word 97 STDs: (sti, kind, base, name, papx grpprl, chpx grpprl).
struct TStdDefinition {
    uint16_t Sti;
    uint8_t Kind;  // 1 paragraph, 2 character
    uint16_t Base; // 4095: none
    std::string Name;
    TBytes Papx;
    TBytes Chpx;
};
TBytes BuildStsh97(const std::vector<TStdDefinition>& styles);

}  // namespace quillane::test
