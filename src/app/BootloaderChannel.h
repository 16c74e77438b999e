#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

class QLocalServer;
class QLocalSocket;

// How the bootloader tool reaches the program where there are no window messages: a local socket
// (a named pipe on Windows, a socket file elsewhere). Each message is 12 bytes, three 32-bit
// little-endian integers: the message number 33545, the port and the code. Messages with another
// number are ignored, as the window ignores other window messages.
//
// A second start of the program uses the same socket to hand a file to the running window: a
// message numbered 33645 whose second word is the length of the path that follows it (UTF-8, at
// most MAX_PATH_BYTES); the window answers with the same 12 bytes once it has taken the path.
//
// The socket lives in a folder only the user may enter ($XDG_RUNTIME_DIR, else a folder of the
// user's own in the temporary folder), and both ends check that the other belongs to the same
// user: another user can neither take the window's messages nor send it any.
class BootloaderChannel : public QObject {
public:
    using Handler = std::function<void(int port, uint32_t code)>;
    using FileHandler = std::function<void(const QString& path)>;
    static constexpr int MESSAGE_SIZE = 12;
    static constexpr int32_t OPEN_FILE_MESSAGE = 33645;
    static constexpr int MAX_PATH_BYTES = 32768;
    // Connections held at once; more are cut off, so that unfinished messages cannot make the
    // window hold an unbounded amount of memory.
    static constexpr int MAX_CONNECTIONS = 16;

    explicit BootloaderChannel(Handler handler, QObject* parent = nullptr);
    ~BootloaderChannel() override;

    // "vordax4-bootloader", or the name in VORDAX4_BOOTLOADER_SOCKET.
    static QString DefaultName();
    // The folder of the user's sockets: $XDG_RUNTIME_DIR when it is the user's own and closed to
    // others, else "vordax4-UID" in the temporary folder, made with mode 0700 when missing; empty
    // when neither can be had safely.
    static QString RuntimeFolder();
    // Where a socket name lives: an absolute name as it is, any other in RuntimeFolder(); empty
    // when there is no safe folder.
    static QString SocketPath(const QString& name);
    // The user at the other end of a connected local socket; nothing when it cannot be told. A
    // test names another user here to play a second one.
    static std::function<std::optional<unsigned>(qintptr descriptor)> peerUid;
    // Starts listening; a name still held by a running program is left to it (false), a stale one
    // left behind by a program that ended abnormally is taken over.
    bool Listen(const QString& name = DefaultName());
    bool Listening() const;

    // Sends one message, as the bootloader tool does; false when no program listens.
    static bool Send(const QString& name, int port, uint32_t code, int timeoutMs = 1000);
    static QByteArray Encode(int32_t message, int32_t port, uint32_t code);
    // Hands an absolute path to the running program; true once its window has taken it.
    static bool SendFile(const QString& name, const QString& path, int timeoutMs = 3000);

    // Takes the whole messages at the front of bytes, each leaving the buffer before its handler
    // runs: a bootloader message goes to handler, a file message (its header and path) to file; a
    // message cut short stays for the rest of its bytes. False when a file message announces an
    // empty path or one beyond the limit: its writer is to be cut off.
    using FileTaker = std::function<void(const QByteArray& header, const QString& path)>;
    static bool TakeMessages(QByteArray& bytes, const Handler& handler, const FileTaker& file);

    // Runs after the answer has gone out, from the event loop, so a message box it shows does
    // not keep the second program waiting.
    FileHandler onFile;

private:
    // Whether the other end of socket is this program's own user.
    static bool SameUser(const QLocalSocket& socket);
    void Accept();
    void Receive(QLocalSocket* socket);

    Handler handler_;
    QLocalServer* server_ = nullptr;
    std::map<QLocalSocket*, QByteArray> pending_;
};
