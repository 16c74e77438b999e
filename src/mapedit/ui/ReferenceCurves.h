#pragma once

struct GraphGeometry;
class MapEditor;
class QPainter;
class QRect;

// The reference configuration's curves in the 2D graph: dashed, in a colour of their own, each
// with the offset of the screen's curve of the same index, run the way the screen's curves run
// (from the left edge, on to the right edge). fromBaseAdvance: the curves start at the base
// advance.
class ReferenceCurves {
public:
    static void Paint(
        QPainter& p, const MapEditor& tab, const GraphGeometry& geo, const QRect& plot, bool fromBaseAdvance);
};
