#pragma once

#include "mapedit/Projection3D.h"

#include <array>
#include <cstdint>

// Receives the pieces of the 3D surface in the order they are to be painted, back to front.
class SurfaceSink {
public:
    virtual ~SurfaceSink() = default;
    using Triangle = std::array<Projection3D::Point, 3>;
    // A triangle filled with a colour (0x00BBGGRR), or only outlined in it.
    virtual void Fill(const Triangle& t, uint32_t color) = 0;
    virtual void Outline(const Triangle& t, uint32_t color) = 0;
    // The edges of a grid cell after its triangles (the one-colour mode shows the cells so).
    virtual void CellEdges(const std::array<Projection3D::Point, 4>& corners, uint32_t color)
    {
        (void)corners, (void)color;
    }
};
