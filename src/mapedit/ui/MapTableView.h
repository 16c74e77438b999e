#pragma once

#include "mapedit/MapEditTypes.h"
#include "mapedit/ui/MapViewPart.h"
#include "mapedit/ui/TableTextCache.h"

#include <QRect>
#include <QString>

class MapEditor;
struct MapSheet;
class QPainter;

// The table view: header row, header column, select strips and cells of the active sheet.
class MapTableView : public MapViewPart {
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
        int column = NO_ELEMENT;
        int row = NO_ELEMENT;
    };

    explicit MapTableView(MapEditor& tab);

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
    QRect CaretRect() const { return caretRect_; }
    // The hot zone of an interpolation corner contains the point.
    bool OnInterpolationCorner(QPoint position) const;

private:
    // What the held left button is doing in the table.
    enum Drag { DRAG_NONE, DRAG_BAND, DRAG_BLOCK, DRAG_TEXT, DRAG_ARROW, DRAG_SCROLL };
    // How much of a header's line (of an axis, of the map) is selected; it chooses the colour.
    enum Coverage { COVER_NONE, COVER_SOME, COVER_ALL };
    // The part of a scroll bar under a press; arrows and track carry the direction as their sign
    // (negative toward the first entry).
    enum ScrollPart { SCROLL_NONE = 0, SCROLL_ARROW = 1, SCROLL_TRACK = 2, SCROLL_THUMB = 3 };
    // One scroll bar along its length: the track between the arrows and the thumb in it.
    struct ScrollBar {
        QRect bar;
        int length, page, track, thumb, offset;
    };
    // Layout and geometry (MapTableView.cpp).
    // Entry indexes (of the axis) and window indexes (of the shown columns and rows).
    int EntryColumn(int window) const;
    int EntryRow(int window) const;
    int WindowColumn(int entry) const;
    int WindowRow(int entry) const;
    void ElementNear(QPoint position, int& column, int& row) const;
    void LayoutMeasures(int top);
    void LayoutElements();
    void LayoutScrollBars();
    void LayoutSideParts();
    QRect SelectionBox() const;
    // The element of the open edit; empty while none is open.
    QRect EditRect() const;

    // Hit-testing (MapTableViewHitTest.cpp).
    // The selection kind a press on this part of the table starts a band of.
    static int BandKindOf(HitKind kind);
    int ArrowPartAt(QPoint position) const;
    // The hovered element carries its step arrows only while it is selected (a selection moved by
    // the keyboard takes them away at once).
    bool ArrowsShown() const;
    // The block drag a press would start here (a MapModel::BlockDragMode).
    int BlockGripAt(QPoint position) const;

    // Headers, the corner and how much of them is selected (MapTableViewHeaders.cpp).
    Coverage HeaderState(bool columns, int index) const;
    Coverage AxisState(bool columns) const;
    Coverage MapState() const;
    // Headers (and the corner and select boxes) darken as more of their line is selected.
    static uint32_t CoverageColor(Coverage coverage, uint32_t plain);
    void PaintCorner(QPainter& p);
    void PaintGrid(QPainter& p);
    // Heat colours: each cell on the 3D graph's palette by its value, when the option is on.
    bool HeatShown() const;
    void PaintHeat(QPainter& p);
    // Where a shown recording's engine ran (MapTableViewHits.cpp): shaded cells and the hovered
    // cell's share as its hint.
    void PaintHits(QPainter& p);
    QString HitsHint() const;
    void PaintHeaders(QPainter& p);

    // The marks over the cells and the buttons beside them (MapTableViewPaint.cpp).
    void Bevel(QPainter& p, const QRect& r, uint32_t color, bool sunken);
    void PaintSelection(QPainter& p);
    void PaintSelectedCells(QPainter& p);
    void PaintSelectedHeaders(QPainter& p);
    // The dashed outline of where a fill or move drag would put the block.
    void PaintBlockTarget(QPainter& p);
    void PaintCornerMarks(QPainter& p);
    void PaintOperatingPoint(QPainter& p);
    void PaintArrows(QPainter& p);
    void PaintCounts(QPainter& p);
    void PaintCountButtons(QPainter& p);
    // The add and remove column buttons are disabled at the limits of the column count.
    bool CountButtonEnabled(bool add) const;

    // Values and the open edit (MapTableViewText.cpp).
    void PaintTexts(QPainter& p);
    // The value of an element; preview is the sheet as the hovered interpolation would leave it
    // (null while none is hovered).
    void PaintValue(QPainter& p, int column, int row, const QRect& rect, const MapSheet* preview);
    void PaintEditText(QPainter& p, const QRect& rect);
    int CaretAt(QPoint position) const;

    // Scroll bars, and scrolling while a band is dragged beyond the grid (MapTableViewScroll.cpp).
    ScrollBar ScrollGeometry(bool horizontal) const;
    void PaintScrollBars(QPainter& p);
    void ScrollPress(bool horizontal, QPoint position);
    void ScrollStep();
    void DragThumb(QPoint position);
    void AutoscrollBand();

    // The mouse (MapTableViewMouse.cpp).
    // A press on what the hover marks (a step arrow, an interpolation corner, a grip of the
    // selection box); returns whether there was one.
    bool PressHovered(QPoint position);
    // A press on a part of the table: a band, a select box, a scroll bar, a count button.
    bool PressPart(QPoint position, Qt::KeyboardModifiers modifiers);
    Qt::CursorShape DragTo(QPoint position);
    void UpdateHover(QPoint position);

    // The popup menu (MapTableViewPopup.cpp).
    void AddLineEntries(QMenu& menu, QPoint position);
    void AddAutoscrollEntries(QMenu& menu, QPoint position);
    void AddHeatEntry(QMenu& menu);

    MapEditor& tab_;
    QRect area_;
    Drag drag_ = DRAG_NONE;
    QPoint mouse_;
    QRect caretRect_;
    // A ScrollPart, signed.
    int scrollPart_ = SCROLL_NONE;
    bool scrollHorizontal_ = true;
    int scrollPressTick_ = 0;
    int thumbGrab_ = 0;
    // Where a mouse selection inside the edit began.
    int textAnchor_ = 0;
    TableTextCache texts_;
    // The mouse is on an interpolation corner: the cells and the side graph preview the result.
    bool interpolationHover_ = false;
};
