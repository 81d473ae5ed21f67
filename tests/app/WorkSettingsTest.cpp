// The working-settings dialog: ".ust" files byte for byte, short and long
// files, failures that keep the boxes, and the frame's command that stores
// the confirmed values.
#include "FrameFixture.h"
#include "app/PathAss.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

const UstLines kCross = {"/opt/разработка/asm", "LINK51", "SIM51", ".A51", ".OBJ", ".HEX", ".LST"};

class WorkSettingsTest : public test::FrameFixture {
protected:
    TPathAss dialog;
};

TEST_F(WorkSettingsTest, UstFilesAreSevenWindows1251LinesThatLoadBackExactly) {
    dialog.SetBoxLines(kCross);
    dialogs.AnswerSave(dir.File("CROSS"));
    dialogs.AnswerSave(dir.File("CROSS.TXT"));
    dialog.Button3Click();
    dialog.Button3Click();
    EXPECT_EQ(ReadFileBytes(dir.File("CROSS.UST")),
              "/opt/\xF0\xE0\xE7\xF0\xE0\xE1\xEE\xF2\xEA\xE0/asm\r\nLINK51\r\nSIM51\r\n.A51\r\n"
              ".OBJ\r\n.HEX\r\n.LST\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir.File("CROSS.TXT")));
    // "CROSS" again: the dialog asked about that name, not about CROSS.UST.
    dialog.SetBoxLines({});
    dialogs.AnswerSave(dir.File("CROSS"));
    dialogs.AnswerMessage(MsgResult::No);
    dialog.Button3Click();
    EXPECT_EQ(ReadFileBytes(dir.File("CROSS.UST")).substr(0, 5), "/opt/");
    dialog.SetBoxLines(kCross);
    dialog.SetBoxLines({});
    dialogs.AnswerOpen(dir.File("CROSS.UST"));
    dialog.Button4Click();
    EXPECT_EQ(dialog.BoxLines(), kCross);
    EXPECT_EQ(dialog.Edit6()->text(), "SIM51"); // the run program is the third line
    EXPECT_EQ(dialog.Edit5()->text(), ".HEX");

    // Three lines fill the commands and empty the extensions; any line end
    // counts, the last may have none.
    WriteFileBytes(dir.File("three.ust"), "ASM\r\nLINK\nSIM");
    dialogs.AnswerOpen(dir.File("three.ust"));
    dialog.Button4Click();
    EXPECT_EQ(dialog.BoxLines(), (UstLines{"ASM", "LINK", "SIM", "", "", "", ""}));
}

// Windows-1251 whose bytes happen to be well-formed UTF-8 ("ВЁ" is the
// UTF-8 of "¨", "Рђ" that of "А") reads back as written; a file not shaped
// as this program writes it (one written by hand on a UTF-8 desktop) is
// still taken as UTF-8 when it is that. Any line end counts, and an eighth
// line is ignored.
TEST(UstEncoding, WhatThisProgramWroteReadsBackExactly) {
    test::TempDir dir;
    const UstLines written[] = {
        {"C:\\ВЁ\\TASM.EXE", "Рђ", "", "", "", "", ""},
        {"ВЁ", "", "", "", "", "", ".ВЁ"},
        {"/opt/разработка/asm", "РЇ", "", "", "", "", ""},
    };
    for (const UstLines& lines : written) {
        WriteUstFile(dir.File("w.ust"), lines);
        EXPECT_EQ(ReadUstFile(dir.File("w.ust")), lines) << lines[0];
    }
    const std::string longName = "/" + std::string(1000, 'a') + "ж";
    const struct {
        std::string bytes;
        UstLines lines;
    } byHand[] = {
        {"a\rb\r\n\r\nd\ne\r\nf\r\ng\r\nextra\r\n", {"a", "b", "", "d", "e", "f", "g"}},
        {"/opt/разработка/asm\nLINK51\nSIM51\n.A51\n.OBJ\n.HEX\n.LST\n", kCross},
        {longName + "\n", {longName}},
        {"\xD0\x90\r\n", {"А"}},
        {"\xC2\xA8\n\n\n\n\n\n\n", {"¨"}},
        {"\xC2\xA8\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", {"¨"}},
        {"\xC2\xA8\r\n\r\n\r\n\r\n\r\n\r\n\r\n", {"ВЁ"}},
        {"\xC2\xA8\r\n\r\n\r\n\r\n\r\n\r\n\xC2\xA8", {"¨", "", "", "", "", "", "¨"}},
    };
    for (const auto& file : byHand) {
        test::WriteFileBytes(dir.File("h.ust"), file.bytes);
        EXPECT_EQ(ReadUstFile(dir.File("h.ust")), file.lines) << file.bytes;
    }
}

TEST_F(WorkSettingsTest, FailuresAreShownAndLoseNothing) {
    dialog.SetBoxLines(kCross);
    dialogs.AnswerOpen(dir.File("missing.ust"));
    dialogs.AnswerSave(dir.File("no dir/x.ust"));
    dialog.Button4Click();
    dialog.Button3Click();
    const auto reported = TakeErrors();
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_NE(reported[0].find("missing.ust"), std::string::npos);
    EXPECT_EQ(dialog.BoxLines(), kCross);

    // A name the file's code page cannot hold is refused, not mangled; a
    // line break in a box (a hand-edited settings file can hold a lone CR)
    // would shift every later line of the file: refused as well.
    WriteFileBytes(dir.File("kept.ust"), "old\r\n");
    UstLines greek = kCross, broken = kCross;
    greek[1] = "/opt/λ/link";
    broken[0] = "asm\rlink";
    for (const UstLines& lines : {greek, broken}) {
        dialog.SetBoxLines(lines);
        dialogs.AnswerSave(dir.File("kept.ust"));
        dialog.Button3Click();
        EXPECT_EQ(TakeErrors().size(), 1u) << lines[0];
        EXPECT_EQ(ReadFileBytes(dir.File("kept.ust")), "old\r\n") << lines[0];
        EXPECT_EQ(dialog.BoxLines(), lines);
    }
}

TEST_F(WorkSettingsTest, ValuesLongerThanTheBoxesTakeArriveWhole) {
    // The limits hold for typing; a longer value from the settings file or
    // a .ust file must not be cut, or OK would store a different command.
    const std::string command = "/opt/tools/" + std::string(300, 'a') + " -l";
    dialog.Values().assemblerPath = command;
    dialog.Values().listingExtension = ".LISTING";
    dialog.Activ();
    dialog.Button1Click();
    EXPECT_EQ(dialog.Values().assemblerPath, command);
    EXPECT_EQ(dialog.Values().listingExtension, ".LISTING");

    UstLines longer = kCross;
    longer[1] = command;
    longer[6] = ".LISTING";
    WriteUstFile(dir.File("long.ust"), longer);
    dialogs.AnswerOpen(dir.File("long.ust"));
    dialog.Button4Click();
    EXPECT_EQ(dialog.BoxLines(), longer);
    // More than the settings file can give back whole is refused, and a
    // huge file is not read in full to find that out.
    WriteFileBytes(dir.File("huge.ust"), "asm\r\n" + std::string(4 << 20, 'x') + "\r\n");
    dialogs.AnswerOpen(dir.File("huge.ust"));
    dialog.Button4Click();
    const auto reported = TakeErrors();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("huge.ust"), std::string::npos);
    EXPECT_EQ(dialog.BoxLines(), longer);
    // A short value afterwards gets the usual limit back.
    dialog.SetBoxLines(kCross);
    EXPECT_EQ(dialog.Edit2()->maxLength(), 255);
    EXPECT_EQ(dialog.Edit7()->maxLength(), 6);
}

TEST_F(WorkSettingsTest, TheCommandStoresConfirmedValuesWithTheirDots) {
    const std::string ini = Settings().SettingsFilePath();
    WriteSetting("ASSEMBLER", "Ассемблер", "tasm /zi");
    MakeFrame();
    TPathAss& shown = frame->PathAss1();
    const auto whenShown = [&](std::function<void()> act) {
        QTimer::singleShot(0, &shown, std::move(act));
        QTimer::singleShot(5000, &shown, [&] { shown.reject(); }); // never hang
    };
    const auto directory = std::filesystem::current_path();
    std::string offered;
    whenShown([&] {
        offered = shown.Edit1()->text().toStdString();
        shown.Edit3()->setText("asm");
        shown.Edit5()->setText(".HEX");
        std::filesystem::current_path(dir.File(""));
        shown.Button1()->click();
    });
    frame->N15Click();
    EXPECT_EQ(offered, "tasm /zi");
    EXPECT_EQ(ReadSetting("ASSEMBLER", "Расширение файла компилятора"), ".ASM");
    EXPECT_EQ(ReadSetting("ASSEMBLER", "Расширение объектного файла"), "");
    EXPECT_EQ(ReadSetting("ASSEMBLER", "Расширение скомпилированного файла"), ".HEX");
    EXPECT_EQ(frame->AppSettings().Tools().compilerExtension, ".ASM");
    EXPECT_EQ(std::filesystem::current_path(), directory);

    // Cancel after loading a file changes nothing.
    WriteUstFile(dir.File("other.ust"), kCross);
    const std::string before = ReadFileBytes(ini);
    dialogs.AnswerOpen(dir.File("other.ust"));
    whenShown([&] {
        shown.Button4()->click();
        shown.Button2()->click();
    });
    frame->N15Click();
    EXPECT_EQ(shown.Edit2()->text(), "LINK51");
    EXPECT_EQ(ReadFileBytes(ini), before);
    EXPECT_EQ(frame->AppSettings().Tools().assemblerPath, "tasm /zi");
}

} // namespace
} // namespace lorvane
