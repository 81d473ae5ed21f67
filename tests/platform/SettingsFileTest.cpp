// The two settings stores: registry files (REGEDIT4, one per root) and
// profile files (Windows-1251 INI), both read whole and written atomically.
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/helpers/ChildProcess.h"
#include "platform/helpers/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/Thrown.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

using namespace lorvane;
namespace fs = std::filesystem;

namespace {

std::string Cp1251(std::string_view utf8) {
    return cp::EncodeFromUtf8(cp::CodePage::Win1251, utf8);
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string RegFile(const char* root = "HKEY_CURRENT_USER") const {
        return dir_.File(std::string(root) + ".reg");
    }
    std::string Text() const { return test::ReadFileBytes(RegFile()); }
    std::string Path(const char* name = "lorvane.INI") const { return dir_.File(name); }

    test::TempDir dir_;
    test::ScopedEnv env_{"LORVANE_CONFIG_HOME", dir_.path().string()};
};
using RegistryTest = SettingsFileTest;
using ProfileFileTest = SettingsFileTest;

} // namespace

TEST_F(RegistryTest, ValuesOfEveryTypeRoundTripThroughTheFile) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\OpenFileLorvane\\Main", true));
    reg.WriteInteger("RCLeft", 10);
    reg.WriteInteger("RCTop", -1);
    const std::uint8_t state = 2;
    reg.WriteBinaryData("RCWindowState", &state, 1);
    reg.WriteBinaryData("Empty", nullptr, 0);
    std::vector<std::uint8_t> long_(100);
    for (std::size_t i = 0; i < long_.size(); ++i)
        long_[i] = static_cast<std::uint8_t>(i * 7);
    reg.WriteBinaryData("Long", long_.data(), long_.size());
    reg.WriteString("Path", "C:\\SRC\\\"A\".ASM");
    reg.WriteString("Russian", "Текст в файле");
    reg.WriteString("Lines", std::string("one\ntwo\r\n\0end", 13));
    reg.WriteString("", "default");
    reg.WriteString("EmptyString", "");

    const std::string text = Text();
    EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\OpenFileLorvane\\Main]\n"), std::string::npos);
    EXPECT_NE(text.find("\"RCLeft\"=dword:0000000a\n"), std::string::npos);
    EXPECT_NE(text.find("\"RCTop\"=dword:ffffffff\n"), std::string::npos);
    EXPECT_NE(text.find("\"RCWindowState\"=hex:02\n"), std::string::npos);
    EXPECT_NE(text.find("\"Path\"=\"C:\\\\SRC\\\\\\\"A\\\".ASM\"\n"), std::string::npos);
    EXPECT_NE(text.find("@=\"default\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Long\"=hex:00,07,"), std::string::npos);
    EXPECT_NE(text.find(",\\\n  "), std::string::npos) << "long data continues on more lines";

    TRegistry other; // a fresh object reads the file, nothing is cached
    ASSERT_TRUE(other.OpenKey("OpenFileLorvane\\Main", false));
    EXPECT_EQ(other.ReadInteger("RCLeft"), 10);
    EXPECT_EQ(other.ReadInteger("RCTop"), -1);
    std::uint8_t byte = 0;
    EXPECT_EQ(other.ReadBinaryData("RCWindowState", &byte, 1), 1u);
    EXPECT_EQ(byte, 2);
    EXPECT_TRUE(other.ReadBinaryData("Empty").empty());
    EXPECT_EQ(other.ReadBinaryData("Long"), long_);
    EXPECT_EQ(other.ReadString("Path"), "C:\\SRC\\\"A\".ASM");
    EXPECT_EQ(other.ReadString("Russian"), "Текст в файле");
    EXPECT_EQ(other.ReadString("Lines"), std::string("one\ntwo\r\n\0end", 13));
    EXPECT_EQ(other.ReadString(""), "default");
    EXPECT_TRUE(other.ValueExists("EmptyString"));
    EXPECT_EQ(other.GetDataType("RCLeft"), RegDataType::Integer);
    EXPECT_EQ(other.GetDataType("Long"), RegDataType::Binary);
    EXPECT_EQ(other.GetDataType("Nope"), RegDataType::None);
}

TEST_F(RegistryTest, MissingAndMistypedValuesFailClearly) {
    TRegistry reg;
    EXPECT_THROW(reg.WriteString("x", "y"), Error) << "no key open";
    EXPECT_EQ(reg.ReadString("x"), "");
    ASSERT_TRUE(reg.OpenKey("OpenFileLorvane\\Child", true));
    EXPECT_EQ(reg.ReadString("Parameter"), "") << "a missing string reads as empty";
    EXPECT_FALSE(reg.ValueExists("Parameter"));
    const auto readLeft = [&] { return test::Thrown<Error>([&] { reg.ReadInteger("RCLeft"); }); };
    EXPECT_STREQ(readLeft().value().what(), "Registry value \"RCLeft\" does not exist");
    reg.WriteString("RCLeft", "10");
    EXPECT_STREQ(readLeft().value().what(), "Registry value \"RCLeft\" is not a 32-bit integer");
    EXPECT_THROW(reg.ReadBinaryData("RCLeft"), Error);
    EXPECT_THROW(reg.ReadBinaryData("Missing"), Error);
    reg.WriteInteger("Number", 5);
    EXPECT_THROW(reg.ReadString("Number"), Error);
    const std::uint8_t two[2] = {1, 2};
    reg.WriteBinaryData("RCWindowState", two, 2);
    std::uint8_t one = 0;
    EXPECT_THROW(reg.ReadBinaryData("RCWindowState", &one, 1), Error) << "longer than asked";
    EXPECT_THROW(reg.WriteString("bad\nname", "v"), Error);
    EXPECT_THROW(reg.OpenKey("bad\x01key", true), Error);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("OpenFileLorvane\\History\\", true));
    reg.WriteString("FileOpen1", "a");
    reg.WriteString("FILEOPEN1", "b");
    EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"FileOpen1"});
    EXPECT_EQ(reg.ReadString("fileopen1"), "b");
    ASSERT_TRUE(reg.OpenKey("\\OPENFILELORVANE\\history", false));
    EXPECT_EQ(reg.CurrentPath(), "OpenFileLorvane\\History");
    ASSERT_TRUE(reg.OpenKey("\\openfilelorvane\\Новый", true));
    EXPECT_EQ(reg.CurrentPath(), "OpenFileLorvane\\Новый");
    reg.WriteString("Цвет Фона", "1");
    EXPECT_EQ(reg.ReadString("цвет фона"), "1");
    EXPECT_TRUE(reg.KeyExists("\\OpenFileLorvane\\НОВЫЙ"));
}

TEST_F(RegistryTest, KeysOpenRelativelyAndDeleteWithTheirSubtree) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("A\\B", false));
    EXPECT_FALSE(reg.HasOpenKey());
    EXPECT_FALSE(fs::exists(RegFile())) << "looking does not create the file";
    ASSERT_TRUE(reg.OpenKey("A\\B\\C", true));
    EXPECT_TRUE(reg.KeyExists("\\A\\B")) << "keys above are created too";
    ASSERT_TRUE(reg.OpenKey("\\A", false));
    ASSERT_TRUE(reg.OpenKey("B", false)) << "relative to the open key";
    EXPECT_EQ(reg.CurrentPath(), "A\\B");
    EXPECT_FALSE(reg.OpenKey("Missing", false));
    EXPECT_EQ(reg.CurrentPath(), "A\\B") << "a failed open keeps the open key";
    reg.WriteInteger("v", 1);
    ASSERT_TRUE(reg.OpenKey("\\AB", true));
    reg.WriteInteger("w", 2);
    ASSERT_TRUE(reg.OpenKey("\\A\\B2", true));
    ASSERT_TRUE(reg.OpenKey("\\A", false));
    EXPECT_EQ(reg.GetKeyNames(), (std::vector<std::string>{"B", "B2"}));
    EXPECT_TRUE(reg.HasSubKeys());

    EXPECT_TRUE(reg.DeleteKey("B"));
    EXPECT_FALSE(reg.KeyExists("\\A\\B\\C"));
    EXPECT_FALSE(reg.KeyExists("\\A\\B"));
    EXPECT_TRUE(reg.KeyExists("\\A\\B2"));
    EXPECT_FALSE(reg.DeleteKey("B")) << "already gone";
    EXPECT_FALSE(reg.DeleteKey("\\")) << "the root stays";
    ASSERT_TRUE(reg.OpenKey("\\AB", false)) << "a sibling sharing the prefix survives";
    EXPECT_EQ(reg.ReadInteger("w"), 2);
    EXPECT_TRUE(reg.DeleteValue("W"));
    EXPECT_FALSE(reg.DeleteValue("w"));
    EXPECT_FALSE(reg.ValueExists("w"));

    TRegistry machine(RootKey::LocalMachine);
    EXPECT_FALSE(machine.KeyExists("\\AB")) << "each root is its own file";
    ASSERT_TRUE(machine.OpenKey("\\AB", true));
    machine.WriteInteger("m", 3);
    EXPECT_NE(test::ReadFileBytes(RegFile("HKEY_LOCAL_MACHINE")).find("[HKEY_LOCAL_MACHINE\\AB]"),
              std::string::npos);
}

TEST_F(RegistryTest, ReadsHandWrittenFilesAndKeepsWhatItDoesNotKnow) {
    test::WriteFileBytes(RegFile(), "\xEF\xBB\xBFREGEDIT4\r\n"
                                    "; written by hand\r\n"
                                    "\r\n"
                                    "[hkey_current_user\\Tools\\Deep]\r\n"
                                    "@=\"default\"\r\n"
                                    "\"Expand\"=hex(2):25,00\r\n"
                                    "\"Multi\"=hex(7):61,00,62,00,00\r\n"
                                    "\"Split\" = hex:01,02,\\\r\n"
                                    "    03,04\r\n"
                                    "\"Dw\"=DWORD:1F\r\n");
    TRegistry reg;
    ASSERT_TRUE(reg.KeyExists("\\Tools")) << "keys above a section exist";
    ASSERT_TRUE(reg.OpenKey("\\Tools\\Deep", false));
    EXPECT_EQ(reg.ReadString(""), "default");
    EXPECT_EQ(reg.ReadString("Expand"), "%");
    EXPECT_EQ(reg.ReadBinaryData("Split"), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(reg.ReadInteger("Dw"), 31);
    EXPECT_EQ(reg.GetDataType("Multi"), RegDataType::Unknown);
    reg.WriteString("New", "x");
    const std::string text = Text();
    EXPECT_NE(text.find("\"Multi\"=hex(7):61,00,62,00,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"Expand\"=hex(2):25,00\n"), std::string::npos);
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"", "Expand", "Multi", "Split", "Dw", "New"}));
}

TEST_F(RegistryTest, UnreadableLinesAreDroppedAndEverythingElseKept) {
    // What a damaged file holds, and what is left of it: the file as it is
    // written again with every key and value that could be read.
    struct Case {
        std::string damaged;
        std::string kept;
    };
    const std::string none = "REGEDIT4\n";
    const std::string keyA = "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n";
    const std::vector<Case> cases = {
        {"garbage that is not a registry file\n", none},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"FileOpen1\"=\"/home/u/trunc", keyA},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Split\"=hex:01,\\\n", keyA},
        {std::string("\x00\x01\xff\xfe\x89PNG\r\n\x1a\n\x00\x00", 14), none},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:1\n", none},
        {"REGEDIT4\n\"orphan\"=\"value outside any key\"\n", none},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n", keyA},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\" junk\n", keyA},
        {"[HKEY_CURRENT_USER\\A]\n\"x\"=\"no header\"\n", keyA + "\"x\"=\"no header\"\n"},
        // One bad line among good ones loses that line only; values under a
        // key line that cannot be read have no key to go to.
        {"REGEDIT4\n[HKEY_CURRENT_USER\\H]\n\"FileOpen1\"=\"/a\"\n\"FileOpen2\"=broken\n"
         "\"FileOpen3\"=\"/c\"\n[HKEY_CURRENT_USER\\Bad\n\"lost\"=dword:1\n"
         "[HKEY_CURRENT_USER\\M]\n\"RCLeft\"=dword:0000000a\n",
         "REGEDIT4\n\n[HKEY_CURRENT_USER\\H]\n\"FileOpen1\"=\"/a\"\n\"FileOpen3\"=\"/c\"\n\n"
         "[HKEY_CURRENT_USER\\M]\n\"RCLeft\"=dword:0000000a\n"},
    };
    TakeRegistrySetAsides();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        fs::remove(RegFile() + ".corrupt");
        test::WriteFileBytes(RegFile(), cases[i].damaged);
        TRegistry reg;
        EXPECT_FALSE(reg.KeyExists("\\Z"));
        EXPECT_EQ(Text(), cases[i].kept);
        EXPECT_EQ(test::ReadFileBytes(RegFile() + ".corrupt"), cases[i].damaged)
            << "kept as it was";
        const auto notices = TakeRegistrySetAsides();
        ASSERT_EQ(notices.size(), 1u) << "told once";
        EXPECT_EQ(notices[0].file, RegFile());
        EXPECT_EQ(notices[0].aside, RegFile() + ".corrupt");
        ASSERT_TRUE(reg.OpenKey("\\A", true));
        reg.WriteInteger("after", 1);
        EXPECT_TRUE(TRegistry().KeyExists("\\A"));
        EXPECT_TRUE(TakeRegistrySetAsides().empty());
    }
    // A second damaged file does not overwrite the first one set aside.
    test::WriteFileBytes(RegFile(), "junk 2");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\B", true));
    EXPECT_EQ(test::ReadFileBytes(RegFile() + ".corrupt.1"), "junk 2");

    // Empty and blank files are simply empty stores.
    test::WriteFileBytes(RegFile(), " \n\r\n");
    EXPECT_FALSE(reg.KeyExists("\\B"));
    EXPECT_EQ(Text(), " \n\r\n");
    EXPECT_EQ(TakeRegistrySetAsides().size(), 1u);
}

TEST_F(RegistryTest, KeptReadsSeeEveryChangeOfTheFile) {
    // Reads come from the parsed file kept in memory: a file changed in any
    // way (replaced, rewritten in place with the same size at once, removed)
    // is read again. A seeded walk of writes through the registry and by
    // hand, checked against what was written last.
    const unsigned seed = ::testing::UnitTest::GetInstance()->random_seed();
    SCOPED_TRACE(seed);
    std::srand(seed);
    TRegistry reg;
    timespec sameTick{};
    ::clock_gettime(CLOCK_REALTIME, &sameTick);
    sameTick.tv_sec += 3600; // all within the one tick
    for (int step = 0; step < 150; ++step) {
        const std::string value(4, static_cast<char>('a' + std::rand() % 26));
        switch (std::rand() % 3) {
        case 0:
            ASSERT_TRUE(reg.OpenKey("\\K", true));
            reg.WriteString("v", value);
            break;
        case 1: {
            // In place, the same size, and the same time as the last hand
            // edit: as two edits within one tick of the clock look.
            test::WriteFileBytes(RegFile(),
                                 "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"v\"=\"" + value + "\"\n");
            const timespec times[2] = {{0, UTIME_OMIT}, sameTick};
            ASSERT_EQ(::utimensat(AT_FDCWD, RegFile().c_str(), times, 0), 0);
            break;
        }
        default:
            fs::remove(RegFile());
            continue;
        }
        TRegistry reader;
        ASSERT_TRUE(reader.OpenKey("\\K", false)) << step;
        ASSERT_EQ(reader.ReadString("v"), value) << step;
    }
}

TEST_F(RegistryTest, ConcurrentWritersInOtherProcessesLoseNothing) {
    const auto name = [](int w, int v) {
        return "w" + std::to_string(w) + "v" + std::to_string(v);
    };
    for (int round = 0; round < 25; ++round) {
        const std::string key = "\\Race\\Round" + std::to_string(round);
        // Every writer blocks on the pipe until it is closed, so all four
        // start their writes at the same moment.
        int gate[2];
        ASSERT_EQ(::pipe(gate), 0);
        std::vector<pid_t> writers;
        for (int w = 0; w < 4; ++w) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(gate[1]);
                char c;
                while (::read(gate[0], &c, 1) > 0) {
                }
                try {
                    TRegistry reg;
                    reg.OpenKey(key, true);
                    for (int v = 0; v < 3; ++v)
                        reg.WriteInteger(name(w, v), round * 1000 + w * 10 + v);
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            writers.push_back(pid);
        }
        ::close(gate[0]);
        ::close(gate[1]);
        for (const pid_t pid : writers) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(key, false));
        for (int w = 0; w < 4; ++w)
            for (int v = 0; v < 3; ++v)
                ASSERT_EQ(reg.ReadInteger(name(w, v)), round * 1000 + w * 10 + v) << round;
    }
    EXPECT_FALSE(fs::exists(RegFile() + ".corrupt"));
}

TEST(ProfileFileInteger, AcceptsDecimalAndBothHexadecimalFormsOnly) {
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"16711680", 16711680},
        {"0xFF0000", 0xFF0000},
        {"0X0000ff", 0xFF},
        {"$FF0000", 0xFF0000},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"0", 0},
        {"-5", -5},
        {"+7", 7},
        {"-", std::nullopt},
        {"", std::nullopt},
        {"12abc", std::nullopt},
        {" 12", std::nullopt},
        {"-0x10", std::nullopt},
        {"0xG1", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", INT32_MIN},
        {"-2147483649", std::nullopt},
        {"0xFFFFFFFF", -1},
        {"0x0000000080000005", INT32_MIN + 5},
        {"0x100000000", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProfileFile::ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST_F(ProfileFileTest, MissingFileOrKeyGivesTheDefault) {
    ProfileFile ini("lorvane.INI");
    EXPECT_EQ(ini.FileName(), Path()) << "a bare name lives in the configuration directory";
    EXPECT_EQ(ini.ReadString("FONT", "Имя шрифта", "Courier"), "Courier");
    EXPECT_EQ(ini.ReadString("FONT", "Имя шрифта", "Courier  "), "Courier");
    EXPECT_EQ(ini.ReadInteger("FONT", "Размер шрифта", 10), 10);
    EXPECT_TRUE(ini.ReadBool("NOBAK", "Не создавать .BAK файл", true));
    EXPECT_FALSE(fs::exists(Path())) << "reading creates nothing";
    fs::create_directory(Path()); // not even a directory in its place disturbs a read
    EXPECT_EQ(ini.ReadInteger("FONT", "Размер шрифта", 12), 12);
}

TEST_F(ProfileFileTest, ReadsHandWrittenFilesTheWayTheyWereMeant) {
    test::WriteFileBytes(Path(), Cp1251("; settings\r\n"
                                        "orphan=before any section\r\n"
                                        "\r\n"
                                        "  [ colors ]  \r\n"
                                        "Цвет фона   =   0xFF0000  \r\n"
                                        "ЦВЕТ ШРИФТА=16711680\r\n"
                                        "; Цвет фона=1\r\n"
                                        "[FONT]\r\n"
                                        "Имя шрифта=\"Courier New\"\r\n"
                                        "Quoted='x\"\r\n"
                                        "NoValue\r\n"
                                        "NoValue=later\r\n"
                                        "Empty=\r\n"
                                        "[COLORS]\r\n"
                                        "Цвет фона=7\r\n"
                                        "Только второе=2\r\n"
                                        "[ASSEMBLER]\n"
                                        "Ассемблер=c:\\tasm\\tasm.exe /zi\n"
                                        "Ассемблер=second\n"
                                        "Last=no newline"));
    ProfileFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("COLORS", "Цвет фона", 0), 0xFF0000);
    EXPECT_EQ(ini.ReadInteger("Colors", "цвет шрифта", 0), 16711680) << "Cyrillic case too";
    EXPECT_EQ(ini.ReadString("colors", "Только второе", "dflt"), "dflt")
        << "only the first section of a name counts";
    EXPECT_EQ(ini.ReadString("FONT", "Имя шрифта", ""), "Courier New");
    EXPECT_EQ(ini.ReadString("FONT", "Quoted", ""), "'x\"") << "quotes must match to go";
    EXPECT_EQ(ini.ReadString("FONT", "NoValue", "dflt"), "dflt") << "first key has no value";
    EXPECT_EQ(ini.ReadString("FONT", "Empty", "dflt"), "");
    EXPECT_EQ(ini.ReadInteger("FONT", "Empty", 10), 10);
    EXPECT_EQ(ini.ReadString("", "orphan", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("ASSEMBLER", "Ассемблер", ""), "c:\\tasm\\tasm.exe /zi");
    EXPECT_EQ(ini.ReadString(" ASSEMBLER ", " Last ", ""), "no newline");
}

TEST_F(ProfileFileTest, StringsAreCutAt1023Characters) {
    std::string longRussian;
    for (int i = 0; i < 1500; ++i)
        longRussian += "Я"; // its second byte has the low bit set
    ProfileFile ini("lorvane.INI");
    ini.WriteString("S", "long", longRussian);
    ini.WriteString("S", "exact", std::string(1023, 'a'));
    EXPECT_EQ(ini.ReadString("S", "long", "").size(), 2u * 1023) << "1023 letters of two bytes";
    EXPECT_EQ(ini.ReadString("S", "exact", ""), std::string(1023, 'a'));
    EXPECT_EQ(ini.ReadString("S", "none", longRussian).size(), 2u * 1023);
    EXPECT_EQ(test::ReadFileBytes(Path()).size(), 1500u + 1023u + 20u)
        << "stored whole, one byte per letter";
}

TEST_F(ProfileFileTest, WritesChangeOnlyTheirOwnLine) {
    const std::string original = Cp1251("; keep me  \r\n"
                                        "[COLORS]\r\n"
                                        "  Цвет фона =  123   \r\n"
                                        "junk line without equals\r\n"
                                        "\r\n"
                                        "[FONT]\r\n"
                                        "Имя шрифта=Arial\r\n"
                                        "\r\n"
                                        "\r\n"
                                        "[COLORS]\r\n"
                                        "other=1\r\n");
    test::WriteFileBytes(Path(), original);
    ProfileFile ini(Path());

    ini.WriteInteger("colors", "ЦВЕТ ФОНА", 255);
    std::string expected = original;
    expected.replace(expected.find("123   "), 6, "255");
    EXPECT_EQ(test::ReadFileBytes(Path()), expected);

    ini.WriteString("FONT", "Размер шрифта", "12");
    expected.insert(expected.find("\r\n\r\n\r\n[COLORS]") + 2, Cp1251("Размер шрифта=12\r\n"));
    EXPECT_EQ(test::ReadFileBytes(Path()), expected) << "added after the section's last line";

    ini.WriteBool("NOBAK", "Не создавать .BAK файл", true);
    expected += Cp1251("\r\n[NOBAK]\r\nНе создавать .BAK файл=1\r\n");
    EXPECT_EQ(test::ReadFileBytes(Path()), expected);
    EXPECT_TRUE(ini.ReadBool("NOBAK", "Не создавать .BAK файл", false));
}

TEST_F(ProfileFileTest, KeepsTheLineEndsAndTheMissingLastOne) {
    test::WriteFileBytes(Path(), "[A]\nx=1\ny=2");
    ProfileFile ini(Path());
    ini.WriteString("A", "y", "3");
    EXPECT_EQ(test::ReadFileBytes(Path()), "[A]\nx=1\ny=3");
    ini.WriteString("A", "z", "4");
    EXPECT_EQ(test::ReadFileBytes(Path()), "[A]\nx=1\ny=3\nz=4\n");
    ini.WriteString("B", "k", "v");
    EXPECT_EQ(test::ReadFileBytes(Path()), "[A]\nx=1\ny=3\nz=4\n\n[B]\nk=v\n");

    test::WriteFileBytes(Path(), "[A]\r\nflag");
    ini.WriteString("a", "FLAG", "on");
    EXPECT_EQ(test::ReadFileBytes(Path()), "[A]\r\nflag=on");

    fs::remove(Path());
    ini.WriteString("RUNEXE", "Программа", "prog a;b");
    EXPECT_EQ(test::ReadFileBytes(Path()), Cp1251("[RUNEXE]\r\nПрограмма=prog a;b\r\n"));
    EXPECT_EQ(ini.ReadString("RUNEXE", "Программа", ""), "prog a;b");
}

TEST_F(ProfileFileTest, RefusesWhatTheFileCannotHold) {
    ProfileFile ini("lorvane.INI");
    ini.WriteString("RUNEXE", "Программа", "safe");
    const std::string before = test::ReadFileBytes(Path());
    EXPECT_THROW(ini.WriteString("RUNEXE", "Программа", "x\r\n[ASSEMBLER]\r\nАссемблер=evil"),
                 Error);
    EXPECT_THROW(ini.WriteString("RUNEXE", "a=b", "v"), Error);
    EXPECT_THROW(ini.WriteString("RUNEXE", " ", "v"), Error);
    EXPECT_THROW(ini.WriteString("RUN]EXE", "k", "v"), Error);
    EXPECT_THROW(ini.WriteString("", "k", "v"), Error);
    EXPECT_EQ(test::ReadFileBytes(Path()), before);
}

// A read-only directory, and an unreadable profile in a writable one (which
// must not be replaced by a file holding only the new key): the error names
// the file and what was there stays.
TEST_F(SettingsFileTest, RefusedWritesNameTheFileAndKeepTheOldOne) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Keep", true));
    reg.WriteString("v", "old");
    const std::string before = Text();
    test::WriteFileBytes(Path(), "[A]\r\nk=old\r\n");
    fs::create_directory(dir_.path() / "rw");
    ::chmod(dir_.File("rw").c_str(), 0777);
    const std::string secret = dir_.File("rw/secret.INI");
    test::WriteFileBytes(secret, "[A]\r\nk=old\r\nother=keep\r\n");
    ::chmod(secret.c_str(), 0);
    ::chmod(dir_.path().c_str(), 0555);

    const std::string report = test::RunInChild(
        [&]() -> std::string {
            TRegistry child;
            ProfileFile ro(Path()), hidden(secret);
            if (!child.OpenKey("\\Keep", false) || child.ReadString("v") != "old")
                return "cannot read the registry";
            if (ro.ReadString("A", "k", "") != "old") return "cannot read";
            if (hidden.ReadString("A", "k", "dflt") != "dflt") return "read the unreadable";
            const auto regError = test::Thrown<IoError>([&] { child.WriteString("v", "new"); });
            const auto roError = test::Thrown<IoError>([&] { ro.WriteString("A", "k", "new"); });
            const auto hiddenError =
                test::Thrown<IoError>([&] { hidden.WriteString("A", "k", "new"); });
            if (!regError || regError->path() != RegFile()) return "registry written or misnamed";
            if (!roError || roError->path() != Path()) return "read-only directory";
            if (!hiddenError || hiddenError->path() != secret) return "unreadable file replaced";
            return hiddenError->errorCode() == EACCES ? "" : "wrong error";
        },
        /*unprivileged=*/true);
    ::chmod(dir_.path().c_str(), 0755);
    EXPECT_EQ(report, "");
    EXPECT_EQ(Text(), before);
    EXPECT_EQ(test::ReadFileBytes(Path()), "[A]\r\nk=old\r\n");
    EXPECT_EQ(test::ReadFileBytes(secret), "[A]\r\nk=old\r\nother=keep\r\n");
}
