#pragma once

#include "mapedit/MapAxis.h"

#include <cstdint>
#include <vector>

class MapModel;
class MapReference;

// The difference surface of the 3D graph: while it lives, the active sheet's cells hold the screen's
// value minus the reference's (0 where the reference has no cell) and the base advance the
// difference of the two, so the graph's ranges, surface and values show screen - reference with
// the graph's own code. The destructor puts the screen's values back. Nothing is done without a
// reference or when show is false.
class ReferenceDifference {
public:
    ReferenceDifference(MapModel& tab, const MapReference* reference, bool show);
    ~ReferenceDifference();
    ReferenceDifference(const ReferenceDifference&) = delete;
    ReferenceDifference& operator=(const ReferenceDifference&) = delete;

    bool Active() const { return active_; }

private:
    MapModel& tab_;
    bool active_ = false;
    std::vector<int32_t> values_;
    int32_t minValue_ = 0, maxValue_ = 0, fullRange3D_ = 0, baseAdvance_ = 0;
};
