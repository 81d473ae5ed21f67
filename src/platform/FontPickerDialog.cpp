#include "platform/FontPickerDialog.h"

#include "platform/Colors.h"
#include "platform/Fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace lorvane {

namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

// The colours the classic font dialog offers.
constexpr std::array<NamedColor, 16> kColors{{
    {clBlack, "Черный"},
    {clMaroon, "Бордовый"},
    {clGreen, "Зеленый"},
    {clOlive, "Оливковый"},
    {clNavy, "Темно-синий"},
    {clPurple, "Фиолетовый"},
    {clTeal, "Сине-зеленый"},
    {clGray, "Серый"},
    {clSilver, "Серебристый"},
    {clRed, "Красный"},
    {clLime, "Лайм"},
    {clYellow, "Желтый"},
    {clBlue, "Синий"},
    {clFuchsia, "Фуксия"},
    {clAqua, "Голубой"},
    {clWhite, "Белый"},
}};

constexpr std::array<int, 16> kSizes{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// Rows of the style list: regular, italic, bold, bold italic.
constexpr std::array<unsigned, 4> kStyleRows{0, fsItalic, fsBold, fsBold | fsItalic};

QIcon Swatch(TColor color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(ToQColor(color));
    return QIcon(pixmap);
}

void SelectText(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchFixedString);
    if (!found.isEmpty()) {
        list->setCurrentItem(found.front());
        list->scrollToItem(found.front());
    } else {
        list->clearSelection();
    }
}

} // namespace

FontPickerDialog::FontPickerDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Шрифт"));

    nameEdit_ = new QLineEdit;
    names_ = new QListWidget;
    QStringList families;
    for (const std::string& name : LogicalFontNames())
        families << QString::fromStdString(name);
    for (const QString& family : QFontDatabase::families())
        if (!families.contains(family, Qt::CaseInsensitive)) families << family;
    names_->addItems(families);
    names_->setMinimumWidth(180);

    styles_ = new QListWidget;
    styles_->addItems({QStringLiteral("Обычный"), QStringLiteral("Курсив"),
                       QStringLiteral("Полужирный"), QStringLiteral("Полужирный курсив")});
    styles_->setCurrentRow(0);

    sizeEdit_ = new QLineEdit;
    sizeEdit_->setValidator(new QIntValidator(1, 1638, sizeEdit_));
    sizes_ = new QListWidget;
    for (int size : kSizes)
        sizes_->addItem(QString::number(size));
    sizes_->setMaximumWidth(80);
    sizeEdit_->setMaximumWidth(80);

    auto* lists = new QGridLayout;
    auto* nameLabel = new QLabel(QStringLiteral("&Шрифт:"));
    nameLabel->setBuddy(nameEdit_);
    auto* styleLabel = new QLabel(QStringLiteral("&Начертание:"));
    styleLabel->setBuddy(styles_);
    auto* sizeLabel = new QLabel(QStringLiteral("&Размер:"));
    sizeLabel->setBuddy(sizeEdit_);
    lists->addWidget(nameLabel, 0, 0);
    lists->addWidget(styleLabel, 0, 1);
    lists->addWidget(sizeLabel, 0, 2);
    lists->addWidget(nameEdit_, 1, 0);
    lists->addWidget(sizes_, 2, 2);
    lists->addWidget(sizeEdit_, 1, 2);
    lists->addWidget(names_, 2, 0);
    lists->addWidget(styles_, 1, 1, 2, 1);

    auto* effects = new QGroupBox(QStringLiteral("Видоизменение"));
    strikeOut_ = new QCheckBox(QStringLiteral("&Зачеркнутый"));
    underline_ = new QCheckBox(QStringLiteral("&Подчеркнутый"));
    color_ = new QComboBox;
    for (const NamedColor& named : kColors)
        color_->addItem(Swatch(named.color), QString::fromUtf8(named.name), QVariant(named.color));
    auto* colorLabel = new QLabel(QStringLiteral("&Цвет:"));
    colorLabel->setBuddy(color_);
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(strikeOut_);
    effectsLayout->addWidget(underline_);
    effectsLayout->addWidget(colorLabel);
    effectsLayout->addWidget(color_);

    auto* sampleBox = new QGroupBox(QStringLiteral("Образец"));
    sample_ = new QLabel(QStringLiteral("АаБбЯя AaBbYy"));
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setFixedHeight(60);
    sample_->setMinimumWidth(220);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(sample_);

    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sampleBox, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* main = new QVBoxLayout(this);
    main->addLayout(lists);
    main->addLayout(lower);
    main->addWidget(buttons);

    connect(names_, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && nameEdit_->text() != text) nameEdit_->setText(text);
    });
    connect(nameEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QList<QListWidgetItem*> found = names_->findItems(text, Qt::MatchStartsWith);
        if (!found.isEmpty()) names_->scrollToItem(found.front(), QAbstractItemView::PositionAtTop);
        UpdateSample();
    });
    connect(nameEdit_, &QLineEdit::textChanged, this, [this] { UpdateSample(); });
    connect(sizes_, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && sizeEdit_->text() != text) sizeEdit_->setText(text);
    });
    connect(sizeEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        SelectText(sizes_, text);
        UpdateSample();
    });
    connect(styles_, &QListWidget::currentRowChanged, this, [this] { UpdateSample(); });
    connect(strikeOut_, &QCheckBox::toggled, this, [this] { UpdateSample(); });
    connect(underline_, &QCheckBox::toggled, this, [this] { UpdateSample(); });
    connect(color_, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
    UpdateSample();
}

void FontPickerDialog::SelectColor(TColor color) {
    int index = color_->findData(QVariant(color));
    if (index < 0) {
        // A colour outside the list stays selectable, so confirming the
        // dialog does not change it behind the user's back.
        color_->addItem(Swatch(color), QStringLiteral("Другой"), QVariant(color));
        index = color_->count() - 1;
    }
    color_->setCurrentIndex(index);
}

void FontPickerDialog::SetChoice(const FontChoice& choice) {
    const QString name = QString::fromStdString(choice.name);
    SelectText(names_, name);
    nameEdit_->setText(name);
    sizeEdit_->setText(QString::number(choice.size));
    const unsigned shape = choice.style & (fsBold | fsItalic);
    for (std::size_t row = 0; row < kStyleRows.size(); ++row)
        if (kStyleRows[row] == shape) styles_->setCurrentRow(static_cast<int>(row));
    strikeOut_->setChecked((choice.style & fsStrikeOut) != 0);
    underline_->setChecked((choice.style & fsUnderline) != 0);
    SelectColor(choice.color);
    UpdateSample();
}

FontChoice FontPickerDialog::Choice() const {
    FontChoice choice;
    choice.name = nameEdit_->text().trimmed().toStdString();
    bool ok = false;
    const int size = sizeEdit_->text().toInt(&ok);
    choice.size = ok && size > 0 ? size : 10;
    const int row = styles_->currentRow();
    choice.style = row >= 0 ? kStyleRows[static_cast<std::size_t>(row)] : 0u;
    if (strikeOut_->isChecked()) choice.style |= fsStrikeOut;
    if (underline_->isChecked()) choice.style |= fsUnderline;
    choice.color = color_->currentData().value<TColor>();
    return choice;
}

void FontPickerDialog::UpdateSample() {
    const FontChoice choice = Choice();
    LogicalFont font;
    font.name = choice.name;
    font.size = choice.size;
    font.style = choice.style;
    sample_->setFont(MakeFont(font));
    QPalette palette = sample_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(choice.color));
    sample_->setPalette(palette);
}

} // namespace lorvane
