// The command line: options, the words that name files, and the program
// answering --help and --version on a terminal without a display.
#include "app/CommandLine.h"
#include "app/HandOver.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>

namespace lorvane {
namespace {

using Action = CommandLine::Action;
using test::TempDir;
using test::WriteFileBytes;

TEST(CommandLine, OptionsEndAtTheDoubleDashAndUnknownOnesAreErrors) {
    struct Case {
        std::vector<std::string> words;
        Action action;
        std::vector<std::string> files;
        std::string unknown; // the word an error names
    };
    const Case cases[] = {
        {{}, Action::Run, {}, ""},
        {{"a.txt", "-x", "-"}, Action::Run, {"a.txt", "-x", "-"}, ""},
        {{"--help"}, Action::Help, {}, ""},
        {{"a.txt", "--version"}, Action::Version, {"a.txt"}, ""},
        {{"--version", "--help"}, Action::Help, {}, ""},
        {{"--bogus", "--help"}, Action::Help, {}, ""},
        {{"--", "--x", "--help", "--"}, Action::Run, {"--x", "--help", "--"}, ""},
        {{"--help=1"}, Action::Error, {}, "--help=1"},
        {{"a", "--Version", "--x"}, Action::Error, {"a"}, "--Version"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.words);
        const std::string shown = ::testing::PrintToString(c.words);
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.files, c.files) << shown;
        if (c.unknown.empty()) {
            EXPECT_TRUE(line.error.empty()) << shown;
            continue;
        }
        // The first word not known, and how to open a file of that name.
        EXPECT_NE(line.error.find("«" + c.unknown + "»"), std::string::npos) << line.error;
        EXPECT_NE(line.error.find("lorvane -- " + c.unknown), std::string::npos) << line.error;
    }
}

TEST(CommandLine, WordsNameOneFileJoinedOrEachTheirOwn) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "my docs.txt", "my"})
        WriteFileBytes(dir.File(name), "x");
    const auto at = [&](const char* name) { return dir.File(name); };
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{"a.txt"}, {at("a.txt")}},
        {{"a.txt", "b.txt"}, {at("a.txt"), at("b.txt")}},
        // The shell split a name with a blank: joined it is a file, so it
        // wins over the word that happens to be a file by itself too.
        {{"my", "docs.txt"}, {at("my docs.txt")}},
        // One word names nothing: the whole line is the one name reported.
        {{"a.txt", "gone.txt"}, {at("a.txt gone.txt")}},
        {{"gone.txt"}, {at("gone.txt")}},
        {{""}, {}},
        {{}, {}},
    };
    const auto startDirectory = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const Case& c : cases)
        EXPECT_EQ(StartFiles(c.words), c.names) << ::testing::PrintToString(c.words);
    std::filesystem::current_path(startDirectory);

    // Several names travel as one string and come back as they went; a
    // value that is itself the name of a file stays whole.
    const std::vector<std::string> names{at("a.txt"), at("my docs.txt"), "/w/gone"};
    EXPECT_EQ(SplitNames(JoinNames(names)), names);
    EXPECT_EQ(SplitNames("/w/one name"), std::vector<std::string>{"/w/one name"});
    EXPECT_TRUE(SplitNames("").empty());
    const std::string lineBreak = at("two\nlines");
    WriteFileBytes(lineBreak, "x");
    EXPECT_EQ(SplitNames(lineBreak), std::vector<std::string>{lineBreak});
}

#ifdef LORVANE_PROGRAM
TEST(CommandLine, HelpAndVersionNeedNoDisplayAndLeaveTheSettingsAlone) {
    TempDir dir;
    const std::string config = dir.File("config");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert("LORVANE_CONFIG_HOME", QString::fromStdString(config));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(config));
    struct Case {
        QStringList words;
        int exitCode;
        std::string out;
        std::string errorPart;
    };
    const Case cases[] = {
        {{"--version"}, 0, VersionText(), ""},
        {{"a.txt", "--help"}, 0, UsageText(), ""},
        {{"--x"}, 2, "", "«--x»"},
    };
    for (const Case& c : cases) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(LORVANE_PROGRAM), c.words);
        ASSERT_TRUE(program.waitForFinished(30000)) << c.words.join(' ').toStdString();
        EXPECT_EQ(program.exitCode(), c.exitCode);
        EXPECT_EQ(program.readAllStandardOutput().toStdString(), c.out);
        EXPECT_NE(program.readAllStandardError().toStdString().find(c.errorPart),
                  std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(config)) << "nothing may create the settings";
}
#endif

} // namespace
} // namespace lorvane
