#include <gtest/gtest.h>

#include <functional>

#include "model/FontNames.h"
#include "model/StyleList.h"
#include "model/TabManager.h"
#include "model/Units.h"
#include "support/StyleLists.h"

namespace quillane {
namespace {

class TTwoFonts final : public TFontNames {
public:
    std::string FontName(int32_t index) const override { return index == 3 ? "Arial" : "Times New Roman"; }
};

TEST(StyleDescription, DescribesEachDefinedSlot) {
    TTabManager tabs;
    TTabTable table;
    table.Add(TTabStop::Make(720));
    table.Add(TTabStop::Make(1440, tkCentred));
    table.Add(TTabStop::Make(2160, tkBar));
    const int32_t tabIndex = tabs.Intern(table);

    struct Case {
        const char* expect;
        std::function<void(TStyle&)> set;
        bool withHotKey = false;
        bool root = false;
    };
    const Case cases[] = {
        {"Normal", [](TStyle&) {}},
        {"Normal + font: Arial; font size: 10.5 pt",  // a half point is not dropped
         [](TStyle& s) { s.CharAttrs[caFont] = 3; s.CharAttrs[caSize] = 21; }},
        {"Normal + bold; not italic; strike; not underline",
         [](TStyle& s) { s.CharAttrs[caBold] = 1; s.CharAttrs[caItalic] = 0; s.CharAttrs[caStrikeOut] = 1;
                         s.CharAttrs[caUnderline] = 0; }},
        {"Normal + foreground color: green; superscript; expansion: 1.5 pt",
         [](TStyle& s) { s.CharAttrs[caColor] = 11; s.CharAttrs[caVerticalPosition] = 1;
                         s.CharAttrs[caExpansion] = 30; }},
        {"Normal + no scripts; no expansion; no vertical offset; no kerning",
         [](TStyle& s) { s.CharAttrs[caVerticalPosition] = 0; s.CharAttrs[caExpansion] = 0;
                         s.CharAttrs[caOffset] = 0; s.CharAttrs[caKerning] = 0; }},
        {"Normal + vertical offset down: 3 pt; kerning: 14 pt and greater",
         [](TStyle& s) { s.CharAttrs[caOffset] = -3; s.CharAttrs[caKerning] = 28; }},
        {"Normal + first line outdent: 0.5\"; left indent: 0.5\"",
         [](TStyle& s) { s.ParAttrs[paFirstIndent] = -720; s.ParAttrs[paLeftIndent] = 1440; }},
        {"Normal + first line indent: 0.25\"; right indent: 1.13\"",
         [](TStyle& s) { s.ParAttrs[paFirstIndent] = 360; s.ParAttrs[paRightIndent] = 1630; }},
        {"Normal + 1.5 lines spacing",
         [](TStyle& s) { s.ParAttrs[paLineSpacing] = 360; s.ParAttrs[paSpacingMultiple] = 1; }},
        {"Normal + single line spacing multiple: 1.25",
         [](TStyle& s) { s.ParAttrs[paLineSpacing] = 300; s.ParAttrs[paSpacingMultiple] = 1; }},
        {"Normal + line spacing exactly: 12 pt",
         [](TStyle& s) { s.ParAttrs[paLineSpacing] = -240; s.ParAttrs[paSpacingMultiple] = 0; }},
        {"Normal + line spacing at least: 14.5 pt",
         [](TStyle& s) { s.ParAttrs[paLineSpacing] = 290; s.ParAttrs[paSpacingMultiple] = 0; }},
        {"Normal",  // spacing without its kind says nothing
         [](TStyle& s) { s.ParAttrs[paLineSpacing] = 480; }},
        {"Normal + justified alignment; keep with next paragraph; do not keep intact; page break before; "
         "no widow/orphan control",
         [](TStyle& s) { s.ParAttrs[paAlignment] = 3; s.ParAttrs[paKeepWithNext] = 1; s.ParAttrs[paKeepIntact] = 0;
                         s.ParAttrs[paPageBreakBefore] = 1; s.ParAttrs[paWidowControl] = 0; }},
        {"Normal + spacing before: 6 pt; spacing after: 0 pt; tabs: 0.5\", 1\" centered, 1.5\" bar",
         [tabIndex](TStyle& s) { s.ParAttrs[paSpaceBefore] = 120; s.ParAttrs[paSpaceAfter] = 0;
                                 s.ParAttrs[paTabTable] = tabIndex; }},
        {"Normal + bold\rHotkey: 0x0242", [](TStyle& s) { s.CharAttrs[caBold] = 1; s.HotKey = 0x242; }, true},
        {"Normal + bold", [](TStyle& s) { s.CharAttrs[caBold] = 1; s.HotKey = 0x242; }, false},
        {"font: Times New Roman; font size: 12 pt", [](TStyle&) {}, true, true},
        {"font: Arial; font size: 12 pt", [](TStyle& s) { s.CharAttrs[caFont] = 3; }, true, true},
        {"", [](TStyle&) {}, false, true},
        {"font: Times New Roman; font size: 12 pt\rHotkey: 0x0041", [](TStyle& s) { s.HotKey = 0x41; }, true, true},
    };
    const TTwoFonts fonts;
    const TMeasurementsManager inches(TMeasureUnit::Inches);
    const TStyleDescribeContext context{fonts, inches, TModelDefaults::BuiltIn(0).Char, {}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expect);
        TStyleList list(&tabs);
        test::AddStyles(list, {{"Normal", -1, 0}, {"Quote", c.root ? -1 : 0, 1}});
        c.set(list.Style(1));
        EXPECT_EQ(c.expect, list.Style(1).Describe(c.withHotKey, context));
    }
}

TEST(StyleDescription, KeyTextComesFromTheService) {
    TStyleList list;
    test::AddStyles(list, {{"Normal", -1, 0}, {"Quote", 0, 1}});
    list.Style(1).HotKey = 0x0151;
    const TTwoFonts fonts;
    const TMeasurementsManager cm;
    const TStyleDescribeContext context{fonts, cm, TModelDefaults::BuiltIn().Char,
                                        [](uint16_t key) { return "Ctrl+" + std::string(1, char(key & 0xFF)); }};
    EXPECT_EQ("Normal\rHotkey: Ctrl+Q", list.Style(1).Describe(true, context));
    EXPECT_EQ("0x0151", DefaultKeyText(0x0151));
}

}  // namespace
}  // namespace quillane
