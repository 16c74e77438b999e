#include "CliHistory.h"

#include "CliJson.h"
#include "CliUnitSession.h"
#include "app/SettingsPaths.h"
#include "files/IgnWriter.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryServerUrl.h"
#include "history/HistoryRecord.h"
#include "history/HistoryWriter.h"
#include "lang/LangString.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace {

// The writer waits for other programs up to its busy time-out per event; a run ends in any case.
constexpr int FINISH_WAIT_MS = 60000;
constexpr const char* USAGE = "usage: vordax4-cli history [--unit SERIAL] [--json] [--history FILE|URL]\n"
                              "       vordax4-cli history --export SERIAL --event N -o FILE.ign [--history FILE|URL]\n"
                              "       vordax4-cli history --forget SERIAL [--history FILE|URL]\n"
                              "       vordax4-cli history --sync [--history URL]\n";

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
        { "programVersion", QString::fromStdString(e.programVersion) }, { "bench", QString::fromStdString(e.bench) } };
}

void PrintUnits(HistoryStore& db, bool json, CliIo& io)
{
    const std::vector<HistoryUnit> units = db.Units();
    if (json) {
        QJsonArray list;
        for (const HistoryUnit& u : units)
            list.append(UnitJson(u));
        CliJson::Print({ { "history", db.Location() }, { "units", list }, { "waiting", db.Waiting() } }, io.out);
        return;
    }
    for (const HistoryUnit& u : units)
        io.out << u.id << "\t" << u.SerialText() << "\t" << u.name << "\t" << u.firmware << "\t"
               << LocalTime(u.firstSeenMs).toStdString() << "\t" << LocalTime(u.lastSeenMs).toStdString() << "\t"
               << u.events << " events\n";
}

void PrintEvents(HistoryStore& db, const HistoryUnit& unit, bool json, CliIo& io)
{
    const std::vector<HistoryEvent> events = db.Events(unit.id);
    if (json) {
        QJsonArray list;
        for (const HistoryEvent& e : events)
            list.append(EventJson(e));
        CliJson::Print({ { "unit", UnitJson(unit) }, { "events", list }, { "waiting", db.Waiting() } }, io.out);
        return;
    }
    for (const HistoryEvent& e : events)
        io.out << e.id << "\t" << LocalTime(e.timeMs).toStdString() << "\t" << HistoryKindName(e.kind) << "\t"
               << (e.ok ? "OK" : "FAILED") << "\t" << e.file << "\t" << e.programVersion
               << (e.bench.empty() ? "" : "\t" + e.bench) << "\n";
}

bool Export(HistoryStore& db, const HistoryUnit& unit, const std::string& event, const std::string& file, CliIo& io)
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

void PrintWaiting(int waiting, CliIo& io)
{
    if (waiting > 0)
        io.err << "history: " << waiting << " events of this bench wait to be sent to the history server\n";
}

// Sends the outbox now: fails while the server cannot be reached.
int Sync(HistoryStore& store, CliIo& io)
{
    const bool sent = store.Open() && store.Sync();
    PrintMessages(store.TakeMessages(), io);
    const int waiting = store.Waiting();
    PrintWaiting(waiting, io);
    if (sent)
        io.out << "history: every event of this bench is on the server\n";
    return sent && waiting == 0 ? CLI_OK : CLI_FAILED;
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
    std::string value;
    bool given = false;
    if (!TakeValue(args, "--history", value, given)) {
        io.err << "--history wants the name of the history file or the address of its server\n";
        return false;
    }
    const QString text = QString::fromStdString(value);
    // Only a history in use makes the settings folder. A history named on the command line is
    // used whatever the settings and the environment name.
    if (given && !HistoryServerUrl::IsServerUrl(text)) {
        location_ = { CliPath(value), {}, {} };
        return true;
    }
    if (!enabled_ && !given)
        return true;
    const QString folder = SettingsPaths::Chosen(false).folder();
    location_ = HistoryLocation::Chosen(DefaultPath(io), folder);
    if (!given)
        return true;
    // An address of the settings or the environment that cannot be used is said with the first
    // event, which then waits in the outbox; one given here is refused at once.
    location_ = { location_.file, text, HistoryLocation::BenchOf(folder) };
    QString error;
    if (!HistoryServerUrl::Parse(location_.serverUrl, &error)) {
        io.err << "history: " << error.toStdString() << "\n";
        return false;
    }
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
            writer_ = std::make_unique<HistoryWriter>(location_);
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
        io.err << "history: the history " << location_.file.toStdString() << " stayed busy; events may be missing\n";
    PrintMessages(writer_->TakeMessages(), io);
    if (location_.OnServer())
        PrintWaiting(writer_->Waiting(), io);
    writer_.reset();
}

int CliHistoryCommand(const std::vector<std::string>& arguments, CliIo& io)
{
    std::vector<std::string> args = arguments;
    CliHistory history;
    const bool json = CliJson::TakeOption(args);
    const bool sync = std::erase(args, "--sync") > 0;
    std::string unitText, exportUnit, event, output, forget;
    bool unitGiven = false, exportGiven = false, eventGiven = false, outputGiven = false, forgetGiven = false;
    const bool parsed = history.TakeOptions(args, io) && TakeValue(args, "--unit", unitText, unitGiven)
        && TakeValue(args, "--export", exportUnit, exportGiven) && TakeValue(args, "--event", event, eventGiven)
        && TakeValue(args, "-o", output, outputGiven) && TakeValue(args, "--forget", forget, forgetGiven);
    const int modes = int(unitGiven) + int(exportGiven) + int(forgetGiven) + int(sync);
    if (!parsed || !args.empty() || modes > 1 || exportGiven != eventGiven || exportGiven != outputGiven
        || (json && (exportGiven || forgetGiven || sync))) {
        io.err << USAGE;
        return CLI_USAGE;
    }
    if (sync && !history.location().OnServer()) {
        io.err << "history: --sync needs a history server (--history postgresql://… or VORDAX4_HISTORY_URL)\n";
        return CLI_USAGE;
    }
    const HistoryLocation& location = history.location();
    if (!location.OnServer() && !QFile::exists(history.path())) {
        io.err << "history: no unit history in " << QDir::toNativeSeparators(history.path()).toStdString() << " yet\n";
        if (json && !unitGiven)
            CliJson::Print({ { "history", history.path() }, { "units", QJsonArray() } }, io.out);
        return unitGiven || exportGiven || forgetGiven ? CLI_FAILED : CLI_OK;
    }
    // Only forgetting writes; the rest reads and never waits for a writer.
    const std::unique_ptr<HistoryStore> store = location.NewStore(!forgetGiven);
    if (sync)
        return Sync(*store, io);
    if (!store->Open()) {
        PrintMessages(store->TakeMessages(), io);
        if (location.OnServer())
            PrintWaiting(store->Waiting(), io);
        return CLI_FAILED;
    }
    // This bench's events that waited belong in the listing.
    store->Sync();
    int code = CLI_OK;
    if (modes == 0) {
        PrintUnits(*store, json, io);
    } else {
        const std::string& which = unitGiven ? unitText : exportGiven ? exportUnit : forget;
        const std::optional<HistoryUnit> unit = store->FindUnit(which);
        if (!unit) {
            io.err << "history: no unit " << which << " in the history\n";
            code = CLI_FAILED;
        } else if (unitGiven) {
            PrintEvents(*store, *unit, json, io);
        } else if (exportGiven) {
            code = Export(*store, *unit, event, output, io) ? CLI_OK : CLI_FAILED;
        } else if (store->ForgetUnit(unit->id)) {
            io.out << "forgot unit " << unit->SerialText() << " and its " << unit->events << " events\n";
        } else {
            code = CLI_FAILED;
        }
    }
    PrintMessages(store->TakeMessages(), io);
    if (location.OnServer() && !json)
        PrintWaiting(store->Waiting(), io);
    return code;
}
