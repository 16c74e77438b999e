#include "CliCommand.h"

#include "CliEachPort.h"
#include "CliHistory.h"
#include "CliJson.h"
#include "CliLinkOptions.h"
#include "CliProgramSignals.h"
#include "CliUnitSession.h"
#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "model/ImageDiff.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cctype>

namespace {

constexpr int DEFAULT_TIMEOUT_MS = 10000;

// The arguments of a command that talks to a unit: the link options and what is left for the
// command. With --each every --port is a port of its own.
struct UnitArgs {
    bool each = false;
    bool json = false;
    PortChoice choice;
    std::vector<PortChoice> ports;
    int timeoutMs = DEFAULT_TIMEOUT_MS;
    std::vector<std::string> rest;
    CliHistory history;
};

bool ParseUnitArgs(const std::vector<std::string>& args, UnitArgs& parsed, CliIo& io)
{
    parsed.rest = args;
    if (!parsed.history.TakeOptions(parsed.rest, io))
        return false;
    parsed.each = CliEachPort::TakeOption(parsed.rest);
    parsed.json = CliJson::TakeOption(parsed.rest);
    if (!parsed.each)
        return TakeLinkOptions(parsed.rest, parsed.choice, &parsed.timeoutMs, io);
    if (!TakeProtocolOptions(parsed.rest, parsed.choice, io)
        || !CliEachPort::TakePorts(parsed.rest, parsed.ports, parsed.timeoutMs, io))
        return false;
    for (PortChoice& port : parsed.ports) {
        port.protocol = parsed.choice.protocol;
        port.baud = parsed.choice.baud;
    }
    return true;
}

int Usage(const char* usage, CliIo& io)
{
    io.err << "usage: vordax4-cli " << usage << "\n";
    return CLI_USAGE;
}

// Runs the unit part of a command on one unit or, with --each, on every port at once.
int RunUnits(const UnitArgs& a, const PortWork& work, CliIo& io)
{
    if (a.each)
        return CliEachPort::Run(a.ports, a.timeoutMs, work, a.json, io);
    CliUnitSession session(a.choice, a.timeoutMs, io);
    PortResult result;
    const bool ok = work(session, result);
    if (!result.message.empty())
        (ok ? io.out : io.err) << result.message << "\n";
    return ok ? CLI_OK : CLI_FAILED;
}

bool OpenFile(const std::string& path, ParamImage& image, CliIo& io,
    IgnCommands::Completeness completeness = IgnCommands::Completeness::Tolerant)
{
    return IgnCommands::Open(CliPath(path), image, io.err, completeness);
}

// The history names a parameter file by its whole path.
std::string HistoryFileName(const std::string& path)
{
    return QFile::encodeName(QFileInfo(CliPath(path)).absoluteFilePath()).toStdString();
}

IgnUnitInfo UnitInfoForFile(const CliUnitSession& session)
{
    IgnUnitInfo info;
    info.connectedPort = session.link.Search().connectedPort.load();
    info.firmwareDate = QString::fromStdString(session.manager.unitInfo.firmwareDate);
    info.firmwareTime = QString::fromStdString(session.manager.unitInfo.firmwareTime);
    info.firmwareVersion = QString::fromStdString(session.manager.unitInfo.name);
    return info;
}

// The file a unit read with --each is written to: the folder, the port and the unit's serial number.
std::string FileOfUnit(const std::string& folder, const CliUnitSession& session, int port)
{
    std::string name = "COM" + std::to_string(port);
    if (!session.manager.unitInfo.serialNumber.empty())
        name += "-" + session.manager.unitInfo.serialNumber;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-')
            c = '_';
    return QFile::encodeName(QDir(CliPath(folder)).filePath(QString::fromStdString(name + ".ign"))).toStdString();
}

// target: the file, or with intoFolder the folder of the unit's file.
bool ReadUnit(CliUnitSession& session, const std::string& target, bool intoFolder, PortResult& result)
{
    if (!session.Read())
        return false;
    const std::string path = intoFolder ? FileOfUnit(target, session, result.port) : target;
    QString error;
    if (!WriteIgnFile(CliPath(path), session.image, UnitInfoForFile(session), &error)) {
        result.message = "read: cannot write " + path + ": " + error.toStdString();
        return false;
    }
    result.message = "written to " + path;
    result.json["file"] = CliPath(path);
    return true;
}

int CountDifferingBytes(const ParamImage& a, const ParamImage& b)
{
    int differing = 0;
    for (int i = 0; i < RS_LEN_EXE; ++i)
        differing += a.Adrb(i) != b.Adrb(i);
    return differing;
}

// After "Verify error !": how much differs, then every difference, the file's value first. They are
// the command's result, so they go where results go.
void PrintDifferences(const std::string& file, const ParamImage& image, const ParamImage& unit,
    const std::vector<ImageDifference>& differences, std::ostream& out)
{
    out << CountDifferingBytes(image, unit) << " of " << RS_LEN_EXE << " bytes of " << file
        << " differ from the unit's configuration (" << file << " -> unit):\n";
    for (const ImageDifference& d : differences)
        out << "  " << ImageDiff::Line(d) << "\n";
}

QJsonObject UnitJson(const CliUnitSession& session)
{
    const UnitInfo& info = session.manager.unitInfo;
    return { { "port", session.link.Search().connectedPort.load() }, { "name", QString::fromStdString(info.name) },
        { "serialNumber", QString::fromStdString(info.serialNumber) } };
}

bool VerifyUnit(
    CliUnitSession& session, const std::string& file, const ParamImage& image, CliIo& io, PortResult& result)
{
    session.image = image;
    const bool ok = session.Verify();
    ParamImage unit;
    const bool known = session.UnitConfiguration(unit);
    const std::vector<ImageDifference> differences
        = known ? ImageDiff::Compare(session.image, unit) : std::vector<ImageDifference> {};
    result.json["connected"] = known;
    result.json["result"] = QString::fromStdString(session.ResultText());
    result.json["differences"] = CliJson::Differences(differences);
    if (!ok && known)
        PrintDifferences(file, session.image, unit, differences, io.out);
    return ok;
}

bool ProgramUnit(CliUnitSession& session, const ParamImage& image, bool changedOnly, PortResult& result)
{
    session.image = image;
    if (!changedOnly)
        return session.Program(false);
    // Only the bytes that differ from the unit's are written, so its configuration is read first.
    if (!session.Connect())
        return false;
    if (session.image == session.manager.unitMirror) {
        result.message = "nothing to program: the unit already holds these settings";
        return true;
    }
    return session.Program(changedOnly);
}

} // namespace

int CliRead(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    if (a.rest.size() != 2 || a.rest[0] != "-o" || (a.json && !a.each))
        return Usage("read -o FILE.ign [--port N[=DEVICE]]... [--timeout SECONDS]\n"
                     "       vordax4-cli read -o FOLDER --each [--json] [--port N[=DEVICE]]... [--timeout SECONDS]",
            io);
    const std::string target = a.rest[1];
    if (a.each && !QDir(CliPath(target)).exists()) {
        io.err << "read: " << target << " is not a folder; with --each each unit's file goes into a folder\n";
        return CLI_USAGE;
    }
    const int code = RunUnits(
        a,
        [&](CliUnitSession& session, PortResult& result) {
            a.history.Attach(
                session, [&] { return HistoryFileName(a.each ? FileOfUnit(target, session, result.port) : target); });
            return ReadUnit(session, target, a.each, result);
        },
        io);
    a.history.Finish(io);
    return code;
}

int CliVerify(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    if (a.rest.size() != 1)
        return Usage("verify FILE.ign [--each] [--json] [--port N[=DEVICE]]... [--timeout SECONDS]", io);
    const std::string file = a.rest[0];
    ParamImage image;
    if (!OpenFile(file, image, io))
        return CliBadInput(io);
    const auto attach = [&](CliUnitSession& s) { a.history.Attach(s, [&] { return HistoryFileName(file); }); };
    if (a.each) {
        const int code = RunUnits(
            a,
            [&](CliUnitSession& s, PortResult& r) {
                attach(s);
                // Standard output is the table of ports, one line each: the differences follow
                // on stderr with the port's other messages.
                CliIo messages { s.io().err, s.io().err };
                return VerifyUnit(s, file, image, messages, r);
            },
            io);
        a.history.Finish(io);
        return code;
    }
    // With --json the document is all that goes to out; the result text is in it.
    CliIo sessionIo { a.json ? io.err : io.out, io.err };
    CliUnitSession session(a.choice, a.timeoutMs, sessionIo);
    PortResult result;
    attach(session);
    const bool ok = VerifyUnit(session, file, image, sessionIo, result);
    a.history.Finish(io);
    if (a.json) {
        QJsonObject doc = result.json;
        doc["file"] = CliPath(file);
        doc["ok"] = ok;
        if (result.json["connected"].toBool())
            doc["unit"] = UnitJson(session);
        CliJson::Print(doc, io.out);
    }
    return ok ? CLI_OK : CLI_FAILED;
}

int CliProgram(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    const bool changedOnly = std::erase(a.rest, "--changed-only") > 0;
    const bool strict = std::erase(a.rest, "--strict") > 0;
    if (a.rest.size() != 1 || (a.json && !a.each))
        return Usage("program FILE.ign [--changed-only] [--strict] [--each [--json]] [--port N[=DEVICE]]... "
                     "[--timeout SECONDS]",
            io);
    ParamImage image;
    if (!OpenFile(a.rest[0], image, io,
            strict ? IgnCommands::Completeness::Strict : IgnCommands::Completeness::Tolerant))
        return CliBadInput(io);
    const CliProgramSignals programSignals;
    const int code = RunUnits(
        a,
        [&](CliUnitSession& s, PortResult& r) {
            a.history.Attach(s, [&] { return HistoryFileName(a.rest[0]); });
            return ProgramUnit(s, image, changedOnly, r);
        },
        io);
    a.history.Finish(io);
    return code;
}

int CliReset(const std::vector<std::string>& args, CliIo& io)
{
    UnitArgs a;
    if (!ParseUnitArgs(args, a, io))
        return CLI_USAGE;
    if (!a.rest.empty() || a.each || a.json)
        return Usage("reset [--port N[=DEVICE]]... [--timeout SECONDS]", io);
    CliUnitSession session(a.choice, a.timeoutMs, io);
    return session.Connect() && session.Reset() ? CLI_OK : CLI_FAILED;
}
