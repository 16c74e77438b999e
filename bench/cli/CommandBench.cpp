#include "CliLinkOptions.h"
#include "CliUnitSession.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "unitsim/UnitSim.h"

#include "CliBenchRun.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <sstream>
#include <vector>

namespace {

// The goal: a whole vordax4-cli command takes at most this much longer than its floor, the
// connection to a known unit (an identify run) plus the command's own jobs on a connected link.
constexpr double BOUND = 1.3;
constexpr int TIMEOUT_MS = 10000;
constexpr int ROUNDS = 3;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Command {
    const char* name;
    QStringList args; // before the port options
    std::function<bool(CliUnitSession&)> jobs;
};

// Seconds of the command's jobs alone, in this process, on a link already connected as the window
// connects; negative when they failed.
double TimeJobs(const UnitSim& unit, const std::function<bool(CliUnitSession&)>& jobs, const ParamImage& image)
{
    std::vector<std::string> args { "--port", "1=" + unit.DevicePath(), "--protocol", "IGN100" };
    std::ostringstream out, err;
    CliIo io { out, err };
    PortChoice choice;
    int timeoutMs = TIMEOUT_MS;
    if (!TakeLinkOptions(args, choice, &timeoutMs, io))
        return -1;
    CliUnitSession session(choice, timeoutMs, io);
    session.image = image;
    if (!session.Connect())
        return -1;
    QElapsedTimer t;
    t.start();
    return jobs(session) ? t.elapsed() / 1000.0 : -1;
}

void BM_CommandAgainstItsFloor(benchmark::State& state)
{
    QTemporaryDir dir;
    ParamImage image;
    image.Adrb(BIKE) = 7;
    ResetDefaults(image, -1);
    ValidateImage(image);
    const QString file = dir.filePath("unit.ign");
    WriteIgnFile(file, image, IgnUnitInfo {});
    UnitSimOptions o;
    o.paced = true;
    UnitSim unit(o);
    unit.Start();
    unit.SetConfiguration(image.bytes());
    const QStringList port { "--port", "1=" + QString::fromStdString(unit.DevicePath()), "--protocol", "IGN100" };

    const Command commands[] = {
        { "read", { "read", "-o", dir.filePath("read.ign") }, [](CliUnitSession& s) { return s.Read(); } },
        { "verify", { "verify", file }, [](CliUnitSession& s) { return s.Verify(); } },
        { "program", { "program", file }, [](CliUnitSession& s) { return s.Program(false); } },
    };
    const Command& c = commands[state.range(0)];
    std::vector<double> whole, connect, jobs;
    for (auto _ : state) {
        for (int i = 0; i < ROUNDS; ++i) {
            whole.push_back(TimeCliRun(QStringList(c.args) << port << "--no-history"));
            connect.push_back(TimeCliRun(QStringList { "identify" } << port));
            jobs.push_back(TimeJobs(unit, c.jobs, image));
            if (whole.back() < 0 || connect.back() < 0 || jobs.back() < 0) {
                state.SkipWithError("a run failed");
                return;
            }
        }
        state.SetIterationTime(Median(whole));
    }
    const double floor = Median(connect) + Median(jobs);
    state.counters["command_s"] = Median(whole);
    state.counters["connect_s"] = Median(connect);
    state.counters["jobs_s"] = Median(jobs);
    state.counters["ratio"] = Median(whole) / floor;
    state.counters["bound"] = BOUND;
    state.SetLabel(std::string(c.name) + " --protocol IGN100 against identify + its jobs (medians of 3)");
}

} // namespace

BENCHMARK(BM_CommandAgainstItsFloor)
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
