// Window placement kept in the registry: what is restored, what is stored,
// and that nothing a foreign or damaged key holds can put a window where
// the user cannot reach it.
#include "components/RegControls.h"

#include "platform/Registry.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace lorvane {
namespace {

constexpr const char* kKey = "\\OpenFileLorvane\\Test";

class RegFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"/HKEY_CURRENT_USER.reg", "/HKEY_LOCAL_MACHINE.reg"})
            std::filesystem::remove(test::ConfigHome() + file);
        form_.setGeometry(40, 50, 400, 300);
    }

    void Store(RootKey root, std::int32_t left, std::int32_t top, std::int32_t width,
               std::int32_t height, std::uint8_t state) {
        TRegistry registry(root);
        ASSERT_TRUE(registry.OpenKey(kKey, true));
        registry.WriteInteger("RCLeft", left);
        registry.WriteInteger("RCTop", top);
        registry.WriteInteger("RCWidth", width);
        registry.WriteInteger("RCHeight", height);
        registry.WriteBinaryData("RCWindowState", &state, 1);
    }

    std::unique_ptr<TRegForm> Make(TRegForm::CloseQueryEvent previous = {}) {
        auto regForm = std::make_unique<TRegForm>(&form_, std::move(previous));
        regForm->SetRegKey(kKey);
        return regForm;
    }

    QWidget form_;
};

TEST_F(RegFormTest, FirstRunKeepsTheDesignAndClosingStoresAllFiveValues) {
    auto regForm = Make();
    regForm->Loaded();
    EXPECT_EQ(form_.geometry(), QRect(40, 50, 400, 300));

    form_.setGeometry(70, 80, 500, 350);
    bool canClose = true;
    regForm->CloseQuery(canClose);
    EXPECT_TRUE(canClose);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kKey, false));
    EXPECT_EQ(registry.ReadBinaryData("RCWindowState"), std::vector<std::uint8_t>{0});
    EXPECT_EQ(registry.ReadInteger("RCHeight"), 350);

    // The next window of the same kind opens there.
    QWidget next;
    TRegForm nextRegForm(&next, {});
    nextRegForm.SetRegKey(kKey);
    nextRegForm.Loaded();
    EXPECT_EQ(next.geometry(), QRect(70, 80, 500, 350));
}

TEST_F(RegFormTest, StoredStateDecidesWhetherBoundsAreRead) {
    Store(RootKey::CurrentUser, 10, 20, 300, 200, 2);
    Make()->Loaded();
    EXPECT_TRUE(form_.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form_.geometry().size(), QSize(400, 300)); // bounds not read

    QWidget minimized;
    minimized.setGeometry(40, 50, 400, 300);
    TRegForm regForm(&minimized, {});
    regForm.SetRegKey(kKey);
    Store(RootKey::CurrentUser, 10, 20, 300, 200, 1);
    regForm.Loaded();
    // Applied once the window is shown: a window manager maps a window that
    // asks to start minimised as a normal one.
    minimized.show();
    QCoreApplication::sendPostedEvents();
    QTimer::singleShot(0, [] {});
    QCoreApplication::processEvents();
    EXPECT_TRUE(minimized.windowState() & Qt::WindowMinimized);
    // A minimised window may carry the platform's frame margins; the
    // stored bounds are what it is given, within them.
    const QRect restored = minimized.geometry();
    EXPECT_NEAR(restored.left(), 10, 3);
    EXPECT_NEAR(restored.top(), 20, 3);
    EXPECT_NEAR(restored.width(), 300, 3);
    EXPECT_NEAR(restored.height(), 200, 3);
}

TEST_F(RegFormTest, DamagedOrForeignValuesLeaveTheDesign) {
    {
        // The state as an integer instead of one byte: nothing applies.
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kKey, true));
        registry.WriteInteger("RCWindowState", 0);
        registry.WriteInteger("RCLeft", 5);
    }
    Make()->Loaded();
    EXPECT_EQ(form_.geometry(), QRect(40, 50, 400, 300));

    // Bounds read in order and applied one by one; an impossible size stops
    // the sequence without shrinking the window to nothing.
    Store(RootKey::CurrentUser, 60, 70, 0, 200, 0);
    Make()->Loaded();
    EXPECT_EQ(form_.geometry(), QRect(60, 70, 400, 300));
    Store(RootKey::CurrentUser, 60, 70, 450, -5, 0);
    Make()->Loaded();
    EXPECT_EQ(form_.geometry(), QRect(60, 70, 450, 300));
    Store(RootKey::CurrentUser, 1 << 30, 70, 450, 320, 0);
    Make()->Loaded();
    EXPECT_EQ(form_.geometry(), QRect(60, 70, 450, 300));
}

TEST_F(RegFormTest, AWindowStoredOffEveryScreenComesBackOntoOne) {
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    Store(RootKey::CurrentUser, area.right() + 5000, area.bottom() + 5000, 300, 200, 0);
    Make()->Loaded();
    EXPECT_TRUE(area.intersects(form_.geometry())) << form_.geometry().x();
    EXPECT_EQ(form_.size(), QSize(300, 200));
}

TEST_F(RegFormTest, ARefusedCloseOrASwitchedOffComponentStoresNothing) {
    auto refusing = Make([](QWidget*, bool& canClose) { canClose = false; });
    bool canClose = true;
    refusing->CloseQuery(canClose);
    EXPECT_FALSE(canClose);
    EXPECT_FALSE(TRegistry().KeyExists(kKey));

    int asked = 0;
    auto disabled = Make([&](QWidget* sender, bool&) {
        EXPECT_EQ(sender, &form_);
        ++asked;
    });
    disabled->SetRegEnabled(false);
    disabled->CloseQuery(canClose = true);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(TRegistry().KeyExists(kKey));
}

TEST_F(RegFormTest, KeyAndLocationSetters) {
    TRegForm regForm(&form_, {});
    EXPECT_EQ(regForm.RegKey(), "\\Software\\Default");
    regForm.SetRegKey("\\A\\B\\");
    EXPECT_EQ(regForm.RegKey(), "\\A\\B");
    regForm.SetRegKey("");
    EXPECT_EQ(regForm.RegKey(), "\\A\\B");

    // Moving to the other root deletes the key under both roots and writes
    // the current placement under the new one only.
    regForm.SetRegKey(kKey);
    Store(RootKey::CurrentUser, 1, 2, 300, 200, 0);
    Store(RootKey::LocalMachine, 1, 2, 300, 200, 0);
    form_.setGeometry(11, 12, 310, 210);
    regForm.SetRegLocation(TRegLocation::LocalMachine);
    EXPECT_FALSE(TRegistry(RootKey::CurrentUser).KeyExists(kKey));
    TRegistry machine(RootKey::LocalMachine);
    ASSERT_TRUE(machine.OpenKey(kKey, false));
    EXPECT_EQ(machine.ReadInteger("RCLeft"), 11);
    EXPECT_EQ(machine.ReadInteger("RCHeight"), 210);
    // The same location again moves nothing.
    form_.setGeometry(99, 12, 310, 210);
    regForm.SetRegLocation(TRegLocation::LocalMachine);
    EXPECT_EQ(machine.ReadInteger("RCLeft"), 11);
}

} // namespace
} // namespace lorvane
