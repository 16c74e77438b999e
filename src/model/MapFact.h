#pragma once

#include "model/FieldFact.h"

#include <cstdint>

// The name of power output %d: of its switching map and of the box around its other settings.
inline constexpr const char* POWER_OUT_NAME = "###Power out %d##Leistungsausgang %d##Výkonový výstup %d";

// The maps of the image, as their editors show them.
enum class MapId : uint8_t { None, Advance, Servo, PowerOut1, PowerOut2 };

// How the cells of a map lie in the image.
enum class MapLayout : uint8_t {
    Grid, // one byte per cell: element MAP_DIM x row + column; rows by load, columns by speed
    Switching, // one byte per load region, bit j the on/off cell of speed region j
};

// What the map's kind byte (ADV_MAPA, SERVO_MAPA) makes of a grid.
enum class MapKindByte : uint8_t {
    None, // the map is always kept whole
    CurveOrGrid, // 0: one curve over speed, 1: the whole grid
    SpeedLoadOrGrid, // 0: one curve over speed, 1: one curve over load, 2: the grid
};

// A map of the image: a grid of cells with its speed axis (the columns) and its load axis (the
// rows). Rows and columns are labelled from the image the way the map's editor labels them.
struct MapFact {
    MapId id = MapId::None;
    const char* name = ""; // LangString; %d stands for the output number of a power output
    int number = 0; // the number put for %d
    MapLayout layout = MapLayout::Grid;
    const FieldFact* cells = nullptr;
    int rows = 0;
    int columns = 0;
    const FieldFact* speedPoints = nullptr;
    const FieldFact* loadPoints = nullptr; // grid: the pressures used with an IAP sensor
    int kindAddress = -1; // Adrb of the kind byte
    MapKindByte kind = MapKindByte::None;
    // The row that is the curve over speed, and the column that is the curve over load, while the
    // map is one curve: the editor then shows only that line, for every load (speed).
    int curveRow = 0;
    int curveColumn = 0;
};
