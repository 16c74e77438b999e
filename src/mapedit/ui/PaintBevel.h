#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

// A box filled with face whose edges make it look raised: light top and left, dark bottom and
// right; sunken (pressed, or fully selected) exchanges the two.
inline void PaintBevel(
    QPainter& p, const QRect& r, const QColor& face, const QColor& light, const QColor& dark, bool sunken)
{
    p.fillRect(r, face);
    p.setPen(sunken ? dark : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(sunken ? light : dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}
