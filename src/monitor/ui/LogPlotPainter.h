#pragma once

#include "monitor/LogPlot.h"

#include <QRect>
#include <QString>

#include <cmath>
#include <vector>

class QPainter;

// What part of a recording is shown: the time span, the traces (indexes into LogTrace::All())
// and the cursor (NaN: none).
struct LogPlotView {
    double from = 0.0, to = 1.0;
    std::vector<int> traces;
    double cursor = std::nan("");
};

// Paints a recording as stacked panes, one per scale (speed, load, advance, voltage) with its
// unit on the axis, and a band of lanes for the on/off traces; time in seconds along the bottom.
// The window and the command line paint through this one class so their pictures agree.
class LogPlotPainter {
public:
    LogPlotPainter(const LogPlot& plot, const LogPlotView& view) : plot_(plot), view_(view) {}

    void Paint(QPainter& p, const QRect& area) const;

    // The rectangle the traces use within area, and the time at column x of it.
    static QRect PlotArea(const QRect& area);
    double TimeAt(const QRect& area, int x) const;
    int ColumnOf(const QRect& area, double seconds) const;

private:
    struct Pane {
        int scale;
        QRect rect;
        std::vector<int> traces;
        double low = 0.0, high = 1.0;
    };
    std::vector<Pane> Layout(const QRect& plotArea) const;
    void PaintPane(QPainter& p, const Pane& pane) const;
    void PaintTrace(QPainter& p, int trace, const QRect& band, double low, double high) const;
    void PaintTimeAxis(QPainter& p, const QRect& plotArea) const;
    void PaintLegend(QPainter& p, const Pane& pane) const;
    // The sample under the cursor (-1: none), and a trace's name with its value there.
    int CursorSample() const;
    QString LegendText(int trace, int sample) const;

    const LogPlot& plot_;
    const LogPlotView& view_;
};
