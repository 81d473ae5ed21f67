#include "about/ProgramPicture.h"

#include "platform/Fonts.h"

#include <QBrush>
#include <QLinearGradient>
#include <QPainter>

namespace lorvane {

namespace {

// A sheet of text with a few highlighted words: what the program is for.
void DrawSheet(QPainter& painter, const QRectF& sheet) {
    painter.save();
    painter.translate(sheet.center());
    painter.rotate(-6);
    const QRectF page(-sheet.width() / 2, -sheet.height() / 2, sheet.width(), sheet.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(page.translated(4, 5), 4, 4);
    painter.setBrush(QColor(252, 250, 242));
    painter.drawRoundedRect(page, 4, 4);

    // Rows of "code": keyword, operands, comment, with the colours of the
    // editor's highlighting.
    const QColor keyword(40, 70, 170), plain(90, 90, 90), comment(40, 140, 70), number(170, 60, 40);
    const struct {
        qreal indent, first, second;
        QColor firstColor, secondColor;
    } rows[] = {{0, 0.30, 0.35, keyword, plain},     {0.12, 0.22, 0.30, keyword, number},
                {0.12, 0.22, 0.40, keyword, plain},  {0, 0.55, 0.0, comment, comment},
                {0.12, 0.25, 0.20, keyword, number}, {0.12, 0.18, 0.45, keyword, plain},
                {0, 0.35, 0.0, comment, comment}};
    const qreal left = page.left() + page.width() * 0.1;
    const qreal usable = page.width() * 0.8;
    qreal y = page.top() + page.height() * 0.14;
    const qreal step = page.height() * 0.115;
    for (const auto& row : rows) {
        const qreal x = left + usable * row.indent;
        painter.setBrush(row.firstColor);
        painter.drawRoundedRect(QRectF(x, y, usable * row.first, step * 0.42), 2, 2);
        if (row.second > 0) {
            painter.setBrush(row.secondColor);
            painter.drawRoundedRect(
                QRectF(x + usable * (row.first + 0.05), y, usable * row.second, step * 0.42), 2, 2);
        }
        y += step;
    }
    painter.restore();
}

} // namespace

QPixmap DrawProgramPicture(QSize size) {
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));

    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0, QColor(18, 42, 92));
    sky.setColorAt(1, QColor(20, 110, 120));
    painter.fillRect(area, sky);

    // Faint columns of hexadecimal digits: the other half of the work is
    // numbers in several bases.
    QFont digits = MakeFont(LogicalFont{"System", 0, 9, 0, true});
    painter.setFont(digits);
    painter.setPen(QColor(255, 255, 255, 38));
    const char* columns[] = {"1F 7A 00 C3", "FF 2E 41 08", "0D 0A 1B 5C", "80 B4 E2 9F"};
    for (int i = 0; i < 12; ++i)
        painter.drawText(QPointF(6 + (i % 2) * area.width() * 0.55, 14 + i * area.height() / 12.0),
                         QString::fromLatin1(columns[i % 4]));

    DrawSheet(painter, QRectF(area.width() * 0.08, area.height() * 0.12, area.width() * 0.5,
                              area.height() * 0.72));

    // The emblem: a Cyrillic capital in a ring, for the texts it is made for.
    const QPointF centre(area.width() * 0.76, area.height() * 0.42);
    const qreal radius = area.height() * 0.24;
    QRadialGradient glow(centre, radius * 1.4);
    glow.setColorAt(0, QColor(255, 214, 120, 120));
    glow.setColorAt(1, QColor(255, 214, 120, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius * 1.4, radius * 1.4);
    painter.setBrush(QColor(250, 196, 70));
    painter.setPen(QPen(QColor(255, 240, 200), 3));
    painter.drawEllipse(centre, radius, radius);
    QFont letter = MakeFont(LogicalFont{"MS Sans Serif", 0, 10, fsBold, false});
    letter.setPixelSize(static_cast<int>(radius * 1.3));
    painter.setFont(letter);
    painter.setPen(QColor(30, 50, 100));
    painter.drawText(QRectF(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2),
                     Qt::AlignCenter, QStringLiteral("Л"));

    QFont name = MakeFont(LogicalFont{"MS Sans Serif", 0, 10, fsBold, false});
    name.setPixelSize(static_cast<int>(area.height() * 0.1));
    name.setLetterSpacing(QFont::PercentageSpacing, 110);
    painter.setFont(name);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QRectF(area.width() * 0.52, centre.y() + radius * 1.15, area.width() * 0.48,
                            area.height() * 0.16),
                     Qt::AlignCenter, QStringLiteral("Lorvane"));
    return pixmap;
}

} // namespace lorvane
