#pragma once

#include <QByteArray>
#include <QString>

// Saves data to path through a temporary file beside it that replaces the old file only once it
// is completely written. On failure error receives the reason and the previous file stays intact.
// A temporary file renamed over a device or a pipe would delete it, so an existing character
// device or FIFO is written directly, and other special files (folders, block devices, sockets)
// are refused. A symbolic link is saved through only when SymlinkGuard allows it, and the
// temporary file is always newly made, never a file or link found under its name.
bool SaveFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);
