#include "mapedit/MapModel.h"

#include "mapedit/MapRawValues.h"

#include <cmath>
#include <vector>

namespace {

// A cell the table shows: a switched-off axis shows only its one entry.
bool Shown(const MapSheet& s, int column, int row)
{
    return (!s.axisX.off || column == s.axisX.offIndex) && (!s.axisY.off || row == s.axisY.offIndex);
}

bool EditTarget(const MapSheet& s, int column, int row)
{
    return s.selection.IsSelected(column, row) && Shown(s, column, row);
}

int32_t RoundedRaw(double raw) { return TruncatedRaw(std::round(raw)); }

// A cell keeps its value under smoothing when a neighbour along a shown direction lies outside
// the selection or the table: the edges of the selection hold the values around it.
bool SmoothEdge(const MapSheet& s, int column, int row)
{
    static constexpr int NEIGHBOURS[4][2] = { { -1, 0 }, { 1, 0 }, { 0, -1 }, { 0, 1 } };
    for (const auto& d : NEIGHBOURS) {
        if ((d[0] && s.axisX.off) || (d[1] && s.axisY.off))
            continue;
        const int c = column + d[0], r = row + d[1];
        if (c < 0 || r < 0 || c >= s.axisX.count || r >= s.axisY.count || !EditTarget(s, c, r))
            return true;
    }
    return false;
}

// The mean of the cell and its eight neighbours that are selected, from the values before the edit.
double NeighbourMean(const MapSheet& s, const std::vector<int32_t>& before, int column, int row)
{
    double sum = 0;
    int n = 0;
    for (int r = row - 1; r <= row + 1; ++r)
        for (int c = column - 1; c <= column + 1; ++c)
            if (c >= 0 && r >= 0 && c < s.axisX.count && r < s.axisY.count && EditTarget(s, c, r)) {
                sum += before[static_cast<size_t>(r * TAB_MAX_X + c)];
                ++n;
            }
    return sum / n;
}

int32_t EditedRaw(
    const MapSheet& s, const std::vector<int32_t>& before, int column, int row, MapModel::CellEdit edit, double value)
{
    const int32_t raw = s.Cell(column, row);
    const double scale = s.axisData.scale;
    switch (edit) {
    case MapModel::EDIT_SET:
        return RoundedRaw(value / scale);
    case MapModel::EDIT_ADD:
        return RoundedRaw(raw + value / scale);
    case MapModel::EDIT_SCALE:
        return RoundedRaw(raw * value / 100.0);
    case MapModel::EDIT_SMOOTH:
        return SmoothEdge(s, column, row) ? raw : RoundedRaw(NeighbourMean(s, before, column, row));
    }
    return raw;
}

} // namespace

bool MapModel::CanEditSelectedCells() const
{
    if (sheetCount_ == 0 || !Sheet().axisData.editable)
        return false;
    const MapSheet& s = Sheet();
    for (int r = 0; r < s.axisY.count; ++r)
        for (int c = 0; c < s.axisX.count; ++c)
            if (EditTarget(s, c, r))
                return true;
    return false;
}

bool MapModel::EditSelectedCells(CellEdit edit, double value)
{
    if (!CanEditSelectedCells() || !std::isfinite(value))
        return false;
    MapSheet& s = Sheet();
    const std::vector<int32_t> before = s.axisData.values;
    NoteChange(0, ChangeBegin);
    for (int r = 0; r < s.axisY.count; ++r)
        for (int c = 0; c < s.axisX.count; ++c)
            if (EditTarget(s, c, r))
                s.Cell(c, r) = EditedRaw(s, before, c, r, edit, value);
    // The normalization of the change clamps every cell to the map's range.
    NoteChange(AXIS_DATA, ChangeEnd);
    return s.axisData.values != before;
}

bool MapModel::SelectShownCells(int firstColumn, int firstRow, int lastColumn, int lastRow)
{
    if (sheetCount_ == 0)
        return false;
    MapSheet& s = Sheet();
    const int columns = s.axisX.Used(), rows = s.axisY.Used();
    if (firstColumn < 0 || firstRow < 0 || firstColumn > lastColumn || firstRow > lastRow || lastColumn >= columns
        || lastRow >= rows)
        return false;
    s.selection.Clear();
    s.selection.MarkRange(
        s.axisX.EntryAt(firstColumn), s.axisY.EntryAt(firstRow), s.axisX.EntryAt(lastColumn), s.axisY.EntryAt(lastRow));
    s.selection.Commit();
    return true;
}
