#include "mapedit/SurfaceGrid.h"

#include "mapedit/MapModel.h"
#include "mapedit/DisplayRange.h"

#include <algorithm>
#include <cstring>

namespace {

// Positions along one direction of the grid and the entry each stands for.
struct Line {
    std::vector<double> at;
    std::vector<int> entry;
};

// The shown entries of an axis; a switched-off axis spans its whole range with its one entry.
Line LineOf(const MapAxis& axis, double span)
{
    Line line;
    if (axis.Used() == 1) {
        line.at = { 0, span };
        line.entry = { axis.EntryAt(0), axis.EntryAt(0) };
        return line;
    }
    for (int i = 0; i < axis.Used(); ++i) {
        line.at.push_back(DisplayRange::Position(axis, axis.EntryAt(i)) - axis.viewMin);
        line.entry.push_back(axis.EntryAt(i));
    }
    return line;
}

double Span(const MapAxis& axis) { return std::max(1, axis.viewMax - axis.viewMin); }

} // namespace

SurfaceGrid SurfaceGrid::Build(const MapModel& tab, const GraphRanges& ranges)
{
    SurfaceGrid g;
    if (tab.SheetCount() == 0)
        return g;
    const MapSheet& s = tab.Sheet();
    const MapAxis& across = s.Axis(ranges.across);
    const MapAxis& curve = s.Axis(ranges.curve);
    const MapAxis& data = s.axisData;
    g.acrossSpan = Span(across);
    g.curveSpan = Span(curve);
    g.dataBottom = data.fullRange3D ? data.minValue : data.viewMin;
    g.dataSpan = std::max(1.0, (data.fullRange3D ? data.maxValue : data.viewMax) - g.dataBottom);
    Line a = LineOf(across, g.acrossSpan);
    const Line c = LineOf(curve, g.curveSpan);
    g.plateau = (s.flags & SF_BASE_ADVANCE) && std::strcmp(across.name, "RPM") == 0 && !across.off;
    if (g.plateau) {
        a.at.insert(a.at.begin(), { 0.0, a.at.front() });
        a.entry.insert(a.entry.begin(), { MapSheet::OP_BASE_ZONE, MapSheet::OP_BASE_ZONE });
    }
    g.columns = static_cast<int>(a.at.size());
    g.rows = static_cast<int>(c.at.size());
    const double base = tab.BaseAdvance() / data.scale - g.dataBottom;
    g.nodes.resize(static_cast<size_t>(g.columns * g.rows));
    for (int r = 0; r < g.rows; ++r)
        for (int i = 0; i < g.columns; ++i) {
            Node& n = g.nodes[static_cast<size_t>(r * g.columns + i)];
            n.across = a.at[static_cast<size_t>(i)];
            n.depth = c.at[static_cast<size_t>(r)];
            const int acrossEntry = a.entry[static_cast<size_t>(i)], curveEntry = c.entry[static_cast<size_t>(r)];
            const bool onPlateau = acrossEntry == MapSheet::OP_BASE_ZONE;
            // The plateau belongs to the curve's first cell: its column is the base zone.
            n.column = ranges.across == AXIS_X ? acrossEntry : curveEntry;
            n.row = ranges.across == AXIS_X ? curveEntry : acrossEntry;
            n.height = onPlateau ? base : s.Cell(n.column, n.row) - g.dataBottom;
        }
    return g;
}

bool SurfaceGrid::CellPoint(int column, int row, Node& point) const
{
    Node sum;
    int found = 0;
    for (const Node& n : nodes)
        if (n.column == column && n.row == row) {
            sum.across += n.across;
            sum.height += n.height;
            sum.depth += n.depth;
            ++found;
        }
    if (!found)
        return false;
    point = { sum.across / found, sum.height / found, sum.depth / found, column, row };
    return true;
}
