#pragma once
// The working-settings dialog: the seven build-tool settings in edit boxes,
// saved to and loaded from small ".ust" files so that several tool chains
// can be kept and swapped. The frame fills the dialog values before showing
// it and reads them back after OK; loading a file only fills the boxes.
#include "app/Settings.h"
#include "app/UstFile.h"

#include <QDialog>

#include <array>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QPlainTextEdit;

namespace lorvane {

class TPathAss : public QDialog {
    Q_OBJECT
public:
    explicit TPathAss(QWidget* parent = nullptr);
    ~TPathAss() override;

    // The dialog values: set before showing, read after OK.
    ToolSettings& Values() noexcept { return values_; }

    QLineEdit* Edit1() const noexcept { return edit1_; }
    QLineEdit* Edit2() const noexcept { return edit2_; }
    QLineEdit* Edit3() const noexcept { return edit3_; }
    QLineEdit* Edit4() const noexcept { return edit4_; }
    QLineEdit* Edit5() const noexcept { return edit5_; }
    QLineEdit* Edit6() const noexcept { return edit6_; }
    QLineEdit* Edit7() const noexcept { return edit7_; }
    QPushButton* Button1() const noexcept { return button1_; }
    QPushButton* Button2() const noexcept { return button2_; }
    QPushButton* Button3() const noexcept { return button3_; }
    QPushButton* Button4() const noexcept { return button4_; }
    QToolButton* SpeedButton1() const noexcept { return speedButton1_; }
    QToolButton* SpeedButton2() const noexcept { return speedButton2_; }
    QToolButton* SpeedButton3() const noexcept { return speedButton3_; }

    // Fills the boxes from the dialog values (done each time it shows).
    void Activ();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // Program picker for one of the three command boxes.
    void PickProgram(QLineEdit* edit);

    // The seven box texts in file order, and back.
    UstLines BoxLines() const;
    void SetBoxLines(const UstLines& lines);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* AddCommandRow(int y, const char* caption, QToolButton*& picker);
    QLineEdit* AddExtensionRow(int y, const char* caption);

    ToolSettings values_;
    std::string loadDirectory_; // where the last .ust file was loaded from
    QLineEdit* edit1_ = nullptr;
    QLineEdit* edit2_ = nullptr;
    QLineEdit* edit3_ = nullptr;
    QLineEdit* edit4_ = nullptr;
    QLineEdit* edit5_ = nullptr;
    QLineEdit* edit6_ = nullptr;
    QLineEdit* edit7_ = nullptr;
    QToolButton* speedButton1_ = nullptr;
    QToolButton* speedButton2_ = nullptr;
    QToolButton* speedButton3_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* button4_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
};

} // namespace lorvane
