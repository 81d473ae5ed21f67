// The frame's keys on the real control: each key of the menu table reaches
// its own item and nothing else, wherever the focus is in a document
// window, and no key is claimed twice (the document windows' system menu
// included). Items other engineers add at the ends of the menus may carry
// keys of their own; they only must not take one that is already taken.
#include "FrameFixture.h"
#include "app/MessagesPane.h"

#include <QAction>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QTest>
#include <QToolButton>

#include <map>

namespace lorvane {
namespace {

struct MenuKey {
    const char* item;
    const char* key;
};

// The menu table's keys, as the user knows them.
constexpr MenuKey kMenuKeys[] = {
    {"FileNewItem", "Shift+F3"},
    {"FileOpenItem", "F3"},
    {"FileCloseItem", "Ctrl+F3"},
    {"FileSaveItem", "F2"},
    {"FileSaveAsItem", "Ctrl+F2"},
    {"N7", "Ctrl+P"},
    {"N3", "Ctrl+S"},
    {"N8", "Ctrl+Q"},
    {"FileExitItem", "Esc"},
    {"N12", "Alt+Backspace"},
    {"Redo1", "Shift+Alt+Backspace"},
    {"CutItem", "Ctrl+X"},
    {"CopyItem", "Ctrl+C"},
    {"PasteItem", "Ctrl+V"},
    {"N4", "Ctrl+A"},
    {"OEM1", "Ctrl+D"},
    {"Ansi1", "Ctrl+K"},
    {"Fonts1", "Ctrl+H"},
    {"N9", "Ctrl+W"},
    {"N36", "Ctrl+T"},
    {"N23", "Ctrl+B"},
    {"N24", "Ctrl+I"},
    {"N22", "Ctrl+U"},
    {"NoBAT1", "Ctrl+N"},
    {"N11", "Ctrl+J"},
    {"N91", "Alt+T"},
    {"N01", "Alt+B"},
    {"N14", "F4"},
    {"N16", "F5"},
    {"N19", "F9"},
    {"DOS1", "Ctrl+F9"},
    {"N15", "F10"},
    {"LST1", "Ctrl+L"},
    {"N26", "F6"},
    {"N81", "Shift+F6"},
    {"WindowCascadeItem", "Ctrl+F5"},
    {"WindowTileItem", "Shift+F5"},
    {"WindowArrangeItem", "Shift+F10"},
    {"WindowMinimizeItem", "Ctrl+F10"},
    {"Search1", "F7"},
    {"SearchAgain2", "F8"},
    {"Replace2", "Ctrl+F7"},
    {"N28", "Ctrl+F8"},
    {"N20", "F1"},
    {"HelpAboutItem", "Shift+F1"},
    {"N27", "Ctrl+Y"},
};

class MenuKeys : public test::FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
};

TEST_F(MenuKeys, EveryKeyOfTheTableReachesItsItemAndOnlyIt) {
    TMainFormLorvane& frame = *this->frame;
    NewDocument("");
    RIzuvAzaz& control = NewDocument("");
    control.setFocus();

    // Nothing may be claimed twice, whoever claims it.
    std::map<QKeySequence, QString> owners;
    // A hidden item's key never fires; a shortcut of the frame stands in.
    for (QAction* action : frame.findChildren<QAction*>())
        for (const QKeySequence& key :
             action->isVisible() ? action->shortcuts() : QList<QKeySequence>())
            EXPECT_TRUE(owners.emplace(key, action->objectName() + " " + action->text()).second)
                << key.toString().toStdString() << ": " << action->text().toStdString() << " and "
                << owners[key].toStdString();
    for (QShortcut* shortcut : frame.findChildren<QShortcut*>())
        EXPECT_TRUE(owners.emplace(shortcut->key(), shortcut->objectName()).second)
            << shortcut->key().toString().toStdString();

    // Every item counts its triggers instead of acting; all are enabled,
    // as with text selected in a compilable document.
    std::map<QObject*, int> triggers;
    for (QAction* action : frame.findChildren<QAction*>()) {
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, &frame,
                         [&triggers, action] { ++triggers[action]; });
    }
    for (QShortcut* shortcut : frame.findChildren<QShortcut*>()) {
        QObject::disconnect(shortcut, &QShortcut::activated, nullptr, nullptr);
        QObject::connect(shortcut, &QShortcut::activated, &frame,
                         [&triggers, shortcut] { ++triggers[shortcut]; });
    }
    const auto target = [&frame](const char* item) -> QObject* {
        QAction* action = frame.Item(item);
        if (action->isVisible()) return action;
        return frame.findChild<QShortcut*>(QString::fromLatin1(item) + "Shortcut");
    };
    for (const MenuKey& entry : kMenuKeys) {
        for (QAction* action : frame.findChildren<QAction*>())
            if (!action->isSeparator() && action->menu() == nullptr) action->setEnabled(true);
        triggers.clear();
        const QKeyCombination key = QKeySequence::fromString(entry.key)[0];
        QTest::keyClick(&control, key.key(), key.keyboardModifiers());
        QObject* expected = target(entry.item);
        EXPECT_EQ(triggers[expected], 1) << entry.key << " for " << entry.item;
        for (const auto& [receiver, count] : triggers) {
            if (receiver == expected) continue;
            EXPECT_EQ(count, 0) << entry.key << " also reached "
                                << receiver->objectName().toStdString();
        }
    }

    // The background colour shows Ctrl+C but leaves it to Copy, also while
    // Copy is disabled.
    EXPECT_TRUE(frame.Item("N18")->text().endsWith(QStringLiteral("\tCtrl+C")));
    frame.Item("CopyItem")->setEnabled(false);
    triggers.clear();
    QTest::keyClick(&control, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(triggers[frame.Item("N18")], 0);
}

TEST_F(MenuKeys, TheCopyKeyInTheMessagesPaneCopiesItsLineWhateverADocumentHasSelected) {
    NewDocument("document text");
    TMessagesPane& pane = frame->MessagesPane1();
    pane.StartFailed("tasm a.asm", "no such file");
    QListWidget* list = pane.List();
    list->setCurrentRow(0);
    list->setFocus();
    for (const bool selected : {false, true}) {
        if (selected) Editor().SelectAll();
        frame->UpdateMenuItems();
        QApplication::clipboard()->clear();
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "> tasm a.asm") << selected;
    }
}

TEST_F(MenuKeys, CutAndCopyFollowASelectionInEitherDirection) {
    TMainFormLorvane& frame = *this->frame;
    NewDocument("one two three");
    TDocumentEditor& editor = Editor();
    struct Case {
        int start, length;
        bool enabled;
    };
    // Select All and a drag forwards leave the caret at the far end: the
    // length is negative there.
    for (const Case& c : {Case{0, 0, false}, Case{13, -13, true}, Case{0, 5, true},
                          Case{4, -3, true}, Case{7, 0, false}}) {
        editor.SetSelStart(c.start);
        editor.SetSelLength(c.length);
        frame.UpdateMenuItems();
        for (const char* item : {"CutItem", "CopyItem"})
            EXPECT_EQ(frame.Item(item)->isEnabled(), c.enabled) << item << " " << c.length;
        for (const char* button : {"CutBtn", "CopyBtn"})
            EXPECT_EQ(frame.Button(button)->isEnabled(), c.enabled) << button << " " << c.length;
    }
    editor.SelectAll();
    frame.UpdateMenuItems();
    EXPECT_TRUE(frame.Item("CopyItem")->isEnabled());
}

} // namespace
} // namespace lorvane
