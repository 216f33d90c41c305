#include "formats/word/WordSprm.h"

#include <array>

namespace quillane {

namespace {

// Word 6.0/95 operand sizes: 0 none, 1..12 fixed, V a size byte follows,
// W a 16-bit size follows, X the tab-change SPRM, U unknown (the walk stops).
constexpr uint8_t V = 0xF0;
constexpr uint8_t W = 0xF1;
constexpr uint8_t X = 0xF2;
constexpr uint8_t U = 0xFF;

constexpr std::array<uint8_t, 256> MakeWord6Sizes() {
    std::array<uint8_t, 256> s{};
    for (auto& v : s) {
        v = U;
    }
    const uint8_t fixed[][2] = {
        {2, 2},   {4, 1},   {5, 1},   {6, 1},   {7, 1},   {8, 1},   {9, 1},   {10, 1},  {11, 1},  {13, 1},
        {14, 1},  {16, 2},  {17, 2},  {18, 2},  {19, 2},  {20, 4},  {21, 2},  {22, 2},  {24, 1},  {25, 1},
        {26, 2},  {27, 2},  {28, 2},  {29, 1},  {30, 2},  {31, 2},  {32, 2},  {33, 2},  {34, 2},  {35, 2},
        {36, 2},  {37, 1},  {38, 2},  {39, 2},  {40, 2},  {41, 2},  {42, 2},  {43, 2},  {44, 1},  {45, 2},
        {46, 2},  {47, 2},  {48, 2},  {49, 2},  {50, 1},  {51, 1},  {65, 1},  {66, 1},  {67, 1},  {69, 2},
        {70, 4},  {71, 1},  {72, 2},  {73, 3},  {75, 1},  {80, 2},  {83, 0},  {85, 1},  {86, 1},  {87, 1},
        {88, 1},  {89, 1},  {90, 1},  {91, 1},  {92, 1},  {93, 2},  {94, 1},  {95, 3},  {96, 2},  {97, 2},
        {98, 1},  {99, 2},  {100, 1}, {101, 2}, {102, 1}, {104, 1}, {107, 2}, {109, 2}, {110, 2}, {117, 1},
        {118, 1}, {119, 1}, {121, 2}, {122, 2}, {123, 2}, {124, 2}, {131, 1}, {132, 1}, {136, 3}, {137, 3},
        {138, 1}, {139, 1}, {140, 2}, {141, 2}, {142, 1}, {143, 1}, {144, 2}, {145, 2}, {146, 1}, {147, 1},
        {148, 2}, {149, 2}, {150, 1}, {151, 1}, {152, 1}, {153, 1}, {154, 2}, {155, 2}, {156, 2}, {157, 2},
        {158, 1}, {159, 1}, {160, 2}, {161, 2}, {162, 1}, {164, 2}, {165, 2}, {166, 2}, {167, 2}, {168, 2},
        {169, 2}, {170, 2}, {171, 2}, {182, 2}, {183, 2}, {184, 2}, {185, 1}, {186, 1}, {187, 12}, {189, 2},
        {192, 4}, {193, 5}, {194, 4}, {195, 2}, {196, 4}, {197, 2}, {198, 2}, {199, 5}, {200, 4},
    };
    for (const auto& f : fixed) {
        s[f[0]] = f[1];
    }
    for (const int op : {3, 12, 15, 68, 74, 81, 82, 103, 105, 106, 108, 120, 133, 191}) {
        s[static_cast<size_t>(op)] = V;
    }
    s[23] = X;
    s[188] = W;
    s[190] = W;
    return s;
}
constexpr std::array<uint8_t, 256> Word6Sizes = MakeWord6Sizes();

struct TOpcodePair {
    uint8_t Word6;
    uint16_t Word97;
};
constexpr TOpcodePair OpcodePairs[] = {
    {2, sprmPIstd},           {5, sprmPJc},          {7, sprmPFKeep},        {8, sprmPFKeepFollow},
    {9, sprmPFPageBreakBefore}, {12, sprmPAnld6},       {13, sprmPNLvlAnm6}, {15, sprmPChgTabsPapx}, {16, sprmPDxaRight},
    {17, sprmPDxaLeft},       {19, sprmPDxaLeft1},   {20, sprmPDyaLine},     {21, sprmPDyaBefore},
    {22, sprmPDyaAfter},      {23, sprmPChgTabs},    {24, sprmPFInTable},    {25, sprmPFTtp},
    {51, sprmPFWidowControl}, {65, sprmCFRMarkDel},  {68, sprmCPicLocation}, {71, sprmCFData},
    {74, sprmCSymbol},        {75, sprmCFOle2},      {80, sprmCIstd},        {85, sprmCFBold},
    {86, sprmCFItalic},       {87, sprmCFStrike},    {93, sprmCFtc},         {94, sprmCKul},
    {96, sprmCDxaSpace},      {97, sprmCLid},        {98, sprmCIco},         {99, sprmCHps},
    {101, sprmCHpsPos},       {104, sprmCIss},       {107, sprmCHpsKern},    {117, sprmCFSpec},
    {118, sprmCFObj},         {162, sprmSBOrientation}, {164, sprmSXaPage},  {165, sprmSYaPage},
    {166, sprmSDxaLeft},      {167, sprmSDxaRight},  {168, sprmSDyaTop},     {169, sprmSDyaBottom},
};

constexpr std::array<uint16_t, 256> MakeWord97Numbers() {
    std::array<uint16_t, 256> n{};
    for (const auto& pair : OpcodePairs) {
        n[pair.Word6] = pair.Word97;
    }
    return n;
}
constexpr std::array<uint16_t, 256> Word97Numbers = MakeWord97Numbers();

// The size of a tab-change operand from its size byte on: the byte itself,
// or for 255 the two counted lists behind it.
bool TabChangeSize(TByteView list, uint64_t at, uint64_t& size) {
    if (!list.Has(at, 1)) {
        return false;
    }
    const uint8_t cb = list.U8(at);
    if (cb != 255) {
        size = 1 + uint64_t{cb};
        return true;
    }
    const uint8_t deleted = list.U8(at + 1);
    const uint64_t addAt = at + 2 + uint64_t{deleted} * 4;
    if (!list.Has(addAt, 1)) {
        return false;
    }
    const uint8_t added = list.U8(addAt);
    size = addAt + 1 + uint64_t{added} * 3 - at;
    return true;
}

}  // namespace

uint16_t Word97OpcodeOf(uint8_t word6Opcode) { return Word97Numbers[word6Opcode]; }

void ForEachSprm(TByteView grpprl, TWordGeneration generation, TSprmVisitor visit) {
    uint64_t at = 0;
    const bool word97 = generation == TWordGeneration::Word97;
    while (at < grpprl.Size()) {
        TSprm sprm;
        uint64_t operandAt = 0;
        uint64_t size = 0;  // bytes from operandAt to the next SPRM
        uint64_t skip = 0;  // bytes of operandAt that are not the operand (size fields)
        bool tabs = false;
        if (word97) {
            if (!grpprl.Has(at, 2)) {
                return;
            }
            const uint16_t opcode = grpprl.U16(at);
            sprm.Opcode = opcode;
            operandAt = at + 2;
            switch (opcode >> 13) {
                case 0:
                case 1: size = 1; break;
                case 2:
                case 4:
                case 5: size = 2; break;
                case 3: size = 4; break;
                case 7: size = 3; break;
                default:  // 6: variable
                    if (opcode == sprmPChgTabs) {
                        tabs = true;
                    } else if (opcode == 0xD608 || opcode == 0xD606) {
                        // Table definitions count their size in 16 bits, one more than follows.
                        if (!grpprl.Has(operandAt, 2)) {
                            return;
                        }
                        const uint16_t cb = grpprl.U16(operandAt);
                        size = cb == 0 ? 2 : uint64_t{cb} + 1;
                        skip = 2;
                    } else {
                        if (!grpprl.Has(operandAt, 1)) {
                            return;
                        }
                        size = 1 + uint64_t{grpprl.U8(operandAt)};
                        skip = 1;
                    }
                    break;
            }
        } else {
            const uint8_t opcode = grpprl.U8(at);
            const uint8_t kind = Word6Sizes[opcode];
            sprm.Opcode = Word97Numbers[opcode] != 0 ? Word97Numbers[opcode] : static_cast<uint16_t>(0xFF00 | opcode);
            operandAt = at + 1;
            if (kind == U) {
                return;
            } else if (kind == X) {
                tabs = true;
            } else if (kind == V) {
                if (!grpprl.Has(operandAt, 1)) {
                    return;
                }
                size = 1 + uint64_t{grpprl.U8(operandAt)};
                skip = 1;
            } else if (kind == W) {
                if (!grpprl.Has(operandAt, 2)) {
                    return;
                }
                const uint16_t cb = grpprl.U16(operandAt);
                size = cb == 0 ? 2 : uint64_t{cb} + 1;
                skip = 2;
            } else {
                size = kind;
            }
            if (sprm.Opcode >= 0xFF00 && sprm.Opcode != sprmPNLvlAnm6 && sprm.Opcode != sprmPAnld6) {
                sprm.Opcode = 0;  // skipped, size known
            }
        }
        if (tabs && !TabChangeSize(grpprl, operandAt, size)) {
            return;
        }
        if (!grpprl.Has(operandAt, size)) {
            return;
        }
        sprm.Operand = grpprl.Sub(operandAt + skip, size - skip);
        if (sprm.Opcode != 0) {
            visit(sprm);
        }
        at = operandAt + size;
    }
}

bool SprmFromPrm(uint16_t prm, TWordGeneration generation, TSprm& sprm, uint8_t& operandByte) {
    const uint8_t isprm = static_cast<uint8_t>((prm >> 1) & 0x7F);
    (void)generation;  // both generations number these by the Word 6.0/95 opcode
    sprm.Opcode = Word97Numbers[isprm];
    operandByte = static_cast<uint8_t>(prm >> 8);
    sprm.Operand = TByteView(&operandByte, 1);
    return sprm.Opcode != 0;
}

}  // namespace quillane
