#include "EngineRecording.h"

#include "mapedit/MapHits.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/MapModel.h"
#include "mapedit/ProgramMaps.h"
#include "model/ImageDefaults.h"
#include "monitor/IgnlogFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <chrono>

// The shares of the largest recording the file format holds (its 16-bit record offsets end a
// recording at about 32 KB), counted on the advance map: "goal_share" is the time against the
// 10 ms a click on "Show on maps" may take, and must stay below 1.
namespace {

constexpr double GOAL_SECONDS = 0.010;

// The start-up settings with the advance map over speed and throttle.
ParamImage AdvanceImage()
{
    ParamImage image = StartupImage();
    image.Adrb(TPSIAP_SENSOR) = 1;
    image.Adrb(ADV_MAPA) = 1;
    return image;
}

// A ride sweeping speed and throttle until the recorder ends the recording because it is full.
IgnlogFile FullRecording()
{
    std::vector<EngineReading> ride;
    for (int k = 0; k < 2000; ++k)
        ride.push_back({ k % 50 == 0 ? 0 : 800 + (k * 37) % 11000, k % 101, 1, 420 + k % 40 });
    const std::string path = QDir::tempPath().toStdString() + "/vordax4-bench-hits.ignlog";
    WriteEngineRecording(path, ride, AdvanceImage());
    IgnlogFile log;
    log.Load(path);
    QFile::remove(QString::fromStdString(path));
    return log;
}

void CountFullRecording(benchmark::State& state)
{
    const IgnlogFile log = FullRecording();
    MapModel tab;
    DefineProgramMap(tab, MapKind::Advance);
    MapImageBinding::LoadAdvanceMap(tab, AdvanceImage(), MAP_DIM);
    double seconds = 0;
    int records = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const MapHits hits = MapHits::Count(log, tab.Sheet());
        benchmark::DoNotOptimize(hits.LargestShare());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        records = hits.PlacedRecords() + hits.StoppedRecords();
    }
    state.counters["monitor_records"] = records;
    state.counters["goal_share"] = seconds / double(state.iterations()) / GOAL_SECONDS;
}

} // namespace

BENCHMARK(CountFullRecording)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
