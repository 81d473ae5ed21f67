// Where the frame meets the user's hands and desktop, on the real control:
// the keys of the menu table, the messages pane's copy key, dropped files.
#include "FrameFixture.h"
#include "components/FileMO.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QTest>

#include <map>

namespace lorvane {
namespace {

// The menu table's keys, as the user knows them: item=key.
constexpr const char* kMenuKeys =
    "FileNewItem=Shift+F3 FileOpenItem=F3 FileCloseItem=Ctrl+F3 FileSaveItem=F2 "
    "FileSaveAsItem=Ctrl+F2 N7=Ctrl+P N3=Ctrl+S N8=Ctrl+Q FileExitItem=Esc N12=Alt+Backspace "
    "Redo1=Shift+Alt+Backspace CutItem=Ctrl+X CopyItem=Ctrl+C PasteItem=Ctrl+V N4=Ctrl+A "
    "OEM1=Ctrl+D Ansi1=Ctrl+K Fonts1=Ctrl+H N9=Ctrl+W N36=Ctrl+T N23=Ctrl+B N24=Ctrl+I "
    "N22=Ctrl+U NoBAT1=Ctrl+N N11=Ctrl+J N91=Alt+T N01=Alt+B N14=F4 N16=F5 N19=F9 DOS1=Ctrl+F9 "
    "N15=F10 LST1=Ctrl+L N26=F6 N81=Shift+F6 WindowCascadeItem=Ctrl+F5 WindowTileItem=Shift+F5 "
    "WindowArrangeItem=Shift+F10 WindowMinimizeItem=Ctrl+F10 Search1=F7 SearchAgain2=F8 "
    "Replace2=Ctrl+F7 N28=Ctrl+F8 N20=F1 HelpAboutItem=Shift+F1 N27=Ctrl+Y";

class FrameInput : public test::FrameFixture {};

TEST_F(FrameInput, EveryKeyOfTheTableReachesItsItemAndOnlyIt) {
    TMainFormLorvane& frame = *this->frame;
    NewDocument("");
    RIzuvAzaz& control = NewDocument("document text");
    // The messages pane's copy key copies its line whatever a document has
    // selected.
    frame.MessagesPane1().StartFailed("tasm a.asm", "no such file");
    QListWidget* list = frame.MessagesPane1().List();
    list->setCurrentRow(0);
    list->setFocus();
    for (const bool selected : {false, true}) {
        if (selected) control.SelectAll();
        frame.UpdateMenuItems();
        QApplication::clipboard()->clear();
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "> tasm a.asm") << selected;
    }
    control.setFocus();

    // Nothing may be claimed twice, whoever claims it (an item added at
    // the end of a menu may carry a new key only).
    std::map<QKeySequence, QString> owners;
    for (QAction* action : frame.findChildren<QAction*>())
        for (const QKeySequence& key :
             action->isVisible() ? action->shortcuts() : QList<QKeySequence>())
            EXPECT_TRUE(owners.emplace(key, action->objectName() + " " + action->text()).second)
                << action->text().toStdString() << " and " << owners[key].toStdString();
    for (QShortcut* shortcut : frame.findChildren<QShortcut*>())
        EXPECT_TRUE(owners.emplace(shortcut->key(), shortcut->objectName()).second)
            << shortcut->key().toString().toStdString();

    // Every item, enabled, counts its triggers instead of acting.
    std::map<QObject*, int> triggers;
    const auto tally = [&](auto* sender, auto signal) {
        QObject::disconnect(sender, signal, nullptr, nullptr);
        QObject::connect(sender, signal, &frame, [&triggers, sender] { ++triggers[sender]; });
    };
    for (QAction* action : frame.findChildren<QAction*>())
        tally(action, &QAction::triggered);
    for (QShortcut* shortcut : frame.findChildren<QShortcut*>())
        tally(shortcut, &QShortcut::activated);
    for (const QString& entry : QString::fromLatin1(kMenuKeys).split(' ')) {
        const QString item = entry.section('=', 0, 0), keys = entry.section('=', 1);
        for (QAction* action : frame.findChildren<QAction*>())
            if (!action->isSeparator() && action->menu() == nullptr) action->setEnabled(true);
        triggers.clear();
        const QKeyCombination key = QKeySequence::fromString(keys)[0];
        QTest::keyClick(&control, key.key(), key.keyboardModifiers());
        // A hidden item's key never fires; a shortcut of the frame stands in.
        QAction* action = frame.Item(item.toStdString());
        QObject* expected = action->isVisible() ? static_cast<QObject*>(action)
                                                : frame.findChild<QShortcut*>(item + "Shortcut");
        EXPECT_EQ(triggers[expected], 1) << entry.toStdString();
        for (const auto& [receiver, count] : triggers)
            EXPECT_TRUE(receiver == expected || count == 0)
                << entry.toStdString() << " also reached " << receiver->objectName().toStdString();
    }

    // The background colour shows Ctrl+C but leaves it to a disabled Copy.
    frame.Item("CopyItem")->setEnabled(false);
    triggers.clear();
    QTest::keyClick(&control, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(triggers[frame.Item("N18")], 0);
}

// Drags `data` to `point` of the frame and drops it there when the widget
// under it takes the drag; true when it did.
bool DropAt(QWidget& frame, QPoint point, const QMimeData& data,
            Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QWidget* target = frame.childAt(point) ? frame.childAt(point) : &frame;
    while (!target->acceptDrops() && !target->isWindow())
        target = target->parentWidget();
    const QPoint at = target->mapFrom(&frame, point);
    QDragEnterEvent enter(at, actions, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!target->acceptDrops() || !enter.isAccepted()) return false;
    QDropEvent drop(at, actions, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    // A file manager told of a move deletes the file.
    EXPECT_NE(drop.dropAction(), Qt::MoveAction);
    QApplication::processEvents();
    return drop.isAccepted();
}

TEST_F(FrameInput, DroppedFilesOpenEachInAWindowAndJoinTheRecentFiles) {
    TMainFormLorvane& frame = *this->frame;
    const std::string report = dir.File("Отчёт 1.txt"), latin1 = dir.File("\xE9t\xE9#.asm");
    test::WriteFileBytes(report, "report");
    test::WriteFileBytes(latin1, "latin1");
    frame.resize(700, 450);
    QApplication::processEvents();
    QMimeData files; // as a file manager writes the list: the name's bytes escaped
    files.setData("text/uri-list",
                  QUrl::fromLocalFile(QString::fromStdString(report)).toEncoded() + "\r\n" +
                      "file://" + QByteArray::fromStdString(dir.File("gone")) + "\r\n" + "file://" +
                      QByteArray::fromStdString(latin1).toPercentEncoding("/") +
                      "\r\nhttps://example.invalid/x.txt\r\n");
    QWidget* area = frame.MdiArea()->viewport();
    ASSERT_TRUE(DropAt(frame, area->mapTo(&frame, area->rect().center()), files));
    ASSERT_EQ(frame.Children().size(), 2u);
    EXPECT_EQ(frame.Children()[0]->Memo1().Text(), "report");
    EXPECT_EQ(frame.Children()[1]->Memo1().Text(), "latin1");
    EXPECT_EQ(frame.Children()[1]->FileName, latin1);
    // A file that did not open is not listed.
    EXPECT_EQ(frame.FileMenuOpens1().Entries(),
              (std::vector<std::string>{latin1, report, "", "", ""}));
    EXPECT_EQ(TakeErrors().size(), 1u) << "the missing file is reported, once";

    // On a document the control passes files (not a drag that may only
    // move) to the frame, and takes dragged text as its own.
    frame.ActiveChild()->resize(300, 200);
    QApplication::processEvents();
    QWidget* control = frame.ActiveChild()->Memo1().Widget();
    const QPoint onControl = control->mapTo(&frame, control->rect().center());
    QMimeData one, text;
    one.setUrls({QUrl::fromLocalFile(QString::fromStdString(report))});
    text.setText(QStringLiteral("file:///etc/passwd"));
    EXPECT_FALSE(DropAt(frame, onControl, one, Qt::MoveAction));
    EXPECT_TRUE(DropAt(frame, onControl, text));
    EXPECT_EQ(frame.Children().size(), 2u);
    EXPECT_NE(frame.ActiveChild()->Memo1().Text().find("file:///etc/passwd"), std::string::npos);
    EXPECT_TRUE(DropAt(frame, onControl, one));
    EXPECT_EQ(frame.Children().size(), 3u);
}

} // namespace
} // namespace lorvane
