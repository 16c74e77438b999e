#include "mapedit/GraphDrag.h"

#include "mapedit/DisplayRange.h"

#include <array>
#include <cmath>

namespace {

bool AcrossMovable(const MapAxis& across) { return across.editable && across.proportional; }

bool PointSelected(const MapSheet& s, const GraphRanges& g, int point, int curve)
{
    int column, row;
    DisplayRange::PointCell(s, g.across, point, curve, column, row);
    return s.selection.IsSelected(column, row);
}

// Any point of a curve (or at an across position) is selected.
bool CurveHasSelection(const MapSheet& s, const GraphRanges& g, int curve)
{
    for (int i = 0; i < g.points; ++i)
        if (PointSelected(s, g, i, curve))
            return true;
    return false;
}

bool ColumnHasSelection(const MapSheet& s, const GraphRanges& g, int point)
{
    for (int r = 0; r < g.curves; ++r)
        if (PointSelected(s, g, point, r))
            return true;
    return false;
}

} // namespace

bool GraphDrag::Draggable(const MapModel& tab, const GraphRanges& g, int element)
{
    if (tab.SheetCount() == 0 || element == NONE)
        return false;
    // The base advance and the limiter markers always move; a point when one of its axes may.
    if (element < 0)
        return true;
    const MapSheet& s = tab.Sheet();
    return AcrossMovable(s.Axis(g.across)) || s.axisData.editable;
}

bool GraphDrag::Begin(MapModel& tab, const GraphRanges& g, int element)
{
    if (Active() || !Draggable(tab, g, element))
        return false;
    element_ = element;
    mask_ = 0;
    tab.NoteChange(0, ChangeBegin);
    tab.Sel().dragKind |= DRAG_GRAPH_POINT;
    return true;
}

bool GraphDrag::MovesWith(
    const MapSheet& s, const GraphRanges& g, int dragged, int point, int curve, bool shift, bool ctrl)
{
    const int draggedPoint = PointOf(dragged), draggedCurve = CurveOf(dragged);
    if (point == draggedPoint && curve == draggedCurve)
        return false;
    if (PointSelected(s, g, draggedPoint, draggedCurve) && PointSelected(s, g, point, curve))
        return true;
    if (shift && (curve == draggedCurve || CurveHasSelection(s, g, curve)))
        return true;
    return ctrl && (point == draggedPoint || ColumnHasSelection(s, g, point));
}

void GraphDrag::MovePoint(MapModel& tab, const GraphRanges& g, int32_t acrossRaw, int32_t dataRaw, bool shift, bool ctrl)
{
    MapSheet& s = tab.Sheet();
    MapAxis& across = s.Axis(g.across);
    const int point = PointOf(element_), curve = CurveOf(element_);
    int column, row;
    DisplayRange::PointCell(s, g.across, point, curve, column, row);
    const int entry = across.EntryAt(point);
    const int32_t oldPosition = across.values[static_cast<size_t>(entry)];
    const int32_t oldValue = s.Cell(column, row);
    const bool moveAcross = AcrossMovable(across);
    const bool moveData = s.axisData.editable != 0;
    if (moveAcross)
        across.values[static_cast<size_t>(entry)] = acrossRaw;
    if (moveData)
        s.Cell(column, row) = dataRaw;
    tab.NormalizeSheet(tab.ActiveSheet(), AXIS_DATA | (moveAcross ? g.across : 0));
    const int32_t dx = across.values[static_cast<size_t>(entry)] - oldPosition;
    const int32_t dv = s.Cell(column, row) - oldValue;
    if (dx == 0 && dv == 0)
        return;
    mask_ |= (dv ? AXIS_DATA : 0) | (dx ? g.across : 0);
    std::array<bool, TAB_MAX_X> shifted {};
    bool others = false;
    for (int r = 0; r < g.curves; ++r)
        for (int i = 0; i < g.points; ++i) {
            if (!MovesWith(s, g, element_, i, r, shift, ctrl))
                continue;
            int c2, r2;
            DisplayRange::PointCell(s, g.across, i, r, c2, r2);
            s.Cell(c2, r2) += dv;
            const int e2 = across.EntryAt(i);
            if (dx && e2 != entry && !shifted[static_cast<size_t>(e2)]) {
                shifted[static_cast<size_t>(e2)] = true;
                across.values[static_cast<size_t>(e2)] += dx;
            }
            others = true;
        }
    if (others)
        tab.NormalizeSheet(tab.ActiveSheet(), AXIS_DATA | (dx ? g.across : 0));
}

void GraphDrag::Move(MapModel& tab, const GraphRanges& g, int32_t acrossRaw, int32_t dataRaw, bool shift, bool ctrl)
{
    if (!Active() || tab.SheetCount() == 0)
        return;
    const MapSheet& s = tab.Sheet();
    const MapAxis& across = s.Axis(g.across);
    switch (element_) {
    case BASE_ADVANCE: {
        const int before = tab.BaseAdvance();
        tab.SetBaseAdvance(static_cast<int32_t>(std::lround(dataRaw * s.axisData.scale)));
        tab.NormalizeSheet(tab.ActiveSheet(), 0);
        mask_ |= tab.BaseAdvance() != before ? AXIS_DATA : 0;
        break;
    }
    case LIMITER:
    case START_LIMITER: {
        const bool limiter = element_ == LIMITER;
        auto marker = [&] { return limiter ? tab.LimiterRpm() : tab.StartLimiterRpm(); };
        const int before = marker();
        const auto rpm = static_cast<int32_t>(std::lround(acrossRaw * across.scale));
        limiter ? tab.SetLimiterRpm(rpm) : tab.SetStartLimiterRpm(rpm);
        tab.NormalizeSheet(tab.ActiveSheet(), 0);
        if (marker() != before) {
            mask_ |= g.across;
            tab.SetMovedMarkers(
                tab.MovedMarkers() | (limiter ? MapModel::MOVED_LIMITER : MapModel::MOVED_START_LIMITER));
        }
        break;
    }
    default:
        MovePoint(tab, g, acrossRaw, dataRaw, shift, ctrl);
        break;
    }
}

void GraphDrag::End(MapModel& tab)
{
    if (!Active())
        return;
    element_ = NONE;
    tab.Sel().dragKind &= ~DRAG_GRAPH_POINT;
    tab.NoteChange(mask_, ChangeEnd);
    mask_ = 0;
}
