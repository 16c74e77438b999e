#include "mapedit/MapInteraction.h"

#include "mapedit/MapModel.h"
#include "mapedit/MapRawValues.h"

#include <algorithm>

void MapInteraction::BeginBand(int kind, int column, int row, bool shift, bool ctrl)
{
    MapSelection& sel = model_.Sel();
    model_.CommitCellEdit();
    // Shift spans the band from the selection's start element; Ctrl adds the band to the selection.
    const bool fromStart = shift && sel.count > 0 && model_.Sheet().Inside(sel.startColumn, sel.startRow);
    if (!shift && !ctrl)
        sel.Clear();
    sel.ClearDragMarks();
    bandKind_ = kind;
    if (fromStart) {
        bandStartColumn_ = sel.startColumn;
        bandStartRow_ = sel.startRow;
        if (!ctrl) {
            const int c = sel.startColumn, r = sel.startRow;
            sel.Clear();
            sel.startColumn = c, sel.startRow = r;
        }
    } else {
        bandStartColumn_ = sel.startColumn = column;
        bandStartRow_ = sel.startRow = row;
    }
    sel.dragKind = kind | DRAG_RUBBER;
    DragBand(column, row);
}

void MapInteraction::DragBand(int column, int row)
{
    MapSheet& s = model_.Sheet();
    MapSelection& sel = s.selection;
    if (!(sel.dragKind & DRAG_RUBBER))
        return;
    // The band is redrawn from its start each time, so elements it leaves lose their drag mark.
    sel.ClearDragMarks();
    const int lastColumn = s.axisX.count - 1, lastRow = s.axisY.count - 1;
    int c0 = ClampInt(std::min(bandStartColumn_, column), 0, lastColumn);
    int c1 = ClampInt(std::max(bandStartColumn_, column), 0, lastColumn);
    int r0 = ClampInt(std::min(bandStartRow_, row), 0, lastRow);
    int r1 = ClampInt(std::max(bandStartRow_, row), 0, lastRow);
    if (s.axisX.off)
        c0 = c1 = s.axisX.offIndex;
    if (s.axisY.off)
        r0 = r1 = s.axisY.offIndex;
    switch (bandKind_) {
    case SEL_COLUMNS:
        sel.MarkRange(c0, HEADER, c1, HEADER);
        break;
    case SEL_ROWS:
        sel.MarkRange(HEADER, r0, HEADER, r1);
        break;
    case SEL_WHOLE_COLUMNS:
        sel.MarkRange(c0, s.axisY.off ? r0 : 0, c1, s.axisY.off ? r1 : lastRow);
        break;
    case SEL_WHOLE_ROWS:
        sel.MarkRange(s.axisX.off ? c0 : 0, r0, s.axisX.off ? c1 : lastColumn, r1);
        break;
    default:
        sel.MarkRange(c0, r0, c1, r1);
        break;
    }
    sel.endColumn = bandKind_ == SEL_ROWS ? HEADER : ClampInt(column, 0, lastColumn);
    sel.endRow = bandKind_ == SEL_COLUMNS ? HEADER : ClampInt(row, 0, lastRow);
    sel.UpdateBox(MARK_DRAG);
    model_.RequestRepaint(MapModel::REPAINT);
}

void MapInteraction::EndBand()
{
    MapSelection& sel = model_.Sel();
    if (!(sel.dragKind & DRAG_RUBBER))
        return;
    const int sc = sel.startColumn, sr = sel.startRow;
    sel.Commit();
    if (bandKind_ == SEL_COLUMNS)
        sel.startRow = sel.endRow = HEADER, sel.startColumn = std::max(sc, 0);
    else if (bandKind_ == SEL_ROWS)
        sel.startColumn = sel.endColumn = HEADER, sel.startRow = std::max(sr, 0);
    else
        sel.startColumn = std::max(sc, 0), sel.startRow = std::max(sr, 0);
    model_.RequestRepaint(MapModel::REPAINT);
}

bool MapInteraction::BeginBlockDrag(int mode, int column, int row)
{
    MapSheet& s = model_.Sheet();
    MapSelection& sel = s.selection;
    if (sel.kind == SEL_NONE || !model_.SelectionEditable() || (mode != BLOCK_FILL && mode != BLOCK_MOVE))
        return false;
    model_.CommitCellEdit();
    blockStart_ = { sel.boxX0, sel.boxY0, sel.boxX1, sel.boxY1 };
    blockTarget_ = blockStart_;
    const MapAxis& a = s.Axis(MaskOfKind(sel.kind));
    std::copy(a.values.begin(), a.values.end(), blockSaved_.begin());
    grabColumn_ = column;
    grabRow_ = row;
    blockDrag_ = mode;
    model_.NoteChange(0, ChangeBegin);
    return true;
}

void MapInteraction::UpdateBlockDrag(int column, int row)
{
    if (!blockDrag_)
        return;
    const MapSheet& s = model_.Sheet();
    const int kind = s.selection.kind;
    // A header run moves only along its axis, and nothing moves along an axis that is off.
    const bool alongX = kind != SEL_ROWS && !s.axisX.off;
    const bool alongY = kind != SEL_COLUMNS && !s.axisY.off;
    const int lastColumn = s.axisX.count - 1, lastRow = s.axisY.count - 1;
    auto& t = blockTarget_;
    t = blockStart_;
    if (blockDrag_ == BLOCK_FILL) {
        // A fill grows the starting box to take in the element under the mouse.
        if (alongX) {
            column = ClampInt(column, 0, lastColumn);
            t[BOX_X0] = std::min(t[BOX_X0], column);
            t[BOX_X1] = std::max(t[BOX_X1], column);
        }
        if (alongY) {
            row = ClampInt(row, 0, lastRow);
            t[BOX_Y0] = std::min(t[BOX_Y0], row);
            t[BOX_Y1] = std::max(t[BOX_Y1], row);
        }
    } else {
        // A move shifts the starting box by the mouse's way from the grab, kept inside the table.
        if (alongX) {
            const int dx = ClampInt(column - grabColumn_, -blockStart_[BOX_X0], lastColumn - blockStart_[BOX_X1]);
            t[BOX_X0] += dx, t[BOX_X1] += dx;
        }
        if (alongY) {
            const int dy = ClampInt(row - grabRow_, -blockStart_[BOX_Y0], lastRow - blockStart_[BOX_Y1]);
            t[BOX_Y0] += dy, t[BOX_Y1] += dy;
        }
    }
    model_.RequestRepaint(MapModel::REPAINT);
}

void MapInteraction::FinishBlockDrag()
{
    if (!blockDrag_)
        return;
    const bool fill = blockDrag_ == BLOCK_FILL;
    blockDrag_ = BLOCK_NONE;
    model_.ApplyBlock(fill, blockSaved_, blockStart_, blockTarget_);
}
