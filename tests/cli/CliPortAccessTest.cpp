#include "CliRun.h"
#include "unitsim/PseudoTerminal.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t NOBODY = 65534;

// vordax4-cli as a user outside the device's group: the pseudo-terminal belongs to this test's
// user with mode 0600. Run as root, the program is started as nobody; run as an ordinary user,
// the device is closed to its owner as well (mode 0000), which the kernel refuses the same way.
struct CliPortAccess : ::testing::Test {
    PseudoTerminal pty;
    QTemporaryDir settings;
    std::string groupName;

    void SetUp() override
    {
        ASSERT_TRUE(pty.Open());
        ASSERT_EQ(::chmod(pty.SlavePath().c_str(), ::getuid() == 0 ? 0600 : 0), 0);
        struct stat st { };
        ASSERT_EQ(::stat(pty.SlavePath().c_str(), &st), 0);
        const struct group* g = ::getgrgid(st.st_gid);
        groupName = g ? g->gr_name : std::to_string(st.st_gid);
        // The unprivileged program keeps its settings here.
        ASSERT_TRUE(QFile::setPermissions(settings.path(), QFile::Permissions(0x7777)));
    }

    CliRun RunUnprivileged(QStringList args)
    {
        QProcessEnvironment env = WithoutDisplay();
        env.insert("VORDAX4_SETTINGS_DIR", settings.path());
        return RunProgram(args, env, [](QProcess& p) {
            p.setWorkingDirectory("/");
            if (::getuid() == 0)
                p.setChildProcessModifier([] {
                    if (::setgroups(0, nullptr) != 0 || ::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0)
                        ::_exit(126);
                });
        });
    }

    std::string Port() const { return "7=" + pty.SlavePath(); }
};

TEST_F(CliPortAccess, ASearchOnAPortTheUserMayNotOpenEndsAtOnceWithTheFix)
{
    const auto start = std::chrono::steady_clock::now();
    const CliRun r = RunUnprivileged({ "identify", "--port", QString::fromStdString(Port()), "--timeout", "30" });
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_NE(r.code, 126) << "the test could not drop its rights";
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_LT(took, std::chrono::seconds(15)) << "it ended well before its 30 s time-out";
    EXPECT_NE(r.err.find("COM7: " + pty.SlavePath() + " cannot be opened: permission denied. Add yourself to the "
                  "group " + groupName + ": sudo adduser $USER " + groupName + ", then log in again\n"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(CliPortAccess, PortsMarksThePortAndSaysWhy)
{
    const CliRun r = RunUnprivileged({ "ports", "--port", QString::fromStdString(Port()) });
    ASSERT_NE(r.code, 126) << "the test could not drop its rights";
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "COM7 – " + pty.SlavePath() + " – cannot be opened: permission denied (group " + groupName + ")\n");
    EXPECT_NE(r.err.find("sudo adduser $USER " + groupName), std::string::npos) << r.err;
}

} // namespace
