#include "mapedit/ui/MapTableView.h"

#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/TableViewStyle.h"

#include <algorithm>
#include <cmath>

using namespace TableViewStyle;

namespace {

constexpr int TABLE_LEFT = 10;
// Right and bottom margin of the table.
constexpr int TABLE_MARGIN = 27;
// The header column and the select strips at 96 pixels per inch.
constexpr int LABEL_GAP_AT_BASE = 15;
constexpr int HEADER_WIDTH_AT_BASE = 65;
constexpr int COMPACT_HEADER_WIDTH_AT_BASE = 45;
// A cell never gets narrower or lower than this, however many are asked to be visible.
constexpr double MIN_CELL = 4.0;
// The add- and remove-column buttons right of the table, and the strip they and their rotated
// label take before a side graph.
constexpr int COUNT_BUTTON = 15;
constexpr int COUNT_BUTTON_PITCH = 17;
constexpr int COUNT_STRIP = 20;
// Room between the table (with its bars) and whatever lies beside or below it.
constexpr int SIDE_GAP = 5;
// The side graph is drawn only where it gets more than this many pixels per row (column).
constexpr int SIDE_GRAPH_MIN = 100;
// The step arrows sit at the right end of the hovered element.
constexpr int ARROW_WIDTH = 15;
constexpr int ARROW_INSET = 10;

} // namespace

MapTableView::MapTableView(MapEditor& t)
    : tab_(t)
{
}

int MapTableView::EntryColumn(int window) const
{
    const MapAxis& a = tab_.Sheet().axisX;
    return a.off ? a.offIndex : a.firstVisible + window;
}

int MapTableView::EntryRow(int window) const
{
    const MapAxis& a = tab_.Sheet().axisY;
    return a.off ? a.offIndex : a.firstVisible + window;
}

int MapTableView::WindowColumn(int entry) const
{
    const MapAxis& a = tab_.Sheet().axisX;
    if (a.off)
        return entry == a.offIndex ? 0 : -1;
    const int w = entry - a.firstVisible;
    return w >= 0 && w < tab_.Geometry().shownColumns ? w : -1;
}

int MapTableView::WindowRow(int entry) const
{
    const MapAxis& a = tab_.Sheet().axisY;
    if (a.off)
        return entry == a.offIndex ? 0 : -1;
    const int w = entry - a.firstVisible;
    return w >= 0 && w < tab_.Geometry().shownRows ? w : -1;
}

void MapTableView::Layout(const QRect& a)
{
    area_ = a;
    LayoutMeasures(a.top());
    LayoutElements();
    LayoutScrollBars();
    LayoutSideParts();
}

void MapTableView::LayoutMeasures(int top)
{
    MapViewGeometry& g = tab_.Geometry();
    const int ppi = tab_.PixelsPerInch();
    const bool compact = tab_.Options() & OPT_COMPACT_POINTS;
    const int width = tab_.width(), height = tab_.height();
    g.left = TABLE_LEFT;
    g.rightMargin = g.bottomMargin = TABLE_MARGIN;
    g.top = top;
    g.labelGap = ppi * LABEL_GAP_AT_BASE / BASE_DPI;
    g.headerWidth = ppi * (compact ? COMPACT_HEADER_WIDTH_AT_BASE : HEADER_WIDTH_AT_BASE) / BASE_DPI;
    // The header row is as high as one of the visible rows would be with it counted in.
    g.headerHeight = std::max(1, (height - g.top - g.labelGap - g.bottomMargin) / (tab_.VisibleRows() + 1));
    g.cellLeft = g.left + g.headerWidth + g.labelGap;
    g.cellTop = g.top + g.headerHeight + g.labelGap;
    g.columnWidth = std::max(MIN_CELL, double(width - g.cellLeft - g.rightMargin) / tab_.VisibleColumns());
    g.rowHeight = std::max(
        MIN_CELL, double(height - g.top - g.headerHeight - g.labelGap - g.bottomMargin) / tab_.VisibleRows());
    g.shownColumns = tab_.ShownColumns();
    g.shownRows = tab_.ShownRows();
}

void MapTableView::LayoutElements()
{
    MapViewGeometry& g = tab_.Geometry();
    // Edges are rounded per boundary, so neighbouring cells always meet without a gap.
    for (int i = 0; i < g.shownColumns; ++i) {
        const int x0 = g.cellLeft + int(i * g.columnWidth), x1 = g.cellLeft + int((i + 1) * g.columnWidth);
        g.columnHeaders[i] = QRect(x0, g.top, x1 - x0, g.headerHeight);
        g.columnBoxes[i] = QRect(x0, g.top + g.headerHeight, x1 - x0, g.labelGap);
        for (int j = 0; j < g.shownRows; ++j) {
            const int y0 = g.cellTop + int(j * g.rowHeight), y1 = g.cellTop + int((j + 1) * g.rowHeight);
            g.cells[static_cast<size_t>(j * TAB_MAX_X + i)] = QRect(x0, y0, x1 - x0, y1 - y0);
        }
    }
    for (int j = 0; j < g.shownRows; ++j) {
        const int y0 = g.cellTop + int(j * g.rowHeight), y1 = g.cellTop + int((j + 1) * g.rowHeight);
        g.rowHeaders[j] = QRect(g.left, y0, g.headerWidth, y1 - y0);
        g.rowBoxes[j] = QRect(g.left + g.headerWidth, y0, g.labelGap, y1 - y0);
    }
    g.corner = QRect(g.left, g.top, g.headerWidth, g.headerHeight);
    g.selectAll = QRect(g.left + g.headerWidth, g.top + g.headerHeight, g.labelGap, g.labelGap);
}

void MapTableView::LayoutScrollBars()
{
    MapViewGeometry& g = tab_.Geometry();
    const QRect grid = g.Grid();
    const MapSheet& s = tab_.Sheet();
    g.horizontalBar = (!s.axisX.off && s.axisX.count > tab_.VisibleColumns())
        ? QRect(grid.left(), grid.bottom() + 1, grid.width(), SCROLL_BAR)
        : QRect();
    g.verticalBar = (!s.axisY.off && s.axisY.count > tab_.VisibleRows())
        ? QRect(grid.right() + 1, grid.top(), SCROLL_BAR, grid.height())
        : QRect();
}

void MapTableView::LayoutSideParts()
{
    MapViewGeometry& g = tab_.Geometry();
    const QRect grid = g.Grid();
    const MapSheet& s = tab_.Sheet();
    const int width = tab_.width(), height = tab_.height();
    // u and v: where the room right of and below the table begins.
    const int u = grid.right() + SIDE_GAP + (g.verticalBar.isNull() ? 0 : SCROLL_BAR);
    const int v = grid.bottom() + SIDE_GAP + (g.horizontalBar.isNull() ? 0 : SCROLL_BAR);
    if (s.axisX.resizable && !s.axisX.off) {
        g.addColumn = QRect(u, g.top, COUNT_BUTTON, COUNT_BUTTON);
        g.removeColumn = QRect(u, g.top + COUNT_BUTTON_PITCH, COUNT_BUTTON, COUNT_BUTTON);
    } else {
        g.addColumn = g.removeColumn = QRect();
    }
    const int counts = g.addColumn.isNull() ? 0 : COUNT_STRIP;
    // A graph below the table is measured per 2/3 of a row (a one-row table: its height x 1.5).
    const double rows = std::max(1, g.shownRows);
    const double below
        = rows == 1 ? (height - v - g.bottomMargin) * 1.5 : (height - v - g.bottomMargin) / (rows * 2 / 3);
    if (below > SIDE_GRAPH_MIN)
        g.sideGraph = QRect(g.left, v, width - g.left - g.rightMargin, height - v - g.bottomMargin);
    else if ((width - u - counts - g.rightMargin) / std::max(1, g.shownColumns) > SIDE_GRAPH_MIN)
        g.sideGraph = QRect(u + counts, g.top, width - u - counts - g.rightMargin, height - g.top - g.bottomMargin);
    else
        g.sideGraph = QRect();
}

QRect MapTableView::ElementRect(int column, int row) const
{
    const MapViewGeometry& g = tab_.Geometry();
    if (row == HEADER) {
        const int w = WindowColumn(column);
        return w < 0 ? QRect() : g.columnHeaders[w];
    }
    if (column == HEADER) {
        const int w = WindowRow(row);
        return w < 0 ? QRect() : g.rowHeaders[w];
    }
    const int wc = WindowColumn(column), wr = WindowRow(row);
    return wc < 0 || wr < 0 ? QRect() : g.Cell(wc, wr);
}

QRect MapTableView::ArrowRect(int column, int row, bool up) const
{
    const QRect r = ElementRect(column, row);
    if (r.isNull())
        return {};
    const int half = r.height() / 2;
    const int left = r.right() - ARROW_INSET;
    return up ? QRect(left, r.top(), ARROW_WIDTH, half) : QRect(left, r.top() + half, ARROW_WIDTH, r.height() - half);
}

QRect MapTableView::EditRect() const
{
    return tab_.Editing() ? ElementRect(tab_.EditColumn(), tab_.EditRow()) : QRect();
}

void MapTableView::ElementNear(QPoint p, int& column, int& row) const
{
    // Drags keep working beyond the grid: the position is held to the nearest shown element.
    const MapViewGeometry& g = tab_.Geometry();
    const int i = std::clamp(int(std::floor((p.x() - g.cellLeft) / g.columnWidth)), 0, g.shownColumns - 1);
    const int j = std::clamp(int(std::floor((p.y() - g.cellTop) / g.rowHeight)), 0, g.shownRows - 1);
    column = EntryColumn(i);
    row = EntryRow(j);
}

QRect MapTableView::SelectionBox() const
{
    const MapSelection& sel = tab_.Sheet().selection;
    if (sel.kind == SEL_NONE || sel.boxX0 < HEADER)
        return {};
    QRect box;
    for (int r = sel.boxY0; r <= sel.boxY1; ++r)
        for (int c = sel.boxX0; c <= sel.boxX1; ++c)
            box |= ElementRect(c, r);
    return box;
}
