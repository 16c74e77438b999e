#pragma once

#include "mapedit/GraphDrag.h"
#include "mapedit/GraphGeometry.h"
#include "mapedit/ui/MapViewPart.h"

#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>

#include <vector>

class MapEditor;
struct MapSheet;

// The 2D graph: one curve per entry of the curve axis over the across axis, the data upward.
// It is the editor's 2D view and the side graph beside the table; its points and the limiter
// and base-advance markers can be dragged, and a rubber band selects points.
class MapGraph2D : public MapViewPart {
public:
    explicit MapGraph2D(MapEditor& tab);

    void Layout(const QRect& area) override;
    void Paint(QPainter& painter) override;
    Qt::CursorShape MouseMove(QPoint position, bool leftHeld) override;
    bool MousePress(QPoint position, Qt::KeyboardModifiers modifiers) override;
    void MouseRelease(QPoint position) override;
    bool Wheel(QPoint position, int steps) override;
    void RightClickSelect(QPoint position) override;
    QString Hint() const override { return hint_; }

    // Recomputes the display ranges and where every point lies; painting does it as well.
    void Refresh();
    QRect Area() const { return area_; }
    QRect Plot() const;
    const GraphGeometry& Geometry() const { return geo_; }
    // Pixel position of the i-th point of curve r, and of a curve's base-advance point.
    QPointF PointPosition(int point, int curve) const;
    QPointF BasePosition(int curve) const;
    // X of the limiter (start limiter) marker; negative when the sheet has none.
    double MarkerX(int element) const;
    // The graph element under a pixel (GraphDrag ids) and the curve it belongs to.
    int ElementAt(QPoint position, int* curve = nullptr) const;
    int HotElement() const { return hot_; }
    int SelectedCurve() const { return selectedCurve_; }
    bool Dragging() const { return drag_.Active(); }
    bool InterpolationPreview() const { return preview_; }
    // The live engine-speed line would stand elsewhere than where it was last painted.
    bool LiveSpeedMoved() const { return LiveSpeedX() != paintedSpeedX_; }
    // Where the live marks (the operating point's ring, the engine-speed line) stand now, with
    // room for their pens; a repaint of this area before and after a move redraws them.
    QRegion LiveMarks() const;

private:
    struct Point {
        QPointF at;
        int column = 0;
        int row = 0;
    };
    bool HasBaseAdvance() const;
    bool HasMarker(int element) const;
    const Point& PointAt(int point, int curve) const;
    // The point of a cell on the shown curves, false when the cell is not shown.
    bool PointOfCell(int column, int row, int& point, int& curve) const;
    // Where the operating point's ring is drawn; false when it is not.
    bool OperatingPointAt(QPointF& at) const;
    // Raw across value a marker stands at.
    double MarkerRaw(int element) const;
    void UpdateHover(QPoint position);
    void UpdateHint();
    void DragTo(QPoint position);
    void KeepPointerOnPoint(double oldAcross, double oldUp);
    void MarkBand();
    void FinishBand();

    void PaintBackground(QPainter& p);
    void PaintZones(QPainter& p);
    void PaintGrid(QPainter& p);
    void PaintLabels(QPainter& p);
    void PaintAxes(QPainter& p);
    void PaintLiveSpeed(QPainter& p);
    // Pixel column of the live engine-speed line, -1 when none is drawn.
    int LiveSpeedX() const;
    void PaintCurves(QPainter& p);
    void PaintCurveLabels(QPainter& p);
    // The shown recording's operating points as dots on the curves (MapGraph2DHits.cpp).
    void PaintHitDots(QPainter& p);
    // The pixel height of a curve at a pixel column, between its points.
    double CurveHeightAt(int curve, double x) const;
    void PaintPoints(QPainter& p);
    void PaintOperatingPoint(QPainter& p);
    void PaintHoverMarks(QPainter& p);
    void PaintBand(QPainter& p);
    // The value of a point as painted: the previewed interpolation while it is shown.
    int32_t ShownValue(int column, int row, const MapSheet& previewSheet) const;

    MapEditor& tab_;
    QRect area_;
    GraphGeometry geo_;
    std::vector<Point> points_;
    GraphDrag drag_;
    int hot_ = GraphDrag::NONE;
    int selectedCurve_ = 0;
    QPointF grabOffset_;
    int dragCurve_ = 0;
    bool banding_ = false;
    bool preview_ = false;
    int paintedSpeedX_ = -1;
    Qt::KeyboardModifiers modifiers_;
    QString hint_;
};
