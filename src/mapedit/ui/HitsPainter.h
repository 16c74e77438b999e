#pragma once

#include <QPointF>
#include <QRect>
#include <QString>

#include <vector>

class MapHits;
class QPainter;

// How the views show where a recorded engine ran: cells shaded by their share of the running time,
// the share in a cell's hint, and the recorded operating points as dots on the 2D graph.
class HitsPainter {
public:
    // Shades a cell by its share, darker the nearer it comes to the largest share; a cell the
    // engine never ran in stays as it is. The shade lets the value's text show through.
    static void ShadeCell(QPainter& p, const QRect& cell, double share, double largestShare);
    // "Engine ran here: 12.5 % of the time (30 records)", empty for a cell outside the map.
    static QString CellHint(const MapHits& hits, int column, int row);
    static void PaintDots(QPainter& p, const std::vector<QPointF>& dots, const QRect& clip);
};
