#include "monitor/ui/LogPlotPainter.h"

#include "lang/LangString.h"
#include "monitor/LogTrace.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <limits>

namespace {

constexpr int LEFT = 100, RIGHT = 12, TOP = 6, BOTTOM = 28, GAP = 6, LANE = 18;
const QColor GRID(220, 220, 220);

double NiceStep(double span, int count)
{
    const double raw = span / std::max(1, count);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : { 1.0, 2.0, 5.0 })
        if (raw <= m * power)
            return m * power;
    return 10.0 * power;
}

QString Number(double v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

QRect LogPlotPainter::PlotArea(const QRect& area)
{
    return area.adjusted(LEFT, TOP, -RIGHT, -BOTTOM);
}

double LogPlotPainter::TimeAt(const QRect& area, int x) const
{
    const QRect r = PlotArea(area);
    return view_.from + (view_.to - view_.from) * (x - r.left()) / std::max(1, r.width());
}

int LogPlotPainter::ColumnOf(const QRect& area, double seconds) const
{
    const QRect r = PlotArea(area);
    const double span = std::max(1e-9, view_.to - view_.from);
    return r.left() + static_cast<int>(std::lround((seconds - view_.from) / span * r.width()));
}

std::vector<LogPlotPainter::Pane> LogPlotPainter::Layout(const QRect& plotArea) const
{
    std::vector<Pane> panes;
    Pane states{ static_cast<int>(LogScale::State), {}, {} };
    for (int t : view_.traces) {
        const int scale = static_cast<int>(LogTrace::All()[static_cast<size_t>(t)].scale);
        if (scale == states.scale) {
            states.traces.push_back(t);
            continue;
        }
        auto it = std::find_if(panes.begin(), panes.end(), [scale](const Pane& p) { return p.scale == scale; });
        if (it == panes.end())
            it = panes.insert(std::upper_bound(panes.begin(), panes.end(), scale,
                                  [](int s, const Pane& p) { return s < p.scale; }),
                Pane{ scale, {}, {} });
        it->traces.push_back(t);
    }
    const int stateHeight = states.traces.empty() ? 0 : LANE * static_cast<int>(states.traces.size()) + GAP;
    const int count = static_cast<int>(panes.size());
    const int paneHeight = count ? (plotArea.height() - stateHeight - GAP * (count - 1)) / count : 0;
    int y = plotArea.top();
    for (Pane& pane : panes) {
        pane.rect = QRect(plotArea.left(), y, plotArea.width(), paneHeight);
        y += paneHeight + GAP;
        double low = std::numeric_limits<double>::infinity(), high = -low;
        for (int t : pane.traces)
            for (double v : plot_.values(t))
                if (!std::isnan(v)) {
                    low = std::min(low, v);
                    high = std::max(high, v);
                }
        if (!(low <= high))
            low = 0.0, high = 1.0;
        const double pad = std::max(1e-6, (high - low) * 0.05);
        pane.low = low - pad;
        pane.high = high + pad;
    }
    if (!states.traces.empty()) {
        states.rect = QRect(plotArea.left(), plotArea.bottom() - stateHeight + GAP + 1, plotArea.width(), stateHeight - GAP);
        panes.push_back(states);
    }
    return panes;
}

void LogPlotPainter::Paint(QPainter& p, const QRect& area) const
{
    p.fillRect(area, Qt::white);
    const QRect plotArea = PlotArea(area);
    if (plot_.empty() || plotArea.width() < 10 || plotArea.height() < 10)
        return;
    for (const Pane& pane : Layout(plotArea))
        PaintPane(p, pane);
    PaintTimeAxis(p, plotArea);
    if (!std::isnan(view_.cursor) && view_.cursor >= view_.from && view_.cursor <= view_.to) {
        const int x = ColumnOf(area, view_.cursor);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawLine(x, plotArea.top(), x, plotArea.bottom());
    }
}

void LogPlotPainter::PaintPane(QPainter& p, const Pane& pane) const
{
    p.setPen(Qt::gray);
    p.drawRect(pane.rect.adjusted(0, 0, -1, -1));
    if (pane.scale == static_cast<int>(LogScale::State)) {
        for (size_t i = 0; i < pane.traces.size(); ++i) {
            const QRect lane(pane.rect.left(), pane.rect.top() + LANE * static_cast<int>(i), pane.rect.width(), LANE);
            PaintTrace(p, pane.traces[i], lane.adjusted(0, 3, 0, -3), 0.0, 1.0);
            p.setPen(Qt::black);
            p.drawText(QRect(0, lane.top(), LEFT - 4, LANE), Qt::AlignRight | Qt::AlignVCenter,
                LegendText(pane.traces[i], CursorSample()));
        }
    } else {
        const int ticks = std::max(3, pane.rect.height() / 25);
        const double step = NiceStep(pane.high - pane.low, ticks);
        for (double v = std::ceil(pane.low / step) * step; v <= pane.high; v += step) {
            const int y = pane.rect.bottom() - static_cast<int>((v - pane.low) / (pane.high - pane.low) * pane.rect.height());
            p.setPen(GRID);
            p.drawLine(pane.rect.left() + 1, y, pane.rect.right() - 1, y);
            p.setPen(Qt::black);
            p.drawText(QRect(0, y - 8, LEFT - 4, 16), Qt::AlignRight | Qt::AlignVCenter, Number(v));
        }
        p.save();
        p.translate(10, pane.rect.center().y());
        p.rotate(-90);
        p.drawText(QRect(-pane.rect.height() / 2, -8, pane.rect.height(), 16), Qt::AlignCenter,
            QString::fromUtf8(LangText(LogTrace::Unit(static_cast<LogScale>(pane.scale)))));
        p.restore();
        for (int t : pane.traces)
            PaintTrace(p, t, pane.rect, pane.low, pane.high);
    }
    PaintLegend(p, pane);
}

// Sample-and-hold steps, broken where a value is not known; on/off traces are filled while on.
// Samples that share a pixel column become one vertical stroke from their lowest to their highest
// value, so an hour of records costs no more to draw than the width of the plot.
void LogPlotPainter::PaintTrace(QPainter& p, int trace, const QRect& band, double low, double high) const
{
    const std::vector<double>& times = plot_.times();
    const std::vector<double>& values = plot_.values(trace);
    const double span = std::max(1e-9, view_.to - view_.from);
    const auto yOf = [&](double v) { return band.bottom() - (v - low) / (high - low) * band.height(); };
    const auto xOf = [&](double t) {
        return static_cast<int>(std::clamp(band.left() + (t - view_.from) / span * band.width(),
            double(band.left()), double(band.right())));
    };
    const LogTrace& info = LogTrace::All()[static_cast<size_t>(trace)];
    const QColor colour = QColor::fromRgb(info.rgb);

    std::vector<QPolygonF> lines(1);
    int column = 0, onFrom = -1;
    double lowest = 0, highest = 0, last = 0;
    bool open = false;
    const auto closeColumn = [&] {
        if (open && lowest < highest)
            lines.back() << QPointF(column, lowest) << QPointF(column, highest) << QPointF(column, last);
    };
    const auto endRun = [&](int x) {
        if (onFrom >= 0)
            p.fillRect(QRect(onFrom, band.top(), std::max(1, x - onFrom), band.height()), colour);
        onFrom = -1;
    };
    int x = band.left();
    for (size_t i = static_cast<size_t>(std::max(0, plot_.SampleAt(view_.from))); i < times.size(); ++i) {
        const double v = values[i];
        x = xOf(times[i]);
        if (std::isnan(v)) {
            closeColumn();
            endRun(x);
            if (!lines.back().isEmpty())
                lines.emplace_back();
            open = false;
        } else {
            const double y = yOf(v);
            if (open && x == column) {
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
            } else {
                closeColumn();
                if (open)
                    lines.back() << QPointF(x, last);
                lines.back() << QPointF(x, y);
                column = x;
                lowest = highest = y;
                open = true;
            }
            last = y;
            if (info.onOff() && v > 0.5 && onFrom < 0)
                onFrom = x;
            else if (info.onOff() && v <= 0.5)
                endRun(x);
        }
        if (times[i] > view_.to)
            break;
    }
    closeColumn();
    endRun(x);
    p.setPen(QPen(colour, 1));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const QPolygonF& line : lines)
        p.drawPolyline(line);
}

void LogPlotPainter::PaintTimeAxis(QPainter& p, const QRect& plotArea) const
{
    const double span = std::max(1e-9, view_.to - view_.from);
    const double step = NiceStep(span, std::max(2, plotArea.width() / 90));
    p.setPen(Qt::black);
    for (double t = std::ceil(view_.from / step) * step; t <= view_.to; t += step) {
        const int x = plotArea.left() + static_cast<int>((t - view_.from) / span * plotArea.width());
        p.drawLine(x, plotArea.bottom() + 1, x, plotArea.bottom() + 4);
        p.drawText(QRect(x - 40, plotArea.bottom() + 4, 80, 14), Qt::AlignHCenter | Qt::AlignTop, Number(t));
    }
    p.drawText(QRect(plotArea.left(), plotArea.bottom() + 14, plotArea.width(), 14), Qt::AlignRight,
        QString::fromUtf8(LangText("###time [s]##Zeit [s]##čas [s]")));
}

void LogPlotPainter::PaintLegend(QPainter& p, const Pane& pane) const
{
    if (pane.scale == static_cast<int>(LogScale::State))
        return;
    const int sample = CursorSample();
    int x = pane.rect.left() + 6;
    for (int t : pane.traces) {
        const LogTrace& trace = LogTrace::All()[static_cast<size_t>(t)];
        const QString text = LegendText(t, sample);
        const int width = p.fontMetrics().horizontalAdvance(text) + 12;
        p.fillRect(QRect(x - 2, pane.rect.top() + 2, width, 16), QColor(255, 255, 255, 210));
        p.setPen(QColor::fromRgb(trace.rgb));
        p.drawText(QRect(x, pane.rect.top() + 2, width, 16), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += width;
    }
}

int LogPlotPainter::CursorSample() const
{
    return std::isnan(view_.cursor) ? -1 : plot_.SampleAt(view_.cursor);
}

QString LogPlotPainter::LegendText(int trace, int sample) const
{
    QString text = QString::fromUtf8(LangText(LogTrace::All()[static_cast<size_t>(trace)].title));
    if (sample < 0)
        return text;
    const double v = plot_.values(trace)[static_cast<size_t>(sample)];
    return text + " = " + (std::isnan(v) ? QStringLiteral("---") : Number(v));
}
