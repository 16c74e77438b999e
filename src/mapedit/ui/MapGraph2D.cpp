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
    : tab_(t)
{
}

void MapGraph2D::Layout(const QRect& a)
{
    area_ = a;
    Refresh();
}

QRect MapGraph2D::Plot() const { return QRect(geo_.plotLeft, geo_.plotTop, geo_.plotWidth, geo_.plotHeight); }

void MapGraph2D::Refresh()
{
    if (tab_.SheetCount() == 0 || area_.isEmpty())
        return;
    const GraphRanges ranges = DisplayRange::Compute(tab_);
    const MapSheet& s = tab_.Sheet();
    geo_ = GraphGeometry::For(area_.left(), area_.top(), area_.width(), area_.height(), ranges, s);
    selectedCurve_ = std::clamp(selectedCurve_, 0, ranges.curves - 1);
    // A map that lost curves or points (an axis switched off, a column deleted) forgets a hot
    // point that no longer exists.
    if (hot_ >= 0 && (GraphDrag::CurveOf(hot_) >= ranges.curves || GraphDrag::PointOf(hot_) >= ranges.points)) {
        hot_ = GraphDrag::NONE;
        preview_ = false;
    }
    const MapAxis& across = s.Axis(ranges.across);
    points_.assign(static_cast<size_t>(ranges.curves * ranges.points), Point {});
    for (int r = 0; r < ranges.curves; ++r)
        for (int i = 0; i < ranges.points; ++i) {
            Point& pt = points_[static_cast<size_t>(r * ranges.points + i)];
            DisplayRange::PointCell(s, ranges.across, i, r, pt.column, pt.row);
            pt.at = QPointF(geo_.AcrossPixel(DisplayRange::Position(across, across.EntryAt(i))),
                geo_.UpPixel(s.Cell(pt.column, pt.row), r));
        }
}

const MapGraph2D::Point& MapGraph2D::PointAt(int point, int curve) const
{
    return points_[static_cast<size_t>(curve * geo_.ranges.points + point)];
}

QPointF MapGraph2D::PointPosition(int point, int curve) const { return PointAt(point, curve).at; }

bool MapGraph2D::HasBaseAdvance() const
{
    const MapSheet& s = tab_.Sheet();
    return (s.flags & SF_BASE_ADVANCE) && IsRpm(s.Axis(geo_.ranges.across));
}

QPointF MapGraph2D::BasePosition(int curve) const
{
    return QPointF(geo_.plotLeft, geo_.UpPixel(tab_.BaseAdvance() / tab_.Sheet().axisData.scale, curve));
}

bool MapGraph2D::HasMarker(int element) const
{
    const MapSheet& s = tab_.Sheet();
    const int flag = element == GraphDrag::LIMITER ? SF_LIMITER : SF_START_LIMITER;
    return (s.flags & flag) && IsRpm(s.Axis(geo_.ranges.across));
}

double MapGraph2D::MarkerRaw(int element) const
{
    const double rpm = element == GraphDrag::LIMITER ? tab_.LimiterRpm() : tab_.StartLimiterRpm();
    return rpm / tab_.Sheet().Axis(geo_.ranges.across).scale;
}

double MapGraph2D::MarkerX(int element) const { return HasMarker(element) ? geo_.AcrossPixel(MarkerRaw(element)) : -1; }

bool MapGraph2D::PointOfCell(int column, int row, int& point, int& curve) const
{
    for (int r = 0; r < geo_.ranges.curves; ++r)
        for (int i = 0; i < geo_.ranges.points; ++i)
            if (PointAt(i, r).column == column && PointAt(i, r).row == row) {
                point = i;
                curve = r;
                return true;
            }
    return false;
}

bool MapGraph2D::OperatingPointAt(QPointF& at) const
{
    const MapSheet& s = tab_.Sheet();
    if (!(s.flags & SF_OPERATING_POINT) || (s.opState != MapSheet::OP_ACTIVE && s.opState != MapSheet::OP_OTHER_MAP))
        return false;
    int point, curve;
    if (s.opColumn == MapSheet::OP_BASE_ZONE && HasBaseAdvance()) {
        if (!PointOfCell(0, s.opRow, point, curve))
            return false;
        at = BasePosition(curve);
        return true;
    }
    if (!PointOfCell(s.opColumn, s.opRow, point, curve))
        return false;
    at = PointPosition(point, curve);
    return true;
}

QRegion MapGraph2D::LiveMarks() const
{
    // The ring's outer radius is 8 with an antialiased pen; the speed line is one pixel wide.
    constexpr int RING_REACH = 10, LINE_REACH = 1;
    QRegion marks;
    if (tab_.SheetCount() == 0 || area_.isEmpty())
        return marks;
    if (QPointF at; OperatingPointAt(at))
        marks += QRectF(at.x() - RING_REACH, at.y() - RING_REACH, 2 * RING_REACH + 1, 2 * RING_REACH + 1).toAlignedRect();
    if (const int x = LiveSpeedX(); x >= 0)
        marks += QRect(x - LINE_REACH, geo_.plotTop - LINE_REACH, 2 * LINE_REACH + 1, geo_.plotBottom - geo_.plotTop + 2 * LINE_REACH + 1);
    return marks & area_;
}

int MapGraph2D::ElementAt(QPoint position, int* curve) const
{
    if (tab_.SheetCount() == 0 || area_.isEmpty() || points_.empty())
        return GraphDrag::NONE;
    const QPointF at(position);
    double best = HIT_DISTANCE;
    int element = GraphDrag::NONE, bestCurve = selectedCurve_;
    auto consider = [&](QPointF p, int id, int r) {
        const double d = std::hypot(p.x() - at.x(), p.y() - at.y());
        if (d < best) {
            best = d;
            element = id;
            bestCurve = r;
        }
    };
    for (int r = 0; r < geo_.ranges.curves; ++r) {
        for (int i = 0; i < geo_.ranges.points; ++i)
            consider(PointAt(i, r).at, GraphDrag::PointId(i, r), r);
        if (HasBaseAdvance())
            consider(BasePosition(r), GraphDrag::BASE_ADVANCE, r);
    }
    const bool inHeight = position.y() >= geo_.plotTop - 3 && position.y() <= geo_.plotBottom + 3;
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
    int curve = selectedCurve_;
    const int element = ElementAt(position, &curve);
    bool corner = false;
    if (element >= 0) {
        const Point& pt = PointAt(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
        corner = tab_.CanInterpolate() && (tab_.Sel().Mark(pt.column, pt.row) & MARK_CORNER);
    }
    const bool curveChanged = (element >= 0 || element == GraphDrag::BASE_ADVANCE) && curve != selectedCurve_;
    if (element == hot_ && corner == preview_ && !curveChanged)
        return;
    hot_ = element;
    preview_ = corner;
    if (curveChanged)
        selectedCurve_ = curve;
    tab_.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::UpdateHint()
{
    hint_.clear();
    if (preview_) {
        hint_ = QString::fromUtf8(LangText(InterpolationHint));
        return;
    }
    if (hot_ == GraphDrag::NONE)
        return;
    const MapSheet& s = tab_.Sheet();
    // The text table trims the trailing space of the prefix; the hint keeps the word apart.
    std::string prefix = drag_.Active() ? LangText(DraggingPrefix) : "";
    if (!prefix.empty() && prefix.back() != ' ')
        prefix += ' ';
    const MapAxis& across = s.Axis(geo_.ranges.across);
    if (hot_ == GraphDrag::BASE_ADVANCE) {
        hint_ = QString::asprintf("%s%s = %s", prefix.c_str(), LangText(BaseAdvanceText),
            FormatAxisValue(tab_.BaseAdvance(), 1.0, s.axisData.unit, true).c_str());
    } else if (hot_ == GraphDrag::LIMITER || hot_ == GraphDrag::START_LIMITER) {
        const int rpm = hot_ == GraphDrag::LIMITER ? tab_.LimiterRpm() : tab_.StartLimiterRpm();
        hint_ = QString::asprintf("%s%s = %s", prefix.c_str(),
            LangText(hot_ == GraphDrag::LIMITER ? LimiterText : StartLimiterText),
            FormatAxisValue(rpm, 1.0, across.unit, true).c_str());
    } else {
        const Point& pt = PointAt(GraphDrag::PointOf(hot_), GraphDrag::CurveOf(hot_));
        const int acrossEntry = geo_.ranges.across == AXIS_X ? pt.column : pt.row;
        const std::string acrossText = LangText(across.label) + std::string(" = ")
            + Value(across.values[static_cast<size_t>(acrossEntry)], across);
        const std::string dataText
            = LangText(s.axisData.label) + std::string(" = ") + Value(s.Cell(pt.column, pt.row), s.axisData);
        if (geo_.ranges.curves > 1) {
            const MapAxis& curveAxis = s.Axis(geo_.ranges.curve);
            const int curveEntry = geo_.ranges.across == AXIS_X ? pt.row : pt.column;
            hint_ = QString::asprintf("%s%s = %s; %s; %s", prefix.c_str(), LangText(curveAxis.label),
                Value(curveAxis.values[static_cast<size_t>(curveEntry)], curveAxis).c_str(), acrossText.c_str(),
                dataText.c_str());
        } else {
            hint_ = QString::asprintf("%s%s; %s", prefix.c_str(), acrossText.c_str(), dataText.c_str());
        }
    }
}

Qt::CursorShape MapGraph2D::MouseMove(QPoint position, bool leftHeld)
{
    if (tab_.SheetCount() == 0)
        return Qt::ArrowCursor;
    if (leftHeld && drag_.Active()) {
        DragTo(position);
        return hot_ == GraphDrag::LIMITER || hot_ == GraphDrag::START_LIMITER ? Qt::SizeHorCursor : Qt::SizeAllCursor;
    }
    if (leftHeld && banding_) {
        const QRect plot = Plot();
        MapSelection& sel = tab_.Sel();
        sel.currentX = std::clamp(position.x(), plot.left(), plot.right());
        sel.currentY = std::clamp(position.y(), plot.top(), plot.bottom());
        MarkBand();
        return Qt::ArrowCursor;
    }
    UpdateHover(position);
    UpdateHint();
    if (hot_ == GraphDrag::LIMITER || hot_ == GraphDrag::START_LIMITER)
        return Qt::SizeHorCursor;
    return hot_ != GraphDrag::NONE && GraphDrag::Draggable(tab_, geo_.ranges, hot_) ? Qt::SizeAllCursor : Qt::ArrowCursor;
}

bool MapGraph2D::MousePress(QPoint position, Qt::KeyboardModifiers mods)
{
    if (tab_.SheetCount() == 0 || area_.isEmpty())
        return false;
    modifiers_ = mods;
    if (tab_.Editing())
        tab_.CommitCellEdit();
    Refresh();
    UpdateHover(position);
    if (preview_) {
        preview_ = false;
        hot_ = GraphDrag::NONE;
        tab_.InterpolateSelection();
        return true;
    }
    if (hot_ != GraphDrag::NONE) {
        int curve = selectedCurve_;
        ElementAt(position, &curve);
        if (!drag_.Begin(tab_, geo_.ranges, hot_))
            return false;
        dragCurve_ = curve;
        QPointF at;
        if (hot_ == GraphDrag::BASE_ADVANCE)
            at = BasePosition(curve);
        else if (hot_ < 0)
            at = QPointF(MarkerX(hot_), position.y());
        else
            at = PointPosition(GraphDrag::PointOf(hot_), curve);
        grabOffset_ = QPointF(position) - at;
        UpdateHint();
        tab_.RequestRepaint(MapModel::REPAINT);
        return true;
    }
    // A band may start on the axis labels as well: the press is brought into the plot.
    if (!area_.contains(position))
        return false;
    const QRect plot = Plot();
    MapSelection& sel = tab_.Sel();
    if (!(mods & (Qt::ShiftModifier | Qt::ControlModifier)))
        sel.Clear();
    sel.ClearDragMarks();
    sel.anchorX = sel.currentX = std::clamp(position.x(), plot.left(), plot.right());
    sel.anchorY = sel.currentY = std::clamp(position.y(), plot.top(), plot.bottom());
    sel.dragKind = SEL_CELLS | DRAG_RUBBER;
    banding_ = true;
    MarkBand();
    return true;
}

void MapGraph2D::MouseRelease(QPoint position)
{
    if (drag_.Active()) {
        drag_.End(tab_);
        Refresh();
        UpdateHover(position);
        UpdateHint();
    }
    if (banding_)
        FinishBand();
    tab_.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::DragTo(QPoint position)
{
    const QPointF target = QPointF(position) - grabOffset_;
    const double pxAcross = geo_.pxAcross, pxUp = geo_.pxUp;
    const Qt::KeyboardModifiers live = modifiers_ | (tab_.Interaction().ShiftDown() ? Qt::ShiftModifier : Qt::NoModifier)
        | (tab_.Interaction().CtrlDown() ? Qt::ControlModifier : Qt::NoModifier);
    drag_.Move(tab_, geo_.ranges, geo_.AcrossRaw(target.x()), geo_.DataRaw(target.y(), dragCurve_), live & Qt::ShiftModifier,
        live & Qt::ControlModifier);
    Refresh();
    KeepPointerOnPoint(pxAcross, pxUp);
    UpdateHint();
    tab_.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::KeepPointerOnPoint(double oldAcross, double oldUp)
{
    if (oldAcross == geo_.pxAcross && oldUp == geo_.pxUp)
        return;
    const int element = drag_.Element();
    QPointF at;
    if (element == GraphDrag::BASE_ADVANCE)
        at = BasePosition(dragCurve_);
    else if (element < 0)
        at = QPointF(MarkerX(element), tab_.mapFromGlobal(QCursor::pos()).y() - grabOffset_.y());
    else
        at = PointPosition(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
    QCursor::setPos(tab_.mapToGlobal((at + grabOffset_).toPoint()));
}

void MapGraph2D::MarkBand()
{
    MapSelection& sel = tab_.Sel();
    sel.ClearDragMarks();
    const QRectF band = QRectF(QPointF(sel.anchorX, sel.anchorY), QPointF(sel.currentX, sel.currentY)).normalized();
    for (const Point& pt : points_)
        if (band.adjusted(-0.5, -0.5, 0.5, 0.5).contains(pt.at))
            sel.OrMark(pt.column, pt.row, MARK_DRAG);
    tab_.RequestRepaint(MapModel::REPAINT);
}

void MapGraph2D::FinishBand()
{
    banding_ = false;
    MapSelection& sel = tab_.Sel();
    sel.Commit();
    sel.anchorX = sel.anchorY = sel.currentX = sel.currentY = -1;
    if (sel.count > 0 && sel.kind == SEL_CELLS) {
        sel.startColumn = sel.boxX0, sel.startRow = sel.boxY0;
        sel.endColumn = sel.boxX1, sel.endRow = sel.boxY1;
    }
}

bool MapGraph2D::Wheel(QPoint position, int steps)
{
    if (tab_.SheetCount() == 0)
        return false;
    const int element = ElementAt(position);
    if (element >= 0) {
        const Point& pt = PointAt(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
        if (!tab_.Sel().IsSelected(pt.column, pt.row)) {
            // An unselected point steps alone, as the table's step arrows step their element.
            tab_.StepAt(pt.column, pt.row, steps);
            return true;
        }
    }
    if (tab_.Sel().count == 0)
        return false;
    tab_.StepValues(steps);
    return true;
}

void MapGraph2D::RightClickSelect(QPoint position)
{
    const int element = ElementAt(position);
    if (element < 0)
        return;
    const Point& pt = PointAt(GraphDrag::PointOf(element), GraphDrag::CurveOf(element));
    if (!tab_.Sel().IsSelected(pt.column, pt.row))
        tab_.SelectElement(pt.column, pt.row);
}
