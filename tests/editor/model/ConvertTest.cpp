// Rewriting every paragraph at once (tabs and spaces): checked against the
// same rewrite of a plain string and the store's own consistency check, in
// wrapped and unwrapped text, and taken back and redone as one undo step.
#include "editor/model/ModelFixture.h"

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
        auto caret = static_cast<std::int32_t>(rng() % (text.size() + 1));
        if (caret > 0 && text[static_cast<std::size_t>(caret - 1)] == '\r') --caret; // not mid-break
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

        f.model.Undo();
        ASSERT_EQ(f.model.Text(), text);
        f.model.CheckConsistency();
        EXPECT_FALSE(f.model.CanUndo()) << "the conversion was more than one step";
        f.model.Redo();
        ASSERT_EQ(f.model.Text(), expected);
        f.model.CheckConsistency();
    }
}

} // namespace
} // namespace lorvane::test
