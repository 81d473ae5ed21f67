// The frame's build tools with small shell scripts standing in for the
// compiler, linker and run program: what they receive, what is saved first,
// the listing load with the reopened source, and the search program's
// messages.
#include "FrameFixture.h"
#include "app/HandOver.h"
#include "components/FileMO.h"
#include "platform/Registry.h"
#include "platform/SiblingChannel.h"
#include "platform/helpers/ScopedEnv.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::WaitFor;
using test::WriteFileBytes;
using Words = std::vector<std::string>;
namespace fs = std::filesystem;

class BuildToolsTest : public test::FrameFixture {
protected:
    std::string Open(const std::string& name, const std::string& text) {
        return FrameFixture::Open(name, text)->FileName;
    }
};

TEST(ToolFileNameTest, ReplacesOnlyTheExtensionOfTheNamePart) {
    EXPECT_EQ(ToolFileName("C:\\SRC\\A.ASM", ".HEX"), "C:\\SRC\\A.HEX");
    EXPECT_EQ(ToolFileName("/src.d/a.b", ".OBJ") + ToolFileName("/src.d/p", ".LST"),
              "/src.d/a.OBJ/src.d/p.LST");
}

TEST_F(BuildToolsTest, CompileSavesFirstAndRunsOnlyOnATextThatIsInItsFile) {
    UseCompiler();
    const std::string source = Open("A.ASM", "old");
    Editor().SetText("new");
    frame->N14Click();
    EXPECT_TRUE(Questions().empty()) << "a named file is saved without asking";
    EXPECT_EQ(ReadFileBytes(dir.File("A.BAK")), "old");
    EXPECT_EQ(ReadFileBytes(source), "new");
    EXPECT_EQ(Args("cc"), source + "|");
    EXPECT_EQ(frame->Children().size(), 1u) << "listing switch off: the window stays";

    // Untitled (an empty source extension lets it compile): No, and Yes
    // with a cancelled Save As, leave the compiler unstarted.
    fs::remove(dir.File("cc.args"));
    Tool("Расширение файла компилятора", "");
    frame->FileNewItemClick();
    Editor().SetText("mov");
    dialogs.AnswerMessage(MsgResult::No);
    dialogs.AnswerMessage(MsgResult::Yes);
    dialogs.AnswerSave(std::nullopt);
    frame->N14Click();
    frame->N14Click();
    EXPECT_EQ(Questions().at(0),
              "Текст в файле без имени нельзя ассемблировать. Выбрать имя и сохранить?");
    EXPECT_FALSE(Ran("cc"));

    // A save the system refuses stops the compile; reopening the file after
    // the listing would have dropped the typed text.
    frame->LST1Click();
    Open("B.ASM", "on disk");
    Editor().SetText("typed");
    {
        const test::FullDisk full(4);
        frame->N14Click();
    }
    EXPECT_EQ(TakeErrors().size(), 1u);
    EXPECT_FALSE(Ran("cc"));
    EXPECT_EQ(frame->ActiveChild()->Memo1().Text(), "typed");
}

TEST_F(BuildToolsTest, ListingReplacesTheOldOneAndTheSourceComesBackWithItsCaret) {
    UseCompiler();
    const std::string listing = dir.File("A.LST");
    WriteFileBytes(listing, "old listing");
    frame->LoadLSTFile(listing);
    Editor().SetText("changed listing"); // closed all the same
    const std::string source = Open("A.ASM", "nop\r\nnop");
    Editor().PutCaret(1, 3);
    frame->Item("LST1")->trigger();
    EXPECT_TRUE(frame->Button("SpeedButton17")->isChecked());
    frame->N14Click();
    EXPECT_TRUE(Questions().empty());
    auto children = frame->Children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->Caption(), listing);
    EXPECT_EQ(children[0]->Memo1().Text(), "of " + source);
    EXPECT_EQ(children[1]->FileName + children[1]->Memo1().Text(), source + "nop\r\nnop");
    EXPECT_EQ(frame->ActiveChild(), children[1]);
    EXPECT_EQ(children[1]->Memo1().CaretLine(), 1);
    EXPECT_EQ(children[1]->Memo1().CaretColumn(), 3);

    // No listing this time: the stale one is deleted before and missed after.
    UseCompiler("true");
    dialogs.AnswerMessage(MsgResult::OK);
    frame->N14Click();
    EXPECT_FALSE(fs::exists(listing));
    EXPECT_EQ(Questions(), Words{"Файл листинга не найден!!!"});
    EXPECT_EQ(frame->Children().size(), 1u);

    // A listing extension equal to the source's must not delete the source.
    Tool("Расширение файла листинга", ".ASM");
    frame->N14Click();
    EXPECT_EQ(ReadFileBytes(source), "nop\r\nnop");
    EXPECT_EQ(frame->Children().size(), 1u);
}

TEST_F(BuildToolsTest, TheReopenedSourceKeepsTheCodePageItsFileIsIn) {
    UseCompiler();
    frame->LST1Click();
    struct Case {
        bool dos;
        const char* onDisk; // "Аб" and, after the edit, "Абв" in the file's code page
        const char* savedAfter;
    };
    for (const Case& c :
         {Case{true, "\x80\xA1", "\x80\xA1\xA2"}, Case{false, "\xE1\xC2", "\xE1\xC2\xD7"}}) {
        const std::string source = Open(c.dos ? "D.ASM" : "K.ASM", c.onDisk);
        if (c.dos)
            frame->OEM1Click();
        else
            frame->Ansi1Click();
        frame->N14Click();
        TMDIChild* reopened = frame->ActiveChild();
        EXPECT_EQ(reopened->FileName, source);
        EXPECT_EQ(reopened->DosMode + 2 * reopened->Koi8Mode, c.dos ? 1 : 2);
        EXPECT_EQ(SharedFlags().ActiveDosMode, c.dos);
        EXPECT_EQ(reopened->Memo1().Text(), "\xC0\xE1") << "shown in Windows-1251";
        EXPECT_FALSE(reopened->Memo1().Modified());
        // Typed letters go back to the file in its own code page.
        reopened->Memo1().SetText("\xC0\xE1\xE2");
        EXPECT_TRUE(frame->FileSaveItemClick());
        EXPECT_EQ(ReadFileBytes(source), c.savedAfter);
        for (TMDIChild* child : frame->Children()) {
            child->Memo1().SetModified(false);
            child->close();
        }
        WaitFor([&] { return frame->Children().empty(); });
    }
}

TEST_F(BuildToolsTest, CommandLinesAreWordsNeverAShellAndAFileNameIsOneWord) {
    UseCompiler("true");
    Tool("Ассемблер", dir.File("cc") + " -l");
    fs::create_directory(dir.File("my src"));
    // Blanks and quotes in the file's name reach the tool inside one word.
    for (const char* name : {"my src/A.ASM", "my src/say \"hi\".ASM", "q\"uote.ASM",
                             "a;>pwned$(>pwned2)`>pwned3`.ASM"}) {
        const std::string source = Open(name, "nop");
        frame->N14Click();
        EXPECT_EQ(Args("cc"), "-l|" + source + "|");
        fs::remove(dir.File("cc.args"));
    }
    for (const char* name : {"pwned", "pwned2", "pwned3"})
        EXPECT_FALSE(fs::exists(dir.File(name))) << name;

    // Run a file: offered the last one, written back only when confirmed.
    WriteSetting("RUNEXE", "Программа", "previous");
    const std::string command = Script("tool") + " one two";
    dialogs.AnswerInput(command);
    dialogs.AnswerInput(std::nullopt);
    frame->DOS1Click();
    frame->DOS1Click();
    EXPECT_EQ(dialogs.Requests().at(0).value, "previous");
    EXPECT_EQ(Args("tool"), "one|two|");
    EXPECT_EQ(ReadSetting("RUNEXE", "Программа"), command);
}

TEST_F(BuildToolsTest, LinkAndRunTakeTheOutputsNamesFoundInAnotherCaseAndKeepTheirBytes) {
    // The settings say ".LST", ".OBJ", ".HEX"; the tools here write other
    // cases. One source is in a folder with a blank, one is named "прог" in
    // Windows-1251, not UTF-8.
    UseCompiler("printf 'of %s' \"$1\" > \"${1%.*}.lst\"");
    Tool("Линкер", Script("link"));
    Tool("Программа запуска", Script("SIM.EXE"));
    Tool("Расширение объектного файла", ".OBJ");
    Tool("Расширение скомпилированного файла", ".HEX");
    frame->LST1Click();
    fs::create_directory(dir.File("my src"));
    for (const std::string stem : {"my src/B", "\xEF\xF0\xEE\xE3"}) {
        SCOPED_TRACE(stem);
        const std::string source = Open(stem + ".ASM", "nop");
        frame->N14Click();
        EXPECT_EQ(Args("cc"), source + "|");
        const auto children = frame->Children();
        ASSERT_EQ(children.size(), 2u);
        EXPECT_EQ(children[0]->Caption(), dir.File(stem + ".lst"));
        EXPECT_EQ(children[0]->Memo1().Text(), "of " + source);
        // Computed names where no output is there yet, found ones otherwise;
        // neither command saves the text.
        const bool made = stem != "my src/B";
        if (made) WriteFileBytes(dir.File(stem + ".obj"), "");
        if (made) WriteFileBytes(dir.File(stem + ".Hex"), "");
        Editor().SetText("unsaved");
        frame->N16Click();
        frame->SpeedButton12Click();
        EXPECT_EQ(Args("link") + Args("SIM.EXE"), dir.File(stem + (made ? ".obj" : ".OBJ")) + "|" +
                                                      dir.File(stem + (made ? ".Hex" : ".HEX")) +
                                                      "|");
        EXPECT_EQ(ReadFileBytes(source), "nop");
        Editor().SetModified(false);
        for (const char* log : {"cc.args", "link.args", "SIM.EXE.args"})
            fs::remove(dir.File(log));
        for (TMDIChild* child : children)
            child->close();
    }
    // An old listing in another case is no listing of the new compile, and
    // a source that only differs from the listing's name in case stays.
    UseCompiler("true");
    WriteFileBytes(dir.File("prog.lst"), "stale");
    dialogs.AnswerMessage(MsgResult::OK);
    dialogs.AnswerMessage(MsgResult::OK);
    Open("prog.ASM", "nop");
    frame->N14Click();
    EXPECT_FALSE(fs::exists(dir.File("prog.lst")));
    Tool("Расширение файла компилятора", ".LST");
    const std::string source = Open("prog.Lst", "keep");
    frame->N14Click();
    EXPECT_EQ(ReadFileBytes(source), "keep");
    EXPECT_EQ(Questions(), Words(2, "Файл листинга не найден!!!"));
}

TEST_F(BuildToolsTest, HelpOpensTheOwnPageFirstAndSaysWhenNothingOpensIt) {
    // Stand-ins for the desktop's opener and the search program, found
    // first in PATH.
    const std::string path = std::getenv("PATH");
    test::ScopedEnv onPath("PATH", dir.path().string() + ":" + path);
    const std::string shipped = paths::DataFile("help/Lorvane.htm");
    EXPECT_FALSE(shipped.empty());
    // F1, and the opener's run to its end (before its script changes).
    const auto help = [&] {
        frame->N20Click();
        QPointer<QProcess> opener = frame->findChildren<QProcess*>().value(0);
        EXPECT_TRUE(WaitFor([&] { return !opener || opener->state() == QProcess::NotRunning; }));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const std::string args = Ran("xdg-open") ? Args("xdg-open") : std::string();
        fs::remove(dir.File("xdg-open.args"));
        return args;
    };
    Script("xdg-open");
    EXPECT_EQ(help(), shipped + "|");
    const auto startDirectory = fs::current_path();
    fs::current_path(dir.path());
    WriteFileBytes(dir.File("Lorvane.htm"), "<html></html>");
    EXPECT_EQ(help(), "Lorvane.htm|");
    fs::current_path(startDirectory);
    EXPECT_TRUE(Questions().empty());

    // A search program that does not start leaves its item to try again.
    frame->N28Click();
    EXPECT_TRUE(frame->Item("N28")->isEnabled());
    Script("FINDORAX.EXE");
    frame->N28Click();
    EXPECT_FALSE(frame->Item("N28")->isEnabled());

    // Nothing opens the page, or there is no opener at all: the user is told.
    Script("xdg-open", "exit 3");
    dialogs.AnswerMessage(MsgResult::OK);
    help();
    fs::remove(dir.File("xdg-open"));
    test::ScopedEnv noOpener("PATH", dir.path().string());
    dialogs.AnswerMessage(MsgResult::OK);
    help();
    const auto told = Questions();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_NE(told[0].find("(xdg-open завершилась с кодом 3)"), std::string::npos) << told[0];
    for (const std::string& text : told)
        EXPECT_EQ(text.rfind("Справку " + shipped + " нечем открыть", 0), 0u) << text;
}

TEST_F(BuildToolsTest, ToolsThatCannotStartAreReportedWithTheirTexts) {
    Tool("Ассемблер", dir.File("no-compiler"));
    Tool("Линкер", dir.File("no-linker"));
    Tool("Расширение файла компилятора", ".ASM");
    Open("A.ASM", "nop");
    frame->LST1Click();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.File("empty").c_str());
    for (int i = 0; i < 3; ++i)
        dialogs.AnswerMessage(MsgResult::OK);
    frame->N14Click();
    frame->N16Click();
    frame->N81Click();
    frame->N28Click(); // reported by nothing
    qputenv("PATH", path);
    EXPECT_EQ(Questions(), (Words{"Компилятор не найден!!!", "Линкер не найден!!!",
                                  "Numbrix.exe не найден!!!"}));
    EXPECT_EQ(frame->Children().size(), 1u);
}

TEST_F(BuildToolsTest, ThePaneShowsTheToolsOutputAndItsMessagesLeadToTheirLines) {
    fs::create_directory(dir.File("INC"));
    const std::string defs = dir.File("INC/DEFS.INC");
    WriteFileBytes(defs, "a\r\nb\r\nc");
    // Stdout and stderr in the order written; a relative name in another
    // case; a line with the form but no file behind it; a listing whose
    // own messages join the pane.
    UseCompiler("echo \"Assembling $1\"; echo \"$1(2) Illegal instruction\" >&2;"
                "echo 'inc/defs.inc:3: warning: unused' >&2; echo 'Time: 12:30:00';"
                "printf '**Error** A.ASM(3) Undefined\\r\\n' > \"${1%.*}.LST\"; exit 3");
    const std::string source = Open("A.ASM", "one\r\ntwo\r\nthree");
    frame->LST1Click();
    frame->N14Click();
    TMessagesPane& pane = frame->MessagesPane1();
    EXPECT_TRUE(pane.isVisible());
    Words lines = PaneLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "> " + dir.File("cc") + " " + source);
    EXPECT_EQ(Words(lines.begin() + 1, lines.begin() + 5),
              (Words{"Assembling " + source, source + "(2) Illegal instruction",
                     "inc/defs.inc:3: warning: unused", "Time: 12:30:00"}));
    EXPECT_EQ(lines[5].rfind("Код завершения 3, ", 0), 0u) << lines[5];
    EXPECT_EQ(lines[6], "Листинг " + dir.File("A.LST") + ":");
    EXPECT_EQ(pane.MessageCount(), 3);

    // The walk starts at the listing's messages, the latest.
    const auto at = [&]() {
        TMDIChild* window = frame->ActiveChild();
        return window->Caption() + ":" + std::to_string(window->Memo1().CaretParagraph() + 1);
    };
    frame->UpdateBuildOutputItems();
    frame->Item("NextMessage1")->trigger();
    EXPECT_EQ(at(), source + ":3");
    EXPECT_FALSE(pane.Next());
    frame->Item("PrevMessage1")->trigger();
    EXPECT_EQ(at(), defs + ":3") << "opened for the message";
    frame->Item("PrevMessage1")->trigger();
    EXPECT_EQ(at(), source + ":2");
    EXPECT_EQ(pane.List()->currentRow(), 2) << "the current message is marked";
    const std::size_t windows = frame->Children().size();
    emit pane.List()->itemActivated(pane.List()->item(3));
    EXPECT_EQ(at(), defs + ":3");
    EXPECT_EQ(frame->Children().size(), windows) << "an open file is not opened again";
}

TEST_F(BuildToolsTest, WhileTheCompilerRunsEventsAreServedInputIsHeldAndThePaneStopsIt) {
    UseCompiler("echo started; sleep 30");
    Open("A.ASM", "nop");
    const std::string handed = dir.File("handed.txt"), named = dir.File("named.txt");
    WriteFileBytes(handed, "x");
    WriteFileBytes(named, "y");
    struct Counter : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            keys += event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod;
            return false;
        }
    } counter;
    QWidget* document = Editor().Widget();
    document->installEventFilter(&counter);
    bool during = false, closeRefused = false, busy = false;
    QTimer::singleShot(100, frame.get(), [&] {
        during = frame->Compiling();
        closeRefused = !frame->close();
        busy = QApplication::overrideCursor() != nullptr &&
               QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        WriteHandOver(handed);
        frame->MyAppIdle();
        frame->SearchProgramMessage(1024 + 161);
        // The pane takes input meanwhile; a message chosen there must not
        // open its file.
        frame->MessagesPane1().AddListing("A.LST", {}, {named + "(1): error"});
        QListWidget* list = frame->MessagesPane1().List();
        emit list->itemActivated(list->item(list->count() - 1));
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(document, &key);
        QInputMethodEvent composed; // what a compose key or input method types
        composed.setCommitString(QStringLiteral("ё"));
        QApplication::sendEvent(document, &composed);
        QToolButton* stop = frame->MessagesPane1().StopButton();
        const QPointF centre = QRectF(stop->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, centre, stop->mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, stop->mapToGlobal(centre),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(stop, &press);
        QApplication::sendEvent(stop, &release);
    });
    frame->Item("N28")->setEnabled(false);
    frame->N14Click();
    EXPECT_TRUE(during && closeRefused && busy && frame->isVisible());
    EXPECT_TRUE(frame->Item("N28")->isEnabled()) << "the message is answered after the compile";
    EXPECT_EQ(counter.keys, 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const Words lines = PaneLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "started");
    EXPECT_EQ(lines.back().rfind("Остановлено, ", 0), 0u) << lines.back();
    EXPECT_FALSE(frame->MessagesPane1().StopButton()->isEnabled());
    EXPECT_EQ(frame->Children().size(), 1u);
    frame->MyAppIdle();
    EXPECT_EQ(frame->Children().size(), 2u);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(document, &key);
    EXPECT_EQ(counter.keys, 1) << "input reaches the document again";
}

TEST_F(BuildToolsTest, TheSearchProgramsMessagesOpenItsFileAndSwitchItsItem) {
    SiblingChannel searchProgram;
    ASSERT_TRUE(searchProgram.Listen(SiblingChannel::SearchProgramSocket()));
    int answers = 0;
    QObject::connect(&searchProgram, &SiblingChannel::MessageReceived,
                     [&](int message, int first, int second) {
                         answers += message == 1186 && first == 0 && second == 0;
                     });
    WaitFor([] { return false; }, 300); // the frame's own activation message
    answers = 0;
    QAction* n28 = frame->Item("N28");
    const auto send = [](int message) {
        return SiblingChannel::Send({message, 0, 0}, SiblingChannel::FrameSocket());
    };
    ASSERT_TRUE(send(1187));
    ASSERT_TRUE(WaitFor([&] { return !n28->isEnabled() && answers == 1; }));
    send(1185);
    ASSERT_TRUE(WaitFor([&] { return n28->isEnabled(); }));

    const std::string file = dir.File("found.txt");
    WriteFileBytes(file, "found it");
    TRegistry registry;
    registry.OpenKey("\\OpenFileLorvane\\Findorax", true);
    registry.WriteString("Parameter", file);
    send(1184);
    ASSERT_TRUE(WaitFor([&] { return frame->Children().size() == 1u && answers == 2; }));
    EXPECT_FALSE(n28->isEnabled());
    EXPECT_EQ(Editor().Text(), "found it");
    EXPECT_EQ(frame->FileMenuOpens1().Entries().at(0), file);
    EXPECT_EQ(registry.ReadString("Parameter"), "");
}

} // namespace
} // namespace lorvane
