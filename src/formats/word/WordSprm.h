#pragma once
// SPRMs, the property modifiers of Word files, in both encodings: Word
// 6.0/95 writes one-byte opcodes whose operand sizes come from a table;
// Word 97/2000 writes two-byte opcodes whose top three bits give the
// operand size. The walker names every SPRM by its Word 97/2000 opcode, so
// the handlers serve both generations; Word 6.0/95 opcodes without a
// counterpart that the reader uses keep their own number above 0xFF00.

#include <cstdint>
#include <memory>
#include <type_traits>
#include <functional>

#include "formats/word/WordBytes.h"
#include "formats/word/WordFib.h"

namespace quillane {

// Opcodes the reader acts on (Word 97/2000 numbers).
enum TSprmOpcode : uint16_t {
    sprmPIstd = 0x4600,
    sprmPJc = 0x2403,
    sprmPFKeep = 0x2405,
    sprmPFKeepFollow = 0x2406,
    sprmPFPageBreakBefore = 0x2407,
    sprmPIlvl = 0x260A,
    sprmPIlfo = 0x460B,
    sprmPChgTabsPapx = 0xC60D,
    sprmPChgTabs = 0xC615,
    sprmPDxaRight = 0x840E,
    sprmPDxaLeft = 0x840F,
    sprmPDxaLeft1 = 0x8411,
    sprmPDyaLine = 0x6412,
    sprmPDyaBefore = 0xA413,
    sprmPDyaAfter = 0xA414,
    sprmPFInTable = 0x2416,
    sprmPFTtp = 0x2417,
    sprmPFWidowControl = 0x2431,
    sprmCFRMarkDel = 0x0800,
    sprmCPicLocation = 0x6A03,
    sprmCFData = 0x0806,
    sprmCSymbol = 0x6A09,
    sprmCFOle2 = 0x080A,
    sprmCHighlight = 0x2A0C,
    sprmCIstd = 0x4A30,
    sprmCFBold = 0x0835,
    sprmCFItalic = 0x0836,
    sprmCFStrike = 0x0837,
    sprmCFtc = 0x4A4F,
    sprmCKul = 0x2A3E,
    sprmCDxaSpace = 0x8840,
    sprmCLid = 0x486D,
    sprmCIco = 0x2A42,
    sprmCHps = 0x4A43,
    sprmCHpsPos = 0x4845,
    sprmCIss = 0x2A48,
    sprmCHpsKern = 0x484B,
    sprmCFSpec = 0x0855,
    sprmCFObj = 0x0856,
    sprmCObjLocation = 0x680E,
    sprmSBOrientation = 0x301D,
    sprmSXaPage = 0xB01F,
    sprmSYaPage = 0xB020,
    sprmSDxaLeft = 0xB021,
    sprmSDxaRight = 0xB022,
    sprmSDyaTop = 0x9023,
    sprmSDyaBottom = 0x9024,
    sprmPNLvlAnm6 = 0xFF0D,  // Word 6.0/95 only: the list level of an autonumbered paragraph
    sprmPAnld6 = 0xFF0C,     // Word 6.0/95 only: the autonumbering properties of a paragraph
};

struct TSprm {
    uint16_t Opcode = 0;  // Word 97/2000 number (see above)
    // The operand: for variable-size SPRMs what follows the size byte
    // (the tab SPRMs keep their own structure, see ForEachSprm).
    TByteView Operand;

    uint8_t Byte() const { return Operand.U8(0); }
    int16_t Short() const { return Operand.S16(0); }
    uint16_t Word() const { return Operand.U16(0); }
    int32_t Long() const { return Operand.S32(0); }
};

// What a SPRM walk calls: a reference to a callable, for the length of the
// call. Visitors are lambdas capturing by reference, which std::function
// would copy to the heap at every walk (a document walks once per run).
class TSprmVisitor {
public:
    template <typename F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, TSprmVisitor> && std::is_invocable_v<F&, const TSprm&>)
    TSprmVisitor(F&& visit)  // NOLINT: converts from any visitor, as std::function would
        : object_(const_cast<void*>(static_cast<const void*>(std::addressof(visit)))),
          call_([](void* object, const TSprm& sprm) { (*static_cast<std::remove_reference_t<F>*>(object))(sprm); }) {}

    void operator()(const TSprm& sprm) const { call_(object_, sprm); }

private:
    void* object_;
    void (*call_)(void*, const TSprm&);
};

// Calls `visit` for each SPRM of a grpprl, in order. The walk ends at the
// end of the list, at a SPRM whose operand would run past it, or at a Word
// 6.0/95 opcode whose size is unknown; it never reads outside `grpprl`.
// For sprmPChgTabs the operand starts at its size byte, since a size of 255
// means the size is computed from the lists inside.
void ForEachSprm(TByteView grpprl, TWordGeneration generation, TSprmVisitor visit);

// The single SPRM that a piece's property modifier packs (opcode number
// isprm, one byte of operand, kept in `operandByte`, which the SPRM's
// operand views); false when the number names no SPRM the
// reader uses.
bool SprmFromPrm(uint16_t prm, TWordGeneration generation, TSprm& sprm, uint8_t& operandByte);

// The Word 97/2000 number of a Word 6.0/95 opcode, 0 when the reader does
// not use it.
uint16_t Word97OpcodeOf(uint8_t word6Opcode);

}  // namespace quillane
