#include "history/HistoryOutbox.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryRows.h"
#include "lang/LangString.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace {

constexpr const char* FAILED = "###The events waiting for the history server in %1 could not be kept: %2##Die "
                               "Ereignisse, die in %1 auf den Historienserver warten, konnten nicht gespeichert "
                               "werden: %2##Události čekající v %1 na server historie nelze uložit: %2";
constexpr const char* SCHEMA
    = "CREATE TABLE IF NOT EXISTS outbox (seq INTEGER PRIMARY KEY AUTOINCREMENT, uid TEXT NOT NULL UNIQUE, "
      "identity TEXT NOT NULL, serial TEXT NOT NULL, name TEXT NOT NULL, firmware TEXT NOT NULL, time INTEGER NOT "
      "NULL, kind INTEGER NOT NULL, ok INTEGER NOT NULL, file TEXT NOT NULL, configuration BLOB, program TEXT NOT "
      "NULL, bench TEXT NOT NULL)";
constexpr const char* COLUMNS = "uid, serial, name, firmware, time, kind, ok, file, configuration, program, bench";

QString NewConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QString("vordax4-outbox-%1").arg(counter.fetch_add(1));
}

QVariant Str(const std::string& text) { return QString::fromStdString(text); }

HistoryRecord RecordOf(const QSqlQuery& q)
{
    HistoryRecord r;
    r.event.uid = q.value(0).toString().toStdString();
    r.unit.serialNumber = q.value(1).toString().toStdString();
    r.unit.name = q.value(2).toString().toStdString();
    r.unit.firmware = q.value(3).toString().toStdString();
    r.event.timeMs = r.unit.firstSeenMs = r.unit.lastSeenMs = q.value(4).toLongLong();
    const int kind = q.value(5).toInt();
    r.event.kind = kind >= 0 && kind < HISTORY_KINDS ? static_cast<HistoryKind>(kind) : HistoryKind::Connect;
    r.event.ok = q.value(6).toInt() != 0;
    r.event.file = q.value(7).toString().toStdString();
    r.event.hasConfiguration = HistoryRows::Configuration(q.value(8), r.event.configuration);
    r.event.programVersion = q.value(9).toString().toStdString();
    r.event.bench = q.value(10).toString().toStdString();
    return r;
}

} // namespace

HistoryOutbox::HistoryOutbox(const QString& path)
    : path_(path)
    , connection_(NewConnectionName())
{
}

HistoryOutbox::~HistoryOutbox()
{
    if (QSqlDatabase::contains(connection_))
        QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

bool HistoryOutbox::Open(bool create)
{
    if (open_)
        return true;
    if (!create && !QFileInfo::exists(path_))
        return false;
    HistoryDatabase::MakePrivate(path_, {});
    QSqlDatabase db = QSqlDatabase::contains(connection_) ? QSqlDatabase::database(connection_, false)
                                                          : QSqlDatabase::addDatabase("QSQLITE", connection_);
    db.setDatabaseName(path_);
    db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(HistoryDatabase::BUSY_TIMEOUT_MS));
    if (!db.open())
        return Fail(db.lastError().text());
    open_ = Exec("PRAGMA journal_mode=WAL") && Exec("PRAGMA synchronous=NORMAL")
        && Exec("PRAGMA secure_delete=ON") && Exec(SCHEMA);
    if (!open_)
        db.close();
    return open_;
}

bool HistoryOutbox::Exec(const QString& statement)
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    return q.exec(statement) || Fail(q.lastError().text());
}

bool HistoryOutbox::Fail(const QString& reason)
{
    messages_.push_back(QString::fromUtf8(LangText(FAILED)).arg(QDir::toNativeSeparators(path_), reason).toStdString());
    return false;
}

bool HistoryOutbox::Add(const HistoryRecord& record)
{
    if (!Open(true))
        return false;
    const HistoryUnit& u = record.unit;
    const HistoryEvent& e = record.event;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QString("INSERT OR IGNORE INTO outbox (identity, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                  .arg(COLUMNS));
    for (const QVariant& v : { Str(u.Identity()), Str(e.uid), Str(u.serialNumber), Str(u.name), Str(u.firmware),
             QVariant(qint64(e.timeMs)), QVariant(int(e.kind)), QVariant(int(e.ok)), Str(e.file),
             e.hasConfiguration ? QVariant(HistoryRows::Bytes(e.configuration))
                                : QVariant(QMetaType(QMetaType::QByteArray)),
             Str(e.programVersion), Str(e.bench) })
        q.addBindValue(v);
    return q.exec() || Fail(q.lastError().text());
}

int HistoryOutbox::Count()
{
    if (!Open(false))
        return 0;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    return q.exec("SELECT count(*) FROM outbox") && q.next() ? q.value(0).toInt() : 0;
}

std::vector<HistoryRecord> HistoryOutbox::Oldest(int limit)
{
    std::vector<HistoryRecord> records;
    if (!Open(false))
        return records;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QString("SELECT %1 FROM outbox ORDER BY seq LIMIT ?").arg(COLUMNS));
    q.addBindValue(limit);
    if (!q.exec()) {
        Fail(q.lastError().text());
        return records;
    }
    while (q.next())
        records.push_back(RecordOf(q));
    return records;
}

bool HistoryOutbox::Remove(const std::vector<HistoryRecord>& sent)
{
    if (!Open(false))
        return false;
    if (!Exec("BEGIN IMMEDIATE"))
        return false;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare("DELETE FROM outbox WHERE uid = ?");
    for (const HistoryRecord& r : sent) {
        q.addBindValue(Str(r.event.uid));
        if (!q.exec()) {
            Fail(q.lastError().text());
            Exec("ROLLBACK");
            return false;
        }
    }
    return Exec("COMMIT");
}

bool HistoryOutbox::ForgetUnit(const std::string& identity)
{
    if (!Open(false))
        return true;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare("DELETE FROM outbox WHERE identity = ?");
    q.addBindValue(Str(identity));
    return q.exec() || Fail(q.lastError().text());
}

std::vector<std::string> HistoryOutbox::TakeMessages()
{
    std::vector<std::string> taken;
    taken.swap(messages_);
    return taken;
}
