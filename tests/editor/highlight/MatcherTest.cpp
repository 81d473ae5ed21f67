// The matching primitives of the passes: the keyword matcher against a
// keyword-by-keyword oracle, and the start and stop key searches.
#include "editor/highlight/KeywordMatcher.h"
#include "editor/highlight/StartStopMatcher.h"
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

int AddKey(TStartStopKeyList& list, std::string_view start, std::string_view stop,
           std::uint8_t options = 0, bool endsAtParagraphEnd = false) {
    return list.Add(start, stop, endsAtParagraphEnd, 0, 0, 0, 1, 0, options);
}

struct Scan {
    TStartStopKeyList list;
    TCharSet separators = DefaultSeparators();
    std::string paragraph;
    StartStopText text;

    void Load(std::string p) {
        paragraph = std::move(p);
        if (!list.IsPrepared()) list.Prepare(separators);
        text.Load(paragraph, list);
    }
    StartKeyMatch Start(int from = 0, int mustEndAfter = 0, std::vector<OffsetRange> blocked = {}) {
        return FindStartKey(text, list, separators, {from, text.Length()}, mustEndAfter, blocked);
    }
    int Stop(int entry, int from = 0, int limit = 1 << 30) {
        return FindStopKey(text, list, entry, separators, from, limit);
    }
};

} // namespace

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
    const unsigned seed = 20261207; // fixed, so mutation runs compare
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    // Capital and small Latin and Cyrillic letters, casing by either table.
    const std::string alphabet = "abAB (,\xE4\xC4";
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
        list.SetUpperCaseType(rng() % 2 ? rzuAnsi : rzuAscii); // prepares the keys again
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

TEST(StartStopMatcher, TheFirstPositionWinsThenTheFirstEntry) {
    Scan s;
    AddKey(s.list, "/", "x");
    AddKey(s.list, "//", "", 0, true);
    AddKey(s.list, "/*", "*/");
    s.Load("a /* b // c");
    StartKeyMatch m = s.Start();
    EXPECT_EQ(m.offset, 2);
    EXPECT_EQ(m.entry, 0) << "at one position the list order decides, not the key length";

    Scan t;
    AddKey(t.list, "//", "", 0, true);
    AddKey(t.list, "/*", "*/");
    t.Load("a /* b // c");
    m = t.Start();
    EXPECT_EQ(m.entry, 1);
    EXPECT_EQ(m.offset, 2);
    EXPECT_EQ(m.length, 2);
    m = t.Start(3);
    EXPECT_EQ(m.offset, 7);
    EXPECT_EQ(m.entry, 0);
}

TEST(StartStopMatcher, AKeyCompletedByTheTypedCharacterIsFound) {
    Scan s;
    AddKey(s.list, "/*", "*/");
    s.Load("x /* y");
    // The '*' at offset 3 was just typed: the scan starts there and its window
    // reaches back over the '/' before it.
    const OffsetWindow w = StartSearchWindow(3, 4, s.text.Length(), s.list);
    EXPECT_EQ(w.begin, 0);
    EXPECT_EQ(w.end, 6);
    StartKeyMatch m = FindStartKey(s.text, s.list, s.separators, w, 3);
    EXPECT_EQ(m.offset, 2);
    // A key that ends at or before the current position was dealt with before.
    EXPECT_FALSE(FindStartKey(s.text, s.list, s.separators, {0, 6}, 4));
}

TEST(StartStopMatcher, BlockedStretchesAreSteppedOver) {
    Scan s;
    AddKey(s.list, "'", "'");
    s.Load("'a' 'b'");
    EXPECT_EQ(s.Start(0, 0, {{0, 3}}).offset, 4);
    EXPECT_EQ(s.Start(0, 0, {{0, 1}, {1, 5}}).offset, 6);
    EXPECT_FALSE(s.Start(0, 0, {{0, 7}}));
}

TEST(StartStopMatcher, WholeWordStartsAndCaseRules) {
    Scan s;
    AddKey(s.list, "rem", "", kWholeWords, true);
    AddKey(s.list, "Str", "End", kMatchCase);
    s.Load("premise REM x");
    StartKeyMatch m = s.Start();
    EXPECT_EQ(m.offset, 8);
    EXPECT_EQ(m.entry, 0);
    EXPECT_EQ(m.openLength, 4) << "the separator that must follow counts";
    s.Load("rem");
    EXPECT_EQ(s.Start().offset, 0) << "the paragraph edges count as separators";
    s.Load("str STR Str");
    EXPECT_EQ(s.Start().offset, 8);
}

TEST(StartStopMatcher, FindStopHonoursRangeCaseAndWordChecks) {
    Scan s;
    AddKey(s.list, "begin", "end", kWholeWords);
    AddKey(s.list, "/*", "*/");
    AddKey(s.list, ";", "", 0, true);
    s.Load("x bend END; */ end");
    EXPECT_EQ(s.Stop(0), 7) << "bend fails the word check; END matches without case";
    EXPECT_EQ(s.Stop(0, 8), 15);
    EXPECT_EQ(s.Stop(0, 0, 7), -1) << "only keys that begin before the limit";
    EXPECT_EQ(s.Stop(1, 0, 13), 12) << "a key may run past the limit";
    EXPECT_EQ(s.Stop(2), -1) << "no stop key";
    TStartStopKeyList unprepared;
    AddKey(unprepared, "a", "b");
    StartStopText t;
    t.Load("ab", unprepared);
    EXPECT_THROW(FindStopKey(t, unprepared, 0, s.separators, 0, 2), Error);
    EXPECT_THROW(FindStartKey(t, unprepared, s.separators, {0, 2}, 0), Error);
}
