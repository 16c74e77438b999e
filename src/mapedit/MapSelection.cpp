#include "mapedit/MapSelection.h"

#include <algorithm>

int16_t MapSelection::Mark(int column, int row) const
{
    if (row == -1 && column >= 0 && column < TAB_MAX_X)
        return columnMarks[column];
    if (column == -1 && row >= 0 && row < TAB_MAX_Y)
        return rowMarks[row];
    if (column >= 0 && row >= 0 && column < TAB_MAX_X && row < TAB_MAX_Y)
        return cellMarks[row][column];
    return 0;
}

void MapSelection::SetMark(int column, int row, int16_t mark)
{
    if (row == -1 && column >= 0 && column < TAB_MAX_X)
        columnMarks[column] = mark;
    else if (column == -1 && row >= 0 && row < TAB_MAX_Y)
        rowMarks[row] = mark;
    else if (column >= 0 && row >= 0 && column < TAB_MAX_X && row < TAB_MAX_Y)
        cellMarks[row][column] = mark;
}

void MapSelection::OrMark(int column, int row, int16_t bits) { SetMark(column, row, Mark(column, row) | bits); }

void MapSelection::Clear()
{
    columnMarks.fill(0);
    rowMarks.fill(0);
    for (auto& row : cellMarks)
        row.fill(0);
    dragKind = kind = 0;
    count = 0;
    interpolable = 0;
    cornerX0 = cornerX1 = cornerY0 = cornerY1 = -1;
    anchorX = anchorY = currentX = currentY = -1;
    boxX0 = boxY0 = boxX1 = boxY1 = -2;
}

void MapSelection::ClearDragMarks()
{
    for (auto& m : columnMarks)
        m &= ~MARK_DRAG;
    for (auto& m : rowMarks)
        m &= ~MARK_DRAG;
    for (auto& row : cellMarks)
        for (auto& m : row)
            m &= ~MARK_DRAG;
}

void MapSelection::MarkRange(int column0, int row0, int column1, int row1)
{
    if (column0 > column1)
        std::swap(column0, column1);
    if (row0 > row1)
        std::swap(row0, row1);
    for (int r = row0; r <= row1; ++r)
        for (int c = column0; c <= column1; ++c)
            OrMark(c, r, MARK_DRAG);
}

bool MapSelection::Box(int16_t bits, int& column0, int& row0, int& column1, int& row1) const
{
    column0 = row0 = TAB_MAX_X;
    column1 = row1 = -2;
    bool any = false;
    auto take = [&](int c, int r) {
        column0 = std::min(column0, c);
        column1 = std::max(column1, c);
        row0 = std::min(row0, r);
        row1 = std::max(row1, r);
        any = true;
    };
    for (int r = 0; r < TAB_MAX_Y; ++r)
        for (int c = 0; c < TAB_MAX_X; ++c)
            if (cellMarks[r][c] & bits)
                take(c, r);
    if (any)
        return true;
    for (int c = 0; c < TAB_MAX_X; ++c)
        if (columnMarks[c] & bits)
            take(c, -1);
    if (any)
        return true;
    for (int r = 0; r < TAB_MAX_Y; ++r)
        if (rowMarks[r] & bits)
            take(-1, r);
    if (!any)
        column0 = row0 = column1 = row1 = -2;
    return any;
}

void MapSelection::UpdateBox(int16_t bits) { Box(bits, boxX0, boxY0, boxX1, boxY1); }

void MapSelection::Commit()
{
    auto commitMark = [](int16_t& m) { m = (m & MARK_DRAG) ? MARK_SELECTED : (m & MARK_SELECTED); };
    for (auto& m : columnMarks)
        commitMark(m);
    for (auto& m : rowMarks)
        commitMark(m);
    for (auto& row : cellMarks)
        for (auto& m : row)
            commitMark(m);

    int cells = 0, cols = 0, rws = 0;
    for (int r = 0; r < TAB_MAX_Y; ++r)
        for (int c = 0; c < TAB_MAX_X; ++c)
            cells += cellMarks[r][c] != 0;
    for (auto m : columnMarks)
        cols += m != 0;
    for (auto m : rowMarks)
        rws += m != 0;
    count = cells + cols + rws;
    kind = cells ? SEL_CELLS : cols ? SEL_COLUMNS : rws ? SEL_ROWS : SEL_NONE;
    dragKind = 0;

    interpolable = 0;
    cornerX0 = cornerX1 = cornerY0 = cornerY1 = -1;
    int c0, r0, c1, r1;
    if (!Box(MARK_SELECTED, c0, r0, c1, r1)) {
        boxX0 = boxY0 = boxX1 = boxY1 = -2;
        return;
    }
    boxX0 = c0, boxY0 = r0, boxX1 = c1, boxY1 = r1;
    const int width = c1 - c0 + 1, height = r1 - r0 + 1;
    const int solid = kind == SEL_CELLS ? width * height : kind == SEL_COLUMNS ? width : height;
    const int ofKind = kind == SEL_CELLS ? cells : kind == SEL_COLUMNS ? cols : rws;
    if (ofKind != count || ofKind != solid || (width < 3 && height < 3))
        return;
    interpolable = 1;
    cornerX0 = c0, cornerX1 = c1, cornerY0 = r0, cornerY1 = r1;
    OrMark(c0, r0, MARK_CORNER);
    OrMark(c1, r0, MARK_CORNER);
    OrMark(c0, r1, MARK_CORNER);
    OrMark(c1, r1, MARK_CORNER);
}
