// Mouse and scrolling rules on the model with the fixed-cell stand-in.
#include "editor/view/KeyboardTarget.h"
#include "editor/view/RIzuvAzazMouse.h"

#include <gtest/gtest.h>

#include <string>

namespace lorvane::test {
namespace {

constexpr TMouseButton kLeft = TMouseButton::Left;

struct Mouse {
    explicit Mouse(std::string_view text, RIzuvAzazOptions options = 0) {
        t.model.SetText(text);
        t.model.SetOptions(options);
        t.model.ClearUndo();
        mouse.SetCursor = [this](TCursorShape s) { cursor = s; };
    }
    // Client point of the left half of a column on a display line.
    static int X(int column) { return 8 + column * FakeTarget::kCell + 1; }
    static int Y(int line) { return line * FakeTarget::kLine + 4; }
    void Click(int x, int y, TShiftState shift = 0) {
        mouse.MouseMove(shift, x, y);
        mouse.MouseDown(kLeft, shift, x, y);
        mouse.MouseUp(kLeft, shift, x, y);
    }
    void Drag(int x0, int y0, int x1, int y1, TShiftState shift = 0) {
        mouse.MouseMove(shift, x0, y0);
        mouse.MouseDown(kLeft, shift, x0, y0);
        mouse.MouseMove(shift | ssLeft, x1, y1);
        mouse.MouseUp(kLeft, shift, x1, y1);
    }
    std::string Text() { return t.model.Text(); }

    FakeTarget t;
    TKeyboard kb{t};
    TScroller scroller{t};
    TMouse mouse{t, kb, scroller};
    TCursorShape cursor = TCursorShape::Normal;
};

TEST(Mouse, ClickBeyondAShortLine) {
    Mouse n("abcdefgh\r\nab", 0);
    n.Click(Mouse::X(6), Mouse::Y(1));
    EXPECT_EQ(n.t.model.SelStart(), 12);
    EXPECT_EQ(n.t.virtualSpaces, 0);
    n.Click(Mouse::X(1), Mouse::Y(7)); // below the text: its end
    EXPECT_EQ(n.t.model.SelStart(), 12);
    n.Click(Mouse::X(1), Mouse::Y(0));
    n.Click(Mouse::X(4), Mouse::Y(0), ssShift);
    EXPECT_EQ(n.t.model.SelStart(), 4);
    EXPECT_EQ(n.t.model.SelLength(), -3);
}

TEST(Mouse, MarginSelectsWholeLines) {
    Mouse k("one\r\ntwo\r\nthree", 0);
    k.mouse.MouseMove(0, 2, Mouse::Y(0));
    EXPECT_EQ(k.cursor, TCursorShape::RightArrow);
    k.mouse.MouseDown(kLeft, 0, 2, Mouse::Y(0));
    EXPECT_EQ(k.t.model.SelText(), "one\r\n") << "the paragraph's line break is taken";
    k.mouse.MouseMove(ssLeft, 2, Mouse::Y(2));
    EXPECT_EQ(k.t.model.SelText(), "one\r\ntwo\r\nthree");
    k.mouse.MouseUp(kLeft, 0, 2, Mouse::Y(2));
    k.mouse.MouseMove(0, 6, Mouse::Y(1)); // the margin ends two pixels before the text
    EXPECT_NE(k.cursor, TCursorShape::RightArrow);
    k.mouse.MouseMove(0, 5, Mouse::Y(1));
    EXPECT_EQ(k.cursor, TCursorShape::RightArrow);

    Mouse n("one\r\ntwo", rzoNoLineSelection);
    n.Click(2, Mouse::Y(0));
    EXPECT_EQ(n.t.model.SelLength(), 0);
}

TEST(Mouse, DragSelectionAndWords) {
    Mouse k("alpha beta, gamma", rzoLargeWordSelect);
    k.Drag(Mouse::X(1), Mouse::Y(0), Mouse::X(4), Mouse::Y(0));
    EXPECT_EQ(k.t.model.SelText(), "lph");
    k.mouse.MouseMove(0, Mouse::X(7), Mouse::Y(0));
    k.mouse.MouseDown(kLeft, 0, Mouse::X(7), Mouse::Y(0));
    k.mouse.MouseUp(kLeft, 0, Mouse::X(7), Mouse::Y(0));
    k.mouse.DoubleClick(Mouse::X(7), Mouse::Y(0));
    EXPECT_EQ(k.t.model.SelText(), "beta, ") << "the separators after the word come too";
    k.mouse.MouseDown(kLeft, ssDouble, Mouse::X(7), Mouse::Y(0));
    k.mouse.MouseMove(ssLeft, Mouse::X(14), Mouse::Y(0));
    EXPECT_EQ(k.t.model.SelText(), "beta, gamma") << "word mode grows by whole words";
    k.mouse.MouseUp(kLeft, 0, Mouse::X(14), Mouse::Y(0));
}

TEST(Mouse, DropInsideTheSelectionOrWhileReadOnly) {
    // Moving, copying and the option that turns dragging off are driven by
    // real events in the control's tests.
    Mouse k("one two three", 0);
    k.t.Caret(4);
    k.t.model.SetSelLength(4);
    k.Drag(Mouse::X(5), Mouse::Y(0), Mouse::X(6), Mouse::Y(0));
    EXPECT_EQ(k.Text(), "one two three") << "a drop inside the selection only moves the caret";
    EXPECT_EQ(k.t.model.SelStart(), 6);
    EXPECT_EQ(k.t.model.SelLength(), 0);

    Mouse r("one two", 0);
    r.t.readOnly = true;
    r.t.Caret(0);
    r.t.model.SetSelLength(3);
    r.Drag(Mouse::X(1), Mouse::Y(0), Mouse::X(6), Mouse::Y(0));
    EXPECT_EQ(r.Text(), "one two");
}

TEST(Mouse, AutoScrollZones) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\r\n";
    Mouse k(text, 0);
    const int ch = k.t.ClientHeight();
    k.mouse.MouseDown(kLeft, 0, Mouse::X(1), Mouse::Y(1));
    k.mouse.MouseMove(ssLeft, Mouse::X(1), -3);
    EXPECT_EQ(k.mouse.Direction(), 0) << "three pixels above the edge is not yet outside";
    k.mouse.MouseMove(ssLeft, Mouse::X(1), -4);
    EXPECT_EQ(k.mouse.Direction(), 1);
    EXPECT_EQ(k.mouse.AutoScrollDelay(), 400);
    k.mouse.MouseMove(ssLeft, Mouse::X(1), ch + 30);
    EXPECT_EQ(k.mouse.Direction(), 2);
    EXPECT_EQ(k.mouse.Speed(), 10);
    EXPECT_EQ(k.mouse.AutoScrollDelay(), 0);
    k.mouse.AutoScrollStep();
    k.mouse.AutoScrollStep();
    EXPECT_EQ(k.t.vOffset, 2 * FakeTarget::kLine);
    EXPECT_LT(k.t.model.SelLength(), 0) << "the caret went down with the view";
    k.mouse.MouseUp(kLeft, 0, Mouse::X(1), ch + 30);
    EXPECT_EQ(k.mouse.Direction(), 0);

    // Below the end of a short text nothing scrolls.
    Mouse s("a\r\nb", 0);
    s.mouse.MouseDown(kLeft, 0, Mouse::X(0), Mouse::Y(0));
    s.mouse.MouseMove(ssLeft, Mouse::X(0), s.t.ClientHeight() + 30);
    EXPECT_EQ(s.mouse.Direction(), 0);
}

TEST(Mouse, AltDragMakesABlock) {
    Mouse k("abcdef\r\nab\r\n\tx", rzoBlockSelection);
    k.Drag(Mouse::X(1), Mouse::Y(0), Mouse::X(4), Mouse::Y(2), ssAlt);
    EXPECT_TRUE(k.t.block);
    EXPECT_EQ(k.t.blockLeft, 1);
    EXPECT_EQ(k.t.blockRight, 4) << "the column follows the pointer inside the tab";
    k.Click(Mouse::X(1), Mouse::Y(0));
    EXPECT_FALSE(k.t.block);
}

TEST(Mouse, ScrollBars) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\r\n";
    Mouse k(text, 0);
    const int lh = FakeTarget::kLine;
    k.t.vOffset = 2 * lh + 5;
    k.scroller.VScroll(TScrollCode::LineUp);
    EXPECT_EQ(k.t.vOffset, 2 * lh) << "a partial line first aligns the top";
    k.scroller.VScroll(TScrollCode::PageDown);
    EXPECT_EQ(k.t.vOffset, (2 + k.t.VisibleLines() - 1) * lh);
    k.scroller.VScroll(TScrollCode::PageUp);
    EXPECT_EQ(k.t.vOffset, 3 * lh);
    k.scroller.VScroll(TScrollCode::ThumbTrack, 37);
    EXPECT_EQ(k.t.vOffset, 37);
    k.t.model.SetOptions(rzoNoFineScroll);
    k.scroller.VScroll(TScrollCode::ThumbTrack, 37);
    EXPECT_EQ(k.t.vOffset, 2 * lh) << "whole lines only";
    for (int i = 0; i < 200; ++i)
        k.scroller.VScroll(TScrollCode::LineDown);
    EXPECT_EQ(k.t.vOffset / lh, 101 - k.t.VisibleLines() + 2);

    const int cw = k.t.ClientWidth();
    k.scroller.HScroll(TScrollCode::LineDown);
    EXPECT_EQ(k.t.hOffset, cw / 20 + 1);
    k.scroller.HScroll(TScrollCode::PageUp);
    EXPECT_EQ(k.t.hOffset, 0);
}

} // namespace
} // namespace lorvane::test
