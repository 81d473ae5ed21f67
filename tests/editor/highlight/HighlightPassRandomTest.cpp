// Thousands of random edits on a text full of keywords, comments and
// strings; after each, once layout has reached every paragraph, the
// attribute entries and start states equal those of a fresh highlight.
#include "editor/highlight/HighlightPassFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace lorvane {
namespace {

using test::PassFixture;

// First difference between two models' highlighting, empty when none.
std::string Difference(RIzuvAzazModel& a, RIzuvAzazModel& b) {
    if (a.ParagraphCount() != b.ParagraphCount()) return "paragraph count";
    for (std::int32_t i = 0; i < a.ParagraphCount(); ++i) {
        const ParagraphInfo& p = *a.ParagraphAt(i);
        const ParagraphInfo& q = *b.ParagraphAt(i);
        const std::string where = "paragraph " + std::to_string(i) + ": ";
        if (!StatesIdentical(*p.startContext, *q.startContext)) return where + "start state";
        if (p.entryCount != q.entryCount)
            return where + "entries " + std::to_string(p.entryCount) + " vs " +
                   std::to_string(q.entryCount);
        for (std::int32_t k = 0; k < p.entryCount; ++k)
            if (p.entries[k].offsetOrRefs != q.entries[k].offsetOrRefs ||
                !StatesIdentical(p.entries[k], q.entries[k]))
                return where + "entry " + std::to_string(k);
    }
    return {};
}

TEST(HighlightPassRandom, IncrementalEqualsFresh) {
    // Short pieces make and break keys often; the longer ones bring whole
    // lines of keywords.
    static const char* const kShort[] = {"mov ", "MOV", "ax", ", ",   "push ", "/*", "*/",  "*/",
                                         "*/",   "\"",  ";",  "\r\n", "\r\n",  "{",  "}",   "}",
                                         "<",    ">",   "]",  "abc",  " ",     "x",  "int", "a"};
    static const char* const kLong[] = {"\r\n;c\r\n", " mov ax, abc ", "\r\n  push ax\r\n"};
    std::vector<const char*> pieces(std::begin(kShort), std::end(kShort));
    pieces.insert(pieces.end(), std::begin(kLong), std::end(kLong));
    PassFixture f;
    f.Vocabulary();
    std::string start;
    for (int i = 0; i < 80; ++i)
        start += i % 7 == 3 ? "/* open\r\n" : "  mov ax, \"s\" ; note\r\n";
    f.model.SetText(start);

    std::mt19937 random(20261206);
    int checked = 0;
    std::int64_t entries = 0;
    for (int step = 0; step < 3000; ++step) {
        const std::int32_t length = f.model.TextLength();
        std::uniform_int_distribution<std::int32_t> at(0, length);
        const std::int32_t s = at(random);
        const int kind = static_cast<int>(random() % 10);
        const bool grouped = random() % 8 == 0;
        if (grouped) f.model.BeginUpdate();
        if (kind < 7) {
            f.Type(s, pieces[random() % pieces.size()]);
        } else if (kind < 9) {
            f.Erase(s, std::min<std::int32_t>(length - s, static_cast<std::int32_t>(random() % 5)));
        } else {
            f.model.SetSelStart(s);
            f.model.SetSelLength(
                std::min<std::int32_t>(length - s, static_cast<std::int32_t>(random() % 9)));
            f.model.Replace(pieces[random() % pieces.size()]);
        }
        if (grouped) f.model.EndUpdate();
        if (f.model.TextLength() > 4000) f.Erase(s / 2, 1000);
        f.model.LayoutRange(0, f.model.ParagraphCount() - 1, false);

        PassFixture fresh;
        fresh.Vocabulary();
        fresh.model.SetText(f.model.Text());
        fresh.model.LayoutRange(0, fresh.model.ParagraphCount() - 1, true);
        const std::string diff = Difference(f.model, fresh.model);
        ASSERT_EQ(diff, "") << "after step " << step;
        ++checked;
        for (std::int32_t i = 0; i < f.model.ParagraphCount(); ++i)
            entries += f.model.ParagraphAt(i)->entryCount;
    }
    EXPECT_EQ(checked, 3000);
    // The comparisons had plenty of highlighting to compare.
    EXPECT_GT(entries / checked, 40);
    f.model.CheckConsistency();
}

} // namespace
} // namespace lorvane
