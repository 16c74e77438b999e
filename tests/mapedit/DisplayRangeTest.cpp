#include "mapedit/DisplayRange.h"
#include "MapTestSupport.h"
#include "mapedit/GraphGeometry.h"
#include "mapedit/GraphLabel.h"

#include <gtest/gtest.h>

namespace {

// The advance map with both axes in use and curves that fall with rising load.
class AdvanceRanges : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefineProgramMap(tab, MapKind::Advance);
        FillSheet(tab, AdvanceRpm, TpPoints);
        tab.Sheet().axisY.off = 0;
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                tab.Sheet().Cell(c, r) = 20 + c - r;
        tab.SetBaseAdvance(10);
        tab.SetLimiterRpm(9000);
        tab.SetStartLimiterRpm(3000);
        tab.RebuildLayout();
    }
    // The drawn height (raw units) of the point of column c on curve r.
    int32_t Drawn(const GraphRanges& g, int c, int r) const { return tab.Sheet().Cell(c, r) + g.Offset(r); }
    MapModel tab;
};

TEST_F(AdvanceRanges, CurvesThatAllFallAreNotOffset)
{
    const GraphRanges g = DisplayRange::Compute(tab);
    EXPECT_EQ(g.curves, 10);
    EXPECT_EQ(g.points, 10);
    EXPECT_EQ(g.stackStep, 0);
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(g.Offset(r), 0);
    EXPECT_EQ(g.dataTop, tab.Sheet().axisData.viewMax);
}

TEST_F(AdvanceRanges, ARaisedCellOffsetsTheCurvesAboveItByTheRise)
{
    // Row 3 rises 4 degrees above row 2 at column 5.
    tab.Sheet().Cell(5, 3) = tab.Sheet().Cell(5, 2) + 4;
    const GraphRanges g = DisplayRange::Compute(tab);
    EXPECT_EQ(g.stackStep, 4);
    for (int r = 0; r + 1 < 10; ++r)
        EXPECT_EQ(g.Offset(r) - g.Offset(r + 1), 4) << r;
    EXPECT_EQ(g.Offset(9), 0);
    for (int r = 1; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            EXPECT_GE(Drawn(g, c, r - 1), Drawn(g, c, r)) << "curves cross at column " << c << " row " << r;
    EXPECT_EQ(g.dataTop, tab.Sheet().axisData.viewMax + 9 * 4);
}

TEST_F(AdvanceRanges, TheSpeedAxisStartsAtZeroForTheBaseAdvance)
{
    for (int c = 0; c < 10; ++c)
        tab.Sheet().axisX.values[c] = 30 + 7 * c;
    DisplayRange::Compute(tab);
    EXPECT_EQ(tab.Sheet().axisX.viewMin, 0);

    // The servo map has no base advance: its speed axis starts at the rounded first column.
    MapModel servo;
    DefineProgramMap(servo, MapKind::Servo);
    for (int c = 0; c < 10; ++c)
        servo.Sheet().axisX.values[c] = 30 + 7 * c;
    servo.SetLimiterRpm(9000);
    servo.SetStartLimiterRpm(9000);
    DisplayRange::Compute(servo);
    EXPECT_EQ(servo.Sheet().axisX.viewMin, 20) << "3000 rpm - 400 rounded down to 2000";
}

TEST_F(AdvanceRanges, TheBaseAdvanceWidensTheDataRange)
{
    tab.SetBaseAdvance(50);
    DisplayRange::Compute(tab);
    EXPECT_GE(tab.Sheet().axisData.viewMax, 50);
    tab.SetBaseAdvance(-25);
    DisplayRange::Compute(tab);
    EXPECT_LE(tab.Sheet().axisData.viewMin, -25);
}

TEST_F(AdvanceRanges, ALimiterPastTheLastColumnExtendsTheSpeedAxis)
{
    for (int c = 0; c < 10; ++c)
        tab.Sheet().axisX.values[c] = 10 + 7 * c + (c == 9 ? 7 : 0); // last column 8000 rpm
    ASSERT_EQ(tab.Sheet().axisX.values[9], 80);
    const GraphRanges g = DisplayRange::Compute(tab);
    const MapAxis& x = tab.Sheet().axisX;
    EXPECT_EQ(x.viewMin, 0);
    EXPECT_EQ(x.viewMax, 100) << "9000 + 0.2 x 2000 rounded up to 10000 rpm";
    EXPECT_EQ(x.currentRange.span, 10000);
    EXPECT_EQ(x.currentRange.labelStep, 1000);
    const GraphGeometry geo = GraphGeometry::For(10, 40, 800, 400, g, tab.Sheet());
    const double limiterX = geo.AcrossPixel(tab.LimiterRpm() / x.scale);
    EXPECT_GT(limiterX, geo.AcrossPixel(80));
    EXPECT_LT(limiterX, geo.PlotRight());
}

TEST_F(AdvanceRanges, RoundingFollowsTheRangeTable)
{
    // Cells 11..29 and the base advance 10: span 19 picks the 30-degree row (rounding by 5).
    const GraphRanges g = DisplayRange::Compute(tab);
    const MapAxis& d = tab.Sheet().axisData;
    EXPECT_EQ(d.currentRange.span, 30);
    EXPECT_EQ(d.viewMin, 5) << "10 - 1 rounded down to 5";
    EXPECT_EQ(d.viewMax, 30) << "29 + 1 rounded up to 30";
    EXPECT_EQ(g.dataTop, 30);
}

struct ExtentCase {
    int low, high;
    int viewMin, viewMax;
};

class DataRounding : public ::testing::TestWithParam<ExtentCase> { };

TEST_P(DataRounding, KeepsZeroAsALimitWhenTheValuesDoNotCrossIt)
{
    const ExtentCase c = GetParam();
    MapAxis a;
    a.scale = 1;
    a.proportional = 1;
    a.SetRanges(AxisRanges::Degrees);
    DisplayRange::Apply(a, DisplayRange::WithMinimumSpan(a, { double(c.low), double(c.high) }));
    EXPECT_EQ(a.viewMin, c.viewMin);
    EXPECT_EQ(a.viewMax, c.viewMax);
}

INSTANTIATE_TEST_SUITE_P(Degrees, DataRounding,
    ::testing::Values(ExtentCase { 0, 20, 0, 25 }, // 0 - 1 is taken as 0
        ExtentCase { -20, 0, -25, 0 }, // 0 + 1 is taken as 0
        ExtentCase { -7, 12, -10, 15 }, // rounding by 5 beyond 0.2 of a step
        ExtentCase { 4, 4, 0, 10 }, // a flat map still spans the first rounding step (5)
        ExtentCase { 22, 23, 20, 30 }));

TEST(DisplayRangeGroups, SheetsSharingAGroupBitShareTheRange)
{
    MapModel tab;
    for (int sheet = 0; sheet < 3; ++sheet) {
        tab.AddSheet("S", "RPM", "TP", "ADV", 3, 1, 0);
        const int group = sheet == 2 ? 4 : 2;
        tab.DefineAxis(sheet, AXIS_X, "RPM", "", 3, 250, 100, 1, AxisRanges::RpmMap, 1, 1, 1, 3, 0, 0, 0, -1, group, 0);
        tab.DefineAxis(
            sheet, AXIS_DATA, "ADV", "", -30, 60, 1, 1, AxisRanges::Degrees, 1, 0, 1, 1, 0, 0, 0, -1, group, 0);
        for (int c = 0; c < 3; ++c) {
            tab.SheetAt(sheet).axisX.values[c] = 20 * (sheet + 1) + c;
            tab.SheetAt(sheet).Cell(c, 0) = 10 * (sheet + 1) + c;
        }
    }
    tab.SelectSheet(0);
    DisplayRange::Compute(tab);
    EXPECT_EQ(tab.Sheet().axisX.viewMax, 60) << "sheet 1's speeds (4000 rpm) count, sheet 2's (6000) do not";
    EXPECT_EQ(tab.Sheet().axisData.viewMax, 25) << "sheet 1's 22 degrees count, sheet 2's 32 do not";
}

TEST(GraphGeometryMapping, PixelsAndRawValuesAreInverse)
{
    MapModel tab;
    DefineProgramMap(tab, MapKind::Advance);
    FillSheet(tab, AdvanceRpm, TpPoints, 12);
    tab.Sheet().axisY.off = 0;
    tab.Sheet().Cell(4, 6) = 20;
    const GraphRanges g = DisplayRange::Compute(tab);
    ASSERT_GT(g.stackStep, 0);
    const GraphGeometry geo = GraphGeometry::For(10, 36, 763, 437, g, tab.Sheet());
    EXPECT_EQ(geo.plotLeft, 55);
    EXPECT_EQ(geo.plotBottom, 36 + 437 - 18);
    EXPECT_EQ(geo.plotWidth, 763 - 75);
    EXPECT_EQ(geo.plotHeight, 437 - 26);
    EXPECT_DOUBLE_EQ(geo.AcrossPixel(tab.Sheet().axisX.viewMax), geo.PlotRight());
    EXPECT_DOUBLE_EQ(geo.UpPixel(tab.Sheet().axisData.viewMin, 9), geo.plotBottom);
    EXPECT_DOUBLE_EQ(geo.UpPixel(tab.Sheet().axisData.viewMax, 0), geo.plotTop);
    for (int raw : { 0, 17, 55, 100 })
        EXPECT_EQ(geo.AcrossRaw(geo.AcrossPixel(raw)), raw);
    for (int curve : { 0, 4, 9 })
        for (int raw : { -3, 12, 20 })
            EXPECT_EQ(geo.DataRaw(geo.UpPixel(raw, curve), curve), raw) << curve;
}

struct LabelCase {
    double value, step;
    const char* text;
};

class GraphLabels : public ::testing::TestWithParam<LabelCase> { };

TEST_P(GraphLabels, FollowTheLabelStep)
{
    const LabelCase c = GetParam();
    EXPECT_EQ(GraphLabel(c.value, c.step), c.text);
}

INSTANTIATE_TEST_SUITE_P(Steps, GraphLabels,
    ::testing::Values(LabelCase { 1000, 1000, "1k" }, LabelCase { 2000, 1000, "2k" }, LabelCase { 12000, 2000, "12k" },
        LabelCase { 0, 1000, "0k" }, LabelCase { 2000000, 1000000, "2M" }, LabelCase { 250, 100, "250" },
        LabelCase { 2, 1, "2" }, LabelCase { 1.5, 0.5, "1.5" }, LabelCase { 0.25, 0.05, "0.25" },
        LabelCase { 0.025, 0.005, "25m" }, LabelCase { 0.0025, 0.0005, "2.50m" }, LabelCase { -1e-12, 0.2, "0.0" }));

} // namespace
