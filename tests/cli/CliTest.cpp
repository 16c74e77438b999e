#include "CliCommand.h"

#include "CliRun.h"
#include "TempDir.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

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

TEST(Cli, ArchiveRunsCommandLinesAgainstTheHost)
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

TEST(Cli, ArchiveStopsAtTheFirstFailure)
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
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("cannot open missing.bin"), std::string::npos);
}

namespace {

// Starts the simulated unit's tool; returns the pseudo-terminal it names, empty when it names none.
QString StartUnitTool(QProcess& sim, const QStringList& args)
{
    sim.start(VORDAX4_UNITSIM, args);
    if (!sim.waitForStarted(10000))
        return {};
    QString device;
    for (int i = 0; i < 100 && device.isEmpty(); ++i) {
        sim.waitForReadyRead(100);
        while (sim.canReadLine()) {
            const QString line = QString::fromUtf8(sim.readLine()).trimmed();
            if (line.startsWith("/dev/"))
                device = line;
        }
    }
    return device;
}

} // namespace

TEST(Cli, IdentifyFindsTheSimulatedUnitOnAMappedPort)
{
    QProcess sim;
    const QString device = StartUnitTool(sim, { "--protocol", "IGN100" });
    ASSERT_FALSE(device.isEmpty()) << "the simulated unit names its pseudo-terminal";

    const CliRun found = RunProgram({ "identify", "--port", "7=" + device, "--timeout", "20" });
    EXPECT_EQ(found.code, 0) << found.err;
    EXPECT_EQ(found.out.rfind("COM7\t" + device.toStdString() + "\t", 0), 0u) << found.out;
    EXPECT_NE(found.out.find("protocol IGN100"), std::string::npos) << found.out;
    sim.kill();
    sim.waitForFinished(5000);

    // A device that never existed: the closed pseudo-terminal's name may already belong to a unit of
    // another test running at the same time.
    ScopedWorkDir dir;
    const CliRun none = RunProgram(
        { "identify", "--port", "7=" + QString::fromStdString(dir.file("no-such-tty")), "--timeout", "1" });
    EXPECT_EQ(none.code, 1);
    EXPECT_FALSE(none.err.empty());
    EXPECT_EQ(RunProgram({ "identify", "--timeout", "x" }).code, 2);
}

TEST(Cli, TheUnitToolPullsItsPlugAtTheAskedWriteAndEnds)
{
    ScopedWorkDir dir;
    QProcess sim;
    const QString device = StartUnitTool(sim, { "--unplug-at-write", "1", "--storing-ms", "300" });
    ASSERT_FALSE(device.isEmpty());
    const QString file = QString::fromStdString(dir.file("a.ign"));
    ASSERT_TRUE(WriteIgnFile(file, StartupImage(), IgnUnitInfo {}));
    const CliRun r = RunProgram({ "program", file, "--port", "7=" + device, "--timeout", "20" });
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("the connection with the unit was lost"), std::string::npos) << r.err;
    ASSERT_TRUE(sim.waitForFinished(5000)) << "the tool ends once its plug is pulled";
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_NE(sim.readAllStandardError().indexOf("unplugged as asked"), -1);
}

TEST(Cli, ConvertAndShowParameterFiles)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(WriteIgnFile(QString::fromStdString(dir.file("in.ign")), StartupImage(), IgnUnitInfo {}));
    const CliRun convert = RunProgram({ "convert", QString::fromStdString(dir.file("in.ign")),
        QString::fromStdString(dir.file("out.ign")) });
    EXPECT_EQ(convert.code, 0) << convert.err;
    EXPECT_EQ(dir.read("in.ign"), dir.read("out.ign")) << "a current file converts to itself";
    const CliRun show = RunProgram({ "show", QString::fromStdString(dir.file("out.ign")) });
    EXPECT_EQ(show.code, 0) << show.err;
    EXPECT_FALSE(show.out.empty());
    EXPECT_EQ(RunProgram({ "show", QString::fromStdString(dir.file("missing.ign")) }).code, 2);
    EXPECT_EQ(RunProgram({ "convert", "only-one" }).code, 2);
}

namespace {

// Runs the command line through the shell with the file names as raw bytes, as a script passes
// them; QProcess would hand over arguments in UTF-8 only. Returns the exit code.
int RunRaw(const std::string& args, const std::string& errFile)
{
    const std::string line = std::string("'") + VORDAX4_CLI + "' " + args + " 2>'" + errFile + "'";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadWholeText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

std::vector<std::string> FolderNames(const ScopedWorkDir& dir)
{
    // The raw bytes of the names: Qt's listing would show a byte that is not UTF-8 as U+FFFD.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(Cli, FileNamesTheFileNameEncodingCannotCarryAreRefusedNotRenamed)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(WriteIgnFile(QString::fromStdString(dir.file("in.ign")), StartupImage(), IgnUnitInfo {}));
    QTemporaryDir errDir;
    const std::string err = errDir.filePath("err.txt").toStdString();
    // Raw byte names are put together by hand: a QString on the way would turn 0xFF into U+FFFD.
    const std::string raw = dir.path() + "/raw\xff.ign";
    std::ofstream(raw, std::ios::binary) << ReadWholeText(dir.file("in.ign"));

    EXPECT_EQ(RunRaw("show '" + raw + "' >/dev/null", err), 1);
    EXPECT_NE(ReadWholeText(err).find("file-name encoding cannot carry"), std::string::npos) << ReadWholeText(err);
    EXPECT_EQ(RunRaw("convert in.ign 'out\xff.ign'", err), 1);
    EXPECT_EQ(FolderNames(dir), (std::vector<std::string> { "in.ign", "raw\xff.ign" }))
        << "no output under another name";

    // A name in the encoding, beyond ASCII, is written under exactly that name.
    EXPECT_EQ(RunRaw("convert in.ign 'out\xc3\xa9.ign'", err), 0) << ReadWholeText(err);
    EXPECT_EQ(ReadWholeText(dir.path() + "/out\xc3\xa9.ign"), ReadWholeText(dir.file("in.ign")));
}

TEST(Cli, OutputThatCannotBeWrittenFailsTheCommand)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(WriteIgnFile(QString::fromStdString(dir.file("in.ign")), StartupImage(), IgnUnitInfo {}));
    for (const char* command : { "show in.ign", "help" }) {
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(VORDAX4_CLI, QString(command).split(' '));
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << command;
        EXPECT_EQ(p.exitCode(), 1) << command;
        EXPECT_TRUE(p.readAllStandardError().contains("cannot write to standard output")) << command;
    }
}
