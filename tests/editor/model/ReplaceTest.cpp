#include "editor/model/ErrorTexts.h"
#include "editor/model/ModelFixture.h"
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
    // A selection that ends between CR and LF takes the whole break.
    Select(f.model, 3, 2);
    f.model.Replace("");
    EXPECT_EQ(f.model.Text(), "one22\r\n222\r\nthree");
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
    try {
        f.model.SetUndoMaxLevel(134217728);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Undo set too high");
    }
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

} // namespace
} // namespace lorvane
