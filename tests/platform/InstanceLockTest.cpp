// The sockets between programs: the single-instance lock with its
// come-forward call, and the channel to and from the search program.
#include "platform/InstanceLock.h"
#include "platform/Paths.h"
#include "platform/SiblingChannel.h"
#include "platform/helpers/ScopedEnv.h"
#include "support/SpinUntil.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace lorvane {
namespace {

using test::SpinUntil;

// Lets the helper go: it waits for one byte on its standard input.
void Release(QProcess& process) {
    process.write("g");
    EXPECT_TRUE(process.waitForBytesWritten(5000));
    process.closeWriteChannel();
}

std::unique_ptr<QProcess> StartHelper(const QString& title, int waitMs) {
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(INSTANCE_HELPER), {title, QString::number(waitMs)});
    EXPECT_TRUE(process->waitForStarted(5000));
    return process;
}

QString Output(QProcess& process) {
    // A helper that ended while the event loop ran is already collected, and
    // waiting for it again would report failure.
    if (process.state() != QProcess::NotRunning) {
        EXPECT_TRUE(process.waitForFinished(10000));
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

TEST(InstanceLock, TwoStartsAtOnceGiveExactlyOneFirstInstance) {
    const QString title = QStringLiteral("Race");
    for (int round = 0; round < 25; ++round) {
        auto a = StartHelper(title, 5000);
        auto b = StartHelper(title, 5000);
        // Both processes are up and waiting; release them together.
        a->write("g");
        b->write("g");
        EXPECT_TRUE(a->waitForBytesWritten(5000));
        EXPECT_TRUE(b->waitForBytesWritten(5000));
        const QString outA = Output(*a);
        const QString outB = Output(*b);
        const QString first = outA.startsWith(QLatin1String("FIRST")) ? outA : outB;
        const QString second = outA.startsWith(QLatin1String("FIRST")) ? outB : outA;
        ASSERT_EQ(first, QStringLiteral("FIRST\nFORWARD"))
            << "round " << round << ": " << outA.toStdString() << " / " << outB.toStdString();
        ASSERT_EQ(second, QStringLiteral("SECOND\nSENT")) << "round " << round;
    }
}

// A crashed first start leaves its socket file behind; the next start takes
// it over. A second lock inside this process conflicts as well (flock
// belongs to the open file, not to the process) and calls the first forward.
TEST(InstanceLock, ReleasedWhenTheFirstEndsEvenByACrash) {
    auto crashing = StartHelper(QStringLiteral("Crash"), 60000);
    Release(*crashing);
    ASSERT_TRUE(crashing->waitForReadyRead(5000));
    EXPECT_EQ(crashing->readLine().trimmed(), QByteArray("FIRST"));
    crashing->kill();
    crashing->waitForFinished(5000);

    InstanceLock next("Crash");
    EXPECT_TRUE(next.IsFirst());
    EXPECT_TRUE(next.IsListening());
    int requests = 0;
    QObject::connect(&next, &InstanceLock::ComeForwardRequested, [&requests] { ++requests; });
    InstanceLock second("Crash");
    EXPECT_FALSE(second.IsFirst());
    EXPECT_FALSE(second.IsListening());
    EXPECT_TRUE(second.RequestComeForward(500));
    EXPECT_TRUE(SpinUntil([&] { return requests == 1; }));

    {
        InstanceLock again("Sequential");
        EXPECT_TRUE(again.IsFirst());
    }
    InstanceLock later("Sequential");
    EXPECT_TRUE(later.IsFirst());
}

// The runtime directory, and the configuration directory it falls back to,
// lie below a plain file: neither the lock nor the socket can be created.
TEST(InstanceLock, ALockThatCannotBeCreatedLetsTheProgramRun) {
    const std::string blocker = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/not-a-directory";
    std::ofstream(blocker) << "x";
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", blocker);
    test::ScopedEnv config("LORVANE_CONFIG_HOME", blocker + "/config");
    InstanceLock lock("Lorvane");
    EXPECT_TRUE(lock.IsFirst());
    EXPECT_FALSE(lock.IsListening());
    InstanceLock other("Lorvane");
    EXPECT_TRUE(other.IsFirst());
    EXPECT_FALSE(other.RequestComeForward(100));
}

using Messages = std::vector<std::tuple<int, int, int>>;

struct Received {
    Messages messages;
    void Connect(SiblingChannel& channel) {
        QObject::connect(&channel, &SiblingChannel::MessageReceived,
                         [this](int m, int a, int b) { messages.emplace_back(m, a, b); });
    }
    bool WaitFor(std::size_t count) {
        return test::SpinUntil([&] { return messages.size() >= count; });
    }
};

TEST(SiblingChannel, SendsToTheSearchProgramAndNowhereWhenItIsAbsent) {
    // Nobody listens yet: silently nowhere.
    EXPECT_FALSE(SiblingChannel::Send(1186, 0, 0));

    SiblingChannel searchProgram;
    ASSERT_TRUE(searchProgram.Listen(SiblingChannel::SearchProgramSocket()));
    Received received;
    received.Connect(searchProgram);
    EXPECT_TRUE(SiblingChannel::Send(1186, 0, 0));
    EXPECT_TRUE(SiblingChannel::Send(1188, 10, 30));
    EXPECT_TRUE(SiblingChannel::Send(SiblingMessage{1188, -1, INT32_MIN},
                                     SiblingChannel::SearchProgramSocket()));
    ASSERT_TRUE(received.WaitFor(3));
    EXPECT_EQ(received.messages, (Messages{{1186, 0, 0}, {1188, 10, 30}, {1188, -1, INT32_MIN}}));

    searchProgram.Close();
    EXPECT_FALSE(searchProgram.IsListening());
    EXPECT_FALSE(SiblingChannel::Send(1186, 0, 0));
}

TEST(SiblingChannel, FrameReceivesWholeMessagesHoweverTheBytesArrive) {
    SiblingChannel frame;
    ASSERT_TRUE(frame.Listen());
    Received received;
    received.Connect(frame);

    // Two messages in one write, the second split across writes, as a peer
    // with its own buffering may send them.
    QLocalSocket peer;
    peer.connectToServer(QString::fromStdString(SiblingChannel::FrameSocket()));
    ASSERT_TRUE(peer.waitForConnected(1000));
    const char bytes[] = "\xA0\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                         "\xA3\x04\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00";
    peer.write(bytes, 18);
    peer.flush();
    ASSERT_TRUE(received.WaitFor(1));
    EXPECT_EQ(received.messages.size(), 1u);
    peer.write(bytes + 18, 6);
    peer.flush();
    ASSERT_TRUE(received.WaitFor(2));
    EXPECT_EQ(received.messages, (Messages{{1184, 0, 0}, {1187, 1, 2}}));

    // A second listener must not take the path from a live one.
    {
        SiblingChannel intruder;
        EXPECT_FALSE(intruder.Listen());
    } // ...nor remove it when it gives up
    EXPECT_TRUE(SiblingChannel::Send(SiblingMessage{1185, 0, 0}, SiblingChannel::FrameSocket()));
    ASSERT_TRUE(received.WaitFor(3));
    EXPECT_EQ(received.messages.back(), std::make_tuple(1185, 0, 0));
}

} // namespace
} // namespace lorvane
