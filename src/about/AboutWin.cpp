#include "about/AboutWin.h"

#include "about/ProgramPicture.h"
#include "platform/Fonts.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <qdrawutil.h>

namespace lorvane {

namespace {

constexpr int kClientWidth = 299;
constexpr int kClientHeight = 337;
constexpr int kBevel = 2; // one lowered and one raised edge, a pixel each

QFont FormFont(bool bold) {
    return MakeFont(LogicalFont{"MS Sans Serif", 0, 8, bold ? fsBold : 0u, false});
}

// A panel lowered on the outside and raised on the inside: a sunken rim
// around a slightly lifted face, which frames the picture.
class BevelPanel : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QPalette& colours = palette();
        QRect edge = rect();
        qDrawShadeRect(&painter, edge, colours, true, 1); // lowered outside
        edge.adjust(1, 1, -1, -1);
        qDrawShadeRect(&painter, edge, colours, false, 1); // raised inside
    }
};

QPixmap OkGlyph() {
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
    return glyph;
}

QLabel* AddLine(QWidget* parent, const char* name, const QString& text, int top, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(FormFont(bold));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setGeometry(8, top, kClientWidth - 16, 18);
    return label;
}

} // namespace

TAboutWin1::TAboutWin1(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("AboutWin1"));
    setWindowTitle(QStringLiteral("Информация"));
    setFont(FormFont(false));
    setFixedSize(kClientWidth, kClientHeight);

    auto* panel = new BevelPanel(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 281, 201);

    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    const QRect face = panel->rect().adjusted(kBevel, kBevel, -kBevel, -kBevel);
    picture->setGeometry(face);
    picture->setScaledContents(true);
    picture->setPixmap(DrawProgramPicture(face.size()));

    // A blank bold caption over the picture's corner, kept from the form's
    // layout; it shows nothing.
    auto* blank = new QLabel(QStringLiteral(" "), panel);
    blank->setFont(FormFont(true));
    blank->setAttribute(Qt::WA_TranslucentBackground);
    blank->move(face.topLeft() + QPoint(6, 6));

    AddLine(this, "Label3", QStringLiteral("Lorvane - multi-windows text editor"), 218, true);
    AddLine(this, "Label1", QStringLiteral("Кириллица: 1251, 866 и KOI8-R"), 238, false);
    AddLine(this, "Label2", QStringLiteral("Version  1.9.0.1."), 258, false);
    AddLine(this, "Label4", QStringLiteral("Для тех, кто пишет на ассемблере"), 278, false);

    okButton_ = new QPushButton(QIcon(OkGlyph()), QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setFont(FormFont(true));
    okButton_->setDefault(true);
    okButton_->setGeometry((kClientWidth - 77) / 2, 302, 77, 27);
    okButton_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutWin1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen at every opening, whoever the parent is.
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace lorvane
