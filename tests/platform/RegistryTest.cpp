#include "platform/Registry.h"
#include "platform/Error.h"
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

class RegistryTest : public ::testing::Test {
protected:
    std::string RegFile(const char* root = "HKEY_CURRENT_USER") const {
        return dir_.File(std::string(root) + ".reg");
    }
    std::string Text() const { return test::ReadFileBytes(RegFile()); }

    test::TempDir dir_;
    test::ScopedEnv env_{"LORVANE_CONFIG_HOME", dir_.path().string()};
};

} // namespace

TEST_F(RegistryTest, ValuesOfEveryTypeRoundTripThroughTheFile) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\OpenFileLorvane\\Main", true));
    reg.WriteInteger("RCLeft", 10);
    reg.WriteInteger("RCTop", -1);
    reg.WriteInteger("Colour", static_cast<std::int32_t>(0x80000005u));
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
    EXPECT_EQ(static_cast<std::uint32_t>(other.ReadInteger("Colour")), 0x80000005u);
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
    std::string expected;
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
            expected.clear();
            continue;
        }
        expected = value;
        TRegistry reader;
        const bool open = reader.OpenKey("\\K", false);
        ASSERT_TRUE(open) << step;
        ASSERT_EQ(reader.ReadString("v"), expected) << step;
    }
}

TEST_F(RegistryTest, ConcurrentWritersInOtherProcessesLoseNothing) {
    constexpr int kRounds = 25;
    constexpr int kWriters = 4;
    constexpr int kValues = 3;
    for (int round = 0; round < kRounds; ++round) {
        // Every child blocks on the pipe until the parent closes it, so all
        // of them start their writes at the same moment.
        int gate[2];
        ASSERT_EQ(::pipe(gate), 0);
        std::vector<pid_t> children;
        for (int w = 0; w < kWriters; ++w) {
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                ::close(gate[1]);
                char c;
                while (::read(gate[0], &c, 1) > 0) {
                }
                int rc = 0;
                try {
                    TRegistry reg;
                    reg.OpenKey("\\Race\\Round" + std::to_string(round), true);
                    for (int v = 0; v < kValues; ++v)
                        reg.WriteInteger("w" + std::to_string(w) + "v" + std::to_string(v),
                                         round * 1000 + w * 10 + v);
                } catch (...) {
                    rc = 1;
                }
                ::_exit(rc);
            }
            children.push_back(pid);
        }
        ::close(gate[0]);
        ::close(gate[1]);
        for (const pid_t pid : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Race\\Round" + std::to_string(round), false));
        for (int w = 0; w < kWriters; ++w)
            for (int v = 0; v < kValues; ++v)
                ASSERT_EQ(reg.ReadInteger("w" + std::to_string(w) + "v" + std::to_string(v)),
                          round * 1000 + w * 10 + v)
                    << "round " << round << " writer " << w << " value " << v;
    }
    EXPECT_FALSE(fs::exists(RegFile() + ".corrupt"));
}

TEST_F(RegistryTest, RefusedWritesNameTheFileAndKeepItWhole) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Keep", true));
    reg.WriteString("v", "old");
    const std::string before = Text();
    ::chmod(dir_.path().c_str(), 0555);
    const std::string file = RegFile();
    const std::string report = test::RunInChild(
        [&]() -> std::string {
            TRegistry child;
            if (!child.OpenKey("\\Keep", false)) return "key not found";
            if (child.ReadString("v") != "old") return "cannot read";
            const auto error = test::Thrown<IoError>([&] { child.WriteString("v", "new"); });
            return !error                  ? "written into a read-only directory"
                   : error->path() == file ? ""
                                           : "error names " + error->path();
        },
        /*unprivileged=*/true);
    ::chmod(dir_.path().c_str(), 0755);
    EXPECT_EQ(report, "");
    EXPECT_EQ(Text(), before);
}
