#pragma once
// The piece table: where each stretch of the document's character positions
// (CPs) lies in the main stream, whether it is stored as 8-bit or Unicode
// text, and the property modifier that changes its formatting. It comes
// from the CLX, which also holds the modifiers' SPRM lists (grpprls).

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/word/WordBytes.h"
#include "formats/word/WordFib.h"

namespace quillane {

struct TWordPiece {
    int32_t CpStart = 0;  // [CpStart, CpEnd)
    int32_t CpEnd = 0;
    uint32_t Fc = 0;      // byte offset of the first character in the main stream
    bool Compressed = true;  // one byte per character
    uint16_t Prm = 0;     // property modifier

    int32_t CharSize() const { return Compressed ? 1 : 2; }
    // log2 of CharSize(): the hot loops shift rather than divide.
    uint32_t CharShift() const { return Compressed ? 0 : 1; }
    uint64_t FcOf(int32_t cp) const { return Fc + static_cast<uint64_t>(cp - CpStart) * CharSize(); }
};

struct TWordPieceTable {
    std::vector<TWordPiece> Pieces;      // in CP order, without gaps
    std::vector<TByteView> Modifiers;    // the CLX's grpprls, by index
};

// Reads a CLX. Pieces are kept while they are coherent: CPs increasing from
// 0 and the text inside the main stream of `mainSize` bytes; the table ends
// before the first piece that is not. Nothing when the CLX holds no piece
// table at all.
std::optional<TWordPieceTable> ParseClx(TByteView clx, TWordGeneration generation, uint64_t mainSize);

// A non-complex Word 6.0/95 file: one 8-bit piece of ccpText characters at
// fcMin, cut to the main stream.
TWordPieceTable SinglePiece(uint32_t fcMin, int32_t ccpText, uint64_t mainSize);

}  // namespace quillane
