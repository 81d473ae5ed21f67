// Commands over the whole text, against plain strings: rewriting every
// paragraph at once (tabs and spaces), checked with the store's own
// consistency check and taken back and redone as one undo step; and the
// search that ignores case, which steps over eight bytes at a time.
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

struct Paragraph {
    std::string text;
    std::int32_t start = 0;
};

std::vector<Paragraph> Split(const std::string& text) {
    std::vector<Paragraph> out;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find("\r\n", start), text.size());
        out.push_back({text.substr(start, end - start), static_cast<std::int32_t>(start)});
        if (end == text.size()) return out;
        start = end + 2;
    }
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

        const std::vector<Paragraph> before = Split(text);
        std::string expected;
        std::int32_t expectedCaret = -1;
        for (const Paragraph& p : before) {
            if (&p != &before.front()) expected += "\r\n";
            const auto newStart = static_cast<std::int32_t>(expected.size());
            Rewrite(p.text, expected);
            const bool changed = std::string_view(expected).substr(newStart) != p.text;
            const std::int32_t end = p.start + static_cast<std::int32_t>(p.text.size());
            if (expectedCaret < 0 && caret <= end)
                expectedCaret = newStart + (changed ? 0 : caret - p.start);
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

TEST(FindTextTest, IgnoringCaseFindsWhatAByteByByteLookFinds) {
    std::mt19937 rng(20261207);
    // Latin and Cyrillic capitals and small letters, and a blank.
    const std::string alphabet = "aAbB\xE0\xC0\xE1\xC1 ";
    const unsigned char* fold = UpperCaseTable(rzuAnsi);
    const auto folded = [&](std::string s) {
        for (char& c : s)
            c = static_cast<char>(fold[static_cast<unsigned char>(c)]);
        return s;
    };
    for (int round = 0; round < 400; ++round) {
        ModelFixture f(40);
        f.model.SetUpperCaseType(rzuAnsi);
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
        while (f.model.FindText(needle, true, false, false) && found.size() <= expected.size())
            found.push_back(f.model.SelStartNavigator().Position());
        ASSERT_EQ(found, expected) << "round " << round;
    }
}

} // namespace
} // namespace lorvane::test
