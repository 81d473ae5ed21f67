#include "app/WindowPlacement.h"

#include "app/Child.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace lorvane {

void FitFrameToScreen(QWidget& frame) {
    const QScreen* screen = frame.screen() ? frame.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize size(std::max(frame.width(), area.width() * 3 / 4),
                     std::max(frame.height(), area.height() * 3 / 4));
    frame.resize(size.boundedTo(area.size()));
    frame.move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

void FitDocumentWindow(TMDIChild& window, const QFont& font) {
    const QWidget* editor = window.Memo1().Widget();
    const QFontMetrics metrics(font);
    const int scrollBar = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // What the window has around its editor: frame, title and status line.
    const QSize chrome = window.size() - editor->size();
    const QSize wanted(metrics.horizontalAdvance(QLatin1Char('M')) * 80 + scrollBar + 8,
                       metrics.lineSpacing() * 25 + scrollBar + 4);
    QSize size = wanted + chrome;
    if (const QMdiArea* area = window.mdiArea()) size = size.boundedTo(area->viewport()->size());
    window.resize(size);
}

void CascadeDocumentWindow(TMDIChild& window, const QWidget* after) {
    const QMdiArea* area = window.mdiArea();
    if (area == nullptr) return;
    const QRect room = area->viewport()->rect();
    QPoint at(0, 0);
    if (after != nullptr && after != &window) {
        const int step = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight), 16);
        at = after->pos() + QPoint(step, step);
    }
    if (!room.contains(QRect(at, window.size()))) at = QPoint(0, 0);
    window.move(at);
}

} // namespace lorvane
