#include "editor/highlight/KeywordList.h"

#include "editor/model/ErrorTexts.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

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

void ExpectIndexError(const std::function<void()>& f) {
    try {
        f();
        FAIL() << "no error raised";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), texts::kListIndexOutOfBounds);
    }
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
    EXPECT_EQ(list.PreparedKeyword(0).key, "MOV");
    EXPECT_EQ(list.PreparedKeyword(1).key, "Push") << "a match-case keyword stays as written";
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
}

TEST(KeywordList, UpperCaseTypeDecidesHowCyrillicIsPrepared) {
    TKeywordList list;
    list.Add("\xEC\xEE\xE2", Head(0)); // Cyrillic "mov" in lower case
    EXPECT_EQ(list.PreparedKeyword(0).key, "\xEC\xEE\xE2");
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.SetUpperCaseType(rzuAnsi);
    EXPECT_EQ(list.PreparedKeyword(0).key, "\xCC\xCE\xC2");
    list.SetUpperCaseType(rzuAnsi);
    EXPECT_EQ(changes, 1) << "setting the same type changes nothing";
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
    ExpectIndexError([&] { list.Delete(1); });
    ExpectIndexError([&] { list.Attributes(-1); });
    ExpectIndexError([&] { (void)list.Strings(1); });
    EXPECT_THROW(list.Add(std::string(kMaxHighlightKeyLength + 1, 'k'), Head(0)), Error);
    list.Add(std::string(kMaxHighlightKeyLength, 'k'), Head(0));
    EXPECT_EQ(list.Count(), 2);
}
