#include "mapedit/ui/MapGraph2D.h"

#include "lang/LangString.h"
#include "mapedit/DisplayRange.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/ui/MapEditor.h"

#include <QCursor>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A point, a base-advance point or a marker is under the pointer within this many pixels.
constexpr double HIT_DISTANCE = 5;

const char* const DraggingPrefix = "###Dragging: ##Ziehen: ##Tažení: ";
const char* const BaseAdvanceText = "###Base advance##Base vorrücken##Základní předstih";
const char* const LimiterText = "###Limiter##Limiter##Omezovač";
const char* const StartLimiterText = "###Start limiter##Start limiter##Startovací omezovač";
const char* const InterpolationHint = "###Interpolation####Interpolace";

bool IsRpm(const MapAxis& axis) { return std::strcmp(axis.name, "RPM") == 0; }

std::string Value(int32_t raw, const MapAxis& axis) { return FormatAxisValue(raw, axis.scale, axis.unit, true); }

} // namespace

MapGraph2D::MapGraph2D(MapEditor& t)
    : tab(t)
{
}

void MapGraph2D::Layout(const QRect& a)
{
    area = a;
    Refresh();
}

QRect MapGraph2D::Plot() const { return QRect(geo.plotLeft, geo.plotTop, geo.plotWidth, geo.plotHeight); }

void MapGraph2D::Refresh()
{
    if (tab.SheetCount() == 0 || area.isEmpty())
        return;
    const GraphRanges ranges = DisplayRange::Compute(tab);
    const MapSheet& s = tab.Sheet();
    geo = GraphGeometry::For(area.left(), area.top(), area.width(), area.height(), ranges, s);
    selectedCurve = std::clamp(selectedCurve, 0, ranges.curves - 1);
    // A map that lost curves or points (an axis switched off, a column deleted) forgets a hot
    // point that no longer exists.
    if (hot >= 0 && (GraphDrag::CurveOf(hot) >= ranges.curves || GraphDrag::PointOf(hot) >= ranges.points)) {
        hot = GraphDrag::NONE;
        preview = false;
    }
    const MapAxis& across = s.Axis(ranges.across);
    points.assign(static_cast<size_t>(ranges.curves * ranges.points), Point {});
    for (int r = 0; r < ranges.curves; ++r)
        for (int i = 0; i < ranges.points; ++i) {
            Point& pt = points[static_cast<size_t>(r * ranges.points + i)];
            DisplayRange::PointCell(s, ranges.across, i, r, pt.column, pt.row);
            pt.at = QPointF(geo.AcrossPixel(DisplayRange::Position(across, across.EntryAt(i))),
                geo.UpPixel(s.Cell(pt.column, pt.row), r));
        }
}

const MapGraph2D::Point& MapGraph2D::PointAt(int point, int curve) const
{
    return points[static_cast<size_t>(curve * geo.ranges.points + point)];
}

QPointF MapGraph2D::PointPosition(int point, int curve) const { return PointAt(point, curve).at; }

bool MapGraph2D::HasBaseAdvance() const
{
    const MapSheet& s = tab.Sheet();
    return (s.flags & SF_BASE_ADVANCE) && IsRpm(s.Axis(geo.ranges.across));
}

QPointF MapGraph2D::BasePosition(int curve) const
{
    return QPointF(geo.plotLeft, geo.UpPixel(tab.BaseAdvance() / tab.Sheet().axisData.scale, curve));
}

bool MapGraph2D::HasMarker(int element) const
{
    const MapSheet& s = tab.Sheet();
    const int flag = element == GraphDrag::LIMITER ? SF_LIMITER : SF_START_LIMITER;
    return (s.flags & flag) && IsRpm(s.Axis(geo.ranges.across));
}

double MapGraph2D::MarkerRaw(int element) const
{
    const double rpm = element == GraphDrag::LIMITER ? tab.LimiterRpm() : tab.StartLimiterRpm();
    return rpm / tab.Sheet().Axis(geo.ranges.across).scale;
}

double MapGraph2D::MarkerX(int element) const { return HasMarker(element) ? geo.AcrossPixel(MarkerRaw(element)) : -1; }

bool MapGraph2D::PointOfCell(int column, int row, int& point, int& curve) const
{
    for (int r = 0; r < geo.ranges.curves; ++r)
        for (int i = 0; i < geo.ranges.points; ++i)
            if (PointAt(i, r).column == column && PointAt(i, r).row == row) {
                point = i;
                curve = r;
                return true;
            }
    return false;
}

int MapGraph2D::ElementAt(QPoint position, int* curve) const
{
    if (tab.SheetCount() == 0 || area.isEmpty() || points.empty())
        return GraphDrag::NONE;
    const QPointF at(position);
    double best = HIT_DISTANCE;
    int element = GraphDrag::NONE, bestCurve = selectedCurve;
    auto consider = [&](QPointF p, int id, int r) {
        const double d = std::hypot(p.x() - at.x(), p.y() - at.y());
        if (d < best) {
            best = d;
            element = id;
            bestCurve = r;
        }
    };
    for (int r = 0; r < geo.ranges.curves; ++r) {
        for (int i = 0; i < geo.ranges.points; ++i)
            consider(PointAt(i, r).at, GraphDrag::PointId(i, r), r);
        if (HasBaseAdvance())
            consider(BasePosition(r), GraphDrag::BASE_ADVANCE, r);
    }
    const bool inHeight = position.y() >= geo.plotTop - 3 && position.y() <= geo.plotBottom + 3;
    for (int marker : { GraphDrag::LIMITER, GraphDrag::START_LIMITER }) {
        if (element != GraphDrag::NONE && element >= 0)
            break;
        if (!HasMarker(marker) || !inHeight)
            continue;
        const double d = std::abs(MarkerX(marker) - at.x());
        if (d < best) {
            best = d;
            element = marker;
        }
    }
    if (curve)
        *curve = bestCurve;
    return element;
}

void MapGraph2D::UpdateHover(QPoint position)
{
    int curve = selectedCurve;
    const int element = ElementAt(position, &curve);
    bool corner = false;
    if (element >= 0) {
        const Point& pt = PointAt(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
        corner = tab.CanInterpolate() && (tab.Sel().Mark(pt.column, pt.row) & MARK_CORNER);
    }
    const bool curveChanged = (element >= 0 || element == GraphDrag::BASE_ADVANCE) && curve != selectedCurve;
    if (element == hot && corner == preview && !curveChanged)
        return;
    hot = element;
    preview = corner;
    if (curveChanged)
        selectedCurve = curve;
    tab.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::UpdateHint()
{
    hint.clear();
    if (preview) {
        hint = QString::fromUtf8(LangText(InterpolationHint));
        return;
    }
    if (hot == GraphDrag::NONE)
        return;
    const MapSheet& s = tab.Sheet();
    // The text table trims the trailing space of the prefix; the hint keeps the word apart.
    std::string prefix = drag.Active() ? LangText(DraggingPrefix) : "";
    if (!prefix.empty() && prefix.back() != ' ')
        prefix += ' ';
    const MapAxis& across = s.Axis(geo.ranges.across);
    if (hot == GraphDrag::BASE_ADVANCE) {
        hint = QString::asprintf("%s%s = %s", prefix.c_str(), LangText(BaseAdvanceText),
            FormatAxisValue(tab.BaseAdvance(), 1.0, s.axisData.unit, true).c_str());
    } else if (hot == GraphDrag::LIMITER || hot == GraphDrag::START_LIMITER) {
        const int rpm = hot == GraphDrag::LIMITER ? tab.LimiterRpm() : tab.StartLimiterRpm();
        hint = QString::asprintf("%s%s = %s", prefix.c_str(),
            LangText(hot == GraphDrag::LIMITER ? LimiterText : StartLimiterText),
            FormatAxisValue(rpm, 1.0, across.unit, true).c_str());
    } else {
        const Point& pt = PointAt(GraphDrag::PointOf(hot), GraphDrag::CurveOf(hot));
        const int acrossEntry = geo.ranges.across == AXIS_X ? pt.column : pt.row;
        const std::string acrossText = LangText(across.label) + std::string(" = ")
            + Value(across.values[static_cast<size_t>(acrossEntry)], across);
        const std::string dataText
            = LangText(s.axisData.label) + std::string(" = ") + Value(s.Cell(pt.column, pt.row), s.axisData);
        if (geo.ranges.curves > 1) {
            const MapAxis& curveAxis = s.Axis(geo.ranges.curve);
            const int curveEntry = geo.ranges.across == AXIS_X ? pt.row : pt.column;
            hint = QString::asprintf("%s%s = %s; %s; %s", prefix.c_str(), LangText(curveAxis.label),
                Value(curveAxis.values[static_cast<size_t>(curveEntry)], curveAxis).c_str(), acrossText.c_str(),
                dataText.c_str());
        } else {
            hint = QString::asprintf("%s%s; %s", prefix.c_str(), acrossText.c_str(), dataText.c_str());
        }
    }
}

Qt::CursorShape MapGraph2D::MouseMove(QPoint position, bool leftHeld)
{
    if (tab.SheetCount() == 0)
        return Qt::ArrowCursor;
    if (leftHeld && drag.Active()) {
        DragTo(position);
        return hot == GraphDrag::LIMITER || hot == GraphDrag::START_LIMITER ? Qt::SizeHorCursor : Qt::SizeAllCursor;
    }
    if (leftHeld && banding) {
        const QRect plot = Plot();
        MapSelection& sel = tab.Sel();
        sel.currentX = std::clamp(position.x(), plot.left(), plot.right());
        sel.currentY = std::clamp(position.y(), plot.top(), plot.bottom());
        MarkBand();
        return Qt::ArrowCursor;
    }
    UpdateHover(position);
    UpdateHint();
    if (hot == GraphDrag::LIMITER || hot == GraphDrag::START_LIMITER)
        return Qt::SizeHorCursor;
    return hot != GraphDrag::NONE && GraphDrag::Draggable(tab, geo.ranges, hot) ? Qt::SizeAllCursor : Qt::ArrowCursor;
}

bool MapGraph2D::MousePress(QPoint position, Qt::KeyboardModifiers mods)
{
    if (tab.SheetCount() == 0 || area.isEmpty())
        return false;
    modifiers = mods;
    if (tab.Editing())
        tab.CommitCellEdit();
    Refresh();
    UpdateHover(position);
    if (preview) {
        preview = false;
        hot = GraphDrag::NONE;
        tab.InterpolateSelection();
        return true;
    }
    if (hot != GraphDrag::NONE) {
        int curve = selectedCurve;
        ElementAt(position, &curve);
        if (!drag.Begin(tab, geo.ranges, hot))
            return false;
        dragCurve = curve;
        QPointF at;
        if (hot == GraphDrag::BASE_ADVANCE)
            at = BasePosition(curve);
        else if (hot < 0)
            at = QPointF(MarkerX(hot), position.y());
        else
            at = PointPosition(GraphDrag::PointOf(hot), curve);
        grabOffset = QPointF(position) - at;
        UpdateHint();
        tab.RequestRepaint(MapModel::REPAINT);
        return true;
    }
    const QRect plot = Plot();
    if (!plot.adjusted(-HIT_DISTANCE, -HIT_DISTANCE, HIT_DISTANCE, HIT_DISTANCE).contains(position))
        return false;
    MapSelection& sel = tab.Sel();
    if (!(mods & (Qt::ShiftModifier | Qt::ControlModifier)))
        sel.Clear();
    sel.ClearDragMarks();
    sel.anchorX = sel.currentX = std::clamp(position.x(), plot.left(), plot.right());
    sel.anchorY = sel.currentY = std::clamp(position.y(), plot.top(), plot.bottom());
    sel.dragKind = SEL_CELLS | DRAG_RUBBER;
    banding = true;
    MarkBand();
    return true;
}

void MapGraph2D::MouseRelease(QPoint position)
{
    if (drag.Active()) {
        drag.End(tab);
        Refresh();
        UpdateHover(position);
        UpdateHint();
    }
    if (banding)
        FinishBand();
    tab.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::DragTo(QPoint position)
{
    const QPointF target = QPointF(position) - grabOffset;
    const double pxAcross = geo.pxAcross, pxUp = geo.pxUp;
    const Qt::KeyboardModifiers live = modifiers | (tab.Interaction().ShiftDown() ? Qt::ShiftModifier : Qt::NoModifier)
        | (tab.Interaction().CtrlDown() ? Qt::ControlModifier : Qt::NoModifier);
    drag.Move(tab, geo.ranges, geo.AcrossRaw(target.x()), geo.DataRaw(target.y(), dragCurve), live & Qt::ShiftModifier,
        live & Qt::ControlModifier);
    Refresh();
    KeepPointerOnPoint(pxAcross, pxUp);
    UpdateHint();
    tab.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::KeepPointerOnPoint(double oldAcross, double oldUp)
{
    if (oldAcross == geo.pxAcross && oldUp == geo.pxUp)
        return;
    const int element = drag.Element();
    QPointF at;
    if (element == GraphDrag::BASE_ADVANCE)
        at = BasePosition(dragCurve);
    else if (element < 0)
        at = QPointF(MarkerX(element), tab.mapFromGlobal(QCursor::pos()).y() - grabOffset.y());
    else
        at = PointPosition(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
    QCursor::setPos(tab.mapToGlobal((at + grabOffset).toPoint()));
}

void MapGraph2D::MarkBand()
{
    MapSelection& sel = tab.Sel();
    sel.ClearDragMarks();
    const QRectF band = QRectF(QPointF(sel.anchorX, sel.anchorY), QPointF(sel.currentX, sel.currentY)).normalized();
    for (const Point& pt : points)
        if (band.adjusted(-0.5, -0.5, 0.5, 0.5).contains(pt.at))
            sel.OrMark(pt.column, pt.row, MARK_DRAG);
    tab.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::FinishBand()
{
    banding = false;
    MapSelection& sel = tab.Sel();
    sel.Commit();
    sel.anchorX = sel.anchorY = sel.currentX = sel.currentY = -1;
    if (sel.count > 0 && sel.kind == SEL_CELLS) {
        sel.startColumn = sel.boxX0, sel.startRow = sel.boxY0;
        sel.endColumn = sel.boxX1, sel.endRow = sel.boxY1;
    }
}

bool MapGraph2D::Wheel(QPoint position, int steps)
{
    if (tab.SheetCount() == 0)
        return false;
    const int element = ElementAt(position);
    if (element >= 0) {
        const Point& pt = PointAt(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
        if (!tab.Sel().IsSelected(pt.column, pt.row)) {
            // An unselected point steps alone, as the table's step arrows step their element.
            tab.StepAt(pt.column, pt.row, steps);
            return true;
        }
    }
    if (tab.Sel().count == 0)
        return false;
    tab.StepValues(steps);
    return true;
}

void MapGraph2D::RightClickSelect(QPoint position)
{
    const int element = ElementAt(position);
    if (element < 0)
        return;
    const Point& pt = PointAt(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
    if (!tab.Sel().IsSelected(pt.column, pt.row))
        tab.SelectElement(pt.column, pt.row);
}
