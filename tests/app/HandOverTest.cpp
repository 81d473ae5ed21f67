#include "app/HandOver.h"
#include "app/FindoraxIni.h"

#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace lorvane {
namespace {

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
