#include "mapedit/ui/MapTableView.h"

#include "mapedit/SurfacePalette.h"

#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/TableViewStyle.h"

#include <QPainter>

using namespace TableViewStyle;

namespace {

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

} // namespace

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

void MapTableView::PaintCorner(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const QRect r = tab_.Geometry().corner;
    if (!tab_.Repaints(r))
        return;
    const Coverage mapState = MapState();
    Bevel(p, r, CoverageColor(mapState, s.axisX.color), mapState == COVER_ALL);
    p.setFont(FontOf(s.headerFontSize));
    // With X off there is no column-header row to label: the corner names the data instead.
    if (s.axisX.off) {
        p.setPen(Qt::black);
        p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, LangQString(s.axisData.label));
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
        p.setFont(CornerLabelFont(p.font(), r, LangQString(s.axisX.label), LangQString(s.axisY.label)));
    p.setPen(xState == COVER_ALL ? Qt::white : Qt::black);
    p.drawText(r.adjusted(2, 1, -3, 0), Qt::AlignRight | Qt::AlignTop, LangQString(s.axisX.label));
    if (!s.axisY.off) {
        p.setPen(yState == COVER_ALL ? Qt::white : Qt::black);
        p.drawText(r.adjusted(3, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom, LangQString(s.axisY.label));
    }
}

bool MapTableView::HeatShown() const { return tab_.HeatColours() && !tab_.PrintMode(); }

void MapTableView::PaintHeat(QPainter& p)
{
    if (!HeatShown())
        return;
    const MapSheet& s = tab_.Sheet();
    const MapViewGeometry& g = tab_.Geometry();
    for (int j = 0; j < g.shownRows; ++j)
        for (int i = 0; i < g.shownColumns; ++i) {
            const int32_t value = s.Cell(EntryColumn(i), EntryRow(j));
            p.fillRect(g.Cell(i, j),
                MapEditor::Color(SurfacePalette::ValueColor(value, s.axisData.minValue, s.axisData.maxValue)));
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
