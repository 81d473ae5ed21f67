#include "platform/Paths.h"
#include "platform/helpers/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace lorvane;
namespace fs = std::filesystem;

TEST(Paths, ConfigDirectoryFollowsTheEnvironmentInOrderAndIsCreated) {
    test::TempDir dir;
    const std::string home = dir.File("home");
    test::ScopedEnv homeEnv("HOME", home);
    {
        test::ScopedEnv own("LORVANE_CONFIG_HOME", dir.File("own/deep"));
        test::ScopedEnv xdg("XDG_CONFIG_HOME", dir.File("xdg"));
        EXPECT_EQ(paths::ConfigDirectory(), dir.File("own/deep"));
        EXPECT_TRUE(fs::is_directory(dir.File("own/deep")));
    }
    {
        test::ScopedEnv own("LORVANE_CONFIG_HOME", "");
        test::ScopedEnv xdg("XDG_CONFIG_HOME", dir.File("xdg"));
        EXPECT_EQ(paths::ConfigDirectory(), dir.File("xdg") + "/lorvane");
        struct stat st {};
        ASSERT_EQ(::stat((dir.File("xdg") + "/lorvane").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << "settings are private to the user";
    }
    {
        test::ScopedEnv own("LORVANE_CONFIG_HOME", nullptr);
        test::ScopedEnv xdg("XDG_CONFIG_HOME", "relative/ignored");
        EXPECT_EQ(paths::ConfigDirectory(), home + "/.config/lorvane");
        EXPECT_FALSE(fs::exists("relative"));
    }
}

TEST(Paths, RuntimeDirectoryFallsBackToTheConfigDirectory) {
    test::TempDir dir;
    test::ScopedEnv own("LORVANE_CONFIG_HOME", dir.File("cfg"));
    {
        test::ScopedEnv run("XDG_RUNTIME_DIR", dir.File("run"));
        EXPECT_EQ(paths::RuntimeDirectory(), dir.File("run") + "/lorvane");
        EXPECT_TRUE(fs::is_directory(dir.File("run") + "/lorvane"));
    }
    {
        test::ScopedEnv run("XDG_RUNTIME_DIR", nullptr);
        EXPECT_EQ(paths::RuntimeDirectory(), dir.File("cfg"));
    }
    {
        // A runtime directory that cannot hold ours (a file is in the way).
        test::WriteFileBytes(dir.File("blocked"), "x");
        test::ScopedEnv run("XDG_RUNTIME_DIR", dir.File("blocked"));
        EXPECT_EQ(paths::RuntimeDirectory(), dir.File("cfg"));
    }
}

TEST(Paths, OnlyBareNamesResolveInTheConfigDirectory) {
    test::TempDir dir;
    test::ScopedEnv own("LORVANE_CONFIG_HOME", dir.File("cfg/"));
    EXPECT_EQ(paths::ResolveBareName("lorvane.INI"), dir.File("cfg") + "/lorvane.INI");
    EXPECT_EQ(paths::ResolveBareName("./lorvane.INI"), "./lorvane.INI");
    EXPECT_EQ(paths::ResolveBareName("/etc/x.ini"), "/etc/x.ini");
    EXPECT_EQ(paths::ResolveBareName("sub/x.ini"), "sub/x.ini");
    EXPECT_EQ(paths::Join("/", "a"), "/a");
    EXPECT_EQ(paths::Join("/a//", "b"), "/a/b");
}

TEST(Paths, DataDirectoryIsTheEnvironmentsOrNoneAndFilesAreFoundInIt) {
    test::TempDir dir;
    fs::create_directories(dir.File("data/help"));
    { std::ofstream(dir.File("data/help/page.html")) << "x"; }
    {
        test::ScopedEnv data("LORVANE_DATA_DIR", dir.File("data"));
        EXPECT_EQ(paths::DataDirectory(), dir.File("data"));
        EXPECT_EQ(paths::DataFile("help/page.html"), dir.File("data") + "/help/page.html");
        EXPECT_EQ(paths::DataFile("help/missing.html"), "");
    }
    {
        // A stated directory that is not there is not replaced by a guess.
        test::ScopedEnv data("LORVANE_DATA_DIR", dir.File("nowhere"));
        EXPECT_EQ(paths::DataDirectory(), "");
        EXPECT_EQ(paths::DataFile("help/page.html"), "");
    }
    EXPECT_FALSE(paths::ProgramDirectory().empty());
}
