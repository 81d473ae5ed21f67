// Key rules on the model with a fixed-cell stand-in for the control.
#include "editor/view/KeyboardTarget.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lorvane::test {
namespace {

struct Keys {
    explicit Keys(std::string_view text, RIzuvAzazOptions options = 0, std::int32_t caret = 0) {
        t.model.SetText(text);
        t.model.SetOptions(options);
        t.model.ClearUndo();
        t.Caret(caret);
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

    // Presses each key in turn; the caret must then stand at `pos`, with
    // `spaces` virtual spaces beyond it (-1: not checked).
    struct Step {
        std::uint16_t key;
        TShiftState shift;
        std::int32_t pos;
        std::int32_t spaces = -1;
    };
    void Expect(std::initializer_list<Step> steps) {
        int n = 0;
        for (const Step& s : steps) {
            Press(s.key, s.shift);
            EXPECT_EQ(Pos(), s.pos) << "step " << n;
            if (s.spaces >= 0) {
                EXPECT_EQ(t.virtualSpaces, s.spaces) << "step " << n;
            }
            ++n;
        }
    }

    FakeTarget t;
    TKeyboard kb{t};
};

TEST(Keyboard, RightAtParagraphEndEntersVirtualSpaceOrWraps) {
    Keys k("ab\r\ncd", rzoKeepColumnPos, 2);
    k.Expect(
        {{vk::Right, 0, 2, 1}, {vk::End, 0, 2, 0}, {vk::Right, 0, 2, 1}, {vk::Right, 0, 2, 2}});
    // Typing there pads with spaces only when asked to.
    k.t.model.SetOptions(rzoKeepColumnPos | rzoPutExtraSpaces);
    k.Type("x");
    EXPECT_EQ(k.Text(), "ab  x\r\ncd");

    Keys w("ab\r\ncd", rzoKeepColumnPos | rzoWrapCaret, 2);
    w.Expect({{vk::Right, 0, 4, 0}, {vk::Right, 0, 5}, {vk::Right, 0, 6}, {vk::Right, 0, 6}});
}

TEST(Keyboard, HorizontalMovesAtParagraphStartsAndOverCodes) {
    for (const RIzuvAzazOptions o : {RIzuvAzazOptions(0), RIzuvAzazOptions(rzoWrapCaret)}) {
        Keys k("abc\r\ndef", o, 5);
        k.Expect({{vk::Left, 0, 3}});
    }
    // Ctrl+Left stops on the CR of the previous paragraph; Ctrl+Right goes
    // from the CR over the line break.
    Keys c("one two\r\nthree", 0, 9);
    c.Expect({{vk::Left, ssCtrl, 7},
              {vk::Left, ssCtrl, 4},
              {vk::Left, ssCtrl, 0},
              {vk::Right, ssCtrl, 4},
              {vk::Right, ssCtrl, 7},
              {vk::Right, ssCtrl, 9}});
    // Positions between codes look the same: all are passed.
    Keys p("a\x02\x02"
           "b",
           0, 1);
    p.Expect({{vk::Right, 0, 4}, {vk::Left, 0, 3}, {vk::Left, 0, 0}});
    p.t.passOverCodes = false;
    p.t.Caret(1);
    p.Expect({{vk::Right, 0, 2}});
}

TEST(Keyboard, VerticalMovesKeepTheRememberedColumn) {
    // The caret keeps its screen column beyond the short line; Up on the
    // first line does not move.
    Keys k("abcdefgh\r\nab\r\nabcdefgh", rzoKeepColumnPos, 6);
    k.Expect({{vk::Down, 0, 12, 4},
              {vk::Down, 0, 20, 0},
              {vk::Up, 0, 12},
              {vk::Up, 0, 6},
              {vk::Up, 0, 6}});

    // Without virtual space the column still survives the short line; Down
    // on the last line does not move.
    Keys n("abcdefgh\r\nab\r\nabcdefgh", 0, 6);
    n.Expect({{vk::Down, 0, 12, 0}, {vk::Down, 0, 20}, {vk::Down, 0, 20}, {vk::Up, ssShift, 12}});
    EXPECT_EQ(n.t.model.SelLength(), 8);
    n.Expect({{vk::Home, ssShift, 10}});
    EXPECT_EQ(n.t.model.SelLength(), 10);
    n.Expect({{vk::End, 0, 12}});
    EXPECT_EQ(n.t.model.SelLength(), 0);
}

TEST(Keyboard, PageKeysMoveByTheVisibleLines) {
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Keys k(text, 0, 2);
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

// Keys that delete or break lines: the text after pressing them in turn,
// with the caret at `caret` and `selected` bytes selected after it.
TEST(Keyboard, DeletingAndBreakingKeys) {
    using KeyList = std::vector<std::pair<std::uint16_t, TShiftState>>;
    const std::pair<std::uint16_t, TShiftState> del{vk::Delete, 0}, back{vk::Back, 0},
        enter{vk::Return, 0}, right{vk::Right, 0};
    constexpr RIzuvAzazOptions kVirtual = rzoKeepColumnPos | rzoPutExtraSpaces;
    struct Row {
        const char* text;
        RIzuvAzazOptions options;
        std::int32_t caret, selected;
        KeyList keys;
        const char* expected;
        std::int32_t spaces = -1; // virtual spaces after, -1: not checked
    };
    const Row rows[] = {
        // Shift+Delete without selection takes the char before, or the line
        // break at a paragraph start; Ctrl+Delete the rest of the display line.
        {"abc\r\ndef", 0, 2, 0, {{vk::Delete, ssShift}}, "ac\r\ndef"},
        {"ac\r\ndef", 0, 4, 0, {{vk::Delete, ssShift}}, "acdef"},
        {"acdef", 0, 1, 0, {{vk::Delete, ssCtrl}}, "a"},
        {"abcd", 0, 1, 2, {{vk::Delete, ssShift}}, "ad"}, // with a selection: cut
        {"x\x02y\x02z", 0, 1, 0, {del}, "xz"},            // the code and the letter go together
        {"ab\r\ncd", 0, 2, 0, {del}, "abcd"},
        // Back to the indentation of the line above, then to the start.
        {"    a\r\n        foo", rzoBackIndent, 15, 0, {back}, "    a\r\n    foo"},
        {"    a\r\n        foo", rzoBackIndent, 15, 0, {back, back}, "    a\r\nfoo"},
        {"ab\r\ncd", 0, 4, 0, {back}, "abcd"},
        {"ab\r\ncd", 0, 4, 0, {back, {vk::End, 0}, back}, "abc"},
        {"one two  three", 0, 14, 0, {{vk::Back, ssCtrl}}, "one two  "},
        {"one two  three", 0, 14, 0, {{vk::Back, ssCtrl}, {vk::Back, ssCtrl}}, "one "},
        // The remaining virtual spaces become real.
        {"ab", kVirtual, 2, 0, {right, right, right, back}, "ab  "},
        // Auto-indent gives no more blanks than the caret column, and only
        // virtual ones at a paragraph end when trailing blanks are dropped.
        {"\t\tx", rzoAutoIndent, 3, 0, {enter}, "\t\tx\r\n\t\t"},
        {"\t\tx", rzoAutoIndent, 1, 0, {enter}, "\t\r\n\t\tx"},
        {"  x\r\n", rzoAutoIndent | rzoDiscardTrailingSpaces, 3, 0, {enter}, "  x\r\n\r\n", 2},
        {"abc", rzoAutoIndent, 1, 1, {enter}, "a\r\nc"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "'" << row.text << "' at " << row.caret);
        Keys k(row.text, row.options, row.caret);
        k.t.model.SetSelLength(row.selected);
        for (const auto& [key, shift] : row.keys)
            k.Press(key, shift);
        EXPECT_EQ(k.Text(), row.expected);
        if (row.spaces >= 0) {
            EXPECT_EQ(k.t.virtualSpaces, row.spaces);
        }
    }

    Keys r("abc", 0, 1);
    r.t.readOnly = true;
    r.Type("\b\tq");
    r.Press(vk::Delete);
    EXPECT_EQ(r.Text(), "abc");
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
    Keys k("ab", 0, 1);
    k.Press('T', ssCtrl);
    EXPECT_EQ(k.Text(), "a\tb");
    k.Press('Z', ssCtrl);
    EXPECT_EQ(k.Text(), "ab");
    k.Press('Z', ssCtrl | ssShift);
    EXPECT_EQ(k.Text(), "a\tb");
    std::uint16_t key = vk::Left;
    k.kb.KeyDown(key, 0);
    EXPECT_EQ(key, 0) << "a key the control used is not passed on";
    k.Press(vk::Right);
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
    Keys k("abcdef\r\nab\r\nabcdef", rzoBlockSelection, 1);
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
    Keys w(std::string(100, 'w'));
    w.t.displayOnly = true;
    w.Press(vk::End);
    EXPECT_GT(w.t.hOffset, 0);
    w.Press(vk::Home);
    EXPECT_EQ(w.t.hOffset, 0);
}

} // namespace
} // namespace lorvane::test
