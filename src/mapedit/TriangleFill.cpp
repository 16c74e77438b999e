#include "mapedit/TriangleFill.h"

#include <algorithm>
#include <cmath>

namespace {

using Corner = TriangleFill::Corner;

bool Above(const Corner& a, const Corner& b) { return a.y < b.y || (a.y == b.y && a.x < b.x); }

// Where an edge (upper end first) crosses the height y. Both triangles of a shared edge see its
// ends in the same order and get the same value.
double CrossingX(const Corner& upper, const Corner& lower, double y)
{
    return upper.x + (y - upper.y) * (lower.x - upper.x) / (lower.y - upper.y);
}

// The first pixel whose centre lies at or after x (far outside positions are held off, as no
// picture reaches them).
int FirstPixelFrom(double x) { return static_cast<int>(std::ceil(std::clamp(x, -1e9, 1e9) - 0.5)); }

} // namespace

void TriangleFill::Fill(const Target& t, Corner a, Corner b, Corner c, uint32_t value)
{
    if (Above(b, a))
        std::swap(a, b);
    if (Above(c, b))
        std::swap(b, c);
    if (Above(b, a))
        std::swap(a, b);
    if (!(c.y > a.y) || !std::isfinite(a.x + b.x + c.x + a.y + c.y))
        return;
    const int firstRow = std::max(t.top, FirstPixelFrom(a.y));
    const int endRow = std::min(t.bottom, FirstPixelFrom(c.y));
    for (int row = firstRow; row < endRow; ++row) {
        const double y = row + 0.5;
        const double longX = CrossingX(a, c, y);
        const double shortX = y < b.y ? CrossingX(a, b, y) : CrossingX(b, c, y);
        const int from = std::max(t.left, FirstPixelFrom(std::min(longX, shortX)));
        const int to = std::min(t.right, FirstPixelFrom(std::max(longX, shortX)));
        if (from < to)
            std::fill(t.pixels + static_cast<long>(row) * t.stride + from,
                t.pixels + static_cast<long>(row) * t.stride + to, value);
    }
}
