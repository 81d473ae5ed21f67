#pragma once
// A shown editor control with a real font, laid out at once, and helpers to
// render it offscreen. Set LORVANE_GRAB_DIR to keep the pictures as PNGs.
#include "editor/view/RIzuvAzaz.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>

#include <gtest/gtest.h>

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

} // namespace lorvane::test
