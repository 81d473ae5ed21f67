// The command line: options and the words that name files, and how those
// names reach a program already running. The installed program answering
// without a display is checked with the installed tree.
#include "app/CommandLine.h"
#include "app/FindoraxIni.h"
#include "app/HandOver.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace lorvane {
namespace {

using Action = CommandLine::Action;
using Words = std::vector<std::string>;

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

TEST_F(HandOverTest, TheNameIsTakenOnceAndIdlePassesWriteNothing) {
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
}

TEST_F(HandOverTest, AnUnusableRegistryMeansNothingWaits) {
    {
        TRegistry registry;
        registry.OpenKey("\\OpenFileLorvane\\Parameter", true);
        registry.WriteInteger("Parameter", 5);
    }
    EXPECT_EQ(TakeHandOver(), "");
    const std::string saved = test::ConfigHome();
    const std::string blocker = saved + "/plain-file";
    test::WriteFileBytes(blocker, "x");
    ::setenv("LORVANE_CONFIG_HOME", (blocker + "/config").c_str(), 1);
    EXPECT_FALSE(WriteHandOver("/w/a.txt"));
    EXPECT_EQ(TakeHandOver(), "");
    ::setenv("LORVANE_CONFIG_HOME", saved.c_str(), 1);
    std::filesystem::remove(blocker);
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
