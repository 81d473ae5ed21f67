// Files as other programs keep them, through the frame and the real editor
// control: whatever they hold or happens while they are written, nothing is lost.
#include "FrameFixture.h"
#include "app/DocumentRead.h"
#include "app/FileMemory.h"
#include "editor/model/ErrorTexts.h"
#include "editor/model/RIzuvAzazModel.h"
#include "platform/CodePageTables.h"
#include "platform/Stream.h"
#include "platform/helpers/ChildProcess.h"

#include <QClipboard>
#include <QMdiArea>

#include <fstream>
#include <functional>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace lorvane {
namespace {

using test::Control;
using test::ReadFileBytes;
using test::WriteFileBytes;
namespace fs = std::filesystem;

class Documents : public test::FrameFixture {
protected:
    TMDIChild* Open(const std::string& name, const std::string& bytes) {
        TMDIChild* window = FrameFixture::Open(name, bytes);
        frame->UpdateMenuItems();
        return window;
    }
    TMDIChild* OpenPath(const std::string& file) {
        frame->FileOpenAll(file);
        QApplication::processEvents();
        return frame->ActiveChild();
    }
    // Another program's change, asked about when the window is activated.
    void ChangeOutside(TMDIChild* window, const std::string& bytes, MsgResult answer) {
        WriteOutside(window->Document.path, bytes);
        dialogs.AnswerMessage(answer);
        window->FormActivate();
        frame->MyAppIdle();
    }
    // Names in the directory besides the ones given: left-over temporaries.
    std::vector<std::string> Strays(std::vector<std::string> known) const {
        std::vector<std::string> strays;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            if (std::find(known.begin(), known.end(), entry.path().filename()) == known.end())
                strays.push_back(entry.path().filename());
        return strays;
    }
    // The one error reported since the last look.
    std::string Reported() {
        const auto reported = TakeErrors();
        return reported.size() == 1 ? reported[0] : std::to_string(reported.size()) + " reports";
    }
    // The active window saved: the bytes of `name` after it.
    std::string Saved(const std::string& name) {
        EXPECT_TRUE(frame->FileSaveItemClick()) << name;
        return ReadFileBytes(dir.File(name));
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Random lines in every break style, mode and coding, and a file of load
// blocks given back while read (every block past the first two must arrive
// whole): one letter typed in front and saved, then the bytes it had.
TEST_F(Documents, EveryBreakStyleModeAndCodingComesBackByteForByteAroundAnEdit) {
    WriteSetting("CODEPAGE", "Распознавать кодировку", "0");
    std::mt19937 random(1515);
    const TBreakStyle styles[] = {TBreakStyle::CRLF, TBreakStyle::LF, TBreakStyle::CR};
    enum Coding { Plain, Dos, Koi8, Utf8, Utf8Mark };
    const char* typed[] = {"\xDF", "\x9F", "\xF1", "\xD0\xAF", "\xD0\xAF"}; // Я
    const char* names[] = {"1251", "DOS 866", "KOI8-R", "UTF-8", "UTF-8 BOM"};
    for (int round = 0; round < 33; ++round) {
        TBreakStyle style = styles[round % 3];
        auto coding = static_cast<Coding>(random() % 5);
        std::string bytes;
        const int lines = 1 + static_cast<int>(random() % 6);
        for (int line = 0; line < lines; ++line) {
            for (int n = static_cast<int>(random() % 40); n > 0; --n) {
                const auto b = static_cast<unsigned char>(0x20 + random() % 0xE0);
                if (coding < Utf8)
                    bytes.push_back(static_cast<char>(b));
                else if (b != 0x98)
                    cp::AppendUtf8(bytes, cp::ToUnicode(cp::CodePage::Win1251, b));
            }
            if (line + 1 < lines || random() % 2) bytes += BreakBytes(style);
        }
        // DOS and KOI8 with every byte a line can hold, then the long file.
        if (round >= 30) bytes.clear();
        if (round == 30 || round == 31) {
            coding = round == 30 ? Dos : Koi8;
            for (int b = 0x20; b < 0x100; ++b) {
                bytes.push_back(static_cast<char>(b));
                if (b % 32 == 31) bytes += BreakBytes(style);
            }
        }
        if (round == 32) {
            coding = Plain;
            style = TBreakStyle::CRLF;
            while (bytes.size() < (std::size_t{26} << 20)) {
                bytes.append(random() % 97, static_cast<char>('a' + random() % 26));
                bytes += random() % 5 == 0 ? "\xC0\xFF\r\n" : "\r\n";
            }
        }
        const std::string mark = coding == Utf8Mark ? std::string(kUtf8Mark) : std::string();
        const std::string name = "f" + std::to_string(round) + ".txt";
        TMDIChild* window = Open(name, mark + bytes);
        if (coding == Dos) frame->OEM1Click();
        if (coding == Koi8) frame->Ansi1Click();
        frame->UpdateMenuItems();
        EXPECT_EQ(Field("CodingField"), names[coding]) << round;
        if (bytes.find_first_of("\r\n") != std::string::npos) {
            EXPECT_EQ(Field("BreakField"), BreakName(style)) << round;
        }
        Control(window).SetSelStart(0);
        test::TypeText(&Control(window), QStringLiteral("Я"));
        EXPECT_TRUE(Saved(name) == mark + typed[coding] + bytes) << round;
        frame->FileCloseItemClick();
    }
    EXPECT_TRUE(dialogs.Requests().empty());
}

TEST_F(Documents, TypingFollowsTheFontAndThePseudoGraphicsSwitch) {
    RIzuvAzaz& control = NewDocument("");
    test::TypeText(&control, QStringLiteral("Жж"));
    EXPECT_EQ(control.Text(), "\xC6\xE6");
    control.SetFont(LogicalFont{"Terminal", 0, 10, 0, true});
    test::TypeText(&control, QStringLiteral("Жж"));
    SharedFlags().PseudoGraphicsInput = true;
    // On the palette "Э" is a blank, "╗" types nothing and "ю" is code 127,
    // which must reach the text although 127 typed is a control key; but
    // Ctrl+Backspace, which also delivers 127, only deletes the word.
    test::TypeText(&control, QStringLiteral("ЖzЭ╗ю"));
    const std::string typed = "\xC6\xE6\x86\xA6\xF7z \x7F";
    EXPECT_EQ(control.Text(), typed);
    QKeyEvent ctrlBackspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::ControlModifier,
                            QString(QChar(0x7F)));
    QApplication::sendEvent(&control, &ctrlBackspace);
    EXPECT_EQ(control.Text(), typed.substr(0, typed.size() - 1));
}

TEST_F(Documents, PagesAreRecognisedAtOpenUnlessTurnedOffOrUnderTheTerminalFont) {
    // "Ошибка чтения файла. Проверьте дискету и повторите." in three pages.
    const std::string win =
        "\xCE\xF8\xE8\xE1\xEA\xE0 \xF7\xF2\xE5\xED\xE8\xFF \xF4\xE0\xE9\xEB\xE0. "
        "\xCF\xF0\xEE\xE2\xE5\xF0\xFC\xF2\xE5 \xE4\xE8\xF1\xEA\xE5\xF2\xF3 \xE8 "
        "\xEF\xEE\xE2\xF2\xEE\xF0\xE8\xF2\xE5.\n";
    const std::string dos = SingleByteForm(win, true, false);
    const std::string koi = SingleByteForm(win, false, true);
    const struct {
        const std::string& bytes;
        bool recognition, terminal;
        int dosMode, koi8Mode;
        const char* letter; // "Я" in the page the file is kept in
    } cases[] = {
        {win, true, false, 0, 0, "\xDF"}, {dos, true, false, 1, 0, "\x9F"},
        {koi, true, false, 0, 1, "\xF1"}, {dos, false, false, 0, 0, "\xDF"},
        {koi, true, true, 0, 0, "\x9F"},
    };
    int round = 0;
    for (const auto& c : cases) {
        WriteSetting("CODEPAGE", "Распознавать кодировку", c.recognition ? "1" : "0");
        WriteSetting("FONT", "Имя шрифта", c.terminal ? "Terminal" : "System");
        const std::string name = "p" + std::to_string(round++) + ".txt";
        TMDIChild* window = Open(name, c.bytes);
        EXPECT_EQ(window->DosMode, c.dosMode) << name;
        EXPECT_EQ(window->Koi8Mode, c.koi8Mode) << name;
        EXPECT_FALSE(window->Memo1().Modified()) << name;
        // Shown as after Ctrl+D or Ctrl+K, saved as it came.
        if (c.dosMode + c.koi8Mode) {
            EXPECT_EQ(window->Memo1().Text(), win.substr(0, win.size() - 1) + "\r\n");
            EXPECT_TRUE(frame->Button(c.dosMode ? "SpeedButton15" : "SpeedButton16")->isChecked());
        }
        Control(window).SetSelStart(window->Memo1().TextLength());
        test::TypeText(&Control(window), QStringLiteral("Я"));
        EXPECT_EQ(Saved(name), c.bytes + c.letter) << name;
    }
}

// A repaint from an idle pass that found nothing new brings the next idle
// pass: the program would spin for as long as it runs.
TEST_F(Documents, AnIdlePassThatFindsNothingNewRepaintsNothing) {
    struct Repaints : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint;
            return false;
        }
    } repaints;
    dialogs.AnswerMessage(MsgResult::Yes); // the third opens for viewing
    const std::vector<TMDIChild*> windows = {
        Open("plain.txt", "plain\r\n"), Open("utf8.txt", "\xD0\xB4\n"),
        Open("view.txt", "\xE2\x86\x92\n"),
        Open("dos.txt",
             cp::EncodeFromUtf8(cp::CodePage::Cp866,
                                "Это текст в кодировке DOS, его легко узнать по буквам.\r\n"))};
    ASSERT_EQ(windows[3]->DosMode, 1);
    for (TMDIChild* window : windows) {
        frame->MdiArea()->setActiveSubWindow(window);
        for (int pass = 0; pass < 4; ++pass) { // three to settle, then the one watched
            if (pass == 3) qApp->installEventFilter(&repaints);
            frame->MyAppIdle();
            QApplication::processEvents();
        }
        qApp->removeEventFilter(&repaints);
        EXPECT_EQ(repaints.count, 0) << window->Caption();
        repaints.count = 0;
    }
}

// A UTF-8 text that lost a character to the editor's page is never written
// nor changed by a command; Copy still works. Or it opens as its bytes.
TEST_F(Documents, Utf8BeyondTheEditorsPageOpensForViewingOrAsItsBytes) {
    const std::string bytes = "x\t\xE2\x86\x92 \xD0\xB4 one\nline two\n"; // "→" and "д"
    dialogs.AnswerMessage(MsgResult::Yes);
    TMDIChild* view = Open("arrow.txt", bytes);
    EXPECT_TRUE(Has(dialogs.Requests().back().text, "«→» в строке 1"));
    const std::string text = "x\t? \xE4 one\r\nline two\r\n";
    EXPECT_EQ(view->Memo1().Text(), text);
    EXPECT_TRUE(view->Memo1().ReadOnly());
    EXPECT_EQ(Field("CodingField"), "UTF-8 (только просмотр)");
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    using Frame = TMainFormLorvane;
    int step = 0;
    for (auto command : {&Frame::CutItemClick, &Frame::PasteItemClick, &Frame::N27Click,
                         &Frame::N01Click, &Frame::N91Click, &Frame::N23Click, &Frame::N24Click,
                         &Frame::N22Click, &Frame::Replace2Click, &Frame::Replace2Click}) {
        view->Memo1().SetSelStart(0);
        view->Memo1().SetSelLength(2); // the replace's find starts after it
        (frame.get()->*command)();
        if (step == 8) dialogs.PressReplace({"one", "ONE"});
        if (step == 9) dialogs.PressReplaceAll({"one", "ONE"});
        EXPECT_EQ(view->Memo1().Text(), text) << step;
        EXPECT_FALSE(view->Memo1().Modified()) << step++;
    }
    view->Memo1().SelectAll();
    frame->UpdateMenuItems();
    EXPECT_FALSE(On("CutItem"));
    EXPECT_FALSE(On("PasteItem"));
    ASSERT_TRUE(On("CopyItem"));
    frame->CopyItemClick();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("x\t? д one\nline two\n"));

    view->Memo1().SetModified(true);
    dialogs.AnswerMessage(MsgResult::OK);
    EXPECT_FALSE(frame->FileSaveItemClick());
    dialogs.AnswerSave(dir.File("copy.txt"));
    dialogs.AnswerMessage(MsgResult::OK);
    EXPECT_FALSE(frame->FileSaveAsItemClick());
    EXPECT_FALSE(fs::exists(dir.File("copy.txt")));
    EXPECT_EQ(ReadFileBytes(dir.File("arrow.txt")), bytes);

    dialogs.AnswerMessage(MsgResult::No); // the bytes as they are
    TMDIChild* raw = Open("arrow2.txt", bytes);
    EXPECT_EQ(raw->Memo1().Text(), "x\t\xE2\x86\x92 \xD0\xB4 one\r\nline two\r\n");
    EXPECT_FALSE(raw->Memo1().ReadOnly());
    EXPECT_EQ(Field("CodingField"), "1251");
}

// The last match at the foot of a long text still being laid out is shown
// without laying out the text before it.
TEST_F(Documents, ReplaceAllAtTheFootOfALongTextLaysOutOnlyAroundTheCaret) {
    const int count = 20000;
    std::string bytes, replaced;
    for (int i = 0; i < count; ++i) {
        const std::string line = "\tmov ax, bx ; line " + std::to_string(i);
        bytes += line + (i >= count - 3 ? " tmpvar\r\n" : "\r\n");
        replaced += line + (i >= count - 3 ? " TEMP_VAR\r\n" : "\r\n");
    }
    RIzuvAzaz& control = Control(Open("long.asm", bytes));
    control.SetSelStart(0);
    frame->Replace2Click();
    dialogs.PressReplaceAll({"tmpvar", "TEMP_VAR"});
    EXPECT_EQ(control.CaretParagraph(), count - 1);
    EXPECT_FALSE(control.Model().ParagraphAt(count / 2)->laidOut);
    EXPECT_GE(control.CaretPos().y(), 0);
    EXPECT_LE(control.CaretPos().y() + control.CurrentLineHeight(), control.viewport()->height());
    control.Model().CheckConsistency();
    EXPECT_EQ(control.Text(), replaced);
}

TEST_F(Documents, AFileChangedOnDiskIsAskedAboutOnActivationAndBeforeASave) {
    TMDIChild* window = Open("a.txt", "first\n");
    const std::string file = dir.File("a.txt");
    const auto activate = [&] {
        window->FormActivate();
        frame->MyAppIdle();
    };
    // The program's own save is no change from outside.
    test::TypeText(&Control(window), QStringLiteral("1"));
    ASSERT_TRUE(frame->FileSaveItemClick());
    activate();
    EXPECT_TRUE(dialogs.Requests().empty());
    // Left alone: not asked again at activation, but a save asks.
    WriteOutside(file, "second\n");
    dialogs.AnswerMessage(MsgResult::Cancel);
    activate();
    activate();
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_NE(dialogs.Requests()[0].text.find(file + " изменён"), std::string::npos);
    test::TypeText(&Control(window), QStringLiteral("2"));
    dialogs.AnswerMessage(MsgResult::Yes); // reload instead of saving
    EXPECT_FALSE(frame->FileSaveItemClick());
    EXPECT_EQ(window->Memo1().Text(), "second\r\n");
    EXPECT_FALSE(window->Memo1().Modified());
    EXPECT_EQ(ReadFileBytes(file), "second\n");
    // Kept: the window's text is marked and the next save writes it.
    WriteOutside(file, "third!\n");
    dialogs.AnswerMessage(MsgResult::No);
    activate();
    EXPECT_TRUE(window->Memo1().Modified());
    EXPECT_EQ(Saved("a.txt"), "second\n");
    // Gone: named, and kept for the next save if the user wants it.
    fs::remove(file);
    window->Memo1().SetModified(false);
    dialogs.AnswerMessage(MsgResult::Yes);
    activate();
    EXPECT_NE(dialogs.Requests().back().text.find(file + " удалён"), std::string::npos);
    EXPECT_TRUE(window->Memo1().Modified());
    EXPECT_EQ(Saved("a.txt"), "second\n");
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

// The program's own writes ask nothing, the UTF-8 question is asked once per
// file, and a file changed outside is never compiled nor reopened unseen.
TEST_F(Documents, TheBuildCycleAsksOnlyAboutOtherProgramsChanges) {
    UseCompiler("cp \"$1\" \"${1%.*}.LST\"");
    frame->LST1Click();
    Open("p.ASM", "nop\n");
    for (int build = 0; build < 2; ++build) {
        test::TypeText(&Control(frame->ActiveChild()), QStringLiteral(";"));
        frame->N14Click();
        for (TMDIChild* child : frame->Children()) {
            frame->MdiArea()->setActiveSubWindow(child);
            frame->MyAppIdle();
        }
    }
    ASSERT_EQ(frame->Children().size(), 2u);
    EXPECT_EQ(frame->Children()[0]->Memo1().Text(), frame->Children()[1]->Memo1().Text());
    EXPECT_TRUE(dialogs.Requests().empty());

    for (const MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        const std::string name = answer == MsgResult::Yes ? "v" : "b";
        dialogs.AnswerMessage(answer); // Yes: only for viewing; No: as bytes
        Open(name + ".ASM", "nop ; \xE2\x86\x92\n");
        const std::size_t asked = dialogs.Requests().size();
        frame->FileOpenAll(dir.File(name + ".ASM"));
        ChangeOutside(frame->ActiveChild(), "mov ax, 1 ; \xE2\x86\x92\n", MsgResult::Yes);
        frame->N14Click();
        EXPECT_EQ(dialogs.Requests().size(), asked + 1) << "only whether to reload";
        std::vector<bool> readOnly; // of two sources and a listing
        for (TMDIChild* child : frame->Children())
            if (child->Caption().rfind(dir.File(name + "."), 0) == 0)
                readOnly.push_back(child->Memo1().ReadOnly());
        EXPECT_EQ(readOnly, std::vector<bool>(3, answer == MsgResult::Yes));
    }

    for (const MsgResult answer : {MsgResult::Cancel, MsgResult::No}) {
        const std::string name = answer == MsgResult::No ? "n" : "c";
        ChangeOutside(Open(name + ".ASM", "mine\n"), "theirs\n", MsgResult::Cancel);
        dialogs.AnswerMessage(answer);
        frame->N14Click();
        EXPECT_EQ(frame->ActiveChild()->Memo1().Text(), "mine\r\n");
        EXPECT_EQ(ReadFileBytes(dir.File(name + ".ASM")),
                  answer == MsgResult::No ? "mine\n" : "theirs\n");
        EXPECT_EQ(fs::exists(dir.File(name + ".LST")), answer == MsgResult::No);
    }
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

TEST_F(Documents, ADosWindowAsksAboutPastedCharactersAndComesBackInItsModeAndPlace) {
    WriteSetting("CODEPAGE", "Распознавать кодировку", "0");
    TMDIChild* window = Open("m.txt", "one\r\ntwo\r\nthree");
    frame->OEM1Click();
    QApplication::clipboard()->setText(QStringLiteral("a—b"));
    dialogs.AnswerMessage(MsgResult::No);
    frame->PasteItemClick();
    EXPECT_EQ(window->Memo1().Text(), "one\r\ntwo\r\nthree");
    EXPECT_TRUE(Has(dialogs.Requests().back().text, "«—»"));
    QApplication::clipboard()->setText(QStringLiteral("Ж"));
    frame->PasteItemClick();
    EXPECT_EQ(window->Memo1().Text(), "\xC6one\r\ntwo\r\nthree");
    window->Memo1().SetModified(false);
    window->Memo1().SetSelStart(7);
    frame->FileCloseItemClick();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window = Open("m.txt", "one\r\ntwo\r\nthree");
    EXPECT_EQ(window->DosMode, 1);
    EXPECT_EQ(window->Memo1().SelStart(), 7);
    EXPECT_FALSE(window->Memo1().Modified());
}

// "д" and a dash in UTF-8; Windows-1251 has the dash, 866 does not.
TEST_F(Documents, AUtf8TextFollowsItsFontsPageOrKeepsTheFont) {
    const FontChoice terminal{"Terminal", 10, 0, clAqua};
    TMDIChild* dash = Open("dash.txt", "a \xE2\x80\x94 b\n");
    dialogs.AnswerFont(terminal);
    dialogs.AnswerMessage(MsgResult::OK);
    frame->Fonts1Click();
    EXPECT_NE(dialogs.Requests().back().text.find("«—» в строке 1"), std::string::npos);
    EXPECT_NE(dash->Memo1().Font().name, "Terminal");
    EXPECT_EQ(dash->Memo1().Text(), "a \x97 b\r\n");

    TMDIChild* window = Open("u.txt", "\xD0\xB4\n");
    dialogs.AnswerFont(terminal);
    frame->Fonts1Click();
    EXPECT_FALSE(window->Memo1().Modified());
    test::TypeText(&Control(window), QStringLiteral("Ж"));
    EXPECT_EQ(Saved("u.txt"), "\xD0\x96\xD0\xB4\n");
    frame->UpdateMenuItems();
    EXPECT_EQ(Field("CodingField"), "UTF-8");
    // Under that font a plain file is kept in 866, and the status bar says so.
    Open("p.txt", "\x86\n");
    EXPECT_EQ(Field("CodingField"), "866");
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

// A message about a source whose name or directory is not UTF-8 still
// leads to its line: names are bytes.
TEST_F(Documents, MessagesLeadToFilesWhoseNamesAreNotUtf8) {
    const std::string folder = "\xC4\xE8\xF0"; // Windows-1251
    fs::create_directory(dir.File(folder));
    WriteFileBytes(dir.File(folder + "/x.inc"), "a\nb\nc\n");
    UseCompiler("printf '%s:2: error: one\\nx.inc(3) two\\n' \"$1\"");
    Open(folder + "/\xCF\xF0\xEE\xE3.ASM", "one\ntwo\nthree\n");
    frame->N14Click();
    EXPECT_EQ(frame->MessagesPane1().MessageCount(), 2);
    for (const auto& [file, line] :
         {std::pair{folder + "/\xCF\xF0\xEE\xE3.ASM", 1}, std::pair{folder + "/x.inc", 2}}) {
        ASSERT_TRUE(frame->MessagesPane1().Next());
        EXPECT_EQ(frame->ActiveChild()->Caption(), dir.File(file));
        EXPECT_EQ(frame->ActiveChild()->Memo1().CaretParagraph(), line);
    }
    EXPECT_TRUE(dialogs.Requests().empty());
}

// The sparse huge file must be refused before its zero bytes are looked for;
// a zero byte left a window that saved a cut text; a pipe waited for ever.
TEST_F(Documents, OnlyRegularFilesOfAFittingSizeThatCanBeShownWholeOpen) {
    const std::string huge = dir.File("huge.txt");
    WriteFileBytes(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), std::int64_t{1} << 31), 0);
    const std::string fifo = dir.File("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/null", dir.File("device.txt"));
    fs::create_directory(dir.File("folder.txt"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    const std::string socketPath = dir.File("socket.txt");
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string zero = dir.File("zero.bin");
    const std::string zeroBytes("line\r\nab\0cd\r\nrest", 17);
    WriteFileBytes(zero, zeroBytes);
    const struct {
        std::string file, message;
    } cases[] = {
        {zero, "(смещение 8)"},
        {dir.File("missing.txt"),
         "Не удалось открыть файл \"" + dir.File("missing.txt") + "\": нет такого файла или папки"},
        {huge, texts::kTextTooLong},
        {dir.File("device.txt"), "устройство"},
        {dir.File("folder.txt"), "папка"},
        {socketPath, "сокет"},
        {fifo, "канал"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenPath(c.file), nullptr) << c.file;
        const std::string reported = Reported();
        EXPECT_TRUE(Has(reported, c.message)) << c.file << ": " << reported;
    }
    ::close(sock);
    EXPECT_TRUE(frame->Children().empty());
    EXPECT_EQ(ReadFileBytes(zero), zeroBytes);
    EXPECT_TRUE(dialogs.Requests().empty());
}

// The length the model gives a text decides the refusal of texts near the
// limit: the model itself is the oracle.
TEST(TextLength, CountsLikeTheModel) {
    std::mt19937 random(77);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            bytes.push_back("ab\r\n"[random() % 4]);
        RIzuvAzazModel model;
        TStringStream stream(bytes);
        model.LoadFromStream(stream);
        EXPECT_EQ(TextLengthOf(bytes), model.TextLength()) << round;
    }
}

// The system's own files say 0 bytes and give more: the frame reports it.
TEST_F(Documents, ReadingGoesToTheEndAndTellsOfAChangedSize) {
    const std::string file = dir.File("log.txt");
    const std::string start(3 << 19, 'x'); // one and a half chunks
    const struct {
        const char* name;
        std::function<void()> change;
        std::string expected;
        bool changed;
    } cases[] = {
        {"still", {}, start, false},
        {"grows", [&] { std::ofstream(file, std::ios::app) << "tail"; }, start + "tail", true},
        {"shrinks", [&] { ::truncate(file.c_str(), 1 << 19); }, start.substr(0, 1 << 20), true},
    };
    for (const auto& c : cases) {
        WriteFileBytes(file, start);
        bool once = false;
        const TReadDocument read = ReadDocument(file, [&] {
            if (!once && c.change) c.change();
            once = true;
        });
        EXPECT_TRUE(read.bytes == c.expected) << c.name << " " << read.bytes.size();
        EXPECT_EQ(read.SizeChanged(), c.changed) << c.name;
    }
    dialogs.AnswerMessage(MsgResult::OK);
    ASSERT_NE(OpenPath("/proc/version"), nullptr);
    EXPECT_TRUE(Has(dialogs.RequestsOf(DialogKind::MessageBox).at(0).text, "изменился"));
}

TEST_F(Documents, AFileWithoutWriteBitsIsNotReplacedBySaveOrSaveAs) {
    const std::string file = dir.File("ro.txt"), other = dir.File("other.txt");
    WriteFileBytes(file, "kept");
    WriteFileBytes(dir.File("ro.BAK"), "old backup");
    WriteFileBytes(other, "mine");
    OpenPath(file)->Memo1().SetText("changed");
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(frame->FileSaveItemClick());
    EXPECT_TRUE(Has(Reported(), "только для чтения"));
    TMDIChild* second = OpenPath(other);
    dialogs.AnswerSave(file);
    EXPECT_FALSE(frame->FileSaveAsItemClick());
    EXPECT_TRUE(Has(Reported(), "только для чтения"));
    EXPECT_EQ(second->Caption(), other);
    EXPECT_EQ(ReadFileBytes(file), "kept");
    EXPECT_EQ(ReadFileBytes(dir.File("ro.BAK")), "old backup");
    EXPECT_TRUE(Strays({"ro.txt", "ro.BAK", "other.txt"}).empty());
}

TEST_F(Documents, ASaveOverADirectoryKeepsTheBackup) {
    const std::string file = dir.File("gone.txt"), backup = dir.File("gone.BAK");
    WriteFileBytes(file, "text");
    WriteFileBytes(backup, "old backup");
    OpenPath(file)->Memo1().SetText("changed");
    fs::remove(file);
    fs::create_directory(file);
    dialogs.AnswerMessage(MsgResult::No); // "changed by another program": write over it
    EXPECT_FALSE(frame->FileSaveItemClick());
    EXPECT_TRUE(Has(Reported(), "папка"));
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(ReadFileBytes(backup), "old backup");
    EXPECT_TRUE(Strays({"gone.txt", "gone.BAK"}).empty());
}

// `text` saved over `file` in a child process after `prepare`: "" when the
// save failed naming `reason`, else what came of it.
std::string SaveInChild(const std::string& file, bool backup, const std::string& text,
                        const char* reason, bool unprivileged,
                        const std::function<void()>& prepare = {}) {
    return test::RunInChild(
        [&]() -> std::string {
            if (prepare) prepare();
            try {
                WriteDocumentFile(file, backup, [&](TStream& out) {
                    out.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
                });
                return "saved";
            } catch (const std::exception& e) {
                return Has(e.what(), reason) ? "" : e.what();
            }
        },
        unprivileged);
}

// Another user's file in a directory open to all: the rename would be
// allowed, but the file is not ours to replace.
TEST_F(Documents, AnotherUsersFileIsNotReplacedInAnOpenDirectory) {
    if (!test::RunningAsRoot()) GTEST_SKIP() << "needs a second user";
    ::chmod(dir.path().c_str(), 0755);
    fs::create_directory(dir.File("shared"));
    ::chmod(dir.File("shared").c_str(), 0777);
    const std::string file = dir.File("shared/root.txt");
    WriteFileBytes(file, "kept");
    EXPECT_EQ(SaveInChild(file, false, "lost", "только для чтения", true), "");
    EXPECT_EQ(ReadFileBytes(file), "kept");
}

// A file-size limit plays the full disk or kills the save half way: the
// document and the old backup survive; a kill's temporaries go at the next open.
TEST_F(Documents, ABackupReplacesTheOldOnlyWhenCompleteAndItsFailureStopsTheSave) {
    const std::string file = dir.File("doc.asm"), backup = dir.File("doc.BAK");
    const std::string old(300000, 'o');
    const struct {
        const char* name;
        bool kill;
        std::string text; // the new text
    } cases[] = {
        {"backup cannot be written", false, "new"},
        {"killed in the backup", true, "new"},
        {"killed in the document", true, std::string(400000, 'n')},
    };
    for (const auto& c : cases) {
        WriteFileBytes(file, old);
        WriteFileBytes(backup, "old backup");
        const std::string report = SaveInChild(file, true, c.text, "doc.BAK", false, [&] {
            if (!c.kill) ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100000, 100000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        EXPECT_EQ(report, c.kill ? " (child killed by signal 25)" : "") << c.name;
        EXPECT_TRUE(ReadFileBytes(file) == old) << c.name;
        EXPECT_EQ(ReadFileBytes(backup), "old backup") << c.name;
        EXPECT_EQ(Strays({"doc.asm", "doc.BAK"}).empty(), !c.kill) << c.name;
        ASSERT_NE(OpenPath(file), nullptr) << c.name;
        EXPECT_TRUE(Strays({"doc.asm", "doc.BAK"}).empty()) << c.name;
        frame->FileCloseItemClick();
    }
}

TEST_F(Documents, TheFileMemoryKeepsTheNewestFilesUnderAnyName) {
    // Names the registry's text file could not hold as they are.
    const std::string odd = dir.File("tab\there 100% \xFF\xFE.txt");
    constexpr std::size_t kKept = 6;
    RememberFile(odd, {'K', 42}, kKept);
    for (int i = 0; i < static_cast<int>(kKept); ++i)
        RememberFile(dir.File("f" + std::to_string(i)), {'D', i}, kKept);
    EXPECT_EQ(RecallFile(dir.File("f0")), (TRememberedFile{'D', 0}));
    EXPECT_EQ(RecallFile(dir.File("sub/../f5")), (TRememberedFile{'D', 5}));
    EXPECT_FALSE(RecallFile(odd)); // the oldest, pushed out
    RememberFile(odd, {'K', 42}, kKept);
    EXPECT_EQ(RecallFile(odd), (TRememberedFile{'K', 42}));
    EXPECT_FALSE(RecallFile(dir.File("f0"))); // and now the oldest is this
    EXPECT_FALSE(RecallFile(dir.File("never")));
}

} // namespace
} // namespace lorvane
