#include "mapedit/SurfaceMesh.h"

#include "mapedit/SurfacePalette.h"
#include "mapedit/View3DState.h"

#include <algorithm>
#include <cmath>

namespace {

// A corner of a triangle: where it is on the screen and its palette position.
struct Vertex {
    Projection3D::Point at;
    double color = 0;
};

Vertex Middle(const Vertex& a, const Vertex& b)
{
    return { { (a.at.x + b.at.x) / 2, (a.at.y + b.at.y) / 2, (a.at.depth + b.at.depth) / 2 }, (a.color + b.color) / 2 };
}

SurfaceSink::Triangle Points(const Vertex& a, const Vertex& b, const Vertex& c) { return { a.at, b.at, c.at }; }

void HeightColours(const Vertex& a, const Vertex& b, const Vertex& c, int grain, SurfaceSink& sink)
{
    sink.Fill(Points(a, b, c), SurfacePalette::ColorAt((a.color + b.color + c.color) / 3));
    if (grain <= 0
        || (std::fabs(a.color - b.color) <= SurfaceMesh::COLOR_STEP
            && std::fabs(b.color - c.color) <= SurfaceMesh::COLOR_STEP))
        return;
    const Vertex ab = Middle(a, b), bc = Middle(b, c), ca = Middle(c, a);
    HeightColours(a, ab, ca, grain - 1, sink);
    HeightColours(ab, b, bc, grain - 1, sink);
    HeightColours(ca, bc, c, grain - 1, sink);
    HeightColours(ab, bc, ca, grain - 1, sink);
}

// Steps through n positions from the back: descending when depth grows with the index.
std::vector<int> BackToFront(int n, double depthPerStep)
{
    std::vector<int> order(static_cast<size_t>(std::max(0, n)));
    for (int k = 0; k < n; ++k)
        order[static_cast<size_t>(k)] = depthPerStep > 0 ? n - 1 - k : k;
    return order;
}

} // namespace

double SurfaceMesh::Winding(const SurfaceSink::Triangle& t)
{
    return (t[1].x - t[0].x) * (t[2].y - t[0].y) - (t[1].y - t[0].y) * (t[2].x - t[0].x);
}

std::vector<std::pair<int, int>> SurfaceMesh::CellOrder(const SurfaceGrid& grid, const Projection3D& projection)
{
    std::vector<std::pair<int, int>> order;
    const int cellsAcross = grid.Columns() - 1, cellsDeep = grid.Rows() - 1;
    if (cellsAcross < 1 || cellsDeep < 1)
        return order;
    const auto& m = projection.Scaled();
    // How far one grid cell reaches into the screen along each direction, on average.
    const double acrossStep = m[2][0] * grid.AcrossSpan() / cellsAcross;
    const double deepStep = m[2][2] * grid.CurveSpan() / cellsDeep;
    const std::vector<int> across = BackToFront(cellsAcross, acrossStep);
    const std::vector<int> deep = BackToFront(cellsDeep, deepStep);
    // The direction that changes depth most is walked in the outer loop.
    const bool acrossOuter = std::fabs(acrossStep) > std::fabs(deepStep);
    order.reserve(static_cast<size_t>(cellsAcross * cellsDeep));
    for (int outer : acrossOuter ? across : deep)
        for (int inner : acrossOuter ? deep : across)
            order.emplace_back(acrossOuter ? outer : inner, acrossOuter ? inner : outer);
    return order;
}

void SurfaceMesh::Paint(const SurfaceGrid& grid, const Projection3D& projection, int surfaceMode, SurfaceSink& sink)
{
    const int grain = surfaceMode - View3DState::HEIGHT_COLOURS;
    auto vertex = [&](int i, int r) {
        const SurfaceGrid::Node& n = grid.At(i, r);
        return Vertex { projection.Project(n.across, n.height, n.depth),
            SurfacePalette::Position(n.height, grid.DataSpan()) };
    };
    for (const auto& [i, r] : CellOrder(grid, projection)) {
        const std::array<Vertex, 4> corner = { vertex(i, r), vertex(i + 1, r), vertex(i + 1, r + 1), vertex(i, r + 1) };
        Vertex centre;
        for (const Vertex& v : corner) {
            centre.at.x += v.at.x / 4;
            centre.at.y += v.at.y / 4;
            centre.at.depth += v.at.depth / 4;
            centre.color += v.color / 4;
        }
        std::array<int, 4> sides = { 0, 1, 2, 3 };
        auto depth = [&](int k) { return corner[k].at.depth + corner[(k + 1) % 4].at.depth; };
        std::stable_sort(sides.begin(), sides.end(), [&](int a, int b) { return depth(a) > depth(b); });
        for (int k : sides) {
            const Vertex& a = corner[static_cast<size_t>(k)];
            const Vertex& b = corner[static_cast<size_t>((k + 1) % 4)];
            const SurfaceSink::Triangle t = Points(a, b, centre);
            const double winding = Winding(t);
            const bool back = winding > 0;
            if (surfaceMode == View3DState::WIRE)
                sink.Outline(t, back ? WIRE_BACK_COLOR : WIRE_COLOR);
            else if (std::fabs(winding) < EDGE_ON)
                continue;
            else if (back || surfaceMode == View3DState::ONE_COLOUR)
                sink.Fill(t, SINGLE_COLOR);
            else
                HeightColours(a, b, centre, grain, sink);
        }
        if (surfaceMode == View3DState::ONE_COLOUR)
            sink.CellEdges({ corner[0].at, corner[1].at, corner[2].at, corner[3].at }, CELL_EDGE_COLOR);
    }
}
