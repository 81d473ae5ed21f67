#include "codepage/Convert.h"

#include "platform/ScriptedDialogs.h"
#include "platform/helpers/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const std::string kWinLetters(CodePageLetters[PG_WIN]);

unsigned Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::size_t EntriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(TConvert, ConvertRunsItsEventsAndConvertsLineByLine) {
    TConvert convert;
    EXPECT_EQ(convert.ConvertFrom(), PG_WIN);
    EXPECT_EQ(convert.FileError(), 0);

    std::vector<std::string> log;
    convert.SetOnStartConvert([&](TConvert& s) { log.push_back("start " + s.DateToText()); });
    convert.SetOnDoneConvert([&](TConvert& s) { log.push_back("done " + s.DateToText()); });

    // Nothing to convert: DateTo is still cleared, but there is no "done".
    convert.SetDateFrom({"old"});
    convert.CopyFromTo();
    convert.SetDateFrom({});
    convert.Convert();
    EXPECT_TRUE(convert.DateTo().empty());
    EXPECT_EQ(log, (std::vector<std::string>{"start old"}));

    log.clear();
    convert.SetConvertFrom(PG_WIN);
    convert.SetConvertTo(PG_DOS886);
    convert.SetDateFrom({"\xCF\xF0\xE8", "", "ok \xB8"});
    convert.Convert();
    EXPECT_EQ(convert.DateTo(), (TLines{"\x8F\xE0\xA8", "", "ok \xF1"}));
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "done \x8F\xE0\xA8\r\n\r\nok \xF1");

    // Same page: DateTo is an exact copy, whatever the bytes.
    const TLines raw = {std::string("\0\xFF\xAB\r", 4), kWinLetters};
    convert.SetDateFrom(raw);
    convert.ConvertPages(PG_KOI, PG_KOI);
    EXPECT_EQ(convert.DateTo(), raw);
}

TEST(TConvert, WholeTextKeepsItsLineBreaksThroughAConversion) {
    TConvert convert;
    const std::string text = "\xE0\r\nb\nc\rd\r\n\r\n\xFF\r\n";
    convert.SetDateFromText(text);
    EXPECT_EQ(convert.DateFrom(), (TLines{"\xE0", "b\nc\rd", "", "\xFF", ""}));
    EXPECT_EQ(convert.DateFromText(), text);
    convert.ConvertPages(PG_WIN, PG_ISO);
    EXPECT_EQ(convert.DateToText(), "\xD0\r\nb\nc\rd\r\n\r\n\xEF\r\n");

    convert.SetDateFromText("");
    EXPECT_TRUE(convert.DateFrom().empty());
    EXPECT_EQ(convert.DateFromText(), "");
}

TEST(TConvertLoad, LineEndsLoneLfAndCtrlZ) {
    TempDir dir;
    TConvert convert;
    const auto load = [&](const std::string& bytes) {
        WriteFileBytes(dir.File("in.txt"), bytes);
        EXPECT_TRUE(convert.LoadFile(dir.File("in.txt"), false));
        EXPECT_EQ(convert.FileError(), 0);
        return convert.DateFrom();
    };
    EXPECT_EQ(load("a\r\nb\rc"), (TLines{"a", "b", "c"}));
    EXPECT_EQ(load("a\r\n"), (TLines{"a"}));
    EXPECT_EQ(load("a\r\n\r\n"), (TLines{"a", ""}));
    EXPECT_EQ(load("a\r\rb"), (TLines{"a", "", "b"}));
    EXPECT_EQ(load("one\ntwo\nthree\rfour\n"), (TLines{"one\ntwo\nthree", "four\n"}));
    EXPECT_EQ(load("\nx"), (TLines{"\nx"}));
    EXPECT_EQ(load(""), TLines{});
    EXPECT_EQ(load("a\r\nb\x1A\r\nnever"), (TLines{"a", "b"}));
    EXPECT_EQ(load("\x1Anever"), TLines{});
    EXPECT_EQ(load(std::string("nul\0byte", 8)), (TLines{std::string("nul\0byte", 8)}));

    // A CR LF split across two reads is still one line end.
    const std::string first(65535, 'x');
    EXPECT_EQ(load(first + "\r\nnext"), (TLines{first, "next"}));
}

TEST(TConvertLoad, FailuresReportErrnoAndKeepOrClearLinesAsTheStepDemands) {
    TempDir dir;
    TConvert convert;
    convert.SetDateFrom({"kept"});

    // Opening fails: the lines stay.
    EXPECT_FALSE(convert.LoadFile(dir.File("missing.txt"), false));
    EXPECT_EQ(convert.FileError(), ENOENT);
    EXPECT_EQ(convert.DateFrom(), TLines{"kept"});
    EXPECT_FALSE(convert.LoadFile(dir.File("no/such/dir.txt"), false));
    EXPECT_EQ(convert.FileError(), ENOENT);

    // Reading fails (a directory opens but cannot be read): the lines go.
    EXPECT_FALSE(convert.LoadFile(dir.path().string(), false));
    EXPECT_EQ(convert.FileError(), EISDIR);
    EXPECT_TRUE(convert.DateFrom().empty());

    if (::geteuid() != 0) {
        WriteFileBytes(dir.File("secret.txt"), "x");
        ::chmod(dir.File("secret.txt").c_str(), 0);
        EXPECT_FALSE(convert.LoadFile(dir.File("secret.txt"), false));
        EXPECT_EQ(convert.FileError(), EACCES);
    }
}

TEST(TConvertSave, NewAndExistingFilesWithoutBackup) {
    TempDir dir;
    const std::string name = dir.File("out.txt");
    TConvert convert;
    convert.SetDateFrom({"\xCF\xF0\xE8", "", "last"});
    convert.CopyFromTo();

    EXPECT_TRUE(convert.SaveFile(name, false, false));
    EXPECT_EQ(convert.FileError(), 0);
    EXPECT_EQ(ReadFileBytes(name), "\xCF\xF0\xE8\r\n\r\nlast\r\n");
    EXPECT_TRUE(convert.DateFrom().empty());
    EXPECT_EQ(convert.DateTo().size(), 3u);

    // A read-only file is made writable and replaced; its other bits stay.
    ::chmod(name.c_str(), 0444);
    convert.SetDateFrom({});
    convert.CopyFromTo();
    EXPECT_TRUE(convert.SaveFile(name, false, false));
    EXPECT_EQ(ReadFileBytes(name), "");
    EXPECT_EQ(Mode(name), 0644u);
    EXPECT_FALSE(fs::exists(name + ".bak"));
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(TConvertSave, BackupNeedsAnExistingFileAndReplacesAReadOnlyBackup) {
    TempDir dir;
    const std::string name = dir.File("x.txt");
    TConvert convert;
    convert.SetDateFrom({"new"});
    convert.CopyFromTo();

    EXPECT_FALSE(convert.SaveFile(name, false, true));
    EXPECT_EQ(convert.FileError(), ENOENT);
    EXPECT_EQ(EntriesIn(dir.path()), 0u);
    EXPECT_EQ(convert.DateFrom(), TLines{"new"});

    WriteFileBytes(name, "old file");
    WriteFileBytes(name + ".bak", "old backup");
    ::chmod(name.c_str(), 0600);
    ::chmod((name + ".bak").c_str(), 0444);
    EXPECT_TRUE(convert.SaveFile(name, false, true));
    EXPECT_EQ(convert.FileError(), 0);
    EXPECT_EQ(ReadFileBytes(name + ".bak"), "old file");
    EXPECT_EQ(ReadFileBytes(name), "new\r\n");
    EXPECT_EQ(Mode(name + ".bak"), 0600u);
    EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

TEST(TConvertSave, AFailedSaveLeavesTheOldFileWhereItWas) {
    TempDir dir;
    const std::string name = dir.File("doc.asm");
    WriteFileBytes(name, "old contents\r\n");
    TConvert convert;
    convert.SetDateFrom({std::string(100000, 'y')});
    convert.CopyFromTo();

    // A save that fails half way, as on a full disk.
    for (const bool backup : {false, true}) {
        EXPECT_EQ(test::RunInChild([&]() -> std::string {
                      test::LimitFileSize(1000);
                      if (convert.SaveFile(name, false, backup)) return "saved";
                      return convert.FileError() == EFBIG ? "" : "wrong error";
                  }),
                  "");
        EXPECT_EQ(ReadFileBytes(name), "old contents\r\n");
        EXPECT_EQ(EntriesIn(dir.path()), 1u) << "backup " << backup;
    }

    // A directory in the file's place cannot be replaced.
    fs::create_directory(dir.File("sub"));
    EXPECT_FALSE(convert.SaveFile(dir.File("sub"), false, false));
    EXPECT_NE(convert.FileError(), 0);
    EXPECT_TRUE(fs::is_directory(dir.File("sub")));

    if (::geteuid() != 0) {
        ::chmod(dir.path().c_str(), 0555);
        EXPECT_FALSE(convert.SaveFile(name, false, false));
        EXPECT_EQ(convert.FileError(), EACCES);
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(ReadFileBytes(name), "old contents\r\n");
    }
}

TEST(TConvertFiles, DialogsChooseTheNameAndACancelChangesNothing) {
    TempDir dir;
    ScriptedDialogs dialogs;
    TConvert convert;
    WriteFileBytes(dir.File("chosen.txt"), "chosen\r\n");

    dialogs.AnswerOpen(dir.File("chosen.txt"));
    EXPECT_TRUE(convert.LoadFile("preset.txt", true));
    EXPECT_EQ(convert.DateFrom(), TLines{"chosen"});
    ASSERT_EQ(dialogs.RequestsOf(DialogKind::OpenFile).size(), 1u);
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::OpenFile)[0].file.fileName, "preset.txt");

    EXPECT_FALSE(convert.LoadFile(dir.File("missing"), false));
    dialogs.AnswerOpen(std::nullopt);
    EXPECT_FALSE(convert.LoadFile("preset.txt", true));
    EXPECT_EQ(convert.FileError(), ENOENT);
    EXPECT_EQ(convert.DateFrom(), TLines{"chosen"});

    convert.CopyFromTo();
    dialogs.AnswerSave(std::nullopt);
    EXPECT_FALSE(convert.SaveFile(dir.File("chosen.txt"), true, true));
    EXPECT_EQ(convert.FileError(), ENOENT);
    EXPECT_FALSE(fs::exists(dir.File("chosen.txt.bak")));

    dialogs.AnswerSave(dir.File("saved.txt"));
    EXPECT_TRUE(convert.SaveFile("preset.txt", true, false));
    EXPECT_EQ(ReadFileBytes(dir.File("saved.txt")), "chosen\r\n");
    EXPECT_TRUE(dialogs.Errors().empty());
}

TEST(TConvertFiles, ADosFileRoundTripsByteForByte) {
    TempDir dir;
    // Every 866 letter and all printable ASCII, over several CR LF lines.
    std::string dos;
    for (int b = 0x20; b < 0x7F; ++b)
        dos += static_cast<char>(b);
    dos += "\r\n" + std::string(CodePageLetters[PG_DOS886]) + "\r\n\r\nend\r\n";
    WriteFileBytes(dir.File("a.asm"), dos);

    TConvert convert;
    ASSERT_TRUE(convert.LoadFile(dir.File("a.asm"), false));
    convert.ConvertPages(PG_DOS886, PG_WIN);
    EXPECT_EQ(convert.DateTo()[1], kWinLetters);
    for (const TConvType via : {PG_KOI, PG_MAC, PG_ISO, PG_DOS886}) {
        convert.CopyToFrom();
        convert.ConvertPages(PG_WIN, via);
        convert.CopyToFrom();
        convert.ConvertPages(via, PG_WIN);
    }
    convert.CopyToFrom();
    convert.ConvertPages(PG_WIN, PG_DOS886);
    ASSERT_TRUE(convert.SaveFile(dir.File("a.asm"), false, true));
    EXPECT_EQ(ReadFileBytes(dir.File("a.asm")), dos);
    EXPECT_EQ(ReadFileBytes(dir.File("a.asm.bak")), dos);
}

} // namespace
} // namespace lorvane
