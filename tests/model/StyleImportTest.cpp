#include <gtest/gtest.h>

#include <algorithm>

#include "model/StyleList.h"
#include "model/StyleManager.h"
#include "model/TabManager.h"
#include "support/RecordingMessageBox.h"
#include "support/StyleLists.h"

namespace quillane {
namespace {

using test::AddStyles;
using test::LinksOf;
using test::NamesOf;
using test::TLinks;
using test::TRecordingMessageBox;

TEST(StyleImport, BringsTheWholeBasedOnChain) {
    TStyleList source;
    AddStyles(source, {{"Normal", -1, 0}, {"A", 0, 1}, {"B", 1, 3}, {"C", 0, -1}});
    TStyleList dest;
    AddStyles(dest, {{"Normal", -1, 0}});
    TImportStylesInfo info;
    info.Source = &source;
    info.Indexes = {2};
    TRecordingMessageBox messages;
    ASSERT_TRUE(dest.Import(info, true, messages));
    EXPECT_EQ((std::vector<std::string>{"Normal", "B", "A", "C"}), NamesOf(dest));
    EXPECT_EQ((std::vector<TLinks>{{-1, 0}, {2, 3}, {0, 2}, {0, -1}}), LinksOf(dest));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), info.Added);
    EXPECT_TRUE(info.Replaced.empty());
    EXPECT_TRUE(messages.Shown.empty());  // nothing to replace, nothing asked
    for (int32_t i = 0; i < dest.StyleCount(); ++i) {
        EXPECT_EQ(i, dest.Style(i).ParAttrs[paStyle]);
    }
}

TEST(StyleImport, UnknownStyleNumbersBecomeNone) {
    TStyleList source;
    AddStyles(source, {{"Normal", -1, 0}, {"A", 42, -1}, {"B", -7, 99}});
    TStyleList dest;
    AddStyles(dest, {{"Normal", -1, 0}});
    TImportStylesInfo info;
    info.Source = &source;
    info.Indexes = {1, 2, 12};
    TRecordingMessageBox messages;
    ASSERT_TRUE(dest.Import(info, false, messages));
    EXPECT_EQ((std::vector<TLinks>{{-1, 0}, {-1, -1}, {-1, -1}}), LinksOf(dest));
}

// Destination: Normal, A, B, C not bold; the source's A, B, C are bold and
// stand alone, so that replacing one brings in nothing else.
struct TReplaceFixture {
    TStyleList source, dest;
    TReplaceFixture() {
        AddStyles(source, {{"Normal", -1, 0}, {"A", -1, -1}, {"b", -1, -1}, {"C", -1, -1}});
        AddStyles(dest, {{"Normal", -1, 0}, {"A", 0, 1}, {"B", 0, 2}, {"C", 0, 3}});
        for (int32_t i = 1; i <= 3; ++i) {
            source.Style(i).CharAttrs[caBold] = 1;
            dest.Style(i).CharAttrs[caBold] = 0;
        }
    }
    std::vector<int32_t> Bold() const {
        std::vector<int32_t> bold;
        for (int32_t i = 1; i < dest.StyleCount(); ++i) {
            bold.push_back(dest.Style(i).CharAttrs[caBold]);
        }
        return bold;
    }
};

TEST(StyleImport, ReplaceAnswers) {
    using A = TMessageAnswer;
    struct Case {
        const char* what;
        std::vector<A> answers;
        bool ok;
        size_t questions;
        std::vector<int32_t> replaced;
        std::vector<int32_t> bold;
    };
    const Case cases[] = {
        {"yes to each", {A::Yes, A::Yes, A::Yes}, true, 3, {1, 2, 3}, {1, 1, 1}},
        {"mixed", {A::No, A::Yes, A::No}, true, 3, {2}, {0, 1, 0}},
        {"yes to all", {A::YesToAll}, true, 1, {1, 2, 3}, {1, 1, 1}},
        {"no to all stops replacing", {A::Yes, A::NoToAll}, true, 2, {1}, {1, 0, 0}},
        {"cancel leaves everything", {A::Yes, A::Cancel}, false, 2, {}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TReplaceFixture f;
        TImportStylesInfo info;
        info.Source = &f.source;
        info.Replace = true;
        info.Indexes = {1, 2, 3};
        TRecordingMessageBox messages;
        messages.Answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(c.ok, f.dest.Import(info, true, messages));
        EXPECT_EQ(c.questions, messages.Shown.size());
        EXPECT_EQ(c.replaced, info.Replaced);
        EXPECT_EQ(c.bold, f.Bold());
        EXPECT_EQ(4, f.dest.StyleCount());
    }
    TReplaceFixture f;
    TImportStylesInfo info;
    info.Source = &f.source;
    info.Replace = true;
    info.Indexes = {2};
    TRecordingMessageBox messages;
    f.dest.Import(info, true, messages);
    ASSERT_EQ(1u, messages.Shown.size());
    EXPECT_EQ("Replace Style \"B\" in destination Style List with corresponding Style from source Style List?",
              messages.Shown[0]);
}

TEST(StyleImport, LimitToListedSparesTheParents) {
    TStyleList source, dest;
    AddStyles(source, {{"Normal", -1, 0}, {"A", 0, 1}, {"B", 1, 2}});
    AddStyles(dest, {{"Normal", -1, 0}, {"A", 0, 1}, {"B", 0, 2}});
    source.Style(1).CharAttrs[caBold] = 1;
    source.Style(2).CharAttrs[caItalic] = 1;
    source.Style(0).CharAttrs[caSize] = 40;
    TImportStylesInfo info;
    info.Source = &source;
    info.Replace = true;
    info.LimitToListed = true;
    info.Indexes = {2};
    TRecordingMessageBox messages;
    ASSERT_TRUE(dest.Import(info, false, messages));
    EXPECT_EQ((std::vector<int32_t>{2}), info.Replaced);
    EXPECT_EQ(1, dest.Style(2).CharAttrs[caItalic]);
    EXPECT_EQ(1, dest.Style(2).BasedOn);
    EXPECT_EQ(UndefinedAttr, dest.Style(1).CharAttrs[caBold]);
    EXPECT_EQ(UndefinedAttr, dest.Style(0).CharAttrs[caSize]);
}

TEST(StyleImport, ReplacingCannotCloseALoop) {
    // The destination has B based on A; the source has A based on B. Only A
    // may be replaced, so B keeps its parent and A would be based on B.
    TStyleList source, dest;
    AddStyles(source, {{"Normal", -1, 0}, {"B", 0, 1}, {"A", 1, 2}});
    AddStyles(dest, {{"Normal", -1, 0}, {"A", 0, 1}, {"B", 1, 2}});
    TImportStylesInfo info;
    info.Source = &source;
    info.Replace = true;
    info.LimitToListed = true;
    info.Indexes = {2};
    TRecordingMessageBox messages;
    ASSERT_TRUE(dest.Import(info, false, messages));
    for (const int32_t i : {1, 2}) {
        std::vector<int32_t> ancestors;
        dest.Ancestors(i, ancestors);
        EXPECT_EQ(ancestors.end(), std::find(ancestors.begin(), ancestors.end(), i));
        EXPECT_TRUE(ancestors.empty() || dest.Style(ancestors.back()).BasedOn == -1);
    }
}

TEST(StyleImport, TabTablesMoveBetweenPoolsOnlyWhenTheImportStands) {
    TTabManager sourceTabs, destTabs;
    TTabTable other, wanted;
    other.Add(TTabStop::Make(100));
    wanted.Add(TTabStop::Make(2000, tkRight));
    sourceTabs.Intern(other);
    const int32_t sourceIndex = sourceTabs.Intern(wanted);
    TStyleList source(&sourceTabs), dest(&destTabs);
    AddStyles(source, {{"Normal", -1, 0}, {"A", 0, 1}, {"T", 0, 2}, {"X", 0, 3}});
    AddStyles(dest, {{"Normal", -1, 0}, {"A", 0, 1}});
    source.Style(1).ParAttrs[paTabTable] = sourceIndex;
    source.Style(2).ParAttrs[paTabTable] = sourceIndex;
    source.Style(3).ParAttrs[paTabTable] = 55;  // not in the pool

    TImportStylesInfo info;
    info.Source = &source;
    info.Replace = true;
    info.LimitToListed = true;  // Normal stays as it is
    info.Indexes = {2, 1};
    TRecordingMessageBox messages;
    messages.Answers = {TMessageAnswer::Cancel};
    ASSERT_FALSE(dest.Import(info, true, messages));
    EXPECT_EQ(0, destTabs.TableCount());
    EXPECT_EQ(2, dest.StyleCount());

    info.Indexes = {2, 1, 3};
    messages.Answers = {TMessageAnswer::Yes};
    ASSERT_TRUE(dest.Import(info, true, messages));
    ASSERT_EQ(1, destTabs.TableCount());
    EXPECT_EQ(wanted, destTabs.Table(0));
    EXPECT_EQ(0, dest.Style(1).ParAttrs[paTabTable]);  // A, replaced
    EXPECT_EQ(0, dest.Style(2).ParAttrs[paTabTable]);  // T, added
    EXPECT_EQ(-1, dest.Style(3).ParAttrs[paTabTable]); // X: the unknown table is none
}

TEST(StyleImport, LongChainsNeedNoDeepRecursion) {
    // Each style is based on the one after it: importing the first brings
    // the whole chain in, however long a damaged file makes it.
    constexpr int32_t Count = 4000;
    TStyleList source;
    for (int32_t i = 0; i < Count; ++i) {
        auto style = std::make_unique<TStyle>("S" + std::to_string(i));
        style->BasedOn = i + 1 < Count ? i + 1 : -1;
        style->NextStyle = i;
        source.Add(std::move(style));
    }
    TStyleList dest;
    TImportStylesInfo info;
    info.Source = &source;
    info.Indexes = {0};
    TRecordingMessageBox messages;
    ASSERT_TRUE(dest.Import(info, false, messages));
    ASSERT_EQ(Count, dest.StyleCount());
    EXPECT_EQ(1, dest.Style(0).BasedOn);
    EXPECT_EQ(-1, dest.Style(Count - 1).BasedOn);
    EXPECT_EQ(Count - 1, dest.Style(Count - 1).NextStyle);
}

TEST(StyleManager, MasterListAndImportMaster) {
    const TStyleManager manager(7);
    const TStyleList& master = manager.Master();
    ASSERT_EQ(10, master.StyleCount());
    EXPECT_EQ("Normal", master.Style(0).Name);
    EXPECT_EQ(-1, master.Style(0).BasedOn);
    EXPECT_EQ(0, master.Style(0).NextStyle);
    EXPECT_EQ(7, master.Style(0).CharAttrs[caFont]);
    EXPECT_EQ(20, master.Style(0).CharAttrs[caSize]);
    EXPECT_EQ(UndefinedAttr, master.Style(0).CharAttrs[caBold]);
    EXPECT_EQ("Heading 9", master.Style(9).DisplayName);
    EXPECT_EQ(9, master.Style(9).BuiltInIndex);
    EXPECT_EQ(0, master.Style(9).BasedOn);

    TStyleList empty;
    manager.ImportMaster(empty);
    ASSERT_EQ(1, empty.StyleCount());
    EXPECT_EQ(0, empty.Style(0).NextStyle);
    EXPECT_TRUE(empty.Style(0).BuiltIn);

    TStyleList own;
    AddStyles(own, {{"normal", -1, 0}, {"Mine", 0, 1}});
    own.Style(0).CharAttrs[caSize] = 30;
    manager.ImportMaster(own);
    EXPECT_EQ(2, own.StyleCount());
    EXPECT_EQ(30, own.Style(0).CharAttrs[caSize]);  // nothing replaced
    EXPECT_EQ("Normal", own.Style(0).Name);          // but the names are classified
}

}  // namespace
}  // namespace quillane
