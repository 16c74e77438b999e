#include "mapedit/ui/MapTableView.h"

#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/TableViewStyle.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace TableViewStyle;

namespace {

constexpr int MIN_THUMB = 8;
// A held scroll-bar arrow or track repeats from the third tick after the press.
constexpr int SCROLL_REPEAT_TICKS = 3;
// A band d pixels beyond the grid scrolls every max(1, (100 - d) / 10) ticks: faster the farther out.
constexpr int BAND_SCROLL_SPAN = 100;
constexpr int BAND_SCROLL_STEP = 10;

} // namespace

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
