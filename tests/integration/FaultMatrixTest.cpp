#include "../cli/CliRun.h"
#include "../cli/CliTestSupport.h"
#include "link/ProtocolTable.h"
#include "unitsim/UnitSim.h"

#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <future>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The real vordax4-cli against simulated units that misbehave, every command of a protocol and
// fault at once (each on its own unit), so the whole table stays within the suite's time. Every
// outcome must keep the command's promise: success only when the unit holds the file (Program) or
// the file holds the unit (Read, Verify); a failure exits non-zero with a message, leaves an
// existing output file as it was, and the same command then succeeds on a healthy unit.

enum class Fault { None, Drops, Corrupted, Delayed, Echo, Silent, Unplugged };
enum class Command { Read, Verify, ProgramAll, ProgramChanged };
enum class Outcome { Succeeds, Fails, Either };

constexpr std::array COMMANDS { Command::Read, Command::Verify, Command::ProgramAll, Command::ProgramChanged };

// A sanitizer build runs only the cases marked core: every protocol and every fault once.
struct MatrixCase {
    int32_t protocol;
    Fault fault;
    bool core;
};

void PrintTo(const MatrixCase& c, std::ostream* os);

struct FaultInfo {
    Fault fault;
    const char* name;
    Outcome outcome;
};

// What each fault lets a command end with.
constexpr FaultInfo FAULTS[] = {
    { Fault::None, "none", Outcome::Succeeds },
    { Fault::Drops, "drops", Outcome::Either },
    { Fault::Corrupted, "corrupted", Outcome::Either },
    { Fault::Delayed, "delayed", Outcome::Either },
    { Fault::Echo, "echo", Outcome::Fails },
    { Fault::Silent, "silent", Outcome::Fails },
    { Fault::Unplugged, "unplugged", Outcome::Fails },
};

const FaultInfo& InfoOf(Fault fault)
{
    for (const FaultInfo& f : FAULTS)
        if (f.fault == fault)
            return f;
    return FAULTS[0];
}

void PrintTo(const MatrixCase& c, std::ostream* os)
{
    *os << ProtocolName(c.protocol) << " " << InfoOf(c.fault).name;
}

const char* NameOf(Command c)
{
    static const char* const names[] = { "read", "verify", "program all", "program changed bytes" };
    return names[static_cast<int>(c)];
}

// The frames a transfer of [start, start + length) takes: fixed blocks on the IGN family, blocks of
// at most bytesPerFrame from the first byte on the WCOM family.
int FramesFor(int32_t protocol, int start, int length)
{
    const ProtocolInfo* info = FindProtocol(protocol);
    if (info->wcomFamily) {
        const int perFrame = UnitSimOptions {}.maxFrameLength - 16;
        return (length + perFrame - 1) / perFrame;
    }
    return (start + length - 1) / info->blockSize - start / info->blockSize + 1;
}

// Configuration reads after connecting: four parts of 100 bytes, read twice.
const char* const FAILURE_TEXTS[] = {
    "no unit found within",
    "the connection with the unit was lost",
    "the unit's configuration could not be read",
    "the unit did not finish the command",
    "the command did not end as expected",
    "Reference read error !",
    "Read error !",
    "Verify error !",
};

bool HasFailureText(const std::string& err)
{
    for (const char* text : FAILURE_TEXTS)
        if (Has(err, text))
            return true;
    return false;
}

std::string ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

struct FaultMatrix : ::testing::TestWithParam<MatrixCase> {
    ScopedWorkDir dir;
    ParamImage unitImage = FileImage(3, dir); // what every unit holds at the start
    ParamImage fileImage = FileImage(11, dir); // what Program all writes
    ParamImage changedImage; // the unit's image with a few bytes in every part changed
    std::string previousOutput = "the output file as it was before the command\n";

    void SetUp() override
    {
        ParamImage mixed = unitImage;
        for (int a = 0; a < RS_LEN_EXE; ++a)
            if (a % 100 < 10)
                mixed.Adrb(a) = fileImage.Adrb(a);
        ValidateImage(mixed);
        changedImage = RoundTrip(mixed, "mixed.ign");
        ASSERT_NE(changedImage, unitImage);
        ASSERT_NE(fileImage, unitImage);
        WriteFile("unit.ign", unitImage);
        WriteFile("all.ign", fileImage);
        WriteFile("changed.ign", changedImage);
    }
    QString File(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    void WriteFile(const std::string& name, const ParamImage& image) const
    {
        ASSERT_TRUE(WriteIgnFile(File(name), image, IgnUnitInfo {}));
    }
    ParamImage RoundTrip(const ParamImage& image, const std::string& name) const
    {
        WriteIgnFile(File(name), image, IgnUnitInfo {});
        ParamImage opened;
        std::ostringstream err;
        IgnCommands::Open(File(name), opened, err);
        return opened;
    }
    std::string OutputName(Command c, bool healthy) const
    {
        return std::string("read-") + (healthy ? "healthy" : "faulty") + std::to_string(static_cast<int>(c)) + ".ign";
    }

    // Shares and delays as a flaky cable gives them: a block fails only when all three attempts
    // are hit, so most commands still succeed after retries. 380 ms is just inside the unit's 400 ms
    // answer time. A pulled plug cuts the command's own transfer in its middle.
    UnitSimOptions Options(Command c, Fault fault) const
    {
        UnitSimOptions o;
        o.protocol = GetParam().protocol;
        o.storingMs = 300;
        o.seed = uint32_t(GetParam().protocol * 10 + static_cast<int>(c) + 1);
        switch (fault) {
        case Fault::None:
            break;
        case Fault::Drops:
            o.dropShare = 0.1;
            break;
        case Fault::Corrupted:
            o.corruptShare = 0.1;
            break;
        case Fault::Delayed:
            o.delayMs = 380;
            o.delayShare = 0.1;
            break;
        case Fault::Echo:
            o.echo = true;
            break;
        case Fault::Silent:
            o.silent = true;
            break;
        case Fault::Unplugged: {
            const int32_t p = o.protocol;
            const int halfRead = FramesFor(p, 0, RS_LEN_EXE) / 2 + 1;
            if (c == Command::Read || c == Command::Verify)
                // Connecting reads only the reference block: the command's first read is cut halfway.
                o.unplugAtRead = halfRead;
            else
                o.unplugAtWrite = c == Command::ProgramAll ? halfRead : 2;
            break;
        }
        }
        return o;
    }

    QStringList Arguments(Command c, const UnitSim& unit, Fault fault, bool healthy) const
    {
        QStringList args;
        switch (c) {
        case Command::Read:
            args = { "read", "-o", File(OutputName(c, healthy)) };
            break;
        case Command::Verify:
            args = { "verify", File("unit.ign") };
            break;
        case Command::ProgramAll:
            args = { "program", File("all.ign") };
            break;
        case Command::ProgramChanged:
            args = { "program", File("changed.ign"), "--changed-only" };
            break;
        }
        // A unit that cannot be found is given up on soon; a unit that answers has time for the
        // whole search table.
        const bool neverFound = fault == Fault::Echo || fault == Fault::Silent;
        return args << "--port" << "7=" + QString::fromStdString(unit.DevicePath()) << "--timeout"
                    << (neverFound ? "2" : "30");
    }

    // Runs the commands at once, each against its own unit, and returns what each run left.
    std::vector<CliRun> RunAll(const std::vector<Command>& commands, const std::vector<std::unique_ptr<UnitSim>>& units,
        Fault fault, bool healthy)
    {
        std::vector<std::future<CliRun>> runs;
        for (Command c : commands) {
            if (healthy)
                QFile::remove(File(OutputName(c, true)));
            else {
                QFile out(File(OutputName(c, false)));
                EXPECT_TRUE(out.open(QIODevice::WriteOnly));
                out.write(previousOutput.c_str());
            }
            const QStringList args = Arguments(c, *units[static_cast<size_t>(c)], fault, healthy);
            runs.push_back(std::async(std::launch::async, [args] { return RunProgram(args); }));
        }
        std::vector<CliRun> results;
        for (auto& r : runs)
            results.push_back(r.get());
        return results;
    }

    // The unit a failed command left behind, back to health: the same unit on the same line with
    // its faults switched off, or, where it was pulled out, a new one holding what the cut command
    // left in it.
    void Heal(std::unique_ptr<UnitSim>& unit, Command c)
    {
        if (!unit->Unplugged()) {
            unit->SetFaults(0, 0, 1);
            unit->SetEcho(false);
            unit->SetSilent(false);
            unit->SetDelay(0);
            return;
        }
        const auto left = unit->Configuration();
        unit->Stop();
        unit = std::make_unique<UnitSim>(Options(c, Fault::None));
        ASSERT_TRUE(unit->Start());
        unit->SetConfiguration(left);
    }

    // What the unit must hold or the output must be after a successful run.
    ParamImage Promised(Command c) const
    {
        return c == Command::ProgramAll ? fileImage : c == Command::ProgramChanged ? changedImage : unitImage;
    }

    // Checks one run; returns whether it succeeded.
    bool CheckRun(Command c, const CliRun& r, const UnitSim& unit, bool healthy)
    {
        SCOPED_TRACE(std::string(NameOf(c)) + (healthy ? " on a healthy unit" : "") + "\nstdout:\n" + r.out
            + "stderr:\n" + r.err);
        EXPECT_NE(r.code, -1) << "the command crashed or hung";
        const bool ok = r.code == 0;
        const std::string output = ReadAll(File(OutputName(c, healthy)));
        if (ok) {
            if (c == Command::Read) {
                ParamImage read;
                std::ostringstream err;
                EXPECT_TRUE(IgnCommands::Open(File(OutputName(c, healthy)), read, err)) << err.str();
                EXPECT_EQ(read.bytes(), unit.Configuration()) << "the file holds what the unit holds";
            } else
                EXPECT_EQ(unit.Configuration(), Promised(c).bytes()) << "the unit holds the file";
            return true;
        }
        EXPECT_TRUE(HasFailureText(r.err)) << "a failure says why";
        EXPECT_FALSE(Has(r.out, ": OK")) << "a failure is not shown as success";
        if (c == Command::Read && !healthy) {
            EXPECT_EQ(output, previousOutput) << "a failed read leaves the output file alone";
        }
        return false;
    }
};

TEST_P(FaultMatrix, EveryCommandKeepsItsPromise)
{
    const Fault fault = GetParam().fault;
    const Outcome expected = InfoOf(fault).outcome;
    std::vector<std::unique_ptr<UnitSim>> units;
    for (Command c : COMMANDS) {
        units.push_back(std::make_unique<UnitSim>(Options(c, fault)));
        ASSERT_TRUE(units.back()->Start());
        units.back()->SetConfiguration(unitImage.bytes());
    }
    const std::vector<Command> all(COMMANDS.begin(), COMMANDS.end());
    const std::vector<CliRun> runs = RunAll(all, units, fault, false);

    // A command that succeeded has shown the healthy path already; the others are run again.
    std::vector<Command> failed;
    std::string outcomes;
    for (Command c : COMMANDS) {
        const size_t i = static_cast<size_t>(c);
        const bool ok = CheckRun(c, runs[i], *units[i], false);
        outcomes += std::string(outcomes.empty() ? "" : ", ") + NameOf(c) + (ok ? " ok" : " failed");
        if (expected != Outcome::Either) {
            EXPECT_EQ(ok, expected == Outcome::Succeeds) << NameOf(c) << "\nstderr:\n" << runs[i].err;
        }
        if (!ok) {
            failed.push_back(c);
            Heal(units[i], c);
        }
    }
    // The outcomes, for the record of a run: which faults the commands rode out.
    std::printf("[ outcome  ] %s %s: %s\n", ProtocolName(GetParam().protocol), InfoOf(fault).name, outcomes.c_str());
    const std::vector<CliRun> again = RunAll(failed, units, Fault::None, true);
    for (size_t k = 0; k < failed.size(); ++k) {
        const Command c = failed[k];
        EXPECT_TRUE(CheckRun(c, again[k], *units[static_cast<size_t>(c)], true))
            << NameOf(c) << "\nstderr:\n" << again[k].err;
    }
}

std::vector<MatrixCase> AllCases()
{
    const auto protocols = Protocols();
    const int protocolCount = int(protocols.size());
    std::vector<MatrixCase> cases;
    for (int p = 0; p < protocolCount; ++p)
        for (int f = 0; f < int(std::size(FAULTS)); ++f)
            // A diagonal: the core cases meet every protocol and every fault at least once.
            cases.push_back({ protocols[size_t(p)].id, FAULTS[f].fault, f % protocolCount == p });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultMatrix, ::testing::ValuesIn(AllCases()), [](const auto& info) {
    return std::string(ProtocolName(info.param.protocol)) + "_" + InfoOf(info.param.fault).name
        + (info.param.core ? "_core" : "");
});

} // namespace
