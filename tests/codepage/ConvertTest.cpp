// Recoding between the Cyrillic pages: the letter rows, the byte tables built
// from them, the streams that convert as they are read, and the converter
// that loads, converts and saves lines of text.
#include "codepage/Convert.h"
#include "codepage/CodePageLetters.h"
#include "codepage/OEMStrm.h"

#include "platform/CodePageTables.h"
#include "platform/ScriptedDialogs.h"
#include "platform/helpers/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>

namespace lorvane {
namespace {

constexpr TConvType kAll[] = {PG_WIN, PG_KOI, PG_DOS886, PG_MAC, PG_ISO};

char32_t CharOf(TConvType page, char byte) {
    constexpr cp::CodePage pages[] = {cp::CodePage::Win1251, cp::CodePage::Koi8R,
                                      cp::CodePage::Cp866, cp::CodePage::MacCyrillic,
                                      cp::CodePage::Iso8859_5};
    return cp::ToUnicode(pages[page], static_cast<unsigned char>(byte));
}

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
}

// Every row spells the same letters in its own page; every byte of every pair
// recodes as the row search says (its place in row From picks the byte of
// row To, a byte in no row stays); and random ASCII and letters go there and
// back unchanged, each reading as the same character on the far side.
TEST(RecodeString, LetterRowsByteTablesAndRoundTripsOfEveryPair) {
    const std::u32string letters = U"йцукенгшщзхъфывапролджэячсмитьбюё"
                                   U"ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁ";
    const std::string all = AllBytes();
    std::mt19937 rng(20261206);
    for (const TConvType from : kAll) {
        const std::string_view row = CodePageLetters[from];
        ASSERT_EQ(row.size(), letters.size()) << int(from);
        for (std::size_t i = 0; i < row.size(); ++i)
            EXPECT_EQ(CharOf(from, row[i]), letters[i]) << "row " << int(from) << " at " << i;
        const std::string alphabet = all.substr(0, 0x80) + std::string(row);
        std::string text;
        for (int i = 0; i < 4000; ++i)
            text += alphabet[rng() % alphabet.size()];
        for (const TConvType to : kAll) {
            const std::string out = RecodeString(from, to, all);
            ASSERT_EQ(out.size(), 256u);
            for (int b = 0; b < 256; ++b) {
                const std::size_t p = from == to ? std::string_view::npos : row.find(all[b]);
                EXPECT_EQ(out[b], p == std::string_view::npos ? all[b] : CodePageLetters[to][p])
                    << int(from) << "->" << int(to) << " byte " << b;
            }
            const std::string there = RecodeString(from, to, text);
            EXPECT_EQ(RecodeString(to, from, there), text) << int(from) << "<->" << int(to);
            for (std::size_t i = 0; i < text.size(); ++i)
                ASSERT_EQ(CharOf(to, there[i]), CharOf(from, text[i])) << int(to) << " at " << i;
        }
    }
    EXPECT_EQ(RecodeString(PG_WIN, PG_KOI, ""), "");
    // A page outside the enumeration, as a damaged setting gives, changes nothing.
    const auto bogus = static_cast<TConvType>(7);
    EXPECT_EQ(RecodeString(bogus, PG_KOI, "\xE9\xFF"), "\xE9\xFF");
    EXPECT_EQ(RecodeString(PG_WIN, bogus, "\xE9\xFF"), "\xE9\xFF");
}

// The whole stream copied into another, in the stream copy's own chunks.
std::string Drain(TStream& stream) {
    TStringStream out;
    out.CopyFrom(stream, 0);
    return out.DataString();
}

// The KOI8 stream changes only А..я, each to the same letter; the DOS stream
// sends every byte through the 866 table. Neither touches the caller's
// buffer past what it read.
TEST(ConversionStreams, EveryByteReadAndNothingElse) {
    TWKOI8Stream koi(AllBytes());
    TWDOSStream dos(AllBytes());
    const std::string koiOut = Drain(koi), dosOut = Drain(dos);
    ASSERT_EQ(koiOut.size(), 256u);
    ASSERT_EQ(dosOut.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        const auto k = static_cast<unsigned char>(koiOut[b]);
        if (b < 0xC0) {
            EXPECT_EQ(k, b);
        } else {
            EXPECT_EQ(CharOf(PG_KOI, k), CharOf(PG_WIN, b)) << b;
        }
        EXPECT_EQ(static_cast<unsigned char>(dosOut[b]), cp::Win1251ToCp866Table()[b]) << b;
    }

    char buf[4] = {'\xC0', '\xC0', '\xC0', '\xC0'};
    EXPECT_EQ(TWDOSStream(std::string()).Read(buf, 4), 0);
    EXPECT_EQ(TWKOI8Stream(std::string()).Read(buf, 4), 0);
    TWKOI8Stream shortRead("\xE0");
    EXPECT_EQ(shortRead.Read(buf, 4), 1);
    EXPECT_EQ(std::string(buf, 4), "\xC1\xC0\xC0\xC0");
}

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

unsigned Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::size_t EntriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(TConvert, ConvertsLineByLineKeepsTheTextsBreaksAndRunsItsEvents) {
    TConvert convert;
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

    // Only CR LF splits a whole text into lines.
    const std::string text = "\xE0\r\nb\nc\rd\r\n\r\n\xFF\r\n";
    convert.SetDateFromText(text);
    EXPECT_EQ(convert.DateFrom(), (TLines{"\xE0", "b\nc\rd", "", "\xFF", ""}));
    EXPECT_EQ(convert.DateFromText(), text);
    convert.SetConvertFrom(PG_WIN);
    convert.SetConvertTo(PG_ISO);
    convert.Convert();
    EXPECT_EQ(log.back(), "done \xD0\r\nb\nc\rd\r\n\r\n\xEF\r\n");
    EXPECT_EQ(log.size(), 3u);
    convert.SetDateFromText("");
    EXPECT_TRUE(convert.DateFrom().empty());
}

TEST(TConvertFiles, TheNameAskedForLineEndsCtrlZAndFailures) {
    TempDir dir;
    ScriptedDialogs dialogs;
    TConvert convert;
    WriteFileBytes(dir.File("chosen.txt"), "chosen\r\n");
    dialogs.AnswerOpen(dir.File("chosen.txt"));
    EXPECT_TRUE(convert.LoadFile("preset.txt", true));
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::OpenFile).at(0).file.fileName, "preset.txt");
    // Opening fails, or the dialog is cancelled: the lines stay, and so
    // does the error.
    EXPECT_FALSE(convert.LoadFile(dir.File("no/such.txt"), false));
    EXPECT_EQ(convert.FileError(), ENOENT);
    dialogs.AnswerOpen(std::nullopt);
    EXPECT_FALSE(convert.LoadFile("preset.txt", true));
    EXPECT_EQ(convert.FileError(), ENOENT);
    EXPECT_EQ(convert.DateFrom(), TLines{"chosen"});
    // The same on saving, no backup made; the name chosen is the one written.
    convert.CopyFromTo();
    dialogs.AnswerSave(std::nullopt);
    EXPECT_FALSE(convert.SaveFile(dir.File("chosen.txt"), true, true));
    EXPECT_EQ(convert.FileError(), ENOENT);
    EXPECT_FALSE(fs::exists(dir.File("chosen.txt.bak")));
    dialogs.AnswerSave(dir.File("saved.txt"));
    EXPECT_TRUE(convert.SaveFile("preset.txt", true, false));
    EXPECT_EQ(ReadFileBytes(dir.File("saved.txt")), "chosen\r\n");
    EXPECT_TRUE(dialogs.Errors().empty());
    // Reading fails (a directory opens but cannot be read): the lines go.
    convert.SetDateFrom({"kept"});
    EXPECT_FALSE(convert.LoadFile(dir.path().string(), false));
    EXPECT_EQ(convert.FileError(), EISDIR);
    EXPECT_TRUE(convert.DateFrom().empty());

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

TEST(TConvertSave, AFailedSaveLeavesTheOldFileWhereItWas) {
    TempDir dir;
    const std::string name = dir.File("doc.asm");
    WriteFileBytes(name, "old contents\r\n");
    TConvert convert;
    convert.SetDateFrom({std::string(100000, 'y')});
    convert.CopyFromTo();

    // A save that fails half way, as on a full disk, keeps the older backup
    // too (it was deleted before the write once).
    for (const bool backup : {false, true}) {
        if (backup) WriteFileBytes(name + ".bak", "old backup");
        EXPECT_EQ(test::RunInChild([&]() -> std::string {
                      test::LimitFileSize(1000);
                      if (convert.SaveFile(name, false, backup)) return "saved";
                      return convert.FileError() == EFBIG ? "" : "wrong error";
                  }),
                  "");
        EXPECT_EQ(ReadFileBytes(name), "old contents\r\n");
        EXPECT_EQ(EntriesIn(dir.path()), backup ? 2u : 1u) << "backup " << backup;
    }
    EXPECT_EQ(ReadFileBytes(name + ".bak"), "old backup");

    // A directory in the file's place cannot be replaced.
    fs::create_directory(dir.File("sub"));
    EXPECT_FALSE(convert.SaveFile(dir.File("sub"), false, false));
    EXPECT_NE(convert.FileError(), 0);
    EXPECT_TRUE(fs::is_directory(dir.File("sub")));
}

// A DOS file goes through every page and back byte for byte. Each line is
// saved with CR LF after it and DateFrom is cleared; a read-only file or
// backup is replaced with its other mode bits kept, a backup needs a file
// to back up, and nothing is left beside the file and its backup.
TEST(TConvertFiles, ADosFileRoundTripsByteForByteAndKeepsItsBackup) {
    TempDir dir;
    const std::string name = dir.File("a.asm");
    std::string dos;
    for (int b = 0x20; b < 0x7F; ++b)
        dos += static_cast<char>(b);
    dos += "\r\n" + std::string(CodePageLetters[PG_DOS886]) + "\r\n\r\nend\r\n";
    WriteFileBytes(name, dos);
    WriteFileBytes(name + ".bak", "old backup");
    ::chmod(name.c_str(), 0600);
    ::chmod((name + ".bak").c_str(), 0444);

    TConvert convert;
    ASSERT_TRUE(convert.LoadFile(name, false));
    EXPECT_FALSE(convert.SaveFile(dir.File("new.asm"), false, true));
    EXPECT_EQ(convert.FileError(), ENOENT);
    EXPECT_EQ(convert.DateFrom().size(), 4u);
    convert.ConvertPages(PG_DOS886, PG_WIN);
    EXPECT_EQ(convert.DateTo()[1], CodePageLetters[PG_WIN]);
    for (const TConvType via : {PG_KOI, PG_MAC, PG_ISO, PG_DOS886}) {
        convert.CopyToFrom();
        convert.ConvertPages(PG_WIN, via);
        convert.CopyToFrom();
        convert.ConvertPages(via, PG_WIN);
    }
    convert.CopyToFrom();
    convert.ConvertPages(PG_WIN, PG_DOS886);
    ASSERT_TRUE(convert.SaveFile(name, false, true));
    EXPECT_EQ(convert.FileError(), 0);
    EXPECT_EQ(convert.DateTo().size(), 4u);
    EXPECT_EQ(ReadFileBytes(name), dos);
    EXPECT_EQ(ReadFileBytes(name + ".bak"), dos);
    EXPECT_EQ(Mode(name + ".bak"), 0600u);

    ::chmod(name.c_str(), 0444);
    convert.CopyFromTo();
    EXPECT_TRUE(convert.SaveFile(name, false, false));
    EXPECT_EQ(ReadFileBytes(name), "");
    EXPECT_EQ(Mode(name), 0644u);
    EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

} // namespace
} // namespace lorvane
