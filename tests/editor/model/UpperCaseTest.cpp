#include "editor/model/UpperCase.h"

#include <gtest/gtest.h>

using namespace lorvane;

namespace {

// Installs a user function for one test and always takes it away again,
// since the function is process-wide.
class UserFunctionScope {
public:
    explicit UserFunctionScope(TUpperCaseFunction f) { SetUserUpperCase(f); }
    ~UserFunctionScope() { SetUserUpperCase(nullptr); }
};

void ShoutDigits(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        if (text[i] >= '0' && text[i] <= '9') text[i] = '#';
}

} // namespace

TEST(UpperCase, EachTypeTouchesItsOwnLetters) {
    // 0xE0 0xFF are Cyrillic a and ya, 0xB8 is yo in Windows-1251. While no
    // user function is set, the user-defined type falls back to ASCII.
    SetUserUpperCase(nullptr);
    EXPECT_EQ(UpperCased(rzuAscii, "az{`@AZ09\xE0\xFF\xB8"), "AZ{`@AZ09\xE0\xFF\xB8");
    EXPECT_EQ(UpperCased(rzuAnsi, "az\xE0\xFF\xB8\xC0"), "AZ\xC0\xDF\xA8\xC0");
    EXPECT_EQ(UpperCased(rzuUserDefined, "ab1\xE0"), "AB1\xE0");
    {
        UserFunctionScope scope(&ShoutDigits);
        EXPECT_EQ(UpperCaseTable(rzuUserDefined), nullptr);
        EXPECT_EQ(UpperCased(rzuUserDefined, "ab1\xE0"), "ab#\xE0");
        EXPECT_EQ(UpperCased(rzuAscii, "ab1"), "AB1") << "the other types ignore the function";
    }
    EXPECT_EQ(UpperCased(rzuUserDefined, "ab1"), "AB1");
}
