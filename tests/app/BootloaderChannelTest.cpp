#include "app/BootloaderChannel.h"
#include "link/CCOMSEARCH.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Received {
    int port;
    uint32_t code;
};

struct ChannelFixture : testing::Test {
    QString name = "vordax4-channel-test-" + QString::number(QCoreApplication::applicationPid());
    std::vector<Received> received;
    BootloaderChannel channel { [this](int port, uint32_t code) { received.push_back({ port, code }); } };

    bool WaitFor(size_t count)
    {
        QElapsedTimer t;
        t.start();
        while (received.size() < count && t.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return received.size() >= count;
    }
};

TEST_F(ChannelFixture, WholeMessagesReachTheHandler)
{
    ASSERT_TRUE(channel.Listen(name));
    ASSERT_TRUE(BootloaderChannel::Send(name, 7, BOOT_RELEASE_PORT));
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(received[0].port, 7);
    EXPECT_EQ(received[0].code, static_cast<uint32_t>(BOOT_RELEASE_PORT));
}

TEST_F(ChannelFixture, MessagesInPiecesAndForeignNumbers)
{
    ASSERT_TRUE(channel.Listen(name));
    QLocalSocket socket;
    socket.connectToServer(name);
    ASSERT_TRUE(socket.waitForConnected(1000));
    const QByteArray foreign = BootloaderChannel::Encode(BOOTLOADER_MESSAGE + 1, 3, BOOT_RESET_UNIT);
    const QByteArray wanted = BootloaderChannel::Encode(BOOTLOADER_MESSAGE, 3, BOOT_RESET_UNIT);
    socket.write(foreign + wanted.left(5));
    socket.waitForBytesWritten(1000);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(received.empty()) << "another message number and half a message do nothing";
    socket.write(wanted.mid(5));
    socket.waitForBytesWritten(1000);
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].code, static_cast<uint32_t>(BOOT_RESET_UNIT));
}

TEST_F(ChannelFixture, ARunningProgramKeepsItsName)
{
    ASSERT_TRUE(channel.Listen(name));
    BootloaderChannel second { {} };
    EXPECT_FALSE(second.Listen(name)) << "the first program still takes the messages";
    EXPECT_FALSE(BootloaderChannel::Send(name + "-nobody", 1, BOOT_RETURN_PORT, 200));
}

TEST_F(ChannelFixture, AStaleNameLeftByAnAbortedProgramIsTakenOver)
{
#ifdef Q_OS_UNIX
    // What an aborted program leaves behind: the socket's file with nobody listening.
    QFile stale(QDir::tempPath() + "/" + name);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    ASSERT_TRUE(channel.Listen(name));
    ASSERT_TRUE(BootloaderChannel::Send(name, 2, BOOT_RETURN_PORT));
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(received[0].port, 2);
#endif
}

} // namespace
