// Mouse, wheel, drop and scrolling rules, driven by real events on a real
// control.
#include "editor/highlight/Highlighter.h"
#include "editor/view/WidgetFixture.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <string>

namespace lorvane::test {
namespace {

TEST(Mouse, ClickBeyondAShortLine) {
    Editor e("abcdefgh\r\nab\r\nxyz");
    e.w.clearFocus();
    e.Click(e.At(6, 1));
    EXPECT_EQ(e.Pos(), 12);
    EXPECT_EQ(e.w.VirtualSpaces(), 0);
    EXPECT_EQ(e.w.focusWidget(), &e.w) << "a click takes the focus";
    e.Click(e.At(1, 7)); // below the text: its end
    EXPECT_EQ(e.Pos(), 17);
    e.Click(e.At(1, 0));
    e.Click(e.At(4, 0), kShift);
    EXPECT_EQ(e.Pos(), 4);
    EXPECT_EQ(e.w.SelLength(), -3);
    // Where the caret may stand beyond the end, the click puts it there, and
    // text typed there goes to the line end without padding.
    e.w.SetOptions(rzoKeepColumnPos);
    e.Click(e.At(6, 1));
    EXPECT_EQ(e.Pos(), 12);
    EXPECT_EQ(e.w.VirtualSpaces(), 4);
    EXPECT_EQ(e.w.CaretColumn(), 6);
    e.Type("!");
    EXPECT_EQ(e.Text(), "abcdefgh\r\nab!\r\nxyz");
}

TEST(Mouse, MarginSelectsWholeLines) {
    Editor e("one\r\ntwo\r\nthree");
    TCursorShape cursor = TCursorShape::Normal;
    e.input.Mouse().SetCursor = [&](TCursorShape s) { cursor = s; };
    const auto margin = [&](int x, int line) { return QPoint(x, e.At(0, line).y()); };
    e.Mouse(QEvent::MouseMove, margin(2, 0), Qt::NoButton);
    EXPECT_EQ(cursor, TCursorShape::RightArrow);
    e.Mouse(QEvent::MouseButtonPress, margin(2, 0));
    EXPECT_EQ(e.w.SelText(), "one\r\n") << "the paragraph's line break is taken";
    e.Mouse(QEvent::MouseMove, margin(2, 2));
    EXPECT_EQ(e.w.SelText(), "one\r\ntwo\r\nthree");
    e.Mouse(QEvent::MouseButtonRelease, margin(2, 2));
    // The margin ends two pixels before the text.
    e.Mouse(QEvent::MouseMove, margin(e.w.LeftMargin() - 2, 1), Qt::NoButton);
    EXPECT_NE(cursor, TCursorShape::RightArrow);
    e.Mouse(QEvent::MouseMove, margin(e.w.LeftMargin() - 3, 1), Qt::NoButton);
    EXPECT_EQ(cursor, TCursorShape::RightArrow);

    e.w.SetOptions(rzoNoLineSelection);
    e.Click(margin(2, 0));
    EXPECT_EQ(e.w.SelLength(), 0);
}

TEST(Mouse, DragSelectionAndWords) {
    Editor e("alpha beta, gamma", rzoLargeWordSelect);
    e.Drag(e.At(1, 0), e.At(4, 0));
    EXPECT_EQ(e.w.SelText(), "lph");
    e.Click(e.At(7, 0));
    e.Mouse(QEvent::MouseButtonDblClick, e.At(7, 0));
    EXPECT_EQ(e.w.SelText(), "beta, ") << "the separators after the word come too";
    e.Mouse(QEvent::MouseMove, e.At(14, 0));
    EXPECT_EQ(e.w.SelText(), "beta, gamma") << "word mode grows by whole words";
    e.Mouse(QEvent::MouseButtonRelease, e.At(14, 0));
}

// A move is one undo step, also when moved format codes add balancing and
// pair-removal records; a drop inside the selection only moves the caret.
TEST(Mouse, DragAndDrop) {
    Editor e("one two three");
    const auto select = [&](std::int32_t start, std::int32_t length) {
        e.w.SetSelStart(start);
        e.w.SetSelLength(length);
    };
    select(4, 4);
    e.Drag(e.At(5, 0), e.At(6, 0));
    EXPECT_EQ(e.Text(), "one two three");
    EXPECT_EQ(e.Pos(), 6);
    EXPECT_EQ(e.w.SelLength(), 0);
    select(4, 4);
    e.Drag(e.At(5, 0), e.At(13, 0));
    EXPECT_EQ(e.Text(), "one threetwo ");
    e.w.Undo();
    EXPECT_EQ(e.Text(), "one two three");
    EXPECT_FALSE(e.w.CanUndo());
    select(0, 3);
    e.Drag(e.At(1, 0), e.At(13, 0), kCtrl);
    EXPECT_EQ(e.Text(), "one two threeone");
    e.w.SetReadOnly(true);
    select(0, 3);
    e.Drag(e.At(1, 0), e.At(6, 0));
    EXPECT_EQ(e.Text(), "one two threeone");
    e.w.SetReadOnly(false);
    e.w.SetOptions(rzoNoDragnDrop);
    select(0, 3);
    e.Drag(e.At(1, 0), e.At(2, 0));
    EXPECT_EQ(e.w.SelText(), "n");

    e.w.SetOptions(0);
    e.w.SetText("ab\2cd\2 ef");
    select(3, 3);
    e.Drag(e.At(2, 0), e.At(0, 0));
    ASSERT_NE(e.Text(), "ab\2cd\2 ef");
    e.w.Undo();
    EXPECT_EQ(e.Text(), "ab\2cd\2 ef");
}

TEST(Mouse, AutoScrollZones) {
    Editor e(Lines(100, "line"));
    const TMouse& m = e.input.Mouse();
    const int x = e.At(1, 0).x(), below = e.w.viewport()->height() + 30;
    e.Mouse(QEvent::MouseButtonPress, e.At(1, 1));
    e.Mouse(QEvent::MouseMove, {x, -3});
    EXPECT_EQ(m.Direction(), 0) << "three pixels above the edge is not yet outside";
    e.Mouse(QEvent::MouseMove, {x, -4});
    EXPECT_EQ(m.Direction(), 1);
    e.Mouse(QEvent::MouseMove, {x, below});
    EXPECT_EQ(m.Direction(), 2);
    EXPECT_EQ(m.Speed(), 10) << "the farther out, the faster";
    e.input.Mouse().AutoScrollStep();
    e.input.Mouse().AutoScrollStep();
    EXPECT_EQ(e.w.VerticalOffset(), 2 * e.Lh());
    EXPECT_LT(e.w.SelLength(), 0) << "the caret went down with the view";
    e.Mouse(QEvent::MouseButtonRelease, {x, below});
    EXPECT_EQ(m.Direction(), 0);

    // Below the end of a short text nothing scrolls.
    Editor s("a\r\nb");
    s.Mouse(QEvent::MouseButtonPress, s.At(0, 0));
    s.Mouse(QEvent::MouseMove, {x, below});
    EXPECT_EQ(s.input.Mouse().Direction(), 0);
}

TEST(Mouse, AltDragMakesABlock) {
    Editor e("abcdef\r\nab\r\n\tx", rzoBlockSelection);
    e.Drag(e.At(1, 0), e.At(4, 2), kAlt);
    EXPECT_TRUE(e.w.BlockSelection());
    EXPECT_EQ(e.w.BlockLeft(), 1);
    EXPECT_EQ(e.w.BlockRight(), 4) << "the column follows the pointer inside the tab";
    e.Click(e.At(1, 0));
    EXPECT_FALSE(e.w.BlockSelection());
}

// Scroll-bar steps, and wheel notches, half notches, sideways and Shift.
TEST(Mouse, ScrollBarsAndWheel) {
    Editor e(Lines(200, std::string(400, 'x')));
    TScroller& s = e.input.Scroller();
    const int lh = e.Lh(), step = e.w.viewport()->width() / 20 + 1;
    e.w.ScrollTo(2 * lh + 5, 0);
    s.VScroll(TScrollCode::LineUp);
    EXPECT_EQ(e.w.VerticalOffset(), 2 * lh) << "a partial line first aligns the top";
    s.VScroll(TScrollCode::PageDown);
    EXPECT_EQ(e.w.VerticalOffset(), (2 + e.w.VisibleLines() - 1) * lh);
    s.VScroll(TScrollCode::PageUp);
    EXPECT_EQ(e.w.VerticalOffset(), 3 * lh);
    const int unit = e.w.VerticalScrollUnit();
    s.VScroll(TScrollCode::ThumbTrack, 37);
    EXPECT_EQ(e.w.VerticalOffset(), 37 * unit);
    e.w.SetOptions(rzoNoFineScroll);
    s.VScroll(TScrollCode::ThumbTrack, (2 * lh + 5) / unit);
    EXPECT_EQ(e.w.VerticalOffset(), 2 * lh) << "whole lines only";
    for (int i = 0; i < 300; ++i)
        s.VScroll(TScrollCode::LineDown);
    EXPECT_EQ(e.w.VerticalOffset() / lh, 201 - e.w.VisibleLines() + 2);
    s.HScroll(TScrollCode::LineDown);
    EXPECT_EQ(e.w.HorizontalOffset(), step);
    s.HScroll(TScrollCode::PageUp);
    EXPECT_EQ(e.w.HorizontalOffset(), 0);

    e.w.SetOptions(0);
    e.w.ScrollTo(0, 0);
    e.w.SetMouseWheelFactor(1);
    const QPoint at(10, 10);
    e.Wheel(at, {0, -120});
    EXPECT_EQ(e.w.VerticalOffset(), lh);
    e.Wheel(at, {0, -60});
    EXPECT_EQ(e.w.VerticalOffset(), lh);
    e.Wheel(at, {0, -60});
    EXPECT_EQ(e.w.VerticalOffset(), 2 * lh);
    e.w.SetMouseWheelFactor(3);
    e.Wheel(at, {0, 120});
    EXPECT_EQ(e.w.TopLine(), 0);
    e.w.SetMouseWheelFactor(1);
    e.Wheel(at, {-120, 0});
    e.Wheel(at, {0, -120}, kShift);
    EXPECT_EQ(e.w.HorizontalOffset(), 2 * step);
    EXPECT_EQ(e.w.VerticalOffset(), 0);
}

// Text dragged in from another program lands at the pointer as one change
// and is selected; a drag of files passes on to the window behind.
TEST(Mouse, ForeignTextDropsHereAndFileDropsGoToTheParent) {
    struct Parent : QWidget {
        Parent() { setAcceptDrops(true); }
        void dragEnterEvent(QDragEnterEvent* e) override { e->setAccepted(++entered > 0); }
        int entered = 0;
    } parent;
    Editor e("one two");
    e.w.setParent(&parent);
    parent.show();
    const auto drop = [&](QMimeData& data) {
        QDragEnterEvent enter(e.At(4, 0), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(e.w.viewport(), &enter);
        QDropEvent d(QPointF(e.At(4, 0)), Qt::CopyAction, &data, Qt::LeftButton, {});
        if (enter.isAccepted() && parent.entered == 0) QApplication::sendEvent(e.w.viewport(), &d);
    };
    QMimeData text, files;
    text.setText(QString::fromUtf8("\xd0\x96\nx "));
    drop(text);
    EXPECT_EQ(e.w.SelText(), "\xc6\r\nx ");
    e.w.Undo();
    files.setUrls({QUrl::fromLocalFile("/tmp/a.asm")});
    files.setText("/tmp/a.asm");
    drop(files);
    EXPECT_EQ(e.Text(), "one two");
    EXPECT_EQ(parent.entered, 1);
}

// A click on an item with a context number reports the whole range, over
// paragraph ends and to the text end when open, and tells the highlighter.
TEST(Mouse, ContextClickCoversTheWholeRangeAndTellsTheHighlighter) {
    struct Listener : THighlighter {
        void ContextClick(std::int32_t context, const std::string& text, bool right) override {
            heard = std::to_string(context) + (right ? " right " : " left ") + text;
        }
        std::string heard;
    } highlighter;
    Editor e;
    e.w.StartStopKeys().Add("/*", "*/", false, clRed, clBlue, 0, 7, 0, 0);
    e.w.SetHighlighter(&highlighter);
    std::int32_t from = -1, to = -1;
    e.w.OnContext = [&](std::int32_t, std::int32_t a, std::int32_t b) { from = a, to = b; };
    e.w.SetText("ab /* one\r\ntwo\r\nthree */ cd");
    e.Click(e.At(1, 1));
    EXPECT_EQ(highlighter.heard, "7 left /* one\r\ntwo\r\nthree */");
    e.w.SetText("x /* open\r\nmore");
    e.Mouse(QEvent::MouseButtonPress, e.At(6, 0), Qt::RightButton);
    e.Mouse(QEvent::MouseButtonRelease, e.At(6, 0), Qt::RightButton);
    EXPECT_EQ(highlighter.heard, "7 right /* open\r\nmore");
    EXPECT_EQ(to - from, 13);
}

TEST(Mouse, BuiltInMenuFollowsReadOnly) {
    Editor e("some text");
    QApplication::clipboard()->setText("x");
    e.w.SetSelLength(4);
    e.w.SetReadOnly(true);
    e.Mouse(QEvent::MouseButtonPress, e.At(1, 0), Qt::RightButton);
    e.Mouse(QEvent::MouseButtonRelease, e.At(1, 0), Qt::RightButton);
    QMenu* menu = e.input.ContextMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 8);
    EXPECT_FALSE(items[3]->isEnabled());
    EXPECT_TRUE(items[4]->isEnabled());
    EXPECT_FALSE(items[5]->isEnabled());
    EXPECT_TRUE(items[7]->isEnabled());
    menu->close();
}

} // namespace
} // namespace lorvane::test
