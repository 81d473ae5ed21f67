// A document's file state where it meets the rest of the program: the font,
// the build cycle and its messages, a second window, a reload, the text
// commands. Through the frame and the real editor control.
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
#include <QLabel>
#include <QStatusBar>

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
    TMDIChild* Open(const std::string& file, const std::string& bytes) {
        WriteFileBytes(file, bytes);
        frame->FileOpenAll(file);
        return frame->ActiveChild();
    }
    // A compiler for ".ASM" sources, with the listing switch on.
    void UseCompiler(const std::string& script) {
        WriteFileBytes(dir.File("cc"), "#!/bin/sh\n" + script + "\n");
        ::chmod(dir.File("cc").c_str(), 0755);
        ProfileFile ini(Settings().SettingsFilePath());
        ini.WriteString("ASSEMBLER", "Ассемблер", dir.File("cc"));
        ini.WriteString("ASSEMBLER", "Расширение файла компилятора", ".ASM");
        ini.WriteString("ASSEMBLER", "Расширение файла листинга", ".LST");
        frame->AboutBoxCr();
        frame->LST1Click();
    }
    // Another program's write, with a time of its own; activation asks.
    void ChangeOutside(TMDIChild* window, const std::string& bytes, MsgResult answer) {
        static long seconds = 1000;
        WriteFileBytes(window->Document.path, bytes);
        struct timespec times[2] = {{0, UTIME_NOW}, {++seconds, 0}};
        ::utimensat(AT_FDCWD, window->Document.path.c_str(), times, 0);
        dialogs.AnswerMessage(answer);
        window->FormActivate();
        frame->MyAppIdle();
    }

    std::string Coding() const {
        return frame->StatusBar1()->findChild<QLabel*>("CodingField")->text().toStdString();
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainFormLorvane> frame;
};

// "д" and a dash in UTF-8; Windows-1251 has the dash, 866 does not.
TEST_F(DocumentLife, AUtf8TextFollowsItsFontsPageOrKeepsTheFont) {
    const FontChoice terminal{"Terminal", 10, 0, clAqua};
    TMDIChild* dash = Open(dir.File("dash.txt"), "a \xE2\x80\x94 b\n");
    dialogs.AnswerFont(terminal);
    dialogs.AnswerMessage(MsgResult::OK);
    frame->Fonts1Click();
    EXPECT_NE(dialogs.Requests().back().text.find("«—» в строке 1"), std::string::npos);
    EXPECT_NE(dash->Memo1().Font().name, "Terminal");
    EXPECT_EQ(dash->Memo1().Text(), "a \x97 b\r\n");

    TMDIChild* window = Open(dir.File("u.txt"), "\xD0\xB4\n");
    dialogs.AnswerFont(terminal);
    frame->Fonts1Click();
    EXPECT_FALSE(window->Memo1().Modified());
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("Ж"));
    QApplication::sendEvent(window->Memo1().Widget(), &press);
    ASSERT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(dir.File("u.txt")), "\xD0\x96\xD0\xB4\n");
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
    // Under that font a plain file is kept in 866, and the status bar says so.
    frame->UpdateMenuItems();
    EXPECT_EQ(Coding(), "UTF-8");
    Open(dir.File("p.txt"), "\x86\n");
    frame->UpdateMenuItems();
    EXPECT_EQ(Coding(), "866");
}

// Asked once for a file: read again as a window shows it (a second window,
// a reload, the source after a compile and its listing), it takes that
// window's answer.
TEST_F(DocumentLife, TheUtf8QuestionIsAskedOnceForAFile) {
    UseCompiler("cp \"$1\" \"${1%.*}.LST\"");
    for (const MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        const std::string file = dir.File(answer == MsgResult::Yes ? "v.ASM" : "b.ASM");
        dialogs.AnswerMessage(answer); // Yes: only for viewing; No: as bytes
        Open(file, "nop ; \xE2\x86\x92\n");
        const std::size_t asked = dialogs.Requests().size();
        frame->FileOpenAll(file);
        ChangeOutside(frame->ActiveChild(), "mov ax, 1 ; \xE2\x86\x92\n", MsgResult::Yes);
        frame->N14Click();
        EXPECT_EQ(dialogs.Requests().size(), asked + 1) << "only whether to reload";
        for (TMDIChild* child : frame->Children())
            if (child->Caption().rfind(file.substr(0, file.size() - 3), 0) == 0)
                EXPECT_EQ(child->Memo1().ReadOnly(), answer == MsgResult::Yes) << child->Caption();
    }
    EXPECT_EQ(frame->Children().size(), 6u); // two sources and a listing each
}

// An unmodified window whose file another program changed (both left alone
// when asked) is compiled as a save would write it, or not at all: the
// compiler must not read the other text, nor the reopened source replace
// the window's unseen.
TEST_F(DocumentLife, ACompileAsksAboutAFileChangedUnderAnUnmodifiedWindow) {
    UseCompiler("cp \"$1\" \"${1%.*}.LST\"");
    for (const MsgResult answer : {MsgResult::Cancel, MsgResult::No}) {
        TMDIChild* window = Open(dir.File(answer == MsgResult::No ? "n.ASM" : "c.ASM"), "mine\n");
        const std::string file = window->Document.path;
        ChangeOutside(window, "theirs\n", MsgResult::Cancel);
        dialogs.AnswerMessage(answer);
        frame->N14Click();
        EXPECT_EQ(frame->ActiveChild()->Memo1().Text(), "mine\r\n");
        EXPECT_EQ(ReadFileBytes(file), answer == MsgResult::No ? "mine\n" : "theirs\n");
        EXPECT_EQ(fs::exists(file.substr(0, file.size() - 3) + "LST"), answer == MsgResult::No);
    }
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

// A message about a source whose name or directory is not UTF-8 still
// leads to its line: names are bytes.
TEST_F(DocumentLife, MessagesLeadToFilesWhoseNamesAreNotUtf8) {
    const std::string folder = dir.File("\xC4\xE8\xF0"); // Windows-1251
    fs::create_directory(folder);
    WriteFileBytes(folder + "/x.inc", "a\nb\nc\n");
    UseCompiler("printf '%s:2: error: one\\nx.inc(3) two\\n' \"$1\"");
    frame->LST1Click(); // no listing
    const std::string source = folder + "/\xCF\xF0\xEE\xE3.ASM";
    Open(source, "one\ntwo\nthree\n");
    frame->N14Click();
    EXPECT_EQ(frame->MessagesPane1().MessageCount(), 2);
    for (const auto& [file, line] : {std::pair{source, 1}, std::pair{folder + "/x.inc", 2}}) {
        ASSERT_TRUE(frame->MessagesPane1().Next());
        EXPECT_EQ(frame->ActiveChild()->Caption(), file);
        EXPECT_EQ(frame->ActiveChild()->Memo1().CaretParagraph(), line);
    }
    EXPECT_TRUE(dialogs.Requests().empty());
}

// A text opened only for viewing can never be saved, so no command changes
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
        dialogs.AnswerMessage(MsgResult::Yes);
        TMDIChild* window = Open(dir.File("v" + std::to_string(round) + ".txt"),
                                 "x\t\xE2\x86\x92        \xD0\xB4\nsecond line\n");
        const std::string text = window->Memo1().Text();
        frame->N4Click();
        command();
        EXPECT_EQ(window->Memo1().Text(), text) << round;
        EXPECT_FALSE(window->Memo1().Modified()) << round++;
    }
}

} // namespace
} // namespace lorvane
