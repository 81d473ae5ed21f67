#include "platform/Stream.h"
#include "platform/Error.h"
#include "platform/FileErrorText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

using namespace lorvane;

TEST(StringStream, ReadsWritesAndSeeksLikeAFile) {
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
}

TEST(FileStream, CopiesAndReportsTheFailingPath) {
    test::TempDir dir;
    {
        TFileStream out(dir.File("a.bin"), TFileStream::Create);
        TStringStream src(std::string(200000, 'q'));
        EXPECT_EQ(out.CopyFrom(src, 0), 200000);
        out.Close();
    }
    TFileStream in(dir.File("a.bin"), TFileStream::OpenRead);
    EXPECT_EQ(in.Size(), 200000);
    try {
        TFileStream missing(dir.File("nope/b.bin"), TFileStream::Create);
        FAIL() << "a file in a missing directory was created";
    } catch (const IoError& e) {
        EXPECT_EQ(e.errorCode(), 2);
        EXPECT_NE(std::string(e.what()).find("nope/b.bin"), std::string::npos);
    }
}

TEST(FileErrors, NameTheFileAndTheReasonInRussian) {
    test::TempDir dir;
    const std::string missing = dir.File("нет.txt");
    try {
        TFileStream file(missing, TFileStream::OpenRead);
        FAIL() << "opened a missing file";
    } catch (const IoError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Не удалось открыть файл \"" + missing + "\": нет такого файла или папки");
        EXPECT_EQ(error.path(), missing);
    }
    EXPECT_EQ(FileErrorText("write", "/a", ENOSPC),
              "Не удалось записать файл \"/a\": на диске нет места");
    EXPECT_EQ(FileErrorText("print to", "/b.pdf", EIO),
              "Не удалось напечатать в файл \"/b.pdf\": ошибка ввода-вывода");
    // A reason without a text of its own keeps the system's and its number.
    EXPECT_NE(SystemErrorText(EPROTO).find("(код " + std::to_string(EPROTO) + ")"),
              std::string::npos);
}
