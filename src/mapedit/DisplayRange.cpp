#include "mapedit/DisplayRange.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

bool IsRpm(const MapAxis& axis) { return std::strcmp(axis.name, "RPM") == 0; }

void Include(DisplayRange::Extent& e, double value)
{
    e.min = std::min(e.min, value);
    e.max = std::max(e.max, value);
}

} // namespace

bool DisplayRange::SharesRange(const MapAxis& mine, const MapAxis& other)
{
    return (mine.group & other.group) != 0 && mine.proportional == other.proportional;
}

double DisplayRange::Position(const MapAxis& axis, int entry)
{
    return axis.proportional ? axis.values[static_cast<size_t>(entry)] : entry;
}

void DisplayRange::PointCell(const MapSheet& sheet, int acrossBit, int i, int r, int& column, int& row)
{
    const MapAxis& across = sheet.Axis(acrossBit);
    const MapAxis& curve = sheet.Axis(acrossBit == AXIS_X ? AXIS_Y : AXIS_X);
    const int a = across.EntryAt(i), c = curve.EntryAt(r);
    column = acrossBit == AXIS_X ? a : c;
    row = acrossBit == AXIS_X ? c : a;
}

DisplayRange::Extent DisplayRange::AxisExtent(const MapModel& tab, int bit)
{
    const MapAxis& mine = tab.Sheet().Axis(bit);
    Extent e { 1e300, -1e300 };
    for (int index = 0; index < tab.SheetCount(); ++index) {
        const MapSheet& s = tab.SheetAt(static_cast<size_t>(index));
        const MapAxis& a = s.Axis(bit);
        if (index != tab.ActiveSheet() && !(s.defined && SharesRange(mine, a)))
            continue;
        for (int i = 0; i < a.count; ++i)
            Include(e, Position(a, i));
    }
    return e.min > e.max ? Extent {} : e;
}

DisplayRange::Extent DisplayRange::DataExtent(const MapModel& tab)
{
    const MapAxis& mine = tab.Sheet().axisData;
    Extent e { 1e300, -1e300 };
    for (int index = 0; index < tab.SheetCount(); ++index) {
        const MapSheet& s = tab.SheetAt(static_cast<size_t>(index));
        if (index != tab.ActiveSheet() && !(s.defined && (s.axisData.group & mine.group) != 0))
            continue;
        for (int r = 0; r < s.axisY.Used(); ++r)
            for (int c = 0; c < s.axisX.Used(); ++c)
                Include(e, s.Cell(s.axisX.EntryAt(c), s.axisY.EntryAt(r)));
    }
    return e.min > e.max ? Extent {} : e;
}

DisplayRange::Extent DisplayRange::WithMinimumSpan(const MapAxis& a, Extent e)
{
    const double first = a.rangeCount ? a.ranges[0].roundStep : AxisRange {}.roundStep;
    e.max = std::max(e.max, e.min + std::max(2.0, first / a.scale));
    return e;
}

void DisplayRange::Apply(MapAxis& a, Extent e)
{
    a.currentRange = a.RangeFor((e.max - e.min) * a.scale);
    if (!a.proportional) {
        a.viewMin = static_cast<int32_t>(std::floor(e.min));
        a.viewMax = static_cast<int32_t>(std::ceil(e.max));
        return;
    }
    const double r = a.currentRange.roundStep > 0 ? a.currentRange.roundStep : 1.0;
    double low = e.min * a.scale - 0.2 * r;
    if (low < 0 && e.min * a.scale >= 0)
        low = 0;
    double high = e.max * a.scale + 0.2 * r;
    if (high > 0 && e.max * a.scale <= 0)
        high = 0;
    a.viewMin = static_cast<int32_t>(std::floor(std::floor(low / r) * r / a.scale + 0.5));
    a.viewMax = static_cast<int32_t>(std::floor(r * std::ceil(high / r) / a.scale + 0.5));
    if (a.viewMax <= a.viewMin)
        a.viewMax = a.viewMin + std::max(1, static_cast<int32_t>(std::lround(r / a.scale)));
}

int32_t DisplayRange::StackStep(const MapSheet& s, int acrossBit)
{
    const int curves = s.Axis(acrossBit == AXIS_X ? AXIS_Y : AXIS_X).Used();
    const int points = s.Axis(acrossBit).Used();
    int32_t step = 0;
    for (int r = 1; r < curves; ++r)
        for (int i = 0; i < points; ++i) {
            int c0, r0, c1, r1;
            PointCell(s, acrossBit, i, r - 1, c0, r0);
            PointCell(s, acrossBit, i, r, c1, r1);
            step = std::max(step, s.Cell(c1, r1) - s.Cell(c0, r0));
        }
    return step;
}

GraphRanges DisplayRange::Compute(MapModel& tab)
{
    GraphRanges g;
    if (tab.SheetCount() == 0)
        return g;
    MapSheet& s = tab.Sheet();
    g.across = (s.flags & SF_SWAP_AXES) ? AXIS_Y : AXIS_X;
    g.curve = g.across == AXIS_X ? AXIS_Y : AXIS_X;
    MapAxis& across = s.Axis(g.across);
    Extent extents[2]
        = { WithMinimumSpan(s.axisX, AxisExtent(tab, AXIS_X)), WithMinimumSpan(s.axisY, AxisExtent(tab, AXIS_Y)) };
    Extent data = WithMinimumSpan(s.axisData, DataExtent(tab));
    if ((s.flags & SF_BASE_ADVANCE) && IsRpm(across)) {
        Extent& e = extents[g.across == AXIS_X ? 0 : 1];
        e.min = std::min(e.min, 0.0);
        Include(data, tab.BaseAdvance() / s.axisData.scale);
    }
    for (int k = 0; k < 2; ++k) {
        const MapAxis& a = s.Axis(k == 0 ? AXIS_X : AXIS_Y);
        if (!IsRpm(a))
            continue;
        if (s.flags & SF_LIMITER)
            Include(extents[k], tab.LimiterRpm() / a.scale);
        if (s.flags & SF_START_LIMITER)
            Include(extents[k], tab.StartLimiterRpm() / a.scale);
    }
    Apply(s.axisX, extents[0]);
    Apply(s.axisY, extents[1]);
    Apply(s.axisData, data);
    g.curves = s.Axis(g.curve).Used();
    g.points = across.Used();
    g.stackStep = g.curves > 1 ? StackStep(s, g.across) : 0;
    g.dataTop = s.axisData.viewMax + (g.curves - 1) * g.stackStep;
    return g;
}
