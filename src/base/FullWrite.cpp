#include "base/FullWrite.h"

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
    if (error)
        *error = QString("could not write all %1 bytes (disk full?): %2").arg(data.size()).arg(file.errorString());
    return false;
}
