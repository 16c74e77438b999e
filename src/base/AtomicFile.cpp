#include "base/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Unbuffered, so that a short write (disk full, size limit) shows in the count returned: a
// buffered QFileDevice can report a truncated file without an error.
bool WriteAll(QFileDevice& file, const QByteArray& data, QString* error)
{
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 n = file.write(data.constData() + written, data.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written == data.size())
        return true;
    SetError(error, QString("could not write all %1 bytes (disk full?): %2").arg(data.size()).arg(file.errorString()));
    return false;
}

bool SaveThroughTemporaryFile(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        SetError(error, file.errorString());
        return false;
    }
    if (!WriteAll(file, data, error) || file.size() != data.size()) {
        if (error && error->isEmpty())
            *error = QString("could not write all %1 bytes (disk full?)").arg(data.size());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

#ifdef Q_OS_UNIX
// A reader that leaves a pipe before the end raises SIGPIPE, whose default ends the program. Held
// back on this thread while it writes, the write fails with EPIPE instead and the save reports it.
class PipeSignalHeld {
public:
    PipeSignalHeld()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~PipeSignalHeld()
    {
        sigset_t pending;
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE) && !sigismember(&previous_, SIGPIPE)) {
            const timespec noWait {};
            sigtimedwait(&pipe_, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

private:
    sigset_t pipe_;
    sigset_t previous_;
};

// A FIFO without a reader would block the open for ever; non-blocking, it fails at once instead.
bool WriteDirectly(const QString& path, const QByteArray& data, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, QString("cannot open %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        SetError(error, file.errorString());
        return false;
    }
    const PipeSignalHeld pipeSignal;
    return WriteAll(file, data, error);
}
#endif

} // namespace

bool SaveFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    if (error)
        error->clear();
#ifdef Q_OS_UNIX
    struct stat st {};
    // stat follows a symbolic link, so a link to a regular file is saved through the temporary file.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return SaveThroughTemporaryFile(path, data, error);
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))
        return WriteDirectly(path, data, error);
    SetError(error, QString("%1 is not a file that can be saved to").arg(path));
    return false;
#else
    return SaveThroughTemporaryFile(path, data, error);
#endif
}
