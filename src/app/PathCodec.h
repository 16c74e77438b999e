#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit text form of paths in application.ini. Characters 0..255 stand as themselves (a
// backslash doubled); any other 16-bit character, and CR and LF, which would end the line of
// the key, is written as a backslash, "x" and four upper-case hexadecimal digits. Plain paths
// written by hand or by older programs ("\\server", "C:\dir") are taken as they are.
class PathCodec {
public:
    static QByteArray Encode(const QString& path);
    static QString Decode(const QByteArray& text);

    // The text begins like a plain path: two backslashes and then a character other than a
    // backslash, or a drive letter, a colon and a single backslash.
    static bool LooksPlain(const QByteArray& text);
};
