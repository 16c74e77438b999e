#include "base/PngFile.h"

#include "base/AtomicFile.h"

#include <QBuffer>
#include <QImage>

bool SavePng(const QImage& picture, const QString& path, QString* error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        if (error)
            *error = "the picture could not be encoded as PNG";
        return false;
    }
    return SaveFileAtomically(path, bytes, error);
}
