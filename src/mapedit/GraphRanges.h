#pragma once

#include "mapedit/MapEditTypes.h"

#include <cstdint>

// What the display ranges give the graphs of the active sheet: which axis runs across and which
// one picks the curve, how many curves and points are shown, how far the curves are stacked
// apart, and the top of the data scale.
struct GraphRanges {
    int across = AXIS_X; // AXIS_Y on a sheet that swaps its axes
    int curve = AXIS_Y;
    int curves = 1;
    int points = 1;
    int32_t stackStep = 0;
    int32_t dataTop = 1;

    // How far curve r (0-based) is raised so that no curve crosses the one below it.
    int32_t Offset(int r) const { return (curves - r - 1) * stackStep; }
};
