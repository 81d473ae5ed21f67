// The frame's build tools driven with small shell scripts standing in for
// the compiler, linker and run program: what they receive, what is saved
// first, the listing load and the reopened source, and the search
// program's message exchange.
#include "FakeEditor.h"
#include "app/HandOver.h"
#include "app/MainForm.h"
#include "components/FileMO.h"
#include "platform/ErrorHandler.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "platform/SiblingChannel.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace lorvane {
namespace {

using test::FakeEditor;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// Waits (running the event loop) until `done` holds or the limit passes.
template <typename Condition> bool WaitFor(Condition done, int limitMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

class BuildToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(IniPath());
        std::filesystem::remove(paths::ResolveBareName("HKEY_CURRENT_USER.reg"));
        SharedFlags() = TSharedDocumentFlags{};
    }

    std::unique_ptr<TMainFormLorvane> MakeFrame() {
        auto frame = std::make_unique<TMainFormLorvane>(
            [this] {
                auto editor = std::make_unique<FakeEditor>();
                editors.push_back(editor.get());
                return editor;
            },
            std::vector<std::string>{});
        frame->show();
        return frame;
    }

    static std::string IniPath() { return Settings().SettingsFilePath(); }

    static void Tool(const char* key, const std::string& value) {
        ProfileFile(IniPath()).WriteString("ASSEMBLER", key, value);
    }

    // A program that records its arguments, one a line, in `log`, then
    // runs `extra` (shell text, with $1 the first argument).
    std::string Script(const std::string& name, const std::string& log,
                       const std::string& extra = {}) {
        const std::string path = dir.File(name);
        WriteFileBytes(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                 log + ".part'\n" + extra + "\nmv '" + log + ".part' '" + log +
                                 "'\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    // A compiler that writes "<source without extension>.LST".
    std::string Compiler(const std::string& log) {
        return Script("cc", log, "printf 'listing of %s' \"$1\" > \"${1%.*}.LST\"");
    }

    // The frame set up for A.ASM with the given compiler, opened and active.
    TMDIChild* OpenSource(TMainFormLorvane& frame, const std::string& file,
                          const std::string& text) {
        WriteFileBytes(file, text);
        frame.AboutBoxCr();
        frame.FileOpenAll(file);
        frame.UpdateMenuItems();
        return frame.ActiveChild();
    }

    std::vector<FakeEditor*> editors;
    TempDir dir;
};

TEST(ToolFileNameTest, ReplacesOnlyTheExtensionOfTheNamePart) {
    EXPECT_EQ(ToolFileName("C:\\SRC\\A.ASM", ".HEX"), "C:\\SRC\\A.HEX");
    EXPECT_EQ(ToolFileName("/src/a.b.asm", ".OBJ"), "/src/a.b.OBJ");
    EXPECT_EQ(ToolFileName("/src.d/prog", ".LST"), "/src.d/prog.LST");
    EXPECT_EQ(ToolFileName("C:PROG", ".COM"), "C:PROG.COM");
    EXPECT_EQ(ToolFileName("/src/a.asm", ""), "/src/a");
    EXPECT_EQ(ToolFileName("Untitled", ".LST"), "Untitled.LST");
}

TEST_F(BuildToolsTest, CompileSavesAModifiedNamedFileWithItsBackupAndPassesItsName) {
    ScriptedDialogs dialogs;
    const std::string log = dir.File("args");
    Tool("Ассемблер", Compiler(log));
    Tool("Расширение файла компилятора", ".ASM");
    auto frame = MakeFrame();
    const std::string source = dir.File("A.ASM");
    OpenSource(*frame, source, "old text");
    editors.back()->SetText("new text");
    frame->N14Click();
    EXPECT_TRUE(dialogs.Requests().empty()) << "a named file is saved without asking";
    EXPECT_EQ(ReadFileBytes(source), "new text");
    EXPECT_EQ(ReadFileBytes(dir.File("A.BAK")), "old text");
    EXPECT_EQ(Lines(ReadFileBytes(log)), std::vector<std::string>{source});
    EXPECT_FALSE(editors.back()->Modified());
    // The listing switch is off: the window stays as it was.
    EXPECT_EQ(frame->Children().size(), 1u);
}

TEST_F(BuildToolsTest, CompilingAnUntitledTextRunsOnlyOnceItHasAFile) {
    ScriptedDialogs dialogs;
    const std::string log = dir.File("args");
    Tool("Ассемблер", Compiler(log));
    auto frame = MakeFrame(); // empty source extension: untitled texts compile
    frame->AboutBoxCr();
    frame->FileNewItemClick();
    editors.back()->SetText("mov ax,1");
    frame->UpdateMenuItems();
    ASSERT_TRUE(frame->Item("N14")->isEnabled());

    dialogs.AnswerMessage(MsgResult::No);
    frame->N14Click();
    const auto asked = dialogs.RequestsOf(DialogKind::MessageBox);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text,
              "Текст в файле без имени нельзя ассемблировать. Выбрать имя и сохранить?");
    EXPECT_EQ(asked[0].buttons, mbYes | mbNo | mbCancel);
    EXPECT_EQ(frame->OpenDialogFileName(), "без имени");
    dialogs.AnswerMessage(MsgResult::Cancel);
    frame->N14Click();
    EXPECT_FALSE(std::filesystem::exists(log));

    // Yes and then no name: the compiler must not get "Untitled".
    dialogs.AnswerMessage(MsgResult::Yes);
    dialogs.AnswerSave(std::nullopt);
    frame->N14Click();
    EXPECT_FALSE(std::filesystem::exists(log));
    EXPECT_TRUE(editors.back()->Modified());
    EXPECT_EQ(frame->ActiveChild()->Caption(), "Untitled");

    dialogs.AnswerMessage(MsgResult::Yes);
    dialogs.AnswerSave(dir.File("first"));
    frame->N14Click();
    EXPECT_EQ(Lines(ReadFileBytes(log)), std::vector<std::string>{dir.File("first.TXT")});
    EXPECT_EQ(ReadFileBytes(dir.File("first.TXT")), "mov ax,1");
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

TEST_F(BuildToolsTest, AFailedSaveStopsTheCompileAndKeepsTheText) {
    std::vector<std::string> errors;
    TApplication::SetReporter([&](const std::string& text) { errors.push_back(text); });
    const std::string log = dir.File("args");
    Tool("Ассемблер", Compiler(log));
    Tool("Расширение файла компилятора", ".ASM");
    Tool("Расширение файла листинга", ".LST");
    auto frame = MakeFrame();
    const std::string source = dir.File("A.ASM");
    OpenSource(*frame, source, "on disk");
    frame->LST1Click();
    editors.back()->SetText("typed, not saved");
    editors.back()->failSaves = true;
    frame->N14Click();
    TApplication::SetReporter({});
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(log));
    // Reopening from the file would have dropped the typed text.
    ASSERT_EQ(frame->Children().size(), 1u);
    EXPECT_EQ(editors.back()->Text(), "typed, not saved");
    EXPECT_EQ(ReadFileBytes(source), "on disk");
}

TEST_F(BuildToolsTest, ListingReplacesTheOldOneAndTheSourceComesBackWithItsCaret) {
    ScriptedDialogs dialogs;
    const std::string log = dir.File("args");
    Tool("Ассемблер", Compiler(log));
    Tool("Расширение файла компилятора", ".ASM");
    Tool("Расширение файла листинга", ".LST");
    auto frame = MakeFrame();
    const std::string source = dir.File("A.ASM");
    const std::string listing = dir.File("A.LST");
    // The listing of an earlier compile, open and even changed.
    WriteFileBytes(listing, "old listing");
    frame->AboutBoxCr();
    frame->LoadLSTFile(listing);
    editors.back()->SetText("changed listing");
    OpenSource(*frame, source, "nop\r\nnop\r\nnop");
    editors.back()->caretLine = 2;
    editors.back()->caretColumn = 3;
    frame->LST1Click();
    EXPECT_TRUE(frame->Item("LST1")->isChecked());
    EXPECT_TRUE(frame->Button("SpeedButton17")->isChecked());

    frame->N14Click();
    EXPECT_TRUE(dialogs.Requests().empty()) << "nothing is asked about the old listing";
    const auto children = frame->Children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->Caption(), listing);
    EXPECT_EQ(children[0]->Memo1().Text(), "listing of " + source);
    EXPECT_FALSE(children[0]->Memo1().Modified());
    EXPECT_TRUE(children[0]->FileName.empty());
    EXPECT_EQ(children[1]->Caption(), source);
    EXPECT_EQ(children[1]->FileName, source);
    EXPECT_EQ(children[1]->Memo1().Text(), "nop\r\nnop\r\nnop");
    EXPECT_EQ(frame->ActiveChild(), children[1]);
    auto& reopened = static_cast<FakeEditor&>(children[1]->Memo1());
    EXPECT_EQ(reopened.caretPuts, 1);
    EXPECT_EQ(reopened.caretLine, 2);
    EXPECT_EQ(reopened.caretColumn, 3);
    EXPECT_EQ(SharedFlags().CurrentExtension, ".ASM");
    EXPECT_EQ(ReadFileBytes(source), "nop\r\nnop\r\nnop");

    // A compiler that writes no listing: the stale one is gone and said so.
    Tool("Ассемблер", Script("quiet", dir.File("quiet.args")));
    frame->AboutBoxCr();
    dialogs.AnswerMessage(MsgResult::OK);
    frame->N14Click();
    EXPECT_FALSE(std::filesystem::exists(listing));
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].text, "Файл листинга не найден!!!");
    ASSERT_EQ(frame->Children().size(), 1u);
    EXPECT_EQ(frame->ActiveChild()->Caption(), source);

    // Switched off again: the window is left alone.
    frame->Item("LST1")->trigger();
    EXPECT_FALSE(frame->Item("LST1")->isChecked());
    EXPECT_FALSE(frame->Button("SpeedButton17")->isChecked());
}

TEST_F(BuildToolsTest, AListingNamedLikeTheSourceNeverReplacesIt) {
    ScriptedDialogs dialogs;
    Tool("Ассемблер", Script("cc", dir.File("args")));
    Tool("Расширение файла компилятора", ".ASM");
    Tool("Расширение файла листинга", ".ASM");
    auto frame = MakeFrame();
    const std::string source = dir.File("A.ASM");
    OpenSource(*frame, source, "keep me");
    frame->LST1Click();
    frame->N14Click();
    EXPECT_EQ(ReadFileBytes(source), "keep me");
    EXPECT_TRUE(std::filesystem::exists(dir.File("args")));
    EXPECT_EQ(frame->Children().size(), 1u);
    EXPECT_TRUE(dialogs.Requests().empty());
}

TEST_F(BuildToolsTest, AMissingCompilerIsReportedAndNothingElseHappens) {
    ScriptedDialogs dialogs;
    Tool("Ассемблер", dir.File("no such compiler"));
    Tool("Расширение файла компилятора", ".ASM");
    Tool("Расширение файла листинга", ".LST");
    auto frame = MakeFrame();
    OpenSource(*frame, dir.File("A.ASM"), "nop");
    frame->LST1Click();
    dialogs.AnswerMessage(MsgResult::OK);
    frame->N14Click();
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].text, "Компилятор не найден!!!");
    EXPECT_EQ(frame->Children().size(), 1u);
    EXPECT_FALSE(frame->Compiling());
}

TEST_F(BuildToolsTest, WhileTheCompilerRunsTheFramePaintsButNothingOpensOrCloses) {
    ScriptedDialogs dialogs;
    const std::string go = dir.File("go");
    // The compiler waits for a file only the event loop can create.
    Tool("Ассемблер", Script("cc", dir.File("args"),
                             "i=0; while [ ! -e '" + go +
                                 "' ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i+1)); done"));
    Tool("Расширение файла компилятора", ".ASM");
    const std::string handed = dir.File("handed.txt");
    WriteFileBytes(handed, "x");
    auto frame = MakeFrame();
    OpenSource(*frame, dir.File("A.ASM"), "nop");
    bool ranDuringCompile = false, closeRefused = false;
    QTimer::singleShot(30, frame.get(), [&] {
        ranDuringCompile = frame->Compiling();
        closeRefused = !frame->close();
        WriteHandOver(handed);
        frame->MyAppIdle();
        frame->SearchProgramMessage(1024 + 161);
        WriteFileBytes(go, "");
    });
    frame->Item("N28")->setEnabled(false);
    frame->N14Click();
    EXPECT_TRUE(ranDuringCompile);
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(frame->isVisible());
    // The message waited for the compiler; the handed-over file waits for
    // the next idle pass.
    EXPECT_TRUE(frame->Item("N28")->isEnabled());
    EXPECT_EQ(frame->Children().size(), 1u);
    frame->MyAppIdle();
    EXPECT_EQ(frame->Children().size(), 2u);
}

TEST_F(BuildToolsTest, RunLinkAndRunAFileBuildTheirCommandLines) {
    ScriptedDialogs dialogs;
    const std::string sim = Script("SIM.EXE", dir.File("sim.args"));
    const std::string linker = Script("link", dir.File("link.args"));
    Tool("Ассемблер", "cc");
    Tool("Линкер", linker);
    Tool("Программа запуска", sim);
    Tool("Расширение файла компилятора", ".ASM");
    Tool("Расширение объектного файла", ".OBJ");
    Tool("Расширение скомпилированного файла", ".HEX");
    auto frame = MakeFrame();
    const std::string source = dir.File("A.ASM");
    OpenSource(*frame, source, "nop");
    editors.back()->SetText("unsaved");
    frame->N16Click();
    frame->SpeedButton12Click();
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(dir.File("link.args")); }));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(dir.File("sim.args")); }));
    EXPECT_EQ(Lines(ReadFileBytes(dir.File("link.args"))), std::vector{dir.File("A.OBJ")});
    EXPECT_EQ(Lines(ReadFileBytes(dir.File("sim.args"))), std::vector{dir.File("A.HEX")});
    EXPECT_EQ(ReadFileBytes(source), "nop") << "nothing is saved before linking";

    // No run program: only an .EXE runs, and then by itself.
    Tool("Программа запуска", "");
    frame->AboutBoxCr();
    Script("A.HEX", dir.File("hex.args"));
    frame->SpeedButton12Click();
    Tool("Расширение скомпилированного файла", ".EXE");
    frame->AboutBoxCr();
    Script("A.EXE", dir.File("exe.args"));
    frame->SpeedButton12Click();
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(dir.File("exe.args")); }));
    EXPECT_EQ(ReadFileBytes(dir.File("exe.args")), "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("hex.args")));

    Tool("Линкер", dir.File("no linker"));
    frame->AboutBoxCr();
    dialogs.AnswerMessage(MsgResult::OK);
    frame->N16Click();
    ASSERT_EQ(dialogs.RequestsOf(DialogKind::MessageBox).size(), 1u);
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::MessageBox)[0].text, "Линкер не найден!!!");

    // Run a file: offered the last one, written back only when confirmed.
    const std::string tool = Script("tool", dir.File("tool.args"));
    ProfileFile(IniPath()).WriteString("RUNEXE", "Программа", "previous");
    dialogs.AnswerInput(tool + " one two");
    frame->DOS1Click();
    const auto inputs = dialogs.RequestsOf(DialogKind::InputBox);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].caption, "Выполнение файла");
    EXPECT_EQ(inputs[0].text, "Введите имя и путь (если нужно) файла");
    EXPECT_EQ(inputs[0].value, "previous");
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(dir.File("tool.args")); }));
    EXPECT_EQ(Lines(ReadFileBytes(dir.File("tool.args"))),
              (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ProfileFile(IniPath()).ReadString("RUNEXE", "Программа", ""), tool + " one two");
    dialogs.AnswerInput(std::nullopt);
    frame->DOS1Click();
    EXPECT_EQ(ProfileFile(IniPath()).ReadString("RUNEXE", "Программа", ""), tool + " one two");
}

TEST_F(BuildToolsTest, NamesReachTheCompilerAsWordsAndNeverThroughAShell) {
    ScriptedDialogs dialogs;
    const std::string log = dir.File("args");
    Tool("Ассемблер", Script("cc", log) + " -l");
    Tool("Расширение файла компилятора", ".ASM");
    auto frame = MakeFrame();
    std::filesystem::create_directory(dir.File("my src"));
    const std::string spaced = dir.File("my src/A.ASM");
    OpenSource(*frame, spaced, "nop");
    frame->N14Click();
    // No quotes are added: the path with a space arrives as two words.
    EXPECT_EQ(Lines(ReadFileBytes(log)),
              (std::vector<std::string>{"-l", dir.File("my"), "src/A.ASM"}));

    const std::string tricky = dir.File("a;>pwned$(>pwned2)`>pwned3`.ASM");
    OpenSource(*frame, tricky, "nop");
    std::filesystem::remove(log);
    frame->N14Click();
    EXPECT_EQ(Lines(ReadFileBytes(log)), (std::vector<std::string>{"-l", tricky}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("pwned")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("pwned2")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("pwned3")));
}

TEST_F(BuildToolsTest, SiblingProgramsThatCannotStart) {
    ScriptedDialogs dialogs;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.File("empty").c_str());
    auto frame = MakeFrame();
    dialogs.AnswerMessage(MsgResult::OK);
    frame->N81Click();
    ASSERT_TRUE(frame->Item("N28")->isEnabled());
    frame->N28Click(); // reported by nothing, but the item is off
    qputenv("PATH", path);
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].text, "Numbrix.exe не найден!!!");
    EXPECT_FALSE(frame->Item("N28")->isEnabled());
}

TEST_F(BuildToolsTest, TheSearchProgramsMessagesOpenFilesAndSwitchItsItem) {
    SiblingChannel searchProgram;
    ASSERT_TRUE(searchProgram.Listen(SiblingChannel::SearchProgramSocket()));
    int activations = 0;
    QObject::connect(&searchProgram, &SiblingChannel::MessageReceived,
                     [&](int message, int first, int second) {
                         if (message == 1186 && first == 0 && second == 0) ++activations;
                     });
    const std::string file = dir.File("found.txt");
    WriteFileBytes(file, "found it");
    auto frame = MakeFrame();
    QAction* n28 = frame->Item("N28");
    // Let the frame's own activation message go by first.
    WaitFor([] { return false; }, 300);
    activations = 0;

    ASSERT_TRUE(SiblingChannel::Send({1187, 0, 0}, SiblingChannel::FrameSocket()));
    ASSERT_TRUE(WaitFor([&] { return !n28->isEnabled() && activations == 1; }));
    SiblingChannel::Send({1185, 0, 0}, SiblingChannel::FrameSocket());
    ASSERT_TRUE(WaitFor([&] { return n28->isEnabled(); }));

    {
        TRegistry registry;
        registry.OpenKey("\\OpenFileLorvane\\Findorax", true);
        registry.WriteString("Parameter", file);
    }
    SiblingChannel::Send({1184, 0, 0}, SiblingChannel::FrameSocket());
    ASSERT_TRUE(WaitFor([&] { return frame->Children().size() == 1u && activations == 2; }));
    EXPECT_FALSE(n28->isEnabled());
    EXPECT_EQ(frame->ActiveChild()->Caption(), file);
    EXPECT_EQ(editors.back()->Text(), "found it");
    EXPECT_EQ(frame->FileMenuOpens1().Entries().at(0), file);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\OpenFileLorvane\\Findorax", false));
    EXPECT_EQ(registry.ReadString("Parameter"), "");

    // An open request with nothing waiting opens nothing.
    SiblingChannel::Send({1184, 0, 0}, SiblingChannel::FrameSocket());
    ASSERT_TRUE(WaitFor([&] { return activations == 3; }));
    EXPECT_EQ(frame->Children().size(), 1u);
}

} // namespace
} // namespace lorvane
