#include "mapedit/SheetClipboard.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>

// Figures are reported as the fraction of one 55 ms main-timer tick they take ("tick_share"):
// a repaint or a paste must stay well below 1 so the window keeps its pace.
namespace {

constexpr double TICK_SECONDS = 0.055;
constexpr double GOAL_2D_SECONDS = 0.004;
// A 3D repaint must leave a turn by mouse smooth: 60 pictures a second.
constexpr double GOAL_3D_SECONDS = 0.016;

MapEditor* FullMap(MapEditorList& editors)
{
    MapEditor* tab = editors.CreateMapEditor(0, 1200, 700, OPT_TABLE, nullptr);
    tab->AddSheet("Bench", "RPM", "TP", "ADV", TAB_MAX_X, TAB_MAX_Y, SF_OPERATING_POINT);
    tab->DefineAxis(
        0, AXIS_X | AXIS_Y, "RPM", "", 0, 10000, 1, 1, nullptr, 1, 1, 1, TAB_MAX_X, 0, 0, 1, -1, 0, 0xFCE2F4);
    tab->DefineAxis(0, AXIS_DATA, "ADV", "°", -1000, 1000, 1, 1, nullptr, 1, 0, 1, 1, 0, 0, 0, -1, 0, 0xFCE2F4);
    tab->SetVisibleColumns(TAB_MAX_X);
    tab->SetVisibleRows(TAB_MAX_Y);
    for (int i = 0; i < TAB_MAX_X; ++i)
        tab->Sheet().axisX.values[i] = 100 * i;
    for (int i = 0; i < TAB_MAX_Y; ++i)
        tab->Sheet().axisY.values[i] = 100 * i;
    for (int r = 0; r < TAB_MAX_Y; ++r)
        for (int c = 0; c < TAB_MAX_X; ++c)
            tab->Sheet().Cell(c, r) = (c * r) % 900;
    tab->NormalizeSheet(0, AXIS_ALL | NORMALIZE_RESTART);
    tab->SelectSheet(0);
    tab->SelectAllCells();
    return tab;
}

void RenderFullTable(benchmark::State& state)
{
    MapEditorList editors;
    MapEditor* tab = FullMap(editors);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        tab->RequestRepaint(MapModel::REPAINT_LAYOUT);
        tab->Render();
        benchmark::DoNotOptimize(tab->Picture().constBits());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["tick_share"] = seconds / double(state.iterations()) / TICK_SECONDS;
}
BENCHMARK(RenderFullTable)->Unit(benchmark::kMillisecond);

// The advance map as the window shows it with a TP load axis: 10 x 10 cells, 800 x 500 pixels.
MapEditor* AdvanceMap(MapEditorList& editors, int view)
{
    MapEditor* tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 800, 500);
    MapSheet& s = tab->Sheet();
    s.axisY.off = 0;
    for (int i = 0; i < 10; ++i) {
        s.axisX.values[i] = 15 + 10 * i;
        s.axisY.values[i] = 10 * i + 10;
        for (int c = 0; c < 10; ++c)
            s.Cell(c, i) = 10 + (c * 7 + i * 3) % 25; // curves that cross: the stacking step is used
    }
    tab->SetBaseAdvance(10);
    tab->SetLimiterRpm(11000);
    tab->SetStartLimiterRpm(4000);
    tab->SetEngineRpm(5200);
    tab->RememberValues();
    tab->SetViewMode(view);
    tab->RebuildLayout();
    tab->SelectElement(4, 4);
    return tab;
}

// One full repaint (layout pass included) of the advance map; goal_share is the share of the
// 4 ms the 2D graph may take.
void RenderAdvance(benchmark::State& state, int view)
{
    MapEditorList editors;
    MapEditor* tab = AdvanceMap(editors, view);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        tab->RequestRepaint(MapModel::REPAINT_LAYOUT);
        tab->Render();
        benchmark::DoNotOptimize(tab->Picture().constBits());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double each = seconds / double(state.iterations());
    state.counters["tick_share"] = each / TICK_SECONDS;
    state.counters["goal_share"] = each / GOAL_2D_SECONDS;
}
BENCHMARK_CAPTURE(RenderAdvance, Graph2D, int(VIEW_2D))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderAdvance, Table, int(VIEW_TABLE))->Unit(benchmark::kMillisecond);

// The engine moving the operating point between two cells, as the monitor reports it while the
// window is idle: the redraw of the live marks alone against a full repaint of the same picture.
void MoveOperatingPoint(benchmark::State& state, int view, int request)
{
    MapEditorList editors;
    MapEditor* tab = AdvanceMap(editors, view);
    tab->SetThrottle(35);
    tab->Render();
    int step = 0;
    double seconds = 0;
    for (auto _ : state) {
        tab->SetEngineRpm(++step % 2 ? 5200 : 7300);
        tab->LocateOperatingPoint();
        const auto start = std::chrono::steady_clock::now();
        tab->RequestRepaint(request);
        tab->Render();
        benchmark::DoNotOptimize(tab->Picture().constBits());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["tick_share"] = seconds / double(state.iterations()) / TICK_SECONDS;
}
BENCHMARK_CAPTURE(MoveOperatingPoint, TableMarksOnly, int(VIEW_TABLE), int(MapModel::REPAINT_LIVE))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MoveOperatingPoint, TableFull, int(VIEW_TABLE), int(MapModel::REPAINT))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MoveOperatingPoint, Graph2DMarksOnly, int(VIEW_2D), int(MapModel::REPAINT_LIVE))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MoveOperatingPoint, Graph2DFull, int(VIEW_2D), int(MapModel::REPAINT))->Unit(benchmark::kMicrosecond);

// Heat colours may cost at most a fifth more than the classic table: the same table is repainted
// with the option off and on in turn; heat_ratio is the second's time over the first's and
// goal_share that ratio over the allowed 1.2.
constexpr double HEAT_RATIO_GOAL = 1.2;

void RenderTableHeat(benchmark::State& state, bool full)
{
    MapEditorList editors;
    MapEditor* tab = full ? FullMap(editors) : AdvanceMap(editors, VIEW_TABLE);
    double seconds[2] = { 0, 0 };
    for (auto _ : state)
        for (int heat : { 0, 1 }) {
            editors.heatColours = heat;
            const auto start = std::chrono::steady_clock::now();
            tab->RequestRepaint(MapModel::REPAINT_LAYOUT);
            tab->Render();
            benchmark::DoNotOptimize(tab->Picture().constBits());
            seconds[heat] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    const double ratio = seconds[1] / seconds[0];
    state.counters["heat_ratio"] = ratio;
    state.counters["goal_share"] = ratio / HEAT_RATIO_GOAL;
    state.counters["tick_share"] = seconds[1] / double(state.iterations()) / TICK_SECONDS;
}
BENCHMARK_CAPTURE(RenderTableHeat, Advance10x10, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderTableHeat, Full, true)->Unit(benchmark::kMillisecond);

// The servo map over speed and load, widened to 15 engine-speed columns: servo positions that
// rise with speed and load, so that the colours change across most grid cells.
MapEditor* WideServoMap(MapEditorList& editors)
{
    constexpr int COLUMNS = 15;
    MapEditor* tab = editors.CreateProgramMap(MapKind::Servo, nullptr, 800, 500);
    MapSheet& s = tab->Sheet();
    s.axisX.maxCount = s.axisX.count = COLUMNS;
    s.axisX.off = s.axisY.off = 0;
    for (int c = 0; c < COLUMNS; ++c)
        s.axisX.values[c] = 10 + 8 * c;
    for (int r = 0; r < 10; ++r) {
        s.axisY.values[r] = 10 * r;
        for (int c = 0; c < COLUMNS; ++c)
            s.Cell(c, r) = 20 + 12 * c + 5 * r + (c * r) % 9;
    }
    tab->SetEngineRpm(5200);
    tab->SetThrottle(40);
    tab->RememberValues();
    tab->LocateOperatingPoint();
    tab->SetViewMode(VIEW_3D);
    tab->RebuildLayout();
    return tab;
}

// One full repaint (layout pass included) of a map in the 3D view in surface mode state.range(0)
// (0 wire, 1 one colour, 2..5 height colours of grain 0..3); goal_share is the share of 16 ms.
void RenderSurface(benchmark::State& state, MapKind kind)
{
    MapEditorList editors;
    MapEditor* tab = kind == MapKind::Servo ? WideServoMap(editors) : AdvanceMap(editors, VIEW_3D);
    tab->Geometry().surfaceMode = static_cast<int32_t>(state.range(0));
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        tab->RequestRepaint(MapModel::REPAINT_LAYOUT);
        tab->Render();
        benchmark::DoNotOptimize(tab->Picture().constBits());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double each = seconds / double(state.iterations());
    state.counters["tick_share"] = each / TICK_SECONDS;
    state.counters["goal_share"] = each / GOAL_3D_SECONDS;
}
BENCHMARK_CAPTURE(RenderSurface, Advance10x10, MapKind::Advance)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RenderSurface, Servo15x10, MapKind::Servo)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void PasteWholeTable(benchmark::State& state)
{
    MapEditorList editors;
    MapEditor* tab = FullMap(editors);
    const std::string text = TableSheetText(*tab);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(PasteTableText(*tab, text));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["tick_share"] = seconds / double(state.iterations()) / TICK_SECONDS;
}
BENCHMARK(PasteWholeTable)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
