// The main frame on the real editor control: command state, the start and
// later starts, the file commands and the close-all pass, driven through
// the scripted dialogs.
#include "FrameFixture.h"
#include "app/HandOver.h"
#include "components/FileMO.h"
#include "components/JustOne.h"
#include "platform/Process.h"
#include "platform/Registry.h"

#include <QAction>
#include <QClipboard>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;
using Words = std::vector<std::string>;
namespace fs = std::filesystem;

class FrameTest : public test::FrameFixture {
protected:
    Words Captions() const {
        Words captions;
        for (TMDIChild* window : frame->Children())
            captions.push_back(window->Caption());
        return captions;
    }
    // Two idle passes: the status update of one feeds the code-page rules
    // of the next.
    void Idle() {
        frame->UpdateMenuItems();
        frame->UpdateMenuItems();
    }
};

TEST_F(FrameTest, EnablingFollowsTheWindowsAndTheSelection) {
    // The recent-files list goes in at a fixed place of the first menu.
    const auto actions = frame->Menu("File1")->actions();
    EXPECT_TRUE(actions.at(9)->isSeparator());
    EXPECT_EQ(actions.at(10)->objectName(), "FileExitItem");
    frame->UpdateMenuItems();
    for (const char* item : {"FileNewItem", "FileOpenItem", "FileExitItem", "HelpAboutItem"})
        EXPECT_TRUE(On(item)) << item;
    EXPECT_FALSE(OnButton("SpeedButton15"));
    EXPECT_TRUE(OnButton("OpenBtn"));
    for (const bool open : {false, true}) {
        if (open) NewDocument("some text");
        frame->UpdateMenuItems();
        for (const char* item : {"FileCloseItem", "FileSaveItem", "Search1", "Fonts1", "N7",
                                 "WindowArrangeItem", "OEM1", "Ansi1", "WindowMinimizeItem"})
            EXPECT_EQ(On(item), open) << item;
        EXPECT_EQ(OnButton("SaveBtn"), open);
        for (const char* item : {"WindowCascadeItem", "WindowTileItem"})
            EXPECT_FALSE(On(item)) << item;
    }

    // Cut and Copy follow a selection in either direction: Select All and a
    // drag forwards leave the caret at the far end, the length negative.
    NewDocument("one two three");
    struct Case {
        int start, length;
        bool enabled;
    };
    for (const Case& c : {Case{0, 0, false}, Case{13, -13, true}, Case{0, 5, true},
                          Case{4, -3, true}, Case{7, 0, false}}) {
        Editor().SetSelStart(c.start);
        Editor().SetSelLength(c.length);
        frame->UpdateMenuItems();
        for (const char* item : {"CutItem", "CopyItem"})
            EXPECT_EQ(On(item), c.enabled) << item << " " << c.length;
        for (const char* button : {"CutBtn", "CopyBtn"})
            EXPECT_EQ(OnButton(button), c.enabled) << button << " " << c.length;
    }
    Editor().SelectAll();
    QApplication::clipboard()->setText(QStringLiteral("x"));
    Idle();
    for (const char* item : {"PasteItem", "WindowCascadeItem", "WindowTileItem", "CopyItem"})
        EXPECT_TRUE(On(item)) << item;
    EXPECT_TRUE(OnButton("PasteBtn"));
}

TEST_F(FrameTest, TerminalFontSwapsTheCodePageButtonsForThePseudoGraphicsSwitch) {
    NewDocument("");
    SharedFlags().ActiveDosMode = true;
    frame->ActiveChild()->DosMode = 1;
    frame->UpdateMenuItems();
    EXPECT_TRUE(frame->Button("SpeedButton15")->isChecked());
    EXPECT_TRUE(frame->Item("OEM1")->isChecked());
    EXPECT_FALSE(On("N36"));
    const auto font = [&](const char* name) {
        Editor().SetFont(LogicalFont{name, 0, 10, 0, true});
        Idle();
    };
    QAction* n36 = frame->Item("N36");
    font("Terminal");
    EXPECT_FALSE(On("OEM1") || On("Ansi1") || OnButton("SpeedButton15"));
    EXPECT_TRUE(On("N36"));
    // Pseudo-graphics is one switch: the item stays as the command set it.
    for (const bool on : {true, false}) {
        n36->trigger();
        EXPECT_EQ(SharedFlags().PseudoGraphicsInput, on);
        EXPECT_EQ(n36->isChecked(), on);
        frame->UpdateMenuItems();
        EXPECT_EQ(n36->isChecked(), on);
    }
    n36->trigger();
    font("System");
    EXPECT_FALSE(On("N36") || n36->isChecked());
    EXPECT_TRUE(On("OEM1"));

    // A new window turns it off, whatever its font.
    font("Terminal");
    frame->N36Click();
    NewDocument("");
    font("Terminal");
    EXPECT_FALSE(SharedFlags().PseudoGraphicsInput || n36->isChecked());
}

TEST_F(FrameTest, CompileLinkAndRunFollowTheToolSettingsExactly) {
    WriteSetting("ASSEMBLER", "Линкер", "tlink");
    Open("prog.asm", "mov ax,1\r\n");
    EXPECT_EQ(SharedFlags().CurrentExtension, ".ASM");
    // Extensions are compared as stored: a lower-case setting never matches.
    const struct {
        const char *assembler, *source, *built;
        bool compile, link, run;
    } rows[] = {
        {"tasm", ".ASM", ".COM", true, true, false}, // no run program, and .COM is not .EXE
        {"tasm", ".asm", ".EXE", false, false, false},
        {"tasm", ".ASM", ".EXE", true, true, true}, // .EXE: run follows compile
        {"", ".ASM", ".EXE", false, true, false},
    };
    bool compiled = false;
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.assembler) + r.source + r.built);
        WriteSetting("ASSEMBLER", "Ассемблер", r.assembler);
        WriteSetting("ASSEMBLER", "Расширение файла компилятора", r.source);
        WriteSetting("ASSEMBLER", "Расширение скомпилированного файла", r.built);
        frame->UpdateMenuItems();
        EXPECT_EQ(On("N14"), compiled) << "hand edits wait for the next activation";
        frame->AboutBoxCr();
        frame->UpdateMenuItems();
        compiled = r.compile;
        EXPECT_EQ(On("N14"), r.compile);
        EXPECT_EQ(OnButton("SpeedButton9"), r.compile);
        EXPECT_EQ(On("N19"), r.run);
        EXPECT_EQ(OnButton("SpeedButton12"), r.run);
        EXPECT_EQ(On("N16"), r.link);
    }
}

TEST_F(FrameTest, TheStartsFilesOpenOnceEachInItsWindowWithSplitHalvesJoined) {
    // A missing file alone: reported, and no empty window left behind that
    // could be saved over a file of that name.
    MakeFrame({dir.File("nothing.txt")});
    frame->AboutBoxCr();
    QApplication::processEvents();
    EXPECT_TRUE(frame->Children().empty());
    EXPECT_EQ(TakeErrors().size(), 1u);
    // A missing file in the middle is reported; the others still open.
    const std::string one = dir.File("one.asm"), two = dir.File("two.asm");
    WriteFileBytes(one, "1");
    WriteFileBytes(two, "2");
    MakeFrame({JoinNames(Words{one, dir.File("gone"), two})});
    frame->AboutBoxCr();
    EXPECT_EQ(Captions(), (Words{one, two}));
    EXPECT_EQ(frame->Children()[1]->Memo1().Text(), "2");
    EXPECT_EQ(TakeErrors().size(), 1u);

    fs::create_directories(dir.File("my docs"));
    const std::string file = dir.File("my docs/a b.txt");
    WriteFileBytes(file, "hello");
    ProfileFile findorax(paths::ResolveBareName("FINDORAX.INI"));
    findorax.WriteString("Load", "FileName", "/elsewhere/x.pas");
    // A name relative to the start directory is kept whole: the recent-files
    // list must lead to this file from any later start directory.
    const auto startDirectory = fs::current_path();
    fs::current_path(dir.path());
    MakeFrame({"my", "docs/a", "b.txt"});
    frame->AboutBoxCr();
    fs::current_path(startDirectory);
    ASSERT_EQ(Captions(), Words{file});
    EXPECT_EQ(Editor().Text(), "hello");
    EXPECT_EQ(SharedFlags().CurrentExtension, ".TXT");
    EXPECT_EQ(frame->FileMenuOpens1().Entries().at(0), file);
    EXPECT_EQ(findorax.ReadString("Load", "FileName", "?"), "");
    frame->AboutBoxCr();
    EXPECT_EQ(frame->Children().size(), 1u) << "opened once";
}

TEST_F(FrameTest, SaveAsksAboutUnchangedTextNamesUntitledOnesAndAsksBeforeReplacing) {
    const std::string file = Open("same.txt", "unchanged")->FileName;
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_FALSE(frame->FileSaveItemClick());
    EXPECT_FALSE(fs::exists(dir.File("same.BAK")));

    NewDocument("");
    Editor().SetText("new text");
    dialogs.AnswerSave(dir.File("prog"));
    EXPECT_TRUE(frame->FileSaveItemClick());
    const std::string prog = dir.File("prog.TXT");
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::SaveFile).at(0).file.fileName, "Untitled");
    EXPECT_EQ(ReadFileBytes(prog), "new text");
    EXPECT_EQ(frame->ActiveChild()->Caption(), prog);
    EXPECT_EQ(SharedFlags().CurrentExtension, ".TXT");
    EXPECT_FALSE(Editor().Modified());
    EXPECT_EQ(frame->FileMenuOpens1().Entries().at(0), prog);

    // The dialog asked about "prog"; the added extension names another,
    // existing file, which is not replaced unasked.
    NewDocument("newer");
    Editor().SetModified(true);
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        dialogs.AnswerSave(dir.File("prog"));
        dialogs.AnswerMessage(answer);
        EXPECT_EQ(frame->FileSaveAsItemClick(), answer == MsgResult::Yes);
        EXPECT_EQ(ReadFileBytes(prog), answer == MsgResult::Yes ? "newer" : "new text");
        EXPECT_EQ(frame->ActiveChild()->IsUntitled(), answer == MsgResult::No);
    }
    const std::string replace = "Файл " + prog + " уже существует. Заменить?";
    EXPECT_EQ(Questions(),
              (Words{"Текст в файле " + file + " не был изменен. Сохранить под другим именем?",
                     replace, replace}));
}

TEST_F(FrameTest, SavesKeepTheNamesBytesTheBackupSwitchAndEverythingWhenTheyFail) {
    // "прог" in Windows-1251: file names of that era are no UTF-8.
    const std::string file = dir.File("\xEF\xF0\xEE\xE3.asm");
    const std::string backup = dir.File("\xEF\xF0\xEE\xE3.BAK");
    // Both files as they are, and nothing else in the folder.
    const auto onDisk = [&] {
        const auto count = std::distance(fs::directory_iterator(dir.path()), {});
        return Words{ReadFileBytes(file), ReadFileBytes(backup), std::to_string(count)};
    };
    Open("\xEF\xF0\xEE\xE3.asm", "old");
    EXPECT_EQ(frame->ActiveChild()->Caption(), file);
    Editor().SetText("new");
    EXPECT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(onDisk(), (Words{"new", "old", "2"}));
    // The recent-files entry leads back to the same file.
    frame->FileMenuOpens1().AddFile(file);
    frame->Menu("File1")->findChild<QAction*>("FileOpen1")->trigger();
    EXPECT_EQ(frame->ActiveChild()->Caption(), file);
    EXPECT_EQ(Editor().Text(), "new");

    // Past the writer's buffer, so the write fails while the text goes out;
    // and a short text, which waits in the buffer: the full disk must show
    // before the old backup gives way, not after.
    for (const auto& [size, limit] :
         {std::pair<std::size_t, rlim_t>{200000, 100000}, {1000, 500}}) {
        Editor().SetText(std::string(size, 'n'));
        {
            const test::FullDisk full(limit);
            EXPECT_FALSE(frame->FileSaveItemClick());
        }
        EXPECT_EQ(TakeErrors().size(), 1u);
        EXPECT_EQ(onDisk(), (Words{"new", "old", "2"}));
        EXPECT_TRUE(Editor().Modified());
    }
    // A folder that is not there: named in the report.
    dialogs.AnswerSave(dir.File("missing/dir/x.txt"));
    EXPECT_FALSE(frame->FileSaveAsItemClick());
    EXPECT_TRUE(Editor().Modified());
    const auto reported = TakeErrors();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("x.txt"), std::string::npos) << reported[0];

    // The checkable item and button flip themselves: the command switches once.
    for (const bool on : {true, false}) {
        if (on)
            frame->Item("NoBAT1")->trigger();
        else
            frame->Button("SpeedButton14")->click();
        frame->UpdateMenuItems();
        EXPECT_EQ(frame->Item("NoBAT1")->isChecked(), on);
        EXPECT_EQ(frame->Button("SpeedButton14")->isChecked(), on);
        EXPECT_EQ(ReadSetting("NOBAK", "Не создавать .BAK файл"), on ? "1" : "0");
        if (on) {
            EXPECT_TRUE(frame->FileSaveItemClick());
        }
        EXPECT_EQ(ReadFileBytes(backup), "old");
    }
}

TEST_F(FrameTest, CloseAsksOnceAndACancelledSaveKeepsTheWindow) {
    NewDocument("");
    frame->FileCloseItemClick(); // not modified: no question
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame->Children().empty());
    EXPECT_TRUE(dialogs.Requests().empty());

    NewDocument("");
    Editor().SetText("draft");
    dialogs.AnswerMessage(MsgResult::Cancel);
    frame->FileCloseItemClick();
    const auto question = dialogs.RequestsOf(DialogKind::MessageBox).at(0);
    EXPECT_EQ(question.text, "Текст в файле Untitled был изменен. Сохранить?");
    EXPECT_EQ(question.buttons, unsigned(mbYes | mbNo | mbCancel));
    dialogs.AnswerMessage(MsgResult::Yes);
    dialogs.AnswerSave(std::nullopt);
    frame->FileCloseItemClick();
    EXPECT_EQ(frame->Children().size(), 1u);
    EXPECT_EQ(Editor().Text(), "draft");
    EXPECT_TRUE(Editor().Modified());

    dialogs.AnswerMessage(MsgResult::No);
    frame->FileCloseItemClick();
    EXPECT_EQ(frame->OpenDialogFileName(), "без имени");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame->Children().empty());
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

TEST_F(FrameTest, ClosingTheProgramAsksPerWindowInOrderAndCancelKeepsAll) {
    const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
    TDocumentEditor& first = Open("a.txt", "A")->Memo1();
    TDocumentEditor& second = Open("b.txt", "B")->Memo1();
    first.SetText("A2");
    second.SetText("B2");
    dialogs.AnswerMessage(MsgResult::Yes);
    dialogs.AnswerMessage(MsgResult::Cancel);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(Questions(), (Words{"Текст в файле " + a + " был изменен. Сохранить?",
                                  "Текст в файле " + b + " был изменен. Сохранить?"}));
    EXPECT_EQ(frame->Children().size(), 2u);
    EXPECT_EQ(ReadFileBytes(a), "A2");
    EXPECT_TRUE(second.Modified());
    EXPECT_FALSE(frame->CloseAllActive());
    second.SetText("B3");
    EXPECT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(b), "B3");

    // No on the first and Cancel on the second: the program stays, and the
    // first text, which is in no file, is still marked and asked about.
    first.SetText("A4");
    second.SetText("B4");
    dialogs.AnswerMessage(MsgResult::No);
    dialogs.AnswerMessage(MsgResult::Cancel);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(first.Modified() && second.Modified());
    dialogs.AnswerMessage(MsgResult::No);
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(ReadFileBytes(a), "A2");
}

TEST_F(FrameTest, TheFramesOwnPassSavesTheWindowItAsksAbout) {
    // Texts modified behind the windows' own questions reach the frame's
    // pass; Yes there saves the asked window, in that window's own mode.
    const std::string a = dir.File("a.txt");
    TMDIChild* first = Open("a.txt", "A");
    first->DosMode = 1;
    NewDocument("");
    TDocumentEditor& untitled = Editor();
    first->Memo1().SetText("\xC0");
    dialogs.AnswerMessage(MsgResult::Yes);
    EXPECT_TRUE(frame->FileCloseWinees(first));
    EXPECT_EQ(ReadFileBytes(a), "\x80");
    EXPECT_FALSE(first->Memo1().Modified());

    first->Memo1().SetText("\xC1");
    untitled.SetText("new");
    dialogs.AnswerMessage(MsgResult::Yes); // window 0
    dialogs.AnswerMessage(MsgResult::Yes); // window 1, untitled
    dialogs.AnswerSave(std::nullopt);
    EXPECT_FALSE(frame->FormCloseQuery());
    EXPECT_EQ(ReadFileBytes(a), "\x81");
    EXPECT_EQ(frame->Children().size(), 2u);
    EXPECT_TRUE(untitled.Modified());
    EXPECT_EQ(untitled.Text(), "new");
}

TEST_F(FrameTest, LaterStartsAtOneMomentHandEveryFileToTheFirstOnce) {
    // Nine later starts of the real program at once, as a file manager opens
    // chosen files: every file opens once. One start gives a name split at
    // its blank, one a name that is not UTF-8 ("прог" in Windows-1251), one
    // two names after "--", the first like an option; names are relative to
    // the start's own directory.
    ASSERT_TRUE(frame->XJustOne1().IsFirstInstance());
    // More rounds on request; one under the sanitizers, where starts cost more.
    const char* roundsText = std::getenv("LORVANE_HANDOVER_ROUNDS");
#ifdef __SANITIZE_ADDRESS__
    const int defaultRounds = 1;
#else
    const int defaultRounds = 2;
#endif
    const int rounds = roundsText ? std::atoi(roundsText) : defaultRounds;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        const std::string r = "r" + std::to_string(round);
        std::vector<Words> arguments = {{r, "split.asm"},
                                        {r + "\xEF\xF0\xEE\xE3.asm"},
                                        {"--", "--" + r + ".asm", r + "_2.asm"}};
        Words files = {r + " split.asm", arguments[1][0], arguments[2][1], arguments[2][2]};
        for (int i = 3; i < 10; ++i) {
            files.push_back(r + "_" + std::to_string(i) + ".asm");
            arguments.push_back({dir.File(files.back())});
        }
        for (std::string& file : files) {
            file = dir.File(file);
            WriteFileBytes(file, file);
        }
        const auto startDirectory = fs::current_path();
        fs::current_path(dir.path());
        std::vector<pid_t> starts;
        for (Words args : arguments) {
            args.insert(args.begin(), LORVANE_PROGRAM);
            starts.push_back(process::SpawnCaptured(args, STDERR_FILENO));
        }
        fs::current_path(startDirectory);
        for (const pid_t pid : starts) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        const auto settled = [&] {
            frame->MyAppIdle();
            return frame->Children().size() >= files.size();
        };
        EXPECT_TRUE(QTest::qWaitFor(settled, 30000));
        QTest::qWait(50);
        frame->MyAppIdle();
        Words opened = Captions();
        std::sort(opened.begin(), opened.end());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(opened, files);
        // The recent-files list shows the last five opened, the latest first;
        // the Window menu lists them all.
        Words lastFive = Captions();
        std::reverse(lastFive.begin(), lastFive.end());
        lastFive.resize(5);
        EXPECT_EQ(frame->FileMenuOpens1().Entries(), lastFive);
        EXPECT_EQ(frame->FileMenuOpens1().ShownCount(), 5);
        emit frame->Menu("Window1")->aboutToShow();
        std::size_t listed = 0;
        for (QAction* a : frame->Menu("Window1")->actions())
            listed += a->text().endsWith(QStringLiteral(".asm"));
        EXPECT_EQ(listed, files.size());
        for (TMDIChild* window : frame->Children())
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(frame->Children().empty());
    }
}

TEST_F(FrameTest, ARegistryFileWithAnUnreadableLineKeepsTheRestAndSaysWhereItWent) {
    const std::string registry = paths::ResolveBareName("HKEY_CURRENT_USER.reg");
    fs::remove(registry + ".corrupt");
    WriteFileBytes(registry, "REGEDIT4\n[HKEY_CURRENT_USER\\OpenFileLorvane\\History]\n"
                             "\"FileOpen1\"=\"/a.asm\"\n\"FileOpen2\"=\"/b.as\n"
                             "\"FileOpen3\"=\"/c.asm\"\n");
    dialogs.AnswerMessage(MsgResult::OK);
    MakeFrame();
    frame->MyAppIdle();
    frame->MyAppIdle();
    EXPECT_EQ(frame->FileMenuOpens1().Entries(), (Words{"/a.asm", "", "/c.asm", "", ""}));
    EXPECT_EQ(frame->FileMenuOpens1().ShownCount(), 2);
    const auto told = Questions();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(registry + ".corrupt"), std::string::npos) << told[0];
    EXPECT_TRUE(fs::exists(registry + ".corrupt"));
}

TEST_F(FrameTest, IconsFillRowsUpwardsAndEveryStatusLineIsCurrent) {
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
    frame->Children()[0]->Memo1().SetText("abc");
    frame->UpdateMenuItems();
    EXPECT_EQ(frame->Children()[0]->PanelText(1).toStdString(), StatusText(0, 0, 1, 3));
    EXPECT_EQ(frame->Children()[0]->PanelText(0), QStringLiteral("*"));
}

TEST_F(FrameTest, WindowsOpenWhereTheyWereOrStepDownAndRight) {
    // Without a stored place the next window steps down and right of the
    // one before, whole inside the area.
    frame->resize(frame->screen()->availableGeometry().size());
    frame->FileNewItemClick();
    frame->FileNewItemClick();
    const TMDIChild* first = frame->Children()[0];
    const TMDIChild* second = frame->Children()[1];
    EXPECT_TRUE(frame->MdiArea()->viewport()->rect().contains(second->geometry()));
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

} // namespace
} // namespace lorvane
