#include "mapedit/ui/MapTableView.h"

#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/ReferenceMarks.h"

#include <algorithm>

namespace {

const char* const InterpolationHint = "###Interpolation####Interpolace";

Qt::CursorShape GripCursor(int mode)
{
    return mode == MapInteraction::BLOCK_FILL ? Qt::CrossCursor : Qt::SizeAllCursor;
}

} // namespace

Qt::CursorShape MapTableView::DragTo(QPoint position)
{
    int column, row;
    switch (drag_) {
    case DRAG_BAND:
        ElementNear(position, column, row);
        tab_.Interaction().DragBand(column, row);
        return Qt::ArrowCursor;
    case DRAG_BLOCK:
        ElementNear(position, column, row);
        tab_.Interaction().UpdateBlockDrag(column, row);
        return GripCursor(tab_.Interaction().BlockDrag());
    case DRAG_TEXT:
        tab_.Interaction().SelectEditText(textAnchor_, CaretAt(position));
        tab_.RequestRepaint(MapModel::REPAINT);
        return Qt::IBeamCursor;
    case DRAG_SCROLL:
        if (scrollPart_ == SCROLL_THUMB)
            DragThumb(position);
        return Qt::ArrowCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void MapTableView::UpdateHover(QPoint position)
{
    // The arrows belong to the hovered element and reach past its edge, so while the mouse is on
    // them the element stays hovered. Only a selected element carries them: the press that selects
    // an element never changes it as well.
    if (ArrowPartAt(position) == MapInteraction::ARROW_NONE) {
        const MapSheet& s = tab_.Sheet();
        const Hit hit = HitTest(position);
        const bool element = hit.kind == HIT_CELL || hit.kind == HIT_COLUMN_HEADER || hit.kind == HIT_ROW_HEADER;
        tab_.Interaction().SetHovered(element && s.Inside(hit.column, hit.row) && s.AxisOf(hit.column, hit.row).editable
                && tab_.Sel().IsSelected(hit.column, hit.row),
            hit.column, hit.row);
    }
    tab_.Interaction().SetArrowPartHovered(ArrowPartAt(position));
}

Qt::CursorShape MapTableView::MouseMove(QPoint position, bool leftHeld)
{
    mouse_ = position;
    if (leftHeld)
        return DragTo(position);
    if (EditRect().contains(position))
        return Qt::IBeamCursor;
    UpdateHover(position);
    const bool hot = !tab_.Interaction().ArrowPartHovered() && OnInterpolationCorner(position);
    if (hot != interpolationHover_) {
        interpolationHover_ = hot;
        tab_.SetHintText(Hint());
        tab_.setToolTip(tab_.HintText());
        tab_.Render();
    }
    if (hot || tab_.Interaction().ArrowPartHovered())
        return Qt::ArrowCursor;
    const int grip = BlockGripAt(position);
    return grip == MapInteraction::BLOCK_NONE ? Qt::ArrowCursor : GripCursor(grip);
}

bool MapTableView::MousePress(QPoint position, Qt::KeyboardModifiers modifiers)
{
    mouse_ = position;
    // A press inside the open edit places the caret; anywhere else it commits the edit first.
    if (EditRect().contains(position)) {
        textAnchor_ = CaretAt(position);
        tab_.Interaction().SelectEditText(textAnchor_, textAnchor_);
        drag_ = DRAG_TEXT;
        tab_.RequestRepaint(MapModel::REPAINT);
        return true;
    }
    tab_.CommitCellEdit();
    // The hover may be stale (no move since the last change): bring it up to date first.
    MouseMove(position, false);
    return PressHovered(position) || PressPart(position, modifiers);
}

bool MapTableView::PressHovered(QPoint position)
{
    if (ArrowsShown() && tab_.Interaction().ArrowPartHovered()) {
        tab_.Interaction().PressArrow(tab_.Interaction().ArrowPartHovered() == MapInteraction::ARROW_UP);
        drag_ = DRAG_ARROW;
        return true;
    }
    if (interpolationHover_) {
        interpolationHover_ = false;
        tab_.InterpolateSelection();
        return true;
    }
    if (const int grip = BlockGripAt(position); grip != MapInteraction::BLOCK_NONE) {
        int column, row;
        ElementNear(position, column, row);
        if (tab_.Interaction().BeginBlockDrag(grip, column, row)) {
            drag_ = DRAG_BLOCK;
            return true;
        }
    }
    return false;
}

bool MapTableView::PressPart(QPoint position, Qt::KeyboardModifiers modifiers)
{
    const Hit hit = HitTest(position);
    const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
    switch (hit.kind) {
    case HIT_SELECT_ALL:
        tab_.SelectAllCells();
        return true;
    case HIT_CORNER_X:
    case HIT_CORNER_Y:
        tab_.SelectAllHeaders(hit.kind == HIT_CORNER_X);
        return true;
    case HIT_HBAR:
    case HIT_VBAR:
        ScrollPress(hit.kind == HIT_HBAR, position);
        return true;
    case HIT_ADD_COLUMN:
    case HIT_REMOVE_COLUMN:
        // A disabled button takes the click and does nothing.
        if (const bool add = hit.kind == HIT_ADD_COLUMN; CountButtonEnabled(add))
            tab_.RunCommand(add ? CMD_ADD_COLUMN : CMD_REMOVE_COLUMN);
        return true;
    case HIT_CELL:
    case HIT_COLUMN_HEADER:
    case HIT_ROW_HEADER:
    case HIT_COLUMN_BOX:
    case HIT_ROW_BOX:
        if (hit.kind == HIT_ROW_HEADER && tab_.Sheet().axisY.off)
            return false;
        tab_.Interaction().BeginBand(BandKindOf(hit.kind), std::max(hit.column, 0), std::max(hit.row, 0), shift, ctrl);
        drag_ = DRAG_BAND;
        return true;
    default:
        return false;
    }
}

void MapTableView::MouseRelease(QPoint position)
{
    mouse_ = position;
    switch (drag_) {
    case DRAG_ARROW:
        tab_.Interaction().ReleaseArrow();
        break;
    case DRAG_BAND:
        tab_.Interaction().EndBand();
        break;
    case DRAG_BLOCK:
        tab_.Interaction().FinishBlockDrag();
        break;
    default:
        break;
    }
    drag_ = DRAG_NONE;
    scrollPart_ = SCROLL_NONE;
    // An element just selected shows its arrows without waiting for the mouse to move.
    UpdateHover(position);
    tab_.RequestRepaint(MapModel::REPAINT);
}

void MapTableView::DoubleClick(QPoint position)
{
    const Hit hit = HitTest(position);
    if (hit.kind != HIT_CELL && hit.kind != HIT_COLUMN_HEADER && hit.kind != HIT_ROW_HEADER)
        return;
    if (tab_.Sheet().selection.dragKind & DRAG_RUBBER)
        tab_.Interaction().EndBand();
    drag_ = DRAG_NONE;
    if (!tab_.Interaction().BeginCellEdit(hit.column, hit.row, false))
        return;
    tab_.Interaction().SelectAllEditText();
    // The caret is placed on the text as drawn, so the picture is brought up to date first.
    tab_.Render();
    tab_.Interaction().PlaceEditCaret(CaretAt(position));
}

bool MapTableView::Wheel(QPoint position, int steps)
{
    (void)position;
    if (ArrowsShown()) {
        tab_.Interaction().StepHovered(steps);
        return true;
    }
    // Without step arrows the wheel scrolls: rows when there are more than shown, else columns.
    MapSheet& s = tab_.Sheet();
    if (!tab_.Geometry().verticalBar.isNull())
        tab_.ScrollTo(HEADER, steps > 0 ? s.axisY.firstVisible - 1 : s.axisY.firstVisible + tab_.Geometry().shownRows);
    else if (!tab_.Geometry().horizontalBar.isNull())
        tab_.ScrollTo(
            steps > 0 ? s.axisX.firstVisible - 1 : s.axisX.firstVisible + tab_.Geometry().shownColumns, HEADER);
    else
        return false;
    return true;
}

QString MapTableView::Hint() const
{
    if (interpolationHover_)
        return LangQString(InterpolationHint);
    // A cell can carry both where the engine ran and what the reference holds there.
    const Hit hit = HitTest(mouse_);
    const QString hits = HitsHint();
    const QString reference = ReferenceMarks::Tip(tab_, hit.column, hit.row);
    return hits.isEmpty() || reference.isEmpty() ? hits + reference : hits + '\n' + reference;
}
