#include "base/SymlinkGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// As many links as the kernel follows before it reports a loop.
constexpr int MAX_LINKS = 40;

#ifdef Q_OS_UNIX
unsigned OwnerOnDisk(const QString& link)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(link).constData(), &st) == 0 ? static_cast<unsigned>(st.st_uid) : ~0u;
}
#else
unsigned OwnerOnDisk(const QString&) { return 0; }
#endif

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

std::function<unsigned(const QString& link)> SymlinkGuard::linkOwner = OwnerOnDisk;

bool SymlinkGuard::Resolve(const QString& path, QString& target, QString* error)
{
    target = path;
#ifdef Q_OS_UNIX
    for (int hop = 0; hop < MAX_LINKS; ++hop) {
        struct stat link {};
        if (::lstat(QFile::encodeName(target).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return true;
        const QString folder = QFileInfo(target).absolutePath();
        struct stat dir {};
        if (::stat(QFile::encodeName(folder).constData(), &dir) != 0) {
            SetError(error, QString("cannot examine the folder %1").arg(folder));
            return false;
        }
        const unsigned owner = linkOwner ? linkOwner(target) : OwnerOnDisk(target);
        if (owner != static_cast<unsigned>(::geteuid()) && owner != static_cast<unsigned>(dir.st_uid)) {
            SetError(error,
                QString("%1 is a symbolic link of another user (uid %2); the program does not save through it")
                    .arg(target)
                    .arg(owner));
            return false;
        }
        const QString next = QFile::symLinkTarget(target);
        if (next.isEmpty()) {
            SetError(error, QString("cannot read the symbolic link %1").arg(target));
            return false;
        }
        target = QDir::cleanPath(QDir(folder).absoluteFilePath(next));
    }
    SetError(error, QString("%1: too many levels of symbolic links").arg(path));
    return false;
#else
    Q_UNUSED(error);
    return true;
#endif
}
