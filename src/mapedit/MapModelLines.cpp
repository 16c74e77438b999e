#include "mapedit/MapModel.h"

#include "mapedit/MapRawValues.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const ColumnsFull = "###Column count is on maximum !\nDelete some first...##Spaltenanzahl ist auf maximal "
                                "!\nLöschen einige erste...##Dosaženo maximálního počtu sloupců !\nNejprve nějaký "
                                "vymažte...";
const char* const RowsFull = "###Row count is on maximum !\nDelete some first...##Zeilenanzahl ist auf maximal "
                             "!\nLöschen einige erste...##Dosaženo maximálního počtu řádků !\nNejprve nějaký "
                             "vymažte...";

// Inserts an entry at index with its cells: the value and every cell become the mean of their
// neighbours (truncated), so an entry after the last one repeats the last.
void OpenLine(MapSheet& s, bool isColumn, int index)
{
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    const int lines = isColumn ? TAB_MAX_Y : TAB_MAX_X;
    auto cell
        = [&](int along, int across) -> int32_t& { return isColumn ? s.Cell(along, across) : s.Cell(across, along); };
    for (int i = a.count; i > index; --i) {
        a.values[i] = a.values[i - 1];
        for (int k = 0; k < lines; ++k)
            cell(i, k) = cell(i - 1, k);
    }
    ++a.count;
    const int p = index == 0 ? index + 1 : index - 1;
    const int q = index + 1 < a.count ? index + 1 : index - 1;
    a.values[index] = (a.values[p] + a.values[q]) / 2;
    for (int k = 0; k < lines; ++k)
        cell(index, k) = (cell(p, k) + cell(q, k)) / 2;
    a.lastMoved = MapAxis::LAST_MOVED_NONE;
}

// Makes a new column (row) the selection: its cells in use, only the used one along an axis that is off.
void SelectLine(MapSelection& sel, bool isColumn, int index, const MapAxis& other)
{
    for (int k = 0; k < other.count; ++k)
        if (!other.off || k == other.offIndex)
            sel.SetMark(isColumn ? index : k, isColumn ? k : index, MARK_DRAG);
    sel.Commit();
    sel.startColumn = sel.endColumn = isColumn ? index : other.EntryAt(0);
    sel.startRow = sel.endRow = isColumn ? other.EntryAt(0) : index;
}

// A straight line by index between two axis values.
void InterpolateRun(std::vector<int32_t>& v, int i0, int i1)
{
    for (int i = i0 + 1; i < i1; ++i)
        v[i] = static_cast<int32_t>(std::lround(v[i0] + (v[i1] - v[i0]) * double(i - i0) / (i1 - i0)));
}

// Bilinear interpolation of the cells between four corners; proportional axes weigh by their
// values, the others by index.
void InterpolateRectangle(MapSheet& s, int c0, int r0, int c1, int r1)
{
    auto position = [](const MapAxis& a, int i) { return a.proportional ? double(a.values[i]) : double(i); };
    auto fraction = [&](const MapAxis& a, int i, int i0, int i1) {
        const double span = position(a, i1) - position(a, i0);
        return span == 0 ? 0.5 : (position(a, i) - position(a, i0)) / span;
    };
    const double v00 = s.Cell(c0, r0), v10 = s.Cell(c1, r0), v01 = s.Cell(c0, r1), v11 = s.Cell(c1, r1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            if ((c == c0 || c == c1) && (r == r0 || r == r1))
                continue;
            const double gx = fraction(s.axisX, c, c0, c1), gy = fraction(s.axisY, r, r0, r1);
            const double value = gx * (gy * v11 + (1 - gy) * v10) + (1 - gx) * (gy * v01 + (1 - gy) * v00);
            s.Cell(c, r) = static_cast<int32_t>(std::lround(value));
        }
}

} // namespace

void MapModel::RemoveLine(bool isColumn, int index)
{
    MapSheet& s = Sheet();
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    MapSelection& sel = s.selection;
    // The marks move with their values so that the rest of the selection stays on the same elements.
    for (int i = index; i + 1 < a.count; ++i) {
        a.values[i] = a.values[i + 1];
        if (isColumn) {
            sel.columnMarks[i] = sel.columnMarks[i + 1];
            for (int r = 0; r < TAB_MAX_Y; ++r) {
                s.Cell(i, r) = s.Cell(i + 1, r);
                sel.cellMarks[r][i] = sel.cellMarks[r][i + 1];
            }
        } else {
            sel.rowMarks[i] = sel.rowMarks[i + 1];
            for (int c = 0; c < TAB_MAX_X; ++c) {
                s.Cell(c, i) = s.Cell(c, i + 1);
                sel.cellMarks[i][c] = sel.cellMarks[i + 1][c];
            }
        }
    }
    --a.count;
    if (isColumn) {
        sel.columnMarks[a.count] = 0;
        for (int r = 0; r < TAB_MAX_Y; ++r)
            sel.cellMarks[r][a.count] = 0;
    } else {
        sel.rowMarks[a.count] = 0;
        sel.cellMarks[a.count].fill(0);
    }
    a.lastMoved = MapAxis::LAST_MOVED_NONE;
}

bool MapModel::InsertLine(bool isColumn, int index)
{
    if (sheetCount_ == 0)
        return false;
    MapSheet& s = Sheet();
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    const MapAxis& other = isColumn ? s.axisY : s.axisX;
    if (!a.resizable)
        return false;
    if (a.count >= a.maxCount) {
        ShowMessage(isColumn ? ColumnsFull : RowsFull);
        return false;
    }
    index = ClampInt(index, 0, a.count);
    CommitCellEdit();
    NoteChange(0, ChangeBegin);
    s.selection.Clear();
    OpenLine(s, isColumn, index);
    RebuildLayout();
    SelectLine(s.selection, isColumn, index, other);
    ScrollTo(isColumn ? index : HEADER, isColumn ? HEADER : index);
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool MapModel::DeleteLine(bool isColumn, int index)
{
    if (sheetCount_ == 0)
        return false;
    MapSheet& s = Sheet();
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    if (!a.resizable || a.off || a.count <= a.minCount || index < 0 || index >= a.count)
        return false;
    CommitCellEdit();
    NoteChange(0, ChangeBegin);
    RemoveLine(isColumn, index);
    RebuildLayout();
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool MapModel::LineDeletable(bool isColumn, int index) const
{
    const MapSheet& s = Sheet();
    const MapSelection& sel = s.selection;
    if (sel.kind == (isColumn ? SEL_COLUMNS : SEL_ROWS))
        return isColumn ? sel.IsSelected(index, HEADER) : sel.IsSelected(HEADER, index);
    if (sel.kind != SEL_CELLS)
        return false;
    // A cell selection deletes a line only when it covers every cell of it that is in use.
    const MapAxis& other = isColumn ? s.axisY : s.axisX;
    for (int k = 0; k < other.count; ++k) {
        if (other.off && k != other.offIndex)
            continue;
        if (!(isColumn ? sel.IsSelected(index, k) : sel.IsSelected(k, index)))
            return false;
    }
    return true;
}

int MapModel::CountDeletableLines(bool isColumn) const
{
    if (sheetCount_ == 0)
        return 0;
    const MapAxis& a = isColumn ? Sheet().axisX : Sheet().axisY;
    int n = 0;
    for (int i = 0; i < a.count; ++i)
        n += LineDeletable(isColumn, i);
    return n;
}

bool MapModel::DeleteSelectedLines(bool isColumn)
{
    if (sheetCount_ == 0)
        return false;
    MapAxis& a = isColumn ? Sheet().axisX : Sheet().axisY;
    if (!a.resizable || a.off || CountDeletableLines(isColumn) == 0)
        return false;
    CommitCellEdit();
    NoteChange(0, ChangeBegin);
    // A deletion moves the next line to index i, so the same index is tested again.
    for (int i = 0; i < a.count && a.count > a.minCount;) {
        if (LineDeletable(isColumn, i))
            RemoveLine(isColumn, i);
        else
            ++i;
    }
    Sel().Clear();
    RebuildLayout();
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool MapModel::CanInterpolate() const
{
    if (sheetCount_ == 0)
        return false;
    const MapSelection& sel = Sheet().selection;
    // Two elements have nothing between them to interpolate.
    return sel.interpolable && sel.count > 2 && SelectionEditable();
}

bool MapModel::ComputeInterpolation(MapSheet& s) const
{
    const MapSelection& sel = s.selection;
    if (!sel.interpolable || sel.count <= 2)
        return false;
    if (sel.kind == SEL_COLUMNS)
        InterpolateRun(s.axisX.values, sel.cornerX0, sel.cornerX1);
    else if (sel.kind == SEL_ROWS)
        InterpolateRun(s.axisY.values, sel.cornerY0, sel.cornerY1);
    else
        InterpolateRectangle(s, sel.cornerX0, sel.cornerY0, sel.cornerX1, sel.cornerY1);
    return true;
}

bool MapModel::InterpolateSelection()
{
    if (!CanInterpolate())
        return false;
    MapSheet& s = Sheet();
    const int mask = MaskOfKind(s.selection.kind);
    NoteChange(0, ChangeBegin);
    ComputeInterpolation(s);
    // Many axis values changed at once: the normalization orders them all instead of pushing.
    if (mask != AXIS_DATA)
        s.Axis(mask).lastMoved = MapAxis::LAST_MOVED_NONE;
    s.selection.Clear();
    NoteChange(mask, CHANGE_NOW);
    return true;
}
