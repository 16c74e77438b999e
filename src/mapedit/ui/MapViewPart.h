#pragma once

#include <QPoint>
#include <QRect>
#include <Qt>

class QPainter;
class QMenu;

// One view of a map editor (the table, the compact point view, later the 2D and 3D graphs).
// The editor dispatches painting, the mouse and the wheel to the view of its present mode.
class MapViewPart {
public:
    virtual ~MapViewPart() = default;
    // Recomputes the geometry of the view inside area.
    virtual void Layout(const QRect& area) = 0;
    virtual void Paint(QPainter& painter) = 0;
    // Mouse movement with or without a held left button; returns the cursor shape to show.
    virtual Qt::CursorShape MouseMove(QPoint position, bool leftHeld) = 0;
    // Returns whether the press was used.
    virtual bool MousePress(QPoint position, Qt::KeyboardModifiers modifiers) = 0;
    virtual void MouseRelease(QPoint position) = 0;
    virtual void DoubleClick(QPoint position) { (void)position; }
    // One wheel notch (+1 away from the user); returns whether it was used.
    virtual bool Wheel(QPoint position, int steps) = 0;
    // Called on every editor tick (drag scrolling and repeats).
    virtual void Tick() { }
    // Selects what is under a right-button press and adds the view's popup entries.
    virtual void RightClickSelect(QPoint position) { (void)position; }
    virtual void AddPopupEntries(QMenu& menu, QPoint position) { (void)menu, (void)position; }
    // Text for the hint line while hovering or dragging, empty for none.
    virtual QString Hint() const { return {}; }
};
