// The components that keep their state in the registry: the recent-files
// menu, and window placement, where nothing a foreign or damaged key holds
// may put a window where the user cannot reach it.
#include "components/FileMO.h"
#include "components/RegControls.h"

#include "platform/Registry.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace lorvane {
namespace {

class RegistryKeptTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"/HKEY_CURRENT_USER.reg", "/HKEY_LOCAL_MACHINE.reg"})
            std::filesystem::remove(test::ConfigHome() + file);
    }
};

// A file menu laid out as the frame's: eleven items before the list.
class FileMenuOpensTest : public RegistryKeptTest {
protected:
    FileMenuOpensTest() {
        for (int i = 0; i < 11; ++i)
            menu_.addAction(QStringLiteral("item %1").arg(i));
    }

    // Loaded as the frame loads it: path first, then the capacity.
    std::unique_ptr<TFileMenuOpens> Load() {
        auto list = std::make_unique<TFileMenuOpens>();
        list->SetRegPath("OpenFileLorvane\\History\\");
        list->SetNumbers(5);
        list->SetMenus(&menu_);
        list->SetMenuIndex(11);
        return list;
    }

    // Captions from the list's place on; the separator shows as "-".
    QStringList Tail() const {
        QStringList names;
        const QList<QAction*> actions = menu_.actions();
        for (qsizetype i = 11; i < actions.size(); ++i)
            names << (actions[i]->isSeparator() ? QStringLiteral("-") : actions[i]->text());
        return names;
    }

    QMenu menu_;
};

// The five most recent, newest first: a file opened again gets a second
// entry at the top, and "&" in a name shows as itself. The frame's handler
// opens the chosen file, which lists it again at the top and so rebuilds
// the menu while the chosen item is still being triggered.
TEST_F(FileMenuOpensTest, TheFiveMostRecentNewestFirstEvenWhenReopenedOrChosen) {
    auto list = Load();
    std::vector<QAction*> chosen;
    list->SetOnAction([&](QAction* sender) {
        chosen.push_back(sender);
        list->AddFile(TFileMenuOpens::FileNameOf(sender));
    });
    for (const char* name : {"/w/a.txt", "/w/b.txt", "/w/R&D.txt", "/w/b.txt"})
        list->AddFile(name);
    EXPECT_EQ(list->Entries(),
              (std::vector<std::string>{"/w/b.txt", "/w/R&D.txt", "/w/b.txt", "/w/a.txt", ""}));
    EXPECT_EQ(Tail(), (QStringList{"-", "/w/b.txt", "/w/R&&D.txt", "/w/b.txt", "/w/a.txt"}));
    list->AddFile("/w/A.TXT");
    list->AddFile("/w/A.TXT");
    list->AddFile("");
    EXPECT_EQ(Tail(),
              (QStringList{"-", "/w/A.TXT", "/w/A.TXT", "/w/b.txt", "/w/R&&D.txt", "/w/b.txt"}));
    EXPECT_EQ(menu_.actions().size(), 17);

    QAction* item = menu_.actions()[15];
    item->trigger();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], item);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Tail(),
              (QStringList{"-", "/w/R&&D.txt", "/w/A.TXT", "/w/A.TXT", "/w/b.txt", "/w/R&&D.txt"}));
}

// A restart shows the same five, and a lower capacity drops the rest;
// hand-edited entries with gaps or wrong types leave no holes, and a
// registry that cannot be reached is swallowed.
TEST_F(FileMenuOpensTest, ARestartKeepsTheListAndADamagedRegistryLeavesNoHoles) {
    TRegistry registry;
    {
        auto list = Load();
        ASSERT_TRUE(registry.OpenKey("\\OpenFileLorvane\\History", false));
        EXPECT_EQ(registry.ReadString("FileOpen5"), "") << "a fresh key gets its empty positions";
        EXPECT_TRUE(Tail().isEmpty());
        for (const char* name : {"/1", "/2", "/3", "/4", "/5"})
            list->AddFile(name);
    }
    ASSERT_TRUE(Tail().isEmpty()) << "items leave the menu with their list";
    // The constructor's capacity of 4 is in force while the key opens; the
    // fifth entry must survive until the capacity becomes 5.
    auto list = Load();
    EXPECT_EQ(Tail(), (QStringList{"-", "/5", "/4", "/3", "/2", "/1"}));
    list->SetNumbers(3);
    EXPECT_FALSE(registry.ValueExists("FileOpen4"));
    EXPECT_FALSE(registry.ValueExists("FileOpen5"));
    EXPECT_EQ(Tail(), (QStringList{"-", "/5", "/4", "/3"}));
    list.reset();

    registry.WriteString("FileOpen1", "");
    registry.WriteInteger("FileOpen2", 7);
    registry.WriteString("fileopen3", "/w/three"); // names ignore case
    registry.WriteString("FileOpen5", "/w/five");
    list = Load();
    EXPECT_EQ(Tail(), (QStringList{"-", "/w/three", "/w/five"}));
    EXPECT_EQ(menu_.actions()[13]->objectName(), QStringLiteral("FileOpen5"));
    // Rebuilding again and again keeps exactly one copy of each item; an
    // index past the end puts the list at the end; another menu takes it.
    list->SetMenuIndex(11);
    list->SetMenuIndex(11);
    EXPECT_EQ(menu_.actions().size(), 14);
    list->SetMenuIndex(40);
    EXPECT_EQ(Tail(), (QStringList{"-", "/w/three", "/w/five"}));
    QMenu other;
    list->SetMenus(&other);
    EXPECT_EQ(menu_.actions().size(), 11);
    EXPECT_EQ(other.actions().size(), 3);
    list.reset();
    // The configuration directory lies below a plain file.
    const std::string saved = test::ConfigHome();
    test::WriteFileBytes(saved + "/plain-file", "x");
    ::setenv("LORVANE_CONFIG_HOME", (saved + "/plain-file/config").c_str(), 1);
    EXPECT_NO_THROW({
        list = Load();
        list->AddFile("/w/b");
        list->SetNumbers(7);
        list->SetNumbers(2);
        EXPECT_TRUE(Tail().isEmpty());
        EXPECT_TRUE(list->Entries() == std::vector<std::string>(2));
    });
    ::setenv("LORVANE_CONFIG_HOME", saved.c_str(), 1);
}

constexpr const char* kKey = "\\OpenFileLorvane\\Test";
const QRect kDesign(40, 50, 400, 300);

class RegFormTest : public RegistryKeptTest {
protected:
    static void Store(RootKey root, std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height, std::uint8_t state) {
        TRegistry registry(root);
        ASSERT_TRUE(registry.OpenKey(kKey, true));
        registry.WriteInteger("RCLeft", left);
        registry.WriteInteger("RCTop", top);
        registry.WriteInteger("RCWidth", width);
        registry.WriteInteger("RCHeight", height);
        registry.WriteBinaryData("RCWindowState", &state, 1);
    }

    static std::unique_ptr<QWidget> Restored() {
        auto form = std::make_unique<QWidget>();
        form->setGeometry(kDesign);
        TRegForm regForm(form.get(), {});
        regForm.SetRegKey(kKey);
        regForm.Loaded();
        return form;
    }
};

TEST_F(RegFormTest, OnlyAPlacementThatMakesSenseIsRestored) {
    EXPECT_EQ(Restored()->geometry(), kDesign);
    {
        // The state as an integer instead of one byte: nothing applies.
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kKey, true));
        registry.WriteInteger("RCWindowState", 0);
        registry.WriteInteger("RCLeft", 5);
    }
    EXPECT_EQ(Restored()->geometry(), kDesign);

    // Bounds are read in order and applied one by one; an impossible one
    // stops the sequence without shrinking the window to nothing.
    const struct {
        std::int32_t left, top, width, height;
        QRect expected;
    } rows[] = {
        {60, 70, 0, 200, QRect(60, 70, 400, 300)},
        {60, 70, 450, -5, QRect(60, 70, 450, 300)},
        {1 << 30, 70, 450, 320, kDesign},
    };
    for (const auto& row : rows) {
        Store(RootKey::CurrentUser, row.left, row.top, row.width, row.height, 0);
        EXPECT_EQ(Restored()->geometry(), row.expected) << row.left << " " << row.height;
    }

    // Stored off every screen, it comes back onto one.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    Store(RootKey::CurrentUser, area.right() + 5000, area.bottom() + 5000, 300, 200, 0);
    const auto lost = Restored();
    EXPECT_TRUE(area.intersects(lost->geometry())) << lost->x();
    EXPECT_EQ(lost->size(), QSize(300, 200));

    Store(RootKey::CurrentUser, 10, 20, 300, 200, 2);
    EXPECT_TRUE(Restored()->windowState() & Qt::WindowMaximized);

    // Minimised: applied once the window is shown, as a window manager maps
    // a window that asks to start minimised as a normal one.
    Store(RootKey::CurrentUser, 10, 20, 300, 200, 1);
    const auto minimised = Restored();
    minimised->show();
    QCoreApplication::sendPostedEvents();
    QTimer::singleShot(0, [] {});
    QCoreApplication::processEvents();
    EXPECT_TRUE(minimised->windowState() & Qt::WindowMinimized);
    // A minimised window may carry the platform's frame margins; the
    // stored bounds are what it is given, within them.
    const QRect bounds = minimised->geometry();
    EXPECT_NEAR(bounds.left(), 10, 3);
    EXPECT_NEAR(bounds.top(), 20, 3);
    EXPECT_NEAR(bounds.width(), 300, 3);
    EXPECT_NEAR(bounds.height(), 200, 3);
}

TEST_F(RegFormTest, AnAllowedCloseStoresThePlacementAndANewLocationMovesIt) {
    QWidget form;
    form.setGeometry(70, 80, 500, 350);
    int asked = 0;
    bool refuse = true;
    TRegForm regForm(&form, [&](QWidget* sender, bool& canClose) {
        EXPECT_EQ(sender, &form);
        ++asked;
        canClose = !refuse;
    });
    regForm.SetRegKey(std::string(kKey) + "\\");
    regForm.SetRegKey("");
    EXPECT_EQ(regForm.RegKey(), kKey);

    // A refused close, or a switched-off component, stores nothing.
    bool canClose = true;
    regForm.CloseQuery(canClose);
    EXPECT_FALSE(canClose);
    refuse = false;
    regForm.SetRegEnabled(false);
    regForm.CloseQuery(canClose = true);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(TRegistry().KeyExists(kKey));

    regForm.SetRegEnabled(true);
    regForm.CloseQuery(canClose);
    EXPECT_TRUE(canClose);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kKey, false));
    EXPECT_EQ(registry.ReadBinaryData("RCWindowState"), std::vector<std::uint8_t>{0});
    EXPECT_EQ(Restored()->geometry(), QRect(70, 80, 500, 350));

    // Moving to the other root deletes the key under both roots and writes
    // the current placement under the new one only.
    Store(RootKey::LocalMachine, 1, 2, 300, 200, 0);
    form.setGeometry(11, 12, 310, 210);
    regForm.SetRegLocation(TRegLocation::LocalMachine);
    EXPECT_FALSE(TRegistry(RootKey::CurrentUser).KeyExists(kKey));
    TRegistry machine(RootKey::LocalMachine);
    ASSERT_TRUE(machine.OpenKey(kKey, false));
    EXPECT_EQ(machine.ReadInteger("RCLeft"), 11);
    EXPECT_EQ(machine.ReadInteger("RCHeight"), 210);
    form.setGeometry(99, 12, 310, 210);
    regForm.SetRegLocation(TRegLocation::LocalMachine);
    EXPECT_EQ(machine.ReadInteger("RCLeft"), 11);
}

} // namespace
} // namespace lorvane
