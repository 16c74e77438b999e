#include "base/DirectWrite.h"

#include "base/FullWrite.h"

#include <QFile>

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

#ifdef Q_OS_UNIX
namespace {

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

bool Refuse(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// O_NOFOLLOW: a link put under the checked name is not followed (ELOOP). O_NONBLOCK: a FIFO
// without a reader fails at once instead of blocking the open for ever.
int OpenDeviceOrFifo(const QString& path, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const QString reason
            = errno == ELOOP ? QString("it has become a symbolic link") : QString::fromLocal8Bit(std::strerror(errno));
        Refuse(error, QString("cannot open %1: %2").arg(path, reason));
        return -1;
    }
    // Opening a regular file for writing without O_TRUNC changes nothing, so one found here is
    // left as it was: only the atomic save may replace it.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        ::close(fd);
        Refuse(error, QString("%1 is no longer a device or a pipe; nothing was written").arg(path));
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

bool WriteDirectly(const QString& path, const QByteArray& data, QString* error)
{
    const int fd = OpenDeviceOrFifo(path, error);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Refuse(error, file.errorString());
    }
    const PipeSignalHeld pipeSignal;
    return WriteAll(file, data, error);
}
#else
bool WriteDirectly(const QString& path, const QByteArray&, QString* error)
{
    if (error)
        *error = QString("%1 cannot be written directly on this system").arg(path);
    return false;
}
#endif
