#include "CliCommand.h"

#include "TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the real executable, as a script would.
CliRun RunProgram(const QStringList& args)
{
    QProcess p;
    p.start(VORDAX4_CLI, args);
    CliRun r;
    if (!p.waitForFinished(30000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

} // namespace

TEST(Cli, HelpListsEveryCommandOfTheTable)
{
    const CliRun r = RunProgram({ "help" });
    EXPECT_EQ(r.code, 0);
    for (const CliCommand& c : CliCommands())
        EXPECT_NE(r.out.find(std::string("  ") + c.name + " "), std::string::npos) << c.name;
    EXPECT_TRUE(r.err.empty());
    const CliRun one = RunProgram({ "help", "crate" });
    EXPECT_EQ(one.code, 0);
    EXPECT_EQ(one.out.rfind("usage: vordax4-cli crate HOST", 0), 0u) << one.out;
}

TEST(Cli, WrongUsageGoesToStandardErrorWithExitCode2)
{
    for (const QStringList& args : { QStringList {}, QStringList { "frobnicate" }, QStringList { "crate" } }) {
        const CliRun r = RunProgram(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(Cli, CrateRunsCommandLinesAgainstTheHost)
{
    ScopedWorkDir dir;
    {
        QFile host(QString::fromStdString(dir.file("host.bin")));
        ASSERT_TRUE(host.open(QIODevice::WriteOnly));
        host.write("program bytes");
    }
    CliRun r = RunProgram({ "crate", "host.bin", "MKDIR docs", "SET docs\\a.txt \"hi there\"", "SAVE" });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
        "MKDIR docs\n (directory created)\n"
        "SET docs\\a.txt \"hi there\"\n (file rewritten)\n"
        "SAVE\n (stored 166 bytes - 2 items)\n");
    EXPECT_EQ(dir.read("host.bin").substr(0, 13), "program bytes");

    r = RunProgram({ "crate", "host.bin" });
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "\\docs\\\n\\docs\\a.txt  8 bytes, 8 stored\n");

    r = RunProgram({ "crate", "host.bin", "EXPORT docs\\a.txt \"\"" });
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(dir.read("a.txt"), "hi there");
}

TEST(Cli, CrateStopsAtTheFirstFailure)
{
    ScopedWorkDir dir;
    QFile(QString::fromStdString(dir.file("host.bin"))).open(QIODevice::WriteOnly);
    CliRun r = RunProgram({ "crate", "host.bin", "EXPORT nothing \"\"", "SET x y" });
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "EXPORT nothing \"\"\n (error)\n");
    EXPECT_NE(r.err.find("EXPORT nothing"), std::string::npos);

    r = RunProgram({ "crate", "host.bin", "EXTRACT x" });
    EXPECT_EQ(r.code, 1);

    r = RunProgram({ "crate", "missing.bin", "SAVE" });
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("cannot open missing.bin"), std::string::npos);
}
