#pragma once

#include "mapedit/MapAxis.h"
#include "mapedit/MapSelection.h"

#include <cstddef>
#include <cstdint>

// One map of an editor: three axes, the live operating cell and the selection.
struct MapSheet {
    int32_t flags = 0;
    int32_t enabled = 1;
    int32_t hidden = 0;
    char label[TAB_LABEL_LEN] = {};
    int32_t labelWidth = 0;
    int32_t fontSize = 13;
    int32_t headerFontSize = 12;
    MapAxis axisX, axisY, axisData;
    // opState: where the live operating point stands on this map.
    enum OpState : int32_t { OP_OTHER_LOAD = -1, OP_NONE = 0, OP_ACTIVE = 1, OP_OTHER_MAP = 2 };
    // opColumn while the engine runs below the first column: the base-advance zone left of the map.
    static constexpr int32_t OP_BASE_ZONE = -1;
    int32_t opColumn = NO_ELEMENT, opRow = NO_ELEMENT;
    int32_t opState = OP_NONE;
    MapSelection selection;
    bool defined = false;
    // Compact point maps hold one region more than the counts in each direction.
    int32_t cellExtra = 0;

    int DataColumns() const { return axisX.count + cellExtra; }
    int DataRows() const { return axisY.count + cellExtra; }

    MapAxis& Axis(int bit) { return bit == AXIS_X ? axisX : bit == AXIS_Y ? axisY : axisData; }
    const MapAxis& Axis(int bit) const { return bit == AXIS_X ? axisX : bit == AXIS_Y ? axisY : axisData; }

    int32_t& Cell(int column, int row) { return axisData.values[static_cast<size_t>(row * TAB_MAX_X + column)]; }
    int32_t Cell(int column, int row) const { return axisData.values[static_cast<size_t>(row * TAB_MAX_X + column)]; }

    // The axis that holds an element: X for column headers, Y for row headers, data for cells.
    MapAxis& AxisOf(int column, int row) { return row < 0 ? axisX : column < 0 ? axisY : axisData; }
    const MapAxis& AxisOf(int column, int row) const { return row < 0 ? axisX : column < 0 ? axisY : axisData; }
    static int MaskOf(int column, int row) { return row < 0 ? AXIS_X : column < 0 ? AXIS_Y : AXIS_DATA; }

    // The raw value of an element (column header, row header or cell).
    int32_t& Value(int column, int row)
    {
        return row < 0   ? axisX.values[static_cast<size_t>(column)]
            : column < 0 ? axisY.values[static_cast<size_t>(row)]
                         : Cell(column, row);
    }
    int32_t ValueOf(int column, int row) const
    {
        return row < 0   ? axisX.values[static_cast<size_t>(column)]
            : column < 0 ? axisY.values[static_cast<size_t>(row)]
                         : Cell(column, row);
    }
    bool Inside(int column, int row) const
    {
        if (column < -1 || row < -1 || (column < 0 && row < 0))
            return false;
        if (row < 0)
            return column < axisX.count;
        if (column < 0)
            return row < axisY.count;
        return column < DataColumns() && row < DataRows();
    }
};
