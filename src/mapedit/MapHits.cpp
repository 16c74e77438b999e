#include "mapedit/MapHits.h"

#include "mapedit/MapSheet.h"
#include "mapedit/NearestAxisEntry.h"
#include "model/MonitorImage.h"
#include "monitor/IgnlogFile.h"

#include <algorithm>
#include <cstring>

namespace {

// What a monitor record says about the engine: speed, load and which sensor measures the load
// (0 none, 1 throttle, 2 manifold pressure), and when it was taken.
struct Reading {
    int rpm = 0;
    int load = 0;
    int sensorKind = 0;
    int64_t timeMs = 0;
};

std::vector<Reading> MonitorReadings(const IgnlogFile& log)
{
    std::vector<Reading> readings;
    MonitorImage m;
    for (int i = 0; i < log.totalCount(); ++i) {
        if (log.recordType(i) != ignlog::REC_MONITOR)
            continue;
        std::copy_n(log.record(i) + ignlog::R_PAYLOAD, ignlog::recordLength(ignlog::REC_MONITOR) - ignlog::RECORD_HEAD,
            m.bytes().begin());
        readings.push_back({ m.Monw(MON_RPM), m.Monw(MON_LOAD), std::min<int>(m.Monb(MON_SENSOR_KIND), 2),
            static_cast<int64_t>(log.recordTime(i)) });
    }
    return readings;
}

// The reading on an axis in its raw units, by the quantity the axis names; false when the record
// does not measure it.
bool AxisReading(const MapAxis& axis, const Reading& r, double& raw)
{
    if (std::strcmp(axis.name, "RPM") == 0)
        raw = r.rpm / axis.scale;
    else if (std::strcmp(axis.name, "TP") == 0 && r.sensorKind <= 1)
        raw = r.load / axis.scale;
    else if (std::strcmp(axis.name, "IAP") == 0 && r.sensorKind == 2)
        raw = r.load / axis.scale;
    else
        return false;
    return true;
}

// The entry a reading falls on; a switched-off axis takes every reading at its one entry.
bool Place(const MapAxis& axis, const Reading& r, int& entry, double& raw)
{
    if (axis.off) {
        entry = axis.offIndex;
        raw = axis.values[static_cast<size_t>(entry)];
        return true;
    }
    if (!AxisReading(axis, r, raw))
        return false;
    entry = NearestAxisEntry(axis, raw);
    return true;
}

// How long the engine stayed at reading i: until the next reading, the last one as long as the
// one before it.
double SpanMs(const std::vector<Reading>& readings, size_t i)
{
    const size_t n = readings.size();
    if (n < 2)
        return 0;
    const size_t from = i + 1 < n ? i : n - 2;
    const int64_t span = readings[from + 1].timeMs - readings[from].timeMs;
    return static_cast<double>(std::clamp<int64_t>(span, 0, MapHits::MAX_RECORD_SPAN_MS));
}

} // namespace

MapHits MapHits::Count(const IgnlogFile& log, const MapSheet& sheet)
{
    MapHits h;
    h.columns_ = sheet.axisX.count;
    h.rows_ = sheet.axisY.count;
    h.axesKey_ = AxesKey(sheet);
    const size_t cells = static_cast<size_t>(h.columns_ * h.rows_);
    h.records_.assign(cells, 0);
    std::vector<double> cellMs(cells, 0.0);
    const std::vector<Reading> readings = MonitorReadings(log);
    for (size_t i = 0; i < readings.size(); ++i) {
        if (readings[i].rpm == 0) {
            ++h.stopped_;
            continue;
        }
        Point pt;
        if (!Place(sheet.axisX, readings[i], pt.column, pt.across)
            || !Place(sheet.axisY, readings[i], pt.row, pt.along)) {
            ++h.unplaced_;
            continue;
        }
        h.points_.push_back(pt);
        const size_t cell = static_cast<size_t>(h.Index(pt.column, pt.row));
        ++h.records_[cell];
        const double span = SpanMs(readings, i);
        cellMs[cell] += span;
        h.runningMs_ += span;
    }
    h.timeWeighted_ = h.runningMs_ > 0;
    h.shares_.assign(cells, 0.0);
    for (size_t c = 0; c < cells; ++c) {
        if (h.timeWeighted_)
            h.shares_[c] = cellMs[c] / h.runningMs_;
        else if (!h.points_.empty())
            h.shares_[c] = static_cast<double>(h.records_[c]) / static_cast<double>(h.points_.size());
        h.largest_ = std::max(h.largest_, h.shares_[c]);
    }
    return h;
}

double MapHits::Share(int column, int row) const
{
    return Inside(column, row) ? shares_[static_cast<size_t>(Index(column, row))] : 0.0;
}

int MapHits::Records(int column, int row) const
{
    return Inside(column, row) ? records_[static_cast<size_t>(Index(column, row))] : 0;
}

std::vector<int32_t> MapHits::AxesKey(const MapSheet& sheet)
{
    std::vector<int32_t> key;
    for (const MapAxis* axis : { &sheet.axisX, &sheet.axisY }) {
        key.push_back(axis->count);
        key.push_back(axis->off ? axis->offIndex : -1);
        key.insert(key.end(), axis->values.begin(), axis->values.begin() + axis->count);
    }
    return key;
}

bool MapHits::CountedOn(const MapSheet& sheet) const { return AxesKey(sheet) == axesKey_; }
