// Typing, deleting and their undo, on small documents whose states are
// checked position by position.

#include <gtest/gtest.h>

#include "editing/EditFixture.h"
#include "editing/EditFlags.h"
#include "editing/TextAccess.h"
#include "model/TextStream.h"

namespace quillane::test {
namespace {

TCharAttrs Request(int slot, int32_t value) {
    TCharAttrs attrs;
    attrs.Slots.fill(UndefinedAttr);
    attrs[slot] = value;
    return attrs;
}

void Type(TEditFixture& f, const std::string& text) {
    TTypeRequest request;
    request.Text = text;
    f.Editor().PerformEditAction(14, request);
}

void Delete(TEditFixture& f, TTextPosition a, TTextPosition b, int flags = 0) {
    f.Editor().PerformEditAction(17, TDeleteRequest{a, b, flags});
}

TEST(TextEditing, TypingGroupsWordsAndUndoGoesBackWordByWord) {
    TEditFixture f;
    f.SetParagraphs({""});
    for (const char c : std::string("abc def")) {
        Type(f, std::string(1, c));
    }
    EXPECT_EQ(f.Text(0), "abc def");
    EXPECT_EQ(f.Manager().Count(), 7);
    f.Manager().Undo();
    EXPECT_EQ(f.Text(0), "abc");
    f.Manager().Undo();
    EXPECT_EQ(f.Text(0), "");
    EXPECT_FALSE(f.Document().Modified());
    f.Manager().Redo();
    EXPECT_EQ(f.Text(0), "abc ");
    f.Manager().Redo();
    EXPECT_EQ(f.Text(0), "abc def");
    EXPECT_EQ(CheckStructure(f.Document()), "");
}

TEST(TextEditing, WithoutGroupingEveryCharacterIsItsOwnStep) {
    TEditFixture f;
    f.Manager().Options.GroupUndo = false;
    f.SetParagraphs({""});
    for (const char c : std::string("abc def")) {
        Type(f, std::string(1, c));
    }
    for (int i = 0; i < 3; ++i) {
        f.Manager().Undo();
    }
    EXPECT_EQ(f.Text(0), "abc ");
}

TEST(TextEditing, TypingInTwoParagraphsNeverGroups) {
    TEditFixture f;
    f.SetParagraphs({"x", "y"});
    f.Caret(0, 1);
    Type(f, "a");
    f.Caret(1, 1);
    Type(f, "b");
    f.Manager().Undo();
    EXPECT_EQ(f.Text(0), "xa");
    EXPECT_EQ(f.Text(1), "y");
}

TEST(TextEditing, ModifiedFollowsTheSavedPosition) {
    TEditFixture f;
    f.SetParagraphs({"abc"});
    f.Caret(0, 3);
    Type(f, "x");
    f.Manager().MarkSaved();
    EXPECT_FALSE(f.Document().Modified());
    f.Manager().Undo();
    EXPECT_TRUE(f.Document().Modified());
    f.Manager().Redo();
    EXPECT_FALSE(f.Document().Modified());
    f.Manager().Undo();
    f.Caret(0, 0);
    Type(f, "y");  // the saved state leaves the history for good
    f.Manager().Undo();
    EXPECT_TRUE(f.Document().Modified());
    EXPECT_EQ(f.Text(0), "abc");
}

TEST(TextEditing, DeletingAcrossParagraphsKeepsTheFirstFormatAndUndoRestoresAll) {
    TEditFixture f;
    f.SetParagraphs({"Title", "middle", "Body text"});
    TParAttrs centred = f.Document().Paragraph(0).Attributes;
    centred[paAlignment] = 1;
    f.Document().Paragraph(0).Attributes = centred;
    f.Document().Paragraph(1).Attributes[paLeftIndent] = 360;
    const std::string before = CanonicalState(f.Document());
    Delete(f, {0, 2}, {2, 3});
    ASSERT_EQ(f.Document().ParagraphCount(), 1);
    EXPECT_EQ(f.Text(0), "Tiy text");
    EXPECT_EQ(f.Document().Paragraph(0).Attributes[paAlignment], 1);
    EXPECT_EQ(CheckStructure(f.Document()), "");
    f.Manager().Undo();
    EXPECT_EQ(CanonicalState(f.Document()), before);
}

// The state at the join is that of the last kept character, not of the
// first deleted one: text after the range keeps its own attributes.
TEST(TextEditing, JoiningParagraphsKeepsTheAttributesOfTheTextAfterTheRange) {
    TEditFixture f;
    f.SetParagraphs({"abcd", "ef"});
    TParagraph& p0 = f.Document().Paragraph(0);
    // ab<bold>cd, <bold>ef
    p0.Text.InsertTag(2, caBold, 1);
    f.Document().Paragraph(1).Text.InsertTag(0, caBold, 1);
    const auto efBefore = PositionAttrs(f.Document().Paragraph(1));
    Delete(f, {0, 2}, {1, 1});
    EXPECT_EQ(f.Text(0), "abf");
    EXPECT_EQ(AttrsOfItem(f.Document().Paragraph(0), 2), efBefore[1]);
    EXPECT_EQ(AttrsOfItem(f.Document().Paragraph(0), 1)[caBold], 0);
}

TEST(TextEditing, DeletingInsideAParagraphKeepsTheFollowingAttributes) {
    TEditFixture f;
    f.SetParagraphs({"aXYZ"});
    TParagraph& p = f.Document().Paragraph(0);
    p.Text.InsertTag(1, caBold, 1);  // a<b1>X...
    p.Text.InsertTag(10, caBold, 0);  // a<b1>X<b0>YZ
    Delete(f, {0, 1}, {0, 3});
    EXPECT_EQ(f.Text(0), "aZ");
    EXPECT_EQ(AttrsOfItem(f.Document().Paragraph(0), 1)[caBold], 0);
}

TEST(TextEditing, WholeTrailingParagraphsGoAndComeBackWithTheirPages) {
    TEditFixture f;
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        texts.push_back("paragraph number " + std::to_string(i) + " with some words to fill a line or two");
    }
    f.SetParagraphs(texts);
    f.PaginateAll();
    const int32_t pages = f.Document().PageCount();
    ASSERT_GT(pages, 3);
    const std::string before = CanonicalState(f.Document());
    f.Select(40, 0, 299, static_cast<int32_t>(texts[299].size()));
    Delete(f, {40, 0}, {299, static_cast<int32_t>(texts[299].size())}, drWholeTrailingParagraphs);
    EXPECT_EQ(f.Document().ParagraphCount(), 40);
    EXPECT_EQ(CheckStructure(f.Document()), "");
    f.PaginateAll();
    EXPECT_LT(f.Document().PageCount(), pages);
    EXPECT_EQ(CompareWithFreshLayout(f.Document()), "");
    f.Manager().Undo();
    EXPECT_EQ(CanonicalState(f.Document()), before);
    EXPECT_EQ(CheckStructure(f.Document()), "");
    f.PaginateAll();
    EXPECT_EQ(f.Document().PageCount(), pages);
    EXPECT_EQ(CompareWithFreshLayout(f.Document()), "");
}

TEST(TextEditing, TheFinalParagraphMarkIsNeverDeleted) {
    TEditFixture f;
    f.SetParagraphs({"one", "two"});
    Delete(f, {0, 0}, {1, 4});
    EXPECT_EQ(f.Document().ParagraphCount(), 1);
    EXPECT_EQ(f.Text(0), "");
    EXPECT_EQ(CheckStructure(f.Document()), "");
}

TEST(TextEditing, LineBreaksOfPastedTextCountOnce) {
    TEditFixture f;
    f.SetParagraphs({""});
    Type(f, "a\r\nb\n\rc\rd\ne");
    ASSERT_EQ(f.Document().ParagraphCount(), 5);
    EXPECT_EQ(f.Text(4), "e");
    f.Manager().Undo();
    EXPECT_EQ(f.Document().ParagraphCount(), 1);
}

TEST(TextEditing, OverwriteReplacesButNeverTheMark) {
    TEditFixture f;
    f.Manager().Options.Overwrite = true;
    f.SetParagraphs({"abc"});
    f.Caret(0, 3);
    Type(f, "x");
    EXPECT_EQ(f.Text(0), "abcx");
    f.Caret(0, 0);
    Type(f, "Z");
    EXPECT_EQ(f.Text(0), "Zbcx");
    f.Manager().Undo();
    EXPECT_EQ(f.Text(0), "abcx");
}

TEST(TextEditing, EnterOnAnEmptyBulletedParagraphEndsTheList) {
    TEditFixture f;
    f.SetParagraphs({"item"});
    f.Document().Paragraph(0).Attributes[paBullet] = 1;
    f.Caret(0, 4);
    Type(f, "\r");
    Type(f, "\r");
    ASSERT_EQ(f.Document().ParagraphCount(), 3);
    EXPECT_EQ(f.Document().Paragraph(0).Attributes[paBullet], 1);
    EXPECT_EQ(f.Document().Paragraph(1).Attributes[paBullet], 0);
    EXPECT_EQ(f.Document().Paragraph(2).Attributes[paBullet], 0);
}

TEST(TextEditing, TypedTextTakesTheInputAttributesAndTheTextAfterKeepsItsOwn) {
    TEditFixture f;
    f.SetParagraphs({"abcd"});
    f.Caret(0, 2);
    f.Editor().PerformEditAction(2, TCharFormatRequest{Request(caItalic, 1), 0});  // no selection: the word
    // FmtWithoutSel made "abcd" italic (the caret is inside the word).
    EXPECT_EQ(AttrsOfItem(f.Document().Paragraph(0), 0)[caItalic], 1);
    f.Manager().Undo();
    f.Manager().Options.FmtWithoutSel = false;
    f.Caret(0, 2);
    f.Editor().PerformEditAction(2, TCharFormatRequest{Request(caBold, 1), 0});
    EXPECT_EQ(f.Manager().Count(), 1);  // only the input attributes changed
    Type(f, "X");
    const TParagraph& p = f.Document().Paragraph(0);
    EXPECT_EQ(f.Text(0), "abXcd");
    EXPECT_EQ(AttrsOfItem(p, 2)[caBold], 1);
    EXPECT_EQ(AttrsOfItem(p, 3)[caBold], 0);
    EXPECT_EQ(AttrsOfItem(p, 1)[caBold], 0);
}

TEST(TextEditing, AHistoryOverItsBoundForgetsTheOldestSteps) {
    TEditFixture f(2048);
    f.Manager().Options.GroupUndo = false;
    f.SetParagraphs({""});
    for (int i = 0; i < 200; ++i) {
        Type(f, "w");
    }
    EXPECT_LT(f.Manager().Count(), 200);
    EXPECT_LE(f.Manager().MemoryUsed(), 2048);
    EXPECT_EQ(CheckStructure(f.Document()), "");
    f.Manager().UndoAll();
    EXPECT_EQ(static_cast<int>(f.Text(0).size()), 200 - f.Manager().Count());
    EXPECT_TRUE(f.Document().Modified());  // the saved state was forgotten
    // One operation larger than the bound is kept alone: a deletion holds
    // its text (an insertion leaves it in the document).
    f.Manager().RedoAll();
    Type(f, std::string(5000, 'z'));
    Delete(f, {0, 0}, {0, 5200});
    EXPECT_EQ(f.Manager().Count(), 1);
    EXPECT_GT(f.Manager().MemoryUsed(), 2048);
    f.Manager().Undo();
    EXPECT_EQ(static_cast<int>(f.Text(0).size()), 5200);
}

TEST(TextEditing, EditingKeepsTheFlagStackBalanced) {
    TEditFixture f;
    f.SetParagraphs({"abc", "def"});
    const int depth = f.Document().Flags.StackDepth();
    Type(f, "x");
    Delete(f, {0, 1}, {1, 1});
    f.Editor().PerformEditAction(4, TStepRequest{caSize, 2000});
    f.Manager().Undo();
    f.Manager().Redo();
    f.Manager().UndoAll();
    EXPECT_EQ(f.Document().Flags.StackDepth(), depth);
    EXPECT_FALSE(f.Document().Flags.Test(dsUndoRedo));
    EXPECT_FALSE(f.Document().Flags.Test(dsPerformingEdit));
}

}  // namespace
}  // namespace quillane::test
