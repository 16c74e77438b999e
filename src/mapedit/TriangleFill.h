#pragma once

#include <cstdint>

// Fills triangles straight into the rows of a 32-bit picture. A pixel belongs to a triangle when
// its centre lies inside it, with the left and upper edges inside and the right and lower edges
// outside, so that triangles sharing an edge cover every pixel along it exactly once: the
// thousands of small pieces of a finely coloured surface join without gaps.
class TriangleFill {
public:
    struct Target {
        uint32_t* pixels = nullptr;
        int stride = 0; // pixels from one row to the next
        // Pixels outside [left, right) x [top, bottom) are left alone.
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    struct Corner {
        double x;
        double y;
    };

    static void Fill(const Target& target, Corner a, Corner b, Corner c, uint32_t value);
};
