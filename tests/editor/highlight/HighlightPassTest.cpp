// The highlighting passes on a real model: ranges, keywords, nesting, the
// highlighter's hooks, propagation across paragraphs and the queries; and
// thousands of random edits after each of which the attribute entries and
// start states equal those of a fresh highlight.
#include "editor/highlight/HighlightPass.h"
#include "editor/model/ModelFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace lorvane {
namespace {

using test::ModelFixture;

// A highlighter whose ranges run from "[" to "]" and nest; its states have
// context number 0, so keywords show inside them.
class BracketHighlighter : public THighlighter {
public:
    static constexpr std::uint16_t kIndex = 1000;

    bool StartHook(TNavigator& from, TNavigator& to, int) override {
        for (std::int32_t pos = from.Position(); pos < to.Position(); ++pos) {
            from.SetPosition(pos);
            if (from.CharAt() != '[') continue;
            AttrInfo s = from.CurrentState();
            const int level = TNavigator::StartStopLevel(s) + 1;
            s.flags = 0xC0 | 0x02;
            s.level = static_cast<std::int8_t>(level);
            s.stack[level] = kIndex;
            s.context = 0;
            s.color1 = 0x77;
            s.openLength = 1;
            s.closeLength = 1;
            from.InsertEntry(s);
            return true;
        }
        return false;
    }
    bool StopHook(TNavigator& from, TNavigator& to, int) override {
        for (std::int32_t pos = from.Position(); pos < to.Position(); ++pos) {
            from.SetPosition(pos);
            if (from.CharAt() != ']') continue;
            AttrInfo s = from.CurrentState();
            from.SetPosition(pos + 1);
            if (s.level == 0)
                s = AttrInfo{};
            else
                s.level = static_cast<std::int8_t>(s.level - 1);
            from.InsertEntry(s);
            return true;
        }
        return false;
    }
};

struct PassFixture : ModelFixture {
    explicit PassFixture(TUpdateMode mode = umImmediate) : ModelFixture(200, mode) {}

    // Keywords 0 .. 5 and start/stop entries a .. f as Marks shows them.
    void Vocabulary() {
        keywords.BeginUpdate();
        keywords.Add("mov", AttributeHead{kWholeWords, 0x01, 1, 11, 0x10, 0x20});
        keywords.Add("ax", AttributeHead{kWholeWords, 0, 2, 0, 0, 0});
        keywords.Add("push", AttributeHead{kMatchCase, 0, 3, 0, 0, 0});
        keywords.Add("ab", AttributeHead{0, 0, 4, 0, 0, 0});
        keywords.Add("abc", AttributeHead{0, 0, 5, 0, 0, 0});
        keywords.Add("int", AttributeHead{0, 0, 0, 0, 0, 0});
        keywords.EndUpdate();
        keys.Add("/*", "*/", false, 0, 0x30, 0, 5, 0x02, 0);
        keys.Add(";", "", true, 0, 0x31, 0, 6, 0x02, 0);
        keys.Add("\"", "\"", true, 0, 0x32, 0, 7, 0, 0);
        keys.Add("{", "}", false, 0, 0x33, 0, 0, 0, 0);
        keys.Add("<", ">", false, 0, 0x34, 0, 8, 0, 0);
        keys.Add("<", "]", false, 0, 0x35, 0, 9, 0, 0);
    }

    // One character per byte: '.' plain, 'a' + entry inside an own range,
    // '0' + keyword, 'H' a highlighter range, '#' a highlight of the application.
    std::string Marks(std::int32_t paragraph) {
        const ParagraphInfo& p = *model.ParagraphAt(paragraph);
        std::string out;
        for (std::int32_t c = 0; c < p.length; ++c) {
            const AttrInfo& s = StateAtOffset(p, c);
            if (!(s.flags & 0x80))
                out += '.';
            else if ((s.flags & 0xC0) != 0xC0)
                out += '#';
            else if (InOwnRange(s))
                out += static_cast<char>('a' + (s.stack[s.level] - kOwnKeyBase));
            else if (s.stack[s.level] >= BracketHighlighter::kIndex)
                out += 'H';
            else
                out += static_cast<char>('0' + s.stack[s.level]);
        }
        return out;
    }

    // Every paragraph's marks, joined by '|'.
    std::string AllMarks() {
        std::string out = Marks(0);
        for (std::int32_t i = 1; i < model.ParagraphCount(); ++i)
            out += "|" + Marks(i);
        return out;
    }

    void Type(std::int32_t at, std::string_view text) {
        model.SetSelStart(at);
        model.Replace(text);
    }
    void Erase(std::int32_t at, std::int32_t length) {
        model.SetSelStart(at);
        model.SetSelLength(length);
        model.Replace({});
    }
    void PumpSlices() {
        for (int guard = 0; guard < 100000 && model.BackgroundJobPending(); ++guard)
            model.BackgroundSlice();
    }

    TKeywordList keywords;
    TStartStopKeyList keys;
    std::unique_ptr<THighlightPass> pass = std::make_unique<THighlightPass>(model, keywords, keys);
};

struct HighlightPass : ::testing::Test, PassFixture {
    HighlightPass() { Vocabulary(); }
};

TEST_F(HighlightPass, FreshTexts) {
    const std::pair<const char*, const char*> rows[] = {
        // Comments and strings have context numbers, so no keyword inside them;
        // "ab" comes before "abc" in the list and takes the longer word's start.
        {"mov ax, 1 /* mov */ push \"mov\" ; mov\r\nMOV abc",
         "000.11....aaaaaaaaa.2222.ccccc.bbbbb|000.33."},
        // After "<x>" closes, the entry sharing its start key opens at once and
        // runs to its own stop key "]".
        {"a ; rest\r\nnext <x> <y]", "..bbbbbb|.....eeeffff"},
        // No range opens inside an own range; a brace range has context
        // number 0, so keywords show inside it.
        {"/* \"a ; { */ b", "aaaaaaaaaaaa.."},
        {"{ mov /* } x", "dd000ddddd.."},
    };
    for (const auto& [text, marks] : rows) {
        model.SetText(text);
        EXPECT_EQ(AllMarks(), marks) << text;
    }
}

TEST_F(HighlightPass, SameStartEntriesOpenWithoutAKeyAndKnowTheirStopLength) {
    model.SetText("<x> <y]");
    EXPECT_EQ(StateAtOffset(*model.ParagraphAt(0), 3).openLength, 0);
    PassFixture g;
    g.keys.Add("<", ">>", false, 0, 0x34, 0, 8, 0, 0);
    g.keys.Add("<", "]", false, 0, 0x35, 0, 9, 0, 0);
    g.model.SetText("<x>> y]");
    EXPECT_EQ(g.Marks(0), "aaaabbb");
    EXPECT_EQ(StateAtOffset(*g.model.ParagraphAt(0), 0).closeLength, 2);
    EXPECT_EQ(StateAtOffset(*g.model.ParagraphAt(0), 4).closeLength, 1);
}

// The matcher finds a key the typed character completes; this proves the
// pass asks it to (further edits are the random test's).
TEST_F(HighlightPass, StartKeyCompletedByTheCharacterJustTyped) {
    model.SetText("x / mov y");
    EXPECT_EQ(Marks(0), "....000..");
    Type(3, "*");
    EXPECT_EQ(Marks(0), "..aaaaaaaa");
}

TEST_F(HighlightPass, NestingStopsAtLevelFifteen) {
    BracketHighlighter brackets;
    pass->SetHighlighter(&brackets, true);
    const auto at = [&](std::int32_t offset) -> const AttrInfo& {
        return StateAtOffset(*model.ParagraphAt(0), offset);
    };
    // Fifteen highlighter ranges (levels 0 .. 14), then a comment at level 15.
    model.SetText(std::string(15, '[') + "/* x");
    EXPECT_EQ(StateLevel(at(14)), 14);
    EXPECT_EQ(StateLevel(at(16)), 15);
    EXPECT_TRUE(InOwnRange(at(16)));
    // Sixteen ranges fill every level: the 17th start and the comment are ignored.
    model.SetText(std::string(17, '[') + "/* x]");
    EXPECT_EQ(StateLevel(at(16)), 15);
    EXPECT_FALSE(InOwnRange(at(18)));
    EXPECT_EQ(StateLevel(at(18)), 15);
    // The closing bracket goes back one level.
    EXPECT_EQ(StateLevel(at(22)), 14);
    // A keyword at level 15 is dropped; at level 14 it becomes level 15.
    keywords.SetNesting(true);
    model.SetText(std::string(16, '[') + " mov " + "]" + " mov");
    EXPECT_EQ(StateLevel(at(18)), 15);
    EXPECT_EQ(at(18).stack[15], BracketHighlighter::kIndex);
    EXPECT_EQ(StateLevel(at(24)), 15);
    EXPECT_EQ(at(24).stack[15], 0); // keyword 0, "mov"
}

// A comment opened inside a highlighter range and closed a paragraph later
// gives the text back the highlighter's state, found in the first paragraph.
TEST_F(HighlightPass, RangeClosedInALaterParagraphRestoresTheEnclosingState) {
    BracketHighlighter brackets;
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
        BracketHighlighter brackets;
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

// First difference between two models' highlighting, empty when none.
std::string Difference(RIzuvAzazModel& a, RIzuvAzazModel& b) {
    if (a.ParagraphCount() != b.ParagraphCount()) return "paragraph count";
    for (std::int32_t i = 0; i < a.ParagraphCount(); ++i) {
        const ParagraphInfo& p = *a.ParagraphAt(i);
        const ParagraphInfo& q = *b.ParagraphAt(i);
        const std::string where = "paragraph " + std::to_string(i) + ": ";
        if (!StatesIdentical(*p.startContext, *q.startContext)) return where + "start state";
        if (p.entryCount != q.entryCount)
            return where + "entries " + std::to_string(p.entryCount) + " vs " +
                   std::to_string(q.entryCount);
        for (std::int32_t k = 0; k < p.entryCount; ++k)
            if (p.entries[k].offsetOrRefs != q.entries[k].offsetOrRefs ||
                !StatesIdentical(p.entries[k], q.entries[k]))
                return where + "entry " + std::to_string(k);
    }
    return {};
}

TEST(HighlightPassRandom, IncrementalEqualsFresh) {
    // Short pieces make and break keys often; the longer ones bring whole
    // lines of keywords.
    static const char* const kShort[] = {"mov ", "MOV", "ax", ", ",   "push ", "/*", "*/",  "*/",
                                         "*/",   "\"",  ";",  "\r\n", "\r\n",  "{",  "}",   "}",
                                         "<",    ">",   "]",  "abc",  " ",     "x",  "int", "a"};
    static const char* const kLong[] = {"\r\n;c\r\n", " mov ax, abc ", "\r\n  push ax\r\n"};
    std::vector<const char*> pieces(std::begin(kShort), std::end(kShort));
    pieces.insert(pieces.end(), std::begin(kLong), std::end(kLong));
    PassFixture f;
    f.Vocabulary();
    std::string start;
    for (int i = 0; i < 80; ++i)
        start += i % 7 == 3 ? "/* open\r\n" : "  mov ax, \"s\" ; note\r\n";
    f.model.SetText(start);

    std::mt19937 random(20261206);
    std::int64_t entries = 0;
    for (int step = 0; step < 3000; ++step) {
        const std::int32_t length = f.model.TextLength();
        std::uniform_int_distribution<std::int32_t> at(0, length);
        const std::int32_t s = at(random);
        const int kind = static_cast<int>(random() % 10);
        const bool grouped = random() % 8 == 0;
        if (grouped) f.model.BeginUpdate();
        if (kind < 7) {
            f.Type(s, pieces[random() % pieces.size()]);
        } else if (kind < 9) {
            f.Erase(s, std::min<std::int32_t>(length - s, static_cast<std::int32_t>(random() % 5)));
        } else {
            f.model.SetSelStart(s);
            f.model.SetSelLength(
                std::min<std::int32_t>(length - s, static_cast<std::int32_t>(random() % 9)));
            f.model.Replace(pieces[random() % pieces.size()]);
        }
        if (grouped) f.model.EndUpdate();
        if (f.model.TextLength() > 4000) f.Erase(s / 2, 1000);
        f.model.LayoutRange(0, f.model.ParagraphCount() - 1, false);

        PassFixture fresh;
        fresh.Vocabulary();
        fresh.model.SetText(f.model.Text());
        fresh.model.LayoutRange(0, fresh.model.ParagraphCount() - 1, true);
        const std::string diff = Difference(f.model, fresh.model);
        ASSERT_EQ(diff, "") << "after step " << step;
        for (std::int32_t i = 0; i < f.model.ParagraphCount(); ++i)
            entries += f.model.ParagraphAt(i)->entryCount;
    }
    // The comparisons had plenty of highlighting to compare.
    EXPECT_GT(entries / 3000, 40);
    f.model.CheckConsistency();
}

} // namespace
} // namespace lorvane
