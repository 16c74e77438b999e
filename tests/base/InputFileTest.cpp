#include "base/InputFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Q(const std::string& path) { return QString::fromStdString(path); }

void Write(const std::string& path, const QByteArray& bytes)
{
    QFile f(Q(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(InputFile, ARegularFileIsReadWholeAndALargerOneRefused)
{
    ScopedWorkDir dir;
    Write(dir.file("a.ign"), "0123456789");
    QByteArray bytes;
    EXPECT_EQ(InputFile::Read(Q(dir.file("a.ign")), 10, bytes), InputFile::Status::Read);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(InputFile::Read(Q(dir.file("a.ign")), 9, bytes), InputFile::Status::TooLarge);
    EXPECT_TRUE(bytes.isEmpty());
    // A link to a regular file is that file.
    ASSERT_EQ(::symlink(dir.file("a.ign").c_str(), dir.file("link.ign").c_str()), 0);
    EXPECT_EQ(InputFile::Read(Q(dir.file("link.ign")), 100, bytes), InputFile::Status::Read);
}

TEST(InputFile, FifosDevicesAndFoldersAreRefusedWithoutWaiting)
{
    ScopedWorkDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo.ign").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(dir.file("folder.ign").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(dir.file("fifo.ign").c_str(), dir.file("to-fifo.ign").c_str()), 0);
    for (const std::string& path :
        { dir.file("fifo.ign"), dir.file("to-fifo.ign"), dir.file("folder.ign"), std::string("/dev/zero") }) {
        QByteArray bytes;
        EXPECT_EQ(InputFile::Read(Q(path), 1000, bytes), InputFile::Status::NotRegular) << path;
        EXPECT_EQ(InputFile::Check(Q(path)), InputFile::Status::NotRegular) << path;
    }
    QString reason;
    EXPECT_EQ(InputFile::Check(Q(dir.file("missing.ign")), &reason), InputFile::Status::CannotOpen);
    EXPECT_FALSE(reason.isEmpty());
}
