#pragma once

#include "mapedit/MapEditTypes.h"

#include <array>
#include <cstdint>

// The selection of one sheet. Elements are addressed as (column, row): row -1 is the column
// header, column -1 the row header.
struct MapSelection {
    int32_t dragKind = 0;
    int32_t kind = 0;
    std::array<int16_t, TAB_MAX_X> columnMarks {};
    std::array<int16_t, TAB_MAX_Y> rowMarks {};
    std::array<std::array<int16_t, TAB_MAX_X>, TAB_MAX_Y> cellMarks {};
    int32_t interpolable = 0;
    int32_t cornerX0 = -1, cornerX1 = -1, cornerY0 = -1, cornerY1 = -1;
    int32_t anchorX = -1, anchorY = -1, currentX = -1, currentY = -1;
    int32_t boxX0 = -2, boxY0 = -2, boxX1 = -2, boxY1 = -2;
    int32_t startColumn = -1, startRow = -1, endColumn = -1, endRow = -1;
    int32_t count = 0;

    // The mark of an element; out-of-range elements have none.
    int16_t Mark(int column, int row) const;
    void SetMark(int column, int row, int16_t mark);
    void OrMark(int column, int row, int16_t bits);
    bool IsSelected(int column, int row) const { return Mark(column, row) & MARK_SELECTED; }

    void Clear();
    // Turns the drag marks into the committed selection and finds the interpolation corners.
    void Commit();
    // Clears every drag mark (0x2) without touching the committed ones.
    void ClearDragMarks();
    // Marks 0x2 every element of the rectangle between two elements of the same kind.
    void MarkRange(int column0, int row0, int column1, int row1);
    // Bounding box of the elements that carry any of bits (kind of the first element found).
    bool Box(int16_t bits, int& column0, int& row0, int& column1, int& row1) const;
    void UpdateBox(int16_t bits);
};
