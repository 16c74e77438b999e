#pragma once

#include "model/MonitorImage.h"
#include "monitor/IgnlogFile.h"

#include <string>
#include <vector>

// The monitor records of a recording as traces over time: one sample per monitor record, the
// values read through the monitor field table (so they equal the CSV export). Unknown values are
// NaN and leave a gap.
struct MonitorField;

class LogPlot {
public:
    LogPlot();

    // Reads and checks a recording; on failure the plot is empty and the returned LangString says
    // why (the player's own message for a damaged file). Empty on success.
    std::string Load(const std::string& path);
    void Read(const IgnlogFile& log);
    void Clear();
    // Adds one monitor record at seconds, replayed by the player at position.
    void Append(double seconds, int position, const MonitorImage& monitor);

    bool empty() const { return times_.empty(); }
    int samples() const { return static_cast<int>(times_.size()); }
    const std::vector<double>& times() const { return times_; }
    // The samples of trace (an index into LogTrace::All()).
    const std::vector<double>& values(int trace) const { return values_[static_cast<size_t>(trace)]; }
    double start() const { return empty() ? 0.0 : times_.front(); }
    double end() const { return empty() ? 0.0 : times_.back(); }

    // The last sample at or before seconds (the first sample before the recording starts).
    int SampleAt(double seconds) const;
    // The player position that replays a sample, and the sample the player shows at a position
    // (-1 while it shows none).
    int PositionOf(int sample) const { return positions_[static_cast<size_t>(sample)]; }
    int SampleOfPosition(int position) const;

private:
    std::vector<double> times_;
    std::vector<int> positions_;
    std::vector<std::vector<double>> values_;
    std::vector<const MonitorField*> fields_; // the field of each trace
};
