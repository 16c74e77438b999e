#include "base/AtomicFile.h"

#include "FileSizeLimit.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <future>

namespace {

mode_t FileType(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & S_IFMT;
}

QString Q(const std::string& path) { return QString::fromStdString(path); }

} // namespace

TEST(AtomicFile, ReplacesARegularFileAndCreatesANewOne)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("a.ign")), "first"));
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("a.ign")), "second"));
    EXPECT_EQ(dir.read("a.ign"), "second");
    EXPECT_EQ(FileType(dir.file("a.ign")), S_IFREG);
}

TEST(AtomicFile, ACharacterDeviceIsWrittenAndStaysADevice)
{
    ScopedWorkDir dir;
    const std::string node = dir.file("null");
    // The same device as /dev/null, made here so the test never touches the system's own node.
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "making a device node needs root";
    QString error;
    EXPECT_TRUE(SaveFileAtomically(Q(node), "settings", &error)) << error.toStdString();
    EXPECT_EQ(FileType(node), S_IFCHR) << "the device node must survive the save";
}

TEST(AtomicFile, AFifoIsWrittenWhenReadAndRefusedWithoutAReader)
{
    ScopedWorkDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    QString error;
    EXPECT_FALSE(SaveFileAtomically(Q(fifo), "nobody listens", &error)) << "must not hang or replace the pipe";
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(FileType(fifo), S_IFIFO);

    auto reader = std::async(std::launch::async, [&] {
        QFile in(Q(fifo));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("open failed");
    });
    bool saved = false;
    // The reader may not have opened its end yet: a few tries until it has.
    for (int i = 0; i < 200 && !saved; ++i) {
        saved = SaveFileAtomically(Q(fifo), "through the pipe", &error);
        if (!saved)
            ::usleep(10000);
    }
    EXPECT_TRUE(saved) << error.toStdString();
    EXPECT_EQ(reader.get(), QByteArray("through the pipe"));
    EXPECT_EQ(FileType(fifo), S_IFIFO);
}

// A reader that takes the first bytes and goes: the save must fail with its reason rather than
// report a file that holds a fraction of the data, and the program must survive the broken pipe.
TEST(AtomicFile, AFifoWhoseReaderLeavesEarlyIsAFailedSave)
{
    ScopedWorkDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opened before the save, so the save finds a reader; the reader waits for the first bytes.
    const int readEnd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(readEnd, 0);
    auto reader = std::async(std::launch::async, [readEnd] {
        pollfd waiting { readEnd, POLLIN, 0 };
        char first[100];
        const bool gotData = ::poll(&waiting, 1, 30000) == 1 && ::read(readEnd, first, sizeof first) > 0;
        ::close(readEnd);
        return gotData;
    });
    // Far more than a pipe holds, so the writer is still writing when the reader has gone.
    const QByteArray data(4 * 1024 * 1024, 'x');
    QString error;
    EXPECT_FALSE(SaveFileAtomically(Q(fifo), data, &error));
    EXPECT_TRUE(reader.get());
    EXPECT_TRUE(error.contains("could not write all 4194304 bytes")) << error.toStdString();
    EXPECT_EQ(FileType(fifo), S_IFIFO);
}

TEST(AtomicFile, AFolderIsRefusedAndKept)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(QDir().mkdir(Q(dir.file("folder"))));
    QString error;
    EXPECT_FALSE(SaveFileAtomically(Q(dir.file("folder")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(FileType(dir.file("folder")), S_IFDIR);
}

TEST(AtomicFile, ASaveThatDoesNotFitIsReportedAndKeepsThePreviousFile)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("a.ign")), "previous"));
    QString error;
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(SaveFileAtomically(Q(dir.file("a.ign")), QByteArray(5000, 'x'), &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.read("a.ign"), "previous");
    EXPECT_EQ(QDir(Q(dir.path())).entryList(QDir::Files), QStringList { "a.ign" }) << "no temporary file is left";
}
