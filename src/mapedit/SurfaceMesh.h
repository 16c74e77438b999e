#pragma once

#include "mapedit/Projection3D.h"
#include "mapedit/SurfaceGrid.h"
#include "mapedit/SurfaceSink.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// Turns a surface grid into painted pieces. Grid cells go from the back to the front; each is
// split into four triangles through its centre, drawn farthest first. A triangle seen from its
// back takes the single colour; with height colours a front triangle takes the palette colour of
// its mean height and, while grain remains and the colour changes across it, is divided into
// four by its edge midpoints, each drawn the same way over it.
class SurfaceMesh {
public:
    // The one-colour fill, also of every back face, and the lines of the wire model.
    static constexpr uint32_t SINGLE_COLOR = 0xD8C8B0;
    static constexpr uint32_t CELL_EDGE_COLOR = 0x8C7A60;
    static constexpr uint32_t WIRE_COLOR = 0x404040;
    static constexpr uint32_t WIRE_BACK_COLOR = 0xB0B0B0;
    // Colours closer than this (palette positions) are not divided further.
    static constexpr double COLOR_STEP = 0.5;

    // The grid cells (index of their first node along across, along curve) in painting order.
    static std::vector<std::pair<int, int>> CellOrder(const SurfaceGrid& grid, const Projection3D& projection);
    // Paints the whole surface into sink in the given surface mode (View3DState::SurfaceMode).
    static void Paint(const SurfaceGrid& grid, const Projection3D& projection, int surfaceMode, SurfaceSink& sink);

    // Twice the signed area of a triangle as projected. Screen y grows downwards, so the upper
    // side of the surface runs clockwise and gives a negative area; a positive one shows the
    // triangle's back (the underside).
    static double Winding(const SurfaceSink::Triangle& t);
    // A triangle seen edge-on (a wall of the plateau from above) covers nothing and is not filled.
    static constexpr double EDGE_ON = 1e-6;
};
