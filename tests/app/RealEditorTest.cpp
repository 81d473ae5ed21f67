// The document window on the program's own editor control: typed keys pass
// the window's translation, files load and save through the control's line
// view, and windows open and close inside the frame.
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "app/RIzuvAzazEditor.h"
#include "editor/view/RIzuvAzaz.h"
#include "platform/ErrorHandler.h"
#include "platform/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>

#include <gtest/gtest.h>

#include <cstdlib>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

void TypeText(QWidget* target, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

TEST(RealEditor, TerminalTypingStoresCodePage866AndPseudoGraphics) {
    TempDir dir;
    SharedFlags() = TSharedDocumentFlags{};
    TMainFormLorvane frame(DocumentEditors(), {});
    frame.show();
    frame.FileNewItemClick();
    TMDIChild* window = frame.ActiveChild();
    ASSERT_NE(window, nullptr);
    auto& control = static_cast<TRIzuvAzazEditor&>(window->Memo1()).Control();
    EXPECT_EQ(control.FontColor(), clAqua);
    EXPECT_TRUE(control.Font().fixedPitch);

    TypeText(&control, QStringLiteral("Жж"));
    EXPECT_EQ(control.Text(), "\xC6\xE6");
    LogicalFont terminal = control.Font();
    terminal.name = "Terminal";
    control.SetFont(terminal);
    TypeText(&control, QStringLiteral("Жж"));
    SharedFlags().PseudoGraphicsInput = true;
    TypeText(&control, QStringLiteral("Жz╗ю"));
    // "╗" has no Windows-1251 byte: nothing is typed. "ю" gives code 127,
    // which must reach the text although 127 typed is a control key.
    EXPECT_EQ(control.Text(), "\xC6\xE6\x86\xA6\xF7z\x7F");
    EXPECT_TRUE(control.Modified());
    if (const char* shot = std::getenv("LORVANE_SHOT")) frame.grab().save(QString::fromUtf8(shot));

    ScriptedDialogs dialogs;
    dialogs.AnswerSave(dir.File("typed"));
    EXPECT_TRUE(frame.FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(dir.File("typed.TXT")), "\xC6\xE6\x86\xA6\xF7z\x7F");
    EXPECT_FALSE(control.Modified());

    // Ctrl+Backspace (which also delivers 127) empties the paragraph and
    // types nothing.
    QKeyEvent ctrlBackspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::ControlModifier,
                            QString(QChar(0x7F)));
    QApplication::sendEvent(&control, &ctrlBackspace);
    EXPECT_EQ(control.Text(), "");
}

TEST(RealEditor, FilesLoadSaveAndCloseThroughTheControl) {
    TempDir dir;
    SharedFlags() = TSharedDocumentFlags{};
    const std::string file = dir.File("two.txt");
    WriteFileBytes(file, "first\r\nsecond\r\n");
    TMainFormLorvane frame(DocumentEditors(), {});
    frame.show();
    frame.FileOpenAll(file);
    frame.FileOpenAll(file);
    frame.UpdateMenuItems();
    ASSERT_EQ(frame.Children().size(), 2u);
    TMDIChild* window = frame.ActiveChild();
    EXPECT_FALSE(window->Memo1().Modified());
    EXPECT_EQ(window->Memo1().LineCount(), 2);
    window->Memo1().SetText("changed");
    EXPECT_TRUE(frame.FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(file), "changed");
    EXPECT_EQ(ReadFileBytes(dir.File("two.BAK")), "first\r\nsecond\r\n");

    ScriptedDialogs dialogs;
    dialogs.AnswerMessage(MsgResult::No);
    frame.Children()[0]->Memo1().SetText("dropped");
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(ReadFileBytes(file), "changed");
}

TEST(RealEditor, DosAndKoi8FilesComeBackByteForByteAroundAnEdit) {
    TempDir dir;
    SharedFlags() = TSharedDocumentFlags{};
    // Every byte a text line can hold, box drawing and letters alike.
    std::string bytes;
    for (int b = 0x20; b < 0x100; ++b) {
        bytes.push_back(static_cast<char>(b));
        if (b % 32 == 31) bytes += "\r\n";
    }
    struct Mode {
        const char* file;
        void (TMainFormLorvane::*toggle)();
        const char* typed; // "Я" as the file's code page writes it
    };
    for (const Mode& mode : {Mode{"dos.txt", &TMainFormLorvane::OEM1Click, "\x9F"},
                             Mode{"koi.txt", &TMainFormLorvane::Ansi1Click, "\xF1"}}) {
        const std::string file = dir.File(mode.file);
        WriteFileBytes(file, bytes);
        TMainFormLorvane frame(DocumentEditors(), {});
        frame.show();
        frame.FileOpenAll(file);
        TMDIChild* window = frame.ActiveChild();
        ASSERT_NE(window, nullptr);
        (frame.*mode.toggle)();
        auto& control = static_cast<TRIzuvAzazEditor&>(window->Memo1()).Control();
        control.SetSelStart(0);
        TypeText(&control, QStringLiteral("Я"));
        EXPECT_TRUE(frame.FileSaveItemClick());
        EXPECT_EQ(ReadFileBytes(file), mode.typed + bytes) << mode.file;
        window->Memo1().SetModified(false);
    }
}

TEST(RealEditor, AFileThatCannotBeShownWholeOpensNoWindow) {
    TempDir dir;
    SharedFlags() = TSharedDocumentFlags{};
    const std::string zero = dir.File("zero.bin");
    const std::string bytes("line\r\nab\0cd\r\nrest", 17);
    WriteFileBytes(zero, bytes);
    std::vector<std::string> errors;
    TApplication::SetReporter([&](const std::string& text) { errors.push_back(text); });
    TMainFormLorvane frame(DocumentEditors(), {});
    frame.show();
    frame.FileOpenAll(zero);
    frame.FileOpenAll(dir.File("missing.txt"));
    QApplication::processEvents();
    TApplication::SetReporter({});
    // No window is left whose save could put a cut or empty text over the
    // file; the user is told why.
    EXPECT_TRUE(frame.Children().empty());
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("(смещение 8)"), std::string::npos) << errors[0];
    EXPECT_EQ(errors[1], "Не удалось открыть файл \"" + dir.File("missing.txt") +
                             "\": нет такого файла или папки");
    EXPECT_EQ(ReadFileBytes(zero), bytes);
}

} // namespace
} // namespace lorvane
