#include "history/HistoryServer.h"

#include "history/HistoryRows.h"
#include "lang/LangQString.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <span>

namespace {

constexpr const char* UNREACHABLE = "###The history server %1 cannot be reached (%2). The events of this bench wait "
                                    "here and are sent when the server answers again.##Der Historienserver %1 ist nicht "
                                    "erreichbar (%2). Die Ereignisse dieses Arbeitsplatzes warten hier und werden "
                                    "gesendet, sobald der Server wieder antwortet.##Server historie %1 není dostupný "
                                    "(%2). Události tohoto pracoviště čekají zde a budou odeslány, jakmile server opět "
                                    "odpoví.";
constexpr const char* FAILED = "###The history server %1 could not be used: %2##Der Historienserver %1 konnte nicht "
                               "benutzt werden: %2##Server historie %1 nelze použít: %2";

// The server's own words, on one line; the driver's where the server said nothing.
QString Reason(const QSqlError& error)
{
    const QString said = error.databaseText().simplified();
    return said.isEmpty() ? error.driverText().simplified() : said;
}
constexpr const char* NO_DRIVER = "###the PostgreSQL driver of Qt (libqt6sql6-psql) is not installed##der "
                                  "PostgreSQL-Treiber von Qt (libqt6sql6-psql) ist nicht installiert##ovladač "
                                  "PostgreSQL pro Qt (libqt6sql6-psql) není nainstalován";
constexpr const char* NEWER = "###its history was made by a newer version of the program (schema %1, this one knows "
                              "%2); the events of this bench wait until the program is updated.##seine Historie "
                              "stammt von einer neueren Programmversion (Schema %1, diese kennt %2); die Ereignisse "
                              "dieses Arbeitsplatzes warten, bis das Programm aktualisiert ist.##jeho historii "
                              "vytvořila novější verze programu (schéma %1, tato zná %2); události tohoto pracoviště "
                              "čekají na aktualizaci programu.";

// The key of the advisory lock under which a bench makes or migrates the tables.
constexpr qint64 SCHEMA_LOCK = 0x56445834; // "VDX4"

// MIGRATIONS[n] brings the tables from schema version n to n + 1.
constexpr const char* TO_VERSION_1[] = {
    "CREATE TABLE units (id BIGSERIAL PRIMARY KEY, identity TEXT NOT NULL UNIQUE, serial TEXT NOT NULL, name TEXT "
    "NOT NULL, firmware TEXT NOT NULL, first_seen BIGINT NOT NULL, last_seen BIGINT NOT NULL)",
    "CREATE TABLE events (id BIGSERIAL PRIMARY KEY, uid TEXT NOT NULL UNIQUE, unit BIGINT NOT NULL REFERENCES "
    "units(id) ON DELETE CASCADE, time BIGINT NOT NULL, kind INTEGER NOT NULL, ok BOOLEAN NOT NULL, file TEXT NOT "
    "NULL, configuration BYTEA, program TEXT NOT NULL, bench TEXT NOT NULL)",
    "CREATE INDEX events_of_unit ON events (unit, time)",
};
constexpr std::span<const char* const> MIGRATIONS[] = { TO_VERSION_1 };
static_assert(std::size(MIGRATIONS) == HistoryServer::SCHEMA_VERSION);

// A unit seen again takes the name and firmware of its latest event, also when an older event
// arrives late from a bench's outbox.
constexpr const char* UPSERT_UNIT
    = "INSERT INTO units (identity, serial, name, firmware, first_seen, last_seen) VALUES (?, ?, ?, ?, ?, ?) "
      "ON CONFLICT (identity) DO UPDATE SET "
      "name = CASE WHEN excluded.last_seen >= units.last_seen THEN excluded.name ELSE units.name END, "
      "firmware = CASE WHEN excluded.last_seen >= units.last_seen THEN excluded.firmware ELSE units.firmware END, "
      "first_seen = least(units.first_seen, excluded.first_seen), "
      "last_seen = greatest(units.last_seen, excluded.last_seen) RETURNING id";
// An event the server has already (sent twice) is kept once.
constexpr const char* INSERT_EVENT
    = "INSERT INTO events (uid, unit, time, kind, ok, file, configuration, program, bench) "
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (uid) DO NOTHING";
constexpr const char* EVENTS = "SELECT id, time, kind, ok, file, configuration IS NOT NULL, program, bench FROM events "
                               "WHERE unit = ? ORDER BY time DESC, id DESC";

QString NewConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QString("vordax4-history-server-%1").arg(counter.fetch_add(1));
}

// The server refuses a text with a NUL character, which would keep the event in the outbox for
// ever; a unit's texts come from its own memory and may hold one.
QVariant Str(const std::string& text) { return QString::fromStdString(text).remove(QChar(0)); }

// The unit of each identity in the batch, as its latest event names it, over all its events' times.
std::map<std::string, HistoryUnit> UnitsOf(const std::vector<HistoryRecord>& batch)
{
    std::map<std::string, HistoryUnit> units;
    for (const HistoryRecord& r : batch) {
        auto [it, added] = units.try_emplace(r.unit.Identity(), r.unit);
        HistoryUnit& u = it->second;
        if (!added && r.unit.lastSeenMs >= u.lastSeenMs) {
            u.name = r.unit.name;
            u.firmware = r.unit.firmware;
        }
        u.firstSeenMs = std::min(u.firstSeenMs, r.unit.firstSeenMs);
        u.lastSeenMs = std::max(u.lastSeenMs, r.unit.lastSeenMs);
    }
    return units;
}

} // namespace

HistoryServer::HistoryServer(const QString& url, const QString& outboxPath, const QString& bench)
    : bench_(bench)
    , outbox_(outboxPath)
    , connection_(NewConnectionName())
{
    QString error;
    url_ = HistoryServerUrl::Parse(url, &error);
    text_ = url_ ? url_->Text() : QString();
    if (!url_)
        messages_.push_back(error.toStdString());
}

HistoryServer::~HistoryServer()
{
    if (QSqlDatabase::contains(connection_))
        QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

QString HistoryServer::Location() const { return text_; }

void HistoryServer::Note(const char* langString, const QString& reason)
{
    const std::string message = LangQString(langString).arg(text_, reason).toStdString();
    if (messages_.empty() || messages_.back() != message)
        messages_.push_back(message);
}

bool HistoryServer::Fail(const QSqlError& error)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    // Whatever went wrong, the next use starts on a fresh connection: one that broke (the server
    // restarted) would otherwise keep failing.
    db.close();
    migrated_ = false;
    Note(error.type() == QSqlError::ConnectionError ? UNREACHABLE : FAILED, Reason(error));
    return false;
}

bool HistoryServer::Connect()
{
    if (!url_)
        return false;
    QSqlDatabase db = QSqlDatabase::contains(connection_) ? QSqlDatabase::database(connection_, false)
                                                          : QSqlDatabase::addDatabase("QPSQL", connection_);
    if (!db.isValid()) {
        Note(FAILED, LangQString(NO_DRIVER));
        return false;
    }
    if (!db.isOpen()) {
        url_->Apply(db);
        if (!db.open()) {
            Note(UNREACHABLE, Reason(db.lastError()));
            return false;
        }
        // libpq prints the server's notices on stderr, where they would mix with a command's output.
        if (!Exec("SET client_min_messages TO WARNING"))
            return false;
    }
    return migrated_ || Migrate();
}

bool HistoryServer::Exec(QSqlQuery& query) { return query.exec() || Fail(query.lastError()); }

bool HistoryServer::Exec(const QString& statement)
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    return q.exec(statement) || Fail(q.lastError());
}

bool HistoryServer::Rollback()
{
    QSqlQuery(QSqlDatabase::database(connection_, false)).exec("ROLLBACK");
    return false;
}

int HistoryServer::SchemaVersion()
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare("SELECT coalesce(max(version), 0) FROM vordax4_schema");
    return Exec(q) && q.next() ? q.value(0).toInt() : -1;
}

bool HistoryServer::Migrate()
{
    QSqlQuery lock(QSqlDatabase::database(connection_, false));
    lock.prepare("SELECT pg_advisory_xact_lock(?)");
    lock.addBindValue(SCHEMA_LOCK);
    if (!Exec("BEGIN") || !Exec(lock)
        || !Exec("CREATE TABLE IF NOT EXISTS vordax4_schema (version INTEGER NOT NULL)"))
        return false;
    const int version = SchemaVersion();
    if (version < 0)
        return false;
    // A newer program's tables are read as far as they go, never written.
    writable_ = version <= SCHEMA_VERSION;
    if (!writable_)
        Note(FAILED, LangQString(NEWER).arg(version).arg(SCHEMA_VERSION));
    for (int v = version; v < SCHEMA_VERSION; ++v)
        for (const char* statement : MIGRATIONS[v])
            if (!Exec(statement))
                return false;
    if (version < SCHEMA_VERSION
        && !(Exec("DELETE FROM vordax4_schema")
            && Exec(QString("INSERT INTO vordax4_schema (version) VALUES (%1)").arg(SCHEMA_VERSION))))
        return false;
    migrated_ = Exec("COMMIT");
    return migrated_;
}

bool HistoryServer::Open() { return Connect(); }

bool HistoryServer::Record(const HistoryRecord& record)
{
    HistoryRecord stamped = record;
    if (stamped.event.bench.empty())
        stamped.event.bench = bench_.toStdString();
    if (!outbox_.Add(stamped)) {
        // Without an outbox the event can still go straight to the server.
        for (std::string& m : outbox_.TakeMessages())
            messages_.push_back(std::move(m));
        return Connect() && writable_ && SendBatch({ stamped });
    }
    Sync();
    return true;
}

bool HistoryServer::Sync()
{
    if (outbox_.Count() == 0)
        return true;
    if (!Connect() || !writable_)
        return false;
    for (;;) {
        const std::vector<HistoryRecord> batch = outbox_.Oldest(BATCH);
        if (batch.empty())
            return true;
        if (!SendBatch(batch) || !outbox_.Remove(batch))
            return false;
    }
}

bool HistoryServer::UnitIds(const std::vector<HistoryRecord>& batch, std::map<std::string, qint64>& ids)
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(UPSERT_UNIT);
    // In the order of their identities, so that two benches sending the same units never wait
    // for each other's rows crosswise.
    for (const auto& [identity, u] : UnitsOf(batch)) {
        for (const QVariant& v : { Str(identity), Str(u.serialNumber), Str(u.name), Str(u.firmware),
                 QVariant(qint64(u.firstSeenMs)), QVariant(qint64(u.lastSeenMs)) })
            q.addBindValue(v);
        if (!Exec(q) || !q.next())
            return false;
        ids[identity] = q.value(0).toLongLong();
    }
    return true;
}

bool HistoryServer::SendBatch(const std::vector<HistoryRecord>& batch)
{
    std::map<std::string, qint64> ids;
    if (!Exec("BEGIN"))
        return false;
    if (!UnitIds(batch, ids))
        return Rollback();
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(INSERT_EVENT);
    for (const HistoryRecord& r : batch) {
        const HistoryEvent& e = r.event;
        for (const QVariant& v : { Str(e.uid), QVariant(ids[r.unit.Identity()]), QVariant(qint64(e.timeMs)),
                 QVariant(int(e.kind)), QVariant(e.ok), Str(e.file),
                 e.hasConfiguration ? QVariant(HistoryRows::Bytes(e.configuration))
                                    : QVariant(QMetaType(QMetaType::QByteArray)),
                 Str(e.programVersion), Str(e.bench) })
            q.addBindValue(v);
        if (!Exec(q))
            return Rollback();
    }
    return Exec("COMMIT") || Rollback();
}

std::vector<HistoryUnit> HistoryServer::Units()
{
    std::vector<HistoryUnit> units;
    if (!Connect())
        return units;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QString(HistoryRows::UNIT_COLUMNS) + "ORDER BY u.last_seen DESC, u.id DESC");
    if (Exec(q))
        while (q.next())
            units.push_back(HistoryRows::Unit(q));
    return units;
}

std::optional<HistoryUnit> HistoryServer::FindUnit(const std::string& text)
{
    if (!Connect())
        return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QString(HistoryRows::UNIT_COLUMNS)
        + "WHERE u.serial = ? OR CAST(u.id AS TEXT) = ? ORDER BY (u.serial = ?) DESC LIMIT 1");
    for (int i = 0; i < 3; ++i)
        q.addBindValue(Str(text));
    if (!Exec(q) || !q.next())
        return std::nullopt;
    return HistoryRows::Unit(q);
}

std::vector<HistoryEvent> HistoryServer::Events(int64_t unitId)
{
    std::vector<HistoryEvent> events;
    if (!Connect())
        return events;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(EVENTS);
    q.addBindValue(qint64(unitId));
    if (Exec(q))
        while (q.next())
            events.push_back(HistoryRows::Event(q));
    return events;
}

bool HistoryServer::Configuration(int64_t eventId, ParamImage& image, int64_t* unitId)
{
    if (!Connect())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare("SELECT configuration, unit FROM events WHERE id = ?");
    q.addBindValue(qint64(eventId));
    if (!Exec(q) || !q.next() || !HistoryRows::Configuration(q.value(0), image))
        return false;
    if (unitId)
        *unitId = q.value(1).toLongLong();
    return true;
}

bool HistoryServer::ForgetUnit(int64_t unitId)
{
    if (!Connect())
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare("DELETE FROM units WHERE id = ? RETURNING identity");
    q.addBindValue(qint64(unitId));
    if (!Exec(q) || !q.next())
        return false;
    // Its events are gone with it (ON DELETE CASCADE); those still waiting here go too, so that
    // the next sync does not bring the unit back.
    const bool forgotten = outbox_.ForgetUnit(q.value(0).toString().toStdString());
    for (std::string& m : outbox_.TakeMessages())
        messages_.push_back(std::move(m));
    return forgotten;
}

std::vector<std::string> HistoryServer::TakeMessages()
{
    for (std::string& m : outbox_.TakeMessages())
        messages_.push_back(std::move(m));
    std::vector<std::string> taken;
    taken.swap(messages_);
    return taken;
}
