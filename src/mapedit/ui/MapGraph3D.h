#pragma once

#include "mapedit/GraphRanges.h"
#include "mapedit/Projection3D.h"
#include "mapedit/SurfaceGrid.h"
#include "mapedit/ui/MapViewPart.h"

#include <QPointF>
#include <QRect>
#include <QString>

#include <vector>

class QFontMetrics;
class MapEditor;

// The 3D graph: the active sheet as a surface over the across and curve axes with the data as
// height, seen from the angles of the editor's MapViewGeometry. Its left part is a panel with the view
// buttons (toolbar buttons placed there) and the angles; dragging right of the panel turns the
// surface, the wheel over the panel steps the live cell.
class MapGraph3D : public MapViewPart {
public:
    explicit MapGraph3D(MapEditor& tab);

    void Layout(const QRect& area) override;
    void Paint(QPainter& painter) override;
    Qt::CursorShape MouseMove(QPoint position, bool leftHeld) override;
    bool MousePress(QPoint position, Qt::KeyboardModifiers modifiers) override;
    void MouseRelease(QPoint position) override;
    bool Wheel(QPoint position, int steps) override;
    void AddPopupEntries(QMenu& menu, QPoint position) override;
    QString Hint() const override { return tip_; }

    // The space key cycles the value display; false for other keys.
    bool Key(int key);
    // Sets the angles of a view command (TOP, ISO1, ISO2).
    void ShowPreset(int command);

    // Recomputes the display ranges, the surface and its projection; painting does it as well.
    void Refresh();
    QRect Area() const { return area_; }
    QRect Panel() const;
    // Where a preset button of a view command lies in the panel of a graph area.
    static QRect PresetButton(const QRect& area, int command);
    const Projection3D& Projection() const { return projection_; }
    const SurfaceGrid& Grid() const { return grid_; }
    // The screen position of a cell's point on the surface; false when the cell is not shown.
    bool CellPosition(int column, int row, QPointF& at) const;
    bool Rotating() const { return rotating_; }
    // The angles as the panel writes them, in degrees.
    QString AnglesText() const;
    // The long hint of the status line for the pointer's last position.
    QString LongHint() const { return statusHint_; }
    // Where the last painting wrote the axes' names and values, and the cells' values.
    std::vector<QRectF> LabelBoxes() const;
    const std::vector<QRectF>& ValueBoxes() const { return valueBoxes_; }

private:
    QPointF At(double across, double height, double depth) const;
    // The span (raw) of a direction: 0 across, 1 height, 2 depth; a point on its axis; and the
    // screen direction in which its labels stand off.
    double Span(int axis) const;
    QPointF AxisPoint(int axis, double t) const;
    // The values and names of the floor's two axes stand along its front edges, those of the
    // height axis along the height axis.
    void ChooseLabelEdges();
    QPointF LabelPoint(int axis, double t) const;
    QPointF Outward(int axis, double t) const;
    void UpdateHints(QPoint position);
    void PaintPanel(QPainter& p);
    void PaintLegend(QPainter& p);
    // Says that the surface shows the map minus the reference.
    void PaintDifferenceNote(QPainter& p);
    void PaintFloor(QPainter& p);
    void PaintAxisLines(QPainter& p);
    // Where the names and values of the axes stand; the names and what finds no room outside
    // the box are written over the surface, the rest before it.
    void PlaceAxisLabels(const QFontMetrics& metrics);
    void PaintAxisLabels(QPainter& p, bool overSurface);
    void PaintSurface(QPainter& p);
    void PaintOperatingPoint(QPainter& p);
    void PaintValues(QPainter& p);

    MapEditor& tab_;
    QRect area_;
    GraphRanges ranges_;
    SurfaceGrid grid_;
    Projection3D projection_;
    bool rotating_ = false;
    QPoint pressAt_;
    View3DState::Angles pressAngles {};
    struct AxisLabel {
        QString text;
        QRectF box;
        bool name = false;
        bool overSurface = false;
    };
    std::vector<AxisLabel> labels_;
    std::vector<QRectF> valueBoxes_;
    // Where the labelled floor edges lie: the depth of the across axis's, the across position of
    // the curve axis's (index 1 unused).
    double labelEdge[3] = { 0, 0, 0 };
    QString tip_;
    QString statusHint_;
};
