#pragma once

#include <QByteArray>
#include <QString>

// Reads a file the user named as input. Only a regular file is read: a FIFO would block the
// program until some other program writes to it, a device may never end, and a folder holds no
// data. The file is checked before it is opened and again on the open handle, and it is opened
// without blocking, so that a file replaced by a FIFO between the two cannot hold the program.
class InputFile {
public:
    enum class Status { Read, CannotOpen, NotRegular, TooLarge, ReadError };

    // Reads at most maxBytes; a larger file is refused whole (TooLarge). reason receives the
    // system's words for a file that cannot be opened.
    static Status Read(const QString& path, qint64 maxBytes, QByteArray& bytes, QString* reason = nullptr);
    // Whether path names a regular file this program may open for reading, without reading it.
    static Status Check(const QString& path, QString* reason = nullptr);
    // The message for a status other than Read, as a LangString.
    static const char* Message(Status status);
};
