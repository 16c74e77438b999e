#include "history/HistoryDatabase.h"
#include "history/HistoryRecord.h"
#include "history/ui/HistoryDialog.h"
#include "link/UnitInfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

// A year of a busy workshop: 100 events a day, 36 500 in all, over 3 000 units that come back now
// and then, every event with its own 400-byte configuration. The file must stay below 50 MB, and
// opening it and listing the units and the first unit's events must take at most 0.2 s, in the
// database alone and in the dialog that shows them.
namespace {

constexpr int DAYS = 365;
constexpr int EVENTS_PER_DAY = 100;
constexpr int UNITS = 3000;
constexpr int64_t DAY_MS = 24LL * 3600 * 1000;
constexpr double BOUND_S = 0.2;
constexpr double SIZE_BOUND_MB = 50;

struct Year {
    QTemporaryDir dir;
    QString path = dir.filePath("history.sqlite");
    double megabytes = 0;

    Year()
    {
        HistoryDatabase db(path);
        uint32_t seed = 1;
        const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
        for (int day = 0; day < DAYS; ++day)
            for (int k = 0; k < EVENTS_PER_DAY; ++k) {
                UnitInfo info;
                const int unit = static_cast<int>(next() >> 8) % UNITS;
                char serial[32];
                std::snprintf(serial, sizeof serial, "%06d-000000-00%03d", unit, unit % 1000);
                info.serialNumber = serial;
                info.name = "VDX04";
                info.versionMajor = 93;
                ParamImage image;
                for (int a = 0; a < RS_LEN_EXE; ++a)
                    image.Adrb(a) = static_cast<uint8_t>(next() >> 16);
                const auto kind = static_cast<ConnectionHost::CommandKind>(k % 4);
                HistoryRecord r = HistoryRecord::Make(kind, k % 17 != 0, &image, info, "/workshop/bikes/customer.ign");
                r.event.timeMs = r.unit.firstSeenMs = r.unit.lastSeenMs = day * DAY_MS + k * 60000;
                db.Record(r);
            }
    }
    void Measure()
    {
        megabytes = 0;
        for (const char* suffix : { "", "-wal" })
            megabytes += QFileInfo(path + suffix).size() / 1e6;
    }
};

Year& TheYear()
{
    static Year year;
    return year;
}

void Report(benchmark::State& state, double seconds)
{
    Year& year = TheYear();
    year.Measure();
    const double perOpen = seconds / static_cast<double>(state.iterations());
    state.counters["file_MB"] = year.megabytes;
    state.counters["of_50MB"] = year.megabytes / SIZE_BOUND_MB;
    state.counters["of_0.2s"] = perOpen / BOUND_S;
}

void OpenAndListYear(benchmark::State& state)
{
    Year& year = TheYear();
    double seconds = 0;
    size_t units = 0, events = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        HistoryDatabase db(year.path);
        const std::vector<HistoryUnit> list = db.Units();
        events = list.empty() ? 0 : db.Events(list[0].id).size();
        units = list.size();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["units"] = static_cast<double>(units);
    state.counters["events_shown"] = static_cast<double>(events);
    Report(state, seconds);
}

void OpenDialogOnYear(benchmark::State& state)
{
    Year& year = TheYear();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        HistoryDatabase db(year.path);
        HistoryDialog dialog(nullptr);
        dialog.Reload(db, "sn:001234-000000-00234");
        dialog.show();
        QCoreApplication::processEvents();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    Report(state, seconds);
}

} // namespace

BENCHMARK(OpenAndListYear)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenDialogOnYear)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TheYear();
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
