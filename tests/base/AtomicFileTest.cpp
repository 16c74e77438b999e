#include "base/AtomicFile.h"

#include "FileSizeLimit.h"
#include "ForeignSymlink.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
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

namespace {

// A folder every user may write to, with the sticky bit, as /tmp.
std::string SharedFolder(const ScopedWorkDir& dir)
{
    const std::string shared = dir.file("shared");
    EXPECT_EQ(::mkdir(shared.c_str(), 0777), 0);
    EXPECT_EQ(::chmod(shared.c_str(), 01777), 0);
    return shared;
}

} // namespace

TEST(AtomicFile, ALinkOfAnotherUserInASharedFolderIsNeverSavedThrough)
{
    ScopedWorkDir dir;
    const std::string shared = SharedFolder(dir);
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("private.ign")), "the user's own"));
    // The existing file and a file not yet there: neither may be written through the link.
    for (const std::string& aim : { dir.file("private.ign"), dir.file("new.ign") }) {
        const std::string link = shared + "/bike.ign";
        ForeignSymlink planted(aim, link);
        ASSERT_TRUE(planted.created());
        QString error;
        EXPECT_FALSE(SaveFileAtomically(Q(link), "through the link", &error)) << aim;
        EXPECT_TRUE(error.contains("another user")) << error.toStdString();
        EXPECT_EQ(FileType(link), S_IFLNK) << "the planted link stays as it was";
        ::unlink(link.c_str());
    }
    EXPECT_EQ(dir.read("private.ign"), "the user's own");
    EXPECT_FALSE(dir.exists("new.ign"));
}

TEST(AtomicFile, TheUsersOwnLinkIsSavedThroughToItsTarget)
{
    ScopedWorkDir dir;
    const std::string shared = SharedFolder(dir);
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("target.ign")), "old"));
    ASSERT_EQ(::symlink(dir.file("target.ign").c_str(), (shared + "/mine.ign").c_str()), 0);
    QString error;
    EXPECT_TRUE(SaveFileAtomically(Q(shared + "/mine.ign"), "new", &error)) << error.toStdString();
    EXPECT_EQ(dir.read("target.ign"), "new");
    EXPECT_EQ(FileType(shared + "/mine.ign"), S_IFLNK);
}

TEST(AtomicFile, TheTemporaryFileOfAKilledSaveIsRemovedByTheNextSave)
{
    ScopedWorkDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    // What a save killed just before its rename leaves beside the file, and a save still running.
    const std::string left = dir.file(".out.ign.vordax4-" + std::to_string(child) + "-123456");
    const std::string running = dir.file(".out.ign.vordax4-" + std::to_string(::getpid()) + "-654321");
    for (const std::string& name : { left, running })
        ASSERT_TRUE(SaveFileAtomically(Q(name), "half"));
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("out.ign")), "whole"));
    EXPECT_FALSE(QFile::exists(Q(left)));
    EXPECT_TRUE(QFile::exists(Q(running))) << "a live process's file stays";
    EXPECT_EQ(dir.read("out.ign"), "whole");
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissions)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("a.ign")), "first"));
    ASSERT_EQ(::chmod(dir.file("a.ign").c_str(), 0600), 0);
    ASSERT_TRUE(SaveFileAtomically(Q(dir.file("a.ign")), "second"));
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("a.ign").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
