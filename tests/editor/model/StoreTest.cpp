// The store below the model: its arrays, attribute entries and lazily
// shifted paragraph starts, and the navigators that walk it.
#include "editor/model/ModelFixture.h"
#include "editor/model/Navigator.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <random>

namespace lorvane {
namespace {

TEST(DynArrayTest, AddCopiesAWholeElementAndIndexesAreChecked) {
    TDynArray a(20);
    const char record[20] = {7};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(a.Add(record), i);
        EXPECT_EQ(*static_cast<const char*>(a.Get(i)), 7);
    }
    a.SetCount(-5);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_GE(a.Capacity(), 10); // never shrinks in SetCount
    EXPECT_THROW(a.Get(0), Error);
    EXPECT_THROW(a.Get(-1), Error);
}

TEST(DynArrayTest, BlockedArrayKeepsRecordsInPlaceWhileGrowing) {
    TParagraphsList list;
    EXPECT_EQ(list.Stride(), sizeof(ParagraphInfo)); // packed: no byte of a record wasted
    ParagraphInfo p;
    const int perBlock = list.RecordsPerBlock();
    for (int i = 0; i < perBlock; ++i) {
        p.length = i;
        list.Add(&p);
    }
    EXPECT_EQ(list.BlockCount(), 1);
    std::vector<void*> before;
    for (int i = 0; i < perBlock; ++i)
        before.push_back(list.Get(i));
    list.Add(&p);
    EXPECT_EQ(list.BlockCount(), 2);
    for (int i = 0; i < perBlock; ++i)
        EXPECT_EQ(list.Get(i), before[static_cast<size_t>(i)]);
    EXPECT_THROW(list.Get(list.Count()), Error);
    EXPECT_THROW(list.Get(-1), Error);
}

TEST(LinesListTest, FurtherLinesFollowTheCount) {
    ParagraphInfo p;
    TLinesList lines(&p);
    EXPECT_EQ(lines.Count(), 1);
    LineInfo l;
    l.start = 5;
    EXPECT_EQ(lines.Add(l), 1);
    EXPECT_NE(p.furtherLines, nullptr);
    EXPECT_EQ(lines.Get(1)->start, 5);
    lines.SetCount(1);
    EXPECT_EQ(p.furtherLines, nullptr);
    EXPECT_THROW(lines.Get(1), Error);
}

TEST(AttrEntriesTest, GrowthAndRemoval) {
    ParagraphInfo p;
    AttrInfo s;
    InsertEntryAt(p, 0, s, 3);
    EXPECT_EQ(EntryCapacity(p), 1);
    for (int i = 1; i < 64; ++i)
        InsertEntryAt(p, i, s, 3 + i);
    EXPECT_EQ(EntryCapacity(p), 65);
    TrimEntries(p);
    EXPECT_EQ(EntryCapacity(p), 64);
    InsertEntryAt(p, 64, s, 100);
    EXPECT_EQ(EntryCapacity(p), 66);
    EXPECT_THROW(RemoveEntryAt(p, 0, 4), Error) << "no entry at that offset";
    EXPECT_EQ(p.entryCount, 65);
    RemoveEntryAt(p, 0, 3);
    EXPECT_EQ(p.entries[0].offsetOrRefs, 4u);
    TrimEntries(p);
    EXPECT_EQ(EntryCapacity(p), 64);
    p.entries[0] = AttrInfo{};
    FreeLinesAndEntries(p);

    ParagraphInfo one; // trimmed down to a single entry, which stays
    InsertEntryAt(one, 0, s, 7);
    InsertEntryAt(one, 1, s, 8);
    RemoveEntryAt(one, 1, 8);
    TrimEntries(one);
    EXPECT_EQ(EntryCapacity(one), 1);
    EXPECT_EQ(one.entries[0].offsetOrRefs, 7u);
    FreeLinesAndEntries(one);
}

TEST(StoreTest, InitialParagraphAndTotals) {
    test::FilledStore store;
    EXPECT_EQ(store.ParagraphCount(), 1);
    const ParagraphInfo* p = store.Paragraph(0);
    EXPECT_EQ(p->text, nullptr);
    EXPECT_EQ(p->length, 0);
    EXPECT_EQ(p->lineCount, 1);
    EXPECT_EQ(p->startContext->offsetOrRefs, 1u);
    EXPECT_EQ(store.TextLength(), 0);

    store.Fill({"", ""});
    EXPECT_EQ(store.TextLength(), 2);
    EXPECT_EQ(store.ParagraphStart(1), 2);
    store.Fill({"ab", "cde", "f"});
    EXPECT_EQ(store.TextLength(), 10);
    EXPECT_EQ(store.ParagraphStart(2), 9);
    EXPECT_EQ(store.ParagraphText(1), "cde");
    EXPECT_EQ(store.Paragraph(1)->text[3], 0);
    EXPECT_EQ(store.Paragraph(0)->startContext->offsetOrRefs, 3u); // shared by all
    EXPECT_STREQ(store.ParagraphTextCopy(2).get(), "f");
}

TEST(StoreTest, PendingShiftsReadRightFromEitherSide) {
    test::FilledStore store;
    std::vector<std::string> paras(1000, "xy");
    store.Fill(paras);
    // Shifts at scattered places, in both orders, against a plain model.
    std::vector<int> expect(1000);
    for (int i = 0; i < 1000; ++i)
        expect[static_cast<size_t>(i)] = i * 4;
    const int edits[][2] = {{500, 3}, {10, -1}, {900, 7}, {900, 2}, {0, 5}, {999, -4}, {600, 1}};
    for (const auto& e : edits) {
        store.ShiftStartsFrom(e[0], e[1]);
        for (int i = e[0]; i < 1000; ++i)
            expect[static_cast<size_t>(i)] += e[1];
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(store.StartAt(i), expect[static_cast<size_t>(i)]);
    }
    store.InsertRecords(300, 2);
    store.SetStartAt(300, 1);
    store.SetStartAt(301, 2);
    EXPECT_EQ(store.StartAt(302), expect[300]);
    store.RemoveRecords(299, 4);
    EXPECT_EQ(store.StartAt(299), expect[301]);
    store.SettleShifts();
    EXPECT_EQ(store.ParagraphCount(), 998);
    EXPECT_EQ(store.ParagraphAt(997)->start, expect[999]);
}

TEST(DynArrayTest, RandomInsertsRemovesAndAppendsMatchAVector) {
    TDynArray2 a(16);
    std::vector<int32_t> model;
    std::mt19937 rng(7);
    int32_t next = 0;
    for (int step = 0; step < 3000; ++step) {
        const unsigned kind = rng() % 4;
        if (kind == 0) {
            const int32_t record[4] = {next};
            ASSERT_EQ(a.Add(record), static_cast<int32_t>(model.size()));
            model.push_back(next++);
        } else if (kind == 1 || model.empty()) {
            const auto at = static_cast<int32_t>(rng() % (model.size() + 1));
            const auto n = static_cast<int32_t>(1 + rng() % (rng() % 8 == 0 ? 3000 : 3));
            a.InsertPlaces(at, n);
            for (int32_t k = 0; k < n; ++k)
                *static_cast<int32_t*>(a.Get(at + k)) = next + k;
            for (int32_t k = 0; k < n; ++k)
                model.insert(model.begin() + at + k, next + k);
            next += n;
        } else if (kind == 2) {
            const auto at = static_cast<int32_t>(rng() % model.size());
            const auto n = std::min<int32_t>(static_cast<int32_t>(1 + rng() % 40),
                                             static_cast<int32_t>(model.size()) - at);
            a.RemovePlaces(at, n);
            model.erase(model.begin() + at, model.begin() + at + n);
        } else {
            a.SetCount(static_cast<int32_t>(model.size() * 9 / 10));
            model.resize(model.size() * 9 / 10);
        }
        ASSERT_EQ(a.Count(), static_cast<int32_t>(model.size()));
        if (step % 50 == 0 || step > 2900) {
            for (size_t i = 0; i < model.size(); ++i)
                ASSERT_EQ(*static_cast<int32_t*>(a.Get(static_cast<int32_t>(i))), model[i]) << step;
        }
    }
}

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
