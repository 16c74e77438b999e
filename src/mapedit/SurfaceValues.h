#pragma once

#include "mapedit/View3DState.h"

#include <utility>
#include <vector>

class MapModel;
struct MapSheet;

// Which cells of the active sheet the 3D graph writes its values at, by value mode: none; the
// operating cell; the interesting ones (the operating cell, the corners of an interpolable
// selection, a selection of fewer than five cells, and the local extremes); or all. The
// operating cell is (MapSheet::OP_BASE_ZONE, row) while the engine runs on the base advance.
class SurfaceValues {
public:
    // A selection this small is shown whole among the interesting values.
    static constexpr int FEW_SELECTED = 5;

    // The cells as (column, row), each once: the operating cell first, the others row by row.
    static std::vector<std::pair<int, int>> Cells(const MapModel& tab, int valueMode);
    // A cell strictly above, or strictly below, every neighbour along the axes in use.
    static bool LocalExtreme(const MapSheet& sheet, int column, int row);
};
