#include "platform/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lorvane {

FindReplaceDialog::FindReplaceDialog(bool replace, QWidget* parent)
    : QDialog(parent), replace_(replace) {
    setWindowTitle(replace ? QStringLiteral("Замена") : QStringLiteral("Поиск"));
    setModal(false);

    auto* fields = new QGridLayout;
    auto* findLabel = new QLabel(QStringLiteral("&Что:"));
    findEdit_ = new QLineEdit;
    findEdit_->setMinimumWidth(220);
    findLabel->setBuddy(findEdit_);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(findEdit_, 0, 1);
    if (replace) {
        auto* replaceLabel = new QLabel(QStringLiteral("Ч&ем:"));
        replaceEdit_ = new QLineEdit;
        replaceLabel->setBuddy(replaceEdit_);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(replaceEdit_, 1, 1);
    }

    wholeWord_ = new QCheckBox(QStringLiteral("Только слово &целиком"));
    matchCase_ = new QCheckBox(QStringLiteral("С учетом &регистра"));
    auto* checks = new QVBoxLayout;
    checks->addWidget(wholeWord_);
    checks->addWidget(matchCase_);
    checks->addStretch();

    auto* options = new QHBoxLayout;
    options->addLayout(checks);
    if (!replace) {
        auto* direction = new QGroupBox(QStringLiteral("Направление"));
        up_ = new QRadioButton(QStringLiteral("&Вверх"));
        downButton_ = new QRadioButton(QStringLiteral("В&низ"));
        downButton_->setChecked(true);
        auto* directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(up_);
        directionLayout->addWidget(downButton_);
        options->addWidget(direction);
    }

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();

    findNext_ = new QPushButton(QStringLiteral("&Найти далее"));
    findNext_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    if (replace) {
        replaceButton_ = new QPushButton(QStringLiteral("&Заменить"));
        replaceAll_ = new QPushButton(QStringLiteral("Заменить &все"));
        buttons->addWidget(replaceButton_);
        buttons->addWidget(replaceAll_);
    }
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(buttons);

    connect(findNext_, &QPushButton::clicked, this, [this] { Report(FindAction::Find); });
    if (replace) {
        connect(replaceButton_, &QPushButton::clicked, this,
                [this] { Report(FindAction::Replace); });
        connect(replaceAll_, &QPushButton::clicked, this,
                [this] { Report(FindAction::ReplaceAll); });
    }
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(findEdit_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();
    setFixedSize(sizeHint());
}

void FindReplaceDialog::SetOptions(const FindOptions& options) {
    findEdit_->setText(QString::fromStdString(options.findText));
    if (replaceEdit_ != nullptr) replaceEdit_->setText(QString::fromStdString(options.replaceText));
    wholeWord_->setChecked(options.wholeWord);
    matchCase_->setChecked(options.matchCase);
    down_ = options.down;
    if (downButton_ != nullptr) {
        downButton_->setChecked(options.down);
        up_->setChecked(!options.down);
    }
    findEdit_->selectAll();
}

FindOptions FindReplaceDialog::Options() const {
    FindOptions options;
    options.findText = findEdit_->text().toStdString();
    if (replaceEdit_ != nullptr) options.replaceText = replaceEdit_->text().toStdString();
    options.wholeWord = wholeWord_->isChecked();
    options.matchCase = matchCase_->isChecked();
    options.down = downButton_ != nullptr ? downButton_->isChecked() : down_;
    return options;
}

void FindReplaceDialog::Report(FindAction action) {
    // The handler may close and delete this dialog: copy what it needs first.
    const FindHandler handler = handler_;
    const FindEvent event{action, Options()};
    if (handler) handler(event);
}

void FindReplaceDialog::UpdateButtons() {
    // Nothing to search for: the buttons that search stay disabled, as in the
    // classic dialogs.
    const bool hasText = !findEdit_->text().isEmpty();
    findNext_->setEnabled(hasText);
    if (replaceButton_ != nullptr) {
        replaceButton_->setEnabled(hasText);
        replaceAll_->setEnabled(hasText);
    }
}

} // namespace lorvane
