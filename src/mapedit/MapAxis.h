#pragma once

#include "mapedit/AxisRange.h"
#include "mapedit/MapEditTypes.h"

#include <array>
#include <cstdint>
#include <vector>

// One axis of a sheet: X (columns), Y (rows) or the data (the cells). The data axis uses only
// the fields that describe values (colour, labels, limits, scale, range table, group).
struct MapAxis {
    // offMode: whether the user may switch the axis off.
    enum OffModes : int32_t { OFF_NEVER = 0, OFF_SWITCHABLE = 1, OFF_ALWAYS = 2 };
    // offPosition: the entry used while the axis is off (n >= 0 names entry n).
    enum OffPositions : int32_t { OFF_AT_FIRST = -1, OFF_AT_LAST = -2, OFF_AT_MIDDLE = -3 };
    // lastMoved when no single value is known to be moving; the normalization then orders all.
    static constexpr int32_t LAST_MOVED_NONE = -3;

    uint32_t color = 0xFFFFFF;
    char label[TAB_LABEL_LEN] = {};
    char name[TAB_NAME_LEN] = {};
    char unit[TAB_UNIT_LEN] = {};
    int32_t showUnit = 0;
    int32_t maxCount = 1;
    int32_t minCount = 1;
    int32_t count = 1;
    int32_t off = 0;
    int32_t offIndex = 0;
    int32_t offPosition = OFF_AT_FIRST;
    int32_t editable = 0;
    int32_t resizable = 0;
    int32_t offMode = OFF_NEVER;
    int32_t firstVisible = 0;
    std::vector<int32_t> values, lastValues, savedValues, pushed;
    double scale = 1.0;
    double quantum = 1.0;
    int32_t minValue = 0;
    int32_t maxValue = 0;
    int32_t minSpacing = 1;
    int32_t lastMoved = LAST_MOVED_NONE;
    int32_t proportional = 0;
    int32_t group = 0;
    std::array<AxisRange, TAB_MAX_RANGES> ranges {};
    int32_t rangeCount = 0;
    AxisRange currentRange {};
    int32_t viewMin = 0;
    int32_t viewMax = 1;
    int32_t fullRange3D = 0;
    int32_t axisFontSize = 0;

    void Allocate(int capacity)
    {
        values.assign(capacity, 0);
        lastValues.assign(capacity, 0);
        savedValues.assign(capacity, 0);
        pushed.assign(capacity, 0);
    }

    // Copies a range table (ending with a row whose gridStep is 0); rows past the fifth
    // overwrite the last slot.
    void SetRanges(const AxisRange* table)
    {
        rangeCount = 0;
        for (; table && table->gridStep != 0; ++table) {
            ranges[rangeCount < TAB_MAX_RANGES ? rangeCount : TAB_MAX_RANGES - 1] = *table;
            if (rangeCount < TAB_MAX_RANGES)
                ++rangeCount;
        }
        currentRange = rangeCount ? ranges[0] : AxisRange {};
    }

    // The row of the range table for a physical span: the first wide enough, else the last.
    AxisRange RangeFor(double span) const
    {
        for (int i = 0; i < rangeCount; ++i)
            if (ranges[i].span >= span)
                return ranges[i];
        return rangeCount ? ranges[rangeCount - 1] : AxisRange {};
    }

    // Entries shown along this axis: one while it is switched off.
    int Used() const { return off ? 1 : count; }
    // The index of the i-th shown entry.
    int EntryAt(int i) const { return off ? offIndex : i; }

    void ResolveOffIndex()
    {
        if (offPosition == OFF_AT_FIRST)
            offIndex = 0;
        else if (offPosition == OFF_AT_LAST)
            offIndex = count - 1;
        else if (offPosition == OFF_AT_MIDDLE)
            offIndex = count / 2;
        else
            offIndex = offPosition < count - 1 ? offPosition : count - 1;
        if (offIndex < 0)
            offIndex = 0;
    }

    // Forgets the push memory of the normalization: the present values become the reference.
    void RememberValues()
    {
        lastValues = values;
        std::fill(pushed.begin(), pushed.end(), 0);
        std::fill(savedValues.begin(), savedValues.end(), 0);
    }
};
