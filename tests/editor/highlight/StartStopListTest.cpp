#include "editor/highlight/StartStopList.h"

#include "editor/model/ErrorTexts.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <bitset>

using namespace lorvane;

namespace {

int AddKey(TStartStopKeyList& list, std::string_view start, std::string_view stop,
           std::uint8_t options = 0, bool endsAtParagraphEnd = false) {
    return list.Add(start, stop, endsAtParagraphEnd, 0x22, 0x11, 4, 9, 1, options);
}

} // namespace

TEST(StartStopList, AddPreparesKeysLengthsAndSameStartLinks) {
    TStartStopKeyList list;
    EXPECT_EQ(AddKey(list, "/*", "*/"), 0);
    EXPECT_EQ(AddKey(list, "rem", "", 0, true), 1);
    EXPECT_EQ(AddKey(list, "REM", "end"), 2);
    EXPECT_EQ(AddKey(list, "rem", "x", kMatchCase), 3);
    EXPECT_EQ(AddKey(list, "Rem", "y"), 4);

    const StartStopInfo& rem = list.Get(1);
    EXPECT_EQ(rem.startKey, "REM");
    EXPECT_EQ(rem.startText, "rem");
    EXPECT_EQ(rem.stopLength, 0);
    EXPECT_EQ(rem.head.firstColour, 0x11u) << "Add takes the second colour first";
    EXPECT_EQ(rem.head.secondColour, 0x22u);
    EXPECT_EQ(list.Get(0).sameStartLink, -1);
    EXPECT_EQ(list.Get(1).sameStartLink, -1);
    EXPECT_EQ(list.Get(2).sameStartLink, 1);
    EXPECT_EQ(list.Get(3).sameStartLink, -1) << "other options, no link";
    EXPECT_EQ(list.Get(4).sameStartLink, 1) << "links name the first such entry";
    EXPECT_EQ(list.NextSameStart(1), 2);
    EXPECT_EQ(list.NextSameStart(2), -1);
    EXPECT_EQ(list.MaxStartLength(), 3);
    EXPECT_EQ(list.MaxStopLength(), 3);

    TStartStopKeyList lineEnds;
    AddKey(lineEnds, ";", "", 0, true);
    EXPECT_EQ(lineEnds.MaxStopLength(), 2) << "the line break counts as the stop key";
}

TEST(StartStopList, PreparationFollowsWholeWordsAndTheSeparators) {
    TStartStopKeyList list;
    AddKey(list, "(*", "*)", kWholeWords);
    AddKey(list, "begin", "end;", kWholeWords);
    AddKey(list, "begin", "end", 0);
    EXPECT_FALSE(list.IsPrepared());
    std::bitset<256> controlSeparators;
    for (unsigned char c : {' ', '(', ';'})
        controlSeparators.set(c);
    list.Prepare(TCharSet(controlSeparators));
    ASSERT_TRUE(list.IsPrepared());
    const StartStopInfo& paren = list.Get(0);
    EXPECT_FALSE(paren.separatorBeforeStart) << "the key begins with a separator itself";
    EXPECT_TRUE(paren.separatorAfterStart);
    EXPECT_TRUE(paren.separatorBeforeStop);
    EXPECT_TRUE(paren.separatorAfterStop);
    const StartStopInfo& words = list.Get(1);
    EXPECT_TRUE(words.separatorBeforeStart);
    EXPECT_TRUE(words.separatorAfterStart);
    EXPECT_TRUE(words.separatorBeforeStop);
    EXPECT_FALSE(words.separatorAfterStop);
    const StartStopInfo& loose = list.Get(2);
    EXPECT_FALSE(loose.separatorBeforeStart || loose.separatorAfterStart ||
                 loose.separatorBeforeStop || loose.separatorAfterStop);
    AddKey(list, "x", "y");
    EXPECT_FALSE(list.IsPrepared()) << "a new entry needs preparing";
}

TEST(StartStopList, UpperCaseTypeRePreparesKeysAndLinks) {
    TStartStopKeyList list;
    AddKey(list, "\xE0\xE1", "\xE2"); // Cyrillic a b, stop v
    AddKey(list, "\xC0\xC1", "\xC3"); // the same in capitals
    EXPECT_EQ(list.Get(1).sameStartLink, -1) << "ASCII casing leaves Cyrillic alone";
    list.Prepare(DefaultSeparators());
    list.SetUpperCaseType(rzuAnsi);
    EXPECT_FALSE(list.IsPrepared());
    EXPECT_EQ(list.Get(0).startKey, "\xC0\xC1");
    EXPECT_EQ(list.Get(0).stopKey, "\xC2");
    EXPECT_EQ(list.Get(1).sameStartLink, 0);
    EXPECT_TRUE(list.UpperFirstByte(0xC0));
    EXPECT_FALSE(list.UpperFirstByte(0xE0));
    list.SetUpperCaseType(rzuAscii);
    EXPECT_EQ(list.Get(1).sameStartLink, -1);
}

TEST(StartStopList, BadInputRaisesAndChangesNothing) {
    TStartStopKeyList list;
    AddKey(list, "{", "}");
    for (int bad : {-1, 1}) {
        try {
            (void)list.Get(bad);
            FAIL();
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), texts::kListIndexOutOfBounds);
        }
    }
    EXPECT_THROW(AddKey(list, "", "}"), Error);
    EXPECT_THROW(AddKey(list, std::string(kMaxHighlightKeyLength + 1, 's'), "}"), Error);
    EXPECT_THROW(AddKey(list, "s", std::string(kMaxHighlightKeyLength + 1, 's')), Error);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.MaxStartLength(), 1);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxStartLength(), 0);
    EXPECT_FALSE(list.ExactFirstByte('{') || list.UpperFirstByte('{'));
}
