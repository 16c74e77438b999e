#pragma once

#include <QByteArray>
#include <QString>

// Saves data to path through a temporary file beside it that replaces the old file only once it
// is completely written. On failure error receives the reason and the previous file stays intact.
// A temporary file renamed over a device or a pipe would delete it, so an existing character
// device or FIFO is written directly, and other special files (folders, block devices, sockets)
// are refused.
bool SaveFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);
