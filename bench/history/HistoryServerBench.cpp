#include "history/HistoryOutbox.h"
#include "history/HistoryRecord.h"
#include "history/HistoryServer.h"
#include "history/HistoryServerUrl.h"
#include "link/UnitInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

// The history server under the load of a workshop: BENCHES programs (processes) record EVENTS
// events each at once, and none may be lost or kept twice; then an outbox of OUTBOX events that
// waited while the server was away must reach it within OUTBOX_BOUND_S. Run by bench/history-server.sh,
// which starts a server of its own; or by hand: bench_history_server URL.
namespace {

constexpr int BENCHES = 10;
constexpr int EVENTS = 100;
constexpr int UNITS = 50;
constexpr int OUTBOX = 10000;
constexpr double OUTBOX_BOUND_S = 5.0;

HistoryRecord Event(int bench, int i)
{
    UnitInfo info;
    info.name = "VDX04";
    char serial[32];
    std::snprintf(serial, sizeof serial, "%06d-000000-00000", (bench * 7 + i) % UNITS);
    info.serialNumber = serial;
    info.versionMajor = 93;
    ParamImage image;
    for (int a = 0; a < RS_LEN_EXE; ++a)
        image.Adrb(a) = uint8_t(a + i + bench);
    return HistoryRecord::Make(ConnectionHost::CommandProgram, true, &image, info, "bench.ign");
}

// One bench: records its events one by one, as its commands end, and says how long each took.
int Child(const QString& url, int bench, const QString& outbox)
{
    HistoryServer store(url, outbox, QString("bench-%1").arg(bench));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < EVENTS; ++i)
        store.Record(Event(bench, i));
    const int waiting = store.Waiting();
    std::printf("%.3f\n", timer.nsecsElapsed() / 1e6 / EVENTS);
    for (const std::string& m : store.TakeMessages())
        std::fprintf(stderr, "bench %d: %s\n", bench, m.c_str());
    return waiting == 0 ? 0 : 1;
}

qint64 Ask(const QString& url, const QString& statement)
{
    qint64 answer = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "ask");
        HistoryServerUrl::Parse(url, nullptr)->Apply(db);
        QSqlQuery q(db);
        if (db.open() && q.exec(statement) && q.next())
            answer = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase("ask");
    return answer;
}

bool ManyBenches(const QString& url, const QTemporaryDir& dir)
{
    const qint64 before = Ask(url, "SELECT count(*) FROM events");
    std::vector<std::unique_ptr<QProcess>> benches;
    QElapsedTimer timer;
    timer.start();
    for (int b = 0; b < BENCHES; ++b) {
        benches.push_back(std::make_unique<QProcess>());
        benches.back()->start(QCoreApplication::applicationFilePath(),
            { "--child", url, QString::number(b), dir.filePath(QString("outbox-%1.sqlite").arg(b)) });
    }
    double perEventMs = 0;
    int failed = 0;
    for (auto& p : benches) {
        failed += !p->waitForFinished(-1) || p->exitCode() != 0;
        perEventMs += p->readAllStandardOutput().trimmed().toDouble() / BENCHES;
        std::fputs(p->readAllStandardError().constData(), stderr);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 all = Ask(url, "SELECT count(*) FROM events") - std::max<qint64>(before, 0);
    const qint64 distinct = Ask(url, "SELECT count(DISTINCT uid) FROM events") - std::max<qint64>(before, 0);
    const qint64 expected = qint64(BENCHES) * EVENTS;
    std::printf("%d benches x %d events at once: %.2f s, %.2f ms per event in a bench, %.3f ms per event overall; "
                "lost %lld, duplicated %lld, benches failed %d\n",
        BENCHES, EVENTS, seconds, perEventMs, seconds * 1000 / expected, expected - distinct, all - distinct, failed);
    return distinct == expected && all == distinct && failed == 0;
}

bool FullOutbox(const QString& url, const QTemporaryDir& dir)
{
    const QString path = dir.filePath("full-outbox.sqlite");
    {
        HistoryOutbox outbox(path);
        for (int i = 0; i < OUTBOX; ++i)
            outbox.Add(Event(BENCHES, i));
    }
    const qint64 before = Ask(url, "SELECT count(*) FROM events");
    HistoryServer store(url, path, "bench-outbox");
    QElapsedTimer timer;
    timer.start();
    const bool sent = store.Sync();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 arrived = Ask(url, "SELECT count(*) FROM events") - before;
    std::printf("outbox of %d events sent in %.2f s (bound %.1f s), %lld arrived, %d still waiting\n", OUTBOX, seconds,
        OUTBOX_BOUND_S, arrived, store.Waiting());
    return sent && arrived == OUTBOX && seconds <= OUTBOX_BOUND_S;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == "--child")
        return Child(args[2], args[3].toInt(), args[4]);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bench_history_server postgresql://USER@HOST:PORT/DB\n");
        return 2;
    }
    QTemporaryDir dir;
    const bool benches = ManyBenches(args[1], dir);
    const bool outbox = FullOutbox(args[1], dir);
    std::printf("%s\n", benches && outbox ? "PASS" : "FAIL");
    return benches && outbox ? 0 : 1;
}
