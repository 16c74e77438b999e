#include "CliHistory.h"

#include "CliJson.h"
#include "CliUnitSession.h"
#include "app/SettingsPaths.h"
#include "files/IgnWriter.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryRecord.h"
#include "history/HistoryWriter.h"
#include "lang/LangString.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace {

// The writer waits for other programs up to its busy time-out per event; a run ends in any case.
constexpr int FINISH_WAIT_MS = 60000;
constexpr const char* USAGE = "usage: vordax4-cli history [--unit SERIAL] [--json] [--history FILE]\n"
                              "       vordax4-cli history --export SERIAL --event N -o FILE.ign [--history FILE]\n"
                              "       vordax4-cli history --forget SERIAL [--history FILE]\n";

// Takes "name VALUE" out of args; false when the name is there without a value.
bool TakeValue(std::vector<std::string>& args, const std::string& name, std::string& value, bool& given)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name)
            continue;
        if (i + 1 >= args.size())
            return false;
        value = args[i + 1];
        given = true;
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return true;
    }
    return true;
}

QString IsoTime(int64_t ms) { return QDateTime::fromMSecsSinceEpoch(ms).toUTC().toString(Qt::ISODate); }

QString LocalTime(int64_t ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
}

QJsonObject UnitJson(const HistoryUnit& u)
{
    return { { "number", qint64(u.id) }, { "serialNumber", QString::fromStdString(u.SerialText()) },
        { "noSerialNumber", u.noSerialNumber() }, { "name", QString::fromStdString(u.name) },
        { "firmware", QString::fromStdString(u.firmware) }, { "firstSeen", IsoTime(u.firstSeenMs) },
        { "lastSeen", IsoTime(u.lastSeenMs) }, { "events", u.events } };
}

QJsonObject EventJson(const HistoryEvent& e)
{
    return { { "event", qint64(e.id) }, { "time", IsoTime(e.timeMs) }, { "kind", HistoryKindName(e.kind) },
        { "ok", e.ok }, { "file", QString::fromStdString(e.file) }, { "configuration", e.hasConfiguration },
        { "programVersion", QString::fromStdString(e.programVersion) } };
}

void PrintUnits(HistoryDatabase& db, bool json, CliIo& io)
{
    const std::vector<HistoryUnit> units = db.Units();
    if (json) {
        QJsonArray list;
        for (const HistoryUnit& u : units)
            list.append(UnitJson(u));
        CliJson::Print({ { "history", db.path() }, { "units", list } }, io.out);
        return;
    }
    for (const HistoryUnit& u : units)
        io.out << u.id << "\t" << u.SerialText() << "\t" << u.name << "\t" << u.firmware << "\t"
               << LocalTime(u.firstSeenMs).toStdString() << "\t" << LocalTime(u.lastSeenMs).toStdString() << "\t"
               << u.events << " events\n";
}

void PrintEvents(HistoryDatabase& db, const HistoryUnit& unit, bool json, CliIo& io)
{
    const std::vector<HistoryEvent> events = db.Events(unit.id);
    if (json) {
        QJsonArray list;
        for (const HistoryEvent& e : events)
            list.append(EventJson(e));
        CliJson::Print({ { "unit", UnitJson(unit) }, { "events", list } }, io.out);
        return;
    }
    for (const HistoryEvent& e : events)
        io.out << e.id << "\t" << LocalTime(e.timeMs).toStdString() << "\t" << HistoryKindName(e.kind) << "\t"
               << (e.ok ? "OK" : "FAILED") << "\t" << e.file << "\t" << e.programVersion << "\n";
}

bool Export(HistoryDatabase& db, const HistoryUnit& unit, const std::string& event, const std::string& file, CliIo& io)
{
    bool number = false;
    const int64_t id = QString::fromStdString(event).toLongLong(&number);
    ParamImage image;
    int64_t owner = 0;
    if (!number || !db.Configuration(id, image, &owner) || owner != unit.id) {
        io.err << "history: unit " << unit.SerialText() << " has no event " << event << " with a configuration\n";
        return false;
    }
    QString error;
    if (!WriteIgnFile(CliPath(file), image, IgnUnitInfo {}, &error)) {
        io.err << "history: cannot write " << file << ": " << error.toStdString() << "\n";
        return false;
    }
    io.out << "written to " << file << "\n";
    return true;
}

void PrintMessages(const std::vector<std::string>& messages, CliIo& io)
{
    for (const std::string& m : messages)
        io.err << "history: " << m << "\n";
}

} // namespace

CliHistory::CliHistory() = default;

CliHistory::~CliHistory() = default;

QString CliHistory::DefaultPath(CliIo& io)
{
    // The first run after an update moves the settings and history of the old folder.
    const SettingsPaths paths = SettingsPaths::Chosen();
    if (const std::string moved = paths.MovedNote(); !moved.empty())
        io.err << LangText(moved) << "\n";
    return paths.historyFile();
}

bool CliHistory::TakeOptions(std::vector<std::string>& args, CliIo& io)
{
    enabled_ = std::erase(args, "--no-history") == 0;
    std::string file;
    bool given = false;
    if (!TakeValue(args, "--history", file, given)) {
        io.err << "--history wants the name of the history file\n";
        return false;
    }
    // Only a history in use makes the settings folder.
    if (given)
        path_ = CliPath(file);
    else if (enabled_)
        path_ = DefaultPath(io);
    return true;
}

void CliHistory::Attach(CliUnitSession& session, std::function<std::string()> file)
{
    if (!enabled_)
        return;
    HistoryWriter* writer = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (!writer_)
            writer_ = std::make_unique<HistoryWriter>(path_);
        writer = writer_.get();
    }
    session.onCommandEnded
        = [writer, &session, file](ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit) {
              if (kind != ConnectionHost::CommandConnect)
                  writer->Record(HistoryRecord::Make(kind, ok, unit, session.manager.unitInfo, file()));
          };
}

void CliHistory::Finish(CliIo& io)
{
    if (!writer_)
        return;
    if (!writer_->WaitIdle(FINISH_WAIT_MS))
        io.err << "history: the history file " << path_.toStdString() << " stayed busy; events may be missing\n";
    PrintMessages(writer_->TakeMessages(), io);
    writer_.reset();
}

int CliHistoryCommand(const std::vector<std::string>& arguments, CliIo& io)
{
    std::vector<std::string> args = arguments;
    CliHistory history;
    const bool json = CliJson::TakeOption(args);
    std::string unitText, exportUnit, event, output, forget;
    bool unitGiven = false, exportGiven = false, eventGiven = false, outputGiven = false, forgetGiven = false;
    const bool parsed = history.TakeOptions(args, io) && TakeValue(args, "--unit", unitText, unitGiven)
        && TakeValue(args, "--export", exportUnit, exportGiven) && TakeValue(args, "--event", event, eventGiven)
        && TakeValue(args, "-o", output, outputGiven) && TakeValue(args, "--forget", forget, forgetGiven);
    const int modes = int(unitGiven) + int(exportGiven) + int(forgetGiven);
    if (!parsed || !args.empty() || modes > 1 || exportGiven != eventGiven || exportGiven != outputGiven
        || (json && (exportGiven || forgetGiven))) {
        io.err << USAGE;
        return CLI_USAGE;
    }
    if (!QFile::exists(history.path())) {
        io.err << "history: no unit history in " << QDir::toNativeSeparators(history.path()).toStdString() << " yet\n";
        if (json && !unitGiven)
            CliJson::Print({ { "history", history.path() }, { "units", QJsonArray() } }, io.out);
        return unitGiven || exportGiven || forgetGiven ? CLI_FAILED : CLI_OK;
    }
    // Only forgetting writes; the rest reads and never waits for a writer.
    HistoryDatabase db(history.path(), forgetGiven ? HistoryDatabase::Access::ReadWrite : HistoryDatabase::Access::ReadOnly);
    if (!db.Open()) {
        PrintMessages(db.TakeMessages(), io);
        return CLI_FAILED;
    }
    int code = CLI_OK;
    if (modes == 0) {
        PrintUnits(db, json, io);
    } else {
        const std::string& which = unitGiven ? unitText : exportGiven ? exportUnit : forget;
        const std::optional<HistoryUnit> unit = db.FindUnit(which);
        if (!unit) {
            io.err << "history: no unit " << which << " in the history\n";
            code = CLI_FAILED;
        } else if (unitGiven) {
            PrintEvents(db, *unit, json, io);
        } else if (exportGiven) {
            code = Export(db, *unit, event, output, io) ? CLI_OK : CLI_FAILED;
        } else if (db.ForgetUnit(unit->id)) {
            io.out << "forgot unit " << unit->SerialText() << " and its " << unit->events << " events\n";
        } else {
            code = CLI_FAILED;
        }
    }
    PrintMessages(db.TakeMessages(), io);
    return code;
}
