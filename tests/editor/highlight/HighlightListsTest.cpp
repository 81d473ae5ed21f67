// The keyword and start/stop lists: preparation, links, casing, bad input.
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/StartStopList.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <bitset>

using namespace lorvane;

namespace {

AttributeHead Head(std::uint8_t options, std::int32_t context = 1) {
    AttributeHead h;
    h.options = options;
    h.style = 3;
    h.contextNumber = context;
    h.cursor = -2;
    h.firstColour = 0x00FF0000;
    h.secondColour = 0x000000FF;
    return h;
}

// The separator checks of a prepared entry, before and after its start key,
// before and after its stop key, as four digits.
std::string Separators(const StartStopInfo& info) {
    std::string out;
    for (bool b : {info.separatorBeforeStart, info.separatorAfterStart, info.separatorBeforeStop,
                   info.separatorAfterStop})
        out += b ? '1' : '0';
    return out;
}

int AddKey(TStartStopKeyList& list, std::string_view start, std::string_view stop,
           std::uint8_t options = 0, bool endsAtParagraphEnd = false) {
    return list.Add(start, stop, endsAtParagraphEnd, 0x22, 0x11, 4, 9, 1, options);
}

} // namespace

TEST(KeywordList, EveryChangeRePreparesTheList) {
    TKeywordList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.Add("mov", Head(0));
    list.Add("Push", Head(kMatchCase));
    list.AddObject("lodsb", nullptr);
    EXPECT_EQ(changes, 3);
    ASSERT_EQ(list.PreparedCount(), 3);
    EXPECT_EQ(list.PreparedKeyword(2).key, "LODSB") << "no attributes: options 0, ignores case";
    EXPECT_FALSE(list.PreparedKeyword(2).searchable) << "no attributes: context number 0";
    EXPECT_EQ(list.MaxLength(), 5);
    EXPECT_TRUE(list.AnyIgnoresCase());
    EXPECT_EQ(list.Objects(1)->length, 4);

    list.Delete(2);
    list.Delete(0);
    EXPECT_EQ(list.MaxLength(), 4);
    EXPECT_FALSE(list.AnyIgnoresCase());
    EXPECT_EQ(changes, 5);

    list.BeginUpdate();
    list.Add("a", Head(0));
    list.Add("bb", Head(0));
    EXPECT_EQ(list.PreparedCount(), 1) << "no preparation while an update is pending";
    list.EndUpdate();
    EXPECT_EQ(changes, 6) << "one notification for the bracket";
    EXPECT_EQ(list.PreparedCount(), 3);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.MaxLength(), 0);
    EXPECT_TRUE(list.ExactBuckets().Empty());
    EXPECT_TRUE(list.UpperBuckets().Empty());
    // How keys are cased is the matcher oracle's; the same type changes nothing.
    const int before = changes;
    list.SetUpperCaseType(rzuAnsi);
    list.SetUpperCaseType(rzuAnsi);
    EXPECT_EQ(changes, before + 1);
}

TEST(KeywordList, AssignCopiesKeywordsAndOwnCopiesOfTheirAttributes) {
    TKeywordList source;
    source.Add("abc", Head(kWholeWords, 7));
    source.AddObject("plain", nullptr);
    TKeywordList target;
    target.SetUpperCaseType(rzuAnsi);
    target.SetNesting(true);
    target.Add("old", Head(0));
    target.Assign(source);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.Strings(0), "abc");
    EXPECT_EQ(target.Attributes(0), Head(kWholeWords, 7));
    EXPECT_NE(target.Objects(0), source.Objects(0));
    EXPECT_EQ(target.Objects(1), nullptr);
    EXPECT_EQ(target.Attributes(1), AttributeHead{});
    EXPECT_EQ(target.UpperCaseType(), rzuAnsi);
    EXPECT_TRUE(target.Nesting());
    source.Delete(0);
    EXPECT_EQ(target.Strings(0), "abc");
}

TEST(KeywordList, BadIndexesAndOverlongKeysRaiseAndChangeNothing) {
    TKeywordList list;
    list.Add("a", Head(0));
    EXPECT_THROW(list.Delete(1), Error);
    EXPECT_THROW(list.Attributes(-1), Error);
    EXPECT_THROW((void)list.Strings(1), Error);
    EXPECT_THROW(list.Add(std::string(kMaxHighlightKeyLength + 1, 'k'), Head(0)), Error);
    list.Add(std::string(kMaxHighlightKeyLength, 'k'), Head(0));
    EXPECT_EQ(list.Count(), 2);
}

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
    // A link names the first entry with the same start key and options.
    const int links[] = {-1, -1, 1, -1, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.Get(i).sameStartLink, links[i]) << i;
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
    // "(*" begins with a separator itself; "end;" ends with one.
    EXPECT_EQ(Separators(list.Get(0)), "0111");
    EXPECT_EQ(Separators(list.Get(1)), "1110");
    EXPECT_EQ(Separators(list.Get(2)), "0000");
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
    EXPECT_THROW((void)list.Get(-1), Error);
    EXPECT_THROW((void)list.Get(1), Error);
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
