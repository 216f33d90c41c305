#include "formats/word/WordPieces.h"

#include <algorithm>

namespace quillane {

namespace {

constexpr uint8_t ClxModifier = 1;   // Prc: a grpprl for property modifiers
constexpr uint8_t ClxPieceTable = 2; // Pcdt: the piece table itself
constexpr uint32_t PieceDescriptorSize = 8;
constexpr uint32_t CompressedFlag = 0x40000000;

}  // namespace

std::optional<TWordPieceTable> ParseClx(TByteView clx, TWordGeneration generation, uint64_t mainSize) {
    TWordPieceTable table;
    uint64_t at = 0;
    while (clx.Has(at, 1) && clx.U8(at) == ClxModifier) {
        const int16_t size = clx.S16(at + 1);
        if (size < 0 || !clx.Has(at + 3, static_cast<uint64_t>(size))) {
            return std::nullopt;
        }
        table.Modifiers.push_back(clx.Sub(at + 3, static_cast<uint64_t>(size)));
        at += 3 + static_cast<uint64_t>(size);
    }
    if (!clx.Has(at, 5) || clx.U8(at) != ClxPieceTable) {
        return std::nullopt;
    }
    const uint32_t length = clx.U32(at + 1);
    const TByteView plc = clx.Sub(at + 5, length);
    if (plc.Size() < 4 + 4 + PieceDescriptorSize) {
        return std::nullopt;
    }
    // n + 1 CPs of 4 bytes, then n descriptors of 8.
    const uint64_t count = (plc.Size() - 4) / (4 + PieceDescriptorSize);
    const uint64_t descriptors = (count + 1) * 4;
    int32_t expected = 0;
    for (uint64_t i = 0; i < count; ++i) {
        TWordPiece piece;
        piece.CpStart = plc.S32(i * 4);
        piece.CpEnd = plc.S32((i + 1) * 4);
        if (piece.CpStart != expected || piece.CpEnd <= piece.CpStart) {
            break;
        }
        const uint64_t pcd = descriptors + i * PieceDescriptorSize;
        const uint32_t fc = plc.U32(pcd + 2);
        piece.Prm = plc.U16(pcd + 6);
        if (generation == TWordGeneration::Word97) {
            piece.Compressed = (fc & CompressedFlag) != 0;
            piece.Fc = piece.Compressed ? (fc & ~CompressedFlag) / 2 : fc;
        } else {
            piece.Compressed = true;
            piece.Fc = fc;
        }
        const uint64_t bytes = static_cast<uint64_t>(piece.CpEnd - piece.CpStart) * piece.CharSize();
        if (piece.Fc > mainSize || bytes > mainSize - piece.Fc) {
            break;
        }
        table.Pieces.push_back(piece);
        expected = piece.CpEnd;
    }
    return table;
}

TWordPieceTable SinglePiece(uint32_t fcMin, int32_t ccpText, uint64_t mainSize) {
    TWordPieceTable table;
    if (fcMin >= mainSize || ccpText <= 0) {
        return table;
    }
    TWordPiece piece;
    piece.Fc = fcMin;
    piece.CpEnd = static_cast<int32_t>(std::min<uint64_t>(static_cast<uint64_t>(ccpText), mainSize - fcMin));
    table.Pieces.push_back(piece);
    return table;
}

}  // namespace quillane
