#include "mapedit/ui/MapPointView.h"

#include "lang/LangString.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/ui/MapEditor.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t OFF_COLOR = 0xE0F0F0;
constexpr uint32_t ON_COLOR = 0x008000;
const char* const Dragging = "###Dragging: ##Ziehen: ##Tažení: ";

QColor Darkened(QColor c, bool dark, bool green)
{
    if (!dark)
        return c;
    if (green)
        return QColor(c.red() / 2, c.green() / 2, c.blue() / 2);
    return QColor(int(c.red() * 0.9), int(c.green() * 0.9), int(c.blue() * 0.98));
}

void CheckBox(QPainter& p, QPoint centre, bool checked)
{
    const QRect box(centre.x() - 6, centre.y() - 6, 12, 12);
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    if (checked) {
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(box.left() + 2, box.center().y(), box.center().x() - 1, box.bottom() - 3);
        p.drawLine(box.center().x() - 1, box.bottom() - 3, box.right() - 2, box.top() + 2);
    }
}

} // namespace

MapPointView::MapPointView(MapEditor& t)
    : tab_(t)
{
}

int MapPointView::RegionColumns() const { return tab_.Sheet().axisX.off ? 1 : tab_.Sheet().axisX.count + 1; }
int MapPointView::RegionRows() const { return tab_.Sheet().axisY.off ? 1 : tab_.Sheet().axisY.count + 1; }

void MapPointView::Layout(const QRect&)
{
    const MapViewGeometry& g = tab_.Geometry();
    plot_
        = QRect(g.cellLeft, g.cellTop, int(tab_.VisibleColumns() * g.columnWidth), int(tab_.VisibleRows() * g.rowHeight));
    toggle_ = QRect(g.left + (g.headerWidth - 10) / 2, plot_.bottom() + 4, 10, 10);
}

int MapPointView::BoundaryX(int index) const
{
    const MapAxis& a = tab_.Sheet().axisX;
    if (proportional_ && a.maxValue > 0)
        return plot_.left() + int(double(a.values[index]) / a.maxValue * plot_.width());
    return plot_.left() + (index + 1) * plot_.width() / (a.count + 1);
}

int MapPointView::BoundaryY(int index) const
{
    const MapAxis& a = tab_.Sheet().axisY;
    if (proportional_ && a.maxValue > a.minValue)
        return plot_.top() + int(double(a.values[index] - a.minValue) / (a.maxValue - a.minValue) * plot_.height());
    return plot_.top() + (index + 1) * plot_.height() / (a.count + 1);
}

int MapPointView::ValueAtX(int x) const
{
    const MapAxis& a = tab_.Sheet().axisX;
    if (proportional_)
        return int(std::lround(double(x - plot_.left()) / std::max(1, plot_.width()) * a.maxValue));
    return a.values[dragIndex_] + (x - BoundaryX(dragIndex_)) * (a.count + 1) / std::max(1, plot_.width());
}

int MapPointView::ValueAtY(int y) const
{
    const MapAxis& a = tab_.Sheet().axisY;
    if (proportional_)
        return a.minValue
            + int(std::lround(double(y - plot_.top()) / std::max(1, plot_.height()) * (a.maxValue - a.minValue)));
    return a.values[dragIndex_] + (y - BoundaryY(dragIndex_)) * (a.count + 1) / std::max(1, plot_.height());
}

QRect MapPointView::Region(int i, int j) const
{
    const MapSheet& s = tab_.Sheet();
    const int x0 = s.axisX.off || i == 0 ? plot_.left() : BoundaryX(i - 1);
    const int x1 = s.axisX.off || i == s.axisX.count ? plot_.right() + 1 : BoundaryX(i);
    const int y0 = s.axisY.off || j == 0 ? plot_.top() : BoundaryY(j - 1);
    const int y1 = s.axisY.off || j == s.axisY.count ? plot_.bottom() + 1 : BoundaryY(j);
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
}

void MapPointView::RegionCell(int i, int j, int& column, int& row) const
{
    const MapSheet& s = tab_.Sheet();
    column = s.axisX.off ? s.axisX.offIndex : i;
    row = s.axisY.off ? s.axisY.offIndex : j;
}

int MapPointView::BoundaryAt(QPoint p, int& index) const
{
    const MapSheet& s = tab_.Sheet();
    if (!plot_.adjusted(-5, -5, 5, 5).contains(p))
        return 0;
    for (int i = 0; !s.axisX.off && i < s.axisX.count; ++i)
        if (std::abs(p.x() - BoundaryX(i)) <= 5 && s.axisX.editable) {
            index = i;
            return AXIS_X;
        }
    for (int j = 0; !s.axisY.off && j < s.axisY.count; ++j)
        if (std::abs(p.y() - BoundaryY(j)) <= 5 && s.axisY.editable) {
            index = j;
            return AXIS_Y;
        }
    return 0;
}

void MapPointView::Paint(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const bool dark = !s.axisData.editable;
    const QRect band = QRect(bandStart_, bandEnd_).normalized();
    std::vector<std::pair<QPoint, bool>> boxes;
    for (int j = 0; j < RegionRows(); ++j)
        for (int i = 0; i < RegionColumns(); ++i) {
            const QRect r = Region(i, j);
            int column, row;
            RegionCell(i, j, column, row);
            const int value = s.Cell(column, row);
            if (banding_ && band.intersects(r)) {
                p.fillRect(r, MapEditor::Color(value == 0 ? ON_COLOR : 0x808080));
                continue;
            }
            p.fillRect(r, Darkened(MapEditor::Color(OFF_COLOR), dark, false));
            const QColor green = Darkened(MapEditor::Color(ON_COLOR), dark, true);
            if (value == 1)
                p.fillRect(r, green);
            if (value == 2) {
                QPolygon half;
                half << r.bottomLeft() << r.bottomRight() << r.topRight();
                p.setPen(Qt::NoPen);
                p.setBrush(green);
                p.drawPolygon(half);
                p.setBrush(Qt::NoBrush);
                boxes.emplace_back(r.center() - QPoint(0, 8), false);
                boxes.emplace_back(r.center() + QPoint(0, 8), true);
            } else {
                boxes.emplace_back(r.center(), value == 1);
            }
        }
    if (proportional_)
        PaintGrid(p);
    PaintBoundaries(p);
    // The boxes last, so that no grid line or boundary crosses them.
    for (const auto& [centre, checked] : boxes)
        CheckBox(p, centre, checked);
    p.setPen(Qt::black);
    p.drawRect(plot_.adjusted(0, 0, -1, -1));
    p.fillRect(toggle_, MapEditor::Color(0xFF00000F));
    p.setPen(MapEditor::Color(0xFF000012));
    p.drawRect(toggle_.adjusted(0, 0, -1, -1));
    if (proportional_)
        p.drawLine(toggle_.left() + 2, toggle_.bottom() - 2, toggle_.right() - 2, toggle_.top() + 2);
    else
        p.drawLine(toggle_.left() + 2, toggle_.center().y(), toggle_.right() - 2, toggle_.center().y());
    if (banding_) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(band);
    }
}

void MapPointView::PaintGrid(QPainter& p) const
{
    const MapSheet& s = tab_.Sheet();
    p.setPen(MapEditor::Color(0xC0C0C0));
    for (const MapAxis* a : { &s.axisX, &s.axisY }) {
        const double step = a->currentRange.gridStep / a->scale;
        const int lo = a == &s.axisX ? 0 : a->minValue;
        for (double v = lo + step; step > 0 && v < a->maxValue; v += step) {
            const double f = (v - lo) / std::max(1, a->maxValue - lo);
            if (a == &s.axisX)
                p.drawLine(plot_.left() + int(f * plot_.width()), plot_.top(), plot_.left() + int(f * plot_.width()),
                    plot_.bottom());
            else
                p.drawLine(plot_.left(), plot_.top() + int(f * plot_.height()), plot_.right(),
                    plot_.top() + int(f * plot_.height()));
        }
    }
}

// The boundary lines with their values. Values of boundaries close together would run into each
// other: such a label goes below the plot instead, and one that has no free place there either is
// left out (the boundary's hint still names it).
void MapPointView::PaintBoundaries(QPainter& p) const
{
    const MapSheet& s = tab_.Sheet();
    const MapViewGeometry& g = tab_.Geometry();
    QFont font;
    font.setPixelSize(12);
    p.setFont(font);
    // The lines cross the light plot; their values stand beside it on the control's face.
    const QColor lineColor(Qt::black), labelColor = tab_.TextColor();
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height();
    std::vector<QRect> taken;
    const auto place = [&](QRect r) {
        for (const QRect& t : taken)
            if (t.adjusted(-3, 0, 3, 0).intersects(r))
                return false;
        taken.push_back(r);
        return true;
    };
    for (int i = 0; !s.axisX.off && i < s.axisX.count; ++i) {
        const int x = BoundaryX(i);
        p.setPen(lineColor);
        p.drawLine(x, plot_.top() - 4, x, plot_.bottom());
        p.setPen(labelColor);
        const QString text
            = QString::fromUtf8(FormatAxisValue(s.axisX.values[i], s.axisX.scale, s.axisX.unit, true).c_str());
        const int width = metrics.horizontalAdvance(text);
        const QRect above(x - width / 2, plot_.top() - 4 - lineHeight, width, lineHeight);
        const QRect below(x - width / 2, plot_.bottom() + 2, width, lineHeight);
        if (place(above))
            p.drawText(above, Qt::AlignCenter, text);
        else if (place(below))
            p.drawText(below, Qt::AlignCenter, text);
    }
    for (int j = 0; !s.axisY.off && j < s.axisY.count; ++j) {
        const int y = BoundaryY(j);
        p.setPen(lineColor);
        p.drawLine(plot_.left() - 4, y, plot_.right(), y);
        p.setPen(labelColor);
        const QString text
            = QString::fromUtf8(FormatAxisValue(s.axisY.values[j], s.axisY.scale, s.axisY.unit, true).c_str());
        const QRect r(g.left, y - lineHeight / 2, plot_.left() - 6 - g.left, lineHeight);
        if (place(r))
            p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

void MapPointView::UpdateDragHint()
{
    const MapAxis& a = tab_.Sheet().Axis(dragAxis_);
    hint_ = QString::asprintf("%s%s = %s", LangText(Dragging), LangText(a.label),
        FormatAxisValue(a.values[dragIndex_], a.scale, a.unit, true).c_str());
    tab_.SetHintText(hint_);
}

Qt::CursorShape MapPointView::MouseMove(QPoint position, bool leftHeld)
{
    if (leftHeld && banding_) {
        bandEnd_ = position;
        tab_.RequestRepaint(MapModel::REPAINT);
        return Qt::ArrowCursor;
    }
    if (leftHeld && dragAxis_) {
        MapSheet& s = tab_.Sheet();
        MapAxis& a = s.Axis(dragAxis_);
        a.values[dragIndex_] = dragAxis_ == AXIS_X ? ValueAtX(position.x()) : ValueAtY(position.y());
        tab_.NormalizeSheet(tab_.ActiveSheet(), dragAxis_);
        UpdateDragHint();
        tab_.RequestRepaint(MapModel::REPAINT);
        return dragAxis_ == AXIS_X ? Qt::SizeHorCursor : Qt::SizeVerCursor;
    }
    int index = 0;
    const int axis = BoundaryAt(position, index);
    return axis == AXIS_X ? Qt::SizeHorCursor : axis == AXIS_Y ? Qt::SizeVerCursor : Qt::ArrowCursor;
}

bool MapPointView::MousePress(QPoint position, Qt::KeyboardModifiers)
{
    if (toggle_.contains(position)) {
        proportional_ = !proportional_;
        tab_.RequestRepaint(MapModel::REPAINT_LAYOUT);
        return true;
    }
    int index = 0;
    const int axis = BoundaryAt(position, index);
    if (axis) {
        dragAxis_ = axis;
        dragIndex_ = index;
        tab_.NoteChange(0, ChangeBegin);
        UpdateDragHint();
        return true;
    }
    if (!plot_.contains(position) || !tab_.Sheet().axisData.editable)
        return false;
    tab_.NoteChange(0, ChangeBegin);
    banding_ = true;
    bandStart_ = bandEnd_ = position;
    tab_.RequestRepaint(MapModel::REPAINT);
    return true;
}

void MapPointView::MouseRelease(QPoint position)
{
    if (banding_) {
        bandEnd_ = position;
        const QRect band = QRect(bandStart_, bandEnd_).normalized();
        MapSheet& s = tab_.Sheet();
        for (int j = 0; j < RegionRows(); ++j)
            for (int i = 0; i < RegionColumns(); ++i)
                if (band.intersects(Region(i, j))) {
                    int column, row;
                    RegionCell(i, j, column, row);
                    s.Cell(column, row) = s.Cell(column, row) == 0 ? 1 : 0;
                }
        banding_ = false;
        tab_.NoteChange(AXIS_DATA, ChangeEnd);
    }
    if (dragAxis_) {
        dragAxis_ = 0;
        hint_.clear();
        tab_.SetHintText(QString());
        tab_.NoteChange(AXIS_X | AXIS_Y, ChangeEnd);
    }
    tab_.RequestRepaint(MapModel::REPAINT);
}

bool MapPointView::Wheel(QPoint position, int steps)
{
    int index = 0;
    const int axis = BoundaryAt(position, index);
    if (!axis)
        return false;
    const int id = ChangeIdOfElement(axis == AXIS_X ? index : -1, axis == AXIS_X ? -1 : index);
    tab_.NoteChange(0, id);
    tab_.Sheet().Axis(axis).values[index] += steps;
    tab_.NoteChange(axis, id);
    return true;
}
