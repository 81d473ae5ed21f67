// What the build tools' messages mean without a window: the places their
// lines name, the files those names lead to, how their output reads, and
// the arguments the tool-chain wrappers build.
#include "app/ErrorLocation.h"
#include "app/OutputDecoding.h"
#include "support/TempDir.h"
#include "toolchains/WrapperArgs.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lorvane {
namespace {

using Words = std::vector<std::string>;

TEST(ErrorLocation, RecognisesTheCommonFormsAndNothingElse) {
    struct Case {
        const char* line;
        const char* file;
        int lineNo, column;
    };
    const Case cases[] = {
        {"HELLO.ASM(18) Illegal instruction", "HELLO.ASM", 18, 0},
        {"hello.asm(18): error A2008: syntax error", "hello.asm", 18, 0},
        {"src\\main.c(7,12): Error! E1009", "src\\main.c", 7, 12},
        {"  **Error** HELLO.ASM(5) Undefined symbol: X", "HELLO.ASM", 5, 0},
        {"**Fatal** C:\\SRC\\A.ASM(123) Out of memory", "C:\\SRC\\A.ASM", 123, 0},
        {"/home/u/my src/hello.asm:5: error: parser: instruction expected",
         "/home/u/my src/hello.asm", 5, 0},
        {"a.c:3:14: warning: unused", "a.c", 3, 14},
        {"C:\\TOOLS\\X.ASM:9:", "C:\\TOOLS\\X.ASM", 9, 0},
        {"/my.src/BAD.C:1.24: error: foo undeclared", "/my.src/BAD.C", 1, 24},
        {"f(1)", "f", 1, 0},
        // The earlier of two forms decides.
        {"x.asm:4: error: expected (3) operands", "x.asm", 4, 0},
        {"y.asm(2) : see x.asm:9:", "y.asm", 2, 0},
    };
    for (const Case& c : cases) {
        const auto place = ParseErrorLocation(c.line);
        ASSERT_TRUE(place) << c.line;
        EXPECT_EQ(*place, (ErrorLocation{c.file, c.lineNo, c.column})) << c.line;
    }
    // Look-alikes that name no place.
    for (const char* line :
         {"Assembling file: hello.asm", "Error messages: None", "x.asm(0) zero is no line",
          "x.asm(12", "x.asm(12)abc", "x.asm (12) blank before", "x.asm:12 no colon after",
          "x.c:12.5 no colon after", "x.c:12.: no column", "x.c:1.2.3: a version", "(12) no file",
          "x.asm(1234567890) too long", ""}) {
        const auto place = ParseErrorLocation(line);
        EXPECT_FALSE(place) << line << " -> " << place->file;
    }
}

TEST(ErrorLocation, NamesLeadToOneFileWhateverTheirCase) {
    test::TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.path() / "Sub");
    for (const char* name : {"Sub/Hello.asm", "exact.asm", "TWIN.INC", "twin.inc"})
        test::WriteFileBytes(dir.File(name), "");
    const std::string base = dir.path().string();
    const auto at = [&](const char* name) {
        return (dir.path() / name).lexically_normal().string();
    };
    const std::pair<const char*, std::string> cases[] = {
        {"exact.asm", at("exact.asm")},
        {"SUB/HELLO.ASM", at("Sub/Hello.asm")},
        {"./sub/../Sub/hello.ASM", at("Sub/Hello.asm")},
        {"C:\\SUB\\HELLO.ASM", at("Sub/Hello.asm")}, // a DOS box's own drive
        {"D:\\ELSEWHERE\\EXACT.ASM", at("exact.asm")},
        {"twin.inc", at("twin.inc")}, // as written wins
        {"Twin.Inc", ""},             // two files only differ in case
        {"missing.asm", ""},
        {"Sub", ""}, // a directory is no source
        {"", ""},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(FindMessageFile(name, base), expected) << name;
    EXPECT_EQ(FindMessageFile(at("Sub/Hello.asm"), "/nowhere"), at("Sub/Hello.asm"));
}

TEST(OutputDecoding, Utf8StaysDosTextIsReadAsCodePage866) {
    // "Привет" in UTF-8, in 866 and in Windows-1251.
    EXPECT_EQ(DecodeToolLine("\xD0\x9F\xD1\x80\xD0\xB8 ok"), "\xD0\x9F\xD1\x80\xD0\xB8 ok");
    EXPECT_EQ(
        DecodeToolLine("\x8F\xE0\xA8\xA2\xA5\xE2 \xC9\xCD\xBB"),
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x95\x94\xE2\x95\x90\xE2\x95\x97");
    const std::string win = DecodeToolLine("\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(win.find("\xD0\x9F"), std::string::npos) << "not mistaken for 866";
    EXPECT_EQ(DecodeToolLine("a\xFF"
                             "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_FALSE(IsWellFormedUtf8("\xD0"));
    EXPECT_FALSE(IsWellFormedUtf8("\xC0\x80"));
}

TEST(Wrappers, NasmWritesTheProgramAndListingTheEditorLooksFor) {
    using wrappers::NasmInvocation;
    EXPECT_EQ(NasmInvocation({"/my src/hello.asm"}).argv,
              (Words{"nasm", "-f", "bin", "-o", "/my src/hello.COM", "-l", "/my src/hello.LST",
                     "/my src/hello.asm"}));
    EXPECT_EQ(NasmInvocation({"-w+all", "-fobj", "a.b/x"}).argv,
              (Words{"nasm", "-w+all", "-fobj", "-o", "a.b/x.COM", "-l", "a.b/x.LST", "a.b/x"}));
    EXPECT_EQ(NasmInvocation({"-x.asm"}).argv.back(), "./-x.asm");
    EXPECT_FALSE(NasmInvocation({}).error.empty());
}

TEST(Wrappers, BccWritesTheProgramBesideTheSourceAndRefusesNamesAnIncludeCannotHold) {
    using wrappers::BccInvocation;
    const auto run = BccInvocation({"/my src/HELLO.C"}, true, "/elsewhere");
    EXPECT_EQ(run.call.argv, (Words{"bcc", "-Md", "-o", "/my src/HELLO.COM", wrappers::kBccStub}));
    const auto relative = BccInvocation({"-ansi", "-Ms", "-x.c"}, true, "/w\\d");
    EXPECT_EQ(relative.call.argv,
              (Words{"bcc", "-ansi", "-Ms", "-o", "/w\\d/-x.COM", wrappers::kBccStub}));
    // Each refused with a reason, nothing started.
    const std::pair<Words, bool> refused[] = {
        {{}, true}, {{"/d/A.C"}, false}, {{"/d/a\"b.c"}, true}, {{"/d/a\nb.c"}, true}};
    for (const auto& [args, exists] : refused) {
        const auto call = BccInvocation(args, exists, "/d").call;
        EXPECT_TRUE(call.argv.empty() && !call.error.empty()) << (args.empty() ? "" : args[0]);
    }
}

TEST(Wrappers, TheDosBoxMountsTheProgramsDirectoryAndRefusesWhatDosCannotTake) {
    using wrappers::DosboxInvocation;
    EXPECT_EQ(DosboxInvocation({"/my dir/hello.com"}, true).argv,
              (Words{"dosbox", "-noautoexec", "-c", "KEYB RU 866", "-c", "MOUNT C \"/my dir/\"",
                     "-c", "C:", "-c", "HELLO.COM", "-c", "PAUSE", "-c", "EXIT"}));
    EXPECT_EQ(DosboxInvocation({"--redirect=out.txt", "--exit", "A.EXE"}, true).argv,
              (Words{"dosbox", "-noautoexec", "-c", "KEYB RU 866", "-c", "MOUNT C \".\"", "-c",
                     "C:", "-c", "A.EXE > OUT.TXT", "-c", "EXIT"}));
    // Each refused with a reason, nothing started.
    const auto missing = DosboxInvocation({"/d/a.com"}, false);
    EXPECT_TRUE(missing.argv.empty() && !missing.error.empty()) << "a missing program";
    for (const Words& args :
         {Words{}, Words{"/d/helloworld.com"}, Words{"/d/a.b.com"}, Words{"/d/A.HEX"},
          Words{"/d/a b.com"}, Words{"/d/NOEXT"}, Words{"/x\"y/a.com"}, Words{"/x>y/a.com"},
          Words{"/x|y/a.com"}, Words{"/x\ny/a.com"}, Words{"--redirect=a>b", "/d/a.com"},
          Words{"/d/a.com", "/d/b.com"}}) {
        const auto call = DosboxInvocation(args, true);
        EXPECT_TRUE(call.argv.empty() && !call.error.empty()) << (args.empty() ? "" : args[0]);
    }
}

} // namespace
} // namespace lorvane
