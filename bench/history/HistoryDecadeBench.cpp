#include "history/HistoryDatabase.h"
#include "history/HistoryUnit.h"
#include "history/ui/HistoryDialog.h"
#include "model/ImageLayout.h"

#include <QApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Ten years of a busy workshop: 365 000 events over 30 000 units, every successful event with its
// 400-byte configuration. Listing the units, and listing one unit's events, each take at most 1.5 x
// the same statement run by the sqlite3 program on the same file (its start included, measured in
// the same iteration); the history dialog opens on it within 0.2 s.
namespace {

constexpr int UNITS = 30000;
constexpr int EVENTS = 365000;
constexpr int64_t TEN_YEARS_MS = 3650LL * 24 * 3600 * 1000;
constexpr double SQLITE3_BOUND = 1.5;
constexpr double DIALOG_BOUND_S = 0.2;

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Decade {
    QTemporaryDir dir;
    QString path = dir.filePath("history.sqlite");
    int64_t busiestUnit = 0;
    int busiestEvents = 0;

    Decade()
    {
        HistoryDatabase(path).Open();
        const QString connection = "decade-generator";
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
            db.setDatabaseName(path);
            db.open();
            Generate(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }

    // One transaction for all rows: the listing is measured, not the writing.
    void Generate(QSqlDatabase& db)
    {
        uint32_t seed = 7;
        const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
        std::vector<int64_t> first(UNITS, -1), last(UNITS, 0);
        std::vector<int> count(UNITS, 0);
        QSqlQuery(db).exec("BEGIN");
        QSqlQuery event(db);
        event.prepare("INSERT INTO events (unit, time, kind, ok, file, configuration, program) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?)");
        QByteArray configuration(RS_LEN_EXE, '\0');
        for (int k = 0; k < EVENTS; ++k) {
            const int unit = static_cast<int>((next() >> 8) % UNITS);
            const int64_t time = TEN_YEARS_MS / EVENTS * k;
            first[unit] = first[unit] < 0 ? time : first[unit];
            last[unit] = time;
            ++count[unit];
            const bool ok = k % 17 != 0;
            for (char& byte : configuration)
                byte = static_cast<char>(next() >> 16);
            for (const QVariant& v : { QVariant(unit + 1), QVariant(qint64(time)), QVariant(k % 4), QVariant(int(ok)),
                     QVariant(QString("/workshop/bikes/customer.ign")),
                     ok ? QVariant(configuration) : QVariant(QMetaType(QMetaType::QByteArray)),
                     QVariant(QString("4.2.0")) })
                event.addBindValue(v);
            event.exec();
        }
        QSqlQuery unit(db);
        unit.prepare("INSERT INTO units (id, identity, serial, name, firmware, first_seen, last_seen) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
        for (int u = 0; u < UNITS; ++u) {
            HistoryUnit h;
            char serial[32];
            std::snprintf(serial, sizeof serial, "%06d-000000-00%03d", u, u % 1000);
            h.serialNumber = serial;
            for (const QVariant& v : { QVariant(u + 1), QVariant(QString::fromStdString(h.Identity())),
                     QVariant(QString(serial)), QVariant(QString("VDX04")), QVariant(QString("93.01 7. 8.2019 14:05")),
                     QVariant(qint64(std::max<int64_t>(first[u], 0))), QVariant(qint64(last[u])) })
                unit.addBindValue(v);
            unit.exec();
        }
        QSqlQuery(db).exec("COMMIT");
        const auto busiest = std::max_element(count.begin(), count.end());
        busiestUnit = busiest - count.begin() + 1;
        busiestEvents = *busiest;
    }
};

Decade& TheDecade()
{
    static Decade decade;
    return decade;
}

// The sqlite3 program run on the same statement, its rows written to nowhere.
double Sqlite3Seconds(const QString& path, const QString& statement)
{
    QProcess sqlite3;
    sqlite3.setStandardOutputFile(QProcess::nullDevice());
    const auto start = Clock::now();
    sqlite3.start("sqlite3", { "-readonly", path, statement });
    if (!sqlite3.waitForFinished(-1) || sqlite3.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 failed: %s\n", qPrintable(sqlite3.errorString()));
        std::exit(1);
    }
    return Since(start);
}

// Each iteration runs the program's listing and then sqlite3's; the counter is the ratio of their sums.
template <typename List> void CompareWithSqlite3(benchmark::State& state, const QString& statement, List list)
{
    Decade& decade = TheDecade();
    double ours = 0, theirs = 0;
    size_t rows = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        HistoryDatabase db(decade.path, HistoryDatabase::Access::ReadOnly);
        rows = list(db);
        ours += Since(start);
        theirs += Sqlite3Seconds(decade.path, statement);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["ours_ms"] = ours / n * 1e3;
    state.counters["sqlite3_ms"] = theirs / n * 1e3;
    state.counters["of_sqlite3"] = ours / theirs;
    state.counters["of_1.5x"] = ours / theirs / SQLITE3_BOUND;
}

void ListUnitsOfDecade(benchmark::State& state)
{
    CompareWithSqlite3(state, HistoryDatabase::UnitsQuery(), [](HistoryDatabase& db) { return db.Units().size(); });
}

void ListEventsOfDecade(benchmark::State& state)
{
    const Decade& decade = TheDecade();
    const QString statement = HistoryDatabase::EventsQuery().replace("?", QString::number(decade.busiestUnit));
    CompareWithSqlite3(state, statement, [&](HistoryDatabase& db) { return db.Events(decade.busiestUnit).size(); });
}

void OpenDialogOnDecade(benchmark::State& state)
{
    Decade& decade = TheDecade();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        HistoryDatabase db(decade.path, HistoryDatabase::Access::ReadOnly);
        HistoryDialog dialog(nullptr);
        dialog.Reload(db, "sn:001234-000000-00234");
        dialog.show();
        QCoreApplication::processEvents();
        seconds += Since(start);
    }
    const double perOpen = seconds / static_cast<double>(state.iterations());
    state.counters["open_ms"] = perOpen * 1e3;
    state.counters["of_0.2s"] = perOpen / DIALOG_BOUND_S;
}

} // namespace

BENCHMARK(ListUnitsOfDecade)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ListEventsOfDecade)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(OpenDialogOnDecade)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (QStandardPaths::findExecutable("sqlite3").isEmpty()) {
        std::fprintf(stderr, "The sqlite3 program is needed: scripts/install-deps.sh sqlite3 installs it.\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    const auto start = Clock::now();
    const Decade& decade = TheDecade();
    std::printf("ten years generated in %.1f s; the busiest unit has %d events\n", Since(start), decade.busiestEvents);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
