#include "editor/view/RIzuvAzazCursors.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <memory>

namespace lorvane::cursors {

namespace {

std::unique_ptr<QCursor>& Shared() {
    static std::unique_ptr<QCursor> cursor;
    return cursor;
}

// An arrow pointing up and to the right: the usual arrow mirrored, with its
// hot spot at the tip, so it points at the line it selects.
QCursor MakeRightArrow() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPolygon arrow({QPoint(14, 1), QPoint(14, 12), QPoint(11, 9), QPoint(8, 14),
                          QPoint(6, 13), QPoint(9, 8), QPoint(5, 8)});
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
    p.end();
    return QCursor(pixmap, 14, 1);
}

} // namespace

void Acquire() {
    if (!Shared()) Shared() = std::make_unique<QCursor>(MakeRightArrow());
}

void Release() noexcept {
    Shared().reset();
}

QCursor RightArrow() {
    return Shared() ? *Shared() : QCursor(Qt::ArrowCursor);
}

} // namespace lorvane::cursors
