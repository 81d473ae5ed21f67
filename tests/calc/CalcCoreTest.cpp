#include "calc/HexCalcState.h"
#include "calc/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace lorvane::calc {
namespace {

constexpr NumberBase kBases[] = {NumberBase::Hex, NumberBase::Oct, NumberBase::Bin,
                                 NumberBase::Dec};

std::string ErrorText(std::string_view text, NumberBase base) {
    try {
        StrToNum(text, base);
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "no error";
}

TEST(NumberText, RoundTripsInEveryBase) {
    std::mt19937 random(20261206);
    std::vector<std::int32_t> values = {0, 1, -1, INT32_MAX, INT32_MIN, 8, -8, 0x55555555};
    for (int i = 0; i < 500; ++i)
        values.push_back(static_cast<std::int32_t>(random()));
    for (NumberBase base : kBases) {
        for (std::int32_t value : values) {
            const std::string text = NumToStr(value, base);
            EXPECT_EQ(StrToNum(text, base), value) << text;
            if (base != NumberBase::Dec) {
                EXPECT_EQ(static_cast<int>(text.size()), EntryLength(base)) << text;
            }
        }
    }
}

TEST(NumberText, DisplayForms) {
    EXPECT_EQ(NumToStr(-1, NumberBase::Hex), "FFFFFFFF");
    EXPECT_EQ(NumToStr(10, NumberBase::Hex), "0000000A");
    EXPECT_EQ(NumToStr(-1, NumberBase::Oct), "37777777777");
    EXPECT_EQ(NumToStr(10, NumberBase::Oct), "00000000012");
    EXPECT_EQ(NumToStr(-1, NumberBase::Bin), std::string(32, '1'));
    EXPECT_EQ(NumToStr(10, NumberBase::Bin), "00000000000000000000000000001010");
    EXPECT_EQ(NumToStr(-1, NumberBase::Dec), "-1");
    EXPECT_EQ(NumToStr(INT32_MIN, NumberBase::Dec), "-2147483648");
    EXPECT_EQ(NumToStr(INT32_MIN, NumberBase::Oct), "20000000000");
}

TEST(NumberText, ReadsOnlyTheEntryLength) {
    EXPECT_EQ(StrToNum("123456789", NumberBase::Hex), 0x12345678);
    EXPECT_EQ(StrToNum("7fffffff", NumberBase::Hex), INT32_MAX);
    EXPECT_EQ(StrToNum("1F", NumberBase::Hex), 31);
    EXPECT_EQ(StrToNum("abcdef", NumberBase::Hex), 0xABCDEF);
    // Eleven octal digits carry 33 bits; the top one falls off.
    EXPECT_EQ(StrToNum("77777777777", NumberBase::Oct), -1);
    EXPECT_EQ(StrToNum("17", NumberBase::Oct), 15);
    EXPECT_EQ(StrToNum("777777777771", NumberBase::Oct), -1);
    EXPECT_EQ(StrToNum(std::string(32, '1') + "0", NumberBase::Bin), -1);
    EXPECT_EQ(StrToNum("101", NumberBase::Bin), 5);
    EXPECT_EQ(StrToNum("", NumberBase::Bin), 0);
    EXPECT_EQ(StrToNum("+12", NumberBase::Dec), 12);
    EXPECT_EQ(StrToNum("-2147483648", NumberBase::Dec), INT32_MIN);
    // The twelfth character is not read.
    EXPECT_EQ(StrToNum("-1234567890x", NumberBase::Dec), -1234567890);
}

TEST(NumberText, UnreadableEntriesNameTheConvertedText) {
    EXPECT_EQ(ErrorText("12G", NumberBase::Hex), "'$12G' is not a valid integer value");
    EXPECT_EQ(ErrorText("", NumberBase::Hex), "'$' is not a valid integer value");
    EXPECT_EQ(ErrorText("-1", NumberBase::Hex), "'$-1' is not a valid integer value");
    EXPECT_EQ(ErrorText("1g", NumberBase::Hex), "'$1g' is not a valid integer value");
    EXPECT_EQ(ErrorText("2147483648", NumberBase::Dec),
              "'2147483648' is not a valid integer value");
    EXPECT_EQ(ErrorText("-2147483649", NumberBase::Dec),
              "'-2147483649' is not a valid integer value");
    EXPECT_EQ(ErrorText("-", NumberBase::Dec), "'-' is not a valid integer value");
    EXPECT_EQ(ErrorText(" 5", NumberBase::Dec), "' 5' is not a valid integer value");
    EXPECT_EQ(ErrorText("", NumberBase::Dec), "'' is not a valid integer value");
    EXPECT_EQ(ErrorText("12345678901x", NumberBase::Dec),
              "'12345678901' is not a valid integer value");
    EXPECT_EQ(ErrorText("102", NumberBase::Bin), "'102' is not a valid integer value");
    EXPECT_EQ(ErrorText("78", NumberBase::Oct), "'78' is not a valid integer value");
}

TEST(NumberText, CopyStrCountsCharactersNotBytes) {
    EXPECT_EQ(CopyStr("123456789", NumberBase::Hex), "12345678");
    EXPECT_EQ(CopyStr("12", NumberBase::Bin), "12");
    // Nine Cyrillic letters, two bytes each: eight whole letters stay.
    EXPECT_EQ(CopyStr("абвгдежзи", NumberBase::Hex), "абвгдежз");
    EXPECT_EQ(ErrorText("абвгдежзи", NumberBase::Hex), "'$абвгдежз' is not a valid integer value");
}

// Before the first activation nothing is read; after it the keys follow the
// enabled digits (hexadecimal, binary and decimal keys are typed through the
// form in its own tests).
TEST(HexCalcState, ActivationAndTheKeysOfTheEnabledDigits) {
    HexCalcState calc;
    EXPECT_EQ(calc.Base(), std::nullopt);
    EXPECT_EQ(calc.NumToStr(-1), "0");
    EXPECT_EQ(calc.StrToNum("zz"), 0);
    EXPECT_TRUE(calc.NewNumber());
    calc.Activate();
    EXPECT_EQ(calc.Base(), NumberBase::Hex);
    EXPECT_EQ(calc.KeyCommand('g'), std::nullopt);
    EXPECT_EQ(calc.KeyCommand('a'), 'A');
    calc.ChangeBase(NumberBase::Oct);
    EXPECT_EQ(calc.KeyCommand('7'), '7');
    EXPECT_EQ(calc.KeyCommand('8'), std::nullopt);
}

} // namespace
} // namespace lorvane::calc
