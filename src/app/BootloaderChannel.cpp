#include "app/BootloaderChannel.h"

#include "link/UnitSearch.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// A folder fit for the user's sockets: a real folder (no link), the user's own, closed to others.
bool PrivateFolder(const QString& folder)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// The folder in the temporary folder, made private when missing; one left open by an earlier
// version of the user's own is closed, one of another user is never used.
QString OwnTemporaryFolder()
{
    const QString folder = QDir::tempPath() + "/vordax4-" + QString::number(::geteuid());
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0) {
        struct stat st {};
        if (::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
            ::chmod(name.constData(), 0700);
    }
    return PrivateFolder(folder) ? folder : QString();
}

std::optional<unsigned> PeerUidOf(qintptr descriptor)
{
#ifdef Q_OS_LINUX
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return std::nullopt;
    return static_cast<unsigned>(credentials.uid);
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(static_cast<int>(descriptor), &uid, &gid) != 0)
        return std::nullopt;
    return static_cast<unsigned>(uid);
#endif
}
#else
std::optional<unsigned> PeerUidOf(qintptr) { return 0u; }
#endif

uint32_t Word(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<uint32_t>(bytes.constData() + offset);
}

} // namespace

BootloaderChannel::BootloaderChannel(Handler handler, QObject* parent)
    : QObject(parent)
    , handler_(std::move(handler))
{
}

BootloaderChannel::~BootloaderChannel() = default;

std::function<std::optional<unsigned>(qintptr)> BootloaderChannel::peerUid = PeerUidOf;

QString BootloaderChannel::RuntimeFolder()
{
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && PrivateFolder(runtime))
        return QDir::cleanPath(runtime);
    return OwnTemporaryFolder();
#else
    return QString();
#endif
}

QString BootloaderChannel::SocketPath(const QString& name)
{
#ifdef Q_OS_UNIX
    if (QDir::isAbsolutePath(name))
        return name;
    const QString folder = RuntimeFolder();
    return folder.isEmpty() ? QString() : folder + "/" + name;
#else
    // A named pipe of Windows, open to the user only (UserAccessOption).
    return name;
#endif
}

bool BootloaderChannel::SameUser(const QLocalSocket& socket)
{
#ifdef Q_OS_UNIX
    const std::optional<unsigned> uid = peerUid ? peerUid(socket.socketDescriptor()) : PeerUidOf(socket.socketDescriptor());
    return uid && *uid == static_cast<unsigned>(::geteuid());
#else
    Q_UNUSED(socket);
    return true;
#endif
}

QString BootloaderChannel::DefaultName()
{
    const QString name = qEnvironmentVariable("VORDAX4_BOOTLOADER_SOCKET");
    return name.isEmpty() ? QStringLiteral("vordax4-bootloader") : name;
}

bool BootloaderChannel::Listen(const QString& socketName)
{
    const QString name = SocketPath(socketName);
    if (name.isEmpty())
        return false;
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200))
        return false; // another running program takes the messages
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &BootloaderChannel::Accept);
    if (server_->listen(name))
        return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

bool BootloaderChannel::Listening() const { return server_ && server_->isListening(); }

QByteArray BootloaderChannel::Encode(int32_t message, int32_t port, uint32_t code)
{
    QByteArray bytes(MESSAGE_SIZE, '\0');
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(message), bytes.data());
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(port), bytes.data() + 4);
    qToLittleEndian<uint32_t>(code, bytes.data() + 8);
    return bytes;
}

bool BootloaderChannel::Send(const QString& name, int port, uint32_t code, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath(name));
    if (!socket.waitForConnected(timeoutMs) || !SameUser(socket))
        return false;
    socket.write(Encode(BOOTLOADER_MESSAGE, port, code));
    const bool written = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return written;
}

bool BootloaderChannel::SendFile(const QString& name, const QString& path, int timeoutMs)
{
    const QByteArray bytes = path.toUtf8();
    if (bytes.isEmpty() || bytes.size() > MAX_PATH_BYTES)
        return false;
    // A listener of another user must never learn which files the user opens.
    QLocalSocket socket;
    socket.connectToServer(SocketPath(name));
    if (!socket.waitForConnected(timeoutMs) || !SameUser(socket))
        return false;
    const QByteArray header = Encode(OPEN_FILE_MESSAGE, static_cast<int32_t>(bytes.size()), 0);
    socket.write(header + bytes);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < MESSAGE_SIZE)
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    return socket.read(MESSAGE_SIZE) == header;
}

void BootloaderChannel::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // Another user's messages are never read; nor are more connections than the limit.
        if (!SameUser(*socket) || pending_.size() >= static_cast<size_t>(MAX_CONNECTIONS)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        pending_[socket];
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Receive(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // However the socket goes, its unfinished bytes go with it, never to a later socket.
        connect(socket, &QObject::destroyed, this, [this, socket] { pending_.erase(socket); });
        Receive(socket);
    }
}

// A message may arrive in pieces; only whole messages are taken, the rest waits for its bytes.
void BootloaderChannel::Receive(QLocalSocket* socket)
{
    QByteArray& bytes = pending_[socket];
    bytes += socket->readAll();
    const bool sound = TakeMessages(bytes, handler_, [this, socket](const QByteArray& header, const QString& path) {
        socket->write(header);
        socket->flush();
        QTimer::singleShot(0, this, [this, path] {
            if (onFile)
                onFile(path);
        });
    });
    // A writer announcing an unbounded path is cut off, so it cannot make the window hold an
    // unbounded buffer.
    if (!sound)
        socket->abort();
}

bool BootloaderChannel::TakeMessages(QByteArray& bytes, const Handler& handler, const FileTaker& file)
{
    while (bytes.size() >= MESSAGE_SIZE) {
        const uint32_t number = Word(bytes, 0);
        if (number == static_cast<uint32_t>(OPEN_FILE_MESSAGE)) {
            const uint32_t length = Word(bytes, 4);
            if (length == 0 || length > static_cast<uint32_t>(MAX_PATH_BYTES))
                return false;
            const int size = MESSAGE_SIZE + static_cast<int>(length);
            if (bytes.size() < size)
                return true;
            const QByteArray header = bytes.left(MESSAGE_SIZE);
            const QString path = QString::fromUtf8(bytes.mid(MESSAGE_SIZE, static_cast<int>(length)));
            bytes.remove(0, size);
            if (file)
                file(header, path);
            continue;
        }
        const QByteArray message = bytes.left(MESSAGE_SIZE);
        bytes.remove(0, MESSAGE_SIZE);
        if (number == static_cast<uint32_t>(BOOTLOADER_MESSAGE) && handler)
            handler(static_cast<int>(Word(message, 4)), Word(message, 8));
    }
    return true;
}
