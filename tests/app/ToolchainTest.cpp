// The shipped NASM and bcc profiles with the real tools and the real editor
// control, one flow per tool chain over one loaded profile: the examples
// build through the frame's own commands and run in DOSBox without a
// display, the NASM listing reads in DOS, and an error's message leads to
// the faulty line.
#include "FrameFixture.h"
#include "app/PathAss.h"
#include "platform/Process.h"
#include "platform/helpers/ScopedEnv.h"

#include <QAction>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;
using Env = test::ScopedEnv;
namespace fs = std::filesystem;

class ToolchainTest : public test::FrameFixture {
protected:
    // As a user does: F10, Load, the shipped profile, Enter.
    void UseShippedProfile(const std::string& compiler, const std::string& profile) {
        for (const std::string& tool : {compiler, std::string("dosbox")})
            ASSERT_EQ(process::RunAndWait({"sh", "-c", "command -v " + tool}), 0)
                << tool << " is missing: bash scripts/deps.sh installs it";
        frame->resize(600, 500);
        TPathAss& shown = frame->PathAss1();
        dialogs.AnswerOpen(paths::DataFile("toolchains/" + profile));
        QTimer::singleShot(0, &shown, [&] {
            shown.Button4()->click();
            shown.Button1()->click();
        });
        QTimer::singleShot(5000, &shown, [&] { shown.reject(); }); // never hang
        frame->N15Click();
        ASSERT_FALSE(dialogs.Requests().empty());
        EXPECT_EQ(dialogs.Requests().back().file.initialDir, paths::DataFile("toolchains"));
        EXPECT_EQ(frame->AppSettings().Tools().assemblerPath, "lorvane-" + compiler);
    }

    // The pane's lines from the heading of the latest run on.
    std::vector<std::string> LastRun() const {
        const auto lines = PaneLines();
        const auto heading = std::find_if(lines.rbegin(), lines.rend(), [](const auto& line) {
            return line.rfind("> ", 0) == 0;
        });
        return heading == lines.rend() ? lines : std::vector(heading.base() - 1, lines.end());
    }

    std::string Copy(const std::string& from, const std::string& name) {
        fs::copy_file(from, dir.File(name));
        return dir.File(name);
    }

    // F9 with the DOS box off the display and the program's output sent to
    // a DOS file: that file's bytes.
    std::string RunInDosBox() {
        const Env video("SDL_VIDEODRIVER", "dummy"), audio("SDL_AUDIODRIVER", "dummy"),
            home("HOME", dir.File(""));
        ToolSettings tools = frame->AppSettings().Tools();
        tools.runProgram = "lorvane-dosbox --redirect=OUT.TXT --exit";
        frame->AppSettings().WriteToolSettings(tools);
        const std::size_t before = PaneLines().size();
        frame->SpeedButton12Click();
        if (!test::WaitFor(
                [&] {
                    return PaneLines().size() != before &&
                           PaneLines().back().rfind("Код завершения", 0) == 0;
                },
                30000)) {
            ADD_FAILURE() << "DOSBox did not end";
            return {};
        }
        return fs::exists(dir.File("OUT.TXT")) ? ReadFileBytes(dir.File("OUT.TXT")) : "";
    }

    // The wrappers are found beside the running program; a test runs from
    // elsewhere, so they come from PATH here.
    Env path{"PATH", std::string(LORVANE_WRAPPER_DIR) + ":" + std::getenv("PATH")};
};

TEST_F(ToolchainTest, TheExampleBuildsAndRunsInDosBoxAndErrorsLeadToTheirLines) {
    ASSERT_NO_FATAL_FAILURE(UseShippedProfile("nasm", "nasm-dos-com.ust"));
    const std::string source = Copy(LORVANE_EXAMPLES_DIR "/HELLO.ASM", "HELLO.ASM");
    frame->FileOpenAll(source);
    ASSERT_EQ(frame->ActiveChild()->DosMode, 1) << "the example's code page is recognised";
    frame->LST1Click();
    frame->N14Click();

    // The program is what NASM itself makes of the source.
    ASSERT_EQ(process::RunAndWait({"nasm", "-f", "bin", "-o", dir.File("ref.bin"), source}), 0);
    const std::string program = ReadFileBytes(dir.File("HELLO.COM"));
    EXPECT_EQ(program, ReadFileBytes(dir.File("ref.bin")));
    EXPECT_EQ(program.substr(0, 1), "\xBA") << "mov dx, message";
    const auto lines = PaneLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "> lorvane-nasm " + source);
    EXPECT_EQ(lines.back().rfind("Код завершения 0, ", 0), 0u) << lines.back();

    auto children = frame->Children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->Caption(), dir.File("HELLO.LST"));
    EXPECT_EQ(children[0]->DosMode, 1) << "the listing of a DOS source shows DOS";
    EXPECT_NE(children[0]->Memo1().Text().find("\xCF\xF0\xE8\xE2\xE5\xF2"), std::string::npos)
        << "\"Привет\" reads as letters";
    EXPECT_EQ(children[1]->FileName, source);
    EXPECT_EQ(children[1]->DosMode, 1);

    // "Привет, DOS!" in code page 866.
    EXPECT_EQ(RunInDosBox().substr(0, 12), "\x8F\xE0\xA8\xA2\xA5\xE2, DOS!");
    // And the box itself runs with code page 866: this prints "Y" when DOS
    // reports it as the active one.
    WriteFileBytes(dir.File("CP.ASM"), "org 100h\r\nmov ax, 6601h\r\nint 21h\r\n"
                                       "mov dl, 'N'\r\ncmp bx, 866\r\njne show\r\n"
                                       "mov dl, 'Y'\r\nshow: mov ah, 2\r\nint 21h\r\nret\r\n");
    frame->FileOpenAll(dir.File("CP.ASM"));
    frame->N14Click();
    EXPECT_EQ(RunInDosBox(), "Y");

    // Shift+F4 on a wrapped text: long comments wrap, so lines of the file
    // are not display lines.
    frame->LST1Click();
    const std::string comment = "; " + std::string(300, 'x') + "\r\n";
    WriteFileBytes(dir.File("BAD.ASM"), comment + "org 100h\r\n" + comment + "bogus ax\r\nret\r\n");
    frame->FileOpenAll(dir.File("BAD.ASM"));
    frame->N14Click();
    const auto bad = LastRun();
    ASSERT_GE(bad.size(), 3u);
    EXPECT_EQ(bad[1].rfind(dir.File("BAD.ASM") + ":4: error:", 0), 0u) << bad[1];
    EXPECT_EQ(bad.back().rfind("Код завершения 1, ", 0), 0u) << bad.back();
    EXPECT_FALSE(fs::exists(dir.File("BAD.COM")));

    auto& editor = static_cast<TRIzuvAzazEditor&>(frame->ActiveChild()->Memo1());
    frame->UpdateBuildOutputItems();
    frame->Item("NextMessage1")->trigger();
    EXPECT_EQ(editor.CaretParagraph(), 3);
    EXPECT_GT(editor.CaretLine(), 3) << "the text must wrap for this test to tell";
    EXPECT_EQ(editor.CaretColumn(), 0);

    // Ctrl+G: a line of the file; nonsense is refused, past the end is the end.
    dialogs.AnswerInput("abc");
    dialogs.AnswerMessage(MsgResult::OK);
    dialogs.AnswerInput(" 3 ");
    frame->GoToLineClick();
    EXPECT_EQ(editor.CaretParagraph(), 3);
    frame->GoToLineClick();
    EXPECT_EQ(editor.CaretParagraph(), 2);
    dialogs.AnswerInput("999");
    frame->GoToLineClick();
    EXPECT_EQ(editor.CaretParagraph(), editor.ParagraphCount() - 1);

    // A DOS assembler's listing names its errors; a script stands in for it,
    // and a double click on the message shows its place.
    const std::string script = dir.File("tasm.sh");
    WriteFileBytes(script, "#!/bin/sh\nprintf '**Error** a.asm(2) Illegal instruction\\r\\n"
                           "     1 0000  B4 09   mov ah, 9\\r\\n' > \"${1%.*}.LST\"\n");
    fs::permissions(script, fs::perms::owner_all);
    ToolSettings tools = frame->AppSettings().Tools();
    tools.assemblerPath = script;
    frame->AppSettings().WriteToolSettings(tools);
    WriteFileBytes(dir.File("A.ASM"), "mov ah, 9\r\nbogus\r\n");
    frame->FileOpenAll(dir.File("A.ASM"));
    frame->LST1Click();
    frame->N14Click();
    children = frame->Children();
    TMDIChild* listing = children[children.size() - 2];
    ASSERT_EQ(listing->Caption(), dir.File("A.LST"));
    frame->MdiArea()->setActiveSubWindow(listing);
    QWidget* viewport = test::Control(listing).viewport();
    const QPointF point(4, 4);
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, point, viewport->mapToGlobal(point), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    test::WaitFor([&] { return frame->ActiveChild() != listing; });
    ASSERT_NE(frame->ActiveChild(), listing);
    EXPECT_EQ(frame->ActiveChild()->Caption(), dir.File("A.ASM"))
        << "a.asm: the case does not matter";
    EXPECT_EQ(frame->ActiveChild()->Memo1().CaretParagraph(), 1);
}

TEST_F(ToolchainTest, TheCExampleRunsInDosBoxAndAnErrorLeadsToItsLineInTheUsersFile) {
    ASSERT_NO_FATAL_FAILURE(UseShippedProfile("bcc", "bcc-dos-com.ust"));
    // bcc's own files and the wrapper's go here, and are removed.
    fs::create_directory(dir.File("tmp"));
    const Env tmp("TMPDIR", dir.File("tmp"));
    const std::string source = Copy(LORVANE_EXAMPLES_DIR "/HELLO.C", "HELLO.C");
    frame->FileOpenAll(source);
    ASSERT_EQ(frame->ActiveChild()->DosMode, 1) << "the example's code page is recognised";
    frame->UpdateMenuItems();
    ASSERT_TRUE(frame->Item("N14")->isEnabled());
    frame->Item("N14")->trigger();
    const auto lines = PaneLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "> lorvane-bcc " + source);
    EXPECT_EQ(lines.back().rfind("Код завершения 0, ", 0), 0u) << lines.back();
    EXPECT_TRUE(fs::is_empty(dir.File("tmp")));

    // The program is what bcc itself makes of a lower-case copy.
    fs::copy_file(source, dir.File("ref.c"));
    ASSERT_EQ(process::RunAndWait({"bcc", "-Md", "-o", dir.File("ref.com"), dir.File("ref.c")}), 0);
    EXPECT_EQ(ReadFileBytes(dir.File("HELLO.COM")), ReadFileBytes(dir.File("ref.com")));

    // It prints its literal's bytes (code page 866) and a DOS line break.
    const std::string text = ReadFileBytes(source);
    const std::size_t start = text.find("printf(\"") + 8;
    const std::string literal = text.substr(start, text.find("\\n\")", start) - start);
    ASSERT_EQ(literal.substr(0, 6), "\x8F\xE0\xA8\xA2\xA5\xE2") << "\"Привет\"";
    EXPECT_EQ(RunInDosBox(), literal + "\r\n");

    // Shift+F4 lands on the line bcc names in the user's file: blanks in the
    // directory, and the source's own include found beside it.
    fs::create_directories(dir.File("my src/inc"));
    WriteFileBytes(dir.File("my src/inc/DEFS.H"), "#define ANSWER 42\r\n");
    const std::string bad = dir.File("my src/BAD.C");
    WriteFileBytes(bad, "#include \"inc/DEFS.H\"\r\nint main()\r\n{\r\n"
                        "    return ANSWER + missing;\r\n}\r\n");
    frame->FileOpenAll(bad);
    frame->N14Click();
    const auto run = LastRun();
    ASSERT_GE(run.size(), 3u);
    EXPECT_EQ(run[1].rfind(bad + ":4.", 0), 0u) << run[1];
    EXPECT_NE(run[1].find("error: missing undeclared"), std::string::npos) << run[1];
    EXPECT_EQ(run.back().rfind("Код завершения 1, ", 0), 0u) << run.back();
    EXPECT_FALSE(fs::exists(dir.File("my src/BAD.COM")));

    frame->UpdateBuildOutputItems();
    frame->Item("NextMessage1")->trigger();
    EXPECT_EQ(frame->ActiveChild()->Caption(), bad);
    EXPECT_EQ(frame->ActiveChild()->Memo1().CaretParagraph(), 3);
    EXPECT_TRUE(fs::is_empty(dir.File("tmp")));
}

} // namespace
} // namespace lorvane
