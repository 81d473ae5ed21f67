#include "editor/model/ModelFixture.h"
#include "editor/model/TextViews.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::ModelFixture;

TEST(ViewsTest, CountsIgnoreTheEmptyLastParagraph) {
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
}

TEST(ViewsTest, PutBeyondTheEndAppendsParagraphs) {
    ModelFixture f(20);
    f.model.SetText("one\r\ntwo");
    f.model.Paragraphs().Put(5, "six");
    EXPECT_EQ(f.model.Text(), "one\r\ntwo\r\n\r\n\r\n\r\nsix");
    f.model.Paragraphs().Put(0, "ONE!");
    EXPECT_EQ(f.model.Paragraphs().Get(0), "ONE!");
    f.model.Paragraphs().Delete(1);
    f.model.Paragraphs().Insert(1, "new");
    EXPECT_EQ(f.model.Text(), "ONE!\r\nnew\r\n\r\n\r\n\r\nsix");
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
    f.model.Lines().Put(1, "NEXT");
    EXPECT_EQ(f.model.Text(), "first\r\nNEXT\r\nlast");
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

TEST(FindTextTest, ForwardBackwardCaseAndWholeWord) {
    ModelFixture f(40);
    f.model.SetText("Foo bar foo\r\nfoobar FOO");
    EXPECT_TRUE(f.model.FindText("foo", true, true, false));
    EXPECT_EQ(f.model.SelStart(), 11); // caret at the end of the match
    EXPECT_EQ(f.model.SelLength(), -3);
    EXPECT_TRUE(f.model.FindText("foo", true, true, false));
    EXPECT_EQ(f.model.SelStart(), 16);
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

TEST(FindTextTest, CyrillicFoldsOnlyWithTheWindows1251Table) {
    ModelFixture f(40);
    f.model.SetText("\xE0\xE1\xE2 \xC0\xC1\xC2"); // lower then upper letters
    f.model.SetUpperCaseType(rzuAscii);
    EXPECT_TRUE(f.model.FindText("\xE0\xE1\xE2", true, false, false));
    EXPECT_EQ(f.model.SelStart(), 3);
    EXPECT_FALSE(f.model.FindText("\xE0\xE1\xE2", true, false, false));
    f.model.SetSelStart(0);
    f.model.SetUpperCaseType(rzuAnsi);
    EXPECT_TRUE(f.model.FindText("\xC0\xC1\xC2", true, false, false));
    EXPECT_TRUE(f.model.FindText("\xC0\xC1\xC2", true, false, false));
    EXPECT_EQ(f.model.SelStart(), 7);
}

} // namespace
} // namespace lorvane
