#include "app/ProgramIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <array>
#include <cstdio>

namespace lorvane {
namespace {

struct Stroke {
    double x1, y1, x2, y2;
};

// The page, outlined in its own black, and four lines of text indented as
// a program's are.
constexpr double kPageX = 2.5, kPageY = 1.5, kPageWidth = 15, kPageHeight = 17;
constexpr double kTextWidth = 1.5;

std::array<Stroke, 4> TextLines() {
    std::array<Stroke, 4> lines{};
    for (int i = 0; i < 4; ++i)
        lines[i] = {5.0 + (i % 2) * 3, 5 + i * 3.5, 15.0 - i * 2, 5 + i * 3.5};
    return lines;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

void PaintProgramIcon(QPainter& p) {
    // Mitred corners and square caps, as the SVG below draws them.
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(kPageX, kPageY, kPageWidth, kPageHeight));
    p.setPen(QPen(QColor(0, 255, 255), kTextWidth, Qt::SolidLine, Qt::SquareCap));
    for (const Stroke& s : TextLines())
        p.drawLine(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2));
}

QImage ProgramIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / kProgramIconUnits, double(size) / kProgramIconUnits);
    PaintProgramIcon(painter);
    return image;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}

std::string ProgramIconSvg() {
    const std::string units = Number(kProgramIconUnits);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      units + "\" height=\"" + units + "\" viewBox=\"0 0 " + units + " " + units +
                      "\">\n";
    svg += "  <rect x=\"" + Number(kPageX) + "\" y=\"" + Number(kPageY) + "\" width=\"" +
           Number(kPageWidth) + "\" height=\"" + Number(kPageHeight) +
           "\" fill=\"#000000\" stroke=\"#000000\" stroke-width=\"1\"/>\n";
    svg += "  <g stroke=\"#00ffff\" stroke-width=\"" + Number(kTextWidth) +
           "\" stroke-linecap=\"square\">\n";
    for (const Stroke& s : TextLines())
        svg += "    <line x1=\"" + Number(s.x1) + "\" y1=\"" + Number(s.y1) + "\" x2=\"" +
               Number(s.x2) + "\" y2=\"" + Number(s.y2) + "\"/>\n";
    svg += "  </g>\n</svg>\n";
    return svg;
}

} // namespace lorvane
