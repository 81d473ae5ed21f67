#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/helpers/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

using namespace lorvane;
namespace fs = std::filesystem;

namespace {

// Names in the directory other than the ones given: left-over temporaries.
std::vector<std::string> Strays(const test::TempDir& dir, std::vector<std::string> known) {
    std::vector<std::string> strays;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end()) strays.push_back(name);
    }
    return strays;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

TEST(AtomicFile, CreatesAndReplacesKeepingTheModeBits) {
    test::TempDir dir;
    const std::string path = dir.File("a.txt");
    WriteFileAtomically(path, "first");
    EXPECT_EQ(test::ReadFileBytes(path), "first");
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(ModeOf(path), 0666u & ~mask) << "a new file gets the usual umask-filtered mode";

    ::chmod(path.c_str(), 0640);
    WriteFileAtomically(path, std::string("second\0with nul", 15));
    EXPECT_EQ(test::ReadFileBytes(path), std::string("second\0with nul", 15));
    EXPECT_EQ(ModeOf(path), 0640u);
    WriteFileAtomically(path, "");
    EXPECT_EQ(test::ReadFileBytes(path), "");
    const std::string longName(250, 'n'); // leaves no room for a longer temporary name
    WriteFileAtomically(dir.File(longName), "long");
    EXPECT_EQ(test::ReadFileBytes(dir.File(longName)), "long");
    EXPECT_TRUE(Strays(dir, {"a.txt", longName}).empty());
}

TEST(AtomicFile, WritesThroughSymbolicLinks) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "real");
    test::WriteFileBytes(dir.File("real/target.ini"), "old");
    fs::create_symlink("real/target.ini", dir.path() / "link.ini");
    fs::create_symlink("link.ini", dir.path() / "link2.ini");
    WriteFileAtomically(dir.File("link2.ini"), "new");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.ini"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link2.ini"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("real/target.ini")), "new");

    // A dangling link gets its target created.
    fs::create_symlink("real/fresh.ini", dir.path() / "dangling.ini");
    WriteFileAtomically(dir.File("dangling.ini"), "made");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.ini"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("real/fresh.ini")), "made");
}

TEST(AtomicFile, StreamingWriterCommitsOnlyOnRequest) {
    test::TempDir dir;
    const std::string path = dir.File("doc.txt");
    test::WriteFileBytes(path, "original");
    {
        AtomicFileWriter writer(path);
        writer.WriteBuffer("replaced", 8);
        EXPECT_EQ(test::ReadFileBytes(path), "original") << "nothing shows before Commit";
    }
    EXPECT_EQ(test::ReadFileBytes(path), "original");
    EXPECT_TRUE(Strays(dir, {"doc.txt"}).empty()) << "an abandoned writer leaves no temporary";

    AtomicFileWriter writer(path);
    const std::string big(300000, 'z'); // more than the internal buffer
    writer.WriteBuffer(big.data(), static_cast<std::int64_t>(big.size()));
    writer.WriteBuffer("tail", 4);
    EXPECT_EQ(writer.Size(), 300004);
    writer.Seek(0, SeekOrigin::Begin);
    writer.WriteBuffer("HEAD", 4);
    writer.Seek(-4, SeekOrigin::End);
    char back[4];
    writer.ReadBuffer(back, 4);
    EXPECT_EQ(std::string(back, 4), "tail");
    writer.Commit();
    EXPECT_TRUE(writer.committed());
    const std::string written = test::ReadFileBytes(path);
    EXPECT_EQ(written.size(), 300004u);
    EXPECT_EQ(written.substr(0, 5), "HEADz");
    EXPECT_THROW(writer.Commit(), Error) << "a second commit must not go unnoticed";
}

TEST(AtomicFile, MissingDirectoryNamesTheTarget) {
    test::TempDir dir;
    const std::string path = dir.File("nowhere/a.txt");
    try {
        WriteFileAtomically(path, "x");
        FAIL() << "written into a missing directory";
    } catch (const IoError& e) {
        EXPECT_EQ(e.errorCode(), ENOENT);
        EXPECT_EQ(e.path(), path);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
}

TEST(AtomicFile, ReadOnlyDirectoryKeepsTheOldFile) {
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    fs::create_directory(dir.path() / "ro");
    const std::string path = dir.File("ro/keep.txt");
    test::WriteFileBytes(path, "precious");
    ::chmod(dir.File("ro").c_str(), 0555);
    const std::string report = test::RunInChild(
        [&]() -> std::string {
            try {
                WriteFileAtomically(path, "lost?");
                return "written into a read-only directory";
            } catch (const IoError& e) {
                if (e.errorCode() != EACCES) return "errno " + std::to_string(e.errorCode());
                if (e.path() != path) return "named " + e.path();
                return {};
            }
        },
        /*unprivileged=*/true);
    EXPECT_EQ(report, "");
    EXPECT_EQ(test::ReadFileBytes(path), "precious");
}

TEST(AtomicFile, FailedWriteRemovesTheTemporaryAndKeepsTheTarget) {
    // A file-size limit makes write() fail half way, as a full disk would.
    test::TempDir dir;
    const std::string path = dir.File("big.bin");
    test::WriteFileBytes(path, "old contents");
    const std::string report = test::RunInChild([&]() -> std::string {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteFileAtomically(path, std::string(500000, 'b'));
            return "the oversized write succeeded";
        } catch (const IoError& e) {
            if (e.errorCode() != EFBIG) return "errno " + std::to_string(e.errorCode());
            return {};
        }
    });
    EXPECT_EQ(report, "");
    EXPECT_EQ(test::ReadFileBytes(path), "old contents");
    EXPECT_TRUE(Strays(dir, {"big.bin"}).empty());
}

TEST(AtomicFile, OnlyARegularFileIsReplaced) {
    test::TempDir dir;
    fs::create_directory(dir.File("folder"));
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    // A node of its own (root may make one): a fault here must not be able
    // to replace a real device.
    std::vector<std::string> names{"folder", "pipe"};
    if (::mknod(dir.File("device").c_str(), S_IFCHR | 0600, ::makedev(1, 3)) == 0)
        names.push_back("device");
    for (const std::string& name : names) {
        const fs::file_type before = fs::status(dir.File(name)).type();
        EXPECT_THROW(WriteFileAtomically(dir.File(name), "x"), IoError) << name;
        EXPECT_EQ(fs::status(dir.File(name)).type(), before) << name;
    }
    EXPECT_TRUE(Strays(dir, names).empty());
}

// Only a temporary whose writer is gone goes: not one of a running process
// (ours included), not one still locked, not another file's.
TEST(AtomicFile, StaleTemporariesOfADeadWriterAreRemoved) {
    test::TempDir dir;
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string self = std::to_string(::getpid()), gone = std::to_string(dead);
    const std::string doc = dir.File("doc.txt");
    test::WriteFileBytes(doc, "text");
    const struct {
        std::string name;
        bool removed;
    } cases[] = {
        {".doc.txt.lorvane-" + gone + "-abcdefgh.tmp", true},
        {".doc.txt.lorvane-" + gone + "-locked00.tmp", false},
        {".doc.txt.lorvane-" + self + "-abcdefgh.tmp", false},
        {".doc.txt.lorvane-1-abcdefgh.tmp", false},
        {".doc.txt.lorvane-x" + gone + "-abcdefgh.tmp", false},
        {".doc.txt2.lorvane-" + gone + "-abcdefgh.tmp", false},
        {".doc.txt.lorvane-" + gone + "-abc.tmp", false},
        {".doc.txt.lorvane-" + gone + "-abcdefgh.tmp.keep", false},
    };
    for (const auto& c : cases)
        test::WriteFileBytes(dir.File(c.name), "half");
    const int locked = ::open(dir.File(cases[1].name).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(locked, LOCK_EX), 0);
    RemoveStaleTemporaries({doc});
    ::close(locked);
    for (const auto& c : cases)
        EXPECT_EQ(fs::exists(dir.File(c.name)), !c.removed) << c.name;
    EXPECT_EQ(test::ReadFileBytes(doc), "text");
}
