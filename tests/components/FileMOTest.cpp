#include "components/FileMO.h"

#include "platform/Registry.h"
#include "support/TempDir.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace lorvane {
namespace {

constexpr const char* kPath = "OpenFileLorvane\\History\\";

// A file menu laid out as the frame's: eleven items before the list.
class FileMenuOpensTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(test::ConfigHome() + "/HKEY_CURRENT_USER.reg");
        for (int i = 0; i < 11; ++i)
            menu_.addAction(QStringLiteral("item %1").arg(i));
    }

    // Loaded as the frame loads it: path first, then the capacity.
    std::unique_ptr<TFileMenuOpens> Load(std::uint32_t numbers = 5) {
        auto list = std::make_unique<TFileMenuOpens>();
        list->SetOnAction([this](QAction* sender) { chosen_.push_back(sender); });
        list->SetRegPath(kPath);
        list->SetNumbers(numbers);
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

    static std::string Stored(std::string_view name) {
        TRegistry registry;
        if (!registry.OpenKey("\\OpenFileLorvane\\History", false)) return "<no key>";
        if (!registry.ValueExists(name)) return "<missing>";
        return registry.ReadString(name);
    }

    QMenu menu_;
    std::vector<QAction*> chosen_;
};

// The five most recent, newest first; a file opened again gets a second
// entry at the top, and names that differ by case are different files here.
TEST_F(FileMenuOpensTest, TheFiveMostRecentNewestFirstEvenWhenReopened) {
    auto list = Load();
    for (const char* name : {"/w/a.txt", "/w/b.txt", "/w/c.txt", "/w/b.txt"})
        list->AddFile(name);
    EXPECT_EQ(list->Entries(),
              (std::vector<std::string>{"/w/b.txt", "/w/c.txt", "/w/b.txt", "/w/a.txt", ""}));
    EXPECT_EQ(Tail(), (QStringList{"-", "/w/b.txt", "/w/c.txt", "/w/b.txt", "/w/a.txt"}));
    list->AddFile("/w/A.TXT");
    EXPECT_EQ(Tail(),
              (QStringList{"-", "/w/A.TXT", "/w/b.txt", "/w/c.txt", "/w/b.txt", "/w/a.txt"}));
    EXPECT_EQ(menu_.actions()[11]->objectName(), QStringLiteral("SEP"));
    EXPECT_EQ(menu_.actions()[12]->objectName(), QStringLiteral("FileOpen1"));
    EXPECT_EQ(menu_.actions().size(), 17);
    list->AddFile("/w/A.TXT");
    EXPECT_EQ(list->Entries(), (std::vector<std::string>{"/w/A.TXT", "/w/A.TXT", "/w/b.txt",
                                                         "/w/c.txt", "/w/b.txt"}));
    list->AddFile("");
    EXPECT_EQ(list->ShownCount(), 5);
}

TEST_F(FileMenuOpensTest, ARestartShowsTheSameFiveAndLoweringTheCapacityDropsTheRest) {
    {
        auto list = Load();
        EXPECT_EQ(Stored("FileOpen5"), "") << "a fresh key gets its empty positions";
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
    EXPECT_EQ(Stored("FileOpen4"), "<missing>");
    EXPECT_EQ(Stored("FileOpen5"), "<missing>");
    EXPECT_EQ(Tail(), (QStringList{"-", "/5", "/4", "/3"}));
}

TEST_F(FileMenuOpensTest, ChoosingAnItemReportsItsFileEvenWhileTheListChanges) {
    auto list = Load();
    list->AddFile("/w/R&D notes.txt");
    list->AddFile("/w/other.txt");
    QAction* item = menu_.actions()[13];
    EXPECT_EQ(item->text(), QStringLiteral("/w/R&&D notes.txt"));
    // The frame's handler opens the file, which lists it again at the top and
    // so rebuilds the menu while the chosen item is still being triggered.
    list->SetOnAction([&](QAction* sender) {
        chosen_.push_back(sender);
        list->AddFile(TFileMenuOpens::FileNameOf(sender));
    });
    item->trigger();
    ASSERT_EQ(chosen_.size(), 1u);
    EXPECT_EQ(chosen_[0], item);
    EXPECT_EQ(list->Entries()[0], "/w/R&D notes.txt");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Tail(), (QStringList{"-", "/w/R&&D notes.txt", "/w/other.txt", "/w/R&&D notes.txt"}));
}

TEST_F(FileMenuOpensTest, HandEditedEntriesWithGapsOrWrongTypesLeaveNoHoles) {
    {
        TRegistry registry;
        registry.OpenKey("\\OpenFileLorvane\\History", true);
        registry.WriteString("FileOpen1", "");
        registry.WriteInteger("FileOpen2", 7);
        registry.WriteString("fileopen3", "/w/three"); // names ignore case
        registry.WriteString("FileOpen5", "/w/five");
    }
    auto list = Load();
    EXPECT_EQ(Tail(), (QStringList{"-", "/w/three", "/w/five"}));
    EXPECT_EQ(menu_.actions()[13]->objectName(), QStringLiteral("FileOpen5"));
    // Rebuilding again and again keeps exactly one copy of each item.
    list->SetMenuIndex(11);
    list->SetMenuIndex(11);
    EXPECT_EQ(menu_.actions().size(), 14);
    // A menu index past the end puts the list at the end.
    list->SetMenuIndex(40);
    EXPECT_EQ(Tail(), (QStringList{"-", "/w/three", "/w/five"}));
    // Moving to another menu takes the items along.
    QMenu other;
    list->SetMenus(&other);
    EXPECT_EQ(menu_.actions().size(), 11);
    EXPECT_EQ(other.actions().size(), 3);
}

TEST_F(FileMenuOpensTest, RegistryFailuresAreSwallowed) {
    // A registry file that cannot be parsed is set aside: the list starts
    // empty and works.
    test::WriteFileBytes(test::ConfigHome() + "/HKEY_CURRENT_USER.reg", "not a registry\n[[[");
    {
        auto list = Load();
        list->AddFile("/w/a");
        EXPECT_EQ(Tail(), (QStringList{"-", "/w/a"}));
    }
    // The configuration directory lies below a plain file: nothing can be
    // read or written, and nothing escapes.
    const std::string saved = test::ConfigHome();
    const std::string blocker = saved + "/plain-file";
    test::WriteFileBytes(blocker, "x");
    ::setenv("LORVANE_CONFIG_HOME", (blocker + "/config").c_str(), 1);
    EXPECT_NO_THROW({
        auto list = Load();
        list->AddFile("/w/b");
        list->SetNumbers(7);
        list->SetNumbers(2);
        EXPECT_TRUE(Tail().isEmpty());
        EXPECT_TRUE(list->Entries() == std::vector<std::string>(2));
    });
    ::setenv("LORVANE_CONFIG_HOME", saved.c_str(), 1);
}

} // namespace
} // namespace lorvane
