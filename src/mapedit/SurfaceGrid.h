#pragma once

#include "mapedit/GraphRanges.h"

#include <cstddef>
#include <vector>

class MapModel;

// The nodes of the 3D surface of a map: one per shown cell, in columns along the across axis and
// rows along the curve axis, each placed in raw units above the minima of the display ranges.
// A switched-off axis holds the map flat along its whole range (two nodes of the same cells), and
// an engine-speed map with a base advance starts with a plateau at the base-advance height from
// the left edge to its first column, as its curves do in the 2D graph.
class SurfaceGrid {
public:
    struct Node {
        double across = 0;
        double height = 0;
        double depth = 0;
        int column = 0; // the cell shown; column MapSheet::OP_BASE_ZONE on the plateau
        int row = 0;
    };

    // The grid of the active sheet; the display ranges must be computed already.
    static SurfaceGrid Build(const MapModel& tab, const GraphRanges& ranges);

    int Columns() const { return columns; }
    int Rows() const { return rows; }
    const Node& At(int i, int r) const { return nodes[static_cast<size_t>(r * columns + i)]; }
    // The spans of the three directions in raw units: across, data, curve.
    double AcrossSpan() const { return acrossSpan; }
    double DataSpan() const { return dataSpan; }
    double CurveSpan() const { return curveSpan; }
    // The raw data value at height 0.
    double DataBottom() const { return dataBottom; }
    bool HasPlateau() const { return plateau; }

    // Where a cell stands on the surface: the mean of its nodes (the middle of its strip along a
    // switched-off axis). False when the cell is not shown.
    bool CellPoint(int column, int row, Node& point) const;

private:
    int columns = 0;
    int rows = 0;
    double acrossSpan = 1;
    double dataSpan = 1;
    double curveSpan = 1;
    double dataBottom = 0;
    bool plateau = false;
    std::vector<Node> nodes;
};
