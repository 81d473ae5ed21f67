#include "components/JustOne.h"
#include "app/HandOver.h"
#include "support/SpinUntil.h"

#include <QCoreApplication>
#include <QProcess>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lorvane {
namespace {

using test::SpinUntil;

// The guard names its lock after the application; each test takes its own
// name so that no lock outlives its test.
class NameScope {
public:
    explicit NameScope(const QString& name) : saved_(QCoreApplication::applicationName()) {
        QCoreApplication::setApplicationName(name);
    }
    ~NameScope() { QCoreApplication::setApplicationName(saved_); }

private:
    QString saved_;
};

TEST(XJustOne, LaterStartsReportFirstThenCallTheMinimisedFirstForwardIfAsked) {
    NameScope name(QStringLiteral("GuardOrder"));
    QWidget frame;
    frame.showMinimized();
    TXJustOne first(&frame);
    first.Loaded();
    ASSERT_TRUE(first.IsFirstInstance());
    EXPECT_EQ(first.Title(), "GuardOrder");

    // flock belongs to the open file, so a second guard in this process is
    // a second start as far as the lock can tell.
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
    bool reported = false;
    third.SetAlreadyExist([&](TXJustOne*) { reported = true; });
    third.Loaded();
    EXPECT_TRUE(reported);
    EXPECT_FALSE(third.IsFirstInstance());
    EXPECT_FALSE(SpinUntil([&] { return !frame.isMinimized(); }, 500));
}

// Real processes: a first start waits minimised; a second start with a file
// name split at its space hands the name over and ends unseen.
struct HelperRun {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QString Output() {
        EXPECT_TRUE(process->waitForFinished(40000));
        return QString::fromUtf8(process->readAllStandardOutput()).trimmed();
    }
};

HelperRun Start(const QString& title, int waitMs, bool switchToPrevious,
                const QStringList& parameters) {
    HelperRun run;
    run.process->start(QStringLiteral(HANDOVER_HELPER),
                       QStringList{title, QString::number(waitMs),
                                   switchToPrevious ? QStringLiteral("1") : QStringLiteral("0")} +
                           parameters);
    EXPECT_TRUE(run.process->waitForStarted(5000));
    return run;
}

TEST(XJustOneProcesses, ASecondStartHandsItsFileToTheFirstAndEndsUnseen) {
    HelperRun first = Start(QStringLiteral("HandOver"), 30000, true, {});
    ASSERT_TRUE(first.process->waitForReadyRead(10000));
    ASSERT_EQ(first.process->readLine().trimmed(), QByteArray("FIRST"));

    HelperRun second = Start(QStringLiteral("HandOver"), 0, true,
                             {QStringLiteral("/home/user/My"), QStringLiteral("Программа.asm")});
    EXPECT_EQ(second.Output(), QStringLiteral("SECOND\nHIDDEN"));
    EXPECT_EQ(second.process->exitCode(), 0);

    const QString rest = first.Output();
    EXPECT_TRUE(rest.contains(QStringLiteral("OPENED /home/user/My Программа.asm")))
        << rest.toStdString();
    EXPECT_TRUE(rest.contains(QStringLiteral("FORWARD"))) << rest.toStdString();
    EXPECT_FALSE(rest.contains(QStringLiteral("TIMEOUT"))) << rest.toStdString();
    // Taken once: nothing waits any more.
    EXPECT_EQ(TakeHandOver(), "");
}

} // namespace
} // namespace lorvane
