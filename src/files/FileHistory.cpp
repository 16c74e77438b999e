#include "files/FileHistory.h"

FileHistory::FileHistory(const QStringList& entries)
    : entries_(entries.mid(0, MAX_ENTRIES))
{
}

void FileHistory::PutAtHead(const QString& name)
{
    if (!name.isEmpty())
        entries_.removeAll(QString());
    if (const qsizetype at = entries_.indexOf(name); at >= 0) {
        entries_.move(at, 0);
        return;
    }
    entries_.prepend(name);
    while (entries_.size() > MAX_ENTRIES)
        entries_.removeLast();
}

void FileHistory::Remove(const QString& path)
{
    if (const qsizetype at = entries_.indexOf(path); at >= 0)
        entries_.removeAt(at);
}

QString FileHistory::Caption(int index, const QString& path)
{
    qsizetype slash = path.lastIndexOf('\\');
    if (slash < 0)
        slash = path.lastIndexOf('/');
    QString name = path.mid(slash + 1);
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name.truncate(dot);
    return QString("%1 %2").arg(index).arg(name).left(MAX_CAPTION);
}

QString FileHistory::Caption(int i) const { return Caption(i, entry(i)); }
