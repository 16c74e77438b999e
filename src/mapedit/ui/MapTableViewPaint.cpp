#include "mapedit/ui/MapTableView.h"

#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/PaintBevel.h"
#include "mapedit/ui/ReferenceMarks.h"
#include "mapedit/ui/TableViewStyle.h"

#include <QPainter>

#include <tuple>

using namespace TableViewStyle;

namespace {

// The add and remove column buttons carry a plus and a minus glyph.
constexpr int COUNT_GLYPH = 4;
constexpr int COUNT_PEN = 2;
// The row count stands in a line under the header column; the column count and its label run
// downward from just below the buttons.
constexpr int COUNT_TEXT_GAP = 2;
constexpr int COUNT_TEXT_HEIGHT = 16;
constexpr QPoint COUNT_LABEL_OFFSET { 2, 6 };
constexpr int COUNT_FONT_SIZE = 10;

constexpr int OP_RING_PEN = 3;
constexpr int OP_RING_INSET = 2;
constexpr int OP_SHADOW_OFFSET = 2;

// A band in progress is shown like the selection it will become.
bool Marked(const MapSelection& sel, int column, int row)
{
    return (sel.Mark(column, row) & (MARK_SELECTED | MARK_DRAG)) != 0;
}

const char* const NumberOfColumns = "###Number of columns##Anzahl der Spalten##Počet sloupců";

} // namespace

void MapTableView::Bevel(QPainter& p, const QRect& r, uint32_t color, bool sunken)
{
    PaintBevel(p, r, MapEditor::Color(color), MapEditor::Color(BEVEL_LIGHT), MapEditor::Color(BEVEL_DARK), sunken);
}

void MapTableView::Paint(QPainter& p)
{
    // Back to front: what is drawn later (selection, marks, texts, arrows) lies on the grid.
    PaintScrollBars(p);
    PaintCorner(p);
    PaintHeat(p);
    PaintHits(p);
    PaintGrid(p);
    PaintHeaders(p);
    PaintSelection(p);
    PaintCornerMarks(p);
    ReferenceMarks::Paint(p, tab_, *this);
    PaintOperatingPoint(p);
    PaintTexts(p);
    PaintArrows(p);
    PaintCounts(p);
}

void MapTableView::PaintSelection(QPainter& p)
{
    if (tab_.PrintMode())
        return;
    PaintSelectedCells(p);
    PaintSelectedHeaders(p);
    PaintBlockTarget(p);
}

void MapTableView::PaintSelectedCells(QPainter& p)
{
    const MapSelection& sel = tab_.Sheet().selection;
    // One selected cell is the cursor: outlined only, its value stays plain to read.
    const bool several = sel.count > 1 || (sel.dragKind & DRAG_RUBBER);
    // The outline follows the region's border: an edge is drawn where the neighbour is not marked
    // (row 0 and column 0 border on the headers, whose marks are not the cells').
    auto outline = [&](int c, int r, const QRect& rect) {
        p.setPen(Qt::black);
        if (!Marked(sel, c, r - 1) || r == 0)
            p.drawLine(rect.topLeft(), rect.topRight());
        if (!Marked(sel, c, r + 1))
            p.drawLine(rect.bottomLeft(), rect.bottomRight());
        if (!Marked(sel, c - 1, r) || c == 0)
            p.drawLine(rect.topLeft(), rect.bottomLeft());
        if (!Marked(sel, c + 1, r))
            p.drawLine(rect.topRight(), rect.bottomRight());
    };
    for (int j = 0; j < tab_.Geometry().shownRows; ++j)
        for (int i = 0; i < tab_.Geometry().shownColumns; ++i) {
            const int c = EntryColumn(i), r = EntryRow(j);
            if (!Marked(sel, c, r))
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
}

void MapTableView::PaintSelectedHeaders(QPainter& p)
{
    const MapSelection& sel = tab_.Sheet().selection;
    auto frame = [&p](const QRect& rect) {
        p.setPen(Qt::black);
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    };
    for (int i = 0; i < tab_.Geometry().shownColumns; ++i)
        if (Marked(sel, EntryColumn(i), HEADER))
            frame(tab_.Geometry().columnHeaders[i]);
    for (int j = 0; j < tab_.Geometry().shownRows; ++j)
        if (Marked(sel, HEADER, EntryRow(j)))
            frame(tab_.Geometry().rowHeaders[j]);
}

void MapTableView::PaintBlockTarget(QPainter& p)
{
    if (!tab_.Interaction().BlockDrag())
        return;
    const auto& t = tab_.Interaction().BlockTarget();
    QRect target;
    for (int r = t[BOX_Y0]; r <= t[BOX_Y1]; ++r)
        for (int c = t[BOX_X0]; c <= t[BOX_X1]; ++c)
            target |= ElementRect(c, r);
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawRect(target.adjusted(1, 1, -2, -2));
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
    // The engine's present state is no setting: paper shows none.
    if (tab_.PrintMode() || !(s.flags & SF_OPERATING_POINT) || s.opState == MapSheet::OP_NONE)
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

void MapTableView::PaintArrows(QPainter& p)
{
    if (tab_.PrintMode() || !ArrowsShown())
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
    p.setPen(tab_.TextColor());
    if (s.axisY.resizable && !s.axisY.off) {
        const QRect grid = g.Grid();
        p.drawText(QRect(g.left, grid.bottom() + COUNT_TEXT_GAP, g.headerWidth, COUNT_TEXT_HEIGHT), Qt::AlignCenter,
            QString::asprintf("(%i)", s.axisY.count));
    }
    if (g.addColumn.isNull())
        return;
    // The buttons are for the screen; the count stands on paper too.
    if (!tab_.PrintMode())
        PaintCountButtons(p);
    p.save();
    p.translate(QPoint(g.addColumn.left(), g.removeColumn.bottom()) + COUNT_LABEL_OFFSET);
    p.rotate(90);
    p.drawText(0, 0, QString::asprintf("(%i) ", s.axisX.count) + LangQString(NumberOfColumns));
    p.restore();
}

void MapTableView::PaintCountButtons(QPainter& p)
{
    const MapViewGeometry& g = tab_.Geometry();
    // The buttons grey out at the limits of the column count.
    for (const auto& [rect, enabled, plus] : { std::tuple { g.addColumn, CountButtonEnabled(true), true },
             std::tuple { g.removeColumn, CountButtonEnabled(false), false } }) {
        Bevel(p, rect, BUTTON_FACE, false);
        p.setPen(QPen(enabled ? MapEditor::Color(BUTTON_TEXT) : QColor(Qt::gray), COUNT_PEN));
        const QPoint c = rect.center();
        p.drawLine(c.x() - COUNT_GLYPH, c.y(), c.x() + COUNT_GLYPH, c.y());
        if (plus)
            p.drawLine(c.x(), c.y() - COUNT_GLYPH, c.x(), c.y() + COUNT_GLYPH);
    }
}
