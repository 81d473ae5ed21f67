// The toolkit side of the platform layer: the dialogs seam (scripted and
// real), file filters, the error handler, colours and fonts.
#include "platform/Colors.h"
#include "platform/ErrorHandler.h"
#include "platform/FileNameBytes.h"
#include "platform/FindReplaceDialog.h"
#include "platform/FontPickerDialog.h"
#include "platform/Fonts.h"
#include "platform/QtDialogs.h"
#include "platform/ScriptedDialogs.h"

#include "support/TempDir.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFont>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <tuple>

namespace lorvane {
namespace {

TEST(ScriptedDialogs, AnswersInOrderRecordsEveryRequestAndFailsLoudlyWithoutAnAnswer) {
    ScriptedDialogs dialogs;
    EXPECT_EQ(&Dialogs::Current(), &dialogs);
    dialogs.AnswerSave("/tmp/x.asm", 2);
    dialogs.AnswerColor(clRed);
    FileDialogRequest save;
    save.filter = "Все файлы (*.*)|*.*";
    const auto saved = Dialogs::Current().SaveFile(save);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->files, std::vector<std::string>{"/tmp/x.asm"});
    EXPECT_EQ(saved->filterIndex, 2);
    // An answer of another kind is not consumed by the wrong dialog.
    EXPECT_THROW(dialogs.InputBox("", "Нет ответа", ""), ScriptedDialogError);
    EXPECT_EQ(dialogs.PendingAnswers(), 1u);
    EXPECT_EQ(dialogs.ChooseColor(clBlack), std::optional<TColor>(clRed));
    // Pressing a button of a dialog that is not open is a fault of the test
    // or of the code under test.
    EXPECT_THROW(dialogs.PressFind({}), ScriptedDialogError);

    EXPECT_EQ(dialogs.RequestsOf(DialogKind::SaveFile).at(0).file.filter, save.filter);
    ASSERT_EQ(dialogs.Errors().size(), 2u);
    EXPECT_NE(dialogs.Errors()[0].find("Нет ответа"), std::string::npos);
    dialogs.ShowFind({}, [](const FindEvent&) {});
    EXPECT_THROW(dialogs.PressReplace({}), ScriptedDialogError) << "a find dialog cannot replace";
    {
        ScriptedDialogs inner;
        EXPECT_EQ(Dialogs::Installed(), &inner);
    }
    EXPECT_EQ(Dialogs::Installed(), &dialogs);
}

TEST(FileFilter, TranslatesPairsIntoCaseInsensitiveMasks) {
    const auto filters = TranslateFilter("Текстовые файлы(*.asm)|*.asm|Файлы Паскаля (*.pas, "
                                         "*.dpr)|*.PAS; *.DPR|Все файлы (*.*)|*.*");
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[0].description, QStringLiteral("Текстовые файлы(*.asm)"));
    EXPECT_EQ(filters[0].qtFilter, QStringLiteral("Текстовые файлы(*.asm) (*.[aA][sS][mM])"));
    EXPECT_EQ(filters[1].qtFilter,
              QStringLiteral("Файлы Паскаля (*.pas, *.dpr) (*.[pP][aA][sS] *.[dD][pP][rR])"));
    // "*.*" also means files without an extension.
    EXPECT_EQ(filters[2].qtFilter, QStringLiteral("Все файлы (*.*) (*)"));

    // A trailing "|" and a dangling description are not filters.
    const auto ust = TranslateFilter("Рабочие уставки (*.ust)|*.ust|");
    ASSERT_EQ(ust.size(), 1u);
    EXPECT_EQ(ust[0].qtFilter, QStringLiteral("Рабочие уставки (*.ust) (*.[uU][sS][tT])"));
    EXPECT_TRUE(TranslateFilter("").empty());
    EXPECT_EQ(TranslateFilter("Программы (*.exe;*.com;*.bat)|*.exe;*.com;*.bat|")[0].qtFilter,
              QStringLiteral(
                  "Программы (*.exe;*.com;*.bat) (*.[eE][xX][eE] *.[cC][oO][mM] *.[bB][aA][tT])"));
}

// The error is shown and the program goes on; a report that fails itself
// does not escape the event loop either. The throwing calls come from the
// event loop, the way a fault deep in a command reaches it.
TEST(ErrorHandler, ShowsTheErrorAndTheProgramGoesOn) {
    ScriptedDialogs dialogs;
    dialogs.AnswerMessage(MsgResult::OK);
    int handled = 0;
    const auto fail = [&handled] {
        ++handled;
        throw std::runtime_error("List index out of bounds");
    };
    QTimer::singleShot(0, fail);
    QTimer::singleShot(0, [&handled] { ++handled; });
    QTimer::singleShot(0, fail);
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 3);
    const auto boxes = dialogs.RequestsOf(DialogKind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "List index out of bounds");
    EXPECT_EQ(boxes[0].caption, "Lorvane");
    EXPECT_EQ(boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(boxes[0].buttons, unsigned{mbOK});
    EXPECT_EQ(dialogs.Errors().size(), 1u) << "the second report had no answer";
}

// Plays the user at a sequence of modal windows: each step gets the next
// modal window that shows and acts on it.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<void(QWidget*)>> steps)
        : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == last_ || next_ >= steps_.size()) return;
            last_ = modal;
            steps_[next_++](modal);
        });
        timer_.start(10);
    }
    bool Done() const { return next_ == steps_.size(); }

private:
    std::vector<std::function<void(QWidget*)>> steps_;
    std::size_t next_ = 0;
    QWidget* last_ = nullptr;
    QTimer timer_;
};

void ClickButton(QWidget* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == text) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
}

TEST(QtDialogs, MessageBoxHasRussianButtonsAndReportsTheOneClicked) {
    QtDialogs dialogs;
    const struct {
        unsigned buttons;
        const char* click;
        MsgResult result;
    } rows[] = {{mbYes | mbNo | mbCancel, "Нет", MsgResult::No},
                {mbYes | mbNo | mbCancel, "Отмена", MsgResult::Cancel},
                {0, "OK", MsgResult::OK}};
    for (const auto& row : rows) {
        ModalScript script({[&](QWidget* w) { ClickButton(w, QString::fromUtf8(row.click)); }});
        EXPECT_EQ(dialogs.MessageBox("Текст", "Внимание !", row.buttons, MsgIcon::Warning),
                  row.result);
    }
}

// "прог" and "тест" in Windows-1251, as names from an old archive are: the
// dialogs give back the bytes of the file chosen.
TEST(QtDialogs, FileDialogsKeepTheBytesOfANameAndTheFilterPicked) {
    test::TempDir dir;
    const std::string folder = (dir.path() / "\xEF\xF0\xEE\xE3").string();
    std::filesystem::create_directory(folder);
    const std::string file = dir.File("\xF2\xE5\xF1\xF2.asm");
    test::WriteFileBytes(file, "x");
    test::WriteFileBytes(folder + "/\xF2\xE5\xF1\xF2.asm", "y");
    EXPECT_TRUE(FileNameText(file).contains(QChar::ReplacementCharacter));
    EXPECT_EQ(FileNameBytes(FileNameText(file)), file);
    EXPECT_EQ(FileNameBytes(FileNameText(folder + "/\xF2\xE5\xF1\xF2.asm")),
              folder + "/\xF2\xE5\xF1\xF2.asm");
    EXPECT_EQ(FileNameBytes(FileNameText(folder + "/новый.txt")), folder + "/новый.txt");
    EXPECT_EQ(FileNameBytes(QStringLiteral("/plain/новый")), "/plain/новый");

    QtDialogs dialogs;
    FileDialogRequest request;
    request.filter = "Рабочие файлы(*.asm)|*.asm|Все файлы (*.*)|*.*";
    request.filterIndex = 2;
    request.fileName = file;
    QStringList offered;
    {
        ModalScript script({[&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            offered = dialog->nameFilters();
            EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Все файлы (*.*)"));
            dialog->selectNameFilter(offered.value(0));
            static_cast<QDialog*>(dialog)->accept();
        }});
        const auto opened = dialogs.OpenFile(request);
        ASSERT_TRUE(opened);
        EXPECT_EQ(opened->files, std::vector<std::string>{file});
        EXPECT_EQ(opened->filterIndex, 1);
    }
    EXPECT_EQ(offered.size(), 2);

    // Saving over an existing file asks; "Нет" goes back to the dialog,
    // "Да" replaces.
    test::WriteFileBytes(dir.File("PROG.ASM"), "x");
    request.initialDir = dir.path().string();
    request.fileName = "PROG.ASM";
    ModalScript script({
        [](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); },
        [](QWidget* w) {
            EXPECT_NE(qobject_cast<QMessageBox*>(w)->text().indexOf(QStringLiteral("PROG.ASM")),
                      -1);
            ClickButton(w, QStringLiteral("Нет"));
        },
        [](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); },
        [](QWidget* w) { ClickButton(w, QStringLiteral("Да")); },
    });
    const auto saved = dialogs.SaveFile(request);
    EXPECT_TRUE(script.Done());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->files, std::vector<std::string>{dir.File("PROG.ASM")});
    EXPECT_EQ(saved->filterIndex, 2);
}

TEST(QtDialogs, FindDialogReportsPressesWhileOpen) {
    QtDialogs dialogs;
    std::vector<FindEvent> events;
    FindOptions options;
    options.findText = "label";
    options.down = false;
    options.matchCase = true;
    dialogs.ShowReplace(options, [&](const FindEvent& event) { events.push_back(event); });
    FindReplaceDialog* dialog = dialogs.FindDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    dialog->ReplaceEdit()->setText("LABEL");
    dialog->ReplaceButton()->click();
    dialog->FindNextButton()->click();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].action, FindAction::Replace);
    EXPECT_EQ(events[0].options.replaceText, "LABEL");
    EXPECT_TRUE(events[0].options.matchCase);
    // The replace dialog shows no direction and keeps the one it was given.
    EXPECT_FALSE(events[0].options.down);
    EXPECT_EQ(events[1].action, FindAction::Find);

    // An empty find text leaves nothing to press.
    dialog->FindEdit()->clear();
    EXPECT_FALSE(dialog->FindNextButton()->isEnabled());
    EXPECT_FALSE(dialog->ReplaceAllButton()->isEnabled());

    // Showing the find dialog replaces the replace dialog.
    dialogs.ShowFind(options, [&](const FindEvent& event) { events.push_back(event); });
    ASSERT_NE(dialogs.FindDialog(), nullptr);
    EXPECT_FALSE(dialogs.FindDialog()->IsReplace());
    dialogs.CloseFind();
    EXPECT_EQ(dialogs.FindDialog(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The user's Cancel closes it; showing it again works whether or not the
    // closed window was kept.
    dialogs.ShowFind(options, [](const FindEvent&) {});
    ClickButton(dialogs.FindDialog(), QStringLiteral("Отмена"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialogs.FindDialog() == nullptr || !dialogs.FindDialog()->isVisible());
    dialogs.ShowFind(options, [](const FindEvent&) {});
    ASSERT_NE(dialogs.FindDialog(), nullptr);
    EXPECT_TRUE(dialogs.FindDialog()->isVisible());
    EXPECT_EQ(dialogs.FindDialog()->FindEdit()->text(), QStringLiteral("label"));
    dialogs.CloseFind();
}

TEST(QtDialogs, InputBoxIsWideEnoughForItsCaptionAndReturnsTheTypedText) {
    QtDialogs dialogs;
    int width = 0;
    ModalScript script({[&](QWidget* w) {
        width = w->width();
        auto* dialog = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->setTextValue(QStringLiteral("18"));
        dialog->accept();
    }});
    EXPECT_EQ(dialogs.InputBox("Перейти к строке", "Номер строки:", "1"),
              std::optional<std::string>("18"));
    EXPECT_TRUE(script.Done());
    // The dialog sizes itself from its contents; a narrow one cut the caption.
    EXPECT_GE(width, 360);
}

TEST(Colors, RgbKeepsItsByteOrderSystemColoursFollowThePaletteAndNoColourIsInvalid) {
    EXPECT_EQ(ToQColor(clAqua), QColor(0, 255, 255));
    EXPECT_EQ(ToQColor(0x563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56, 0x80)), 0x563412);
    EXPECT_EQ(FromQColor(QColor::fromHsv(0, 255, 255)), clRed);
    for (TColor c : {clBlack, clMaroon, clOlive, clNavy, clTeal, clSilver, clLime, clWhite})
        EXPECT_EQ(FromQColor(ToQColor(c)), c);
    EXPECT_TRUE(IsSystemColor(clHighlight));
    EXPECT_FALSE(IsSystemColor(clWhite));

    const struct {
        TColor color;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    } roles[] = {{clWindow, QPalette::Active, QPalette::Base},
                 {clWindowText, QPalette::Active, QPalette::Text},
                 {clHighlight, QPalette::Active, QPalette::Highlight},
                 {clHighlightText, QPalette::Active, QPalette::HighlightedText},
                 {clBtnFace, QPalette::Active, QPalette::Button},
                 {clGrayText, QPalette::Disabled, QPalette::Text},
                 {clInactiveCaptionText, QPalette::Active, QPalette::Midlight}};
    QPalette palette;
    for (int i = 0; i < 7; ++i)
        palette.setColor(roles[i].group, roles[i].role, QColor(i + 1, i + 1, i + 1));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(ToQColor(roles[i].color, palette), QColor(i + 1, i + 1, i + 1)) << i;
    // Every known system colour resolves against the application's palette.
    for (int index = 0; index < sciSystemColorCount; ++index)
        EXPECT_TRUE(ToQColor(SystemColor(static_cast<std::uint8_t>(index))).isValid()) << index;
    for (TColor none : {SystemColor(sciSystemColorCount), static_cast<TColor>(0x800000FFu), clNone,
                        clDefault, TColor{0x02FFFFFF}})
        EXPECT_FALSE(ToQColor(none).isValid()) << none;
}

TEST(Fonts, LogicalNamesResolveToInstalledFamilies) {
    EXPECT_EQ(ResolveFontFamily("terminal"), "DejaVu Sans Mono");
    EXPECT_EQ(ResolveFontFamily("Courier New"), "Courier New");
    EXPECT_TRUE(IsTerminalFont("Terminal"));
    EXPECT_FALSE(IsTerminalFont("terminal"));
    EXPECT_FALSE(IsTerminalFont("Terminal "));

    const QFont system = MakeFont({"System", -13, 0, 0, false});
    EXPECT_EQ(system.pixelSize(), 13);
    EXPECT_EQ(system.family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_TRUE(system.fixedPitch());
    const QFont styled = MakeFont({"DejaVu Sans", 0, 12, fsBold | fsUnderline | fsStrikeOut, true});
    EXPECT_EQ(styled.pointSize(), 12);
    EXPECT_TRUE(styled.bold() && styled.underline() && styled.strikeOut() && styled.fixedPitch());
    EXPECT_FALSE(styled.italic());
    EXPECT_TRUE(MakeFont({"Terminal", 0, 10, fsItalic, false}).italic());
}

TEST(FontPicker, GivesBackWhatItWasPresetWith) {
    // Including a logical name no family carries and a colour outside the
    // dialog's list: confirming unchanged must not alter either.
    FontPickerDialog dialog;
    const FontChoice preset{"Terminal", 14, fsBold | fsItalic | fsUnderline, RgbColor(1, 2, 3)};
    dialog.SetChoice(preset);
    const FontChoice back = dialog.Choice();
    EXPECT_EQ(std::tie(back.name, back.size, back.style, back.color),
              std::tie(preset.name, preset.size, preset.style, preset.color));
}

} // namespace
} // namespace lorvane
