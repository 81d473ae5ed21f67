#pragma once
// The font dialog. Besides the installed families it offers the logical
// names the program knows ("System", "Terminal", ...), so a choice such as
// "Terminal" reaches the program under that name; it also picks the colour,
// as the classic font dialog does.
#include "platform/Dialogs.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace lorvane {

class FontPickerDialog final : public QDialog {
    Q_OBJECT
public:
    explicit FontPickerDialog(QWidget* parent = nullptr);

    void SetChoice(const FontChoice& choice);
    FontChoice Choice() const;

private:
    void UpdateSample();
    void SelectColor(TColor color);

    QLineEdit* nameEdit_ = nullptr;
    QListWidget* names_ = nullptr;
    QListWidget* styles_ = nullptr;
    QLineEdit* sizeEdit_ = nullptr;
    QListWidget* sizes_ = nullptr;
    QCheckBox* strikeOut_ = nullptr;
    QCheckBox* underline_ = nullptr;
    QComboBox* color_ = nullptr;
    QLabel* sample_ = nullptr;
};

} // namespace lorvane
