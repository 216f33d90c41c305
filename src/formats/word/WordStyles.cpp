#include "formats/word/WordStyles.h"

#include <algorithm>
#include <memory>
#include <string>

#include "model/BuiltInStyles.h"
#include "model/Document.h"
#include "model/StyleResolve.h"

namespace quillane {

namespace {

constexpr uint16_t UserDefinedSti = 4094;
constexpr int32_t LastNamedSti = 90;
constexpr uint16_t NoStyle = 4095;
constexpr uint8_t ParagraphKind = 1;
constexpr uint8_t CharacterKind = 2;

// One STD as laid out in the file.
struct TStd {
    uint16_t Sti = 0;
    uint8_t Kind = 0;
    uint16_t Base = NoStyle;
    uint16_t Next = NoStyle;
    std::string Name;
    TByteView Papx;  // paragraph styles: the paragraph SPRMs (after the style number)
    TByteView Chpx;  // character SPRMs
};

std::string NarrowName(TByteView bytes, bool unicode, const TUnicodeToAnsiFn& toAnsi) {
    std::string name;
    const size_t step = unicode ? 2 : 1;
    for (size_t i = 0; i + step <= bytes.Size(); i += step) {
        const uint16_t c = unicode ? bytes.U16(i) : bytes.U8(i);
        if (c == 0) {
            break;
        }
        name.push_back(static_cast<char>(unicode ? toAnsi(c) : c));
    }
    return name;
}

bool ParseStd(TByteView std, uint16_t baseSize, TWordGeneration generation, const TUnicodeToAnsiFn& toAnsi,
              TStd& out) {
    if (std.Size() < 8 || baseSize < 8 || baseSize > std.Size()) {
        return false;
    }
    out.Sti = std.U16(0) & 0x0FFF;
    out.Kind = std.U16(2) & 0x000F;
    out.Base = std.U16(2) >> 4;
    const uint8_t upxCount = std.U16(4) & 0x000F;
    out.Next = std.U16(4) >> 4;
    uint64_t at = baseSize;
    if (generation == TWordGeneration::Word97) {
        const uint16_t length = std.U16(at);
        const TByteView chars = std.Sub(at + 2, uint64_t{length} * 2);
        if (chars.Size() != uint64_t{length} * 2) {
            return false;
        }
        out.Name = NarrowName(chars, true, toAnsi);
        at += 2 + uint64_t{length} * 2 + 2;  // the name ends with a zero character
    } else {
        const uint8_t length = std.U8(at);
        const TByteView chars = std.Sub(at + 1, length);
        if (chars.Size() != length) {
            return false;
        }
        out.Name = NarrowName(chars, false, toAnsi);
        at += 1 + uint64_t{length} + 1;
    }
    for (uint8_t i = 0; i < upxCount && i < 2; ++i) {
        at += at & 1;  // each UPX starts at an even offset
        const uint16_t size = std.U16(at);
        const TByteView upx = std.Sub(at + 2, size);
        if (upx.Size() != size) {
            return true;  // the name is there; the formatting is not
        }
        if (out.Kind == ParagraphKind && i == 0) {
            out.Papx = upx.From(2);  // after the style number
        } else if ((out.Kind == ParagraphKind && i == 1) || (out.Kind == CharacterKind && i == 0)) {
            out.Chpx = upx;
        }
        at += 2 + uint64_t{size};
    }
    return true;
}

}  // namespace

void TWordStyleSheet::Read(TByteView stsh, TWordGeneration generation, const TWordPropertyContext& context,
                           TDocument& document) {
    lists_.clear();
    defaultPar_ = document.DefaultParAttrs;
    defaultChar_ = document.DefaultCharAttrs;
    TStyleList& list = document.Styles();
    list.Clear();
    const TUnicodeToAnsiFn toAnsi = context.ToAnsi;

    // The header: its size, then the count of STDs and the size of an STD's
    // fixed part.
    const uint16_t headerSize = stsh.U16(0);
    const uint16_t count = stsh.U16(2);
    const uint16_t baseSize = stsh.U16(4);
    std::vector<TStd> stds;
    uint64_t at = 2 + uint64_t{headerSize};
    if (!stsh.Has(0, at)) {
        Resolve(document);
        return;
    }
    for (uint32_t istd = 0; istd < count; ++istd) {
        if (!stsh.Has(at, 2)) {
            break;
        }
        const uint16_t size = stsh.U16(at);
        const TByteView bytes = stsh.Sub(at + 2, size);
        if (bytes.Size() != size) {
            break;
        }
        TStd std;
        if (size != 0 && !ParseStd(bytes, baseSize, generation, toAnsi, std)) {
            std = TStd{};
        }
        stds.push_back(std);
        at += 2 + uint64_t{size};
    }
    paragraphMap_.assign(stds.size(), -1);
    characterStyles_.assign(stds.size(), TCharAttrs{});
    for (auto& attrs : characterStyles_) {
        attrs.Slots.fill(UndefinedAttr);
    }

    TWordPropertyContext styleContext = context;
    styleContext.InStyleDefinition = true;
    styleContext.ParagraphStyles = nullptr;
    styleContext.CharacterStyles = nullptr;
    // Paragraph styles first: they make the document's list.
    for (size_t istd = 0; istd < stds.size(); ++istd) {
        const TStd& std = stds[istd];
        if (std.Kind != ParagraphKind) {
            continue;
        }
        auto style = std::make_unique<TStyle>();
        if (std.Sti != UserDefinedSti && std.Sti <= LastNamedSti) {
            style->Name = BuiltInStyleName(std.Sti);
        } else {
            style->Name = std.Name.substr(0, std.Name.find(','));  // alias names are dropped
        }
        style->DisplayName = style->Name;
        TWordParProps par;
        par.Attrs = document.DefaultParAttrs;
        ForEachSprm(std.Papx, generation, [&](const TSprm& sprm) { ApplyParSprm(sprm, par, styleContext); });
        TWordCharProps chars;
        chars.Attrs.Slots.fill(UndefinedAttr);
        const TCharAttrs unset = chars.Attrs;
        ForEachSprm(std.Chpx, generation, [&](const TSprm& sprm) { ApplyCharSprm(sprm, chars, unset, styleContext); });
        style->ParAttrs = par.Attrs;
        style->CharAttrs = chars.Attrs;
        lists_.push_back({par.ListOverride, par.ListLevel, par.Word6Level, par.Anld});
        // Word numbers for now; mapped below once every style has its index.
        style->BasedOn = std.Base;
        style->NextStyle = std.Next;
        if (std.Base == NoStyle && style->CharAttrs[caSize] == UndefinedAttr) {
            style->CharAttrs[caSize] = 20;
        }
        paragraphMap_[istd] = list.StyleCount();
        list.Add(std::move(style));
    }
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        TStyle& style = list.Style(i);
        const auto map = [&](int32_t istd) {
            return istd >= 0 && static_cast<size_t>(istd) < paragraphMap_.size() ? paragraphMap_[istd] : -1;
        };
        style.BasedOn = map(style.BasedOn);
        style.NextStyle = map(style.NextStyle);
        style.ParAttrs[paStyle] = i;
        // Toggle values keep their meaning relative to the based-on style
        // only inside Word; here they are plain settings.
        for (int slot : {caBold, caItalic, caStrikeOut}) {
            if (style.CharAttrs[slot] == 128 || style.CharAttrs[slot] == 129) {
                style.CharAttrs[slot] = 1;
            }
        }
    }
    list.RepairLinks();
    // A style without a list of its own takes its based-on style's.
    std::vector<TListMembership> own = lists_;
    for (int32_t i = 0; i < list.StyleCount() && static_cast<size_t>(i) < lists_.size(); ++i) {
        int32_t base = i;
        for (int step = 0; step < 16 && base >= 0 && static_cast<size_t>(base) < own.size(); ++step) {
            if (own[static_cast<size_t>(base)].Override != 0 || own[static_cast<size_t>(base)].Word6Level != 0) {
                lists_[static_cast<size_t>(i)] = own[static_cast<size_t>(base)];
                break;
            }
            base = list.Style(base).BasedOn;
        }
    }
    // Character styles: partial records by Word number.
    for (size_t istd = 0; istd < stds.size(); ++istd) {
        if (stds[istd].Kind != CharacterKind) {
            continue;
        }
        TWordCharProps chars;
        chars.Attrs.Slots.fill(UndefinedAttr);
        const TCharAttrs unset = chars.Attrs;
        ForEachSprm(stds[istd].Chpx, generation,
                    [&](const TSprm& sprm) { ApplyCharSprm(sprm, chars, unset, styleContext); });
        for (int slot : {caBold, caItalic, caStrikeOut}) {
            if (chars.Attrs[slot] == 128 || chars.Attrs[slot] == 129) {
                chars.Attrs[slot] = 1;
            }
        }
        characterStyles_[istd] = chars.Attrs;
    }
    Resolve(document);
}

void TWordStyleSheet::Resolve(const TDocument& document) {
    const TStyleList& list = document.Styles();
    TModelDefaults defaults;
    defaults.Char = document.DefaultCharAttrs;
    defaults.Par = document.DefaultParAttrs;
    resolvedPar_.clear();
    resolvedChar_.clear();
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        TResolvedStyle resolved = ResolveStyle(list.Style(i), 0, defaults);
        for (int slot = 0; slot < ParSlotCount; ++slot) {
            if (resolved.Par[slot] == UndefinedAttr) {
                resolved.Par[slot] = defaults.Par[slot];
            }
        }
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            if (resolved.Char[slot] == UndefinedAttr) {
                resolved.Char[slot] = defaults.Char[slot];
            }
        }
        resolved.Par[paStyle] = i;
        resolvedPar_.push_back(resolved.Par);
        resolvedChar_.push_back(resolved.Char);
    }
}

TWordStyleSheet::TListMembership TWordStyleSheet::ListOf(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < lists_.size() ? lists_[static_cast<size_t>(index)]
                                                                    : TListMembership{};
}

int32_t TWordStyleSheet::ParagraphStyle(uint16_t istd) const {
    if (istd < paragraphMap_.size() && paragraphMap_[istd] >= 0) {
        return paragraphMap_[istd];
    }
    return 0;
}

const TParAttrs& TWordStyleSheet::ParagraphAttrs(int32_t index, const TDocument&) const {
    if (index >= 0 && static_cast<size_t>(index) < resolvedPar_.size()) {
        return resolvedPar_[static_cast<size_t>(index)];
    }
    return resolvedPar_.empty() ? defaultPar_ : resolvedPar_.front();
}

const TCharAttrs& TWordStyleSheet::CharacterAttrs(int32_t index, const TDocument&) const {
    if (index >= 0 && static_cast<size_t>(index) < resolvedChar_.size()) {
        return resolvedChar_[static_cast<size_t>(index)];
    }
    return resolvedChar_.empty() ? defaultChar_ : resolvedChar_.front();
}

void TWordStyleSheet::Finish(TDocument& document) const {
    if (document.Styles().StyleCount() == 0) {
        auto normal = std::make_unique<TStyle>(BuiltInStyleName(0));
        normal->BasedOn = -1;
        document.Styles().Add(std::move(normal));
    }
}

}  // namespace quillane
