#include "base/DirectWrite.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

QString Q(const std::string& path) { return QString::fromStdString(path); }

// A pipe with its reader already waiting, so a write through any path that reaches it succeeds.
class WaitingPipe {
public:
    explicit WaitingPipe(const std::string& path)
    {
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        readEnd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        EXPECT_GE(readEnd_, 0);
    }
    ~WaitingPipe() { ::close(readEnd_); }
    WaitingPipe(const WaitingPipe&) = delete;
    WaitingPipe& operator=(const WaitingPipe&) = delete;

    std::string Received() const
    {
        char buffer[256];
        const ssize_t n = ::read(readEnd_, buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }

private:
    int readEnd_ = -1;
};

// What another process may have put under the checked name between the check and the open.
struct SwappedName {
    const char* what;
    std::function<void(const std::string& name, const std::string& pipe)> put;
    const char* reason;
};

} // namespace

TEST(DirectWrite, AFifoWithAReaderIsWritten)
{
    ScopedWorkDir dir;
    WaitingPipe pipe(dir.file("pipe"));
    QString error;
    EXPECT_TRUE(WriteDirectly(Q(dir.file("pipe")), "to the reader", &error)) << error.toStdString();
    EXPECT_EQ(pipe.Received(), "to the reader");
}

// The name was checked and found to be a pipe; by the open it is something else. Nothing is
// written through a link put there, and a regular file is left untouched.
TEST(DirectWrite, ANameSwappedAfterItsCheckIsRefused)
{
    const SwappedName cases[] = {
        { "a link to the pipe",
            [](const std::string& name, const std::string& pipe) {
                ASSERT_EQ(::symlink(pipe.c_str(), name.c_str()), 0);
            },
            "symbolic link" },
        { "a regular file",
            [](const std::string& name, const std::string&) {
                QFile file(Q(name));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("kept");
            },
            "no longer a device or a pipe" },
    };
    for (const SwappedName& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedWorkDir dir;
        WaitingPipe pipe(dir.file("elsewhere"));
        const std::string name = dir.file("out");
        c.put(name, dir.file("elsewhere"));
        QString error;
        EXPECT_FALSE(WriteDirectly(Q(name), "must not arrive", &error));
        EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
        EXPECT_EQ(pipe.Received(), "");
        struct stat st {};
        ASSERT_EQ(::lstat(name.c_str(), &st), 0);
        if (S_ISREG(st.st_mode)) {
            EXPECT_EQ(dir.read("out"), "kept");
        }
    }
}
