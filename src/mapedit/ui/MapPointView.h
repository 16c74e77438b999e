#pragma once

#include "mapedit/ui/MapViewPart.h"

#include <QRect>
#include <QString>

#include <vector>

class MapEditor;

// The compact point view of the power-output switching maps: the plane cut into regions by the
// X and Y values, each region on (1), off (0) or half (2).
class MapPointView : public MapViewPart {
public:
    explicit MapPointView(MapEditor& tab);

    void Layout(const QRect& area) override;
    void Paint(QPainter& painter) override;
    Qt::CursorShape MouseMove(QPoint position, bool leftHeld) override;
    bool MousePress(QPoint position, Qt::KeyboardModifiers modifiers) override;
    void MouseRelease(QPoint position) override;
    bool Wheel(QPoint position, int steps) override;
    QString Hint() const override { return hint_; }

    // Regions along X and Y (one more than the values of an axis that is on).
    int RegionColumns() const;
    int RegionRows() const;
    QRect Region(int i, int j) const;
    // The data cell of a region.
    void RegionCell(int i, int j, int& column, int& row) const;
    QRect Plot() const { return plot_; }
    QRect ProportionalToggle() const { return toggle_; }
    // Boundary under a point: axis bit (1 X, 2 Y) and index; 0 when none.
    int BoundaryAt(QPoint position, int& index) const;

private:
    int BoundaryX(int index) const;
    int BoundaryY(int index) const;
    int ValueAtX(int x) const;
    int ValueAtY(int y) const;
    void UpdateDragHint();
    void PaintGrid(QPainter& p) const;
    void PaintBoundaries(QPainter& p) const;

    MapEditor& tab_;
    QRect plot_;
    QRect toggle_;
    bool banding_ = false;
    QPoint bandStart_, bandEnd_;
    int dragAxis_ = 0;
    int dragIndex_ = -1;
    QString hint_;
    // Boundaries stand where their values lie (else evenly); the toggle under the header column
    // switches, and the choice lasts as long as the editor.
    bool proportional_ = true;
};
