// The working-settings dialog: its ".ust" files byte for byte, loading
// short and long files, failures that keep the dialog's boxes, and the
// frame's command that stores the confirmed values.
#include "FakeEditor.h"
#include "app/MainForm.h"
#include "app/PathAss.h"
#include "platform/ErrorHandler.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace lorvane {
namespace {

using test::FakeEditor;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// Types `text` into the box as key presses.
void Type(QLineEdit* edit, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

const UstLines kCross = {
    "/opt/cross/bin/ASM51 -L", "/opt/cross/bin/LINK51", "SIM51", ".A51", ".OBJ", ".HEX", ".LST"};

class WorkSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(IniPath());
        SharedFlags() = TSharedDocumentFlags{};
        TApplication::SetReporter([this](const std::string& text) { errors.push_back(text); });
    }
    void TearDown() override { TApplication::SetReporter({}); }

    static std::string IniPath() { return Settings().SettingsFilePath(); }
    static std::string Tool(const char* key) {
        return ProfileFile(IniPath()).ReadString("ASSEMBLER", key, "<missing>");
    }

    // Runs `act` on the dialog once it shows; a dialog still open after
    // five seconds is cancelled so the test cannot hang.
    static void WhenShown(TPathAss& dialog, std::function<void()> act) {
        QTimer::singleShot(0, &dialog, std::move(act));
        QTimer::singleShot(5000, &dialog, [&dialog] {
            if (dialog.isVisible()) dialog.reject();
        });
    }

    std::vector<std::string> errors;
    TempDir dir;
};

TEST_F(WorkSettingsTest, UstFilesAreSevenWindows1251LinesAndRoundTrip) {
    ScriptedDialogs dialogs;
    TPathAss dialog;
    UstLines lines = kCross;
    lines[0] = "/home/разработка/asm";
    dialog.SetBoxLines(lines);
    dialogs.AnswerSave(dir.File("CROSS"));
    dialog.Button3Click();
    EXPECT_EQ(ReadFileBytes(dir.File("CROSS.UST")),
              "/home/\xF0\xE0\xE7\xF0\xE0\xE1\xEE\xF2\xEA\xE0/asm\r\n/opt/cross/bin/LINK51\r\n"
              "SIM51\r\n.A51\r\n.OBJ\r\n.HEX\r\n.LST\r\n");
    EXPECT_EQ(dialogs.RequestsOf(DialogKind::SaveFile).at(0).file.filter,
              "Рабочие уставки (*.ust)|*.ust|");
    dialogs.AnswerSave(dir.File("CROSS.TXT"));
    dialog.Button3Click();
    EXPECT_TRUE(std::filesystem::exists(dir.File("CROSS.TXT")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("CROSS.TXT.UST")));

    dialog.SetBoxLines({});
    dialogs.AnswerOpen(dir.File("CROSS.UST"));
    dialog.Button4Click();
    EXPECT_EQ(dialog.BoxLines(), lines);
    // The mapping of boxes to lines: the run program is the third line.
    EXPECT_EQ(dialog.Edit6()->text(), "SIM51");
    EXPECT_EQ(dialog.Edit3()->text(), ".A51");
    EXPECT_EQ(dialog.Edit7()->text(), ".LST");
    EXPECT_TRUE(errors.empty());
}

TEST_F(WorkSettingsTest, ShortLongAndOddlyEndedFilesLoadWhatTheyHave) {
    const std::string three = dir.File("three.ust");
    WriteFileBytes(three, "ASM\r\nLINK\r\nSIM");
    UstLines expected{"ASM", "LINK", "SIM", "", "", "", ""};
    EXPECT_EQ(ReadUstFile(three), expected);

    WriteFileBytes(three, "a\nb\rc\r\n\r\ne\r\nf\r\ng\r\nextra\r\nmore\r\n");
    expected = {"a", "b", "c", "", "e", "f", "g"};
    EXPECT_EQ(ReadUstFile(three), expected);

    WriteFileBytes(three, "");
    EXPECT_EQ(ReadUstFile(three), UstLines{});

    // Through the dialog: the boxes without a line are emptied.
    ScriptedDialogs dialogs;
    TPathAss dialog;
    dialog.SetBoxLines(kCross);
    WriteFileBytes(three, "ASM\r\nLINK\r\nSIM\r\n");
    dialogs.AnswerOpen(three);
    dialog.Button4Click();
    EXPECT_EQ(dialog.BoxLines(), (UstLines{"ASM", "LINK", "SIM", "", "", "", ""}));
}

TEST_F(WorkSettingsTest, FailuresAreShownAndLoseNothing) {
    ScriptedDialogs dialogs;
    TPathAss dialog;
    dialog.SetBoxLines(kCross);
    dialogs.AnswerOpen(dir.File("missing.ust"));
    dialog.Button4Click();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("missing.ust"), std::string::npos);
    EXPECT_EQ(dialog.BoxLines(), kCross);

    dialogs.AnswerSave(dir.File("no dir/x.ust"));
    dialog.Button3Click();
    EXPECT_EQ(errors.size(), 2u);

    // A name the file's code page cannot hold is refused, not mangled.
    const std::string kept = dir.File("kept.ust");
    WriteFileBytes(kept, "old\r\n");
    UstLines greek = kCross;
    greek[1] = "/opt/λ/link";
    dialog.SetBoxLines(greek);
    dialogs.AnswerSave(kept);
    dialog.Button3Click();
    EXPECT_EQ(errors.size(), 3u);
    EXPECT_EQ(ReadFileBytes(kept), "old\r\n");
    EXPECT_EQ(dialog.BoxLines(), greek);

    // Cancelled file dialogs change nothing.
    dialogs.AnswerOpen(std::nullopt);
    dialog.Button4Click();
    dialogs.AnswerSave(std::nullopt);
    dialog.Button3Click();
    EXPECT_EQ(errors.size(), 3u);
    EXPECT_EQ(dialog.BoxLines(), greek);
}

TEST_F(WorkSettingsTest, ExtensionBoxesTurnUpperCaseAndCommandsKeepTheirCase) {
    TPathAss dialog;
    dialog.show();
    Type(dialog.Edit3(), QStringLiteral("asm"));
    EXPECT_EQ(dialog.Edit3()->text(), "ASM");
    Type(dialog.Edit4(), QStringLiteral("objектx")); // limited to six
    EXPECT_EQ(dialog.Edit4()->text(), QStringLiteral("OBJЕКТ"));
    Type(dialog.Edit1(), QStringLiteral("/usr/bin/nasm"));
    EXPECT_EQ(dialog.Edit1()->text(), "/usr/bin/nasm");
    EXPECT_EQ(dialog.Edit1()->maxLength(), 255);
}

TEST_F(WorkSettingsTest, ConfirmedValuesGetTheirDotsAndReachTheSettingsFile) {
    ScriptedDialogs dialogs;
    ProfileFile(IniPath()).WriteString("ASSEMBLER", "Ассемблер", "tasm /zi");
    ProfileFile(IniPath()).WriteString("ASSEMBLER", "Расширение файла листинга", ".LST");
    TMainFormLorvane frame([] { return std::make_unique<test::FakeEditor>(); }, {});
    TPathAss& dialog = frame.PathAss1();
    const auto directory = std::filesystem::current_path();
    bool shownWithFileValues = false;
    WhenShown(dialog, [&] {
        shownWithFileValues = dialog.Edit1()->text() == "tasm /zi" &&
                              dialog.Edit7()->text() == ".LST" && dialog.isModal();
        dialog.Edit3()->setText("asm");
        dialog.Edit4()->setText("");
        dialog.Edit5()->setText(".HEX");
        dialog.Edit6()->setText("sim51");
        std::filesystem::current_path(dir.File(""));
        dialog.Button1()->click();
    });
    frame.N15Click();
    EXPECT_TRUE(shownWithFileValues);
    EXPECT_EQ(Tool("Ассемблер"), "tasm /zi");
    EXPECT_EQ(Tool("Расширение файла компилятора"), ".ASM");
    EXPECT_EQ(Tool("Расширение объектного файла"), "");
    EXPECT_EQ(Tool("Расширение скомпилированного файла"), ".HEX");
    EXPECT_EQ(Tool("Программа запуска"), "sim51");
    EXPECT_EQ(frame.AppSettings().Tools().compilerExtension, ".ASM");
    EXPECT_EQ(std::filesystem::current_path(), directory);

    // Cancel after loading a file: nothing changes.
    const std::string other = dir.File("other.ust");
    WriteUstFile(other, kCross);
    const std::string before = ReadFileBytes(IniPath());
    dialogs.AnswerOpen(other);
    WhenShown(dialog, [&] {
        dialog.Button4()->click();
        dialog.Button2()->click();
    });
    frame.N15Click();
    EXPECT_EQ(dialog.Edit1()->text().toStdString(), kCross[0]);
    EXPECT_EQ(ReadFileBytes(IniPath()), before);
    EXPECT_EQ(frame.AppSettings().Tools().assemblerPath, "tasm /zi");
    EXPECT_TRUE(errors.empty());
}

// Not a check: run with --gtest_also_run_disabled_tests to look at the form.
TEST_F(WorkSettingsTest, DISABLED_GrabTheForm) {
    TPathAss dialog;
    dialog.Values().assemblerPath = "/opt/tasm/TASM /zi";
    dialog.Values().compilerExtension = ".ASM";
    dialog.Values().listingExtension = ".LST";
    dialog.show();
    dialog.grab().save(QStringLiteral("/tmp/lorvane-pathass.png"));
}

} // namespace
} // namespace lorvane
