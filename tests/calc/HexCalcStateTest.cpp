#include "calc/HexCalcState.h"

#include <gtest/gtest.h>

#include <climits>

namespace lorvane::calc {
namespace {

HexCalcState Activated(NumberBase base) {
    HexCalcState calc;
    calc.Activate();
    if (base != NumberBase::Hex) calc.ChangeBase(base);
    return calc;
}

void Type(HexCalcState& calc, std::string_view digits) {
    for (char d : digits)
        calc.Digit(d);
}

TEST(HexCalcState, BeforeActivationNothingIsRead) {
    HexCalcState calc;
    EXPECT_EQ(calc.Base(), std::nullopt);
    EXPECT_EQ(calc.NumToStr(-1), "0");
    EXPECT_EQ(calc.StrToNum("zz"), 0);
    EXPECT_TRUE(calc.NewNumber());
    calc.Activate();
    EXPECT_EQ(calc.Base(), NumberBase::Hex);
}

TEST(HexCalcState, UnreadableDisplayLeavesOperandAndSignAlone) {
    HexCalcState calc = Activated(NumberBase::Dec);
    Type(calc, "12");
    calc.Operation('*');
    calc.SetDisplay("1x");
    EXPECT_THROW(calc.Equals(), ConversionError);
    EXPECT_EQ(calc.Operand(), 12);
    EXPECT_EQ(calc.PendingSign(), "*");
    EXPECT_THROW(calc.Negate(), ConversionError);
    EXPECT_EQ(calc.Display(), "1x");

    calc.Reset();
    calc.SetDisplay("abc");
    EXPECT_THROW(calc.Operation('+'), ConversionError);
    EXPECT_EQ(calc.PendingSign(), "");
    EXPECT_EQ(calc.Operand(), 0);
}

TEST(HexCalcState, DivisionByZeroStaysPending) {
    HexCalcState calc = Activated(NumberBase::Dec);
    Type(calc, "7");
    calc.Operation('/');
    Type(calc, "0");
    EXPECT_EQ(calc.Equals(), EqualsOutcome::DivisionByZero);
    EXPECT_EQ(calc.PendingSign(), "/");
    EXPECT_EQ(calc.Display(), "0");
    Type(calc, "2");
    EXPECT_EQ(calc.Equals(), EqualsOutcome::Performed);
    EXPECT_EQ(calc.Display(), "3");
}

TEST(HexCalcState, OverflowingQuotientWraps) {
    HexCalcState calc = Activated(NumberBase::Dec);
    calc.SetDisplay("-2147483648");
    calc.Operation('/');
    calc.SetDisplay("-1");
    EXPECT_EQ(calc.Equals(), EqualsOutcome::Performed);
    EXPECT_EQ(calc.CurrentValue(), INT32_MIN);
    calc.SetDisplay("-2147483648");
    calc.Negate();
    EXPECT_EQ(calc.Display(), "-2147483648");
}

TEST(HexCalcState, FailedChangeOfBaseKeepsTheOldBase) {
    HexCalcState calc = Activated(NumberBase::Hex);
    calc.SetDisplay("12345XYZ9");
    EXPECT_THROW(calc.ChangeBase(NumberBase::Bin), ConversionError);
    EXPECT_EQ(calc.Selected(), NumberBase::Hex);
    EXPECT_EQ(calc.Base(), NumberBase::Hex);
    EXPECT_EQ(calc.MaxLength(), 8);
    EXPECT_EQ(calc.Display(), "12345XYZ9");
}

TEST(HexCalcState, KeysFollowTheEnabledDigits) {
    HexCalcState calc = Activated(NumberBase::Hex);
    EXPECT_EQ(calc.KeyCommand('a'), 'A');
    EXPECT_EQ(calc.KeyCommand('9'), '9');
    EXPECT_EQ(calc.KeyCommand('\\'), '\\');
    EXPECT_EQ(calc.KeyCommand('g'), std::nullopt);
    EXPECT_EQ(calc.KeyCommand('\r'), std::nullopt);
    calc.ChangeBase(NumberBase::Bin);
    EXPECT_EQ(calc.KeyCommand('1'), '1');
    EXPECT_EQ(calc.KeyCommand('2'), std::nullopt);
    EXPECT_EQ(calc.KeyCommand('F'), std::nullopt);
    calc.ChangeBase(NumberBase::Oct);
    EXPECT_EQ(calc.KeyCommand('7'), '7');
    EXPECT_EQ(calc.KeyCommand('8'), std::nullopt);
    calc.ChangeBase(NumberBase::Dec);
    EXPECT_EQ(calc.KeyCommand('9'), '9');
    EXPECT_EQ(calc.KeyCommand('c'), std::nullopt);
}

} // namespace
} // namespace lorvane::calc
