// Whatever stands where a document's file was, and whatever happens while it
// is read or written, nothing is lost: special files and texts the model
// cannot hold are refused at open, read-only files are not replaced, a
// backup replaces the old one only when complete, and a killed save leaves
// nothing behind for long.
#include "FrameFixture.h"
#include "app/DocumentRead.h"
#include "editor/model/ErrorTexts.h"
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Error.h"
#include "platform/Stream.h"
#include "platform/helpers/ChildProcess.h"

#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;
namespace fs = std::filesystem;

class FileSafety : public test::FrameFixture {
protected:
    TMDIChild* Open(const std::string& file) {
        frame->FileOpenAll(file);
        QApplication::processEvents();
        return frame->ActiveChild();
    }
    // Names in the directory besides the ones given: left-over temporaries.
    std::vector<std::string> Strays(std::vector<std::string> known) const {
        std::vector<std::string> strays;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            if (std::find(known.begin(), known.end(), entry.path().filename()) == known.end())
                strays.push_back(entry.path().filename());
        return strays;
    }
    // The one error reported since the last look.
    std::string Reported() {
        const auto reported = TakeErrors();
        return reported.size() == 1 ? reported[0] : std::to_string(reported.size()) + " reports";
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(FileSafety, OnlyRegularFilesOfAFittingSizeThatCanBeShownWholeOpen) {
    // Sparse: no disk and no memory taken, and all zeros, so the size must
    // be refused before the zero bytes are looked for.
    const std::string huge = dir.File("huge.txt");
    WriteFileBytes(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), std::int64_t{1} << 31), 0);
    const std::string fifo = dir.File("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/null", dir.File("device.txt"));
    fs::create_directory(dir.File("folder.txt"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.File("socket.txt");
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A zero byte: no window is left whose save could put a cut text over
    // the file.
    const std::string zero = dir.File("zero.bin");
    const std::string zeroBytes("line\r\nab\0cd\r\nrest", 17);
    WriteFileBytes(zero, zeroBytes);
    const struct {
        std::string file, message;
    } cases[] = {
        {zero, "(смещение 8)"},
        {dir.File("missing.txt"),
         "Не удалось открыть файл \"" + dir.File("missing.txt") + "\": нет такого файла или папки"},
        {huge, texts::kTextTooLong},
        {dir.File("device.txt"), "устройство"},
        {dir.File("folder.txt"), "папка"},
        {socketPath, "сокет"},
        {fifo, "канал"}, // last: it used to wait for a writer for ever
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Open(c.file), nullptr) << c.file;
        const std::string reported = Reported();
        EXPECT_TRUE(Has(reported, c.message)) << c.file << ": " << reported;
    }
    ::close(sock);
    EXPECT_TRUE(frame->Children().empty());
    EXPECT_EQ(ReadFileBytes(zero), zeroBytes);
    EXPECT_TRUE(dialogs.Requests().empty());
}

// The length the model gives a text decides the refusal of texts near the
// limit: the model itself is the oracle.
TEST(TextLength, CountsLikeTheModel) {
    std::mt19937 random(77);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            bytes.push_back("ab\r\n"[random() % 4]);
        RIzuvAzazModel model;
        TStringStream stream(bytes);
        model.LoadFromStream(stream);
        EXPECT_EQ(TextLengthOf(bytes), model.TextLength()) << round;
    }
}

TEST(ReadDocument, ReadsToTheEndAndTellsOfAChangedSize) {
    test::TempDir dir;
    const std::string file = dir.File("log.txt");
    const std::string start(3 << 19, 'x'); // one and a half chunks
    const struct {
        const char* name;
        std::function<void()> change;
        std::string expected;
        bool changed;
    } cases[] = {
        {"still", {}, start, false},
        {"grows",
         [&] {
             std::FILE* f = std::fopen(file.c_str(), "ab");
             std::fputs("tail", f);
             std::fclose(f);
         },
         start + "tail", true},
        {"shrinks", [&] { ::truncate(file.c_str(), 1 << 19); }, start.substr(0, 1 << 20), true},
    };
    for (const auto& c : cases) {
        WriteFileBytes(file, start);
        bool once = false;
        const TReadDocument read = ReadDocument(file, [&] {
            if (!once && c.change) c.change();
            once = true;
        });
        EXPECT_TRUE(read.bytes == c.expected) << c.name << " " << read.bytes.size();
        EXPECT_EQ(read.SizeChanged(), c.changed) << c.name;
    }
}

TEST_F(FileSafety, AFileWhoseSizeLiedLoadsAndIsReported) {
    // The system's own files say 0 bytes and give more.
    dialogs.AnswerMessage(MsgResult::OK);
    ASSERT_NE(Open("/proc/version"), nullptr);
    ASSERT_EQ(dialogs.RequestsOf(DialogKind::MessageBox).size(), 1u);
    EXPECT_TRUE(Has(dialogs.RequestsOf(DialogKind::MessageBox)[0].text, "изменился"));
}

TEST_F(FileSafety, AFileWithoutWriteBitsIsNotReplacedBySaveOrSaveAs) {
    const std::string file = dir.File("ro.txt"), other = dir.File("other.txt");
    WriteFileBytes(file, "kept");
    WriteFileBytes(dir.File("ro.BAK"), "old backup");
    WriteFileBytes(other, "mine");
    TMDIChild* window = Open(file);
    ASSERT_NE(window, nullptr);
    window->Memo1().SetText("changed");
    window->Memo1().SetModified(true);
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(frame->FileSaveItemClick());
    EXPECT_TRUE(Has(Reported(), "только для чтения"));
    TMDIChild* second = Open(other);
    ASSERT_NE(second, nullptr);
    dialogs.AnswerSave(file);
    EXPECT_FALSE(frame->FileSaveAsItemClick());
    EXPECT_TRUE(Has(Reported(), "только для чтения"));
    EXPECT_EQ(second->Caption(), other);
    EXPECT_EQ(ReadFileBytes(file), "kept");
    EXPECT_EQ(ReadFileBytes(dir.File("ro.BAK")), "old backup");
    EXPECT_TRUE(Strays({"ro.txt", "ro.BAK", "other.txt"}).empty());
}

// Another user's file in a directory open to all: the rename would be
// allowed, but the file is not ours to replace.
TEST_F(FileSafety, AnotherUsersFileIsNotReplacedInAnOpenDirectory) {
    if (!test::RunningAsRoot()) GTEST_SKIP() << "needs a second user";
    ::chmod(dir.path().c_str(), 0755);
    fs::create_directory(dir.File("shared"));
    ::chmod(dir.File("shared").c_str(), 0777);
    const std::string file = dir.File("shared/root.txt");
    WriteFileBytes(file, "kept");
    const std::string report = test::RunInChild(
        [&]() -> std::string {
            try {
                WriteDocumentFile(file, false, [](TStream& out) { out.WriteBuffer("lost", 4); });
                return "replaced";
            } catch (const IoError& e) {
                return Has(e.what(), "только для чтения") ? "" : e.what();
            }
        },
        /*unprivileged=*/true);
    EXPECT_EQ(report, "");
    EXPECT_EQ(ReadFileBytes(file), "kept");
}

// Saves in a child process, where a file-size limit plays the full disk
// (SIGXFSZ ignored: the write fails) or kills the save half way (SIGXFSZ
// as it comes). The document and the old backup survive either way, and
// the temporaries a kill leaves go at the next open.
TEST_F(FileSafety, ABackupReplacesTheOldOnlyWhenCompleteAndItsFailureStopsTheSave) {
    const std::string file = dir.File("doc.asm"), backup = dir.File("doc.BAK");
    const std::string old(300000, 'o');
    const struct {
        const char* name;
        bool kill;
        std::string text; // the new text
    } cases[] = {
        {"backup cannot be written", false, "new"},
        {"killed in the backup", true, "new"},
        {"killed in the document", true, std::string(400000, 'n')},
    };
    for (const auto& c : cases) {
        WriteFileBytes(file, old);
        WriteFileBytes(backup, "old backup");
        const std::string report = test::RunInChild([&]() -> std::string {
            if (!c.kill) ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100000, 100000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            try {
                WriteDocumentFile(file, true, [&](TStream& out) {
                    out.WriteBuffer(c.text.data(), static_cast<std::int64_t>(c.text.size()));
                });
                return "saved";
            } catch (const std::exception& e) {
                return Has(e.what(), "doc.BAK") ? "" : e.what();
            }
        });
        EXPECT_EQ(report, c.kill ? " (child killed by signal 25)" : "") << c.name;
        EXPECT_TRUE(ReadFileBytes(file) == old) << c.name;
        EXPECT_EQ(ReadFileBytes(backup), "old backup") << c.name;
        if (c.kill) {
            EXPECT_FALSE(Strays({"doc.asm", "doc.BAK"}).empty()) << c.name;
        }
        TMDIChild* window = Open(file);
        ASSERT_NE(window, nullptr) << c.name;
        EXPECT_TRUE(Strays({"doc.asm", "doc.BAK"}).empty()) << c.name;
        frame->FileCloseItemClick();
    }
}

TEST_F(FileSafety, ASaveOverADirectoryKeepsTheBackup) {
    const std::string file = dir.File("gone.txt"), backup = dir.File("gone.BAK");
    WriteFileBytes(file, "text");
    WriteFileBytes(backup, "old backup");
    TMDIChild* window = Open(file);
    ASSERT_NE(window, nullptr);
    window->Memo1().SetText("changed");
    window->Memo1().SetModified(true);
    fs::remove(file);
    fs::create_directory(file);
    dialogs.AnswerMessage(MsgResult::No); // "changed by another program": write over it
    EXPECT_FALSE(frame->FileSaveItemClick());
    EXPECT_TRUE(Has(Reported(), "папка"));
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(ReadFileBytes(backup), "old backup");
    EXPECT_TRUE(Strays({"gone.txt", "gone.BAK"}).empty());
}

} // namespace
} // namespace lorvane
