// The shipped vocabularies on short samples whose colours are written out
// by hand, and a seeded random walk of edits in each language whose
// colours must equal those of a fresh highlight of the same text.
#include "editor/highlight/HighlightPass.h"
#include "editor/model/ModelFixture.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "syntax/SyntaxCatalog.h"
#include "syntax/SyntaxHighlighter.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>

namespace lorvane {
namespace {

// Role i is drawn in colour i + 1.
TColourScheme RoleNumberScheme() {
    TColourScheme s;
    for (std::size_t i = 0; i < kTokenRoleCount; ++i)
        s.colours[i] = static_cast<TColor>(i + 1);
    return s;
}

std::shared_ptr<const TSyntax> Shipped(std::string_view extension) {
    static const TSyntaxCatalog catalog =
        TSyntaxCatalog::Load({paths::Join(paths::DataDirectory(), "highlight")});
    auto syntax = catalog.ForExtension(extension);
    if (!syntax) throw std::runtime_error("no shipped language for " + std::string(extension));
    return syntax;
}

// A model with the passes and a shipped vocabulary attached.
struct SyntaxFixture : test::ModelFixture {
    explicit SyntaxFixture(std::string_view extension, TUpdateMode mode = umImmediate)
        : SyntaxFixture(*Shipped(extension), mode) {}
    explicit SyntaxFixture(const TSyntax& syntax, TUpdateMode mode = umImmediate)
        : ModelFixture(60, mode) {
        highlighter = BuildHighlighting(syntax, RoleNumberScheme(), keywords, keys);
        pass->SetHighlightSeparators(syntax.Separators());
        pass->SetHighlighter(highlighter.get());
        pass->ResetHighlighting();
    }

    // '.' plain, else the role's first letter: c s k t r d p; '!' where a
    // highlight brings a background of its own (roles colour the text only).
    std::string Marks(std::int32_t paragraph) {
        const ParagraphInfo& p = *model.ParagraphAt(paragraph);
        std::string out;
        for (std::int32_t c = 0; c < p.length; ++c) {
            const AttrInfo& s = StateAtOffset(p, c);
            const bool role = (s.flags & 0x80) && s.color1 >= 1 && s.color1 <= kTokenRoleCount;
            out += !role                ? '.'
                   : s.color2 != clNone ? '!'
                                        : RoleName(static_cast<TTokenRole>(s.color1 - 1)).front();
        }
        return out;
    }
    std::string AllMarks() {
        model.LayoutRange(0, model.ParagraphCount() - 1, false);
        std::string out;
        for (std::int32_t i = 0; i < model.ParagraphCount(); ++i)
            out += Marks(i) + "\n";
        return out;
    }

    TKeywordList keywords;
    TStartStopKeyList keys;
    std::unique_ptr<TSyntaxHighlighter> highlighter;
    std::unique_ptr<THighlightPass> pass = std::make_unique<THighlightPass>(model, keywords, keys);
};

std::string Repeat(char c, int n) {
    return std::string(static_cast<std::size_t>(n), c);
}

struct Sample {
    const char* extension;
    std::string text;     // paragraphs joined by CR LF
    std::string expected; // each paragraph's marks and "\n"
};

TEST(SyntaxColours, ShippedVocabulariesOnHandWrittenSamples) {
    const std::string d = ".";
    const Sample samples[] = {
        {".ASM",
         "mov ax, [bx+si] ; mov in a comment\r\n"
         "MOVE: Mov AL,'a;b' ; note\r\n"
         ".model small\r\n"
         "fld st(1)\r\n"
         "mov al, \"it's\" ; don't\r\n"
         "dec cx0 ; 0AH\r\n"
         "mov ah,0AH",
         "kkk.rr...rr.rr.." + Repeat('c', 18) + "\n" + //
             "......kkk.rr.sssss.cccccc\n" +           //
             "dddddd.ddddd\n" +                        //
             "kkk.rr...\n" +                           //
             "kkk.rr..ssssss.ccccccc\n" +              //
             "kkk.....ccccc\n" +                       //
             "kkk.rr....\n"},
        {".C",
         "int printf_int = 0; // int here\r\n"
         "char *s = \"a\\\"b; /* no */\"; if(x) INT y;\r\n"
         "#define X 1 /* pre */\r\n"
         "  # include <stdio.h>\r\n"
         "x = a # b;\r\n"
         "/* open\r\n"
         " int still */ return 'c' '\\''\r\n"
         "#define LONG \\\r\n"
         "   continued\r\n"
         "int",
         "ttt" + Repeat('.', 17) + Repeat('c', 11) + "\n" +                     //
             "tttt......" + Repeat('s', 16) + "..kk" + Repeat('.', 10) + "\n" + //
             Repeat('p', 21) + "\n" +                                           //
             ".." + Repeat('p', 19) + "\n" +                                    //
             Repeat('.', 10) + "\n" +                                           //
             Repeat('c', 7) + "\n" +                                            //
             Repeat('c', 13) + d + "kkkkkk" + d + "sss" + d + "ssss" + "\n" +   //
             Repeat('p', 14) + "\n" +                                           //
             Repeat('p', 12) + "\n" +                                           //
             "ttt\n"},
        {".PAS",
         "BEGIN writeln('it''s {no};'); End; { int\r\n"
         " begin } (* x *) // begin\r\n"
         "{$R+} integer_x Integer",
         "kkkkk" + Repeat('.', 9) + Repeat('s', 13) + "...kkk..ccccc\n" + //
             "cccccccc.ccccccc.cccccccc\n" +                              //
             "ddddd" + Repeat('.', 11) + "ttttttt\n"},
    };
    for (const Sample& sample : samples) {
        SyntaxFixture f(sample.extension);
        f.model.SetText(sample.text);
        EXPECT_EQ(f.AllMarks(), sample.expected) << sample.extension;
    }
}

// A case-blind language's upper-case line-start key opens on any casing,
// but only at the line's first non-blank.
TEST(SyntaxColours, ACaseBlindLineStartKeyOpensInEitherCase) {
    SyntaxFixture f(ParseSyntax(
        "[language]\nextensions=.X\ncase=ignore\n[ranges]\ncomment start=REM linestart\n",
        "t.lang"));
    f.model.SetText("rem a\r\nx REM b\r\n  Rem c");
    EXPECT_EQ(f.AllMarks(), "ccccc\n.......\n..ccccc\n");
}

// With the start/stop keys switched off, comments and strings go uncoloured
// and words keep their colours, inside a former comment too.
TEST(SyntaxColours, StartStopKeysSwitchedOff) {
    const Sample samples[] = {{".C", "/* int */ int s = \"a\";", "...ttt....ttt.........\n"},
                              {".PAS", "{ begin } begin 'x'", "..kkkkk...kkkkk....\n"}};
    for (const Sample& sample : samples) {
        SyntaxFixture f(sample.extension);
        f.pass->SetApplyStartStopKeys(false, true);
        f.model.SetText(sample.text);
        EXPECT_EQ(f.AllMarks(), sample.expected) << sample.extension;
        f.pass->SetApplyStartStopKeys(true, true);
        EXPECT_NE(f.AllMarks(), sample.expected) << sample.extension;
    }
}

// Pieces that open and close comments, strings and directives (and break
// lines) in the middle of keywords; one typed piece is one keystroke or paste.
struct Walk {
    const char* extension;
    std::vector<const char*> pieces;
    const char* line;
};

TEST(SyntaxColours, EditsGiveTheColoursOfAFreshHighlight) {
    const Walk walks[] = {
        {".ASM",
         {";", "'", "\"", "\r\n", "mov", "AX", " ", ",", "x", ".data", "; c", "push"},
         "  mov ax, 'a;b' ; note mov\r\n"},
        {".C",
         {"/*", "*/", "*", "/", "//", "\"", "'", "\\", "#", "\r\n", "int", " ", "\\\r\n", "if"},
         "int x = \"a\\\"b\"; /* c */ if (x) return '\\''; // n\r\n#define A \\\r\n"},
        {".PAS",
         {"{", "}", "(*", "*)", "//", "'", "''", "{$", "\r\n", "begin", "END", " ", "x"},
         "begin x := 'it''s'; { c } (* d *) end; // e\r\n"},
    };
    for (const Walk& walk : walks) {
        SyntaxFixture f(walk.extension, umBackground);
        std::string start;
        for (int i = 0; i < 30; ++i)
            start += walk.line;
        f.model.SetText(start);
        std::mt19937 random(4711);
        for (int step = 0; step < 500; ++step) {
            const std::int32_t length = f.model.TextLength();
            const std::int32_t at = static_cast<std::int32_t>(random() % (length + 1));
            f.model.SetSelStart(at);
            if (random() % 4 == 0)
                f.model.SetSelLength(std::min<std::int32_t>(length - at, random() % 4));
            f.model.Replace(random() % 5 == 0 ? "" : walk.pieces[random() % walk.pieces.size()]);
            for (int guard = 0; guard < 100000 && f.model.BackgroundJobPending(); ++guard)
                f.model.BackgroundSlice();
            SyntaxFixture fresh(walk.extension);
            fresh.model.SetText(f.model.Text());
            ASSERT_EQ(f.AllMarks(), fresh.AllMarks())
                << walk.extension << " after step " << step << " (seed 4711)";
        }
    }
}

TEST(SyntaxColours, AMistakeInAVocabularyIsNamedWithItsLine) {
    const std::string head = "; a language\n[language]\nextensions=.X\n";
    const std::pair<std::string, std::string> cases[] = {
        {head + "[ranges]\ncomment stop=x\n", "строка 5: у диапазона нет start="},
        {head + "[ranges]\nremark start=x\n", "строка 5: неизвестная роль \"remark\""},
        {head + "[ranges]\nstring start=\" escape=ab\n", "строка 5: непонятное \"escape=ab\""},
        {head + "[keywords keyword]\nok " + std::string(300, 'w') + "\n", "строка 5:"},
        {head + "case=sometimes\n", "строка 4: case может быть только"},
        {head + "[colours]\n", "строка 4: неизвестный раздел"},
        {"mov\n", "строка 1: строка вне раздела"},
        {"[language]\nextensions=ASM\n", "строка 2: расширение \"ASM\""},
        {"[language]\nname=x\n", "не указано ни одного расширения"},
    };
    for (const auto& [text, message] : cases) {
        try {
            ParseSyntax(text, "t.lang");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos)
                << error.what() << "\nexpected: " << message;
        }
    }
    // Written in UTF-8, a Russian keyword still matches the documents' Windows-1251.
    const TSyntax utf8 = ParseSyntax(head + "[keywords keyword]\nначало\n", "t.lang");
    EXPECT_EQ(utf8.groups.at(0).words.at(0), "\xED\xE0\xF7\xE0\xEB\xEE");
    // Written in Windows-1251 with CR LF, indented and with trailing blanks:
    // the same words, nothing taken for UTF-8 and no blank or CR kept.
    const TSyntax plain = ParseSyntax("[language] \r\n\textensions=.X\t\r\n  [keywords "
                                      "keyword]\r\n \xED\xE0\xF7\xE0\xEB\xEE mov \r\n",
                                      "t.lang");
    EXPECT_EQ(plain.extensions, std::vector<std::string>{".X"});
    EXPECT_EQ(plain.groups.at(0).words,
              (std::vector<std::string>{"\xED\xE0\xF7\xE0\xEB\xEE", "mov"}));
}

} // namespace
} // namespace lorvane
