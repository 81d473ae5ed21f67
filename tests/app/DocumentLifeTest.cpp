// A document's file state as it meets the rest of the program: the font,
// the build cycle, a second window on the same file, a reload.
#include "app/EditorFactory.h"
#include "app/MainForm.h"
#include "app/RIzuvAzazEditor.h"
#include "editor/RIzuvAzaz.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <filesystem>

namespace lorvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;
namespace fs = std::filesystem;

class DocumentLife : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove(Settings().SettingsFilePath());
        fs::remove(paths::ResolveBareName("HKEY_CURRENT_USER.reg"));
        SharedFlags() = TSharedDocumentFlags{};
        frame = std::make_unique<TMainFormLorvane>(DocumentEditors(), std::vector<std::string>{});
        frame->show();
    }
    void TearDown() override {
        for (TMDIChild* child : frame->Children())
            child->Memo1().SetModified(false);
    }
    TMDIChild* Open(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir.File(name), bytes);
        frame->FileOpenAll(dir.File(name));
        return frame->ActiveChild();
    }
    static void Type(TMDIChild* window, const QString& text) {
        auto& control = static_cast<TRIzuvAzazEditor&>(window->Memo1()).Control();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&control, &press);
        }
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainFormLorvane> frame;
};

// "д" and a dash in UTF-8; the dash is in Windows-1251 but not in 866.
TEST_F(DocumentLife, AUtf8TextFollowsItsFontsPageOrKeepsTheFont) {
    const FontChoice terminal{"Terminal", 10, 0, clAqua};
    TMDIChild* dash = Open("dash.txt", "a \xE2\x80\x94 b\n");
    dialogs.AnswerFont(terminal);
    dialogs.AnswerMessage(MsgResult::OK);
    frame->Fonts1Click();
    EXPECT_NE(dialogs.Requests().back().text.find("«—» в строке 1"), std::string::npos);
    EXPECT_NE(dash->Memo1().Font().name, "Terminal");
    EXPECT_EQ(dash->Memo1().Text(), "a \x97 b\r\n");

    TMDIChild* window = Open("u.txt", "\xD0\xB4\n");
    dialogs.AnswerFont(terminal);
    frame->Fonts1Click();
    EXPECT_EQ(window->Memo1().Font().name, "Terminal");
    EXPECT_FALSE(window->Memo1().Modified());
    window->Memo1().SetSelStart(0);
    Type(window, QStringLiteral("Ж"));
    ASSERT_TRUE(frame->FileSaveItemClick());
    EXPECT_EQ(ReadFileBytes(dir.File("u.txt")), "\xD0\x96\xD0\xB4\n");
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);
}

} // namespace
} // namespace lorvane
