#include "mapedit/ui/MapTableView.h"

#include "lang/LangString.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/ui/MapEditor.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Colours (0x00BBGGRR; 0xFF00000F is the system's button face).
constexpr uint32_t BEVEL_LIGHT = 0xFFFFFF;
constexpr uint32_t BEVEL_DARK = 0xC0C0C0;
constexpr uint32_t PARTLY_SELECTED_HEADER = 0xC0C0C0;
constexpr uint32_t FULLY_SELECTED_HEADER = 0x808080;
constexpr uint32_t GRID_LINE = 0xE4D6D4;
constexpr uint32_t SELECTION_OVERLAY = 0xF4EEEC;
constexpr uint32_t EDIT_TEXT_SELECTION = 0xFF8844;
constexpr uint32_t CORNER_MARK = 0x88F444;
// A hovered corner mark, and the values its interpolation would give.
constexpr uint32_t CORNER_MARK_HOT = 0x00AAAA;
constexpr uint32_t OP_POINT_ACTIVE = 0x44F444;
constexpr uint32_t OP_POINT_OTHER = 0x44F4F4;
// Arrow glyphs, the corner's diagonal and the values of an axis the user cannot change.
constexpr uint32_t GREY = 0x808080;
constexpr uint32_t TRACK_COLOR = 0xE0E0E0;
constexpr uint32_t BUTTON_FACE = 0xFF00000F;

// Sizes in pixels. The header column and the select strips are given for 96 pixels per inch and
// grow with the screen's density; the rest are fixed.
constexpr int BASE_DPI = 96;
constexpr int TABLE_LEFT = 10;
// Right and bottom margin of the table.
constexpr int TABLE_MARGIN = 27;
constexpr int LABEL_GAP_AT_BASE = 15;
constexpr int HEADER_WIDTH_AT_BASE = 65;
constexpr int COMPACT_HEADER_WIDTH_AT_BASE = 45;
// A cell never gets narrower or lower than this, however many are asked to be visible.
constexpr double MIN_CELL = 4.0;
// The thickness of a scroll bar, and the side of its arrow buttons.
constexpr int SCROLL_BAR = 15;
constexpr int MIN_THUMB = 8;
// The add- and remove-column buttons right of the table, and the strip they and their rotated
// label take before a side graph.
constexpr int COUNT_BUTTON = 15;
constexpr int COUNT_BUTTON_PITCH = 17;
constexpr int COUNT_STRIP = 20;
constexpr int COUNT_GLYPH = 4;
constexpr int COUNT_PEN = 2;
// The row count stands in a line under the header column; the column count and its label run
// downward from just below the buttons.
constexpr int COUNT_TEXT_GAP = 2;
constexpr int COUNT_TEXT_HEIGHT = 16;
constexpr QPoint COUNT_LABEL_OFFSET { 2, 6 };
// Room between the table (with its bars) and whatever lies beside or below it.
constexpr int SIDE_GAP = 5;
// The side graph is drawn only where it gets more than this many pixels per row (column).
constexpr int SIDE_GRAPH_MIN = 100;
// The step arrows sit at the right end of the hovered element.
constexpr int ARROW_WIDTH = 15;
constexpr int ARROW_INSET = 10;
constexpr int MIN_CORNER_LEG = 6;
// Grips of the selection box: its bottom-right corner starts a fill, its edges a move; the mouse
// may be this far outside the grid.
constexpr int FILL_GRIP = 5;
constexpr int MOVE_GRIP = 2;
constexpr int GRID_SLACK = 2;

constexpr int POINTS_PER_INCH = 72;
constexpr int MIN_FONT_PIXELS = 6;
// Values use 1.4 x the control's font size; values the user cannot change shrink to 0.857 of it.
constexpr double VALUE_FONT_FACTOR = 1.4;
constexpr double FIXED_VALUE_FONT_FACTOR = 0.857;
constexpr int COUNT_FONT_SIZE = 10;
// Values stand 2 pixels right of the centre of their cell.
constexpr int TEXT_NUDGE = 2;

constexpr int OP_RING_PEN = 3;
constexpr int OP_RING_INSET = 2;
constexpr int OP_SHADOW_OFFSET = 2;

// A held scroll-bar arrow or track repeats from the third tick after the press.
constexpr int SCROLL_REPEAT_TICKS = 3;
// A band d pixels beyond the grid scrolls every max(1, (100 - d) / 10) ticks: faster the farther out.
constexpr int BAND_SCROLL_SPAN = 100;
constexpr int BAND_SCROLL_STEP = 10;

// A triangle glyph: its tip and base stand this far from the centre; the base is 2 x halfWidth.
struct Glyph {
    int tip, base, halfWidth;
};
constexpr Glyph SCROLL_GLYPH { 3, 2, 4 };
constexpr Glyph STEP_GLYPH { 2, 2, 3 };

const char* const NumberOfColumns = "###Number of columns##Anzahl der Spalten##Počet sloupců";
const char* const InterpolationHint = "###Interpolation####Interpolace";

QString Text(const char* lang) { return QString::fromUtf8(LangText(lang)); }

// Font sizes are points; a negative size means the same size without bold.
QFont FontOf(int size, bool italic = false, double factor = 1.0)
{
    QFont font;
    font.setPixelSize(std::max(MIN_FONT_PIXELS, int(std::abs(size) * factor * BASE_DPI / POINTS_PER_INCH)));
    font.setBold(size > 0 && !italic);
    font.setItalic(italic);
    return font;
}

// The axis labels share the corner box, X at its top right and Y at its bottom left; in a small
// box they are drawn smaller so that they never run into each other.
QFont CornerLabelFont(QFont font, const QRect& box, const QString& xLabel, const QString& yLabel)
{
    constexpr int GAP = 2;
    for (; font.pixelSize() > MIN_FONT_PIXELS; font.setPixelSize(font.pixelSize() - 1)) {
        const QFontMetrics fm(font);
        const QRect x(box.right() - 3 - fm.horizontalAdvance(xLabel), box.top() + 1, fm.horizontalAdvance(xLabel),
            fm.ascent() + fm.descent());
        const QRect y(box.left() + 3, box.bottom() - fm.ascent() - fm.descent(), fm.horizontalAdvance(yLabel),
            fm.ascent() + fm.descent());
        if (!x.adjusted(-GAP, -GAP, GAP, GAP).intersects(y))
            break;
    }
    return font;
}

// The open edit is drawn in the values' size, always bold.
QFont EditFont(int baseFontSize) { return FontOf(int(std::lround(VALUE_FONT_FACTOR * baseFontSize))); }

// Left end of an edit text centred in its element like the values.
int EditTextLeft(const QRect& rect, const QFontMetrics& fm, const QString& text)
{
    return rect.center().x() + TEXT_NUDGE - fm.horizontalAdvance(text) / 2;
}

// A triangle pointing along x (horizontal) or y, toward higher coordinates when forward.
QPolygon Triangle(QPoint c, bool horizontal, bool forward, Glyph g)
{
    const int s = forward ? 1 : -1;
    QPolygon triangle;
    if (horizontal)
        triangle << QPoint(c.x() + s * g.tip, c.y()) << QPoint(c.x() - s * g.base, c.y() - g.halfWidth)
                 << QPoint(c.x() - s * g.base, c.y() + g.halfWidth);
    else
        triangle << QPoint(c.x(), c.y() + s * g.tip) << QPoint(c.x() - g.halfWidth, c.y() - s * g.base)
                 << QPoint(c.x() + g.halfWidth, c.y() - s * g.base);
    return triangle;
}

// The selection kind a press on this part of the table starts a band of.
int BandKindOf(MapTableView::HitKind kind)
{
    switch (kind) {
    case MapTableView::HIT_CELL:
        return SEL_CELLS;
    case MapTableView::HIT_COLUMN_HEADER:
        return SEL_COLUMNS;
    case MapTableView::HIT_ROW_HEADER:
        return SEL_ROWS;
    case MapTableView::HIT_COLUMN_BOX:
        return SEL_WHOLE_COLUMNS;
    case MapTableView::HIT_ROW_BOX:
        return SEL_WHOLE_ROWS;
    default:
        return SEL_NONE;
    }
}

Qt::CursorShape GripCursor(int mode)
{
    return mode == MapInteraction::BLOCK_FILL ? Qt::CrossCursor : Qt::SizeAllCursor;
}

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
    g.rowHeight
        = std::max(MIN_CELL, double(height - g.top - g.headerHeight - g.labelGap - g.bottomMargin) / tab_.VisibleRows());
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

QRect MapTableView::EditRect() const { return tab_.Editing() ? ElementRect(tab_.EditColumn(), tab_.EditRow()) : QRect(); }

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

MapTableView::Coverage MapTableView::HeaderState(bool columns, int index) const
{
    const MapSheet& s = tab_.Sheet();
    const MapSelection& sel = s.selection;
    // A printout shows no selection.
    if (tab_.PrintMode())
        return COVER_NONE;
    if (columns ? sel.IsSelected(index, HEADER) : sel.IsSelected(HEADER, index))
        return COVER_ALL;
    const MapAxis& other = columns ? s.axisY : s.axisX;
    int selected = 0;
    for (int k = 0; k < other.Used(); ++k)
        selected += columns ? sel.IsSelected(index, other.EntryAt(k)) : sel.IsSelected(other.EntryAt(k), index);
    return selected == 0 ? COVER_NONE : selected == other.Used() ? COVER_ALL : COVER_SOME;
}

MapTableView::Coverage MapTableView::AxisState(bool columns) const
{
    const MapAxis& a = columns ? tab_.Sheet().axisX : tab_.Sheet().axisY;
    int all = 0, some = 0;
    for (int k = 0; k < a.Used(); ++k) {
        const Coverage state = HeaderState(columns, a.EntryAt(k));
        all += state == COVER_ALL;
        some += state != COVER_NONE;
    }
    return all == a.Used() ? COVER_ALL : some ? COVER_SOME : COVER_NONE;
}

MapTableView::Coverage MapTableView::MapState() const
{
    const MapSheet& s = tab_.Sheet();
    if (tab_.PrintMode())
        return COVER_NONE;
    int selected = 0;
    for (int r = 0; r < s.axisY.Used(); ++r)
        for (int c = 0; c < s.axisX.Used(); ++c)
            selected += s.selection.IsSelected(s.axisX.EntryAt(c), s.axisY.EntryAt(r));
    const int all = s.axisX.Used() * s.axisY.Used();
    return selected == 0 ? COVER_NONE : selected == all ? COVER_ALL : COVER_SOME;
}

uint32_t MapTableView::CoverageColor(Coverage coverage, uint32_t plain)
{
    return coverage == COVER_ALL ? FULLY_SELECTED_HEADER : coverage == COVER_SOME ? PARTLY_SELECTED_HEADER : plain;
}

void MapTableView::Bevel(QPainter& p, const QRect& r, uint32_t color, bool sunken)
{
    p.fillRect(r, MapEditor::Color(color));
    const QColor light = MapEditor::Color(BEVEL_LIGHT), dark = MapEditor::Color(BEVEL_DARK);
    p.setPen(sunken ? dark : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(sunken ? light : dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void MapTableView::Paint(QPainter& p)
{
    // Back to front: what is drawn later (selection, marks, texts, arrows) lies on the grid.
    PaintScrollBars(p);
    PaintCorner(p);
    PaintGrid(p);
    PaintHeaders(p);
    PaintSelection(p);
    PaintCornerMarks(p);
    PaintOperatingPoint(p);
    PaintTexts(p);
    PaintArrows(p);
    PaintCounts(p);
}

MapTableView::ScrollBar MapTableView::ScrollGeometry(bool horizontal) const
{
    const MapAxis& a = horizontal ? tab_.Sheet().axisX : tab_.Sheet().axisY;
    ScrollBar b;
    b.bar = horizontal ? tab_.Geometry().horizontalBar : tab_.Geometry().verticalBar;
    b.length = horizontal ? b.bar.width() : b.bar.height();
    b.page = horizontal ? tab_.VisibleColumns() : tab_.VisibleRows();
    // The thumb is as long a part of the track as the page is of the entries, and its offset
    // counts from the start of the bar (past the first arrow).
    b.track = std::max(1, b.length - 2 * SCROLL_BAR);
    b.thumb = std::max(MIN_THUMB, b.track * b.page / std::max(1, a.count));
    b.offset = SCROLL_BAR + (b.track - b.thumb) * a.firstVisible / std::max(1, a.count - b.page);
    return b;
}

void MapTableView::PaintScrollBars(QPainter& p)
{
    for (bool horizontal : { true, false }) {
        const ScrollBar b = ScrollGeometry(horizontal);
        const QRect& bar = b.bar;
        if (bar.isNull())
            continue;
        p.fillRect(bar, MapEditor::Color(TRACK_COLOR));
        const QRect first(bar.left(), bar.top(), SCROLL_BAR, SCROLL_BAR);
        const QRect last = horizontal ? QRect(bar.right() - SCROLL_BAR + 1, bar.top(), SCROLL_BAR, SCROLL_BAR)
                                      : QRect(bar.left(), bar.bottom() - SCROLL_BAR + 1, SCROLL_BAR, SCROLL_BAR);
        const QRect knob = horizontal ? QRect(bar.left() + b.offset, bar.top(), b.thumb, SCROLL_BAR)
                                      : QRect(bar.left(), bar.top() + b.offset, SCROLL_BAR, b.thumb);
        const bool held = drag_ == DRAG_SCROLL && scrollHorizontal_ == horizontal;
        Bevel(p, first, BUTTON_FACE, held && scrollPart_ == -SCROLL_ARROW);
        Bevel(p, last, BUTTON_FACE, held && scrollPart_ == SCROLL_ARROW);
        Bevel(p, knob, BUTTON_FACE, false);
        p.setBrush(MapEditor::Color(GREY));
        p.setPen(Qt::NoPen);
        p.drawPolygon(Triangle(first.center(), horizontal, false, SCROLL_GLYPH));
        p.drawPolygon(Triangle(last.center(), horizontal, true, SCROLL_GLYPH));
        p.setBrush(Qt::NoBrush);
    }
}

void MapTableView::PaintCorner(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const QRect r = tab_.Geometry().corner;
    const Coverage mapState = MapState();
    Bevel(p, r, CoverageColor(mapState, s.axisX.color), mapState == COVER_ALL);
    p.setFont(FontOf(s.headerFontSize));
    // With X off there is no column-header row to label: the corner names the data instead.
    if (s.axisX.off) {
        p.setPen(Qt::black);
        p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, Text(s.axisData.label));
        return;
    }
    const Coverage xState = AxisState(true), yState = s.axisY.off ? COVER_NONE : AxisState(false);
    QPolygon upper, lower;
    upper << r.topLeft() << r.topRight() << r.bottomRight();
    lower << r.topLeft() << r.bottomLeft() << r.bottomRight();
    p.setPen(Qt::NoPen);
    p.setBrush(MapEditor::Color(CoverageColor(xState, s.axisX.color)));
    p.drawPolygon(upper);
    p.setBrush(MapEditor::Color(CoverageColor(yState, s.axisY.color)));
    p.drawPolygon(lower);
    p.setBrush(Qt::NoBrush);
    p.setPen(MapEditor::Color(GREY));
    p.drawLine(r.topLeft(), r.bottomRight());
    // A label turns white on the dark colour of a fully selected axis; the small paddings keep
    // the labels clear of the bevel and the diagonal.
    if (!s.axisY.off)
        p.setFont(CornerLabelFont(p.font(), r, Text(s.axisX.label), Text(s.axisY.label)));
    p.setPen(xState == COVER_ALL ? Qt::white : Qt::black);
    p.drawText(r.adjusted(2, 1, -3, 0), Qt::AlignRight | Qt::AlignTop, Text(s.axisX.label));
    if (!s.axisY.off) {
        p.setPen(yState == COVER_ALL ? Qt::white : Qt::black);
        p.drawText(r.adjusted(3, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom, Text(s.axisY.label));
    }
}

void MapTableView::PaintGrid(QPainter& p)
{
    const MapViewGeometry& g = tab_.Geometry();
    const QRect grid = g.Grid();
    p.setPen(MapEditor::Color(GRID_LINE));
    for (int i = 0; i <= g.shownColumns; ++i) {
        const int x = g.cellLeft + int(i * g.columnWidth);
        p.drawLine(x, g.top, x, grid.bottom());
    }
    for (int j = 0; j <= g.shownRows; ++j) {
        const int y = g.cellTop + int(j * g.rowHeight);
        p.drawLine(g.left, y, grid.right(), y);
    }
}

void MapTableView::PaintHeaders(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapViewGeometry& g = tab_.Geometry();
    for (int i = 0; i < g.shownColumns; ++i) {
        const Coverage state = HeaderState(true, EntryColumn(i));
        const uint32_t color = CoverageColor(state, s.axisX.color);
        Bevel(p, g.columnBoxes[i], color, state == COVER_ALL);
        Bevel(p, g.columnHeaders[i], color, state == COVER_ALL);
    }
    // With Y off the row-select boxes stay (they select the one row); the header column is empty.
    for (int j = 0; j < g.shownRows; ++j) {
        const Coverage state = s.axisY.off ? COVER_NONE : HeaderState(false, EntryRow(j));
        const uint32_t color = CoverageColor(state, s.axisY.color);
        Bevel(p, g.rowBoxes[j], color, state == COVER_ALL);
        if (!s.axisY.off)
            Bevel(p, g.rowHeaders[j], color, state == COVER_ALL);
    }
    const Coverage mapState = MapState();
    Bevel(p, g.selectAll, CoverageColor(mapState, s.axisData.color), mapState == COVER_ALL);
}

void MapTableView::PaintSelection(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapSelection& sel = s.selection;
    if (tab_.PrintMode())
        return;
    // A band in progress is shown like the selection it will become.
    auto marked = [&](int c, int r) { return (sel.Mark(c, r) & (MARK_SELECTED | MARK_DRAG)) != 0; };
    // One selected cell is the cursor: outlined only, its value stays plain to read.
    const bool several = sel.count > 1 || (sel.dragKind & DRAG_RUBBER);
    // The outline follows the region's border: an edge is drawn where the neighbour is not marked
    // (row 0 and column 0 border on the headers, whose marks are not the cells').
    auto outline = [&](int c, int r, const QRect& rect) {
        p.setPen(Qt::black);
        if (!marked(c, r - 1) || r == 0)
            p.drawLine(rect.topLeft(), rect.topRight());
        if (!marked(c, r + 1))
            p.drawLine(rect.bottomLeft(), rect.bottomRight());
        if (!marked(c - 1, r) || c == 0)
            p.drawLine(rect.topLeft(), rect.bottomLeft());
        if (!marked(c + 1, r))
            p.drawLine(rect.topRight(), rect.bottomRight());
    };
    for (int j = 0; j < tab_.Geometry().shownRows; ++j)
        for (int i = 0; i < tab_.Geometry().shownColumns; ++i) {
            const int c = EntryColumn(i), r = EntryRow(j);
            if (!marked(c, r))
                continue;
            const QRect rect = tab_.Geometry().Cell(i, j);
            if (several) {
                // Every second pixel only, so that the cell shows through the overlay.
                p.fillRect(rect, QBrush(MapEditor::Color(SELECTION_OVERLAY), Qt::Dense4Pattern));
                // A white line just inside the cell, so neighbouring selected cells stay apart.
                p.setPen(Qt::white);
                p.drawRect(rect.adjusted(1, 1, -2, -2));
            }
            outline(c, r, rect);
        }
    for (int i = 0; i < tab_.Geometry().shownColumns; ++i)
        if (marked(EntryColumn(i), HEADER)) {
            const QRect rect = tab_.Geometry().columnHeaders[i];
            p.setPen(Qt::black);
            p.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    for (int j = 0; j < tab_.Geometry().shownRows; ++j)
        if (marked(HEADER, EntryRow(j))) {
            const QRect rect = tab_.Geometry().rowHeaders[j];
            p.setPen(Qt::black);
            p.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    if (tab_.Interaction().BlockDrag()) {
        const auto& t = tab_.Interaction().BlockTarget();
        QRect target;
        for (int r = t[BOX_Y0]; r <= t[BOX_Y1]; ++r)
            for (int c = t[BOX_X0]; c <= t[BOX_X1]; ++c)
                target |= ElementRect(c, r);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(target.adjusted(1, 1, -2, -2));
    }
}

void MapTableView::PaintCornerMarks(QPainter& p)
{
    const MapSelection& sel = tab_.Sheet().selection;
    if (tab_.PrintMode() || !sel.interpolable)
        return;
    const QColor color = MapEditor::Color(interpolationHover_ ? CORNER_MARK_HOT : CORNER_MARK);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const int x0 = sel.kind == SEL_ROWS ? HEADER : sel.cornerX0, x1 = sel.kind == SEL_ROWS ? HEADER : sel.cornerX1;
    const QRect first = ElementRect(x0, sel.cornerY0), last = ElementRect(x1, sel.cornerY1);
    const QRect box = first.united(last);
    // A right triangle in the cell's corner that is also a corner of the rectangle, pointing inward.
    auto mark = [&](const QRect& cell, QPoint corner) {
        if (cell.isNull())
            return;
        const int leg = std::min(cell.width(), cell.height());
        const int sx = corner.x() == box.left() ? 1 : -1, sy = corner.y() == box.top() ? 1 : -1;
        QPolygon tri;
        tri << corner << QPoint(corner.x() + sx * leg, corner.y()) << QPoint(corner.x(), corner.y() + sy * leg);
        p.drawPolygon(tri);
    };
    const QRect topRight = ElementRect(x1, sel.cornerY0), bottomLeft = ElementRect(x0, sel.cornerY1);
    mark(first, box.topLeft());
    mark(topRight, QPoint(box.right(), box.top()));
    mark(bottomLeft, QPoint(box.left(), box.bottom()));
    mark(last, box.bottomRight());
    p.setBrush(Qt::NoBrush);
}

void MapTableView::PaintOperatingPoint(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    if (!(s.flags & SF_OPERATING_POINT) || s.opState == MapSheet::OP_NONE)
        return;
    const QColor color = MapEditor::Color(s.opState == MapSheet::OP_ACTIVE ? OP_POINT_ACTIVE : OP_POINT_OTHER);
    const QColor shadow(color.red() / 2, color.green() / 2, color.blue() / 2);
    auto ring = [&](const QRect& r) {
        if (r.isNull())
            return;
        // QRect's right and bottom edges lie inside it, hence one pixel more on those sides.
        const QRect e = r.adjusted(OP_RING_INSET, OP_RING_INSET, -OP_RING_INSET - 1, -OP_RING_INSET - 1);
        p.setPen(QPen(shadow, OP_RING_PEN));
        p.drawEllipse(e.translated(OP_SHADOW_OFFSET, OP_SHADOW_OFFSET));
        p.setPen(QPen(color, OP_RING_PEN));
        p.drawEllipse(e);
    };
    ring(ElementRect(s.opColumn, HEADER));
    if (!s.axisY.off)
        ring(ElementRect(HEADER, s.opRow));
    // The cell itself is ringed unless the load axis shown is not the unit's load input.
    if (s.opState > MapSheet::OP_NONE)
        ring(ElementRect(s.opColumn, s.opRow));
}

void MapTableView::PaintTexts(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapViewGeometry& g = tab_.Geometry();
    // While a corner mark is hovered the cells show what the interpolation would make of them.
    MapSheet preview;
    const bool previewing = interpolationHover_ && tab_.CanInterpolate();
    if (previewing) {
        preview = s;
        tab_.ComputeInterpolation(preview);
    }
    caretRect_ = QRect();
    auto draw = [&](int c, int r, const QRect& rect) {
        if (rect.isNull())
            return;
        // An open edit shows its text in place of the value, even when the value changes meanwhile.
        if (tab_.IsEditing(c, r)) {
            PaintEditText(p, rect);
            return;
        }
        const MapAxis& a = s.AxisOf(c, r);
        const bool isCell = c >= 0 && r >= 0;
        const int size = a.axisFontSize ? a.axisFontSize : int(std::lround(VALUE_FONT_FACTOR * tab_.BaseFontSize()));
        int32_t raw = s.ValueOf(c, r);
        bool previewed = false;
        if (previewing) {
            const int32_t pv = preview.ValueOf(c, r);
            previewed = pv != raw;
            raw = pv;
        }
        // Header values always carry their unit; cells only where the map asks for it.
        const bool withUnit = isCell ? a.showUnit : true;
        const int32_t shown = isCell ? int32_t(raw / a.quantum * a.quantum) : raw;
        const bool grey = !a.editable;
        const int fontKey = size * 2 + (grey ? 1 : 0);
        p.setFont(texts_.Font(fontKey, [&] { return FontOf(size, grey, grey ? FIXED_VALUE_FONT_FACTOR : 1.0); }));
        p.setPen(previewed ? MapEditor::Color(CORNER_MARK_HOT) : grey ? MapEditor::Color(GREY) : QColor(Qt::black));
        texts_.DrawFitted(
            p, rect.translated(TEXT_NUDGE, 0), FormatAxisValue(shown, a.scale, a.unit, withUnit), fontKey, MIN_FONT_PIXELS);
    };
    for (int j = 0; j < g.shownRows; ++j)
        for (int i = 0; i < g.shownColumns; ++i)
            draw(EntryColumn(i), EntryRow(j), g.Cell(i, j));
    for (int i = 0; i < g.shownColumns; ++i)
        if (!s.axisX.off)
            draw(EntryColumn(i), HEADER, g.columnHeaders[i]);
    for (int j = 0; j < g.shownRows; ++j)
        if (!s.axisY.off)
            draw(HEADER, EntryRow(j), g.rowHeaders[j]);
}

void MapTableView::PaintEditText(QPainter& p, const QRect& rect)
{
    const QFont font = EditFont(tab_.BaseFontSize());
    p.setFont(font);
    const QFontMetrics fm(font);
    const QString text = QString::fromStdString(tab_.EditText());
    const int x = EditTextLeft(rect, fm, text);
    const int y = rect.center().y() + (fm.ascent() - fm.descent()) / 2;
    if (tab_.Interaction().TextSelEnd() > tab_.Interaction().TextSelStart() && !tab_.PrintMode()) {
        const int a0 = fm.horizontalAdvance(text.left(tab_.Interaction().TextSelStart()));
        const int a1 = fm.horizontalAdvance(text.left(tab_.Interaction().TextSelEnd()));
        p.fillRect(QRect(x + a0, y - fm.ascent(), a1 - a0, fm.height()), MapEditor::Color(EDIT_TEXT_SELECTION));
    }
    p.setPen(Qt::black);
    p.drawText(x, y, text);
    // The caret blinks in the paint event over the picture, so only its place is kept here.
    const int cx = x + fm.horizontalAdvance(text.left(tab_.Interaction().Caret()));
    caretRect_ = QRect(cx, y - fm.ascent(), 1, fm.height());
}

void MapTableView::PaintArrows(QPainter& p)
{
    if (tab_.PrintMode() || !tab_.Interaction().HoverValid())
        return;
    const MapSheet& s = tab_.Sheet();
    if (!s.Inside(tab_.Interaction().HoverColumn(), tab_.Interaction().HoverRow())
        || !s.AxisOf(tab_.Interaction().HoverColumn(), tab_.Interaction().HoverRow()).editable)
        return;
    for (bool up : { true, false }) {
        const QRect r = ArrowRect(tab_.Interaction().HoverColumn(), tab_.Interaction().HoverRow(), up);
        if (r.isNull())
            continue;
        Bevel(p, r, BUTTON_FACE, tab_.Interaction().ArrowHeld(up));
        p.setPen(Qt::NoPen);
        p.setBrush(MapEditor::Color(GREY));
        p.drawPolygon(Triangle(r.center(), false, !up, STEP_GLYPH));
        p.setBrush(Qt::NoBrush);
    }
}

bool MapTableView::CountButtonEnabled(bool add) const
{
    const MapAxis& x = tab_.Sheet().axisX;
    return add ? x.count < x.maxCount : x.count > x.minCount;
}

void MapTableView::PaintCounts(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapViewGeometry& g = tab_.Geometry();
    QFont font = FontOf(COUNT_FONT_SIZE);
    p.setFont(font);
    p.setPen(Qt::black);
    if (s.axisY.resizable && !s.axisY.off) {
        const QRect grid = g.Grid();
        p.drawText(QRect(g.left, grid.bottom() + COUNT_TEXT_GAP, g.headerWidth, COUNT_TEXT_HEIGHT), Qt::AlignCenter,
            QString::asprintf("(%i)", s.axisY.count));
    }
    if (g.addColumn.isNull())
        return;
    // The buttons grey out at the limits of the column count.
    for (const auto& [rect, enabled, plus] : { std::tuple { g.addColumn, CountButtonEnabled(true), true },
             std::tuple { g.removeColumn, CountButtonEnabled(false), false } }) {
        Bevel(p, rect, BUTTON_FACE, false);
        p.setPen(QPen(enabled ? Qt::black : Qt::gray, COUNT_PEN));
        const QPoint c = rect.center();
        p.drawLine(c.x() - COUNT_GLYPH, c.y(), c.x() + COUNT_GLYPH, c.y());
        if (plus)
            p.drawLine(c.x(), c.y() - COUNT_GLYPH, c.x(), c.y() + COUNT_GLYPH);
    }
    p.save();
    p.setPen(Qt::black);
    p.translate(QPoint(g.addColumn.left(), g.removeColumn.bottom()) + COUNT_LABEL_OFFSET);
    p.rotate(90);
    p.drawText(0, 0, QString::asprintf("(%i) ", s.axisX.count) + Text(NumberOfColumns));
    p.restore();
}

int MapTableView::CaretAt(QPoint position) const
{
    const QFont font = EditFont(tab_.BaseFontSize());
    const QFontMetrics fm(font);
    const QString text = QString::fromStdString(tab_.EditText());
    const int x0 = EditTextLeft(ElementRect(tab_.EditColumn(), tab_.EditRow()), fm, text);
    // The caret goes to the character boundary nearest the click: past a character's middle, after it.
    int best = 0;
    for (int i = 1; i <= text.size(); ++i) {
        const int left = fm.horizontalAdvance(text.left(i - 1)), right = fm.horizontalAdvance(text.left(i));
        if (position.x() - x0 >= (left + right) / 2)
            best = i;
    }
    return best;
}

int MapTableView::ArrowPartAt(QPoint position) const
{
    if (!tab_.Interaction().HoverValid())
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

Qt::CursorShape MapTableView::DragTo(QPoint position)
{
    int column, row;
    switch (drag_) {
    case DRAG_BAND:
        ElementNear(position, column, row);
        tab_.Interaction().DragBand(column, row);
        return Qt::ArrowCursor;
    case DRAG_BLOCK:
        ElementNear(position, column, row);
        tab_.Interaction().UpdateBlockDrag(column, row);
        return GripCursor(tab_.Interaction().BlockDrag());
    case DRAG_TEXT:
        tab_.Interaction().SelectEditText(textAnchor_, CaretAt(position));
        tab_.RequestRepaint(MapModel::REPAINT);
        return Qt::IBeamCursor;
    case DRAG_SCROLL:
        if (scrollPart_ == SCROLL_THUMB)
            DragThumb(position);
        return Qt::ArrowCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void MapTableView::DragThumb(QPoint position)
{
    const ScrollBar b = ScrollGeometry(scrollHorizontal_);
    MapAxis& a = scrollHorizontal_ ? tab_.Sheet().axisX : tab_.Sheet().axisY;
    // The thumb's place on the track maps proportionally to the first visible entry.
    const int delta = (scrollHorizontal_ ? position.x() : position.y()) - thumbGrab_;
    const int first = std::clamp(int(std::lround(double(delta) * a.count / b.track)), 0, std::max(0, a.count - b.page));
    if (first != a.firstVisible) {
        a.firstVisible = first;
        tab_.RunCommand(scrollHorizontal_ ? CMD_SCROLL_X : CMD_SCROLL_Y);
    }
}

void MapTableView::UpdateHover(QPoint position)
{
    // The arrows belong to the hovered element and reach past its edge, so while the mouse is on
    // them the element stays hovered.
    if (ArrowPartAt(position) == MapInteraction::ARROW_NONE) {
        const MapSheet& s = tab_.Sheet();
        const Hit hit = HitTest(position);
        const bool element = hit.kind == HIT_CELL || hit.kind == HIT_COLUMN_HEADER || hit.kind == HIT_ROW_HEADER;
        tab_.Interaction().SetHovered(
            element && s.Inside(hit.column, hit.row) && s.AxisOf(hit.column, hit.row).editable, hit.column, hit.row);
    }
    tab_.Interaction().SetArrowPartHovered(ArrowPartAt(position));
}

Qt::CursorShape MapTableView::MouseMove(QPoint position, bool leftHeld)
{
    mouse_ = position;
    if (leftHeld)
        return DragTo(position);
    if (EditRect().contains(position))
        return Qt::IBeamCursor;
    UpdateHover(position);
    const bool hot = !tab_.Interaction().ArrowPartHovered() && OnInterpolationCorner(position);
    if (hot != interpolationHover_) {
        interpolationHover_ = hot;
        tab_.SetHintText(hot ? Text(InterpolationHint) : QString());
        tab_.setToolTip(tab_.HintText());
        tab_.Render();
    }
    if (hot || tab_.Interaction().ArrowPartHovered())
        return Qt::ArrowCursor;
    const int grip = BlockGripAt(position);
    return grip == MapInteraction::BLOCK_NONE ? Qt::ArrowCursor : GripCursor(grip);
}

bool MapTableView::MousePress(QPoint position, Qt::KeyboardModifiers modifiers)
{
    mouse_ = position;
    const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
    // A press inside the open edit places the caret; anywhere else it commits the edit first.
    if (EditRect().contains(position)) {
        textAnchor_ = CaretAt(position);
        tab_.Interaction().SelectEditText(textAnchor_, textAnchor_);
        drag_ = DRAG_TEXT;
        tab_.RequestRepaint(MapModel::REPAINT);
        return true;
    }
    tab_.CommitCellEdit();
    // The hover may be stale (no move since the last change): bring it up to date first.
    MouseMove(position, false);
    if (tab_.Interaction().HoverValid() && tab_.Interaction().ArrowPartHovered()) {
        tab_.Interaction().PressArrow(tab_.Interaction().ArrowPartHovered() == MapInteraction::ARROW_UP);
        drag_ = DRAG_ARROW;
        return true;
    }
    if (interpolationHover_) {
        interpolationHover_ = false;
        tab_.InterpolateSelection();
        return true;
    }
    if (const int grip = BlockGripAt(position); grip != MapInteraction::BLOCK_NONE) {
        int column, row;
        ElementNear(position, column, row);
        if (tab_.Interaction().BeginBlockDrag(grip, column, row)) {
            drag_ = DRAG_BLOCK;
            return true;
        }
    }
    const Hit hit = HitTest(position);
    switch (hit.kind) {
    case HIT_SELECT_ALL:
        tab_.SelectAllCells();
        return true;
    case HIT_CORNER_X:
    case HIT_CORNER_Y:
        tab_.SelectAllHeaders(hit.kind == HIT_CORNER_X);
        return true;
    case HIT_HBAR:
    case HIT_VBAR:
        ScrollPress(hit.kind == HIT_HBAR, position);
        return true;
    case HIT_ADD_COLUMN:
    case HIT_REMOVE_COLUMN:
        // A disabled button takes the click and does nothing.
        if (const bool add = hit.kind == HIT_ADD_COLUMN; CountButtonEnabled(add))
            tab_.RunCommand(add ? CMD_ADD_COLUMN : CMD_REMOVE_COLUMN);
        return true;
    case HIT_CELL:
    case HIT_COLUMN_HEADER:
    case HIT_ROW_HEADER:
    case HIT_COLUMN_BOX:
    case HIT_ROW_BOX:
        if (hit.kind == HIT_ROW_HEADER && tab_.Sheet().axisY.off)
            return false;
        tab_.Interaction().BeginBand(BandKindOf(hit.kind), std::max(hit.column, 0), std::max(hit.row, 0), shift, ctrl);
        drag_ = DRAG_BAND;
        return true;
    default:
        return false;
    }
}

void MapTableView::MouseRelease(QPoint position)
{
    mouse_ = position;
    switch (drag_) {
    case DRAG_ARROW:
        tab_.Interaction().ReleaseArrow();
        break;
    case DRAG_BAND:
        tab_.Interaction().EndBand();
        break;
    case DRAG_BLOCK:
        tab_.Interaction().FinishBlockDrag();
        break;
    default:
        break;
    }
    drag_ = DRAG_NONE;
    scrollPart_ = SCROLL_NONE;
    tab_.RequestRepaint(MapModel::REPAINT);
}

void MapTableView::DoubleClick(QPoint position)
{
    const Hit hit = HitTest(position);
    if (hit.kind != HIT_CELL && hit.kind != HIT_COLUMN_HEADER && hit.kind != HIT_ROW_HEADER)
        return;
    if (tab_.Sheet().selection.dragKind & DRAG_RUBBER)
        tab_.Interaction().EndBand();
    drag_ = DRAG_NONE;
    if (!tab_.Interaction().BeginCellEdit(hit.column, hit.row, false))
        return;
    tab_.Interaction().SelectAllEditText();
    // The caret is placed on the text as drawn, so the picture is brought up to date first.
    tab_.Render();
    tab_.Interaction().PlaceEditCaret(CaretAt(position));
}

bool MapTableView::Wheel(QPoint position, int steps)
{
    (void)position;
    if (tab_.Interaction().HoverValid()) {
        tab_.Interaction().StepHovered(steps);
        return true;
    }
    // Without step arrows the wheel scrolls: rows when there are more than shown, else columns.
    MapSheet& s = tab_.Sheet();
    if (!tab_.Geometry().verticalBar.isNull())
        tab_.ScrollTo(HEADER, steps > 0 ? s.axisY.firstVisible - 1 : s.axisY.firstVisible + tab_.Geometry().shownRows);
    else if (!tab_.Geometry().horizontalBar.isNull())
        tab_.ScrollTo(steps > 0 ? s.axisX.firstVisible - 1 : s.axisX.firstVisible + tab_.Geometry().shownColumns, HEADER);
    else
        return false;
    return true;
}

void MapTableView::ScrollPress(bool horizontal, QPoint position)
{
    const ScrollBar b = ScrollGeometry(horizontal);
    const int at = horizontal ? position.x() - b.bar.left() : position.y() - b.bar.top();
    scrollHorizontal_ = horizontal;
    drag_ = DRAG_SCROLL;
    scrollPressTick_ = tab_.TickCount();
    if (at < SCROLL_BAR)
        scrollPart_ = -SCROLL_ARROW;
    else if (at >= b.length - SCROLL_BAR)
        scrollPart_ = SCROLL_ARROW;
    else if (at < b.offset)
        scrollPart_ = -SCROLL_TRACK;
    else if (at >= b.offset + b.thumb)
        scrollPart_ = SCROLL_TRACK;
    else {
        // The grab keeps the thumb's distance to the mouse while it is dragged.
        scrollPart_ = SCROLL_THUMB;
        thumbGrab_ = (horizontal ? position.x() : position.y()) - (b.offset - SCROLL_BAR);
        return;
    }
    ScrollStep();
}

void MapTableView::ScrollStep()
{
    const ScrollBar b = ScrollGeometry(scrollHorizontal_);
    MapAxis& a = scrollHorizontal_ ? tab_.Sheet().axisX : tab_.Sheet().axisY;
    // An arrow moves by one entry, the track by a page less one so one entry stays in view.
    const int move = std::abs(scrollPart_) == SCROLL_ARROW ? 1 : std::max(1, b.page - 1);
    if (std::abs(scrollPart_) == SCROLL_TRACK) {
        // A held track press stops once the thumb has reached the mouse.
        const int at = scrollHorizontal_ ? mouse_.x() - b.bar.left() : mouse_.y() - b.bar.top();
        if (at >= b.offset && at < b.offset + b.thumb)
            return;
    }
    const int first = std::clamp(a.firstVisible + (scrollPart_ > 0 ? move : -move), 0, std::max(0, a.count - b.page));
    if (first != a.firstVisible) {
        a.firstVisible = first;
        tab_.RunCommand(scrollHorizontal_ ? CMD_SCROLL_X : CMD_SCROLL_Y);
    }
}

void MapTableView::Tick()
{
    if (drag_ == DRAG_SCROLL && scrollPart_ != SCROLL_THUMB && scrollPart_ != SCROLL_NONE
        && tab_.TickCount() - scrollPressTick_ >= SCROLL_REPEAT_TICKS)
        ScrollStep();
    if (drag_ == DRAG_BAND || drag_ == DRAG_BLOCK)
        AutoscrollBand();
}

void MapTableView::AutoscrollBand()
{
    const QRect grid = tab_.Geometry().Grid();
    MapSheet& s = tab_.Sheet();
    // d: how far the mouse is beyond the grid; above it only below the header row, so that a band
    // along the column headers does not scroll the rows.
    int dx = 0, dy = 0, d = 0;
    if (mouse_.x() > grid.right())
        dx = 1, d = mouse_.x() - grid.right();
    else if (mouse_.x() < grid.left())
        dx = -1, d = grid.left() - mouse_.x();
    if (mouse_.y() > grid.bottom())
        dy = 1, d = std::max(d, mouse_.y() - grid.bottom());
    else if (mouse_.y() < grid.top() && mouse_.y() >= tab_.Geometry().top + tab_.Geometry().headerHeight)
        dy = -1, d = std::max(d, grid.top() - mouse_.y());
    if (!dx && !dy)
        return;
    if (tab_.TickCount() % std::max(1, (BAND_SCROLL_SPAN - d) / BAND_SCROLL_STEP) != 0)
        return;
    const int column = dx > 0 ? s.axisX.firstVisible + tab_.Geometry().shownColumns
        : dx < 0              ? s.axisX.firstVisible - 1
                              : HEADER;
    const int row = dy > 0 ? s.axisY.firstVisible + tab_.Geometry().shownRows
        : dy < 0           ? s.axisY.firstVisible - 1
                           : HEADER;
    tab_.ScrollTo(column, row);
    // The band follows the newly shown elements.
    MouseMove(mouse_, true);
}

void MapTableView::RightClickSelect(QPoint position)
{
    // The popup acts on what is under the mouse: select it unless it is selected already.
    const Hit hit = HitTest(position);
    const MapSheet& s = tab_.Sheet();
    switch (hit.kind) {
    case HIT_CELL:
    case HIT_COLUMN_HEADER:
    case HIT_ROW_HEADER:
        if (!s.selection.IsSelected(hit.column, hit.row))
            tab_.SelectElement(hit.column, hit.row);
        break;
    case HIT_CORNER_X:
    case HIT_CORNER_Y:
        tab_.SelectAllHeaders(hit.kind == HIT_CORNER_X);
        break;
    case HIT_SELECT_ALL:
        if (MapState() != COVER_ALL)
            tab_.SelectAllCells();
        break;
    case HIT_COLUMN_BOX:
    case HIT_ROW_BOX:
        if (HeaderState(hit.kind == HIT_COLUMN_BOX, hit.kind == HIT_COLUMN_BOX ? hit.column : hit.row) != COVER_ALL) {
            tab_.Interaction().BeginBand(
                BandKindOf(hit.kind), std::max(0, hit.column), std::max(0, hit.row), false, false);
            tab_.Interaction().EndBand();
        }
        break;
    default:
        break;
    }
}

void MapTableView::AddPopupEntries(QMenu& menu, QPoint position)
{
    AddLineEntries(menu, position);
    AddAutoscrollEntries(menu, position);
}

void MapTableView::AddLineEntries(QMenu& menu, QPoint position)
{
    const MapSheet& s = tab_.Sheet();
    bool any = false;
    for (bool columns : { false, true }) {
        const MapAxis& a = columns ? s.axisX : s.axisY;
        if (!a.resizable || a.off)
            continue;
        const int deletable = tab_.CountDeletableLines(columns);
        if (deletable == 0)
            continue;
        // Insert at the boundary nearest the mouse: before the element under it when in its first half.
        int index = columns ? s.axisX.count : s.axisY.count;
        const Hit hit = HitTest(position);
        const int entry = columns ? hit.column : hit.row;
        if (entry >= 0) {
            const QRect r = columns ? ElementRect(entry, HEADER) : ElementRect(HEADER, entry);
            const bool firstHalf = columns ? position.x() < r.center().x() : position.y() < r.center().y();
            index = firstHalf ? entry : entry + 1;
        }
        const char* insert = columns ? "###Insert column here##Einfügen hier Spalte##Vložit sloupec (zde)"
                                     : "###Insert row here##Einfügen einer Zeile##Vložit řádek (zde)";
        QAction* act = menu.addAction(Text(insert));
        QObject::connect(act, &QAction::triggered, &tab_, [this, columns, index] { tab_.InsertLine(columns, index); });
        // Deleting every line is not offered: a map keeps at least its minimum count.
        if (deletable < a.count) {
            QString text = deletable > 1
                ? QString("%1 (%2)")
                      .arg(Text(columns ? "###Delete columns##Löschen von Spalten##Vymazat sloupce"
                                        : "###Delete rows##Klare Linien##Vymazat řádky"))
                      .arg(deletable)
                : Text(columns ? "###Delete column##Spalte löschen##Vymazat sloupec"
                               : "###Delete row##Klare Zeile##Vymazat řádek");
            QAction* del = menu.addAction(text);
            QObject::connect(del, &QAction::triggered, &tab_, [this, columns] { tab_.DeleteSelectedLines(columns); });
        }
        any = true;
    }
    if (any)
        menu.addSeparator();
}

void MapTableView::AddAutoscrollEntries(QMenu& menu, QPoint position)
{
    const MapSheet& s = tab_.Sheet();
    // Autoscroll matters only where the map is larger than the table shows.
    const bool larger = s.axisX.count > tab_.VisibleColumns() || s.axisY.count > tab_.VisibleRows();
    if (!larger || !tab_.AutoscrollSwitch() || !tab_.Geometry().Grid().united(tab_.Geometry().corner).contains(position))
        return;
    QAction* on = menu.addAction(
        Text("###Autoscroll actual position##Autoscroll aktuelle Position##Automaticky posunovat na aktuální polohu"));
    QAction* off
        = menu.addAction(Text("###Disable autoscroll##Deaktivieren Autoscroll##Zakázat automatické posunování"));
    on->setCheckable(true);
    off->setCheckable(true);
    on->setChecked(*tab_.AutoscrollSwitch());
    off->setChecked(!*tab_.AutoscrollSwitch());
    // The switch is shared by every editor of the window.
    int32_t* shared = tab_.AutoscrollSwitch();
    QObject::connect(on, &QAction::triggered, &tab_, [shared] { *shared = 1; });
    QObject::connect(off, &QAction::triggered, &tab_, [shared] { *shared = 0; });
    menu.addSeparator();
}

QString MapTableView::Hint() const { return interpolationHover_ ? Text(InterpolationHint) : QString(); }
