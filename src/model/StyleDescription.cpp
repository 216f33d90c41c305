// The text that describes a style to the user: each slot the style sets, in
// slot order, after its parent's name.

#include <cctype>
#include <string>
#include <vector>

#include "model/FontNames.h"
#include "model/Style.h"
#include "model/StyleList.h"
#include "model/TabManager.h"
#include "model/TextColors.h"
#include "model/Units.h"

namespace quillane {

namespace {

std::string LowerColorName(int32_t index) {
    std::string name = index >= 0 && index < TextColorCount ? ColorName(index) : "color " + std::to_string(index);
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

bool Defined(int32_t v) { return v != UndefinedAttr; }

std::string Points(int32_t twips) { return TMeasurementsManager(TMeasureUnit::Points).Format(twips); }

const char* TabKindPattern(uint32_t kind) {
    switch (kind) {
        case tkCentred: return " centered";
        case tkRight: return " right";
        case tkDecimal: return " decimal";
        case tkBar: return " bar";
        default: return "";
    }
}

// Half-points as points: an odd size is a half point, which an integer
// division would silently drop ("10.5 pt", not "10 pt").
std::string HalfPoints(int32_t halfPoints) { return FormatHundredths(int64_t{halfPoints} * 50) + " pt"; }

class TParts {
public:
    void Add(std::string part) { parts_.push_back(std::move(part)); }
    void Flag(int32_t v, const char* on, const char* off) {
        if (Defined(v)) {
            Add(v != 0 ? on : off);
        }
    }
    std::string Joined() const {
        std::string text;
        for (const std::string& part : parts_) {
            text += text.empty() ? "" : "; ";
            text += part;
        }
        return text;
    }

private:
    std::vector<std::string> parts_;
};

}  // namespace

std::string TStyle::Describe(bool withHotKey, const TStyleDescribeContext& context) const {
    const TCharAttrs& c = CharAttrs;
    const TParAttrs& p = ParAttrs;
    const TMeasurementsManager& measures = context.Measures;
    const bool hasParent = owner_ != nullptr && owner_->ValidIndex(BasedOn) && BasedOn != p[paStyle];
    TParts parts;

    // A root style shown with its hot key stands for the defaults it leaves.
    const bool useDefaults = withHotKey && !hasParent;
    int32_t font = c[caFont];
    int32_t size = c[caSize];
    if (useDefaults && !Defined(font)) {
        font = context.Defaults[caFont];
    }
    if (useDefaults && !Defined(size)) {
        size = context.Defaults[caSize];
    }
    if (Defined(font)) {
        parts.Add("font: " + context.Fonts.FontName(font));
    }
    if (Defined(size)) {
        parts.Add("font size: " + HalfPoints(size));
    }
    parts.Flag(c[caBold], "bold", "not bold");
    parts.Flag(c[caItalic], "italic", "not italic");
    parts.Flag(c[caStrikeOut], "strike", "not strike");
    parts.Flag(c[caUnderline], "underline", "not underline");
    if (Defined(c[caColor])) {
        parts.Add("foreground color: " + LowerColorName(c[caColor]));
    }
    switch (c[caVerticalPosition]) {
        case 0: parts.Add("no scripts"); break;
        case 1: parts.Add("superscript"); break;
        case 2: parts.Add("subscript"); break;
        default: break;
    }
    if (Defined(c[caExpansion])) {
        parts.Add(c[caExpansion] == 0 ? "no expansion" : "expansion: " + Points(c[caExpansion]));
    }
    if (Defined(c[caOffset])) {
        const int32_t v = c[caOffset];
        parts.Add(v == 0  ? std::string("no vertical offset")
                  : v > 0 ? "vertical offset up: " + std::to_string(v) + " pt"
                          : "vertical offset down: " + std::to_string(-int64_t{v}) + " pt");
    }
    if (Defined(c[caKerning])) {
        parts.Add(c[caKerning] == 0 ? "no kerning" : "kerning: " + HalfPoints(c[caKerning]) + " and greater");
    }

    if (Defined(p[paFirstIndent])) {
        const int32_t f = p[paFirstIndent];
        parts.Add(f < 0 ? "first line outdent: " + measures.Format(-f) : "first line indent: " + measures.Format(f));
    }
    if (Defined(p[paLeftIndent])) {
        const int32_t left = Defined(p[paFirstIndent]) ? VisibleLeftIndent(p) : p[paLeftIndent];
        parts.Add("left indent: " + measures.Format(left));
    }
    if (Defined(p[paLineSpacing]) && Defined(p[paSpacingMultiple])) {
        const int32_t v = p[paLineSpacing];
        if (p[paSpacingMultiple] != 0) {
            parts.Add(v == 240   ? std::string("single line spacing")
                      : v == 360 ? std::string("1.5 lines spacing")
                      : v == 480 ? std::string("double line spacing")
                                 : "single line spacing multiple: " + FormatHundredths(MulDivRound(v, 100, 240)));
        } else {
            parts.Add(v <= 0 ? "line spacing exactly: " + Points(-v)
                             : "line spacing at least: " + Points(v));
        }
    }
    if (Defined(p[paRightIndent])) {
        parts.Add("right indent: " + measures.Format(p[paRightIndent]));
    }
    switch (p[paAlignment]) {
        case 0: parts.Add("left alignment"); break;
        case 1: parts.Add("centered alignment"); break;
        case 2: parts.Add("right alignment"); break;
        case 3: parts.Add("justified alignment"); break;
        default: break;
    }
    parts.Flag(p[paKeepWithNext], "keep with next paragraph", "do not keep with next paragraph");
    parts.Flag(p[paKeepIntact], "keep intact", "do not keep intact");
    parts.Flag(p[paPageBreakBefore], "page break before", "no page break before");
    parts.Flag(p[paWidowControl], "widow/orphan control", "no widow/orphan control");
    if (Defined(p[paSpaceBefore])) {
        parts.Add("spacing before: " + Points(p[paSpaceBefore]));
    }
    if (Defined(p[paSpaceAfter])) {
        parts.Add("spacing after: " + Points(p[paSpaceAfter]));
    }
    const TTabManager* tabs = owner_ != nullptr ? owner_->Tabs() : nullptr;
    if (tabs != nullptr && tabs->ValidIndex(p[paTabTable])) {
        const TTabTable& table = tabs->Table(p[paTabTable]);
        std::string stops;
        for (int32_t i = 0; i < table.StopCount(); ++i) {
            stops += i == 0 ? "" : ", ";
            stops += measures.Format(table.Stop(i).Position()) + TabKindPattern(table.Stop(i).Kind());
        }
        parts.Add("tabs: " + stops);
    }

    std::string text = parts.Joined();
    if (hasParent) {
        const std::string& parent = owner_->Style(BasedOn).DisplayName;
        text = text.empty() ? parent : parent + " + " + text;
    }
    if (withHotKey && HotKey != 0) {
        const std::string key = context.KeyText ? context.KeyText(HotKey) : DefaultKeyText(HotKey);
        text += (text.empty() ? "" : "\r") + std::string("Hotkey: ") + key;
    }
    return text;
}

}  // namespace quillane
