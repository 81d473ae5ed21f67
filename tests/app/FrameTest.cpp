// The main frame: command state, the first activation, the file commands
// and the close-all pass, driven through the scripted dialogs with stand-in
// editors.
#include "FakeEditor.h"
#include "app/HandOver.h"
#include "app/MainForm.h"
#include "components/FileMO.h"
#include "components/JustOne.h"
#include "platform/ErrorHandler.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace lorvane {
namespace {

using test::FakeEditor;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(IniPath());
        std::filesystem::remove(paths::ResolveBareName("HKEY_CURRENT_USER.reg"));
        SharedFlags() = TSharedDocumentFlags{};
    }

    std::unique_ptr<TMainFormLorvane> MakeFrame(std::vector<std::string> parameters = {}) {
        auto frame = std::make_unique<TMainFormLorvane>(
            [this] {
                auto editor = std::make_unique<FakeEditor>();
                editors.push_back(editor.get());
                return editor;
            },
            std::move(parameters));
        frame->show();
        return frame;
    }

    static std::string IniPath() { return Settings().SettingsFilePath(); }

    static void WriteSetting(const char* section, const char* key, const std::string& value) {
        ProfileFile ini(IniPath());
        ini.WriteString(section, key, value);
    }

    static bool On(TMainFormLorvane& f, const char* item) { return f.Item(item)->isEnabled(); }
    static bool OnButton(TMainFormLorvane& f, const char* b) { return f.Button(b)->isEnabled(); }

    std::vector<FakeEditor*> editors;
    TempDir dir;
};

TEST_F(FrameTest, MenusCarryTheirCaptionsShortcutsAndHints) {
    auto frame = MakeFrame();
    EXPECT_EQ(frame->windowTitle().toStdString(), "Текстовый редактор Lorvane");
    EXPECT_EQ(frame->Menu("File1")->title().toStdString(), "&1 Файлы");
    EXPECT_EQ(frame->Item("FileSaveAsItem")->text().toStdString(), "&5 Записать как...");
    EXPECT_EQ(frame->Item("FileSaveAsItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
    EXPECT_EQ(frame->Item("N3")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(frame->Item("FileExitItem")->shortcut(), QKeySequence(Qt::Key_Escape));
    EXPECT_EQ(frame->Item("Redo1")->shortcut(),
              QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_Backspace));
    EXPECT_FALSE(frame->Item("N27")->isVisible());
    EXPECT_EQ(frame->Button("SpeedButton15")->text(), "DOS");
    EXPECT_TRUE(frame->Button("SpeedButton3")->isChecked());
    // Separators where the menus group their items.
    const auto actions = frame->Menu("File1")->actions();
    EXPECT_TRUE(actions.at(9)->isSeparator());
    EXPECT_EQ(actions.at(10)->objectName(), "FileExitItem");
    // The hint goes to the status bar.
    frame->ShowHint(QStringLiteral("Open an existing file"));
    EXPECT_EQ(frame->StatusBar1()->currentMessage(), "Open an existing file");
}

TEST_F(FrameTest, EnablingFollowsTheNumberOfWindows) {
    auto frame = MakeFrame();
    frame->UpdateMenuItems();
    for (const char* item : {"FileCloseItem", "FileSaveItem", "Search1", "Fonts1", "N7",
                             "WindowArrangeItem", "WindowCascadeItem", "OEM1", "Ansi1"})
        EXPECT_FALSE(On(*frame, item)) << item;
    for (const char* item : {"FileNewItem", "FileOpenItem", "FileExitItem", "HelpAboutItem"})
        EXPECT_TRUE(On(*frame, item)) << item;
    EXPECT_FALSE(OnButton(*frame, "SaveBtn"));
    EXPECT_FALSE(OnButton(*frame, "SpeedButton15"));
    EXPECT_TRUE(OnButton(*frame, "OpenBtn"));

    frame->FileNewItemClick();
    frame->UpdateMenuItems();
    for (const char* item : {"FileCloseItem", "FileSaveItem", "Search1", "Fonts1", "N7",
                             "WindowArrangeItem", "WindowMinimizeItem", "OEM1", "Ansi1"})
        EXPECT_TRUE(On(*frame, item)) << item;
    EXPECT_FALSE(On(*frame, "WindowCascadeItem"));
    EXPECT_FALSE(On(*frame, "WindowTileItem"));
    EXPECT_FALSE(On(*frame, "CopyItem"));
    EXPECT_TRUE(OnButton(*frame, "SaveBtn"));

    frame->FileNewItemClick();
    editors.back()->selection = true;
    QApplication::clipboard()->setText(QStringLiteral("x"));
    frame->UpdateMenuItems();
    frame->UpdateMenuItems();
    EXPECT_TRUE(On(*frame, "PasteItem"));
    EXPECT_TRUE(OnButton(*frame, "PasteBtn"));
    EXPECT_TRUE(On(*frame, "WindowCascadeItem"));
    EXPECT_TRUE(On(*frame, "WindowTileItem"));
    EXPECT_TRUE(On(*frame, "CopyItem"));
    EXPECT_TRUE(OnButton(*frame, "CutBtn"));
    EXPECT_EQ(frame->Children().size(), 2u);
    EXPECT_EQ(frame->ActiveChild()->Caption(), "Untitled");
}

TEST_F(FrameTest, TerminalFontSwapsTheCodePageButtonsForPseudoGraphics) {
    auto frame = MakeFrame();
    frame->FileNewItemClick();
    SharedFlags().ActiveDosMode = true;
    frame->ActiveChild()->DosMode = 1;
    frame->UpdateMenuItems();
    EXPECT_TRUE(frame->Button("SpeedButton15")->isChecked());
    EXPECT_TRUE(frame->Item("OEM1")->isChecked());
    EXPECT_FALSE(OnButton(*frame, "SpeedButton16")); // KOI8 off while DOS is on
    EXPECT_FALSE(On(*frame, "N36"));

    // The status update in one pass feeds the code-page rules of the next,
    // as idle passes follow each other.
    editors.back()->SetFont(LogicalFont{"Terminal", 0, 10, 0, true});
    frame->UpdateMenuItems();
    frame->UpdateMenuItems();
    EXPECT_FALSE(On(*frame, "OEM1"));
    EXPECT_FALSE(On(*frame, "Ansi1"));
    EXPECT_FALSE(OnButton(*frame, "SpeedButton15"));
    EXPECT_TRUE(On(*frame, "N36"));
    frame->Item("N36")->setChecked(true);

    editors.back()->SetFont(LogicalFont{"System", 0, 10, 0, true});
    frame->UpdateMenuItems();
    frame->UpdateMenuItems();
    EXPECT_FALSE(On(*frame, "N36"));
    EXPECT_FALSE(frame->Item("N36")->isChecked());
    EXPECT_TRUE(On(*frame, "OEM1"));
}

TEST_F(FrameTest, CompileLinkAndRunFollowTheToolSettingsExactly) {
    WriteSetting("ASSEMBLER", "Ассемблер", "tasm");
    WriteSetting("ASSEMBLER", "Линкер", "tlink");
    WriteSetting("ASSEMBLER", "Расширение файла компилятора", ".ASM");
    WriteSetting("ASSEMBLER", "Расширение скомпилированного файла", ".COM");
    const std::string source = dir.File("prog.asm");
    WriteFileBytes(source, "mov ax,1\r\n");
    auto frame = MakeFrame();
    frame->AboutBoxCr();
    frame->FileOpenAll(source);
    frame->UpdateMenuItems();
    EXPECT_EQ(SharedFlags().CurrentExtension, ".ASM");
    EXPECT_TRUE(On(*frame, "N14"));
    EXPECT_TRUE(On(*frame, "N16"));
    EXPECT_FALSE(On(*frame, "N19")); // no run program, and .COM is not .EXE
    EXPECT_FALSE(OnButton(*frame, "SpeedButton12"));

    // Compared as stored: a lower-case setting never matches.
    WriteSetting("ASSEMBLER", "Расширение файла компилятора", ".asm");
    WriteSetting("ASSEMBLER", "Расширение скомпилированного файла", ".EXE");
    frame->UpdateMenuItems();
    EXPECT_TRUE(On(*frame, "N14")) << "hand edits wait for the next activation";
    frame->AboutBoxCr();
    frame->UpdateMenuItems();
    EXPECT_FALSE(On(*frame, "N14"));
    EXPECT_FALSE(OnButton(*frame, "SpeedButton9"));
    EXPECT_FALSE(On(*frame, "N19"));

    WriteSetting("ASSEMBLER", "Расширение файла компилятора", ".ASM");
    frame->AboutBoxCr();
    frame->UpdateMenuItems();
    EXPECT_TRUE(On(*frame, "N19")); // .EXE: run follows compile
    WriteSetting("ASSEMBLER", "Ассемблер", "");
    frame->AboutBoxCr();
    frame->UpdateMenuItems();
    EXPECT_FALSE(On(*frame, "N14"));
    EXPECT_FALSE(On(*frame, "N19"));
    EXPECT_TRUE(On(*frame, "N16"));
}

TEST_F(FrameTest, FirstActivationOpensTheCommandLineOnceWithItsHalvesJoined) {
    std::filesystem::create_directories(dir.File("my docs"));
    const std::string file = dir.File("my docs/a b.txt");
    WriteFileBytes(file, "hello");
    {
        ProfileFile findorax(paths::ResolveBareName("FINDORAX.INI"));
        findorax.WriteString("Load", "FileName", "/elsewhere/x.pas");
    }
    // A name relative to the start directory is kept whole: the recent-files
    // list must lead to this file from any later start directory.
    const auto startDirectory = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    auto frame = MakeFrame({"my", "docs/a", "b.txt"});
    frame->AboutBoxCr();
    std::filesystem::current_path(startDirectory);
    ASSERT_EQ(frame->Children().size(), 1u);
    TMDIChild* window = frame->Children()[0];
    EXPECT_EQ(window->Caption(), file);
    EXPECT_EQ(window->FileName, file);
    EXPECT_EQ(editors[0]->Text(), "hello");
    EXPECT_FALSE(editors[0]->Modified());
    EXPECT_EQ(SharedFlags().CurrentExtension, ".TXT");
    EXPECT_EQ(frame->FileMenuOpens1().Entries().at(0), file);
    ProfileFile findorax(paths::ResolveBareName("FINDORAX.INI"));
    EXPECT_EQ(findorax.ReadString("Load", "FileName", "?"), "");
    frame->AboutBoxCr();
    EXPECT_EQ(frame->Children().size(), 1u);
}

TEST_F(FrameTest, AMissingCommandLineFileIsReportedAndLeavesNoWindow) {
    std::vector<std::string> errors;
    TApplication::SetReporter([&](const std::string& text) { errors.push_back(text); });
    auto frame = MakeFrame({dir.File("nothing.txt")});
    frame->AboutBoxCr();
    QApplication::processEvents();
    TApplication::SetReporter({});
    // An empty window left behind could be saved over a file of that name.
    EXPECT_TRUE(frame->Children().empty());
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(FrameTest, NewDocumentsTakeTheSettingsFileLookAsItIsThen) {
    auto frame = MakeFrame();
    frame->FileNewItemClick();
    EXPECT_EQ(editors[0]->Font().name, "System");
    WriteSetting("COLORS", "Цвет фона", "0xFF0000");
    WriteSetting("FONT", "Имя шрифта", "Terminal");
    WriteSetting("FONT", "Размер шрифта", "14");
    frame->FileNewItemClick();
    EXPECT_EQ(editors[1]->Color(), clBlue);
    EXPECT_EQ(editors[1]->Font().name, "Terminal");
    EXPECT_EQ(editors[1]->Font().size, 14);
    EXPECT_EQ(editors[1]->Font().height, 0);
}

TEST_F(FrameTest, OpenOffersTheWorkingFiltersAndRecentFilesKeepFive) {
    ScriptedDialogs dialogs;
    auto frame = MakeFrame();
    std::vector<std::string> files;
    for (int i = 1; i <= 6; ++i) {
        files.push_back(dir.File("f" + std::to_string(i) + (i == 6 ? "" : ".pas")));
        WriteFileBytes(files.back(), "text " + std::to_string(i));
        dialogs.AnswerOpen(files.back());
        frame->FileOpenItemClick();
    }
    const auto requests = dialogs.RequestsOf(DialogKind::OpenFile);
    EXPECT_EQ(requests.at(0).file.filter,
              "Рабочие файлы(*;*.TXT;*.P)|*;*.TXT;*.P|Текстовые файлы(*.P; *.TXT; *.DOC; *.INI; "
              "*.INF; *.LST; *.ASM; *.PIC; *.POD)|*.P; *.TXT; *.DOC; *.INI; *.INF; *.LST; *.ASM; "
              "*.PIC; *.POD|Все файлы (*.*)|*.*");
    EXPECT_EQ(requests.at(1).file.filter.rfind("Рабочие файлы(*;*.pas;*.P)|", 0), 0u);
    EXPECT_EQ(requests.at(1).file.fileName, files[0]);
    ASSERT_EQ(frame->Children().size(), 6u);
    EXPECT_EQ(editors[5]->Text(), "text 6");
    EXPECT_EQ(frame->FileMenuOpens1().Entries(),
              (std::vector<std::string>{files[5], files[4], files[3], files[2], files[1]}));
    EXPECT_EQ(frame->FileMenuOpens1().ShownCount(), 5);

    // The menu entry opens its file by name.
    QAction* entry = nullptr;
    for (QAction* a : frame->Menu("File1")->actions())
        if (TFileMenuOpens::FileNameOf(a) == files[2]) entry = a;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    ASSERT_EQ(frame->Children().size(), 7u);
    EXPECT_EQ(frame->ActiveChild()->Caption(), files[2]);
    EXPECT_EQ(editors.back()->Text(), "text 3");
}

TEST_F(FrameTest, SaveAsksAboutUnchangedTextAndNamesUntitledOnes) {
    ScriptedDialogs dialogs;
    auto frame = MakeFrame();
    const std::string file = dir.File("same.txt");
    WriteFileBytes(file, "unchanged");
    frame->FileOpenAll(file);
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_FALSE(frame->FileSaveItemClick());
    EXPECT_EQ(dialogs.Requests().at(0).text,
              "Текст в файле " + file + " не был изменен. Сохранить под другим именем?");
    EXPECT_FALSE(std::filesystem::exists(dir.File("same.BAK")));

    frame->FileNewItemClick();
    editors.back()->SetText("new text");
    dialogs.AnswerSave(dir.File("prog"));
    EXPECT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::SaveFile).at(0).file.fileName, "Untitled");
    EXPECT_EQ(ReadFileBytes(dir.File("prog.TXT")), "new text");
    EXPECT_EQ(frame->ActiveChild()->Caption(), dir.File("prog.TXT"));
    EXPECT_EQ(SharedFlags().CurrentExtension, ".TXT");
    EXPECT_FALSE(editors.back()->Modified());
    EXPECT_EQ(frame->FileMenuOpens1().Entries().at(0), dir.File("prog.TXT"));
}

TEST_F(FrameTest, AnAddedExtensionDoesNotSlipPastTheOverwriteQuestion) {
    // The save dialog asked about "prog"; "prog.TXT" is another, existing file.
    ScriptedDialogs dialogs;
    auto frame = MakeFrame();
    const std::string kept = dir.File("prog.TXT");
    WriteFileBytes(kept, "precious");
    frame->FileNewItemClick();
    editors.back()->SetText("new text");
    dialogs.AnswerSave(dir.File("prog"));
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_FALSE(frame->FileSaveAsItemClick());
    EXPECT_EQ(ReadFileBytes(kept), "precious");
    EXPECT_TRUE(editors.back()->Modified());
    EXPECT_TRUE(frame->ActiveChild()->IsUntitled());
    dialogs.AnswerSave(dir.File("prog"));
    dialogs.AnswerMessage(MsgResult::Yes);
    EXPECT_TRUE(frame->FileSaveAsItemClick());
    EXPECT_EQ(ReadFileBytes(kept), "new text");
    const auto questions = dialogs.RequestsOf(DialogKind::MessageBox);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].text, "Файл " + kept + " уже существует. Заменить?");
}

TEST_F(FrameTest, ANameInAnotherCodePageIsSavedUnderItselfNotUnderItsDisplay) {
    // "прог" in Windows-1251: file names of that era are no UTF-8.
    ScriptedDialogs dialogs;
    auto frame = MakeFrame();
    const std::string file = dir.File("\xEF\xF0\xEE\xE3.asm");
    WriteFileBytes(file, "old");
    frame->FileOpenAll(file);
    EXPECT_EQ(frame->ActiveChild()->Caption(), file);
    editors.back()->SetText("new");
    EXPECT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(file), "new");
    EXPECT_EQ(ReadFileBytes(dir.File("\xEF\xF0\xEE\xE3.BAK")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
    // The recent-files entry leads back to the same file.
    frame->FileMenuOpens1().AddFile(file);
    frame->Menu("File1")->findChild<QAction*>("FileOpen1")->trigger();
    EXPECT_EQ(frame->ActiveChild()->Caption(), file);
    EXPECT_EQ(editors.back()->Text(), "new");
}

TEST_F(FrameTest, BackupSwitchIsStoredAndStopsBackups) {
    // The checkable item and button flip themselves: the command must
    // switch once, not back again.
    auto frame = MakeFrame();
    frame->Item("NoBAT1")->trigger();
    frame->UpdateMenuItems();
    EXPECT_TRUE(frame->Item("NoBAT1")->isChecked());
    EXPECT_TRUE(frame->Button("SpeedButton14")->isChecked());
    EXPECT_TRUE(SharedFlags().NoBackupFlag);
    ProfileFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("NOBAK", "Не создавать .BAK файл", ""), "1");
    const std::string file = dir.File("n.txt");
    WriteFileBytes(file, "old");
    frame->FileOpenAll(file);
    editors.back()->SetText("new");
    EXPECT_TRUE(frame->FileSaveItemClick());
    EXPECT_FALSE(std::filesystem::exists(dir.File("n.BAK")));
    frame->Button("SpeedButton14")->click();
    frame->UpdateMenuItems();
    EXPECT_FALSE(frame->Item("NoBAT1")->isChecked());
    EXPECT_FALSE(frame->Button("SpeedButton14")->isChecked());
    EXPECT_EQ(ProfileFile(IniPath()).ReadString("NOBAK", "Не создавать .BAK файл", ""), "0");
}

TEST_F(FrameTest, AFailedSaveKeepsTheFileAndTheFlag) {
    std::vector<std::string> errors;
    TApplication::SetReporter([&](const std::string& text) { errors.push_back(text); });
    auto frame = MakeFrame();
    const std::string file = dir.File("full.txt");
    WriteFileBytes(file, "previous");
    frame->FileOpenAll(file);
    editors.back()->SetText("new");
    editors.back()->failSaves = true;
    EXPECT_FALSE(frame->FileSaveItemClick());
    TApplication::SetReporter({});
    EXPECT_EQ(ReadFileBytes(file), "previous");
    EXPECT_FALSE(std::filesystem::exists(dir.File("full.BAK")));
    EXPECT_TRUE(editors.back()->Modified());
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(FrameTest, CloseAsksOnceAndACancelledSaveKeepsTheWindow) {
    ScriptedDialogs dialogs;
    auto frame = MakeFrame();
    frame->FileNewItemClick();
    editors.back()->SetText("draft");
    dialogs.AnswerMessage(MsgResult::Yes);
    dialogs.AnswerSave(std::nullopt);
    frame->FileCloseItemClick();
    EXPECT_EQ(frame->Children().size(), 1u);
    EXPECT_EQ(editors.back()->Text(), "draft");
    EXPECT_TRUE(editors.back()->Modified());

    dialogs.AnswerMessage(MsgResult::No);
    frame->FileCloseItemClick();
    EXPECT_EQ(frame->OpenDialogFileName(), "без имени");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame->Children().empty());
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::MessageBox).size(), 2u);
}

TEST_F(FrameTest, ClosingTheProgramAsksPerWindowInOrderAndCancelKeepsAll) {
    ScriptedDialogs dialogs;
    auto frame = MakeFrame();
    const std::string a = dir.File("a.txt");
    const std::string b = dir.File("b.txt");
    WriteFileBytes(a, "A");
    WriteFileBytes(b, "B");
    frame->FileOpenAll(a);
    editors.back()->SetText("A2");
    frame->FileOpenAll(b);
    editors.back()->SetText("B2");

    dialogs.AnswerMessage(MsgResult::Yes);
    dialogs.AnswerMessage(MsgResult::Cancel);
    EXPECT_FALSE(frame->close());
    const auto questions = dialogs.RequestsOf(DialogKind::MessageBox);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].text, "Текст в файле " + a + " был изменен. Сохранить?");
    EXPECT_EQ(questions[1].text, "Текст в файле " + b + " был изменен. Сохранить?");
    EXPECT_EQ(frame->Children().size(), 2u);
    EXPECT_EQ(ReadFileBytes(a), "A2");
    EXPECT_TRUE(editors[1]->Modified());
    EXPECT_FALSE(frame->CloseAllActive());

    // A later Save acts on the active window.
    editors[1]->SetText("B3");
    EXPECT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(b), "B3");

    // No on the first and Cancel on the second: the program stays, and the
    // first text, which is in no file, is still marked and asked about.
    editors[0]->SetText("A4");
    editors[1]->SetText("B4");
    dialogs.AnswerMessage(MsgResult::No);
    dialogs.AnswerMessage(MsgResult::Cancel);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(editors[0]->Modified());
    EXPECT_TRUE(editors[1]->Modified());

    dialogs.AnswerMessage(MsgResult::No);
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(ReadFileBytes(a), "A2");
}

TEST_F(FrameTest, TheFramesOwnPassSavesTheWindowItAsksAbout) {
    // Texts modified behind the windows' own questions reach the frame's
    // pass; Yes there saves the asked window, in that window's own mode.
    ScriptedDialogs dialogs;
    auto frame = MakeFrame();
    const std::string a = dir.File("a.txt");
    WriteFileBytes(a, "A");
    frame->FileOpenAll(a);
    TMDIChild* first = frame->ActiveChild();
    first->DosMode = 1;
    frame->FileNewItemClick();
    editors[0]->SetText("\xC0");
    dialogs.AnswerMessage(MsgResult::Yes);
    EXPECT_TRUE(frame->FileCloseWinees(first));
    EXPECT_EQ(ReadFileBytes(a), "\x80");
    EXPECT_FALSE(editors[0]->Modified());

    editors[0]->SetText("\xC1");
    editors[1]->SetText("new");
    dialogs.AnswerMessage(MsgResult::Yes); // window 0
    dialogs.AnswerMessage(MsgResult::Yes); // window 1, untitled
    dialogs.AnswerSave(std::nullopt);
    EXPECT_FALSE(frame->FormCloseQuery());
    EXPECT_EQ(ReadFileBytes(a), "\x81");
    EXPECT_EQ(frame->Children().size(), 2u);
    EXPECT_TRUE(editors[1]->Modified());
    EXPECT_EQ(editors[1]->Text(), "new");
}

TEST_F(FrameTest, StartsAtOneMomentHandEveryFileToTheFirstOnce) {
    // Ten later starts of the real program at once, as a file manager opens
    // ten chosen files: every file opens once. One start gives a name split
    // at its blank and relative to its own directory, one a name that is
    // not UTF-8 ("прог" in Windows-1251).
    auto frame = MakeFrame();
    ASSERT_TRUE(frame->XJustOne1().IsFirstInstance());
    // More rounds on request (LORVANE_HANDOVER_ROUNDS); one under the
    // sanitizers, where each start costs several times as much.
    const char* roundsText = std::getenv("LORVANE_HANDOVER_ROUNDS");
#ifdef __SANITIZE_ADDRESS__
    const int defaultRounds = 1;
#else
    const int defaultRounds = 2;
#endif
    const int rounds = roundsText ? std::atoi(roundsText) : defaultRounds;
    constexpr int kStarts = 10;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::string> files;
        std::vector<std::vector<std::string>> arguments;
        for (int i = 0; i < kStarts; ++i) {
            const std::string r = "r" + std::to_string(round);
            const std::string name = i == 0   ? r + " split.asm"
                                     : i == 1 ? r + "\xEF\xF0\xEE\xE3.asm"
                                              : r + "_" + std::to_string(i) + ".asm";
            files.push_back(dir.File(name));
            WriteFileBytes(files.back(), name);
            arguments.push_back(i == 0 ? std::vector<std::string>{r, "split.asm"}
                                       : std::vector<std::string>{files.back()});
        }
        std::vector<pid_t> starts;
        for (const auto& args : arguments) {
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                std::vector<char*> argv{const_cast<char*>(LORVANE_PROGRAM)};
                for (const std::string& arg : args)
                    argv.push_back(const_cast<char*>(arg.c_str()));
                argv.push_back(nullptr);
                if (::chdir(dir.path().c_str()) == 0) ::execv(LORVANE_PROGRAM, argv.data());
                ::_exit(127);
            }
            starts.push_back(pid);
        }
        for (const pid_t pid : starts) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        // Every start has ended, so everything it sent is on its way; the
        // idle passes take it in.
        const auto settled = [&] {
            frame->MyAppIdle();
            return frame->Children().size() >= kStarts;
        };
        EXPECT_TRUE(QTest::qWaitFor(settled, 30000));
        QTest::qWait(50);
        frame->MyAppIdle();
        std::vector<std::string> opened;
        for (TMDIChild* window : frame->Children())
            opened.push_back(window->Caption());
        std::vector<std::string> expected = files;
        std::sort(opened.begin(), opened.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(opened, expected);
        // The recent-files list took every one: its five are the last five
        // opened, the most recent first.
        std::vector<std::string> lastFive;
        const auto children = frame->Children();
        for (auto it = children.rbegin(); it != children.rend() && lastFive.size() < 5; ++it)
            lastFive.push_back((*it)->Caption());
        EXPECT_EQ(frame->FileMenuOpens1().Entries(), lastFive);
        EXPECT_EQ(frame->FileMenuOpens1().ShownCount(), 5);
        for (TMDIChild* window : children)
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(frame->Children().empty());
    }
}

TEST_F(FrameTest, ARegistryFileWithAnUnreadableLineKeepsTheRestAndSaysWhereItWent) {
    const std::string registry = paths::ResolveBareName("HKEY_CURRENT_USER.reg");
    std::filesystem::remove(registry + ".corrupt");
    WriteFileBytes(registry, "REGEDIT4\n[HKEY_CURRENT_USER\\OpenFileLorvane\\History]\n"
                             "\"FileOpen1\"=\"/a.asm\"\n\"FileOpen2\"=\"/b.as\n"
                             "\"FileOpen3\"=\"/c.asm\"\n");
    ScriptedDialogs dialogs;
    dialogs.AnswerMessage(MsgResult::OK);
    auto frame = MakeFrame();
    frame->MyAppIdle();
    frame->MyAppIdle();
    EXPECT_EQ(frame->FileMenuOpens1().Entries(),
              (std::vector<std::string>{"/a.asm", "", "/c.asm", "", ""}));
    EXPECT_EQ(frame->FileMenuOpens1().ShownCount(), 2);
    const auto told = dialogs.RequestsOf(DialogKind::MessageBox);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].text.find(registry + ".corrupt"), std::string::npos) << told[0].text;
    EXPECT_TRUE(std::filesystem::exists(registry + ".corrupt"));
}

TEST_F(FrameTest, IconsFillRowsUpwardsAndEveryStatusLineIsCurrent) {
    auto frame = MakeFrame();
    frame->resize(500, 400);
    for (int i = 0; i < 14; ++i)
        frame->FileNewItemClick();
    frame->WindowMinimizeItemClick();
    frame->WindowArrangeItemClick();
    const QRect area = frame->MdiArea()->viewport()->rect();
    std::vector<QRect> icons;
    for (TMDIChild* child : frame->Children()) {
        ASSERT_TRUE(child->isMinimized());
        const QRect icon = child->geometry();
        EXPECT_TRUE(area.contains(icon)) << icon.x() << "," << icon.y();
        for (const QRect& other : icons)
            EXPECT_FALSE(icon.intersects(other)) << icon.x() << "," << icon.y();
        icons.push_back(icon);
    }
    EXPECT_LT(icons.back().y(), icons.front().y()) << "more than one row";

    // A window behind the active one shows its own figures, not stale ones.
    frame->Children()[0]->showNormal();
    frame->Children()[1]->showNormal();
    frame->MdiArea()->setActiveSubWindow(frame->Children()[1]);
    editors[0]->SetText("abc");
    frame->UpdateMenuItems();
    EXPECT_EQ(frame->Children()[0]->PanelText(1).toStdString(), StatusText(0, 0, 1, 3));
    EXPECT_EQ(frame->Children()[0]->PanelText(0), QStringLiteral("*"));
}

TEST_F(FrameTest, WindowsOpenWhereTheyWereOrSizedForTheirWorkOnTheFirstStart) {
    // First start: the frame suits the screen, a document window shows 80
    // columns by 25 lines of its font.
    auto frame = MakeFrame();
    const QRect screen = frame->screen()->availableGeometry();
    EXPECT_GE(frame->width(), screen.width() * 3 / 4 - 1);
    EXPECT_GE(frame->height(), screen.height() * 3 / 4 - 1);
    frame->resize(screen.size());
    frame->FileNewItemClick();
    const QFontMetrics metrics(MakeFont(editors.back()->Font()));
    const QSize shown = editors.back()->Widget()->size();
    EXPECT_GE(shown.width(), metrics.horizontalAdvance(QLatin1Char('M')) * 80);
    EXPECT_GE(shown.height(), metrics.lineSpacing() * 25);
    // The next one steps down and right of it, whole inside the area.
    frame->FileNewItemClick();
    const QRect room = frame->MdiArea()->viewport()->rect();
    const TMDIChild* first = frame->Children()[0];
    const TMDIChild* second = frame->Children()[1];
    EXPECT_TRUE(room.contains(second->geometry())) << "stays on the area";
    EXPECT_GT(second->x(), first->x());
    EXPECT_GT(second->y(), first->y());

    // Stored: the place as well as the size, and a minimised state once
    // the window is shown.
    for (const std::uint8_t state : {0, 1}) {
        {
            TRegistry registry;
            registry.OpenKey("\\OpenFileLorvane\\Child", true);
            for (const auto& [name, value] :
                 {std::pair{"RCLeft", 37}, {"RCTop", 41}, {"RCWidth", 300}, {"RCHeight", 200}})
                registry.WriteInteger(name, value);
            registry.WriteBinaryData("RCWindowState", &state, 1);
        }
        frame->FileNewItemClick();
        QTest::qWait(20);
        TMDIChild* window = frame->ActiveChild();
        EXPECT_EQ(window->isMinimized(), state == 1);
        if (state == 0) {
            EXPECT_EQ(window->geometry(), QRect(37, 41, 300, 200));
        }
    }
}

TEST_F(FrameTest, SeveralFilesOpenEachInItsWindowFromTheStartOrASecondStart) {
    const std::string one = dir.File("--one.asm"), two = dir.File("two.asm");
    WriteFileBytes(one, "1");
    WriteFileBytes(two, "2");
    std::vector<std::string> errors;
    TApplication::SetReporter([&](const std::string& text) { errors.push_back(text); });
    // A missing file in the middle is reported; the others still open.
    auto frame = MakeFrame({JoinNames(std::vector<std::string>{one, dir.File("gone"), two})});
    frame->AboutBoxCr();
    TApplication::SetReporter({});
    ASSERT_EQ(frame->Children().size(), 2u);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(frame->Children()[1]->Memo1().Text(), "2");

    // A second start with the names after "--", relative to its directory.
    QProcess second;
    second.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    second.start(QStringLiteral(LORVANE_PROGRAM), {"--", "--one.asm", "two.asm"});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    frame->UpdateMenuItems();
    ASSERT_EQ(frame->Children().size(), 4u);
    EXPECT_EQ(frame->Children()[2]->Caption(), one);
    EXPECT_EQ(frame->Children()[3]->Caption(), two);
}

TEST_F(FrameTest, WindowMenuListsTheWindows) {
    auto frame = MakeFrame();
    frame->FileNewItemClick();
    frame->FileNewItemClick();
    emit frame->Menu("Window1")->aboutToShow();
    int listed = 0;
    for (QAction* a : frame->Menu("Window1")->actions())
        if (a->text().endsWith(QStringLiteral("Untitled"))) ++listed;
    EXPECT_EQ(listed, 2);
}

} // namespace
} // namespace lorvane
