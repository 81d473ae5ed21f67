// Key rules on the model with a fixed-cell stand-in for the control.
#include "editor/view/KeyboardTarget.h"

#include <gtest/gtest.h>

#include <string>

namespace lorvane::test {
namespace {

struct Keys {
    explicit Keys(std::string_view text, RIzuvAzazOptions options = 0) {
        t.model.SetText(text);
        t.model.SetOptions(options);
        t.model.ClearUndo();
    }
    void Press(std::uint16_t key, TShiftState shift = 0) {
        std::uint16_t k = key;
        kb.KeyDown(k, shift);
        if (k == vk::Return) kb.KeyPress(13);
        std::uint16_t up = key;
        kb.KeyUp(up, shift);
    }
    // Types text as a person would: CR is Enter, TAB the Tab key, BS Backspace.
    void Type(std::string_view text) {
        for (const char c : text) {
            if (c == '\r')
                Press(vk::Return);
            else if (c == '\t')
                Press(vk::Tab);
            else if (c == '\b')
                Press(vk::Back);
            else
                kb.KeyPress(static_cast<unsigned char>(c));
        }
    }
    std::string Text() { return t.model.Text(); }
    std::int32_t Pos() { return t.model.SelStart(); }

    FakeTarget t;
    TKeyboard kb{t};
};

TEST(Keyboard, RightAtParagraphEndEntersVirtualSpaceOrWraps) {
    Keys k("ab\r\ncd", rzoKeepColumnPos);
    k.t.Caret(2);
    k.Press(vk::Right);
    k.Press(vk::Right);
    EXPECT_EQ(k.Pos(), 2);
    EXPECT_EQ(k.t.virtualSpaces, 2);
    // Typing there pads with spaces only when asked to.
    k.t.model.SetOptions(rzoKeepColumnPos | rzoPutExtraSpaces);
    k.Type("x");
    EXPECT_EQ(k.Text(), "ab  x\r\ncd");

    Keys w("ab\r\ncd", rzoKeepColumnPos | rzoWrapCaret);
    w.t.Caret(2);
    w.Press(vk::Right);
    EXPECT_EQ(w.Pos(), 4);
    EXPECT_EQ(w.t.virtualSpaces, 0);
    w.Press(vk::Right);
    w.Press(vk::Right);
    w.Press(vk::Right); // end of text: nothing
    EXPECT_EQ(w.Pos(), 6);
}

TEST(Keyboard, LeftAndCtrlLeftAtParagraphStart) {
    for (const RIzuvAzazOptions o : {RIzuvAzazOptions(0), RIzuvAzazOptions(rzoWrapCaret)}) {
        Keys k("abc\r\ndef", o);
        k.t.Caret(5);
        k.Press(vk::Left);
        EXPECT_EQ(k.Pos(), 3);
    }
    Keys c("one two\r\nthree", 0);
    c.t.Caret(9);
    c.Press(vk::Left, ssCtrl);
    EXPECT_EQ(c.Pos(), 7) << "stops on the CR of the previous paragraph";
    c.Press(vk::Left, ssCtrl);
    EXPECT_EQ(c.Pos(), 4);
    c.Press(vk::Left, ssCtrl);
    EXPECT_EQ(c.Pos(), 0);
    c.Press(vk::Right, ssCtrl);
    EXPECT_EQ(c.Pos(), 4);
    c.Press(vk::Right, ssCtrl);
    EXPECT_EQ(c.Pos(), 7);
    c.Press(vk::Right, ssCtrl);
    EXPECT_EQ(c.Pos(), 9) << "from the CR over the line break";
}

TEST(Keyboard, LeftAndRightPassOverCodes) {
    Keys k("a\x02\x02"
           "b",
           0);
    k.t.Caret(1);
    k.Press(vk::Right);
    EXPECT_EQ(k.Pos(), 4);
    k.Press(vk::Left);
    EXPECT_EQ(k.Pos(), 3);
    k.Press(vk::Left);
    EXPECT_EQ(k.Pos(), 0) << "positions between codes look the same: all are passed";
    k.t.passOverCodes = false;
    k.t.Caret(1);
    k.Press(vk::Right);
    EXPECT_EQ(k.Pos(), 2);
}

TEST(Keyboard, VerticalMovesKeepTheRememberedColumn) {
    Keys k("abcdefgh\r\nab\r\nabcdefgh", rzoKeepColumnPos);
    k.t.Caret(6);
    k.Press(vk::Down);
    EXPECT_EQ(k.Pos(), 12);
    EXPECT_EQ(k.t.virtualSpaces, 4) << "caret keeps its screen column beyond the short line";
    k.Press(vk::Down);
    EXPECT_EQ(k.Pos(), 20);
    EXPECT_EQ(k.t.virtualSpaces, 0);
    k.Press(vk::Up);
    k.Press(vk::Up);
    EXPECT_EQ(k.Pos(), 6);
    k.Press(vk::Up);
    EXPECT_EQ(k.Pos(), 6) << "Up on the first line does not move";

    Keys n("abcdefgh\r\nab\r\nabcdefgh", 0);
    n.t.Caret(6);
    n.Press(vk::Down);
    EXPECT_EQ(n.Pos(), 12);
    EXPECT_EQ(n.t.virtualSpaces, 0);
    n.Press(vk::Down);
    EXPECT_EQ(n.Pos(), 20) << "the column survives the short line";
    n.Press(vk::Down);
    EXPECT_EQ(n.Pos(), 20) << "Down on the last line does not move";
    n.Press(vk::Up, ssShift);
    EXPECT_EQ(n.Pos(), 12);
    EXPECT_EQ(n.t.model.SelLength(), 8);
    n.Press(vk::Home, ssShift);
    EXPECT_EQ(n.Pos(), 10);
    EXPECT_EQ(n.t.model.SelLength(), 10);
    n.Press(vk::End);
    EXPECT_EQ(n.Pos(), 12);
    EXPECT_EQ(n.t.model.SelLength(), 0);
}

TEST(Keyboard, PageKeysMoveByTheVisibleLines) {
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Keys k(text, 0);
    k.t.Caret(2);
    const int visible = k.t.VisibleLines();
    k.Press(vk::Next);
    EXPECT_EQ(k.t.model.CaretLine(), visible - 1);
    EXPECT_EQ(k.t.model.Caret().Column(), 2);
    k.Press(vk::Next, ssCtrl | ssShift);
    EXPECT_EQ(k.t.model.CaretLine(), 2 * (visible - 1));
    EXPECT_NE(k.t.model.SelLength(), 0);
    k.Press(vk::End, ssCtrl);
    EXPECT_EQ(k.Pos(), k.t.model.TextLength());
    k.Press(vk::Prior);
    EXPECT_EQ(k.t.model.CaretLine(), 50 - visible + 1);
    k.Press(vk::Home, ssCtrl);
    EXPECT_EQ(k.Pos(), 0);
}

TEST(Keyboard, DeleteVariants) {
    Keys k("abc\r\ndef", 0);
    k.t.Caret(2);
    k.Press(vk::Delete, ssShift);
    EXPECT_EQ(k.Text(), "ac\r\ndef") << "Shift+Delete without selection takes the char before";
    k.t.Caret(4);
    k.Press(vk::Delete, ssShift);
    EXPECT_EQ(k.Text(), "acdef") << "or the line break at a paragraph start";
    k.t.Caret(1);
    k.Press(vk::Delete, ssCtrl);
    EXPECT_EQ(k.Text(), "a") << "Ctrl+Delete takes the rest of the display line";

    Keys b("x\x02y\x02z", 0);
    b.t.Caret(1);
    b.Press(vk::Delete);
    EXPECT_EQ(b.Text().substr(0, 1), "x");
    EXPECT_EQ(b.Text().find('y'), std::string::npos) << "the code and the letter go together";

    Keys e("ab\r\ncd", 0);
    e.t.Caret(2);
    e.Press(vk::Delete);
    EXPECT_EQ(e.Text(), "abcd");

    Keys r("abc", 0);
    r.t.readOnly = true;
    r.t.Caret(1);
    r.Press(vk::Delete);
    r.Press(vk::Back);
    r.Press(vk::Tab);
    EXPECT_EQ(r.Text(), "abc");
}

TEST(Keyboard, BackspaceVariants) {
    Keys k("        foo", rzoBackIndent);
    k.t.model.SetText("    a\r\n        foo");
    k.t.Caret(15);
    k.Press(vk::Back);
    EXPECT_EQ(k.Text(), "    a\r\n    foo") << "back to the indentation of the line above";
    k.Press(vk::Back);
    EXPECT_EQ(k.Text(), "    a\r\nfoo");

    Keys j("ab\r\ncd", 0);
    j.t.Caret(4);
    j.Press(vk::Back);
    EXPECT_EQ(j.Text(), "abcd");
    j.Press(vk::End);
    j.Press(vk::Back);
    EXPECT_EQ(j.Text(), "abc");

    Keys w("one two  three", 0);
    w.t.Caret(14);
    w.Press(vk::Back, ssCtrl);
    EXPECT_EQ(w.Text(), "one two  ");
    w.Press(vk::Back, ssCtrl);
    EXPECT_EQ(w.Text(), "one ");

    Keys v("ab", rzoKeepColumnPos | rzoPutExtraSpaces);
    v.t.Caret(2);
    v.Press(vk::Right);
    v.Press(vk::Right);
    v.Press(vk::Right);
    v.Press(vk::Back);
    EXPECT_EQ(v.Text(), "ab  ") << "the remaining virtual spaces become real";
}

TEST(Keyboard, EnterWithAutoIndent) {
    Keys k("\t\tx", rzoAutoIndent);
    k.t.Caret(3);
    k.Press(vk::Return);
    EXPECT_EQ(k.Text(), "\t\tx\r\n\t\t");
    Keys c("\t\tx", rzoAutoIndent);
    c.t.Caret(1);
    c.Press(vk::Return);
    EXPECT_EQ(c.Text(), "\t\r\n\t\tx") << "no more blanks than the caret column";

    Keys v("  x\r\n", rzoAutoIndent | rzoDiscardTrailingSpaces);
    v.t.Caret(3);
    v.Press(vk::Return);
    EXPECT_EQ(v.Text(), "  x\r\n\r\n");
    EXPECT_EQ(v.t.virtualSpaces, 2) << "the indentation is virtual at a paragraph end";

    Keys e("abc", rzoAutoIndent);
    e.t.Caret(1);
    e.t.model.SetSelLength(1);
    e.Press(vk::Return);
    EXPECT_EQ(e.Text(), "a\r\nc");
}

TEST(Keyboard, OverwriteMode) {
    Keys k("abc\r\nxy", rzoInsertKeyActive);
    k.Press(vk::Insert);
    EXPECT_TRUE(k.t.overwrite);
    EXPECT_EQ(k.t.styleChanges, 1);
    k.t.Caret(1);
    k.Type("QRST");
    EXPECT_EQ(k.Text(), "aQRST\r\nxy") << "at the paragraph end typing appends";
    // Each overwritten character is a step; appended ones join the last.
    EXPECT_EQ(k.t.model.UndoRecords().Count(), 2);
    k.t.Caret(0);
    k.Press(vk::Return);
    EXPECT_EQ(k.Pos(), 7) << "Enter only goes to the next line";
    k.Press(vk::Return);
    EXPECT_EQ(k.Text(), "aQRST\r\nxy\r\n");
}

TEST(Keyboard, HotKeysAndHostHandlers) {
    Keys k("ab", 0);
    k.t.Caret(1);
    k.Press('T', ssCtrl);
    EXPECT_EQ(k.Text(), "a\tb");
    k.Press('Z', ssCtrl);
    EXPECT_EQ(k.Text(), "ab");
    k.Press('Z', ssCtrl | ssShift);
    EXPECT_EQ(k.Text(), "a\tb");
    k.Press('B', ssCtrl);
    EXPECT_EQ(k.Text(), "a\t\x02\x02"
                        "b");
    EXPECT_EQ(k.Pos(), 3) << "the caret stands between the two codes";

    k.kb.OnKeyDown = [](std::uint16_t& key, TShiftState) {
        if (key == vk::Tab) key = 0;
    };
    k.kb.OnKeyPress = [](unsigned char& ch) { ch = static_cast<unsigned char>('Q'); };
    k.Press(vk::Tab);
    k.Type("x");
    EXPECT_EQ(k.Text(), "a\t\x02Q\x02"
                        "b");
}

TEST(Keyboard, TypingGroupsAndUndo) {
    Keys k("", 0);
    k.Type("abc");
    EXPECT_EQ(k.t.model.UndoRecords().Count(), 1);
    k.Press(vk::Left);
    k.Press(vk::Right);
    k.Type("d");
    EXPECT_EQ(k.t.model.UndoRecords().Count(), 2);
    k.t.model.Undo();
    EXPECT_EQ(k.Text(), "abc");
    k.t.model.Undo();
    EXPECT_EQ(k.Text(), "");
}

TEST(Keyboard, BlockSelectionWithShiftAlt) {
    Keys k("abcdef\r\nab\r\nabcdef", rzoBlockSelection);
    k.t.Caret(1);
    k.Press(vk::Right, ssShift | ssAlt);
    k.Press(vk::Right, ssShift | ssAlt);
    k.Press(vk::Down, ssShift | ssAlt);
    k.Press(vk::Down, ssShift | ssAlt);
    EXPECT_TRUE(k.t.block);
    EXPECT_EQ(k.t.blockLeft, 1);
    EXPECT_EQ(k.t.blockRight, 3) << "the column holds past the short line";
    EXPECT_EQ(k.Pos(), 15);
    k.Press(vk::Left);
    EXPECT_FALSE(k.t.block);
    EXPECT_EQ(k.t.model.SelLength(), 0);
    k.t.model.SetWordWrap(true);
    k.Press(vk::Right, ssShift | ssAlt);
    EXPECT_FALSE(k.t.block) << "no blocks while lines wrap";
}

TEST(Keyboard, DisplayOnlyKeysScroll) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "x\r\n";
    Keys k(text, 0);
    k.t.displayOnly = true;
    k.Press(vk::Down);
    k.Press(vk::Next);
    EXPECT_EQ(k.t.vOffset, 2 * FakeTarget::kLine);
    k.Press(vk::Next, ssCtrl);
    EXPECT_EQ(k.t.vOffset, (41 - k.t.VisibleLines() + 1) * FakeTarget::kLine);
    k.Press(vk::Prior, ssCtrl);
    EXPECT_EQ(k.t.vOffset, 0);
    EXPECT_EQ(k.Pos(), 0);
    k.Type("q");
    EXPECT_EQ(k.Text(), text);
}

} // namespace
} // namespace lorvane::test
