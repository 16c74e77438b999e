#pragma once

#include "model/ParamImage.h"

#include <QByteArray>
#include <QString>

// default.ini: the last parameter image as 400 decimal numbers, "%5u " each, a line break
// after every 10th and a blank line after every 100th; line breaks are the platform's.
class DefaultIni {
public:
    static constexpr qint64 MAX_FILE_SIZE = 1024 * 1024;

    static QByteArray Text(const ParamImage& image);

    // Stores unsigned decimal numbers separated by white space into the image bytes in order
    // (each modulo 256); stops after 400 numbers, at the end of the text or at the first word
    // that is not a number. Returns how many bytes were taken.
    static int Parse(const QByteArray& text, ParamImage& image);

    // A missing, unreadable or over-large file leaves the image as it is (returns -1).
    static int Load(const QString& path, ParamImage& image);
    static bool Save(const QString& path, const ParamImage& image, QString* error = nullptr);
};
