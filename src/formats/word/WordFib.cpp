#include "formats/word/WordFib.h"

#include <algorithm>

namespace quillane {

namespace {

// Indexes of the (fc, lcb) pairs, the same in both generations.
enum TPairIndex : int {
    piStshf = 1,
    piPlcfSed = 6,
    piPlcfBteChpx = 12,
    piPlcfBtePapx = 13,
    piSttbfFfn = 15,
    piDop = 31,
    piSttbfAssoc = 32,
    piClx = 33,
    piPlcfLst = 73,
    piPlfLfo = 74,
};

constexpr uint32_t Word6PairBase = 0x58;
constexpr uint32_t Word6FibSize = 0x194;  // through cpnBtePap

TFcLcb Pair(TByteView fib, uint64_t base, int index, uint32_t pairCount) {
    if (static_cast<uint32_t>(index) >= pairCount) {
        return {};
    }
    const uint64_t at = base + static_cast<uint64_t>(index) * 8;
    return {fib.U32(at), fib.U32(at + 4)};
}

}  // namespace

bool HasWordMagic(TByteView head) {
    const uint16_t magic = head.U16(0);
    return head.Has(0, 4) && (magic == Word6Magic || magic == Word97Magic) && head.U16(2) > 100;
}

std::optional<TWordFib> ParseWordFib(TByteView main) {
    if (!HasWordMagic(main)) {
        return std::nullopt;
    }
    TWordFib fib;
    fib.Ident = main.U16(0);
    fib.Version = main.U16(2);
    fib.Generation = fib.Ident == Word97Magic ? TWordGeneration::Word97 : TWordGeneration::Word6;
    const uint16_t flags = main.U16(0x0A);
    fib.Complex = (flags & 0x0004) != 0;
    fib.Encrypted = (flags & 0x0100) != 0;
    fib.FcMin = main.U32(0x18);
    fib.FcMac = main.U32(0x1C);

    uint64_t pairBase = 0;
    uint32_t pairCount = 0;
    if (fib.IsWord97()) {
        fib.Table1 = (flags & 0x0200) != 0;
        // csw 16-bit words, cslw 32-bit words, then cbRgFcLcb pairs.
        uint64_t at = 0x20;
        const uint16_t csw = main.U16(at);
        at += 2 + uint64_t{csw} * 2;
        const uint16_t cslw = main.U16(at);
        const uint64_t longs = at + 2;
        at = longs + uint64_t{cslw} * 4;
        pairCount = main.U16(at);
        pairBase = at + 2;
        if (cslw < 4 || !main.Has(0x20, at + 2 - 0x20)) {
            return std::nullopt;
        }
        fib.CcpText = main.S32(longs + 3 * 4);
        // Only the pairs that lie inside the stream exist.
        const uint64_t room = (main.Size() - pairBase) / 8;
        pairCount = static_cast<uint32_t>(std::min<uint64_t>(pairCount, room));
    } else {
        if (!main.Has(0, Word6FibSize)) {
            return std::nullopt;
        }
        fib.CcpText = main.S32(0x34);
        pairBase = Word6PairBase;
        pairCount = piClx + 1;
        fib.PnChpFirst = main.U16(0x18A);
        fib.PnPapFirst = main.U16(0x18C);
        fib.CpnBteChp = main.U16(0x18E);
        fib.CpnBtePap = main.U16(0x190);
    }
    fib.Stshf = Pair(main, pairBase, piStshf, pairCount);
    fib.PlcfSed = Pair(main, pairBase, piPlcfSed, pairCount);
    fib.PlcfBteChpx = Pair(main, pairBase, piPlcfBteChpx, pairCount);
    fib.PlcfBtePapx = Pair(main, pairBase, piPlcfBtePapx, pairCount);
    fib.SttbfFfn = Pair(main, pairBase, piSttbfFfn, pairCount);
    fib.Dop = Pair(main, pairBase, piDop, pairCount);
    fib.SttbfAssoc = Pair(main, pairBase, piSttbfAssoc, pairCount);
    fib.Clx = Pair(main, pairBase, piClx, pairCount);
    fib.PlcfLst = Pair(main, pairBase, piPlcfLst, pairCount);
    fib.PlfLfo = Pair(main, pairBase, piPlfLfo, pairCount);
    if (fib.CcpText < 0) {
        fib.CcpText = 0;
    }
    return fib;
}

}  // namespace quillane
