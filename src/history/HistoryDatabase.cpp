#include "history/HistoryDatabase.h"

#include "base/InputFile.h"
#include "history/HistoryRows.h"
#include "lang/LangQString.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <atomic>
#include <cstring>
#include <limits>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr const char* DAMAGED = "###The unit history %1 was damaged. It was moved aside as %2 and a new one was "
                                "started.##Die Gerätehistorie %1 war beschädigt. Sie wurde als %2 beiseitegelegt und "
                                "eine neue begonnen.##Historie jednotek %1 byla poškozená. Byla odložena jako %2 a "
                                "byla založena nová.";
constexpr const char* FAILED = "###The unit history %1 could not be used: %2##Die Gerätehistorie %1 konnte nicht "
                               "benutzt werden: %2##Historii jednotek %1 nelze použít: %2";
constexpr const char* NOT_MOVED = "###a damaged file that cannot be moved aside##eine beschädigte Datei, die sich "
                                  "nicht beiseitelegen lässt##poškozený soubor, který nelze odložit";
constexpr const char* DAMAGED_READ = "###a damaged file; it is set aside when the history is next written##eine "
                                     "beschädigte Datei; sie wird beiseitegelegt, wenn die Historie das nächste Mal "
                                     "geschrieben wird##poškozený soubor; bude odložen při příštím zápisu historie";
constexpr const char* STILL_READ = "###Unit %1 was removed from the unit history, but another program is still reading "
                                   "the history, so the unit's data stays in the file %2 until that program has ended "
                                   "and the history is next opened for writing.##Die Einheit %1 wurde aus der "
                                   "Gerätehistorie entfernt, aber ein anderes Programm liest die Historie noch; die "
                                   "Daten der Einheit bleiben in der Datei %2, bis dieses Programm beendet ist und die "
                                   "Historie wieder zum Schreiben geöffnet wird.##Jednotka %1 byla odebrána z historie "
                                   "jednotek, ale jiný program historii ještě čte, proto data jednotky zůstávají v "
                                   "souboru %2, dokud tento program neskončí a historie nebude znovu otevřena pro zápis.";
constexpr const char* COPIES_KEPT = "###Unit %1 could not be erased from these damaged copies of the unit history; "
                                    "delete them to remove it: %2##Die Einheit %1 konnte aus diesen beschädigten "
                                    "Kopien der Gerätehistorie nicht gelöscht werden; löschen Sie sie, um sie zu "
                                    "entfernen: %2##Jednotku %1 nelze vymazat z těchto poškozených kopií historie "
                                    "jednotek; pro její odstranění je smažte: %2";
constexpr const char* NO_DRIVER = "###the SQLite driver of Qt is not installed##der SQLite-Treiber von Qt ist nicht "
                                  "installiert##ovladač SQLite pro Qt není nainstalován";

// SQLite's primary result codes for a file another program holds, a damaged file and a file that
// is no database at all.
constexpr int SQLITE_BUSY_CODE = 5;
constexpr int SQLITE_CORRUPT_CODE = 11;
constexpr int SQLITE_NOTADB_CODE = 26;

const char* const SCHEMA[] = {
    "CREATE TABLE IF NOT EXISTS units (id INTEGER PRIMARY KEY, identity TEXT NOT NULL UNIQUE, serial TEXT NOT NULL, "
    "name TEXT NOT NULL, firmware TEXT NOT NULL, first_seen INTEGER NOT NULL, last_seen INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS events (id INTEGER PRIMARY KEY, unit INTEGER NOT NULL REFERENCES units(id) ON DELETE "
    "CASCADE, time INTEGER NOT NULL, kind INTEGER NOT NULL, ok INTEGER NOT NULL, file TEXT NOT NULL, configuration "
    "BLOB, program TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS events_of_unit ON events (unit, time)",
};

QString NewConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QString("vordax4-history-%1").arg(counter.fetch_add(1));
}

// "history.sqlite" -> "history-damaged-20261210-165512.sqlite", numbered when that name is taken.
QString AsideName(const QString& path)
{
    const QFileInfo info(path);
    const QString stem = info.dir().filePath(
        info.completeBaseName() + "-damaged-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"));
    QString name = stem + "." + info.suffix();
    for (int n = 2; QFile::exists(name); ++n)
        name = stem + "-" + QString::number(n) + "." + info.suffix();
    return name;
}

} // namespace

QString HistoryDatabase::UnitsQuery() { return QString(HistoryRows::UNIT_COLUMNS) + "ORDER BY u.last_seen DESC, u.id DESC"; }

QString HistoryDatabase::EventsQuery()
{
    return "SELECT id, time, kind, ok, file, configuration IS NOT NULL, program FROM events WHERE unit = ? "
           "ORDER BY time DESC, id DESC";
}

HistoryDatabase::HistoryDatabase(const QString& path, Access access)
    : path_(path)
    , access_(access)
    , connection_(NewConnectionName())
{
}

HistoryDatabase::~HistoryDatabase()
{
    Close();
    QSqlDatabase::removeDatabase(connection_);
}

QSqlDatabase HistoryDatabase::Connection() const { return QSqlDatabase::database(connection_, false); }

void HistoryDatabase::Close()
{
    if (QSqlDatabase::contains(connection_))
        Connection().close();
    open_ = false;
}

void HistoryDatabase::Fail(const QSqlError& error)
{
    const QString reason = error.text().isEmpty() ? LangQString(NO_DRIVER) : error.text();
    messages_.push_back(LangQString(FAILED).arg(QDir::toNativeSeparators(path_), reason).toStdString());
}

bool HistoryDatabase::Damaged(const QSqlError& error) const
{
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    return code == SQLITE_CORRUPT_CODE || code == SQLITE_NOTADB_CODE;
}

bool HistoryDatabase::Open()
{
    if (open_)
        return true;
    if (OpenOnce())
        return true;
    if (lastDamaged_ && access_ == Access::ReadOnly) {
        messages_.push_back(LangQString(FAILED).arg(QDir::toNativeSeparators(path_), LangQString(DAMAGED_READ)).toStdString());
        return false;
    }
    return lastDamaged_ && MoveAsideAndReopen();
}

#ifdef Q_OS_UNIX
namespace {

// Only the user's own files and folders are changed; a shared folder is left as it is.
void Tighten(const QString& path, mode_t type, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && (st.st_mode & S_IFMT) == type && st.st_uid == ::geteuid()
        && (st.st_mode & 07777) != mode)
        ::chmod(name.constData(), mode);
}

} // namespace
#endif

void HistoryDatabase::MakePrivate() const
{
    QStringList others;
    for (const QString& copy : AsideCopies())
        others << copy << copy + "-wal";
    MakePrivate(path_, others);
}

void HistoryDatabase::MakePrivate(const QString& file, const QStringList& others)
{
    const QString folder = QFileInfo(file).absolutePath();
    QDir().mkpath(folder);
#ifdef Q_OS_UNIX
    Tighten(folder, S_IFDIR, 0700);
    // Made here, so that SQLite, which gives its log files the file's mode, finds it private.
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    for (const QString& f : QStringList { file, file + "-wal", file + "-shm" } + others)
        Tighten(f, S_IFREG, 0600);
#else
    Q_UNUSED(others);
#endif
}

// "history-damaged-*.sqlite" beside the history, as AsideName makes them.
QStringList HistoryDatabase::AsideCopies() const
{
    const QFileInfo info(path_);
    QStringList copies;
    for (const QString& name :
        info.dir().entryList({ info.completeBaseName() + "-damaged-*." + info.suffix() }, QDir::Files | QDir::Hidden))
        copies << info.dir().filePath(name);
    return copies;
}

bool HistoryDatabase::OpenOnce()
{
    lastDamaged_ = false;
    // Nothing recorded yet is an empty history, for a reader that may not make the file.
    if (access_ == Access::ReadOnly && !QFileInfo::exists(path_))
        return false;
    if (access_ == Access::ReadWrite)
        MakePrivate();
    QSqlDatabase db
        = QSqlDatabase::contains(connection_) ? Connection() : QSqlDatabase::addDatabase("QSQLITE", connection_);
    if (!db.isValid()) {
        Fail(db.lastError());
        return false;
    }
    db.setDatabaseName(path_);
    // A reader never waits: in WAL mode a writer does not hold it up.
    db.setConnectOptions(access_ == Access::ReadOnly ? QString("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=0")
                                                     : QString("QSQLITE_BUSY_TIMEOUT=%1").arg(BUSY_TIMEOUT_MS));
    if (!db.open()) {
        Fail(db.lastError());
        return false;
    }
    open_ = true;
    if (Prepare())
        return true;
    Close();
    return false;
}

bool HistoryDatabase::Prepare()
{
    if (access_ == Access::ReadOnly)
        return Exec("SELECT count(*) FROM units");
    // WAL lets readers and one writer work at once; NORMAL syncing is safe in WAL mode. A forgotten
    // unit's bytes are overwritten, not only unlinked.
    if (!SwitchToWal())
        return false;
    for (const char* pragma : { "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON", "PRAGMA secure_delete=ON" })
        if (!Exec(pragma))
            return false;
    // The tables are made under the write lock taken at once, so two programs creating the history
    // at the same moment wait for each other: in WAL mode SQLite refuses a transaction that began by
    // reading its upgrade to a writer, without waiting, once another has written meanwhile.
    if (!Exec("BEGIN IMMEDIATE"))
        return false;
    for (const char* statement : SCHEMA)
        if (!Exec(statement)) {
            Exec("ROLLBACK");
            return false;
        }
    if (!Exec("COMMIT"))
        return false;
    // A forgotten unit left in the file by a reader of an earlier run is erased now, when no
    // reader holds it any longer; with a reader still there this does nothing and waits for nobody.
    Exec("PRAGMA busy_timeout=0");
    Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    Exec(QString("PRAGMA busy_timeout=%1").arg(BUSY_TIMEOUT_MS));
    // Reading the tables once finds a damaged file now rather than in the middle of a command.
    return Exec("SELECT count(*) FROM units");
}

// Switching the journal to WAL needs the file to itself, and SQLite refuses it at once, without
// its busy wait, while another program holds the file, as when two programs create the history
// together. The switch is tried again until the busy time-out has passed.
bool HistoryDatabase::SwitchToWal()
{
    constexpr int RETRY_MS = 10;
    const QDeadlineTimer deadline(BUSY_TIMEOUT_MS);
    for (;;) {
        QSqlQuery q(Connection());
        if (q.exec("PRAGMA journal_mode=WAL"))
            return true;
        const QSqlError error = q.lastError();
        if ((error.nativeErrorCode().toInt() & 0xFF) != SQLITE_BUSY_CODE || deadline.hasExpired())
            return Report(error);
        QThread::msleep(RETRY_MS);
    }
}

bool HistoryDatabase::Exec(QSqlQuery& query)
{
    // A statement that could not be prepared keeps the reason from its preparation.
    const QSqlError prepared = query.lastError();
    if (prepared.type() != QSqlError::NoError)
        return Report(prepared);
    return query.exec() || Report(query.lastError());
}

bool HistoryDatabase::Report(const QSqlError& error)
{
    lastDamaged_ = Damaged(error);
    if (!lastDamaged_)
        Fail(error);
    return false;
}

bool HistoryDatabase::Exec(const QString& statement)
{
    QSqlQuery q(Connection());
    q.prepare(statement);
    return Exec(q);
}

bool HistoryDatabase::Sound()
{
    QSqlQuery q(Connection());
    q.prepare("PRAGMA quick_check(1)");
    return Exec(q) && q.next() && q.value(0).toString() == "ok";
}

bool HistoryDatabase::MoveAsideAndReopen()
{
    Close();
    // Another program may have put a sound file in its place meanwhile: that one stays.
    const bool opened = OpenOnce();
    if (opened && Sound())
        return true;
    if (!opened && !lastDamaged_)
        return false;
    Close();
    const QString aside = AsideName(path_);
    if (!QFile::rename(path_, aside)) {
        messages_.push_back(LangQString(FAILED).arg(QDir::toNativeSeparators(path_), LangQString(NOT_MOVED)).toStdString());
        return false;
    }
    // The log of the WAL mode belongs to the damaged file; the shared-memory index is rebuilt.
    QFile::rename(path_ + "-wal", aside + "-wal");
    QFile::remove(path_ + "-shm");
    messages_.push_back(
        LangQString(DAMAGED).arg(QDir::toNativeSeparators(path_), QDir::toNativeSeparators(aside)).toStdString());
    return OpenOnce();
}

bool HistoryDatabase::Record(const HistoryRecord& record)
{
    if (!Open())
        return false;
    if (RecordOnce(record))
        return true;
    return lastDamaged_ && MoveAsideAndReopen() && RecordOnce(record);
}

bool HistoryDatabase::RecordOnce(const HistoryRecord& record)
{
    // IMMEDIATE takes the write lock at once, so a busy file is waited for, never failed half-way.
    if (!Exec("BEGIN IMMEDIATE"))
        return false;
    const HistoryUnit& u = record.unit;
    const HistoryEvent& e = record.event;
    QSqlQuery unit(Connection());
    unit.prepare(
        "INSERT INTO units (identity, serial, name, firmware, first_seen, last_seen) VALUES (?, ?, ?, ?, ?, ?) "
        "ON CONFLICT (identity) DO UPDATE SET name = excluded.name, firmware = excluded.firmware, "
        "last_seen = max(last_seen, excluded.last_seen)");
    for (const QVariant& v : { QVariant(QString::fromStdString(u.Identity())),
             QVariant(QString::fromStdString(u.serialNumber)), QVariant(QString::fromStdString(u.name)),
             QVariant(QString::fromStdString(u.firmware)), QVariant(qint64(e.timeMs)), QVariant(qint64(e.timeMs)) })
        unit.addBindValue(v);
    QSqlQuery id(Connection());
    id.prepare("SELECT id FROM units WHERE identity = ?");
    id.addBindValue(QString::fromStdString(u.Identity()));
    bool ok = Exec(unit) && Exec(id) && id.next();
    if (ok) {
        QSqlQuery event(Connection());
        event.prepare("INSERT INTO events (unit, time, kind, ok, file, configuration, program) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (const QVariant& v : { id.value(0), QVariant(qint64(e.timeMs)), QVariant(int(e.kind)), QVariant(int(e.ok)),
                 QVariant(QString::fromStdString(e.file)),
                 e.hasConfiguration ? QVariant(HistoryRows::Bytes(e.configuration)) : QVariant(QMetaType(QMetaType::QByteArray)),
                 QVariant(QString::fromStdString(e.programVersion)) })
            event.addBindValue(v);
        ok = Exec(event);
    }
    id.finish();
    const bool damaged = lastDamaged_;
    if (ok && Exec("COMMIT"))
        return true;
    Exec("ROLLBACK");
    lastDamaged_ = lastDamaged_ || damaged;
    return false;
}

std::vector<HistoryUnit> HistoryDatabase::Units()
{
    std::vector<HistoryUnit> units;
    if (!Open())
        return units;
    QSqlQuery q(Connection());
    q.setForwardOnly(true);
    q.prepare(UnitsQuery());
    if (!Exec(q)) {
        if (lastDamaged_ && access_ == Access::ReadWrite)
            MoveAsideAndReopen();
        return units;
    }
    while (q.next())
        units.push_back(HistoryRows::Unit(q));
    return units;
}

std::optional<HistoryUnit> HistoryDatabase::FindUnit(const std::string& text)
{
    if (!Open())
        return std::nullopt;
    QSqlQuery q(Connection());
    q.prepare(QString(HistoryRows::UNIT_COLUMNS) + "WHERE u.serial = ? OR CAST(u.id AS TEXT) = ? ORDER BY u.serial = ? DESC");
    for (int i = 0; i < 3; ++i)
        q.addBindValue(QString::fromStdString(text));
    if (!Exec(q) || !q.next())
        return std::nullopt;
    return HistoryRows::Unit(q);
}

std::vector<HistoryEvent> HistoryDatabase::Events(int64_t unitId)
{
    std::vector<HistoryEvent> events;
    if (!Open())
        return events;
    QSqlQuery q(Connection());
    q.setForwardOnly(true);
    q.prepare(EventsQuery());
    q.addBindValue(qint64(unitId));
    if (!Exec(q))
        return events;
    while (q.next())
        events.push_back(HistoryRows::Event(q));
    return events;
}

bool HistoryDatabase::Configuration(int64_t eventId, ParamImage& image, int64_t* unitId)
{
    if (!Open())
        return false;
    QSqlQuery q(Connection());
    q.prepare("SELECT configuration, unit FROM events WHERE id = ?");
    q.addBindValue(qint64(eventId));
    if (!Exec(q) || !q.next())
        return false;
    // Only a whole configuration is one; anything else in the file is not used.
    if (!HistoryRows::Configuration(q.value(0), image))
        return false;
    if (unitId)
        *unitId = q.value(1).toLongLong();
    return true;
}

bool HistoryDatabase::ForgetUnit(int64_t unitId)
{
    if (!Open())
        return false;
    QSqlQuery which(Connection());
    which.prepare("SELECT identity, serial FROM units WHERE id = ?");
    which.addBindValue(qint64(unitId));
    if (!Exec(which) || !which.next())
        return false;
    const QString identity = which.value(0).toString();
    const QString serial = which.value(1).toString();
    which.finish();
    if (!DeleteUnit(unitId))
        return false;
    const bool erased = CheckpointFully(Connection());
    if (!erased)
        messages_.push_back(LangQString(STILL_READ).arg(serial, QDir::toNativeSeparators(path_)).toStdString());
    ForgetInAsideCopies(identity, serial);
    return erased;
}

bool HistoryDatabase::CheckpointFully(const QSqlDatabase& db)
{
    QSqlQuery q(db);
    q.prepare("PRAGMA wal_checkpoint(TRUNCATE)");
    // The first column says whether a reader kept the checkpoint from finishing.
    return Exec(q) && q.next() && q.value(0).toInt() == 0;
}

void HistoryDatabase::ForgetInAsideCopies(const QString& identity, const QString& serial)
{
    QStringList kept;
    for (const QString& copy : AsideCopies()) {
        bool gone = ForgetInCopy(copy, identity);
        // A damaged copy may hold the unit in pages the database no longer reaches.
        for (const QString& file : { copy, copy + "-wal" }) {
            QByteArray bytes;
            InputFile::Read(file, std::numeric_limits<qint64>::max() / 2, bytes);
            gone = gone && !bytes.contains(identity.toUtf8()) && (serial.isEmpty() || !bytes.contains(serial.toUtf8()));
        }
        if (!gone)
            kept << QDir::toNativeSeparators(copy);
    }
    if (!kept.isEmpty())
        messages_.push_back(LangQString(COPIES_KEPT).arg(serial, kept.join(", ")).toStdString());
}

bool HistoryDatabase::ForgetInCopy(const QString& copy, const QString& identity)
{
    const QString name = NewConnectionName();
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(copy);
        db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(BUSY_TIMEOUT_MS));
        if (db.open()) {
            QSqlQuery q(db);
            done = q.exec("PRAGMA secure_delete=ON") && q.exec("BEGIN IMMEDIATE");
            for (const char* statement : { "DELETE FROM events WHERE unit IN (SELECT id FROM units WHERE identity = ?)",
                     "DELETE FROM units WHERE identity = ?" }) {
                done = done && q.prepare(statement);
                q.addBindValue(identity);
                done = done && q.exec();
            }
            done = done && q.exec("COMMIT") && q.exec("PRAGMA wal_checkpoint(TRUNCATE)") && q.next()
                && q.value(0).toInt() == 0;
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

bool HistoryDatabase::DeleteUnit(int64_t unitId)
{
    QSqlQuery events(Connection()), unit(Connection());
    events.prepare("DELETE FROM events WHERE unit = ?");
    events.addBindValue(qint64(unitId));
    unit.prepare("DELETE FROM units WHERE id = ?");
    unit.addBindValue(qint64(unitId));
    if (!Exec("BEGIN IMMEDIATE"))
        return false;
    if (Exec(events) && Exec(unit) && Exec("COMMIT"))
        return true;
    Exec("ROLLBACK");
    return false;
}

std::vector<std::string> HistoryDatabase::TakeMessages()
{
    std::vector<std::string> taken;
    taken.swap(messages_);
    return taken;
}
