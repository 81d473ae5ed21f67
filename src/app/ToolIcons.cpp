#include "app/ToolIcons.h"

#include "app/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>
#include <string>

namespace lorvane {
namespace {

constexpr int kSize = 20;

void Page(QPainter& p, QRectF r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
    p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

void Lines(QPainter& p, QRectF r, int count) {
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 6 + i * 3;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void Magnifier(QPainter& p, QPointF centre) {
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(centre, 4.5, 4.5);
    QPen pen = p.pen();
    pen.setWidthF(2.5);
    p.setPen(pen);
    p.drawLine(centre + QPointF(3.5, 3.5), centre + QPointF(8, 8));
}

void Letter(QPainter& p, QRectF r, const QString& text, bool bold = true) {
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(r.height()));
    font.setBold(bold);
    p.setFont(font);
    p.drawText(r, Qt::AlignCenter, text);
}

using Drawer = std::function<void(QPainter&)>;

const std::map<std::string, Drawer, std::less<>>& Drawers() {
    static const std::map<std::string, Drawer, std::less<>> drawers = {
        {"SpeedButton13",
         [](QPainter& p) {
             Page(p, {4, 2, 12, 16});
         }},
        {"OpenBtn",
         [](QPainter& p) {
             p.setBrush(QColor(240, 200, 80));
             p.drawRect(QRectF(2, 6, 14, 11));
             p.setBrush(QColor(250, 225, 120));
             QPolygonF flap{{2, 17}, {5, 10}, {19, 10}, {16, 17}};
             p.drawPolygon(flap);
         }},
        {"SaveBtn",
         [](QPainter& p) {
             p.setBrush(QColor(60, 80, 170));
             p.drawRect(QRectF(2.5, 2.5, 15, 15));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(5.5, 2.5, 9, 6));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(5.5, 11.5, 9, 6));
         }},
        {"SpeedButton1",
         [](QPainter& p) {
             Page(p, {6, 1, 8, 8});
             p.setBrush(QColor(170, 170, 170));
             p.drawRect(QRectF(2.5, 8.5, 15, 7));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(5.5, 13.5, 9, 5));
         }},
        {"SpeedButton7",
         [](QPainter& p) {
             QPen pen = p.pen();
             pen.setStyle(Qt::DashLine);
             p.setPen(pen);
             p.drawRect(QRectF(2.5, 3.5, 15, 13));
             p.setPen(Qt::black);
             Lines(p, {2.5, 1.5, 15, 13}, 3);
         }},
        {"SpeedButton6",
         [](QPainter& p) {
             Letter(p, {1, 1, 18, 18}, QStringLiteral("A"));
         }},
        {"SpeedButton11",
         [](QPainter& p) {
             const QColor colours[] = {Qt::red, Qt::yellow, Qt::green, Qt::blue};
             for (int i = 0; i < 4; ++i) {
                 p.setBrush(colours[i]);
                 p.drawRect(QRectF(2.5 + (i % 2) * 8, 2.5 + (i / 2) * 8, 7, 7));
             }
         }},
        {"CutBtn",
         [](QPainter& p) {
             p.drawLine(QPointF(6, 2), QPointF(13, 12));
             p.drawLine(QPointF(14, 2), QPointF(7, 12));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(6, 15), 3, 3);
             p.drawEllipse(QPointF(14, 15), 3, 3);
         }},
        {"CopyBtn",
         [](QPainter& p) {
             Page(p, {2, 2, 10, 12});
             Page(p, {8, 6, 10, 12});
         }},
        {"PasteBtn",
         [](QPainter& p) {
             p.setBrush(QColor(190, 140, 80));
             p.drawRect(QRectF(3.5, 3.5, 12, 15));
             p.setBrush(QColor(150, 150, 150));
             p.drawRect(QRectF(6.5, 1.5, 6, 4));
             Page(p, {9, 8, 9, 11});
         }},
        {"SpeedButton14",
         [](QPainter& p) {
             QFont font = p.font();
             font.setPixelSize(8);
             font.setBold(true);
             p.setFont(font);
             p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("BAK"));
             QPen pen(Qt::red);
             pen.setWidthF(2);
             p.setPen(pen);
             p.drawLine(QPointF(3, 17), QPointF(17, 3));
         }},
        {"SpeedButton2",
         [](QPainter& p) {
             Magnifier(p, {8, 8});
         }},
        {"SpeedButton4",
         [](QPainter& p) {
             Magnifier(p, {7, 7});
             p.setPen(QPen(QColor(0, 120, 0), 2));
             p.drawLine(QPointF(12, 3), QPointF(18, 3));
             p.drawLine(QPointF(15, 0.5), QPointF(18, 3));
         }},
        {"SpeedButton5",
         [](QPainter& p) {
             Letter(p, {0, 0, 10, 12}, QStringLiteral("a"));
             Letter(p, {9, 7, 11, 13}, QStringLiteral("b"));
             p.drawLine(QPointF(4, 14), QPointF(8, 17));
         }},
        {"SpeedButton9",
         [](QPainter& p) {
             p.setBrush(QColor(120, 120, 120));
             p.drawRect(QRectF(3.5, 3.5, 10, 5));
             p.setBrush(QColor(160, 110, 60));
             p.drawRect(QRectF(8.5, 8.5, 3, 10));
         }},
        {"SpeedButton10",
         [](QPainter& p) {
             QPen pen = p.pen();
             pen.setWidthF(2);
             p.setPen(pen);
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(QRectF(2, 6, 9, 7), 3, 3);
             p.drawRoundedRect(QRectF(9, 6, 9, 7), 3, 3);
         }},
        {"SpeedButton12",
         [](QPainter& p) {
             p.setBrush(QColor(0, 150, 0));
             p.drawPolygon(QPolygonF{{5, 3}, {16, 10}, {5, 17}});
         }},
        {"SpeedButton8",
         [](QPainter& p) {
             Page(p, {3, 2, 12, 16});
             p.setPen(QPen(Qt::red, 2));
             p.drawLine(QPointF(9, 9), QPointF(17, 17));
             p.drawLine(QPointF(17, 9), QPointF(9, 17));
         }},
        {"Program", PaintProgramIcon},
        {"ExitBtn",
         [](QPainter& p) {
             p.setBrush(QColor(150, 100, 60));
             p.drawRect(QRectF(3.5, 2.5, 9, 15));
             p.setPen(QPen(QColor(0, 120, 0), 2));
             p.drawLine(QPointF(10, 10), QPointF(18, 10));
             p.drawLine(QPointF(15, 7), QPointF(18, 10));
             p.drawLine(QPointF(15, 13), QPointF(18, 10));
         }},
    };
    return drawers;
}

} // namespace

QIcon ToolIcon(std::string_view buttonName) {
    const auto& drawers = Drawers();
    auto it = drawers.find(buttonName);
    if (it == drawers.end()) return {};
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    it->second(painter);
    painter.end();
    return QIcon(picture);
}

} // namespace lorvane
