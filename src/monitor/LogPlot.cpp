#include "monitor/LogPlot.h"

#include "model/ImageLayout.h"
#include "monitor/LogTrace.h"
#include "monitor/MonitorField.h"
#include "monitor/MonitorPlayer.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double TraceValue(const LogTrace& t, const MonitorField& f, const MonitorImage& m)
{
    if (!t.onOff()) {
        const std::optional<double> v = f.Value(m, t.element);
        return v ? *v : std::nan("");
    }
    const long raw = f.Raw(m, t.element);
    return t.bit >= 8 ? (raw != 0 ? 1.0 : 0.0) : static_cast<double>((raw >> t.bit) & 1);
}

} // namespace

std::string LogPlot::Load(const std::string& path)
{
    Clear();
    IgnlogFile log;
    const std::string error = log.Load(path);
    if (!error.empty())
        return error;
    Read(log);
    return {};
}

void LogPlot::Read(const IgnlogFile& log)
{
    Clear();
    for (int i = 0; i < log.totalCount(); ++i) {
        if (log.recordType(i) != ignlog::REC_MONITOR)
            continue;
        MonitorImage monitor;
        std::copy_n(log.record(i) + ignlog::R_PAYLOAD, MONITOR_BLOCK_LEN, monitor.bytes().begin());
        Append(log.recordTime(i) / 1000.0, std::max(0, i - log.snapshotCount() + 1), monitor);
    }
}

void LogPlot::Append(double seconds, int position, const MonitorImage& monitor)
{
    const std::vector<LogTrace>& traces = LogTrace::All();
    times_.push_back(seconds);
    positions_.push_back(position);
    for (size_t t = 0; t < traces.size(); ++t)
        values_[t].push_back(TraceValue(traces[t], *fields_[t], monitor));
}

LogPlot::LogPlot()
{
    for (const LogTrace& t : LogTrace::All())
        fields_.push_back(MonitorField::Find(t.field));
    Clear();
}

void LogPlot::Clear()
{
    times_.clear();
    positions_.clear();
    values_.assign(LogTrace::All().size(), {});
}

int LogPlot::SampleAt(double seconds) const
{
    if (empty())
        return -1;
    const auto after = std::upper_bound(times_.begin(), times_.end(), seconds);
    return std::max(0, static_cast<int>(after - times_.begin()) - 1);
}

int LogPlot::SampleOfPosition(int position) const
{
    const auto after = std::upper_bound(positions_.begin(), positions_.end(), position);
    return static_cast<int>(after - positions_.begin()) - 1;
}
