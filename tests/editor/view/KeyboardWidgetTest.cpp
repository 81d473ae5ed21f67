// Real key and mouse events sent to a real control (offscreen).
#include "editor/highlight/Highlighter.h"
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazInput.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lorvane {
namespace {

struct Editor {
    explicit Editor(std::string_view text = {}, RIzuvAzazOptions options = 0) {
        w.resize(480, 240);
        w.show();
        w.SetOptions(options);
        w.SetWordWrap(false);
        if (!text.empty()) w.SetText(text);
        w.ClearUndo();
        w.setFocus();
    }
    void Key(int qtKey, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent down(QEvent::KeyPress, qtKey, m, text);
        QApplication::sendEvent(&w, &down);
        QKeyEvent up(QEvent::KeyRelease, qtKey, m, text);
        QApplication::sendEvent(&w, &up);
    }
    void Type(std::string_view s) {
        for (const char c : s) {
            if (c == '\r')
                Key(Qt::Key_Return, Qt::NoModifier, "\r");
            else if (c == '\t')
                Key(Qt::Key_Tab, Qt::NoModifier, "\t");
            else if (c == '\b')
                Key(Qt::Key_Backspace, Qt::NoModifier, "\b");
            else
                Key(c >= 'a' && c <= 'z' ? Qt::Key_A + (c - 'a') : Qt::Key_unknown, Qt::NoModifier,
                    QString(QChar(c)));
        }
    }
    // Client point of the left part of a column on a display line.
    QPoint At(int column, int line) const {
        return {w.LeftMargin() + column * w.SpaceWidth() + 1,
                line * w.CurrentLineHeight() + w.CurrentLineHeight() / 2};
    }
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button,
               Qt::KeyboardModifiers m = Qt::NoModifier) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(p), w.viewport()->mapToGlobal(QPointF(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : button,
                      type == QEvent::MouseMove ? held & ~Qt::MouseButtons(Qt::NoButton) : held, m);
        QApplication::sendEvent(w.viewport(), &e);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Mouse(QEvent::MouseMove, from, Qt::NoButton, m);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, m);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton, m);
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, m);
    }
    void Click(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Mouse(QEvent::MouseMove, p, Qt::NoButton, m);
        Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, m);
        Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, m);
    }
    void Wheel(int delta, int sideways = 0, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWheelEvent e(QPointF(10, 10), w.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(sideways, delta), Qt::NoButton, m, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.viewport(), &e);
    }

    RIzuvAzaz w;
    std::unique_ptr<TInputHandler> input = std::make_unique<TInputHandler>(w);
};

TEST(KeyboardWidget, TypingAProgramThroughKeyEvents) {
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
    EXPECT_EQ(e.w.Text(), expected);
    // Five Backspace steps and three typing runs a routine, and the last run.
    EXPECT_EQ(e.w.Model().UndoRecords().Count(), 8 * routines + 1);
    e.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.w.Text(), expected.substr(0, expected.size() - 2));
}

TEST(KeyboardWidget, ReadOnlyCopiesButDoesNotChange) {
    Editor e("hello world");
    e.w.SetReadOnly(true);
    QApplication::clipboard()->setText("other");
    e.Key(Qt::Key_Home, Qt::ControlModifier);
    e.Key(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(e.w.SelLength(), -6) << "the caret went right, to the stop";
    e.Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "hello ");
    e.Key(Qt::Key_X, Qt::ControlModifier);
    e.Key(Qt::Key_V, Qt::ControlModifier);
    e.Key(Qt::Key_Delete);
    e.Type("q\b");
    EXPECT_EQ(e.w.Text(), "hello world");
    e.w.SetReadOnly(false);
    e.Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(e.w.Text(), "world");
    e.Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.w.Text(), "hello world");
}

TEST(KeyboardWidget, TypedAndComposedTextArrivesInWindows1251) {
    Editor e;
    e.Key(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("Жё"));
    e.Key(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("€"));
    EXPECT_EQ(e.w.Text(), "\xC6\xB8\x88");
    e.Key(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ㄱ"));
    EXPECT_EQ(e.w.Text(), "\xC6\xB8\x88") << "a character Windows-1251 lacks is not typed";
    // An input method's text arrives the same way.
    QInputMethodEvent compose(QString(), {});
    compose.setCommitString(QString::fromUtf8("\xc3\xa9\xd1\x91\xd0\xb6")); // é ё ж
    QApplication::sendEvent(&e.w, &compose);
    EXPECT_EQ(e.w.Text(), "\xC6\xB8\x88\xb8\xe6");
}

TEST(MouseWidget, ClickBeyondAShortLineAndMarginSelection) {
    Editor e("abcdefgh\r\nab\r\nxyz", rzoKeepColumnPos);
    e.w.clearFocus();
    e.Click(e.At(1, 2));
    EXPECT_EQ(e.w.SelStart(), 15);
    EXPECT_EQ(e.w.focusWidget(), &e.w) << "a click takes the focus";
    e.Click(e.At(6, 1));
    EXPECT_EQ(e.w.SelStart(), 12);
    EXPECT_EQ(e.w.VirtualSpaces(), 4);
    EXPECT_EQ(e.w.CaretColumn(), 6);
    e.Type("!");
    EXPECT_EQ(e.w.Text(), "abcdefgh\r\nab!\r\nxyz") << "text goes to the line end without padding";
    e.w.SetOptions(rzoKeepColumnPos | rzoPutExtraSpaces);
    e.Click(e.At(6, 2));
    e.Type("x");
    EXPECT_EQ(e.w.Text(), "abcdefgh\r\nab!\r\nxyz   x") << "or padded when asked to";
    EXPECT_EQ(e.w.VirtualSpaces(), 0);

    e.Click(QPoint(2, e.At(0, 1).y()));
    EXPECT_EQ(e.w.SelText(), "ab!\r\n");
}

TEST(MouseWidget, DragMoveUndoneInOneStepAndCtrlDragCopies) {
    Editor e("one two three");
    e.w.SetSelStart(4);
    e.w.SetSelLength(4);
    e.Drag(e.At(5, 0), e.At(13, 0));
    EXPECT_EQ(e.w.Text(), "one threetwo ");
    e.w.Undo();
    EXPECT_EQ(e.w.Text(), "one two three");
    EXPECT_FALSE(e.w.CanUndo());

    e.w.SetSelStart(0);
    e.w.SetSelLength(3);
    e.Drag(e.At(1, 0), e.At(13, 0), Qt::ControlModifier);
    EXPECT_EQ(e.w.Text(), "one two threeone");

    // A moved format code adds balancing and pair-removal records: still one step.
    Editor c("ab\x02"
             "cd\x02 ef");
    c.w.SetSelStart(3);
    c.w.SetSelLength(3);
    c.Drag(c.At(2, 0), c.At(0, 0));
    ASSERT_NE(c.w.Text(), "ab\x02"
                          "cd\x02 ef");
    c.w.Undo();
    EXPECT_EQ(c.w.Text(), "ab\x02"
                          "cd\x02 ef");

    e.w.SetOptions(rzoNoDragnDrop);
    e.w.SetSelStart(0);
    e.w.SetSelLength(3);
    e.Drag(e.At(1, 0), e.At(2, 0));
    EXPECT_EQ(e.w.SelText(), "n");
}

TEST(MouseWidget, BlockCopyWithTabsAndShortLines) {
    Editor e("abcdefgh\r\nab\r\n\tabcdefgh", rzoBlockSelection);
    e.w.SetTabStops(4);
    e.Drag(e.At(1, 0), e.At(6, 2), Qt::AltModifier);
    ASSERT_TRUE(e.w.BlockSelection());
    EXPECT_EQ(e.w.BlockLeft(), 1);
    EXPECT_EQ(e.w.BlockRight(), 6);
    e.Key(Qt::Key_C, Qt::ControlModifier);
    const std::string copied = QApplication::clipboard()->text().toStdString();
    EXPECT_EQ(copied.substr(0, 6), "bcdef\n");
    EXPECT_NE(copied.find("\nb\n"), std::string::npos) << "a short line gives what it has";
}

TEST(MouseWidget, WheelNotchesHalfNotchesAndSideways) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += std::string(400, 'x') + "\r\n";
    Editor e(text);
    e.w.SetMouseWheelFactor(1);
    const int lh = e.w.CurrentLineHeight();
    e.Wheel(-120);
    EXPECT_EQ(e.w.VerticalOffset(), lh);
    e.Wheel(-60);
    EXPECT_EQ(e.w.VerticalOffset(), lh);
    e.Wheel(-60);
    EXPECT_EQ(e.w.VerticalOffset(), 2 * lh);
    e.w.SetMouseWheelFactor(3);
    e.Wheel(120);
    EXPECT_EQ(e.w.TopLine(), 0);
    // Sideways, and with Shift.
    e.w.SetMouseWheelFactor(1);
    const int step = e.w.viewport()->width() / 20 + 1;
    e.Wheel(0, -120);
    e.Wheel(-120, 0, Qt::ShiftModifier);
    EXPECT_EQ(e.w.HorizontalOffset(), 2 * step);
    EXPECT_EQ(e.w.VerticalOffset(), 0);
}

// Text dragged in from another program lands at the pointer as one change
// and is selected; a drag of files passes on to the window behind.
TEST(MouseWidget, ForeignTextDropsHereAndFileDropsGoToTheParent) {
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
    EXPECT_EQ(e.w.Text(), "one two");
    EXPECT_EQ(parent.entered, 1);
}

// A click on an item with a context number reports the whole range, over
// paragraph ends and to the text end when open, and tells the highlighter.
TEST(MouseWidget, ContextClickCoversTheWholeRangeAndTellsTheHighlighter) {
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
    e.w.SetHighlighter(nullptr);
}

TEST(MouseWidget, BuiltInMenuFollowsReadOnly) {
    Editor e("some text");
    QApplication::clipboard()->setText("x");
    e.w.SetSelStart(0);
    e.w.SetSelLength(4);
    e.w.SetReadOnly(true);
    e.Mouse(QEvent::MouseButtonPress, e.At(1, 0), Qt::RightButton);
    e.Mouse(QEvent::MouseButtonRelease, e.At(1, 0), Qt::RightButton);
    QMenu* menu = e.input->ContextMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 8);
    EXPECT_EQ(items[3]->text(), "Cu&t");
    EXPECT_FALSE(items[3]->isEnabled());
    EXPECT_TRUE(items[4]->isEnabled());
    EXPECT_FALSE(items[5]->isEnabled());
    EXPECT_TRUE(items[7]->isEnabled());
    menu->close();
}

TEST(MouseWidget, DragCopyCursorIsDrawn) {
    const QCursor c = DragCopyCursor();
    const QImage image = c.pixmap().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(c.hotSpot(), QPoint(0, 0));
    EXPECT_GT(qAlpha(image.pixel(2, 5)), 0) << "the arrow starts at the hot spot";
    EXPECT_GT(qAlpha(image.pixel(17, 23)), 0) << "the plus box";
    EXPECT_EQ(qAlpha(image.pixel(30, 2)), 0);
}

} // namespace
} // namespace lorvane
