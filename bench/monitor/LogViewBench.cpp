#include "LogRecording.h"
#include "monitor/LogPlot.h"
#include "monitor/LogTrace.h"
#include "monitor/ui/LogPlotPainter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

// An hour of riding logged about every 0.45 s: 8 000 monitor records, all fifteen traces shown
// in a window-sized picture. Opening and drawing it must stay within half a second; moving the
// cursor repaints the same picture, so one repaint must also be quick enough to follow the mouse.
namespace {

constexpr int HOUR_RECORDS = 8000;
constexpr int STEP_MS = 450;

LogPlotView AllTraces(const LogPlot& plot)
{
    LogPlotView view;
    view.from = plot.start();
    view.to = plot.end();
    for (size_t t = 0; t < LogTrace::All().size(); ++t)
        view.traces.push_back(static_cast<int>(t));
    view.cursor = (view.from + view.to) / 2;
    return view;
}

// The samples of an hour, built as the recorder would log them.
void FillHour(LogPlot& plot)
{
    for (int k = 0; k < HOUR_RECORDS; ++k) {
        MonitorImage m;
        m.SetMonw(MON_RPM, static_cast<uint16_t>(1000 + (k * 37) % 11000));
        m.SetMonw(MON_SUPPLY_MV, static_cast<uint16_t>(12000 + 37 * (k % 50)));
        m.SetMonw(MON_LOAD, static_cast<uint16_t>(k % 100));
        for (int c = 0; c < CHANNELS; ++c)
            m.Monb(MON_ADV + c) = static_cast<uint8_t>(100 + (k + 7 * c) % 45);
        m.Monb(MON_LIMITER) = k % 40 > 30;
        m.Monb(MON_STATUS) = static_cast<uint8_t>(k % 60 < 5);
        m.Monb(MON_POUT) = static_cast<uint8_t>(k % 20 < 10 ? 1 : 2);
        plot.Append(k * STEP_MS / 1000.0, k + 1, m);
    }
}

void OpenAndDrawHour(benchmark::State& state)
{
    QImage picture(1400, 900, QImage::Format_RGB32);
    for (auto _ : state) {
        LogPlot plot;
        FillHour(plot);
        const LogPlotView view = AllTraces(plot);
        QPainter p(&picture);
        LogPlotPainter(plot, view).Paint(p, picture.rect());
    }
    state.counters["records"] = HOUR_RECORDS;
}

void MoveCursor(benchmark::State& state)
{
    LogPlot plot;
    FillHour(plot);
    LogPlotView view = AllTraces(plot);
    QImage picture(1400, 900, QImage::Format_RGB32);
    int step = 0;
    for (auto _ : state) {
        view.cursor = view.from + (view.to - view.from) * (step++ % 100) / 100.0;
        QPainter p(&picture);
        LogPlotPainter(plot, view).Paint(p, picture.rect());
    }
}

// The largest recording the file format holds (its 16-bit record offsets end a recording at
// about 32 KB), read from disk and drawn.
void LoadAndDrawFullFile(benchmark::State& state)
{
    const std::string path = QDir::tempPath().toStdString() + "/vordax4-bench-full.ignlog";
    WriteLogRecording(path, 1000, 450);
    QImage picture(1400, 900, QImage::Format_RGB32);
    int samples = 0;
    for (auto _ : state) {
        LogPlot plot;
        plot.Load(path);
        samples = plot.samples();
        const LogPlotView view = AllTraces(plot);
        QPainter p(&picture);
        LogPlotPainter(plot, view).Paint(p, picture.rect());
    }
    state.counters["records"] = samples;
    QFile::remove(QString::fromStdString(path));
}

} // namespace

BENCHMARK(OpenAndDrawHour)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveCursor)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadAndDrawFullFile)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
