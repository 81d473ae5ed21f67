// Layout on a fixed-cell device: wrapping, tabs, codes, the update modes and
// the settings that lay the text out again.
#include "editor/model/ModelFixture.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::ModelFixture;
using test::Spans;

TEST(LayoutTest, WrapsAtWordsKeepsBlanksOnTheLineAndSplitsLongWords) {
    const struct {
        int columns;
        std::string text;
        Spans lines;
    } rows[] = {
        {10, "aaaa bbbb  cccc", {{0, 11}, {11, 15}}},
        {10, std::string(25, 'x') + " y", {{0, 10}, {10, 20}, {20, 27}}},
        {1, "abc", {{0, 1}, {1, 2}, {2, 3}}},
        {0, "ab", {{0, 1}, {1, 2}}}, // below one cell: still one character a line
    };
    for (const auto& row : rows) {
        ModelFixture f(row.columns);
        f.model.SetText(row.text);
        EXPECT_EQ(f.Lines(0), row.lines) << row.text;
        EXPECT_EQ(f.model.LineCount(), static_cast<std::int32_t>(row.lines.size()));
        f.model.CheckConsistency();
    }
    ModelFixture f(10);
    f.model.SetText("aaaa bbbb  cccc");
    const LineInfo& first = f.model.Paragraph(0)->line0;
    EXPECT_EQ(first.width, 72);
    EXPECT_EQ(first.widthWithBlanks, 88);
    EXPECT_EQ(first.blanks, 1);
}

// Cutting a word wider than the line measures each byte a few times at
// most, when it is first laid out and when it is typed in: no cost grows
// with the square of the word (a whole minified file is one such word).
TEST(LayoutTest, ALongWordIsCutInLinearTime) {
    ModelFixture f(10);
    constexpr std::int32_t kLength = 20000;
    std::string word(kLength, 'w');
    word[1000] = '\x02'; // a bold stretch: the font changes inside the word
    word[1500] = '\x02';
    f.model.SetText(word);
    EXPECT_LT(f.device.measured, 4 * kLength);
    EXPECT_EQ(f.Lines(0)[1], (std::pair{10, 20}));
    f.device.measured = 0;
    f.model.SetSelStart(15000);
    f.model.Replace("x");
    EXPECT_LT(f.device.measured, 4 * (kLength - 15000) + 100)
        << "an edit re-wraps from the line before it, not from the word's start";
    ModelFixture fresh(10);
    fresh.model.SetText(f.model.Text());
    EXPECT_EQ(f.Lines(0), fresh.Lines(0));
    f.model.CheckConsistency();
}

TEST(LayoutTest, TabsAdvanceToTheNextStop) {
    ModelFixture f(40);
    f.model.SetText("\tx");
    EXPECT_EQ(f.model.Paragraph(0)->line0.width, 72);
    f.model.SetText("abcdefgh\tx");
    EXPECT_EQ(f.model.Paragraph(0)->line0.width, 136);
    EXPECT_EQ(f.model.Paragraph(0)->line0.justifyStart, 8);
}

TEST(LayoutTest, StaticCodesTakeNoWidthAndSwitchFonts) {
    ModelFixture f(40);
    f.model.SetText("\x02"
                    "ab"
                    "\x02"
                    "\x03"
                    "c"
                    "\x03");
    EXPECT_EQ(f.model.Paragraph(0)->line0.width, 24);
    // Bold on and off; the highlight code changes no font.
    EXPECT_EQ(f.device.selected.back(), 0);
    EXPECT_NE(std::find(f.device.selected.begin(), f.device.selected.end(), 1),
              f.device.selected.end());
    f.model.SetStaticFormat(false);
    EXPECT_EQ(f.model.Paragraph(0)->line0.width, 56);
}

TEST(LayoutTest, WithoutWordWrapEveryParagraphIsOneLine) {
    ModelFixture f(5);
    f.model.SetWordWrap(false);
    f.model.SetText("short\r\n" + std::string(40, 'w') + "\r\nmid mid");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(f.model.Paragraph(i)->lineCount, 1);
    EXPECT_EQ(f.model.WidestLine(), 320);
    EXPECT_EQ(f.model.WidestParagraph(), 1);
}

TEST(LayoutTest, WithoutADeviceParagraphsAreSingleLines) {
    RIzuvAzazModel m;
    m.SetUpdateMode(umImmediate);
    m.SetText("one two three four\r\nfive");
    m.LayoutRange(0, 1, true);
    EXPECT_EQ(m.LineCount(), 2);
    m.CheckConsistency();
}

TEST(LayoutTest, BackgroundSlicesFinishTheTextWithProgress) {
    ModelFixture f(10, umBackground);
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "word word word word\r\n";
    std::vector<int> progress;
    f.model.OnProgress = [&] { progress.push_back(f.model.ProgressPercent()); };
    f.model.SetText(text);
    EXPECT_GT(f.host.postedSlices, 0);
    EXPECT_LT(f.model.LineCount(), 40000); // not laid out yet
    int slices = 0;
    while (f.model.BackgroundJobPending() && slices < 10000) {
        f.model.BackgroundSlice();
        ++slices;
    }
    EXPECT_FALSE(f.model.BackgroundJobPending());
    EXPECT_EQ(f.model.LineCount(), 40001);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    f.model.CheckConsistency();
}

TEST(LayoutTest, OnNeedLaysOutWhenALineIsAsked) {
    ModelFixture f(10, umOnNeed);
    f.model.SetText("aaaa bbbb cccc\r\ndddd eeee ffff\r\nx");
    EXPECT_EQ(f.model.LineCount(), 3);
    EXPECT_EQ(f.model.DisplayLineText(2), "dddd eeee ");
    EXPECT_EQ(f.model.DisplayLineText(3), "ffff");
    EXPECT_EQ(f.model.LineCount(), 5);
    EXPECT_EQ(f.model.DisplayLineText(99), "");
    f.model.CheckConsistency();
}

TEST(LayoutTest, UpdateBracketDefersLayoutToTheEnd) {
    ModelFixture f(10);
    f.model.SetText("aaaa");
    int changes = 0;
    f.model.OnChange = [&] { ++changes; };
    f.model.BeginUpdate();
    f.model.SetSelStart(4);
    f.model.Replace(" bbbb cccc");
    f.model.Replace("\rdddd");
    EXPECT_EQ(changes, 0);
    f.model.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.Lines(0), (Spans{{0, 10}, {10, 14}}));
    f.model.CheckConsistency();
}

TEST(LayoutTest, SettingsLayOutAgainAndImmediateModeFinishesThePendingRange) {
    test::ModelFixture f(10, umOnNeed);
    f.model.SetText("aaaa bbbb cccc\r\ndddd eeee");
    EXPECT_EQ(f.model.LineCount(), 2);
    f.model.SetUpdateMode(umImmediate); // lays out what was pending
    EXPECT_EQ(f.model.LineCount(), 3);
    f.model.SetRightMargin(8 + 8 * 5); // five columns narrower
    EXPECT_EQ(f.model.LineCount(), 5);
    f.model.SetTabStops(4);
    f.model.CheckConsistency();
    f.model.SetUpdateMode(umBackground);
    f.model.SetRightMargin(0);
    EXPECT_TRUE(f.model.BackgroundJobPending());
    while (f.model.BackgroundJobPending())
        f.model.BackgroundSlice();
    f.model.SetLeftMargin(0);
    while (f.model.BackgroundJobPending())
        f.model.BackgroundSlice();
    EXPECT_EQ(f.model.LineCount(), 3);
    EXPECT_EQ(f.model.DisplayLineText(0), "aaaa bbbb ");
    f.model.CheckConsistency();
}

} // namespace
} // namespace lorvane
