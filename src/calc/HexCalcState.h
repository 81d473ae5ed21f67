#pragma once
// Everything the calculator dialog remembers and does, without the toolkit.
// The dialog forwards each click and key here and then shows the state, so
// the rules can be tested headless and the dialog stays a thin shell.
#include "calc/NumberText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lorvane::calc {

// What "=" did, so that the dialog knows whether to complain.
enum class EqualsOutcome { NothingPending, Performed, DivisionByZero };

class HexCalcState {
public:
    // A fresh calculator: display "0", nothing pending, the radio group on
    // Hex, no base in force until the first activation, and the new-number
    // flag set so that the first digit starts a new entry.
    HexCalcState() = default;

    // The display text exactly as it stands, including characters beyond the
    // entry length, which are kept but never read.
    const std::string& Display() const noexcept { return display_; }
    // Fills the display as the program does (the main frame before each
    // opening, a paste from the clipboard): unchecked.
    void SetDisplay(std::string text) { display_ = std::move(text); }

    // The pending operation as its sign: "", "+", "-", "*" or "/".
    const std::string& PendingSign() const noexcept { return sign_; }
    std::int32_t CurrentValue() const noexcept { return current_; }
    std::int32_t Operand() const noexcept { return operand_; }
    bool NewNumber() const noexcept { return newNumber_; }
    // The base the display is read and written in; empty before activation.
    std::optional<NumberBase> Base() const noexcept { return base_; }
    // The radio group's choice, which also decides the enabled digit buttons
    // and the maximum length.
    NumberBase Selected() const noexcept { return selected_; }
    int MaxLength() const noexcept { return calc::MaxLength(selected_); }
    bool DigitEnabled(char digit) const noexcept { return calc::DigitEnabled(selected_, digit); }

    // The conversions in the base in force. Before the first activation
    // NumToStr gives "0", StrToNum 0 and CopyStr the text unchanged.
    std::string NumToStr(std::int32_t value) const;
    std::int32_t StrToNum(std::string_view text) const;
    std::string CopyStr(std::string_view text) const;

    // Opening the dialog: the base follows the radio group.
    void Activate() noexcept { base_ = selected_; }

    // A digit '0'..'9' or 'A'..'F'. Appending has no length limit.
    void Digit(char digit);
    // '+', '-', '*' or '/'. Ignored while another operation is pending
    // (operations do not chain). Throws ConversionError, changing nothing.
    void Operation(char sign);
    // Reads the display and performs the pending operation. A division by
    // zero leaves the division pending. Throws ConversionError, changing
    // nothing.
    EqualsOutcome Equals();
    // Display "0", operand 0, nothing pending.
    void Reset();
    // Throws ConversionError, changing nothing.
    void Negate();
    // Converts the display to `base`. Throws ConversionError when the display
    // cannot be read in the old base; the calculator then stays entirely in
    // the old base, radio choice included.
    void ChangeBase(NumberBase base);

    // The key-press table: the digit or command ('+', '-', '*', '/', '=',
    // '\\' for reset) a typed character stands for, or nothing when the key
    // has no binding here in the current state. Escape is the dialog's.
    std::optional<char> KeyCommand(char typed) const noexcept;

private:
    std::string display_ = "0";
    std::string sign_;
    std::int32_t current_ = 0;
    std::int32_t operand_ = 0;
    std::optional<NumberBase> base_;
    NumberBase selected_ = NumberBase::Hex;
    bool newNumber_ = true;
};

} // namespace lorvane::calc
