#pragma once

#include <cstdint>
#include <vector>

class IgnlogFile;
struct MapSheet;

// Where the engine ran during a recording, on the cells of one map: each cell's share of the
// engine's running time and the number of monitor records that fell into it, placed on the map's
// speed and load axes the way the live operating point is. Records with the engine stopped count
// nowhere. A record stands for the time until the next monitor record, at most MAX_RECORD_SPAN_MS
// (a longer gap means the monitor data stopped coming, and where the engine was then is unknown);
// when the records carry no usable times every record weighs the same.
class MapHits {
public:
    static constexpr int MAX_RECORD_SPAN_MS = 2000;

    // One recorded operating point: the cell it falls in and where it lies on the two axes, in
    // the axes' raw units.
    struct Point {
        int column = 0;
        int row = 0;
        double across = 0; // on the X axis (engine speed)
        double along = 0; // on the Y axis (load)
    };

    // Counts the recording's monitor records on the sheet's axes as they are now. A record whose
    // load the load axis does not measure (manifold pressure on a throttle axis) lands nowhere.
    static MapHits Count(const IgnlogFile& log, const MapSheet& sheet);

    // Cells are addressed by axis entry, as MapSheet::Cell; outside the map both are 0.
    double Share(int column, int row) const;
    int Records(int column, int row) const;
    double LargestShare() const { return largest_; }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }

    // Records placed in a cell, records with the engine stopped, records whose load fits no axis.
    int PlacedRecords() const { return static_cast<int>(points_.size()); }
    int StoppedRecords() const { return stopped_; }
    int UnplacedRecords() const { return unplaced_; }
    // The running time counted, in seconds; 0 when the shares are weighted by count.
    double RunningSeconds() const { return runningMs_ / 1000.0; }
    bool TimeWeighted() const { return timeWeighted_; }
    const std::vector<Point>& Points() const { return points_; }

    // Whether the counts belong to a sheet with these axes: entries, values and switched-off state
    // as they were counted on. An edit of an axis makes them stale.
    bool CountedOn(const MapSheet& sheet) const;

private:
    static std::vector<int32_t> AxesKey(const MapSheet& sheet);
    int Index(int column, int row) const { return row * columns_ + column; }
    bool Inside(int column, int row) const { return column >= 0 && row >= 0 && column < columns_ && row < rows_; }

    int columns_ = 0, rows_ = 0;
    std::vector<double> shares_;
    std::vector<int> records_;
    std::vector<Point> points_;
    double largest_ = 0;
    double runningMs_ = 0;
    bool timeWeighted_ = false;
    int stopped_ = 0, unplaced_ = 0;
    std::vector<int32_t> axesKey_;
};
