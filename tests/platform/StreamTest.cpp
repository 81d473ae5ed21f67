#include "platform/Error.h"
#include "platform/Stream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
