#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Writes all of data to an unbuffered file, so that a short write (disk full, size limit, a reader
// that left a pipe) shows in the count and is reported: a buffered QFileDevice can report a
// truncated file without an error. False with the reason in error.
bool WriteAll(QFileDevice& file, const QByteArray& data, QString* error);
