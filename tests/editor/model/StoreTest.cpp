#include "editor/model/ErrorTexts.h"
#include "editor/model/StoreFixture.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <random>

namespace lorvane {
namespace {

TEST(DynArrayTest, StrideCapacityAndIndexErrors) {
    TDynArray a(20);
    EXPECT_EQ(a.Stride(), 32);
    const char record[20] = {7}; // Add copies a whole element
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(a.Add(record), i);
        EXPECT_EQ(*static_cast<const char*>(a.Get(i)), 7);
    }
    a.SetCount(-5);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_GE(a.Capacity(), 10); // never shrinks in SetCount
    try {
        a.Get(0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), texts::kListIndexOutOfBounds);
    }
    EXPECT_THROW(a.Get(-1), Error);
}

TEST(DynArrayTest, BlockedArrayKeepsRecordsInPlaceWhileGrowing) {
    TParagraphsList list;
    EXPECT_EQ(list.Stride(), sizeof(ParagraphInfo)); // packed: no byte of a record wasted
    EXPECT_EQ(list.RecordsPerBlock(), 32768 / list.Stride());
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
    try {
        RemoveEntryAt(p, 0, 4);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), texts::kInternalError);
    }
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

} // namespace
} // namespace lorvane
