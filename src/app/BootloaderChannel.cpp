#include "app/BootloaderChannel.h"

#include "link/CCOMSEARCH.h"

#include <QLocalServer>
#include <QLocalSocket>
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

bool BootloaderChannel::listening() const { return server_ && server_->isListening(); }

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

void BootloaderChannel::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Receive(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        Receive(socket);
    }
}

void BootloaderChannel::Receive(QLocalSocket* socket) { TakeMessages(*socket, handler_); }

// A message may arrive in pieces; only whole messages are taken.
void BootloaderChannel::TakeMessages(QIODevice& in, const Handler& handler)
{
    while (in.bytesAvailable() >= MESSAGE_SIZE) {
        const QByteArray message = in.read(MESSAGE_SIZE);
        if (message.size() == MESSAGE_SIZE && Word(message, 0) == static_cast<uint32_t>(BOOTLOADER_MESSAGE) && handler)
            handler(static_cast<int>(Word(message, 4)), Word(message, 8));
    }
}
