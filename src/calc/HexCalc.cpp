#include "calc/HexCalc.h"

#include "platform/Dialogs.h"
#include "platform/ErrorHandler.h"
#include "platform/Fonts.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace lorvane {

using calc::NumberBase;

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";
constexpr char kSigns[] = "+-*/";

// The form's button names for the digits 0..F.
constexpr const char* kDigitButtonNames[16] = {
    "Button6",  "Button1", "Button4", "Button7",  "Button10", "Button2",  "Button5",  "Button8",
    "Button11", "Button3", "Button9", "Button12", "Button13", "Button14", "Button15", "Button16"};

// The digit grid reads 1 2 3 4 / 5 6 7 8 / 9 0 A B / C D E F.
constexpr int kGridOrder[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 10, 11, 12, 13, 14, 15};

constexpr NumberBase kRadioItems[4] = {NumberBase::Hex, NumberBase::Oct, NumberBase::Bin,
                                       NumberBase::Dec};

int RadioIndex(NumberBase base) noexcept {
    for (int i = 0; i < 4; ++i)
        if (kRadioItems[i] == base) return i;
    return 0;
}

QFont FormFont(int pointSize, bool bold) {
    return MakeFont(LogicalFont{"MS Sans Serif", 0, pointSize, bold ? fsBold : 0u, false});
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    // No button is the dialog's default: Enter presses only the button that
    // has the focus (see eventFilter), never some first button of the form.
    button->setAutoDefault(false);
    button->setMinimumSize(38, 28);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

} // namespace

THexCalc::THexCalc(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HexCalc"));
    setWindowTitle(QStringLiteral("Калькулятор Hex, Oct, Bin, Dec форматов"));
    setFont(FormFont(8, false));
    BuildControls();
    Refresh();
}

void THexCalc::BuildControls() {
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);

    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setReadOnly(true);
    edit1_->setEnabled(false);
    edit1_->setFont(FormFont(10, true));
    // Disabled only so that it never takes the focus or typing; the number
    // itself must stay as legible as any text.
    QPalette legible = edit1_->palette();
    legible.setColor(QPalette::Disabled, QPalette::Text,
                     legible.color(QPalette::Active, QPalette::Text));
    legible.setColor(QPalette::Disabled, QPalette::Base,
                     legible.color(QPalette::Active, QPalette::Base));
    edit1_->setPalette(legible);
    // The longest display, 32 binary digits, fits without scrolling.
    edit1_->setMinimumWidth(edit1_->fontMetrics().horizontalAdvance(QString(33, QLatin1Char('0'))));
    grid->addWidget(edit1_, 0, 0, 1, 6);

    panel1_ = new QLabel(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel1_->setAlignment(Qt::AlignCenter);
    panel1_->setFont(FormFont(14, true));
    panel1_->setFixedWidth(38);
    grid->addWidget(panel1_, 0, 6);

    auto* radioBox = new QGroupBox(QStringLiteral("Формат представления числа"), this);
    radioBox->setObjectName(QStringLiteral("RadioGroup1"));
    auto* radioRow = new QHBoxLayout(radioBox);
    radioGroup1_ = new QButtonGroup(this);
    const char* itemTexts[4] = {"Hex", "Oct", "Bin", "Dec"};
    for (int i = 0; i < 4; ++i) {
        auto* item = new QRadioButton(QString::fromLatin1(itemTexts[i]), radioBox);
        radioGroup1_->addButton(item, i);
        radioRow->addWidget(item);
    }
    grid->addWidget(radioBox, 1, 0, 1, 7);

    for (int cell = 0; cell < 16; ++cell) {
        const int digit = kGridOrder[cell];
        auto* button =
            MakeButton(this, kDigitButtonNames[digit], QString(QLatin1Char(kDigits[digit])));
        digitButtons_[digit] = button;
        grid->addWidget(button, 2 + cell / 4, cell % 4);
        connect(button, &QPushButton::clicked, this,
                [this, digit] { Run([this, digit] { state_.Digit(kDigits[digit]); }); });
    }
    // A narrow gap keeps the operation keys apart from the digits.
    grid->setColumnMinimumWidth(4, 6);

    const char* operationNames[4] = {"Button17", "Button18", "Button19", "Button20"};
    for (int i = 0; i < 4; ++i) {
        const char sign = kSigns[i];
        auto* button = MakeButton(this, operationNames[i], QString(QLatin1Char(sign)));
        button->setFont(FormFont(10, true));
        operationButtons_[i] = button;
        grid->addWidget(button, 2 + i / 2, 5 + i % 2);
        connect(button, &QPushButton::clicked, this,
                [this, sign] { Run([this, sign] { state_.Operation(sign); }); });
    }
    auto* negate = MakeButton(this, "Button26", QStringLiteral("+ / -"));
    grid->addWidget(negate, 4, 5);
    connect(negate, &QPushButton::clicked, this, [this] { Run([this] { state_.Negate(); }); });
    equalsButton_ = MakeButton(this, "Button22", QStringLiteral("="));
    equalsButton_->setFont(FormFont(10, true));
    grid->addWidget(equalsButton_, 4, 6);
    connect(equalsButton_, &QPushButton::clicked, this, [this] { Equals(); });
    resetButton_ = MakeButton(this, "Button21", QStringLiteral("Сброс"));
    grid->addWidget(resetButton_, 5, 5, 1, 2);
    connect(resetButton_, &QPushButton::clicked, this, [this] { Run([this] { state_.Reset(); }); });

    grid->setRowMinimumHeight(6, 4);
    auto* copyButton = MakeButton(this, "Button24", QStringLiteral("Результат в окно обмена"));
    grid->addWidget(copyButton, 7, 0, 1, 4);
    connect(copyButton, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(state_.Display()));
    });
    auto* pasteButton = MakeButton(this, "Button25", QStringLiteral("Вставить из окна обмена"));
    grid->addWidget(pasteButton, 8, 0, 1, 4);
    connect(pasteButton, &QPushButton::clicked, this, [this] {
        // Taken as it is: a text the base cannot read is reported only when
        // it is read, so nothing is lost by pasting.
        Run([this] { state_.SetDisplay(QGuiApplication::clipboard()->text().toStdString()); });
    });
    auto* closeButton = MakeButton(this, "Button23", QStringLiteral("Закрыть"));
    grid->addWidget(closeButton, 8, 5, 1, 2);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    connect(radioGroup1_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !refreshing_) BaseClicked(id);
    });

    // The form sees every key before the control that has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void THexCalc::SetDisplayText(const std::string& text) {
    state_.SetDisplay(text);
    Refresh();
}

template <typename Command> void THexCalc::Run(Command command) {
    try {
        command();
    } catch (const calc::ConversionError& e) {
        Refresh();
        TApplication::HandleException(e.what());
    }
    Refresh();
}

void THexCalc::Equals() {
    Run([this] {
        if (state_.Equals() == calc::EqualsOutcome::DivisionByZero) {
            Refresh();
            Dialogs::Current().MessageBox("На ноль делить нельзя !!!", std::string(), mbOK,
                                          MsgIcon::Stop);
        }
    });
}

void THexCalc::BaseClicked(int id) {
    const NumberBase base = kRadioItems[id < 0 || id > 3 ? 0 : id];
    if (base == state_.Selected()) return;
    Run([this, base] { state_.ChangeBase(base); });
}

void THexCalc::Refresh() {
    refreshing_ = true;
    edit1_->setText(QString::fromStdString(state_.Display()));
    panel1_->setText(QString::fromStdString(state_.PendingSign()));
    radioGroup1_->button(RadioIndex(state_.Selected()))->setChecked(true);
    for (int digit = 0; digit < 16; ++digit)
        digitButtons_[digit]->setEnabled(state_.DigitEnabled(kDigits[digit]));
    refreshing_ = false;
}

void THexCalc::showEvent(QShowEvent* event) {
    state_.Activate();
    Refresh();
    QDialog::showEvent(event);
    // Centred on the screen at every opening, whoever the parent is.
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

QAbstractButton* THexCalc::ButtonForCommand(char command) const {
    switch (command) {
    case '=':
        return equalsButton_;
    case '\\':
        return resetButton_;
    default:
        break;
    }
    for (int i = 0; i < 4; ++i)
        if (kSigns[i] == command) return operationButtons_[i];
    for (int digit = 0; digit < 16; ++digit)
        if (kDigits[digit] == command) return digitButtons_[digit];
    return nullptr;
}

bool THexCalc::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Enter has no meaning of its own here; it presses the focused button.
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button == nullptr || !button->hasFocus()) return false;
        button->click();
        return true;
    }
    const QString text = key->text();
    if (text.size() != 1 || text[0].unicode() > 0x7F) return false;
    const auto command = state_.KeyCommand(static_cast<char>(text[0].unicode()));
    if (!command) return false;
    // The key does exactly what a click on its button does. It is taken here
    // rather than passed on: no control of the form has a use for these
    // characters, and a key handed on would reach the form a second time.
    if (QAbstractButton* button = ButtonForCommand(*command)) button->click();
    return true;
}

} // namespace lorvane
