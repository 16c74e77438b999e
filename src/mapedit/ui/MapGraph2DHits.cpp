#include "mapedit/ui/MapGraph2D.h"

#include "mapedit/ui/HitsPainter.h"
#include "mapedit/ui/MapEditor.h"

#include <QPainter>

#include <algorithm>

double MapGraph2D::CurveHeightAt(int curve, double x) const
{
    const int points = geo_.ranges.points;
    const QPointF first = PointPosition(0, curve), last = PointPosition(points - 1, curve);
    if (x <= first.x())
        return first.y();
    if (x >= last.x())
        return last.y();
    for (int i = 1; i < points; ++i) {
        const QPointF a = PointPosition(i - 1, curve), b = PointPosition(i, curve);
        if (x <= b.x())
            return b.x() > a.x() ? a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()) : b.y();
    }
    return last.y();
}

void MapGraph2D::PaintHitDots(QPainter& p)
{
    const MapHits* hits = tab_.PrintMode() ? nullptr : tab_.Hits();
    if (!hits || points_.empty())
        return;
    const MapAxis& across = tab_.Sheet().Axis(geo_.ranges.across);
    std::vector<QPointF> dots;
    dots.reserve(hits->Points().size());
    for (const MapHits::Point& hit : hits->Points()) {
        int point, curve;
        if (!PointOfCell(hit.column, hit.row, point, curve))
            continue;
        // Each dot sits on its cell's curve where the engine stood across; an axis that is not
        // drawn to scale puts it on the cell's point.
        const double raw = geo_.ranges.across == AXIS_X ? hit.across : hit.along;
        const double x = across.proportional && !across.off ? geo_.AcrossPixel(raw) : PointPosition(point, curve).x();
        dots.emplace_back(x, CurveHeightAt(curve, x));
    }
    HitsPainter::PaintDots(p, dots, Plot());
}
