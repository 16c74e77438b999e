#pragma once

#include "model/LoadGroups.h"
#include "model/ParamImage.h"

#include <array>

// The three ways the default routine of a power output is used:
//  Reset       - by the output's mode, the whole table (used by ResetDefaults);
//  CellsOnly   - only the cell bytes of the gear shift light (used by validation for mode 2);
//  ModeChanged - after the user picked a mode: mode 2 gets the gear-shift-light table, others keep theirs.
enum class PowerOutDefaultForm { Reset, CellsOnly, ModeChanged };

void PowerOutDefaults(ParamImage& img, int output, PowerOutDefaultForm form);

// Default ADVANCE map in degrees, [load row][rpm column].
extern const std::array<std::array<int, MAP_DIM>, MAP_DIM> DefaultAdvanceDegrees;

// The bike the program starts with.
constexpr int STARTUP_BIKE = 20;

// The image the program starts with: STARTUP_BIKE with all defaults, validated.
ParamImage StartupImage();

// Writes the default values of one page's fields (group = page index) or of all (PAGE_ALL),
// ending with the preset of the bike in BIKE. The caller marks its map editors for reload.
void ResetDefaults(ParamImage& img, int group);
