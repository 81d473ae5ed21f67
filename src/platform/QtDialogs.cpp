#include "platform/QtDialogs.h"

#include "platform/FileNameBytes.h"
#include "platform/FindReplaceDialog.h"
#include "platform/FontPickerDialog.h"

#include <sys/stat.h>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTranslator>

#include <array>
#include <memory>
#include <utility>

namespace lorvane {

namespace {

QWidget* DialogParent() {
    return QApplication::activeWindow();
}

QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

// Makes one mask match regardless of case by turning every ASCII letter into
// a two-letter class; "*.*" means every file, with or without an extension.
QString CaseInsensitiveMask(const QString& mask) {
    if (mask == QLatin1String("*.*")) return QStringLiteral("*");
    QString result;
    for (QChar c : mask) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')) {
            result += QLatin1Char('[');
            result += c.toLower();
            result += c.toUpper();
            result += QLatin1Char(']');
        } else {
            result += c;
        }
    }
    return result;
}

struct ButtonSpec {
    MsgButton bit;
    QMessageBox::StandardButton standard;
    const char* text;
    MsgResult result;
};

// The order is the order the buttons are added in, and the first one present
// is the default button.
constexpr std::array<ButtonSpec, 7> kButtons{{
    {mbYes, QMessageBox::Yes, "Да", MsgResult::Yes},
    {mbNo, QMessageBox::No, "Нет", MsgResult::No},
    {mbOK, QMessageBox::Ok, "OK", MsgResult::OK},
    {mbAbort, QMessageBox::Abort, "Прервать", MsgResult::Abort},
    {mbRetry, QMessageBox::Retry, "Повтор", MsgResult::Retry},
    {mbIgnore, QMessageBox::Ignore, "Пропустить", MsgResult::Ignore},
    {mbCancel, QMessageBox::Cancel, "Отмена", MsgResult::Cancel},
}};

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Stop:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::vector<NameFilter> TranslateFilter(const std::string& filter) {
    const QStringList parts = ToQ(filter).split(QLatin1Char('|'));
    std::vector<NameFilter> result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QStringList masks;
        for (const QString& mask : parts[i + 1].split(QLatin1Char(';'))) {
            const QString trimmed = mask.trimmed();
            if (!trimmed.isEmpty()) masks << CaseInsensitiveMask(trimmed);
        }
        if (description.isEmpty() && masks.isEmpty()) continue;
        if (masks.isEmpty()) masks << QStringLiteral("*");
        // The masks go in a trailing group, which the dialog hides; the user
        // sees the description as the program wrote it.
        result.push_back({description, description + QStringLiteral(" (") +
                                           masks.join(QLatin1Char(' ')) + QLatin1Char(')')});
    }
    return result;
}

QtDialogs::QtDialogs() {
    // Qt's own dialogs (colour, print) speak Russian like the rest of the
    // program when the translation is installed.
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        translator->setParent(QCoreApplication::instance()); // the application keeps it
        QCoreApplication::installTranslator(translator.release());
    }
}

QtDialogs::~QtDialogs() {
    // Widgets may only be deleted while the application object exists; at
    // program end it is gone and takes its windows with it.
    if (QCoreApplication::instance() != nullptr && findDialog_ != nullptr)
        delete findDialog_.data();
}

MsgResult QtDialogs::MessageBox(const std::string& text, const std::string& caption,
                                unsigned buttons, MsgIcon icon) {
    if ((buttons & (mbOK | mbCancel | mbYes | mbNo | mbAbort | mbRetry | mbIgnore)) == 0)
        buttons = mbOK;
    QMessageBox box(ToQtIcon(icon), ToQ(caption), ToQ(text), QMessageBox::NoButton, DialogParent());
    QAbstractButton* defaultButton = nullptr;
    for (const ButtonSpec& spec : kButtons) {
        if ((buttons & spec.bit) == 0) continue;
        QPushButton* button = box.addButton(spec.standard);
        button->setText(QString::fromUtf8(spec.text));
        if (defaultButton == nullptr) {
            defaultButton = button;
            box.setDefaultButton(button);
        }
    }
    if ((buttons & mbCancel) != 0)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (buttons == mbOK)
        box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec& spec : kButtons)
        if (spec.standard == clicked) return spec.result;
    // Closed without a button (possible only where no escape button exists).
    return (buttons & mbCancel) != 0 ? MsgResult::Cancel
           : (buttons & mbNo) != 0   ? MsgResult::No
                                     : MsgResult::OK;
}

std::optional<std::string> QtDialogs::InputBox(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& value) {
    QInputDialog dialog(DialogParent());
    dialog.setWindowTitle(ToQ(caption));
    dialog.setLabelText(ToQ(prompt));
    dialog.setTextValue(ToQ(value));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    // The dialog fixes its own size from its contents, so a minimum width
    // of its own is overruled: the edit box is what makes it wide enough
    // for its caption and for a path.
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMinimumWidth(360);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<FileDialogResult> QtDialogs::RunFileDialog(const FileDialogRequest& request,
                                                         bool save) {
    QFileDialog dialog(DialogParent());
    // Our own dialog, not the desktop's: the same Russian texts and the same
    // filter behaviour everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setWindowTitle(!request.title.empty() ? ToQ(request.title)
                          : save                 ? QStringLiteral("Сохранить как")
                                                 : QStringLiteral("Открыть"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // One file to open is looked for here, not by the dialog: the dialog
    // cannot find a file whose name is not UTF-8 under the name it shows.
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файлов:"));
    dialog.setLabelText(QFileDialog::Accept,
                        save ? QStringLiteral("Сохранить") : QStringLiteral("Открыть"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));

    const std::vector<NameFilter> filters = TranslateFilter(request.filter);
    QStringList qtFilters;
    for (const NameFilter& filter : filters)
        qtFilters << filter.qtFilter;
    if (!qtFilters.isEmpty()) {
        dialog.setNameFilters(qtFilters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= qtFilters.size()
                              ? request.filterIndex - 1
                              : 0;
        dialog.selectNameFilter(qtFilters[index]);
    }
    if (!request.defaultExt.empty()) {
        QString ext = ToQ(request.defaultExt);
        if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
        dialog.setDefaultSuffix(ext);
    }
    if (!request.initialDir.empty()) dialog.setDirectory(ToQ(request.initialDir));
    if (!request.fileName.empty()) {
        const QFileInfo info(FileNameText(request.fileName));
        if (request.fileName.find('/') != std::string::npos)
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }

    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        FileDialogResult result;
        for (const QString& file : dialog.selectedFiles())
            result.files.push_back(FileNameBytes(file));
        if (result.files.empty()) return std::nullopt;
        struct stat st {};
        const bool exists = ::stat(result.files.front().c_str(), &st) == 0;
        if (!save && !exists) {
            MessageBox("Файл " + result.files.front() + " не найден.",
                       dialog.windowTitle().toStdString(), mbOK, MsgIcon::Warning);
            continue;
        }
        result.filterIndex = request.filterIndex;
        // With the masks hidden the dialog names the filter by what it shows.
        const QString selected = dialog.selectedNameFilter();
        for (std::size_t i = 0; i < filters.size(); ++i)
            if (filters[i].qtFilter == selected || filters[i].description.trimmed() == selected) {
                result.filterIndex = static_cast<int>(i) + 1;
                break;
            }
        if (save && request.overwritePrompt && exists) {
            const QString name = QFileInfo(dialog.selectedFiles().front()).fileName();
            const MsgResult answer = MessageBox(
                (QStringLiteral("Файл ") + name + QStringLiteral(" уже существует.\nЗаменить его?"))
                    .toStdString(),
                dialog.windowTitle().toStdString(), mbYes | mbNo, MsgIcon::Warning);
            if (answer != MsgResult::Yes) continue;
        }
        return result;
    }
}

std::optional<FileDialogResult> QtDialogs::OpenFile(const FileDialogRequest& request) {
    return RunFileDialog(request, false);
}

std::optional<FileDialogResult> QtDialogs::SaveFile(const FileDialogRequest& request) {
    return RunFileDialog(request, true);
}

std::optional<FontChoice> QtDialogs::ChooseFont(const FontChoice& initial) {
    FontPickerDialog dialog(DialogParent());
    dialog.SetChoice(initial);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

std::optional<TColor> QtDialogs::ChooseColor(TColor initial) {
    QColorDialog dialog(ToQColor(initial), DialogParent());
    dialog.setWindowTitle(QStringLiteral("Цвет"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return FromQColor(dialog.selectedColor());
}

bool QtDialogs::Print(QPrinter& printer, const PrintRequest& request) {
    QPrintDialog dialog(&printer, DialogParent());
    dialog.setWindowTitle(QStringLiteral("Печать"));
    dialog.setMinMax(request.minPage, request.maxPage);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::PrinterSetup(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, DialogParent());
    dialog.setWindowTitle(QStringLiteral("Настройка печати"));
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::ShowFindDialog(bool replace, const FindOptions& options, FindHandler handler) {
    if (findDialog_ != nullptr && findDialog_->IsReplace() != replace) CloseFind();
    if (findDialog_ == nullptr) {
        findDialog_ = new FindReplaceDialog(replace, DialogParent());
        findDialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    findDialog_->SetOptions(options);
    findDialog_->SetHandler(std::move(handler));
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
}

void QtDialogs::ShowFind(const FindOptions& options, FindHandler handler) {
    ShowFindDialog(false, options, std::move(handler));
}

void QtDialogs::ShowReplace(const FindOptions& options, FindHandler handler) {
    ShowFindDialog(true, options, std::move(handler));
}

FindReplaceDialog* QtDialogs::FindDialog() const noexcept {
    return findDialog_.data();
}

void QtDialogs::CloseFind() {
    if (findDialog_ == nullptr) return;
    FindReplaceDialog* dialog = findDialog_;
    findDialog_ = nullptr;
    dialog->SetHandler({});
    dialog->close(); // deletes it later: it may be inside its own button handler
}

} // namespace lorvane
