// Files: streams over strings and files, the error texts that name a file,
// and replacing a file whole through a temporary.
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/FileErrorText.h"
#include "platform/Stream.h"
#include "platform/helpers/ChildProcess.h"
#include "support/TempDir.h"
#include "support/Thrown.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// Empty when the write failed with `errorCode` naming `path`, else what went wrong.
std::string Refused(const std::string& path, std::string_view bytes, int errorCode) {
    const auto error = test::Thrown<IoError>([&] { WriteFileAtomically(path, bytes); });
    if (!error) return "written";
    if (error->errorCode() != errorCode) return "errno " + std::to_string(error->errorCode());
    if (error->path() != path || std::string(error->what()).find(path) == std::string::npos)
        return "named " + error->path();
    return {};
}

} // namespace

// A file stream also names the file and the reason, in Russian, when it fails.
TEST(Streams, ReadWriteSeekAndCopyLikeAFile) {
    TStringStream s("abcdef");
    char buf[4] = {};
    EXPECT_EQ(s.Read(buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "abcd");
    EXPECT_EQ(s.Read(buf, 4), 2) << "a short read at the end is no error";
    EXPECT_EQ(s.Read(buf, 4), 0);
    s.Seek(-1, SeekOrigin::End);
    s.Write("XYZ", 3);
    EXPECT_EQ(s.DataString(), "abcdeXYZ");
    s.SetPosition(0);
    char whole[16] = {};
    EXPECT_THROW(s.ReadBuffer(whole, 9), Error) << "eight bytes cannot fill nine";

    test::TempDir dir;
    {
        TFileStream out(dir.File("a.bin"), TFileStream::Create);
        TStringStream src(std::string(200000, 'q'));
        EXPECT_EQ(out.CopyFrom(src, 0), 200000);
    }
    EXPECT_EQ(TFileStream(dir.File("a.bin"), TFileStream::OpenRead).Size(), 200000);
    const auto created =
        test::Thrown<IoError>([&] { TFileStream(dir.File("nope/b.bin"), TFileStream::Create); });
    ASSERT_TRUE(created);
    EXPECT_EQ(created->errorCode(), ENOENT);
    const std::string missing = dir.File("нет.txt");
    const auto opened = test::Thrown<IoError>([&] { TFileStream(missing, TFileStream::OpenRead); });
    ASSERT_TRUE(opened);
    EXPECT_EQ(std::string(opened->what()),
              "Не удалось открыть файл \"" + missing + "\": нет такого файла или папки");
    EXPECT_EQ(opened->path(), missing);
    EXPECT_EQ(FileErrorText("write", "/a", ENOSPC),
              "Не удалось записать файл \"/a\": на диске нет места");
    EXPECT_EQ(FileErrorText("print to", "/b.pdf", EIO),
              "Не удалось напечатать в файл \"/b.pdf\": ошибка ввода-вывода");
    // A reason without a text of its own keeps the system's and its number.
    EXPECT_NE(SystemErrorText(EPROTO).find("(код " + std::to_string(EPROTO) + ")"),
              std::string::npos);
}

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
    const std::string written = test::ReadFileBytes(path);
    EXPECT_EQ(written.size(), 300004u);
    EXPECT_EQ(written.substr(0, 5), "HEADz");
    EXPECT_THROW(writer.Commit(), Error) << "a second commit must not go unnoticed";
}

// A missing or read-only directory, and a write that fails half way (a
// file-size limit, as a full disk would): the error names the file and the
// old contents stay, with no temporary left behind.
TEST(AtomicFile, RefusedWritesNameTheTargetAndKeepTheOldFile) {
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(Refused(dir.File("nowhere/a.txt"), "x", ENOENT), "");
    fs::create_directory(dir.path() / "ro");
    const std::string kept = dir.File("ro/keep.txt"), big = dir.File("big.bin");
    test::WriteFileBytes(kept, "precious");
    test::WriteFileBytes(big, "old contents");
    ::chmod(dir.File("ro").c_str(), 0555);
    EXPECT_EQ(test::RunInChild([&] { return Refused(kept, "lost?", EACCES); },
                               /*unprivileged=*/true),
              "");
    EXPECT_EQ(test::RunInChild([&] {
                  test::LimitFileSize(100000);
                  return Refused(big, std::string(500000, 'b'), EFBIG);
              }),
              "");
    ::chmod(dir.File("ro").c_str(), 0755);
    EXPECT_EQ(test::ReadFileBytes(kept), "precious");
    EXPECT_EQ(test::ReadFileBytes(big), "old contents");
    EXPECT_TRUE(Strays(dir, {"big.bin", "ro"}).empty());
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
