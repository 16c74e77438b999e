#include "mapedit/MapModel.h"

#include <algorithm>

void MapModel::SelectElement(int column, int row)
{
    MapSelection& sel = Sel();
    sel.Clear();
    sel.SetMark(column, row, MARK_DRAG);
    sel.Commit();
    sel.startColumn = sel.endColumn = column;
    sel.startRow = sel.endRow = row;
    RequestRepaint(REPAINT);
}

void MapModel::ExtendSelection(int column, int row)
{
    MapSelection& sel = Sel();
    const MapSheet& s = Sheet();
    if (sel.startColumn < HEADER || sel.startRow < HEADER || !s.Inside(sel.startColumn, sel.startRow)) {
        SelectElement(column, row);
        return;
    }
    // The extension stays in the kind of its start element: a header run or a cell rectangle.
    if (sel.startRow == HEADER)
        row = HEADER, column = std::max(column, 0);
    else if (sel.startColumn == HEADER)
        column = HEADER, row = std::max(row, 0);
    else
        column = std::max(column, 0), row = std::max(row, 0);
    sel.Clear();
    sel.MarkRange(sel.startColumn, sel.startRow, column, row);
    sel.Commit();
    sel.endColumn = column;
    sel.endRow = row;
    RequestRepaint(REPAINT);
}

void MapModel::SelectAllCells()
{
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    // The select-all box toggles: a second press on a fully selected map clears it.
    bool all = sel.kind == SEL_CELLS;
    for (int r = 0; all && r < s.axisY.Used(); ++r)
        for (int c = 0; all && c < s.axisX.Used(); ++c)
            all = sel.IsSelected(s.axisX.EntryAt(c), s.axisY.EntryAt(r));
    sel.Clear();
    if (!all) {
        for (int r = 0; r < s.axisY.Used(); ++r)
            for (int c = 0; c < s.axisX.Used(); ++c)
                sel.SetMark(s.axisX.EntryAt(c), s.axisY.EntryAt(r), MARK_DRAG);
        sel.startColumn = s.axisX.EntryAt(0);
        sel.startRow = s.axisY.EntryAt(0);
        sel.endColumn = s.axisX.EntryAt(s.axisX.Used() - 1);
        sel.endRow = s.axisY.EntryAt(s.axisY.Used() - 1);
    }
    sel.Commit();
    RequestRepaint(REPAINT);
}

void MapModel::SelectAllHeaders(bool columns)
{
    MapSheet& s = Sheet();
    if (!columns && s.axisY.off)
        return;
    MapSelection& sel = s.selection;
    sel.Clear();
    const MapAxis& a = columns ? s.axisX : s.axisY;
    for (int i = 0; i < a.Used(); ++i)
        sel.SetMark(columns ? a.EntryAt(i) : HEADER, columns ? HEADER : a.EntryAt(i), MARK_DRAG);
    sel.Commit();
    sel.startColumn = columns ? a.EntryAt(0) : HEADER;
    sel.startRow = columns ? HEADER : a.EntryAt(0);
    sel.endColumn = columns ? a.EntryAt(a.Used() - 1) : HEADER;
    sel.endRow = columns ? HEADER : a.EntryAt(a.Used() - 1);
    RequestRepaint(REPAINT);
}

bool MapModel::SelectionEditable() const
{
    if (sheetCount_ == 0)
        return false;
    const MapSheet& s = Sheet();
    switch (s.selection.kind) {
    case SEL_CELLS:
        return s.axisData.editable;
    case SEL_COLUMNS:
        return s.axisX.editable;
    case SEL_ROWS:
        return s.axisY.editable;
    default:
        return false;
    }
}

bool MapModel::SomethingEditable() const
{
    if (sheetCount_ == 0)
        return false;
    const MapSheet& s = Sheet();
    return s.axisX.editable || s.axisY.editable || s.axisData.editable;
}
