#include "mapedit/ui/MapTableView.h"

#include "mapedit/ui/MapEditor.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MIN_CORNER_LEG = 6;
// Grips of the selection box: its bottom-right corner starts a fill, its edges a move; the mouse
// may be this far outside the grid.
constexpr int FILL_GRIP = 5;
constexpr int MOVE_GRIP = 2;
constexpr int GRID_SLACK = 2;

} // namespace

// The selection kind a press on this part of the table starts a band of.
int MapTableView::BandKindOf(HitKind kind)
{
    switch (kind) {
    case HIT_CELL:
        return SEL_CELLS;
    case HIT_COLUMN_HEADER:
        return SEL_COLUMNS;
    case HIT_ROW_HEADER:
        return SEL_ROWS;
    case HIT_COLUMN_BOX:
        return SEL_WHOLE_COLUMNS;
    case HIT_ROW_BOX:
        return SEL_WHOLE_ROWS;
    default:
        return SEL_NONE;
    }
}

MapTableView::Hit MapTableView::HitTest(QPoint p) const
{
    const MapViewGeometry& g = tab_.Geometry();
    if (!g.horizontalBar.isNull() && g.horizontalBar.contains(p))
        return { HIT_HBAR };
    if (!g.verticalBar.isNull() && g.verticalBar.contains(p))
        return { HIT_VBAR };
    if (!g.addColumn.isNull() && g.addColumn.contains(p))
        return { HIT_ADD_COLUMN };
    if (!g.removeColumn.isNull() && g.removeColumn.contains(p))
        return { HIT_REMOVE_COLUMN };
    if (g.selectAll.contains(p))
        return { HIT_SELECT_ALL };
    if (g.corner.contains(p)) {
        // The corner's diagonal runs from its top-left to its bottom-right: X above, Y below.
        const double fx = double(p.x() - g.corner.left()) / g.corner.width();
        const double fy = double(p.y() - g.corner.top()) / g.corner.height();
        return { fy < fx ? HIT_CORNER_X : HIT_CORNER_Y };
    }
    for (int i = 0; i < g.shownColumns; ++i) {
        if (g.columnHeaders[i].contains(p))
            return { HIT_COLUMN_HEADER, EntryColumn(i), HEADER };
        if (g.columnBoxes[i].contains(p))
            return { HIT_COLUMN_BOX, EntryColumn(i), NO_ELEMENT };
    }
    for (int j = 0; j < g.shownRows; ++j) {
        if (g.rowHeaders[j].contains(p))
            return { HIT_ROW_HEADER, HEADER, EntryRow(j) };
        if (g.rowBoxes[j].contains(p))
            return { HIT_ROW_BOX, NO_ELEMENT, EntryRow(j) };
    }
    if (g.Grid().contains(p)) {
        const int i = std::min(g.shownColumns - 1, int((p.x() - g.cellLeft) / g.columnWidth));
        const int j = std::min(g.shownRows - 1, int((p.y() - g.cellTop) / g.rowHeight));
        return { HIT_CELL, EntryColumn(i), EntryRow(j) };
    }
    return {};
}

bool MapTableView::OnInterpolationCorner(QPoint p) const
{
    const MapSelection& sel = tab_.Sheet().selection;
    if (!tab_.CanInterpolate() || tab_.PrintMode())
        return false;
    const QRect first = ElementRect(sel.cornerX0 < 0 ? HEADER : sel.cornerX0, sel.cornerY0);
    const QRect last = ElementRect(sel.cornerX1 < 0 ? HEADER : sel.cornerX1, sel.cornerY1);
    if (first.isNull() && last.isNull())
        return false;
    // Each corner's hot zone is the triangle inside the rectangle with legs one cell high.
    const QRect box = first.united(last);
    const int leg = std::max(MIN_CORNER_LEG, std::min(first.isNull() ? last.height() : first.height(), box.height()));
    const QPoint corners[4] = { box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight() };
    for (const QPoint& c : corners) {
        const int dx = std::abs(p.x() - c.x()), dy = std::abs(p.y() - c.y());
        if (box.contains(p) && dx + dy < leg)
            return true;
    }
    return false;
}

bool MapTableView::ArrowsShown() const
{
    const MapInteraction& in = tab_.Interaction();
    return in.HoverValid() && tab_.Sel().IsSelected(in.HoverColumn(), in.HoverRow());
}

int MapTableView::ArrowPartAt(QPoint position) const
{
    if (!ArrowsShown())
        return MapInteraction::ARROW_NONE;
    if (ArrowRect(tab_.Interaction().HoverColumn(), tab_.Interaction().HoverRow(), true).contains(position))
        return MapInteraction::ARROW_UP;
    if (ArrowRect(tab_.Interaction().HoverColumn(), tab_.Interaction().HoverRow(), false).contains(position))
        return MapInteraction::ARROW_DOWN;
    return MapInteraction::ARROW_NONE;
}

int MapTableView::BlockGripAt(QPoint position) const
{
    const QRect box = SelectionBox();
    const QRect reach = tab_.Geometry().Grid().adjusted(-GRID_SLACK, -GRID_SLACK, GRID_SLACK, GRID_SLACK);
    if (box.isNull() || !tab_.SelectionEditable() || !reach.contains(position))
        return MapInteraction::BLOCK_NONE;
    if ((position - box.bottomRight()).manhattanLength() <= FILL_GRIP)
        return MapInteraction::BLOCK_FILL;
    const bool nearEdge = box.adjusted(-MOVE_GRIP, -MOVE_GRIP, MOVE_GRIP, MOVE_GRIP).contains(position)
        && !box.adjusted(MOVE_GRIP, MOVE_GRIP, -MOVE_GRIP, -MOVE_GRIP).contains(position);
    return nearEdge ? MapInteraction::BLOCK_MOVE : MapInteraction::BLOCK_NONE;
}
