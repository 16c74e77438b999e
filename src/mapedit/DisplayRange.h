#pragma once

#include "mapedit/MapModel.h"
#include "mapedit/GraphRanges.h"

// The display ranges of the graphs: how far each axis of the active sheet reaches on the screen.
// They are shared by the sheets whose axes have a group bit in common, and they make room for
// the base advance and the limiter markers. The 2D graph and the 3D graph both use them.
class DisplayRange {
public:
    // Raw minimum and maximum of an axis before rounding.
    struct Extent {
        double min = 0;
        double max = 0;
    };

    // Recomputes viewMin, viewMax and currentRange of the active sheet's three axes and returns
    // the curve layout. Nothing else of the editor changes.
    static GraphRanges Compute(MapModel& tab);

    // The span of an axis's values (positions, or entry indexes when not proportional) over the
    // active sheet and every sheet whose same axis shares a group bit.
    static Extent AxisExtent(const MapModel& tab, int bit);
    // The lowest and highest shown cell over the same sheets.
    static Extent DataExtent(const MapModel& tab);
    // Raises the maximum so that the span is at least 2 raw units and the first rounding step.
    static Extent WithMinimumSpan(const MapAxis& axis, Extent extent);
    // Rounds an extent to the view limits of an axis by its range table; also picks currentRange.
    static void Apply(MapAxis& axis, Extent extent);
    // The largest rise of a cell over the cell of the previous curve at the same point; 0 when
    // every curve lies at or below its predecessor.
    static int32_t StackStep(const MapSheet& sheet, int acrossBit);

    // The entry of the i-th point of curve r and the cell it stands for.
    static void PointCell(const MapSheet& sheet, int acrossBit, int i, int r, int& column, int& row);
    // Where an entry lies along an axis: its value on a proportional axis, else its index.
    static double Position(const MapAxis& axis, int entry);

private:
    static bool SharesRange(const MapAxis& mine, const MapAxis& other);
};
