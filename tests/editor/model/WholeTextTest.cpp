// Commands over the whole text, against plain strings: rewriting every
// paragraph at once (tabs and spaces), checked with the store's own
// consistency check and taken back and redone as one undo step; and the
// search that ignores case, which steps over eight bytes at a time; and the
// upper-casing tables those searches use.
#include "editor/model/ModelFixture.h"
#include "editor/model/UpperCase.h"

#include <gtest/gtest.h>

#include <random>

namespace lorvane::test {
namespace {

// Tabs become two spaces and digits go, so paragraphs grow, shrink or stay.
void Rewrite(std::string_view line, std::string& out) {
    for (char c : line) {
        if (c == '\t')
            out += "  ";
        else if (c < '0' || c > '9')
            out += c;
    }
}

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

TEST(ConvertParagraphsTest, MatchesThePlainRewriteAndUndoesAsOneStep) {
    std::mt19937 rng(20261206);
    const std::string alphabet = "ab \t1";
    for (int round = 0; round < 300; ++round) {
        ModelFixture f(4 + round % 9);
        f.model.SetWordWrap(round % 3 != 0);
        std::string text;
        const int paragraphs = 1 + static_cast<int>(rng() % 12);
        for (int k = 0; k < paragraphs; ++k) {
            if (k) text += "\r\n";
            // Some paragraphs are plain letters, which the rewrite keeps.
            const bool plain = rng() % 3 == 0;
            for (int n = static_cast<int>(rng() % 30); n > 0; --n)
                text += plain ? 'a' : alphabet[rng() % alphabet.size()];
        }
        f.model.SetText(text);
        // Now and then an undo list too small for any record: the change
        // then leaves nothing to undo, and no record half made.
        const bool tight = round % 5 == 4;
        if (tight) f.model.SetUndoMaxSpace(8);
        auto caret = static_cast<std::int32_t>(rng() % (text.size() + 1));
        if (caret > 0 && text[static_cast<std::size_t>(caret - 1)] == '\r')
            --caret; // not mid-break
        f.model.SetSelStart(caret);
        f.model.SetSelLength(static_cast<std::int32_t>(text.size()) - caret);

        std::string expected;
        std::int32_t expectedCaret = -1;
        for (const auto& [start, length] : ParagraphSpans(text)) {
            if (start > 0) expected += "\r\n";
            const auto newStart = static_cast<std::int32_t>(expected.size());
            const std::string_view before = std::string_view(text).substr(start, length);
            Rewrite(before, expected);
            const bool changed = std::string_view(expected).substr(newStart) != before;
            if (expectedCaret < 0 && caret <= start + length)
                expectedCaret = newStart + (changed ? 0 : caret - start);
        }

        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(f.model.ConvertParagraphs(&Rewrite), expected != text);
        ASSERT_EQ(f.model.Text(), expected);
        f.model.CheckConsistency();
        if (expected == text) {
            EXPECT_EQ(f.model.SelLength(), static_cast<std::int32_t>(text.size()) - caret);
            continue;
        }
        EXPECT_EQ(f.model.SelStart(), expectedCaret);
        EXPECT_EQ(f.model.SelLength(), 0);
        EXPECT_TRUE(f.model.Modified());
        if (tight) {
            EXPECT_FALSE(f.model.CanUndo());
            continue;
        }

        f.model.Undo();
        ASSERT_EQ(f.model.Text(), text);
        f.model.CheckConsistency();
        EXPECT_FALSE(f.model.CanUndo()) << "the conversion was more than one step";
        f.model.Redo();
        ASSERT_EQ(f.model.Text(), expected);
        f.model.CheckConsistency();
    }
}

// Searches forward with or without case, Cyrillic folded only by the
// Windows-1251 table.
TEST(FindTextTest, FindsWhatAByteByByteLookFinds) {
    std::mt19937 rng(20261207);
    // Latin and Cyrillic capitals and small letters, and a blank.
    const std::string alphabet = "aAbB\xE0\xC0\xE1\xC1 ";
    for (int round = 0; round < 400; ++round) {
        const TrzUpperCase type = round % 2 ? rzuAnsi : rzuAscii;
        const bool matchCase = round % 3 == 0;
        const unsigned char* fold = UpperCaseTable(type);
        const auto folded = [&](std::string s) {
            for (char& c : s)
                c = matchCase ? c : static_cast<char>(fold[static_cast<unsigned char>(c)]);
            return s;
        };
        ModelFixture f(40);
        f.model.SetUpperCaseType(type);
        std::string text;
        for (int k = 1 + static_cast<int>(rng() % 4); k > 0; --k) {
            if (!text.empty()) text += "\r\n";
            for (int n = static_cast<int>(rng() % 40); n > 0; --n)
                text += alphabet[rng() % alphabet.size()];
        }
        std::string needle;
        for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n)
            needle += alphabet[rng() % 8];
        // Every match, each search going on behind the one before; a match
        // never runs over a line break.
        std::vector<std::int32_t> expected;
        const std::string hay = folded(text), what = folded(needle);
        for (std::size_t at = hay.find(what); at != std::string::npos;
             at = hay.find(what, at + what.size()))
            if (hay.substr(at, what.size()).find('\r') == std::string::npos &&
                hay.substr(at, what.size()).find('\n') == std::string::npos)
                expected.push_back(static_cast<std::int32_t>(at));
        f.model.SetText(text);
        f.model.SetSelStart(0);
        std::vector<std::int32_t> found;
        while (f.model.FindText(needle, true, matchCase, false) && found.size() <= expected.size())
            found.push_back(f.model.SelStartNavigator().Position());
        ASSERT_EQ(found, expected) << "round " << round;
    }
}

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

} // namespace
} // namespace lorvane::test
