#pragma once
// A shown editor control with a real font, laid out at once, and helpers to
// render it offscreen (LORVANE_GRAB_DIR keeps the pictures as PNGs); and a
// control with its keyboard, mouse and scrolling, driven by real events.
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazInput.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <concepts>
#include <cstdlib>
#include <memory>
#include <string>

namespace lorvane::test {

struct WidgetFixture : ::testing::Test {
    std::unique_ptr<RIzuvAzaz> memo = std::make_unique<RIzuvAzaz>();

    void SetUp() override {
        memo->SetUpdateMode(umImmediate);
        memo->SetFont({"System", 14, 10, 0, false});
        memo->SetFontColor(clBlack);
        memo->SetColor(clWhite);
        memo->SetEndOfTextMark({-1, 1, psSolid});
        memo->resize(400, 200);
        memo->show();
        QApplication::processEvents();
    }

    // Focus as the window system gives or takes it.
    void Focus(bool in) {
        if (in) memo->setFocus();
        QFocusEvent e(in ? QEvent::FocusIn : QEvent::FocusOut);
        QApplication::sendEvent(memo.get(), &e);
    }

    int Lh() const { return memo->CurrentLineHeight(); }
    int Sw() const { return memo->SpaceWidth(); }

    // The control's client area, drawn by its own painting only, over a
    // background of `fill` (what is left there was not painted).
    QImage Render(QColor fill = QColor(255, 0, 255)) {
        QWidget* v = memo->viewport();
        QImage image(v->size(), QImage::Format_RGB32);
        image.fill(fill);
        v->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    }

    QImage Snap(const char* name) {
        QImage image = Render();
        if (const char* dir = std::getenv("LORVANE_GRAB_DIR")) {
            memo->grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
            image.save(QString::fromUtf8(dir) + "/" + name + "-client.png");
        }
        return image;
    }

    // x of a caret position on display line `line` (client pixels).
    int XOf(std::int32_t paragraph, std::int32_t column, std::int32_t line = 0) {
        return memo->PosToX(memo->Model().ParagraphAt(paragraph), paragraph, column, line);
    }
};

inline bool SameColour(QRgb a, QColor b) {
    return qRed(a) == b.red() && qGreen(a) == b.green() && qBlue(a) == b.blue();
}

// `count` paragraphs: line(i) for each, or the same line.
template <std::invocable<int> Line> std::string Lines(int count, Line line) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(line(i)) + "\r\n";
    return text;
}
inline std::string Lines(int count, std::string_view line) {
    return Lines(count, [&](int) { return line; });
}

// A control with its input handler, and real events to send it.
struct Events {
    void Key(int qtKey, Qt::KeyboardModifiers m = {}, const QString& text = {}) {
        QKeyEvent down(QEvent::KeyPress, qtKey, m, text);
        QApplication::sendEvent(&w, &down);
        QKeyEvent up(QEvent::KeyRelease, qtKey, m, text);
        QApplication::sendEvent(&w, &up);
    }
    // Types text as a person would: CR is Enter, TAB the Tab key, BS Backspace.
    void Type(std::string_view s) {
        for (const char c : s) {
            if (c == '\r')
                Key(Qt::Key_Return);
            else if (c == '\t')
                Key(Qt::Key_Tab, {}, "\t");
            else if (c == '\b')
                Key(Qt::Key_Backspace, {}, "\b");
            else
                Key(c >= 'a' && c <= 'z' ? Qt::Key_A + (c - 'a') : Qt::Key_unknown, {},
                    QString(QChar(c)));
        }
    }
    // Client point of the left part of a column on a display line.
    QPoint At(int column, int line) const {
        return {w.LeftMargin() + column * w.SpaceWidth() + 1,
                line * w.CurrentLineHeight() + w.CurrentLineHeight() / 2};
    }
    // A move carries `button` as held, a press or double click presses it.
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers m = {}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(p), w.viewport()->mapToGlobal(QPointF(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, m);
        QApplication::sendEvent(w.viewport(), &e);
    }
    void Click(QPoint p, Qt::KeyboardModifiers m = {}) {
        Mouse(QEvent::MouseMove, p, Qt::NoButton, m);
        Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, m);
        Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, m);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}) {
        Mouse(QEvent::MouseMove, from, Qt::NoButton, m);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, m);
        Mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, m);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton, m);
        Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, m);
    }
    void Wheel(QPoint at, QPoint delta, Qt::KeyboardModifiers m = {}) {
        QWheelEvent e(QPointF(at), w.viewport()->mapToGlobal(QPointF(at)), QPoint(), delta,
                      Qt::NoButton, m, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.viewport(), &e);
    }

    RIzuvAzaz w;
    TInputHandler input{w};
};

// Shown, laid out at once, without wrapping, holding `text` with the caret
// at `caret` and nothing to undo.
struct Editor : Events {
    explicit Editor(std::string_view text = {}, RIzuvAzazOptions options = 0,
                    std::int32_t caret = 0) {
        w.SetUpdateMode(umImmediate);
        w.resize(480, 240);
        w.show();
        w.SetOptions(options);
        w.SetWordWrap(false);
        w.SetText(text);
        w.ClearUndo();
        w.SetSelStart(caret);
        w.setFocus();
    }
    std::string Text() { return w.Text(); }
    std::int32_t Pos() const { return w.SelStart(); }
    int Lh() const { return w.CurrentLineHeight(); }

    // Presses each key in turn; the caret must then stand at `pos`, with
    // `spaces` virtual spaces beyond it (-1: not checked).
    struct Step {
        int key;
        Qt::KeyboardModifiers shift;
        std::int32_t pos;
        std::int32_t spaces = -1;
    };
    void Expect(std::initializer_list<Step> steps) {
        int n = 0;
        for (const Step& s : steps) {
            Key(s.key, s.shift);
            EXPECT_EQ(Pos(), s.pos) << "step " << n;
            if (s.spaces >= 0) {
                EXPECT_EQ(w.VirtualSpaces(), s.spaces) << "step " << n;
            }
            ++n;
        }
    }
};

constexpr Qt::KeyboardModifiers kNone{}, kShift{Qt::ShiftModifier}, kCtrl{Qt::ControlModifier},
    kAlt{Qt::AltModifier};

} // namespace lorvane::test
