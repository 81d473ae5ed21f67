#pragma once
// The about box: a fixed information dialog. Its only way out is the OK
// button (or Enter, which presses it); Escape and the window manager's close
// request are refused, as the window offers no close box.
#include <QDialog>

class QLabel;
class QPushButton;

namespace lorvane {

class TAboutWin1 : public QDialog {
    Q_OBJECT
public:
    explicit TAboutWin1(QWidget* parent = nullptr);

    QPushButton* OKButton() const noexcept { return okButton_; }

public slots:
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* okButton_ = nullptr;
};

} // namespace lorvane
