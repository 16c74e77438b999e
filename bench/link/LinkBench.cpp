#include "unitsim/UnitSim.h"
#include "RealTimeTicks.h"
#include "ThreadCpu.h"
#include "base/TickClock.h"
#include "link/TransferEngine.h"
#include "unitsim/PseudoTerminal.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double ProcessCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// The link as the window drives it: the tick clock follows real time and LinkTick runs on every
// second tick of the 55 ms timer.
struct Driver {
    TransferEngine& link;
    RealTimeTicks ticks;
    bool Step()
    {
        if (!ticks.PassDue())
            return false;
        link.LinkTick();
        return true;
    }
};

// The least time the search order takes to reach a row: every row before it fails after two
// attempts of its time-out, each noticed on the next pass (100 ms of the tick clock, 110 ms of
// real time); at every change of the line rate the port is given up, its close is commanded on the
// next pass and seen done on the pass after, and the port opened again is seen open one pass
// later; the row itself needs a pass to open and one to read the answer.
double RowBoundSeconds(const SearchTable& table, int row)
{
    double ms = 0;
    for (int i = 0; i < row; ++i)
        ms += 2 * std::ceil((table.Row(i).timeoutMs + 1) / 100.0) * 110;
    int reopens = 0;
    for (int i = 1; i <= row; ++i)
        reopens += table.Row(i).baud != table.Row(i - 1).baud;
    return (ms + reopens * 3 * 110 + 2 * 110) / 1000.0;
}

// The first row of the search order that speaks protocol at baud (0: at any rate).
int RowOf(const SearchTable& table, int32_t protocol, uint32_t baud)
{
    for (int i = 0; !table.IsEnd(i); ++i)
        if (table.Row(i).protocol == protocol && (!baud || table.Row(i).baud == baud))
            return i;
    return -1;
}

// The link as the window sets it up, searching only the simulated unit's pseudo-terminal as COM 1.
void SearchOnlyTheUnit(TransferEngine& link, const UnitSim& unit)
{
    link.Search().searchTable.FillFamilyRows();
    PortMap map;
    map.onlyMapped = true;
    map.Add("1=" + unit.DevicePath());
    link.Ports().SetPortMap(map);
}

// Time from the first pass to the connection with a unit of the protocol on COM 1; with known set,
// the link remembers that unit (its port, row and rate) as the window does from its settings.
void TimeToConnected(benchmark::State& state, bool known)
{
    const int32_t protocol = int32_t(state.range(0));
    const uint32_t baud = uint32_t(state.range(1));
    SearchTable table;
    table.FillFamilyRows();
    const int knownRow = RowOf(table, protocol, baud);
    double connectSeconds = 0;
    int row = 0;
    for (auto _ : state) {
        UnitSimOptions o;
        o.protocol = protocol;
        o.baud = baud;
        o.paced = true;
        UnitSim unit(o);
        unit.Start();
        TransferEngine link;
        SearchOnlyTheUnit(link, unit);
        if (known)
            link.Search().SetKnownUnit({ 1, knownRow, table.Row(knownRow).baud });
        Driver driver { link, {} };
        const auto t0 = Clock::now();
        while (!link.Search().connectedPort.load() && Seconds(Clock::now() - t0) < 20) {
            driver.Step();
            QThread::msleep(1);
        }
        connectSeconds = Seconds(Clock::now() - t0);
        row = link.Search().connectedUnit.row;
        state.SetIterationTime(connectSeconds);
    }
    state.counters["row"] = row;
    state.counters["connect_s"] = connectSeconds;
    if (known) {
        state.counters["goal_share"] = connectSeconds / 0.6;
    } else {
        state.counters["bound_s"] = RowBoundSeconds(table, row);
        state.counters["ratio"] = connectSeconds / RowBoundSeconds(table, row);
    }
    state.SetLabel(ProtocolName(protocol));
}

void BM_TimeToConnected(benchmark::State& state) { TimeToConnected(state, false); }
void BM_TimeToConnectedKnownUnit(benchmark::State& state) { TimeToConnected(state, true); }

// CPU while a unit is connected and the link only exchanges monitor data every 8 ticks, as the
// connection manager does when idle: of the whole process (program side and the in-process unit),
// and of the link alone (every thread but the unit's).
void BM_IdleCpuWhileConnected(benchmark::State& state)
{
    double percent = 0;
    double linkPercent = 0;
    for (auto _ : state) {
        UnitSimOptions o;
        o.protocol = PROTOCOL_IGN100;
        o.paced = true;
        UnitSim unit(o);
        const std::set<int> beforeUnit = ThreadCpu::ThreadIds();
        unit.Start();
        const std::set<int> unitThreads = ThreadCpu::NewSince(beforeUnit);
        TransferEngine link;
        SearchOnlyTheUnit(link, unit);
        Driver driver { link, {} };
        while (!link.Search().connectedPort.load() || link.state() != ENGINE_READY) {
            driver.Step();
            QThread::msleep(5);
        }
        const auto t0 = Clock::now();
        const double cpu0 = ProcessCpuSeconds();
        const double unitCpu0 = ThreadCpu::Seconds(unitThreads);
        int passes = 0;
        while (Seconds(Clock::now() - t0) < 10) {
            if (driver.Step() && ++passes % 4 == 0) {
                if (link.job() == JobDone || link.job() == JobFailed)
                    link.ClearJob();
                link.StartJob(JobMonitor, 0, 100, JOB_FLAG_SEND_ALL | JOB_FLAG_ONE_ATTEMPT);
            }
            QThread::msleep(55 / 2);
        }
        const double wall = Seconds(Clock::now() - t0);
        const double cpu = ProcessCpuSeconds() - cpu0;
        percent = 100.0 * cpu / wall;
        linkPercent = 100.0 * (cpu - (ThreadCpu::Seconds(unitThreads) - unitCpu0)) / wall;
        state.SetIterationTime(wall);
    }
    state.counters["cpu_percent_of_one_core"] = percent;
    state.counters["link_cpu_percent_of_one_core"] = linkPercent;
    state.counters["goal_share"] = linkPercent / 0.3;
}

// Time from the unit's last answer byte leaving it to the job being judged (JobDone), for monitor
// exchanges: the I/O thread hands the bytes over and the worker judges them. The unit counts an
// answer once its last byte is written; both sides are watched closely from this thread.
void BM_AnswerToJudgedLatency(benchmark::State& state)
{
    constexpr int JOBS = 40;
    std::vector<double> latencies;
    int failed = 0;
    for (auto _ : state) {
        UnitSimOptions o;
        o.protocol = PROTOCOL_IGN100;
        o.paced = true;
        UnitSim unit(o);
        unit.Start();
        TransferEngine link;
        SearchOnlyTheUnit(link, unit);
        Driver driver { link, {} };
        while (!link.Search().connectedPort.load() || link.state() != ENGINE_READY) {
            driver.Step();
            QThread::msleep(5);
        }
        int counted = unit.RequestsAnswered();
        for (int i = 0; i < JOBS; ++i) {
            // The unit counts an answer after its last byte; the link may judge the job before
            // that, so the count of the previous answer is awaited before this job starts.
            const auto countedBy = Clock::now() + std::chrono::milliseconds(100);
            while (unit.RequestsAnswered() < counted && Clock::now() < countedBy)
                QThread::usleep(20);
            const int answered = unit.RequestsAnswered();
            counted = answered + 1;
            if (link.job() == JobDone || link.job() == JobFailed)
                link.ClearJob();
            link.StartJob(JobMonitor, 0, 100, JOB_FLAG_SEND_ALL | JOB_FLAG_ONE_ATTEMPT);
            Clock::time_point sent {};
            while (link.job() == JobMonitor) {
                driver.Step();
                if (sent == Clock::time_point {} && unit.RequestsAnswered() != answered)
                    sent = Clock::now();
                QThread::usleep(20);
            }
            // A job judged before this thread saw the answer counted is too quick to time here.
            if (link.job() == JobDone && sent != Clock::time_point {})
                latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            failed += link.job() == JobFailed;
        }
        state.SetIterationTime(1);
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["jobs_judged"] = double(latencies.size());
    state.counters["jobs_failed"] = failed;
    if (!latencies.empty()) {
        state.counters["median_ms"] = latencies[latencies.size() / 2];
        state.counters["max_ms"] = latencies.back();
    }
}

// CPU while the search works through 32 ports on which nothing answers (pseudo-terminals with no
// unit behind them): three slots open, send, wait and close all the time; the goal is 2 % of a core.
void BM_SearchCpuWithSilentPorts(benchmark::State& state)
{
    constexpr int PORTS = 32;
    double percent = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<PseudoTerminal>> lines;
        PortMap map;
        map.onlyMapped = true;
        for (int i = 0; i < PORTS; ++i) {
            lines.push_back(std::make_unique<PseudoTerminal>());
            if (!lines.back()->Open())
                state.SkipWithError("no pseudo-terminal");
            map.Add(std::to_string(i + 1) + "=" + lines.back()->SlavePath());
        }
        TransferEngine link;
        link.Search().searchTable.FillFamilyRows();
        link.Ports().SetPortMap(map);
        Driver driver { link, {} };
        const auto t0 = Clock::now();
        const double cpu0 = ProcessCpuSeconds();
        while (Seconds(Clock::now() - t0) < 20) {
            driver.Step();
            QThread::msleep(55 / 2);
        }
        const double wall = Seconds(Clock::now() - t0);
        percent = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
        state.SetIterationTime(wall);
    }
    state.counters["cpu_percent_of_one_core"] = percent;
    state.counters["goal_share"] = percent / 2.0;
}

} // namespace

// Every row of the search order a unit can be found on: protocol and rate (0: the protocol's own).
void EveryRow(benchmark::internal::Benchmark* b)
{
    b->Args({ PROTOCOL_IGN100, 0 })
        ->Args({ PROTOCOL_WCOM, 0 })
        ->Args({ PROTOCOL_WCOMS, 0 })
        ->Args({ PROTOCOL_IGN50, 0 })
        ->Args({ PROTOCOL_IGN150, 0 })
        ->Args({ PROTOCOL_WCOM, 115200 })
        ->Args({ PROTOCOL_IGN300, 0 })
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_TimeToConnected)->Apply(EveryRow);
BENCHMARK(BM_TimeToConnectedKnownUnit)->Apply(EveryRow);
BENCHMARK(BM_IdleCpuWhileConnected)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_AnswerToJudgedLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchCpuWithSilentPorts)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TickMs = 1000;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
