#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QIODevice;
class QLocalServer;
class QLocalSocket;

// How the bootloader tool reaches the program where there are no window messages: a local socket
// (a named pipe on Windows, a socket file elsewhere). Each message is 12 bytes, three 32-bit
// little-endian integers: the message number 33545, the port and the code. Messages with another
// number are ignored, as the window ignores other window messages.
class BootloaderChannel : public QObject {
public:
    using Handler = std::function<void(int port, uint32_t code)>;
    static constexpr int MESSAGE_SIZE = 12;

    explicit BootloaderChannel(Handler handler, QObject* parent = nullptr);
    ~BootloaderChannel() override;

    // "vordax4-bootloader", or the name in VORDAX4_BOOTLOADER_SOCKET.
    static QString DefaultName();
    // Starts listening; a name still held by a running program is left to it (false), a stale one
    // left behind by a program that ended abnormally is taken over.
    bool Listen(const QString& name = DefaultName());
    bool listening() const;

    // Sends one message, as the bootloader tool does; false when no program listens.
    static bool Send(const QString& name, int port, uint32_t code, int timeoutMs = 1000);
    static QByteArray Encode(int32_t message, int32_t port, uint32_t code);
    // Takes the whole messages waiting in the socket's bytes and hands those with the message
    // number to handler; a message cut short waits for its rest.
    static void TakeMessages(QIODevice& in, const Handler& handler);

private:
    void Accept();
    void Receive(QLocalSocket* socket);

    Handler handler_;
    QLocalServer* server_ = nullptr;
};
