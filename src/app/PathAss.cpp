#include "app/PathAss.h"

#include "app/Child.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Paths.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <filesystem>

namespace lorvane {
namespace {

constexpr int kClientWidth = 424;
constexpr int kClientHeight = 400;
constexpr int kMargin = 8;
constexpr int kCommandLength = 255;
constexpr int kExtensionLength = 6;

const char* const kProgramFilter = "Программы (*.exe;*.com;*.bat)|*.exe;*.com;*.bat|"
                                   "Все файлы (*.*)|*.*";
const char* const kUstFilter = "Рабочие уставки (*.ust)|*.ust|";

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

std::string FromQ(const QString& text) {
    return text.toStdString();
}

// The typing limit of a box, kept beside its current maximum.
constexpr const char* kLimit = "typingLimit";

// The limits hold for typing only: a longer value put into a box (from the
// settings file or a .ust file) stays whole, since OK would otherwise store
// a cut command.
void Fill(QLineEdit* edit, const std::string& text) {
    const QString value = ToQ(text);
    const int limit = edit->property(kLimit).toInt();
    edit->setMaxLength(std::max(limit, static_cast<int>(value.size())));
    edit->setText(value);
}

// Extension boxes show and keep what is typed in upper case, as the
// document extensions they are compared with are upper-cased.
void KeepUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper.left(edit->maxLength()));
        edit->setCursorPosition(cursor);
    });
}

} // namespace

TPathAss::TPathAss(QWidget* parent) : QDialog(parent) {
    setObjectName("PathAss");
    setWindowTitle(Utf8("Редактор рабочих установок"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);

    edit1_ = AddCommandRow(8, "Путь и командный файл компилятора", speedButton1_);
    edit2_ = AddCommandRow(60, "Путь и командный файл линкера", speedButton2_);
    edit6_ =
        AddCommandRow(112, "Путь и командный файл симулятора (для CROSS программ)", speedButton3_);
    edit1_->setObjectName("Edit1");
    edit2_->setObjectName("Edit2");
    edit6_->setObjectName("Edit6");
    speedButton1_->setObjectName("SpeedButton1");
    speedButton2_->setObjectName("SpeedButton2");
    speedButton3_->setObjectName("SpeedButton3");

    edit3_ = AddExtensionRow(172, "Расширение файла компилятора");
    edit4_ = AddExtensionRow(202, "Расширение объектного файла");
    edit5_ = AddExtensionRow(232, "Расширение скомпилированного файла");
    edit7_ = AddExtensionRow(262, "Расширение файла листинга");
    edit3_->setObjectName("Edit3");
    edit4_->setObjectName("Edit4");
    edit5_->setObjectName("Edit5");
    edit7_->setObjectName("Edit7");

    button3_ = new QPushButton(Utf8("Сохранить рабочие уставки в файле .ust"), this);
    button3_->setObjectName("Button3");
    button3_->setGeometry(kMargin, 300, kClientWidth - 2 * kMargin, 26);
    button4_ = new QPushButton(Utf8("Загрузить рабочие уставки из файла .ust"), this);
    button4_->setObjectName("Button4");
    button4_->setGeometry(kMargin, 330, kClientWidth - 2 * kMargin, 26);

    button1_ = new QPushButton(Utf8("&Ввод"), this);
    button1_->setObjectName("Button1");
    button1_->setDefault(true);
    button1_->setGeometry(kClientWidth - 2 * (96 + kMargin), 366, 96, 26);
    button2_ = new QPushButton(Utf8("&Отмена"), this);
    button2_->setObjectName("Button2");
    button2_->setGeometry(kClientWidth - 96 - kMargin, 366, 96, 26);

    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName("Memo1");
    memo1_->hide();

    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(button2_, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(button3_, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(button4_, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(speedButton1_, &QToolButton::clicked, this, [this] { PickProgram(edit1_); });
    connect(speedButton2_, &QToolButton::clicked, this, [this] { PickProgram(edit2_); });
    connect(speedButton3_, &QToolButton::clicked, this, [this] { PickProgram(edit6_); });
}

TPathAss::~TPathAss() = default;

QLineEdit* TPathAss::AddCommandRow(int y, const char* caption, QToolButton*& picker) {
    auto* label = new QLabel(Utf8(caption), this);
    label->setGeometry(kMargin, y, kClientWidth - 2 * kMargin, 18);
    auto* edit = new QLineEdit(this);
    edit->setMaxLength(kCommandLength);
    edit->setProperty(kLimit, kCommandLength);
    edit->setGeometry(kMargin, y + 20, kClientWidth - 3 * kMargin - 26, 24);
    // Double-click picks a program, as the "..." button does.
    edit->installEventFilter(this);
    label->setBuddy(edit);
    picker = new QToolButton(this);
    picker->setText(QStringLiteral("..."));
    picker->setGeometry(kClientWidth - kMargin - 26, y + 20, 26, 24);
    return edit;
}

QLineEdit* TPathAss::AddExtensionRow(int y, const char* caption) {
    auto* label = new QLabel(Utf8(caption), this);
    label->setGeometry(kMargin, y, 300, 24);
    auto* edit = new QLineEdit(this);
    edit->setMaxLength(kExtensionLength);
    edit->setProperty(kLimit, kExtensionLength);
    edit->setGeometry(kClientWidth - kMargin - 96, y, 96, 24);
    label->setBuddy(edit);
    KeepUpperCase(edit);
    return edit;
}

bool TPathAss::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (QLineEdit* edit : {edit1_, edit2_, edit6_}) {
            if (watched == edit) {
                PickProgram(edit);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TPathAss::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Activ();
}

void TPathAss::Activ() {
    Fill(edit1_, values_.assemblerPath);
    Fill(edit2_, values_.linkerPath);
    Fill(edit3_, values_.compilerExtension);
    Fill(edit4_, values_.objectExtension);
    Fill(edit5_, values_.compiledExtension);
    Fill(edit6_, values_.runProgram);
    Fill(edit7_, values_.listingExtension);
}

void TPathAss::Button1Click() {
    values_.assemblerPath = FromQ(edit1_->text());
    values_.linkerPath = FromQ(edit2_->text());
    values_.compilerExtension = FromQ(edit3_->text());
    values_.objectExtension = FromQ(edit4_->text());
    values_.compiledExtension = FromQ(edit5_->text());
    values_.runProgram = FromQ(edit6_->text());
    values_.listingExtension = FromQ(edit7_->text());
    accept();
}

void TPathAss::Button2Click() {
    reject();
}

void TPathAss::PickProgram(QLineEdit* edit) {
    FileDialogRequest request;
    request.filter = kProgramFilter;
    const auto chosen = Dialogs::Current().OpenFile(request);
    if (!chosen || chosen->files.empty() || chosen->files.front().empty()) return;
    edit->setText(ToQ(chosen->files.front()));
}

UstLines TPathAss::BoxLines() const {
    return {FromQ(edit1_->text()), FromQ(edit2_->text()), FromQ(edit6_->text()),
            FromQ(edit3_->text()), FromQ(edit4_->text()), FromQ(edit5_->text()),
            FromQ(edit7_->text())};
}

void TPathAss::SetBoxLines(const UstLines& lines) {
    QLineEdit* const boxes[] = {edit1_, edit2_, edit6_, edit3_, edit4_, edit5_, edit7_};
    for (std::size_t i = 0; i < lines.size(); ++i)
        Fill(boxes[i], lines[i]);
}

void TPathAss::Button3Click() {
    FileDialogRequest request;
    request.filter = kUstFilter;
    request.overwritePrompt = true;
    const auto chosen = Dialogs::Current().SaveFile(request);
    if (!chosen || chosen->files.empty() || chosen->files.front().empty()) return;
    std::string name = chosen->files.front();
    if (FileExtension(name).empty()) {
        name += ".UST";
        if (!MayReplaceCompletedName(name)) return;
    }
    try {
        WriteUstFile(name, BoxLines());
    } catch (const std::exception& error) {
        ReportError(error); // the dialog stays open with its boxes
    }
}

void TPathAss::Button4Click() {
    FileDialogRequest request;
    request.filter = kUstFilter;
    // The profiles shipped with the program come first; once the user has
    // loaded one from elsewhere, that place does.
    request.initialDir = loadDirectory_.empty() ? paths::DataFile("toolchains") : loadDirectory_;
    const auto chosen = Dialogs::Current().OpenFile(request);
    if (!chosen || chosen->files.empty() || chosen->files.front().empty()) return;
    try {
        SetBoxLines(ReadUstFile(chosen->files.front()));
        loadDirectory_ = std::filesystem::path(chosen->files.front()).parent_path().string();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

} // namespace lorvane
