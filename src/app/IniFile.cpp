#include "app/IniFile.h"

#include "base/AtomicFile.h"

#include <QFile>

namespace {

bool sameName(const QByteArray& a, const QByteArray& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

std::optional<int> parseInt(const QByteArray& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

bool IniFile::Load(const QString& path)
{
    lines_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MAX_FILE_SIZE)
        return false;
    const QByteArray text = file.read(MAX_FILE_SIZE + 1);
    if (text.size() > MAX_FILE_SIZE)
        return false;
    Parse(text);
    return true;
}

void IniFile::Parse(const QByteArray& text)
{
    lines_.clear();
    QByteArray section;
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QByteArray trimmed = raw.trimmed();
        Line line { section, {}, {}, raw };
        if (trimmed.startsWith('[') && trimmed.contains(']')) {
            section = trimmed.mid(1, trimmed.indexOf(']') - 1).trimmed();
            line.section = section;
        } else if (const qsizetype eq = raw.indexOf('='); eq > 0 && !trimmed.startsWith(';')) {
            line.key = raw.left(eq).trimmed();
            QByteArray value = raw.mid(eq + 1);
            while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
                value.remove(0, 1);
            line.value = value;
        }
        lines_.push_back(line);
    }
    while (!lines_.empty() && lines_.back().key.isEmpty() && lines_.back().raw.trimmed().isEmpty())
        lines_.pop_back();
}

std::vector<IniFile::Line>::iterator IniFile::Find(const QByteArray& section, const QByteArray& key)
{
    for (auto it = lines_.begin(); it != lines_.end(); ++it)
        if (!it->key.isEmpty() && sameName(it->section, section) && sameName(it->key, key))
            return it;
    return lines_.end();
}

std::vector<IniFile::Line>::const_iterator IniFile::Find(const QByteArray& section, const QByteArray& key) const
{
    return const_cast<IniFile*>(this)->Find(section, key);
}

std::optional<QByteArray> IniFile::Value(const QByteArray& section, const QByteArray& key) const
{
    const auto it = Find(section, key);
    if (it == lines_.end())
        return std::nullopt;
    return it->value;
}

int IniFile::IntValue(const QByteArray& section, const QByteArray& key, int fallback) const
{
    const std::optional<QByteArray> value = Value(section, key);
    return value ? parseInt(*value).value_or(fallback) : fallback;
}

void IniFile::SetValue(const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    if (auto it = Find(section, key); it != lines_.end()) {
        it->value = value;
        return;
    }
    // After the last line of the section, or a new section at the end.
    auto last = lines_.end();
    for (auto it = lines_.begin(); it != lines_.end(); ++it)
        if (sameName(it->section, section) && (!it->key.isEmpty() || it->raw.trimmed().startsWith('[')))
            last = it;
    if (last == lines_.end()) {
        lines_.push_back({ section, {}, {}, "[" + section + "]" });
        last = std::prev(lines_.end());
    }
    lines_.insert(std::next(last), Line { section, key, value, {} });
}

void IniFile::SetInt(const QByteArray& section, const QByteArray& key, int value)
{
    SetValue(section, key, QByteArray::number(value));
}

void IniFile::RemoveKey(const QByteArray& section, const QByteArray& key)
{
    if (auto it = Find(section, key); it != lines_.end())
        lines_.erase(it);
}

QByteArray IniFile::Text() const
{
    QByteArray out;
    for (const Line& line : lines_) {
        out += line.key.isEmpty() ? line.raw : line.key + "=" + line.value;
        out += "\r\n";
    }
    return out;
}

bool IniFile::Save(const QString& path, QString* error) const { return SaveFileAtomically(path, Text(), error); }
