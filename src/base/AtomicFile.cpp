#include "base/AtomicFile.h"

#include "base/DirectWrite.h"
#include "base/FullWrite.h"
#include "base/SymlinkGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

#ifdef Q_OS_UNIX
// Temporary files are named ".NAME.vordax4-PID-XXXXXX" beside the target: hidden, and the process
// that made them can be told, so a save finds the ones a killed save left behind.
QString TemporaryPrefix(const QFileInfo& target) { return "." + target.fileName() + ".vordax4-"; }

// A save that was killed before its rename leaves its temporary file; the next save of the same
// file removes those of ended processes, its own user's only.
void RemoveLeftTemporaryFiles(const QFileInfo& target)
{
    const QString prefix = TemporaryPrefix(target);
    const QDir folder = target.absoluteDir();
    for (const QString& name : folder.entryList({ prefix + "*" }, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString pid = name.mid(prefix.size()).section('-', 0, 0);
        bool number = false;
        const long owner = pid.toLong(&number);
        if (!number || owner <= 0 || ::kill(static_cast<pid_t>(owner), 0) == 0 || errno != ESRCH)
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(path.constData());
    }
}

// O_EXCL and O_NOFOLLOW: the temporary file is always a new one of this program, never a file or
// a link someone put under its name.
int CreateTemporaryFile(const QFileInfo& target, QString& name, QString* error)
{
    const QString stem = target.absoluteDir().filePath(TemporaryPrefix(target) + QString::number(::getpid()) + "-");
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + QString::number(QRandomGenerator::global()->bounded(1000000)).rightJustified(6, '0');
        const int fd = ::open(
            QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    SetError(error, QString("cannot create a temporary file beside %1: %2")
                        .arg(target.filePath(), QString::fromLocal8Bit(std::strerror(errno))));
    return -1;
}

// The new file keeps the permissions of the one it replaces.
void KeepPermissions(int fd, const QString& target)
{
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
}

bool WriteAndSync(int fd, const QByteArray& data, QString* error)
{
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)) {
        SetError(error, file.errorString());
        return false;
    }
    if (!WriteAll(file, data, error))
        return false;
    if (::fsync(fd) != 0) {
        SetError(error, QString("cannot write the file to the disk: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    return true;
}

bool SaveThroughTemporaryFile(const QString& path, const QByteArray& data, QString* error)
{
    const QFileInfo target(path);
    RemoveLeftTemporaryFiles(target);
    QString temporary;
    const int fd = CreateTemporaryFile(target, temporary, error);
    if (fd < 0)
        return false;
    KeepPermissions(fd, path);
    bool saved = WriteAndSync(fd, data, error);
    if (::close(fd) != 0 && saved) {
        SetError(error, QString("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        saved = false;
    }
    // rename replaces whatever has the target's name, a link put there meanwhile included, never
    // a file a link points to.
    if (saved && ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        SetError(error, QString("cannot replace %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        saved = false;
    }
    if (!saved)
        ::unlink(QFile::encodeName(temporary).constData());
    return saved;
}
#else
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
#endif

} // namespace

bool SaveFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    if (error)
        error->clear();
#ifdef Q_OS_UNIX
    // A link is saved through to its end, when it may be followed at all.
    QString target;
    if (!SymlinkGuard::Resolve(path, target, error))
        return false;
    struct stat st {};
    if (::lstat(QFile::encodeName(target).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return SaveThroughTemporaryFile(target, data, error);
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))
        return WriteDirectly(target, data, error);
    SetError(error, QString("%1 is not a file that can be saved to").arg(path));
    return false;
#else
    return SaveThroughTemporaryFile(path, data, error);
#endif
}
