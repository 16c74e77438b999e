#include "mapedit/SurfaceValues.h"

#include "mapedit/MapModel.h"

#include <array>

bool SurfaceValues::LocalExtreme(const MapSheet& s, int column, int row)
{
    const int32_t v = s.Cell(column, row);
    bool above = true, below = true;
    int neighbours = 0;
    auto compare = [&](int c, int r) {
        if (c < 0 || r < 0 || c >= s.axisX.count || r >= s.axisY.count)
            return;
        ++neighbours;
        above = above && v > s.Cell(c, r);
        below = below && v < s.Cell(c, r);
    };
    if (!s.axisX.off) {
        compare(column - 1, row);
        compare(column + 1, row);
    }
    if (!s.axisY.off) {
        compare(column, row - 1);
        compare(column, row + 1);
    }
    return neighbours > 0 && (above || below);
}

std::vector<std::pair<int, int>> SurfaceValues::Cells(const MapModel& tab, int valueMode)
{
    std::vector<std::pair<int, int>> cells;
    if (tab.SheetCount() == 0 || valueMode == View3DState::VALUES_NONE)
        return cells;
    const MapSheet& s = tab.Sheet();
    const bool live = (s.flags & SF_OPERATING_POINT)
        && (s.opState == MapSheet::OP_ACTIVE || s.opState == MapSheet::OP_OTHER_MAP) && s.opRow >= 0
        && (s.opColumn >= 0 || s.opColumn == MapSheet::OP_BASE_ZONE);
    // The operating cell comes first: where texts crowd, it is the one that is written.
    if (live)
        cells.emplace_back(s.opColumn, s.opRow);
    if (valueMode == View3DState::VALUES_ACTIVE)
        return cells;
    const bool corners = tab.CanInterpolate();
    const bool fewSelected = s.selection.count > 0 && s.selection.count < FEW_SELECTED;
    for (int r = 0; r < s.axisY.Used(); ++r)
        for (int c = 0; c < s.axisX.Used(); ++c) {
            const int column = s.axisX.EntryAt(c), row = s.axisY.EntryAt(r);
            const int16_t mark = s.selection.Mark(column, row);
            if (live && column == s.opColumn && row == s.opRow)
                continue;
            const bool shown = valueMode == View3DState::VALUES_ALL || (corners && (mark & MARK_CORNER))
                || (fewSelected && (mark & MARK_SELECTED)) || LocalExtreme(s, column, row);
            if (shown)
                cells.emplace_back(column, row);
        }
    return cells;
}
