#include "app/BootloaderChannel.h"
#include "link/UnitSearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>
#include <thread>
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
    socket.connectToServer(BootloaderChannel::SocketPath(name));
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
    QFile stale(BootloaderChannel::SocketPath(name));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    ASSERT_TRUE(channel.Listen(name));
    ASSERT_TRUE(BootloaderChannel::Send(name, 2, BOOT_RETURN_PORT));
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(received[0].port, 2);
#endif
}

TEST_F(ChannelFixture, AFileHandedOverInPiecesAndTheToolsMessagesAfterIt)
{
    ASSERT_TRUE(channel.Listen(name));
    QStringList files;
    channel.onFile = [&](const QString& path) { files << path; };
    QLocalSocket socket;
    socket.connectToServer(BootloaderChannel::SocketPath(name));
    ASSERT_TRUE(socket.waitForConnected(1000));
    const QByteArray path = QString("/tmp/Zündung ř.ign").toUtf8();
    const QByteArray header = BootloaderChannel::Encode(BootloaderChannel::OPEN_FILE_MESSAGE, path.size(), 0);
    const QByteArray all = header + path + BootloaderChannel::Encode(BOOTLOADER_MESSAGE, 4, BOOT_RETURN_PORT);
    int sentBytes = 0;
    for (int cut : { 7, 15 }) {
        socket.write(all.mid(sentBytes, cut - sentBytes));
        sentBytes = cut;
        socket.waitForBytesWritten(1000);
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_TRUE(files.isEmpty()) << "half a path opens nothing";
    }
    socket.write(all.mid(15));
    socket.waitForBytesWritten(1000);
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(received[0].port, 4) << "the tool's message after the file is still understood";
    EXPECT_EQ(files, QStringList { "/tmp/Zündung ř.ign" });
    ASSERT_TRUE(socket.bytesAvailable() >= BootloaderChannel::MESSAGE_SIZE || socket.waitForReadyRead(1000));
    EXPECT_EQ(socket.read(BootloaderChannel::MESSAGE_SIZE), header) << "the sender learns that the path arrived";
}

TEST_F(ChannelFixture, SendFileNeedsAWindowThatTakesIt)
{
    ASSERT_TRUE(channel.Listen(name));
    QStringList files;
    channel.onFile = [&](const QString& path) { files << path; };
    // The sender waits for the answer, so it runs beside this thread's event loop, as a second program would.
    std::atomic<int> sent { -1 };
    std::thread sender([&] { sent = BootloaderChannel::SendFile(name, "/data/bike.ign") ? 1 : 0; });
    QElapsedTimer t;
    t.start();
    while ((files.isEmpty() || sent < 0) && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    sender.join();
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(files, QStringList { "/data/bike.ign" });
    EXPECT_FALSE(BootloaderChannel::SendFile(name + "-nobody", "/data/bike.ign", 200));
    EXPECT_FALSE(BootloaderChannel::SendFile(name, QString(), 200));
}

TEST_F(ChannelFixture, AnOverlongPathEndsTheConnectionAndNothingElse)
{
    ASSERT_TRUE(channel.Listen(name));
    QStringList files;
    channel.onFile = [&](const QString& path) { files << path; };
    QLocalSocket socket;
    socket.connectToServer(BootloaderChannel::SocketPath(name));
    ASSERT_TRUE(socket.waitForConnected(1000));
    for (int32_t length : { 0, BootloaderChannel::MAX_PATH_BYTES + 1, -1 }) {
        socket.write(BootloaderChannel::Encode(BootloaderChannel::OPEN_FILE_MESSAGE, length, 0) + QByteArray(64, 'x'));
        socket.waitForBytesWritten(1000);
        QElapsedTimer t;
        t.start();
        while (socket.state() != QLocalSocket::UnconnectedState && t.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(10);
        }
        EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState) << length;
        socket.connectToServer(BootloaderChannel::SocketPath(name));
        ASSERT_TRUE(socket.waitForConnected(1000));
    }
    ASSERT_TRUE(BootloaderChannel::Send(name, 6, BOOT_RELEASE_PORT));
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(received[0].port, 6);
    EXPECT_TRUE(files.isEmpty());
}

// Plays a second user at the other end of every connection of this process.
struct ForeignPeer {
    ForeignPeer()
    {
        BootloaderChannel::peerUid = [](qintptr) { return std::optional<unsigned>(::geteuid() + 1); };
    }
    ~ForeignPeer() { BootloaderChannel::peerUid = previous; }
    std::function<std::optional<unsigned>(qintptr)> previous = BootloaderChannel::peerUid;
};

bool WaitDisconnected(QLocalSocket& socket)
{
    QElapsedTimer t;
    t.start();
    while (socket.state() != QLocalSocket::UnconnectedState && t.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (socket.state() != QLocalSocket::UnconnectedState)
            socket.waitForDisconnected(10);
    }
    return socket.state() == QLocalSocket::UnconnectedState;
}

TEST(ChannelFolder, TheSocketLivesInAFolderOnlyTheUserMayEnter)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir open;
    ASSERT_TRUE(QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
            | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
    QTemporaryDir closed;
    ASSERT_TRUE(QFile::setPermissions(closed.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    struct Case {
        QByteArray runtime;
        QString folder; // empty: the user's folder in the temporary folder
    } cases[] = { { closed.path().toUtf8(), closed.path() }, { open.path().toUtf8(), {} }, { "relative", {} },
        { {}, {} } };
    for (const Case& c : cases) {
        qputenv("XDG_RUNTIME_DIR", c.runtime);
        const QString folder = BootloaderChannel::RuntimeFolder();
        const QString expected = c.folder.isEmpty() ? QDir::tempPath() + "/vordax4-" + QString::number(::geteuid()) : c.folder;
        EXPECT_EQ(folder, expected) << c.runtime.toStdString();
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder.toStdString();
        EXPECT_EQ(st.st_uid, ::geteuid());
        EXPECT_EQ(BootloaderChannel::SocketPath("x"), folder + "/x");
    }
    qputenv("XDG_RUNTIME_DIR", saved);
    if (saved.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
}

TEST_F(ChannelFixture, AnotherUsersMessagesAreIgnoredAndItsListenerGetsNoPath)
{
    ASSERT_TRUE(channel.Listen(name));
    QStringList files;
    channel.onFile = [&](const QString& path) { files << path; };
    {
        ForeignPeer other;
        EXPECT_FALSE(BootloaderChannel::SendFile(name, "/data/secret.ign", 500)) << "no path for another user";
        QLocalSocket socket;
        socket.connectToServer(BootloaderChannel::SocketPath(name));
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(BootloaderChannel::Encode(BOOTLOADER_MESSAGE, 3, BOOT_RELEASE_PORT));
        socket.waitForBytesWritten(1000);
        EXPECT_TRUE(WaitDisconnected(socket)) << "the window cuts another user off";
    }
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(files.isEmpty());
    ASSERT_TRUE(BootloaderChannel::Send(name, 5, BOOT_RELEASE_PORT)) << "the user's own tool still gets through";
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(received[0].port, 5);
}

TEST_F(ChannelFixture, UnfinishedMessagesHoldOnlyALimitedNumberOfConnections)
{
    ASSERT_TRUE(channel.Listen(name));
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    const QByteArray half = BootloaderChannel::Encode(BootloaderChannel::OPEN_FILE_MESSAGE, BootloaderChannel::MAX_PATH_BYTES, 0)
        + QByteArray(BootloaderChannel::MAX_PATH_BYTES - 1, 'x');
    for (int i = 0; i < BootloaderChannel::MAX_CONNECTIONS + 4; ++i) {
        sockets.push_back(std::make_unique<QLocalSocket>());
        sockets.back()->connectToServer(BootloaderChannel::SocketPath(name));
        ASSERT_TRUE(sockets.back()->waitForConnected(1000));
        sockets.back()->write(half);
        sockets.back()->waitForBytesWritten(1000);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_TRUE(WaitDisconnected(*sockets.back())) << "a connection beyond the limit is cut off";
    sockets.front()->abort();
    sockets.erase(sockets.begin());
    // The window learns of the freed place from its event loop: tried until it has.
    QElapsedTimer t;
    t.start();
    while (received.empty() && t.elapsed() < 5000) {
        BootloaderChannel::Send(name, 8, BOOT_RETURN_PORT);
        for (int i = 0; i < 10 && received.empty(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_EQ(received.size(), 1u) << "a freed place takes a new connection";
    EXPECT_EQ(received[0].port, 8);
}

} // namespace
