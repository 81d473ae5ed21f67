// The document window on the real editor control: the "Terminal" font's
// keys, the status line, its own save with backups and code-page modes, and
// where a new window opens.
#include "app/Child.h"
#include "FrameFixture.h"
#include "app/KeyTranslation.h"
#include "platform/CodePageTables.h"
#include "platform/Translations.h"

#include <filesystem>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// A window of its own, outside any frame.
struct Window {
    Window() {
        auto editor = std::make_unique<TRIzuvAzazEditor>();
        memo = editor.get();
        child = std::make_unique<TMDIChild>(std::move(editor));
        child->setAttribute(Qt::WA_DeleteOnClose, false);
        SharedFlags() = TSharedDocumentFlags{};
    }
    TDocumentEditor* memo;
    std::unique_ptr<TMDIChild> child;
};

std::string Utf8Of(char32_t c) {
    std::string out;
    cp::AppendUtf8(out, c);
    return out;
}

TEST(TerminalKeys, LettersGoToCodePage866PlainOrAsThePalettesGlyphsAndNothingElseMoves) {
    // key (Windows-1251 letter) and the glyph the palette must put on screen
    const std::u32string keys =
        U"ЁёАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя";
    const std::u32string glyphs =
        U"Ёё║╜╣╥Ў▌ўє▐╔═╢▄╓╫▀╟╝╙╗╠Ї╦╩╖Єї╬╨  ╚│╛┤╤№░¤∙▓┌─╡█╒╪▒╞┘╘┐├·┬┴╕°√┼╧■\x7F└";
    ASSERT_EQ(keys.size(), glyphs.size());
    int letters = 0;
    for (unsigned key = 0; key <= 0xFF; ++key) {
        const auto k = static_cast<unsigned char>(key);
        const char32_t letter = cp::ToUnicode(cp::CodePage::Win1251, k);
        const unsigned char plain = TerminalKey(k, false), palette = TerminalKey(k, true);
        const std::size_t at = keys.find(letter);
        if (at == std::u32string::npos) {
            EXPECT_EQ(plain, key) << "not a letter, must pass: " << std::hex << key;
            EXPECT_EQ(palette, key) << "not a letter, must pass: " << std::hex << key;
            continue;
        }
        ++letters;
        EXPECT_EQ(cp::ToUnicode(cp::CodePage::Cp866, plain), letter) << std::hex << key;
        EXPECT_EQ(Utf8Of(cp::ToUnicode(cp::CodePage::Cp866, palette)), Utf8Of(glyphs[at]))
            << "key " << std::hex << key;
    }
    EXPECT_EQ(letters, 66);
}

TEST(DocumentWindow, StatusShowsTheCaretAndTakesFontAndUndoOnlyFromTheFocusedEditor) {
    Window w;
    w.child->show();
    QApplication::setActiveWindow(w.child.get());
    w.child->UpdateStatus();
    EXPECT_EQ(w.child->PanelText(1).toStdString(),
              "Курсор: 1 : 1    Строк: 0        Размер текста: 0  байт");
    EXPECT_EQ(w.child->PanelText(0), "");
    test::TypeText(w.memo->Widget(), QStringLiteral("x"));
    w.memo->SetFont(LogicalFont{"Terminal", 0, 10, 0, true});
    w.memo->Widget()->clearFocus();
    w.child->UpdateStatus();
    EXPECT_EQ(w.child->PanelText(0), "*");
    EXPECT_EQ(w.child->PanelText(1).toStdString(),
              "Курсор: 1 : 2    Строк: 1        Размер текста: 1  байт");
    EXPECT_FALSE(SharedFlags().TerminalFontActive);
    EXPECT_FALSE(SharedFlags().ActiveCanUndo);
    w.memo->Widget()->setFocus();
    w.child->UpdateStatus();
    EXPECT_TRUE(SharedFlags().TerminalFontActive);
    EXPECT_TRUE(SharedFlags().ActiveCanUndo);
    w.memo->SetModified(false);
}

TEST(Backups, NamesReplaceOnlyTheFileExtensionAndTwoFilesOfOneStemShareTheirBackup) {
    for (const auto& [file, backup] : {std::pair{"/a/A.ASM", "/a/A.BAK"},
                                       {"/a/prog", "/a/prog.BAK"},
                                       {"/a.dir/prog", "/a.dir/prog.BAK"},
                                       {"/a/x.tar.gz", "/a/x.tar.BAK"}})
        EXPECT_EQ(BackupName(file), backup);
    TempDir dir;
    const std::string asmFile = dir.File("A.ASM");
    const std::string txtFile = dir.File("A.TXT");
    WriteFileBytes(asmFile, "old asm");
    WriteFileBytes(txtFile, "old txt");
    WriteFileBytes(dir.File("A.BAK"), "older");

    Window a;
    a.child->SetCaption(asmFile);
    a.memo->SetText("new asm");
    ASSERT_TRUE(a.child->FileSaveItem());
    EXPECT_EQ(ReadFileBytes(dir.File("A.BAK")), "old asm");
    EXPECT_EQ(ReadFileBytes(asmFile), "new asm");
    EXPECT_FALSE(a.memo->Modified());

    Window t;
    t.child->SetCaption(txtFile);
    t.memo->SetText("new txt");
    ASSERT_TRUE(t.child->FileSaveItem());
    EXPECT_EQ(ReadFileBytes(dir.File("A.BAK")), "old txt");

    // Not modified: no backup.
    WriteFileBytes(dir.File("A.BAK"), "kept");
    ASSERT_TRUE(t.child->FileSaveItem());
    EXPECT_EQ(ReadFileBytes(dir.File("A.BAK")), "kept");

    // A file that is its own backup name (here a link to the real file)
    // is not deleted as its own backup before it is written.
    WriteFileBytes(dir.File("real.txt"), "real");
    std::filesystem::create_symlink("real.txt", dir.File("L.BAK"));
    Window l;
    l.child->SetCaption(dir.File("L.BAK"));
    l.memo->SetText("through the link");
    ASSERT_TRUE(l.child->FileSaveItem());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("L.BAK")));
    EXPECT_EQ(ReadFileBytes(dir.File("real.txt")), "through the link");
}

TEST(OwnSave, DosAndKoi8ModesWriteConvertedBytesAndAskAboutCharactersTheirPageLacks) {
    TempDir dir;
    ScriptedDialogs dialogs;
    const std::string file = dir.File("d.txt");
    WriteFileBytes(file, "old");
    const std::string text = "\xCF\xF0\xE8\xE2\xE5\xF2 \xB9\r\n\xA8\xB8"; // Привет №, Ёё
    Window w;
    w.child->SetCaption(file);
    w.memo->SetText(text);
    w.child->DosMode = 1;
    SharedFlags().NoBackupFlag = true;
    // "№" has no letter code in 866: written as it is, it reads "╣" there.
    // No leaves the file alone.
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_FALSE(w.child->FileSaveItem());
    EXPECT_EQ(ReadFileBytes(file), "old");
    EXPECT_TRUE(w.memo->Modified());
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_NE(dialogs.Requests()[0].text.find("«№» в строке 1 "), std::string::npos);
    EXPECT_NE(dialogs.Requests()[0].text.find("«╣»"), std::string::npos);
    dialogs.AnswerMessage(MsgResult::Yes);
    ASSERT_TRUE(w.child->FileSaveItem());
    EXPECT_EQ(ReadFileBytes(file), "\x8F\xE0\xA8\xA2\xA5\xE2 \xB9\r\n\xF0\xF1");
    EXPECT_EQ(w.memo->Text(), text);

    // Written once, the byte is the file's own and is not asked about again.
    w.child->DosMode = 0;
    w.child->Koi8Mode = 1;
    w.memo->SetModified(true);
    ASSERT_TRUE(w.child->FileSaveItem());
    EXPECT_EQ(ReadFileBytes(file), "\xF0\xD2\xC9\xD7\xC5\xD4 \xB9\r\n\xB3\xA3");
    EXPECT_EQ(dialogs.Requests().size(), 2u);
}

TEST(OwnSave, SaveAsRenamesTheWindowOnlyForAPlainSave) {
    TempDir dir;
    ScriptedDialogs dialogs;
    Window w;
    w.child->SetCaption(kUntitled);
    SharedFlags().CompilerExtensionCopy = ".ASM";
    w.memo->SetText("abc");
    dialogs.AnswerSave(dir.File("out"));
    ASSERT_TRUE(w.child->FileSaveItem());
    const auto request = dialogs.RequestsOf(DialogKind::SaveFile).at(0);
    EXPECT_EQ(request.file.fileName, "");
    EXPECT_EQ(request.file.filter.rfind("Текстовые файлы(*.ASM; *.TXT;", 0), 0u);
    EXPECT_EQ(w.child->Caption(), dir.File("out"));
    EXPECT_EQ(SharedFlags().CurrentExtension, "EXE");
    EXPECT_EQ(ReadFileBytes(dir.File("out")), "abc");

    // In DOS mode Save As only exports a converted copy.
    w.child->DosMode = 1;
    w.memo->SetText("\xC0");
    dialogs.AnswerSave(dir.File("dos.txt"));
    ASSERT_TRUE(w.child->FileSaveAsItem());
    EXPECT_EQ(ReadFileBytes(dir.File("dos.txt")), "\x80");
    EXPECT_EQ(w.child->Caption(), dir.File("out"));
    EXPECT_TRUE(w.memo->Modified());
}

TEST(CloseQuery, ANewWindowOpensWhereTheLastClosedOneStood) {
    ScriptedDialogs dialogs;
    Window first;
    first.child->setGeometry(33, 44, 320, 240);
    first.memo->SetText("kept");
    dialogs.AnswerMessage(MsgResult::Cancel); // a refused close stores nothing
    EXPECT_FALSE(first.child->CloseQuery());
    first.child->setGeometry(35, 46, 330, 250);
    dialogs.AnswerMessage(MsgResult::No);
    EXPECT_TRUE(first.child->CloseQuery());

    Window second;
    EXPECT_EQ(second.child->geometry(), QRect(35, 46, 330, 250));
}

TEST(DocumentWindow, TheToolkitsOwnTextsAreRussian) {
    // Standard buttons and the system menu come from the toolkit; its
    // translation is a dependency of the package and must be found.
    const auto translation = LoadToolkitTranslation();
    ASSERT_NE(translation, nullptr);
    QCoreApplication::installTranslator(translation.get());
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    QCoreApplication::removeTranslator(translation.get());
    EXPECT_EQ(cancel, QStringLiteral("Отмена"));
}

} // namespace
} // namespace lorvane
