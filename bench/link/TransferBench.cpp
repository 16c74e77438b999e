#include "unitsim/UnitSim.h"
#include "RealTimeTicks.h"
#include "base/TickClock.h"
#include "link/TransferEngine.h"
#include "link/ConnectionManager.h"
#include "link/StatusSlots.h"
#include "model/ImageValidation.h"
#include "model/MonitorImage.h"
#include "monitor/MonitorRequest.h"

#include <benchmark/benchmark.h>

#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double PASS_SECONDS = 0.110; // a connection-manager pass every second 55 ms tick
constexpr double BITS_PER_BYTE = 10;

// The connection manager against a paced simulated unit, driven as the window drives it: the tick
// clock follows real time and the manager runs on every second 55 ms tick.
struct ManagerRig {
    UnitSim unit;
    TransferEngine link;
    StatusSlots status;
    ParamImage image;
    MonitorImage monitor;
    MonitorRequest request;
    ConnectionHost host;
    ConnectionManager manager { link, image, monitor, request, status, host };
    RealTimeTicks ticks;

    explicit ManagerRig(UnitSimOptions options)
        : unit(options)
    {
        unit.Start();
        link.Search().SetStatusSlots(&status);
        link.Search().searchTable.FillFamilyRows();
        PortMap map;
        map.onlyMapped = true;
        map.Add("1=" + unit.DevicePath());
        link.Ports().SetPortMap(map);
    }
    // Returns whether a pass ran.
    bool Step()
    {
        if (!ticks.PassDue())
            return false;
        manager.Pass();
        return true;
    }
    bool RunUntil(const std::function<bool()>& done, double limitSeconds = 30)
    {
        const auto t0 = Clock::now();
        while (!done()) {
            if (std::chrono::duration<double>(Clock::now() - t0).count() > limitSeconds)
                return false;
            Step();
            QThread::usleep(500);
        }
        return true;
    }
    bool Idle() const
    {
        return manager.pendingCommand == 0
            && (manager.linkStep == ConnectionManager::StepIdle || manager.linkStep == ConnectionManager::StepMonitor);
    }
};

struct Timed {
    double seconds = 0;
    int64_t bytes = 0;
    std::vector<int64_t> jobBytes; // the bytes of each job, in the order they were judged
};

// Times a command from the pass that takes it up to the pass that judges its last job; the bytes
// the unit heard and sent in that time are counted alongside, job by job (a job is judged when the
// step moves on).
Timed TimeCommand(ManagerRig& rig, const std::function<void()>& issue, const std::function<bool()>& ended)
{
    issue();
    Timed t;
    rig.RunUntil(
        [&] { return rig.manager.pendingCommand == 0 && rig.manager.linkStep >= ConnectionManager::StepRead; });
    const auto t0 = Clock::now();
    const int64_t bytes0 = rig.unit.BytesMoved();
    int64_t jobStart = bytes0;
    int32_t step = rig.manager.linkStep;
    const bool done = rig.RunUntil([&] {
        if (rig.manager.linkStep != step) {
            step = rig.manager.linkStep;
            t.jobBytes.push_back(rig.unit.BytesMoved() - jobStart);
            jobStart = rig.unit.BytesMoved();
        }
        return ended();
    });
    if (!done)
        return {};
    t.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    t.bytes = rig.unit.BytesMoved() - bytes0;
    return t;
}

// The least time the pass schedule allows: a job started on a pass is judged on the first pass
// after its bytes have moved, so each job takes its wire time rounded up to whole passes.
double PassScheduleSeconds(const std::vector<int64_t>& jobBytes, uint32_t baud)
{
    double seconds = 0;
    for (int64_t bytes : jobBytes)
        seconds += std::max(1.0, std::ceil(double(bytes) * BITS_PER_BYTE / baud / PASS_SECONDS)) * PASS_SECONDS;
    return seconds;
}

ParamImage Pattern(int seed)
{
    ParamImage image;
    for (int a = 0; a < RS_LEN_EXE; ++a)
        image.Adrb(a) = uint8_t(a * 7 + seed);
    ValidateImage(image);
    return image;
}

// Read: two reads of 400 bytes, two jobs. Program: the reference block twice, the write and the
// read-back, four jobs (up to the verify; the unit's storing time that follows is the unit's own).
// The bound is the wire time of the bytes that moved plus one pass per job to judge it; schedule_s
// is the least time the pass schedule allows for the same jobs.
void BM_ManagerTransfer(benchmark::State& state)
{
    const int32_t protocol = int32_t(state.range(0));
    const bool program = state.range(1) != 0;
    const int jobs = program ? 4 : 2;
    Timed timed;
    uint32_t baud = 0;
    for (auto _ : state) {
        UnitSimOptions o;
        o.protocol = protocol;
        o.paced = true;
        o.storingMs = 100;
        ManagerRig rig(o);
        baud = rig.unit.LineBaudRequired();
        if (!rig.RunUntil([&] { return rig.manager.unitMirrorValid == 1 && rig.Idle(); })) {
            state.SkipWithError("the unit did not connect");
            return;
        }
        if (program) {
            rig.image = Pattern(11);
            timed = TimeCommand(
                rig, [&] { rig.manager.ProgramCommand(); }, [&] { return rig.manager.programPending != 0; });
        } else {
            timed = TimeCommand(
                rig, [&] { rig.manager.ReadCommand(); },
                [&] { return rig.manager.linkStep < ConnectionManager::StepReference; });
        }
        if (timed.seconds == 0) {
            state.SkipWithError("the command did not end");
            return;
        }
        state.SetIterationTime(timed.seconds);
    }
    const double wire = double(timed.bytes) * BITS_PER_BYTE / baud;
    const double bound = wire + jobs * PASS_SECONDS;
    state.counters["time_s"] = timed.seconds;
    state.counters["bytes"] = double(timed.bytes);
    state.counters["wire_s"] = wire;
    state.counters["passes"] = jobs;
    state.counters["bound_s"] = bound;
    state.counters["ratio"] = timed.seconds / bound;
    state.counters["jobs_judged"] = double(timed.jobBytes.size());
    state.counters["schedule_s"] = PassScheduleSeconds(timed.jobBytes, baud);
    state.counters["ratio_schedule"] = timed.seconds / PassScheduleSeconds(timed.jobBytes, baud);
    state.SetLabel(std::string(ProtocolName(protocol)) + (program ? " program" : " read"));
}

} // namespace

BENCHMARK(BM_ManagerTransfer)
    ->Args({ PROTOCOL_IGN100, 0 })
    ->Args({ PROTOCOL_IGN100, 1 })
    ->Args({ PROTOCOL_WCOM, 0 })
    ->Args({ PROTOCOL_WCOM, 1 })
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
