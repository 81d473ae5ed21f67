// Editing a model by hand: replace with its hooks, undo, the paragraph and
// display-line views, ranges, moves and search.
#include "editor/model/ModelFixture.h"
#include "editor/model/TextViews.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::ModelFixture;

void Select(RIzuvAzazModel& m, int start, int length) {
    m.SetSelStart(start);
    m.SetSelLength(length);
}

TEST(ReplaceTest, NavigatorsFollowTheEdit) {
    ModelFixture f(40);
    f.model.SetText("one\r\ntwo\r\nthree");
    TNavigator inside(&f.model), after(&f.model), before(&f.model);
    inside.SetPosition(6);
    after.SetPosition(12);
    before.SetPosition(1);
    (void)after.ParagraphIndex();
    Select(f.model, 5, 3);
    f.model.Replace("22\r\n222");
    EXPECT_EQ(f.model.Text(), "one\r\n22\r\n222\r\nthree");
    EXPECT_EQ(inside.Position(), 5);
    EXPECT_EQ(before.Position(), 1);
    EXPECT_EQ(after.Position(), 16);
    EXPECT_EQ(after.ParagraphIndex(), 3);
    EXPECT_EQ(after.CharAt(), 'r');
    f.model.CheckConsistency();
}

TEST(ReplaceTest, AdjacentCodePairsAreRemovedAndUndoneAsOne) {
    ModelFixture f(40);
    f.model.SetText("a\x02"
                    "b");
    f.model.SetSelStart(1);
    f.model.Replace("\x02", ReplaceKind::FormatCommand); // makes a pair 2,2
    EXPECT_EQ(f.model.Text(), "ab");
    EXPECT_EQ(f.model.SelStart(), 1);
    f.model.Undo();
    EXPECT_EQ(f.model.Text(), "a\x02"
                              "b");
    f.model.CheckConsistency();
}

TEST(ReplaceTest, TrailingBlanksAreDroppedWhenDiscarding) {
    ModelFixture f(40);
    f.model.SetOptions(f.model.Options() | rzoDiscardTrailingSpaces);
    f.model.SetText("abc");
    f.model.SetSelStart(3);
    f.model.Replace("  \r\nx  \r\ny  ");
    EXPECT_EQ(f.model.Text(), "abc\r\nx\r\ny");
}

TEST(ReplaceTest, HooksMayChangeTheTextOrDeleteABlockThemselves) {
    ModelFixture f(40);
    f.model.OnBeforeChange = [](std::string& s) { s = "[" + s + "]"; };
    f.model.Replace("q");
    EXPECT_EQ(f.model.Text(), "[q]");
    int parses = 0;
    f.model.OnParse = [&](int a, int b) {
        ++parses;
        EXPECT_EQ(a, 3);
        EXPECT_EQ(b, 6);
    };
    f.model.Replace("r");
    EXPECT_EQ(parses, 1);
    // A block hook that finds no block leaves a deletion to the model; one
    // that deleted its block ends the deletion, but not an insertion.
    f.model.OnBeforeChange = nullptr;
    f.model.OnParse = nullptr;
    bool block = false;
    f.model.BlockReplace = [&](std::string_view&) { return block; };
    Select(f.model, 0, 1);
    f.model.Replace("");
    EXPECT_EQ(f.model.Text(), "q][r]");
    block = true;
    Select(f.model, 0, 1);
    f.model.Replace("");
    EXPECT_EQ(f.model.Text(), "q][r]");
    f.model.Replace("z");
    EXPECT_EQ(f.model.Text(), "z][r]");
}

TEST(UndoTest, SpaceLimitDropsOldRecordsAndOversizedOnes) {
    ModelFixture f(40);
    f.model.SetText(std::string(70000, 'q'));
    f.model.SetSelStart(0);
    f.model.Replace("a");
    EXPECT_EQ(f.model.UndoRecords().Count(), 1);
    f.model.SelectAll();
    f.model.Replace("b");
    EXPECT_EQ(f.model.UndoRecords().Count(), 0);
    EXPECT_FALSE(f.model.CanUndo());

    for (int i = 0; i < 5; ++i) {
        f.model.SetSelStart(0);
        f.model.Replace(std::string(100, 'r'));
    }
    EXPECT_EQ(f.model.UndoRecords().BytesInUse(), 5 * 13);
    f.model.SetUndoMaxSpace(30);
    EXPECT_EQ(f.model.UndoRecords().Count(), 2);
    EXPECT_THROW(f.model.SetUndoMaxLevel(134217728), Error);
    f.model.SetUndoMaxLevel(1);
    EXPECT_EQ(f.model.UndoRecords().Count(), 1);
}

TEST(UndoTest, GroupedRecordsUndoAndRedoAsOneStep) {
    ModelFixture f(40);
    f.model.SetText("hello world");
    // A move by drag and drop: delete "hello ", insert it at the end.
    Select(f.model, 0, 6);
    f.model.Replace("");
    f.model.SetSelStart(5);
    f.model.Replace(" hello");
    f.model.GroupLastUndo();
    EXPECT_EQ(f.model.Text(), "world hello");
    f.model.Undo();
    EXPECT_EQ(f.model.Text(), "hello world");
    EXPECT_FALSE(f.model.CanUndo());
    f.model.Redo();
    EXPECT_EQ(f.model.Text(), "world hello");
    f.model.Undo();
    EXPECT_EQ(f.model.Text(), "hello world");
}

// Put, Insert and Delete within the text are the random oracle's; these are
// the counts and the indexes past the end.
TEST(ViewsTest, CountsIgnoreTheEmptyLastParagraphAndPutsPastTheEndAppend) {
    ModelFixture f(20);
    f.model.SetText("a\r\n");
    EXPECT_EQ(f.model.ParagraphCount(), 2);
    EXPECT_EQ(f.model.Paragraphs().Count(), 1);
    EXPECT_EQ(f.model.Lines().Count(), 1);
    f.model.Paragraphs().Add("b");
    EXPECT_EQ(f.model.Text(), "a\r\nb\r\n");
    f.model.SetText("a");
    EXPECT_EQ(f.model.Paragraphs().Add("b"), 1);
    EXPECT_EQ(f.model.Text(), "a\r\nb");
    EXPECT_THROW(f.model.Paragraphs().Get(5), Error);
    EXPECT_EQ(f.model.Lines().Get(5), "");
    f.model.Paragraphs().Put(5, "six");
    EXPECT_EQ(f.model.Text(), "a\r\nb\r\n\r\n\r\n\r\nsix");
    f.model.Paragraphs().Insert(99, "end");
    EXPECT_EQ(f.model.Paragraphs().Get(6), "end");
    f.model.CheckConsistency();
}

TEST(ViewsTest, SetParagraphKeepsTheCaretInItsText) {
    ModelFixture f(20);
    f.model.SetText("aa\r\nbb\r\ncc");
    f.model.SetSelStart(9); // in "cc"
    f.model.SetSelLength(-1);
    f.model.SetParagraph(0, "aaaa");
    EXPECT_EQ(f.model.SelStart(), 11);
    EXPECT_EQ(f.model.SelLength(), -1);
}

TEST(ViewsTest, DisplayLinesIncludeTheirBlanksAndDeleteBreaksAtParagraphEnds) {
    ModelFixture f(10);
    f.model.SetText("aaaa bbbb  cccc\r\nnext");
    EXPECT_EQ(f.model.Lines().Count(), 3);
    EXPECT_EQ(f.model.Lines().Get(0), "aaaa bbbb  ");
    EXPECT_EQ(f.model.Lines().Get(1), "cccc");
    f.model.Lines().Delete(0); // an inner line: the paragraph stays joined
    EXPECT_EQ(f.model.Text(), "cccc\r\nnext");
    f.model.Lines().Delete(0); // the last line of its paragraph takes the break
    EXPECT_EQ(f.model.Text(), "next");
    f.model.Lines().Insert(0, "first");
    f.model.Lines().Insert(f.model.LineCount(), "last");
    EXPECT_EQ(f.model.Text(), "first\r\nnext\r\nlast");
    f.model.Lines().Put(7, "ignored");
    EXPECT_EQ(f.model.Lines().Add("z"), 3);
    EXPECT_EQ(f.model.SelStart(), f.model.TextLength());
}

TEST(ViewsTest, RangesAndMoves) {
    ModelFixture f(10);
    f.model.SetText("aaaa bbbb cccc\r\nxy");
    EXPECT_EQ(f.model.GetTextRange(-5, 100), f.model.Text());
    EXPECT_EQ(f.model.GetTextRange(14, 17), "\r\nx");
    EXPECT_EQ(f.model.GetTextRange(5, 5), "");
    f.model.GoToParagraph(7);
    EXPECT_EQ(f.model.SelStart(), 16);
    f.model.GoToDisplayLine(1);
    EXPECT_EQ(f.model.SelStart(), 10);
    EXPECT_EQ(f.model.CaretLine(), 1);
    f.model.Lines().Assign({"x", "y"});
    EXPECT_EQ(f.model.Text(), "x\r\ny\r\n");
}

// Forward searches with and without case are the random oracle's; these
// are the whole-word and backward ones.
TEST(FindTextTest, WholeWordsBackwardAndNoMatch) {
    ModelFixture f(40);
    f.model.SetText("Foo bar foo\r\nfoobar FOO");
    EXPECT_TRUE(f.model.FindText("foo", true, true, false));
    EXPECT_EQ(f.model.SelStart(), 11); // caret at the end of the match
    EXPECT_EQ(f.model.SelLength(), -3);
    EXPECT_TRUE(f.model.FindText("foo", true, false, true)); // "FOO", whole word
    EXPECT_EQ(f.model.SelStart(), 23);
    EXPECT_FALSE(f.model.FindText("foo", true, false, false));
    EXPECT_EQ(f.model.SelStart(), 23); // unchanged without a match

    f.model.SetSelStart(11); // after "foo" in paragraph 0
    EXPECT_TRUE(f.model.FindText("o", false, true, false));
    EXPECT_EQ(f.model.SelStart(), 10); // the closest one before the caret
    EXPECT_EQ(f.model.SelLength(), 1);
    f.model.SetSelStart(f.model.TextLength());
    EXPECT_TRUE(f.model.FindText("foo", false, true, true));
    EXPECT_EQ(f.model.SelStart(), 8); // "foobar" is not a whole word
}

} // namespace
} // namespace lorvane
