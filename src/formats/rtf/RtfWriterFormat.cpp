// Character attributes, paragraph formats and the style sheet.
#include <algorithm>
#include <cctype>

#include "formats/rtf/RtfWriterCore.h"
#include "model/BuiltInStyles.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/Style.h"
#include "model/StyleList.h"
#include "model/StyleResolve.h"
#include "model/TabManager.h"
#include "model/TabTable.h"

namespace quillane {

namespace {

constexpr uint8_t BulletChar = 0xB7;
constexpr int32_t LastFunctionKey = FirstFunctionKey + 23;  // F24

TCharAttrs UnsetChars() {
    TCharAttrs attrs;
    attrs.Slots.fill(UndefinedAttr);
    return attrs;
}

TParAttrs UnsetFormat() {
    TParAttrs attrs;
    attrs.Slots.fill(UndefinedAttr);
    return attrs;
}

bool IsOn(int32_t value) { return value != UndefinedAttr && value != 0; }

}  // namespace

void TRtfWriter::WriteCharAttr(int slot, int32_t value) {
    switch (slot) {
        case caFont: out_.Body(bwF, FontNumber(value)); break;
        case caSize: out_.Body(bwFs, value); break;
        case caBold: out_.Flag(bwB, value != 0); break;
        case caItalic: out_.Flag(bwI, value != 0); break;
        case caStrikeOut: out_.Flag(bwStrike, value != 0); break;
        case caUnderline: out_.Body(value != 0 ? bwUl : bwUlnone); break;
        case caColor: out_.Body(bwCf, value); break;
        case caHighlight: out_.Body(bwHighlight, value); break;
        case caVerticalPosition: out_.Body(value == 1 ? bwSuper : value == 2 ? bwSub : bwNosupersub); break;
        case caExpansion:
            // Quarter points for readers that know only \expnd, then the
            // exact twips.
            out_.Body(bwExpnd, static_cast<int64_t>(value) * 4 / 20);
            out_.Body(bwExpndtw, value);
            break;
        case caOffset:
            if (value >= 0) {
                out_.Body(bwUp, 2 * static_cast<int64_t>(value));
            } else {
                out_.Body(bwDn, -2 * static_cast<int64_t>(value));
            }
            break;
        case caKerning: out_.Body(bwKerning, value); break;
        case caLanguage: out_.Body(bwLang, value); break;
        default: break;
    }
}

void TRtfWriter::WriteCharDifferences(const TCharAttrs& attrs, const TCharAttrs& reference) {
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (attrs[slot] != UndefinedAttr && attrs[slot] != reference[slot]) {
            WriteCharAttr(slot, attrs[slot]);
        }
    }
}

bool TRtfWriter::SameTabs(int32_t a, int32_t b) const {
    if (a == b) {
        return true;
    }
    const TTabManager& tabs = doc_.Tabs();
    const bool aValid = tabs.ValidIndex(a) && tabs.Table(a).StopCount() > 0;
    const bool bValid = tabs.ValidIndex(b) && tabs.Table(b).StopCount() > 0;
    if (!aValid || !bValid) {
        return aValid == bValid;  // no stops either way
    }
    return tabs.Table(a) == tabs.Table(b);
}

void TRtfWriter::WriteTabStops(const TTabTable& tabs) {
    for (int32_t i = 0; i < tabs.StopCount(); ++i) {
        const TTabStop stop = tabs.Stop(i);
        if (stop.IsBar()) {
            out_.Body(bwTb, stop.Position());
            continue;
        }
        switch (stop.Kind()) {
            case tkCentred: out_.Body(bwTqc); break;
            case tkRight: out_.Body(bwTqr); break;
            case tkDecimal: out_.Body(bwTqdec); break;
            default: break;
        }
        switch (stop.Leader()) {
            case tlDots: out_.Body(bwTldot); break;
            case tlHyphens: out_.Body(bwTlhyph); break;
            case tlUnderline: out_.Body(bwTlul); break;
            default: break;
        }
        out_.Body(bwTx, stop.Position());
    }
}

void TRtfWriter::WriteBulletGroups() {
    const int32_t font = fonts_.SymbolIndex();
    const uint8_t bullet = BulletChar;
    // The bullet's text, for readers that do not draw bullets themselves.
    out_.OpenGroup();
    out_.Destination(dwPntext);
    out_.Body(bwF, FontNumber(font));
    out_.EndWord();
    out_.Text(&bullet, 1);
    out_.Body(bwTab);
    out_.CloseGroup();
    out_.OpenStarred(dwPn);
    out_.Body(bwPnlvlblt);
    out_.Body(bwPnf, FontNumber(font));
    out_.OpenGroup();
    out_.Destination(dwPntxtb);
    out_.EndWord();
    out_.Text(&bullet, 1);
    out_.CloseGroup();
    out_.CloseGroup();
}

void TRtfWriter::WriteParDifferences(const TParAttrs& format, const TParAttrs& reference, bool overrides) {
    auto differs = [&](int slot) { return format[slot] != UndefinedAttr && format[slot] != reference[slot]; };
    if (differs(paFirstIndent)) {
        out_.Body(bwFi, format[paFirstIndent]);
    }
    if (differs(paLeftIndent)) {
        out_.Body(bwLi, format[paLeftIndent]);
    }
    if (differs(paLineSpacing) || differs(paSpacingMultiple)) {
        if (format[paLineSpacing] != UndefinedAttr) {
            out_.Body(bwSl, format[paLineSpacing]);
        }
        if (format[paSpacingMultiple] != UndefinedAttr) {
            out_.Body(bwSlmult, format[paSpacingMultiple]);
        }
    }
    if (differs(paRightIndent)) {
        out_.Body(bwRi, format[paRightIndent]);
    }
    if (differs(paAlignment)) {
        static constexpr TRtfBodyWord Alignments[] = {bwQl, bwQc, bwQr, bwQj};
        const int32_t alignment = format[paAlignment];
        out_.Body(alignment >= 0 && alignment <= 3 ? Alignments[alignment] : bwQl);
    }
    // Keeps and page breaks are only ever switched on in a paragraph's
    // difference; a style's own values may also switch one off.
    for (const auto& [slot, word] : {std::pair{paKeepWithNext, bwKeepn}, std::pair{paKeepIntact, bwKeep},
                                     std::pair{paPageBreakBefore, bwPagebb}}) {
        if (differs(slot) && (format[slot] != 0 || overrides)) {
            out_.Flag(word, format[slot] != 0);
        }
    }
    if (differs(paWidowControl)) {
        if (inStyleSheet_) {
            out_.Body(format[paWidowControl] != 0 ? bwWidctlpar : bwNowidctlpar);
        } else {
            out_.Body(bwNowidctlpar);
            if (format[paWidowControl] != 0) {
                out_.Body(bwWidctlpar);
            }
        }
    }
    if (differs(paSpaceBefore)) {
        out_.Body(bwSb, format[paSpaceBefore]);
    }
    if (differs(paSpaceAfter)) {
        out_.Body(bwSa, format[paSpaceAfter]);
    }
    if (!inStyleSheet_ && differs(paStyle)) {
        out_.Body(bwS, format[paStyle]);
    }
    const int32_t tabs = format[paTabTable];
    if (tabs != UndefinedAttr && !SameTabs(tabs, reference[paTabTable]) && doc_.Tabs().ValidIndex(tabs)) {
        WriteTabStops(doc_.Tabs().Table(tabs));
    }
}

TParAttrs TRtfWriter::ResetFormat() const {
    TParAttrs format = doc_.DefaultParAttrs;
    format[paWidowControl] = doc_.WidowControl;
    return format;
}

void TRtfWriter::WriteParagraphFormat(const TParAttrs& format) {
    int d1 = 0;
    int d2 = 0;
    const TParAttrs reset = ResetFormat();
    bool same = true;
    for (int slot = 0; slot < ParSlotCount; ++slot) {
        const bool changed =
            slot == paTabTable ? !SameTabs(format[slot], writtenFormat_[slot]) : format[slot] != writtenFormat_[slot];
        const bool fromReset =
            slot == paTabTable ? !SameTabs(format[slot], reset[slot]) : format[slot] != reset[slot];
        d1 += changed ? 1 : 0;
        d2 += fromReset ? 1 : 0;
        same = same && !changed;
    }
    if (!same) {
        auto switchedOff = [&](int slot) { return IsOn(writtenFormat_[slot]) && !IsOn(format[slot]); };
        const bool canAdd = d2 >= d1 && !switchedOff(paBullet) && !switchedOff(paKeepWithNext) &&
                            !switchedOff(paKeepIntact) && !switchedOff(paPageBreakBefore) &&
                            SameTabs(format[paTabTable], writtenFormat_[paTabTable]);
        if (canAdd || writtenFormat_ == reset) {
            WriteParDifferences(format, writtenFormat_, false);  // after a reset \pard would repeat it
        } else {
            out_.Body(bwPard);
            WriteParDifferences(format, reset, false);
        }
        writtenFormat_ = format;
    }
    // Every bulleted paragraph carries its bullet groups, so that readers
    // which draw the bullet text show it on each of them.
    if (IsOn(format[paBullet])) {
        WriteBulletGroups();
    }
}

void TRtfWriter::WriteStyleSheet() {
    const TStyleList& styles = doc_.Styles();
    if (styles.StyleCount() == 0) {
        return;  // an empty sheet would read back as one holding "Normal"
    }
    inStyleSheet_ = true;
    out_.OpenGroup();
    out_.Destination(dwStylesheet);
    for (int32_t i = 0; i < styles.StyleCount(); ++i) {
        WriteStyle(i, styles.Style(i));
    }
    out_.CloseGroup();
    inStyleSheet_ = false;
}

void TRtfWriter::WriteStyle(int32_t index, const TStyle& style) {
    const TStyleList& styles = doc_.Styles();
    out_.OpenGroup();
    if (index != 0) {
        out_.Body(bwS, index);
    }
    if (style.HotKey != 0) {
        WriteHotKey(style.HotKey);
    }
    if (styles.ValidIndex(style.BasedOn)) {
        out_.Special(swSbasedon, style.BasedOn);
    }
    out_.Special(swSnext, style.NextStyle);

    // The style's whole formatting for readers without overrides ...
    const TModelDefaults defaults{doc_.DefaultCharAttrs, doc_.DefaultParAttrs};
    const TResolvedStyle resolved = ResolveStyle(style, 0, defaults);
    WriteCharDifferences(resolved.Char, defaults.Char);
    WriteParDifferences(resolved.Par, defaults.Par, false);
    if (IsOn(resolved.Par[paBullet])) {
        WriteBulletGroups();
    }
    // ... and exactly what it changes against its base.
    out_.Literal("{\\*");
    out_.Special(swStloverrides);
    WriteCharDifferences(style.CharAttrs, UnsetChars());
    WriteParDifferences(style.ParAttrs, UnsetFormat(), true);
    if (IsOn(style.ParAttrs[paBullet])) {
        WriteBulletGroups();
    }
    out_.CloseGroup();
    out_.Literal(" ");

    std::string name = style.Name;
    if (BuiltInNameWrittenInLowerCase(style.BuiltInIndex)) {
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    out_.Text(name);
    out_.Literal(";");
    out_.CloseGroup();
}

void TRtfWriter::WriteHotKey(uint16_t key) {
    out_.Literal("{\\*");
    out_.Special(swKeycode);
    out_.EndWord();
    if ((key & HotKeyShift) != 0) {
        out_.Special(swShift);
    }
    if ((key & HotKeyCtrl) != 0) {
        out_.Special(swCtrl);
    }
    if ((key & HotKeyAlt) != 0) {
        out_.Special(swAlt);
    }
    const int32_t code = key & 0xFF;
    if (code >= FirstFunctionKey && code <= LastFunctionKey) {
        out_.Special(swFn, code - (FirstFunctionKey - 1));
    } else if (code > ' ') {
        out_.EndWord();
        const uint8_t byte = static_cast<uint8_t>(code);
        if (byte == '\\' || byte == '{' || byte == '}') {
            out_.Symbol(static_cast<char>(byte));
        } else {
            out_.Literal(std::string_view(reinterpret_cast<const char*>(&byte), 1));  // a key is one byte, as it stands
        }
    }
    out_.CloseGroup();
}

}  // namespace quillane
