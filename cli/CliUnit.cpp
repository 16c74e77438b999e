#include "CliCommand.h"

#include "CliJson.h"
#include "CliLinkOptions.h"
#include "CliUnitSession.h"
#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "model/ImageDiff.h"

#include <QString>

namespace {

constexpr int DEFAULT_TIMEOUT_MS = 10000;

// The arguments of a command that talks to a unit: the link options and what is left for the command.
struct UnitArgs {
    PortChoice choice;
    int timeoutMs = DEFAULT_TIMEOUT_MS;
    std::vector<std::string> rest;
};

bool ParseUnitArgs(const std::vector<std::string>& args, UnitArgs& parsed, CliIo& io)
{
    parsed.rest = args;
    return TakeLinkOptions(parsed.rest, parsed.choice, &parsed.timeoutMs, io);
}

int Usage(const char* usage, CliIo& io)
{
    io.err << "usage: vordax4-cli " << usage << "\n";
    return CLI_USAGE;
}

IgnUnitInfo UnitInfoForFile(const CliUnitSession& session)
{
    IgnUnitInfo info;
    info.connectedPort = session.link.connectedPort.load();
    info.firmwareDate = QString::fromStdString(session.manager.unitInfo.firmwareDate);
    info.firmwareTime = QString::fromStdString(session.manager.unitInfo.firmwareTime);
    info.firmwareVersion = QString::fromStdString(session.manager.unitInfo.name);
    return info;
}

int CountDifferingBytes(const ParamImage& a, const ParamImage& b)
{
    int differing = 0;
    for (int i = 0; i < RS_LEN_EXE; ++i)
        differing += a.Adrb(i) != b.Adrb(i);
    return differing;
}

// After "Verify error !": how much differs, then every difference, the file's value first.
void PrintDifferences(const std::string& file, const ParamImage& image, const ParamImage& unit,
    const std::vector<ImageDifference>& differences, std::ostream& err)
{
    err << CountDifferingBytes(image, unit) << " of " << RS_LEN_EXE << " bytes of " << file
        << " differ from the unit's configuration (" << file << " -> unit):\n";
    for (const ImageDifference& d : differences)
        err << "  " << ImageDiff::Line(d) << "\n";
}

QJsonObject UnitJson(const CliUnitSession& session)
{
    const UnitInfo& info = session.manager.unitInfo;
    return { { "port", session.link.connectedPort.load() }, { "name", QString::fromStdString(info.name) },
        { "serialNumber", QString::fromStdString(info.serialNumber) } };
}

QJsonObject VerifyJson(const std::string& file, const CliUnitSession& session, bool ok, bool known,
    const std::vector<ImageDifference>& differences)
{
    QJsonObject o { { "file", QString::fromStdString(file) }, { "ok", ok }, { "connected", known } };
    if (!known)
        return o;
    o["unit"] = UnitJson(session);
    o["result"] = QString::fromStdString(session.ResultText());
    o["differences"] = CliJson::Differences(differences);
    return o;
}

} // namespace

int CliRead(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    if (a.rest.size() != 2 || a.rest[0] != "-o")
        return Usage("read -o FILE.ign [--port N[=DEVICE]]... [--timeout SECONDS]", io);
    CliUnitSession session(a.choice, a.timeoutMs, io);
    if (!session.Connect() || !session.Read())
        return CLI_FAILED;
    QString error;
    const QString path = QString::fromStdString(a.rest[1]);
    if (!WriteIgnFile(path, session.image, UnitInfoForFile(session), &error)) {
        io.err << "read: cannot write " << a.rest[1] << ": " << error.toStdString() << "\n";
        return CLI_FAILED;
    }
    io.out << "written to " << a.rest[1] << "\n";
    return CLI_OK;
}

int CliVerify(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    const bool json = CliJson::TakeOption(a.rest);
    if (a.rest.size() != 1)
        return Usage("verify FILE.ign [--json] [--port N[=DEVICE]]... [--timeout SECONDS]", io);
    // With --json the document is all that goes to out; the result text is in it.
    CliIo sessionIo { json ? io.err : io.out, io.err };
    CliUnitSession session(a.choice, a.timeoutMs, sessionIo);
    if (!IgnCommands::Open(QString::fromStdString(a.rest[0]), session.image, io.err))
        return CLI_FAILED;
    const bool connected = session.Connect();
    const bool ok = connected && session.Verify();
    ParamImage unit;
    const bool known = connected && session.UnitConfiguration(unit);
    const std::vector<ImageDifference> differences
        = known ? ImageDiff::Compare(session.image, unit) : std::vector<ImageDifference> {};
    if (json)
        CliJson::Print(VerifyJson(a.rest[0], session, ok, known, differences), io.out);
    else if (!ok && known)
        PrintDifferences(a.rest[0], session.image, unit, differences, io.err);
    return ok ? CLI_OK : CLI_FAILED;
}

int CliProgram(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    bool changedOnly = false;
    std::vector<std::string> files;
    for (const std::string& s : a.rest) {
        if (s == "--changed-only")
            changedOnly = true;
        else
            files.push_back(s);
    }
    if (files.size() != 1)
        return Usage("program FILE.ign [--changed-only] [--port N[=DEVICE]]... [--timeout SECONDS]", io);
    CliUnitSession session(a.choice, a.timeoutMs, io);
    if (!IgnCommands::Open(QString::fromStdString(files[0]), session.image, io.err))
        return CLI_FAILED;
    if (!session.Connect())
        return CLI_FAILED;
    if (changedOnly && session.image == session.manager.UnitMirror) {
        io.out << "nothing to program: the unit already holds the settings of " << files[0] << "\n";
        return CLI_OK;
    }
    return session.Program(changedOnly) ? CLI_OK : CLI_FAILED;
}

int CliReset(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    if (!a.rest.empty())
        return Usage("reset [--port N[=DEVICE]]... [--timeout SECONDS]", io);
    CliUnitSession session(a.choice, a.timeoutMs, io);
    return session.Connect() && session.Reset() ? CLI_OK : CLI_FAILED;
}
