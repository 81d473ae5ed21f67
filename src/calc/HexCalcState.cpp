#include "calc/HexCalcState.h"

namespace lorvane::calc {

namespace {

// All arithmetic wraps modulo 2^32 like the machine word it models.
std::int32_t Wrap(std::uint32_t bits) noexcept {
    return static_cast<std::int32_t>(bits);
}

std::int32_t Apply(char sign, std::int32_t left, std::int32_t right) noexcept {
    const auto l = static_cast<std::uint32_t>(left);
    const auto r = static_cast<std::uint32_t>(right);
    switch (sign) {
    case '+':
        return Wrap(l + r);
    case '-':
        return Wrap(l - r);
    case '*':
        return Wrap(l * r);
    default:
        // Truncates toward zero; the one quotient that does not fit,
        // -2147483648 / -1, wraps to -2147483648 like every other overflow.
        return Wrap(static_cast<std::uint32_t>(static_cast<std::int64_t>(left) / right));
    }
}

} // namespace

std::string HexCalcState::NumToStr(std::int32_t value) const {
    return base_ ? calc::NumToStr(value, *base_) : std::string("0");
}

std::int32_t HexCalcState::StrToNum(std::string_view text) const {
    return base_ ? calc::StrToNum(text, *base_) : 0;
}

std::string HexCalcState::CopyStr(std::string_view text) const {
    return base_ ? calc::CopyStr(text, *base_) : std::string(text);
}

void HexCalcState::Digit(char digit) {
    if (display_ == "0" || newNumber_) display_.clear();
    display_ += digit;
    newNumber_ = false;
}

void HexCalcState::Operation(char sign) {
    if (!sign_.empty()) return;
    current_ = StrToNum(display_);
    operand_ = current_;
    sign_ = std::string(1, sign);
    newNumber_ = true;
}

EqualsOutcome HexCalcState::Equals() {
    current_ = StrToNum(display_);
    if (sign_.empty()) return EqualsOutcome::NothingPending;
    const char sign = sign_[0];
    if (sign == '/' && current_ == 0) return EqualsOutcome::DivisionByZero;
    current_ = Apply(sign, operand_, current_);
    sign_.clear();
    newNumber_ = true;
    display_ = NumToStr(current_);
    return EqualsOutcome::Performed;
}

void HexCalcState::Reset() {
    display_.assign(1, '0');
    operand_ = 0;
    sign_.clear();
}

void HexCalcState::Negate() {
    current_ = Wrap(0u - static_cast<std::uint32_t>(StrToNum(display_)));
    display_ = current_ == 0 ? std::string("0") : NumToStr(current_);
}

void HexCalcState::ChangeBase(NumberBase base) {
    // Read everything first: a display that the old base cannot read must
    // leave the calculator wholly in the old base, or the radio group would
    // show one base while the display is read in another.
    const std::string entry = CopyStr(display_);
    const std::int32_t value = StrToNum(entry);
    selected_ = base;
    current_ = value;
    base_ = base;
    // Zero shows as a plain "0" after a change of base, not padded.
    display_ = value == 0 ? std::string("0") : NumToStr(value);
}

std::optional<char> HexCalcState::KeyCommand(char typed) const noexcept {
    switch (typed) {
    case '+':
    case '-':
    case '*':
    case '/':
    case '=':
    case '\\':
    case '0':
    case '1':
        return typed;
    default:
        break;
    }
    if (typed >= '2' && typed <= '7')
        return DigitEnabled('7') ? std::optional<char>(typed) : std::nullopt;
    if (typed == '8' || typed == '9')
        return DigitEnabled('9') ? std::optional<char>(typed) : std::nullopt;
    if ((typed >= 'A' && typed <= 'F') || (typed >= 'a' && typed <= 'f')) {
        if (selected_ != NumberBase::Hex || !DigitEnabled('F')) return std::nullopt;
        return static_cast<char>(typed >= 'a' ? typed - 'a' + 'A' : typed);
    }
    return std::nullopt;
}

} // namespace lorvane::calc
