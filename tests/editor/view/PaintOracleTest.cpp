// What the control leaves on screen after each step of a long random run of
// typing, line breaks, deletions, cut and paste, undo and redo, selections
// by keys and mouse, drags, scrolling and resizing must be what a full
// repaint (Ctrl+E) draws: anything else is a line the invalidation missed.
// The screen is the window's backing store, not a fresh rendering.
// LORVANE_PAINT_SEED=<n> reruns a seed; LORVANE_GRAB_DIR keeps the pictures.
#include "editor/view/WidgetFixture.h"

#include <QScreen>
#include <QScrollBar>

#include <random>
#include <string>

namespace lorvane::test {
namespace {

// Case n: wrapped when n is odd, in the "Terminal" font from 2 on.
class PaintOracle : public ::testing::TestWithParam<int>, protected Events {
protected:
    int Pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(std::max(n, 1))); }
    QPoint AnyPoint() { return {Pick(w.viewport()->width()), Pick(w.viewport()->height())}; }

    // The client area as the user sees it once the event loop is idle.
    QImage Screen() {
        for (int n = 0; n < 3; ++n)
            QApplication::processEvents();
        const QPoint at = w.viewport()->mapTo(&w, QPoint(0, 0));
        return w.screen()
            ->grabWindow(w.winId(), at.x(), at.y(), w.viewport()->width(), w.viewport()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // One random action; its name for the failure message.
    std::string Step() {
        static const char* const kTyped[] = {"a", "W", " ", "\xD0\xB6", "1", "."};
        static const int kMoves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,
                                     Qt::Key_Home, Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown};
        static const QAbstractSlider::SliderAction kBar[] = {
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub};
        const int pick = Pick(100);
        const QPoint a = AnyPoint(), b = AnyPoint();
        if (pick < 22) {
            const char* s = kTyped[Pick(std::size(kTyped))];
            Key(Qt::Key_unknown, {}, QString::fromUtf8(s));
            return std::string("type ") + s;
        }
        if (pick < 32) return Key(Qt::Key_Return, {}, "\r"), "enter";
        if (pick < 37) return Key(Qt::Key_Backspace, {}, "\b"), "backspace";
        if (pick < 42) return Key(Qt::Key_Delete), "delete";
        if (pick < 56) {
            const int key = kMoves[Pick(std::size(kMoves))];
            const auto m = Qt::KeyboardModifiers(Pick(2) ? Qt::ShiftModifier : Qt::NoModifier) |
                           (Pick(6) ? Qt::NoModifier : Qt::ControlModifier);
            Key(key, m);
            return "move " + std::to_string(key) + " modifiers " + std::to_string(m.toInt());
        }
        if (pick < 62) { // whole lines or a part of one
            const bool lines = Pick(2);
            if (lines) Key(Qt::Key_Home);
            for (int n = Pick(lines ? 3 : 8); n >= 0; --n)
                Key(lines ? Qt::Key_Down : Qt::Key_Right, Qt::ShiftModifier);
            Key(Qt::Key_X, Qt::ControlModifier);
            return lines ? "cut lines" : "cut";
        }
        if (pick < 67) return Key(Qt::Key_V, Qt::ControlModifier), "paste";
        if (pick < 72) return Key(Qt::Key_Z, Qt::ControlModifier), "undo";
        if (pick < 74) return Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier), "redo";
        if (pick < 77) return Click(a), "click";
        if (pick < 79) {
            Mouse(QEvent::MouseButtonDblClick, a);
            Mouse(QEvent::MouseButtonRelease, a);
            return "double-click";
        }
        // A drag makes a new selection, or moves the text when it starts on
        // the selection.
        if (pick < 84) return Drag(a, b), "drag";
        if (pick < 88) return Wheel(a, {0, Pick(2) ? 120 : -120}), "wheel";
        if (pick < 92) {
            (Pick(3) ? w.verticalScrollBar() : w.horizontalScrollBar())
                ->triggerAction(kBar[Pick(std::size(kBar))]);
            return "scroll bar";
        }
        if (pick < 96) return w.resize(120 + Pick(260), 60 + Pick(160)), "resize";
        return "idle"; // whatever background layout does meanwhile
    }

    std::mt19937 rng;
};

TEST_P(PaintOracle, WhatIsOnScreenIsWhatAFullRepaintDraws) {
    const bool wrap = GetParam() % 2 == 1;
    const char* const font = GetParam() >= 2 ? "Terminal" : "MS Sans Serif";
    std::uint32_t seed = 20261206u + static_cast<std::uint32_t>(GetParam());
    if (const char* s = std::getenv("LORVANE_PAINT_SEED")) seed = std::strtoul(s, nullptr, 10);
    rng.seed(seed);
    const int flash = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0); // no blinking caret between the two pictures
    w.SetFont({font, 0, 10, 0, false});
    w.SetFontColor(clBlack);
    w.SetColor(clWhite);
    w.SetScrollBars(ssBoth);
    w.SetWordWrap(wrap);
    w.SetOptions(w.Options() | rzoKeepColumnPos);
    w.resize(260, 150);
    w.show();
    w.activateWindow();
    w.setFocus();
    static const char* const kWords[] = {"mov", "ax,", "\xEF\xF0\xE8\xE2\xE5\xF2",
                                         "\t",  "i",   "offset"};
    std::string text;
    for (int p = 12 + Pick(20); p > 0; --p) {
        for (int n = Pick(12); n > 0; --n)
            text += Pick(25) ? std::string(kWords[Pick(std::size(kWords))]) + " "
                             : std::string(20 + Pick(60), static_cast<char>('a' + Pick(26)));
        text += "\r\n";
    }
    w.SetText(text);
    QApplication::processEvents();
    ASSERT_TRUE(w.hasFocus()) << "the selection and the caret show only with the focus";
    for (int step = 0; step < 1000; ++step) {
        const std::string action = Step();
        const QImage seen = Screen();
        Key(Qt::Key_E, Qt::ControlModifier); // repaints everything and checks the model
        const QImage full = Screen();
        if (seen != full) {
            if (const char* dir = std::getenv("LORVANE_GRAB_DIR")) {
                seen.save(QString("%1/stale-%2.png").arg(dir).arg(step));
                full.save(QString("%1/full-%2.png").arg(dir).arg(step));
            }
            ADD_FAILURE() << "stale pixels after step " << step << " (" << action << "), seed "
                          << seed << ", font " << font << ", wrap " << wrap;
            break;
        }
    }
    QApplication::setCursorFlashTime(flash);
}

INSTANTIATE_TEST_SUITE_P(FontsAndWrap, PaintOracle, ::testing::Range(0, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param >= 2 ? "Terminal" : "Proportional") +
                                    (info.param % 2 == 1 ? "Wrapped" : "Unwrapped");
                         });

} // namespace
} // namespace lorvane::test
