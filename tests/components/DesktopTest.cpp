// The frame's presence on the desktop: the single-instance guard (in this
// process and from a real second process, a helper program) and the
// notification-area icon, which never hides the window when the desktop
// has no notification area to bring it back.
#include "app/HandOver.h"
#include "components/JustOne.h"
#include "components/TrayIcon.h"
#include "support/SpinUntil.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QScopeGuard>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lorvane {
namespace {

using test::SpinUntil;

// flock belongs to the open file, so a second guard in this process is a
// second start as far as the lock can tell; a real second process follows.
// The lock is named after the application; this test takes a name of its
// own so that no lock outlives it.
TEST(XJustOne, LaterStartsReportFirstThenCallTheMinimisedFirstForwardIfAsked) {
    const auto restoreName = qScopeGuard([saved = QCoreApplication::applicationName()] {
        QCoreApplication::setApplicationName(saved);
    });
    QCoreApplication::setApplicationName(QStringLiteral("GuardOrder"));
    QWidget frame;
    frame.showMinimized();
    TXJustOne first(&frame);
    first.Loaded();
    ASSERT_TRUE(first.IsFirstInstance());

    TXJustOne second;
    bool frameWasMinimisedInHandler = false;
    int reports = 0;
    second.SetAlreadyExist([&](TXJustOne* sender) {
        EXPECT_EQ(sender, &second);
        ++reports;
        frameWasMinimisedInHandler = frame.isMinimized();
    });
    second.Loaded();
    second.Loaded(); // acts once only
    EXPECT_FALSE(second.IsFirstInstance());
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(frameWasMinimisedInHandler);
    EXPECT_TRUE(SpinUntil([&] { return !frame.isMinimized(); }));
    EXPECT_TRUE(frame.isVisible());

    // A start that does not switch reports too, and the first stays where it is.
    frame.showMinimized();
    TXJustOne third;
    third.SetSwitchToPrevious(false);
    third.SetAlreadyExist([&](TXJustOne*) { ++reports; });
    third.Loaded();
    EXPECT_EQ(reports, 2);
    EXPECT_FALSE(third.IsFirstInstance());
    EXPECT_FALSE(SpinUntil([&] { return !frame.isMinimized(); }, 500));

    // A second start in a process of its own, with a file name split at its
    // space: it hands the name over, calls the first forward and ends unseen.
    QProcess process;
    process.start(QStringLiteral(HANDOVER_HELPER),
                  {QStringLiteral("GuardOrder"), QStringLiteral("/home/user/My"),
                   QStringLiteral("Программа.asm")});
    EXPECT_TRUE(SpinUntil([&] { return !frame.isMinimized(); }, 40000));
    EXPECT_TRUE(process.waitForFinished(40000));
    EXPECT_EQ(process.readAllStandardOutput().trimmed(), QByteArray("SECOND\nHIDDEN"));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(TakeHandOver(), "/home/user/My Программа.asm");
    EXPECT_EQ(TakeHandOver(), "") << "taken once";
}

using Tray = TTrayIcon;

// Button messages give their events in order; without a notification area
// minimising never hides the window, which could then only be killed.
TEST(TrayIcon, ButtonEventsInOrderAndNoWindowHiddenWithoutANotificationArea) {
    QWidget window;
    window.show();
    Tray tray(&window);
    ASSERT_FALSE(tray.Available()); // the tests run without a desktop
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

    int minimized = 0, restored = 0;
    tray.OnMinimize = [&](Tray*) { ++minimized; };
    tray.OnRestore = [&](Tray*) { ++restored; };
    window.showMinimized();
    tray.Minimize();
    EXPECT_FALSE(tray.visible);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(minimized, 1);

    window.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    tray.Restore();
    EXPECT_TRUE(tray.visible);
    EXPECT_EQ(window.windowState(), Qt::WindowMaximized);
    EXPECT_EQ(restored, 1);

    // The popup menu comes only while the window is hidden.
    QMenu menu;
    menu.addAction(QStringLiteral("Восстановить"));
    tray.PopupMenu = &menu;
    tray.HandleMouseMessage(Tray::WmRButtonDown);
    EXPECT_FALSE(menu.isVisible());
    window.hide();
    tray.HandleMouseMessage(Tray::WmRButtonDown);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    // The tip is the title, cut to 63 bytes at a character.
    const auto restoreName = qScopeGuard([saved = QApplication::applicationDisplayName()] {
        QApplication::setApplicationDisplayName(saved);
    });
    for (const auto& [letter, bytes] : {std::pair{QChar(u'ж'), 62}, std::pair{QChar('x'), 63}}) {
        QApplication::setApplicationDisplayName(QString(70, letter));
        EXPECT_EQ(Tray(&window).Tip(), QString(70, letter).toStdString().substr(0, bytes));
    }
}

} // namespace
} // namespace lorvane
