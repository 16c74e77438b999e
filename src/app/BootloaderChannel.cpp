#include "app/BootloaderChannel.h"

#include "link/UnitSearch.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

namespace {

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

QString BootloaderChannel::DefaultName()
{
    const QString name = qEnvironmentVariable("VORDAX4_BOOTLOADER_SOCKET");
    return name.isEmpty() ? QStringLiteral("vordax4-bootloader") : name;
}

bool BootloaderChannel::Listen(const QString& name)
{
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
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
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
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
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
