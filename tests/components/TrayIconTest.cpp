// The notification-area icon: its tip, the events a button sequence gives,
// the popup menu only while the window is hidden, and a window that is
// never hidden when the desktop has no notification area to bring it back.
#include "components/TrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lorvane {
namespace {

using Tray = TTrayIcon;

// Restores the application's name the other tests expect.
struct AppName {
    explicit AppName(const QString& name) : saved_(QApplication::applicationDisplayName()) {
        QApplication::setApplicationDisplayName(name);
    }
    ~AppName() { QApplication::setApplicationDisplayName(saved_); }
    QString saved_;
};

TEST(TrayIcon, TipStartsAsTheTitleCutAndHintAndTitleShareIt) {
    // 31 two-byte letters fit in 63 bytes, or 63 one-byte ones.
    for (const auto& [letter, bytes] : {std::pair{QChar(u'ж'), 62}, std::pair{QChar('x'), 63}}) {
        AppName name(QString(70, letter));
        QWidget window;
        Tray tray(&window);
        EXPECT_EQ(tray.Tip(), QString(70, letter).toStdString().substr(0, bytes));
        EXPECT_TRUE(tray.HasTip());
    }
    AppName name(QStringLiteral(""));
    QWidget window;
    Tray tray(&window);
    EXPECT_FALSE(tray.HasTip());
    tray.SetHint("Правка");
    EXPECT_TRUE(tray.HasTip());
    EXPECT_EQ(tray.Tip(), "Правка");
    tray.SetTitle("");
    EXPECT_EQ(tray.Tip(), "");
    EXPECT_TRUE(tray.HasTip()); // the title leaves the flag alone
    tray.SetHint("");
    EXPECT_FALSE(tray.HasTip());
}

TEST(TrayIcon, ButtonMessagesGiveTheirEventsInOrder) {
    QWidget window;
    Tray tray(&window);
    std::vector<std::string> log;
    tray.OnClick = [&](Tray*) { log.push_back("click"); };
    tray.OnDblClick = [&](Tray*) { log.push_back("dbl"); };
    tray.OnDblClickLeft = [&](Tray*) { log.push_back("dbl-left"); };
    tray.OnDblClickRigth = [&](Tray*) { log.push_back("dbl-right"); };
    tray.OnDblClickMid = [&](Tray*) { log.push_back("dbl-mid"); };
    tray.OnMouseDown = [&](Tray*, Tray::TMouseButton button, std::uint8_t shift, int, int) {
        log.push_back("down" + std::to_string(int(button)) + "/" + std::to_string(shift));
    };
    tray.OnMouseUp = [&](Tray*, Tray::TMouseButton button, std::uint8_t, int, int) {
        log.push_back("up" + std::to_string(int(button)));
    };
    tray.OnMouseMove = [&](Tray*, std::uint8_t, int, int) { log.push_back("move"); };

    using Log = std::vector<std::string>;
    const std::pair<std::vector<std::uint16_t>, Log> rows[] = {
        // A left double click: the second release brings no click.
        {{Tray::WmLButtonDown, Tray::WmLButtonUp, Tray::WmLButtonDblClk, Tray::WmLButtonUp},
         {"down0/8", "click", "up0", "dbl", "dbl-left", "up0"}},
        // A press taken off the icon: its click comes with the next release
        // over the icon, and only once.
        {{Tray::WmLButtonDown, Tray::WmMouseMove, Tray::WmLButtonUp, Tray::WmLButtonUp},
         {"down0/8", "move", "click", "up0", "up0"}},
        {{Tray::WmRButtonDown, Tray::WmRButtonUp, Tray::WmRButtonDblClk, Tray::WmMButtonDown,
          Tray::WmMButtonUp, Tray::WmMButtonDblClk},
         {"down1/16", "up1", "dbl", "dbl-right", "down2/32", "dbl", "dbl-mid"}},
    };
    for (const auto& [messages, expected] : rows) {
        log.clear();
        for (const auto message : messages)
            tray.HandleMouseMessage(message);
        EXPECT_EQ(log, expected);
    }
}

TEST(TrayIcon, PopupMenuOnlyWhileTheWindowIsHidden) {
    QWidget window;
    window.show();
    Tray tray(&window);
    QMenu menu;
    menu.addAction(QStringLiteral("Восстановить"));
    tray.PopupMenu = &menu;
    tray.HandleMouseMessage(Tray::WmRButtonDown);
    EXPECT_FALSE(menu.isVisible());
    window.hide();
    tray.HandleMouseMessage(Tray::WmRButtonDown);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST(TrayIcon, WithoutANotificationAreaMinimisingNeverHidesTheWindow) {
    QWidget window;
    window.show();
    Tray tray(&window);
    ASSERT_FALSE(tray.Available()); // the tests run without a desktop
    int minimized = 0, restored = 0;
    tray.OnMinimize = [&](Tray*) { ++minimized; };
    tray.OnRestore = [&](Tray*) { ++restored; };
    window.showMinimized();
    tray.Minimize();
    EXPECT_FALSE(tray.visible);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(minimized, 1);

    // Restoring keeps a maximised window maximised.
    window.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    tray.Restore();
    EXPECT_TRUE(tray.visible);
    EXPECT_EQ(window.windowState(), Qt::WindowMaximized);
    EXPECT_EQ(restored, 1);
}

} // namespace
} // namespace lorvane
