#include "MapTestSupport.h"
#include "mapedit/DisplayRange.h"
#include "mapedit/Projection3D.h"
#include "mapedit/SurfaceGrid.h"
#include "mapedit/SurfaceMesh.h"
#include "mapedit/SurfacePalette.h"
#include "mapedit/SurfaceValues.h"
#include "mapedit/View3DState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace {

using Matrix = Projection3D::Matrix;

double Rad(double degrees) { return degrees * std::numbers::pi / 180; }

void ExpectMatrix(const Matrix& got, const Matrix& want)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[r][c], want[r][c], 1e-9) << "row " << r << " column " << c;
}

// The tilt t about the across axis followed by the turn u about the height axis, written out.
Matrix TiltThenTurn(double t, double u)
{
    const double c1 = std::cos(Rad(t)), s1 = std::sin(Rad(t)), c2 = std::cos(Rad(u)), s2 = std::sin(Rad(u));
    return { { { c2, 0, -s2 }, { -s1 * s2, c1, -s1 * c2 }, { c1 * s2, s1, c1 * c2 } } };
}

double AbsSum(const std::array<double, 3>& row) { return std::fabs(row[0]) + std::fabs(row[1]) + std::fabs(row[2]); }
double NegativeSum(const std::array<double, 3>& row)
{
    return -std::min(row[0], 0.0) - std::min(row[1], 0.0) - std::min(row[2], 0.0);
}

TEST(Projection3DMatrix, ThePresetsGiveTheirRotations)
{
    // TOP: the depth (load) axis points up the screen and the height axis at the viewer.
    ExpectMatrix(Projection3D::Rotation(View3DState::TOP), { { { 1, 0, 0 }, { 0, 0, 1 }, { 0, -1, 0 } } });
    ExpectMatrix(Projection3D::Rotation(View3DState::ISO1), TiltThenTurn(-25, 20));
    ExpectMatrix(Projection3D::Rotation(View3DState::ISO2), TiltThenTurn(-25, 120));
    // The third angle turns the picture about the depth axis last.
    const Matrix turned = Projection3D::Rotation({ 0, 0, 18 });
    ExpectMatrix(turned, { { { 0, -1, 0 }, { 1, 0, 0 }, { 0, 0, 1 } } });
}

TEST(Projection3DMatrix, RowsAreDividedByTheSumOfTheirAbsoluteEntries)
{
    const Matrix m = Projection3D::NormalizeRows(Projection3D::Rotation(View3DState::ISO2));
    const Matrix raw = TiltThenTurn(-25, 120);
    for (int r = 0; r < 3; ++r) {
        const double sum = std::fabs(raw[r][0]) + std::fabs(raw[r][1]) + std::fabs(raw[r][2]);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(m[r][c], raw[r][c] / sum, 1e-9);
    }
    EXPECT_NEAR(m[0][0], -0.5 / (0.5 + std::sqrt(3) / 2), 1e-9);
    // The start view looks from low speed and high load: speed runs away from the viewer, load
    // towards it, and higher is nearer.
    EXPECT_GT(m[2][0], 0);
    EXPECT_LT(m[2][2], 0);
    EXPECT_LT(m[2][1], 0);
}

// An 800 x 500 graph area below the toolbar: the drawing is 640 x 480 right of the panel.
const Projection3D::Area Area800 { 10, 36, 800, 500 };

TEST(Projection3DMapping, TheTopViewPutsAPointWhereTheRulesSay)
{
    const Projection3D p = Projection3D::For(Area800, 140, View3DState::TOP, 100, 30, 10);
    EXPECT_EQ(p.DrawingWidth(), 640);
    EXPECT_EQ(p.DrawingHeight(), 480);
    EXPECT_NEAR(p.Aspect(), 640.0 / 480 * 0.95, 1e-12);
    EXPECT_DOUBLE_EQ(p.OriginX(), 10 + 140 + 10);
    EXPECT_DOUBLE_EQ(p.OriginY(), 36 + 500 - 10);
    // Half way across, at the far end of the load axis: 240 pixels stretched by the aspect, and
    // the full drawing height up.
    const Projection3D::Point at = p.Project(50, 17, 10);
    EXPECT_NEAR(at.x, 160 + 240 * p.Aspect(), 1e-9);
    EXPECT_NEAR(at.y, 526 - 480, 1e-9);
    EXPECT_LT(p.Project(50, 30, 5).depth, p.Project(50, 0, 5).depth) << "higher is nearer from above";
}

TEST(Projection3DMapping, AnIsometricViewPutsAPointWhereTheRulesSay)
{
    const Projection3D p = Projection3D::For(Area800, 140, View3DState::ISO2, 100, 30, 10);
    const Matrix m = TiltThenTurn(-25, 120);
    const double sum0 = AbsSum(m[0]), sum1 = AbsSum(m[1]);
    const double aspect = 640.0 / 480 * 0.95;
    const double shiftX = NegativeSum(m[0]) / sum0 * 640 / aspect;
    const double originY = 526 - NegativeSum(m[1]) / sum1 * 480;
    const double across = 40, height = 12, depth = 7; // raw units above the minima
    const double px = 480 * (m[0][0] * across / 100 + m[0][1] * height / 30 + m[0][2] * depth / 10) / sum0;
    const double py = 480 * (m[1][0] * across / 100 + m[1][1] * height / 30 + m[1][2] * depth / 10) / sum1;
    const Projection3D::Point at = p.Project(across, height, depth);
    EXPECT_NEAR(at.x, 160 + (shiftX + px) * aspect, 1e-9);
    EXPECT_NEAR(at.y, originY - py, 1e-9);
}

TEST(Projection3DMapping, EveryViewKeepsTheBoxOfTheRangesInsideTheDrawing)
{
    for (int x = -35; x <= 36; x += 7)
        for (int xy = -35; xy <= 36; xy += 5) {
            const View3DState::Angles angles { x, xy, (x + xy) % 9 };
            const Projection3D p = Projection3D::For(Area800, 140, angles, 100, 30, 10);
            double top = 1e9, bottom = -1e9;
            for (int corner = 0; corner < 8; ++corner) {
                const auto at = p.Project(corner & 1 ? 100 : 0, corner & 2 ? 30 : 0, corner & 4 ? 10 : 0);
                EXPECT_GE(at.x, 160 - 1e-6);
                EXPECT_LE(at.x, 160 + 640 + 1e-6);
                top = std::min(top, at.y);
                bottom = std::max(bottom, at.y);
            }
            EXPECT_NEAR(top, 46, 1e-6) << "the box reaches the top of the drawing";
            EXPECT_NEAR(bottom, 526, 1e-6) << "and its bottom";
        }
}

TEST(Projection3DMapping, ANearlySquareDrawingIsNotStretched)
{
    const Projection3D p = Projection3D::For({ 10, 36, 650, 500 }, 140, View3DState::ISO2, 100, 30, 10);
    EXPECT_EQ(p.DrawingWidth(), 490);
    EXPECT_EQ(p.Aspect(), 1) << "490 / 480 x 0.95 = 0.97 lies between 0.94 and 1.06";
}

TEST(SurfacePaletteColors, TheKeyEntriesHoldTheKeyColours)
{
    const std::map<int, uint32_t> keys = { { 0, 0x550000 }, { 15, 0xFF0000 }, { 25, 0x00FF00 }, { 32, 0x00FFFF },
        { 40, 0x00CCCC }, { 52, 0x0000FF }, { 61, 0xFF00FF } };
    for (const auto& [entry, color] : keys)
        EXPECT_EQ(SurfacePalette::Entry(entry), color) << entry;
    EXPECT_EQ(SurfacePalette::Entry(20), 0x808000u) << "half way from blue to green";
    EXPECT_EQ(SurfacePalette::Entry(62), 0xFF00FFu);
}

TEST(SurfacePaletteColors, HeightsAreSpreadOverTheRangeAndClamped)
{
    EXPECT_DOUBLE_EQ(SurfacePalette::Position(0, 30), 0);
    EXPECT_DOUBLE_EQ(SurfacePalette::Position(15, 30), 30.5);
    EXPECT_DOUBLE_EQ(SurfacePalette::Position(30, 30), 61);
    EXPECT_DOUBLE_EQ(SurfacePalette::Position(-4, 30), 0);
    EXPECT_DOUBLE_EQ(SurfacePalette::Position(45, 30), 61);
    EXPECT_EQ(SurfacePalette::ColorAt(14.6), SurfacePalette::Entry(15));
    EXPECT_EQ(SurfacePalette::ColorAt(99), 0xFF00FFu);
}

TEST(View3DStateRules, AnglesWrapByAFullTurn)
{
    EXPECT_EQ(View3DState::Wrap(36), 36);
    EXPECT_EQ(View3DState::Wrap(37), -35);
    EXPECT_EQ(View3DState::Wrap(-35), -35);
    EXPECT_EQ(View3DState::Wrap(-36), 36);
    EXPECT_EQ(View3DState::Wrap(24 + 72 * 3), 24);
}

TEST(View3DStateRules, DraggingTurnsOneStepPerTenPixels)
{
    View3DState v;
    const View3DState::Angles start = v.Current();
    EXPECT_TRUE(v.Drag(start, 50, 0));
    EXPECT_EQ(v.angleXY, 29);
    EXPECT_FALSE(v.hintFlags & View3DState::HINT_ROTATE) << "the rotation hint has been used";
    v.Drag(start, 100, 0);
    EXPECT_EQ(v.angleXY, 34) << "100 pixels: 10 steps";
    v.Drag(start, 150, 0);
    EXPECT_EQ(v.angleXY, -33) << "24 + 15 wraps past 36";
    v.Drag(start, -19, 25);
    EXPECT_EQ(v.angleXY, 23) << "-19 / 10 is -1";
    EXPECT_EQ(v.angleX, -7);
    EXPECT_FALSE(v.Drag(start, -19, 25)) << "no change";
}

TEST(View3DStateRules, TheWheelTurnsOrChangesTheModesWithinTheirLimits)
{
    View3DState v;
    v.surfaceMode = View3DState::WIRE;
    v.Wheel(-1, true, false);
    EXPECT_EQ(v.surfaceMode, 0) << "Ctrl + wheel down at the wire model stays there";
    v.Wheel(+1, true, false);
    EXPECT_EQ(v.surfaceMode, 1);
    v.valueMode = View3DState::VALUES_ALL;
    v.Wheel(+1, false, true);
    EXPECT_EQ(v.valueMode, 3) << "Shift + wheel up at all values stays there";
    v.Set(View3DState::ISO2);
    v.Wheel(-1, false, false);
    EXPECT_EQ(v.Current(), (View3DState::Angles { -5, 24, -1 }));
    v.angleXYZ = 36;
    v.Wheel(+1, false, false);
    EXPECT_EQ(v.angleXYZ, -35);
}

TEST(View3DStateRules, PresetsAreShownOnlyWhileTheAnglesMatch)
{
    View3DState v;
    EXPECT_TRUE(v.Shows(CMD_3D_ISO2)) << "the start view";
    View3DState::Angles top {};
    ASSERT_TRUE(View3DState::PresetOf(CMD_3D_TOP, top));
    v.Set(top);
    EXPECT_EQ(v.angleX * 5, -90);
    EXPECT_TRUE(v.Shows(CMD_3D_TOP));
    EXPECT_FALSE(v.Shows(CMD_3D_ISO1));
    v.Wheel(1, false, false);
    for (int command : { CMD_3D_TOP, CMD_3D_ISO1, CMD_3D_ISO2 })
        EXPECT_FALSE(v.Shows(command)) << command;
    EXPECT_FALSE(View3DState::PresetOf(CMD_COPY, top));
}

TEST(View3DStateRules, SpaceCyclesTheValueModes)
{
    View3DState v;
    v.valueMode = View3DState::VALUES_NONE;
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        v.NextValueMode();
        seen.push_back(v.valueMode);
    }
    EXPECT_EQ(seen, (std::vector<int> { 1, 2, 3, 0, 1 }));
}

// The advance map over speed and load, with its display ranges computed.
class AdvanceSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefineProgramMap(tab, MapKind::Advance);
        FillSheet(tab, AdvanceRpm, TpPoints);
        tab.Sheet().axisY.off = 0;
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                tab.Sheet().Cell(c, r) = 10 + 2 * c - r;
        tab.SetBaseAdvance(5);
        Refresh();
    }
    void Refresh()
    {
        ranges = DisplayRange::Compute(tab);
        grid = SurfaceGrid::Build(tab, ranges);
    }
    Projection3D View(View3DState::Angles angles) const
    {
        return Projection3D::For(Area800, 140, angles, grid.AcrossSpan(), grid.DataSpan(), grid.CurveSpan());
    }
    MapModel tab;
    GraphRanges ranges;
    SurfaceGrid grid;
};

TEST_F(AdvanceSurface, TheGridStartsWithTheBaseAdvancePlateau)
{
    const MapSheet& s = tab.Sheet();
    ASSERT_EQ(grid.Columns(), 12);
    ASSERT_EQ(grid.Rows(), 10);
    EXPECT_EQ(s.axisX.viewMin, 0);
    const double base = 5 - s.axisData.viewMin;
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(grid.At(0, r).across, 0);
        EXPECT_EQ(grid.At(1, r).across, 10) << "the plateau reaches the first column (1000 rpm)";
        EXPECT_EQ(grid.At(0, r).height, base);
        EXPECT_EQ(grid.At(1, r).height, base);
        EXPECT_EQ(grid.At(2, r).across, 10);
        EXPECT_EQ(grid.At(2, r).height, s.Cell(0, r) - s.axisData.viewMin) << "then the step up to the map";
        EXPECT_EQ(grid.At(2, r).depth, TpPoints[r] - s.axisY.viewMin);
    }
    EXPECT_EQ(grid.At(11, 9).column, 9);
    EXPECT_EQ(grid.At(0, 3).column, MapSheet::OP_BASE_ZONE);
}

TEST_F(AdvanceSurface, ASwitchedOffLoadAxisLeavesTheMapFlatAcrossTheWholeLoadRange)
{
    tab.Sheet().axisY.off = 1;
    Refresh();
    ASSERT_EQ(grid.Rows(), 2);
    for (int i = 0; i < grid.Columns(); ++i) {
        EXPECT_EQ(grid.At(i, 0).depth, 0);
        EXPECT_EQ(grid.At(i, 1).depth, grid.CurveSpan());
        EXPECT_EQ(grid.At(i, 0).height, grid.At(i, 1).height);
    }
    SurfaceGrid::Node middle;
    ASSERT_TRUE(grid.CellPoint(4, tab.Sheet().axisY.offIndex, middle));
    EXPECT_EQ(middle.depth, grid.CurveSpan() / 2);
    EXPECT_FALSE(grid.CellPoint(4, 5, middle)) << "other rows are not shown";
}

TEST_F(AdvanceSurface, AFullRangeDataAxisSpansItsLimits)
{
    tab.Sheet().axisData.fullRange3D = 1;
    Refresh();
    EXPECT_EQ(grid.DataBottom(), -30);
    EXPECT_EQ(grid.DataSpan(), 90);
}

// Records what the mesh paints.
struct Recorder : SurfaceSink {
    void Fill(const Triangle& t, uint32_t color) override { fills.push_back({ t, color }); }
    void Outline(const Triangle& t, uint32_t color) override { outlines.push_back({ t, color }); }
    void CellEdges(const std::array<Projection3D::Point, 4>&, uint32_t) override { ++edges; }
    struct Piece {
        Triangle t;
        uint32_t color;
    };
    std::vector<Piece> fills, outlines;
    int edges = 0;
};

// How far a grid cell's footprint on the floor lies from the viewer.
double CellDepth(const SurfaceGrid& g, const Projection3D& p, std::pair<int, int> cell)
{
    double depth = 0;
    for (int k = 0; k < 4; ++k) {
        const SurfaceGrid::Node& n = g.At(cell.first + (k & 1), cell.second + (k >> 1));
        depth += p.Project(n.across, 0, n.depth).depth;
    }
    return depth;
}

TEST_F(AdvanceSurface, CellsArePaintedFromTheBackForOppositeViews)
{
    // A turn of 180 degrees about the height axis reverses the order.
    const Projection3D front = View({ -5, 24, 0 }), back = View({ -5, -12, 0 });
    const auto a = SurfaceMesh::CellOrder(grid, front);
    auto b = SurfaceMesh::CellOrder(grid, back);
    ASSERT_EQ(a.size(), 11u * 9u);
    std::reverse(b.begin(), b.end());
    EXPECT_EQ(a, b);
    for (const Projection3D* p : { &front, &back }) {
        const auto order = SurfaceMesh::CellOrder(grid, *p);
        EXPECT_GT(CellDepth(grid, *p, order.front()), CellDepth(grid, *p, order.back()));
        // Of two neighbouring cells the farther one comes first.
        std::map<std::pair<int, int>, size_t> place;
        for (size_t k = 0; k < order.size(); ++k)
            place[order[k]] = k;
        for (const auto& [cell, k] : place)
            for (const std::pair<int, int>& next :
                { std::pair { cell.first + 1, cell.second }, std::pair { cell.first, cell.second + 1 } }) {
                if (!place.count(next))
                    continue;
                const bool nextFarther = CellDepth(grid, *p, next) > CellDepth(grid, *p, cell);
                EXPECT_EQ(place[next] < k, nextFarther) << cell.first << "," << cell.second;
            }
    }
}

TEST_F(AdvanceSurface, TheFourTrianglesOfACellArePaintedFarthestFirst)
{
    tab.Sheet().axisY.off = 1;
    tab.Sheet().axisX.off = 1;
    tab.Sheet().flags &= ~SF_BASE_ADVANCE;
    Refresh();
    ASSERT_EQ(grid.Columns() * grid.Rows(), 4) << "one flat cell";
    Recorder r;
    SurfaceMesh::Paint(grid, View(View3DState::ISO1), View3DState::ONE_COLOUR, r);
    ASSERT_EQ(r.fills.size(), 4u);
    EXPECT_EQ(r.edges, 1);
    auto depth = [](const Recorder::Piece& p) { return p.t[0].depth + p.t[1].depth + p.t[2].depth; };
    for (size_t k = 1; k < 4; ++k)
        EXPECT_GE(depth(r.fills[k - 1]), depth(r.fills[k]));
    for (const auto& f : r.fills)
        EXPECT_EQ(f.color, SurfaceMesh::SINGLE_COLOR);
}

TEST_F(AdvanceSurface, HeightColoursDivideTrianglesWhoseColourChanges)
{
    tab.SetBaseAdvance(0); // below every cell: no wall of the plateau is flat
    Refresh();
    const Projection3D p = View(View3DState::ISO2);
    std::vector<size_t> fills;
    for (int mode = View3DState::HEIGHT_COLOURS; mode <= View3DState::MAX_SURFACE_MODE; ++mode) {
        Recorder r;
        SurfaceMesh::Paint(grid, p, mode, r);
        EXPECT_TRUE(r.outlines.empty());
        EXPECT_EQ(r.edges, 0);
        fills.push_back(r.fills.size());
    }
    EXPECT_EQ(fills[0], 11u * 9u * 4u) << "grain 0: one colour per triangle";
    for (size_t k = 1; k < fills.size(); ++k)
        EXPECT_GT(fills[k], fills[k - 1]);
    EXPECT_LE(fills[3], 11u * 9u * 4u * (1 + 4 + 16 + 64));

    // A flat map has no colour change to divide.
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            tab.Sheet().Cell(c, r) = 12;
    tab.SetBaseAdvance(12);
    Refresh();
    Recorder flat;
    SurfaceMesh::Paint(grid, View(View3DState::ISO2), View3DState::MAX_SURFACE_MODE, flat);
    EXPECT_EQ(flat.fills.size(), 11u * 9u * 4u - 9u * 4u) << "walls of no height are not filled";
}

TEST_F(AdvanceSurface, SeenFromBelowEveryTriangleTakesTheSingleColour)
{
    const Projection3D below = View({ 18, 0, 0 });
    Recorder r;
    SurfaceMesh::Paint(grid, below, View3DState::MAX_SURFACE_MODE, r);
    ASSERT_FALSE(r.fills.empty());
    for (const auto& f : r.fills)
        EXPECT_EQ(f.color, SurfaceMesh::SINGLE_COLOR);
    Recorder above;
    SurfaceMesh::Paint(grid, View(View3DState::TOP), View3DState::MAX_SURFACE_MODE, above);
    EXPECT_TRUE(std::none_of(above.fills.begin(), above.fills.end(),
        [](const Recorder::Piece& f) { return f.color == SurfaceMesh::SINGLE_COLOR; }));
}

TEST_F(AdvanceSurface, TheWireModelOnlyOutlines)
{
    Recorder r;
    SurfaceMesh::Paint(grid, View(View3DState::ISO2), View3DState::WIRE, r);
    EXPECT_TRUE(r.fills.empty());
    EXPECT_EQ(r.outlines.size(), 11u * 9u * 4u);
}

// A 4 x 4 map, flat at 10, with one peak and one dip.
class InterestingValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        tab.AddSheet("Map", "RPM", "TP", "ADV", 4, 4, SF_OPERATING_POINT);
        tab.DefineAxis(0, AXIS_X, "RPM", "", 3, 250, 100, 1, AxisRanges::RpmMap, 1, 1, 1, 4, 1, 0, 0, -1, 1, 0);
        tab.DefineAxis(0, AXIS_Y, "TP", "%", 0, 100, 1, 1, AxisRanges::SensorLoad, 1, 1, 1, 4, 1, 0, 0, -1, 1, 0);
        tab.DefineAxis(0, AXIS_DATA, "ADV", "", -30, 60, 1, 1, AxisRanges::Degrees, 1, 0, 1, 1, 0, 0, 0, -1, 1, 0);
        FillSheet(tab, { 10, 20, 30, 40 }, { 0, 30, 60, 90 }, 10);
        tab.Sheet().Cell(1, 1) = 20;
        tab.Sheet().Cell(2, 3) = 3;
    }
    using Cells = std::vector<std::pair<int, int>>;
    MapModel tab;
};

TEST_F(InterestingValues, AreThePeakAndTheDip)
{
    EXPECT_EQ(SurfaceValues::Cells(tab, View3DState::VALUES_INTERESTING), (Cells { { 1, 1 }, { 2, 3 } }));
    EXPECT_TRUE(SurfaceValues::LocalExtreme(tab.Sheet(), 1, 1));
    EXPECT_TRUE(SurfaceValues::LocalExtreme(tab.Sheet(), 2, 3)) << "on the edge: below its three neighbours";
    EXPECT_FALSE(SurfaceValues::LocalExtreme(tab.Sheet(), 0, 0)) << "equal neighbours";
}

TEST_F(InterestingValues, AddTheOperatingCellAndASmallSelection)
{
    MapSheet& s = tab.Sheet();
    s.opColumn = 3, s.opRow = 2, s.opState = MapSheet::OP_ACTIVE;
    tab.SelectElement(0, 2);
    EXPECT_EQ(
        SurfaceValues::Cells(tab, View3DState::VALUES_INTERESTING), (Cells { { 3, 2 }, { 1, 1 }, { 0, 2 }, { 2, 3 } }))
        << "the operating cell first, then row by row";
    EXPECT_EQ(SurfaceValues::Cells(tab, View3DState::VALUES_ACTIVE), (Cells { { 3, 2 } }));
    s.opState = MapSheet::OP_OTHER_LOAD;
    EXPECT_TRUE(SurfaceValues::Cells(tab, View3DState::VALUES_ACTIVE).empty()) << "no live point on this load";
    EXPECT_TRUE(SurfaceValues::Cells(tab, View3DState::VALUES_NONE).empty());
    EXPECT_EQ(SurfaceValues::Cells(tab, View3DState::VALUES_ALL).size(), 16u);
    s.opState = MapSheet::OP_ACTIVE;
    s.opColumn = MapSheet::OP_BASE_ZONE;
    EXPECT_EQ(SurfaceValues::Cells(tab, View3DState::VALUES_ACTIVE), (Cells { { MapSheet::OP_BASE_ZONE, 2 } }))
        << "below the first column: the base advance";
}

TEST_F(InterestingValues, SwitchingAnAxisOffLeavesOnlyItsNeighboursAlongTheOther)
{
    // Only row 0 is shown (the load switched off): 10 10 10 10 has no extreme; raise one cell.
    tab.Sheet().axisY.off = 1;
    tab.Sheet().axisY.offIndex = 0;
    EXPECT_TRUE(SurfaceValues::Cells(tab, View3DState::VALUES_INTERESTING).empty());
    tab.Sheet().Cell(2, 0) = 11;
    EXPECT_EQ(SurfaceValues::Cells(tab, View3DState::VALUES_INTERESTING), (Cells { { 2, 0 }, { 3, 0 } }))
        << "the raised cell, and the row's end below its one neighbour";
}

TEST_F(InterestingValues, AnInterpolableSelectionShowsItsCorners)
{
    tab.SelectElement(0, 0);
    tab.ExtendSelection(3, 2);
    ASSERT_TRUE(tab.CanInterpolate());
    const Cells cells = SurfaceValues::Cells(tab, View3DState::VALUES_INTERESTING);
    for (const std::pair<int, int>& corner : Cells { { 0, 0 }, { 3, 0 }, { 0, 2 }, { 3, 2 } })
        EXPECT_NE(std::find(cells.begin(), cells.end(), corner), cells.end()) << corner.first << "," << corner.second;
    EXPECT_EQ(std::find(cells.begin(), cells.end(), std::pair { 1, 2 }), cells.end()) << "12 cells are too many";
}

} // namespace
