#include "app/Settings.h"

#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace lorvane {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(Path()); }
    void TearDown() override { std::filesystem::remove(Path()); }

    static std::string Path() { return test::ConfigHome() + "/lorvane.INI"; }
    // The file as a person edits it: Windows-1251 text with CR LF.
    static void HandEdit(const std::string& utf8) {
        test::WriteFileBytes(Path(), cp::EncodeFromUtf8(cp::CodePage::Win1251, utf8));
    }
    static std::string OnDisk() {
        return cp::DecodeToUtf8(cp::CodePage::Win1251, test::ReadFileBytes(Path()));
    }

    Settings settings_{"/usr/local/bin/lorvane"};
};

TEST(SettingsFileName, IsTheExecutableNameWithTheExtensionINI) {
    EXPECT_EQ(Settings::SettingsFileNameFor("/usr/bin/lorvane"), "lorvane.INI");
    EXPECT_EQ(Settings::SettingsFileNameFor("/opt/x.y/LORVANE.EXE"), "LORVANE.INI");
    EXPECT_EQ(Settings::SettingsFileNameFor("my.editor.bin"), "my.editor.INI");
    EXPECT_EQ(Settings::SettingsFileNameFor("/home/u/.lorvane"), ".lorvane.INI");
    Settings settings("/usr/local/bin/lorvane");
    EXPECT_EQ(settings.SettingsFilePath(), test::ConfigHome() + "/lorvane.INI");
    // By default the running executable names the file.
    EXPECT_EQ(Settings().SettingsFileName(), "test_app_settings.INI");
}

TEST_F(SettingsTest, WithoutAFileADocumentIsAquaOnBlackInTheEditorsFontAtTen) {
    const DocumentLook look = settings_.DocumentAppearance();
    EXPECT_EQ(look.fontColor, clAqua);
    EXPECT_EQ(look.backgroundColor, clBlack);
    EXPECT_EQ(look.fontName, "");
    EXPECT_EQ(look.fontSize, 10);
    EXPECT_FALSE(settings_.NoBackup());
    settings_.ReadToolSettings();
    EXPECT_EQ(settings_.Tools(), ToolSettings{});
    EXPECT_FALSE(std::filesystem::exists(Path())) << "reading never creates the file";
}

TEST_F(SettingsTest, ColoursReadAsHexadecimalOrDecimalAndMissingKeysKeepTheHeldValue) {
    for (const char* blue : {"0xFF0000", "16711680", "$FF0000", "0XFF0000"}) {
        HandEdit(std::string("[COLORS]\r\nЦвет фона=") + blue + "\r\nЦвет шрифта=255\r\n");
        const DocumentLook look = settings_.DocumentAppearance();
        EXPECT_EQ(look.backgroundColor, clBlue) << blue;
        EXPECT_EQ(look.fontColor, clRed) << blue;
    }
    // Neither a missing key nor a value that is no number resets them.
    HandEdit("[COLORS]\r\nЦвет фона=blue\r\n");
    const DocumentLook look = settings_.DocumentAppearance();
    EXPECT_EQ(look.backgroundColor, clBlue);
    EXPECT_EQ(look.fontColor, clRed);
    EXPECT_EQ(settings_.BackgroundColor(), clBlue);
}

TEST_F(SettingsTest, FontNameAndSizeComeFreshFromTheFileForEachDocument) {
    HandEdit("[FONT]\r\nИмя шрифта=Terminal\r\nРазмер шрифта=14\r\n[NOBAK]\r\n"
             "Не создавать .BAK файл=1\r\n");
    DocumentLook look = settings_.DocumentAppearance();
    EXPECT_EQ(look.fontName, "Terminal");
    EXPECT_EQ(look.fontSize, 14);
    EXPECT_TRUE(settings_.NoBackup());
    // The next document: an empty name keeps the editor's font, and the
    // missing size is 10 again, not the 14 the previous document had.
    HandEdit("[FONT]\r\nИмя шрифта=\r\n");
    look = settings_.DocumentAppearance();
    EXPECT_EQ(look.fontName, "");
    EXPECT_EQ(look.fontSize, 10);
    EXPECT_TRUE(settings_.NoBackup()) << "a missing switch keeps its value";
    for (const char* size : {"0", "-12", "big"}) {
        HandEdit(std::string("[FONT]\r\nРазмер шрифта=") + size + "\r\n");
        EXPECT_EQ(settings_.DocumentAppearance().fontSize, 10) << size;
    }
}

TEST_F(SettingsTest, AHandEditedAssemblerSectionTakesEffectAtTheNextRead) {
    HandEdit("[ASSEMBLER]\r\nАссемблер=tasm\r\nРасширение файла компилятора=.ASM\r\n");
    settings_.ReadToolSettings();
    EXPECT_EQ(settings_.Tools().assemblerPath, "tasm");
    EXPECT_EQ(settings_.Tools().compilerExtension, ".ASM");
    HandEdit("[assembler]\r\nАССЕМБЛЕР=C:\\BC\\BIN\\bcc.exe -c\r\nЛинкер=tlink\r\n"
             "Программа запуска=run me\r\nРасширение файла листинга=.LST\r\n");
    EXPECT_EQ(settings_.Tools().assemblerPath, "tasm") << "only a read changes the values";
    settings_.ReadToolSettings();
    const ToolSettings expected{
        "C:\\BC\\BIN\\bcc.exe -c", "tlink", ".ASM", "", "run me", "", ".LST"};
    EXPECT_EQ(settings_.Tools(), expected);
    HandEdit("[NOBAK]\r\nНе создавать .BAK файл=1\r\n");
    settings_.ReadNoBackup();
    EXPECT_TRUE(settings_.NoBackup());
}

TEST_F(SettingsTest, EveryWriteLandsUnderItsKeyInWindows1251) {
    HandEdit("; kept by hand\r\n[OTHER]\r\nx=1\r\n");
    settings_.WriteFont("Courier New", 12, clLime);
    settings_.WriteBackgroundColor(clBtnFace, clYellow);
    settings_.WriteNoBackup(true);
    const ToolSettings tools{"tasm /zi", "tlink", ".ASM", ".OBJ", "", ".EXE", ".LST"};
    settings_.WriteToolSettings(tools);
    settings_.WriteRunProgram("dosbox prog.exe");
    EXPECT_EQ(settings_.FontColor(), clYellow);
    EXPECT_EQ(settings_.BackgroundColor(), clBtnFace);

    const std::string text = OnDisk();
    EXPECT_EQ(text.rfind("; kept by hand\r\n[OTHER]\r\nx=1\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("[COLORS]\r\nЦвет шрифта=65280\r\nЦвет фона=-2147483633\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Расширение скомпилированного файла=.EXE\r\n"), std::string::npos);

    Settings fresh("/usr/local/bin/lorvane");
    const DocumentLook look = fresh.DocumentAppearance();
    EXPECT_EQ(look.fontName, "Courier New");
    EXPECT_EQ(look.fontSize, 12);
    EXPECT_EQ(look.fontColor, clLime);
    EXPECT_EQ(look.backgroundColor, clBtnFace);
    EXPECT_TRUE(fresh.NoBackup());
    fresh.ReadToolSettings();
    EXPECT_EQ(fresh.Tools(), tools);
    EXPECT_EQ(fresh.ReadRunProgram(), "dosbox prog.exe");
}

TEST_F(SettingsTest, CommandsComeBackExactlyAsTheyWereWritten) {
    // The file format drops one pair of surrounding quotes and surrounding
    // blanks; a quoted program path with a space must survive all the same.
    ToolSettings tools;
    tools.assemblerPath = "\"/opt/my tools/asm\"";
    tools.linkerPath = "'link'";
    tools.runProgram = " sim ";
    tools.compilerExtension = ".ASM";
    settings_.WriteToolSettings(tools);
    settings_.WriteRunProgram("\"/opt/my tools/run\"");
    Settings fresh("/usr/local/bin/lorvane");
    fresh.ReadToolSettings();
    EXPECT_EQ(fresh.Tools(), tools);
    EXPECT_EQ(fresh.ReadRunProgram(), "\"/opt/my tools/run\"");
    // What a person types into the file by hand reads as before.
    HandEdit("[ASSEMBLER]\r\nЛинкер=\"tlink\"\r\n");
    fresh.ReadToolSettings();
    EXPECT_EQ(fresh.Tools().linkerPath, "tlink");
}

TEST_F(SettingsTest, ARefusedWriteRaisesAnErrorNamingTheFile) {
    const std::string saved = test::ConfigHome();
    const std::string blocker = saved + "/plain-file";
    test::WriteFileBytes(blocker, "x");
    ::setenv("LORVANE_CONFIG_HOME", (blocker + "/config").c_str(), 1);
    try {
        settings_.WriteNoBackup(true);
        ADD_FAILURE() << "the write was reported as done";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(blocker + "/config/lorvane.INI"), std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(settings_.NoBackup()) << "the switch holds for this session";
    ::setenv("LORVANE_CONFIG_HOME", saved.c_str(), 1);
    std::filesystem::remove(blocker);
    // A value that would break the file apart is refused, not written.
    EXPECT_THROW(settings_.WriteRunProgram("a\r\n[COLORS]"), Error);
    EXPECT_FALSE(std::filesystem::exists(Path()));

    // Tool settings the file cannot hold (a letter beyond Windows-1251
    // would come back as "?", a CR from a hand-edited file would break the
    // line) are refused as a whole: none of the seven is written.
    const ToolSettings stored{"tasm", "tlink", ".ASM", ".OBJ", "", ".EXE", ".LST"};
    settings_.WriteToolSettings(stored);
    const std::string before = test::ReadFileBytes(Path());
    ToolSettings greek = stored;
    greek.assemblerPath = "nasm";
    greek.runProgram = "/opt/λ/sim";
    ToolSettings broken = stored;
    broken.linkerPath = "ld";
    broken.listingExtension = ".L\rST";
    EXPECT_THROW(settings_.WriteToolSettings(greek), Error);
    EXPECT_THROW(settings_.WriteToolSettings(broken), Error);
    EXPECT_THROW(settings_.WriteRunProgram("/opt/λ/run"), Error);
    // Reading gives back 1023 characters at most: a longer command is refused.
    std::string longest = " ";
    while (longest.size() < 1 + 2 * 1022)
        longest += "я";
    EXPECT_THROW(settings_.WriteRunProgram(longest + "/"), Error);
    EXPECT_EQ(test::ReadFileBytes(Path()), before);
    settings_.WriteRunProgram(longest);
    EXPECT_EQ(settings_.ReadRunProgram(), longest);
}

} // namespace
} // namespace lorvane
