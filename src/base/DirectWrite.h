#pragma once

#include <QByteArray>
#include <QString>

// Writes data straight into a character device or a FIFO at path, which a save must not replace by
// a renamed file. The path is the end of a link chain already checked (SymlinkGuard): its last
// component is opened without following a link, and what was opened must still be a device or a
// FIFO, so a link or file put under the name since the check is refused, never written through.
// A FIFO without a reader fails at once instead of blocking. Unix only.
bool WriteDirectly(const QString& path, const QByteArray& data, QString* error = nullptr);
