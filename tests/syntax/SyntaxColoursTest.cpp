// The shipped vocabularies on short samples whose colours are written out
// by hand, and a seeded random walk of edits in each language whose
// colours must equal those of a fresh highlight of the same text.
#include "SyntaxFixture.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <random>

namespace lorvane {
namespace {

using test::SyntaxFixture;

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
}

} // namespace
} // namespace lorvane
