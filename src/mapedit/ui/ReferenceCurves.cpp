#include "mapedit/ui/ReferenceCurves.h"

#include "mapedit/DisplayRange.h"
#include "mapedit/GraphGeometry.h"
#include "mapedit/MapReference.h"
#include "mapedit/ui/MapEditor.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>

void ReferenceCurves::Paint(
    QPainter& p, const MapEditor& tab, const GraphGeometry& geo, const QRect& plot, bool fromBaseAdvance)
{
    const MapReference* reference = tab.Reference();
    const MapSheet* sheet = reference ? reference->Sheet(tab.ActiveSheet()) : nullptr;
    if (!sheet || tab.PrintMode())
        return;
    const MapAxis& across = sheet->Axis(geo.ranges.across);
    const int curves = std::min(geo.ranges.curves, sheet->Axis(geo.ranges.curve).Used());
    const int points = across.Used();
    const bool lead = !(sheet->flags & SF_GRAPH_NO_LEAD);
    const bool tail = !(sheet->flags & SF_GRAPH_NO_TAIL);
    p.save();
    // The reference may reach beyond the screen's ranges: what lies outside the plot is cut off.
    p.setClipRect(plot.adjusted(0, 0, 1, 1));
    p.setPen(QPen(MapEditor::Color(MapReference::COLOUR), 2, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (int r = 0; r < curves; ++r) {
        QPolygonF line;
        for (int i = 0; i < points; ++i) {
            int column = 0, row = 0;
            DisplayRange::PointCell(*sheet, geo.ranges.across, i, r, column, row);
            const int entry = geo.ranges.across == AXIS_X ? column : row;
            line << QPointF(
                geo.AcrossPixel(DisplayRange::Position(across, entry)), geo.UpPixel(sheet->Cell(column, row), r));
        }
        if (line.isEmpty())
            continue;
        if (lead) {
            const double start
                = fromBaseAdvance ? geo.UpPixel(reference->BaseAdvance() / sheet->axisData.scale, r) : line.first().y();
            line.prepend(QPointF(line.first().x(), start));
            line.prepend(QPointF(geo.plotLeft, start));
        }
        if (tail)
            line << QPointF(geo.PlotRight(), line.last().y());
        p.drawPolyline(line);
    }
    p.restore();
}
