#include "platform/SiblingChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>

#include <gtest/gtest.h>

#include <vector>

namespace lorvane {
namespace {

struct Received {
    std::vector<SiblingMessage> messages;
    void Connect(SiblingChannel& channel) {
        QObject::connect(&channel, &SiblingChannel::MessageReceived, [this](int m, int a, int b) {
            messages.push_back({m, a, b});
        });
    }
    bool WaitFor(std::size_t count) {
        const QDeadlineTimer deadline(3000);
        while (messages.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return messages.size() >= count;
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
    EXPECT_EQ(received.messages[0].message, 1186);
    EXPECT_EQ(received.messages[1].first, 10);
    EXPECT_EQ(received.messages[1].second, 30);
    EXPECT_EQ(received.messages[2].first, -1);
    EXPECT_EQ(received.messages[2].second, INT32_MIN);

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
    EXPECT_EQ(received.messages[0].message, 1184);
    EXPECT_EQ(received.messages[1].message, 1187);
    EXPECT_EQ(received.messages[1].first, 1);
    EXPECT_EQ(received.messages[1].second, 2);

    // A second listener must not take the path from a live one.
    {
        SiblingChannel intruder;
        EXPECT_FALSE(intruder.Listen());
    } // ...nor remove it when it gives up
    EXPECT_TRUE(SiblingChannel::Send(SiblingMessage{1185, 0, 0}, SiblingChannel::FrameSocket()));
    ASSERT_TRUE(received.WaitFor(3));
    EXPECT_EQ(received.messages[2].message, 1185);
}

} // namespace
} // namespace lorvane
