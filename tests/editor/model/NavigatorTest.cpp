#include "editor/model/Navigator.h"
#include "editor/model/StoreFixture.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

TEST(NavigatorTest, PositionsAroundALineBreak) {
    test::FilledStore store;
    TNavigator n(&store); // an empty text resolves to the first paragraph
    EXPECT_EQ(n.ParagraphIndex(), 0);
    EXPECT_EQ(n.ParagraphOffset(), 0);
    EXPECT_EQ(n.LineInParagraph(), 0);
    EXPECT_EQ(n.LineNumber(), 0);
    store.Fill({"ab", "c"});
    n.Invalidate();
    n.SetPosition(2);
    EXPECT_EQ(n.ParagraphIndex(), 0);
    EXPECT_EQ(n.CharAt(), 13);
    n.SetPosition(3);
    EXPECT_EQ(n.ParagraphIndex(), 0);
    EXPECT_EQ(n.CharAt(), 10);
    n.SetPosition(4);
    EXPECT_EQ(n.ParagraphIndex(), 1);
    EXPECT_EQ(n.ParagraphOffset(), 0);
    EXPECT_EQ(n.CharAt(), 'c');

    char buf[16];
    n.SetPosition(3);
    n.GetText(buf, 2);
    EXPECT_STREQ(buf, "\nc");
    n.SetPosition(0);
    n.GetText(buf, 5);
    EXPECT_STREQ(buf, "ab\r\nc");
}

TEST(NavigatorTest, ForwardMovesKeepCachesBackwardMovesDropThem) {
    test::FilledStore store;
    store.Fill({"abcdefgh"});
    // Two display lines: [0,4) and [4,8); one attribute entry at 5.
    ParagraphInfo* p = store.Paragraph(0);
    LineInfo second;
    second.start = 4;
    second.end = 8;
    LineInfo first = p->line0;
    first.end = 4;
    const LineInfo lines[2] = {first, second};
    store.ReplaceLines(0, 0, 1, lines, 2);
    InsertEntryAt(*p, 0, AttrInfo{}, 5);

    TNavigator n(&store);
    n.SetPosition(1);
    EXPECT_EQ(n.LineInParagraph(), 0);
    EXPECT_EQ(n.AttributeIndex(), 0);
    n.SetPosition(6);
    EXPECT_EQ(n.CachedLineIndex(), 1);
    EXPECT_EQ(n.CachedAttributeIndex(), 1);
    EXPECT_EQ(n.Column(), 2);
    n.SetPosition(5);
    EXPECT_EQ(n.CachedLineIndex(), TNavigator::kUnset);
    EXPECT_EQ(n.CachedAttributeIndex(), TNavigator::kUnset);
    EXPECT_EQ(n.AttributeIndex(), 0);
    EXPECT_EQ(n.LineNumber(), 1);
    n.SetPosition(4); // a line end belongs to the next line
    EXPECT_EQ(n.LineInParagraph(), 1);
}

TEST(NavigatorTest, StaticStyleCountsTheCodesBeforeThePosition) {
    test::FilledStore store;
    store.Fill({"a\x02"
                "bc\x01"});
    TNavigator n(&store);
    for (const auto [position, style] : {std::pair{1, 0}, {2, 1}, {4, 1}, {5, 3}}) {
        n.SetPosition(position);
        EXPECT_EQ(n.StaticStyle(), style) << position;
    }
}

TEST(NavigatorTest, LineNumbersAndColumns) {
    test::FilledStore store;
    store.Fill({"one", "two", "three"});
    TNavigator n(&store);
    const LineInfo* l = n.SetLineNumber(99);
    EXPECT_EQ(n.ParagraphIndex(), 2);
    EXPECT_EQ(l->start, 0);
    EXPECT_EQ(n.Position(), 10);
    n.SetLineNumber(1);
    EXPECT_EQ(n.Position(), 5);
    n.SetColumn(10);
    EXPECT_EQ(n.Position(), 8);
    EXPECT_EQ(n.Column(), 3);
    n.SetColumn(1);
    EXPECT_EQ(n.Position(), 6);
}

TEST(NavigatorTest, ProportionalGuessOnBigTexts) {
    for (int count : {70000, 2000000}) {
        test::FilledStore store;
        std::vector<std::string> paras(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            paras[static_cast<size_t>(i)] = std::string(static_cast<size_t>(i % 7 * 5), 'x');
        store.Fill(paras);
        TNavigator n(&store);
        for (int i : {0, 1, 32767, 32768, 40000, count / 2, count - 2, count - 1}) {
            const int pos = store.ParagraphStart(i) + store.Paragraph(i)->length;
            n.SetPosition(pos);
            ASSERT_EQ(n.ParagraphIndex(), i) << count;
            n.Invalidate();
            n.SetPosition(store.ParagraphStart(i));
            ASSERT_EQ(n.ParagraphIndex(), i) << count;
            n.Invalidate();
        }
        n.SetLineNumber(count - 3);
        EXPECT_EQ(n.ParagraphIndex(), count - 3);
    }
}

TEST(NavigatorTest, LineNumbersFarFromTheGuessAreFoundExactly) {
    // The first thousand paragraphs wrap into five lines each, so the
    // proportional guess lands thousands of paragraphs off for later lines.
    test::FilledStore store;
    std::vector<std::string> paras(5000, std::string(10, 'x'));
    store.Fill(paras);
    for (std::int32_t i = 0; i < 1000; ++i) {
        LineInfo lines[5];
        for (int k = 0; k < 5; ++k) {
            lines[k] = store.Paragraph(i)->line0;
            lines[k].start = 2 * k;
            lines[k].end = 2 * k + 2;
        }
        store.ReplaceLines(i, 0, 1, lines, 5);
    }
    ASSERT_EQ(store.LineCount(), 1000 * 5 + 4000);
    TNavigator n(&store);
    for (std::int32_t line = 0; line < store.LineCount(); ++line) {
        n.SetLineNumber(line);
        const std::int32_t paragraph = line < 5000 ? line / 5 : line - 4000;
        ASSERT_EQ(n.ParagraphIndex(), paragraph) << line;
        ASSERT_EQ(n.LineInParagraph(), line < 5000 ? line % 5 : 0) << line;
        ASSERT_EQ(n.LineNumber(), line);
    }
}

TEST(NavigatorTest, EntriesAndState) {
    test::FilledStore store;
    store.Fill({"abcdef", "", "ghij"});
    TNavigator n(&store);
    AttrInfo hl;
    hl.flags = 0xC0;
    hl.level = 1;
    n.SetPosition(2);
    n.InsertEntry(hl);
    EXPECT_EQ(n.AttributeIndex(), 1);
    EXPECT_EQ(TNavigator::StartStopLevel(n.CurrentState()), 1);
    n.SetPosition(store.ParagraphStart(2) + 1);
    n.InsertEntry(AttrInfo{});
    n.SetPosition(0);
    EXPECT_TRUE(n.NextEntry(100));
    EXPECT_EQ(n.Position(), 2);
    n.SkipEntriesHere();
    EXPECT_TRUE(n.NextEntry(100));
    EXPECT_EQ(n.Position(), store.ParagraphStart(2) + 1);
    EXPECT_TRUE(n.PrevEntry(0));
    EXPECT_EQ(n.Position(), 2);
    n.SetPosition(3);
    EXPECT_THROW(n.RemoveEntry(), std::exception);
    n.SetPosition(2);
    n.RemoveEntry();
    EXPECT_EQ(store.Paragraph(0)->entryCount, 0);
}

TEST(ColumnTest, TabsAndCodes) {
    ParagraphInfo p;
    char text[] = "\tab\x02"
                  "cd";
    p.text = text;
    p.length = 6;
    EXPECT_EQ(ColumnToOffset(p, 5, 8, true), 0);
    EXPECT_EQ(ColumnExcess(p, 5, 8, true), 5);
    EXPECT_EQ(ColumnToOffset(p, 8, 8, true), 1);
    EXPECT_EQ(ColumnToOffset(p, 11, 8, true), 5); // the code takes no column
    EXPECT_EQ(ColumnToOffset(p, 11, 8, false), 4);
    EXPECT_EQ(ColumnExcess(p, 20, 8, true), 8);
    p.text = nullptr;
}

} // namespace
} // namespace lorvane
