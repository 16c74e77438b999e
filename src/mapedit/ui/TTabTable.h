#pragma once

#include "mapedit/ui/TabViewPart.h"

#include <QRect>
#include <QString>

class TTab;
class QPainter;

// The table view: header row, header column, select strips and cells of the active sheet.
class TTabTable : public TabViewPart {
public:
    // What lies under a point.
    enum HitKind {
        HIT_NONE,
        HIT_CELL,
        HIT_COLUMN_HEADER,
        HIT_ROW_HEADER,
        HIT_COLUMN_BOX,
        HIT_ROW_BOX,
        HIT_CORNER_X,
        HIT_CORNER_Y,
        HIT_SELECT_ALL,
        HIT_HBAR,
        HIT_VBAR,
        HIT_ADD_COLUMN,
        HIT_REMOVE_COLUMN,
    };
    struct Hit {
        HitKind kind = HIT_NONE;
        int column = -2;
        int row = -2;
    };

    explicit TTabTable(TTab& tab);

    void Layout(const QRect& area) override;
    void Paint(QPainter& painter) override;
    Qt::CursorShape MouseMove(QPoint position, bool leftHeld) override;
    bool MousePress(QPoint position, Qt::KeyboardModifiers modifiers) override;
    void MouseRelease(QPoint position) override;
    void DoubleClick(QPoint position) override;
    bool Wheel(QPoint position, int steps) override;
    void Tick() override;
    void RightClickSelect(QPoint position) override;
    void AddPopupEntries(QMenu& menu, QPoint position) override;
    QString Hint() const override;

    Hit HitTest(QPoint position) const;
    // The rectangle of an element (entry indexes, -1 for headers); empty when not shown.
    QRect ElementRect(int column, int row) const;
    // The up (down) step arrow of an element.
    QRect ArrowRect(int column, int row, bool up) const;
    // The caret line of the open edit, as painted last.
    QRect CaretRect() const { return caretRect; }
    // The hot zone of an interpolation corner contains the point.
    bool OnInterpolationCorner(QPoint position) const;
    bool interpolationHover = false;

private:
    enum Drag { DRAG_NONE, DRAG_BAND, DRAG_BLOCK, DRAG_TEXT, DRAG_ARROW, DRAG_SCROLL };
    int EntryColumn(int window) const;
    int EntryRow(int window) const;
    int WindowColumn(int entry) const;
    int WindowRow(int entry) const;
    void ElementNear(QPoint position, int& column, int& row) const;
    int HeaderState(bool columns, int index) const;
    int AxisState(bool columns) const;
    int MapState() const;
    void PaintScrollBars(QPainter& p);
    void PaintCorner(QPainter& p);
    void PaintGrid(QPainter& p);
    void PaintHeaders(QPainter& p);
    void PaintSelection(QPainter& p);
    void PaintCornerMarks(QPainter& p);
    void PaintOperatingPoint(QPainter& p);
    void PaintTexts(QPainter& p);
    void PaintArrows(QPainter& p);
    void PaintCounts(QPainter& p);
    void Bevel(QPainter& p, const QRect& r, uint32_t color, bool sunken);
    void ScrollPress(bool horizontal, QPoint position);
    void ScrollStep();
    int CaretAt(QPoint position) const;
    QRect SelectionBox() const;

    TTab& tab;
    QRect area;
    Drag drag = DRAG_NONE;
    QPoint mouse;
    QRect caretRect;
    // Scroll bar press: +-1 arrow, +-2 track, 3 thumb.
    int scrollPart = 0;
    bool scrollHorizontal = true;
    int scrollPressTick = 0;
    int thumbGrab = 0;
    int textAnchor = 0;
};
