#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "unitsim/UnitSim.h"

#include "CliBenchRun.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

// The bench's goal: programming the units of a multi-port adapter at once takes at most this much
// longer than programming one of them.
constexpr double BOUND = 1.3;

// Paced simulated units: bytes take their wire time, and storing takes as long as a unit's does.
std::vector<std::unique_ptr<UnitSim>> StartUnits(int count)
{
    std::vector<std::unique_ptr<UnitSim>> units;
    for (int i = 0; i < count; ++i) {
        UnitSimOptions o;
        o.paced = true;
        o.name = "BENCH " + std::to_string(i + 1);
        units.push_back(std::make_unique<UnitSim>(o));
        units.back()->Start();
    }
    return units;
}

QString WriteBatchFile(const QTemporaryDir& dir)
{
    ParamImage image;
    image.Adrb(BIKE) = 7;
    ResetDefaults(image, -1);
    image.Adrb(LIMITER) = 123;
    ValidateImage(image);
    const QString path = dir.filePath("batch.ign");
    WriteIgnFile(path, image, IgnUnitInfo {});
    return path;
}

QStringList PortArgs(const std::vector<std::unique_ptr<UnitSim>>& units, size_t count)
{
    QStringList args;
    for (size_t i = 0; i < count; ++i)
        args << "--port" << QString("%1=%2").arg(i + 1).arg(QString::fromStdString(units[i]->DevicePath()));
    return args;
}

// Each unit programmed by a run of its own, one after another, as without --each.
double TimeInTurn(const QString& file, const std::vector<std::unique_ptr<UnitSim>>& units)
{
    double total = 0;
    for (const auto& unit : units) {
        const double run = TimeCliRun({ "program", file, "--port", "1=" + QString::fromStdString(unit->DevicePath()) });
        if (run < 0)
            return -1;
        total += run;
    }
    return total;
}

// vordax4-cli program on one unit, then program --each on four, from start to exit; for comparison
// also the four units programmed in turn.
void BM_ProgramEachAgainstOne(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString file = WriteBatchFile(dir);
    const auto units = StartUnits(count);
    double one = 0, each = 0, inTurn = 0;
    int runs = 0;
    for (auto _ : state) {
        const double oneRun = TimeCliRun(QStringList { "program", file } << PortArgs(units, 1));
        const double eachRun = TimeCliRun(QStringList { "program", file, "--each" } << PortArgs(units, units.size()));
        const double inTurnRun = TimeInTurn(file, units);
        if (oneRun < 0 || eachRun < 0 || inTurnRun < 0) {
            state.SkipWithError("a run of vordax4-cli failed");
            return;
        }
        state.SetIterationTime(eachRun);
        one += oneRun;
        each += eachRun;
        inTurn += inTurnRun;
        ++runs;
    }
    // Means over the iterations.
    state.counters["one_unit_s"] = one / runs;
    state.counters["each_s"] = each / runs;
    state.counters["ratio"] = each / one;
    state.counters["in_turn_s"] = inTurn / runs;
    state.counters["in_turn_ratio"] = inTurn / one;
    state.counters["bound"] = BOUND;
    state.SetLabel(std::to_string(count) + " units at once against one");
}

} // namespace

BENCHMARK(BM_ProgramEachAgainstOne)->Arg(4)->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
