#include "base/AtomicFile.h"

#include <QSaveFile>

// Unbuffered, so that a short write (disk full, size limit) shows in the count returned: a
// buffered QSaveFile can commit a truncated file without an error.
bool SaveFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 n = file.write(data.constData() + written, data.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != data.size() || file.size() != data.size()) {
        if (error)
            *error = QString("could not write all %1 bytes (disk full?): %2").arg(data.size()).arg(file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
