#pragma once

#include "mapedit/MapEditTypes.h"
#include "mapedit/View3DState.h"

#include <QRect>

#include <array>

// Geometry of the table view, recomputed by the layout pass; hit-testing uses the rectangles.
// The view state of the 3D graph (angles, surface and value modes, hints) lives here as well.
struct MapViewGeometry : View3DState {
    int left = 10;
    int top = 10;
    int rightMargin = 27;
    int bottomMargin = 27;
    int labelGap = 15;
    int headerWidth = 65;
    int headerHeight = 20;
    int cellLeft = 90;
    int cellTop = 45;
    double columnWidth = 40;
    double rowHeight = 20;
    int shownColumns = 1;
    int shownRows = 1;
    // Rectangles per shown position (window column / row), not per entry.
    std::array<QRect, TAB_MAX_X> columnHeaders {};
    std::array<QRect, TAB_MAX_Y> rowHeaders {};
    std::array<QRect, TAB_MAX_X> columnBoxes {};
    std::array<QRect, TAB_MAX_Y> rowBoxes {};
    std::array<QRect, TAB_MAX_CELLS> cells {};
    QRect corner;
    QRect selectAll;
    QRect horizontalBar;
    QRect verticalBar;
    QRect sideGraph;
    // Where the graph of the present view lies: the whole view in 2D, the side graph beside
    // the table, empty when no graph is shown.
    QRect graphArea;
    QRect addColumn, removeColumn;
    QRect proportionalToggle;

    QRect Cell(int windowColumn, int windowRow) const
    {
        return cells[static_cast<size_t>(windowRow * TAB_MAX_X + windowColumn)];
    }
    // The rectangle of the whole grid of shown cells.
    QRect Grid() const
    {
        return QRect(QPoint(cellLeft, cellTop),
            QPoint(cellLeft + int(shownColumns * columnWidth) - 1, cellTop + int(shownRows * rowHeight) - 1));
    }
};
