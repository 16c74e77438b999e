#include "ArchiveFixture.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <random>

ArchiveFixture::ArchiveFixture()
    : host(dir.file("host.bin"))
{
    crate.SetOutput([this](const std::string& text) { out += text; });
}

std::string ArchiveFixture::Bytes(size_t n, char fill) { return std::string(n, fill); }

std::string ArchiveFixture::Pattern(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += static_cast<char>('a' + (i * 7 + i / 13) % 26);
    return s;
}

std::string ArchiveFixture::Noise(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

void ArchiveFixture::WriteFile(const std::string& path, const std::string& bytes)
{
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

std::string ArchiveFixture::ReadFile(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll().toStdString();
}

qint64 ArchiveFixture::ModifiedMs(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).lastModified().toMSecsSinceEpoch();
}

void ArchiveFixture::SetModifiedMs(const std::string& path, qint64 ms)
{
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC), QFileDevice::FileModificationTime));
}

std::string ArchiveFixture::Run(const std::string& line)
{
    out.clear();
    code = crate.Command(line);
    return out;
}
