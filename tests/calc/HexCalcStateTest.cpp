#include "calc/HexCalcState.h"

#include <gtest/gtest.h>

namespace lorvane::calc {
namespace {

HexCalcState Activated(NumberBase base) {
    HexCalcState calc;
    calc.Activate();
    if (base != NumberBase::Hex) calc.ChangeBase(base);
    return calc;
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

TEST(HexCalcState, KeysFollowTheEnabledDigits) {
    HexCalcState calc = Activated(NumberBase::Hex);
    // Hexadecimal, binary and decimal keys are typed through the form in
    // its own tests.
    EXPECT_EQ(calc.KeyCommand('g'), std::nullopt);
    EXPECT_EQ(calc.KeyCommand('a'), 'A');
    calc.ChangeBase(NumberBase::Oct);
    EXPECT_EQ(calc.KeyCommand('7'), '7');
    EXPECT_EQ(calc.KeyCommand('8'), std::nullopt);
}

} // namespace
} // namespace lorvane::calc
