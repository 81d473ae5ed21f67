// A document's file state as it meets the rest of the program: the font,
// the build cycle, a second window on the same file, a reload.
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "app/MessagesPane.h"
#include "app/RIzuvAzazEditor.h"
#include "editor/RIzuvAzaz.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;
namespace fs = std::filesystem;

class DocumentLife : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove(Settings().SettingsFilePath());
        fs::remove(paths::ResolveBareName("HKEY_CURRENT_USER.reg"));
        SharedFlags() = TSharedDocumentFlags{};
        frame = std::make_unique<TMainFormLorvane>(DocumentEditors(), std::vector<std::string>{});
        frame->show();
    }
    void TearDown() override {
        for (TMDIChild* child : frame->Children())
            child->Memo1().SetModified(false);
    }
    TMDIChild* Open(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir.File(name), bytes);
        frame->FileOpenAll(dir.File(name));
        return frame->ActiveChild();
    }
    static void Type(TMDIChild* window, const QString& text) {
        auto& control = static_cast<TRIzuvAzazEditor&>(window->Memo1()).Control();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&control, &press);
        }
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainFormLorvane> frame;
};

// "д" and a dash in UTF-8; the dash is in Windows-1251 but not in 866.
TEST_F(DocumentLife, AUtf8TextFollowsItsFontsPageOrKeepsTheFont) {
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
    EXPECT_EQ(window->Memo1().Font().name, "Terminal");
    EXPECT_FALSE(window->Memo1().Modified());
    window->Memo1().SetSelStart(0);
    Type(window, QStringLiteral("Ж"));
    ASSERT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(dir.File("u.txt")), "\xD0\x96\xD0\xB4\n");
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

// A UTF-8 text with a character Windows-1251 lacks is asked about once:
// the file read again as a window shows it (a second window, a reload, the
// source after a compile, its listing) takes that window's answer.
TEST_F(DocumentLife, TheUtf8QuestionIsAskedOnceForAFile) {
    const std::string compiler = dir.File("cc");
    WriteFileBytes(compiler, "#!/bin/sh\ncp \"$1\" \"${1%.*}.LST\"\n");
    ::chmod(compiler.c_str(), 0755);
    ProfileFile ini(Settings().SettingsFilePath());
    ini.WriteString("ASSEMBLER", "Ассемблер", compiler);
    ini.WriteString("ASSEMBLER", "Расширение файла компилятора", ".ASM");
    ini.WriteString("ASSEMBLER", "Расширение файла листинга", ".LST");
    frame->AboutBoxCr();
    frame->LST1Click();
    const auto questions = [&] {
        return std::count_if(dialogs.Requests().begin(), dialogs.Requests().end(),
                             [](const DialogRequest& r) {
                                 return r.text.find("записан в UTF-8") != std::string::npos;
                             });
    };
    for (const MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        const std::string file = dir.File(answer == MsgResult::Yes ? "v.ASM" : "b.ASM");
        const std::string arrow = "nop ; \xE2\x86\x92\n";
        dialogs.AnswerMessage(answer);
        Open(file, arrow);
        const auto asked = questions();
        frame->FileOpenAll(file);
        TMDIChild* second = frame->ActiveChild();
        // Another program's change, reloaded.
        WriteFileBytes(file, "mov ax, 1 ; \xE2\x86\x92\n");
        struct timespec times[2] = {{0, UTIME_NOW}, {answer == MsgResult::Yes ? 2000 : 3000, 0}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        dialogs.AnswerMessage(MsgResult::Yes);
        second->FormActivate();
        frame->MyAppIdle();
        frame->N14Click();
        EXPECT_EQ(questions(), asked) << file;
        for (TMDIChild* child : frame->Children()) {
            if (child->Document.path.rfind(file.substr(0, file.size() - 4), 0) != 0) continue;
            EXPECT_EQ(child->Memo1().ReadOnly(), answer == MsgResult::Yes) << child->Caption();
            EXPECT_EQ(child->Document.form.utf8, answer == MsgResult::Yes) << child->Caption();
        }
    }
    EXPECT_EQ(frame->Children().size(), 6u); // two sources and a listing each
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

// Names are bytes: a message naming a source whose name (or directory) is
// not UTF-8 still leads to its line.
TEST_F(DocumentLife, MessagesLeadToFilesWhoseNamesAreNotUtf8) {
    const std::string folder = dir.File("\xC4\xE8\xF0"); // "Дир" in Windows-1251
    fs::create_directory(folder);
    const std::string source = folder + "/\xCF\xF0\xEE\xE3.ASM";
    WriteFileBytes(folder + "/x.inc", "a\nb\nc\n");
    const std::string compiler = dir.File("cc");
    WriteFileBytes(compiler, "#!/bin/sh\nprintf '%s:2: error: one\\nx.inc(3) two\\n' \"$1\"\n");
    ::chmod(compiler.c_str(), 0755);
    ProfileFile ini(Settings().SettingsFilePath());
    ini.WriteString("ASSEMBLER", "Ассемблер", compiler);
    ini.WriteString("ASSEMBLER", "Расширение файла компилятора", ".ASM");
    frame->AboutBoxCr();
    Open(source, "one\ntwo\nthree\n");
    frame->N14Click();
    TMessagesPane& pane = frame->MessagesPane1();
    EXPECT_EQ(pane.MessageCount(), 2);
    for (const auto& [file, paragraph] : {std::pair{source, 1}, std::pair{folder + "/x.inc", 2}}) {
        ASSERT_TRUE(pane.Next());
        ASSERT_NE(frame->ActiveChild(), nullptr);
        EXPECT_EQ(frame->ActiveChild()->Caption(), file);
        EXPECT_EQ(frame->ActiveChild()->Memo1().CaretParagraph(), paragraph);
    }
    EXPECT_TRUE(dialogs.Requests().empty());
}

// A text opened only for viewing is never written, so no command changes
// it: its window never holds a change that could only be lost.
TEST_F(DocumentLife, CommandsLeaveATextOpenedOnlyForViewingAsItIs) {
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    const std::function<void()> commands[] = {
        [&] { frame->CutItemClick(); },
        [&] { frame->PasteItemClick(); },
        [&] { frame->N01Click(); },
        [&] { frame->N91Click(); },
        [&] { frame->N23Click(); },
        [&] { frame->N27Click(); },
        [&] {
            frame->Replace2Click();
            dialogs.PressReplaceAll(FindOptions{"x", "y"});
        },
    };
    int round = 0;
    for (const auto& command : commands) {
        dialogs.AnswerMessage(MsgResult::Yes); // only for viewing
        TMDIChild* window = Open("v" + std::to_string(round) + ".txt",
                                 "x\t\xE2\x86\x92        \xD0\xB4\nsecond line\n");
        const std::string text = window->Memo1().Text();
        frame->N4Click();
        command();
        EXPECT_EQ(window->Memo1().Text(), text) << round;
        EXPECT_FALSE(window->Memo1().Modified()) << round++;
    }
}

// A text kept in its window over another program's change to its file is
// what the user compiles, or nothing is: the compiler must not read the
// other text, nor the reopened source replace the window's unseen.
TEST_F(DocumentLife, ACompileAsksAboutAFileChangedUnderAnUnmodifiedWindow) {
    const std::string compiler = dir.File("cc");
    WriteFileBytes(compiler, "#!/bin/sh\ncp \"$1\" \"${1%.*}.LST\"\n");
    ::chmod(compiler.c_str(), 0755);
    ProfileFile ini(Settings().SettingsFilePath());
    ini.WriteString("ASSEMBLER", "Ассемблер", compiler);
    ini.WriteString("ASSEMBLER", "Расширение файла компилятора", ".ASM");
    ini.WriteString("ASSEMBLER", "Расширение файла листинга", ".LST");
    frame->AboutBoxCr();
    frame->LST1Click();
    const std::string file = dir.File("p.ASM");
    long seconds = 5000;
    for (const MsgResult answer : {MsgResult::Cancel, MsgResult::No}) {
        TMDIChild* window = Open(file, "mine\n");
        WriteFileBytes(file, "theirs\n");
        struct timespec times[2] = {{0, UTIME_NOW}, {++seconds, 0}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        dialogs.AnswerMessage(MsgResult::Cancel); // both left alone
        window->FormActivate();
        frame->MyAppIdle();
        dialogs.AnswerMessage(answer);
        const std::size_t asked = dialogs.Requests().size();
        frame->N14Click();
        EXPECT_EQ(dialogs.Requests().size(), asked + 1) << "the compile asked";
        EXPECT_EQ(frame->ActiveChild()->Memo1().Text(), "mine\r\n");
        EXPECT_EQ(ReadFileBytes(file), answer == MsgResult::No ? "mine\n" : "theirs\n");
        EXPECT_EQ(fs::exists(dir.File("p.LST")), answer == MsgResult::No);
        for (TMDIChild* child : frame->Children())
            child->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

} // namespace
} // namespace lorvane
