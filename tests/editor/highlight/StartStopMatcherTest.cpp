#include "editor/highlight/StartStopMatcher.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

using namespace lorvane;

namespace {

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
