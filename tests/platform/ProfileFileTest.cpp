#include "platform/ProfileFile.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/helpers/ChildProcess.h"
#include "platform/helpers/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/Thrown.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace lorvane;
namespace fs = std::filesystem;

namespace {

std::string Cp1251(std::string_view utf8) {
    return cp::EncodeFromUtf8(cp::CodePage::Win1251, utf8);
}

class ProfileFileTest : public ::testing::Test {
protected:
    std::string Path(const char* name = "lorvane.INI") const { return dir_.File(name); }

    test::TempDir dir_;
    test::ScopedEnv env_{"LORVANE_CONFIG_HOME", dir_.path().string()};
};

} // namespace

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
    const std::string longRussian = [] {
        std::string s;
        for (int i = 0; i < 1500; ++i)
            s += "Я"; // its second byte has the low bit set
        return s;
    }();
    ProfileFile ini("lorvane.INI");
    ini.WriteString("S", "long", longRussian);
    ini.WriteString("S", "exact", std::string(1023, 'a'));
    const std::string back = ini.ReadString("S", "long", "");
    EXPECT_EQ(back.size(), 2u * 1023) << "1023 letters of two UTF-8 bytes each";
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

TEST_F(ProfileFileTest, RefusedWritesNameTheFileAndKeepTheOldOne) {
    ::chmod(dir_.path().c_str(), 0755);
    fs::create_directory(dir_.path() / "ro");
    const std::string roFile = dir_.File("ro/lorvane.INI");
    test::WriteFileBytes(roFile, "[A]\r\nk=old\r\n");
    ::chmod(dir_.File("ro").c_str(), 0555);
    // An unreadable file in a writable directory must not be replaced by a
    // file holding only the new key.
    fs::create_directory(dir_.path() / "rw");
    ::chmod(dir_.File("rw").c_str(), 0777);
    const std::string secret = dir_.File("rw/secret.INI");
    test::WriteFileBytes(secret, "[A]\r\nk=old\r\nother=keep\r\n");
    ::chmod(secret.c_str(), 0);

    const std::string report = test::RunInChild(
        [&]() -> std::string {
            ProfileFile ro(roFile), hidden(secret);
            if (ro.ReadString("A", "k", "") != "old") return "cannot read";
            if (hidden.ReadString("A", "k", "dflt") != "dflt") return "read the unreadable";
            const auto roError = test::Thrown<IoError>([&] { ro.WriteString("A", "k", "new"); });
            const auto hiddenError =
                test::Thrown<IoError>([&] { hidden.WriteString("A", "k", "new"); });
            if (!roError || roError->path() != roFile) return "read-only directory";
            if (!hiddenError || hiddenError->path() != secret) return "unreadable file replaced";
            return hiddenError->errorCode() == EACCES ? "" : "wrong error";
        },
        /*unprivileged=*/true);
    EXPECT_EQ(report, "");
    EXPECT_EQ(test::ReadFileBytes(roFile), "[A]\r\nk=old\r\n");
    EXPECT_EQ(test::ReadFileBytes(secret), "[A]\r\nk=old\r\nother=keep\r\n");
}
