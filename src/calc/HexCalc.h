#pragma once
// The number-base calculator dialog. The program keeps one instance for its
// whole life; its state (value, operand, pending sign, base, display)
// survives between openings. The main frame fills the display before each
// opening and reads it back afterwards:
//
//     calc.SetDisplayText(calc.NumToStr(remembered));
//     calc.exec();
//     remembered = calc.StrToNum(calc.DisplayText());
#include "calc/HexCalcState.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lorvane {

class THexCalc : public QDialog {
    Q_OBJECT
public:
    explicit THexCalc(QWidget* parent = nullptr);

    // Conversions in the dialog's current base. StrToNum throws
    // calc::ConversionError for a display that cannot be read.
    std::int32_t StrToNum(const std::string& text) const { return state_.StrToNum(text); }
    std::string NumToStr(std::int32_t value) const { return state_.NumToStr(value); }
    std::string CopyStr(const std::string& text) const { return state_.CopyStr(text); }

    std::string DisplayText() const { return state_.Display(); }
    void SetDisplayText(const std::string& text);

    const calc::HexCalcState& State() const noexcept { return state_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    // Runs one command on the state; an unreadable display is reported
    // through the application's error report and changes nothing. The
    // controls show the state afterwards in every case.
    template <typename Command> void Run(Command command);
    void Refresh();
    void Equals();
    void BaseClicked(int id);
    QAbstractButton* ButtonForCommand(char command) const;

    calc::HexCalcState state_;
    QLineEdit* edit1_ = nullptr;
    QLabel* panel1_ = nullptr;
    QButtonGroup* radioGroup1_ = nullptr;
    // Indexed by the digit's value, 0..15.
    std::array<QPushButton*, 16> digitButtons_{};
    std::array<QPushButton*, 4> operationButtons_{}; // + - * /
    QPushButton* equalsButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    bool refreshing_ = false;
};

} // namespace lorvane
