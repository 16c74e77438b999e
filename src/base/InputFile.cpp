#include "base/InputFile.h"

#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr const char* CANNOT_OPEN = "###cannot open the file##die Datei kann nicht geöffnet werden##soubor nelze otevřít";
constexpr const char* NOT_REGULAR = "###not a regular file (a folder, a device or a pipe is never read)##keine "
                                    "gewöhnliche Datei (ein Ordner, ein Gerät oder eine Pipe wird nie gelesen)##není "
                                    "to běžný soubor (složka, zařízení ani roura se nečtou)";
constexpr const char* TOO_LARGE = "###the file is too large##die Datei ist zu groß##soubor je příliš velký";
constexpr const char* READ_ERROR = "###the file could not be read completely##die Datei konnte nicht vollständig "
                                   "gelesen werden##soubor nelze přečíst celý";

#ifdef Q_OS_UNIX
void SetReason(QString* reason)
{
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
}

// The descriptor of the regular file at path, or -1 with status set. O_NONBLOCK keeps a FIFO or a
// device that took the file's place after the check from blocking the open.
int OpenRegular(const QString& path, InputFile::Status& status, QString* reason)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        SetReason(reason);
        status = InputFile::Status::CannotOpen;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        status = InputFile::Status::NotRegular;
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        SetReason(reason);
        status = InputFile::Status::CannotOpen;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        status = InputFile::Status::NotRegular;
        return -1;
    }
    status = InputFile::Status::Read;
    return fd;
}

InputFile::Status ReadAll(int fd, qint64 maxBytes, QByteArray& bytes)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return InputFile::Status::ReadError;
    if (st.st_size > maxBytes)
        return InputFile::Status::TooLarge;
    // The file may grow while it is read: one byte beyond the limit tells.
    bytes.resize(static_cast<qsizetype>(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxBytes)
                return InputFile::Status::TooLarge;
            bytes.resize(std::min<qsizetype>(got * 2 + 4096, maxBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return InputFile::Status::ReadError;
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return got > maxBytes ? InputFile::Status::TooLarge : InputFile::Status::Read;
}
#else
// Opens file for reading; Read when it is open and a regular file.
InputFile::Status OpenRegularFile(QFile& file, QString* reason)
{
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = file.errorString();
        return InputFile::Status::CannotOpen;
    }
    return file.isSequential() ? InputFile::Status::NotRegular : InputFile::Status::Read;
}
#endif

} // namespace

InputFile::Status InputFile::Read(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* reason)
{
    bytes.clear();
#ifdef Q_OS_UNIX
    Status status = Status::CannotOpen;
    const int fd = OpenRegular(path, status, reason);
    if (fd < 0)
        return status;
    status = ReadAll(fd, maxBytes, bytes);
    ::close(fd);
    if (status != Status::Read)
        bytes.clear();
    return status;
#else
    QFile file(path);
    const Status opened = OpenRegularFile(file, reason);
    if (opened != Status::Read)
        return opened;
    if (file.size() > maxBytes)
        return Status::TooLarge;
    bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        return Status::TooLarge;
    return bytes.size() == file.size() ? Status::Read : Status::ReadError;
#endif
}

InputFile::Status InputFile::Check(const QString& path, QString* reason)
{
#ifdef Q_OS_UNIX
    Status status = Status::CannotOpen;
    const int fd = OpenRegular(path, status, reason);
    if (fd >= 0)
        ::close(fd);
    return status;
#else
    QFile file(path);
    return OpenRegularFile(file, reason);
#endif
}

const char* InputFile::Message(Status status)
{
    switch (status) {
    case Status::CannotOpen:
        return CANNOT_OPEN;
    case Status::NotRegular:
        return NOT_REGULAR;
    case Status::TooLarge:
        return TOO_LARGE;
    case Status::ReadError:
        return READ_ERROR;
    case Status::Read:
        break;
    }
    return "";
}
