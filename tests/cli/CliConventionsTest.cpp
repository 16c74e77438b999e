#include "CliCommand.h"
#include "CliRun.h"
#include "ForeignSymlink.h"
#include "TempDir.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"

#include <QFile>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The CLI as a script on a machine without a display starts it.
CliRun RunWithoutDisplay(const QStringList& args) { return RunProgram(args, WithoutDisplay()); }

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(CliConventions, HelpAndVersionGoToStandardOutput)
{
    struct Case {
        QStringList args;
        std::string start;
        std::string part;
    } cases[] = {
        { { "--help" }, "usage: vordax4-cli [--lang en|de|cs] <command> args...", "\nexit codes:\n  0  success" },
        { { "-h" }, "usage: vordax4-cli ", "  2  wrong usage" },
        { { "--lang", "de", "--help" }, "usage: vordax4-cli ", "\ncommands:\n" },
        { { "help" }, "usage: vordax4-cli ", "\nexit codes:\n" },
        { { "--version" }, "vordax4-cli 93.0\nVORDAX4   RSKEY=93.00   COMPILE=20", "" },
        { { "--lang", "cs", "--version" }, "vordax4-cli 93.0\n", "" },
        { { "help", "diff" }, "usage: vordax4-cli diff A.ign B.ign", "" },
        { { "diff", "-h" }, "usage: vordax4-cli diff A.ign B.ign", "" },
        { { "program", "bike.ign", "--port", "3", "--help" }, "usage: vordax4-cli program FILE.ign", "" },
    };
    for (const Case& c : cases) {
        const CliRun r = RunWithoutDisplay(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, CLI_OK) << line << ": " << r.err;
        EXPECT_TRUE(StartsWith(r.out, c.start)) << line << ": " << r.out;
        EXPECT_NE(r.out.find(c.part), std::string::npos) << line;
        EXPECT_EQ(r.err, "") << line;
    }
}

// Every command answers --help with its own usage, painting commands included, and touches no
// port, file or display doing so.
TEST(CliConventions, EveryCommandExplainsItself)
{
    for (const CliCommand& c : CliCommands()) {
        const CliRun r = RunWithoutDisplay({ c.name, "--help" });
        EXPECT_EQ(r.code, CLI_OK) << c.name << ": " << r.err;
        EXPECT_TRUE(StartsWith(r.out, std::string("usage: vordax4-cli ") + c.name)) << c.name << ": " << r.out;
        EXPECT_NE(r.out.find(c.summary), std::string::npos) << c.name;
        EXPECT_EQ(r.err, "") << c.name;
    }
}

// A wrong command line exits 2 with one usage line on standard error and nothing on standard output.
TEST(CliConventions, WrongUsageShowsTheUsageOnStandardError)
{
    struct Case {
        QStringList args;
        std::string usage;
    } cases[] = {
        { {}, "usage: vordax4-cli <command>" },
        { { "no-such-command" }, "vordax4-cli help lists the commands" },
        { { "--bogus" }, "vordax4-cli help lists the commands" },
        { { "identify", "--bogus" }, "usage: vordax4-cli identify " },
        { { "ports", "--port" }, "usage: vordax4-cli ports " },
        { { "reset", "extra" }, "usage: vordax4-cli reset " },
        { { "convert", "only.ign" }, "usage: vordax4-cli convert IN.ign OUT.ign" },
        { { "show" }, "usage: vordax4-cli show FILE.ign" },
        { { "render", "bike.ign", "--bogus", "-o", "x.png" }, "usage: vordax4-cli render FILE.ign" },
        { { "--lang", "xx", "show", "a.ign" }, "--lang wants en, de or cs" },
    };
    for (const Case& c : cases) {
        const CliRun r = RunWithoutDisplay(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, CLI_USAGE) << line << ": " << r.err;
        EXPECT_EQ(r.out, "") << line;
        EXPECT_EQ(Count(r.err, c.usage), 1u) << line << ": " << r.err;
        EXPECT_LE(Count(r.err, "usage:"), 1u) << line << ": " << r.err;
    }
}

// An input file that cannot be read is exit code 2 as well, with the reason and no usage line, and
// nothing is written.
TEST(CliConventions, UnreadableInputExitsTwoWithoutTheUsage)
{
    const QStringList cases[] = {
        { "show", "missing.ign" },
        { "show", "missing.ign", "--json" },
        { "convert", "missing.ign", "out.ign" },
        { "diff", "missing.ign", "missing.ign" },
        { "render", "missing.ign", "--map", "advance", "-o", "out.png" },
        { "print", "missing.ign", "-o", "out.pdf" },
        { "log-export", "missing.ignlog" },
        { "log-plot", "missing.ignlog", "-o", "out.png" },
        { "crate", "missing.bin" },
        { "verify", "missing.ign" },
        { "program", "missing.ign" },
    };
    for (const QStringList& args : cases) {
        const CliRun r = RunWithoutDisplay(args);
        const std::string line = args.join(' ').toStdString();
        EXPECT_EQ(r.code, CLI_USAGE) << line << ": " << r.err;
        EXPECT_NE(r.err.find("missing"), std::string::npos) << line << ": " << r.err;
        EXPECT_EQ(r.err.find("usage:"), std::string::npos) << line << ": " << r.err;
        EXPECT_EQ(r.out, "") << line;
    }
}

// A FIFO, a device or a folder given as input is refused at once, exit code 2, never waited on.
TEST(CliConventions, InputsThatAreNoRegularFilesEndAtOnce)
{
    ScopedWorkDir dir;
    const QString fifo = QString::fromStdString(dir.file("fifo.ign"));
    const QString log = QString::fromStdString(dir.file("fifo.ignlog"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(log.toLocal8Bit().constData(), 0600), 0);
    const QString folder = QString::fromStdString(dir.path());
    const QStringList cases[] = {
        { "show", fifo },
        { "show", "/dev/zero", "--json" },
        { "convert", fifo, "out.ign" },
        { "diff", fifo, folder },
        { "render", fifo, "--map", "advance", "-o", "out.png" },
        { "print", fifo, "-o", "out.pdf" },
        { "log-export", log },
        { "log-export", "/dev/zero" },
        { "log-plot", log, "-o", "out.png" },
        { "crate", fifo },
        { "verify", fifo },
        { "program", folder },
    };
    for (const QStringList& args : cases) {
        const CliRun r = RunWithoutDisplay(args);
        const std::string line = args.join(' ').toStdString();
        EXPECT_EQ(r.code, CLI_USAGE) << line << ": " << r.err;
        EXPECT_FALSE(r.err.empty()) << line;
        EXPECT_EQ(r.out, "") << line;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("out.ign"))));
}

// Saving a parameter file or a picture never writes through a link another user put in a shared folder.
TEST(CliConventions, OutputsRefuseALinkOfAnotherUser)
{
    ScopedWorkDir dir;
    const std::string shared = dir.file("shared");
    ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const QString source = QString::fromStdString(dir.file("a.ign"));
    ASSERT_TRUE(WriteIgnFile(source, StartupImage(), IgnUnitInfo {}));
    const std::string victim = dir.file("victim");
    {
        QFile f(QString::fromStdString(victim));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("root only");
    }
    for (const char* name : { "bike.ign", "map.png" }) {
        const std::string link = shared + "/" + name;
        ForeignSymlink planted(victim, link);
        if (!planted.given())
            GTEST_SKIP() << "giving a link to another user needs root";
        const QString out = QString::fromStdString(link);
        const QStringList args = QString(name).endsWith(".ign")
            ? QStringList { "convert", source, out }
            : QStringList { "render", source, "--map", "advance", "-o", out };
        const CliRun r = RunWithoutDisplay(args);
        EXPECT_EQ(r.code, CLI_FAILED) << name << ": " << r.err;
        EXPECT_NE(r.err.find("another user"), std::string::npos) << r.err;
        EXPECT_EQ(dir.read("victim"), "root only");
        ::unlink(link.c_str());
    }
}
