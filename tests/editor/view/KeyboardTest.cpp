// Key rules, driven by real key events on a real control.
#include "editor/view/WidgetFixture.h"

#include <QClipboard>
#include <QInputMethodEvent>

#include <string>
#include <utility>
#include <vector>

namespace lorvane::test {
namespace {

constexpr int kLeft = Qt::Key_Left, kRight = Qt::Key_Right, kUp = Qt::Key_Up, kDown = Qt::Key_Down,
              kHome = Qt::Key_Home, kEnd = Qt::Key_End;

TEST(Keyboard, RightAtParagraphEndEntersVirtualSpaceOrWraps) {
    Editor k("ab\r\ncd", rzoKeepColumnPos, 2);
    k.Expect(
        {{kRight, kNone, 2, 1}, {kEnd, kNone, 2, 0}, {kRight, kNone, 2, 1}, {kRight, kNone, 2, 2}});
    // Typing there pads with spaces only when asked to.
    k.w.SetOptions(rzoKeepColumnPos | rzoPutExtraSpaces);
    k.Type("x");
    EXPECT_EQ(k.Text(), "ab  x\r\ncd");

    Editor w("ab\r\ncd", rzoKeepColumnPos | rzoWrapCaret, 2);
    w.Expect({{kRight, kNone, 4, 0}, {kRight, kNone, 5}, {kRight, kNone, 6}, {kRight, kNone, 6}});
}

TEST(Keyboard, HorizontalMovesAtParagraphStartsAndOverCodes) {
    for (const RIzuvAzazOptions o : {RIzuvAzazOptions(0), RIzuvAzazOptions(rzoWrapCaret)}) {
        Editor k("abc\r\ndef", o, 5);
        k.Expect({{kLeft, kNone, 3}});
    }
    // Ctrl+Left stops on the CR of the previous paragraph; Ctrl+Right goes
    // from the CR over the line break.
    Editor c("one two\r\nthree", 0, 9);
    c.Expect({{kLeft, kCtrl, 7}, {kLeft, kCtrl, 4}, {kLeft, kCtrl, 0}});
    c.Expect({{kRight, kCtrl, 4}, {kRight, kCtrl, 7}, {kRight, kCtrl, 9}});
    // Positions between codes look the same: all are passed.
    Editor p("a\2\2b", 0, 1);
    p.Expect({{kRight, kNone, 4}, {kLeft, kNone, 3}, {kLeft, kNone, 0}});
    p.w.SetPassOverCodes(false);
    p.w.SetSelStart(1);
    p.Expect({{kRight, kNone, 2}});
    // Left from a paragraph's start (codes before its first letter count as
    // the start) goes to the end of the previous one.
    Editor s("ab\r\n\2cd", 0, 5);
    s.Expect({{kLeft, kNone, 2}});
}

TEST(Keyboard, VerticalMovesKeepTheRememberedColumn) {
    // The caret keeps its screen column beyond the short line; Up on the
    // first line does not move.
    Editor k("abcdefgh\r\nab\r\nabcdefgh", rzoKeepColumnPos, 6);
    k.Expect({{kDown, kNone, 12, 4}, {kDown, kNone, 20, 0}});
    k.Expect({{kUp, kNone, 12}, {kUp, kNone, 6}, {kUp, kNone, 6}});

    // Without virtual space the column still survives the short line; Down
    // on the last line does not move.
    Editor n("abcdefgh\r\nab\r\nabcdefgh", 0, 6);
    n.Expect({{kDown, kNone, 12, 0}, {kDown, kNone, 20}, {kDown, kNone, 20}, {kUp, kShift, 12}});
    EXPECT_EQ(n.w.SelLength(), 8);
    n.Expect({{kHome, kShift, 10}});
    EXPECT_EQ(n.w.SelLength(), 10);
    n.Expect({{kEnd, kNone, 12}});
    EXPECT_EQ(n.w.SelLength(), 0);
}

// Page keys move the caret by the visible lines; in a display-only view
// the keys scroll instead and typing changes nothing.
TEST(Keyboard, PageKeysAndDisplayOnlyScrolling) {
    const std::string text = Lines(50, [](int i) { return "line " + std::to_string(i); });
    Editor k(text, 0, 2);
    const int visible = k.w.VisibleLines();
    k.Key(Qt::Key_PageDown);
    EXPECT_EQ(k.w.CaretLine(), visible - 1);
    EXPECT_EQ(k.w.Model().Caret().Column(), 2);
    k.Key(Qt::Key_PageDown, kCtrl | kShift);
    EXPECT_EQ(k.w.CaretLine(), 2 * (visible - 1));
    EXPECT_NE(k.w.SelLength(), 0);
    k.Key(kEnd, kCtrl);
    EXPECT_EQ(k.Pos(), k.w.TextLength());
    k.Key(Qt::Key_PageUp);
    EXPECT_EQ(k.w.CaretLine(), 50 - visible + 1);
    k.Key(kHome, kCtrl);
    EXPECT_EQ(k.Pos(), 0);

    k.w.SetDisplayOnly(true);
    k.Key(kDown);
    k.Key(Qt::Key_PageDown);
    EXPECT_EQ(k.w.VerticalOffset(), 2 * k.Lh());
    k.Key(Qt::Key_PageDown, kCtrl);
    EXPECT_EQ(k.w.VerticalOffset(), (51 - visible + 1) * k.Lh());
    k.Key(Qt::Key_PageUp, kCtrl);
    EXPECT_EQ(k.w.VerticalOffset(), 0);
    EXPECT_EQ(k.Pos(), 0);
    k.Type("q");
    EXPECT_EQ(k.Text(), text);
    Editor w(std::string(100, 'w'));
    w.w.SetDisplayOnly(true);
    w.Key(kEnd);
    EXPECT_GT(w.w.HorizontalOffset(), 0);
    w.Key(kHome);
    EXPECT_EQ(w.w.HorizontalOffset(), 0);
}

// Keys that delete or break lines: the text after pressing them in turn,
// with the caret at `caret` and `selected` bytes selected after it.
TEST(Keyboard, DeletingAndBreakingKeys) {
    using KeyList = std::vector<std::pair<int, Qt::KeyboardModifiers>>;
    const std::pair<int, Qt::KeyboardModifiers> del{Qt::Key_Delete, kNone},
        back{Qt::Key_Backspace, kNone}, ctrlBack{Qt::Key_Backspace, kCtrl},
        enter{Qt::Key_Return, kNone}, right{kRight, kNone};
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
        {"abc\r\ndef", 0, 2, 0, {{Qt::Key_Delete, kShift}}, "ac\r\ndef"},
        {"ac\r\ndef", 0, 4, 0, {{Qt::Key_Delete, kShift}}, "acdef"},
        {"acdef", 0, 1, 0, {{Qt::Key_Delete, kCtrl}}, "a"},
        {"abcd", 0, 1, 2, {{Qt::Key_Delete, kShift}}, "ad"}, // with a selection: cut
        {"x\x02y\x02z", 0, 1, 0, {del}, "xz"},               // the code and the letter go together
        {"ab\r\ncd", 0, 2, 0, {del}, "abcd"},
        // Back to the indentation of the line above, then to the start.
        {"    a\r\n        foo", rzoBackIndent, 15, 0, {back}, "    a\r\n    foo"},
        {"    a\r\n        foo", rzoBackIndent, 15, 0, {back, back}, "    a\r\nfoo"},
        {"ab\r\ncd", 0, 4, 0, {back}, "abcd"},
        {"ab\r\ncd", 0, 4, 0, {back, {kEnd, kNone}, back}, "abc"},
        {"one two  three", 0, 14, 0, {ctrlBack}, "one two  "},
        {"one two  three", 0, 14, 0, {ctrlBack, ctrlBack}, "one "},
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
        Editor k(row.text, row.options, row.caret);
        k.w.SetSelLength(row.selected);
        for (const auto& [key, shift] : row.keys)
            k.Key(key, shift);
        EXPECT_EQ(k.Text(), row.expected);
        if (row.spaces >= 0) {
            EXPECT_EQ(k.w.VirtualSpaces(), row.spaces);
        }
    }
}

TEST(Keyboard, OverwriteMode) {
    Editor k("abc\r\nxy", rzoInsertKeyActive);
    int styleChanges = 0;
    k.w.OnStyleChange = [&] { ++styleChanges; };
    k.Key(Qt::Key_Insert);
    EXPECT_TRUE(k.w.Overwrite());
    EXPECT_EQ(styleChanges, 1);
    k.w.SetSelStart(1);
    k.Type("QRST");
    EXPECT_EQ(k.Text(), "aQRST\r\nxy") << "at the paragraph end typing appends";
    // Each overwritten character is a step; appended ones join the last.
    EXPECT_EQ(k.w.Model().UndoRecords().Count(), 2);
    k.w.SetSelStart(0);
    k.Key(Qt::Key_Return);
    EXPECT_EQ(k.Pos(), 7) << "Enter only goes to the next line";
    k.Key(Qt::Key_Return);
    EXPECT_EQ(k.Text(), "aQRST\r\nxy\r\n");
}

TEST(Keyboard, HotKeysAndHostHandlers) {
    Editor k("ab", 0, 1);
    k.Key(Qt::Key_T, kCtrl);
    EXPECT_EQ(k.Text(), "a\tb");
    k.Key(Qt::Key_Z, kCtrl);
    EXPECT_EQ(k.Text(), "ab");
    k.Key(Qt::Key_Z, kCtrl | kShift);
    EXPECT_EQ(k.Text(), "a\tb");
    std::uint16_t key = vk::Left;
    k.input.Keyboard().KeyDown(key, 0);
    EXPECT_EQ(key, 0) << "a key the control used is not passed on";
    k.Key(kRight);
    k.Key(Qt::Key_B, kCtrl);
    EXPECT_EQ(k.Text(), "a\t\2\2b");
    EXPECT_EQ(k.Pos(), 3) << "the caret stands between the two codes";

    k.input.Keyboard().OnKeyDown = [](std::uint16_t& key, TShiftState) {
        if (key == vk::Tab) key = 0;
    };
    k.input.Keyboard().OnKeyPress = [](unsigned char& ch) { ch = static_cast<unsigned char>('Q'); };
    k.Type("\tx");
    EXPECT_EQ(k.Text(), "a\t\2Q\2b");
}

TEST(Keyboard, TypingGroupsAndUndo) {
    Editor k;
    k.Type("abc");
    EXPECT_EQ(k.w.Model().UndoRecords().Count(), 1);
    k.Key(kLeft);
    k.Key(kRight);
    k.Type("d");
    EXPECT_EQ(k.w.Model().UndoRecords().Count(), 2) << "a caret move ends a typing run";

    // A long program: auto-indent, Backspace over typing, and the undo steps.
    Editor e({}, rzoAutoIndent);
    std::string typed, expected;
    int routines = 0;
    while (expected.size() < 2000) {
        const std::string name = "proc" + std::string(1, static_cast<char>('a' + routines % 26));
        typed += name + ":\r\tmov ax,bx\rcal\b\b\bcall " + name + "x\b\rret\r\b\r";
        expected += name + ":\r\n\tmov ax,bx\r\n\tcall " + name + "\r\n\tret\r\n\r\n";
        ++routines;
    }
    e.Type(typed);
    EXPECT_EQ(e.Text(), expected);
    // Five Backspace steps and three typing runs a routine, and the last run.
    EXPECT_EQ(e.w.Model().UndoRecords().Count(), 8 * routines + 1);
    e.Key(Qt::Key_Z, kCtrl);
    EXPECT_EQ(e.Text(), expected.substr(0, expected.size() - 2));
}

TEST(Keyboard, BlockSelectionWithShiftAlt) {
    Editor k("abcdef\r\nab\r\nabcdef", rzoBlockSelection, 1);
    k.Key(kRight, kShift | kAlt);
    k.Key(kRight, kShift | kAlt);
    k.Key(kDown, kShift | kAlt);
    k.Key(kDown, kShift | kAlt);
    EXPECT_TRUE(k.w.BlockSelection());
    EXPECT_EQ(k.w.BlockLeft(), 1);
    EXPECT_EQ(k.w.BlockRight(), 3) << "the column holds past the short line";
    EXPECT_EQ(k.Pos(), 15);
    k.Key(kLeft);
    EXPECT_FALSE(k.w.BlockSelection());
    EXPECT_EQ(k.w.SelLength(), 0);
    k.w.SetWordWrap(true);
    k.Key(kRight, kShift | kAlt);
    EXPECT_FALSE(k.w.BlockSelection()) << "no blocks while lines wrap";
}

// Read-only keeps the text from every key, but copying still works.
TEST(Keyboard, ReadOnlyCopiesButDoesNotChange) {
    Editor e("hello world");
    e.w.SetReadOnly(true);
    QApplication::clipboard()->setText("other");
    e.Key(kRight, kShift | kCtrl);
    EXPECT_EQ(e.w.SelLength(), -6) << "the caret went right, to the stop";
    e.Key(Qt::Key_C, kCtrl);
    EXPECT_EQ(QApplication::clipboard()->text(), "hello ");
    e.Key(Qt::Key_X, kCtrl);
    e.Key(Qt::Key_V, kCtrl);
    e.Key(Qt::Key_Delete);
    e.Type("q\b\t");
    EXPECT_EQ(e.Text(), "hello world");
    e.w.SetReadOnly(false);
    e.Key(Qt::Key_X, kCtrl);
    EXPECT_EQ(e.Text(), "world");
    e.Key(Qt::Key_V, kCtrl);
    EXPECT_EQ(e.Text(), "hello world");
}

TEST(Keyboard, TypedAndComposedTextArrivesInWindows1251) {
    Editor e;
    e.Key(Qt::Key_unknown, kNone, QString::fromUtf8("Жё"));
    e.Key(Qt::Key_unknown, kNone, QString::fromUtf8("€"));
    EXPECT_EQ(e.Text(), "\xC6\xB8\x88");
    e.Key(Qt::Key_unknown, kNone, QString::fromUtf8("ㄱ"));
    EXPECT_EQ(e.Text(), "\xC6\xB8\x88") << "a character Windows-1251 lacks is not typed";
    // An input method's text arrives the same way.
    QInputMethodEvent compose(QString(), {});
    compose.setCommitString(QString::fromUtf8("\xc3\xa9\xd1\x91\xd0\xb6")); // é ё ж
    QApplication::sendEvent(&e.w, &compose);
    EXPECT_EQ(e.Text(), "\xC6\xB8\x88\xb8\xe6");
}

} // namespace
} // namespace lorvane::test
