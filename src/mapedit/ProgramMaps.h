#pragma once

#include "mapedit/AxisRange.h"

#include <cstdint>

class MapModel;

// The maps of this program, each defined as data and built into an editor by DefineProgramMap.
enum class MapKind : int { Advance, TpSensor, IapSensor, Lambda, PowerOutA, PowerOutB, Servo };

struct MapAxisDef {
    const char* name;
    const char* unit;
    int32_t minValue, maxValue;
    double scale;
    const AxisRange* ranges;
    int editable, proportional, resizable;
    int count, offMode, off, offPosition;
    uint32_t color;
};

struct ProgramMapDef {
    MapKind kind;
    int ownerId;
    int options;
    const char* label;
    const char* labelX;
    const char* labelY;
    const char* labelData;
    int maxX, maxY;
    int sheetFlags;
    int visibleColumns, visibleRows;
    int group;
    int fontSize, headerFontSize, axisFontSize; // 0 keeps the editor's default
    int dataShowUnit;
    const char* dataUnit; // replaces the data unit when not null
    MapAxisDef x, y, data;
};

// The definition of a map; output is 1..4 for the power-output maps (it picks the owner id).
ProgramMapDef ProgramMap(MapKind kind, int output = 1);

// Adds the map as a sheet of tab and defines its axes; label replaces the sheet label when
// given (the power-output maps are labelled by their owner). Returns the sheet index or -1.
int DefineProgramMap(MapModel& tab, MapKind kind, int output = 1, const char* label = nullptr);
