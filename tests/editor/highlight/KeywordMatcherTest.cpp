#include "editor/highlight/KeywordMatcher.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace lorvane;

namespace {

AttributeHead Kw(std::uint8_t options, std::int32_t context = 1) {
    AttributeHead h;
    h.options = options;
    h.contextNumber = context;
    return h;
}

std::vector<KeywordMatch> Match(const TKeywordList& list, std::string_view paragraph,
                                const TCharSet& separators = DefaultSeparators(),
                                std::vector<std::pair<int, int>> masks = {}) {
    KeywordScanner scanner;
    scanner.Load(paragraph, {0, static_cast<int>(paragraph.size())}, list);
    for (auto [from, to] : masks)
        scanner.Mask(from, to);
    std::vector<KeywordMatch> out;
    scanner.Find(list, separators, 0, out);
    return out;
}

// The pass as the rules describe it, one keyword after the other over a
// masked copy that every hit overwrites: the oracle for the fast matcher.
std::vector<KeywordMatch> Reference(const TKeywordList& list, std::string_view paragraph,
                                    OffsetWindow w, int searchFrom,
                                    const std::vector<std::pair<int, int>>& masks,
                                    const TCharSet& separators) {
    std::string exact(paragraph.substr(w.begin, w.end - w.begin));
    std::string upper = UpperCased(list.UpperCaseType(), exact);
    for (auto [from, to] : masks) {
        for (int i = std::max(from, w.begin); i < std::min(to, w.end); ++i)
            exact[i - w.begin] = upper[i - w.begin] = kMaskCode;
    }
    std::vector<KeywordMatch> out;
    for (int k = 0; k < list.Count(); ++k) {
        const KeywordInfo* info = list.Objects(k);
        if (!info || info->head.contextNumber == 0 || list.Strings(k).empty()) continue;
        const bool ignoreCase = !(info->head.options & kMatchCase);
        const std::string key =
            ignoreCase ? UpperCased(list.UpperCaseType(), list.Strings(k)) : list.Strings(k);
        const std::string& text = ignoreCase ? upper : exact;
        const int len = static_cast<int>(key.size());
        std::size_t pos =
            static_cast<std::size_t>(list.Nesting() ? 0 : std::max(0, searchFrom - len - w.begin));
        while ((pos = text.find(key, pos)) != std::string::npos) {
            const int at = w.begin + static_cast<int>(pos);
            bool ok = true;
            if (info->head.options & kWholeWords) {
                ok = (at == 0 || separators.Contains(paragraph[at - 1])) &&
                     (at + len == static_cast<int>(paragraph.size()) ||
                      separators.Contains(paragraph[at + len]));
            }
            if (!ok) {
                ++pos;
                continue;
            }
            out.push_back({k, at, len});
            std::memset(exact.data() + pos, kMaskCode, key.size());
            std::memset(upper.data() + pos, kMaskCode, key.size());
            pos += key.size();
        }
    }
    return out;
}

} // namespace

TEST(KeywordMatcher, OrderWordsContextsMasksAndCase) {
    using Hits = std::vector<KeywordMatch>;
    TKeywordList ordered, overlapping, words, contexts, cased;
    for (const char* k : {"ab", "abc", "bc"})
        ordered.Add(k, Kw(0));
    overlapping.Add("aa", Kw(0));
    words.Add("mov", Kw(kWholeWords));
    contexts.Add("int", Kw(0, 0));
    contexts.Add("word", Kw(0));
    cased.Add("push", Kw(0));
    cased.Add("Pop", Kw(kMatchCase));
    cased.Add("\xE4\xE0", Kw(0)); // Cyrillic "da" in lower case
    TCharSet withParens = DefaultSeparators();
    withParens.Include('(');
    withParens.Include(')');
    struct Row {
        const TKeywordList& list;
        const char* text;
        Hits expected;
        const TCharSet& separators = DefaultSeparators();
        std::vector<std::pair<int, int>> masks = {};
    };
    const Row rows[] = {
        // An earlier keyword wins and hides its text; each search goes on
        // after its own hit.
        {ordered, "xabcx", {{0, 1, 2}}},
        {ordered, "aaa ab ab", {{0, 4, 2}, {0, 7, 2}}},
        {overlapping, "aaaaa", {{0, 0, 2}, {0, 2, 2}}},
        // Whole words need separators on both sides; parentheses are no
        // default separators.
        {words, "remov", {}},
        {words, "movs", {}},
        {words, "(mov)", {}},
        {words, "(mov)", {{0, 1, 3}}, withParens},
        {words, "mov movx,mov", {{0, 0, 3}, {0, 9, 3}}},
        // Context zero never matches; a masked character splits a keyword.
        {contexts, "int", {}},
        {contexts, "word", {}, DefaultSeparators(), {{2, 3}}},
        {contexts, "word word", {{1, 5, 4}}, DefaultSeparators(), {{0, 4}}},
        // Latin letters in any capitals; ASCII casing leaves Cyrillic alone.
        {cased, "PuSh pop Pop \xC4\xC0", {{0, 0, 4}, {1, 9, 3}}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Match(row.list, row.text, row.separators, row.masks), row.expected) << row.text;
    cased.SetUpperCaseType(rzuAnsi);
    EXPECT_EQ(Match(cased, "PuSh pop Pop \xC4\xC0 \xE4\xC0"),
              (Hits{{0, 0, 4}, {1, 9, 3}, {2, 13, 2}, {2, 16, 2}}));
}

TEST(KeywordMatcher, TheWindowAndTheSearchStartOfTheFirstParagraph) {
    EXPECT_EQ(KeywordPassWindow(100, 5, true, 20, true, 30).begin, 14);
    EXPECT_EQ(KeywordPassWindow(100, 5, true, 20, true, 30).end, 35);
    EXPECT_EQ(KeywordPassWindow(100, 5, true, 3, false, 0).begin, 0);
    EXPECT_EQ(KeywordPassWindow(100, 5, false, 3, true, 98).end, 100);
    EXPECT_EQ(KeywordPassWindow(100, 5, false, 3, false, 0).end, 100);

    TKeywordList list;
    list.Add("ab", Kw(0));
    list.Add("abcd", Kw(0));
    const std::string text = "ab..ab..abcd..";
    const OffsetWindow w = KeywordPassWindow(14, list.MaxLength(), true, 9, true, 9);
    KeywordScanner scanner;
    scanner.Load(text, w, list);
    std::vector<KeywordMatch> out;
    scanner.Find(list, DefaultSeparators(), 9, out);
    EXPECT_EQ(out, (std::vector<KeywordMatch>{{0, 8, 2}}))
        << "ab at 4 ends before the from offset less its length and is not searched again";
    list.SetNesting(true);
    out.clear();
    scanner.Load(text, w, list);
    scanner.Find(list, DefaultSeparators(), 9, out);
    EXPECT_EQ(out, (std::vector<KeywordMatch>{{0, 4, 2}, {0, 8, 2}}));
}

TEST(KeywordMatcher, AWindowEdgeInsideAWordIsNoWordBoundary) {
    TKeywordList list;
    list.Add("mov", Kw(kWholeWords));
    const std::string text = "movx mov";
    KeywordScanner scanner;
    scanner.Load(text, {0, 3}, list);
    std::vector<KeywordMatch> out;
    scanner.Find(list, DefaultSeparators(), 0, out);
    EXPECT_TRUE(out.empty()) << "the x after the window still makes movx one word";
    scanner.Load(text, {5, 8}, list);
    scanner.Find(list, DefaultSeparators(), 5, out);
    EXPECT_EQ(out, (std::vector<KeywordMatch>{{0, 5, 3}}));
}

TEST(KeywordMatcher, AListChangedAfterLoadIsRefused) {
    TKeywordList list;
    list.Add("Exact", Kw(kMatchCase));
    KeywordScanner scanner;
    scanner.Load("exact", {0, 5}, list);
    list.Add("exact", Kw(0));
    std::vector<KeywordMatch> out;
    EXPECT_THROW(scanner.Find(list, DefaultSeparators(), 0, out), Error)
        << "the upper-cased copy was never made";
}

TEST(KeywordMatcher, AgreesWithKeywordByKeywordMaskingOnRandomText) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const std::string alphabet = "abAB (,";
    auto randomWord = [&](int maxLength) {
        std::string s(1 + rng() % maxLength, ' ');
        for (char& c : s)
            c = alphabet[rng() % alphabet.size()];
        return s;
    };
    KeywordScanner scanner;
    std::vector<KeywordMatch> fast;
    for (int round = 0; round < 3000; ++round) {
        TKeywordList list;
        list.SetNesting(rng() % 4 == 0);
        const int keywords = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < keywords; ++k) {
            const auto options = static_cast<std::uint8_t>(rng() % 4);
            list.Add(randomWord(4), Kw(options, rng() % 8 == 0 ? 0 : 1));
        }
        const std::string text = randomWord(40);
        const int n = static_cast<int>(text.size());
        const int from = static_cast<int>(rng() % (n + 1));
        const int to = from + static_cast<int>(rng() % (n - from + 1));
        const bool first = rng() % 2;
        const bool last = rng() % 2;
        const OffsetWindow w = KeywordPassWindow(n, list.MaxLength(), first, from, last, to);
        std::vector<std::pair<int, int>> masks;
        for (int m = static_cast<int>(rng() % 3); m > 0; --m) {
            const int a = static_cast<int>(rng() % (n + 1));
            masks.emplace_back(a, a + static_cast<int>(rng() % 4));
        }
        const TCharSet separators = TCharSet::Of(rng() % 2 ? " ," : " (,");
        const int searchFrom = first ? from : w.begin;
        scanner.Load(text, w, list);
        for (auto [a, b] : masks)
            scanner.Mask(a, b);
        fast.clear();
        scanner.Find(list, separators, searchFrom, fast);
        ASSERT_EQ(fast, Reference(list, text, w, searchFrom, masks, separators))
            << "round " << round << " text '" << text << "'";
    }
}
