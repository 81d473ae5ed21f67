// The highlighting passes on a real model: ranges, keywords, nesting, the
// highlighter's hooks, propagation across paragraphs and the queries.
#include "editor/highlight/HighlightPassFixture.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::PassFixture;

struct HighlightPass : ::testing::Test, PassFixture {
    HighlightPass() { Vocabulary(); }
};

TEST_F(HighlightPass, RangesAndKeywordsOfOneParagraph) {
    model.SetText("mov ax, 1 /* mov */ push \"mov\" ; mov\r\nMOV abc");
    // Comments and strings have context numbers, so no keyword inside them;
    // "ab" comes before "abc" in the list and takes the longer word's start.
    EXPECT_EQ(Marks(0), "000.11....aaaaaaaaa.2222.ccccc.bbbbb");
    EXPECT_EQ(Marks(1), "000.33.");
}

TEST_F(HighlightPass, RangeEndingAtParagraphEndAndSameStartLink) {
    model.SetText("a ; rest\r\nnext <x> <y]");
    EXPECT_EQ(Marks(0), "..bbbbbb");
    // After "<x>" closes, the entry sharing its start key opens at once and
    // runs to its own stop key "]".
    EXPECT_EQ(Marks(1), ".....eeeffff");
    EXPECT_EQ(StateAtOffset(*model.ParagraphAt(1), 8).openLength, 0) << "no start key of its own";
    // Each range's opening entry learns the length of its own stop key.
    PassFixture g;
    g.keys.Add("<", ">>", false, 0, 0x34, 0, 8, 0, 0);
    g.keys.Add("<", "]", false, 0, 0x35, 0, 9, 0, 0);
    g.model.SetText("<x>> y]");
    EXPECT_EQ(g.Marks(0), "aaaabbb");
    EXPECT_EQ(StateAtOffset(*g.model.ParagraphAt(0), 0).closeLength, 2);
    EXPECT_EQ(StateAtOffset(*g.model.ParagraphAt(0), 4).closeLength, 1);
}

TEST_F(HighlightPass, StartKeyCompletedByTheCharacterJustTyped) {
    model.SetText("x / mov y");
    EXPECT_EQ(Marks(0), "....000..");
    Type(3, "*");
    EXPECT_EQ(Marks(0), "..aaaaaaaa");
    Type(10, "*/ mov");
    EXPECT_EQ(Marks(0), "..aaaaaaaaaa.000");
    Erase(2, 2);
    EXPECT_EQ(Marks(0), "...000.....000");
}

TEST_F(HighlightPass, NoNewRangeInsideAnOpenOwnRange) {
    model.SetText("/* \"a ; { */ b");
    EXPECT_EQ(Marks(0), "aaaaaaaaaaaa..");
    // A brace range has context number 0: keywords show inside it.
    model.SetText("{ mov /* } x");
    EXPECT_EQ(Marks(0), "dd000ddddd..");
}

TEST_F(HighlightPass, NestingStopsAtLevelFifteen) {
    test::BracketHighlighter brackets;
    pass->SetHighlighter(&brackets, true);
    // Fifteen highlighter ranges (levels 0 .. 14), then a comment at level 15.
    model.SetText(std::string(15, '[') + "/* x");
    ParagraphInfo* p = model.ParagraphAt(0);
    EXPECT_EQ(StateLevel(StateAtOffset(*p, 14)), 14);
    const AttrInfo& comment = StateAtOffset(*p, 16);
    EXPECT_EQ(StateLevel(comment), 15);
    EXPECT_TRUE(InOwnRange(comment));
    // Sixteen ranges fill every level: the 17th start and the comment are ignored.
    model.SetText(std::string(17, '[') + "/* x]");
    p = model.ParagraphAt(0);
    EXPECT_EQ(StateLevel(StateAtOffset(*p, 16)), 15);
    EXPECT_FALSE(InOwnRange(StateAtOffset(*p, 18)));
    EXPECT_EQ(StateLevel(StateAtOffset(*p, 18)), 15);
    // The closing bracket goes back one level.
    EXPECT_EQ(StateLevel(StateAtOffset(*p, 22)), 14);
    // A keyword at level 15 is dropped; at level 14 it becomes level 15.
    keywords.SetNesting(true);
    model.SetText(std::string(16, '[') + " mov " + "]" + " mov");
    p = model.ParagraphAt(0);
    EXPECT_EQ(StateLevel(StateAtOffset(*p, 18)), 15);
    EXPECT_EQ(StateAtOffset(*p, 18).stack[15], test::BracketHighlighter::kIndex);
    EXPECT_EQ(StateLevel(StateAtOffset(*p, 24)), 15);
    EXPECT_EQ(StateAtOffset(*p, 24).stack[15], 0); // keyword 0, "mov"
}

// A comment opened inside a highlighter range and closed a paragraph later
// gives the text back the highlighter's state, found in the first paragraph.
TEST_F(HighlightPass, RangeClosedInALaterParagraphRestoresTheEnclosingState) {
    test::BracketHighlighter brackets;
    pass->SetHighlighter(&brackets, true);
    model.SetText("[ /* a\r\nb */ c]");
    EXPECT_EQ(Marks(0), "HHaaaa");
    EXPECT_EQ(Marks(1), "aaaaHHH");
    const AttrInfo& after = StateAtOffset(*model.ParagraphAt(1), 5);
    EXPECT_EQ(after.color1, 0x77u);
    EXPECT_EQ(StateLevel(after), 0);
    pass->SetHighlighter(nullptr);
}

TEST_F(HighlightPass, DestroyedHighlighterLeavesThePass) {
    {
        test::BracketHighlighter brackets;
        pass->SetHighlighter(&brackets);
    }
    EXPECT_EQ(pass->Highlighter(), nullptr);
    model.SetText("[x]"); // no hook is called on the dead highlighter
    EXPECT_EQ(Marks(0), "...");
}

TEST(HighlightPassInBackground, CommentTypedAtTheTopRollsOnAndBack) {
    PassFixture f(umBackground);
    f.Vocabulary();
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        if (i) text += "\r\n";
        text += i == 1000 ? "end */ mov" : "line mov";
    }
    f.model.SetText(text);
    f.PumpSlices();
    EXPECT_EQ(f.Marks(1500), ".....000");
    f.pass->ResetCounters();
    f.Type(0, "/");
    EXPECT_EQ(f.pass->ParagraphsScanned(), 1); // the end state did not change
    f.Type(1, "*");
    f.PumpSlices();
    EXPECT_EQ(f.Marks(0), "aaaaaaaaaa");
    EXPECT_EQ(f.Marks(999), "aaaaaaaa");
    EXPECT_EQ(f.Marks(1000), "aaaaaa.000");
    EXPECT_EQ(f.Marks(1001), ".....000");
    // Paragraphs 0 .. 1000 once each; 1001 already started in plain text.
    EXPECT_EQ(f.pass->ParagraphsScanned(), 1 + 1001);
    for (std::int32_t i = 0; i < f.model.ParagraphCount(); ++i)
        ASSERT_TRUE(f.model.ParagraphAt(i)->laidOut) << i;

    f.pass->ResetCounters();
    f.Erase(0, 2);
    f.PumpSlices();
    EXPECT_EQ(f.Marks(0), ".....000");
    EXPECT_EQ(f.Marks(999), ".....000");
    EXPECT_EQ(f.Marks(1000), ".......000");
    EXPECT_EQ(f.pass->ParagraphsScanned(), 1001);
    f.model.CheckConsistency();
}

TEST_F(HighlightPass, ForeignHighlightSurvivesRescans) {
    model.SetText("xyz def /* x */ mov");
    AttrInfo mark;
    mark.flags = 0x01;
    mark.level = -1;
    mark.color1 = 0x123456;
    mark.context = 9;
    pass->ApplyAttribute(4, 7, true, mark);
    EXPECT_EQ(Marks(0), "....###.aaaaaaa.000");
    Type(0, "x");
    EXPECT_EQ(Marks(0), ".....###.aaaaaaa.000");
    const HighlightAtPosition at = pass->HighlightAt(6);
    EXPECT_TRUE(at.highlighted);
    EXPECT_EQ(at.firstColour, 0x123456u);
    EXPECT_EQ(at.contextNumber, 9);
    EXPECT_EQ(pass->RunStyleAt(6, 0), 0x01);
    // Removing it gives the text back its own state.
    pass->ApplyAttribute(5, 8, false, mark);
    EXPECT_EQ(Marks(0), ".........aaaaaaa.000");
    // One that runs to the paragraph end stays there, and no other
    // paragraph takes it over when rescanned.
    model.SetText("xyz def\r\nplain text here");
    pass->ApplyAttribute(4, 7, true, mark);
    Type(0, "x");
    Type(10, "x");
    EXPECT_EQ(Marks(0), ".....###");
    EXPECT_EQ(model.ParagraphAt(1)->entryCount, 0);
    const ParagraphInfo& first = *model.ParagraphAt(0);
    EXPECT_EQ(StateAtOffset(first, 8).flags, StateAtOffset(first, 0).flags);
}

TEST_F(HighlightPass, SeparatorsDecideWholeWords) {
    model.SetText("ax, ax");
    EXPECT_EQ(Marks(0), "11..11");
    pass->SetSeparators(" ");
    pass->ResetHighlighting();
    model.LayoutRange(0, 0, false);
    EXPECT_EQ(Marks(0), "....11");
}

TEST_F(HighlightPass, QueriesAndEffectiveStyle) {
    model.SetText("mov /* c */");
    const HighlightAtPosition kw = pass->HighlightAt(1);
    EXPECT_TRUE(kw.highlighted);
    EXPECT_EQ(kw.contextNumber, 1);
    EXPECT_EQ(kw.cursor, 11);
    EXPECT_EQ(kw.firstColour, 0x10u);
    EXPECT_EQ(kw.secondColour, 0x20u);
    EXPECT_EQ(kw.style, 0xC1);
    EXPECT_EQ(pass->RunStyleAt(1, 0x04), 0x01); // the keyword's bold alone
    EXPECT_EQ(pass->RunStyleAt(3, 0x04), 0x04); // plain text: the font's underline
    AttrInfo special;
    special.flags = 0x80 | 0x18 | 0x02;
    EXPECT_EQ(EffectiveRunStyle(0, special, 0), 0x82);
    EXPECT_FALSE(pass->HighlightAt(3).highlighted);
    EXPECT_EQ(pass->HighlightAt(6).contextNumber, 5);
}

TEST_F(HighlightPass, PropertyEffects) {
    model.SetText("Mov /*x*/ \xEC\xEE\xE2");
    // Cyrillic is upper-cased only with the code-page table.
    keywords.Add("\xCC\xCE\xC2", AttributeHead{0, 0, 4, 0, 0, 0});
    pass->ResetHighlighting();
    model.LayoutRange(0, 0, false);
    EXPECT_EQ(Marks(0), "000.aaaaa....");
    pass->SetUpperCaseType(rzuAnsi, true);
    model.LayoutRange(0, 0, false);
    EXPECT_EQ(Marks(0), "000.aaaaa.666");
    // Switching keywords off at run time affects paragraphs highlighted afterwards.
    pass->SetApplyKeyWords(false);
    EXPECT_EQ(Marks(0), "000.aaaaa.666");
    Type(0, " ");
    EXPECT_EQ(Marks(0), ".....aaaaa....");
    // So does switching the start/stop keys off.
    pass->SetApplyStartStopKeys(false);
    Type(0, " ");
    EXPECT_EQ(Marks(0), "...............");
}

} // namespace
} // namespace lorvane
