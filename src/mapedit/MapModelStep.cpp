#include "mapedit/MapModel.h"

void MapModel::StepElement(int column, int row, int amount)
{
    MapSheet& s = Sheet();
    if (!s.Inside(column, row) || !s.AxisOf(column, row).editable)
        return;
    const int id = ChangeIdOfElement(column, row);
    NoteChange(0, id);
    s.Value(column, row) += amount;
    NoteChange(MapSheet::MaskOf(column, row), id);
}

void MapModel::StepSelection(int amount)
{
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    NoteChange(0, CHANGE_ID_SELECTION);
    // The mask names the highest kind stepped, so the commit covers everything that moved.
    int mask = 0;
    if (s.axisX.editable)
        for (int c = 0; c < s.axisX.count; ++c)
            if (sel.IsSelected(c, HEADER)) {
                s.axisX.values[c] += amount;
                mask = AXIS_X;
            }
    if (s.axisY.editable)
        for (int r = 0; r < s.axisY.count; ++r)
            if (sel.IsSelected(HEADER, r)) {
                s.axisY.values[r] += amount;
                mask = AXIS_Y;
            }
    if (s.axisData.editable)
        for (int r = 0; r < s.axisY.count; ++r)
            for (int c = 0; c < s.axisX.count; ++c)
                if (sel.IsSelected(c, r)) {
                    s.Cell(c, r) += amount;
                    mask = AXIS_DATA;
                }
    NoteChange(mask, CHANGE_ID_SELECTION);
}

void MapModel::StepValues(int direction, bool ignoreSelection)
{
    if (sheetCount_ == 0)
        return;
    MapSheet& s = Sheet();
    if (!ignoreSelection && s.selection.count > 0) {
        StepSelection(direction);
        return;
    }
    // Without a selection the keys adjust the "actual value": the cell the engine runs on.
    if (!(s.flags & SF_OPERATING_POINT) || s.opState <= MapSheet::OP_NONE)
        return;
    if ((s.flags & SF_BASE_ADVANCE) && s.opColumn == MapSheet::OP_BASE_ZONE) {
        NoteChange(0, CHANGE_ID_BASE_ADVANCE);
        baseAdvance_ += static_cast<int>(direction * s.axisData.scale);
        NoteChange(AXIS_DATA, CHANGE_ID_BASE_ADVANCE);
        return;
    }
    if (s.opColumn >= 0 && s.opRow >= 0 && s.opColumn < s.axisX.count && s.opRow < s.axisY.count)
        StepElement(s.opColumn, s.opRow, direction);
}

void MapModel::StepAt(int column, int row, int amount)
{
    if (sheetCount_ == 0)
        return;
    const MapSheet& s = Sheet();
    // Stepping a selected element steps the whole selection with it.
    if (s.selection.IsSelected(column, row) && s.AxisOf(column, row).editable)
        StepSelection(amount);
    else
        StepElement(column, row, amount);
}
