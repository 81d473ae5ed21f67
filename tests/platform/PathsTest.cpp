#include "platform/Paths.h"
#include "platform/helpers/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

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
        // Only a bare name lives there.
        test::ScopedEnv slash("LORVANE_CONFIG_HOME", dir.File("own/deep/"));
        EXPECT_EQ(paths::ResolveBareName("lorvane.INI"), dir.File("own/deep") + "/lorvane.INI");
        EXPECT_EQ(paths::ResolveBareName("./lorvane.INI"), "./lorvane.INI");
        EXPECT_EQ(paths::ResolveBareName("/etc/x.ini"), "/etc/x.ini");
        EXPECT_EQ(paths::ResolveBareName("sub/x.ini"), "sub/x.ini");
        EXPECT_EQ(paths::Join("/", "a"), "/a");
        EXPECT_EQ(paths::Join("/a//", "b"), "/a/b");
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

// The runtime directory decides who may hand this program files: one another
// user owns or may enter is refused, and the refusal is said once.
TEST(Paths, RuntimeDirectoryIsUsedOnlyWhenPrivate) {
    test::TempDir dir;
    const std::string run = dir.File("run"), cfg = dir.File("cfg");
    const std::string ours = run + "/lorvane", fallback = cfg + "/run";
    const auto makeDir = [](const std::string& path, fs::perms mode) {
        fs::create_directories(path);
        fs::permissions(path, mode);
    };
    const auto owner = fs::perms::owner_all;
    const struct {
        const char* what;
        std::function<void()> prepare;
        const char* runtime; // XDG_RUNTIME_DIR, null for unset
        std::string expected;
        bool said;
    } cases[] = {
        {"private", [&] { makeDir(run, owner); }, "run", ours, false},
        {"unset", [] {}, nullptr, fallback, false},
        {"a file", [&] { test::WriteFileBytes(dir.File("file"), "x"); }, "file", fallback, true},
        {"open to all", [&] { makeDir(run, fs::perms::all); }, "run", fallback, true},
        {"ours open to the group",
         [&] {
             makeDir(run, owner);
             makeDir(ours, owner | fs::perms::group_all);
         },
         "run", fallback, true},
        {"ours a link",
         [&] {
             makeDir(run, owner);
             makeDir(dir.File("elsewhere"), owner);
             fs::create_directory_symlink(dir.File("elsewhere"), ours);
         },
         "run", fallback, true},
        {"another user's",
         [&] {
             makeDir(run, owner);
             makeDir(ours, owner);
             if (::geteuid() == 0) {
                 ASSERT_EQ(::chown(ours.c_str(), 65534, 65534), 0);
             }
         },
         "run", ::geteuid() == 0 ? fallback : ours, ::geteuid() == 0},
        {"no private place at all",
         [&] {
             makeDir(run, fs::perms::all);
             makeDir(cfg, owner);
             makeDir(fallback, fs::perms::all);
         },
         "run", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(run);
        fs::remove_all(cfg);
        fs::remove_all(dir.File("elsewhere"));
        c.prepare();
        test::ScopedEnv own("LORVANE_CONFIG_HOME", cfg);
        const std::string runtimeValue = c.runtime ? dir.File(c.runtime) : "";
        test::ScopedEnv runtime("XDG_RUNTIME_DIR", c.runtime ? runtimeValue.c_str() : nullptr);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(paths::RuntimeDirectory(), c.expected);
        EXPECT_EQ(paths::RuntimeDirectory(), c.expected);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.said ? 1 : 0) << said;
        if (c.expected.empty()) continue;
        struct stat st {};
        ASSERT_EQ(::lstat(c.expected.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
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
        test::ScopedEnv file("LORVANE_DATA_DIR", dir.File("data/help/page.html"));
        EXPECT_EQ(paths::DataDirectory(), "") << "a file is no directory";
    }
    EXPECT_FALSE(paths::ProgramDirectory().empty());
}
