#include "mapedit/ui/TTabTable.h"

#include "lang/LangString.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/ui/TTab.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t GRID_COLOR = 0xE4D6D4;
constexpr uint32_t SELECTION_COLOR = 0xF4EEEC;
constexpr uint32_t EDIT_SELECTION_COLOR = 0xFF8844;
constexpr uint32_t PART_SELECTED = 0xC0C0C0;
constexpr uint32_t ALL_SELECTED = 0x808080;
constexpr uint32_t CORNER_MARK = 0x88F444;
constexpr uint32_t CORNER_HOT = 0x00AAAA;
constexpr uint32_t OP_ACTIVE = 0x44F444;
constexpr uint32_t OP_OTHER = 0x44F4F4;
constexpr int BAR = 15;

const char* const NumberOfColumns = "###Number of columns##Anzahl der Spalten##Počet sloupců";
const char* const InterpolationHint = "###Interpolation####Interpolace";

QString Text(const char* lang) { return QString::fromUtf8(LangText(lang)); }

QFont FontOf(int size, bool italic = false, double factor = 1.0)
{
    QFont font;
    font.setPixelSize(std::max(6, int(std::abs(size) * factor * 96 / 72)));
    font.setBold(size > 0 && !italic);
    font.setItalic(italic);
    return font;
}

} // namespace

TTabTable::TTabTable(TTab& t)
    : tab(t)
{
}

int TTabTable::EntryColumn(int window) const
{
    const CAxe& a = tab.Sheet().axisX;
    return a.off ? a.offIndex : a.firstVisible + window;
}

int TTabTable::EntryRow(int window) const
{
    const CAxe& a = tab.Sheet().axisY;
    return a.off ? a.offIndex : a.firstVisible + window;
}

int TTabTable::WindowColumn(int entry) const
{
    const CAxe& a = tab.Sheet().axisX;
    if (a.off)
        return entry == a.offIndex ? 0 : -1;
    const int w = entry - a.firstVisible;
    return w >= 0 && w < tab.graph.shownColumns ? w : -1;
}

int TTabTable::WindowRow(int entry) const
{
    const CAxe& a = tab.Sheet().axisY;
    if (a.off)
        return entry == a.offIndex ? 0 : -1;
    const int w = entry - a.firstVisible;
    return w >= 0 && w < tab.graph.shownRows ? w : -1;
}

void TTabTable::Layout(const QRect& a)
{
    area = a;
    TTabGraph& g = tab.graph;
    const int ppi = tab.pixelsPerInch;
    const bool compact = tab.options & OPT_COMPACT_POINTS;
    const int width = tab.width(), height = tab.height();
    g.left = 10;
    g.rightMargin = g.bottomMargin = 27;
    g.top = a.top();
    g.labelGap = ppi * 15 / 96;
    g.headerWidth = ppi * (compact ? 45 : 65) / 96;
    g.headerHeight = std::max(1, (height - g.top - g.labelGap - g.bottomMargin) / (tab.visibleRows + 1));
    g.cellLeft = g.left + g.headerWidth + g.labelGap;
    g.cellTop = g.top + g.headerHeight + g.labelGap;
    g.columnWidth = std::max(4.0, double(width - g.cellLeft - g.rightMargin) / tab.visibleColumns);
    g.rowHeight
        = std::max(4.0, double(height - g.top - g.headerHeight - g.labelGap - g.bottomMargin) / tab.visibleRows);
    g.shownColumns = tab.ShownColumns();
    g.shownRows = tab.ShownRows();
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
    const QRect grid = g.Grid();
    const CSheet& s = tab.Sheet();
    g.horizontalBar = (!s.axisX.off && s.axisX.count > tab.visibleColumns)
        ? QRect(grid.left(), grid.bottom() + 1, grid.width(), BAR)
        : QRect();
    g.verticalBar = (!s.axisY.off && s.axisY.count > tab.visibleRows)
        ? QRect(grid.right() + 1, grid.top(), BAR, grid.height())
        : QRect();
    const int u = grid.right() + 5 + (g.verticalBar.isNull() ? 0 : BAR);
    const int v = grid.bottom() + 5 + (g.horizontalBar.isNull() ? 0 : BAR);
    if (s.axisX.resizable && !s.axisX.off) {
        g.addColumn = QRect(u, g.top, 15, 15);
        g.removeColumn = QRect(u, g.top + 17, 15, 15);
    } else {
        g.addColumn = g.removeColumn = QRect();
    }
    const int counts = g.addColumn.isNull() ? 0 : 20;
    const double rows = std::max(1, g.shownRows);
    const double below
        = rows == 1 ? (height - v - g.bottomMargin) * 1.5 : (height - v - g.bottomMargin) / (rows * 2 / 3);
    if (below > 100)
        g.sideGraph = QRect(g.left, v, width - g.left - g.rightMargin, height - v - g.bottomMargin);
    else if ((width - u - counts - g.rightMargin) / std::max(1, g.shownColumns) > 100)
        g.sideGraph = QRect(u + counts, g.top, width - u - counts - g.rightMargin, height - g.top - g.bottomMargin);
    else
        g.sideGraph = QRect();
}

QRect TTabTable::ElementRect(int column, int row) const
{
    const TTabGraph& g = tab.graph;
    if (row == -1) {
        const int w = WindowColumn(column);
        return w < 0 ? QRect() : g.columnHeaders[w];
    }
    if (column == -1) {
        const int w = WindowRow(row);
        return w < 0 ? QRect() : g.rowHeaders[w];
    }
    const int wc = WindowColumn(column), wr = WindowRow(row);
    return wc < 0 || wr < 0 ? QRect() : g.Cell(wc, wr);
}

QRect TTabTable::ArrowRect(int column, int row, bool up) const
{
    const QRect r = ElementRect(column, row);
    if (r.isNull())
        return {};
    const int half = r.height() / 2;
    return up ? QRect(r.right() - 10, r.top(), 15, half) : QRect(r.right() - 10, r.top() + half, 15, r.height() - half);
}

TTabTable::Hit TTabTable::HitTest(QPoint p) const
{
    const TTabGraph& g = tab.graph;
    Hit hit;
    if (!g.horizontalBar.isNull() && g.horizontalBar.contains(p))
        return { HIT_HBAR, -2, -2 };
    if (!g.verticalBar.isNull() && g.verticalBar.contains(p))
        return { HIT_VBAR, -2, -2 };
    if (!g.addColumn.isNull() && g.addColumn.contains(p))
        return { HIT_ADD_COLUMN, -2, -2 };
    if (!g.removeColumn.isNull() && g.removeColumn.contains(p))
        return { HIT_REMOVE_COLUMN, -2, -2 };
    if (g.selectAll.contains(p))
        return { HIT_SELECT_ALL, -2, -2 };
    if (g.corner.contains(p)) {
        const double fx = double(p.x() - g.corner.left()) / g.corner.width();
        const double fy = double(p.y() - g.corner.top()) / g.corner.height();
        return { fy < fx ? HIT_CORNER_X : HIT_CORNER_Y, -2, -2 };
    }
    for (int i = 0; i < g.shownColumns; ++i) {
        if (g.columnHeaders[i].contains(p))
            return { HIT_COLUMN_HEADER, EntryColumn(i), -1 };
        if (g.columnBoxes[i].contains(p))
            return { HIT_COLUMN_BOX, EntryColumn(i), -2 };
    }
    for (int j = 0; j < g.shownRows; ++j) {
        if (g.rowHeaders[j].contains(p))
            return { HIT_ROW_HEADER, -1, EntryRow(j) };
        if (g.rowBoxes[j].contains(p))
            return { HIT_ROW_BOX, -2, EntryRow(j) };
    }
    if (g.Grid().contains(p)) {
        const int i = std::min(g.shownColumns - 1, int((p.x() - g.cellLeft) / g.columnWidth));
        const int j = std::min(g.shownRows - 1, int((p.y() - g.cellTop) / g.rowHeight));
        return { HIT_CELL, EntryColumn(i), EntryRow(j) };
    }
    return hit;
}

void TTabTable::ElementNear(QPoint p, int& column, int& row) const
{
    const TTabGraph& g = tab.graph;
    const int i = std::clamp(int(std::floor((p.x() - g.cellLeft) / g.columnWidth)), 0, g.shownColumns - 1);
    const int j = std::clamp(int(std::floor((p.y() - g.cellTop) / g.rowHeight)), 0, g.shownRows - 1);
    column = EntryColumn(i);
    row = EntryRow(j);
}

QRect TTabTable::SelectionBox() const
{
    const TSel& sel = tab.Sheet().selection;
    if (sel.kind == SEL_NONE || sel.boxX0 < -1)
        return {};
    QRect box;
    for (int r = sel.boxY0; r <= sel.boxY1; ++r)
        for (int c = sel.boxX0; c <= sel.boxX1; ++c)
            box |= ElementRect(c, r);
    return box;
}

bool TTabTable::OnInterpolationCorner(QPoint p) const
{
    const TSel& sel = tab.Sheet().selection;
    if (!tab.CanInterpolate() || tab.printMode)
        return false;
    const QRect first = ElementRect(sel.cornerX0 < 0 ? -1 : sel.cornerX0, sel.cornerY0);
    const QRect last = ElementRect(sel.cornerX1 < 0 ? -1 : sel.cornerX1, sel.cornerY1);
    if (first.isNull() && last.isNull())
        return false;
    const QRect box = first.united(last);
    const int leg = std::max(6, std::min(first.isNull() ? last.height() : first.height(), box.height()));
    const QPoint corners[4] = { box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight() };
    for (const QPoint& c : corners) {
        const int dx = std::abs(p.x() - c.x()), dy = std::abs(p.y() - c.y());
        if (box.contains(p) && dx + dy < leg)
            return true;
    }
    return false;
}

int TTabTable::HeaderState(bool columns, int index) const
{
    const CSheet& s = tab.Sheet();
    const TSel& sel = s.selection;
    if (tab.printMode)
        return 0;
    if (columns ? sel.IsSelected(index, -1) : sel.IsSelected(-1, index))
        return 2;
    const CAxe& other = columns ? s.axisY : s.axisX;
    int selected = 0;
    for (int k = 0; k < other.Used(); ++k)
        selected += columns ? sel.IsSelected(index, other.EntryAt(k)) : sel.IsSelected(other.EntryAt(k), index);
    return selected == 0 ? 0 : selected == other.Used() ? 2 : 1;
}

int TTabTable::AxisState(bool columns) const
{
    const CAxe& a = columns ? tab.Sheet().axisX : tab.Sheet().axisY;
    int all = 0, some = 0;
    for (int k = 0; k < a.Used(); ++k) {
        const int state = HeaderState(columns, a.EntryAt(k));
        all += state == 2;
        some += state != 0;
    }
    return all == a.Used() ? 2 : some ? 1 : 0;
}

int TTabTable::MapState() const
{
    const CSheet& s = tab.Sheet();
    if (tab.printMode)
        return 0;
    int selected = 0;
    for (int r = 0; r < s.axisY.Used(); ++r)
        for (int c = 0; c < s.axisX.Used(); ++c)
            selected += s.selection.IsSelected(s.axisX.EntryAt(c), s.axisY.EntryAt(r));
    const int all = s.axisX.Used() * s.axisY.Used();
    return selected == 0 ? 0 : selected == all ? 2 : 1;
}

void TTabTable::Bevel(QPainter& p, const QRect& r, uint32_t color, bool sunken)
{
    p.fillRect(r, TTab::Color(color));
    const QColor light = TTab::Color(0xFFFFFF), dark = TTab::Color(0xC0C0C0);
    p.setPen(sunken ? dark : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(sunken ? light : dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void TTabTable::Paint(QPainter& p)
{
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

void TTabTable::PaintScrollBars(QPainter& p)
{
    const CSheet& s = tab.Sheet();
    for (bool horizontal : { true, false }) {
        const QRect bar = horizontal ? tab.graph.horizontalBar : tab.graph.verticalBar;
        if (bar.isNull())
            continue;
        const CAxe& a = horizontal ? s.axisX : s.axisY;
        const int page = horizontal ? tab.visibleColumns : tab.visibleRows;
        p.fillRect(bar, TTab::Color(0xE0E0E0));
        const int length = horizontal ? bar.width() : bar.height();
        const int track = std::max(1, length - 2 * BAR);
        const int thumb = std::max(8, track * page / std::max(1, a.count));
        const int offset = BAR + (track - thumb) * a.firstVisible / std::max(1, a.count - page);
        const QRect first(bar.left(), bar.top(), BAR, BAR);
        const QRect last = horizontal ? QRect(bar.right() - BAR + 1, bar.top(), BAR, BAR)
                                      : QRect(bar.left(), bar.bottom() - BAR + 1, BAR, BAR);
        const QRect knob = horizontal ? QRect(bar.left() + offset, bar.top(), thumb, BAR)
                                      : QRect(bar.left(), bar.top() + offset, BAR, thumb);
        const bool held = drag == DRAG_SCROLL && scrollHorizontal == horizontal;
        Bevel(p, first, 0xFF00000F, held && scrollPart == -1);
        Bevel(p, last, 0xFF00000F, held && scrollPart == 1);
        Bevel(p, knob, 0xFF00000F, false);
        p.setBrush(TTab::Color(0x808080));
        p.setPen(Qt::NoPen);
        for (const auto& [box, back] : { std::pair { first, true }, std::pair { last, false } }) {
            const QPoint c = box.center();
            QPolygon arrow;
            if (horizontal)
                arrow << QPoint(c.x() + (back ? -3 : 3), c.y()) << QPoint(c.x() + (back ? 2 : -2), c.y() - 4)
                      << QPoint(c.x() + (back ? 2 : -2), c.y() + 4);
            else
                arrow << QPoint(c.x(), c.y() + (back ? -3 : 3)) << QPoint(c.x() - 4, c.y() + (back ? 2 : -2))
                      << QPoint(c.x() + 4, c.y() + (back ? 2 : -2));
            p.drawPolygon(arrow);
        }
        p.setBrush(Qt::NoBrush);
    }
}

void TTabTable::PaintCorner(QPainter& p)
{
    const CSheet& s = tab.Sheet();
    const QRect r = tab.graph.corner;
    const int mapState = MapState();
    Bevel(p, r, mapState == 2 ? ALL_SELECTED : mapState == 1 ? PART_SELECTED : s.axisX.color, mapState == 2);
    const QFont font = FontOf(s.headerFontSize);
    p.setFont(font);
    if (s.axisX.off) {
        p.setPen(Qt::black);
        p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, Text(s.axisData.label));
        return;
    }
    const int xState = AxisState(true), yState = s.axisY.off ? 0 : AxisState(false);
    QPolygon upper, lower;
    upper << r.topLeft() << r.topRight() << r.bottomRight();
    lower << r.topLeft() << r.bottomLeft() << r.bottomRight();
    auto stateColor = [&](int state, uint32_t color) {
        return TTab::Color(state == 2 ? ALL_SELECTED : state == 1 ? PART_SELECTED : color);
    };
    p.setPen(Qt::NoPen);
    p.setBrush(stateColor(xState, s.axisX.color));
    p.drawPolygon(upper);
    p.setBrush(stateColor(yState, s.axisY.color));
    p.drawPolygon(lower);
    p.setBrush(Qt::NoBrush);
    p.setPen(TTab::Color(0x808080));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.setPen(xState == 2 ? Qt::white : Qt::black);
    p.drawText(r.adjusted(2, 1, -3, 0), Qt::AlignRight | Qt::AlignTop, Text(s.axisX.label));
    if (!s.axisY.off) {
        p.setPen(yState == 2 ? Qt::white : Qt::black);
        p.drawText(r.adjusted(3, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom, Text(s.axisY.label));
    }
}

void TTabTable::PaintGrid(QPainter& p)
{
    const TTabGraph& g = tab.graph;
    const QRect grid = g.Grid();
    p.setPen(TTab::Color(GRID_COLOR));
    for (int i = 0; i <= g.shownColumns; ++i) {
        const int x = g.cellLeft + int(i * g.columnWidth);
        p.drawLine(x, g.top, x, grid.bottom());
    }
    for (int j = 0; j <= g.shownRows; ++j) {
        const int y = g.cellTop + int(j * g.rowHeight);
        p.drawLine(g.left, y, grid.right(), y);
    }
}

void TTabTable::PaintHeaders(QPainter& p)
{
    const CSheet& s = tab.Sheet();
    const TTabGraph& g = tab.graph;
    for (int i = 0; i < g.shownColumns; ++i) {
        const int state = HeaderState(true, EntryColumn(i));
        const uint32_t color = state == 2 ? ALL_SELECTED : state == 1 ? PART_SELECTED : s.axisX.color;
        Bevel(p, g.columnBoxes[i], color, state == 2);
        Bevel(p, g.columnHeaders[i], color, state == 2);
    }
    for (int j = 0; j < g.shownRows; ++j) {
        const int state = s.axisY.off ? 0 : HeaderState(false, EntryRow(j));
        const uint32_t color = state == 2 ? ALL_SELECTED : state == 1 ? PART_SELECTED : s.axisY.color;
        Bevel(p, g.rowBoxes[j], color, state == 2);
        if (!s.axisY.off)
            Bevel(p, g.rowHeaders[j], color, state == 2);
    }
    const int mapState = MapState();
    Bevel(p, g.selectAll,
        mapState == 2       ? ALL_SELECTED
            : mapState == 1 ? PART_SELECTED
                            : s.axisData.color,
        mapState == 2);
}

void TTabTable::PaintSelection(QPainter& p)
{
    const CSheet& s = tab.Sheet();
    const TSel& sel = s.selection;
    if (tab.printMode)
        return;
    auto marked = [&](int c, int r) { return (sel.Mark(c, r) & (MARK_SELECTED | MARK_DRAG)) != 0; };
    const bool several = sel.count > 1 || (sel.dragKind & DRAG_RUBBER);
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
    for (int j = 0; j < tab.graph.shownRows; ++j)
        for (int i = 0; i < tab.graph.shownColumns; ++i) {
            const int c = EntryColumn(i), r = EntryRow(j);
            if (!marked(c, r))
                continue;
            const QRect rect = tab.graph.Cell(i, j);
            if (several) {
                p.fillRect(rect, QBrush(TTab::Color(SELECTION_COLOR), Qt::Dense4Pattern));
                p.setPen(Qt::white);
                p.drawRect(rect.adjusted(1, 1, -2, -2));
            }
            outline(c, r, rect);
        }
    for (int i = 0; i < tab.graph.shownColumns; ++i)
        if (marked(EntryColumn(i), -1)) {
            const QRect rect = tab.graph.columnHeaders[i];
            p.setPen(Qt::black);
            p.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    for (int j = 0; j < tab.graph.shownRows; ++j)
        if (marked(-1, EntryRow(j))) {
            const QRect rect = tab.graph.rowHeaders[j];
            p.setPen(Qt::black);
            p.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    if (tab.blockDrag) {
        QRect target;
        for (int r = tab.blockTarget[1]; r <= tab.blockTarget[3]; ++r)
            for (int c = tab.blockTarget[0]; c <= tab.blockTarget[2]; ++c)
                target |= ElementRect(c, r);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(target.adjusted(1, 1, -2, -2));
    }
}

void TTabTable::PaintCornerMarks(QPainter& p)
{
    const TSel& sel = tab.Sheet().selection;
    if (tab.printMode || !sel.interpolable)
        return;
    const QColor color = TTab::Color(interpolationHover ? CORNER_HOT : CORNER_MARK);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const int x0 = sel.kind == SEL_ROWS ? -1 : sel.cornerX0, x1 = sel.kind == SEL_ROWS ? -1 : sel.cornerX1;
    const QRect first = ElementRect(x0, sel.cornerY0), last = ElementRect(x1, sel.cornerY1);
    const QRect box = first.united(last);
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

void TTabTable::PaintOperatingPoint(QPainter& p)
{
    const CSheet& s = tab.Sheet();
    if (!(s.flags & SF_OPERATING_POINT) || s.opState == 0)
        return;
    const QColor color = TTab::Color(s.opState == 1 ? OP_ACTIVE : OP_OTHER);
    const QColor shadow(color.red() / 2, color.green() / 2, color.blue() / 2);
    auto ring = [&](const QRect& r) {
        if (r.isNull())
            return;
        const QRect e = r.adjusted(2, 2, -3, -3);
        p.setPen(QPen(shadow, 3));
        p.drawEllipse(e.translated(2, 2));
        p.setPen(QPen(color, 3));
        p.drawEllipse(e);
    };
    ring(ElementRect(s.opColumn, -1));
    if (!s.axisY.off)
        ring(ElementRect(-1, s.opRow));
    if (s.opState > 0)
        ring(ElementRect(s.opColumn, s.opRow));
}

void TTabTable::PaintTexts(QPainter& p)
{
    const CSheet& s = tab.Sheet();
    const TTabGraph& g = tab.graph;
    CSheet preview;
    const bool previewing = interpolationHover && tab.CanInterpolate();
    if (previewing) {
        preview = s;
        tab.ComputeInterpolation(preview);
    }
    caretRect = QRect();
    auto draw = [&](int c, int r, const QRect& rect) {
        if (rect.isNull())
            return;
        const CAxe& a = s.AxisOf(c, r);
        const bool isCell = c >= 0 && r >= 0;
        const int size = a.axisFontSize ? a.axisFontSize : int(std::lround(1.4 * tab.baseFontSize));
        if (tab.editing && tab.editColumn == c && tab.editRow == r) {
            const QFont font = FontOf(int(std::lround(1.4 * tab.baseFontSize)));
            p.setFont(font);
            const QFontMetrics fm(font);
            const QString text = QString::fromStdString(tab.editText);
            const int textWidth = fm.horizontalAdvance(text);
            const int x = rect.center().x() + 2 - textWidth / 2;
            const int y = rect.center().y() + (fm.ascent() - fm.descent()) / 2;
            if (tab.textSelEnd > tab.textSelStart && !tab.printMode) {
                const int a0 = fm.horizontalAdvance(text.left(tab.textSelStart));
                const int a1 = fm.horizontalAdvance(text.left(tab.textSelEnd));
                p.fillRect(QRect(x + a0, y - fm.ascent(), a1 - a0, fm.height()), TTab::Color(EDIT_SELECTION_COLOR));
            }
            p.setPen(Qt::black);
            p.drawText(x, y, text);
            const int cx = x + fm.horizontalAdvance(text.left(tab.caret));
            caretRect = QRect(cx, y - fm.ascent(), 1, fm.height());
            return;
        }
        int32_t raw = s.ValueOf(c, r);
        bool previewed = false;
        if (previewing) {
            const int32_t pv = preview.ValueOf(c, r);
            previewed = pv != raw;
            raw = pv;
        }
        const bool withUnit = isCell ? a.showUnit : true;
        const int32_t shown = isCell ? int32_t(raw / a.quantum * a.quantum) : raw;
        const QString text = QString::fromUtf8(FormatAxisValue(shown, a.scale, a.unit, withUnit).c_str());
        const bool grey = !a.editable;
        p.setFont(FontOf(size, grey, grey ? 0.857 : 1.0));
        p.setPen(previewed ? TTab::Color(CORNER_HOT) : grey ? TTab::Color(0x808080) : QColor(Qt::black));
        p.drawText(rect.translated(2, 0), Qt::AlignCenter, text);
    };
    for (int j = 0; j < g.shownRows; ++j)
        for (int i = 0; i < g.shownColumns; ++i)
            draw(EntryColumn(i), EntryRow(j), g.Cell(i, j));
    for (int i = 0; i < g.shownColumns; ++i)
        if (!s.axisX.off)
            draw(EntryColumn(i), -1, g.columnHeaders[i]);
    for (int j = 0; j < g.shownRows; ++j)
        if (!s.axisY.off)
            draw(-1, EntryRow(j), g.rowHeaders[j]);
}

void TTabTable::PaintArrows(QPainter& p)
{
    if (tab.printMode || !tab.hoverValid)
        return;
    const CSheet& s = tab.Sheet();
    if (!s.Inside(tab.hoverColumn, tab.hoverRow) || !s.AxisOf(tab.hoverColumn, tab.hoverRow).editable)
        return;
    for (bool up : { true, false }) {
        const QRect r = ArrowRect(tab.hoverColumn, tab.hoverRow, up);
        if (r.isNull())
            continue;
        Bevel(p, r, 0xFF00000F, up ? tab.upHeld : tab.downHeld);
        const QPoint c = r.center();
        QPolygon arrow;
        if (up)
            arrow << QPoint(c.x(), c.y() - 2) << QPoint(c.x() - 3, c.y() + 2) << QPoint(c.x() + 3, c.y() + 2);
        else
            arrow << QPoint(c.x(), c.y() + 2) << QPoint(c.x() - 3, c.y() - 2) << QPoint(c.x() + 3, c.y() - 2);
        p.setPen(Qt::NoPen);
        p.setBrush(TTab::Color(0x808080));
        p.drawPolygon(arrow);
        p.setBrush(Qt::NoBrush);
    }
}

void TTabTable::PaintCounts(QPainter& p)
{
    const CSheet& s = tab.Sheet();
    const TTabGraph& g = tab.graph;
    QFont font = FontOf(10);
    p.setFont(font);
    p.setPen(Qt::black);
    if (s.axisY.resizable && !s.axisY.off) {
        const QRect grid = g.Grid();
        p.drawText(QRect(g.left, grid.bottom() + 2, g.headerWidth, 16), Qt::AlignCenter,
            QString::asprintf("(%i)", s.axisY.count));
    }
    if (g.addColumn.isNull())
        return;
    for (const auto& [rect, enabled, plus] : { std::tuple { g.addColumn, s.axisX.count < s.axisX.maxCount, true },
             std::tuple { g.removeColumn, s.axisX.count > s.axisX.minCount, false } }) {
        Bevel(p, rect, 0xFF00000F, false);
        p.setPen(QPen(enabled ? Qt::black : Qt::gray, 2));
        const QPoint c = rect.center();
        p.drawLine(c.x() - 4, c.y(), c.x() + 4, c.y());
        if (plus)
            p.drawLine(c.x(), c.y() - 4, c.x(), c.y() + 4);
    }
    p.save();
    p.setPen(Qt::black);
    p.translate(g.addColumn.left() + 2, g.removeColumn.bottom() + 6);
    p.rotate(90);
    p.drawText(0, 0, QString::asprintf("(%i) ", s.axisX.count) + Text(NumberOfColumns));
    p.restore();
}

int TTabTable::CaretAt(QPoint position) const
{
    const QFont font = FontOf(int(std::lround(1.4 * tab.baseFontSize)));
    const QFontMetrics fm(font);
    const QString text = QString::fromStdString(tab.editText);
    const QRect rect = ElementRect(tab.editColumn, tab.editRow);
    const int x0 = rect.center().x() + 2 - fm.horizontalAdvance(text) / 2;
    int best = 0;
    for (int i = 1; i <= text.size(); ++i) {
        const int left = fm.horizontalAdvance(text.left(i - 1)), right = fm.horizontalAdvance(text.left(i));
        if (position.x() - x0 >= (left + right) / 2)
            best = i;
    }
    return best;
}

Qt::CursorShape TTabTable::MouseMove(QPoint position, bool leftHeld)
{
    mouse = position;
    const CSheet& s = tab.Sheet();
    if (leftHeld) {
        int column, row;
        switch (drag) {
        case DRAG_BAND:
            ElementNear(position, column, row);
            tab.DragBand(column, row);
            return Qt::ArrowCursor;
        case DRAG_BLOCK:
            ElementNear(position, column, row);
            tab.UpdateBlockDrag(column, row);
            return tab.blockDrag == 1 ? Qt::CrossCursor : Qt::SizeAllCursor;
        case DRAG_TEXT: {
            const int at = CaretAt(position);
            tab.caret = at;
            tab.textSelStart = std::min(at, textAnchor);
            tab.textSelEnd = std::max(at, textAnchor);
            tab.RequestRepaint(1);
            return Qt::IBeamCursor;
        }
        case DRAG_SCROLL:
            if (scrollPart == 3) {
                CAxe& a = scrollHorizontal ? tab.Sheet().axisX : tab.Sheet().axisY;
                const QRect bar = scrollHorizontal ? tab.graph.horizontalBar : tab.graph.verticalBar;
                const int length = (scrollHorizontal ? bar.width() : bar.height()) - 2 * BAR;
                const int delta = (scrollHorizontal ? position.x() : position.y()) - thumbGrab;
                const int page = scrollHorizontal ? tab.visibleColumns : tab.visibleRows;
                const int first = std::clamp(
                    int(std::lround(double(delta) * a.count / std::max(1, length))), 0, std::max(0, a.count - page));
                if (first != a.firstVisible) {
                    a.firstVisible = first;
                    tab.RunCommand(scrollHorizontal ? CMD_SCROLL_X : CMD_SCROLL_Y);
                }
            }
            return Qt::ArrowCursor;
        default:
            return Qt::ArrowCursor;
        }
    }
    if (tab.editing && ElementRect(tab.editColumn, tab.editRow).contains(position))
        return Qt::IBeamCursor;
    const bool onArrows = tab.hoverValid
        && (ArrowRect(tab.hoverColumn, tab.hoverRow, true).contains(position)
            || ArrowRect(tab.hoverColumn, tab.hoverRow, false).contains(position));
    if (!onArrows) {
        const Hit hit = HitTest(position);
        const bool element = hit.kind == HIT_CELL || hit.kind == HIT_COLUMN_HEADER || hit.kind == HIT_ROW_HEADER;
        const int oldValid = tab.hoverValid, oldColumn = tab.hoverColumn, oldRow = tab.hoverRow;
        tab.hoverValid = element && s.Inside(hit.column, hit.row) && s.AxisOf(hit.column, hit.row).editable;
        tab.hoverColumn = hit.column;
        tab.hoverRow = hit.row;
        if (oldValid != tab.hoverValid || oldColumn != tab.hoverColumn || oldRow != tab.hoverRow)
            tab.RequestRepaint(1);
    }
    tab.arrowPart = !tab.hoverValid                                          ? 0
        : ArrowRect(tab.hoverColumn, tab.hoverRow, true).contains(position)  ? 1
        : ArrowRect(tab.hoverColumn, tab.hoverRow, false).contains(position) ? 2
                                                                             : 0;
    const bool hot = !tab.arrowPart && OnInterpolationCorner(position);
    if (hot != interpolationHover) {
        interpolationHover = hot;
        tab.hintText = hot ? Text(InterpolationHint) : QString();
        tab.setToolTip(tab.hintText);
        tab.Render();
    }
    if (hot || tab.arrowPart)
        return Qt::ArrowCursor;
    const QRect box = SelectionBox();
    if (!box.isNull() && tab.SelectionEditable() && tab.graph.Grid().adjusted(-2, -2, 2, 2).contains(position)) {
        if ((position - box.bottomRight()).manhattanLength() <= 5)
            return Qt::CrossCursor;
        const bool nearEdge
            = box.adjusted(-2, -2, 2, 2).contains(position) && !box.adjusted(2, 2, -2, -2).contains(position);
        if (nearEdge)
            return Qt::SizeAllCursor;
    }
    return Qt::ArrowCursor;
}

bool TTabTable::MousePress(QPoint position, Qt::KeyboardModifiers modifiers)
{
    mouse = position;
    const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
    if (tab.editing) {
        if (ElementRect(tab.editColumn, tab.editRow).contains(position)) {
            tab.caret = tab.textSelStart = tab.textSelEnd = textAnchor = CaretAt(position);
            drag = DRAG_TEXT;
            tab.RequestRepaint(1);
            return true;
        }
        tab.CommitCellEdit();
    }
    MouseMove(position, false);
    if (tab.hoverValid && tab.arrowPart) {
        tab.PressArrow(tab.arrowPart == 1);
        drag = DRAG_ARROW;
        return true;
    }
    if (interpolationHover) {
        interpolationHover = false;
        tab.InterpolateSelection();
        return true;
    }
    const QRect box = SelectionBox();
    if (!box.isNull() && tab.SelectionEditable() && tab.graph.Grid().adjusted(-2, -2, 2, 2).contains(position)) {
        int column, row;
        ElementNear(position, column, row);
        const bool corner = (position - box.bottomRight()).manhattanLength() <= 5;
        const bool nearEdge
            = box.adjusted(-2, -2, 2, 2).contains(position) && !box.adjusted(2, 2, -2, -2).contains(position);
        if ((corner || nearEdge) && tab.BeginBlockDrag(corner ? 1 : 2, column, row)) {
            drag = DRAG_BLOCK;
            return true;
        }
    }
    const Hit hit = HitTest(position);
    switch (hit.kind) {
    case HIT_SELECT_ALL:
        tab.SelectAllCells();
        return true;
    case HIT_CORNER_X:
    case HIT_CORNER_Y:
        tab.SelectAllHeaders(hit.kind == HIT_CORNER_X);
        return true;
    case HIT_HBAR:
    case HIT_VBAR:
        ScrollPress(hit.kind == HIT_HBAR, position);
        return true;
    case HIT_ADD_COLUMN:
        tab.RunCommand(CMD_ADD_COLUMN);
        return true;
    case HIT_REMOVE_COLUMN:
        tab.RunCommand(CMD_REMOVE_COLUMN);
        return true;
    case HIT_CELL:
    case HIT_COLUMN_HEADER:
    case HIT_ROW_HEADER:
    case HIT_COLUMN_BOX:
    case HIT_ROW_BOX: {
        static const int kinds[] = { 0, SEL_CELLS, SEL_COLUMNS, SEL_ROWS, SEL_WHOLE_COLUMNS, SEL_WHOLE_ROWS };
        if (hit.kind == HIT_ROW_HEADER && tab.Sheet().axisY.off)
            return false;
        tab.BeginBand(kinds[hit.kind], std::max(hit.column, 0), std::max(hit.row, 0), shift, ctrl);
        drag = DRAG_BAND;
        return true;
    }
    default:
        return false;
    }
}

void TTabTable::MouseRelease(QPoint position)
{
    mouse = position;
    switch (drag) {
    case DRAG_ARROW:
        tab.ReleaseArrow();
        break;
    case DRAG_BAND:
        tab.EndBand();
        break;
    case DRAG_BLOCK:
        tab.FinishBlockDrag();
        break;
    default:
        break;
    }
    drag = DRAG_NONE;
    scrollPart = 0;
    tab.RequestRepaint(1);
}

void TTabTable::DoubleClick(QPoint position)
{
    const Hit hit = HitTest(position);
    if (hit.kind != HIT_CELL && hit.kind != HIT_COLUMN_HEADER && hit.kind != HIT_ROW_HEADER)
        return;
    if (tab.Sheet().selection.dragKind & DRAG_RUBBER)
        tab.EndBand();
    drag = DRAG_NONE;
    if (!tab.BeginCellEdit(hit.column, hit.row, false))
        return;
    tab.textSelStart = 0;
    tab.textSelEnd = static_cast<int>(tab.editText.size());
    tab.Render();
    tab.caret = CaretAt(position);
}

bool TTabTable::Wheel(QPoint position, int steps)
{
    (void)position;
    if (tab.hoverValid) {
        tab.StepHovered(steps);
        return true;
    }
    CSheet& s = tab.Sheet();
    if (!tab.graph.verticalBar.isNull())
        tab.ScrollTo(-1, steps > 0 ? s.axisY.firstVisible - 1 : s.axisY.firstVisible + tab.graph.shownRows);
    else if (!tab.graph.horizontalBar.isNull())
        tab.ScrollTo(steps > 0 ? s.axisX.firstVisible - 1 : s.axisX.firstVisible + tab.graph.shownColumns, -1);
    else
        return false;
    return true;
}

void TTabTable::ScrollPress(bool horizontal, QPoint position)
{
    const CAxe& a = horizontal ? tab.Sheet().axisX : tab.Sheet().axisY;
    const QRect bar = horizontal ? tab.graph.horizontalBar : tab.graph.verticalBar;
    const int at = horizontal ? position.x() - bar.left() : position.y() - bar.top();
    const int length = horizontal ? bar.width() : bar.height();
    const int page = horizontal ? tab.visibleColumns : tab.visibleRows;
    const int track = std::max(1, length - 2 * BAR);
    const int thumb = std::max(8, track * page / std::max(1, a.count));
    const int offset = BAR + (track - thumb) * a.firstVisible / std::max(1, a.count - page);
    scrollHorizontal = horizontal;
    drag = DRAG_SCROLL;
    scrollPressTick = tab.tickCount;
    if (at < BAR)
        scrollPart = -1;
    else if (at >= length - BAR)
        scrollPart = 1;
    else if (at < offset)
        scrollPart = -2;
    else if (at >= offset + thumb)
        scrollPart = 2;
    else {
        scrollPart = 3;
        thumbGrab = (horizontal ? position.x() : position.y()) - (offset - BAR);
        return;
    }
    ScrollStep();
}

void TTabTable::ScrollStep()
{
    CAxe& a = scrollHorizontal ? tab.Sheet().axisX : tab.Sheet().axisY;
    const int page = scrollHorizontal ? tab.visibleColumns : tab.visibleRows;
    const int move = std::abs(scrollPart) == 1 ? 1 : std::max(1, page - 1);
    if (std::abs(scrollPart) == 2) {
        const QRect bar = scrollHorizontal ? tab.graph.horizontalBar : tab.graph.verticalBar;
        const int length = scrollHorizontal ? bar.width() : bar.height();
        const int track = std::max(1, length - 2 * BAR);
        const int thumb = std::max(8, track * page / std::max(1, a.count));
        const int offset = BAR + (track - thumb) * a.firstVisible / std::max(1, a.count - page);
        const int at = scrollHorizontal ? mouse.x() - bar.left() : mouse.y() - bar.top();
        if (at >= offset && at < offset + thumb)
            return;
    }
    const int first = std::clamp(a.firstVisible + (scrollPart > 0 ? move : -move), 0, std::max(0, a.count - page));
    if (first != a.firstVisible) {
        a.firstVisible = first;
        tab.RunCommand(scrollHorizontal ? CMD_SCROLL_X : CMD_SCROLL_Y);
    }
}

void TTabTable::Tick()
{
    if (drag == DRAG_SCROLL && scrollPart != 3 && scrollPart != 0 && tab.tickCount - scrollPressTick >= 3)
        ScrollStep();
    if (drag != DRAG_BAND && drag != DRAG_BLOCK)
        return;
    const QRect grid = tab.graph.Grid();
    CSheet& s = tab.Sheet();
    int dx = 0, dy = 0, d = 0;
    if (mouse.x() > grid.right())
        dx = 1, d = mouse.x() - grid.right();
    else if (mouse.x() < grid.left())
        dx = -1, d = grid.left() - mouse.x();
    if (mouse.y() > grid.bottom())
        dy = 1, d = std::max(d, mouse.y() - grid.bottom());
    else if (mouse.y() < grid.top() && mouse.y() >= tab.graph.top + tab.graph.headerHeight)
        dy = -1, d = std::max(d, grid.top() - mouse.y());
    if (!dx && !dy)
        return;
    if (tab.tickCount % std::max(1, (100 - d) / 10) != 0)
        return;
    const int column = dx > 0 ? s.axisX.firstVisible + tab.graph.shownColumns : dx < 0 ? s.axisX.firstVisible - 1 : -1;
    const int row = dy > 0 ? s.axisY.firstVisible + tab.graph.shownRows : dy < 0 ? s.axisY.firstVisible - 1 : -1;
    tab.ScrollTo(column, row);
    MouseMove(mouse, true);
}

void TTabTable::RightClickSelect(QPoint position)
{
    const Hit hit = HitTest(position);
    const CSheet& s = tab.Sheet();
    switch (hit.kind) {
    case HIT_CELL:
    case HIT_COLUMN_HEADER:
    case HIT_ROW_HEADER:
        if (!s.selection.IsSelected(hit.column, hit.row))
            tab.SelectElement(hit.column, hit.row);
        break;
    case HIT_CORNER_X:
    case HIT_CORNER_Y:
        tab.SelectAllHeaders(hit.kind == HIT_CORNER_X);
        break;
    case HIT_SELECT_ALL:
        if (MapState() != 2)
            tab.SelectAllCells();
        break;
    case HIT_COLUMN_BOX:
    case HIT_ROW_BOX:
        if (HeaderState(hit.kind == HIT_COLUMN_BOX, hit.kind == HIT_COLUMN_BOX ? hit.column : hit.row) != 2) {
            const int kind = hit.kind == HIT_COLUMN_BOX ? SEL_WHOLE_COLUMNS : SEL_WHOLE_ROWS;
            tab.BeginBand(kind, std::max(0, hit.column), std::max(0, hit.row), false, false);
            tab.EndBand();
        }
        break;
    default:
        break;
    }
}

void TTabTable::AddPopupEntries(QMenu& menu, QPoint position)
{
    const CSheet& s = tab.Sheet();
    bool any = false;
    for (bool columns : { false, true }) {
        const CAxe& a = columns ? s.axisX : s.axisY;
        if (!a.resizable || a.off)
            continue;
        const int deletable = tab.CountDeletableLines(columns);
        if (deletable == 0)
            continue;
        int index = columns ? s.axisX.count : s.axisY.count;
        const Hit hit = HitTest(position);
        const int entry = columns ? hit.column : hit.row;
        if (entry >= 0) {
            const QRect r = columns ? ElementRect(entry, -1) : ElementRect(-1, entry);
            const bool firstHalf = columns ? position.x() < r.center().x() : position.y() < r.center().y();
            index = firstHalf ? entry : entry + 1;
        }
        const char* insert = columns ? "###Insert column here##Einfügen hier Spalte##Vložit sloupec (zde)"
                                     : "###Insert row here##Einfügen einer Zeile##Vložit řádek (zde)";
        QAction* act = menu.addAction(Text(insert));
        QObject::connect(act, &QAction::triggered, &tab, [this, columns, index] { tab.InsertLine(columns, index); });
        if (deletable < a.count) {
            QString text = deletable > 1
                ? QString("%1 (%2)")
                      .arg(Text(columns ? "###Delete columns##Löschen von Spalten##Vymazat sloupce"
                                        : "###Delete rows##Klare Linien##Vymazat řádky"))
                      .arg(deletable)
                : Text(columns ? "###Delete column##Spalte löschen##Vymazat sloupec"
                               : "###Delete row##Klare Zeile##Vymazat řádek");
            QAction* del = menu.addAction(text);
            QObject::connect(del, &QAction::triggered, &tab, [this, columns] { tab.DeleteSelectedLines(columns); });
        }
        any = true;
    }
    if (any)
        menu.addSeparator();
    const bool larger = s.axisX.count > tab.visibleColumns || s.axisY.count > tab.visibleRows;
    if (larger && tab.autoscroll && tab.graph.Grid().united(tab.graph.corner).contains(position)) {
        QAction* on = menu.addAction(Text(
            "###Autoscroll actual position##Autoscroll aktuelle Position##Automaticky posunovat na aktuální polohu"));
        QAction* off
            = menu.addAction(Text("###Disable autoscroll##Deaktivieren Autoscroll##Zakázat automatické posunování"));
        on->setCheckable(true);
        off->setCheckable(true);
        on->setChecked(*tab.autoscroll);
        off->setChecked(!*tab.autoscroll);
        int32_t* shared = tab.autoscroll;
        QObject::connect(on, &QAction::triggered, &tab, [shared] { *shared = 1; });
        QObject::connect(off, &QAction::triggered, &tab, [shared] { *shared = 0; });
        menu.addSeparator();
    }
}

QString TTabTable::Hint() const { return interpolationHover ? Text(InterpolationHint) : QString(); }
