#include "model/StyleList.h"

#include <gtest/gtest.h>

#include "model/BuiltInStyles.h"
#include "model/StyleResolve.h"
#include "support/StyleLists.h"

namespace quillane {
namespace {

using test::AddStyles;
using test::LinksOf;
using test::TLinks;

TEST(BuiltInStyles, NamesAndClasses) {
    struct Case {
        int32_t index;
        const char* name;
        bool lowerCase;
        bool heading;
    };
    const Case cases[] = {
        {0, "Normal", false, false},       {1, "Heading 1", true, true},
        {9, "Heading 9", true, true},      {10, "Index 1", true, false},
        {27, "TOC 9", true, false},        {28, "Normal Indent", false, false},
        {44, "Table of Authorities", true, false}, {45, "Macro Text", false, false},
        {46, "TOA Heading", true, false},  {47, "List", false, false},
        {65, "Default Paragraph Font", false, false}, {91, "TOC Title", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_STREQ(c.name, BuiltInStyleName(c.index));
        EXPECT_EQ(c.lowerCase, BuiltInNameWrittenInLowerCase(c.index));
        EXPECT_EQ(c.heading, IsHeadingStyle(c.index));
        EXPECT_EQ(c.index, FindBuiltInStyle(c.name));
    }
    EXPECT_EQ(3, FindBuiltInStyle("heading 3"));
    EXPECT_EQ(-1, FindBuiltInStyle("Heading 10"));
    EXPECT_STREQ("", BuiltInStyleName(BuiltInStyleCount));
}

TEST(BuiltInStyles, ClassifyTakesTheTableSpelling) {
    TStyleList list;
    AddStyles(list, {{"NORMAL", -1, 0}, {"heading 2", 0, 0}, {"My Style", 0, 0}});
    list.Style(2).BuiltIn = true;  // stale flag from an earlier name
    ClassifyStyleNames(list);
    EXPECT_TRUE(list.Style(0).BuiltIn);
    EXPECT_EQ("Normal", list.Style(0).Name);
    EXPECT_EQ(2, list.Style(1).BuiltInIndex);
    EXPECT_EQ("Heading 2", list.Style(1).DisplayName);
    EXPECT_FALSE(list.Style(2).BuiltIn);
    EXPECT_EQ(-1, list.Style(2).BuiltInIndex);
    EXPECT_EQ("My Style", list.Style(2).DisplayName);
}

TEST(StyleList, NewStylesAndAdd) {
    TStyleList list;
    AddStyles(list, {{"Normal", -1, 0}});
    TStyle& added = list.Add(std::make_unique<TStyle>("Quote"));
    EXPECT_EQ(&list, added.Owner());
    EXPECT_EQ(1, added.ParAttrs[paStyle]);
    EXPECT_EQ(0, added.BasedOn);
    EXPECT_EQ(-1, added.NextStyle);
    EXPECT_EQ(UndefinedAttr, added.CharAttrs[caFont]);
    EXPECT_EQ(UndefinedAttr, added.ParAttrs[paTabTable]);
}

TEST(StyleList, DeleteReparentsAndRenumbers) {
    struct Case {
        const char* what;
        std::vector<TLinks> before;
        int32_t deleted;
        std::vector<TLinks> after;
    };
    const Case cases[] = {
        {"children of 3 move to its parent, indexes above 3 move down",
         {{-1, 0}, {0, 1}, {0, 0}, {1, 3}, {3, 5}, {3, 3}}, 3,
         {{-1, 0}, {0, 1}, {0, 0}, {1, 4}, {1, 0}}},
        {"a parent stored after the deleted style is renumbered for its new children",
         {{-1, 0}, {3, 1}, {1, 2}, {0, 3}}, 1,
         {{-1, 0}, {2, 1}, {0, 2}}},
        {"deleting Normal points next links at the style itself",
         {{-1, 0}, {0, 0}, {1, 2}}, 0,
         {{-1, 0}, {0, 1}}},
        {"a style based on itself leaves its children without a parent",
         {{-1, 0}, {1, 1}, {1, 2}}, 1,
         {{-1, 0}, {-1, 1}}},
        {"an unknown index is ignored", {{-1, 0}, {0, 1}}, 5, {{-1, 0}, {0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TStyleList list;
        for (const TLinks& links : c.before) {
            auto style = std::make_unique<TStyle>("S" + std::to_string(list.StyleCount()));
            style->BasedOn = links.BasedOn;
            style->NextStyle = links.Next;
            list.Add(std::move(style));
        }
        list.Delete(c.deleted);
        EXPECT_EQ(c.after, LinksOf(list));
        for (int32_t i = 0; i < list.StyleCount(); ++i) {
            EXPECT_EQ(i, list.Style(i).ParAttrs[paStyle]);
        }
    }
}

TEST(StyleList, LookupsSearchFromTheEnd) {
    TStyleList list;
    AddStyles(list, {{"Normal", -1, 0}, {"Quote", 0, 1}, {"quote", 0, 2}});
    list.Style(2).DisplayName = "Shown";
    list.Style(1).HotKey = 0x141;
    list.Style(2).HotKey = 0x141;
    EXPECT_EQ(2, list.FindByName("QUOTE"));
    EXPECT_EQ(-1, list.FindByName("Quote 2"));
    EXPECT_EQ(2, list.FindByDisplayName("shown"));
    EXPECT_EQ(1, list.FindByDisplayName("Quote"));
    EXPECT_EQ(2, list.FindByHotKey(0x141));
    EXPECT_TRUE(list.HotKeyUsed(0x141));
    EXPECT_FALSE(list.HotKeyUsed(0));  // every style without a key has 0
    const auto names = list.FillNames();
    ASSERT_EQ(3u, names.size());
    EXPECT_EQ("Shown", names[2].first);
    EXPECT_EQ(2, names[2].second);
}

TEST(StyleList, ChildrenAndAncestorsStopOnLoops) {
    TStyleList list;
    // 4 and 5 are based on each other, as a damaged file may say.
    AddStyles(list, {{"Normal", -1, 0}, {"A", 0, 0}, {"B", 1, 0}, {"C", 2, 0}, {"D", 5, 0}, {"E", 4, 0}});
    std::vector<int32_t> result;
    list.Children(1, false, result);
    EXPECT_EQ((std::vector<int32_t>{2}), result);
    result.clear();
    list.Children(0, true, result);
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), result);
    result.clear();
    list.Ancestors(3, result);
    EXPECT_EQ((std::vector<int32_t>{2, 1, 0}), result);
    result.clear();
    list.Ancestors(4, result);
    EXPECT_EQ((std::vector<int32_t>{5}), result);
    result.clear();
    list.Children(4, true, result);
    EXPECT_EQ((std::vector<int32_t>{5}), result);
}

TEST(StyleList, RepairLinksCutsLoopsAndUnknownIndexes) {
    TStyleList list;
    AddStyles(list, {{"Normal", 0, 0}, {"A", 3, 9}, {"B", 1, -1}, {"C", 2, 1}, {"D", 77, -5}});
    list.RepairLinks();
    // The walk from A meets A again through C and B: B's link closes the loop.
    EXPECT_EQ((std::vector<TLinks>{{-1, 0}, {3, -1}, {-1, -1}, {2, 1}, {-1, -1}}), LinksOf(list));
}

TEST(StyleResolve, MergeIndentsKeepsTheHangingEdge) {
    constexpr int32_t U = UndefinedAttr;
    struct Case {
        int32_t f, l, childF, childL, expectF, expectL;
    };
    const Case cases[] = {
        {100, 200, -360, 720, -360, 720},  // the child sets both
        {U, U, U, 720, U, 720},            // nothing to merge with
        {-360, 720, U, 1440, -360, 1800},  // a new left edge under a hanging first line
        {360, 720, U, 1440, 360, 1440},
        {-360, 720, 200, U, 200, 360},     // the hang is given up
        {0, 720, -360, U, -360, 1080},     // a new hang keeps the edge
        {U, 720, -360, U, -360, 1080},
        {-360, 720, U, U, -360, 720},      // nothing set by the child
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.f << "," << c.l << " + " << c.childF << "," << c.childL);
        TParAttrs result, child;
        result.Slots.fill(U);
        child.Slots.fill(U);
        result[paFirstIndent] = c.f;
        result[paLeftIndent] = c.l;
        child[paFirstIndent] = c.childF;
        child[paLeftIndent] = c.childL;
        MergeIndents(result, child);
        EXPECT_EQ(c.expectF, result[paFirstIndent]);
        EXPECT_EQ(c.expectL, result[paLeftIndent]);
    }
}

TEST(StyleResolve, ChainFromRootDown) {
    const TModelDefaults defaults = TModelDefaults::BuiltIn(3);
    TStyleList list;
    AddStyles(list, {{"Normal", -1, 0}, {"Heading 1", 0, 0}, {"Sub", 1, 2}});
    list.Style(0).CharAttrs[caSize] = 20;
    list.Style(0).CharAttrs[caLanguage] = 1033;
    list.Style(0).CharAttrs[caHighlight] = 4;
    list.Style(0).ParAttrs[paBullet] = 1;
    list.Style(1).CharAttrs[caBold] = 1;
    list.Style(1).CharAttrs[caSize] = 32;
    list.Style(1).ParAttrs[paSpaceBefore] = 240;
    list.Style(2).CharAttrs[caSize] = 28;
    list.Style(2).ParAttrs[paLeftIndent] = 720;

    struct Case {
        int32_t flags;
        int32_t font, language, highlight, bullet, widow, spacing;
    };
    constexpr int32_t U = UndefinedAttr;
    const Case cases[] = {
        {0, 3, U, 4, 1, 0, 240},
        {rfKeepLanguage, 3, 1033, 4, 1, 0, 240},
        {rfUndefinedBase, U, U, U, U, U, U},
        {rfUndefinedBase | rfKeepLanguage, U, 1033, U, U, U, U},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const TResolvedStyle r = ResolveStyle(list.Style(2), c.flags, defaults);
        EXPECT_EQ(28, r.Char[caSize]);
        EXPECT_EQ(1, r.Char[caBold]);
        EXPECT_EQ(240, r.Par[paSpaceBefore]);
        EXPECT_EQ(720, r.Par[paLeftIndent]);
        EXPECT_EQ(2, r.Par[paStyle]);
        EXPECT_EQ(c.font, r.Char[caFont]);
        EXPECT_EQ(c.language, r.Char[caLanguage]);
        EXPECT_EQ(c.highlight, r.Char[caHighlight]);
        EXPECT_EQ(c.bullet, r.Par[paBullet]);
        EXPECT_EQ(c.widow, r.Par[paWidowControl]);
        EXPECT_EQ(c.spacing, r.Par[paLineSpacing]);
    }
}

TEST(StyleResolve, LoopingChainEnds) {
    TStyleList list;
    AddStyles(list, {{"Normal", -1, 0}, {"A", 2, 0}, {"B", 1, 0}});
    list.Style(1).CharAttrs[caBold] = 1;
    list.Style(2).CharAttrs[caBold] = 0;
    list.Style(2).CharAttrs[caItalic] = 1;
    const TResolvedStyle r = ResolveStyle(list.Style(1), 0, TModelDefaults::BuiltIn());
    EXPECT_EQ(1, r.Char[caBold]);    // the style itself wins
    EXPECT_EQ(1, r.Char[caItalic]);  // from the parent, visited once
    // A style outside any list resolves on its own.
    TStyle loose("Loose");
    loose.CharAttrs[caSize] = 40;
    EXPECT_EQ(40, ResolveStyle(loose, 0, TModelDefaults::BuiltIn()).Char[caSize]);
}

}  // namespace
}  // namespace quillane
