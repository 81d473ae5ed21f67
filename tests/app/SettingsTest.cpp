// The settings file as a person edits it and as the program writes it; the
// command line's options and file names, and how those names reach a
// program already running.
#include "app/Settings.h"
#include "app/CommandLine.h"
#include "app/FindoraxIni.h"
#include "app/HandOver.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/helpers/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"
#include "support/Thrown.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace lorvane {
namespace {

using Words = std::vector<std::string>;

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

// A configuration directory that cannot be made: a plain file stands where
// its parent should be.
struct Blocked {
    Blocked() { test::WriteFileBytes(blocker, "x"); }
    ~Blocked() { std::filesystem::remove(blocker); }
    const std::string blocker = test::ConfigHome() + "/plain-file";
    const std::string config = blocker + "/config";
    const test::ScopedEnv home{"LORVANE_CONFIG_HOME", config};
};

using Look = std::tuple<std::string, int, TColor, TColor>;
Look Of(const DocumentLook& look) {
    return {look.fontName, look.fontSize, look.fontColor, look.backgroundColor};
}

TEST(SettingsFileName, IsTheExecutableNameWithTheExtensionINI) {
    for (const auto& [program, file] : {std::pair{"/usr/bin/lorvane", "lorvane.INI"},
                                        {"/opt/x.y/LORVANE.EXE", "LORVANE.INI"},
                                        {"my.editor.bin", "my.editor.INI"},
                                        {"/home/u/.lorvane", ".lorvane.INI"}})
        EXPECT_EQ(Settings::SettingsFileNameFor(program), file);
    EXPECT_EQ(Settings("/usr/local/bin/lorvane").SettingsFilePath(),
              test::ConfigHome() + "/lorvane.INI");
    // By default the running executable names the file.
    EXPECT_EQ(Settings().SettingsFileName(), "test_app_settings.INI");
}

TEST_F(SettingsTest, HandEditsReadInTurnKeepTheHeldColoursAndSwitchButNotTheFont) {
    // Without a file: aqua on black in the editor's font at ten, nothing created.
    EXPECT_EQ(Of(settings_.DocumentAppearance()), (Look{"", 10, clAqua, clBlack}));
    EXPECT_FALSE(settings_.NoBackup());
    settings_.ReadToolSettings();
    EXPECT_EQ(settings_.Tools(), ToolSettings{});
    EXPECT_FALSE(std::filesystem::exists(Path())) << "reading never creates the file";
    // Each row is read after the one before: colours in any number form, a
    // missing or broken colour or switch keeps the held value; the font's
    // name and size come fresh for each document (10 where missing or bad).
    const struct {
        const char* file;
        Look look;
        bool noBackup;
    } rows[] = {
        {"[COLORS]\r\nЦвет фона=0xFF0000\r\nЦвет шрифта=255", {"", 10, clRed, clBlue}, false},
        {"[COLORS]\r\nЦвет фона=16711680\r\nЦвет шрифта=255", {"", 10, clRed, clBlue}, false},
        {"[COLORS]\r\nЦвет фона=$FF0000\r\nЦвет шрифта=255", {"", 10, clRed, clBlue}, false},
        {"[COLORS]\r\nЦвет фона=0XFF0000\r\nЦвет шрифта=255", {"", 10, clRed, clBlue}, false},
        {"[COLORS]\r\nЦвет фона=blue", {"", 10, clRed, clBlue}, false},
        {"[FONT]\r\nИмя шрифта=Terminal\r\nРазмер шрифта=14\r\n[NOBAK]\r\n"
         "Не создавать .BAK файл=1",
         {"Terminal", 14, clRed, clBlue},
         true},
        {"[FONT]\r\nИмя шрифта=", {"", 10, clRed, clBlue}, true},
        {"[FONT]\r\nРазмер шрифта=0", {"", 10, clRed, clBlue}, true},
        {"[FONT]\r\nРазмер шрифта=-12", {"", 10, clRed, clBlue}, true},
        {"[FONT]\r\nРазмер шрифта=big", {"", 10, clRed, clBlue}, true},
    };
    for (const auto& row : rows) {
        HandEdit(std::string(row.file) + "\r\n");
        EXPECT_EQ(Of(settings_.DocumentAppearance()), row.look) << row.file;
        EXPECT_EQ(settings_.NoBackup(), row.noBackup) << row.file;
    }
    EXPECT_EQ(settings_.BackgroundColor(), clBlue);
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

TEST_F(SettingsTest, EveryWriteLandsUnderItsKeyInWindows1251AndComesBackExactly) {
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
    EXPECT_EQ(Of(fresh.DocumentAppearance()), (Look{"Courier New", 12, clLime, clBtnFace}));
    EXPECT_TRUE(fresh.NoBackup());
    fresh.ReadToolSettings();
    EXPECT_EQ(fresh.Tools(), tools);
    EXPECT_EQ(fresh.ReadRunProgram(), "dosbox prog.exe");

    // The file format drops one pair of surrounding quotes and surrounding
    // blanks; a quoted program path with a space must survive all the same.
    const ToolSettings quoted{"\"/opt/my tools/asm\"", "'link'", ".ASM", "", " sim ", "", ""};
    settings_.WriteToolSettings(quoted);
    settings_.WriteRunProgram("\"/opt/my tools/run\"");
    fresh.ReadToolSettings();
    EXPECT_EQ(fresh.Tools(), quoted);
    EXPECT_EQ(fresh.ReadRunProgram(), "\"/opt/my tools/run\"");
    // What a person types into the file by hand reads as before.
    HandEdit("[ASSEMBLER]\r\nЛинкер=\"tlink\"\r\n");
    fresh.ReadToolSettings();
    EXPECT_EQ(fresh.Tools().linkerPath, "tlink");
}

TEST_F(SettingsTest, ARefusedWriteRaisesAnErrorNamingTheFile) {
    {
        const Blocked blocked;
        const auto error = test::Thrown<IoError>([&] { settings_.WriteNoBackup(true); });
        ASSERT_TRUE(error) << "the write was reported as done";
        EXPECT_NE(std::string(error->what()).find(blocked.config + "/lorvane.INI"),
                  std::string::npos)
            << error->what();
        EXPECT_TRUE(settings_.NoBackup()) << "the switch holds for this session";
    }
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

using Action = CommandLine::Action;

TEST(CommandLine, OptionsEndAtTheDoubleDashAndUnknownOnesAreErrors) {
    struct Case {
        Words words;
        Action action;
        Words files;
        std::string unknown; // the word an error names
    } const cases[] = {
        {{"a.txt", "-x", "-"}, Action::Run, {"a.txt", "-x", "-"}, ""},
        {{"a.txt", "--version"}, Action::Version, {"a.txt"}, ""},
        {{"--version", "--bogus", "--help"}, Action::Help, {}, ""},
        {{"--", "--x", "--help", "--"}, Action::Run, {"--x", "--help", "--"}, ""},
        {{"a", "--Version", "--x"}, Action::Error, {"a"}, "--Version"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.words);
        EXPECT_EQ(line.action, c.action) << testing::PrintToString(c.words);
        EXPECT_EQ(line.files, c.files);
        // The word not known, and how to open a file of that name.
        EXPECT_EQ(line.error.find("«" + c.unknown + "»") != std::string::npos &&
                      line.error.find("lorvane -- " + c.unknown) != std::string::npos,
                  !c.unknown.empty())
            << line.error;
    }
}

TEST(CommandLine, WordsNameOneFileJoinedOrEachTheirOwn) {
    test::TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "my docs.txt", "my"})
        test::WriteFileBytes(dir.File(name), "x");
    const auto at = [&](const char* name) { return dir.File(name); };
    const struct {
        Words words, names;
    } cases[] = {
        {{"a.txt", "b.txt"}, {at("a.txt"), at("b.txt")}},
        // Joined they name a file: the split name wins over the word that
        // is a file by itself too.
        {{"my", "docs.txt"}, {at("my docs.txt")}},
        // A word names nothing: the whole line is the one name reported.
        {{"a.txt", "gone.txt"}, {at("a.txt gone.txt")}},
        {{""}, {}},
    };
    const auto startDirectory = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const auto& c : cases) {
        EXPECT_EQ(StartFiles(c.words), c.names) << testing::PrintToString(c.words);
        // They travel as one string and come back as they went.
        EXPECT_EQ(SplitNames(JoinNames(c.names)), c.names);
    }
    std::filesystem::current_path(startDirectory);
}

class HandOverTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(Registry()); }
    static std::string Registry() { return test::ConfigHome() + "/HKEY_CURRENT_USER.reg"; }
};

TEST(JoinParameters, RestoresANameTheCommandLineSplitAtItsSpaces) {
    const std::vector<std::string> halves{"/home/user/My", "Documents/prog.asm"};
    EXPECT_EQ(JoinParameters(halves), "/home/user/My Documents/prog.asm");
    const char* argv[] = {"lorvane", "a", "", "b"};
    EXPECT_EQ(JoinParameters(4, argv), "a  b");
    EXPECT_EQ(JoinParameters(1, argv), "");
}

TEST_F(HandOverTest, TheNameIsTakenOnceIdlePassesWriteNothingAndNothingWaitsInAnUnusableOne) {
    EXPECT_EQ(TakeHandOver(), "");
    EXPECT_FALSE(std::filesystem::exists(Registry())) << "an idle pass must not write";
    EXPECT_TRUE(WriteHandOver(""));
    EXPECT_FALSE(std::filesystem::exists(Registry())) << "no parameters: nothing written";

    ASSERT_TRUE(WriteHandOver("/w/Отчёт 1.txt"));
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\OpenFileLorvane\\Parameter", false));
    EXPECT_EQ(registry.ReadString("Parameter"), "/w/Отчёт 1.txt");

    EXPECT_EQ(TakeHandOver(), "/w/Отчёт 1.txt");
    EXPECT_EQ(registry.ReadString("Parameter"), "");
    EXPECT_EQ(TakeHandOver(), "");
    EXPECT_EQ(TakeSearchProgramRequest(), "");

    // The search program's request waits under its own key.
    registry.OpenKey("\\OpenFileLorvane\\Findorax", true);
    registry.WriteString("Parameter", "/w/found.asm");
    EXPECT_EQ(TakeHandOver(), "");
    EXPECT_EQ(TakeSearchProgramRequest(), "/w/found.asm");
    EXPECT_EQ(registry.ReadString("Parameter"), "");

    // An unusable registry means nothing waits.
    registry.OpenKey("\\OpenFileLorvane\\Parameter", true);
    registry.WriteInteger("Parameter", 5);
    EXPECT_EQ(TakeHandOver(), "");
    const Blocked blocked;
    EXPECT_FALSE(WriteHandOver("/w/a.txt"));
    EXPECT_EQ(TakeHandOver(), "");
}

TEST(HandOverQueue, EachStartsNameOpensOnceWhicheverWayComesFirst) {
    // Events in order: "s" a name over the socket, "r" one taken from the
    // registry, "+" seconds passing; then what opens, in order.
    struct Case {
        std::vector<std::string> events;
        std::vector<std::string> opened;
    };
    const std::vector<Case> cases = {
        {{"s a", "s b"}, {"a", "b"}},
        {{"r a", "s a"}, {"a"}},             // the registry was faster
        {{"r a", "s a", "s a"}, {"a", "a"}}, // the same file from two starts
        {{"s a", "r a"}, {"a", "a"}},        // a second start that reached no socket
        {{"r a", "r b", "s b", "s a"}, {"a", "b"}},
        {{"r a", "+31", "s a"}, {"a", "a"}}, // a peer that only writes the registry
    };
    for (const Case& c : cases) {
        HandOverQueue queue;
        auto now = HandOverQueue::Clock::now();
        for (const std::string& event : c.events) {
            const std::string value = event.substr(2);
            if (event[0] == 's') queue.FromSocket(value, now);
            if (event[0] == 'r') queue.FromRegistry(value, now);
            if (event[0] == '+') now += std::chrono::seconds(std::stoi(event.substr(1)));
        }
        std::vector<std::string> opened;
        while (const auto name = queue.Next())
            opened.push_back(*name);
        EXPECT_EQ(opened, c.opened) << ::testing::PrintToString(c.events);
    }
}

TEST(FindoraxIni, TheStoredNameIsTakenAndEmptiedAndAMissingFileStaysMissing) {
    const std::string path = test::ConfigHome() + "/FINDORAX.INI";
    std::filesystem::remove(path);
    EXPECT_EQ(TakeFindoraxLoadName("/w/cmd.txt"), "/w/cmd.txt");
    EXPECT_FALSE(std::filesystem::exists(path));

    test::WriteFileBytes(path, "[Options]\r\nDepth=3\r\n[Load]\r\nFileName=/w/found.asm\r\n");
    EXPECT_EQ(TakeFindoraxLoadName("/w/cmd.txt"), "/w/found.asm");
    EXPECT_EQ(test::ReadFileBytes(path), "[Options]\r\nDepth=3\r\n[Load]\r\nFileName=\r\n");
    EXPECT_EQ(TakeFindoraxLoadName(""), "");
}

} // namespace
} // namespace lorvane
