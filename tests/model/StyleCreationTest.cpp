#include <gtest/gtest.h>

#include "model/Document.h"
#include "model/ParFormatingStateClipboard.h"
#include "model/StyleManager.h"
#include "support/RecordingMessageBox.h"
#include "support/StyleLists.h"

namespace quillane {
namespace {

using test::AddStyles;
using test::TRecordingMessageBox;

TEST(StyleCreation, FindOrCreate) {
    constexpr int32_t U = UndefinedAttr;
    struct Case {
        const char* what;
        std::string typed;
        bool required;
        int32_t selectionStyle;
        std::vector<TMessageAnswer> answers;
        int32_t expectIndex;
        bool expectCreated;
        int32_t expectBasedOn, expectNext;
        const char* expectMessage;
    };
    const char* const question =
        "Style with name \"Fresh\" is absent from the Document Style List.||"
        "Add as new Style to the Document Style List using the formatting of the selected text?";
    const Case cases[] = {
        {"display name", "shown", true, 0, {}, 2, false, 0, 0, nullptr},
        {"stored name", "QUOTE", true, 0, {}, 1, false, 0, 0, nullptr},
        {"blank and required", "", true, 0, {}, -1, false, 0, 0, "Style name cannot be blank"},
        {"blank, not required", "", false, 0, {}, -1, false, 0, 0, nullptr},
        {"declined", "Fresh", true, 0, {TMessageAnswer::No}, -1, false, 0, 0, question},
        {"parent repeats itself", "Fresh", true, 0, {TMessageAnswer::Yes}, 4, true, 0, 4, question},
        {"parent with another next style", "Fresh", true, 1, {TMessageAnswer::Yes}, 4, true, 1, 3, question},
        {"undefined selection style", "Fresh", true, U, {TMessageAnswer::Yes}, 4, true, 0, 4, question},
        {"unknown selection style", "Fresh", true, 40, {TMessageAnswer::Yes}, 4, true, -1, 4, question},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TStyleList list;
        AddStyles(list, {{"Normal", -1, 0}, {"Quote", 0, 3}, {"Inner", 0, 2}, {"Body", 0, 3}});
        list.Style(2).DisplayName = "Shown";
        TRecordingMessageBox messages;
        messages.Answers.assign(c.answers.begin(), c.answers.end());
        TStyleRequest request;
        request.TypedName = c.typed;
        request.Required = c.required;
        request.SelectionStyle = c.selectionStyle;
        request.Char.Slots.fill(U);
        request.Char[caBold] = 1;
        request.Par.Slots.fill(U);
        TCreatedStyle created;
        EXPECT_EQ(c.expectIndex, TStyleManager::FindOrCreate(list, request, messages, created));
        EXPECT_EQ(c.expectCreated, created.Created);
        EXPECT_EQ(4, list.StyleCount());  // the document's list is left to the operation
        if (c.expectMessage != nullptr) {
            ASSERT_EQ(1u, messages.Shown.size());
            EXPECT_EQ(c.expectMessage, messages.Shown[0]);
        } else {
            EXPECT_TRUE(messages.Shown.empty());
        }
        if (c.expectCreated) {
            ASSERT_TRUE(created.List);
            const TStyle& made = created.List->Style(created.Index);
            EXPECT_EQ("Fresh", made.DisplayName);
            EXPECT_EQ(c.expectBasedOn, made.BasedOn);
            EXPECT_EQ(c.expectNext, made.NextStyle);
            EXPECT_EQ(1, made.CharAttrs[caBold]);
            EXPECT_EQ(created.Index, made.ParAttrs[paStyle]);
            EXPECT_EQ("Normal", created.List->Style(0).Name);
        }
    }
}

TEST(ParFormatingStateClipboard, CarriesTabStopsBetweenPools) {
    TTabManager from, to;
    TTabTable filler, stops;
    filler.Add(TTabStop::Make(50));
    stops.Add(TTabStop::Make(1234, tkDecimal, tlDots));
    from.Intern(filler);
    TParAttrs attrs = TModelDefaults::BuiltIn().Par;
    attrs[paTabTable] = from.Intern(stops);
    attrs[paStyle] = 3;
    attrs[paAlignment] = 2;

    TParFormatingStateClipboard clipboard;
    EXPECT_FALSE(clipboard.HasContent());
    clipboard.Copy(attrs, from);
    ASSERT_TRUE(clipboard.HasContent());
    const TParAttrs pasted = clipboard.Paste(to);
    EXPECT_EQ(UndefinedAttr, pasted[paStyle]);
    EXPECT_EQ(2, pasted[paAlignment]);
    ASSERT_EQ(0, pasted[paTabTable]);
    EXPECT_EQ(stops, to.Table(0));

    attrs[paTabTable] = -1;
    clipboard.Copy(attrs, from);
    EXPECT_EQ(-1, clipboard.Paste(to)[paTabTable]);
    attrs[paTabTable] = 99;  // a damaged index copies no stops
    clipboard.Copy(attrs, from);
    EXPECT_EQ(-1, clipboard.Paste(to)[paTabTable]);
}

TEST(DocumentStyles, StyleListIsBoundToTheDocumentsTabs) {
    TDocument document;
    EXPECT_EQ(&document.Tabs(), document.Styles().Tabs());
    EXPECT_EQ(&document, document.Styles().Document());
    EXPECT_EQ(DefaultTabInterval, document.Tabs().DefaultInterval());
    const TStyleManager master(1);
    master.ImportMaster(document.Styles());
    ASSERT_EQ(1, document.Styles().StyleCount());
    EXPECT_EQ(1, document.Styles().Style(0).CharAttrs[caFont]);
}

}  // namespace
}  // namespace quillane
