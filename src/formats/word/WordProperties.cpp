#include "formats/word/WordProperties.h"

#include <algorithm>

#include "model/TabManager.h"
#include "model/TabTable.h"

namespace quillane {

namespace {

// 0 off, 1 on, 128 as in the style, 129 the opposite of the style; other
// values change nothing.
void Toggle(int32_t& slot, uint8_t value, int32_t styleValue) {
    const int32_t style = styleValue == UndefinedAttr ? 0 : (styleValue != 0 ? 1 : 0);
    switch (value) {
        case 0:
        case 1: slot = value; break;
        case 128: slot = style; break;
        case 129: slot = 1 - style; break;
        default: break;
    }
}

int32_t FontFor(uint16_t ftc, const TWordPropertyContext& context) {
    if (context.Fonts != nullptr && ftc < context.Fonts->size()) {
        return (*context.Fonts)[ftc];
    }
    return context.DefaultFont;
}

}  // namespace

void ApplyCharSprm(const TSprm& sprm, TWordCharProps& props, const TCharAttrs& style,
                   const TWordPropertyContext& context) {
    TCharAttrs& a = props.Attrs;
    switch (sprm.Opcode) {
        case sprmCFRMarkDel: a[caStrikeOut] = sprm.Byte() != 0 ? 1 : 0; break;
        case sprmCPicLocation:
            props.PictureLocation = sprm.Operand.U32(0);
            props.Special = true;
            break;
        case sprmCFData: props.Data = sprm.Byte() != 0; break;
        case sprmCSymbol: {
            const uint16_t ftc = sprm.Operand.U16(0);
            if (context.Fonts != nullptr && ftc < context.Fonts->size()) {
                props.HasSymbol = true;
                props.SymbolFont = (*context.Fonts)[ftc];
                props.SymbolChar = context.Generation == TWordGeneration::Word97 ? sprm.Operand.U16(2)
                                                                                : sprm.Operand.U8(2);
                props.Special = true;
            } else if (context.Fonts == nullptr || context.Fonts->empty()) {
                // Without a font table the character still comes through.
                props.HasSymbol = true;
                props.SymbolFont = context.DefaultFont;
                props.SymbolChar = context.Generation == TWordGeneration::Word97 ? sprm.Operand.U16(2)
                                                                                : sprm.Operand.U8(2);
                props.Special = true;
            }
            break;
        }
        case sprmCFOle2: props.Ole = sprm.Byte() != 0; break;
        case sprmCIstd:
            if (context.CharacterStyles != nullptr && sprm.Word() < context.CharacterStyles->size()) {
                const TCharAttrs& cs = (*context.CharacterStyles)[sprm.Word()];
                for (int slot = 0; slot < CharSlotCount; ++slot) {
                    if (cs[slot] != UndefinedAttr) {
                        a[slot] = cs[slot];
                    }
                }
            }
            break;
        case sprmCFBold:
        case sprmCFItalic:
        case sprmCFStrike: {
            const int slot = sprm.Opcode == sprmCFBold ? caBold : sprm.Opcode == sprmCFItalic ? caItalic : caStrikeOut;
            if (context.InStyleDefinition && sprm.Byte() >= 128) {
                if (sprm.Byte() <= 129) {
                    a[slot] = sprm.Byte();
                }
            } else {
                Toggle(a[slot], sprm.Byte(), style[slot]);
            }
            break;
        }
        case sprmCFtc: a[caFont] = FontFor(sprm.Word(), context); break;
        case sprmCKul:
            if (sprm.Byte() <= 1) {
                a[caUnderline] = sprm.Byte();
            }
            break;
        case sprmCDxaSpace: a[caExpansion] = sprm.Short(); break;
        case sprmCLid: a[caLanguage] = sprm.Word(); break;
        case sprmCIco: a[caColor] = sprm.Byte() > 16 ? 0 : sprm.Byte(); break;
        case sprmCHighlight: {
            const int32_t value = sprm.Byte() & 0x1F;
            a[caHighlight] = value > 16 ? 0 : value;
            break;
        }
        case sprmCHps:
            if (sprm.Word() > 0) {
                a[caSize] = sprm.Word();
            }
            break;
        case sprmCHpsPos: a[caOffset] = sprm.Short() / 2; break;
        case sprmCIss:
            if (sprm.Byte() <= 2) {
                a[caVerticalPosition] = sprm.Byte();
            }
            break;
        case sprmCHpsKern: a[caKerning] = sprm.Word(); break;
        case sprmCFSpec: props.Special = sprm.Byte() != 0; break;
        case sprmCFObj: props.Object = sprm.Byte() != 0; break;
        case sprmCObjLocation: props.ObjectLocation = sprm.Operand.U32(0); break;
        default: break;
    }
}

void ApplyTabChanges(TByteView operand, bool tolerances, TTabTable& table) {
    // Skip the size byte of the tolerance form; the other form has none
    // left in the operand.
    uint64_t at = tolerances ? 1 : 0;
    const uint8_t deleted = operand.U8(at);
    ++at;
    const uint64_t positions = at;
    const uint64_t tolerancesAt = at + uint64_t{deleted} * 2;
    for (uint32_t i = 0; i < deleted; ++i) {
        const int32_t position = operand.S16(positions + uint64_t{i} * 2);
        const int32_t tolerance = tolerances ? std::abs(operand.S16(tolerancesAt + uint64_t{i} * 2)) : 0;
        for (int32_t j = table.StopCount() - 1; j >= 0; --j) {
            const int32_t p = table.Stop(j).Position();
            if (p >= position - tolerance && p <= position + tolerance) {
                table.Delete(j);
            }
        }
    }
    at = tolerances ? tolerancesAt + uint64_t{deleted} * 2 : tolerancesAt;
    const uint8_t added = operand.U8(at);
    ++at;
    if (!operand.Has(at, uint64_t{added} * 3)) {
        return;
    }
    const uint64_t descriptors = at + uint64_t{added} * 2;
    for (uint32_t i = 0; i < added; ++i) {
        const int32_t position = std::max<int32_t>(operand.S16(at + uint64_t{i} * 2), 0);
        const uint8_t tbd = operand.U8(descriptors + i);
        const uint32_t jc = tbd & 7;
        const uint32_t leader = (tbd >> 3) & 7;
        const uint32_t kind = jc <= 4 ? jc : tkLeft;
        const uint32_t lead = leader == 0 ? tlNone : leader == 1 ? tlDots : leader == 2 ? tlHyphens : tlUnderline;
        table.RemoveAt(position < MinTabPosition + 1 ? MinTabPosition : position);
        table.Add(TTabStop::Make(position < MinTabPosition + 1 ? MinTabPosition : position, kind, lead));
    }
    table.SortByPosition();
}

void ApplyParSprm(const TSprm& sprm, TWordParProps& props, const TWordPropertyContext& context) {
    TParAttrs& a = props.Attrs;
    switch (sprm.Opcode) {
        case sprmPIstd: {
            const uint16_t istd = sprm.Word();
            if (context.InStyleDefinition) {
                a[paStyle] = istd;
            } else if (context.ParagraphStyles != nullptr && istd < context.ParagraphStyles->size() &&
                       (*context.ParagraphStyles)[istd] >= 0) {
                a[paStyle] = (*context.ParagraphStyles)[istd];
            } else {
                a[paStyle] = 0;
            }
            break;
        }
        case sprmPJc:
            if (sprm.Byte() <= 3) {
                a[paAlignment] = sprm.Byte();
            }
            break;
        case sprmPFKeep: a[paKeepIntact] = sprm.Byte() != 0 ? 1 : 0; break;
        case sprmPFKeepFollow: a[paKeepWithNext] = sprm.Byte() != 0 ? 1 : 0; break;
        case sprmPFPageBreakBefore: a[paPageBreakBefore] = sprm.Byte() != 0 ? 1 : 0; break;
        case sprmPNLvlAnm6:
            props.Word6Level = sprm.Byte();
            if (sprm.Byte() == 11) {
                a[paBullet] = 1;
            }
            break;
        case sprmPAnld6: props.Anld = sprm.Operand; break;
        case sprmPIlfo:
            // Zero takes the paragraph out of its style's list.
            props.ListOverride = sprm.Short();
            a[paBullet] = props.ListOverride != 0 ? 1 : 0;
            break;
        case sprmPIlvl: props.ListLevel = sprm.Byte(); break;
        case sprmPChgTabsPapx:
        case sprmPChgTabs:
            if (context.Tabs != nullptr) {
                TTabTable table;
                if (context.Tabs->ValidIndex(a[paTabTable])) {
                    table.CopyFrom(context.Tabs->Table(a[paTabTable]));
                }
                ApplyTabChanges(sprm.Operand, sprm.Opcode == sprmPChgTabs, table);
                a[paTabTable] = context.Tabs->Intern(table);
            }
            break;
        case sprmPDxaRight: a[paRightIndent] = sprm.Short(); break;
        case sprmPDxaLeft: a[paLeftIndent] = sprm.Short(); break;
        case sprmPDxaLeft1: a[paFirstIndent] = sprm.Short(); break;
        case sprmPDyaLine:
            a[paLineSpacing] = sprm.Operand.S16(0);
            a[paSpacingMultiple] = sprm.Operand.S16(2) != 0 ? 1 : 0;
            break;
        case sprmPDyaBefore: a[paSpaceBefore] = sprm.Word(); break;
        case sprmPDyaAfter: a[paSpaceAfter] = sprm.Word(); break;
        case sprmPFInTable: props.InTable = sprm.Byte() != 0; break;
        case sprmPFTtp: props.RowEnd = sprm.Byte() != 0; break;
        case sprmPFWidowControl: a[paWidowControl] = sprm.Byte() != 0 ? 1 : 0; break;
        default: break;
    }
}

void ApplySectionSprm(const TSprm& sprm, TPageSettings& page) {
    switch (sprm.Opcode) {
        case sprmSBOrientation: page.Landscape = sprm.Byte() == 1 ? 0 : 1; break;
        case sprmSXaPage: page.PaperWidth = sprm.Word(); break;
        case sprmSYaPage: page.PaperHeight = sprm.Word(); break;
        case sprmSDxaLeft: page.LeftMargin = sprm.Word(); break;
        case sprmSDxaRight: page.RightMargin = sprm.Word(); break;
        case sprmSDyaTop: page.TopMargin = std::abs(sprm.Short()); break;
        case sprmSDyaBottom: page.BottomMargin = std::abs(sprm.Short()); break;
        default: break;
    }
}

}  // namespace quillane
