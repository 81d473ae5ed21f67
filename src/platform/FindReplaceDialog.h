#pragma once
// The find and replace dialogs: modeless, with the options of the classic
// desktop dialogs (whole word, match case, direction for find; replace and
// replace all). Each button press is reported through the handler while the
// dialog stays open.
#include "platform/Dialogs.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lorvane {

class FindReplaceDialog final : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(bool replace, QWidget* parent = nullptr);

    bool IsReplace() const noexcept { return replace_; }
    void SetOptions(const FindOptions& options);
    FindOptions Options() const;
    void SetHandler(FindHandler handler) { handler_ = std::move(handler); }

    // The buttons, for tests that press them.
    QPushButton* FindNextButton() const noexcept { return findNext_; }
    QPushButton* ReplaceButton() const noexcept { return replaceButton_; }
    QPushButton* ReplaceAllButton() const noexcept { return replaceAll_; }
    QLineEdit* FindEdit() const noexcept { return findEdit_; }
    QLineEdit* ReplaceEdit() const noexcept { return replaceEdit_; }

private:
    void Report(FindAction action);
    void UpdateButtons();

    bool replace_;
    bool down_ = true; // kept for the replace dialog, which shows no direction
    FindHandler handler_;
    QLineEdit* findEdit_ = nullptr;
    QLineEdit* replaceEdit_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QRadioButton* up_ = nullptr;
    QRadioButton* downButton_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QPushButton* replaceButton_ = nullptr;
    QPushButton* replaceAll_ = nullptr;
};

} // namespace lorvane
